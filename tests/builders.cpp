// The shared test builders over a world of the test's own or the app's instances (app/app_state.h), and the
// interpreter.
#include "tests/builders.h"

#include <gtest/gtest.h>

#include "app/screen_hooks.h"
#include "app/viewer.h"
#include "world/interpreter.h"

void applyLine(World& world, const std::string& event, std::int32_t msPerLogSecond, const WorldHooks& hooks)
{
    const std::string line = "[1:00:00] " + event;
    std::optional<SplitLine> split = splitLine(line);
    ASSERT_TRUE(split) << event;
    applyEvent(world, split->fields, msPerLogSecond, hooks);
}

void createSoldier(World& world, int id, float x, float y, int side, const std::string& name)
{
    applyLine(world, "CREATED;SOLDIER;" + std::to_string(id) + ";Rifleman;" + std::to_string(y) + ";"
                         + std::to_string(x) + ";7;90;1;0.5;" + std::to_string(side) + ";" + name);
}

void createVehicle(World& world, int id, float x, float y)
{
    applyLine(world, "CREATED;VEHICLE;" + std::to_string(id) + ";Truck;" + std::to_string(y) + ";" + std::to_string(x)
                         + ";2;45;1;1;1");
}

void applyLine(const std::string& event)
{
    applyLine(app::viewer().world, event, app::viewer().playback.msPerLogSecond, screenHooks);
}

SoldierRecord& addSoldier(World& world, float x, float y, std::int32_t side, const std::string& name)
{
    SoldierRecord& soldier = makeRecord<SoldierRecord>(world);
    soldier.posX = x;
    soldier.posY = y;
    soldier.side = side;
    soldier.name = name;
    world.soldierList.append(&soldier);
    world.entityList.append(&soldier);
    return soldier;
}

VehicleRecord& addVehicle(World& world, float x, float y, std::int32_t side, const std::string& className)
{
    VehicleRecord& vehicle = makeRecord<VehicleRecord>(world);
    vehicle.posX = x;
    vehicle.posY = y;
    vehicle.side = side;
    vehicle.className = className;
    world.vehicleList.append(&vehicle);
    world.entityList.append(&vehicle);
    return vehicle;
}

SoldierRecord& addSoldier(float x, float y, std::int32_t side, const std::string& name)
{
    return addSoldier(app::viewer().world, x, y, side, name);
}

VehicleRecord& addVehicle(float x, float y, std::int32_t side, const std::string& className)
{
    return addVehicle(app::viewer().world, x, y, side, className);
}

void hover(const Record& unit)
{
    app::viewer().view.units.hovered.insert(unit.serial);
}

void pin(const Record& unit)
{
    app::viewer().view.units.pinned.insert(unit.serial);
}
