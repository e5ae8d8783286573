// The shared test builders over the app's instances (app/app_state.h) and the interpreter.
#include "tests/builders.h"

#include <gtest/gtest.h>

#include "app/viewer.h"
#include "world/interpreter.h"

void applyLine(const std::string& event)
{
    std::optional<SplitLine> split = splitLine("[1:00:00] " + event);
    ASSERT_TRUE(split) << event;
    applyEvent(app::viewer().world, split->fields, app::viewer().playback.msPerLogSecond);
}

void createSoldier(int id, float x, float y, int side, const std::string& name)
{
    applyLine("CREATED;SOLDIER;" + std::to_string(id) + ";Rifleman;" + std::to_string(y) + ";" + std::to_string(x)
              + ";7;90;1;0.5;" + std::to_string(side) + ";" + name);
}

void createVehicle(int id, float x, float y)
{
    applyLine("CREATED;VEHICLE;" + std::to_string(id) + ";Truck;" + std::to_string(y) + ";" + std::to_string(x)
              + ";2;45;1;1;1");
}

SoldierRecord& addSoldier(float x, float y, std::int32_t side, const std::string& name)
{
    SoldierRecord& soldier = makeRecord<SoldierRecord>(app::viewer().world);
    soldier.posX = x;
    soldier.posY = y;
    soldier.side = side;
    soldier.name = name;
    app::viewer().world.soldierList.append(&soldier);
    app::viewer().world.entityList.append(&soldier);
    return soldier;
}

VehicleRecord& addVehicle(float x, float y, std::int32_t side, const std::string& className)
{
    VehicleRecord& vehicle = makeRecord<VehicleRecord>(app::viewer().world);
    vehicle.posX = x;
    vehicle.posY = y;
    vehicle.side = side;
    vehicle.className = className;
    app::viewer().world.vehicleList.append(&vehicle);
    app::viewer().world.entityList.append(&vehicle);
    return vehicle;
}

void hover(const Record& unit)
{
    app::viewer().view.units.hovered.insert(unit.serial);
}

void pin(const Record& unit)
{
    app::viewer().view.units.pinned.insert(unit.serial);
}
