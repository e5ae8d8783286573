// Tests of the control bar: the layout from measured label sizes, the hit rectangles stored by a composed
// frame, and the pixels of the band and of each button's unpressed, pressed and hovered looks.
#include <cmath>
#include <limits>

#include "app/shell.h"
#include "seam/platform.h"
#include "tests/kelo_test.h"
#include "view/control_bar.h"
#include "view/frame_layout.h"

namespace {

constexpr ARGB band = 0xFF000064;
constexpr ARGB face = 0xFF0000C8;
constexpr ARGB hoveredFace = 0xFF0000FF;
constexpr ARGB backdrop = 0xFF000000;

using ControlBarTest = KeloTest;

std::array<LabelSize, buttonCount> sizesOf(const std::array<float, buttonCount>& widths, float height)
{
    std::array<LabelSize, buttonCount> sizes{};
    for (std::size_t i = 0; i < widths.size(); ++i)
        sizes[i] = {widths[i], height};
    return sizes;
}

// The label sizes as this machine's font measures them, in screen order.
std::array<LabelSize, buttonCount> measuredSizes()
{
    Surface surface(backBufferDC());
    Font font("Arial", 8);
    std::array<LabelSize, buttonCount> sizes{};
    for (std::size_t i = 0; i < screenOrder.size(); ++i) {
        GpRectF box = surface.measure(buttonLabel(screenOrder[i]), font, rectF(buttonMeasureBox));
        sizes[i] = {box.Width, box.Height};
    }
    return sizes;
}

void expectRect(const GpRectF& actual, const GpRectF& expected)
{
    EXPECT_FLOAT_EQ(actual.X, expected.X);
    EXPECT_FLOAT_EQ(actual.Y, expected.Y);
    EXPECT_FLOAT_EQ(actual.Width, expected.Width);
    EXPECT_FLOAT_EQ(actual.Height, expected.Height);
}

// The drawn button's left position X, from the hit rectangle the frame stored.
int leftOf(ButtonIndex button)
{
    return static_cast<int>(app::viewer().view.controlButtons[button].hit.X) + 1;
}

}  // namespace

// [SECTION] Layout

TEST_F(ControlBarTest, LaysOutTheWrittenExample)
{
    auto places = layoutButtons(sizesOf({27.5f, 15.25f, 24.0f, 31.75f, 15.25f, 20.5f}, 14.0f));
    const int lefts[] = {3, 41, 66, 100, 141, 166};
    for (std::size_t i = 0; i < places.size(); ++i)
        EXPECT_EQ(places[i].left, lefts[i]) << buttonLabel(screenOrder[i]);
    expectRect(places[0].hit, {2, 4, 29.5f, 16});
    expectRect(places[1].hit, {40, 4, 17.25f, 16});
    expectRect(places[2].hit, {65, 4, 26, 16});
    expectRect(places[3].hit, {99, 4, 33.75f, 16});
    expectRect(places[4].hit, {140, 4, 17.25f, 16});
    expectRect(places[5].hit, {165, 4, 22.5f, 16});
}

TEST_F(ControlBarTest, NonsenseMeasuresStillGiveAnOrderedRow)
{
    // A failed measure reads as zero; nothing wider than the measuring box is taken at face value.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float huge = std::numeric_limits<float>::max();
    auto places = layoutButtons(sizesOf({0, nan, huge, -5, 0, 0}, 0));
    const int lefts[] = {3, 14, 24, 434, 444, 454};
    for (std::size_t i = 0; i < places.size(); ++i)
        EXPECT_EQ(places[i].left, lefts[i]);
    expectRect(places[0].hit, {2, 4, 2, 2});
}

// [SECTION] The composed bar

TEST_F(ControlBarTest, FrameStoresTheLayoutOfTheMeasuredLabels)
{
    composeFrame();
    auto places = layoutButtons(measuredSizes());
    for (std::size_t i = 0; i < screenOrder.size(); ++i) {
        SCOPED_TRACE(buttonLabel(screenOrder[i]));
        expectRect(viewer.view.controlButtons[screenOrder[i]].hit, places[i].hit);
        EXPECT_GT(places[i].hit.Width, 2);
        EXPECT_GT(places[i].hit.Height, 2);
    }
    EXPECT_EQ(leftOf(buttonOpen), 3);
    // The row must stay inside the band's width.
    const GpRectF& last = viewer.view.controlButtons[buttonBars].hit;
    EXPECT_LT(last.X + last.Width + 2, controlBar.right());
}

TEST_F(ControlBarTest, HitRectanglesDoNotDependOnTheFlags)
{
    composeFrame();
    auto before = viewer.view.controlButtons;
    for (ControlButton& button : viewer.view.controlButtons)
        button.pressed = button.hovered = 1;
    composeFrame();
    for (std::size_t i = 0; i < before.size(); ++i)
        expectRect(viewer.view.controlButtons[i].hit, before[i].hit);
}

TEST_F(ControlBarTest, BandFillsTheTopRowsRightOfTheButtons)
{
    composeFrame();
    const GpRectF& last = viewer.view.controlButtons[buttonBars].hit;
    for (int x : {static_cast<int>(last.X + last.Width) + 5, 300, 399}) {
        EXPECT_EQ(headless::pixel(x, 0), band) << x;
        EXPECT_EQ(headless::pixel(x, 12), band) << x;
        EXPECT_EQ(headless::pixel(x, 24), band) << x;
    }
    EXPECT_EQ(headless::pixel(0, 0), band);
    EXPECT_EQ(headless::pixel(0, 24), band);
}

TEST_F(ControlBarTest, UnpressedButtonsStandOutOverABlackStrip)
{
    composeFrame();
    for (ButtonIndex button : screenOrder) {
        SCOPED_TRACE(buttonLabel(button));
        const int x = leftOf(button);
        const int belowHit = 4 + static_cast<int>(std::ceil(viewer.view.controlButtons[button].hit.Height));
        EXPECT_EQ(headless::pixel(x - 2, 3), backdrop);
        EXPECT_EQ(headless::pixel(x, 4), backdrop);
        EXPECT_EQ(headless::pixel(x + 1, 6), face);
        // The face's lower strip lies below the hit rectangle.
        EXPECT_EQ(headless::pixel(x + 1, belowHit), face);
        EXPECT_EQ(headless::pixel(x - 3, 12), band);
    }
}

TEST_F(ControlBarTest, PressedButtonSitsOnItsHitRectangleWithoutStrip)
{
    composeFrame();
    viewer.view.controlButtons[buttonPause].pressed = 1;
    composeFrame();
    const int x = leftOf(buttonPause);
    const int bottom = 4 + static_cast<int>(viewer.view.controlButtons[buttonPause].hit.Height);
    EXPECT_EQ(headless::pixel(x - 1, 4), face);
    EXPECT_EQ(headless::pixel(x - 2, 3), band);
    EXPECT_EQ(headless::pixel(x - 1, bottom - 1), face);
    EXPECT_EQ(headless::pixel(x - 1, bottom + 1), band);
    // Its neighbours keep the unpressed look.
    EXPECT_EQ(headless::pixel(leftOf(buttonPlay) - 2, 3), backdrop);
    EXPECT_EQ(headless::pixel(leftOf(buttonFaster) + 1, 6), face);
}

TEST_F(ControlBarTest, HoverChangesOnlyTheFaceColour)
{
    composeFrame();
    viewer.view.controlButtons[buttonSlower].hovered = 1;
    viewer.view.controlButtons[buttonBars].hovered = 1;
    viewer.view.controlButtons[buttonBars].pressed = 1;
    composeFrame();
    const int slower = leftOf(buttonSlower);
    EXPECT_EQ(headless::pixel(slower + 1, 6), hoveredFace);
    EXPECT_EQ(headless::pixel(slower - 2, 3), backdrop);
    const int bars = leftOf(buttonBars);
    EXPECT_EQ(headless::pixel(bars - 1, 4), hoveredFace);
    EXPECT_EQ(headless::pixel(bars - 2, 3), band);
    // The face brush goes back to the plain colour for the buttons after a hovered one.
    EXPECT_EQ(headless::pixel(leftOf(buttonOpen) + 1, 6), face);
    EXPECT_EQ(headless::pixel(leftOf(buttonPlay) + 1, 6), face);
}

TEST_F(ControlBarTest, LabelsAreDrawnInBlackOnTheFace)
{
    composeFrame();
    for (ButtonIndex button : screenOrder) {
        const GpRectF& hit = viewer.view.controlButtons[button].hit;
        int dark = 0;
        for (int y = 7; y < 6 + static_cast<int>(hit.Height); ++y)
            for (int x = leftOf(button) + 2; x < leftOf(button) + static_cast<int>(hit.Width); ++x)
                dark += (headless::pixel(x, y) & 0xFF) < 0x40;
        EXPECT_GT(dark, 5) << buttonLabel(button);
    }
}
