// The shell's part in the core: start-up and shutdown once for every backend, a frame composed on every paint
// unless one is under way, and every timer routed to its handler.
#include "app/shell.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "app/app_state.h"
#include "app/calibration.h"
#include "app/playback.h"
#include "app/seek.h"
#include "view/frame.h"
#include "view/picture_decoder.h"

namespace {

std::uintptr_t gdiplusToken = 0;
bool coreStarted = false;
FrameFit fit;

// What the strip shows of the open log; none while it is hidden or no log is open.
std::optional<TimelineModel> timelineModel()
{
    if (!app::view.timeline.shown || !app::playback.log.reader)
        return std::nullopt;
    TimelineModel model;
    if (std::shared_ptr<const LogIndexData> index = indexView())
        model.index = std::move(index);
    model.nowS = logTimeNow();
    model.seekTarget = seekTarget();
    return model;
}

}  // namespace

std::string startCore()
{
    if (coreStarted)
        return {};
    const GdiplusStartupInput input{1, nullptr, 0, 0};
    const GpStatus status = GdiplusStartup(&gdiplusToken, &input, nullptr);
    if (status != gpOk)
        return "GDI+ could not be started (status " + std::to_string(status) + ")";
    coreStarted = true;
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
    app::resetState();
    if (coreStarted)
        GdiplusShutdown(gdiplusToken);
    coreStarted = false;
}

void setPicturesDecodedAside(bool aside)
{
    decodePicturesAside(aside);
}

void setTimelineShown(bool shown)
{
    app::view.timeline.shown = shown;
}

void resizeView(int clientWidth, int clientHeight)
{
    fit = fitFrame(clientWidth, clientHeight);
}

const FrameFit& viewFit()
{
    return fit;
}

void composeFrame()
{
    if (!app::composeReady)
        return;
    app::composeReady = 0;
    // Re-read on every frame so an edit of Kelo.ini shows at once; a failure was reported when the map came.
    if (app::world.mapName)
        loadCalibration(app::world);
    const FrameContext context{app::playback.msPerLogSecond, app::playback.playbackPaused != 0, executableFolder(),
                               timelineModel(), fit};
    renderFrame(backBufferDC(), app::world, app::view, context);
    app::composeReady = 1;
}

void repaintTick()
{
    // A newer request replaced any older one: a drag or a held key seeks once a tick at most.
    if (std::optional<double> target = std::exchange(app::view.timeline.seekRequest, std::nullopt))
        seekTo(*target);
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
    }
}
