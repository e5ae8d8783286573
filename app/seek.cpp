// Navigation in the open log: the index and the trail started with each log, and seeks that start from the nearest
// settled world before their target (the trail, the seek under way or a snapshot that the index left) and step lines
// to it, a slice at a time on the seek timer. Relies on world/ for the index, settled logs and snapshots, on the app's
// instances and world hooks and on the platform seam's timers and steady clock.
#include "app/seek.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/screen_hooks.h"
#include "app/timers.h"
#include "app/viewer.h"
#include "controls/camera_controls.h"
#include "seam/platform.h"
#include "world/interpreter.h"

namespace {

constexpr std::int64_t sliceMs = 20;
constexpr std::int64_t stepsBetweenClockReads = 64;

void completeSeek()
{
    Viewer& viewer = app::viewer();
    Playback& playback = viewer.playback;
    SettledSeek done = std::move(*playback.seek);
    playback.seek.reset();
    stopTimer(seekTimer);
    playback.trail = copySettled(done.at, playback.logPath);
    // Pins are the user's, not the log's: they stay on the units of the same kind and id.
    moveMarks(viewer.view.units, viewer.world, done.at.world);
    moveFollowing(viewer.view.camera, done.at.world);
    viewer.world = std::move(done.at.world);
    playback.log = std::move(done.at.log);
    playback.clock = done.at.clock;
    if (!playback.playbackPaused)
        timeLinesFrom(std::llround(std::min(done.target * 1000, 1e18)));
}

// Steps the seek under way until it arrives, or until the steady clock reaches the deadline if one is given.
void runSeek(std::optional<std::int64_t> deadline)
{
    Playback& playback = app::viewer().playback;
    for (std::int64_t steps = 1;; ++steps) {
        if (!stepSeek(*playback.seek, screenHooks)) {
            completeSeek();
            return;
        }
        // A step within a long line reads as much as thousands of lines: the clock is read after each of those.
        const bool lookAtClock = steps % stepsBetweenClockReads == 0 || !linesRead(playback.seek->at.log);
        if (deadline && lookAtClock && steadyMs() >= *deadline)
            return;
    }
}

// The nearest settled log from which a seek to the target can start: the seek under way, the trail (where
// playback stands), the latest usable snapshot or the log's start; at equal times the first of these. Its glides
// are re-timed to the seek's speed, whatever speeds its lines were applied at.
std::optional<SettledLog> seekStart(double target, std::int32_t msPerLogSecond)
{
    Playback& playback = app::viewer().playback;
    std::optional<SettledLog> running;
    if (playback.seek)
        running = std::move(playback.seek->at);
    playback.seek.reset();
    std::optional<SettledLog>* chosen = nullptr;
    std::int64_t chosenTime = -1;
    for (std::optional<SettledLog>* candidate : {&running, &playback.trail}) {
        const std::optional<SettledLog>& settled = *candidate;
        if (settled && canStartSeek(settled->clock, target) && settled->clock.lineTime > chosenTime) {
            chosen = candidate;
            chosenTime = settled->clock.lineTime;
        }
    }
    const std::shared_ptr<const Snapshot> snapshot = playback.index->snapshotFor(target);
    std::optional<SettledLog> start;
    if (snapshot && snapshot->clock.lineTime > chosenTime)
        start = restoreSnapshot(*snapshot, playback.logPath, screenHooks);
    else if (chosen != nullptr)
        start = std::exchange(*chosen, std::nullopt);
    if (!start) {
        if (std::optional<LineReader> reader = openLogFile(playback.logPath))
            start = startSettled(std::move(*reader));
    }
    if (start) {
        setFollowing(start->log, playback.live.following);
        retimeGlides(start->world, msPerLogSecond);
    }
    return start;
}

}  // namespace

double logTimeNow()
{
    return static_cast<double>(app::viewer().playback.clock.lineTime);
}

std::int64_t linesPlayed()
{
    const LogCursor& log = app::viewer().playback.log;
    const bool ended = log.currentLine.empty() && !log.nextLine;
    return ended ? log.currentNumber : log.currentNumber - 1;
}

std::shared_ptr<const LogIndexData> indexView()
{
    const Playback& playback = app::viewer().playback;
    return playback.index ? playback.index->view() : std::make_shared<const LogIndexData>();
}

void seekTo(double logSeconds, std::int64_t line)
{
    Playback& playback = app::viewer().playback;
    if (!playback.index || !playback.log.reader)
        return;
    const double scanned = playback.index->view()->scannedS;
    const double target = std::isnan(logSeconds) ? 0.0 : std::clamp(logSeconds, 0.0, scanned);
    const bool wasSeeking = playback.seek.has_value();
    std::optional<SettledLog> start = seekStart(target, playback.msPerLogSecond);
    if (!start) {
        // The file cannot be read again: playback goes on where it stands.
        stopTimer(seekTimer);
        if (wasSeeking && !playback.playbackPaused)
            timeLinesFrom(logMsOf(playback.clock.lineTime));
        return;
    }
    playback.seek = SettledSeek{std::move(*start), target, playback.msPerLogSecond, false, line};
    stopPlayback();
    armTimer(seekTimer, 1);
}

std::optional<double> seekTarget()
{
    const std::optional<SettledSeek>& seek = app::viewer().playback.seek;
    return seek ? std::optional<double>(seek->target) : std::nullopt;
}

void finishSeek()
{
    if (app::viewer().playback.seek)
        runSeek(std::nullopt);
}

// [SECTION] Navigation's part in playback

void stopNavigation()
{
    Playback& playback = app::viewer().playback;
    stopTimer(seekTimer);
    playback.seek.reset();
    playback.index.reset();
    playback.trail.reset();
    playback.clock = LogClock{};
    playback.logPath.clear();
}

void startNavigation(const std::string& path)
{
    Playback& playback = app::viewer().playback;
    playback.logPath = path;
    startIndex(path);
    if (std::optional<LineReader> reader = openLogFile(path)) {
        reader->setFollowing(playback.live.following);
        playback.trail = startSettled(std::move(*reader));
    }
}

void startIndex(const std::string& path)
{
    Playback& playback = app::viewer().playback;
    playback.index.reset();
    if (std::optional<LineReader> reader = openLogFile(path)) {
        reader->setFollowing(playback.live.following);
        playback.index = std::make_unique<LogIndex>(std::move(*reader), LogIndex::publishEvery, ScanMode{true});
    }
}

void followPlayback()
{
    Playback& playback = app::viewer().playback;
    if (!playback.trail)
        return;
    stepSettled(*playback.trail, playback.msPerLogSecond, screenHooks);
    // Both read the same file; should it change under them, the trail no longer tells where playback is.
    if (playback.trail->log.currentNumber != playback.log.currentNumber
        || playback.trail->clock.lineTime != playback.clock.lineTime)
        playback.trail.reset();
}

void seekTick()
{
    if (!app::viewer().playback.seek) {
        stopTimer(seekTimer);
        return;
    }
    runSeek(steadyMs() + sliceMs);
}
