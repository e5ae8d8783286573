// Which units the view shows labelled: those the pointer hovers and those the user pinned, by their records'
// serials, and how the pins go over to another world put on screen (a seek).
#pragma once

#include <cstdint>
#include <unordered_set>

#include "world/world_model.h"

// A mark names one record (world/records.h, `serial`), not an id: a unit destroyed, replaced by a new record of the
// same id or gone in a reset loses its hover and pin with its record, and of two units that share an id each has its
// own. Serials of a record gone are never given again in that world, so a mark left on one names nothing.
struct UnitMarks {
    std::unordered_set<std::uint64_t> hovered;  // the units under the pointer at its last move
    std::unordered_set<std::uint64_t> pinned;
    std::uint64_t lastPinned = 0;  // the unit pinned most recently (0: none yet), which the camera follows first

    bool isHovered(const Record& unit) const { return hovered.count(unit.serial) != 0; }
    bool isPinned(const Record& unit) const { return pinned.count(unit.serial) != 0; }
    void flipPin(const Record& unit)
    {
        if (pinned.erase(unit.serial) == 0) {
            pinned.insert(unit.serial);
            lastPinned = unit.serial;
        }
    }
    bool operator==(const UnitMarks&) const = default;
};

// The soldier or vehicle of that serial; null when the world holds none.
const Record* unitBySerial(const World& world, std::uint64_t serial);
// The first soldier or vehicle (as `kind` says) with that id in list order; null when there is none.
const Record* unitById(const World& world, RecordKind kind, std::int32_t id);

// `to`, a world of records of its own, takes the place of `from` on screen: each unit of `to` is pinned when a pinned
// unit of `from` has its kind and id (a pin on an id that `to` does not hold goes), and none is hovered until the
// pointer moves again.
void moveMarks(UnitMarks& marks, const World& from, const World& to);
