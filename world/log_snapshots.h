// Snapshots of settled logs, taken during playback and seeks, so that a seek back starts from the nearest one
// instead of the log's start. Relies on World's copy and on the settled log's cursor places to reopen the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "world/settled_log.h"

struct Snapshot {
    World world;
    LogClock clock;
    std::int32_t speed = 0;
    bool ended = false;
    CursorPlace place;
    std::size_t bytes = 0;  // estimated memory
};

// The budget: at most 64 snapshots and at most 64 MiB by estimate (the records with their texts and list entries,
// the chat and the held lines), whichever is reached first; a snapshot that alone would exceed it is not taken.
// When full, the snapshot whose neighbours lie closest together goes, until the budget holds again, so that what is
// kept stays spread evenly over the log. A world of 1,000 records is about 0.2 MB: 64 of them take about 13 MB.
class SnapshotStore {
public:
    static constexpr std::size_t countLimit = 64;
    static constexpr std::size_t byteLimit = std::size_t{64} << 20;

    // Keeps a copy of the settled log unless one taken at its speed lies less than `spacing` log seconds from it.
    // The log's start, a log stepped at mixed speeds and one in the middle of reading a line are not kept.
    void offer(const SettledLog& settled, std::int64_t spacing);
    // The latest snapshot from which a seek to `target` at that speed can start; null when there is none.
    const Snapshot* startFor(double target, std::int32_t msPerLogSecond) const;

    std::size_t count() const { return snapshots_.size(); }
    std::size_t bytes() const { return bytes_; }
    std::size_t peakBytes() const { return peakBytes_; }

private:
    void thin(std::size_t fresh);

    std::vector<Snapshot> snapshots_;  // by the log time of their current line
    std::size_t bytes_ = 0;
    std::size_t peakBytes_ = 0;
};

// The settled log that the snapshot keeps, with a reader of its own on the file at `path`; none when the file
// cannot be opened again.
std::optional<SettledLog> restoreSnapshot(const Snapshot& snapshot, const std::string& path);

// The memory that a copy of the world takes, by estimate.
std::size_t estimatedBytes(const World& world);
