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

constexpr EventRule eventTable[] = {
    {"CREATED", "SOLDIER", EventAction::createSoldier, {}, {}},
    {"CREATED", "VEHICLE", EventAction::createVehicle, {}, {}},
    {"CREATED", "BUILDING", EventAction::createBuilding, {}, {}},
    {"CREATED", "OBJECT", EventAction::createObject, {}, {}},
    {"DESTROYED", "SOLDIER", EventAction::destroySoldier, soldierAt(2), {}},
    {"DESTROYED", "VEHICLE", EventAction::destroyVehicle, {2, IdList::vehicles, IdList::none, "vehicle", ""}, {}},
    {"DESTROYED", "BUILDING", EventAction::destroyBuilding, {2, IdList::buildings, IdList::none, "building", ""}, {}},
    {"DESTROYED", "OBJECT", EventAction::destroyObject, {2, IdList::entities, IdList::none, "record", ""}, {}},
    {"KILLED", "", EventAction::killed, {}, {}},
    {"DAMAGED",
     "SOLDIER",
     EventAction::damageSoldier,
     soldierAt(2),
     {8, IdList::soldiers, IdList::entities, "record", " (the attacker)"}},
    {"POS", "SOLDIER", EventAction::reportSoldier, soldierAt(2), {}},
    {"POS", "VEHICLE", EventAction::reportVehicle, {2, IdList::vehicles, IdList::none, "vehicle", ""}, {}},
    {"", "", EventAction::loadMap, {}, {}},
    {"CONFIG", "", EventAction::setConfig, {}, {}},
    {"WIN", "", EventAction::win, {}, {}},
    {"CHAT", "PUBLIC", EventAction::chatPublic, soldierAt(2), {}},
    {"CHAT", "TEAM", EventAction::chatTeam, soldierAt(2), {}},
    // Leaving takes the soldier off the vehicle even when the vehicle is gone, so only entering needs it.
    {"ENTER", "", EventAction::enterVehicle, {1, IdList::vehicles, IdList::none, "vehicle", ""}, soldierAt(6)},
    {"EXIT", "", EventAction::exitVehicle, soldierAt(6), {}},
};

}  // namespace

EventMatch matchEvent(const Fields& fields)
{
    const std::string& event = fields[0];
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
        if (rule.kind.empty() || rule.kind == fields[1])
            return {EventMatch::matched, &rule};
    }
    return {eventKnown ? EventMatch::unknownKind : EventMatch::unknownEvent};
}
