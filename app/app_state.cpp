// The instances of the program's state. The decoding thread ends, then the world's map picture, the decoded icons and
// the kept fonts go with reset, while GDI+ still runs.
#include "app/app_state.h"

#include "view/kept_text.h"
#include "view/picture_cache.h"
#include "view/picture_decoder.h"

namespace app {

World world;
Playback playback;
ViewState view;
std::uint8_t composeReady = 1;

void resetState()
{
    // Nothing is handed over to the caches while they are emptied.
    stopDecoding();
    world = World{};
    playback = Playback{};
    view = ViewState{};
    composeReady = 1;
    iconCache.clear();
    releaseKeptText();
}

}  // namespace app
