// Tests of the world model's container and life cycle: PtrList walks and removal, releasing a record with every
// reference to it, and the reset that keeps the chat feed, status message and map picture.
#include <vector>

#include "view/map_picture.h"
#include "tests/kelo_test.h"
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
    SoldierRecord& soldier = makeRecord<SoldierRecord>(app::world);
    SoldierRecord& other = makeRecord<SoldierRecord>(app::world);
    VehicleRecord& vehicle = makeRecord<VehicleRecord>(app::world);
    app::world.soldierList.append(&soldier);
    app::world.soldierList.append(&other);
    app::world.entityList.append(&soldier);
    app::world.entityList.append(&soldier);
    vehicle.passengers.append(&soldier);
    vehicle.passengers.append(&other);
    other.damageLink = &soldier;

    releaseRecord(app::world, &soldier);
    EXPECT_EQ(app::world.soldierList.items, std::vector<SoldierRecord*>{&other});
    EXPECT_EQ(app::world.entityList.count, 1);
    EXPECT_EQ(vehicle.passengers.items, std::vector<SoldierRecord*>{&other});
    EXPECT_EQ(other.damageLink, nullptr);
    EXPECT_EQ(app::world.records.size(), 2u);
}

TEST_F(WorldModelTest, FreeItemsReleasesARecordListedTwiceOnce)
{
    ObjectRecord& object = makeRecord<ObjectRecord>(app::world);
    BuildingRecord& building = makeRecord<BuildingRecord>(app::world);
    app::world.entityList.append(&object);
    app::world.entityList.append(&building);
    app::world.entityList.append(&object);
    app::world.buildingList.append(&building);
    freeItems(app::world, app::world.entityList);
    EXPECT_TRUE(app::world.records.empty());
    EXPECT_EQ(app::world.entityList.count, 1);
    EXPECT_EQ(app::world.buildingList.count, 1);
}

TEST_F(WorldModelTest, ResetClearsTheGameAndKeepsTheFeed)
{
    app::world.mapName = "Coast";
    app::world.configTitle = "Title";
    app::world.clockMinutes = 5;
    app::world.clockSeconds = -3;
    app::world.statusMessage = "Error loading Kelo.ini";
    app::world.chatLines[0] = ChatLine{"A: hi", 1};
    ASSERT_TRUE(headless::saveFrame((folder / "map.png").string()));
    app::world.mapImage = loadMapPicture((folder / "map.png").string());
    app::playback.msPerLogSecond = 250;
    app::playback.playbackPaused = 1;
    app::world.soldierList.append(&makeRecord<SoldierRecord>(app::world));
    app::world.entityList.append(app::world.soldierList.items[0]);
    // A vehicle held only by its kind list, as when a soldier took its entity slot, goes too.
    app::world.vehicleList.append(&makeRecord<VehicleRecord>(app::world));
    app::world.buildingList.append(&makeRecord<BuildingRecord>(app::world));

    resetWorld(app::world);
    EXPECT_FALSE(app::world.mapName);
    EXPECT_FALSE(app::world.configTitle);
    EXPECT_EQ(app::world.clockMinutes, 0);
    EXPECT_EQ(app::world.clockSeconds, 0);
    EXPECT_TRUE(app::world.records.empty());
    for (int count : {app::world.soldierList.count, app::world.vehicleList.count, app::world.buildingList.count, app::world.entityList.count})
        EXPECT_EQ(count, 1);
    EXPECT_EQ(app::world.statusMessage, "Error loading Kelo.ini");
    ASSERT_TRUE(app::world.chatLines[0]);
    EXPECT_EQ(app::world.chatLines[0]->side, 1);
    EXPECT_TRUE(app::world.mapImage);
    EXPECT_EQ(app::playback.msPerLogSecond, 250);
    EXPECT_EQ(app::playback.playbackPaused, 1);
}
