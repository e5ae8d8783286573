// Pointer input: hover of buttons and units on movement, pin of units and press of buttons on a left press.
#pragma once

#include "view/gdiplus_wrappers.h"

// Strictly inside: x < px < x + width and y < py < y + height, in floating point.
bool insideRect(float px, float py, const GpRectF& rect);

void onPointerMove(int x, int y);
void onPointerPress(int x, int y);
