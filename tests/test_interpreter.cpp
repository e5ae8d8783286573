// Tests of the event interpreter: creation and replacement, destruction, damage links, glides, the map line,
// clock and title, chat feed and passengers, and lines that must change nothing or crash nothing.
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "app/screen_hooks.h"
#include "tests/builders.h"
#include "tests/kelo_test.h"
#include "view/map_picture.h"
#include "world/interpreter.h"
#include "world/program_files.h"
#include "world/world_model.h"

namespace {

template <class T>
std::vector<int> ids(const PtrList<T>& list)
{
    std::vector<int> found;
    for (const T* record : list.items)
        found.push_back(record->id);
    return found;
}

}  // namespace

// A world of the test's own, its lines applied at the test's speed with the test's hooks: none, unless a test of the
// map line takes the program's, which read the scratch program folder.
class InterpreterTest : public KeloTest {
protected:
    void apply(const std::string& event) { applyLine(world, event, msPerLogSecond, hooks); }

    World world;
    std::int32_t msPerLogSecond = 1000;
    WorldHooks hooks;
};

// [SECTION] Creation

TEST_F(InterpreterTest, CreatedSoldierTakesEveryField)
{
    apply("CREATED;SOLDIER;17;ClassA;5120.5;3400.25;12;90;1;0.5;0;Alpha");
    ASSERT_EQ(world.soldierList.size(), 1);
    ASSERT_EQ(world.entityList.size(), 1);
    const SoldierRecord& soldier = *world.soldierList.items[0];
    EXPECT_EQ(world.entityList.items[0], &soldier);
    EXPECT_EQ(soldier.id, 17);
    EXPECT_EQ(soldier.className, "ClassA");
    EXPECT_FLOAT_EQ(soldier.posX, 3400.25f);
    EXPECT_FLOAT_EQ(soldier.posY, 5120.5f);
    EXPECT_FLOAT_EQ(soldier.posZ, 12);
    EXPECT_FLOAT_EQ(soldier.direction, 90);
    EXPECT_FLOAT_EQ(soldier.levelA, 1);
    EXPECT_FLOAT_EQ(soldier.peakA, 1);
    EXPECT_FLOAT_EQ(soldier.levelB, 0.5f);
    EXPECT_FLOAT_EQ(soldier.peakB, 0.5f);
    EXPECT_EQ(soldier.side, 0);
    EXPECT_EQ(soldier.name, "Alpha");
    EXPECT_EQ(soldier.glide.targetX, soldier.posX);
    EXPECT_EQ(soldier.glide.targetY, soldier.posY);
    EXPECT_EQ(soldier.glide.targetZ, soldier.posZ);
    EXPECT_EQ(soldier.glide.stepsLeft, 0);
    EXPECT_EQ(soldier.damageLink, nullptr);
}

TEST_F(InterpreterTest, EachKindGoesToItsLists)
{
    apply("CREATED;VEHICLE;5;Truck;10;20;3;45;0.8;0.2;1");
    apply("CREATED;BUILDING;6;House;1;2;0;0;1;1;1");
    apply("CREATED;OBJECT;7;Rock;4;5;6;99;99;99;1");
    EXPECT_EQ(ids(world.vehicleList), std::vector<int>{5});
    EXPECT_EQ(ids(world.buildingList), std::vector<int>{6});
    EXPECT_EQ(ids(world.entityList), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(world.soldierList.size(), 0);

    const VehicleRecord& vehicle = *world.vehicleList.items[0];
    EXPECT_FLOAT_EQ(vehicle.targetDirection, 45);
    EXPECT_EQ(vehicle.targetDirection, vehicle.direction);
    EXPECT_EQ(vehicle.glide.targetX, vehicle.posX);
    EXPECT_EQ(vehicle.glide.targetY, vehicle.posY);
    EXPECT_EQ(vehicle.side, 1);
    EXPECT_EQ(vehicle.passengers.size(), 0);

    // An object's line gives only id, class and position: side, direction and levels stay at their start.
    const Record& object = *world.entityList.items[2];
    EXPECT_EQ(object.className, "Rock");
    EXPECT_FLOAT_EQ(object.posX, 5);
    EXPECT_FLOAT_EQ(object.posY, 4);
    EXPECT_FLOAT_EQ(object.posZ, 6);
    EXPECT_EQ(object.side, -1);
    EXPECT_EQ(object.direction, 0);
    EXPECT_EQ(object.levelA, 0);
    EXPECT_EQ(object.peakB, 0);
}

TEST_F(InterpreterTest, SoldierCreatedTwiceTakesTheFirstOnesPlace)
{
    createSoldier(world, 1, 0, 0);
    createSoldier(world, 2, 0, 0, 0, "First");
    createSoldier(world, 3, 0, 0);
    createVehicle(world, 9, 0, 0);
    apply("ENTER;9;x;x;x;x;2");
    apply("DAMAGED;SOLDIER;1;x;x;x;x;x;2");
    ASSERT_EQ(world.soldierList.items[0]->damageLink, world.soldierList.items[1]);

    createSoldier(world, 2, 5, 5, 1, "Second");
    EXPECT_EQ(ids(world.soldierList), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ids(world.entityList), (std::vector<int>{1, 2, 3, 9}));
    SoldierRecord* second = world.soldierList.items[1];
    EXPECT_EQ(second->name, "Second");
    EXPECT_EQ(world.entityList.items[1], second);
    // The old soldier is gone with every reference to it: the passenger list and the damage link.
    EXPECT_EQ(world.records.size(), 4u);
    EXPECT_EQ(world.vehicleList.items[0]->passengers.size(), 0);
    EXPECT_EQ(world.soldierList.items[0]->damageLink, nullptr);
}

TEST_F(InterpreterTest, SoldierTakesTheEntitySlotOfAnotherKind)
{
    createVehicle(world, 4, 1, 1);
    apply("CREATED;OBJECT;5;Rock;0;0;0");
    createSoldier(world, 4, 2, 2);
    createSoldier(world, 5, 3, 3);

    // The soldiers only took the entity slots: they are in no soldier list and so are never drawn.
    EXPECT_EQ(world.soldierList.size(), 0);
    EXPECT_EQ(ids(world.vehicleList), std::vector<int>{4});
    ASSERT_EQ(world.entityList.size(), 2);
    EXPECT_EQ(world.entityList.items[0]->kind, RecordKind::soldier);
    EXPECT_EQ(world.entityList.items[1]->kind, RecordKind::soldier);

    // The vehicle and the object held only by the record store are released at the reset.
    resetWorld(world);
    EXPECT_TRUE(world.records.empty());
    EXPECT_EQ(world.vehicleList.size(), 0);
}

TEST_F(InterpreterTest, SoldierTakingTwoSlotsIsReleasedOnce)
{
    createVehicle(world, 4, 0, 0);
    createVehicle(world, 4, 0, 0);
    createSoldier(world, 4, 0, 0);
    ASSERT_EQ(world.entityList.size(), 2);
    EXPECT_EQ(world.entityList.items[0], world.entityList.items[1]);

    apply("DESTROYED;OBJECT;4");
    EXPECT_EQ(world.entityList.size(), 0);
    EXPECT_EQ(world.vehicleList.size(), 2);
    EXPECT_EQ(world.records.size(), 2u);
    apply("DESTROYED;VEHICLE;4");
    EXPECT_TRUE(world.records.empty());
}

TEST_F(InterpreterTest, OtherKindsCreatedTwiceAreBothKept)
{
    createVehicle(world, 8, 0, 0);
    createVehicle(world, 8, 10, 10);
    EXPECT_EQ(ids(world.vehicleList), (std::vector<int>{8, 8}));

    apply("POS;VEHICLE;8;Truck;50;60;0;90;1;1");
    for (const VehicleRecord* vehicle : world.vehicleList.items) {
        EXPECT_FLOAT_EQ(vehicle->glide.targetX, 60);
        EXPECT_FLOAT_EQ(vehicle->glide.targetY, 50);
    }
    apply("DESTROYED;VEHICLE;8");
    EXPECT_EQ(world.vehicleList.size(), 0);
    EXPECT_EQ(world.entityList.size(), 0);
    EXPECT_TRUE(world.records.empty());
}

// [SECTION] Destruction

TEST_F(InterpreterTest, DestroyedSoldierLeavesEveryReference)
{
    createSoldier(world, 1, 0, 0);
    createSoldier(world, 2, 0, 0);
    createVehicle(world, 9, 0, 0);
    apply("ENTER;9;x;x;x;x;1");
    apply("DAMAGED;SOLDIER;2;x;x;x;x;x;1");

    apply("DESTROYED;SOLDIER;1");
    EXPECT_EQ(ids(world.soldierList), std::vector<int>{2});
    EXPECT_EQ(ids(world.entityList), (std::vector<int>{2, 9}));
    EXPECT_EQ(world.vehicleList.items[0]->passengers.size(), 0);
    EXPECT_EQ(world.soldierList.items[0]->damageLink, nullptr);
    EXPECT_EQ(world.records.size(), 2u);

    // An id no record of the kind has leaves the list as it was.
    apply("DESTROYED;SOLDIER;1");
    apply("DESTROYED;BUILDING;2");
    EXPECT_EQ(ids(world.soldierList), std::vector<int>{2});
    EXPECT_EQ(world.records.size(), 2u);
}

TEST_F(InterpreterTest, DestroyedVehicleSetsItsPassengersDown)
{
    createSoldier(world, 1, 0, 0);
    createSoldier(world, 2, 0, 0);
    createVehicle(world, 9, 0, 0);
    apply("ENTER;9;x;x;x;x;1");
    apply("ENTER;9;x;x;x;x;2");
    apply("DESTROYED;VEHICLE;9");
    EXPECT_EQ(world.vehicleList.size(), 0);
    EXPECT_EQ(ids(world.entityList), (std::vector<int>{1, 2}));
    for (const SoldierRecord* soldier : world.soldierList.items)
        EXPECT_EQ(soldier->aboard, 0);
}

TEST_F(InterpreterTest, DestroyedObjectWithAnotherKindsIdLeavesEveryList)
{
    createSoldier(world, 1, 0, 0);
    createVehicle(world, 2, 0, 0);
    apply("CREATED;BUILDING;3;House;1;2;0;0;1;1;1");
    apply("ENTER;2;x;x;x;x;1");
    apply("DAMAGED;SOLDIER;1;x;x;x;x;x;2");

    apply("CREATED;BUILDING;4;House;1;2;0;0;1;1;1");
    apply("CREATED;OBJECT;5;Rock;4;5;6");
    apply("DESTROYED;BUILDING;4");
    apply("DESTROYED;OBJECT;5");
    EXPECT_EQ(ids(world.entityList), (std::vector<int>{1, 2, 3}));

    apply("DESTROYED;OBJECT;1");
    apply("DESTROYED;OBJECT;2");
    apply("DESTROYED;OBJECT;3");
    EXPECT_EQ(world.soldierList.size(), 0);
    EXPECT_EQ(world.vehicleList.size(), 0);
    EXPECT_EQ(world.buildingList.size(), 0);
    EXPECT_EQ(world.entityList.size(), 0);
    EXPECT_TRUE(world.records.empty());
}

// [SECTION] Damage

TEST_F(InterpreterTest, DamageLinksTheAttacker)
{
    createSoldier(world, 1, 0, 0);
    createSoldier(world, 2, 0, 0);
    SoldierRecord* victim = world.soldierList.items[0];
    SoldierRecord* attacker = world.soldierList.items[1];

    apply("DAMAGED;SOLDIER;1;x;x;x;x;x;2");
    EXPECT_EQ(victim->damageLink, attacker);
    // While the link waits for its frame, further damage to the soldier is ignored.
    apply("DAMAGED;SOLDIER;1;x;x;x;x;x;1");
    EXPECT_EQ(victim->damageLink, attacker);

    // A soldier may damage itself; an unknown attacker or victim, or another kind, links nothing.
    apply("DAMAGED;SOLDIER;2;x;x;x;x;x;2");
    EXPECT_EQ(attacker->damageLink, attacker);
    victim->damageLink = nullptr;
    apply("DAMAGED;SOLDIER;1;x;x;x;x;x;77");
    apply("DAMAGED;SOLDIER;77;x;x;x;x;x;2");
    apply("DAMAGED;VEHICLE;1;x;x;x;x;x;2");
    EXPECT_EQ(victim->damageLink, nullptr);
}

TEST_F(InterpreterTest, DamageByAVehicleIsFoundAmongAllRecords)
{
    createSoldier(world, 1, 0, 0);
    createVehicle(world, 5, 0, 0);
    apply("CREATED;OBJECT;5;Rock;0;0;0");
    apply("DAMAGED;SOLDIER;1;x;x;x;x;x;5");
    // The first record with the id wins.
    EXPECT_EQ(world.soldierList.items[0]->damageLink, world.vehicleList.items[0]);
}

// [SECTION] Position reports and glides

TEST_F(InterpreterTest, PositionReportJumpsToThePreviousTargetAndGlides)
{
    createSoldier(world, 1, 100, 200);
    apply("POS;SOLDIER;1;C;200;110;9;95;0.5;0.25");
    const SoldierRecord& soldier = *world.soldierList.items[0];
    EXPECT_FLOAT_EQ(soldier.posX, 100);
    EXPECT_FLOAT_EQ(soldier.posY, 200);
    EXPECT_FLOAT_EQ(soldier.posZ, 7);
    EXPECT_FLOAT_EQ(soldier.glide.targetX, 110);
    EXPECT_FLOAT_EQ(soldier.glide.targetY, 200);
    EXPECT_FLOAT_EQ(soldier.glide.targetZ, 9);
    EXPECT_EQ(soldier.glide.stepsLeft, 40);
    EXPECT_EQ(soldier.glide.stepLength, 0.25f);
    EXPECT_FLOAT_EQ(soldier.glide.moveHeading, 0);
    // Field 7 has no effect on a soldier.
    EXPECT_FLOAT_EQ(soldier.direction, 90);

    apply("POS;SOLDIER;1;C;192;110;9;95;0.5;0.25");
    EXPECT_FLOAT_EQ(soldier.posX, 110);
    EXPECT_FLOAT_EQ(soldier.posY, 200);
    EXPECT_FLOAT_EQ(soldier.posZ, 9);
    EXPECT_FLOAT_EQ(soldier.glide.moveHeading, static_cast<float>(-std::numbers::pi / 2));
    // 8 / 40 rounds up as a float, so the exact quotient falls just short of 40 steps.
    EXPECT_EQ(soldier.glide.stepLength, 0.2f);
    EXPECT_EQ(soldier.glide.stepsLeft, 39);
}

TEST_F(InterpreterTest, GlideStepsFollowTheSpeedOfTheReport)
{
    createSoldier(world, 1, 0, 0);
    const SoldierRecord& soldier = *world.soldierList.items[0];
    msPerLogSecond = 125;
    apply("POS;SOLDIER;1;C;0;10;0");
    EXPECT_EQ(soldier.glide.stepsLeft, 5);
    EXPECT_FLOAT_EQ(soldier.glide.stepLength, 2);
    msPerLogSecond = 4000;
    apply("POS;SOLDIER;1;C;0;30;0");
    EXPECT_EQ(soldier.glide.stepsLeft, 160);
    EXPECT_FLOAT_EQ(soldier.glide.stepLength, 0.125f);

    // A report of the target it already had: the unit stands on it.
    apply("POS;SOLDIER;1;C;0;30;0");
    apply("POS;SOLDIER;1;C;0;30;0");
    EXPECT_FLOAT_EQ(soldier.posX, 30);
    EXPECT_EQ(soldier.glide.stepsLeft, 0);
    EXPECT_EQ(soldier.glide.stepLength, 0);
}

TEST_F(InterpreterTest, PeaksNeverFall)
{
    createSoldier(world, 1, 0, 0);
    const SoldierRecord& soldier = *world.soldierList.items[0];
    apply("POS;SOLDIER;1;C;0;0;0;0;3;0.25");
    EXPECT_FLOAT_EQ(soldier.levelA, 3);
    EXPECT_FLOAT_EQ(soldier.peakA, 3);
    EXPECT_FLOAT_EQ(soldier.levelB, 0.25f);
    EXPECT_FLOAT_EQ(soldier.peakB, 0.5f);
    apply("POS;SOLDIER;1;C;0;0;0;0;1;2");
    EXPECT_FLOAT_EQ(soldier.levelA, 1);
    EXPECT_FLOAT_EQ(soldier.peakA, 3);
    EXPECT_FLOAT_EQ(soldier.peakB, 2);
}

TEST_F(InterpreterTest, VehicleDirectionLagsOneReport)
{
    createVehicle(world, 3, 0, 0);
    const VehicleRecord& vehicle = *world.vehicleList.items[0];
    apply("POS;VEHICLE;3;Truck;0;0;0;90;1;1");
    EXPECT_FLOAT_EQ(vehicle.direction, 45);
    EXPECT_FLOAT_EQ(vehicle.targetDirection, 90);
    apply("POS;VEHICLE;3;Truck;3;4;0;180;1;1");
    EXPECT_FLOAT_EQ(vehicle.direction, 90);
    EXPECT_FLOAT_EQ(vehicle.targetDirection, 180);
    EXPECT_EQ(vehicle.glide.stepsLeft, 40);
    EXPECT_FLOAT_EQ(vehicle.glide.stepLength, 5.0f / 40);
    // Reports for unknown ids or other kinds change nothing.
    apply("POS;SOLDIER;3;Truck;30;40;0;270");
    apply("POS;BUILDING;3;Truck;30;40;0;270");
    apply("POS;VEHICLE;4;Truck;30;40;0;270");
    EXPECT_FLOAT_EQ(vehicle.targetDirection, 180);
    EXPECT_FLOAT_EQ(vehicle.glide.targetX, 4);
}

TEST_F(InterpreterTest, ReportsOutOfRangeSetUpNoGlide)
{
    createSoldier(world, 1, 0, 0);
    const SoldierRecord& soldier = *world.soldierList.items[0];
    apply("POS;SOLDIER;1;C;1e39;0;0");
    EXPECT_EQ(soldier.glide.stepsLeft, 0);
    apply("POS;SOLDIER;1;C;nan;0;0");
    EXPECT_EQ(soldier.glide.stepsLeft, 0);
}

TEST_F(InterpreterTest, PlaneGeometryInThirtyTwoBits)
{
    EXPECT_FLOAT_EQ(distance2D(0, 0, 3, 4), 5);
    EXPECT_FLOAT_EQ(distance2D(-1, -1, 2, 3), 5);
    // The square overflows a float: the distance is infinite, not 1e20.
    EXPECT_EQ(distance2D(1e20f, 0, 0, 0), std::numeric_limits<float>::infinity());
    EXPECT_EQ(headingTo(5, 5, 5, 5), 0);
    EXPECT_FLOAT_EQ(headingTo(0, 0, 1, 1), static_cast<float>(std::numbers::pi / 4));
    EXPECT_FLOAT_EQ(headingTo(0, 0, -1, 0), static_cast<float>(std::numbers::pi));
}

// [SECTION] Map line

TEST_F(InterpreterTest, MapLineNamesTheSectionAndThePicture)
{
    hooks = screenHooks;
    writeFile("Kelo.ini", "[Coast.winter.map]\nInvertY=1\nInvertX=0\nScaleX=2\nScaleY=3\nOffsetX=4\nOffsetY=5\n"
                          "RotationOffset=6\n");
    std::filesystem::create_directories(folder / "Maps");
    ASSERT_TRUE(headless::saveFrame((folder / "Maps" / "Coast.png").string()));

    apply("1;Coast.winter.map");
    EXPECT_EQ(world.mapName, "Coast.winter.map");
    EXPECT_FALSE(world.statusMessage);
    EXPECT_TRUE(world.calibration.invertY);
    EXPECT_FLOAT_EQ(world.calibration.rotationOffset, 6);
    ASSERT_TRUE(world.mapImage);
    EXPECT_NE(world.mapImage->decoded()->image.get(), nullptr);

    // A map without a section is reported; its picture is still loaded.
    apply("-3;Coast");
    EXPECT_EQ(world.mapName, "Coast");
    EXPECT_EQ(world.statusMessage, "Error loading Kelo.ini");
    ASSERT_TRUE(world.mapImage);
    EXPECT_NE(world.mapImage->decoded()->image.get(), nullptr);

    // A later success leaves the report; a missing picture gives no picture.
    apply("2.5;Coast.winter.map");
    EXPECT_EQ(world.statusMessage, "Error loading Kelo.ini");
    apply("2.5;Desert.map");
    EXPECT_FALSE(world.mapImage);
}

TEST_F(InterpreterTest, FieldZeroMustReadAsANumberOtherThanZero)
{
    for (const char* line : {"0;Coast", "0.0;Coast", "-0;Coast", "x1;Coast", ";Coast"}) {
        apply(line);
        EXPECT_FALSE(world.mapName) << line;
    }
    apply("1e-50;Tiny");
    EXPECT_EQ(world.mapName, "Tiny");
}

TEST_F(InterpreterTest, MapNameWithoutBaseKeepsThePicture)
{
    hooks = screenHooks;
    std::filesystem::create_directories(folder / "Maps");
    ASSERT_TRUE(headless::saveFrame((folder / "Maps" / "Coast.png").string()));
    apply("1;Coast");
    GpImage* picture = world.mapImage->decoded()->image.get();
    ASSERT_NE(picture, nullptr);

    apply("1;.hidden");
    EXPECT_EQ(world.mapName, ".hidden");
    EXPECT_EQ(world.mapImage->decoded()->image.get(), picture);
    apply("1;..\\..\\x");
    EXPECT_EQ(world.mapImage->decoded()->image.get(), picture);
    apply("1");
    EXPECT_EQ(world.mapName, "");
    EXPECT_EQ(world.mapImage->decoded()->image.get(), picture);
}

TEST_F(InterpreterTest, MapNameOutsideMapsClearsThePicture)
{
    hooks = screenHooks;
    std::filesystem::create_directories(folder / "Maps");
    ASSERT_TRUE(headless::saveFrame((folder / "Maps" / "Coast.png").string()));
    for (const char* name : {"sub/Coast", "x\\..\\y", "C:Coast", "/tmp/Coast"}) {
        apply("1;Coast");
        ASSERT_TRUE(world.mapImage);
        apply(std::string("1;") + name);
        EXPECT_FALSE(world.mapImage) << name;
        EXPECT_EQ(world.mapName, name);
    }
}

TEST_F(InterpreterTest, MapBaseNameIsCutTo127)
{
    hooks = screenHooks;
    const std::string base(127, 'M');
    std::filesystem::create_directories(folder / "Maps");
    ASSERT_TRUE(headless::saveFrame((folder / "Maps" / (base + ".png")).string()));
    apply("1;" + base + "MMMMMMMM.map");
    ASSERT_TRUE(world.mapImage);
    EXPECT_NE(world.mapImage->decoded()->image.get(), nullptr);
    EXPECT_EQ(world.mapName, base + "MMMMMMMM.map");
}

TEST_F(InterpreterTest, PicturePathOverItsLimitNamesNoFile)
{
    hooks = screenHooks;
    std::filesystem::create_directories(folder / "Maps");
    ASSERT_TRUE(headless::saveFrame((folder / "Maps" / "Coast.png").string()));
    apply("1;Coast");
    ASSERT_TRUE(world.mapImage);
    headless::setProgramFolder("/" + std::string(400, 'f'));
    EXPECT_TRUE(mapPicturePath(executableFolder(), std::string(100, 'M')));
    EXPECT_FALSE(mapPicturePath(executableFolder(), std::string(127, 'M')));
    EXPECT_FALSE(iconPath(executableFolder(), std::string(127, 'C')));
    apply("1;" + std::string(127, 'M'));
    EXPECT_FALSE(world.mapImage);
}

// [SECTION] Clock, title, end of game

TEST_F(InterpreterTest, ConfigSetsClockAndTitle)
{
    world.clockSeconds = 42;
    apply("CONFIG;25;Title");
    EXPECT_EQ(world.clockMinutes, 25);
    EXPECT_EQ(world.clockSeconds, 0);
    EXPECT_EQ(world.configTitle, "Title");
    apply("CONFIG;99999999999;" + std::string(600, 't'));
    EXPECT_EQ(world.clockMinutes, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(world.configTitle, std::string(511, 't'));
}

TEST_F(InterpreterTest, WinAsksPlaybackToStopAndChangesNothingElse)
{
    createSoldier(world, 1, 0, 0, 1, "Ann");
    const World before = world;
    std::optional<SplitLine> win = splitLine("[1:00:00] WIN;1");
    ASSERT_TRUE(win);
    EXPECT_EQ(applyEvent(world, win->fields, msPerLogSecond, hooks), EventEffect::stopPlayback);
    EXPECT_EQ(world, before);
}

// [SECTION] Chat

TEST_F(InterpreterTest, ChatLinesCarryTextAndSideByte)
{
    createSoldier(world, 1, 0, 0, 1, "Ann");
    createSoldier(world, 2, 0, 0, -1, "Bob");
    createSoldier(world, 3, 0, 0, 258, "Cy");
    apply("CHAT;PUBLIC;1;hello there");
    apply("CHAT;TEAM;2;go;left");
    apply("CHAT;TEAM;3;x");
    ASSERT_TRUE(world.chatLines[0] && world.chatLines[1] && world.chatLines[2]);
    EXPECT_EQ(world.chatLines[0]->text, "Ann: hello there");
    EXPECT_EQ(world.chatLines[0]->side, 1);
    EXPECT_EQ(world.chatLines[1]->text, "Bob [TEAM]: go");
    EXPECT_EQ(world.chatLines[1]->side, 255);
    EXPECT_EQ(world.chatLines[2]->side, 2);
    EXPECT_FALSE(world.chatLines[3]);

    // No speaker, or another channel: nothing.
    apply("CHAT;PUBLIC;9;nobody");
    apply("CHAT;ALL;1;other");
    EXPECT_FALSE(world.chatLines[3]);
}

TEST_F(InterpreterTest, SeventhChatLinePushesTheOldestOut)
{
    createSoldier(world, 1, 0, 0, 0, "A");
    for (int line = 1; line <= 7; ++line)
        apply("CHAT;PUBLIC;1;line " + std::to_string(line));
    for (int slot = 0; slot < 6; ++slot) {
        ASSERT_TRUE(world.chatLines[slot]);
        EXPECT_EQ(world.chatLines[slot]->text, "A: line " + std::to_string(slot + 2));
    }
}

TEST_F(InterpreterTest, ChatLineIsCutTo511)
{
    createSoldier(world, 1, 0, 0, 0, std::string(400, 'n'));
    apply("CHAT;TEAM;1;" + std::string(500, 'm'));
    ASSERT_TRUE(world.chatLines[0]);
    EXPECT_EQ(world.chatLines[0]->text.size(), 511u);
    EXPECT_EQ(world.chatLines[0]->text.substr(400, 9), " [TEAM]: ");
}

// [SECTION] Passengers

TEST_F(InterpreterTest, EnterAndExit)
{
    createSoldier(world, 1, 0, 0);
    createSoldier(world, 2, 0, 0);
    createVehicle(world, 9, 0, 0);
    SoldierRecord* first = world.soldierList.items[0];
    const VehicleRecord& vehicle = *world.vehicleList.items[0];

    // The vehicle comes from field 1 and the soldier from field 6; fields 2 to 5 do not count.
    apply("ENTER;9;2;2;2;2;1");
    apply("ENTER;9;x;x;x;x;1");
    apply("ENTER;9;x;x;x;x;2");
    EXPECT_EQ(first->aboard, 1);
    EXPECT_EQ(ids(vehicle.passengers), (std::vector<int>{1, 1, 2}));

    apply("EXIT;9;x;x;x;x;1");
    EXPECT_EQ(first->aboard, 0);
    EXPECT_EQ(ids(vehicle.passengers), std::vector<int>{2});
    EXPECT_EQ(world.records.size(), 3u);

    // Without the vehicle the soldier still gets off; without the soldier nobody gets on.
    apply("EXIT;77;x;x;x;x;2");
    EXPECT_EQ(world.soldierList.items[1]->aboard, 0);
    EXPECT_EQ(ids(vehicle.passengers), std::vector<int>{2});
    apply("ENTER;77;x;x;x;x;1");
    apply("ENTER;9;x;x;x;x;77");
    EXPECT_EQ(first->aboard, 0);
    EXPECT_EQ(ids(vehicle.passengers), std::vector<int>{2});
}

// [SECTION] Lines that change nothing

TEST_F(InterpreterTest, KeywordsMatchWholeAndCaseSensitive)
{
    apply("created;SOLDIER;1;C;0;0;0;0;1;1;0;N");
    apply("CREATED ;SOLDIER;1;C;0;0;0;0;1;1;0;N");
    apply("CREATED;soldier;1;C;0;0;0;0;1;1;0;N");
    apply("CREATED;TANK;1;C;0;0;0;0;1;1;0;N");
    apply("KILLED;SOLDIER;1");
    apply("HELLO;1;2");
    EXPECT_EQ(world.entityList.size(), 0);
    EXPECT_TRUE(world.records.empty());

    // Ids compare as integers once read.
    apply("CREATED;SOLDIER;017;C;0;0;0;0;1;1;0;N");
    apply("DESTROYED;SOLDIER; 17abc");
    EXPECT_EQ(world.soldierList.size(), 0);
}

TEST_F(InterpreterTest, HostileLinesCrashNothing)
{
    apply("CREATED;SOLDIER;" + std::string(10000, '9') + ";C;" + std::string(10000, '9') + ";0;0;0;1;1;0;N");
    ASSERT_EQ(world.soldierList.size(), 1);
    EXPECT_EQ(world.soldierList.items[0]->id, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(world.soldierList.items[0]->posY, std::numeric_limits<float>::infinity());

    const std::string hugeLine = "[1:0:0] CHAT;PUBLIC;2147483647;" + std::string(100 * 1024, 'x');
    std::optional<SplitLine> huge = splitLine(hugeLine);
    ASSERT_TRUE(huge);
    applyEvent(world, huge->fields, msPerLogSecond, hooks);
    ASSERT_TRUE(world.chatLines[0]);
    EXPECT_EQ(world.chatLines[0]->text.size(), 511u);

    const std::string nulLine = "[1:0:0] " + std::string(100, '\0');
    std::optional<SplitLine> nuls = splitLine(nulLine);
    ASSERT_TRUE(nuls);
    applyEvent(world, nuls->fields, msPerLogSecond, hooks);
    applyEvent(world, Fields{}, msPerLogSecond, hooks);
    EXPECT_EQ(world.soldierList.size(), 1);
    EXPECT_FALSE(world.mapName);
}
