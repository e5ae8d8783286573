// Tests of the world model's container and life cycle: PtrList walks and removal, releasing a record with every
// reference to it, and the reset that keeps the chat feed, status message and map picture.
#include <vector>

#include "tests/kelo_test.h"
#include "world/world_model.h"

using WorldModelTest = KeloTest;

// [SECTION] PtrList

TEST_F(WorldModelTest, EmptyListAndAppend)
{
    PtrList<Record> list;
    EXPECT_EQ(list.count, 1);
    EXPECT_EQ(list.current(), nullptr);
    int visits = 0;
    walk(list, [&](Record&) { ++visits; });
    EXPECT_EQ(visits, 0);

    ObjectRecord first;
    ObjectRecord second;
    list.append(&first);
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(list.items[0], &first);
    EXPECT_EQ(list.current(), &first);
    list.append(&second);
    list.cursor = 1;
    EXPECT_EQ(list.current(), &second);
    list.cursor = 2;
    EXPECT_EQ(list.current(), nullptr);
    list.cursor = -1;
    EXPECT_EQ(list.current(), nullptr);

    list.init();
    EXPECT_EQ(list.count, 1);
    EXPECT_TRUE(list.items.empty());
}

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
    EXPECT_EQ(list.count, 5);
    EXPECT_EQ(list.items, (std::vector<Record*>{&records[0], &records[1], &records[2], &records[3]}));
    list.removeIf([](const Record* record) { return record->id % 2 == 1; });
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.cursor, 0);
    EXPECT_EQ(list.items, (std::vector<Record*>{&records[0], &records[2]}));
}

// [SECTION] Releasing records and the reset

TEST_F(WorldModelTest, ReleasingDropsEveryReferenceOnce)
{
    SoldierRecord& soldier = makeRecord<SoldierRecord>();
    SoldierRecord& other = makeRecord<SoldierRecord>();
    VehicleRecord& vehicle = makeRecord<VehicleRecord>();
    g.soldierList.append(&soldier);
    g.soldierList.append(&other);
    g.entityList.append(&soldier);
    g.entityList.append(&soldier);
    vehicle.passengers.append(&soldier);
    vehicle.passengers.append(&other);
    other.damageLink = &soldier;

    releaseRecord(&soldier);
    EXPECT_EQ(g.soldierList.items, std::vector<SoldierRecord*>{&other});
    EXPECT_EQ(g.entityList.count, 1);
    EXPECT_EQ(vehicle.passengers.items, std::vector<SoldierRecord*>{&other});
    EXPECT_EQ(other.damageLink, nullptr);
    EXPECT_EQ(g.records.size(), 2u);
}

TEST_F(WorldModelTest, FreeItemsReleasesARecordListedTwiceOnce)
{
    ObjectRecord& object = makeRecord<ObjectRecord>();
    BuildingRecord& building = makeRecord<BuildingRecord>();
    g.entityList.append(&object);
    g.entityList.append(&building);
    g.entityList.append(&object);
    g.buildingList.append(&building);
    freeItems(g.entityList);
    EXPECT_TRUE(g.records.empty());
    EXPECT_EQ(g.entityList.count, 1);
    EXPECT_EQ(g.buildingList.count, 1);
}

TEST_F(WorldModelTest, ResetClearsTheGameAndKeepsTheFeed)
{
    g.mapName = "Coast";
    g.configTitle = "Title";
    g.clockMinutes = 5;
    g.clockSeconds = -3;
    g.statusMessage = "Error loading Kelo.ini";
    g.chatLines[0] = ChatLine{"A: hi", 1};
    g.mapImage = Image::load((folder / "none.png").string());
    g.msPerLogSecond = 250;
    g.playbackPaused = 1;
    g.soldierList.append(&makeRecord<SoldierRecord>());
    g.entityList.append(g.soldierList.items[0]);
    // A vehicle held only by its kind list, as when a soldier took its entity slot, goes too.
    g.vehicleList.append(&makeRecord<VehicleRecord>());
    g.buildingList.append(&makeRecord<BuildingRecord>());

    resetWorld();
    EXPECT_FALSE(g.mapName);
    EXPECT_FALSE(g.configTitle);
    EXPECT_EQ(g.clockMinutes, 0);
    EXPECT_EQ(g.clockSeconds, 0);
    EXPECT_TRUE(g.records.empty());
    for (int count : {g.soldierList.count, g.vehicleList.count, g.buildingList.count, g.entityList.count})
        EXPECT_EQ(count, 1);
    EXPECT_EQ(g.statusMessage, "Error loading Kelo.ini");
    ASSERT_TRUE(g.chatLines[0]);
    EXPECT_EQ(g.chatLines[0]->side, 1);
    EXPECT_TRUE(g.mapImage);
    EXPECT_EQ(g.msPerLogSecond, 250);
    EXPECT_EQ(g.playbackPaused, 1);
}
