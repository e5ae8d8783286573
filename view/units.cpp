// TODO
#include "view/units.h"

void drawSoldiers(Surface&) {}
void drawVehicles(Surface&, GpDC) {}
void applyColourKey(Image&, ARGB) {}
