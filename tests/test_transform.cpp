// The world-to-screen transform and the icon rotation against worked examples of the calibration.
#include <cmath>

#include "tests/kelo_test.h"
#include "view/transform.h"

namespace {

class TransformTest : public KeloTest {
protected:
    void calibrate(float scale, float offsetX = 0, float offsetY = 0)
    {
        g.calibration.scaleX = scale;
        g.calibration.scaleY = scale;
        g.calibration.offsetX = offsetX;
        g.calibration.offsetY = offsetY;
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
    expectPoint(worldToScreen(0, 0), 200, 225);
    expectPoint(worldToScreen(-200, -200), 0, 25);
    expectPoint(worldToScreen(200, 200), 400, 425);
}

TEST_F(TransformTest, XAddsHalfTheMapWidthInMapUnitsAfterScaling)
{
    calibrate(1000);
    expectPoint(worldToScreen(0, 0), 500, 225);
    // 400 map units are 160 pixels on both axes; only the fixed part differs.
    expectPoint(worldToScreen(400, 400), 660, 385);
    expectPoint(worldToScreen(-500, -500), 300, 25);
}

TEST_F(TransformTest, InversionNegatesTheMapCoordinateOfItsAxisOnly)
{
    calibrate(400);
    ScreenPoint plain = worldToScreen(-10, 30);
    g.calibration.invertX = true;
    ScreenPoint invertedX = worldToScreen(10, 30);
    EXPECT_EQ(invertedX.x, plain.x);
    EXPECT_EQ(invertedX.y, plain.y);

    g.calibration.invertX = false;
    g.calibration.invertY = true;
    ScreenPoint invertedY = worldToScreen(-10, -30);
    EXPECT_EQ(invertedY.x, plain.x);
    EXPECT_EQ(invertedY.y, plain.y);
}

TEST_F(TransformTest, OffsetsMovePointsLeftAndUp)
{
    calibrate(400, 50, 50);
    expectPoint(worldToScreen(0, 0), 150, 175);
    expectPoint(worldToScreen(200, 200), 350, 375);
    calibrate(400, -12.5f, 0);
    expectPoint(worldToScreen(0, 0), 212.5f, 225);
}

TEST_F(TransformTest, WorksInDoublePrecisionAndRoundsYAfterEachStep)
{
    // Single-precision arithmetic would give 44443.3984 on x; rounding y only once would give -57.5865059.
    calibrate(7, 0.1f, 0.1f);
    expectPoint(worldToScreen(777.7f, -4.94351387f), 44443.4023f, -57.5865097f);
}

TEST_F(TransformTest, ZeroScaleGivesAPointThatIsNotFinite)
{
    // Nothing loaded yet: every calibration value is 0.
    EXPECT_FALSE(isFinite(worldToScreen(0, 0)));
    EXPECT_FALSE(isFinite(worldToScreen(10, -10)));
    g.calibration.scaleX = 400;
    EXPECT_FALSE(isFinite(worldToScreen(10, -10)));
    g.calibration.scaleY = 400;
    EXPECT_TRUE(isFinite(worldToScreen(10, -10)));
    EXPECT_FALSE(isFinite(ScreenPoint{NAN, 0}));
    EXPECT_FALSE(isFinite(ScreenPoint{0, INFINITY}));
}

TEST_F(TransformTest, RotationTurnsBackByHeadingWithOneAddOfAFullTurn)
{
    EXPECT_EQ(iconRotation(90), 270);
    EXPECT_EQ(iconRotation(-30), 30);
    EXPECT_EQ(iconRotation(-400), 400);  // -40 after the single add
    EXPECT_EQ(iconRotation(0), 360);
    EXPECT_EQ(iconRotation(500), -140);  // 360 or more is used unchanged
}

TEST_F(TransformTest, RotationOffsetIsAddedBeforeTheTurnAndInversionIsIgnored)
{
    g.calibration.rotationOffset = 45;
    EXPECT_EQ(iconRotation(90), 225);
    EXPECT_EQ(iconRotation(-75), 30);
    g.calibration.invertX = true;
    g.calibration.invertY = true;
    EXPECT_EQ(iconRotation(90), 225);
}

}  // namespace
