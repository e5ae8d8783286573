// Property tests of the id index beside every PtrList: on generated logs of creations, destructions, boardings and
// position reports with colliding ids for every kind of record, a look-up through the index visits exactly the
// records, in the order and with the cursor, that a walk of the whole list testing each id does; copies of the world
// look up the same way and play on equal to their original.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "world/interpreter.h"
#include "world/log_format.h"
#include "world/world_model.h"

namespace {

constexpr std::int32_t idCount = 6;

template <class T>
std::vector<const T*> walked(PtrList<T>& list, std::int32_t id)
{
    std::vector<const T*> found;
    walk(list, [&](T& record) {
        if (record.id == id)
            found.push_back(&record);
    });
    return found;
}

template <class T>
std::vector<const T*> indexed(PtrList<T>& list, std::int32_t id)
{
    std::vector<const T*> found;
    walkWithId(list, id, [&](T& record) {
        EXPECT_EQ(list.items[static_cast<std::size_t>(list.cursor)], &record);
        found.push_back(&record);
    });
    return found;
}

template <class T>
void expectLookUpsLikeTheWalk(PtrList<T>& list, const std::string& where)
{
    for (std::int32_t id = -1; id <= idCount + 1; ++id) {
        const std::vector<const T*> byIndex = indexed(list, id);
        const std::int32_t cursorAfterIndex = list.cursor;
        const std::vector<const T*> byWalk = walked(list, id);
        ASSERT_EQ(byIndex, byWalk) << where << ", id " << id;
        EXPECT_EQ(cursorAfterIndex, list.cursor) << where;
        EXPECT_EQ(hasRecordWithId(list, id), !byWalk.empty()) << where << ", id " << id;
    }
}

void expectLookUpsLikeTheWalk(World& world, const std::string& where)
{
    expectLookUpsLikeTheWalk(world.soldierList, where + ", soldiers");
    expectLookUpsLikeTheWalk(world.vehicleList, where + ", vehicles");
    expectLookUpsLikeTheWalk(world.buildingList, where + ", buildings");
    expectLookUpsLikeTheWalk(world.entityList, where + ", entities");
}

// A line of a log that keeps reusing a handful of ids: a soldier created under the id of any record takes its place.
std::string generatedLine(std::mt19937& random)
{
    auto pick = [&random](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    const std::string id = std::to_string(1 + pick(idCount));
    const std::string place = std::to_string(pick(400)) + ";" + std::to_string(pick(400)) + ";0";
    switch (pick(12)) {
    case 0:
    case 1:
        return "CREATED;SOLDIER;" + id + ";Rifleman;" + place + ";0;100;30;" + std::to_string(pick(3)) + ";P" + id;
    case 2:
        return "CREATED;VEHICLE;" + id + ";Tank;" + place + ";90;100;0;1";
    case 3:
        return "CREATED;BUILDING;" + id + ";House;" + place + ";0;100;0;2";
    case 4:
        return "CREATED;OBJECT;" + id + ";Crate;" + place;
    case 5:
        return std::string("DESTROYED;") + (pick(2) ? "SOLDIER;" : pick(2) ? "VEHICLE;" : "OBJECT;") + id;
    case 6:
        return "ENTER;" + id + ";-;-;-;-;" + std::to_string(1 + pick(idCount));
    case 7:
        return "EXIT;" + id + ";-;-;-;-;" + std::to_string(1 + pick(idCount));
    case 8:
        return "POS;VEHICLE;" + id + ";Tank;" + place + ";45;90;0";
    default:
        return "POS;SOLDIER;" + id + ";Rifleman;" + place + ";0;90;30";
    }
}

TEST(IdIndexTest, LookUpsThroughTheIndexAreTheWalksOnGeneratedLogs)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        World world;
        World copy;
        for (int number = 1; number <= 300; ++number) {
            const std::string line = generatedLine(random);
            const std::string where = "seed " + std::to_string(seed) + ", line " + std::to_string(number) + " " + line;
            const std::string stamped = "[10:00:00] " + line;
            const std::optional<SplitLine> split = splitLine(stamped);
            ASSERT_TRUE(split);
            applyEvent(world, split->fields, 1000, WorldHooks{});
            applyEvent(copy, split->fields, 1000, WorldHooks{});
            expectLookUpsLikeTheWalk(world, where);
            ASSERT_EQ(copy, world) << where;
            // Now and then the copy is made afresh (it starts without an index) or the world is cleared.
            if (random() % 23 == 0) {
                copy = world;
                expectLookUpsLikeTheWalk(copy, where + ", copy");
            }
            if (random() % 97 == 0) {
                resetWorld(world);
                resetWorld(copy);
            }
        }
    }
}

TEST(IdIndexTest, DirectWritesAreSeenOnceTheListIsTouched)
{
    World world;
    std::vector<SoldierRecord*> soldiers;
    for (std::int32_t id : {1, 2, 1}) {
        SoldierRecord& soldier = makeRecord<SoldierRecord>(world);
        soldier.id = id;
        world.soldierList.append(&soldier);
        soldiers.push_back(&soldier);
    }
    ASSERT_EQ(indexed(world.soldierList, 1), (std::vector<const SoldierRecord*>{soldiers[0], soldiers[2]}));
    // An append extends the index that is current; a direct write followed by touch() rebuilds it.
    SoldierRecord& later = makeRecord<SoldierRecord>(world);
    later.id = 1;
    world.soldierList.append(&later);
    EXPECT_EQ(indexed(world.soldierList, 1), (std::vector<const SoldierRecord*>{soldiers[0], soldiers[2], &later}));
    world.soldierList.items[1] = &later;
    world.soldierList.touch();
    EXPECT_EQ(indexed(world.soldierList, 1),
              (std::vector<const SoldierRecord*>{soldiers[0], &later, soldiers[2], &later}));
    EXPECT_TRUE(indexed(world.soldierList, 2).empty());
    EXPECT_FALSE(hasRecordWithId(world.soldierList, 2));
}

}  // namespace
