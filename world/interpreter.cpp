// The event interpreter: turns one split line of the replay log into changes of the world model.
// Relies on the value syntax of world/log_format.h, the record life cycle of world/world_model.h, the
// calibration loader, the program files and the playback clock's stop.
#include "world/interpreter.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "app/calibration.h"
#include "app/playback.h"
#include "app/program_files.h"
#include "world/world_model.h"

namespace {

constexpr std::size_t chatLineLimit = 511;
constexpr std::size_t baseNameLimit = 127;

// [SECTION] Look-ups

template <class T>
T* lastWithId(PtrList<T>& list, std::int32_t id)
{
    T* found = nullptr;
    walk(list, [&](T& record) {
        if (record.id == id)
            found = &record;
    });
    return found;
}

// Every distinct record of the list with the id, in list order: a record listed twice is named once.
template <class T>
std::vector<T*> allWithId(PtrList<T>& list, std::int32_t id)
{
    std::vector<T*> found;
    walk(list, [&](T& record) {
        if (record.id == id && std::find(found.begin(), found.end(), &record) == found.end())
            found.push_back(&record);
    });
    return found;
}

// [SECTION] Creation

// Id, class name and position, which every kind of record takes from its creation line.
void fillPlacement(Record& record, const Fields& fields)
{
    record.id = readInt(fields[2]);
    record.className = fields[3];
    record.posY = readReal(fields[4]);
    record.posX = readReal(fields[5]);
    record.posZ = readReal(fields[6]);
}

// Direction, levels (their first values are also the peaks) and side: soldiers, vehicles and buildings.
void fillStatus(Record& record, const Fields& fields)
{
    record.direction = readReal(fields[7]);
    record.levelA = record.peakA = readReal(fields[8]);
    record.levelB = record.peakB = readReal(fields[9]);
    record.side = readInt(fields[10]);
}

template <class Unit>
void targetOwnPosition(Unit& unit)
{
    unit.targetX = unit.posX;
    unit.targetY = unit.posY;
    unit.targetZ = unit.posZ;
}

// A soldier created under an id that any record already has takes that record's entity slot, and an old
// soldier's place in the soldier list; the old soldiers go only once no slot refers to them any more.
void createSoldier(const Fields& fields)
{
    SoldierRecord& soldier = makeRecord<SoldierRecord>();
    fillPlacement(soldier, fields);
    fillStatus(soldier, fields);
    soldier.name = fields[11];
    targetOwnPosition(soldier);

    bool tookSlot = false;
    for (Record*& slot : g.entityList.items) {
        if (slot->id == soldier.id) {
            slot = &soldier;
            tookSlot = true;
        }
    }
    if (!tookSlot) {
        g.soldierList.append(&soldier);
        g.entityList.append(&soldier);
        return;
    }
    std::vector<SoldierRecord*> replaced;
    for (SoldierRecord*& slot : g.soldierList.items) {
        if (slot->id == soldier.id) {
            if (std::find(replaced.begin(), replaced.end(), slot) == replaced.end())
                replaced.push_back(slot);
            slot = &soldier;
        }
    }
    for (SoldierRecord* old : replaced)
        releaseRecord(old);
}

void createVehicle(const Fields& fields)
{
    VehicleRecord& vehicle = makeRecord<VehicleRecord>();
    fillPlacement(vehicle, fields);
    fillStatus(vehicle, fields);
    targetOwnPosition(vehicle);
    vehicle.targetDirection = vehicle.direction;
    g.vehicleList.append(&vehicle);
    g.entityList.append(&vehicle);
}

void createBuilding(const Fields& fields)
{
    BuildingRecord& building = makeRecord<BuildingRecord>();
    fillPlacement(building, fields);
    fillStatus(building, fields);
    g.buildingList.append(&building);
    g.entityList.append(&building);
}

void createObject(const Fields& fields)
{
    ObjectRecord& object = makeRecord<ObjectRecord>();
    fillPlacement(object, fields);
    g.entityList.append(&object);
}

// [SECTION] Destruction

// Releases every record of the list with the id; releasing takes it out of every list and link.
template <class T>
void destroyListed(PtrList<T>& list, std::int32_t id)
{
    for (T* record : allWithId(list, id)) {
        if constexpr (std::is_same_v<T, VehicleRecord>)
            walk(record->passengers, [](SoldierRecord& passenger) { passenger.aboard = 0; });
        releaseRecord(record);
    }
}

// [SECTION] Damage

void linkDamage(const Fields& fields)
{
    const std::int32_t victimId = readInt(fields[2]);
    const std::int32_t attackerId = readInt(fields[8]);
    SoldierRecord* victim = nullptr;
    SoldierRecord* attacker = nullptr;
    walk(g.soldierList, [&](SoldierRecord& soldier) {
        if (soldier.id == victimId && soldier.damageLink == nullptr)
            victim = &soldier;
        if (soldier.id == attackerId)
            attacker = &soldier;
    });
    if (victim == nullptr)
        return;
    if (attacker != nullptr) {
        victim->damageLink = attacker;
        return;
    }
    for (Record* record : g.entityList.items) {
        if (record->id == attackerId) {
            victim->damageLink = record;
            return;
        }
    }
}

// [SECTION] Position reports

// The unit jumps to the target of its previous report and glides toward the new one in N ticks, N from the
// speed of this moment; a distance that is no finite number sets up no glide.
template <class Unit>
void reportPosition(Unit& unit, const Fields& fields, std::int32_t msPerLogSecond)
{
    unit.posX = unit.targetX;
    unit.posY = unit.targetY;
    unit.posZ = unit.targetZ;
    unit.targetX = readReal(fields[5]);
    unit.targetY = readReal(fields[4]);
    unit.targetZ = readReal(fields[6]);
    const float distance = distance2D(unit.posX, unit.posY, unit.targetX, unit.targetY);
    unit.moveHeading = headingTo(unit.posX, unit.posY, unit.targetX, unit.targetY);
    if (distance == 0) {
        unit.stepsLeft = 0;
        unit.stepLength = 0;
    } else {
        // The speed is always at least 125 ms per log second; the floor only keeps N from being zero.
        const std::int64_t ticks = std::max<std::int64_t>(2 * std::int64_t{msPerLogSecond} / 50, 1);
        unit.stepLength = distance / static_cast<float>(ticks);
        // The quotient is taken in double precision, so a step length rounded up gives one step less.
        const double steps = static_cast<double>(distance) / unit.stepLength;
        unit.stepsLeft = std::isfinite(steps) ? static_cast<std::int32_t>(steps) : 0;
    }
    unit.levelA = readReal(fields[8]);
    unit.levelB = readReal(fields[9]);
    if (unit.peakA < unit.levelA)
        unit.peakA = unit.levelA;
    if (unit.peakB < unit.levelB)
        unit.peakB = unit.levelB;
    if constexpr (std::is_same_v<Unit, VehicleRecord>) {
        unit.direction = unit.targetDirection;
        unit.targetDirection = readReal(fields[7]);
    }
}

template <class Unit>
void reportPositions(PtrList<Unit>& list, const Fields& fields)
{
    const std::int32_t id = readInt(fields[2]);
    walk(list, [&](Unit& unit) {
        if (unit.id == id)
            reportPosition(unit, fields, g.msPerLogSecond);
    });
}

// [SECTION] Map, clock, chat and passengers

// The picture is named by the map name up to its first "."; a name with nothing before it keeps the picture,
// and a name that names no file inside Maps clears it.
void loadMap(const std::string& name)
{
    g.mapName = name;
    if (!loadCalibration())
        g.statusMessage = "Error loading Kelo.ini";
    std::string_view baseName = *g.mapName;
    baseName = baseName.substr(0, baseName.find_first_of(std::string_view(".\0", 2)));
    if (baseName.empty())
        return;
    g.mapImage.reset();
    if (std::optional<std::string> path = mapPicturePath(baseName.substr(0, baseNameLimit)))
        g.mapImage = Image::load(*path);
}

void setConfig(const Fields& fields)
{
    g.clockMinutes = readInt(fields[1]);
    g.clockSeconds = 0;
    g.configTitle = fields[2];
}

// The first free slot takes the line; when all six are full the oldest goes and the rest move down.
void storeChatLine(std::array<std::optional<ChatLine>, 6>& slots, ChatLine line)
{
    for (std::optional<ChatLine>& slot : slots) {
        if (!slot) {
            slot = std::move(line);
            return;
        }
    }
    std::move(slots.begin() + 1, slots.end(), slots.begin());
    slots.back() = std::move(line);
}

void addChatLine(const Fields& fields, std::string_view separator)
{
    const std::int32_t speakerId = readInt(fields[2]);
    std::optional<ChatLine> line;
    walk(g.soldierList, [&](SoldierRecord& speaker) {
        if (speaker.id == speakerId) {
            std::string text = speaker.name;
            text += separator;
            text += fields[3];
            text.resize(std::min(text.size(), chatLineLimit));
            line = ChatLine{std::move(text), static_cast<std::uint8_t>(speaker.side)};
        }
    });
    if (line)
        storeChatLine(g.chatLines, std::move(*line));
}

void enterVehicle(const Fields& fields)
{
    VehicleRecord* vehicle = lastWithId(g.vehicleList, readInt(fields[1]));
    SoldierRecord* soldier = lastWithId(g.soldierList, readInt(fields[6]));
    if (vehicle == nullptr || soldier == nullptr)
        return;
    soldier->aboard = 1;
    vehicle->passengers.append(soldier);
}

void exitVehicle(const Fields& fields)
{
    const std::int32_t soldierId = readInt(fields[6]);
    VehicleRecord* vehicle = lastWithId(g.vehicleList, readInt(fields[1]));
    if (SoldierRecord* soldier = lastWithId(g.soldierList, soldierId))
        soldier->aboard = 0;
    if (vehicle != nullptr)
        vehicle->passengers.removeIf(
            [soldierId](const SoldierRecord* passenger) { return passenger->id == soldierId; });
}

}  // namespace

// [SECTION] Dispatch

void applyEvent(const Fields& fields)
{
    const std::string& event = fields[0];
    const std::string& kind = fields[1];
    if (event == "CREATED") {
        if (kind == "SOLDIER")
            createSoldier(fields);
        else if (kind == "VEHICLE")
            createVehicle(fields);
        else if (kind == "BUILDING")
            createBuilding(fields);
        else if (kind == "OBJECT")
            createObject(fields);
    } else if (event == "DESTROYED") {
        const std::int32_t id = readInt(fields[2]);
        if (kind == "SOLDIER")
            destroyListed(g.soldierList, id);
        else if (kind == "VEHICLE")
            destroyListed(g.vehicleList, id);
        else if (kind == "BUILDING")
            destroyListed(g.buildingList, id);
        else if (kind == "OBJECT")
            destroyListed(g.entityList, id);
    } else if (event == "KILLED") {
        // Recognised, so that nothing after it in the chain reads the line; it changes nothing.
    } else if (event == "DAMAGED") {
        if (kind == "SOLDIER")
            linkDamage(fields);
    } else if (event == "POS") {
        if (kind == "SOLDIER")
            reportPositions(g.soldierList, fields);
        else if (kind == "VEHICLE")
            reportPositions(g.vehicleList, fields);
    } else if (readDouble(event) != 0.0) {
        loadMap(kind);
    } else if (event == "CONFIG") {
        setConfig(fields);
    } else if (event == "WIN") {
        stopPlayback();
    } else if (event == "CHAT") {
        if (kind == "PUBLIC")
            addChatLine(fields, ": ");
        else if (kind == "TEAM")
            addChatLine(fields, " [TEAM]: ");
    } else if (event == "ENTER") {
        enterVehicle(fields);
    } else if (event == "EXIT") {
        exitVehicle(fields);
    }
}

// [SECTION] Plane geometry

float distance2D(float x1, float y1, float x2, float y2)
{
    const float dx = x1 - x2;
    const float dy = y1 - y2;
    const float squareX = dx * dx;
    const float squareY = dy * dy;
    const float sum = squareX + squareY;
    return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

float headingTo(float x1, float y1, float x2, float y2)
{
    const float dy = y2 - y1;
    const float dx = x2 - x1;
    return static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)));
}
