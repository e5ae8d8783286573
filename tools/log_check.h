// kelo-render --check: one pass over a replay log with the viewer's step function, without waiting, naming every
// line the viewer cannot use. Relies on the event table for what each line looks up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "world/line_reader.h"
#include "world/log_format.h"
#include "world/world_model.h"

struct LogProblem {
    std::int64_t line;  // 1-based line number in the file, blank lines counted
    std::string reason;
};

// Why the event interpreter can make nothing of these fields against the world; empty when it can.
std::string eventProblem(const World& world, const Fields& fields);

// Told each problem as soon as it is found, so that none is kept however many a log holds.
using ProblemSink = std::function<void(const LogProblem& problem)>;
// Told now and then how far the check has come: bytes of the file read and lines stepped.
using CheckProgress = std::function<void(std::int64_t offset, std::int64_t lines)>;

// Steps through the whole log as playback would, applying each line (resets included) so that ids are known,
// tells the problems in line order and returns how many there were.
std::int64_t checkLog(LineReader reader, std::int32_t msPerLogSecond, const ProblemSink& tell,
                      const CheckProgress& progress = {});
