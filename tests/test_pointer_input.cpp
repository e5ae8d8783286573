// Tests of pointer input: the strict hit rule, hover and press of buttons on a composed bar, hover and pin (by a
// click) of soldiers and vehicles through their 6 x 6 boxes at the transformed screen point, and the timeline
// strip's pointing, pressing and dragging.
#include <cmath>
#include <tuple>

#include "app/input.h"
#include "app/shell.h"
#include "controls/pointer_input.h"
#include "tests/builders.h"
#include "tests/kelo_test.h"
#include "view/control_bar.h"
#include "view/timeline_scale.h"
#include "view/transform.h"
#include "world/world_model.h"

namespace {

class PointerInputTest : public KeloTest {
protected:
    void SetUp() override
    {
        KeloTest::SetUp();
        // 400 map units to 400 pixels: map (x, y) lands on screen (x + 200, y + 225).
        viewer.world.calibration.scaleX = 400;
        viewer.world.calibration.scaleY = 400;
    }

    SoldierRecord& soldierAt(float x, float y)
    {
        SoldierRecord& soldier = makeRecord<SoldierRecord>(viewer.world);
        soldier.posX = x;
        soldier.posY = y;
        viewer.world.soldierList.append(&soldier);
        viewer.world.entityList.append(&soldier);
        return soldier;
    }

    VehicleRecord& vehicleAt(float x, float y)
    {
        VehicleRecord& vehicle = makeRecord<VehicleRecord>(viewer.world);
        vehicle.posX = x;
        vehicle.posY = y;
        viewer.world.vehicleList.append(&vehicle);
        viewer.world.entityList.append(&vehicle);
        return vehicle;
    }
};

// A press and its release where the pointer is: a click, which pins and unpins units.
void click(int x, int y)
{
    onPointerPress(x, y);
    onPointerRelease();
}

bool hovered(const Record& unit)
{
    return app::viewer().view.units.isHovered(unit);
}

bool pinned(const Record& unit)
{
    return app::viewer().view.units.isPinned(unit);
}

ScreenPoint screenOf(const Record& unit)
{
    return worldToScreen(app::viewer().world.calibration, unit.posX, unit.posY);
}

// A pixel well inside the button's hit rectangle.
std::pair<int, int> middleOf(ButtonIndex button)
{
    const GpRectF& hit = app::viewer().view.controlButtons[button].hit;
    return {static_cast<int>(hit.X + hit.Width / 2), static_cast<int>(hit.Y + hit.Height / 2)};
}

}  // namespace

// [SECTION] The hit rule

TEST(InsideRect, EdgesAreOutsideAndEmptyRectanglesHoldNothing)
{
    const GpRectF rect{65, 4, 26, 16};
    EXPECT_TRUE(insideRect(66, 5, rect));
    EXPECT_TRUE(insideRect(90.9f, 19.9f, rect));
    EXPECT_FALSE(insideRect(65, 10, rect));
    EXPECT_FALSE(insideRect(91, 10, rect));
    EXPECT_FALSE(insideRect(70, 4, rect));
    EXPECT_FALSE(insideRect(70, 20, rect));
    EXPECT_FALSE(insideRect(64, 3, rect));
    // Empty rectangles, as before the first frame, hold no point.
    EXPECT_FALSE(insideRect(0, 0, GpRectF{}));
    EXPECT_FALSE(insideRect(10, 10, GpRectF{10, 10, 0, 5}));
    EXPECT_FALSE(insideRect(10, 12, GpRectF{9, 10, 5, 0}));
    EXPECT_FALSE(insideRect(NAN, NAN, GpRectF{0, 0, 10, 10}));
}

// [SECTION] Buttons

TEST_F(PointerInputTest, NoButtonReactsBeforeTheFirstFrame)
{
    for (int x = 0; x < 400; x += 3) {
        onPointerMove(x, 10);
        onPointerPress(x, 10);
    }
    for (const ControlButton& button : viewer.view.controlButtons) {
        EXPECT_EQ(button.hovered, 0);
        EXPECT_EQ(button.pressed, 0);
    }
}

TEST_F(PointerInputTest, MovementHoversOnlyTheButtonUnderThePointer)
{
    composeFrame();
    for (ButtonIndex target : screenOrder) {
        auto [x, y] = middleOf(target);
        onPointerMove(x, y);
        for (ButtonIndex button : screenOrder)
            EXPECT_EQ(viewer.view.controlButtons[button].hovered, button == target) << buttonLabel(button);
    }
    onPointerMove(200, 300);
    for (const ControlButton& button : viewer.view.controlButtons)
        EXPECT_EQ(button.hovered, 0);
}

TEST_F(PointerInputTest, PressOnAnEdgeOrOnTheFaceStripPressesNothing)
{
    composeFrame();
    const GpRectF& hit = viewer.view.controlButtons[buttonPlay].hit;
    onPointerPress(static_cast<int>(hit.X), 10);
    onPointerPress(static_cast<int>(hit.X) + 3, 4);
    // Unpressed, the face sticks out 2 pixels below the hit rectangle; that strip is not the button.
    onPointerPress(static_cast<int>(hit.X) + 3, static_cast<int>(std::ceil(hit.Y + hit.Height)));
    EXPECT_EQ(viewer.view.controlButtons[buttonPlay].pressed, 0);
    onPointerPress(static_cast<int>(hit.X) + 1, 5);
    EXPECT_EQ(viewer.view.controlButtons[buttonPlay].pressed, 1);
}

TEST_F(PointerInputTest, PressMarksOnlyThatButtonAndAMissClearsNothing)
{
    composeFrame();
    auto [x, y] = middleOf(buttonBars);
    onPointerPress(x, y);
    onPointerPress(200, 300);
    for (ButtonIndex button : screenOrder)
        EXPECT_EQ(viewer.view.controlButtons[button].pressed, button == buttonBars) << buttonLabel(button);
}

TEST_F(PointerInputTest, MovingOffCancelsThePressAndComingBackOnlyHovers)
{
    composeFrame();
    auto [x, y] = middleOf(buttonPause);
    onPointerPress(x, y);
    onPointerMove(x + 1, y);
    EXPECT_EQ(viewer.view.controlButtons[buttonPause].pressed, 1);
    onPointerMove(x, 100);
    EXPECT_EQ(viewer.view.controlButtons[buttonPause].pressed, 0);
    onPointerMove(x, y);
    EXPECT_EQ(viewer.view.controlButtons[buttonPause].pressed, 0);
    EXPECT_EQ(viewer.view.controlButtons[buttonPause].hovered, 1);
}

// [SECTION] Units

TEST_F(PointerInputTest, UnitBoxLiesRightOfAndBelowTheScreenPoint)
{
    SoldierRecord& soldier = soldierAt(-100, -25);
    ScreenPoint p = screenOf(soldier);
    ASSERT_FLOAT_EQ(p.x, 100);
    ASSERT_FLOAT_EQ(p.y, 200);
    click(99, 203);
    EXPECT_FALSE(pinned(soldier));
    click(105, 205);
    EXPECT_TRUE(pinned(soldier));
    for (int x = 99; x <= 107; ++x) {
        onPointerMove(x, 203);
        EXPECT_EQ(hovered(soldier), x >= 101 && x <= 105) << x;
    }
    for (int y = 199; y <= 207; ++y) {
        onPointerMove(103, y);
        EXPECT_EQ(hovered(soldier), y >= 201 && y <= 205) << y;
    }
}

TEST_F(PointerInputTest, FractionalScreenPointWidensTheHitRange)
{
    VehicleRecord& vehicle = vehicleAt(-99.5f, -24.75f);
    ScreenPoint p = screenOf(vehicle);
    ASSERT_FLOAT_EQ(p.x, 100.5f);
    ASSERT_FLOAT_EQ(p.y, 200.25f);
    for (int x = 99; x <= 108; ++x) {
        onPointerMove(x, 203);
        EXPECT_EQ(hovered(vehicle), x >= 101 && x <= 106) << x;
    }
    for (int y = 199; y <= 208; ++y) {
        onPointerMove(103, y);
        EXPECT_EQ(hovered(vehicle), y >= 201 && y <= 206) << y;
    }
}

TEST_F(PointerInputTest, EveryOverlappingUnitFlipsOnEachPress)
{
    SoldierRecord& first = soldierAt(0, 0);
    SoldierRecord& second = soldierAt(2, 2);
    VehicleRecord& vehicle = vehicleAt(1, 3);
    SoldierRecord& away = soldierAt(50, 50);
    click(204, 229);
    EXPECT_TRUE(pinned(first));
    EXPECT_TRUE(pinned(second));
    EXPECT_TRUE(pinned(vehicle));
    EXPECT_FALSE(pinned(away));
    click(204, 229);
    EXPECT_FALSE(pinned(first));
    EXPECT_FALSE(pinned(second));
    EXPECT_FALSE(pinned(vehicle));
    onPointerMove(204, 229);
    EXPECT_EQ(hovered(first) + hovered(second) + hovered(vehicle) + hovered(away), 3);
}

// Marks go with the record, not the id: of two vehicles that share an id only the one under the pointer is pinned; a
// soldier created anew under its id, a vehicle destroyed and created again and the units after a reset come unmarked.
TEST_F(PointerInputTest, MarksStayWithTheirRecords)
{
    World& world = viewer.world;
    createSoldier(world, 5, 0, 0);
    createVehicle(world, 7, 50, 0);
    createVehicle(world, 7, 100, 0);
    onPointerMove(203, 228);
    click(203, 228);
    click(253, 228);
    ASSERT_EQ(world.vehicleList.size(), 2);
    EXPECT_TRUE(hovered(*world.soldierList.items[0]) && pinned(*world.soldierList.items[0]));
    EXPECT_TRUE(pinned(*world.vehicleList.items[0]));
    EXPECT_FALSE(pinned(*world.vehicleList.items[1]));
    createSoldier(world, 5, 0, 0);
    EXPECT_FALSE(hovered(*world.soldierList.items[0]) || pinned(*world.soldierList.items[0]));
    applyLine("DESTROYED;VEHICLE;7");
    createVehicle(world, 7, 50, 0);
    EXPECT_FALSE(pinned(*world.vehicleList.items[0]));
    click(253, 228);
    resetWorld(world);
    createVehicle(world, 7, 50, 0);
    EXPECT_FALSE(pinned(*world.vehicleList.items[0]));
}

TEST_F(PointerInputTest, UnitsThatAreNotDrawnAreStillHit)
{
    SoldierRecord& rider = soldierAt(0, 0);
    rider.aboard = 1;
    // A vehicle at exactly (0, 0, 0) is not drawn, yet it has a box.
    VehicleRecord& parked = vehicleAt(0, 0);
    click(203, 228);
    EXPECT_TRUE(pinned(rider));
    EXPECT_TRUE(pinned(parked));
}

TEST_F(PointerInputTest, PressOnAUnitInsideAButtonDoesBoth)
{
    composeFrame();
    auto [x, y] = middleOf(buttonOpen);
    // Put the soldier's box around the middle of "Open".
    SoldierRecord& soldier = soldierAt(x - 3 - 200.0f, y - 3 - 225.0f);
    onPointerMove(x, y);
    EXPECT_TRUE(hovered(soldier));
    EXPECT_EQ(viewer.view.controlButtons[buttonOpen].hovered, 1);
    onPointerPress(x, y);
    EXPECT_EQ(viewer.view.controlButtons[buttonOpen].pressed, 1);
    // The unit flips at the release, when the press is known to be no drag of the map.
    EXPECT_FALSE(pinned(soldier));
    onPointerRelease();
    EXPECT_TRUE(pinned(soldier));
}

TEST_F(PointerInputTest, UnitsWithoutAFiniteScreenPointAreNeverHit)
{
    viewer.world.calibration = Calibration{};  // scale 0: the transform divides by zero
    SoldierRecord& atOrigin = soldierAt(0, 0);
    SoldierRecord& elsewhere = soldierAt(5, -5);
    VehicleRecord& vehicle = vehicleAt(-3, 7);
    ASSERT_FALSE(isFinite(screenOf(atOrigin)));
    ASSERT_FALSE(isFinite(screenOf(elsewhere)));
    for (int x : {-32768, -1, 0, 1, 200, 32767})
        for (int y : {-32768, 0, 225, 32767}) {
            onPointerMove(x, y);
            click(x, y);
        }
    EXPECT_FALSE(hovered(atOrigin) || pinned(atOrigin));
    EXPECT_FALSE(hovered(elsewhere) || pinned(elsewhere));
    EXPECT_FALSE(hovered(vehicle) || pinned(vehicle));
}

// [SECTION] The timeline strip

namespace {

// The strip as a frame draws it for a log of 392 seconds: one second a pixel from the bar's left end.
void showStrip()
{
    app::viewer().view.timeline.scale = timelineScale({}, barRight - barLeft, barLeft, barRight);
}

}  // namespace

TEST_F(PointerInputTest, WithoutAStripItsRowsAreLikeAnyOther)
{
    // The soldier's box is around (200, 436), in the strip's rows.
    SoldierRecord& soldier = soldierAt(-3, 433 - 225.0f);
    onPointerMove(200, 436);
    click(200, 436);
    EXPECT_TRUE(hovered(soldier));
    EXPECT_TRUE(pinned(soldier));
    EXPECT_FALSE(viewer.view.timeline.pointerX);
    EXPECT_FALSE(viewer.view.timeline.seekRequest);
}

TEST_F(PointerInputTest, PressOnTheStripAsksForTheTimeUnderThePointer)
{
    showStrip();
    onPointerPress(104, 440);
    ASSERT_TRUE(viewer.view.timeline.seekRequest);
    EXPECT_DOUBLE_EQ(*viewer.view.timeline.seekRequest, 100);
    EXPECT_EQ(viewer.view.timeline.dragX, 104);
    onPointerRelease();
    EXPECT_FALSE(viewer.view.timeline.dragX);
    // The whole strip takes presses; beyond the bar's ends, its ends.
    for (auto [x, y, t] : {std::tuple{0, timelineTop, 0.0}, std::tuple{399, timelineBottom - 1, 392.0},
                           std::tuple{204, timelineTop + 5, 200.0}}) {
        onPointerPress(x, y);
        onPointerRelease();
        EXPECT_DOUBLE_EQ(*viewer.view.timeline.seekRequest, t) << x << "," << y;
    }
    viewer.view.timeline.seekRequest.reset();
    onPointerPress(204, timelineTop - 1);
    EXPECT_FALSE(viewer.view.timeline.seekRequest);
}

TEST_F(PointerInputTest, DraggingAsksAgainOnlyWhenTheBarPositionChanges)
{
    showStrip();
    onPointerPress(54, 440);
    viewer.view.timeline.seekRequest.reset();
    onPointerMove(54, 300);
    EXPECT_FALSE(viewer.view.timeline.seekRequest);
    EXPECT_EQ(viewer.view.timeline.pointerX, 54);
    // Off the strip the drag goes on, as long as the button is down.
    onPointerMove(154, 100);
    ASSERT_TRUE(viewer.view.timeline.seekRequest);
    EXPECT_DOUBLE_EQ(*viewer.view.timeline.seekRequest, 150);
    onPointerMove(164, 441);
    EXPECT_DOUBLE_EQ(*viewer.view.timeline.seekRequest, 160);
    onPointerRelease();
    viewer.view.timeline.seekRequest.reset();
    onPointerMove(204, 440);
    EXPECT_FALSE(viewer.view.timeline.seekRequest);
    EXPECT_EQ(viewer.view.timeline.pointerX, 204);
    onPointerMove(204, 300);
    EXPECT_FALSE(viewer.view.timeline.pointerX);
}

TEST_F(PointerInputTest, TheStripTakesPressAndHoverFromAUnitOverIt)
{
    showStrip();
    SoldierRecord& over = soldierAt(-3, 433 - 225.0f);
    SoldierRecord& above = soldierAt(-3, 0);
    onPointerMove(200, 436);
    EXPECT_FALSE(hovered(over));
    onPointerPress(200, 436);
    EXPECT_FALSE(pinned(over));
    EXPECT_TRUE(viewer.view.timeline.seekRequest);
    // Dragging up over a unit does not hover it either; once the button is up, it does.
    onPointerMove(200, 228);
    EXPECT_FALSE(hovered(above));
    onPointerRelease();
    onPointerMove(200, 228);
    EXPECT_TRUE(hovered(above));
    click(200, 228);
    EXPECT_TRUE(pinned(above));
}

TEST_F(PointerInputTest, DraggingOverAButtonNeitherHoversNorPressesIt)
{
    composeFrame();
    showStrip();
    auto [x, y] = middleOf(buttonPlay);
    onPointerPress(x, 440);
    onPointerMove(x, y);
    EXPECT_EQ(viewer.view.controlButtons[buttonPlay].hovered, 0);
    onPointerRelease();
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    onPointerMove(x, y);
    EXPECT_EQ(viewer.view.controlButtons[buttonPlay].hovered, 1);
}

TEST_F(PointerInputTest, TheRepaintTickTakesTheRequest)
{
    showStrip();
    onPointerPress(104, 440);
    onPointerMove(120, 440);
    onPointerMove(140, 440);
    EXPECT_DOUBLE_EQ(*viewer.view.timeline.seekRequest, 136);
    repaintTick();
    EXPECT_FALSE(viewer.view.timeline.seekRequest);
}
