// Stepping through a replay log: the open log with its current and look-ahead lines, and the one function that
// applies the current line and moves on. Playback, kelo-render's check, the benchmarks and the fuzz targets all
// step a log with it, so that none of them can read a log differently.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "world/line_reader.h"
#include "world/log_format.h"
#include "world/world_model.h"

struct LogCursor {
    std::optional<LineReader> reader;  // none: no log open
    std::string currentLine;
    std::optional<std::string> nextLine;  // none once the log has no line left
    std::int64_t currentNumber = 0;  // the line numbers of the two lines in the file, blank lines counted
    std::int64_t nextNumber = 0;
};

// Takes the reader over and reads the first two lines; a log that yields no first line holds an empty one.
void startLog(LogCursor& log, LineReader reader);

struct StepResult {
    bool applied = false;  // false: the current line is empty or begins with a blank, or no log is open
    std::int64_t lineNumber = 0;  // the file's line number of the line the step looked at
    bool stopsPlayback = false;  // the applied line asks playback to stop
    std::optional<std::int64_t> gap;  // log seconds to the next line; none: the data has ended
};

// Called with each line's fields after the resets that its stamps cause and before the line is applied; the line is
// applied only when it returns true, so a reader that follows a few kinds of line can leave the others out.
using LineInspector = std::function<bool(const LogCursor& log, const Fields& fields)>;

// Applies the current line to the world: a line without a stamp resets the world first, and so does a look-ahead
// line without one; the countdown clock goes down by the gap; the look-ahead line becomes the current one. The
// final line is applied too, and then the data has ended.
StepResult stepLog(LogCursor& log, World& world, std::int32_t msPerLogSecond, const LineInspector& inspect = {});
