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
    // The fields of every line are split into the same texts, whose storage stays from line to line.
    thread_local SplitLine fieldsOfLine;
    if (!log.reader || !splitLineInto(log.currentLine, fieldsOfLine))
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
    result.applied = true;
    result.lineNumber = log.currentNumber;
    if (!inspect || inspect(log, fieldsOfLine.fields))
        result.stopsPlayback = applyEvent(world, fieldsOfLine.fields, msPerLogSecond) == EventEffect::stopPlayback;
    if (!log.nextLine) {
        // The final line of the log has been applied; no line is left after it.
        log.currentLine.clear();
        return result;
    }
    result.gap = stampGap(current.value_or(0), next.value_or(0));
    countDownClock(world, *result.gap);
    // The two lines trade their storage: the look-ahead line becomes the current one and the old current line's
    // storage takes the next line.
    log.currentLine.swap(*log.nextLine);
    log.currentNumber = log.nextNumber;
    if (!log.reader->read(*log.nextLine))
        log.nextLine.reset();
    log.nextNumber = log.reader->lastLineNumber();
    return result;
}
