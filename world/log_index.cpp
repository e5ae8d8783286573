// The log index's scan: the open and the step function of every reader over a private world, timed by the log clock,
// with each notable line noted at its log time and, playing every line, snapshots of the world left on the way. Relies
// on the event table to know the lines as playback knows them.
#include "world/log_index.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "world/event_table.h"
#include "world/log_time.h"

namespace {

constexpr std::int64_t breakLongerThan = 600;
constexpr std::size_t checkpointLimit = std::size_t{1} << 16;
// Past this many names of maps the scan leaves no more snapshots: a seek would load every one of them again.
constexpr std::size_t mapNameLimit = 64;

// What the scan has found, in log order.
struct ScanFindings {
    std::int64_t lines = 0;
    std::vector<LogMark> marks;
    std::vector<LogBreak> breaks;
    std::vector<LogCheckpoint> checkpoints;
    std::int64_t checkpointSpacing = 1;
};

const Record* lastListed(const std::vector<Record*>& items, std::int32_t id)
{
    auto found = std::find_if(items.rbegin(), items.rend(), [id](const Record* record) { return record->id == id; });
    return found == items.rend() ? nullptr : *found;
}

template <class T>
std::vector<Record*> asRecords(const PtrList<T>& list)
{
    return {list.items.begin(), list.items.end()};
}

// The record that a "DESTROYED" line releases, as its "CREATED" line made it (none for an object or when no such record
// is listed): the last record with the id in the list that the line looks in.
const Record* destroyedRecord(const World& world, const EventRule& rule, std::int32_t id)
{
    std::vector<Record*> items;
    switch (rule.first.list) {
    case IdList::soldiers:
        items = asRecords(world.soldierList);
        break;
    case IdList::vehicles:
        items = asRecords(world.vehicleList);
        break;
    case IdList::buildings:
        items = asRecords(world.buildingList);
        break;
    case IdList::entities:
    case IdList::none:
        items = world.entityList.items;
        break;
    }
    return lastListed(items, id);
}

// What the events list names a destroyed record by.
std::string destroyedName(const Record& record)
{
    if (record.kind == RecordKind::soldier) {
        const std::string& name = static_cast<const SoldierRecord&>(record).name;
        if (!name.empty())
            return name;
    }
    return record.className;
}

LogMark destroyedMark(const World& world, const EventRule& rule, const Fields& fields, LogMark mark)
{
    mark.kind = MarkKind::destroyed;
    if (const Record* record = destroyedRecord(world, rule, readInt(fields[rule.first.field]))) {
        mark.side = record->side;
        mark.unit = record->kind;
        mark.name = destroyedName(*record);
    }
    return mark;
}

// The speaker is the last soldier listed with the id, as in the chat feed.
LogMark chatMark(const World& world, const Fields& fields, LogMark mark)
{
    mark.kind = MarkKind::chat;
    mark.text = fields[ChatFields::text];
    const std::vector<Record*> soldiers = asRecords(world.soldierList);
    if (const Record* speaker = lastListed(soldiers, readInt(fields[ChatFields::speaker]))) {
        mark.side = speaker->side;
        mark.name = static_cast<const SoldierRecord*>(speaker)->name;
    }
    return mark;
}

// The mark of a line, if it is one of those the timeline shows: told before the line is applied. True for the lines
// that make or release records, the only ones the scan applies: the sides of "DESTROYED" lines need the lists alone,
// which no other line changes.
bool noteLine(ScanFindings& found, const World& world, const LogCursor& log, const Fields& fields, double t)
{
    // Made only for the lines that are marks: a mark holds two texts.
    auto markOf = [&log, t](MarkKind kind) { return LogMark{t, kind, -1, log.currentNumber}; };
    if (log.currentStamp == noStamp)
        found.marks.push_back(markOf(MarkKind::reset));
    const EventMatch match = matchEvent(fields);
    if (match.outcome != EventMatch::matched)
        return false;
    switch (match.rule->action) {
    case EventAction::destroySoldier:
    case EventAction::destroyVehicle:
    case EventAction::destroyBuilding:
    case EventAction::destroyObject:
        found.marks.push_back(destroyedMark(world, *match.rule, fields, markOf(MarkKind::destroyed)));
        return true;
    case EventAction::killed:
        found.marks.push_back(markOf(MarkKind::killed));
        break;
    case EventAction::win:
        found.marks.push_back(markOf(MarkKind::win));
        break;
    case EventAction::chatPublic:
    case EventAction::chatTeam:
        found.marks.push_back(chatMark(world, fields, markOf(MarkKind::chat)));
        break;
    default:
        break;
    }
    return changesLists(match.rule->action);
}

// A checkpoint for the current line once a spacing has passed since the last; past the limit every other one goes
// and the spacing doubles.
void noteCheckpoint(ScanFindings& found, const LogCursor& log, std::int64_t t)
{
    // In the middle of reading a line the reader's offset is not where a line starts; the step that has read it
    // keeps the same log time.
    if (!linesRead(log))
        return;
    auto due = [&found, t] {
        return found.checkpoints.empty()
            || t >= static_cast<std::int64_t>(found.checkpoints.back().t) + found.checkpointSpacing;
    };
    if (!due())
        return;
    if (found.checkpoints.size() == checkpointLimit) {
        std::vector<LogCheckpoint> kept;
        kept.reserve(checkpointLimit / 2 + 1);
        for (std::size_t i = 0; i < found.checkpoints.size(); i += 2)
            kept.push_back(found.checkpoints[i]);
        found.checkpoints = std::move(kept);
        found.checkpointSpacing *= 2;
        if (!due())
            return;
    }
    found.checkpoints.push_back({static_cast<double>(t), log.reader->offset(), log.currentNumber});
}

// The names of the map lines applied so far, each once, in the order of its last line, as snapshots keep them.
struct MapLines {
    std::vector<std::string> names;
    std::optional<std::string> seen;  // the world's map name after the last step
    bool tooMany = false;

    // Notes the map line of a step: only a map line sets a map name, and one that names the map named already loads
    // it again, which changes nothing.
    void note(const World& world)
    {
        if (tooMany || world.mapName == seen)
            return;
        seen = world.mapName;
        if (!seen)
            return;
        if (auto found = std::find(names.begin(), names.end(), *seen); found != names.end())
            names.erase(found);
        names.push_back(*seen);
        tooMany = names.size() > mapNameLimit;
    }
};

// Whether the scan can leave a snapshot at the cursor: a line applied before, its lines read, the current one not
// applied and one after it.
bool restorable(const LogCursor& log, const LogClock& clock)
{
    return clock.appliedTime >= 0 && linesRead(log) && !log.currentApplied && log.nextLine;
}

std::shared_ptr<const LogIndexData> snapshotOf(const ScanFindings& found, std::int64_t scanned, bool complete,
                                               const LogCursor& log)
{
    auto data = std::make_shared<LogIndexData>();
    data->scannedS = static_cast<double>(scanned);
    data->complete = complete;
    data->atEdge = log.waitingForLine;
    data->scannedBytes = log.reader ? log.reader->offset() : 0;
    data->lines = found.lines;
    data->marks = found.marks;
    data->breaks = found.breaks;
    data->checkpoints = found.checkpoints;
    return data;
}

}  // namespace

LogIndex::LogIndex(LineReader reader, std::size_t linesPerPublish, ScanMode mode)
    : following_(reader.following()), view_(std::make_shared<const LogIndexData>()), snapshots_(mode.snapshotSpacing),
      worker_([this, file = std::move(reader), linesPerPublish, mode]() mutable {
          scan(std::move(file), linesPerPublish, mode);
      })
{
}

LogIndex::~LogIndex()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void LogIndex::setFollowing(bool following)
{
    {
        std::lock_guard lock(mutex_);
        following_ = following;
    }
    wake_.notify_all();
}

void LogIndex::fileGrew(bool takePartialLine)
{
    {
        std::lock_guard lock(mutex_);
        grew_ = true;
        takePartial_ = takePartial_ || takePartialLine;
    }
    wake_.notify_all();
}

std::shared_ptr<const LogIndexData> LogIndex::waitForEdge(std::int64_t bytes) const
{
    std::unique_lock lock(mutex_);
    published_.wait(lock, [this, bytes] { return view_->complete || (view_->atEdge && view_->scannedBytes >= bytes); });
    return view_;
}

void LogIndex::waitForGrowth(LineReader& reader)
{
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this, &reader] { return stop_ || grew_ || following_ != reader.following(); });
    grew_ = false;
    if (std::exchange(takePartial_, false))
        reader.takePartialLine();
}

std::shared_ptr<const LogIndexData> LogIndex::view() const
{
    std::lock_guard lock(mutex_);
    return view_;
}

std::shared_ptr<const LogIndexData> LogIndex::waitFor(double t) const
{
    std::unique_lock lock(mutex_);
    published_.wait(lock,
                    [this, t] { return view_->complete || (view_->atEdge && following_) || view_->scannedS >= t; });
    return view_;
}

std::shared_ptr<const Snapshot> LogIndex::snapshotFor(double target) const
{
    std::lock_guard lock(mutex_);
    return snapshots_.startFor(target);
}

LogIndex::SnapshotTally LogIndex::snapshotTally() const
{
    std::lock_guard lock(mutex_);
    return {snapshots_.count(), snapshots_.bytes(), snapshots_.peakBytes(), snapshots_.spacing()};
}

std::int64_t LogIndex::keepSnapshot(const World& world, const LogClock& clock, const LogCursor& log,
                                    const std::vector<std::string>& mapNames)
{
    // Room is made before the copy, so that the store never holds more than its budget; the snapshots that go are let
    // go, and the copy is made, outside the lock that view() takes at every frame.
    const std::size_t bytes = snapshotBytes(world, log, mapNames);
    SnapshotStore::Room room;
    std::int64_t due = 0;
    {
        std::lock_guard lock(mutex_);
        room = snapshots_.makeRoom(log.reader->offset(), bytes);
        due = snapshots_.dueFrom();
    }
    room.dropped.clear();
    if (!room.take)
        return due;
    Snapshot snapshot = takeSnapshot(world, clock, log, mapNames, bytes);
    std::lock_guard lock(mutex_);
    snapshots_.keep(std::move(snapshot));
    return snapshots_.dueFrom();
}

void LogIndex::publish(std::shared_ptr<const LogIndexData> data)
{
    {
        std::lock_guard lock(mutex_);
        view_ = std::move(data);
    }
    published_.notify_all();
}

void LogIndex::scan(LineReader reader, std::size_t linesPerPublish, ScanMode mode)
{
    LogCursor log;
    startLog(log, std::move(reader));
    World world;
    LogClock clock;
    ScanFindings found;
    MapLines maps;
    std::int64_t snapshotDue = snapshots_.dueFrom();
    // Made once: a lambda handed to each step would become a new function object every line.
    const LineInspector inspect = [&](const LogCursor& at, const Fields& fields) {
        return noteLine(found, world, at, fields, static_cast<double>(clock.lineTime)) || mode.play;
    };
    std::size_t sincePublished = 0;
    std::size_t listedAtPublish = 0;
    while (!stop_.load(std::memory_order_relaxed)) {
        noteCheckpoint(found, log, clock.lineTime);
        if (mode.play && !maps.tooMany && log.reader->offset() >= snapshotDue && restorable(log, clock))
            snapshotDue = keepSnapshot(world, clock, log, maps.names);
        log.reader->setFollowing(following_.load(std::memory_order_relaxed));
        const std::int64_t lineTime = clock.lineTime;
        // Glides are set up at 1x, and a seek re-times them to its speed; a map line loads nothing, and a seek loads
        // what it would have.
        const StepResult step = stepLog(log, world, 1000, WorldHooks{}, inspect);
        if (mode.play)
            maps.note(world);
        advanceClock(clock, step);
        found.lines += step.applied ? 1 : 0;
        if (clock.lineTime - lineTime > breakLongerThan)
            found.breaks.push_back({static_cast<double>(lineTime), static_cast<double>(clock.lineTime - lineTime)});
        if (!step.gap) {
            publish(snapshotOf(found, clock.lineTime, true, log));
            return;
        }
        if (step.waiting) {
            publish(snapshotOf(found, clock.lineTime, false, log));
            waitForGrowth(*log.reader);
            sincePublished = 0;
            continue;
        }
        // Copying an entry of the lists costs a small part of scanning a line (nanoseconds against hundreds): waiting
        // for an eighth as many lines as the last copy held keeps the copies a small part of the scan.
        if (++sincePublished >= std::max(linesPerPublish, listedAtPublish / 8)) {
            publish(snapshotOf(found, clock.lineTime, false, log));
            listedAtPublish = found.marks.size() + found.breaks.size() + found.checkpoints.size();
            sincePublished = 0;
        }
    }
}
