// Tests of the map calibration loaded from Kelo.ini and of the profile reader under it: key order, "ERR" as
// missing, flags and numbers, the Windows profile rules for names, blanks, quotes, comments and CRLF files, and
// every version of the file seen although it is parsed once per version.
#include <chrono>
#include <filesystem>
#include <string>

#include "app/calibration.h"
#include "app/screen_hooks.h"
#include "seam/platform.h"
#include "tests/kelo_test.h"
#include "world/interpreter.h"
#include "world/program_files.h"

namespace {

// Stamps the file with the time, which the file system must keep to the nanosecond: two versions written within
// one tick of a coarse file system clock are told apart by their stamps.
void stamp(const std::string& path, std::filesystem::file_time_type time)
{
    std::filesystem::last_write_time(path, time);
    ASSERT_EQ(std::filesystem::last_write_time(path), time) << "the file system must keep nanoseconds";
}

std::filesystem::file_time_type thisSecond()
{
    return std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now());
}

std::string section(const std::string& name, const std::string& offsetY = "OffsetY=6\n")
{
    return "[" + name + "]\nInvertY=true\nInvertX=1\nScaleX=2.5\nScaleY=-3e1\nOffsetX=5x\n" + offsetY
         + "RotationOffset=90\n";
}

}  // namespace

// [SECTION] loadCalibration

using CalibrationTest = KeloTest;

TEST_F(CalibrationTest, ReadsTheSevenKeysOfTheMapsSection)
{
    writeFile("Kelo.ini", section("Other") + section("Coast.map"));
    viewer.world.mapName = "coast.MAP";
    ASSERT_TRUE(loadCalibration(viewer.world));
    EXPECT_TRUE(viewer.world.calibration.invertY);
    EXPECT_TRUE(viewer.world.calibration.invertX);
    EXPECT_FLOAT_EQ(viewer.world.calibration.scaleX, 2.5f);
    EXPECT_FLOAT_EQ(viewer.world.calibration.scaleY, -30);
    EXPECT_FLOAT_EQ(viewer.world.calibration.offsetX, 5);
    EXPECT_FLOAT_EQ(viewer.world.calibration.offsetY, 6);
    EXPECT_FLOAT_EQ(viewer.world.calibration.rotationOffset, 90);

    // The file is read anew at every call.
    writeFile("Kelo.ini", "[Coast.map]\nInvertY=no\nInvertX=0\nScaleX=x\nScaleY=1\nOffsetX=1\nOffsetY=1\n"
                          "RotationOffset=-45.5\n");
    ASSERT_TRUE(loadCalibration(viewer.world));
    EXPECT_FALSE(viewer.world.calibration.invertY);
    EXPECT_FALSE(viewer.world.calibration.invertX);
    EXPECT_EQ(viewer.world.calibration.scaleX, 0);
    EXPECT_FLOAT_EQ(viewer.world.calibration.rotationOffset, -45.5f);
}

TEST_F(CalibrationTest, FlagValues)
{
    viewer.world.mapName = "M";
    for (const char* value : {"true", "TRUE", "True", "1", " 1 ", "\"tRuE\""}) {
        writeFile("Kelo.ini", std::string("[M]\nInvertY=") + value + "\n");
        viewer.world.calibration.invertY = false;
        loadCalibration(viewer.world);
        EXPECT_TRUE(viewer.world.calibration.invertY) << value;
    }
    for (const char* value : {"yes", "0", "", "1.0", "true1", "01", "err"}) {
        writeFile("Kelo.ini", std::string("[M]\nInvertY=") + value + "\n");
        viewer.world.calibration.invertY = true;
        loadCalibration(viewer.world);
        EXPECT_FALSE(viewer.world.calibration.invertY) << value;
    }
}

TEST_F(CalibrationTest, ErrCountsAsMissingButErrDoesNot)
{
    viewer.world.mapName = "M";
    viewer.world.calibration.scaleY = 7;
    const auto second = thisSecond();
    const std::string path = writeFile(
        "Kelo.ini", "[M]\nInvertY=1\nInvertX=1\nScaleX=4\nScaleY=ERR\nOffsetX=1\nOffsetY=1\nRotationOffset=1\n");
    stamp(path, second + std::chrono::nanoseconds(100));
    EXPECT_FALSE(loadCalibration(viewer.world));
    EXPECT_FLOAT_EQ(viewer.world.calibration.scaleX, 4);
    EXPECT_FLOAT_EQ(viewer.world.calibration.scaleY, 7);
    EXPECT_EQ(viewer.world.calibration.offsetX, 0);

    writeFile("Kelo.ini", "[M]\nInvertY=1\nInvertX=1\nScaleX=4\nScaleY=err\nOffsetX=1\nOffsetY=1\nRotationOffset=1\n");
    stamp(path, second + std::chrono::nanoseconds(200));
    EXPECT_TRUE(loadCalibration(viewer.world));
    EXPECT_EQ(viewer.world.calibration.scaleY, 0);
}

TEST_F(CalibrationTest, SectionLackingOffsetYKeepsTheLaterValues)
{
    viewer.world.calibration.offsetY = 11;
    viewer.world.calibration.rotationOffset = 12;
    writeFile("Kelo.ini", section("Coast", ""));
    applyEvent(viewer.world, Fields("1;Coast"), viewer.playback.msPerLogSecond, screenHooks);
    EXPECT_EQ(viewer.world.statusMessage, "Error loading Kelo.ini");
    EXPECT_TRUE(viewer.world.calibration.invertY);
    EXPECT_FLOAT_EQ(viewer.world.calibration.scaleY, -30);
    EXPECT_FLOAT_EQ(viewer.world.calibration.offsetX, 5);
    EXPECT_FLOAT_EQ(viewer.world.calibration.offsetY, 11);
    EXPECT_FLOAT_EQ(viewer.world.calibration.rotationOffset, 12);
}

TEST_F(CalibrationTest, MissingFileOrMapChangesNothing)
{
    viewer.world.calibration.scaleX = 3;
    viewer.world.mapName = "Coast";
    EXPECT_FALSE(loadCalibration(viewer.world));
    viewer.world.mapName.reset();
    writeFile("Kelo.ini", section(""));
    EXPECT_FALSE(loadCalibration(viewer.world));
    EXPECT_FLOAT_EQ(viewer.world.calibration.scaleX, 3);
}

TEST_F(CalibrationTest, SettingsFileLiesBesideTheProgram)
{
    EXPECT_EQ(settingsPath(executableFolder()), (folder / "Kelo.ini").string());
    EXPECT_EQ(iconPath(executableFolder(), "Truck"), (folder / "Presets" / "Truck.png").string());
    EXPECT_EQ(mapPicturePath(executableFolder(), "Coast"), (folder / "Maps" / "Coast.png").string());
    for (const char* name : {"", "a/b", "a\\b", "C:x", "..", "x..y"}) {
        EXPECT_FALSE(iconPath(executableFolder(), name)) << name;
        EXPECT_FALSE(mapPicturePath(executableFolder(), name)) << name;
    }
}

// [SECTION] The profile reader

using ProfileReaderTest = KeloTest;

TEST_F(ProfileReaderTest, NamesIgnoreCaseAndBlanksAreTrimmed)
{
    const std::string path = writeFile("a.ini", "[Map One]\n  scalex =  2.5  \n\tOffsetY\t=\t-1\t\n");
    EXPECT_EQ(readProfileString("MAP ONE", "ScaleX", "ERR", path), "2.5");
    EXPECT_EQ(readProfileString("map one", "OFFSETY", "ERR", path), "-1");
    EXPECT_EQ(readProfileString("Map  One", "ScaleX", "ERR", path), "ERR");
}

TEST_F(ProfileReaderTest, QuotesCommentsAndFirstKey)
{
    const std::string path = writeFile("a.ini", "[S]\n;A=commented\n  ; B=commented\nA=\"quoted value\"\nB='x'\n"
                                                "C=\"x'\nD=\"\"x\"\"\nE=\"\nA=second\nF=\nG=a=b\n");
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "quoted value");
    EXPECT_EQ(readProfileString("S", "B", "ERR", path), "x");
    EXPECT_EQ(readProfileString("S", "C", "ERR", path), "\"x'");
    EXPECT_EQ(readProfileString("S", "D", "ERR", path), "\"x\"");
    EXPECT_EQ(readProfileString("S", "E", "ERR", path), "\"");
    EXPECT_EQ(readProfileString("S", "F", "ERR", path), "");
    EXPECT_EQ(readProfileString("S", "G", "ERR", path), "a=b");
    EXPECT_EQ(readProfileString("S", ";A", "ERR", path), "ERR");
}

TEST_F(ProfileReaderTest, MissingFileSectionOrKeyGivesTheDefault)
{
    const std::string path = writeFile("a.ini", "Orphan=1\n[S]\nA=1\nNoValue\n[T]\nB=2\n[Broken\nC=4\n[S]\nB=3\n");
    EXPECT_EQ(readProfileString("S", "A", "ERR", (folder / "missing.ini").string()), "ERR");
    EXPECT_EQ(readProfileString("U", "A", "ERR", path), "ERR");
    EXPECT_EQ(readProfileString("S", "Orphan", "ERR", path), "ERR");
    EXPECT_EQ(readProfileString("S", "NoValue", "ERR", path), "ERR");
    // Keys of the next section, and of a later section of the same name, are not the section's own.
    EXPECT_EQ(readProfileString("S", "B", "ERR", path), "ERR");
    EXPECT_EQ(readProfileString("T", "B", "ERR", path), "2");
    EXPECT_EQ(readProfileString("T", "C", "ERR", path), "4");
}

TEST_F(ProfileReaderTest, CrlfFilesByteOrderMarkAndLongValues)
{
    const std::string path =
        writeFile("a.ini", "\xEF\xBB\xBF[S]\r\nA=1\r\nB=\"two\"\r\n\r\nLong=" + std::string(300, 'v') + "\r\n");
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "1");
    EXPECT_EQ(readProfileString("S", "B", "ERR", path), "two");
    EXPECT_EQ(readProfileString("S", "Long", "ERR", path), std::string(255, 'v'));
}

// [SECTION] Versions of the file

TEST_F(ProfileReaderTest, RewriteOfTheSameSizeWithinOneSecondIsSeen)
{
    const auto second = thisSecond();
    const std::string path = writeFile("a.ini", "[S]\nA=1\n");
    stamp(path, second + std::chrono::nanoseconds(100));
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "1");
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "1");

    const auto size = std::filesystem::file_size(path);
    writeFile("a.ini", "[S]\nA=2\n");
    ASSERT_EQ(std::filesystem::file_size(path), size);
    stamp(path, second + std::chrono::nanoseconds(200));
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "2");
    // A version whose stamp goes back is a version too.
    writeFile("a.ini", "[S]\nA=3\n");
    stamp(path, second + std::chrono::nanoseconds(150));
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "3");
}

TEST_F(ProfileReaderTest, RemovedAddedAndReplacedFilesAreSeen)
{
    const auto second = thisSecond();
    const std::string path = writeFile("a.ini", "[S]\nA=1\n");
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "1");
    std::filesystem::remove(path);
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "ERR");
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "ERR");
    writeFile("a.ini", "[S]\nA=4\n");
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "4");

    // Another file of the same size and stamp moved over it: a new file, though nothing else tells it apart.
    stamp(path, second);
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "4");
    const std::string other = writeFile("b.ini", "[S]\nA=5\n");
    stamp(other, second);
    std::filesystem::rename(other, path);
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "5");

    // Files at two paths, read in turn, each give their own values.
    const std::string third = writeFile("c.ini", "[S]\nA=6\n");
    EXPECT_EQ(readProfileString("S", "A", "ERR", third), "6");
    EXPECT_EQ(readProfileString("S", "A", "ERR", path), "5");
    EXPECT_EQ(readProfileString("S", "A", "ERR", third), "6");
}
