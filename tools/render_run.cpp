// The playback run, step by step: start-up, the open at time 0, the seeks due then, the play loop on the virtual
// clock, and the end of the run with its outputs. Relies on the core's start-up (app/shell.h), playback and seeks.
#include "tools/render_run.h"

#include <fstream>
#include <iostream>
#include <limits>
#include <thread>
#include <variant>

#include "app/live_follow.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/timers.h"
#include "controls/camera_controls.h"
#include "tools/output_checks.h"
#include "tools/panel_json.h"
#include "tools/state_json.h"
#include "view/frame_layout.h"

namespace {

// The run going on, which the sinks (plain functions) tell.
RenderRun* running = nullptr;

int outputError(const std::string& path)
{
    std::cerr << "kelo-render: could not write " << path << '\n';
    return 1;
}

// A frame pixel, given at 400 x 455: the window pixel at its scaled place is the one the pointer goes to.
int windowPixel(int framePixel, int scale)
{
    return framePixel * scale;
}

// Keys, clicks, the wheel and drags through the same handlers as the viewer's events; --camera as the keys and the
// wheel would leave the camera. --follow-unit is the run's (RenderRun::followWhenThere).
void deliverInput(const ScriptedInput& scripted, int scale)
{
    Viewer& viewer = app::viewer();
    if (const auto* key = std::get_if<KeyPress>(&scripted.input)) {
        headless::key(*key);
    } else if (const auto* click = std::get_if<ScriptedClick>(&scripted.input)) {
        const int x = windowPixel(click->x, scale);
        const int y = windowPixel(click->y, scale);
        headless::pointerMove(x, y);
        headless::pointerPress(x, y);
        headless::pointerRelease();
    } else if (const auto* wheel = std::get_if<ScriptedWheel>(&scripted.input)) {
        const int x = windowPixel(wheel->x, scale);
        const int y = windowPixel(wheel->y, scale);
        headless::pointerMove(x, y);
        headless::wheel(x, y, wheel->notches);
    } else if (const auto* drag = std::get_if<ScriptedDrag>(&scripted.input)) {
        headless::pointerMove(windowPixel(drag->from.x, scale), windowPixel(drag->from.y, scale));
        headless::pointerPress(windowPixel(drag->from.x, scale), windowPixel(drag->from.y, scale));
        headless::pointerMove(windowPixel(drag->to.x, scale), windowPixel(drag->to.y, scale));
        headless::pointerRelease();
    } else if (const auto* camera = std::get_if<CameraSetting>(&scripted.input)) {
        viewer.view.camera = Camera{};
        viewer.view.camera.zoom = clampZoom(camera->zoom);
        viewer.view.camera.centre = MapPoint{camera->x, camera->y};
    }
}

}  // namespace

RenderRun::RenderRun(RenderOptions options, std::unique_ptr<VideoClip> clip, ProgressLine::Clock::time_point started)
    : options_(std::move(options)), seeks_(options_.seeks), inputs_(options_.inputs), clip_(std::move(clip)),
      started_(started)
{
    running = this;
    app::makeCurrent(&viewer_);
    headless::setMessageSink(messageSink);
    headless::setTimerSink(timerSink);
}

RenderRun::~RenderRun()
{
    headless::setTimerSink(nullptr);
    headless::setMessageSink(nullptr);
    app::makeCurrent(nullptr);
    running = nullptr;
}

int RenderRun::run()
{
    if (!startUp() || !openLog())
        return 1;
    seekWhenDue();
    startOutputs();
    if (!play())
        return outputError(*frames_->failed());
    return end();
}

// Every output checked, then the viewer's start-up with no window to make: the first paint, then the repaint timer.
// The speed was chosen before: the first frame shows it. False, said on standard error, when the run cannot start.
bool RenderRun::startUp()
{
    if (const std::optional<std::string> unwritable = unwritableOutput(options_)) {
        outputError(*unwritable);
        return false;
    }
    viewer_.playback.msPerLogSecond = options_.msPerLogSecond;
    setTimelineShown(options_.timeline);
    setPanelToggleShown(options_.panel);
    viewer_.view.panel.open = options_.panel;
    // The window's client area at the scale asked for: every frame, the first included, is drawn at that size.
    headless::setClientSize(clientWidth(), frameHeight * options_.scale);
    if (const std::string failure = startShell([] { return std::string(); }); !failure.empty()) {
        std::cerr << "kelo-render: " << failure << '\n';
        return false;
    }
    return true;
}

// The log is opened at time 0, as if "Open" had chosen it; false when it could not be (the core said why).
bool RenderRun::openLog()
{
    openReplayLog(options_.logPath, options_.follow);
    lastGrowth_ = std::chrono::steady_clock::now();
    waitForPanelEvents();
    return static_cast<bool>(viewer_.playback.log.reader);
}

// The frame's width at the scale asked for: the panel's columns too with --panel.
int RenderRun::clientWidth() const
{
    return (options_.panel ? openFrameWidth : frameWidth) * options_.scale;
}

// While the panel is open its lists show the whole index, so that every run draws the same rows.
void RenderRun::waitForPanelEvents()
{
    if (viewer_.view.panel.open && viewer_.playback.index)
        viewer_.playback.index->waitFor(std::numeric_limits<double>::infinity());
}

// The seeks due by now, each after the timers of its millisecond.
void RenderRun::seekWhenDue()
{
    while (const SeekRequest* seek = seeks_.takeDue(headless::now()))
        seekNow(seek->logSeconds);
}

// A seek as the viewer would do it once the index has reached the target, done before the clock moves on.
void RenderRun::seekNow(double logSeconds)
{
    if (viewer_.playback.index)
        viewer_.playback.index->waitFor(logSeconds);
    seekTo(logSeconds);
    finishSeek();
    endOfData_ = false;
    skipping_.changed();
}

// The progress line shows the share of the virtual time asked for, or without --until of the log read.
void RenderRun::startOutputs()
{
    progress_.emplace(progressShown(options_.quiet), options_.untilMs ? "the time asked for" : "the log", started_);
    progressTotal_ = options_.untilMs ? *options_.untilMs : fileSize(options_.logPath);
    frames_.emplace(options_.framesFolder, clientWidth(), frameHeight * options_.scale, *progress_);
}

// The play loop: the clock runs to the next moment anything can happen, then the seeks, the clip, the progress line
// and the numbered frames have their turn. False when the back buffer could not be read for a numbered frame.
bool RenderRun::play()
{
    while (playing() && frames_->tell(false)) {
        if (waitingAtLiveEdge()) {
            if (!waitForGrowth())
                break;
            continue;
        }
        deliverDueInputs();
        headless::advance(nextStop() - headless::now());
        followWhenThere();
        skipping_.afterMillisecond();
        seekWhenDue();
        // The clip shows what the window shows: the frame of each repaint.
        if (clip_ && headless::now() % repaintPeriodMs == 0 && !clip_->addBackBuffer())
            break;
        showProgress();
        if (options_.framesFolder && headless::now() % options_.everyMs == 0 && !frames_->add(headless::now()))
            return false;
    }
    return true;
}

// Following, at the end of what is written: the virtual clock stands while the file is looked at in real time, as
// the viewer's watch timer looks at it. False once it has not grown for --idle-exit seconds.
bool RenderRun::waitForGrowth()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(followCheckMs));
    const auto now = std::chrono::steady_clock::now();
    if (checkFollowedLog()) {
        lastGrowth_ = now;
        skipping_.changed();
        return true;
    }
    return now - lastGrowth_ < std::chrono::duration<double>(options_.idleExitS);
}

// The end of data ends the run unless a seek is still to come; so does the time asked for.
bool RenderRun::playing() const
{
    return (!endOfData_ || !seeks_.done()) && (!options_.untilMs || headless::now() < *options_.untilMs);
}

// Inputs at a time come after the timers due then. What one changes shows in the next frame, even where the frames
// had settled.
void RenderRun::deliverDueInputs()
{
    while (const ScriptedInput* input = inputs_.takeDue(headless::now())) {
        if (const auto* follow = std::get_if<FollowSetting>(&input->input))
            followWanted_ = follow->id;
        else
            deliverInput(*input, options_.scale);
        waitForPanelEvents();
        skipping_.changed();
    }
    followWhenThere();
}

// The camera follows the unit asked for as soon as the world holds one with its id.
void RenderRun::followWhenThere()
{
    if (followWanted_ && followId(viewer_.view.camera, viewer_.world, *followWanted_)) {
        followWanted_.reset();
        skipping_.changed();
    }
}

// The virtual time to run to next: the next millisecond, or while all is quiet, the first moment at which
// something happens (a playback step, a frame to write, a scripted key, click or seek, the end of the run). The quiet
// repaints and movement ticks before it are passed over, keeping their phase.
std::int64_t RenderRun::nextStop()
{
    const std::int64_t now = headless::now();
    if (!skipping_.quiet())
        return now + 1;
    std::int64_t stop = headless::dueTime(playbackTimer).value_or(std::numeric_limits<std::int64_t>::max());
    if (options_.untilMs)
        stop = std::min(stop, *options_.untilMs);
    if (options_.framesFolder)
        stop = std::min(stop, (now / options_.everyMs + 1) * options_.everyMs);
    if (options_.videoPath)
        stop = std::min<std::int64_t>(stop, (now / repaintPeriodMs + 1) * repaintPeriodMs);
    if (const std::optional<std::int64_t> scripted = nextScriptedMs())
        stop = std::min(stop, *scripted);
    if (stop == std::numeric_limits<std::int64_t>::max() || stop <= now)
        return now + 1;
    headless::passOver(movementTimer, stop);
    headless::passOver(repaintTimer, stop);
    return stop;
}

// When the next scripted key, click or seek is due, if any is still to come.
std::optional<std::int64_t> RenderRun::nextScriptedMs() const
{
    const std::optional<std::int64_t> input = inputs_.nextAt();
    const std::optional<std::int64_t> seek = seeks_.nextAt();
    if (input && seek)
        return std::min(*input, *seek);
    return input ? input : seek;
}

void RenderRun::showProgress()
{
    const LogCursor& log = viewer_.playback.log;
    progress_->update(options_.untilMs ? headless::now() : (log.reader ? log.reader->offset() : 0), progressTotal_,
                      log.currentNumber);
}

// The end of the run: every frame told and the progress line ended, then the other outputs.
int RenderRun::end()
{
    if (followWanted_)
        std::cerr << "kelo-render: no unit with the id " << *followWanted_ << " came to follow\n";
    const bool allWritten = frames_->tell(true);
    frames_->endLine();
    progress_->finish();
    if (!allWritten)
        return outputError(*frames_->failed());
    return writeOutputs();
}

// The clip, the last frame and the state, in that order; the first that cannot be written ends the run.
int RenderRun::writeOutputs()
{
    if (clip_) {
        const std::string failure = clip_->finish();
        if (!failure.empty()) {
            std::cerr << "kelo-render: " << failure << '\n';
            return outputError(*options_.videoPath);
        }
    }
    if (options_.framePath && !headless::saveFrame(*options_.framePath))
        return outputError(*options_.framePath);
    if (options_.statePath && !writeState(*options_.statePath))
        return outputError(*options_.statePath);
    if (options_.unitsPath && !writeUnits(*options_.unitsPath))
        return outputError(*options_.unitsPath);
    return 0;
}

// The state once the whole log is scanned, so that indexedS is the same on every run; "-" is standard output.
bool RenderRun::writeState(const std::string& path)
{
    if (LogIndex* index = viewer_.playback.index.get()) {
        // A followed log's index is as complete as it gets once it waits at the end of what is written.
        if (options_.follow) {
            index->fileGrew();
            index->waitForEdge(lookAtFile(options_.logPath).size);
        } else {
            index->waitFor(std::numeric_limits<double>::infinity());
        }
    }
    StateJson state = stateJson();
    if (options_.follow) {
        state["following"] = viewer_.playback.live.following;
        state["liveEdgeS"] = indexView()->scannedS;
    }
    return writeJson(path, state);
}

// The Units tab once the whole log is scanned, as the state is written.
bool RenderRun::writeUnits(const std::string& path)
{
    std::shared_ptr<const LogIndexData> index =
        viewer_.playback.index ? viewer_.playback.index->waitFor(std::numeric_limits<double>::infinity()) : indexView();
    return writeJson(path,
                     unitsJson(viewer_.world, *index, linesPlayed(), viewer_.view.panel.search, viewer_.view.units));
}

bool RenderRun::writeJson(const std::string& path, const StateJson& json)
{
    const std::string text = json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
    if (path == "-") {
        std::cout << text << std::flush;
        return static_cast<bool>(std::cout);
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

void RenderRun::timerSink(TimerId id)
{
    running->skipping_.timerFiring(id);
}

// Message boxes do not block here: each is printed, after the frames written before it, and "No more data" ends the
// run where the viewer's stops. A box that comes after a frame that could not be written is not reached.
void RenderRun::messageSink(const headless::MessageBox& box)
{
    if (running->frames_ && !running->frames_->tell(true))
        return;
    std::cerr << box.caption << ": " << box.text << '\n';
    if (box.text == "No more data")
        running->endOfData_ = true;
}
