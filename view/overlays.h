// The text overlays (status message, title, clock, speed readout) and the chat feed.
#pragma once

#include "view/gdiplus_wrappers.h"

void drawOverlays(Surface& surface);
// Opens its own surface on the device context; newest slot first, no boxes.
void drawChatFeed(GpDC dc);
