// Tests of the camera: the round trip from a map point to the window pixel it is drawn at and back through the
// pointer, for random calibrations, cameras and window sizes; the rest that changes nothing; the wheel, drags and
// clicks, following a unit and the overview, through the app's handlers as the backends call them.
#include <cmath>
#include <random>

#include "app/input.h"
#include "app/shell.h"
#include "controls/camera_controls.h"
#include "platform/headless/headless.h"
#include "tests/builders.h"
#include "tests/kelo_test.h"
#include "view/camera.h"
#include "view/frame_layout.h"
#include "view/overview.h"

namespace {

class CameraTest : public KeloTest {
protected:
    void SetUp() override
    {
        KeloTest::SetUp();
        // 400 map units to 400 pixels: map (x, y) lands on the plane at (x + 200, y + 225).
        viewer.world.calibration.scaleX = 400;
        viewer.world.calibration.scaleY = 400;
    }

    Camera& camera() { return viewer.view.camera; }
    CameraView view() { return cameraView(camera(), viewer.world.calibration); }
};

Calibration randomCalibration(std::mt19937& random)
{
    std::uniform_real_distribution<float> scale(50, 20000);
    std::uniform_real_distribution<float> offset(-3000, 3000);
    Calibration c;
    c.invertX = random() % 2 == 0;
    c.invertY = random() % 2 == 0;
    c.scaleX = scale(random);
    c.scaleY = scale(random);
    c.offsetX = c.scaleX / 2 + offset(random) / 10;  // the map mostly on the map area, as a Kelo.ini puts it
    c.offsetY = offset(random) / 10;
    return c;
}

// Where the unit at the plane point is drawn, in window pixels: the window pixel that holds the frame point.
std::pair<int, int> windowPixelOf(const FrameFit& fit, ScreenPoint frame)
{
    return {static_cast<int>(std::floor(fit.left + frame.x * fit.scale)),
            static_cast<int>(std::floor(fit.top + frame.y * fit.scale))};
}

}  // namespace

// A map point drawn at a window pixel is the one the pointer finds there, within half a window pixel, at every zoom
// and window size; and a unit there is hovered where it is drawn.
TEST_F(CameraTest, APointDrawnAtAPixelIsThePointThePointerFindsThere)
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> unit(0, 1);
    int checked = 0;
    for (int round = 0; round < 3000; ++round) {
        const Calibration c = randomCalibration(random);
        const FrameFit fit = fitFrame(100 + static_cast<int>(random() % 1900), 100 + static_cast<int>(random() % 1900));
        Camera cam;
        cam.zoom = std::exp2(6 * unit(random));
        const MapPoint centre = screenToWorld(c, 400 * unit(random), 25 + 400 * unit(random));
        cam.centre = centre;
        const CameraView v = cameraView(cam, c);
        // A map point somewhere on the map area as this camera shows it.
        const PlanePoint plane = v.fromFrame({400 * unit(random), 25 + 400 * unit(random)});
        const MapPoint point = screenToWorld(c, plane.x, plane.y);
        const ScreenPoint drawn = v.toFrame(worldToScreen(c, static_cast<float>(point.x), static_cast<float>(point.y)));
        const auto [wx, wy] = windowPixelOf(fit, drawn);
        const PlanePoint found = v.fromFrame(exactFramePoint(fit, wx, wy));
        const MapPoint back = screenToWorld(c, found.x, found.y);
        const ScreenPoint again = v.toFrame(worldToScreen(c, static_cast<float>(back.x), static_cast<float>(back.y)));
        ASSERT_LE(std::abs(again.x - drawn.x) * fit.scale, 0.52) << round;
        ASSERT_LE(std::abs(again.y - drawn.y) * fit.scale, 0.52) << round;
        // Through the app: a soldier at the point is hovered at the window pixel over the middle of its dot.
        if (round % 10 == 0) {
            viewer.world.calibration = c;
            viewer.view.camera = cam;
            viewer.fit = fit;
            SoldierRecord& soldier = addSoldier(static_cast<float>(point.x), static_cast<float>(point.y), 0);
            const auto [mx, my] = windowPixelOf(fit, {drawn.x + 3, drawn.y + 3});
            const PlanePoint pointer = exactFramePoint(fit, mx, my);
            if (onMapArea(pointer) && !(overviewShown(v) && insideOverview(pointer))) {
                onPointerMove(mx, my);
                EXPECT_TRUE(viewer.view.units.isHovered(soldier)) << round;
                ++checked;
            }
            resetWorld(viewer.world);
        }
    }
    EXPECT_GT(checked, 100);
}

// At rest the camera passes every point through to the bit, and every view keeps the map area over the map but for a
// quarter of its width.
TEST_F(CameraTest, AtRestNothingMovesAndNoViewStraysFromTheMap)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> anywhere(-1e4f, 1e4f);
    const CameraView rest = cameraView(Camera{}, viewer.world.calibration);
    ASSERT_TRUE(rest.identity());
    for (int i = 0; i < 1000; ++i) {
        const ScreenPoint p{anywhere(random), anywhere(random)};
        const ScreenPoint q = rest.toFrame(p);
        ASSERT_TRUE(q.x == p.x && q.y == p.y);
        const double zoom = std::exp2(std::uniform_real_distribution<double>(-1, 7)(random));
        const CameraView v = clampedView(zoom, {anywhere(random), anywhere(random)});
        const PlaneRect seen = v.visible();
        const double margin = 0.25 * mapArea.width / v.zoom + 1e-9;
        ASSERT_GE(v.zoom, 1);
        ASSERT_LE(v.zoom, 64);
        ASSERT_GE(seen.left, mapArea.left - margin);
        ASSERT_LE(seen.right, mapArea.right() + margin);
        ASSERT_GE(seen.top, mapArea.top - margin);
        ASSERT_LE(seen.bottom, mapArea.bottom() + margin);
    }
}

TEST_F(CameraTest, TheWheelZoomsAboutThePointerAndTheKeysAboutTheMiddle)
{
    const MapPoint under = screenToWorld(viewer.world.calibration, 150.5, 200.5);
    headless::wheel(150, 200, 4);
    EXPECT_DOUBLE_EQ(view().zoom, 2);
    const PlanePoint now = view().fromFrame({150.5, 200.5});
    EXPECT_NEAR(now.x, under.x + 200, 1e-3);
    EXPECT_NEAR(now.y, under.y + 225, 1e-3);
    // A notch in and a notch out land on the zoom there was; the range ends at 1 and 64.
    headless::wheel(150, 200, 1);
    headless::wheel(150, 200, -1);
    EXPECT_DOUBLE_EQ(view().zoom, 2);
    headless::wheel(150, 200, 100);
    EXPECT_DOUBLE_EQ(view().zoom, 64);
    headless::key({Key::x});
    EXPECT_DOUBLE_EQ(view().zoom, std::exp2(23.0 / 4));
    const PlanePoint middle = view().centre;
    headless::key({Key::z});
    EXPECT_DOUBLE_EQ(view().centre.x, middle.x);
    // Over the strip or the control bar the wheel does nothing; 0 goes back to rest.
    headless::wheel(150, 440, -4);
    headless::wheel(150, 10, -4);
    EXPECT_DOUBLE_EQ(view().zoom, 64);
    headless::key({Key::zero});
    EXPECT_TRUE(camera().atRest());
}

// A press that moves less than 4 frame pixels is a click and pins; one that moves further drags the map with the
// pointer and pins nothing.
TEST_F(CameraTest, ADragMovesTheMapAndAClickStillPins)
{
    SoldierRecord& soldier = addSoldier(0, 0, 0);  // its dot on the plane at (200, 225)
    headless::wheel(200, 225, 8);  // zoom 4 about the soldier
    ASSERT_DOUBLE_EQ(view().zoom, 4);
    onPointerPress(202, 227);
    onPointerMove(204, 229);
    onPointerRelease();
    EXPECT_TRUE(viewer.view.units.isPinned(soldier));
    const PlanePoint grabbed = view().fromFrame({100.5, 300.5});
    onPointerPress(100, 300);
    onPointerMove(103, 302);
    onPointerMove(140, 320);
    onPointerRelease();
    EXPECT_TRUE(viewer.view.units.isPinned(soldier));
    const PlanePoint held = view().fromFrame({140.5, 320.5});
    EXPECT_NEAR(held.x, grabbed.x, 1e-3);
    EXPECT_NEAR(held.y, grabbed.y, 1e-3);
    // The soldier is hit where it is drawn now, not where it was.
    const ScreenPoint drawn = view().toFrame(ScreenPoint{200, 225});
    onPointerPress(static_cast<int>(drawn.x) + 3, static_cast<int>(drawn.y) + 3);
    onPointerRelease();
    EXPECT_FALSE(viewer.view.units.isPinned(soldier));
}

// F follows the unit pinned last; the camera centres on it frame by frame until it is destroyed, where it stays. A
// seek carries the following over to the unit of the same id.
TEST_F(CameraTest, FollowingCentresOnTheUnitUntilItIsGone)
{
    createSoldier(viewer.world, 3, 10, 20);
    createSoldier(viewer.world, 4, -50, 60);
    const Record& first = *viewer.world.soldierList.items[0];
    const Record& second = *viewer.world.soldierList.items[1];
    viewer.view.units.flipPin(second);
    viewer.view.units.flipPin(first);
    headless::key({Key::z});
    headless::key({Key::f});
    ASSERT_TRUE(camera().following);
    EXPECT_EQ(camera().following->id, 3);
    // As it glides, frame by frame.
    viewer.world.soldierList.items[0]->posX = 30;
    viewer.world.soldierList.items[0]->posY = -40;
    composeFrame();
    EXPECT_NEAR(view().centre.x, 230, 1e-3);
    EXPECT_NEAR(view().centre.y, 185, 1e-3);
    World seekTarget = viewer.world;
    moveFollowing(camera(), seekTarget);
    EXPECT_EQ(camera().following->serial, seekTarget.soldierList.items[0]->serial);
    applyLine("DESTROYED;SOLDIER;3");
    composeFrame();
    EXPECT_FALSE(camera().following);
    EXPECT_NEAR(view().centre.x, 230, 1e-3);
    // F again on nothing pinned follows the other pin; F once more stops.
    headless::key({Key::f});
    EXPECT_EQ(camera().following->id, 4);
    headless::key({Key::f});
    EXPECT_FALSE(camera().following);
}

TEST_F(CameraTest, AClickInTheOverviewCentresTheCameraThere)
{
    headless::key({Key::z});
    EXPECT_FALSE(overviewShown(cameraView(Camera{}, viewer.world.calibration)));
    ASSERT_TRUE(overviewShown(view()));
    // The overview's top-left quarter shows the map's top-left quarter.
    const int x = overviewBox.left + overviewBox.width / 4;
    const int y = overviewBox.top + overviewBox.height / 4;
    onPointerPress(x, y);
    onPointerRelease();
    EXPECT_NEAR(view().centre.x, mapArea.left + mapArea.width / 4 + 2.5, 1e-6);
    EXPECT_NEAR(view().centre.y, mapArea.top + mapArea.height / 4 + 2.5, 1e-6);
}
