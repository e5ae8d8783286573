// The log index: a second reader that scans the whole log on a thread of its own, with the step function and a
// private world, and publishes what it found so far (log times, marks, breaks, checkpoints) as a whole snapshot;
// playing every line, it also leaves snapshots of its world for seeks. It touches nothing else: not the shown world,
// not playback, not GDI+ (it steps lines with no world hooks, so a map line loads no picture and reads no settings).
// Relies on std::thread and std::mutex.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "world/line_reader.h"
#include "world/log_marks.h"
#include "world/log_snapshots.h"

// What the scan applies: only the lines that make or release records (enough for the marks: kelo-render --index and
// --events), or every line, at 1000 ms per log second, leaving snapshots of its world (the viewer, for seeks).
struct ScanMode {
    bool play = false;
    std::int64_t snapshotSpacing = SnapshotStore::firstSpacing;  // the first spacing of the snapshots, in bytes
};

// Memory: the scan holds its own lists and the published snapshot holds a copy: 88 bytes a mark (and its name and
// message past 15 bytes each, which the events list shows), 16 a break and 24 a checkpoint, twice; checkpoints are
// thinned to at most 65,536 (1.5 MB). A new snapshot is published every 65,536 lines (tens of milliseconds of
// scanning), or every eighth of the entries listed when that is more, so that copying stays a small part of the scan;
// a 1 GB log of busy games (about 16 million lines, a mark per hundred lines) takes some tens of MB. The private
// world is as large as playback's; playing, the snapshots stay within their budget (world/log_snapshots.h).
class LogIndex {
public:
    static constexpr std::size_t publishEvery = std::size_t{1} << 16;

    // Starts scanning the log that `reader` reads from its start, publishing every `linesPerPublish` lines at least.
    explicit LogIndex(LineReader reader, std::size_t linesPerPublish = publishEvery, ScanMode mode = {});
    // Stops the scan at its next line and waits for the thread to end.
    ~LogIndex();
    LogIndex(const LogIndex&) = delete;
    LogIndex& operator=(const LogIndex&) = delete;

    // What has been scanned so far; never null.
    std::shared_ptr<const LogIndexData> view() const;
    // Waits until the scan covers log time t (or is complete, or waits at the file's end while following) and returns
    // what it has then. For the headless
    // player and tests, which must see the same index on every run; the viewer never waits.
    std::shared_ptr<const LogIndexData> waitFor(double t) const;

    // The latest snapshot from which a seek to `target` can start; null when the scan has left none before it.
    std::shared_ptr<const Snapshot> snapshotFor(double target) const;
    // How many snapshots are kept, their memory now and at its peak, and the spacing in bytes they are due at.
    struct SnapshotTally {
        std::size_t count = 0;
        std::size_t bytes = 0;
        std::size_t peakBytes = 0;
        std::int64_t spacing = 0;
    };
    SnapshotTally snapshotTally() const;

    // Following a growing log (world/log_growth.h): at the file's end the scan waits for fileGrew() instead of
    // ending. Turned off, it reads on to the end as it would have.
    void setFollowing(bool following);
    // The followed file holds more than when the scan last waited; `takePartialLine`: take a last line without its
    // line feed as it stands.
    void fileGrew(bool takePartialLine = false);
    // Waits until the scan waits at the file's end with at least `bytes` read, or is complete.
    std::shared_ptr<const LogIndexData> waitForEdge(std::int64_t bytes) const;

private:
    void scan(LineReader reader, std::size_t linesPerPublish, ScanMode mode);
    void publish(std::shared_ptr<const LogIndexData> data);
    // Keeps a snapshot of the scan's world at the cursor if the budget lets it; returns the offset of the next one due.
    std::int64_t keepSnapshot(const World& world, const LogClock& clock, const LogCursor& log,
                              const std::vector<std::string>& mapNames);
    // At a followed file's end: waits until the file grows, following ends or the scan stops; applies what was asked.
    void waitForGrowth(LineReader& reader);

    std::atomic<bool> stop_{false};
    // Asked of the scan from outside: following (read before every step), and under mutex_ growth seen and a partial
    // line to take.
    std::atomic<bool> following_{false};
    bool grew_ = false;
    bool takePartial_ = false;
    mutable std::condition_variable wake_;
    mutable std::mutex mutex_;
    mutable std::condition_variable published_;
    std::shared_ptr<const LogIndexData> view_;
    SnapshotStore snapshots_;  // under mutex_: written by the scan alone
    std::thread worker_;  // last: it starts once everything it uses is there
};
