// How a followed log's file stands at a look: whether it is there, which file it is and how long, so that growth can
// be told from a file that shrank or was replaced by another at the same path (a new game, a rotated log).
// The look itself is the platform's (lookAtFile in seam/platform.h); this is pure.
#pragma once

#include <cstdint>

struct LogFileLook {
    bool exists = false;
    // Which file: device and inode on Linux, volume serial number and file index on Windows.
    std::uint64_t device = 0;
    std::uint64_t identity = 0;
    std::int64_t size = 0;
};

enum class LogChange : std::uint8_t {
    none,  // the same file, no longer
    grew,
    missing,  // gone from its path: what was read stays, and it may come back
    replaced,  // shorter than before, or another file: to be read afresh from its start
};

// What changed from one look to the next; `before` is a look at a file that was there.
LogChange logChange(const LogFileLook& before, const LogFileLook& now);
