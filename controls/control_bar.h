// The control bar: the band and its buttons, laid out from the measured label sizes on every frame.
#pragma once

#include "view/gdiplus_wrappers.h"

// Draws the band and the buttons and stores each button's hit rectangle.
void drawControlBar(GpDC dc);
