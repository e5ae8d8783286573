// The control bar: the band and its buttons, laid out from the measured label sizes on every frame.
// The hit rectangles it stores in the view state are what the pointer handlers test.
#pragma once

#include <array>
#include <string_view>

#include "view/frame_canvas.h"
#include "view/view_state.h"

// The buttons as they stand on screen, left to right; the pointer handlers test them in this order too.
constexpr std::array<ButtonIndex, buttonCount> screenOrder{buttonOpen,  buttonSlower, buttonPlay,
                                                           buttonPause, buttonFaster, buttonBars};

std::string_view buttonLabel(ButtonIndex button);

struct LabelSize {
    float width;
    float height;
};

struct ButtonPlace {
    int left;  // X: the integer left position the button's drawing starts from
    GpRectF hit;
};

// Places the buttons left to right from their labels' measured sizes; both arrays are in screen order.
std::array<ButtonPlace, buttonCount> layoutButtons(const std::array<LabelSize, buttonCount>& sizes);

// Draws the band and the buttons and stores each button's hit rectangle.
void drawControlBar(const FrameCanvas& canvas, ViewState& view);
