// The view's own state, apart from the world: the control buttons with their hit rectangles and flags, whether
// every soldier shows its bare status bar, the units hovered and pinned, the timeline strip with the pointer on it,
// the camera and the side panel.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "seam/gdiplus_flat.h"
#include "view/camera.h"
#include "view/panel_view.h"
#include "view/timeline_scale.h"
#include "view/unit_marks.h"

struct ControlButton {
    GpRectF hit{};
    std::uint8_t pressed = 0;
    std::uint8_t hovered = 0;

    bool operator==(const ControlButton& other) const
    {
        return hit.X == other.hit.X && hit.Y == other.hit.Y && hit.Width == other.hit.Width
            && hit.Height == other.hit.Height && pressed == other.pressed && hovered == other.hovered;
    }
};

// Table order of the buttons; neither the order on screen nor the order the release handler looks at them.
enum ButtonIndex { buttonOpen, buttonSlower, buttonFaster, buttonPlay, buttonPause, buttonBars, buttonCount };

struct TimelineView {
    bool shown = false;  // the viewers show the strip while a log is open; kelo-render only when asked
    std::optional<TimelineScale> scale;  // the bar of the last composed frame; none while no strip is drawn
    std::optional<int> pointerX;  // the pointer is on the strip, or drags along it, at this x
    // While the left button that went down on the strip is held: the x of the last seek it asked for.
    std::optional<int> dragX;
    // The log time that the pointer or a key asked for; the next repaint tick seeks there, so that a drag or
    // a held key seeks at most once a frame.
    std::optional<double> seekRequest;

    bool operator==(const TimelineView&) const = default;
};

struct ViewState {
    std::array<ControlButton, buttonCount> controlButtons{};
    std::uint8_t barsShown = 0;
    UnitMarks units;
    TimelineView timeline;
    Camera camera;
    PanelView panel;

    // A frame shows the view state: one composed with an equal one is the same frame (app/frame_changes.h). Every
    // member takes part, so a member's type must compare as its drawing tells it apart.
    bool operator==(const ViewState&) const = default;
};
