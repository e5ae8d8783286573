// Log time: seconds since a log's first line, the sum of the gaps that playback waits between its lines, so that
// at 1x it runs with the wall clock. Relies on the step function, whose gap (stamps, twelve-hour wrap, a missing
// stamp) is the one rule for how long a line waits.
#pragma once

#include <cstdint>

#include "world/log_step.h"

struct LogClock {
    std::int64_t lineTime = 0;  // the log time of the current line
    std::int64_t appliedTime = -1;  // the log time of the last line applied; -1 before the first
    std::int64_t appliedNumber = 0;  // its line number in the file
};

// Moves the clock past a step: the applied line keeps the time it had, and the next line comes one gap later.
// A negative gap (a stamp more than twelve hours back) waits for nothing, as playback steps on after 1 ms, so log
// time never goes back; it saturates instead of overflowing.
void advanceClock(LogClock& clock, const StepResult& step);

// When lines are due in playback: the line of log time T is due at originMs + (T x 1000 - originLogMs) log
// milliseconds, each lasting usPerLogSecond / 1000000 ms on the steady clock. Nothing is added from line to line, so
// the speed shown is the speed played however many lines a log second holds.
struct PlaybackPace {
    std::int64_t originMs = 0;  // a moment on the steady clock
    std::int64_t originLogMs = 0;  // the log time at that moment, in log milliseconds
};

// The exact length of a log second in microseconds. Speeds are powers of two of 1x; past 8x the whole milliseconds
// that msPerLogSecond holds (62, 31, 15) are a log second cut short, and this is its true length (62,500 us ...).
std::int64_t logSecondUs(std::int32_t msPerLogSecond);
// A log time in seconds as log milliseconds, saturated at 50 days: no wait in playback is longer.
std::int64_t logMsOf(std::int64_t lineTime);
// When the line of log time `lineTime` (seconds) is due on the steady clock; never before the pace's origin.
std::int64_t dueMs(const PlaybackPace& pace, std::int64_t lineTime, std::int32_t msPerLogSecond);
// The log time in log milliseconds that the pace has reached at `nowMs`; never before its origin.
std::int64_t logMsAt(const PlaybackPace& pace, std::int64_t nowMs, std::int32_t msPerLogSecond);
