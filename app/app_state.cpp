// The instances of the program's state. The world's map picture and the decoded icons go with reset, while GDI+
// still runs.
#include "app/app_state.h"

#include "view/picture_cache.h"

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
    iconCache.clear();
}

}  // namespace app
