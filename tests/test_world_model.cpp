// Tests of the world model's container, life cycle and value: PtrList walks and removal, releasing a record with
// every reference to it, the reset that keeps the chat feed, status message and map picture, copies and equality.
#include <algorithm>
#include <filesystem>
#include <random>
#include <vector>

#include "tests/kelo_test.h"
#include "view/map_picture.h"
#include "world/log_step.h"
#include "world/movement.h"
#include "world/world_model.h"

using WorldModelTest = KeloTest;

// [SECTION] PtrList

TEST_F(WorldModelTest, WalkAndRemovalKeepTheOrder)
{
    std::vector<ObjectRecord> records(4);
    PtrList<Record> list;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].id = static_cast<int>(i);
        list.append(&records[i]);
    }
    std::vector<int> seen;
    walk(list, [&](Record& record) { seen.push_back(record.id); });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));

    list.removeIf([](const Record* record) { return record->id == 99; });
    EXPECT_EQ(list.size(), 4);
    EXPECT_EQ(list.items, (std::vector<Record*>{&records[0], &records[1], &records[2], &records[3]}));
    list.removeIf([](const Record* record) { return record->id % 2 == 1; });
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(list.cursor, 0);
    EXPECT_EQ(list.items, (std::vector<Record*>{&records[0], &records[2]}));
}

// [SECTION] Releasing records and the reset

TEST_F(WorldModelTest, ReleasingDropsEveryReferenceOnce)
{
    World world;
    SoldierRecord& soldier = makeRecord<SoldierRecord>(world);
    SoldierRecord& other = makeRecord<SoldierRecord>(world);
    VehicleRecord& vehicle = makeRecord<VehicleRecord>(world);
    world.soldierList.append(&soldier);
    world.soldierList.append(&other);
    world.entityList.append(&soldier);
    world.entityList.append(&soldier);
    vehicle.passengers.append(&soldier);
    vehicle.passengers.append(&other);
    other.damageLink = &soldier;

    releaseRecords(world, {&soldier});
    EXPECT_EQ(world.soldierList.items, std::vector<SoldierRecord*>{&other});
    EXPECT_EQ(world.entityList.size(), 0);
    EXPECT_EQ(vehicle.passengers.items, std::vector<SoldierRecord*>{&other});
    EXPECT_EQ(other.damageLink, nullptr);
    EXPECT_EQ(world.records.size(), 2u);
}

namespace {

// Records released one at a time, each rebuilding every list: the plain way that the batch must agree with.
void releaseOneByOne(World& world, const std::vector<Record*>& records)
{
    std::vector<Record*> distinct;
    for (Record* record : records)
        if (std::find(distinct.begin(), distinct.end(), record) == distinct.end())
            distinct.push_back(record);
    for (Record* record : distinct) {
        auto is = [record](const Record* listed) { return listed == record; };
        world.soldierList.removeIf(is);
        world.vehicleList.removeIf(is);
        world.buildingList.removeIf(is);
        world.entityList.removeIf(is);
        for (const auto& owned : world.records) {
            if (owned->damageLink == record)
                owned->damageLink = nullptr;
            if (owned->kind == RecordKind::vehicle)
                static_cast<VehicleRecord&>(*owned).passengers.removeIf(is);
        }
        std::erase_if(world.records, [record](const auto& owned) { return owned.get() == record; });
    }
}

// A world of random records listed at random, some twice, with passengers and damage links among them.
World randomWorld(std::mt19937& random)
{
    World world;
    const int size = std::uniform_int_distribution<int>(0, 40)(random);
    std::vector<SoldierRecord*> soldiers;
    for (int i = 0; i < size; ++i) {
        Record* record = nullptr;
        switch (random() % 4) {
        case 0:
            soldiers.push_back(&makeRecord<SoldierRecord>(world));
            record = soldiers.back();
            break;
        case 1:
            record = &makeRecord<VehicleRecord>(world);
            break;
        case 2:
            record = &makeRecord<BuildingRecord>(world);
            break;
        default:
            record = &makeRecord<ObjectRecord>(world);
        }
        record->id = static_cast<std::int32_t>(random() % 8);
    }
    for (const auto& owned : world.records) {
        for (unsigned copies = random() % 3; copies > 0; --copies) {
            if (owned->kind == RecordKind::soldier)
                world.soldierList.append(static_cast<SoldierRecord*>(owned.get()));
            else if (owned->kind == RecordKind::vehicle)
                world.vehicleList.append(static_cast<VehicleRecord*>(owned.get()));
            else if (owned->kind == RecordKind::building)
                world.buildingList.append(static_cast<BuildingRecord*>(owned.get()));
            world.entityList.append(owned.get());
        }
        if (!world.records.empty() && random() % 3 == 0)
            owned->damageLink = world.records[random() % world.records.size()].get();
        if (owned->kind == RecordKind::vehicle && !soldiers.empty())
            for (unsigned riders = random() % 4; riders > 0; --riders)
                static_cast<VehicleRecord&>(*owned).passengers.append(soldiers[random() % soldiers.size()]);
    }
    return world;
}

}  // namespace

TEST_F(WorldModelTest, ReleasingInOneBatchLeavesWhatReleasingOneByOneLeaves)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        World batch = randomWorld(random);
        World plain = batch;
        std::vector<Record*> inBatch;
        std::vector<Record*> inPlain;
        for (std::size_t i = 0; i < batch.records.size(); ++i) {
            for (unsigned times = random() % 4 == 0 ? 2 : (random() % 2); times > 0; --times) {
                inBatch.push_back(batch.records[i].get());
                inPlain.push_back(plain.records[i].get());
            }
        }
        releaseRecords(batch, inBatch);
        releaseOneByOne(plain, inPlain);
        ASSERT_EQ(batch, plain) << "round " << round;
    }
}

TEST_F(WorldModelTest, ResetClearsTheGameAndKeepsTheFeed)
{
    World world;
    world.mapName = "Coast";
    world.configTitle = "Title";
    world.clockMinutes = 5;
    world.clockSeconds = -3;
    world.statusMessage = "Error loading Kelo.ini";
    world.chatLines[0] = ChatLine{"A: hi", 1};
    ASSERT_TRUE(headless::saveFrame((folder / "map.png").string()));
    world.mapImage = viewer.caches.maps.load((folder / "map.png").string());
    world.soldierList.append(&makeRecord<SoldierRecord>(world));
    world.entityList.append(world.soldierList.items[0]);
    // A vehicle held only by its kind list, as when a soldier took its entity slot, goes too.
    world.vehicleList.append(&makeRecord<VehicleRecord>(world));
    world.buildingList.append(&makeRecord<BuildingRecord>(world));

    resetWorld(world);
    EXPECT_FALSE(world.mapName);
    EXPECT_FALSE(world.configTitle);
    EXPECT_EQ(world.clockMinutes, 0);
    EXPECT_EQ(world.clockSeconds, 0);
    EXPECT_TRUE(world.records.empty());
    for (int count :
         {world.soldierList.size(), world.vehicleList.size(), world.buildingList.size(), world.entityList.size()})
        EXPECT_EQ(count, 0);
    EXPECT_EQ(world.statusMessage, "Error loading Kelo.ini");
    ASSERT_TRUE(world.chatLines[0]);
    EXPECT_EQ(world.chatLines[0]->side, 1);
    EXPECT_TRUE(world.mapImage);
}

// [SECTION] The world as a value

namespace {

std::string demoLogPath()
{
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo" / "demo.log").string();
}

LogCursor openDemo()
{
    LogCursor log;
    std::optional<LineReader> reader = openLogFile(demoLogPath());
    if (reader)
        startLog(log, std::move(*reader));
    return log;
}

// Steps the log and glides the units as playback would between two lines.
void playLine(LogCursor& log, World& world)
{
    stepLog(log, world, 1000, WorldHooks{});
    for (int tick = 0; tick < 3; ++tick)
        glideUnits(world);
}

template <class T>
bool pointsInto(const PtrList<T>& list, const World& world)
{
    return std::all_of(list.items.begin(), list.items.end(), [&](const T* item) {
        return std::any_of(world.records.begin(), world.records.end(),
                           [item](const auto& owned) { return owned.get() == item; });
    });
}

}  // namespace

TEST_F(WorldModelTest, ACopyPlaysOnExactlyLikeItsOriginal)
{
    LogCursor original = openDemo();
    LogCursor forCopy = openDemo();
    ASSERT_TRUE(original.reader);
    World world;
    World scratch;
    for (int line = 0; line < 700; ++line) {
        playLine(original, world);
        playLine(forCopy, scratch);
    }
    ASSERT_GT(world.soldierList.size(), 4);
    ASSERT_GT(world.vehicleList.size(), 1);

    World copy = world;
    EXPECT_EQ(copy, world);
    EXPECT_TRUE(pointsInto(copy.soldierList, copy) && pointsInto(copy.vehicleList, copy)
                && pointsInto(copy.entityList, copy));
    for (const auto& owned : copy.records) {
        PtrList<Record> single;
        single.append(owned.get());
        EXPECT_FALSE(pointsInto(single, world));
    }

    int steps = 0;
    while (original.nextLine) {
        playLine(original, world);
        playLine(forCopy, copy);
        ASSERT_EQ(copy, world) << "after line " << original.currentNumber;
        ++steps;
    }
    EXPECT_GT(steps, 500);
}

TEST_F(WorldModelTest, ChangingOneThingOfACopyMakesItDifferent)
{
    LogCursor log = openDemo();
    World world;
    for (int line = 0; line < 700; ++line)
        playLine(log, world);
    ASSERT_GT(world.vehicleList.size(), 1);

    auto differsAfter = [&](const char* what, auto change) {
        World copy = world;
        change(copy);
        EXPECT_FALSE(copy == world) << what;
    };
    differsAfter("a soldier's position", [](World& w) { w.soldierList.items[0]->posX += 1; });
    differsAfter("a vehicle's glide", [](World& w) { w.vehicleList.items[0]->glide.stepsLeft += 1; });
    differsAfter("a damage link", [](World& w) { w.soldierList.items[0]->damageLink = w.soldierList.items[1]; });
    differsAfter("the list order", [](World& w) { std::swap(w.entityList.items[0], w.entityList.items[1]); });
    differsAfter("a passenger", [](World& w) { w.vehicleList.items[0]->passengers.append(w.soldierList.items[0]); });
    differsAfter("the chat", [](World& w) { w.chatLines[0] = ChatLine{"x", 0}; });
    differsAfter("the calibration", [](World& w) { w.calibration.offsetX += 1; });
    differsAfter("the clock", [](World& w) { w.clockSeconds += 1; });
    ASSERT_TRUE(headless::saveFrame((folder / "map.png").string()));
    const std::shared_ptr<const MapPicture> picture = viewer.caches.maps.load((folder / "map.png").string());
    differsAfter("the map picture", [&](World& w) { w.mapImage = picture; });
    differsAfter("a released record", [](World& w) { releaseRecords(w, {w.soldierList.items[0]}); });
    // Serials are no part of the model.
    World renumbered = world;
    renumbered.soldierList.items[0]->serial += 1000;
    EXPECT_TRUE(renumbered == world);
}
