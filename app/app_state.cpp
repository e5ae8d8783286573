// The instances of the program's state. The world's map picture, the decoded icons and the kept fonts go with reset,
// while GDI+ still runs.
#include "app/app_state.h"

#include "view/kept_text.h"
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
    releaseKeptText();
}

}  // namespace app
