// What the timeline shows of a log besides its length: marks at the log times of notable lines, and long waits
// without a line, which the bar draws as short breaks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/records.h"

enum class MarkKind : std::uint8_t { destroyed, killed, win, chat, reset };

// The kind's name, as the index's JSON and the timeline's pointer box give it.
constexpr const char* markKindName(MarkKind kind)
{
    switch (kind) {
    case MarkKind::destroyed:
        return "destroyed";
    case MarkKind::killed:
        return "killed";
    case MarkKind::win:
        return "win";
    case MarkKind::chat:
        return "chat";
    case MarkKind::reset:
        break;
    }
    return "reset";
}

struct LogMark {
    double t = 0;  // log seconds since the log's first line
    MarkKind kind = MarkKind::killed;
    // Destroyed marks: the side of that id's "CREATED" line; chat marks: the speaker's; -1 when unknown.
    std::int32_t side = -1;
    std::int64_t line = 0;  // the line's number in the file
    // Destroyed marks: the kind of the record that went (an object where none was listed) and its name, a soldier's
    // player name (its class when that is empty) or the class of any other record. Chat marks: the speaker's name
    // (empty when no soldier has the id) and the message.
    RecordKind unit = RecordKind::object;
    std::string name{};
    std::string text{};
    bool operator==(const LogMark&) const = default;
};

struct LogBreak {
    double t = 0;  // log time at which the wait starts
    double lengthS = 0;
    bool operator==(const LogBreak&) const = default;
};

// Where a line of the log lies in the file: taken at least every log second (every 2, 4, ... seconds once a log
// would need more than 65,536 of them).
struct LogCheckpoint {
    double t = 0;  // the line's log time
    std::int64_t offset = 0;  // LineReader::offset() while the line is the current one (its look-ahead line read)
    std::int64_t line = 0;  // the line's number in the file
    bool operator==(const LogCheckpoint&) const = default;
};

// The index of a log as scanned so far, published whole so that a reader never sees half of an update.
struct LogIndexData {
    double scannedS = 0;  // the log time covered by the scan so far
    bool complete = false;  // the scan reached the end of the log
    // Following a growing log: the scan waits at the file's end, having read this many bytes of it.
    bool atEdge = false;
    std::int64_t scannedBytes = 0;
    std::int64_t lines = 0;  // lines scanned
    std::vector<LogMark> marks;  // in log order
    std::vector<LogBreak> breaks;  // in log order
    std::vector<LogCheckpoint> checkpoints;  // in log order
    bool operator==(const LogIndexData&) const = default;
};
