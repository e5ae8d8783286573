// TODO
#include "view/overlays.h"

void drawOverlays(Surface&) {}
void drawChatFeed(GpDC) {}
