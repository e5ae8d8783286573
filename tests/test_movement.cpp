// Tests of movement interpolation: glide steps in 32-bit floats, the end of a glide, and the pause that holds it (the
// movement timer's part, on the app's world).
#include <cmath>

#include "app/playback.h"
#include "app/viewer.h"
#include "tests/builders.h"
#include "tests/kelo_test.h"
#include "world/interpreter.h"
#include "world/movement.h"
#include "world/world_model.h"

namespace {

// A world of the test's own, glided a tick at a time as the movement timer glides the world on screen.
class MovementTest : public KeloTest {
protected:
    SoldierRecord& gliding(float x, float y, float heading, float step, int steps)
    {
        SoldierRecord& soldier = addSoldier(world, x, y, 0);
        soldier.posZ = 3;
        soldier.glide.moveHeading = heading;
        soldier.glide.stepLength = step;
        soldier.glide.stepsLeft = steps;
        return soldier;
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            glideUnits(world);
    }

    void report(SoldierRecord& soldier, float x, float y)
    {
        applyLine(world, "POS;SOLDIER;" + std::to_string(soldier.id) + ";Rifleman;" + std::to_string(y) + ";"
                             + std::to_string(x) + ";3");
    }

    World world;
};

}  // namespace

TEST_F(MovementTest, OneStepInThirtyTwoBitFloats)
{
    SoldierRecord& soldier = gliding(1.1f, 2.2f, 1.0f, 0.3f, 2);
    glideUnits(world);
    EXPECT_EQ(soldier.posX, 1.1f + static_cast<float>(std::cos(1.0)) * 0.3f);
    EXPECT_EQ(soldier.posY, 2.2f + static_cast<float>(std::sin(1.0)) * 0.3f);
    EXPECT_EQ(soldier.glide.stepsLeft, 1);
    EXPECT_EQ(soldier.posZ, 3);
}

TEST_F(MovementTest, GlideOfTenUnitsEndsOnTheTarget)
{
    SoldierRecord& soldier = gliding(0, 0, 0, 0, 0);
    report(soldier, 6, 8);
    ASSERT_EQ(soldier.glide.stepsLeft, 40);
    const float height = soldier.posZ;
    ticks(40);
    EXPECT_NEAR(soldier.posX, 6, 1e-4);
    EXPECT_NEAR(soldier.posY, 8, 1e-4);
    EXPECT_EQ(soldier.glide.stepsLeft, 0);
    const float endX = soldier.posX;
    ticks(5);
    EXPECT_EQ(soldier.posX, endX);
    EXPECT_EQ(soldier.posZ, height);
}

TEST_F(MovementTest, GlideOfEightUnitsStopsAStepShort)
{
    SoldierRecord& soldier = gliding(0, 0, 0, 0, 0);
    report(soldier, 8, 0);
    ASSERT_EQ(soldier.glide.stepsLeft, 39);
    ticks(50);
    EXPECT_NEAR(soldier.posX, 7.8, 1e-4);
    // The next report puts the soldier on the target exactly.
    report(soldier, 8, 0);
    EXPECT_EQ(soldier.posX, 8);
}

TEST_F(MovementTest, NoStepsLeftMeansNoMove)
{
    SoldierRecord& idle = gliding(5, 5, 0.5f, 2, 0);
    SoldierRecord& behind = gliding(5, 5, 0.5f, 2, -4);
    ticks(3);
    EXPECT_EQ(idle.posX, 5);
    EXPECT_EQ(idle.posY, 5);
    EXPECT_EQ(behind.posX, 5);
    EXPECT_EQ(behind.glide.stepsLeft, -4);
}

TEST_F(MovementTest, VehiclesAndPassengersMoveLikeSoldiers)
{
    SoldierRecord& soldier = gliding(0, 0, 2.0f, 0.25f, 3);
    soldier.aboard = 1;
    VehicleRecord& vehicle = makeRecord<VehicleRecord>(world);
    vehicle.glide.moveHeading = 2.0f;
    vehicle.glide.stepLength = 0.25f;
    vehicle.glide.stepsLeft = 3;
    vehicle.direction = 45;
    world.vehicleList.append(&vehicle);
    ticks(3);
    EXPECT_EQ(vehicle.posX, soldier.posX);
    EXPECT_EQ(vehicle.posY, soldier.posY);
    EXPECT_NE(vehicle.posX, 0);
    EXPECT_EQ(vehicle.direction, 45);
    EXPECT_EQ(vehicle.posZ, 0);
}

// The movement timer's tick glides the world on screen, unless playback is paused.
using MovementTickTest = KeloTest;

TEST_F(MovementTickTest, PausedHoldsEveryGlide)
{
    SoldierRecord& soldier = addSoldier(0, 0, 0);
    soldier.glide.moveHeading = 0.7f;
    soldier.glide.stepLength = 0.5f;
    soldier.glide.stepsLeft = 10;
    movementTick();
    viewer.playback.playbackPaused = 1;
    const float heldX = soldier.posX;
    for (int tick = 0; tick < 100; ++tick)
        movementTick();
    EXPECT_EQ(soldier.posX, heldX);
    EXPECT_EQ(soldier.glide.stepsLeft, 9);
    viewer.playback.playbackPaused = 0;
    movementTick();
    EXPECT_EQ(soldier.glide.stepsLeft, 8);
    EXPECT_NE(soldier.posX, heldX);
}
