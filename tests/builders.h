// The test builders, one set for every test: log lines applied to a world, units put straight into its lists (and,
// for the tests of the app, marked in its view), and (in tests/pictures.h) picture files and frame fixtures. Each
// comes for a world of the test's own and, for the tests of the app, for the app's world.
#pragma once

#include <cstdint>
#include <string>

#include "world/world_hooks.h"
#include "world/world_model.h"

// [SECTION] Log lines

// Splits "[1:00:00] " + event as the reader would and applies it to the world at the speed, with the hooks.
void applyLine(World& world, const std::string& event, std::int32_t msPerLogSecond = 1000,
               const WorldHooks& hooks = WorldHooks{});
// A "CREATED" line for a soldier (class Rifleman, height 7, direction 90, levels 1 and 0.5) or a vehicle (class
// Truck, height 2, direction 45, levels 1 and 1, side 1), applied.
void createSoldier(World& world, int id, float x, float y, int side = 0, const std::string& name = "Name");
void createVehicle(World& world, int id, float x, float y);

// A line applied to the app's world at the app's speed, with the app's hooks.
void applyLine(const std::string& event);

// [SECTION] Worlds

// A unit made and listed in its kind list and the entity list of the world, as a creation line would.
SoldierRecord& addSoldier(World& world, float x, float y, std::int32_t side, const std::string& name = "");
VehicleRecord& addVehicle(World& world, float x, float y, std::int32_t side, const std::string& className);

// The same in the app's world.
SoldierRecord& addSoldier(float x, float y, std::int32_t side, const std::string& name = "");
VehicleRecord& addVehicle(float x, float y, std::int32_t side, const std::string& className);

// Marks the unit of the app's world hovered, or pinned, in the app's view.
void hover(const Record& unit);
void pin(const Record& unit);
