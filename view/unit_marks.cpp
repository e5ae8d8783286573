// Hover and pin marks of units: carrying the pins over by kind and id to the world that takes the place of the one on
// screen.
#include "view/unit_marks.h"

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

}  // namespace

void moveMarks(UnitMarks& marks, const World& from, const World& to)
{
    std::unordered_set<std::uint64_t> pinned;
    pinSameIds(marks.pinned, from.soldierList, to.soldierList, pinned);
    pinSameIds(marks.pinned, from.vehicleList, to.vehicleList, pinned);
    marks.pinned = std::move(pinned);
    marks.hovered.clear();
}
