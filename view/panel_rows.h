// The side panel's rows: what the Units tab lists of the world and the index (by side, passengers under their
// vehicle, the destroyed at the bottom of their side), what the Events tab lists of the index, and the texts of both.
// Pure: the world and the index in, rows out; drawing and the pointer read the same rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "world/log_marks.h"
#include "world/world_model.h"

enum class PanelRowKind : std::uint8_t { side, unit, passenger, destroyed };

struct PanelRow {
    PanelRowKind kind = PanelRowKind::unit;
    std::int32_t side = -1;
    const Record* unit = nullptr;  // unit and passenger rows: a soldier or a vehicle of the world
    const LogMark* mark = nullptr;  // destroyed rows: the index's mark of the "DESTROYED" line
    int soldiers = 0;  // side rows: the side's soldiers and vehicles alive
    int vehicles = 0;
    std::uint64_t key = 0;  // what keeps the row's place in the list: a unit's serial, a side, a mark's number
};

// What the panel names a unit by: a soldier's player name (its class when the name is empty), a vehicle's class.
const std::string& unitName(const Record& unit);

// The Units tab. For each side (0, 1, then the others from the lowest), a side row, the soldiers that ride in no
// vehicle, each vehicle followed by its passengers (a soldier in several passenger lists under the first), then the
// soldiers and vehicles destroyed by lines up to `linesPlayed` since the last reset among them, from the index. With a
// search, only the unit and destroyed rows whose name or class holds it, under the side rows of their sides.
std::vector<PanelRow> unitRows(const World& world, const LogIndexData& index, std::int64_t linesPlayed,
                               std::string_view search);

// The Events tab: the numbers of the index's marks whose name or message holds the search; every mark without one.
std::vector<std::uint32_t> eventRows(const LogIndexData& index, std::string_view search);

// The mark of the last line up to `linesPlayed` that has one; none before the first.
std::optional<std::uint32_t> currentEvent(const LogIndexData& index, std::int64_t linesPlayed);

// An event row's text after its time: "destroyed: NAME (side N)", "killed", "win", "NAME: MESSAGE", "reset".
std::string eventText(const LogMark& mark);
// A side row's text: "Side N: S soldiers, V vehicles".
std::string sideText(const PanelRow& row);
