// The replay reader and playback clock: each playback timer tick steps the open log once and re-arms the timer
// for the scaled gap to the look-ahead line's stamp; each movement tick glides the units unless paused.
// Relies on the step function (world/log_step.h), the log clock, the app's instances, navigation (app/seek.cpp)
// and the platform seam's timers and boxes.
#include "app/playback.h"

#include <algorithm>
#include <limits>

#include "app/app_state.h"
#include "platform/platform.h"
#include "world/log_time.h"
#include "world/movement.h"

namespace {

constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();

// Stops the stepping and tells the user; lines, file, world and the paused flag stay as they are.
void endOfData()
{
    stopPlayback();
    showErrorBox("No more data", "Error");
}

}  // namespace

std::int32_t playbackPeriod(std::int64_t gap, std::int32_t msPerLogSecond)
{
    // Clamping the gap first keeps the product inside 64 bits and still beyond the 32-bit range when it was.
    std::int64_t period = std::clamp(gap, int32Min, int32Max + 1) * msPerLogSecond + 1;
    // Time going back over twelve hours gives a negative period: the next step then comes at once.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(period, 1, int32Max));
}

std::int32_t movementPeriod(std::int32_t msPerLogSecond)
{
    return static_cast<std::int32_t>(msPerLogSecond * 0.05);
}

std::string chooseReplayFile()
{
    return runOpenFileDialog();
}

void openReplayLog(const std::string& path)
{
    if (path.empty())
        return;
    stopPlayback();
    stopNavigation();
    resetWorld(app::world);
    LogCursor& log = app::playback.log;
    log = LogCursor{};
    std::string reason;
    std::optional<LineReader> reader = openLogFile(path, &reason);
    if (!reader) {
        reportProblem("kelo: could not open " + path + ": " + reason);
        showErrorBox("Could not open file", "Error!");
        return;
    }
    armTimer(playbackTimer, 1);
    armTimer(movementTimer, movementPeriod(app::playback.msPerLogSecond));
    startReplay(log, std::move(*reader));
    startNavigation(path);
}

void playbackStep()
{
    // A seek under way holds the playback's place; it arms the timer again when it is done.
    if (app::playback.seek) {
        stopPlayback();
        return;
    }
    // No open log (Play after a failed open) or no line left (Play after the end) is the end of data too.
    const StepResult step = stepLog(app::playback.log, app::world, app::playback.msPerLogSecond);
    advanceClock(app::playback.clock, step);
    followPlayback();
    if (step.stopsPlayback)
        stopPlayback();
    if (!step.gap) {
        endOfData();
        return;
    }
    // Re-armed after the event, so a "WIN" that stopped the timer does not end playback.
    armTimer(playbackTimer, playbackPeriod(*step.gap, app::playback.msPerLogSecond));
}

void movementTick()
{
    // While paused no step is used up, so a held glide goes on from where it stopped.
    if (!app::playback.playbackPaused)
        glideUnits(app::world);
}

void resumePlayback()
{
    if (app::playback.playbackPaused)
        armTimer(playbackTimer, app::playback.msPerLogSecond);
    app::playback.playbackPaused = 0;
}

void stopPlayback()
{
    stopTimer(playbackTimer);
}
