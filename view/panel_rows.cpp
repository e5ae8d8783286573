// The panel's rows, built afresh for every frame from the world on screen and the index as scanned so far; the
// filtered events are kept by the caller, which rebuilds them only when the index or the search changes.
#include "view/panel_rows.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "world/text_decoding.h"

namespace {

// Keys of rows other than units, apart from every serial (serials count up from 1 and stay far below 2^62).
constexpr std::uint64_t sideKey = std::uint64_t{1} << 62;
constexpr std::uint64_t destroyedKey = std::uint64_t{1} << 63;

// Sides 0 and 1 first, then the others in order.
using SideOrder = std::pair<int, std::int32_t>;
SideOrder sideOrder(std::int32_t side)
{
    return {side == 0 ? 0 : side == 1 ? 1 : 2, side};
}

struct SideGroup {
    int soldiers = 0;
    int vehicles = 0;
    std::vector<PanelRow> rows;
};

bool unitMatches(const Record& unit, std::string_view search)
{
    return search.empty() || holdsText(unitName(unit), search) || holdsText(unit.className, search);
}

PanelRow unitRow(const Record& unit, PanelRowKind kind)
{
    PanelRow row;
    row.kind = kind;
    row.side = unit.side;
    row.unit = &unit;
    row.key = unit.serial;
    return row;
}

}  // namespace

const std::string& unitName(const Record& unit)
{
    if (unit.kind == RecordKind::soldier) {
        const std::string& name = static_cast<const SoldierRecord&>(unit).name;
        if (!name.empty())
            return name;
    }
    return unit.className;
}

std::vector<PanelRow> unitRows(const World& world, const LogIndexData& index, std::int64_t linesPlayed,
                               std::string_view search)
{
    std::map<SideOrder, SideGroup> groups;
    // Each soldier rides under the first vehicle that lists it.
    std::unordered_set<std::uint64_t> seated;
    walk(world.vehicleList, [&](const VehicleRecord& vehicle) {
        walk(vehicle.passengers, [&](const SoldierRecord& soldier) { seated.insert(soldier.serial); });
    });
    walk(world.soldierList, [&](const SoldierRecord& soldier) {
        SideGroup& group = groups[sideOrder(soldier.side)];
        ++group.soldiers;
        if (!seated.count(soldier.serial) && unitMatches(soldier, search))
            group.rows.push_back(unitRow(soldier, PanelRowKind::unit));
    });
    std::unordered_set<std::uint64_t> listed;
    walk(world.vehicleList, [&](const VehicleRecord& vehicle) {
        SideGroup& group = groups[sideOrder(vehicle.side)];
        ++group.vehicles;
        if (unitMatches(vehicle, search))
            group.rows.push_back(unitRow(vehicle, PanelRowKind::unit));
        walk(vehicle.passengers, [&](const SoldierRecord& soldier) {
            if (listed.insert(soldier.serial).second && unitMatches(soldier, search))
                group.rows.push_back(unitRow(soldier, PanelRowKind::passenger));
        });
    });
    // The destroyed since the last reset: a reset clears the world they were part of.
    std::vector<const LogMark*> destroyed;
    for (const LogMark& mark : index.marks) {
        if (mark.line > linesPlayed)
            break;
        if (mark.kind == MarkKind::reset)
            destroyed.clear();
        else if (mark.kind == MarkKind::destroyed
                 && (mark.unit == RecordKind::soldier || mark.unit == RecordKind::vehicle)
                 && (search.empty() || holdsText(mark.name, search)))
            destroyed.push_back(&mark);
    }
    for (const LogMark* mark : destroyed) {
        PanelRow row;
        row.kind = PanelRowKind::destroyed;
        row.side = mark->side;
        row.mark = mark;
        row.key = destroyedKey | static_cast<std::uint64_t>(mark - index.marks.data());
        groups[sideOrder(mark->side)].rows.push_back(row);
    }
    std::vector<PanelRow> rows;
    for (const auto& [order, group] : groups) {
        if (group.rows.empty() && (!search.empty() || group.soldiers + group.vehicles == 0))
            continue;
        PanelRow head;
        head.kind = PanelRowKind::side;
        head.side = order.second;
        head.soldiers = group.soldiers;
        head.vehicles = group.vehicles;
        head.key = sideKey | static_cast<std::uint32_t>(order.second);
        rows.push_back(head);
        rows.insert(rows.end(), group.rows.begin(), group.rows.end());
    }
    return rows;
}

std::vector<std::uint32_t> eventRows(const LogIndexData& index, std::string_view search)
{
    std::vector<std::uint32_t> rows;
    rows.reserve(search.empty() ? index.marks.size() : 0);
    for (std::size_t i = 0; i < index.marks.size(); ++i) {
        const LogMark& mark = index.marks[i];
        if (search.empty() || holdsText(mark.name, search) || holdsText(mark.text, search))
            rows.push_back(static_cast<std::uint32_t>(i));
    }
    return rows;
}

std::optional<std::uint32_t> currentEvent(const LogIndexData& index, std::int64_t linesPlayed)
{
    auto after = std::upper_bound(index.marks.begin(), index.marks.end(), linesPlayed,
                                  [](std::int64_t line, const LogMark& mark) { return line < mark.line; });
    if (after == index.marks.begin())
        return std::nullopt;
    return static_cast<std::uint32_t>(after - index.marks.begin() - 1);
}

std::string eventText(const LogMark& mark)
{
    switch (mark.kind) {
    case MarkKind::destroyed:
        return "destroyed: " + mark.name + (mark.side != -1 ? " (side " + std::to_string(mark.side) + ")" : "");
    case MarkKind::chat:
        return mark.name + ": " + mark.text;
    case MarkKind::killed:
    case MarkKind::win:
    case MarkKind::reset:
        break;
    }
    return markKindName(mark.kind);
}

std::string sideText(const PanelRow& row)
{
    auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return "Side " + std::to_string(row.side) + ": " + count(row.soldiers, "soldier", "soldiers") + ", "
         + count(row.vehicles, "vehicle", "vehicles");
}
