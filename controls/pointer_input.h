// Pointer input: hover of buttons and units on movement, pin of units and press of buttons on a left press, and
// pointing, pressing and dragging on the timeline strip. Relies on the hit rectangles and the bar's scale of the
// last composed frame and on the world-to-screen transform.
#pragma once

#include "view/view_state.h"
#include "world/world_model.h"

// Strictly inside: x < px < x + width and y < py < y + height, in floating point.
bool insideRect(float px, float py, const GpRectF& rect);

// Whether the point lies in the unit's 6 x 6 symbol box, whose top-left corner is the unit's screen point.
// A unit whose screen point is not finite has no box.
bool insideUnitBox(float px, float py, const Record& unit, const Calibration& calibration);

// Whether the point is on the timeline strip of the last composed frame. The strip takes such a point for itself:
// no button or unit under it is hovered or pressed there.
bool onTimeline(const ViewState& view, int y);

// The pointer moved to (x, y): buttons and units under it are hovered; a button left loses its press. On the
// strip, or anywhere while dragging along it, the strip shows the time under x; dragging asks for a seek there.
void hoverAt(ViewState& view, const World& world, int x, int y);
// The left button went down at (x, y): units under it flip their pin, a button under it is pressed. On the strip,
// it asks for a seek to the time under x and starts a drag.
void pressAt(ViewState& view, const World& world, int x, int y);
