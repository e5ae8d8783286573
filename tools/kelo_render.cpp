// kelo-render: plays a replay log as the viewer does, on the headless backend's virtual clock, seeking where asked,
// and writes the frames (PNG), a clip of them (through ffmpeg) and the world state (JSON) it reaches, or lists the
// lines the viewer cannot use (--check), or prints the log's index (--index).
// Relies on the core's start-up (app/shell.h), its instances (app/app_state.h) and on tools/ for options, JSON, the
// check and clips.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>

#include "app/app_state.h"
#include "app/playback.h"
#include "app/seek.h"
#include "app/shell.h"
#include "kelo_version.h"
#include "platform/headless/headless.h"
#include "platform/linux/shared.h"
#include "tools/frame_writer.h"
#include "tools/log_check.h"
#include "tools/progress_line.h"
#include "tools/render_options.h"
#include "tools/state_json.h"
#include "tools/video_clip.h"

namespace {

bool endOfData = false;
const ProgressLine::Clock::time_point runStart = ProgressLine::Clock::now();

// [SECTION] Frames that would come out the same

// A log can make playback wait for hours of log time (a stamp twelve hours back, a line without a stamp, a log of
// one line). The repaint timer goes on as in the viewer, but once a frame composed with nothing changed since the
// frame before comes out the same as that frame, every later frame would too until the world changes: those are
// skipped by clearing composeReady, as a paint that arrives during a composition is, so every output stays the same.
struct FrameSkipping {
    bool changed = true;  // a playback step or a glide since the last composed frame was looked at
    bool repainted = false;  // a frame was composed in this millisecond
    std::vector<std::uint32_t> lastQuietFrame;  // the pixels of the last frame composed with nothing changed before it
    std::vector<std::uint32_t> frame;  // the frame just composed, read in one piece
};

FrameSkipping skipping;

template <class Unit>
bool anyGliding(const PtrList<Unit>& list)
{
    return std::any_of(list.items.begin(), list.items.end(),
                       [](const Unit* unit) { return unit->glide.stepsLeft > 0; });
}

// Told of every timer just before the core runs it.
void onTimerFiring(TimerId id)
{
    if (id == repaintTimer) {
        skipping.repainted = skipping.repainted || app::composeReady != 0;
        return;
    }
    const World& world = app::world;
    const bool gliding =
        !app::playback.playbackPaused && (anyGliding(world.soldierList) || anyGliding(world.vehicleList));
    if (id == playbackTimer || gliding) {
        skipping.changed = true;
        app::composeReady = 1;
    }
}

// After each millisecond: a frame composed with nothing changed before it that equals the last such frame means
// the frames have settled; the pixels are only read for those frames, which busy playback hardly ever composes.
void afterMillisecond()
{
    if (!skipping.repainted)
        return;
    skipping.repainted = false;
    if (skipping.changed) {
        skipping.changed = false;
        skipping.lastQuietFrame.clear();
        return;
    }
    // A back buffer that cannot be read is never taken for a settled frame.
    if (headless::framePixels(skipping.frame) && skipping.frame == skipping.lastQuietFrame)
        app::composeReady = 0;
    else
        std::swap(skipping.lastQuietFrame, skipping.frame);
}

// [SECTION] Jumping over quiet time

// Nothing can change before the playback timer fires: the frames have settled and no unit glides (or playback is
// paused), so the repaints and movement ticks in between would find nothing to do.
bool quiet()
{
    const World& world = app::world;
    return app::composeReady == 0
        && (app::playback.playbackPaused || (!anyGliding(world.soldierList) && !anyGliding(world.vehicleList)));
}

// The virtual time to run to next: the next millisecond, or while all is quiet, the first moment at which
// something happens (a playback step, a frame to write, a scripted key, click or seek, the end of the run). The quiet
// repaints and movement ticks before it are passed over, keeping their phase.
std::int64_t nextStop(const RenderOptions& options, std::optional<std::int64_t> nextScriptedMs)
{
    const std::int64_t now = headless::now();
    if (!quiet())
        return now + 1;
    std::int64_t stop = headless::dueTime(playbackTimer).value_or(std::numeric_limits<std::int64_t>::max());
    if (options.untilMs)
        stop = std::min(stop, *options.untilMs);
    if (options.framesFolder)
        stop = std::min(stop, (now / options.everyMs + 1) * options.everyMs);
    if (options.videoPath)
        stop = std::min<std::int64_t>(stop, (now / repaintPeriodMs + 1) * repaintPeriodMs);
    if (nextScriptedMs)
        stop = std::min(stop, *nextScriptedMs);
    if (stop == std::numeric_limits<std::int64_t>::max() || stop <= now)
        return now + 1;
    headless::passOver(movementTimer, stop);
    headless::passOver(repaintTimer, stop);
    return stop;
}

// A key or a click, through the same handlers as the viewer's events. What it changes shows in the next frame, even
// where the frames had settled.
void deliverInput(const ScriptedInput& scripted, int scale)
{
    if (const auto* key = std::get_if<KeyPress>(&scripted.input)) {
        headless::key(*key);
    } else {
        const auto& click = std::get<ScriptedClick>(scripted.input);
        // A frame pixel, given at 400 x 455: the window pixel at its scaled place is the one the pointer goes to.
        const int x = click.x * scale;
        const int y = click.y * scale;
        headless::pointerMove(x, y);
        headless::pointerPress(x, y);
        headless::pointerRelease();
    }
    skipping.changed = true;
    app::composeReady = 1;
}

// Tells the frames written so far (all of them, or those done by now), each with its line on standard error; false
// once a frame could not be written, whose path is then in failedFrame.
std::function<bool(bool all)> tellWrittenFrames;
std::optional<std::string> failedFrame;

// Message boxes do not block here: each is printed, after the frames written before it, and "No more data" ends the
// run where the viewer's stops. A box that comes after a frame that could not be written is not reached.
void onMessageBox(const headless::MessageBox& box)
{
    if (tellWrittenFrames && !tellWrittenFrames(true))
        return;
    std::cerr << box.caption << ": " << box.text << '\n';
    if (box.text == "No more data")
        endOfData = true;
}

int usageError(const std::string& what)
{
    std::cerr << "kelo-render: " << what << " (see kelo-render --help)\n";
    return 2;
}

int outputError(const std::string& path)
{
    std::cerr << "kelo-render: could not write " << path << '\n';
    return 1;
}

// [SECTION] Outputs

// Whether the file can be written, found out before anything plays; a file that was not there is not left behind.
bool canWriteFile(const std::string& path)
{
    std::error_code error;
    const bool existed = std::filesystem::exists(path, error);
    if (std::filesystem::is_directory(path, error))
        return false;
    const bool opened = static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::app));
    if (opened && !existed)
        std::filesystem::remove(path, error);
    return opened;
}

// Whether files can be made in the folder, which is made if it is not there.
bool canWriteInFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string probe = (std::filesystem::path(folder) / "kelo-render-XXXXXX").string();
    const int descriptor = mkstemp(probe.data());
    if (descriptor < 0)
        return false;
    close(descriptor);
    std::filesystem::remove(probe, error);
    return true;
}

// The first output of the run that cannot be written, if any.
std::optional<std::string> unwritableOutput(const RenderOptions& options)
{
    if (options.framesFolder && !canWriteInFolder(*options.framesFolder))
        return *options.framesFolder;
    if (options.framePath && !canWriteFile(*options.framePath))
        return *options.framePath;
    if (options.statePath && *options.statePath != "-" && !canWriteFile(*options.statePath))
        return *options.statePath;
    if (options.videoPath && !canWriteFile(*options.videoPath))
        return *options.videoPath;
    return std::nullopt;
}

std::string numberedFrame(const std::string& folder, std::int64_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(index));
    return (std::filesystem::path(folder) / name).string();
}

// The whole log scanned, so that indexedS is the same on every run.
void waitForIndex()
{
    if (app::playback.index)
        app::playback.index->waitFor(std::numeric_limits<double>::infinity());
}

bool writeState(const std::string& path)
{
    waitForIndex();
    const std::string text = stateJson().dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
    if (path == "-") {
        std::cout << text << std::flush;
        return static_cast<bool>(std::cout);
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

// [SECTION] --check

// The size of the log; 0 when it cannot be told (the file went away).
std::int64_t logSize(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

bool progressShown(const RenderOptions& options)
{
    return !options.quiet && isatty(STDERR_FILENO) != 0;
}

int runCheck(const RenderOptions& options)
{
    std::optional<LineReader> reader = openLogFile(options.logPath);
    if (!reader) {
        std::cerr << "kelo-render: " << options.logPath << ": Could not open file\n";
        return 1;
    }
    ProgressLine progress(progressShown(options), "the log", runStart);
    // On a terminal that shows both, each problem takes the progress line's place; it comes back below.
    const bool sharedTerminal = isatty(STDOUT_FILENO) != 0;
    const std::int64_t size = logSize(options.logPath);
    const std::int64_t problems = checkLog(
        std::move(*reader), options.msPerLogSecond,
        [&](const LogProblem& problem) {
            if (sharedTerminal)
                progress.erase();
            std::cout << options.logPath << ':' << problem.line << ": " << problem.reason << '\n';
        },
        [&](std::int64_t offset, std::int64_t lines) { progress.update(offset, size, lines); });
    progress.finish();
    std::cerr << "kelo-render: " << problems << (problems == 1 ? " line" : " lines") << " the viewer cannot use\n";
    return problems == 0 ? 0 : 1;
}

// [SECTION] --index

int runIndex(const RenderOptions& options)
{
    std::optional<LineReader> reader = openLogFile(options.logPath);
    if (!reader) {
        std::cerr << "kelo-render: " << options.logPath << ": Could not open file\n";
        return 1;
    }
    const LogIndex index(std::move(*reader));
    const auto data = index.waitFor(std::numeric_limits<double>::infinity());
    std::cout << indexJson(*data).dump(2) << '\n' << std::flush;
    return std::cout ? 0 : 1;
}

// [SECTION] Playback

// A seek as the viewer would do it once the index has reached the target, done before the clock moves on.
void seekNow(double logSeconds)
{
    if (app::playback.index)
        app::playback.index->waitFor(logSeconds);
    seekTo(logSeconds);
    finishSeek();
    endOfData = false;
    skipping.changed = true;
    app::composeReady = 1;
}

int runPlayback(const RenderOptions& options, std::unique_ptr<VideoClip> clip)
{
    headless::setMessageSink(onMessageBox);
    headless::setTimerSink(onTimerFiring);
    if (std::optional<std::string> unwritable = unwritableOutput(options))
        return outputError(*unwritable);
    // The viewer's start-up, with no window to make: the first paint, then the repaint timer. The speed was chosen
    // before: the first frame shows it.
    app::playback.msPerLogSecond = options.msPerLogSecond;
    setTimelineShown(options.timeline);
    // The window's client area at the scale asked for: every frame, the first included, is drawn at that size.
    headless::setClientSize(frameWidth * options.scale, frameHeight * options.scale);
    if (const std::string failure = startShell([] { return std::string(); }); !failure.empty()) {
        std::cerr << "kelo-render: " << failure << '\n';
        return 1;
    }
    // The log is opened at time 0, as if "Open" had chosen it.
    openReplayLog(options.logPath);
    if (!app::playback.log.reader)
        return 1;

    // Seeks in order of their times, those of one time in the order given; each at its millisecond, after the
    // timers of that millisecond.
    std::vector<SeekRequest> seeks = options.seeks;
    std::stable_sort(seeks.begin(), seeks.end(),
                     [](const SeekRequest& a, const SeekRequest& b) { return a.atMs < b.atMs; });
    std::size_t seeksDone = 0;
    auto seekWhenDue = [&seeks, &seeksDone] {
        for (; seeksDone < seeks.size() && seeks[seeksDone].atMs <= headless::now(); ++seeksDone)
            seekNow(seeks[seeksDone].logSeconds);
    };
    seekWhenDue();

    const bool progressInPlace = isatty(STDERR_FILENO) != 0;
    // The share of the virtual time asked for, or without --until of the log read.
    ProgressLine progress(progressShown(options), options.untilMs ? "the time asked for" : "the log", runStart);
    const std::int64_t size = options.untilMs ? *options.untilMs : logSize(options.logPath);
    // Numbered frames are written on the writer's thread while the clock goes on; each one's line comes once it is
    // written, in order, before any message box that follows it.
    std::optional<FrameWriter> writer;
    if (options.framesFolder)
        writer.emplace();
    std::int64_t framesWritten = 0;
    // The frames are told through objects of this function: it goes with them, whichever way the run ends.
    struct Forget {
        ~Forget() { tellWrittenFrames = nullptr; }
    } forget;
    tellWrittenFrames = [&](bool all) {
        if (failedFrame)
            return false;
        for (const FrameWriter::Written& written :
             writer ? writer->collect(all) : std::vector<FrameWriter::Written>{}) {
            if (!written.ok) {
                failedFrame = written.path;
                return false;
            }
            const std::string line = "kelo-render: " + written.path + " " + written.note;
            // On a terminal the line is rewritten in place; what a longer progress line left on it is cleared.
            std::cerr << (progressInPlace ? "\r" : "") << line << (progress.drawn() ? "\x1b[K" : "")
                      << (progressInPlace ? "" : "\n") << std::flush;
            if (progressInPlace)
                progress.setLead(line);
        }
        return true;
    };
    auto nextInput = options.inputs.begin();
    // The end of data ends the run unless a seek is still to come.
    while ((!endOfData || seeksDone < seeks.size()) && (!options.untilMs || headless::now() < *options.untilMs)
           && tellWrittenFrames(false)) {
        // Inputs at a time come after the timers due then.
        for (; nextInput != options.inputs.end() && nextInput->atMs <= headless::now(); ++nextInput)
            deliverInput(*nextInput, options.scale);
        std::optional<std::int64_t> nextScriptedMs;
        if (nextInput != options.inputs.end())
            nextScriptedMs = nextInput->atMs;
        if (seeksDone < seeks.size())
            nextScriptedMs = std::min(nextScriptedMs.value_or(seeks[seeksDone].atMs), seeks[seeksDone].atMs);
        headless::advance(nextStop(options, nextScriptedMs) - headless::now());
        afterMillisecond();
        seekWhenDue();
        // The clip shows what the window shows: the frame of each repaint.
        if (clip && headless::now() % repaintPeriodMs == 0 && !clip->addBackBuffer())
            break;
        const LogCursor& log = app::playback.log;
        progress.update(options.untilMs ? headless::now() : (log.reader ? log.reader->offset() : 0), size,
                        log.currentNumber);
        if (!options.framesFolder || headless::now() % options.everyMs != 0)
            continue;
        const std::string path = numberedFrame(*options.framesFolder, ++framesWritten);
        std::vector<std::uint32_t> pixels;
        if (!headless::framePixels(pixels))
            return outputError(path);
        writer->write(path, std::move(pixels), frameWidth * options.scale, frameHeight * options.scale,
                      "at " + std::to_string(headless::now()) + " ms");
    }
    const bool allWritten = tellWrittenFrames(true);
    if (progressInPlace && framesWritten > 0 && !progress.drawn())
        std::cerr << '\n';
    progress.finish();
    if (!allWritten)
        return outputError(*failedFrame);
    if (clip) {
        const std::string failure = clip->finish();
        if (!failure.empty()) {
            std::cerr << "kelo-render: " << failure << '\n';
            return outputError(*options.videoPath);
        }
    }

    if (options.framePath && !headless::saveFrame(*options.framePath))
        return outputError(*options.framePath);
    if (options.statePath && !writeState(*options.statePath))
        return outputError(*options.statePath);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedOptions parsed = parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.options.help) {
        std::cout << renderUsage();
        return 0;
    }
    if (parsed.options.version) {
        std::cout << "kelo-render " << keloVersion << '\n';
        return 0;
    }
    if (!parsed.error.empty())
        return usageError(parsed.error);
    const RenderOptions& options = parsed.options;
    if (options.folder) {
        std::error_code error;
        if (!std::filesystem::is_directory(*options.folder, error))
            return usageError("--folder: no folder \"" + *options.folder + "\"");
        headless::setProgramFolder(std::filesystem::absolute(*options.folder, error).string());
    }
    // Without ffmpeg there is no clip: said before anything plays.
    std::unique_ptr<VideoClip> clip;
    if (options.videoPath) {
        const std::string ffmpeg = findOnPath("ffmpeg");
        if (ffmpeg.empty()) {
            std::cerr << "kelo-render: --video needs the program ffmpeg, which is not on the PATH\n";
            return 1;
        }
        clip = std::make_unique<VideoClip>(ffmpeg, *options.videoPath, *clipFormat(*options.videoPath),
                                           1000 / repaintPeriodMs);
    }
    if (!headless::startup()) {
        std::cerr << "kelo-render: GDI+ could not be started\n";
        return 1;
    }
    if (options.index)
        return runIndex(options);
    return options.check ? runCheck(options) : runPlayback(options, std::move(clip));
}
