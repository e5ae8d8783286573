// The log clock: log time past a step and the due times of playback; playback, the index and seeking all time lines
// with it.
#include "world/log_time.h"

#include <algorithm>
#include <limits>

void advanceClock(LogClock& clock, const StepResult& step)
{
    if (step.applied) {
        clock.appliedTime = clock.lineTime;
        clock.appliedNumber = step.lineNumber;
    }
    if (!step.gap)
        return;
    const std::int64_t wait = std::max<std::int64_t>(*step.gap, 0);
    const std::int64_t room = std::numeric_limits<std::int64_t>::max() - clock.lineTime;
    clock.lineTime += std::min(wait, room);
}

namespace {

// Log milliseconds beyond this (50 days) are taken as this, and log seconds longer than the longest length, so that
// scaling one by the other stays inside 64 bits.
constexpr std::int64_t longestLogMs = std::int64_t{1} << 32;
constexpr std::int32_t longestLogSecondMs = 1'000'000;

}  // namespace

std::int64_t logSecondUs(std::int32_t msPerLogSecond)
{
    for (int halvings = 4; halvings <= 6; ++halvings)
        if (msPerLogSecond == 1000 >> halvings)
            return 1'000'000 >> halvings;
    return std::int64_t{std::clamp(msPerLogSecond, 1, longestLogSecondMs)} * 1000;
}

std::int64_t logMsOf(std::int64_t lineTime)
{
    return std::clamp<std::int64_t>(lineTime, 0, longestLogMs / 1000) * 1000;
}

std::int64_t dueMs(const PlaybackPace& pace, std::int64_t lineTime, std::int32_t msPerLogSecond)
{
    const std::int64_t ahead = std::clamp<std::int64_t>(logMsOf(lineTime) - pace.originLogMs, 0, longestLogMs);
    return pace.originMs + ahead * logSecondUs(msPerLogSecond) / 1'000'000;
}

std::int64_t logMsAt(const PlaybackPace& pace, std::int64_t nowMs, std::int32_t msPerLogSecond)
{
    const std::int64_t elapsed = std::clamp<std::int64_t>(nowMs - pace.originMs, 0, longestLogMs);
    return pace.originLogMs + elapsed * 1'000'000 / logSecondUs(msPerLogSecond);
}
