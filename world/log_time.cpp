// The log clock and the viewer's way of opening a log; playback, the index and seeking all time lines with them.
#include "world/log_time.h"

#include <algorithm>
#include <limits>

void advanceClock(LogClock& clock, const StepResult& step)
{
    if (step.applied)
        clock.appliedTime = clock.lineTime;
    if (!step.gap)
        return;
    const std::int64_t wait = std::max<std::int64_t>(*step.gap, 0);
    const std::int64_t room = std::numeric_limits<std::int64_t>::max() - clock.lineTime;
    clock.lineTime += std::min(wait, room);
}

void startReplay(LogCursor& log, LineReader reader)
{
    startLog(log, std::move(reader), SingleLine::emptyLookAhead);
}
