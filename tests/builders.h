// The test builders, one set for every test: log lines applied to the app's world, units put straight into its
// lists and marked in its view, and (in tests/pictures.h) picture files and frame fixtures.
#pragma once

#include <cstdint>
#include <string>

#include "world/world_model.h"

// [SECTION] Log lines

// Splits "[1:00:00] " + event as the reader would and applies it to the app's world at the app's speed.
void applyLine(const std::string& event);
// A "CREATED" line for a soldier (class Rifleman, height 7, direction 90, levels 1 and 0.5) or a vehicle (class
// Truck, height 2, direction 45, levels 1 and 1, side 1), applied.
void createSoldier(int id, float x, float y, int side = 0, const std::string& name = "Name");
void createVehicle(int id, float x, float y);

// [SECTION] Worlds

// A unit made and listed in its kind list and the entity list of the app's world, as a creation line would.
SoldierRecord& addSoldier(float x, float y, std::int32_t side, const std::string& name = "");
VehicleRecord& addVehicle(float x, float y, std::int32_t side, const std::string& className);

// Marks the unit of the app's world hovered, or pinned, in the app's view.
void hover(const Record& unit);
void pin(const Record& unit);
