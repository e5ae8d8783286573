// The world model's life cycle and value semantics: releasing records with every reference to them, the reset,
// the countdown clock, and the deep copy and comparison that map each record to its place in the store.
#include "world/world_model.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace {

// [SECTION] Releasing

// Drops every reference the model holds to the records, without releasing anything: one pass over each list.
void forgetRecords(World& world, const std::unordered_set<const Record*>& gone)
{
    auto leaves = [&gone](const Record* listed) { return gone.count(listed) != 0; };
    world.soldierList.removeIf(leaves);
    world.vehicleList.removeIf(leaves);
    world.buildingList.removeIf(leaves);
    world.entityList.removeIf(leaves);
    for (const auto& owned : world.records) {
        if (leaves(owned->damageLink))
            owned->damageLink = nullptr;
        if (owned->kind == RecordKind::vehicle)
            static_cast<VehicleRecord&>(*owned).passengers.removeIf(leaves);
    }
}

// [SECTION] Copying and comparing

// By their bits: == would make a value that is no number differ from itself, and -0 equal 0.
bool same(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// Each record's place in the store, so that references can be carried over or compared by place.
using Places = std::unordered_map<const Record*, std::size_t>;

Places placesOf(const World& world)
{
    Places places;
    places.reserve(world.records.size());
    for (std::size_t i = 0; i < world.records.size(); ++i)
        places.emplace(world.records[i].get(), i);
    return places;
}

std::unique_ptr<Record> cloneRecord(const Record& record)
{
    switch (record.kind) {
    case RecordKind::soldier:
        return std::make_unique<SoldierRecord>(static_cast<const SoldierRecord&>(record));
    case RecordKind::vehicle:
        return std::make_unique<VehicleRecord>(static_cast<const VehicleRecord&>(record));
    case RecordKind::building:
        return std::make_unique<BuildingRecord>(static_cast<const BuildingRecord&>(record));
    case RecordKind::object:
        break;
    }
    return std::make_unique<ObjectRecord>(static_cast<const ObjectRecord&>(record));
}

// The same list over the copy's records.
template <class T>
PtrList<T> carriedOver(const PtrList<T>& list, const Places& places, const World& copy)
{
    PtrList<T> carried = list;
    for (T*& item : carried.items)
        item = static_cast<T*>(copy.records[places.at(item)].get());
    carried.touch();
    return carried;
}

std::optional<std::size_t> placeOf(const Record* record, const Places& places)
{
    if (record == nullptr)
        return std::nullopt;
    return places.at(record);
}

template <class T>
bool sameList(const PtrList<T>& a, const Places& placesA, const PtrList<T>& b, const Places& placesB)
{
    return std::equal(a.items.begin(), a.items.end(), b.items.begin(), b.items.end(),
                      [&](const T* x, const T* y) { return placesA.at(x) == placesB.at(y); });
}

bool sameHead(const Record& a, const Record& b)
{
    return a.kind == b.kind && same(a.posX, b.posX) && same(a.posY, b.posY) && same(a.posZ, b.posZ) && a.id == b.id
        && a.className == b.className && a.side == b.side && same(a.direction, b.direction) && same(a.levelA, b.levelA)
        && same(a.levelB, b.levelB) && same(a.peakA, b.peakA) && same(a.peakB, b.peakB);
}

bool sameGlide(const Glide& a, const Glide& b)
{
    return same(a.stepLength, b.stepLength) && a.stepsLeft == b.stepsLeft && same(a.moveHeading, b.moveHeading)
        && same(a.targetX, b.targetX) && same(a.targetY, b.targetY) && same(a.targetZ, b.targetZ);
}

bool sameRecord(const Record& a, const Places& placesA, const Record& b, const Places& placesB)
{
    if (!sameHead(a, b) || placeOf(a.damageLink, placesA) != placeOf(b.damageLink, placesB))
        return false;
    if (a.kind == RecordKind::soldier) {
        const auto& x = static_cast<const SoldierRecord&>(a);
        const auto& y = static_cast<const SoldierRecord&>(b);
        return x.name == y.name && x.aboard == y.aboard && sameGlide(x.glide, y.glide);
    }
    if (a.kind == RecordKind::vehicle) {
        const auto& x = static_cast<const VehicleRecord&>(a);
        const auto& y = static_cast<const VehicleRecord&>(b);
        return same(x.targetDirection, y.targetDirection) && sameGlide(x.glide, y.glide)
            && sameList(x.passengers, placesA, y.passengers, placesB);
    }
    return true;
}

}  // namespace

bool Calibration::operator==(const Calibration& other) const
{
    return invertY == other.invertY && invertX == other.invertX && same(scaleX, other.scaleX)
        && same(scaleY, other.scaleY) && same(offsetX, other.offsetX) && same(offsetY, other.offsetY)
        && same(rotationOffset, other.rotationOffset);
}

World::World(const World& other)
    : mapName(other.mapName), mapImage(other.mapImage), statusMessage(other.statusMessage),
      configTitle(other.configTitle), clockMinutes(other.clockMinutes), clockSeconds(other.clockSeconds),
      chatLines(other.chatLines), calibration(other.calibration), recordsMade(other.recordsMade)
{
    records.reserve(other.records.size());
    for (const auto& owned : other.records)
        records.push_back(cloneRecord(*owned));
    const Places places = placesOf(other);
    soldierList = carriedOver(other.soldierList, places, *this);
    vehicleList = carriedOver(other.vehicleList, places, *this);
    buildingList = carriedOver(other.buildingList, places, *this);
    entityList = carriedOver(other.entityList, places, *this);
    for (auto& owned : records) {
        if (owned->damageLink != nullptr)
            owned->damageLink = records[places.at(owned->damageLink)].get();
        if (owned->kind == RecordKind::vehicle) {
            auto& vehicle = static_cast<VehicleRecord&>(*owned);
            vehicle.passengers = carriedOver(vehicle.passengers, places, *this);
        }
    }
}

World& World::operator=(const World& other)
{
    if (this != &other)
        *this = World(other);
    return *this;
}

bool operator==(const World& a, const World& b)
{
    if (a.mapName != b.mapName || a.mapImage != b.mapImage || a.statusMessage != b.statusMessage
        || a.configTitle != b.configTitle || a.clockMinutes != b.clockMinutes || a.clockSeconds != b.clockSeconds
        || a.chatLines != b.chatLines || a.calibration != b.calibration || a.records.size() != b.records.size())
        return false;
    const Places placesA = placesOf(a);
    const Places placesB = placesOf(b);
    for (std::size_t i = 0; i < a.records.size(); ++i)
        if (!sameRecord(*a.records[i], placesA, *b.records[i], placesB))
            return false;
    return sameList(a.soldierList, placesA, b.soldierList, placesB)
        && sameList(a.vehicleList, placesA, b.vehicleList, placesB)
        && sameList(a.buildingList, placesA, b.buildingList, placesB)
        && sameList(a.entityList, placesA, b.entityList, placesB);
}

void releaseRecords(World& world, const std::vector<Record*>& records)
{
    const std::unordered_set<const Record*> gone(records.begin(), records.end());
    forgetRecords(world, gone);
    std::erase_if(world.records, [&gone](const auto& owned) { return gone.count(owned.get()) != 0; });
}

void resetWorld(World& world)
{
    world.mapName.reset();
    world.configTitle.reset();
    world.clockMinutes = 0;
    world.clockSeconds = 0;
    // Every record goes, a vehicle whose entity slot a soldier took (held by its kind list alone) included.
    world.records.clear();
    world.entityList.init();
    world.soldierList.init();
    world.vehicleList.init();
    world.buildingList.init();
}

void countDownClock(World& world, std::int64_t gap)
{
    constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
    // Far beyond any clock, and small enough that the total below cannot overflow.
    constexpr std::int64_t gapBound = std::int64_t{1} << 62;
    std::int64_t total =
        std::int64_t{world.clockMinutes} * 60 + world.clockSeconds - std::clamp(gap, -gapBound, gapBound);
    world.clockSeconds = static_cast<std::int32_t>(total % 60);
    world.clockMinutes = static_cast<std::int32_t>(std::clamp(total / 60, int32Min, int32Max));
}
