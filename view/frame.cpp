// TODO
#include "view/frame.h"

#include "app/globals.h"
void renderFrame(GpDC) { g.composeReady = 1; }
ARGB sideColour(std::int32_t) { return 0; }
void drawLabelBox(Surface&, std::string_view, const Font&, const LabelPlacement&, const Brush&, const Brush&) {}
