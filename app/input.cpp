// The input handlers of the app: hover and press go to the controls with the app's instances; a release runs
// the acting button's action (open, slower, faster, pause, play, bars), at most one per release; a key runs the
// command the key map gives. Relies on controls/ for hits, the acting button and the key map, on app/playback.h
// for opening, stopping and resuming, on app/seek.h for where playback is, and on the seam for the window's part.
#include "app/input.h"

#include <algorithm>

#include "app/playback.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "controls/playback_controls.h"
#include "controls/pointer_input.h"

namespace {

void runButton(ButtonIndex button)
{
    Playback& playback = app::viewer().playback;
    switch (button) {
    case buttonOpen:
        // The dialog runs here; until it returns the button stays pressed, so the repaints meanwhile show it so.
        openReplayLog(chooseReplayFile());
        break;
    case buttonSlower:
        setSpeed(slowerSpeed(playback.msPerLogSecond));
        break;
    case buttonFaster:
        setSpeed(fasterSpeed(playback.msPerLogSecond));
        break;
    case buttonPause:
        if (!playback.playbackPaused)
            stopPlayback();
        playback.playbackPaused = 1;
        break;
    case buttonPlay:
        resumePlayback();
        break;
    case buttonBars: {
        std::uint8_t& shown = app::viewer().view.barsShown;
        shown = !shown;
        break;
    }
    case buttonCount:
        break;
    }
}

}  // namespace

void onPointerMove(int x, int y)
{
    Viewer& viewer = app::viewer();
    const FramePoint at = framePointAt(viewer.fit, x, y);
    hoverAt(viewer.view, viewer.world, at.x, at.y);
}

void onPointerPress(int x, int y)
{
    Viewer& viewer = app::viewer();
    const FramePoint at = framePointAt(viewer.fit, x, y);
    pressAt(viewer.view, viewer.world, at.x, at.y);
}

void onPointerRelease()
{
    ViewState& view = app::viewer().view;
    view.timeline.dragX.reset();
    if (std::optional<ButtonIndex> button = actingButton(view)) {
        runButton(*button);
        view.controlButtons[*button].pressed = 0;
    }
}

void onKey(const KeyPress& press)
{
    const KeyCommand command = keyCommand(press, app::viewer().playback.playbackPaused != 0);
    std::optional<double>& request = app::viewer().view.timeline.seekRequest;
    if (const auto* button = std::get_if<ButtonIndex>(&command)) {
        runButton(*button);
    } else if (const auto* by = std::get_if<SeekBy>(&command)) {
        // Steps add up: from a request not issued yet, else from a seek's target, else from the line on screen.
        const double from = request ? *request : seekTarget().value_or(logTimeNow());
        request = std::max(from + by->seconds, 0.0);
    } else if (const auto* to = std::get_if<SeekTo>(&command)) {
        request = to->seconds;
    } else if (const auto* speed = std::get_if<SpeedStep>(&command)) {
        const std::int32_t now = app::viewer().playback.msPerLogSecond;
        setSpeed(speed->faster ? fasterKeySpeed(now) : slowerKeySpeed(now));
    } else if (const auto* step = std::get_if<LineStep>(&command)) {
        stepLines(step->lines);
    } else if (const auto* window = std::get_if<WindowRequest>(&command)) {
        requestWindow(*window);
    } else if (const auto* live = std::get_if<LiveCommand>(&command)) {
        if (*live == LiveCommand::toggleFollowing)
            setFollowing(!app::viewer().playback.live.following);
        else
            seekToLiveEdge();
    }
}
