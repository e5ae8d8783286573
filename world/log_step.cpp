// The step function over an open log: split, stamps, resets, the event, the gap, the clock, the next line.
// Relies on the line reader, the line format and the event interpreter; it arms no timer and shows nothing.
#include "world/log_step.h"

#include "world/interpreter.h"

void startLog(LogCursor& log, LineReader reader)
{
    log.reader.emplace(std::move(reader));
    log.currentLine = log.reader->read().value_or("");
    log.currentNumber = log.reader->lastLineNumber();
    log.nextLine = log.reader->read();
    log.nextNumber = log.reader->lastLineNumber();
}

StepResult stepLog(LogCursor& log, World& world, std::int32_t msPerLogSecond, const LineInspector& inspect)
{
    StepResult result;
    std::optional<SplitLine> split;
    if (log.reader)
        split = splitLine(log.currentLine);
    if (!split)
        return result;
    const std::optional<std::int64_t> current = stampTime(log.currentLine);
    if (!current)
        resetWorld(world);
    std::optional<std::int64_t> next;
    if (log.nextLine) {
        next = stampTime(*log.nextLine);
        if (!next)
            resetWorld(world);
    }
    if (inspect)
        inspect(log, split->fields);
    result.applied = true;
    result.stopsPlayback = applyEvent(world, split->fields, msPerLogSecond) == EventEffect::stopPlayback;
    if (!log.nextLine) {
        // The final line of the log has been applied; no line is left after it.
        log.currentLine.clear();
        return result;
    }
    result.gap = stampGap(current.value_or(0), next.value_or(0));
    countDownClock(world, *result.gap);
    log.currentLine = std::move(*log.nextLine);
    log.currentNumber = log.nextNumber;
    log.nextLine = log.reader->read();
    log.nextNumber = log.reader->lastLineNumber();
    return result;
}
