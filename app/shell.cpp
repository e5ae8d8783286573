// The shell's part in the core: start-up and shutdown once for every backend, a frame composed on every paint
// unless one is under way (the camera on the unit it follows first, the damage links it drew after), and every timer
// routed to its handler.
#include "app/shell.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/calibration.h"
#include "app/playback.h"
#include "app/seek.h"
#include "app/viewer.h"
#include "controls/camera_controls.h"
#include "view/frame.h"
#include "view/frame_layout.h"
#include "view/units.h"

namespace {

// GDI+ runs once per process, for every viewer.
struct {
    std::uintptr_t token = 0;
    bool started = false;
} gdiplus;

// What the strip shows of the open log; none while it is hidden or no log is open.
std::optional<TimelineModel> timelineModel()
{
    const Viewer& viewer = app::viewer();
    if (!viewer.view.timeline.shown || !viewer.playback.log.reader)
        return std::nullopt;
    TimelineModel model;
    if (std::shared_ptr<const LogIndexData> index = indexView())
        model.index = std::move(index);
    model.nowS = logTimeNow();
    model.seekTarget = seekTarget();
    if (viewer.view.panel.toggleShown)
        model.elapsedRight = panelToggle.left - 3;
    model.live = viewer.playback.live.following;
    return model;
}

// What the side panel shows of the open log; none while it is closed.
std::optional<PanelModel> panelModel()
{
    if (!app::viewer().view.panel.open)
        return std::nullopt;
    return PanelModel{indexView(), linesPlayed()};
}

// What a frame shows beyond the world and the view state.
FrameContext frameContext()
{
    const Viewer& viewer = app::viewer();
    return {viewer.playback.msPerLogSecond,
            viewer.playback.playbackPaused != 0,
            executableFolder(),
            timelineModel(),
            viewer.fit,
            panelModel()};
}

// A damage line shows in one frame: the frame just composed drew the link of every soldier it drew, and those links
// go now. Composing only reads the world, but the world must learn what was drawn: the interpreter links a damage only
// to a soldier without a link (after a line is drawn the next damage makes the next line; until then the first one
// waits and later ones are not kept), and the state lists the links not drawn yet. A paint that composes nothing
// clears nothing, so its lines wait for the next frame composed.
void forgetDrawnDamageLinks(World& world)
{
    walk(world.soldierList, [&world](SoldierRecord& soldier) {
        if (soldier.damageLink != nullptr && drawnSoldierPoint(soldier, world.calibration))
            soldier.damageLink = nullptr;
    });
}

}  // namespace

std::string startCore()
{
    if (gdiplus.started)
        return {};
    const GdiplusStartupInput input{1, nullptr, 0, 0};
    const GpStatus status = GdiplusStartup(&gdiplus.token, &input, nullptr);
    if (status != gpOk)
        return "GDI+ could not be started (status " + std::to_string(status) + ")";
    gdiplus.started = true;
    return {};
}

std::string startShell(const std::function<std::string()>& createWindow)
{
    if (std::string failure = startCore(); !failure.empty())
        return failure;
    if (std::string failure = createWindow(); !failure.empty())
        return failure;
    repaintWindow();
    armTimer(repaintTimer, repaintPeriodMs);
    return {};
}

void stopShell()
{
    app::viewer().reset();
    if (gdiplus.started)
        GdiplusShutdown(gdiplus.token);
    gdiplus.started = false;
}

void setPicturesDecodedAside(bool aside)
{
    app::viewer().caches.decoder.setAside(aside);
}

void setTimelineShown(bool shown)
{
    app::viewer().view.timeline.shown = shown;
}

void setPanelToggleShown(bool shown)
{
    app::viewer().view.panel.toggleShown = shown;
}

void resizeView(int clientWidth, int clientHeight)
{
    app::viewer().fit = fitFrame(clientWidth, clientHeight, composedWidth(app::viewer().view.panel));
    // The back buffer may be a new one, black, even at the same fit.
    markFrameChanged();
}

void panelToggled()
{
    const FrameFit& fit = app::viewer().fit;
    resizeView(fit.width, fit.height);
    repaintWindow();
}

void composeFrame()
{
    Viewer& viewer = app::viewer();
    if (!viewer.composeReady)
        return;
    viewer.composeReady = false;
    // Looked at on every frame so an edit of Kelo.ini shows at once; a failure was reported when the map came.
    refreshCalibration(viewer.world, viewer.calibrationRead);
    // The camera centres on the unit it follows where the unit glides to, frame by frame.
    keepFollowing(viewer.view.camera, viewer.world);
    const FrameContext context = frameContext();
    // Read before composing: a decode that ends meanwhile shows in the next frame.
    const std::uint64_t decodesDone = viewer.caches.decoder.decodesDone();
    const bool again = viewer.shown.sameInputs(viewer.world, viewer.view, context, decodesDone);
    renderFrame(backBufferDC(), viewer.world, viewer.view, context, viewer.caches);
    if (again) {
        std::vector<std::uint32_t> pixels;
        backBufferPixels(pixels);
        viewer.shown.composedAgain(std::move(pixels));
    } else {
        viewer.shown.remember(viewer.world, viewer.view, context, decodesDone);
    }
    forgetDrawnDamageLinks(viewer.world);
    viewer.composeReady = true;
}

bool frameChanged()
{
    Viewer& viewer = app::viewer();
    if (!viewer.composeReady)
        return false;
    refreshCalibration(viewer.world, viewer.calibrationRead);
    return viewer.shown.differs(viewer.world, viewer.view, frameContext(), viewer.caches.decoder.decodesDone())
        || viewer.caches.icons.filesChanged();
}

void composeChangedFrame()
{
    if (frameChanged())
        composeFrame();
}

void markFrameChanged()
{
    app::viewer().shown.markChanged();
}

void repaintTick()
{
    // A newer request replaced any older one: a drag or a held key seeks once a tick at most.
    if (std::optional<double> target = std::exchange(app::viewer().view.timeline.seekRequest, std::nullopt))
        seekTo(*target);
    // A tick that finds nothing changed composes nothing and copies nothing to the window.
    if (frameChanged())
        repaintWindow();
}

void onTimer(TimerId id)
{
    switch (id) {
    case playbackTimer:
        playbackStep();
        break;
    case movementTimer:
        movementTick();
        break;
    case repaintTimer:
        repaintTick();
        break;
    case seekTimer:
        seekTick();
        break;
    case followTimer:
        checkFollowedLog();
        break;
    }
}
