// The button actions, run when the left button comes up over a pressed button: open a replay log, slower,
// faster, pause, play, and the bare status bars on or off. At most one action per release.
// Relies on the replay reader and playback clock (app/playback.h) for opening, stopping and resuming.
#include "controls/playback_controls.h"

#include <algorithm>

#include "app/globals.h"
#include "app/playback.h"

namespace {

constexpr std::int32_t fastestMsPerLogSecond = 125;
constexpr std::int32_t slowestMsPerLogSecond = 4000;

}  // namespace

std::int32_t slowerSpeed(std::int32_t msPerLogSecond)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{msPerLogSecond} * 2, fastestMsPerLogSecond, slowestMsPerLogSecond));
}

std::int32_t fasterSpeed(std::int32_t msPerLogSecond)
{
    return std::clamp(msPerLogSecond / 2, fastestMsPerLogSecond, slowestMsPerLogSecond);
}

void onPointerRelease()
{
    auto& buttons = g.controlButtons;
    // The order the flags are looked at: Pause before Play, unlike on screen; the first set flag acts alone.
    if (buttons[buttonOpen].pressed) {
        // The dialog runs here; until it returns the button stays pressed, so the repaints meanwhile show it so.
        openReplayLog(chooseReplayFile());
        buttons[buttonOpen].pressed = 0;
    } else if (buttons[buttonSlower].pressed) {
        g.msPerLogSecond = slowerSpeed(g.msPerLogSecond);
        buttons[buttonSlower].pressed = 0;
    } else if (buttons[buttonFaster].pressed) {
        g.msPerLogSecond = fasterSpeed(g.msPerLogSecond);
        buttons[buttonFaster].pressed = 0;
    } else if (buttons[buttonPause].pressed) {
        if (!g.playbackPaused)
            stopPlayback();
        buttons[buttonPause].pressed = 0;
        g.playbackPaused = 1;
    } else if (buttons[buttonPlay].pressed) {
        resumePlayback();
        buttons[buttonPlay].pressed = 0;
    } else if (buttons[buttonBars].pressed) {
        g.barsShown = !g.barsShown;
        buttons[buttonBars].pressed = 0;
    }
}
