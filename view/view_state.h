// The view's own state, apart from the world: the control buttons with their hit rectangles and flags, and
// whether every soldier shows its bare status bar. Hover and pins of units live on the unit records.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdiplus_flat.h"

struct ControlButton {
    GpRectF hit{};
    std::uint8_t pressed = 0;
    std::uint8_t hovered = 0;
};

// Table order of the buttons; neither the order on screen nor the order the release handler looks at them.
enum ButtonIndex { buttonOpen, buttonSlower, buttonFaster, buttonPlay, buttonPause, buttonBars, buttonCount };

struct ViewState {
    std::array<ControlButton, buttonCount> controlButtons{};
    std::uint8_t barsShown = 0;
};
