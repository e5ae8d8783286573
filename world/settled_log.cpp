// Settled logs: stepping without glides, copying with a reader of their own, and the steps of a seek.
// Relies on the step function and the line reader's seek to put a copy's reader where the original's is.
#include "world/settled_log.h"

#include <algorithm>
#include <cmath>

SettledLog startSettled(LineReader reader)
{
    SettledLog settled;
    startLog(settled.log, std::move(reader));
    return settled;
}

StepResult stepSettled(SettledLog& settled, std::int32_t msPerLogSecond, const WorldHooks& hooks)
{
    const StepResult step = stepLog(settled.log, settled.world, msPerLogSecond, hooks);
    advanceClock(settled.clock, step);
    settled.ended = settled.ended || !step.gap;
    return step;
}

CursorPlace placeOf(const LogCursor& log)
{
    CursorPlace place{log.currentLine, log.nextLine, log.currentNumber, log.nextNumber, 0, 1, log.heldLine};
    if (!log.reader)
        return place;
    place.offset = log.reader->offset();
    place.readLine = log.reader->nextLineNumber();
    place.following = log.reader->following();
    place.currentApplied = log.currentApplied;
    if (log.waitingForLine) {
        // Waiting at a followed file's end: the line not yet whole is read again from its start.
        place.offset = log.reader->lineStart();
        place.readLine = log.reader->lastLineNumber();
        place.linesUnread = log.linesUnread;
    }
    return place;
}

std::optional<LogCursor> reopenAt(const std::string& path, const CursorPlace& place)
{
    std::optional<LineReader> reader = openLogFile(path);
    if (!reader || !reader->seek(place.offset, place.readLine))
        return std::nullopt;
    reader->setFollowing(place.following);
    LogCursor log;
    log.reader.emplace(std::move(*reader));
    log.linesUnread = place.linesUnread;
    log.currentApplied = place.currentApplied;
    log.waitingForLine = place.linesUnread > 0;
    log.currentLine = place.currentLine;
    log.nextLine = place.nextLine;
    log.currentNumber = place.currentNumber;
    log.nextNumber = place.nextNumber;
    log.heldLine = place.heldLine;
    return log;
}

std::optional<SettledLog> copySettled(const SettledLog& settled, const std::string& path)
{
    std::optional<LogCursor> log = reopenAt(path, placeOf(settled.log));
    if (!log)
        return std::nullopt;
    return SettledLog{std::move(*log), settled.clock, settled.world, settled.ended};
}

std::int64_t linkSecond(double target)
{
    // Beyond 2^62 seconds every log time is the same to a double; the clamp keeps the conversion defined.
    constexpr double limit = 4.6e18;
    return static_cast<std::int64_t>(std::ceil(std::min(std::max(target, 0.0), limit))) - 1;
}

bool canStartSeek(const LogClock& clock, double target)
{
    return clock.appliedTime < 0 || clock.appliedTime < linkSecond(target);
}

bool stepSeek(SettledSeek& seek, const WorldHooks& hooks)
{
    SettledLog& at = seek.at;
    // A seek arrives only where a step would apply the current line: with a look-ahead line read to its end.
    // In a followed log nothing lies beyond the file's end: a seek there arrives at the last whole line.
    const bool atFileEnd = at.log.waitingForLine;
    const bool arrived = at.ended || (atFileEnd && at.log.currentApplied)
                      || (static_cast<double>(at.clock.lineTime) >= seek.target
                          && at.log.currentNumber >= seek.targetLine && (linesRead(at.log) || atFileEnd));
    if (!seek.linksCleared && (arrived || at.clock.lineTime >= linkSecond(seek.target))) {
        clearDamageLinks(at.world);
        seek.linksCleared = true;
    }
    if (arrived)
        return false;
    stepSettled(at, seek.msPerLogSecond, hooks);
    return true;
}

void clearDamageLinks(World& world)
{
    for (const auto& record : world.records)
        record->damageLink = nullptr;
}
