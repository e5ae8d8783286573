// The program's one context: the world on screen, the playback of the open log, the view state, where the frame lies
// in the window and the drawing caches. A backend makes one for its window and makes it current before the first
// handler runs; the handlers of app/ act on the current viewer. Tests and tools make their own.
#pragma once

#include "app/calibration.h"
#include "app/playback.h"
#include "view/drawing_caches.h"
#include "view/frame_fit.h"
#include "view/shown_frame.h"
#include "view/view_state.h"
#include "world/world_model.h"

struct Viewer {
    World world;
    Playback playback;
    ViewState view;
    FrameFit fit;  // where the frame lies in the window's client area: 400 x 455 until a backend says otherwise
    // Cleared while a frame is composed, so that a paint arriving meanwhile composes nothing.
    bool composeReady = true;
    ShownFrame shown;  // what the frame in the back buffer was composed from
    std::optional<CalibrationRead> calibrationRead;  // the last reading of Kelo.ini's calibration that it checks
    DrawingCaches caches;

    // Everything as at start-up but the fit and where pictures are decoded: an empty world, no log, 1000 ms per log
    // second, the buttons at rest, the caches empty. The decoding thread ends first; called while GDI+ still runs.
    void reset();
};

namespace app {

// The current viewer. Only while one is current may a handler of app/ run.
Viewer& viewer();
// Makes `viewer` the current one, or none (null); it must stay alive while it is current.
void makeCurrent(Viewer* viewer);

}  // namespace app
