// How a followed log's file stands at a look: whether it is there, which file it is and how long, so that growth can
// be told from a file that shrank or was replaced by another at the same path (a new game, a rotated log).
// Relies on the system's stat (the C runtime's _stat64 on Windows).
#pragma once

#include <cstdint>
#include <string>

struct LogFileLook {
    bool exists = false;
    // Which file: device and inode; on Windows, where the C runtime gives no inode, the drive and the creation time.
    std::uint64_t device = 0;
    std::uint64_t identity = 0;
    std::int64_t size = 0;
};

LogFileLook lookAtLog(const std::string& path);

enum class LogChange : std::uint8_t {
    none,  // the same file, no longer
    grew,
    missing,  // gone from its path: what was read stays, and it may come back
    replaced,  // shorter than before, or another file: to be read afresh from its start
};

// What changed from one look to the next; `before` is a look at a file that was there.
LogChange logChange(const LogFileLook& before, const LogFileLook& now);
