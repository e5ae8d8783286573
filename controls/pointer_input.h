// Pointer input: hover of buttons and units on movement, pin of units and press of buttons on a left press.
// Relies on the hit rectangles of the last composed frame and on the world-to-screen transform.
#pragma once

#include "view/view_state.h"
#include "world/world_model.h"

// Strictly inside: x < px < x + width and y < py < y + height, in floating point.
bool insideRect(float px, float py, const GpRectF& rect);

// Whether the point lies in the unit's 6 x 6 symbol box, whose top-left corner is the unit's screen point.
// A unit whose screen point is not finite has no box.
bool insideUnitBox(float px, float py, const Record& unit, const Calibration& calibration);

// The pointer moved to (x, y): buttons and units under it are hovered; a button left loses its press.
void hoverAt(ViewState& view, World& world, int x, int y);
// The left button went down at (x, y): units under it flip their pin, a button under it is pressed.
void pressAt(ViewState& view, World& world, int x, int y);
