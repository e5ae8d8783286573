// The current viewer, set once by the backend (or a test, or kelo-render's run) and read by every handler of app/;
// the one mutable global of the app's state.
#include "app/viewer.h"

#include <cassert>

namespace {

Viewer* current = nullptr;

}  // namespace

void Viewer::reset()
{
    // Nothing is handed over to the caches while they are emptied.
    caches.clear();
    world = World{};
    playback = Playback{};
    view = ViewState{};
    composeReady = true;
    shown.markChanged();
    calibrationRead.reset();
}

namespace app {

Viewer& viewer()
{
    assert(current != nullptr);
    return *current;
}

void makeCurrent(Viewer* viewer)
{
    current = viewer;
}

}  // namespace app
