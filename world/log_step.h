// Stepping through a replay log: the open log with its current and look-ahead lines, and the one function that
// applies the current line and moves on. Playback, seeking, the index, kelo-render's check, the benchmarks and the fuzz
// targets all open and step a log with it, so that none of them can read a log differently. A step reads a bounded
// number of bytes, so a line of gigabytes takes many steps to pass over and never holds a window or a thread that
// waits for a stop.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "world/line_reader.h"
#include "world/log_format.h"
#include "world/world_hooks.h"
#include "world/world_model.h"

// The most a step reads of the file: a few milliseconds of reading from the system's cache (tens from a disk), where
// a usual line is a hundred bytes.
constexpr std::int64_t stepReadLimit = std::int64_t{16} << 20;

struct LogCursor {
    std::optional<LineReader> reader;  // none: no log open
    std::string currentLine;
    std::optional<std::string> nextLine;  // none once the log has no line left
    // The current line's stamp as stampSeconds reads it (noStamp: none), once a step has read it: kept from the step
    // before, which read it as the look-ahead line's, and known to the inspector of the step that applies the line.
    std::optional<std::int64_t> currentStamp;
    std::int64_t currentNumber = 0;  // the line numbers of the two lines in the file, blank lines counted
    std::int64_t nextNumber = 0;
    // The lines not yet read to their end, the last of them the one the reader is in: 2 (both) or 1 (the look-ahead
    // line) when a step's reading stopped at readLimit, else 0. Their texts are partial meanwhile.
    int linesUnread = 0;
    // The empty line that the open holds after a log's only line (startLog), no line of the file: awaited until the
    // look-ahead line is read, then ahead while it is the look-ahead line and current once a step has moved it there.
    enum class HeldLine : std::uint8_t { none, awaited, ahead, current };
    HeldLine heldLine = HeldLine::none;
    std::int64_t readLimit = stepReadLimit;  // bytes read at most by one step (or the open)
    // Following a growing file (the reader follows): the reader waits at the file's end for the line it is in.
    bool waitingForLine = false;
    // Following: the current line was applied at the file's end before its look-ahead line was written; the step
    // that reads the look-ahead line moves on to it.
    bool currentApplied = false;
};

// Opens a log as the viewer does, for every reader of logs: takes the reader over and reads the first two lines, as
// far as readLimit lets it (a step reads on). A log that yields no first line holds an empty one, and a log of one
// line holds an empty look-ahead line: without a stamp, it resets the world before the line is applied and is due
// as a line without a stamp is, and the data ends at it.
void startLog(LogCursor& log, LineReader reader);

// Whether the cursor's lines are read to their end: a line can be applied, and the cursor's place in its file is the
// reader's offset after them.
inline bool linesRead(const LogCursor& log)
{
    return log.linesUnread == 0;
}

struct StepResult {
    bool applied = false;  // false: the current line is empty or begins with a blank, no log is open, or reading
    std::int64_t lineNumber = 0;  // the file's line number of the line the step looked at
    bool stopsPlayback = false;  // the applied line asks playback to stop
    // The step only read on in a line longer than a step reads, and applied nothing: the world is as it was, and the
    // gap is 0 (the current line is due at once). The next step reads on or applies the line.
    bool reading = false;
    std::optional<std::int64_t> gap;  // log seconds to the next line; none: the data has ended
    // Following: no whole line after the current one is written yet (the gap is 0). The current line was applied
    // by this step or an earlier one, unless the file holds no line at all yet.
    bool waiting = false;
};

// Called with each line's fields after the resets that its stamps cause and before the line is applied; the line is
// applied only when it returns true, so a reader that follows a few kinds of line can leave the others out.
using LineInspector = std::function<bool(const LogCursor& log, const Fields& fields)>;

// Applies the current line to the world: a line without a stamp resets the world first, and so does a look-ahead
// line without one; the countdown clock goes down by the gap; the look-ahead line becomes the current one and the
// next line is read, at most readLimit bytes of it. The final line is applied too, and then the data has ended.
// A step that finds a line not yet read to its end only reads on (StepResult::reading). A map line calls `hooks`.
// While the reader follows its file, the last whole line is applied without waiting for the line after it, and the
// step that finds that line written moves on to it (the gap, the clock), applying nothing.
StepResult stepLog(LogCursor& log, World& world, std::int32_t msPerLogSecond, const WorldHooks& hooks,
                   const LineInspector& inspect = {});

// Follows the file of the log (only whole lines are read, its end is waited at) or stops following it. A log that
// had ended after applying its final line waits at the file's end again for the line after it.
void setFollowing(LogCursor& log, bool following);
