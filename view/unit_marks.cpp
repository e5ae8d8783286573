// Hover and pin marks of units: carrying the pins over by kind and id to the world that takes the place of the one on
// screen.
#include "view/unit_marks.h"

#include <functional>
#include <utility>

namespace {

// The pins of `to`'s units whose id a pinned unit of `from` has; soldiers and vehicles each count their own ids.
template <class Unit>
void pinSameIds(const std::unordered_set<std::uint64_t>& pinnedBefore, const PtrList<Unit>& from,
                const PtrList<Unit>& to, std::unordered_set<std::uint64_t>& pinned)
{
    std::unordered_set<std::int32_t> ids;
    walk(from, [&](const Unit& unit) {
        if (pinnedBefore.count(unit.serial) != 0)
            ids.insert(unit.id);
    });
    walk(to, [&](const Unit& unit) {
        if (ids.count(unit.id) != 0)
            pinned.insert(unit.serial);
    });
}

template <class Unit>
const Record* firstWhere(const PtrList<Unit>& list, const std::function<bool(const Record&)>& wanted)
{
    for (const Unit* unit : list.items)
        if (wanted(*unit))
            return unit;
    return nullptr;
}

}  // namespace

const Record* unitBySerial(const World& world, std::uint64_t serial)
{
    auto wanted = [serial](const Record& unit) { return unit.serial == serial; };
    const Record* soldier = firstWhere(world.soldierList, wanted);
    return soldier != nullptr ? soldier : firstWhere(world.vehicleList, wanted);
}

const Record* unitById(const World& world, RecordKind kind, std::int32_t id)
{
    auto wanted = [id](const Record& unit) { return unit.id == id; };
    if (kind == RecordKind::soldier)
        return firstWhere(world.soldierList, wanted);
    return kind == RecordKind::vehicle ? firstWhere(world.vehicleList, wanted) : nullptr;
}

void moveMarks(UnitMarks& marks, const World& from, const World& to)
{
    std::unordered_set<std::uint64_t> pinned;
    pinSameIds(marks.pinned, from.soldierList, to.soldierList, pinned);
    pinSameIds(marks.pinned, from.vehicleList, to.vehicleList, pinned);
    marks.pinned = std::move(pinned);
    marks.hovered.clear();
    const Record* last = unitBySerial(from, marks.lastPinned);
    const Record* same = last != nullptr ? unitById(to, last->kind, last->id) : nullptr;
    marks.lastPinned = same != nullptr ? same->serial : 0;
}
