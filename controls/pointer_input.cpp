// Pointer movement, the left press and its release over the control bar, the units on the map and the timeline
// strip. The handlers only set flags, the units' marks, the camera and the seek request; the next composed frame
// shows them. Relies on the stored hit rectangles and bar scale (view/control_bar.cpp, view/timeline.cpp), on
// worldToScreen (view/transform.h) and on the camera's view (view/camera.h), so hits agree with what is drawn.
#include "controls/pointer_input.h"

#include <functional>
#include <utility>

#include "controls/camera_controls.h"
#include "view/control_bar.h"
#include "view/overview.h"
#include "view/transform.h"

namespace {

// Whether units can be hit at the frame point: anywhere at rest, as always; through the camera, only where they are
// drawn, on the map area and off the overview.
bool unitsHitAt(const CameraView& camera, PlanePoint at)
{
    return camera.identity() || (onMapArea(at) && !(overviewShown(camera) && insideOverview(at)));
}

// Every unit whose box holds the frame pixel (x, y).
void walkUnitsAt(const World& world, const CameraView& camera, int x, int y,
                 const std::function<void(const Record&)>& action)
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    auto hit = [&](const Record& unit) {
        if (insideUnitBox(px, py, unit, world.calibration, camera))
            action(unit);
    };
    walk(world.soldierList, hit);
    walk(world.vehicleList, hit);
}

}  // namespace

bool insideRect(float px, float py, const GpRectF& rect)
{
    return rect.X < px && px < rect.X + rect.Width && rect.Y < py && py < rect.Y + rect.Height;
}

bool insideUnitBox(float px, float py, const Record& unit, const Calibration& calibration, const CameraView& camera)
{
    const ScreenPoint point = camera.toFrame(worldToScreen(calibration, unit.posX, unit.posY));
    return isFinite(point) && insideRect(px, py, {point.x, point.y, 6, 6});
}

bool onTimeline(const ViewState& view, int y)
{
    return view.timeline.scale && insideTimeline(y);
}

void hoverAt(ViewState& view, const World& world, int x, int y, PlanePoint at)
{
    dragTo(view.camera, world.calibration, at);
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
    const CameraView camera = cameraView(view.camera, world.calibration);
    if (strip || !unitsHitAt(camera, at))
        return;
    walkUnitsAt(world, camera, x, y, [&view](const Record& unit) { view.units.hovered.insert(unit.serial); });
}

void pressAt(ViewState& view, const World& world, int x, int y, PlanePoint at)
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    if (onTimeline(view, y)) {
        view.timeline.dragX = x;
        view.timeline.pointerX = x;
        view.timeline.seekRequest = timeAtX(*view.timeline.scale, px);
        return;
    }
    // Units act at the release, once it is known that the press did not drag the map.
    view.camera.press = MapPress{x, y, at, cameraView(view.camera, world.calibration), onMapArea(at), false};
    for (ButtonIndex index : screenOrder) {
        ControlButton& button = view.controlButtons[index];
        if (insideRect(px, py, button.hit))
            button.pressed = 1;
    }
}

void releaseAt(ViewState& view, const World& world)
{
    const std::optional<MapPress> press = std::exchange(view.camera.press, std::nullopt);
    if (!press || press->dragging)
        return;
    const CameraView camera = cameraView(view.camera, world.calibration);
    if (overviewShown(camera) && insideOverview(press->at)) {
        centreOnOverview(view.camera, world.calibration, press->at);
        return;
    }
    if (!unitsHitAt(camera, press->at))
        return;
    // Every unit under the pointer flips, not only the topmost one.
    walkUnitsAt(world, camera, press->x, press->y, [&view](const Record& unit) { view.units.flipPin(unit); });
}
