// The events of the replay log: which words name which action, and which ids each action looks up in which list.
// The interpreter dispatches on it and kelo-render --check reads the same table to name lines that do nothing.
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
