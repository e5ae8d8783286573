// The step function over an open log: split, stamps, resets, the event, the gap, the clock, the next line.
// Relies on the line reader, the line format and the event interpreter; it arms no timer and shows nothing.
#include "world/log_step.h"

#include "world/interpreter.h"

namespace {

// Reads on into the lines not yet read to their end, taking the bytes read off `budget`; true once all are read.
bool readOn(LogCursor& log, std::int64_t& budget)
{
    while (log.linesUnread > 0) {
        const bool current = log.linesUnread == 2;
        std::string& line = current ? log.currentLine : (log.nextLine ? *log.nextLine : log.nextLine.emplace());
        const ReadStatus status = log.reader->read(line, budget);
        if (status == ReadStatus::unfinished)
            return false;
        --log.linesUnread;
        if (current) {
            log.currentNumber = log.reader->lastLineNumber();
            continue;
        }
        log.nextNumber = log.reader->lastLineNumber();
        if (log.heldLine == LogCursor::HeldLine::awaited)
            log.heldLine = status == ReadStatus::end ? LogCursor::HeldLine::ahead : LogCursor::HeldLine::none;
        else if (status == ReadStatus::end)
            log.nextLine.reset();
    }
    return true;
}

}  // namespace

void startLog(LogCursor& log, LineReader reader)
{
    log.reader.emplace(std::move(reader));
    log.linesUnread = 2;
    log.heldLine = LogCursor::HeldLine::awaited;
    std::int64_t budget = log.readLimit;
    readOn(log, budget);
}

StepResult stepLog(LogCursor& log, World& world, std::int32_t msPerLogSecond, const WorldHooks& hooks,
                   const LineInspector& inspect)
{
    StepResult result;
    if (!log.reader)
        return result;
    std::int64_t budget = log.readLimit;
    if (!linesRead(log)) {
        // A step that reads on applies nothing even when the line ends within it, so that a line is applied only when
        // its step begins with both lines whole (a seek looks at the current line's time before each step).
        readOn(log, budget);
        result.reading = true;
        result.gap = 0;
        return result;
    }
    if (!splitLineInto(log.currentLine, log.split, inspect ? log.inspectedFields : fieldCount))
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
    if (!inspect || inspect(log, log.split.fields)) {
        if (inspect && log.inspectedFields < fieldCount)
            splitLineInto(log.currentLine, log.split);
        result.stopsPlayback = applyEvent(world, log.split.fields, msPerLogSecond, hooks) == EventEffect::stopPlayback;
    }
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
    if (log.heldLine == LogCursor::HeldLine::ahead)
        log.heldLine = LogCursor::HeldLine::current;
    log.linesUnread = 1;
    readOn(log, budget);
    return result;
}
