// Unit symbols on the headless back buffer: dots, squares and icons, labels, passenger names, status bars and
// damage lines. Label positions come from text sizes measured with the view's own font.
#include <array>
#include <cmath>
#include <random>
#include <string>

#include "app/shell.h"
#include "tests/pictures.h"
#include "view/colour_key.h"
#include "view/frame.h"
#include "view/map_picture.h"
#include "view/transform.h"
#include "view/units.h"

namespace {

constexpr ARGB black = 0xFF000000;
constexpr ARGB red = 0xFFFF0000;
constexpr ARGB yellow = 0xFFFFFF00;
constexpr ARGB white = 0xFFFFFFFF;

// A label box at alpha 20 over the black back buffer.
ARGB boxOverBlack(ARGB colour)
{
    auto channel = [colour](int shift) { return ((colour >> shift) & 0xFF) * 20 / 255; };
    return 0xFF000000 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

std::uint8_t redOf(ARGB colour)
{
    return (colour >> 16) & 0xFF;
}

std::uint8_t greenOf(ARGB colour)
{
    return (colour >> 8) & 0xFF;
}

class UnitsTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        viewer.world.mapName = "units.map";  // a map without a picture keeps the title screen out of the way
    }

    // The bottom-right pixel of the box of a label whose text starts at (x, y): inside the box, clear of the text.
    static void expectLabelBox(std::string_view text, int x, int y, ARGB colour)
    {
        GpRectF size = measureText(text, "Arial", 8);
        int right = x + static_cast<int>(size.Width);
        int bottom = y + static_cast<int>(size.Height);
        EXPECT_EQ(headless::pixel(right, bottom), boxOverBlack(colour)) << text;
        EXPECT_EQ(headless::pixel(right + 1, bottom), black) << text;
        EXPECT_EQ(headless::pixel(right, bottom + 1), black) << text;
    }

    std::string presets() const { return folder.string() + "/Presets/"; }
};

// [SECTION] Soldiers

TEST_F(UnitsTest, SoldierDotsLieAtTheirScreenPointInTheSideColour)
{
    addSoldier(-150, -150, 0);
    addSoldier(-50, -150, 1);
    addSoldier(50, -150, -1);
    addSoldier(150, -150, 7);
    composeFrame();
    EXPECT_EQ(pixelAt(-150, -150, 3, 3), red);
    EXPECT_EQ(pixelAt(-50, -150, 3, 3), yellow);
    EXPECT_EQ(pixelAt(50, -150, 3, 3), white);
    EXPECT_EQ(pixelAt(150, -150, 3, 3), white);
    // A 6 by 6 dot from P: nothing left of P or below P + 6.
    EXPECT_EQ(pixelAt(-150, -150, -1, 3), black);
    EXPECT_EQ(pixelAt(-150, -150, 3, 7), black);
    EXPECT_EQ(pixelAt(-150, -150, 7, 3), black);
}

TEST_F(UnitsTest, SoldierAboardIsNotDrawnAndKeepsItsDamageLink)
{
    SoldierRecord& attacker = addSoldier(100, 100, 1);
    SoldierRecord& rider = addSoldier(-100, -100, 0);
    rider.aboard = 1;
    pin(rider);
    rider.damageLink = &attacker;
    composeFrame();
    EXPECT_EQ(pixelAt(-100, -100, 3, 3), black);
    EXPECT_EQ(rider.damageLink, &attacker);
    // The attacker's dot is all the yellow there is: no line.
    EXPECT_EQ(findColour(yellow, mapArea).count, findColour(yellow, 300, 325, 10, 10).count);
}

TEST_F(UnitsTest, LabelAppearsWhileHoveredOrPinned)
{
    SoldierRecord& soldier = addSoldier(-100, -100, 1, "Sergeant Mills");
    composeFrame();
    GpRectF size = measureText(soldier.name, "Arial", 8);
    EXPECT_EQ(headless::pixel(106 + static_cast<int>(size.Width), 131 + static_cast<int>(size.Height)), black);
    EXPECT_EQ(findColour(yellow, 106, 131, 100, 14).count, 0);

    for (auto [hovered, pinned] : {std::pair{true, false}, std::pair{false, true}, std::pair{true, true}}) {
        fillBackBuffer(black);
        viewer.view.units = UnitMarks{};
        if (hovered)
            hover(soldier);
        if (pinned)
            pin(soldier);
        composeFrame();
        expectLabelBox(soldier.name, 106, 131, yellow);
        // Yellow text on its faint yellow box.
        EXPECT_GT(findColour(yellow, 106, 131, 100, 14).count, 0);
    }
}

TEST_F(UnitsTest, StatusBarRunsFromRedTowardsGreenOverThirtyPixels)
{
    SoldierRecord& half = addSoldier(-100, -100, 0, "A");
    hover(half);
    half.levelA = 50;
    half.peakA = 100;
    SoldierRecord& full = addSoldier(-100, 50, 0, "B");
    pin(full);
    full.levelA = 30;
    full.levelB = 70;
    full.peakA = 40;
    full.peakB = 60;
    SoldierRecord& none = addSoldier(50, -100, 0, "C");
    hover(none);
    none.levelA = 10;  // levels without peaks: no ratio, no bar
    composeFrame();

    // Half a bar: 15 pixels from L.x, 15 below L.y, red at its start and only halfway to green at its end.
    int x = 106;
    int y = 131 + 16;
    EXPECT_GT(redOf(headless::pixel(x, y)), 0xE0);
    EXPECT_LT(greenOf(headless::pixel(x, y)), 0x20);
    ARGB end = headless::pixel(x + 14, y);
    EXPECT_GT(redOf(end), 0x60);
    EXPECT_GT(greenOf(end), 0x60);
    EXPECT_EQ(headless::pixel(x + 15, y), black);
    EXPECT_EQ(headless::pixel(x, y + 2), black);

    // A full bar ends green at 30 pixels.
    y = 281 + 16;
    EXPECT_GT(greenOf(headless::pixel(x + 29, y)), 0xE0);
    EXPECT_LT(redOf(headless::pixel(x + 29, y)), 0x20);
    EXPECT_EQ(headless::pixel(x + 30, y), black);
    EXPECT_EQ(countTinted(0xFFFF0000, 256, 147, 30, 4), 0);
}

TEST_F(UnitsTest, BareBarsUnderEveryUnlabelledSoldierWhenShown)
{
    SoldierRecord& plain = addSoldier(-100, -100, 0, "A");
    plain.levelA = 1;
    plain.peakA = 1;
    SoldierRecord& labelled = addSoldier(-100, 50, 0, "B");
    labelled.levelA = 1;
    labelled.peakA = 1;
    hover(labelled);
    SoldierRecord& rider = addSoldier(50, 50, 0, "C");
    rider.levelA = 1;
    rider.peakA = 1;
    rider.aboard = 1;
    composeFrame();
    EXPECT_EQ(headless::pixel(103, 138), black);

    viewer.view.barsShown = 1;
    composeFrame();
    // From (P.x + 2, P.y + 13), 30 pixels long.
    EXPECT_GT(redOf(headless::pixel(102, 138)), 0xE0);
    EXPECT_GT(greenOf(headless::pixel(131, 138)), 0xE0);
    EXPECT_EQ(headless::pixel(132, 138), black);
    EXPECT_EQ(headless::pixel(101, 138), black);
    // The labelled soldier has its bar under the label only; the rider has none.
    EXPECT_EQ(headless::pixel(102, 288), black);
    EXPECT_GT(redOf(headless::pixel(106, 297)), 0xE0);
    EXPECT_EQ(headless::pixel(252, 288), black);
}

TEST_F(UnitsTest, DamageLineIsDrawnInOneFrameOnly)
{
    ASSERT_TRUE(writePicture(folder.string() + "/Maps/flat.png", 4, 4, black));
    viewer.world.mapName = "flat";
    viewer.world.mapImage = viewer.caches.maps.load(folder.string() + "/Maps/flat.png");
    SoldierRecord& byYellow = addSoldier(-150, -100, 0);
    SoldierRecord& byOther = addSoldier(-150, 50, 1);
    SoldierRecord& yellowSide = addSoldier(150, -100, 1);
    SoldierRecord& otherSide = addSoldier(150, 50, -1);
    byYellow.damageLink = &yellowSide;
    byOther.damageLink = &otherSide;
    composeFrame();
    // Lines from dot centre to dot centre: yellow from a side-1 source, red from any other.
    EXPECT_GT(findColour(yellow, 100, 128, 200, 2).count, 150);
    EXPECT_GT(findColour(red, 100, 278, 200, 2).count, 150);
    EXPECT_EQ(byYellow.damageLink, nullptr);
    EXPECT_EQ(byOther.damageLink, nullptr);

    composeFrame();
    EXPECT_EQ(findColour(yellow, 100, 128, 200, 2).count, 0);
    EXPECT_EQ(findColour(red, 100, 278, 200, 2).count, 0);
}

TEST_F(UnitsTest, WithoutAPictureTheDamageLineIsGoneFromTheNextFrameToo)
{
    SoldierRecord& damaged = addSoldier(-150, -100, 0);
    damaged.damageLink = &addSoldier(150, -100, 1);
    composeFrame();
    EXPECT_GT(findColour(yellow, 100, 128, 200, 2).count, 150);
    composeFrame();
    EXPECT_EQ(damaged.damageLink, nullptr);
    EXPECT_EQ(findColour(yellow, 100, 128, 200, 2).count, 0);
}

// Damage lines against a model of what a user sees: a soldier hit while it has no line waiting gets one, a later hit
// waits for it to be drawn; a frame composed draws every waiting line of a soldier drawn (and only those) and they
// go; a paint that composes nothing, or a soldier aboard, keeps them for a later frame.
TEST_F(UnitsTest, EachDamageLineShowsInTheFirstFrameComposedThatDrawsItsSoldier)
{
    SoldierRecord& yellowSource = addSoldier(150, -180, 1);
    SoldierRecord& redSource = addSoldier(150, -180, 0);
    yellowSource.id = 11;
    redSource.id = 12;
    std::array<SoldierRecord*, 3> victims{};
    std::array<const SoldierRecord*, 3> waiting{};
    for (std::int32_t i = 0; i < 3; ++i) {
        victims[i] = &addSoldier(-150, -150 + 100.0f * static_cast<float>(i), 0);
        victims[i]->id = i + 1;
    }
    std::mt19937 random(5);
    int linesSeen = 0;
    for (int step = 0; step < 400; ++step) {
        const std::size_t i = random() % 3;
        switch (random() % 4) {
        case 0: {
            const SoldierRecord* source = random() % 2 ? &yellowSource : &redSource;
            applyLine("DAMAGED;SOLDIER;" + std::to_string(i + 1) + ";-;-;-;-;-;" + std::to_string(source->id));
            if (waiting[i] == nullptr)
                waiting[i] = source;
            break;
        }
        case 1:
            victims[i]->aboard = !victims[i]->aboard;
            break;
        case 2:
            composeFrame();
            for (std::size_t v = 0; v < 3; ++v) {
                // Each line crosses x = 203 at its own height, halfway between its two dots' centres.
                const int crossing = (78 + 100 * static_cast<int>(v) + 48) / 2;
                const bool drawn = !victims[v]->aboard;
                const bool yellowLine = countTinted(yellow, 203, crossing - 2, 1, 5) > 0;
                const bool redLine = countTinted(red, 203, crossing - 2, 1, 5) > 0;
                EXPECT_EQ(yellowLine, drawn && waiting[v] == &yellowSource) << step << " " << v;
                EXPECT_EQ(redLine, drawn && waiting[v] == &redSource) << step << " " << v;
                linesSeen += yellowLine || redLine;
                if (drawn)
                    waiting[v] = nullptr;
            }
            break;
        default:
            viewer.composeReady = false;
            composeFrame();
            viewer.composeReady = true;
            break;
        }
        for (std::size_t v = 0; v < 3; ++v)
            ASSERT_EQ(victims[v]->damageLink, waiting[v]) << step << " " << v;
    }
    EXPECT_GT(linesSeen, 20);
}

// [SECTION] Vehicles

TEST_F(UnitsTest, VehicleWithoutIconIsASquareInTheSideColour)
{
    addVehicle(-100, -100, 0, "NoIcon");
    addVehicle(100, -100, 1, "NoIcon");
    addVehicle(-100, 100, -1, "");
    VehicleRecord& unplaced = addVehicle(0, 0, 0, "NoIcon");
    composeFrame();
    for (auto [x, colour] : {std::pair{-100.0f, red}, std::pair{100.0f, yellow}}) {
        EXPECT_EQ(pixelAt(x, -100, 0, 0), colour);
        EXPECT_EQ(pixelAt(x, -100, 6, 6), colour);
        EXPECT_EQ(pixelAt(x, -100, 7, 3), black);
        EXPECT_EQ(pixelAt(x, -100, 3, 7), black);
        EXPECT_EQ(pixelAt(x, -100, -1, 3), black);
    }
    EXPECT_EQ(pixelAt(-100, 100, 3, 3), white);
    // Exactly at (0, 0, 0) a vehicle has not been placed; one unit up it is drawn at the point of (0, 0).
    EXPECT_EQ(pixelAt(0, 0, 3, 3), black);
    unplaced.posZ = 1;
    composeFrame();
    EXPECT_EQ(pixelAt(0, 0, 3, 3), red);
}

TEST_F(UnitsTest, IconIsColourKeyedOnOpaqueWhiteOnly)
{
    // Columns 0-3 opaque white, 4-6 almost white, 7-9 white at alpha 254.
    ASSERT_TRUE(writePicture(presets() + "Keyed.png", 10, 10, [](int x, int) -> ARGB {
        return x < 4 ? 0xFFFFFFFF : (x < 7 ? 0xFFFEFEFE : 0xFEFFFFFF);
    }));
    addVehicle(-100, -100, 0, "Keyed");
    composeFrame();
    // P = (100, 125); the icon covers (95, 120) to (104, 129). Heading 0 draws it upright, and the black map area
    // shows where it is keyed.
    EXPECT_EQ(headless::pixel(96, 125), black);
    EXPECT_EQ(headless::pixel(97, 125), black);
    EXPECT_EQ(headless::pixel(100, 125), 0xFFFEFEFEu);
    ARGB almostOpaque = headless::pixel(103, 125);
    EXPECT_GE(redOf(almostOpaque), 0xFD);
    EXPECT_GE(greenOf(almostOpaque), 0xFD);
    // With an icon there is no square of the side colour.
    EXPECT_EQ(findColour(red, 90, 115, 20, 20).count, 0);
}

TEST_F(UnitsTest, IconTurnsCounterClockwiseByHeadingAndRotationOffset)
{
    // Top three rows orange, the rest blue: a heading of 90 turns the orange edge to the left.
    constexpr ARGB orange = 0xFFFF8000;
    constexpr ARGB blue = 0xFF4080FF;
    ASSERT_TRUE(writePicture(presets() + "Arrow.png", 10, 10, [](int, int y) { return y < 3 ? orange : blue; }));
    VehicleRecord& vehicle = addVehicle(-100, -100, 1, "Arrow");
    composeFrame();
    EXPECT_EQ(headless::pixel(100, 121), orange);
    EXPECT_EQ(headless::pixel(96, 127), blue);

    for (auto [heading, offset] : {std::pair{90.0f, 0.0f}, std::pair{60.0f, 30.0f}}) {
        fillBackBuffer(black);
        vehicle.direction = heading;
        viewer.world.calibration.rotationOffset = offset;
        composeFrame();
        EXPECT_EQ(headless::pixel(96, 125), orange);
        EXPECT_EQ(headless::pixel(100, 121), blue);
        EXPECT_EQ(headless::pixel(103, 125), blue);
    }
}

TEST_F(UnitsTest, IconsThatCannotBeUsedFallBackToTheSquare)
{
    std::string picture = presets() + "Good.png";
    ASSERT_TRUE(writePicture(picture, 10, 10, 0xFF00FF00));
    // A truncated picture, a file that is no picture, an empty file and a missing one.
    std::string png = readBytes(picture);
    writeFile("Presets/Truncated.png", png.substr(0, png.size() / 2));
    writeFile("Presets/Text.png", "not a picture at all");
    writeFile("Presets/Empty.png", "");
    // Names that would reach outside Presets, with a real picture where they would lead.
    writeFile("Outside.png", png);
    writeFile("Presets/sub/Inner.png", png);
    const char* names[] = {"Truncated", "Text",       "Empty",     "Missing", "../Outside",
                           "sub/Inner", "sub\\Inner", "C:Outside", "..",      "a..b"};
    float x = -190;
    for (const char* name : names)
        addVehicle(x += 35, -100, 0, name);
    addVehicle(-150, 100, 0, "Good");
    composeFrame();
    x = -190;
    for (const char* name : names)
        EXPECT_EQ(pixelAt(x += 35, -100, 3, 3), red) << name;
    EXPECT_EQ(pixelAt(-150, 100, 0, 0), 0xFF00FF00u);
}

TEST_F(UnitsTest, VehicleLabelIsWhiteOverAnIconAndInTheSideColourOverASquare)
{
    ASSERT_TRUE(writePicture(presets() + "Tank.png", 10, 10, 0xFF808080));
    VehicleRecord& tank = addVehicle(-100, -100, 0, "Tank");
    tank.direction = 90;
    hover(tank);
    VehicleRecord& jeep = addVehicle(-100, 50, 1, "Jeep");
    jeep.direction = -12.5f;
    pin(jeep);
    composeFrame();
    expectLabelBox("Tank - 90.000", 106, 131, white);
    expectLabelBox("Jeep - -12.500", 106, 281, yellow);
    // Text in white over the icon (not in the side's red), and in the side's yellow over the square.
    EXPECT_GT(countTinted(white, 106, 131, 100, 14), 0);
    EXPECT_EQ(countTinted(red, 106, 131, 100, 14), 0);
    EXPECT_GT(countTinted(yellow, 106, 281, 100, 14), 0);
}

TEST_F(UnitsTest, PassengerNamesStandTenPixelsApartAboveTheBar)
{
    VehicleRecord& truck = addVehicle(-100, -100, -1, "Truck");
    pin(truck);
    SoldierRecord& first = addSoldier(50, 50, 0, "Private Long-Name First");
    SoldierRecord& second = addSoldier(50, 50, 0, "Second Passenger, Longest Of All");
    first.aboard = 1;
    second.aboard = 1;
    truck.passengers.append(&first);
    truck.passengers.append(&second);
    composeFrame();
    // The last box's lower edge is below every other box.
    expectLabelBox(second.name, 106, 151, white);
    // The first passenger's box ends right of where the vehicle label's box ends.
    GpRectF firstSize = measureText(first.name, "Arial", 8);
    EXPECT_NE(headless::pixel(106 + static_cast<int>(firstSize.Width), 141), black);
    EXPECT_EQ(headless::pixel(106 + static_cast<int>(firstSize.Width) + 1, 141), black);

    // The bar lies 16 below the last name's top.
    fillBackBuffer(black);
    truck.levelA = 1;
    truck.peakA = 1;
    composeFrame();
    EXPECT_GT(redOf(headless::pixel(106, 151 + 17)), 0xE0);
    EXPECT_EQ(headless::pixel(106, 151 + 19), black);
}

// [SECTION] Bad input and pure helpers

TEST_F(UnitsTest, UnplaceableUnitsDrawNothing)
{
    viewer.world.calibration.scaleX = 0;  // nothing calibrated yet
    SoldierRecord& soldier = addSoldier(10, 10, 0, "A");
    hover(soldier);
    SoldierRecord& source = addSoldier(20, 20, 1);
    soldier.damageLink = &source;
    VehicleRecord& vehicle = addVehicle(10, 10, 0, "NoIcon");
    pin(vehicle);
    composeFrame();
    EXPECT_EQ(findColour(red, mapArea).count, 0);
    EXPECT_EQ(findColour(yellow, mapArea).count, 0);
    EXPECT_EQ(soldier.damageLink, &source);
}

TEST_F(UnitsTest, FarAwayUnitsAndWildLevelsDoNotBreakTheFrame)
{
    SoldierRecord& far = addSoldier(3.0e38f, -3.0e38f, 0, "far");
    hover(far);
    far.levelA = 1;
    far.peakA = 1;
    SoldierRecord& wild = addSoldier(-100, -100, 0, "wild");
    hover(wild);
    wild.levelA = 3.0e38f;
    wild.peakA = 1.0e-30f;
    wild.damageLink = &far;
    VehicleRecord& vehicle = addVehicle(-3.0e38f, 3.0e38f, 1, "NoIcon");
    pin(vehicle);
    vehicle.levelA = NAN;
    vehicle.peakA = 1;
    vehicle.direction = NAN;
    composeFrame();
    EXPECT_EQ(pixelAt(-100, -100, 3, 3), red);
}

// In a process of its own, so that no earlier test has used up the one report.
TEST_F(UnitsTest, AFailingDrawingCallIsReportedOnceForTheProgramsLife)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child exits with the number of reports its three frames gave.
    EXPECT_EXIT(
        {
            // A label and a bar at 3e38 pixels: drawing calls that GDI+ refuses.
            SoldierRecord& far = addSoldier(3.0e38f, -3.0e38f, 0, "far");
            hover(far);
            far.levelA = 1;
            far.peakA = 1;
            testing::internal::CaptureStderr();
            for (int frame = 0; frame < 3; ++frame)
                composeFrame();
            const std::string said = testing::internal::GetCapturedStderr();
            int reports = 0;
            for (std::size_t at = said.find("kelo: a drawing call failed (GDI+ status "); at != std::string::npos;
                 at = said.find("kelo: a drawing call failed", at + 1))
                ++reports;
            std::exit(reports);
        },
        testing::ExitedWithCode(1), "");
}

TEST_F(UnitsTest, ColourKeyVisitsEveryPixelAndMatchesAllFourBytes)
{
    std::string path = presets() + "Grid.png";
    // A narrow, tall bitmap with the key in its last pixel and near misses elsewhere.
    ASSERT_TRUE(writePicture(path, 3, 5, [](int x, int y) -> ARGB {
        if (x == 2 && y == 4)
            return 0xFFFFFFFF;
        return y == 0 ? 0xFFFFFFFE : (y == 1 ? 0xFEFFFFFF : 0xFF102030);
    }));
    Image bitmap = Image::loadBitmap(path);
    ASSERT_TRUE(bitmap.isRasterBitmap());
    applyColourKey(bitmap, 0xFFFFFFFF);
    ARGB colour = 0;
    ASSERT_TRUE(bitmap.pixel(2, 4, colour));
    EXPECT_EQ(colour, 0x00000000u);
    ASSERT_TRUE(bitmap.pixel(1, 0, colour));
    EXPECT_EQ(colour, 0xFFFFFFFEu);
    ASSERT_TRUE(bitmap.pixel(0, 1, colour));
    EXPECT_EQ(colour, 0xFEFFFFFFu);
    ASSERT_TRUE(bitmap.pixel(2, 3, colour));
    EXPECT_EQ(colour, 0xFF102030u);

    // A picture that could not be read: the first read fails, so the scan ends at once, and no pixel appears.
    Image missing = Image::loadBitmap(presets() + "Missing.png");
    applyColourKey(missing, 0xFFFFFFFF);
    EXPECT_EQ(missing.get(), nullptr);
    EXPECT_NE(missing.status(), gpOk);
    EXPECT_FALSE(missing.pixel(0, 0, colour));
}

}  // namespace
