// The table of events and kinds. An event word with a kind that no row names is recognised but does nothing;
// field 0 that is a number other than 0 names the map (every event word reads as the number 0).
#include "world/event_table.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

constexpr IdReference soldierAt(std::uint8_t field)
{
    return {field, IdList::soldiers, IdList::none, "soldier", ""};
}

constexpr IdReference vehicleAt(std::uint8_t field)
{
    return {field, IdList::vehicles, IdList::none, "vehicle", ""};
}

// The id of a "DESTROYED" line, looked up in the list of its kind.
constexpr IdReference destroyedIn(IdList list, std::string_view noun)
{
    return {DestroyedFields::id, list, IdList::none, noun, ""};
}

constexpr EventRule eventTable[] = {
    {"CREATED", "SOLDIER", EventAction::createSoldier, {}, {}},
    {"CREATED", "VEHICLE", EventAction::createVehicle, {}, {}},
    {"CREATED", "BUILDING", EventAction::createBuilding, {}, {}},
    {"CREATED", "OBJECT", EventAction::createObject, {}, {}},
    {"DESTROYED", "SOLDIER", EventAction::destroySoldier, destroyedIn(IdList::soldiers, "soldier"), {}},
    {"DESTROYED", "VEHICLE", EventAction::destroyVehicle, destroyedIn(IdList::vehicles, "vehicle"), {}},
    {"DESTROYED", "BUILDING", EventAction::destroyBuilding, destroyedIn(IdList::buildings, "building"), {}},
    {"DESTROYED", "OBJECT", EventAction::destroyObject, destroyedIn(IdList::entities, "record"), {}},
    {"KILLED", "", EventAction::killed, {}, {}},
    {"DAMAGED",
     "SOLDIER",
     EventAction::damageSoldier,
     soldierAt(DamagedFields::victim),
     {DamagedFields::attacker, IdList::soldiers, IdList::entities, "record", " (the attacker)"}},
    {"POS", "SOLDIER", EventAction::reportSoldier, soldierAt(PosFields::id), {}},
    {"POS", "VEHICLE", EventAction::reportVehicle, vehicleAt(PosFields::id), {}},
    {"", "", EventAction::loadMap, {}, {}},
    {"CONFIG", "", EventAction::setConfig, {}, {}},
    {"WIN", "", EventAction::win, {}, {}},
    {"CHAT", "PUBLIC", EventAction::chatPublic, soldierAt(ChatFields::speaker), {}},
    {"CHAT", "TEAM", EventAction::chatTeam, soldierAt(ChatFields::speaker), {}},
    // Leaving takes the soldier off the vehicle even when the vehicle is gone, so only entering needs it.
    {"ENTER", "", EventAction::enterVehicle, vehicleAt(BoardingFields::vehicle), soldierAt(BoardingFields::soldier)},
    {"EXIT", "", EventAction::exitVehicle, soldierAt(BoardingFields::soldier), {}},
};

}  // namespace

EventMatch matchEvent(const Fields& fields)
{
    const std::string_view event = fields[eventField];
    if (event.empty())
        return {EventMatch::noEventToken};
    // Read as a number only when the map's row is reached: the rows before it name event words, which read as 0.
    std::optional<bool> isMap;
    bool eventKnown = false;
    for (const EventRule& rule : eventTable) {
        if (rule.event.empty()) {
            if (!isMap)
                isMap = readDouble(event) != 0.0;
            if (!*isMap)
                continue;
        } else if (rule.event != event) {
            continue;
        }
        eventKnown = true;
        if (rule.kind.empty() || rule.kind == fields[kindField])
            return {EventMatch::matched, &rule};
    }
    return {eventKnown ? EventMatch::unknownKind : EventMatch::unknownEvent};
}
