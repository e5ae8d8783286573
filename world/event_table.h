// The events of the replay log: which words name which action, where each event keeps its values, and which ids each
// action looks up in which list. The interpreter dispatches on it and reads each value where the table puts it;
// kelo-render --check reads the same table to name lines that do nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "world/log_format.h"

enum class EventAction : std::uint8_t {
    createSoldier,
    createVehicle,
    createBuilding,
    createObject,
    destroySoldier,
    destroyVehicle,
    destroyBuilding,
    destroyObject,
    killed,
    damageSoldier,
    reportSoldier,
    reportVehicle,
    loadMap,
    setConfig,
    win,
    chatPublic,
    chatTeam,
    enterVehicle,
    exitVehicle,
};

// [SECTION] Where each event keeps its values: field numbers of the split line

// Every line: the event word (a map line's number) and the kind.
constexpr std::uint8_t eventField = 0;
constexpr std::uint8_t kindField = 1;

// "CREATED" and "POS" lay a unit out alike: its id, then (after the class) where it is, its direction and levels.
struct UnitFields {
    static constexpr std::uint8_t id = 2;
    static constexpr std::uint8_t posY = 4;
    static constexpr std::uint8_t posX = 5;
    static constexpr std::uint8_t posZ = 6;
    static constexpr std::uint8_t direction = 7;
    static constexpr std::uint8_t levelA = 8;
    static constexpr std::uint8_t levelB = 9;
};

// "CREATED": every kind's id, class and position; soldiers, vehicles and buildings go on with their direction, levels
// and side, and a soldier with its name.
struct CreatedFields : UnitFields {
    static constexpr std::uint8_t className = 3;
    static constexpr std::uint8_t side = 10;
    static constexpr std::uint8_t name = 11;
};

// "DESTROYED": the id of the records that go.
struct DestroyedFields {
    static constexpr std::uint8_t id = 2;
};

// "DAMAGED": the soldier hit and what hit it.
struct DamagedFields {
    static constexpr std::uint8_t victim = 2;
    static constexpr std::uint8_t attacker = 8;
};

// "POS": the unit, where it is now, its levels, and (a vehicle's only) its direction.
using PosFields = UnitFields;

// The map line: the map's name after its number.
struct MapFields {
    static constexpr std::uint8_t name = 1;
};

// "CONFIG": the countdown's minutes and the title.
struct ConfigFields {
    static constexpr std::uint8_t minutes = 1;
    static constexpr std::uint8_t title = 2;
};

// "CHAT": the speaker and what was said.
struct ChatFields {
    static constexpr std::uint8_t speaker = 2;
    static constexpr std::uint8_t text = 3;
};

// "ENTER" and "EXIT": the vehicle and the soldier; the fields between do not count.
struct BoardingFields {
    static constexpr std::uint8_t vehicle = 1;
    static constexpr std::uint8_t soldier = 6;
};

// [SECTION] The table

enum class IdList : std::uint8_t { none, soldiers, vehicles, buildings, entities };

// A field holding an id that the action looks up: found in `list` (or else in `orList`), named `noun` when not.
struct IdReference {
    std::uint8_t field = 0;
    IdList list = IdList::none;
    IdList orList = IdList::none;
    std::string_view noun;
    std::string_view note;  // added after the id when the look-up fails
};

struct EventRule {
    std::string_view event;  // field 0; empty for the map line, whose field 0 is any number but 0
    std::string_view kind;  // field 1; empty: any kind
    EventAction action;
    IdReference first;
    IdReference second;
};

struct EventMatch {
    enum Outcome : std::uint8_t { matched, noEventToken, unknownEvent, unknownKind } outcome;
    const EventRule* rule = nullptr;  // set when matched
};

// The rule of a line's fields: the first rule whose event and kind match.
EventMatch matchEvent(const Fields& fields);

// Whether the action makes or releases records: the only lines that change which ids the lists hold (readers that
// look up ids alone, the index and the check, apply these and leave the others out).
constexpr bool changesLists(EventAction action)
{
    switch (action) {
    case EventAction::createSoldier:
    case EventAction::createVehicle:
    case EventAction::createBuilding:
    case EventAction::createObject:
    case EventAction::destroySoldier:
    case EventAction::destroyVehicle:
    case EventAction::destroyBuilding:
    case EventAction::destroyObject:
        return true;
    default:
        return false;
    }
}
