// The check of a whole replay log: the step function's own line rules, the world resets that missing stamps
// cause, and look-ups of every id that the event table says an event names, in the model built so far.
// Line numbers count every line of the file, including the blank lines that the reader skips.
#include "tools/log_check.h"

#include <optional>
#include <utility>

#include "world/event_table.h"
#include "world/log_step.h"

namespace {

// [SECTION] Look-ups in the model built so far

bool hasId(const World& world, IdList list, std::int32_t id)
{
    switch (list) {
    case IdList::soldiers:
        return hasRecordWithId(world.soldierList, id);
    case IdList::vehicles:
        return hasRecordWithId(world.vehicleList, id);
    case IdList::buildings:
        return hasRecordWithId(world.buildingList, id);
    case IdList::entities:
        return hasRecordWithId(world.entityList, id);
    case IdList::none:
        break;
    }
    return false;
}

// Empty when the reference names no field, or its id is found in its list or the list after it.
std::string referenceProblem(const World& world, const IdReference& reference, const Fields& fields)
{
    if (reference.list == IdList::none)
        return {};
    const std::int32_t id = readInt(fields[reference.field]);
    if (hasId(world, reference.list, id) || hasId(world, reference.orList, id))
        return {};
    return "no " + std::string(reference.noun) + " with id " + std::to_string(id) + std::string(reference.note);
}

// A text from the log in quotes, printable ASCII only: control bytes in a log must not reach the terminal.
std::string quoted(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out + '"';
}

// What is wrong with a line's event, given the line's match in the event table.
std::string matchProblem(const World& world, const Fields& fields, const EventMatch& match)
{
    switch (match.outcome) {
    case EventMatch::noEventToken:
        return "no event token";
    case EventMatch::unknownEvent:
        return "unknown event " + quoted(fields[eventField]);
    case EventMatch::unknownKind:
        return "unknown kind " + quoted(fields[kindField]) + " for " + std::string(fields[eventField]);
    case EventMatch::matched:
        break;
    }
    std::string problem = referenceProblem(world, match.rule->first, fields);
    return problem.empty() ? referenceProblem(world, match.rule->second, fields) : problem;
}

}  // namespace

// [SECTION] The check

std::string eventProblem(const World& world, const Fields& fields)
{
    return matchProblem(world, fields, matchEvent(fields));
}

std::int64_t checkLog(LineReader reader, std::int32_t msPerLogSecond, const ProblemSink& tell,
                      const CheckProgress& progress)
{
    std::int64_t problems = 0;
    const auto found = [&tell, &problems](const LogProblem& problem) {
        ++problems;
        tell(problem);
    };
    World world;
    LogCursor log;
    startLog(log, std::move(reader));
    // A wait of over twelve hours is told at the line that ends it.
    std::string waitBefore;
    // Made once: a lambda handed to each step would become a new function object every line.
    const LineInspector inspect = [&](const LogCursor& at, const Fields& fields) {
        std::string reasons = std::exchange(waitBefore, {});
        if (at.currentStamp == noStamp)
            reasons += (reasons.empty() ? "" : "; ") + std::string("no stamp: the world model is reset here");
        const EventMatch match = matchEvent(fields);
        if (std::string problem = matchProblem(world, fields, match); !problem.empty())
            reasons += (reasons.empty() ? "" : "; ") + problem;
        if (!reasons.empty())
            found({at.currentNumber, reasons});
        // The look-ups need the lists alone: a line that neither makes nor releases a record is not applied (a "POS"
        // line's position and heading are never read).
        return match.outcome == EventMatch::matched && changesLists(match.rule->action);
    };
    for (std::int64_t steps = 1;; ++steps) {
        // A step within a long line reads as much as thousands of lines.
        if (progress && (steps % 4096 == 0 || !linesRead(log)))
            progress(log.reader->offset(), log.currentNumber);
        const std::int64_t number = log.currentNumber;
        // The check looks up ids alone: a map line loads no picture and reads no settings.
        const StepResult step = stepLog(log, world, msPerLogSecond, WorldHooks{}, inspect);
        if (step.reading)
            continue;
        if (!step.applied) {
            // The empty line that the open holds after a log's only line is no line of the file: playback waits for
            // it and ends there, as after the last line of a longer log, which is no problem either.
            if (log.heldLine != LogCursor::HeldLine::current)
                found({number, waitBefore + (waitBefore.empty() ? "" : "; ") + "empty: playback ends here"});
            break;
        }
        if (!step.gap)
            break;
        if (*step.gap > twelveHours)
            waitBefore =
                "comes " + std::to_string(*step.gap) + " log seconds after the line before (over twelve hours)";
    }
    return problems;
}
