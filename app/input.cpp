// The pointer handlers of the app: hover and press go to the controls with the app's instances; a release runs
// the acting button's action (open, slower, faster, pause, play, bars), at most one per release.
// Relies on controls/ for hits and the acting button, and on app/playback.h for opening, stopping and resuming.
#include "app/input.h"

#include "app/app_state.h"
#include "app/playback.h"
#include "controls/playback_controls.h"
#include "controls/pointer_input.h"

namespace {

void runButton(ButtonIndex button)
{
    Playback& playback = app::playback;
    switch (button) {
    case buttonOpen:
        // The dialog runs here; until it returns the button stays pressed, so the repaints meanwhile show it so.
        openReplayLog(chooseReplayFile());
        break;
    case buttonSlower:
        playback.msPerLogSecond = slowerSpeed(playback.msPerLogSecond);
        break;
    case buttonFaster:
        playback.msPerLogSecond = fasterSpeed(playback.msPerLogSecond);
        break;
    case buttonPause:
        if (!playback.playbackPaused)
            stopPlayback();
        playback.playbackPaused = 1;
        break;
    case buttonPlay:
        resumePlayback();
        break;
    case buttonBars:
        app::view.barsShown = !app::view.barsShown;
        break;
    case buttonCount:
        break;
    }
}

}  // namespace

void onPointerMove(int x, int y)
{
    hoverAt(app::view, app::world, x, y);
}

void onPointerPress(int x, int y)
{
    pressAt(app::view, app::world, x, y);
}

void onPointerRelease()
{
    if (std::optional<ButtonIndex> button = actingButton(app::view)) {
        runButton(*button);
        app::view.controlButtons[*button].pressed = 0;
    }
}
