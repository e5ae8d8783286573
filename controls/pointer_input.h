// Pointer input: hover of buttons and units on movement, press of buttons on a left press and pin of units at its
// release unless it became a drag of the map, and pointing, pressing and dragging on the timeline strip. Relies on
// the hit rectangles and the bar's scale of the last composed frame, the world-to-screen transform and the camera.
#pragma once

#include "view/view_state.h"
#include "world/world_model.h"

// Strictly inside: x < px < x + width and y < py < y + height, in floating point.
bool insideRect(float px, float py, const GpRectF& rect);

// Whether the point lies in the unit's 6 x 6 symbol box, whose top-left corner is where the unit is drawn through the
// camera. A unit whose screen point is not finite has no box.
bool insideUnitBox(float px, float py, const Record& unit, const Calibration& calibration, const CameraView& camera);

// Whether the point is on the timeline strip of the last composed frame. The strip takes such a point for itself:
// no button or unit under it is hovered or pressed there.
bool onTimeline(const ViewState& view, int y);

// The pointer moved to the frame pixel (x, y), whose exact frame point is `at`: buttons and units under it are
// hovered; a button left loses its press. On the strip, or anywhere while dragging along it, the strip shows the time
// under x; dragging asks for a seek there. A press on the map that has moved far enough drags the map.
void hoverAt(ViewState& view, const World& world, int x, int y, PlanePoint at);
// The left button went down at (x, y): a button under it is pressed, and the press is kept for its release. On the
// strip, it asks for a seek to the time under x and starts a drag.
void pressAt(ViewState& view, const World& world, int x, int y, PlanePoint at);
// The left button came up: a press that did not drag the map is a click where it went down: in the camera's
// overview it centres the camera there, elsewhere units under it flip their pin.
void releaseAt(ViewState& view, const World& world);
