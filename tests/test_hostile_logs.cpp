// Hostile replay logs played on the headless backend: garbage bytes, lines of separators, stamps at and beyond the
// 32-bit bounds, a hundred thousand records of one id, endless boarding, a world holding values that are no numbers,
// a log cut short or grown while it plays, files that are no logs and lines longer than a step reads. Each plays to
// its end, or as far as it should, with sound references.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/playback.h"
#include "app/seek.h"
#include "app/shell.h"
#include "tests/builders.h"
#include "tests/kelo_test.h"
#include "tests/world_invariants.h"
#include "world/log_step.h"
#include "world/log_time.h"

namespace {

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();

class HostileLogTest : public KeloTest {
protected:
    // Plays the open log a line at a time, paused, as the key "." steps it (no glides run, as none would between
    // lines that share a stamp), with a frame composed every `frameEvery` lines, until the data ends; the lines
    // stepped, the one that met the end included, at most `bound`.
    int playToTheEnd(int bound, int frameEvery = 0)
    {
        stopPlayback();
        viewer.playback.playbackPaused = 1;
        const std::size_t endsBefore = noMoreDataBoxes();
        int steps = 0;
        for (; steps < bound && noMoreDataBoxes() == endsBefore; ++steps) {
            stepLines(1);
            EXPECT_EQ(brokenReference(viewer.world), "") << "after step " << steps + 1;
            if (frameEvery > 0 && steps % frameEvery == 0)
                composeFrame();
        }
        return steps;
    }

    std::size_t noMoreDataBoxes() const
    {
        std::size_t count = 0;
        for (const headless::MessageBox& box : headless::messages())
            count += box.text == "No more data";
        return count;
    }

    // The steps a log takes to its end: one a line, and the data ends at a line that is empty (it opened with a
    // NUL byte) or at the last one.
    std::size_t stepsOf(const std::string& path) const
    {
        std::optional<LineReader> reader = openLogFile(path);
        std::size_t steps = 0;
        while (std::optional<std::string> line = reader->read()) {
            ++steps;
            if (line->empty())
                break;
        }
        return steps;
    }
};

// Lines made of the log's own words, numbers at their bounds and random bytes, so that the garbage reaches every
// event; a random byte of 0 makes a line end early, and the data end at a line that opens with one.
std::string garbageLog(std::mt19937& random, std::size_t lines, bool withNul)
{
    const std::vector<std::string> words = {
        "CREATED",        "DESTROYED",   "SOLDIER", "VEHICLE", "BUILDING", "OBJECT", "POS",
        "DAMAGED",        "KILLED",      "CHAT",    "PUBLIC",  "TEAM",     "ENTER",  "EXIT",
        "CONFIG",         "WIN",         "1",       "2",       "7",        "-1",     "2147483647",
        "-2147483648",    "99999999999", "nan",     "inf",     "-0",       "1e39",   "0x1p3",
        "Brackwater.map", "..",          "",
    };
    std::string log;
    for (std::size_t i = 0; i < lines; ++i) {
        if (random() % 4 != 0)
            log += "[" + std::to_string(static_cast<int>(random() % 50) - 5) + ":" + std::to_string(random() % 70) + ":"
                 + std::to_string(random() % 70) + "] ";
        for (std::size_t field = random() % 14; field > 0; --field) {
            if (random() % 3 == 0) {
                for (std::size_t n = random() % 12; n > 0; --n) {
                    const char byte = static_cast<char>(random());
                    log += withNul || byte != '\0' ? byte : 'x';
                }
            } else {
                log += words[random() % words.size()];
            }
            log += random() % 8 == 0 ? "" : ";";
        }
        log += random() % 10 == 0 ? "\r\n" : "\n";
    }
    return log;
}

}  // namespace

// [SECTION] Garbage

TEST_F(HostileLogTest, GarbageWithoutNulPlaysEveryLineToTheEnd)
{
    std::mt19937 random(20261207);
    const std::string path = writeFile("garbage.log", garbageLog(random, 3000, false));
    openReplayLog(path);
    const std::size_t steps = stepsOf(path);
    ASSERT_GT(steps, 2000u);
    EXPECT_EQ(static_cast<std::size_t>(playToTheEnd(10000, 97)), steps);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    composeFrame();
}

TEST_F(HostileLogTest, GarbageBytesEndAtTheFirstLineOpeningWithNul)
{
    std::mt19937 random(7);
    std::string bytes(512 * 1024, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() % 64 == 0 ? '\n' : random());
    const std::string path = writeFile("bytes.log", bytes);
    const std::string mixed = writeFile("mixed.log", garbageLog(random, 3000, true));
    for (const std::string& log : {path, mixed}) {
        headless::reset();
        headless::setProgramFolder(folder.string());
        openReplayLog(log);
        const std::size_t steps = stepsOf(log);
        EXPECT_EQ(static_cast<std::size_t>(playToTheEnd(100000, 211)), steps) << log;
        EXPECT_EQ(noMoreDataBoxes(), 1u) << log;
    }
}

// [SECTION] Separators and stamps

TEST_F(HostileLogTest, TenThousandSeparatorsInALine)
{
    const std::string semicolons(10000, ';');
    std::string pairs;
    for (int i = 0; i < 5000; ++i)
        pairs += "x;";
    openReplayLog(writeFile("separators.log", "[1:0:0] " + semicolons + "\n[1:0:0] CREATED;SOLDIER;4;" + semicolons
                                                  + "\n[1:0:0] CHAT;PUBLIC;4;" + pairs + "\n[1:0:0] " + pairs
                                                  + "\n[1:0:0] CONFIG;3;" + pairs + "\n"));
    EXPECT_EQ(playToTheEnd(10, 1), 5);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    // An empty field ends the split: the soldier has an id and nothing more, the texts end at their first ";".
    ASSERT_EQ(viewer.world.soldierList.size(), 1);
    EXPECT_EQ(viewer.world.soldierList.items[0]->id, 4);
    EXPECT_EQ(viewer.world.soldierList.items[0]->className, "");
    ASSERT_TRUE(viewer.world.chatLines[0]);
    EXPECT_EQ(viewer.world.chatLines[0]->text, ": x");
    EXPECT_EQ(viewer.world.configTitle, "x");
    EXPECT_EQ(viewer.world.clockMinutes, 3);
}

TEST_F(HostileLogTest, StampsBeyondEveryBoundStillEndTheLog)
{
    const std::vector<std::string> stamps = {
        "[2147483647:-5:99999999]",
        "[-2147483648:-2147483648:-2147483648]",
        "[99999999999999999999:1:1]",
        "[2147483647:2147483647:2147483647]",
        "[0:0:0]",
        "[-99999999999999999999]",
        "no-stamp",
        "[12:0:0]",
    };
    std::string log;
    for (const std::string& stamp : stamps)
        log += stamp + " CONFIG;2147483647;title\n";
    openReplayLog(writeFile("stamps.log", log));
    // From 7.7e12 log seconds back to -7.7e12 and beyond: each line is due at a time the pace can hold, every wait
    // is a whole number of milliseconds within the timer's range, and the clock, counted down by those gaps, stays
    // within its own.
    std::vector<std::int32_t> periods;
    for (std::optional<std::int64_t> due; (due = headless::dueTime(playbackTimer));) {
        periods.push_back(headless::timerPeriod(playbackTimer));
        headless::passOver(movementTimer, *due);
        headless::passOver(repaintTimer, *due);
        headless::advance(*due - headless::now());
    }
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    EXPECT_EQ(viewer.world.configTitle, "title");
    // The open's millisecond, then a gap of -1.6e13 seconds (due at once) and one of 1.6e13 (as long as a timer can
    // wait, again and again, up to the longest wait the pace holds).
    ASSERT_GE(periods.size(), 3u);
    EXPECT_EQ(periods[0], 1);
    EXPECT_EQ(periods[1], int32Max);
    for (std::int32_t period : periods) {
        EXPECT_GE(period, 1);
        EXPECT_LE(period, int32Max);
    }
    EXPECT_GE(viewer.world.clockSeconds, -59);
    EXPECT_LE(viewer.world.clockSeconds, 59);
}

// [SECTION] Many records of one id

TEST_F(HostileLogTest, AHundredThousandRecordsOfOneIdComeAndGo)
{
    struct Kind {
        std::string word;
        std::string fields;
        std::size_t listed;  // records listed after the creations
    };
    const std::vector<Kind> kinds = {
        {"VEHICLE", "Truck;10;10;0;0;100;50;1", 100000},
        {"BUILDING", "Bunker;10;10;0;0;100;50;1", 100000},
        {"OBJECT", "Crate;10;10;0", 100000},
        // Each soldier of an id takes the place of the one before.
        {"SOLDIER", "Rifleman;10;10;0;0;100;50;1;Name", 1},
    };
    for (const Kind& kind : kinds) {
        std::string log;
        log.reserve(100001 * 60);
        for (int i = 0; i < 100000; ++i)
            log += "[1:0:0] CREATED;" + kind.word + ";7;" + kind.fields + "\n";
        log += "[1:0:0] DESTROYED;" + kind.word + ";7\n";
        LogCursor cursor;
        startLog(cursor, *openLogFile(writeFile("many.log", log)));
        World world;
        for (int i = 0; i < 100000; ++i)
            stepLog(cursor, world, 1000, WorldHooks{});
        EXPECT_EQ(world.records.size(), kind.listed) << kind.word;
        EXPECT_EQ(world.entityList.items.size(), kind.listed) << kind.word;
        EXPECT_EQ(brokenReference(world), "") << kind.word;
        const StepResult last = stepLog(cursor, world, 1000, WorldHooks{});
        EXPECT_TRUE(last.applied && !last.gap) << kind.word;
        EXPECT_TRUE(world.records.empty()) << kind.word;
        EXPECT_EQ(world.entityList.size(), 0) << kind.word;
        EXPECT_EQ(brokenReference(world), "") << kind.word;
    }
}

TEST_F(HostileLogTest, BoardingAndLeavingTensOfThousandsOfTimes)
{
    std::string log = "[1:0:0] CREATED;SOLDIER;1;Rifleman;10;10;0;0;100;50;1;Rider\n"
                      "[1:0:0] CREATED;VEHICLE;2;Truck;10;10;0;0;100;50;1\n";
    for (int i = 0; i < 10000; ++i)
        log += "[1:0:0] ENTER;2;-;-;-;-;1\n[1:0:0] EXIT;2;-;-;-;-;1\n";
    for (int i = 0; i < 1000; ++i)
        log += "[1:0:0] ENTER;2;-;-;-;-;1\n";
    openReplayLog(writeFile("boarding.log", log));
    EXPECT_EQ(playToTheEnd(2 + 20000), 2 + 20000);
    EXPECT_EQ(viewer.world.vehicleList.items[0]->passengers.size(), 0);
    EXPECT_EQ(viewer.world.soldierList.items[0]->aboard, 0);

    // Boarding again and again lists the rider again and again; the label lists each of them.
    EXPECT_EQ(playToTheEnd(1000), 1000);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    VehicleRecord& truck = *viewer.world.vehicleList.items[0];
    EXPECT_EQ(truck.passengers.size(), 1000);
    EXPECT_EQ(viewer.world.soldierList.items[0]->aboard, 1);
    pin(truck);
    composeFrame();

    // The truck goes: the rider is set down once and no passenger list is left pointing at anything.
    openReplayLog(writeFile("gone.log", log.substr(0, log.find("[1:0:0] ENTER")) + "[1:0:0] ENTER;2;-;-;-;-;1\n"
                                            + "[1:0:0] ENTER;2;-;-;-;-;1\n[1:0:0] DESTROYED;VEHICLE;2\n"
                                            + "[1:0:0] EXIT;2;-;-;-;-;1\n[1:0:0] ENTER;2;-;-;-;-;1\n"));
    EXPECT_EQ(playToTheEnd(10, 1), 7);
    EXPECT_EQ(viewer.world.vehicleList.size(), 0);
    EXPECT_EQ(viewer.world.soldierList.items[0]->aboard, 0);
    EXPECT_EQ(brokenReference(viewer.world), "");
}

// [SECTION] Values that are no numbers

TEST_F(HostileLogTest, AWorldHoldingValuesThatAreNoNumbersEqualsItsCopy)
{
    writeFile("Kelo.ini", "[Odd.map]\nInvertY=1\nInvertX=0\nScaleX=nan\nScaleY=-nan\nOffsetX=inf\nOffsetY=-0\n"
                          "RotationOffset=nan\n");
    openReplayLog(writeFile("nan.log", "[1:0:0] 1;Odd.map\n"
                                       "[1:0:0] CREATED;VEHICLE;3;Broken;100;100;1;0;1;1;0\n"
                                       "[1:0:0] POS;VEHICLE;3;Broken;1e39;nan;1;inf;nan;-nan\n"
                                       "[1:0:0] CREATED;SOLDIER;4;A;nan;-0;nan;nan;nan;nan;0;a\n"
                                       "[1:0:0] POS;SOLDIER;4;A;nan;nan;nan;nan;nan;nan\n"));
    EXPECT_EQ(playToTheEnd(10, 1), 5);
    ASSERT_TRUE(std::isnan(viewer.world.calibration.scaleX));
    ASSERT_TRUE(std::isnan(viewer.world.vehicleList.items[0]->glide.targetX));
    const World copy = viewer.world;
    EXPECT_TRUE(copy == viewer.world);
    EXPECT_EQ(brokenReference(copy), "");

    // Bits count: -0 is shown as such ("-0.000" in a label) and is not 0.
    World changed = viewer.world;
    changed.soldierList.items[0]->posX = 0.0f;
    EXPECT_FALSE(changed == viewer.world);
    changed = viewer.world;
    changed.calibration.offsetY = 0.0f;
    EXPECT_FALSE(changed == viewer.world);
}

// [SECTION] A log that changes while it plays

TEST_F(HostileLogTest, ALogCutShortWhileItPlaysEndsWhereItsReadPartEnds)
{
    // Longer than the reader's block, so that most of it is still to be read when the file is emptied.
    std::string log;
    for (int i = 1; i <= 8000; ++i)
        log += "[1:0:0] CREATED;OBJECT;" + std::to_string(i) + ";Crate;10;10;0\n";
    const std::string path = writeFile("shrinking.log", log);
    openReplayLog(path);
    EXPECT_EQ(playToTheEnd(100), 100);
    std::filesystem::resize_file(path, 0);
    const int rest = playToTheEnd(10000);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    // Only what had been read is played: the reader's first block (and at most what the C library buffered beyond
    // it), its last line cut where the reading ended.
    const auto linesWithin = [&log](std::size_t bytes) {
        return static_cast<int>(std::count(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(bytes), '\n'));
    };
    EXPECT_GE(100 + rest, linesWithin(65536) + 1);
    EXPECT_LE(100 + rest, linesWithin(65536 + 8192) + 1);
    for (std::size_t i = 0; i + 1 < viewer.world.entityList.items.size(); ++i)
        EXPECT_EQ(viewer.world.entityList.items[i]->id, static_cast<int>(i) + 1);
}

TEST_F(HostileLogTest, ALogGrowingWhileItPlaysPlaysWhatWasThereAndEnds)
{
    const std::string path = writeFile("growing.log", "[1:0:0] CREATED;OBJECT;1;Crate;10;10;0\n"
                                                      "[1:0:1] CREATED;OBJECT;2;Crate;10;10;0\n"
                                                      "[1:0:2] CREATED;OBJECT;3;Crate;10;10;0\n");
    openReplayLog(path);
    EXPECT_EQ(playToTheEnd(1), 1);
    {
        std::ofstream more(path, std::ios::binary | std::ios::app);
        for (int i = 4; i <= 2000; ++i)
            more << "[1:0:3] CREATED;OBJECT;" << i << ";Crate;10;10;0\n";
    }
    const int rest = playToTheEnd(5000, 50);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    EXPECT_GE(rest, 2);
    ASSERT_GE(viewer.world.entityList.items.size(), 3u);
    // Whatever of the new lines the reader still saw is played in order after the old ones.
    for (std::size_t i = 0; i < viewer.world.entityList.items.size(); ++i)
        EXPECT_EQ(viewer.world.entityList.items[i]->id, static_cast<int>(i) + 1);
}

// [SECTION] Files that are no logs

// A pipe without a writer would hold a plain open for ever (the test's timeout then fails it), and /dev/zero would be
// read for ever: both, and a folder, are turned away at once, as a missing file is.
TEST_F(HostileLogTest, OnlyARegularFileOpensAsALog)
{
    const std::string pipe = (folder / "pipe.log").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, std::string("/dev/zero"), folder.string(), (folder / "none.log").string()}) {
        EXPECT_FALSE(openLogFile(path)) << path;
        const std::size_t boxes = headless::messages().size();
        openReplayLog(path);
        ASSERT_EQ(headless::messages().size(), boxes + 1) << path;
        EXPECT_EQ(headless::messages().back().text, "Could not open file") << path;
        EXPECT_EQ(headless::messages().back().caption, "Error!") << path;
        EXPECT_FALSE(headless::timerArmed(playbackTimer)) << path;
        EXPECT_FALSE(viewer.playback.log.reader || viewer.playback.index || viewer.playback.trail) << path;
    }
    const std::string linked = (folder / "linked.log").string();
    std::filesystem::create_symlink(writeFile("real.log", "[1:0:0] KILLED;x\n"), linked);
    EXPECT_TRUE(openLogFile(linked));
}

// [SECTION] Lines longer than a step reads

// Lines of every length around a small read limit, runs of blanks and blank lines longer than it, carriage returns and
// NUL bytes, and first lines longer than it: stepped with that limit, a log gives what it gives when a step may read
// it whole, with steps between that only read and change nothing, and no step (nor the open) reads more than the limit.
TEST_F(HostileLogTest, AStepReadsAtMostItsLimitAndALineBeyondItChangesNothingUntilRead)
{
    constexpr std::int64_t limit = 1500;
    std::mt19937 random(31);
    std::string log = "[1:0:0] CREATED;SOLDIER;1;R;0;0;0;0;1;1;0;" + std::string(3 * limit, 'A') + "\n";
    for (int i = 0; i < 400; ++i) {
        const auto length = static_cast<std::size_t>(random() % (4 * limit));
        const std::string stamp = random() % 8 == 0 ? "" : "[1:0:" + std::to_string(i / 7 % 60) + "] ";
        switch (random() % 4) {
        case 0:
            log += stamp + "CREATED;OBJECT;" + std::to_string(i) + ";Crate;10;10;" + std::string(length, '7');
            break;
        case 1:
            log += stamp + "CHAT;PUBLIC;1;" + std::string(length, i % 3 == 0 ? '\0' : 'y');
            break;
        case 2:
            log += stamp + "DESTROYED;OBJECT;" + std::to_string(random() % (i + 1));
            break;
        default:
            log += std::string(length, " \n\t\r"[random() % 4]);
        }
        log += random() % 3 == 0 ? "\r\n" : "\n";
    }
    const std::string single = "[1:0:0] CHAT;PUBLIC;1;" + std::string(5 * limit, 'z');
    int readingSteps = 0;
    for (const std::string& contents : {log, single, "\n" + std::string(2 * limit, ' ') + single}) {
        const std::string path = writeFile("long-lines.log", contents);
        LogCursor whole;
        LogCursor bounded;
        bounded.readLimit = limit;
        startLog(whole, *openLogFile(path));
        startLog(bounded, *openLogFile(path));
        EXPECT_LE(bounded.reader->offset(), limit + 1);
        World wholeWorld;
        World boundedWorld;
        for (std::optional<std::int64_t> gap = 0; gap;) {
            const StepResult expected = stepLog(whole, wholeWorld, 1000, WorldHooks{});
            StepResult step;
            do {
                const World before = boundedWorld;
                const std::int64_t offset = bounded.reader->offset();
                step = stepLog(bounded, boundedWorld, 1000, WorldHooks{});
                ASSERT_LE(bounded.reader->offset() - offset, limit + 1) << "after line " << bounded.currentNumber;
                if (step.reading) {
                    ++readingSteps;
                    EXPECT_TRUE(!step.applied && step.gap == 0 && boundedWorld == before) << bounded.currentNumber;
                }
            } while (step.reading);
            ASSERT_EQ(step.applied, expected.applied) << "at line " << whole.currentNumber;
            ASSERT_EQ(step.gap, expected.gap) << "at line " << whole.currentNumber;
            ASSERT_TRUE(boundedWorld == wholeWorld) << "at line " << whole.currentNumber;
            ASSERT_EQ(bounded.currentLine, whole.currentLine);
            ASSERT_EQ(bounded.currentNumber, whole.currentNumber);
            // The look-ahead line may still be read on.
            if (linesRead(bounded)) {
                ASSERT_EQ(bounded.nextLine, whole.nextLine);
                ASSERT_EQ(bounded.nextNumber, whole.nextNumber);
            }
            gap = expected.gap;
        }
    }
    EXPECT_GT(readingSteps, 300);
}

// The reader's quick way through a usual line and its phases, which read a character at a time, read alike: random
// bytes rich in line ends, carriage returns, blanks and NUL bytes, across the 64 KiB block, read whole and with budgets
// of a few bytes (which leave almost every line to the phases), give the same lines, numbers and offsets.
TEST_F(HostileLogTest, ReadsOfAnyBudgetGiveTheSameLines)
{
    struct Read {
        std::string line;
        std::int64_t number;
        std::int64_t start;
        std::int64_t offset;
        bool operator==(const Read&) const = default;
    };
    std::mt19937 random(17);
    const std::string_view alphabet("ab[]: ;\n\n\n\r\r\t \0", 15);
    for (int round = 0; round < 4; ++round) {
        std::string contents;
        while (contents.size() < 70000 + static_cast<std::size_t>(round) * 20000) {
            const std::size_t run = random() % 64 == 0 ? random() % 1500 : 1;
            contents.append(run, alphabet[random() % alphabet.size()]);
        }
        const std::string path = writeFile("bytes.log", contents);
        auto readAll = [&](bool small) {
            std::vector<Read> reads;
            LineReader reader = std::move(*openLogFile(path));
            std::string line;
            for (;;) {
                std::int64_t budget = small ? 1 + random() % 4 : std::numeric_limits<std::int64_t>::max();
                const ReadStatus status = reader.read(line, budget);
                if (status == ReadStatus::unfinished)
                    continue;
                if (status != ReadStatus::line)
                    return reads;
                reads.push_back({line, reader.lastLineNumber(), reader.lineStart(), reader.offset()});
            }
        };
        const std::vector<Read> whole = readAll(false);
        EXPECT_GT(whole.size(), 500u) << round;
        EXPECT_TRUE(whole == readAll(true)) << round;
    }
}

// A line of 48 MB (a hole of a sparse file, which takes no disk) between two short ones, through the viewer's own
// open, playback timer, trail, index and seek: no playback step reads more than a step's limit, the world stays as it
// was while the line is read, and the lines after it play, are indexed and are sought to.
TEST_F(HostileLogTest, AHugeLineIsReadAcrossPlaybackStepsThatChangeNothing)
{
    const std::string path = (folder / "hole.log").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "[1:0:0] CREATED;SOLDIER;1;R;0;0;0;0;1;1;0;A\n[1:0:1] CHAT;PUBLIC;1;long";
        out.seekp(std::streamoff{48} << 20, std::ios::cur);
        out << "\n[1:0:2] CHAT;PUBLIC;1;after\n";
    }
    openReplayLog(path);
    const LogCursor& log = viewer.playback.log;
    ASSERT_TRUE(log.reader);
    EXPECT_LE(log.reader->offset(), stepReadLimit + 1);
    int readingSteps = 0;
    for (std::optional<std::int64_t> due; (due = headless::dueTime(playbackTimer));) {
        const World before = viewer.world;
        const std::int64_t offset = log.reader->offset();
        const bool reading = !linesRead(log);
        ASSERT_LT(readingSteps, 100);
        headless::passOver(movementTimer, *due);
        headless::passOver(repaintTimer, *due);
        headless::advance(*due - headless::now());
        EXPECT_LE(log.reader->offset() - offset, stepReadLimit + 1);
        if (reading) {
            ++readingSteps;
            EXPECT_TRUE(viewer.world == before);
        }
    }
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    EXPECT_GE(readingSteps, 2);
    ASSERT_TRUE(viewer.world.chatLines[1]);
    EXPECT_EQ(viewer.world.chatLines[0]->text, "A: long");
    EXPECT_EQ(viewer.world.chatLines[1]->text, "A: after");
    EXPECT_TRUE(viewer.playback.trail) << "the trail kept step with playback";

    const auto index = viewer.playback.index->waitFor(std::numeric_limits<double>::infinity());
    EXPECT_TRUE(index->complete);
    EXPECT_EQ(index->lines, 3);
    EXPECT_EQ(index->scannedS, 2);
    seekTo(1.5);
    finishSeek();
    EXPECT_EQ(logTimeNow(), 2);
    ASSERT_TRUE(viewer.world.chatLines[0]);
    EXPECT_EQ(viewer.world.chatLines[0]->text, "A: long");
    EXPECT_FALSE(viewer.world.chatLines[1]);
    EXPECT_TRUE(viewer.playback.trail);
}
