// kelo-render: plays a replay log as the viewer does, on the headless backend's virtual clock, and writes the
// frames (PNG), a clip of them (through ffmpeg) and the world state (JSON) it reaches, or lists the lines the
// viewer cannot use (--check).
// Relies on the core's start-up pieces (app/shell.h, app/playback.h) and on tools/ for options, JSON and the check.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "app/globals.h"
#include "app/playback.h"
#include "app/shell.h"
#include "kelo_version.h"
#include "platform/headless/headless.h"
#include "platform/linux_shared.h"
#include "tools/log_check.h"
#include "tools/render_options.h"
#include "tools/state_json.h"
#include "tools/video_clip.h"

namespace {

constexpr std::int32_t repaintPeriodMs = 100;

bool endOfData = false;

// [SECTION] Frames that would come out the same

// A log can make playback wait for hours of log time (a stamp twelve hours back, a line without a stamp, a log of
// one line). The repaint timer goes on as in the viewer, but once a frame composed with nothing changed since the
// frame before comes out the same as that frame, every later frame would too until the world changes: those are
// skipped by clearing composeReady, as a paint that arrives during a composition is, so every output stays the same.
struct FrameSkipping {
    bool changed = true;               // a playback step or a glide since the last composed frame was looked at
    bool repainted = false;            // a frame was composed in this millisecond
    std::vector<ARGB> lastQuietFrame;  // the pixels of the last frame composed with nothing changed before it
};

FrameSkipping skipping;

template <class Unit>
bool anyGliding(const PtrList<Unit>& list)
{
    for (std::int32_t i = 0; i < list.count - 1; ++i)
        if (list.items[i]->stepsLeft > 0)
            return true;
    return false;
}

// Told of every timer just before the core runs it.
void onTimerFiring(TimerId id)
{
    if (id == repaintTimer) {
        skipping.repainted = skipping.repainted || g.composeReady != 0;
        return;
    }
    const bool gliding = !g.playbackPaused && (anyGliding(g.soldierList) || anyGliding(g.vehicleList));
    if (id == playbackTimer || gliding) {
        skipping.changed = true;
        g.composeReady = 1;
    }
}

std::vector<ARGB> backBufferPixels()
{
    std::vector<ARGB> pixels;
    pixels.reserve(static_cast<std::size_t>(backBufferWidth) * backBufferHeight);
    for (int y = 0; y < backBufferHeight; ++y)
        for (int x = 0; x < backBufferWidth; ++x)
            pixels.push_back(headless::pixel(x, y));
    return pixels;
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
    std::vector<ARGB> frame = backBufferPixels();
    if (frame == skipping.lastQuietFrame)
        g.composeReady = 0;
    else
        skipping.lastQuietFrame = std::move(frame);
}

// Message boxes do not block here: each is printed, and "No more data" ends the run where the viewer's stops.
void onMessageBox(const headless::MessageBox& box)
{
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

std::string numberedFrame(const std::string& folder, std::int64_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(index));
    return (std::filesystem::path(folder) / name).string();
}

bool writeState(const std::string& path)
{
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

int runCheck(const RenderOptions& options)
{
    std::unique_ptr<std::FILE, FileCloser> file(openLogFile(options.logPath));
    if (!file) {
        std::cerr << "kelo-render: " << options.logPath << ": Could not open file\n";
        return 1;
    }
    const std::vector<LogProblem> problems = checkLog(file.get());
    for (const LogProblem& problem : problems)
        std::cout << options.logPath << ':' << problem.line << ": " << problem.reason << '\n';
    std::cerr << "kelo-render: " << problems.size() << (problems.size() == 1 ? " line" : " lines")
              << " the viewer cannot use\n";
    return problems.empty() ? 0 : 1;
}

// [SECTION] Playback

int runPlayback(const RenderOptions& options, std::unique_ptr<VideoClip> clip)
{
    headless::setMessageSink(onMessageBox);
    headless::setTimerSink(onTimerFiring);
    // The viewer's start-up: the first paint when the window shows, then the repaint timer.
    composeFrame();
    armTimer(repaintTimer, repaintPeriodMs);
    // The log is opened at time 0, as if "Open" had chosen it, at the speed chosen before.
    g.msPerLogSecond = options.msPerLogSecond;
    openReplayLog(options.logPath);
    if (!g.replayFile)
        return 1;

    if (options.framesFolder) {
        std::error_code error;
        std::filesystem::create_directories(*options.framesFolder, error);
    }
    const bool progressInPlace = isatty(STDERR_FILENO) != 0;
    std::int64_t framesWritten = 0;
    while (!endOfData && (!options.untilMs || headless::now() < *options.untilMs)) {
        headless::advance(1);
        afterMillisecond();
        // The clip shows what the window shows: the frame of each repaint.
        if (clip && headless::now() % repaintPeriodMs == 0 && !clip->addBackBuffer())
            break;
        if (!options.framesFolder || headless::now() % options.everyMs != 0)
            continue;
        const std::string path = numberedFrame(*options.framesFolder, ++framesWritten);
        if (!headless::saveFrame(path))
            return outputError(path);
        std::cerr << (progressInPlace ? "\r" : "") << "kelo-render: " << path << " at " << headless::now() << " ms"
                  << (progressInPlace ? "" : "\n") << std::flush;
    }
    if (progressInPlace && framesWritten > 0)
        std::cerr << '\n';
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
    headless::startup();
    g.msPerLogSecond = options.msPerLogSecond;
    return options.check ? runCheck(options) : runPlayback(options, std::move(clip));
}
