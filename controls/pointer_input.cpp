// TODO
#include "controls/pointer_input.h"

bool insideRect(float, float, const GpRectF&) { return false; }
void onPointerMove(int, int) {}
void onPointerPress(int, int) {}
