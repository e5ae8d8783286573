// The replay reader and playback clock: each playback timer tick steps the open log once and re-arms the timer
// for the scaled gap to the look-ahead line's stamp; each movement tick glides the units unless paused.
// Relies on the step function (world/log_step.h), the log clock, the app's instances, navigation (app/seek.cpp)
// and the platform seam's timers and boxes.
#include "app/playback.h"

#include <algorithm>
#include <limits>

#include "app/screen_hooks.h"
#include "app/seek.h"
#include "app/timers.h"
#include "app/viewer.h"
#include "seam/platform.h"
#include "world/log_time.h"
#include "world/movement.h"

namespace {

// One step applies at most this many lines, or lines for this long, so that the window keeps answering under a
// burst; the lines still due follow at once in the next step.
constexpr int linesPerStep = 10'000;
constexpr std::int64_t stepMs = 8;
// Playback that waited this long at a followed file's end for a line takes that line as soon as it comes.
constexpr std::int64_t waitedAtEdgeMs = 25;
constexpr std::int64_t longestWaitMs = std::numeric_limits<std::int32_t>::max();

// Stops the stepping and tells the user; lines, file, world and the paused flag stay as they are.
void endOfData()
{
    stopPlayback();
    showErrorBox("No more data", "Error");
}

enum class StepOutcome : std::uint8_t { applied, reading, waiting, ended };

// Applies the current line as playback does, or reads on in a line longer than one step reads.
StepOutcome applyCurrentLine()
{
    Playback& playback = app::viewer().playback;
    // No open log (Play after a failed open) or no line left (Play after the end) is the end of data too.
    const StepResult step = stepLog(playback.log, app::viewer().world, playback.msPerLogSecond, screenHooks);
    advanceClock(playback.clock, step);
    followPlayback();
    if (step.stopsPlayback)
        stopPlayback();
    if (!step.gap) {
        endOfData();
        return StepOutcome::ended;
    }
    if (step.waiting)
        return StepOutcome::waiting;
    return step.reading ? StepOutcome::reading : StepOutcome::applied;
}

// Arms the playback timer for the current line's due time; a line already due comes after the 1 ms that the
// timer waits at least.
void armForCurrentLine(std::int64_t nowMs)
{
    Playback& playback = app::viewer().playback;
    const std::int64_t due = dueMs(playback.pace, playback.clock.lineTime, playback.msPerLogSecond);
    armTimer(playbackTimer, static_cast<std::int32_t>(std::clamp<std::int64_t>(due - nowMs, 1, longestWaitMs)));
    playback.linesTimed = true;
}

}  // namespace

std::int32_t movementPeriod(std::int32_t msPerLogSecond)
{
    return static_cast<std::int32_t>(msPerLogSecond * 0.05);
}

std::string chooseReplayFile()
{
    return runOpenFileDialog();
}

void openReplayLog(const std::string& path, bool following)
{
    if (path.empty())
        return;
    stopPlayback();
    stopNavigation();
    stopTimer(followTimer);
    Viewer& viewer = app::viewer();
    viewer.playback.live = LiveFollow{};
    resetWorld(viewer.world);
    LogCursor& log = viewer.playback.log;
    log = LogCursor{};
    std::string reason;
    std::optional<LineReader> reader = openLogFile(path, &reason);
    if (!reader) {
        reportProblem("kelo: could not open " + path + ": " + reason);
        showErrorBox("Could not open file", "Error!");
        return;
    }
    // The first line is due at once; the clock starts at the log's start.
    timeLinesFrom(0);
    armTimer(movementTimer, movementPeriod(viewer.playback.msPerLogSecond));
    reader->setFollowing(following);
    startLog(log, std::move(*reader));
    if (following) {
        viewer.playback.live = LiveFollow{true, lookAtFile(path)};
        armTimer(followTimer, followCheckMs);
    }
    startNavigation(path);
}

void playbackStep()
{
    Playback& playback = app::viewer().playback;
    // A seek under way holds the playback's place; it arms the timer again when it is done.
    if (playback.seek) {
        stopPlayback();
        return;
    }
    // A timer may fire before the line is due (a wait longer than a timer holds): it is then armed again.
    const std::int64_t started = steadyMs();
    std::int64_t now = started;
    for (int lines = 0; dueMs(playback.pace, playback.clock.lineTime, playback.msPerLogSecond) <= now;
         now = steadyMs()) {
        if (lines == linesPerStep || now - started >= stepMs)
            break;
        const bool waited = playback.log.waitingForLine && now - playback.live.waitingSinceMs >= waitedAtEdgeMs;
        const StepOutcome outcome = applyCurrentLine();
        if (outcome == StepOutcome::ended)
            return;
        if (outcome == StepOutcome::waiting) {
            // The newest whole line is applied; playback waits for the next one to be written.
            stopPlayback();
            playback.live.waitingSinceMs = now;
            return;
        }
        // At the file's end playback runs with the writer: a line that playback waited for is due when it comes, and
        // those after it at their pace from there. (Where the clock stands still while it waits, as kelo-render's
        // does, the pace stays.)
        if (waited && outcome == StepOutcome::applied)
            playback.pace = {now, logMsOf(playback.clock.lineTime)};
        // A long line is read a step's share a timer tick, so that the window keeps answering over it.
        if (outcome == StepOutcome::reading)
            break;
        ++lines;
    }
    // Armed after the lines, so that a "WIN" that stopped the timer does not end playback.
    armForCurrentLine(now);
}

void movementTick()
{
    // While paused no step is used up, so a held glide goes on from where it stopped.
    Viewer& viewer = app::viewer();
    if (!viewer.playback.playbackPaused)
        glideUnits(viewer.world);
}

void pausePlayback()
{
    Playback& playback = app::viewer().playback;
    if (!playback.playbackPaused)
        stopPlayback();
    playback.playbackPaused = 1;
    restTimer(movementTimer, true);
}

void resumePlayback()
{
    Playback& playback = app::viewer().playback;
    // The next line comes one log second after Play, whatever was left of its gap.
    if (playback.playbackPaused)
        timeLinesFrom(logMsOf(playback.clock.lineTime) - 1000);
    playback.playbackPaused = 0;
    restTimer(movementTimer, false);
}

void stopPlayback()
{
    stopTimer(playbackTimer);
    app::viewer().playback.linesTimed = false;
}

void stepLines(int lines)
{
    Playback& playback = app::viewer().playback;
    if (!playback.playbackPaused || playback.seek || !playback.log.reader)
        return;
    if (lines > 0)
        applyCurrentLine();
    else if (playback.clock.appliedTime >= 0)
        seekTo(static_cast<double>(playback.clock.appliedTime), playback.clock.appliedNumber);
}

void setSpeed(std::int32_t msPerLogSecond)
{
    Playback& playback = app::viewer().playback;
    const std::int64_t reached = logMsAt(playback.pace, steadyMs(), playback.msPerLogSecond);
    playback.msPerLogSecond = msPerLogSecond;
    if (playback.linesTimed)
        timeLinesFrom(reached);
}

void timeCurrentLine()
{
    armForCurrentLine(steadyMs());
}

void timeLinesFrom(std::int64_t logMs)
{
    Playback& playback = app::viewer().playback;
    const std::int64_t now = steadyMs();
    playback.pace = {now, std::min(logMs, logMsOf(playback.clock.lineTime))};
    armForCurrentLine(now);
}
