// The world model's reference rules as one check, for the hostile-input tests and the fuzz targets: every list,
// passenger list and damage link refers to a record of the store.
// Header only, so that a fuzz target can use it without the test suite.
#pragma once

#include <string>
#include <unordered_set>

#include "world/world_model.h"

namespace invariants {

template <class T>
std::string listProblem(const PtrList<T>& list, const std::unordered_set<const Record*>& store, const char* name)
{
    for (const T* record : list.items)
        if (store.count(record) == 0)
            return std::string(name) + ": a record that is not in the store";
    return {};
}

}  // namespace invariants

// What breaks the rules first; empty when the world keeps them.
inline std::string brokenReference(const World& world)
{
    std::unordered_set<const Record*> store;
    for (const auto& owned : world.records)
        store.insert(owned.get());
    for (std::string problem : {invariants::listProblem(world.soldierList, store, "soldier list"),
                                invariants::listProblem(world.vehicleList, store, "vehicle list"),
                                invariants::listProblem(world.buildingList, store, "building list"),
                                invariants::listProblem(world.entityList, store, "entity list")})
        if (!problem.empty())
            return problem;
    for (const auto& owned : world.records) {
        if (owned->damageLink != nullptr && store.count(owned->damageLink) == 0)
            return "a damage link to a record that is not in the store";
        if (owned->kind != RecordKind::vehicle)
            continue;
        std::string problem =
            invariants::listProblem(static_cast<const VehicleRecord&>(*owned).passengers, store, "passenger list");
        if (!problem.empty())
            return problem;
    }
    return {};
}
