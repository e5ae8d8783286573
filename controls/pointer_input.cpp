// Pointer movement and the left press over the control bar and the units on the map. The handlers only
// set flags; the next composed frame shows them. Relies on the stored hit rectangles of the control bar
// (view/control_bar.cpp) and on worldToScreen (view/transform.h), so hits agree with what is drawn.
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

void hoverAt(ViewState& view, World& world, int x, int y)
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    for (ButtonIndex index : screenOrder) {
        ControlButton& button = view.controlButtons[index];
        button.hovered = insideRect(px, py, button.hit);
        // Leaving a button cancels its press, so a release elsewhere does nothing.
        if (!button.hovered)
            button.pressed = 0;
    }
    const Calibration& calibration = world.calibration;
    walk(world.soldierList,
         [&](SoldierRecord& soldier) { soldier.hovered = insideUnitBox(px, py, soldier, calibration); });
    walk(world.vehicleList,
         [&](VehicleRecord& vehicle) { vehicle.hovered = insideUnitBox(px, py, vehicle, calibration); });
}

void pressAt(ViewState& view, World& world, int x, int y)
{
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    const Calibration& calibration = world.calibration;
    // Every unit under the pointer flips, not only the topmost one.
    walk(world.soldierList, [&](SoldierRecord& soldier) {
        if (insideUnitBox(px, py, soldier, calibration))
            soldier.pinned = !soldier.pinned;
    });
    walk(world.vehicleList, [&](VehicleRecord& vehicle) {
        if (insideUnitBox(px, py, vehicle, calibration))
            vehicle.pinned = !vehicle.pinned;
    });
    for (ButtonIndex index : screenOrder) {
        ControlButton& button = view.controlButtons[index];
        if (insideRect(px, py, button.hit))
            button.pressed = 1;
    }
}
