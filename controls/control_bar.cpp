// TODO
#include "controls/control_bar.h"

void drawControlBar(GpDC) {}
