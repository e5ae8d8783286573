// kelo-render --check: one pass over a replay log with the viewer's reader rules, without waiting, naming every
// line the viewer cannot use. Relies on the reader (app/playback.h), the line format and the event interpreter.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "world/log_format.h"

struct LogProblem {
    std::int64_t line;  // 1-based line number in the file, blank lines counted
    std::string reason;
};

// Why the event interpreter can make nothing of these fields against the current world model; empty when it can.
std::string eventProblem(const Fields& fields);

// Reads the whole log as playback would, applying each line to the world model (resets included) so that ids
// are known, and returns the problems in line order.
std::vector<LogProblem> checkLog(std::FILE* file);
