// Pointer movement and the left press over the control bar, the units on the map and the timeline strip. The
// handlers only set flags, the units' marks and the seek request; the next composed frame shows them. Relies on the
// stored hit rectangles and bar scale (view/control_bar.cpp, view/timeline.cpp) and on worldToScreen
// (view/transform.h), so hits agree with what is drawn.
#include "controls/pointer_input.h"

#include "view/control_bar.h"
#include "view/transform.h"

bool insideRect(float px, float py, const GpRectF& rect)
{
    return rect.X < px && px < rect.X + rect.Width && rect.Y < py && py < rect.Y + rect.Height;
}

bool insideUnitBox(float px, float py, const Record& unit, const Calibration& calibration)
{
    ScreenPoint point = worldToScreen(calibration, unit.posX, unit.posY);
    return isFinite(point) && insideRect(px, py, {point.x, point.y, 6, 6});
}

bool onTimeline(const ViewState& view, int y)
{
    return view.timeline.scale && insideTimeline(y);
}

void hoverAt(ViewState& view, const World& world, int x, int y)
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    TimelineView& timeline = view.timeline;
    const bool dragging = timeline.dragX && timeline.scale;
    const bool strip = dragging || onTimeline(view, y);
    timeline.pointerX = strip ? std::optional<int>(x) : std::nullopt;
    // A move that keeps x, straight up or down, asks for no new seek.
    if (dragging && x != *timeline.dragX) {
        timeline.dragX = x;
        timeline.seekRequest = timeAtX(*timeline.scale, px);
    }
    for (ButtonIndex index : screenOrder) {
        ControlButton& button = view.controlButtons[index];
        button.hovered = !strip && insideRect(px, py, button.hit);
        // Leaving a button cancels its press, so a release elsewhere does nothing.
        if (!button.hovered)
            button.pressed = 0;
    }
    view.units.hovered.clear();
    if (strip)
        return;
    auto hover = [&](const Record& unit) {
        if (insideUnitBox(px, py, unit, world.calibration))
            view.units.hovered.insert(unit.serial);
    };
    walk(world.soldierList, hover);
    walk(world.vehicleList, hover);
}

void pressAt(ViewState& view, const World& world, int x, int y)
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    if (onTimeline(view, y)) {
        view.timeline.dragX = x;
        view.timeline.pointerX = x;
        view.timeline.seekRequest = timeAtX(*view.timeline.scale, px);
        return;
    }
    // Every unit under the pointer flips, not only the topmost one.
    auto flip = [&](const Record& unit) {
        if (insideUnitBox(px, py, unit, world.calibration))
            view.units.flipPin(unit);
    };
    walk(world.soldierList, flip);
    walk(world.vehicleList, flip);
    for (ButtonIndex index : screenOrder) {
        ControlButton& button = view.controlButtons[index];
        if (insideRect(px, py, button.hit))
            button.pressed = 1;
    }
}
