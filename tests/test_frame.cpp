// Frame composition on the headless back buffer: title screen, map picture, map-name label and the layer order.
// Positions come from text sizes measured with the view's own fonts, never from fixed pixel widths.
#include <cmath>

#include "app/playback.h"
#include "app/seek.h"
#include "app/shell.h"
#include "tests/pictures.h"
#include "view/frame.h"
#include "view/map_picture.h"

namespace {

constexpr ARGB black = 0xFF000000;
constexpr ARGB boxOverBlack = 0xFF4B4B4B;  // white at alpha 75 over black

class FrameTest : public ViewTest {
protected:
    // Names the map and loads its picture, as a map line would.
    void showMap(const std::string& name, const std::string& picture)
    {
        viewer.world.mapName = name;
        viewer.world.mapImage = viewer.caches.maps.load(picture);
    }
};

TEST_F(FrameTest, FixedDecimalsRoundAndKeepAPoint)
{
    EXPECT_EQ(fixedDecimals(90, 3), "90.000");
    EXPECT_EQ(fixedDecimals(-12.5f, 3), "-12.500");
    EXPECT_EQ(fixedDecimals(0.125f, 2), "0.12");  // exactly half way: to even
    EXPECT_EQ(fixedDecimals(0.126f, 2), "0.13");
    EXPECT_EQ(fixedDecimals(-0.0001f, 3), "-0.000");
    EXPECT_EQ(fixedDecimals(3.0e38f, 3).size(), std::string("300000000000000000000000000000000000000.000").size());
    EXPECT_FALSE(fixedDecimals(NAN, 3).empty());
}

TEST_F(FrameTest, TitleScreenIsYellowOverAnOliveShadowCentredInTheMapArea)
{
    composeFrame();
    EXPECT_TRUE(viewer.composeReady);

    GpRectF size = measureText("Tarnwatch", "Arial", 50);
    int x = static_cast<int>(200 - size.Width / 2);
    int y = static_cast<int>(200 - size.Height / 2 - 25);
    ColourExtent title = findColour(0xFFFFFF00, mapArea);
    ColourExtent shadow = findColour(0xFF646400, mapArea);
    ASSERT_GT(title.count, 0);
    ASSERT_GT(shadow.count, 0);
    // The ink lies in the measured box, whose centre is (200, 175).
    EXPECT_GE(title.left, x);
    EXPECT_LE(title.right, x + static_cast<int>(size.Width) + 1);
    EXPECT_GE(title.top, y);
    EXPECT_LE(title.bottom, y + static_cast<int>(size.Height) + 1);
    EXPECT_NEAR((title.left + title.right) / 2.0, 200, size.Width / 8);
    // The shadow is the same text 5 pixels up and to the left; the title does not cover its top-left edges.
    EXPECT_EQ(shadow.left, title.left - 5);
    EXPECT_EQ(shadow.top, title.top - 5);
    // No map, so no map-name label at the lower right.
    EXPECT_EQ(findColour(boxOverBlack, mapArea).count, 0);
}

TEST_F(FrameTest, PictureOfAnySizeIsStretchedIntoTheMapArea)
{
    // Four quadrants of four colours: each fills its quarter of the area, whatever the picture's own size.
    auto quadrants = [](int width, int height) {
        return [width, height](int x, int y) -> ARGB {
            bool right = x >= width / 2;
            bool lower = y >= height / 2;
            return right ? (lower ? 0xFF0000FF : 0xFF00FF00) : (lower ? 0xFFFF00FF : 0xFF00FFFF);
        };
    };
    for (auto [width, height] : {std::pair{2, 2}, std::pair{40, 20}, std::pair{400, 400}, std::pair{800, 1000}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        fillBackBuffer(0xFF808080);
        std::string path = folder.string() + "/Maps/quad" + std::to_string(width) + ".png";
        ASSERT_TRUE(writePicture(path, width, height, quadrants(width, height)));
        showMap("quad.map", path);
        composeFrame();
        EXPECT_EQ(headless::pixel(100, 125), 0xFF00FFFFu);
        EXPECT_EQ(headless::pixel(300, 125), 0xFF00FF00u);
        EXPECT_EQ(headless::pixel(100, 325), 0xFFFF00FFu);
        EXPECT_EQ(headless::pixel(300, 325), 0xFF0000FFu);
        // No picture reaches past the map area, however much it is enlarged.
        EXPECT_EQ(headless::pixel(0, 425), 0xFF808080u);
        EXPECT_EQ(headless::pixel(399, 425), 0xFF808080u);
        EXPECT_EQ(headless::pixel(399, 454), 0xFF808080u);
        EXPECT_EQ(headless::pixel(399, 24), 0xFF000064u);
        // The library blurs the edges of enlarged pictures; pictures at least as large as the area fill it
        // to its corners.
        if (width < 400)
            continue;
        EXPECT_EQ(headless::pixel(0, 25), 0xFF00FFFFu);
        EXPECT_EQ(headless::pixel(399, 25), 0xFF00FF00u);
        EXPECT_EQ(headless::pixel(0, 424), 0xFFFF00FFu);
        EXPECT_EQ(headless::pixel(399, 424), 0xFF0000FFu);
        EXPECT_EQ(headless::pixel(199, 224), 0xFF00FFFFu);
        EXPECT_EQ(headless::pixel(200, 225), 0xFF0000FFu);
    }
}

TEST_F(FrameTest, MapNameLabelEndsTenPixelsFromTheRightAndTwentyAboveTheBottom)
{
    ASSERT_TRUE(writePicture(folder.string() + "/Maps/coast.png", 8, 8, black));
    showMap("coast.map", folder.string() + "/Maps/coast.png");
    composeFrame();

    // The whole name is shown, extension included.
    GpRectF size = measureText("coast.map", "Arial", 8);
    int left = static_cast<int>(400 - size.Width - 11);
    int top = static_cast<int>(400 - size.Height + 4);
    EXPECT_EQ(headless::pixel(left, top), boxOverBlack);
    EXPECT_EQ(headless::pixel(390, 405), boxOverBlack);
    EXPECT_EQ(headless::pixel(left - 1, top), black);
    EXPECT_EQ(headless::pixel(391, 405), black);
    EXPECT_EQ(headless::pixel(390, 406), black);
    EXPECT_EQ(findColour(0xFFFFFF00, mapArea).count, 0);  // no title
}

TEST_F(FrameTest, WithoutAPictureEarlierFramesAreClearedAndTheLabelIsStillDrawn)
{
    std::string picture = folder.string() + "/Maps/good.png";
    ASSERT_TRUE(writePicture(picture, 8, 8, 0xFF00FF00));
    std::string png = readBytes(picture);
    // A missing file, a truncated picture and a file that is no picture all draw nothing.
    std::string paths[] = {folder.string() + "/Maps/nowhere.png", writeFile("Maps/cut.png", png.substr(0, 60)),
                           writeFile("Maps/text.png", "no picture here")};
    SoldierRecord& soldier = addSoldier(-100, -100, 0);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        fillBackBuffer(0xFF808080);
        showMap("nowhere.map", path);
        soldier.posX = -100;
        composeFrame();
        soldier.posX = 100;
        composeFrame();

        EXPECT_EQ(pixelAt(-100, -100, 3, 3), black);
        EXPECT_EQ(pixelAt(100, -100, 3, 3), 0xFFFF0000u);
        EXPECT_EQ(findColour(0xFF00FF00, mapArea).count, 0);
        EXPECT_EQ(headless::pixel(0, 25), black);
        EXPECT_EQ(headless::pixel(399, 424), black);
        // One label box, white at alpha 75 over black.
        EXPECT_EQ(headless::pixel(390, 405), boxOverBlack);
    }
}

TEST_F(FrameTest, ASeekToTheStartShowsTheTitleOverABlackMapArea)
{
    // A game without a map: a title and clock, a soldier, a vehicle with no icon and a chat line.
    openReplayLog(writeFile("game.log", "[10:00:00] CONFIG;20;Hill 112\n"
                                        "[10:00:01] CREATED;SOLDIER;1;Rifleman;-100;-100;0;90;1;0.5;0;Ann\n"
                                        "[10:00:01] CREATED;VEHICLE;2;Truck;50;50;0;45;1;1;1\n"
                                        "[10:00:02] CHAT;PUBLIC;1;over the bridge\n"
                                        "[10:00:30] WIN;0\n"));
    headless::advance(5000);
    composeFrame();
    ASSERT_EQ(pixelAt(-100, -100, 3, 3), 0xFFFF0000u);
    ASSERT_EQ(pixelAt(50, 50, 3, 3), 0xFFFFFF00u);
    ASSERT_GT(countTinted(0xFFFF0000, 10, 340, 200, 10), 0);

    seekTo(0);
    finishSeek();
    composeFrame();
    // The world before the first line: the title alone, on black.
    GpRectF size = measureText("Tarnwatch", "Arial", 50);
    const int x = static_cast<int>(200 - size.Width / 2);
    const int y = static_cast<int>(200 - size.Height / 2 - 25);
    // The title and its shadow 5 pixels up and to the left, in the measured box.
    const int width = static_cast<int>(size.Width) + 7;
    const int height = static_cast<int>(size.Height) + 7;
    const int titleBlack = findColour(black, x - 5, y - 5, width, height).count;
    EXPECT_EQ(findColour(black, mapArea).count, mapArea.width * mapArea.height - width * height + titleBlack);
    EXPECT_GT(findColour(0xFFFFFF00, x - 5, y - 5, width, height).count, 0);
}

TEST_F(FrameTest, APictureCoversWhatEarlierFramesDrew)
{
    ASSERT_TRUE(writePicture(folder.string() + "/Maps/plain.png", 4, 4, 0xFF203040));
    showMap("plain", folder.string() + "/Maps/plain.png");
    SoldierRecord& soldier = addSoldier(-100, -100, 1);
    composeFrame();
    EXPECT_EQ(pixelAt(-100, -100, 3, 3), 0xFFFFFF00u);
    soldier.posX = 100;
    composeFrame();
    EXPECT_EQ(pixelAt(-100, -100, 3, 3), 0xFF203040u);
}

TEST_F(FrameTest, VehiclesAreDrawnOverSoldiers)
{
    addSoldier(50, 50, 0);
    addVehicle(50, 50, 1, "NoSuchIcon");
    composeFrame();
    EXPECT_EQ(pixelAt(50, 50, 3, 3), 0xFFFFFF00u);
}

TEST_F(FrameTest, EditedCalibrationMovesMarkersOnTheNextFrame)
{
    auto settings = [](const char* offsetX) {
        return std::string("[edit.map]\nInvertY=0\nInvertX=0\nScaleX=400\nScaleY=400\nOffsetX=") + offsetX
             + "\nOffsetY=0\nRotationOffset=0\n";
    };
    writeFile("Kelo.ini", settings("0"));
    viewer.world.mapName = "edit.map";
    addSoldier(0, 0, 0);
    composeFrame();
    EXPECT_EQ(headless::pixel(203, 228), 0xFFFF0000u);

    fillBackBuffer(black);
    writeFile("Kelo.ini", settings("100"));
    composeFrame();
    EXPECT_EQ(headless::pixel(203, 228), black);
    EXPECT_EQ(headless::pixel(103, 228), 0xFFFF0000u);
}

}  // namespace
