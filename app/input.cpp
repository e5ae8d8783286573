// The input handlers of the app: the side panel has the first look at a press, a key and the wheel; hover, press and
// release go to the controls with the app's instances; a release runs the acting button's action (open, slower,
// faster, pause, play, bars), at most one per release; the wheel and the camera's keys move the camera; a key runs
// the command the key map gives. Relies on controls/ for hits, the acting button, the panel, the camera and the key
// map, on app/playback.h for opening, stopping and resuming, on app/seek.h for where playback is, and on the seam for
// the window's part.
#include "app/input.h"

#include <algorithm>

#include "app/playback.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "controls/camera_controls.h"
#include "controls/panel_input.h"
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
        pausePlayback();
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

void runCameraKey(CameraKey key)
{
    Viewer& viewer = app::viewer();
    Camera& camera = viewer.view.camera;
    const Calibration& calibration = viewer.world.calibration;
    switch (key) {
    case CameraKey::zoomIn:
    case CameraKey::zoomOut:
        zoomAt(camera, calibration, CameraView::mapMiddle(), key == CameraKey::zoomIn ? 1 : -1);
        break;
    case CameraKey::follow:
        toggleFollow(camera, viewer.view.units, viewer.world);
        break;
    case CameraKey::rest:
        camera = Camera{};
        break;
    }
}

// What the panel did with a press or a key beyond its own state: a wider or narrower frame, or a unit chosen, which
// the camera follows.
void panelActed(PanelInput input)
{
    Viewer& viewer = app::viewer();
    if (input == PanelInput::toggled)
        panelToggled();
    if (input == PanelInput::unitChosen)
        followLastPinned(viewer.view.camera, viewer.view.units, viewer.world);
}

}  // namespace

void onPointerMove(int x, int y)
{
    Viewer& viewer = app::viewer();
    const FramePoint at = framePointAt(viewer.fit, x, y);
    // The panel's rows are chosen by a press, and no unit or time of the strip shows as pointed at while the pointer is
    // over it; a drag along the strip goes on over it.
    if (onPanel(viewer.view, at.x, at.y) && !viewer.view.timeline.dragX) {
        viewer.view.units.hovered.clear();
        viewer.view.timeline.pointerX.reset();
        return;
    }
    hoverAt(viewer.view, viewer.world, at.x, at.y, exactFramePoint(viewer.fit, x, y));
}

void onPointerPress(int x, int y)
{
    Viewer& viewer = app::viewer();
    const FramePoint at = framePointAt(viewer.fit, x, y);
    const PanelInput panel = pressPanel(viewer.view, at.x, at.y);
    panelActed(panel);
    if (panel == PanelInput::notTaken)
        pressAt(viewer.view, viewer.world, at.x, at.y, exactFramePoint(viewer.fit, x, y));
}

void onPointerRelease()
{
    ViewState& view = app::viewer().view;
    view.timeline.dragX.reset();
    releaseAt(view, app::viewer().world);
    if (std::optional<ButtonIndex> button = actingButton(view)) {
        runButton(*button);
        view.controlButtons[*button].pressed = 0;
    }
}

void onWheel(int x, int y, int notches)
{
    Viewer& viewer = app::viewer();
    const PlanePoint at = exactFramePoint(viewer.fit, x, y);
    // Each region of the frame that the wheel moves is one case here.
    if (onPanel(viewer.view, static_cast<int>(at.x), static_cast<int>(at.y)))
        scrollPanel(viewer.view.panel, notches);
    else if (onMapArea(at))
        zoomAt(viewer.view.camera, viewer.world.calibration, at, notches);
}

void onKey(const KeyPress& press)
{
    Viewer& viewer = app::viewer();
    const PanelInput panel = panelKey(viewer.view, press, viewer.world, *indexView(), linesPlayed());
    panelActed(panel);
    if (panel != PanelInput::notTaken)
        return;
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
    } else if (const auto* camera = std::get_if<CameraKey>(&command)) {
        runCameraKey(*camera);
    } else if (const auto* live = std::get_if<LiveCommand>(&command)) {
        if (*live == LiveCommand::toggleFollowing)
            setFollowing(!app::viewer().playback.live.following);
        else
            seekToLiveEdge();
    }
}
