// The step function over an open log: split, stamps, resets, the event, the gap, the clock, the next line.
// Relies on the line reader, the line format and the event interpreter; it arms no timer and shows nothing.
#include "world/log_step.h"

#include "world/interpreter.h"

namespace {

// Reads on into the lines not yet read to their end, taking the bytes read off `budget`; true once all are read.
bool readOn(LogCursor& log, std::int64_t& budget)
{
    log.waitingForLine = false;
    while (log.linesUnread > 0) {
        const bool current = log.linesUnread == 2;
        if (current)
            log.currentStamp.reset();
        std::string& line = current ? log.currentLine : (log.nextLine ? *log.nextLine : log.nextLine.emplace());
        const ReadStatus status = log.reader->read(line, budget);
        log.waitingForLine = status == ReadStatus::waiting;
        if (status == ReadStatus::unfinished || status == ReadStatus::waiting)
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

namespace {

// The stamps of the cursor's two lines (noStamp: none), each read once.
struct LineStamps {
    std::int64_t current = noStamp;
    std::int64_t next = noStamp;  // noStamp also without a look-ahead line
};

LineStamps stampsOf(LogCursor& log, bool lookAhead)
{
    if (!log.currentStamp)
        log.currentStamp = stampSeconds(log.currentLine);
    return {*log.currentStamp, lookAhead && log.nextLine ? stampSeconds(*log.nextLine) : noStamp};
}

// Applies the current line: a line without a stamp resets the world first, and so does a look-ahead line without one
// when there is one to look at. False when the line cannot be split.
bool applyLine(LogCursor& log, World& world, std::int32_t msPerLogSecond, const WorldHooks& hooks,
               const LineInspector& inspect, const LineStamps& stamps, bool lookAhead, StepResult& result)
{
    const std::optional<SplitLine> split = splitLine(log.currentLine);
    if (!split)
        return false;
    if (stamps.current == noStamp)
        resetWorld(world);
    if (lookAhead && log.nextLine && stamps.next == noStamp)
        resetWorld(world);
    result.applied = true;
    result.lineNumber = log.currentNumber;
    if (!inspect || inspect(log, split->fields))
        result.stopsPlayback = applyEvent(world, split->fields, msPerLogSecond, hooks) == EventEffect::stopPlayback;
    return true;
}

// The look-ahead line becomes the current one, one gap later, and the next line is read.
void moveOn(LogCursor& log, World& world, const LineStamps& stamps, std::int64_t& budget, StepResult& result)
{
    auto seconds = [](std::int64_t stamp) { return stamp == noStamp ? 0 : stamp; };
    result.gap = stampGap(seconds(stamps.current), seconds(stamps.next));
    countDownClock(world, *result.gap);
    // The two lines trade their storage: the look-ahead line becomes the current one and the old current line's
    // storage takes the next line.
    log.currentLine.swap(*log.nextLine);
    log.currentStamp = stamps.next;
    log.currentNumber = log.nextNumber;
    log.currentApplied = false;
    if (log.heldLine == LogCursor::HeldLine::ahead)
        log.heldLine = LogCursor::HeldLine::current;
    log.linesUnread = 1;
    readOn(log, budget);
}

// A step of a followed log whose lines are not all written: the current line is applied once its look-ahead line
// is awaited at the file's end.
StepResult waitForLine(LogCursor& log, World& world, std::int32_t msPerLogSecond, const WorldHooks& hooks,
                       const LineInspector& inspect)
{
    StepResult result;
    result.waiting = true;
    result.gap = 0;
    if (log.linesUnread == 1 && !log.currentApplied) {
        if (!applyLine(log, world, msPerLogSecond, hooks, inspect, stampsOf(log, false), false, result))
            return StepResult{};
        log.currentApplied = true;
    }
    return result;
}

}  // namespace

StepResult stepLog(LogCursor& log, World& world, std::int32_t msPerLogSecond, const WorldHooks& hooks,
                   const LineInspector& inspect)
{
    StepResult result;
    if (!log.reader)
        return result;
    // After the final line, which stays as it was applied, the data has ended.
    if (log.currentApplied && linesRead(log) && !log.nextLine)
        return result;
    std::int64_t budget = log.readLimit;
    if (!linesRead(log)) {
        // A step that reads on applies nothing even when the line ends within it, so that a line is applied only when
        // its step begins with both lines whole (a seek looks at the current line's time before each step).
        readOn(log, budget);
        if (log.waitingForLine)
            return waitForLine(log, world, msPerLogSecond, hooks, inspect);
        if (linesRead(log) && log.currentApplied) {
            // The line after one applied at the file's end has come; without one (following stopped there) the data
            // has ended.
            if (log.nextLine)
                moveOn(log, world, stampsOf(log, true), budget, result);
            return result;
        }
        result.reading = true;
        result.gap = 0;
        return result;
    }
    const LineStamps stamps = stampsOf(log, true);
    if (!applyLine(log, world, msPerLogSecond, hooks, inspect, stamps, true, result))
        return result;
    if (!log.nextLine) {
        // The final line of the log has been applied; no line is left after it.
        log.currentApplied = true;
        return result;
    }
    moveOn(log, world, stamps, budget, result);
    return result;
}

void setFollowing(LogCursor& log, bool following)
{
    if (!log.reader)
        return;
    log.reader->setFollowing(following);
    // A log that ended after its final line was applied waits at the file's end for the line after it.
    if (following && log.currentApplied && linesRead(log) && !log.nextLine)
        log.linesUnread = 1;
}
