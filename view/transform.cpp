// TODO
#include "view/transform.h"

ScreenPoint worldToScreen(float x, float y) { return {x, y}; }
bool isFinite(ScreenPoint) { return true; }
float iconRotation(float h) { return h; }
