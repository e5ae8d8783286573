// Tests of the camera: the round trip from a map point to the window pixel it is drawn at and back through the
// pointer, for random calibrations, cameras and window sizes; the rest that changes nothing; the wheel, drags and
// clicks, following a unit and the overview, through the app's handlers as the backends call them.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <random>
#include <vector>

#include "app/input.h"
#include "app/playback.h"
#include "app/shell.h"
#include "controls/camera_controls.h"
#include "platform/headless/headless.h"
#include "tests/builders.h"
#include "tests/kelo_test.h"
#include "view/camera.h"
#include "view/frame_layout.h"
#include "view/gdiplus_wrappers.h"
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

namespace {

std::filesystem::path demoFolder()
{
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo";
}

// The picture's colour at a point of its own pixels, bilinear between the four around it, channel by channel.
std::array<double, 3> sample(Image& picture, double u, double v)
{
    const GpRect size = picture.size();
    const int x0 = std::clamp(static_cast<int>(std::floor(u - 0.5)), 0, size.Width - 2);
    const int y0 = std::clamp(static_cast<int>(std::floor(v - 0.5)), 0, size.Height - 2);
    const double fx = std::clamp(u - 0.5 - x0, 0.0, 1.0);
    const double fy = std::clamp(v - 0.5 - y0, 0.0, 1.0);
    std::array<double, 3> colour{};
    for (int corner = 0; corner < 4; ++corner) {
        ARGB argb = 0;
        picture.pixel(x0 + corner % 2, y0 + corner / 2, argb);
        const double weight = (corner % 2 ? fx : 1 - fx) * (corner / 2 ? fy : 1 - fy);
        for (int c = 0; c < 3; ++c)
            colour[c] += weight * ((argb >> (16 - 8 * c)) & 0xFF);
    }
    return colour;
}

double difference(const std::array<double, 3>& a, ARGB b)
{
    double most = 0;
    for (int c = 0; c < 3; ++c)
        most = std::max(most, std::abs(a[c] - ((b >> (16 - 8 * c)) & 0xFF)));
    return most;
}

}  // namespace

// Zoomed over the demo's bridge, the map area shows the picture's own pixels (not the 400-pixel stretch enlarged),
// and each soldier's dot is where the transform and the camera put it.
TEST_F(CameraTest, OverTheDemosBridgeTheMapShowsItsOwnDetailAndTheUnitsWhereTheyAre)
{
    for (const char* name : {"Kelo.ini", "Maps", "Presets"})
        std::filesystem::copy(demoFolder() / name, folder / name, std::filesystem::copy_options::recursive);
    openReplayLog((demoFolder() / "demo.log").string());
    headless::advance(85850);
    Image picture = Image::loadBitmap((folder / "Maps" / "Brackwater.png").string());
    const GpRect size = picture.size();
    ASSERT_GT(size.Width, 400);
    for (const double zoom : {4.0, 16.0}) {
        camera() = Camera{};
        camera().zoom = zoom;
        camera().centre = MapPoint{2215, 2030};
        composeFrame();
        std::vector<std::uint32_t> frame;
        ASSERT_TRUE(headless::framePixels(frame));
        const CameraView v = view();
        // A crop in the middle of the map area: the picture's own pixels match it, the stretch's do not.
        int close = 0;
        int count = 0;
        double ownError = 0;
        double stretchError = 0;
        for (int y = 170; y < 280; y += 2) {
            for (int x = 140; x < 260; x += 2) {
                const PlanePoint plane = v.fromFrame({x + 0.5, y + 0.5});
                const double perPixel = size.Width / 400.0;
                const ARGB shown = frame[static_cast<std::size_t>(y) * frameWidth + x];
                const double own = difference(sample(picture, plane.x * perPixel, (plane.y - 25) * perPixel), shown);
                const double stretched = difference(sample(picture, (std::floor(plane.x) + 0.5) * perPixel,
                                                           (std::floor(plane.y - 25) + 0.5) * perPixel),
                                                    shown);
                close += own <= 24;
                ownError += own;
                stretchError += stretched;
                ++count;
            }
        }
        EXPECT_GT(close, count * 9 / 10) << zoom;
        EXPECT_LT(ownError * 2, stretchError) << zoom;
        // Every soldier whose dot lies well inside the map area shows its side's colour at the dot's middle.
        int seen = 0;
        walk(viewer.world.soldierList, [&](const SoldierRecord& soldier) {
            const ScreenPoint p = v.toFrame(worldToScreen(viewer.world.calibration, soldier.posX, soldier.posY));
            if (soldier.aboard || p.x < 20 || p.x > 300 || p.y < 80 || p.y > 300)
                return;
            // Most of the dot's inner 3 x 3 pixels (a damage line may cross its middle).
            int ofItsSide = 0;
            for (int dy = 2; dy <= 4; ++dy)
                for (int dx = 2; dx <= 4; ++dx)
                    ofItsSide +=
                        frame[static_cast<std::size_t>(p.y + dy) * frameWidth + static_cast<std::size_t>(p.x + dx)]
                        == (soldier.side == 0 ? 0xFFFF0000u : 0xFFFFFF00u);
            EXPECT_GE(ofItsSide, 5) << soldier.id << " at zoom " << zoom;
            ++seen;
        });
        EXPECT_GE(seen, 2) << zoom;
    }
}
