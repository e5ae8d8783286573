// The event interpreter: turns one split line of the replay log into changes of the world model it is given.
// Relies on the event table, the value syntax of world/log_format.h, the record life cycle of world/world_model.h
// and the hooks that load a map's calibration and picture.
#include "world/interpreter.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "world/event_table.h"

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

// [SECTION] Creation

// Id, class name and position, which every kind of record takes from its creation line.
void fillPlacement(Record& record, const Fields& fields)
{
    record.id = readInt(fields[CreatedFields::id]);
    record.className = fields[CreatedFields::className];
    record.posY = readReal(fields[CreatedFields::posY]);
    record.posX = readReal(fields[CreatedFields::posX]);
    record.posZ = readReal(fields[CreatedFields::posZ]);
}

// Direction, levels (their first values are also the peaks) and side: soldiers, vehicles and buildings.
void fillStatus(Record& record, const Fields& fields)
{
    record.direction = readReal(fields[CreatedFields::direction]);
    record.levelA = record.peakA = readReal(fields[CreatedFields::levelA]);
    record.levelB = record.peakB = readReal(fields[CreatedFields::levelB]);
    record.side = readInt(fields[CreatedFields::side]);
}

// A unit's glide at its creation: none, with its target where it stands.
Glide standingAt(const Record& unit)
{
    return {.targetX = unit.posX, .targetY = unit.posY, .targetZ = unit.posZ};
}

// A soldier created under an id that any record already has takes that record's entity slot, and an old
// soldier's place in the soldier list; the old soldiers go only once no slot refers to them any more.
void createSoldier(World& world, const Fields& fields)
{
    SoldierRecord& soldier = makeRecord<SoldierRecord>(world);
    fillPlacement(soldier, fields);
    fillStatus(soldier, fields);
    soldier.name = fields[CreatedFields::name];
    soldier.glide = standingAt(soldier);

    // The slots holding the id, found through the index, so that a log creating many soldiers stays linear.
    const IdPositions& positions = world.entityList.positionsById();
    const auto holders = positions.ends.find(soldier.id);
    const bool tookSlot = holders != positions.ends.end();
    if (tookSlot) {
        for (std::int32_t at = holders->second.first; at != IdPositions::none;
             at = positions.next[static_cast<std::size_t>(at)])
            world.entityList.items[static_cast<std::size_t>(at)] = &soldier;
        world.entityList.touch();
    }
    if (!tookSlot) {
        world.soldierList.append(&soldier);
        world.entityList.append(&soldier);
        return;
    }
    std::vector<Record*> replaced;
    for (SoldierRecord*& slot : world.soldierList.items) {
        if (slot->id == soldier.id) {
            replaced.push_back(slot);
            slot = &soldier;
        }
    }
    world.soldierList.touch();
    releaseRecords(world, replaced);
}

void createVehicle(World& world, const Fields& fields)
{
    VehicleRecord& vehicle = makeRecord<VehicleRecord>(world);
    fillPlacement(vehicle, fields);
    fillStatus(vehicle, fields);
    vehicle.glide = standingAt(vehicle);
    vehicle.targetDirection = vehicle.direction;
    world.vehicleList.append(&vehicle);
    world.entityList.append(&vehicle);
}

void createBuilding(World& world, const Fields& fields)
{
    BuildingRecord& building = makeRecord<BuildingRecord>(world);
    fillPlacement(building, fields);
    fillStatus(building, fields);
    world.buildingList.append(&building);
    world.entityList.append(&building);
}

void createObject(World& world, const Fields& fields)
{
    ObjectRecord& object = makeRecord<ObjectRecord>(world);
    fillPlacement(object, fields);
    world.entityList.append(&object);
}

// [SECTION] Destruction

// Releases every record of the list with the line's id; releasing takes it out of every list and link.
template <class T>
void destroyListed(World& world, PtrList<T>& list, const Fields& fields)
{
    const std::int32_t id = readInt(fields[DestroyedFields::id]);
    std::vector<Record*> found;
    walk(list, [&](T& record) {
        if (record.id != id)
            return;
        if constexpr (std::is_same_v<T, VehicleRecord>)
            walk(record.passengers, [](SoldierRecord& passenger) { passenger.aboard = 0; });
        found.push_back(&record);
    });
    releaseRecords(world, found);
}

// [SECTION] Damage

void linkDamage(World& world, const Fields& fields)
{
    const std::int32_t victimId = readInt(fields[DamagedFields::victim]);
    const std::int32_t attackerId = readInt(fields[DamagedFields::attacker]);
    SoldierRecord* victim = nullptr;
    SoldierRecord* attacker = nullptr;
    walk(world.soldierList, [&](SoldierRecord& soldier) {
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
    for (Record* record : world.entityList.items) {
        if (record->id == attackerId) {
            victim->damageLink = record;
            return;
        }
    }
}

// [SECTION] Position reports

// The steps of a glide from where the unit stands to its target, N from the speed.
void timeGlide(const Record& unit, Glide& glide, std::int32_t msPerLogSecond)
{
    const float distance = distance2D(unit.posX, unit.posY, glide.targetX, glide.targetY);
    if (distance == 0) {
        glide.stepsLeft = 0;
        glide.stepLength = 0;
    } else {
        // The speed is always at least 125 ms per log second; the floor only keeps N from being zero.
        const std::int64_t ticks = std::max<std::int64_t>(2 * std::int64_t{msPerLogSecond} / 50, 1);
        glide.stepLength = distance / static_cast<float>(ticks);
        // The quotient is taken in double precision, so a step length rounded up gives one step less.
        const double steps = static_cast<double>(distance) / glide.stepLength;
        glide.stepsLeft = std::isfinite(steps) ? static_cast<std::int32_t>(steps) : 0;
    }
}

// The unit jumps to the target of its previous report and glides toward the new one in N ticks, N from the
// speed of this moment; a distance that is no finite number sets up no glide.
void reportPosition(Record& unit, Glide& glide, const Fields& fields, std::int32_t msPerLogSecond)
{
    unit.posX = glide.targetX;
    unit.posY = glide.targetY;
    unit.posZ = glide.targetZ;
    glide.targetX = readReal(fields[PosFields::posX]);
    glide.targetY = readReal(fields[PosFields::posY]);
    glide.targetZ = readReal(fields[PosFields::posZ]);
    glide.moveHeading = headingTo(unit.posX, unit.posY, glide.targetX, glide.targetY);
    timeGlide(unit, glide, msPerLogSecond);
    unit.levelA = readReal(fields[PosFields::levelA]);
    unit.levelB = readReal(fields[PosFields::levelB]);
    if (unit.peakA < unit.levelA)
        unit.peakA = unit.levelA;
    if (unit.peakB < unit.levelB)
        unit.peakB = unit.levelB;
}

// Every unit of the list with the line's id, in list order; the list's id index finds them without a walk of the
// list. A vehicle turns to the direction of its previous report: its direction lags one report behind.
template <class Unit>
void reportPositions(PtrList<Unit>& list, const Fields& fields, std::int32_t msPerLogSecond)
{
    walkWithId(list, readInt(fields[PosFields::id]), [&](Unit& unit) {
        reportPosition(unit, unit.glide, fields, msPerLogSecond);
        if constexpr (std::is_same_v<Unit, VehicleRecord>) {
            unit.direction = unit.targetDirection;
            unit.targetDirection = readReal(fields[PosFields::direction]);
        }
    });
}

// [SECTION] Map, clock, chat and passengers

// The calibration and picture of the world's map name. The picture is named by the map name up to its first "."; a
// name with nothing before it keeps the picture, and a name that names no picture inside Maps clears it.
void loadMapFiles(World& world, const WorldHooks& hooks)
{
    if (hooks.loadCalibration == nullptr || !hooks.loadCalibration(world))
        world.statusMessage = "Error loading Kelo.ini";
    std::string_view baseName = *world.mapName;
    baseName = baseName.substr(0, baseName.find_first_of(std::string_view(".\0", 2)));
    if (baseName.empty())
        return;
    world.mapImage.reset();
    baseName = baseName.substr(0, baseNameLimit);
    if (hooks.loadMapPicture != nullptr)
        world.mapImage = hooks.loadMapPicture(baseName);
}

void loadMap(World& world, std::string_view name, const WorldHooks& hooks)
{
    world.mapName = std::string(name);
    loadMapFiles(world, hooks);
}

void setConfig(World& world, const Fields& fields)
{
    world.clockMinutes = readInt(fields[ConfigFields::minutes]);
    world.clockSeconds = 0;
    world.configTitle = fields[ConfigFields::title];
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

void addChatLine(World& world, const Fields& fields, std::string_view separator)
{
    const std::int32_t speakerId = readInt(fields[ChatFields::speaker]);
    std::optional<ChatLine> line;
    walk(world.soldierList, [&](SoldierRecord& speaker) {
        if (speaker.id == speakerId) {
            std::string text = speaker.name;
            text += separator;
            text += fields[ChatFields::text];
            text.resize(std::min(text.size(), chatLineLimit));
            line = ChatLine{std::move(text), static_cast<std::uint8_t>(speaker.side)};
        }
    });
    if (line)
        storeChatLine(world.chatLines, std::move(*line));
}

void enterVehicle(World& world, const Fields& fields)
{
    VehicleRecord* vehicle = lastWithId(world.vehicleList, readInt(fields[BoardingFields::vehicle]));
    SoldierRecord* soldier = lastWithId(world.soldierList, readInt(fields[BoardingFields::soldier]));
    if (vehicle == nullptr || soldier == nullptr)
        return;
    soldier->aboard = 1;
    vehicle->passengers.append(soldier);
}

void exitVehicle(World& world, const Fields& fields)
{
    const std::int32_t soldierId = readInt(fields[BoardingFields::soldier]);
    VehicleRecord* vehicle = lastWithId(world.vehicleList, readInt(fields[BoardingFields::vehicle]));
    if (SoldierRecord* soldier = lastWithId(world.soldierList, soldierId))
        soldier->aboard = 0;
    if (vehicle != nullptr)
        vehicle->passengers.removeIf(
            [soldierId](const SoldierRecord* passenger) { return passenger->id == soldierId; });
}

}  // namespace

// [SECTION] Dispatch

EventEffect applyEvent(World& world, const Fields& fields, std::int32_t msPerLogSecond, const WorldHooks& hooks)
{
    const EventMatch match = matchEvent(fields);
    if (match.outcome != EventMatch::matched)
        return EventEffect::none;
    switch (match.rule->action) {
    case EventAction::createSoldier:
        createSoldier(world, fields);
        break;
    case EventAction::createVehicle:
        createVehicle(world, fields);
        break;
    case EventAction::createBuilding:
        createBuilding(world, fields);
        break;
    case EventAction::createObject:
        createObject(world, fields);
        break;
    case EventAction::destroySoldier:
        destroyListed(world, world.soldierList, fields);
        break;
    case EventAction::destroyVehicle:
        destroyListed(world, world.vehicleList, fields);
        break;
    case EventAction::destroyBuilding:
        destroyListed(world, world.buildingList, fields);
        break;
    case EventAction::destroyObject:
        destroyListed(world, world.entityList, fields);
        break;
    case EventAction::killed:
        break;
    case EventAction::damageSoldier:
        linkDamage(world, fields);
        break;
    case EventAction::reportSoldier:
        reportPositions(world.soldierList, fields, msPerLogSecond);
        break;
    case EventAction::reportVehicle:
        reportPositions(world.vehicleList, fields, msPerLogSecond);
        break;
    case EventAction::loadMap:
        loadMap(world, fields[MapFields::name], hooks);
        break;
    case EventAction::setConfig:
        setConfig(world, fields);
        break;
    case EventAction::win:
        return EventEffect::stopPlayback;
    case EventAction::chatPublic:
        addChatLine(world, fields, ": ");
        break;
    case EventAction::chatTeam:
        addChatLine(world, fields, " [TEAM]: ");
        break;
    case EventAction::enterVehicle:
        enterVehicle(world, fields);
        break;
    case EventAction::exitVehicle:
        exitVehicle(world, fields);
        break;
    }
    return EventEffect::none;
}

// [SECTION] Worlds stepped otherwise

void retimeGlides(World& world, std::int32_t msPerLogSecond)
{
    for (const auto& record : world.records) {
        Glide* glide = nullptr;
        if (record->kind == RecordKind::soldier)
            glide = &static_cast<SoldierRecord&>(*record).glide;
        else if (record->kind == RecordKind::vehicle)
            glide = &static_cast<VehicleRecord&>(*record).glide;
        // A distance that is no number left the step length as the report made it (a number that is none, whatever
        // the speed) or as the unit was made (0): either way it stays.
        if (glide != nullptr && !std::isnan(distance2D(record->posX, record->posY, glide->targetX, glide->targetY)))
            timeGlide(*record, *glide, msPerLogSecond);
    }
}

void loadMapsAgain(World& world, const std::vector<std::string>& mapNames, const WorldHooks& hooks)
{
    std::optional<std::string> mapName = std::move(world.mapName);
    world.statusMessage.reset();
    world.mapImage.reset();
    world.calibration = Calibration{};
    for (const std::string& name : mapNames) {
        world.mapName = name;
        loadMapFiles(world, hooks);
    }
    world.mapName = std::move(mapName);
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
