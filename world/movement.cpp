// Movement interpolation: each tick moves every gliding soldier, then every gliding vehicle, one step along
// its heading. Relies on the glide that the interpreter sets up at each position report.
#include "world/movement.h"

#include <cmath>

namespace {

// The cosine and sine are rounded to 32-bit floats before the product, and every sum is a 32-bit float,
// so a glide ends where the same float arithmetic puts it on every platform.
void glideStep(Record& unit, Glide& glide)
{
    if (glide.stepsLeft <= 0)
        return;
    const auto cosine = static_cast<float>(std::cos(static_cast<double>(glide.moveHeading)));
    const auto sine = static_cast<float>(std::sin(static_cast<double>(glide.moveHeading)));
    unit.posX = unit.posX + cosine * glide.stepLength;
    unit.posY = unit.posY + sine * glide.stepLength;
    --glide.stepsLeft;
}

}  // namespace

void glideUnits(World& world)
{
    walk(world.soldierList, [](SoldierRecord& soldier) { glideStep(soldier, soldier.glide); });
    walk(world.vehicleList, [](VehicleRecord& vehicle) { glideStep(vehicle, vehicle.glide); });
}
