// The instances of the program's state. The world's map picture goes with reset, while GDI+ still runs.
#include "app/app_state.h"

namespace app {

World world;
Playback playback;
ViewState view;
std::uint8_t composeReady = 1;

void resetState()
{
    world = World{};
    playback = Playback{};
    view = ViewState{};
    composeReady = 1;
}

}  // namespace app
