// Tests of the snapshots that the index leaves when it plays every line: each is the world a settled log from the
// start has at its place, the marks are those of the marks-only scan, and the store keeps its budget spread evenly.
#include <algorithm>
#include <limits>
#include <random>
#include <set>

#include "tests/game_writer.h"
#include "tests/kelo_test.h"
#include "world/log_index.h"

namespace {

constexpr double everything = std::numeric_limits<double>::infinity();

std::shared_ptr<const LogIndexData> scanned(const std::string& path, ScanMode mode)
{
    const LogIndex index(*openLogFile(path), LogIndex::publishEvery, mode);
    return index.waitFor(everything);
}

class IndexSnapshotTest : public KeloTest {};

}  // namespace

TEST_F(IndexSnapshotTest, ThePlayingIndexLeavesTheWorldOfEachPlaceAndTheSameMarks)
{
    const std::string path = writeFile("game.log", GameWriter(21).write(20000));
    EXPECT_TRUE(*scanned(path, ScanMode{true, 8192}) == *scanned(path, ScanMode{}));

    const LogIndex index(*openLogFile(path), LogIndex::publishEvery, ScanMode{true, 8192});
    const double total = index.waitFor(everything)->scannedS;
    std::set<std::shared_ptr<const Snapshot>> seen;
    std::mt19937 random(21);
    for (int i = 0; i < 200; ++i) {
        const double target = std::uniform_real_distribution<double>(0, total)(random);
        const std::shared_ptr<const Snapshot> snapshot = index.snapshotFor(target);
        if (!snapshot)
            continue;
        EXPECT_TRUE(canStartSeek(snapshot->clock, target)) << target;
        seen.insert(snapshot);
    }
    const LogIndex::SnapshotTally tally = index.snapshotTally();
    ASSERT_GT(seen.size(), 20u);
    EXPECT_LE(seen.size(), tally.count);
    EXPECT_LE(tally.peakBytes, SnapshotStore::byteLimit);

    // Played from the start without hooks, a settled log reaches each snapshot's place with the snapshot's world.
    SettledLog settled = startSettled(*openLogFile(path));
    std::vector<std::shared_ptr<const Snapshot>> inOrder(seen.begin(), seen.end());
    std::sort(inOrder.begin(), inOrder.end(),
              [](const auto& a, const auto& b) { return a->place.offset < b->place.offset; });
    std::int64_t lastOffset = 0;
    for (const std::shared_ptr<const Snapshot>& snapshot : inOrder) {
        EXPECT_GE(snapshot->place.offset - lastOffset, tally.spacing);
        lastOffset = snapshot->place.offset;
        while (settled.log.currentNumber < snapshot->place.currentNumber && !settled.ended)
            stepSettled(settled, 1000, WorldHooks{});
        ASSERT_EQ(settled.log.reader->offset(), snapshot->place.offset);
        EXPECT_TRUE(settled.world == snapshot->world) << snapshot->place.currentNumber;
        EXPECT_EQ(settled.clock.lineTime, snapshot->clock.lineTime);
        EXPECT_EQ(settled.clock.appliedNumber, snapshot->clock.appliedNumber);
        EXPECT_EQ(snapshot->mapNames, std::vector<std::string>{"Brackwater.map"});
    }
}

TEST(SnapshotStore, KeepsItsBudgetSpreadEvenlyOverTheFile)
{
    constexpr std::int64_t spacing = 1000;
    for (const std::size_t bytes : {std::size_t{100}, std::size_t{3} << 20}) {
        SnapshotStore store(spacing);
        std::size_t dropped = 0;
        for (std::int64_t offset = 0; offset < 10'000'000; offset += 300) {
            if (offset < store.dueFrom())
                continue;
            SnapshotStore::Room room = store.makeRoom(offset, bytes);
            dropped += room.dropped.size();
            if (!room.take)
                continue;
            Snapshot snapshot;
            snapshot.place.offset = offset;
            snapshot.clock = {offset / 100, offset / 100 - 1, offset};
            snapshot.bytes = bytes;
            store.keep(std::move(snapshot));
            ASSERT_LE(store.count(), SnapshotStore::countLimit);
            ASSERT_LE(store.bytes(), SnapshotStore::byteLimit);
        }
        EXPECT_GT(dropped, 0u);
        EXPECT_EQ(store.peakBytes() / bytes,
                  bytes == 100 ? SnapshotStore::countLimit : SnapshotStore::byteLimit / bytes);
        // Evenly: the latest start for a target lies within two spacings (log seconds are offsets / 100) and the
        // last whole second before it.
        const double reach = 2.0 * static_cast<double>(store.spacing()) / 100 + 2;
        std::int64_t previous = -1;
        for (double target = reach; target < 99'000; target += 777) {
            const std::shared_ptr<const Snapshot> start = store.startFor(target);
            ASSERT_TRUE(start) << target;
            EXPECT_TRUE(canStartSeek(start->clock, target));
            EXPECT_LT(target - static_cast<double>(start->clock.lineTime), reach);
            EXPECT_GE(start->place.offset, previous);
            previous = start->place.offset;
        }
        EXPECT_FALSE(store.startFor(0.5));
    }
}
