// Pointer input: hover of buttons and units on movement, pin of units and press of buttons on a left press.
// Relies on the hit rectangles of the last composed frame and on the world-to-screen transform.
#pragma once

#include "view/gdiplus_wrappers.h"
#include "world/records.h"

// Strictly inside: x < px < x + width and y < py < y + height, in floating point.
bool insideRect(float px, float py, const GpRectF& rect);

// Whether the point lies in the unit's 6 x 6 symbol box, whose top-left corner is the unit's screen point.
// A unit whose screen point is not finite has no box.
bool insideUnitBox(float px, float py, const Record& unit);

void onPointerMove(int x, int y);
void onPointerPress(int x, int y);
