// Where a frame is composed and what its drawing steps keep from frame to frame: the back buffer's device context,
// the frame's place in it (view/frame_fit.h) and the viewer's drawing caches.
#pragma once

#include "view/drawing_caches.h"
#include "view/frame_fit.h"
#include "view/gdiplus_wrappers.h"

struct FrameCanvas {
    GpDC dc = nullptr;
    FrameFit fit;
    DrawingCaches& caches;
};
