// The snapshot store: copies kept in log order within the budget, thinned evenly, and restored with a reader
// reopened at their place in the file.
#include "world/log_snapshots.h"

#include <algorithm>
#include <limits>

namespace {

// The heap block of a text beyond the characters kept inside the string itself.
std::size_t heapText(const std::string& text)
{
    constexpr std::size_t inside = 15;
    return text.capacity() > inside ? text.capacity() + 1 : 0;
}

std::size_t heapText(const std::optional<std::string>& text)
{
    return text ? heapText(*text) : 0;
}

template <class T>
std::size_t listBytes(const PtrList<T>& list)
{
    return list.items.capacity() * sizeof(T*);
}

// A record with its allocation, its place in the store and its texts.
std::size_t recordBytes(const Record& record)
{
    constexpr std::size_t allocation = 16;
    std::size_t bytes = allocation + sizeof(std::unique_ptr<Record>) + heapText(record.className);
    switch (record.kind) {
    case RecordKind::soldier:
        return bytes + sizeof(SoldierRecord) + heapText(static_cast<const SoldierRecord&>(record).name);
    case RecordKind::vehicle:
        return bytes + sizeof(VehicleRecord) + listBytes(static_cast<const VehicleRecord&>(record).passengers);
    case RecordKind::building:
        return bytes + sizeof(BuildingRecord);
    case RecordKind::object:
        break;
    }
    return bytes + sizeof(ObjectRecord);
}

std::int64_t lineTimeOf(const Snapshot& snapshot)
{
    return snapshot.clock.lineTime;
}

}  // namespace

std::size_t estimatedBytes(const World& world)
{
    std::size_t bytes = sizeof(World) + heapText(world.mapName) + heapText(world.statusMessage)
                      + heapText(world.configTitle) + listBytes(world.soldierList) + listBytes(world.vehicleList)
                      + listBytes(world.buildingList) + listBytes(world.entityList);
    for (const std::optional<ChatLine>& chat : world.chatLines)
        bytes += chat ? heapText(chat->text) : 0;
    for (const auto& record : world.records)
        bytes += recordBytes(*record);
    return bytes;
}

void SnapshotStore::offer(const SettledLog& settled, std::int64_t spacing)
{
    if (settled.speed <= 0 || settled.clock.appliedTime < 0 || !settled.log.reader || !linesRead(settled.log))
        return;
    const std::int64_t t = settled.clock.lineTime;
    spacing = std::max<std::int64_t>(spacing, 1);
    const std::int64_t from = t > std::numeric_limits<std::int64_t>::min() + spacing ? t - spacing + 1 : t;
    auto near = std::lower_bound(snapshots_.begin(), snapshots_.end(), from,
                                 [](const Snapshot& s, std::int64_t time) { return lineTimeOf(s) < time; });
    for (; near != snapshots_.end() && lineTimeOf(*near) - t < spacing; ++near)
        if (near->speed == settled.speed)
            return;

    Snapshot snapshot{settled.world, settled.clock, settled.speed, settled.ended, placeOf(settled.log), 0};
    snapshot.bytes = sizeof(Snapshot) + estimatedBytes(snapshot.world) + heapText(snapshot.place.currentLine)
                   + heapText(snapshot.place.nextLine);
    if (snapshot.bytes > byteLimit)
        return;
    auto at = std::upper_bound(snapshots_.begin(), snapshots_.end(), t,
                               [](std::int64_t time, const Snapshot& s) { return time < lineTimeOf(s); });
    bytes_ += snapshot.bytes;
    peakBytes_ = std::max(peakBytes_, bytes_);
    const auto fresh = static_cast<std::size_t>(at - snapshots_.begin());
    snapshots_.insert(at, std::move(snapshot));
    thin(fresh);
}

void SnapshotStore::thin(std::size_t fresh)
{
    while (snapshots_.size() > countLimit || bytes_ > byteLimit) {
        // Of two, the older goes; of more, the one whose neighbours lie closest together.
        std::size_t drop = fresh == 0 ? 1 : 0;
        if (snapshots_.size() >= 3) {
            std::int64_t closest = std::numeric_limits<std::int64_t>::max();
            for (std::size_t i = 1; i + 1 < snapshots_.size(); ++i) {
                const std::int64_t span = lineTimeOf(snapshots_[i + 1]) - lineTimeOf(snapshots_[i - 1]);
                if (span < closest) {
                    closest = span;
                    drop = i;
                }
            }
        }
        bytes_ -= snapshots_[drop].bytes;
        snapshots_.erase(snapshots_.begin() + static_cast<std::ptrdiff_t>(drop));
        fresh -= fresh > drop ? 1 : 0;
    }
}

const Snapshot* SnapshotStore::startFor(double target, std::int32_t msPerLogSecond) const
{
    for (auto it = snapshots_.rbegin(); it != snapshots_.rend(); ++it)
        if (canStartSeek(it->clock, it->speed, target, msPerLogSecond))
            return &*it;
    return nullptr;
}

std::optional<SettledLog> restoreSnapshot(const Snapshot& snapshot, const std::string& path)
{
    std::optional<LogCursor> log = reopenAt(path, snapshot.place);
    if (!log)
        return std::nullopt;
    return SettledLog{std::move(*log), snapshot.clock, snapshot.world, snapshot.speed, snapshot.ended};
}
