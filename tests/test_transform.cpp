// The world-to-screen transform and the icon rotation against worked examples of the calibration.
#include <cmath>

#include "tests/kelo_test.h"
#include "view/transform.h"

namespace {

class TransformTest : public KeloTest {
protected:
    void calibrate(float scale, float offsetX = 0, float offsetY = 0)
    {
        viewer.world.calibration.scaleX = scale;
        viewer.world.calibration.scaleY = scale;
        viewer.world.calibration.offsetX = offsetX;
        viewer.world.calibration.offsetY = offsetY;
    }

    static void expectPoint(ScreenPoint point, float x, float y)
    {
        EXPECT_EQ(point.x, x);
        EXPECT_EQ(point.y, y);
    }
};

TEST_F(TransformTest, SquareMapOfFourHundredSpansTheMapArea)
{
    calibrate(400);
    expectPoint(worldToScreen(viewer.world.calibration, 0, 0), 200, 225);
    expectPoint(worldToScreen(viewer.world.calibration, -200, -200), 0, 25);
    expectPoint(worldToScreen(viewer.world.calibration, 200, 200), 400, 425);
}

TEST_F(TransformTest, XAddsHalfTheMapWidthInMapUnitsAfterScaling)
{
    calibrate(1000);
    expectPoint(worldToScreen(viewer.world.calibration, 0, 0), 500, 225);
    // 400 map units are 160 pixels on both axes; only the fixed part differs.
    expectPoint(worldToScreen(viewer.world.calibration, 400, 400), 660, 385);
    expectPoint(worldToScreen(viewer.world.calibration, -500, -500), 300, 25);
}

TEST_F(TransformTest, InversionNegatesTheMapCoordinateOfItsAxisOnly)
{
    calibrate(400);
    ScreenPoint plain = worldToScreen(viewer.world.calibration, -10, 30);
    viewer.world.calibration.invertX = true;
    ScreenPoint invertedX = worldToScreen(viewer.world.calibration, 10, 30);
    EXPECT_EQ(invertedX.x, plain.x);
    EXPECT_EQ(invertedX.y, plain.y);

    viewer.world.calibration.invertX = false;
    viewer.world.calibration.invertY = true;
    ScreenPoint invertedY = worldToScreen(viewer.world.calibration, -10, -30);
    EXPECT_EQ(invertedY.x, plain.x);
    EXPECT_EQ(invertedY.y, plain.y);
}

TEST_F(TransformTest, OffsetsMovePointsLeftAndUp)
{
    calibrate(400, 50, 50);
    expectPoint(worldToScreen(viewer.world.calibration, 0, 0), 150, 175);
    expectPoint(worldToScreen(viewer.world.calibration, 200, 200), 350, 375);
    calibrate(400, -12.5f, 0);
    expectPoint(worldToScreen(viewer.world.calibration, 0, 0), 212.5f, 225);
}

TEST_F(TransformTest, WorksInDoublePrecisionAndRoundsYAfterEachStep)
{
    // Single-precision arithmetic would give 44443.3984 on x; rounding y only once would give -57.5865059.
    calibrate(7, 0.1f, 0.1f);
    expectPoint(worldToScreen(viewer.world.calibration, 777.7f, -4.94351387f), 44443.4023f, -57.5865097f);
}

TEST_F(TransformTest, ZeroScaleGivesAPointThatIsNotFinite)
{
    // Nothing loaded yet: every calibration value is 0.
    EXPECT_FALSE(isFinite(worldToScreen(viewer.world.calibration, 0, 0)));
    EXPECT_FALSE(isFinite(worldToScreen(viewer.world.calibration, 10, -10)));
    viewer.world.calibration.scaleX = 400;
    EXPECT_FALSE(isFinite(worldToScreen(viewer.world.calibration, 10, -10)));
    viewer.world.calibration.scaleY = 400;
    EXPECT_TRUE(isFinite(worldToScreen(viewer.world.calibration, 10, -10)));
    EXPECT_FALSE(isFinite(ScreenPoint{NAN, 0}));
    EXPECT_FALSE(isFinite(ScreenPoint{0, INFINITY}));
}

TEST_F(TransformTest, RotationTurnsBackByHeadingWithOneAddOfAFullTurn)
{
    EXPECT_EQ(iconRotation(viewer.world.calibration, 90), 270);
    EXPECT_EQ(iconRotation(viewer.world.calibration, -30), 30);
    EXPECT_EQ(iconRotation(viewer.world.calibration, -400), 400);  // -40 after the single add
    EXPECT_EQ(iconRotation(viewer.world.calibration, 0), 360);
    EXPECT_EQ(iconRotation(viewer.world.calibration, 500), -140);  // 360 or more is used unchanged
}

TEST_F(TransformTest, RotationOffsetIsAddedBeforeTheTurnAndInversionIsIgnored)
{
    viewer.world.calibration.rotationOffset = 45;
    EXPECT_EQ(iconRotation(viewer.world.calibration, 90), 225);
    EXPECT_EQ(iconRotation(viewer.world.calibration, -75), 30);
    viewer.world.calibration.invertX = true;
    viewer.world.calibration.invertY = true;
    EXPECT_EQ(iconRotation(viewer.world.calibration, 90), 225);
}

}  // namespace
