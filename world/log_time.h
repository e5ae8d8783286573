// Log time: seconds since a log's first line, the sum of the gaps that playback waits between its lines, so that
// at 1x it runs with the wall clock. Relies on the step function, whose gap (stamps, twelve-hour wrap, a missing
// stamp) is the one rule for how long a line waits.
#pragma once

#include <cstdint>

#include "world/log_step.h"

struct LogClock {
    std::int64_t lineTime = 0;  // the log time of the current line
    std::int64_t appliedTime = -1;  // the log time of the last line applied; -1 before the first
};

// Moves the clock past a step: the applied line keeps the time it had, and the next line comes one gap later.
// A negative gap (a stamp more than twelve hours back) waits for nothing, as playback steps on after 1 ms, so log
// time never goes back; it saturates instead of overflowing.
void advanceClock(LogClock& clock, const StepResult& step);

// Opens the log as the viewer does: the first two lines, and an empty look-ahead line held for a log of one line
// (it resets the world and waits as for a line without a stamp before the data ends).
void startReplay(LogCursor& log, LineReader reader);
