// kelo-render: plays a replay log as the viewer does, on the headless backend's virtual clock, seeking where asked,
// and writes the frames (PNG), a clip of them (through ffmpeg) and the world state (JSON) it reaches, or lists the
// lines the viewer cannot use (--check), or prints the log's index (--index) or its events (--events).
// The options come from tools/render_options.h, the playback run from tools/render_run.h.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <limits>

#include "app/shell.h"
#include "kelo_version.h"
#include "platform/headless/headless.h"
#include "tools/log_check.h"
#include "tools/panel_json.h"
#include "tools/progress_line.h"
#include "tools/render_options.h"
#include "tools/render_run.h"
#include "tools/state_json.h"
#include "tools/video_clip.h"
#include "world/log_index.h"

namespace {

int usageError(const std::string& what)
{
    std::cerr << "kelo-render: " << what << " (see kelo-render --help)\n";
    return 2;
}

// [SECTION] --check

int runCheck(const RenderOptions& options, ProgressLine::Clock::time_point started)
{
    std::optional<LineReader> reader = openLogFile(options.logPath);
    if (!reader) {
        std::cerr << "kelo-render: " << options.logPath << ": Could not open file\n";
        return 1;
    }
    ProgressLine progress(progressShown(options.quiet), "the log", started);
    // On a terminal that shows both, each problem takes the progress line's place; it comes back below.
    const bool sharedTerminal = isatty(STDOUT_FILENO) != 0;
    const std::int64_t size = fileSize(options.logPath);
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

// [SECTION] --index and --events

// The whole log scanned as the viewer's index scans it; null, said on standard error, when it cannot be opened.
std::shared_ptr<const LogIndexData> scanWholeLog(const RenderOptions& options)
{
    std::optional<LineReader> reader = openLogFile(options.logPath);
    if (!reader) {
        std::cerr << "kelo-render: " << options.logPath << ": Could not open file\n";
        return nullptr;
    }
    const LogIndex index(std::move(*reader));
    return index.waitFor(std::numeric_limits<double>::infinity());
}

int runIndex(const RenderOptions& options)
{
    const auto data = scanWholeLog(options);
    if (!data)
        return 1;
    std::cout << indexJson(*data).dump(2) << '\n' << std::flush;
    return std::cout ? 0 : 1;
}

// The events list of the whole log, one JSON object a line.
int runEvents(const RenderOptions& options)
{
    const auto data = scanWholeLog(options);
    if (!data)
        return 1;
    for (const LogMark& mark : data->marks)
        std::cout << eventJson(mark).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    std::cout << std::flush;
    return std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const ProgressLine::Clock::time_point started = ProgressLine::Clock::now();
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
    if (options.events)
        return runEvents(options);
    if (options.check)
        return runCheck(options, started);
    RenderRun run(options, std::move(clip), started);
    return run.run();
}
