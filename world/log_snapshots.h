// Snapshots of the world that the log index plays, left evenly spread over the file within a memory budget, so that
// a seek anywhere starts from the nearest one before its target instead of the log's start. Relies on World's copy
// and on the settled log's cursor places to reopen the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "world/settled_log.h"

// The world as the index played it, with no hooks (no calibration, status or picture from a map line) and at its
// one speed; restoreSnapshot gives it what the hooks would have, and a seek re-times its glides.
struct Snapshot {
    World world;
    LogClock clock;
    CursorPlace place;
    // The names of the map lines applied since the log's start, each once, in the order of its last line.
    std::vector<std::string> mapNames;
    std::size_t bytes = 0;  // estimated memory
};

// The budget: at most 4,096 snapshots and at most 64 MiB by estimate (the records with their texts and list entries,
// the chat, the held lines and the map names), whichever is reached first, room made before a copy is; a snapshot that
// alone would exceed it is not taken. Snapshots are due every `spacing` bytes of the file; when one more would not
// fit, every other one goes and the spacing doubles, so that what is kept stays spread evenly over the file. A world of
// 1,000 records is about 0.2 MB: some 300 of them fit, and a 1 GB log gets one every 4 MiB (some 80,000 lines); worlds
// of 50 records get one every 256 KiB.
class SnapshotStore {
public:
    static constexpr std::size_t countLimit = 4096;
    static constexpr std::size_t byteLimit = std::size_t{64} << 20;
    static constexpr std::int64_t firstSpacing = std::int64_t{16} << 10;

    explicit SnapshotStore(std::int64_t spacing = firstSpacing) : spacing_(spacing) {}

    // The offset in the file from which the next snapshot is due.
    std::int64_t dueFrom() const { return last_ + spacing_; }
    // Room for a snapshot of `bytes` at `offset`, which is due: while it does not fit, every other snapshot goes and
    // the spacing doubles; one that alone would exceed the budget is passed over, and the next is due twice the
    // spacing later, so that a world that stays too large is measured ever more rarely.
    struct Room {
        bool take = false;  // the snapshot is still due and fits
        std::vector<std::shared_ptr<const Snapshot>> dropped;  // those that went, for the caller to let go
    };
    Room makeRoom(std::int64_t offset, std::size_t bytes);
    // Keeps a snapshot that makeRoom made room for.
    void keep(Snapshot snapshot);
    // The latest snapshot from which a seek to `target` can start (canStartSeek); null when there is none.
    std::shared_ptr<const Snapshot> startFor(double target) const;

    std::size_t count() const { return snapshots_.size(); }
    std::size_t bytes() const { return bytes_; }
    std::size_t peakBytes() const { return peakBytes_; }
    std::int64_t spacing() const { return spacing_; }

private:
    void halve(std::vector<std::shared_ptr<const Snapshot>>& dropped);

    std::vector<std::shared_ptr<const Snapshot>> snapshots_;  // in file order
    std::int64_t spacing_;
    std::int64_t last_ = 0;  // the offset of the last snapshot kept or passed over
    std::size_t bytes_ = 0;
    std::size_t peakBytes_ = 0;
};

// The memory that a snapshot of the world at the cursor takes, by estimate.
std::size_t snapshotBytes(const World& world, const LogCursor& log, const std::vector<std::string>& mapNames);
// The snapshot of a world stepped with WorldHooks{} up to the cursor (its lines read, the current one not applied).
Snapshot takeSnapshot(const World& world, const LogClock& clock, const LogCursor& log,
                      const std::vector<std::string>& mapNames, std::size_t bytes);

// The settled log that the snapshot keeps, with what `hooks` load for its map lines and a reader of its own on the
// file at `path`; none when the file cannot be opened again.
std::optional<SettledLog> restoreSnapshot(const Snapshot& snapshot, const std::string& path, const WorldHooks& hooks);

// The memory that a copy of the world takes, by estimate.
std::size_t estimatedBytes(const World& world);
