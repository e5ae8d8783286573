// What the timeline shows of a log besides its length: marks at the log times of notable lines, and long waits
// without a line, which the bar draws as short breaks.
#pragma once

#include <cstdint>
#include <vector>

enum class MarkKind : std::uint8_t { destroyed, killed, win, chat, reset };

struct LogMark {
    double t = 0;  // log seconds since the log's first line
    MarkKind kind = MarkKind::killed;
    std::int32_t side = -1;  // destroyed marks: the side of that id's "CREATED" line; -1 when unknown
};

struct LogBreak {
    double t = 0;  // log time at which the wait starts
    double lengthS = 0;
};

// The index of a log as scanned so far, published whole so that a reader never sees half of an update.
struct LogIndexData {
    double scannedS = 0;  // the log time covered by the scan so far
    bool complete = false;  // the scan reached the end of the log
    std::int64_t lines = 0;  // lines scanned
    std::vector<LogMark> marks;  // in log order
    std::vector<LogBreak> breaks;  // in log order
};
