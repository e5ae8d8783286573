// The snapshot store: copies kept in file order within the budget, halved evenly, and restored with a reader
// reopened at their place in the file and the map lines' hooks called again.
#include "world/log_snapshots.h"

#include <algorithm>

#include "world/interpreter.h"

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

SnapshotStore::Room SnapshotStore::makeRoom(std::int64_t offset, std::size_t bytes)
{
    Room room;
    if (bytes > byteLimit) {
        last_ = offset;
        spacing_ *= 2;
        return room;
    }
    while (!snapshots_.empty() && (snapshots_.size() == countLimit || bytes_ + bytes > byteLimit))
        halve(room.dropped);
    room.take = offset >= dueFrom();
    return room;
}

void SnapshotStore::keep(Snapshot snapshot)
{
    last_ = snapshot.place.offset;
    bytes_ += snapshot.bytes;
    peakBytes_ = std::max(peakBytes_, bytes_);
    snapshots_.push_back(std::make_shared<const Snapshot>(std::move(snapshot)));
}

void SnapshotStore::halve(std::vector<std::shared_ptr<const Snapshot>>& dropped)
{
    // The second, fourth, ... stay: they lie about twice the spacing apart.
    std::vector<std::shared_ptr<const Snapshot>> kept;
    kept.reserve(snapshots_.size() / 2);
    bytes_ = 0;
    for (std::size_t i = 0; i < snapshots_.size(); ++i) {
        if (i % 2 == 0) {
            dropped.push_back(std::move(snapshots_[i]));
            continue;
        }
        bytes_ += snapshots_[i]->bytes;
        kept.push_back(std::move(snapshots_[i]));
    }
    snapshots_ = std::move(kept);
    spacing_ *= 2;
    last_ = snapshots_.empty() ? 0 : snapshots_.back()->place.offset;
}

std::shared_ptr<const Snapshot> SnapshotStore::startFor(double target) const
{
    // Log time never goes back along the file, so the snapshots that a seek can start from come first.
    auto usable = std::partition_point(snapshots_.begin(), snapshots_.end(), [target](const auto& snapshot) {
        return canStartSeek(snapshot->clock, target);
    });
    return usable == snapshots_.begin() ? nullptr : *(usable - 1);
}

std::size_t snapshotBytes(const World& world, const LogCursor& log, const std::vector<std::string>& mapNames)
{
    std::size_t bytes = sizeof(Snapshot) + estimatedBytes(world) + heapText(log.currentLine) + heapText(log.nextLine)
                      + mapNames.size() * sizeof(std::string);
    for (const std::string& name : mapNames)
        bytes += heapText(name);
    return bytes;
}

Snapshot takeSnapshot(const World& world, const LogClock& clock, const LogCursor& log,
                      const std::vector<std::string>& mapNames, std::size_t bytes)
{
    return Snapshot{world, clock, placeOf(log), mapNames, bytes};
}

std::optional<SettledLog> restoreSnapshot(const Snapshot& snapshot, const std::string& path, const WorldHooks& hooks)
{
    std::optional<LogCursor> log = reopenAt(path, snapshot.place);
    if (!log)
        return std::nullopt;
    SettledLog settled{std::move(*log), snapshot.clock, snapshot.world, false};
    loadMapsAgain(settled.world, snapshot.mapNames, hooks);
    return settled;
}
