// Tests of the replay reader and playback clock on the virtual clock: line reading, periods, the twelve-hour
// wrap, the countdown, the end of data, opening, re-opening, pause and resume.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "app/playback.h"
#include "app/seek.h"
#include "app/timers.h"
#include "tests/kelo_test.h"
#include "world/world_model.h"

namespace {

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();

class PlaybackTest : public KeloTest {
protected:
    // Writes the log into the scratch folder and opens it as the replay log.
    void openLog(const std::string& contents) { openReplayLog(writeFile("replay.log", contents)); }

    // Every line the reader yields from the contents until it yields nothing, then one more read.
    std::vector<std::optional<std::string>> readAll(const std::string& contents)
    {
        LineReader reader(std::fopen(writeFile("lines.log", contents).c_str(), "r"));
        std::vector<std::optional<std::string>> lines;
        do
            lines.push_back(reader.read());
        while (lines.back());
        lines.push_back(reader.read());
        return lines;
    }

    // What the Pause button does.
    void pause() { pausePlayback(); }

    std::size_t noMoreDataBoxes()
    {
        std::size_t count = 0;
        for (const headless::MessageBox& box : headless::messages())
            count += box.text == "No more data" && box.caption == "Error";
        return count;
    }
};

using Lines = std::vector<std::optional<std::string>>;
const std::nullopt_t none = std::nullopt;

}  // namespace

// [SECTION] Reading lines

TEST_F(PlaybackTest, BlankLinesAndLeadingWhiteSpaceAfterALineAreSkipped)
{
    EXPECT_EQ(readAll("[0:00:01] A\n\n \t\n\t  [0:00:02] B;x y\n\n"),
              (Lines{"[0:00:01] A", "[0:00:02] B;x y", none, none}));
    EXPECT_EQ(readAll("[0:00:01] A\n[0:00:02] B"), (Lines{"[0:00:01] A", "[0:00:02] B", none, none}));
    // Before the first line too: a log that starts with a newline or blanks loses nothing.
    EXPECT_EQ(readAll("  [0:00:01] A\n"), (Lines{"[0:00:01] A", none, none}));
    EXPECT_EQ(readAll("\n[0:00:01] A\n"), (Lines{"[0:00:01] A", none, none}));
    EXPECT_EQ(readAll("\r\n \t\r\n[0:00:01] A\r\n"), (Lines{"[0:00:01] A", none, none}));
    EXPECT_EQ(readAll(""), (Lines{none, none}));
    EXPECT_EQ(readAll("\n\n \n"), (Lines{none, none}));
}

TEST_F(PlaybackTest, CarriageReturnsBeforeLineFeedsAreDropped)
{
    EXPECT_EQ(readAll("[0:00:01] A\r\n\r\n[0:00:02] B\rC\r\n[0:00:03] D\r\r\n"),
              (Lines{"[0:00:01] A", "[0:00:02] B\rC", "[0:00:03] D\r", none, none}));
}

TEST_F(PlaybackTest, OverlongLinesAreCutAndTheirRestIsNeverALine)
{
    std::string exact(1023, 'e');
    std::string huge(100 * 1024, 'h');
    EXPECT_EQ(readAll(exact + "\n" + exact + "x\n" + huge + "\r\n[0:00:02] B\n"),
              (Lines{exact, exact, std::string(1023, 'h'), "[0:00:02] B", none, none}));
}

TEST_F(PlaybackTest, ALineEndsAtItsFirstNulByte)
{
    using namespace std::string_literals;
    EXPECT_EQ(readAll("ab\0cd\nef\n\0gh\nij"s), (Lines{"ab", "ef", "", "ij", none, none}));
}

// [SECTION] Periods and the countdown clock

TEST_F(PlaybackTest, LinesAreDueAtTheirScaledLogTimeWithNothingAddedAndNoOverflow)
{
    const PlaybackPace pace{500, 2000};  // log time 2 s reached at 500 ms
    EXPECT_EQ(dueMs(pace, 5, 1000), 3500);
    EXPECT_EQ(dueMs(pace, 5, 4000), 12500);
    EXPECT_EQ(dueMs(pace, 2, 125), 500);
    EXPECT_EQ(dueMs(pace, 1, 1000), 500);  // behind the origin: due at once
    EXPECT_EQ(dueMs(pace, 3602, 15), 500 + 56250);  // 64x: an hour of log in 56.25 s
    EXPECT_EQ(dueMs(pace, 3602, 31), 500 + 112500);
    EXPECT_EQ(dueMs(pace, 3602, 62), 500 + 225000);
    EXPECT_EQ(dueMs(pace, std::numeric_limits<std::int64_t>::max(), 4000),
              500 + (std::int64_t{4'294'967'000} - 2000) * 4);
    EXPECT_EQ(logMsAt(pace, 500 + 56250, 15), 2000 + 3600000);
    EXPECT_EQ(logMsAt(pace, 0, 1000), 2000);
}

TEST_F(PlaybackTest, TheCountdownTruncatesTowardZeroAndSaturates)
{
    struct Row {
        std::int32_t minutes, seconds;
        std::int64_t gap;
        std::int32_t afterMinutes, afterSeconds;
    };
    const Row rows[] = {{10, 0, 75, 8, 45},
                        {0, 30, 45, 0, -15},
                        {0, 0, 130, -2, -10},
                        {5, 10, 0, 5, 10},
                        {0, 0, -3600, 60, 0},
                        {int32Max, 59, -600, int32Max, 59},
                        {int32Min, 0, std::numeric_limits<std::int64_t>::max(), int32Min, -4},
                        {0, 0, std::numeric_limits<std::int64_t>::min(), int32Max, 4}};
    for (const Row& row : rows) {
        viewer.world.clockMinutes = row.minutes;
        viewer.world.clockSeconds = row.seconds;
        countDownClock(viewer.world, row.gap);
        EXPECT_EQ(viewer.world.clockMinutes, row.afterMinutes) << row.minutes << ":" << row.seconds << " - " << row.gap;
        EXPECT_EQ(viewer.world.clockSeconds, row.afterSeconds) << row.minutes << ":" << row.seconds << " - " << row.gap;
    }
}

// [SECTION] Stepping

TEST_F(PlaybackTest, EachLineIsDueAtItsScaledLogTimeAndLinesOfOneStampComeTogether)
{
    viewer.playback.msPerLogSecond = 4000;
    openLog("[0:00:00] A\n[0:00:03] B\n[0:00:03] C\n[0:00:04] D\n[0:00:05] E\n");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1);
    headless::advance(1);
    // B is due 3 log seconds after the open, not after the step that applied A.
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 11999);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:03] B");
    headless::advance(11998);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:03] B");
    headless::advance(1);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:04] D");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 4000);
    EXPECT_TRUE(headless::messages().empty());
}

TEST_F(PlaybackTest, StampsWrapAtTwelveHours)
{
    openLog("[12:59:58] A\n[1:00:03] B\n[11:59:58] C\n[12:00:03] D\n[13:00:00] E\n[0:00:00] F\n[0:00:01] G\n");
    headless::advance(1);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 4999);
    headless::advance(4999);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 39595000);
    headless::advance(39595000);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 5000);
    headless::advance(5000);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 3597000);
    // More than twelve hours back: the next line is due at once, in the same step, and the clock goes up by the
    // hour (then down by the second to G).
    std::int64_t clockBefore = viewer.world.clockMinutes * 60 + viewer.world.clockSeconds;
    headless::advance(3597000);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1000);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:01] G");
    EXPECT_EQ(viewer.world.clockMinutes * 60 + viewer.world.clockSeconds, clockBefore + 3600 - 1);
}

TEST_F(PlaybackTest, ALookAheadWithoutStampResetsTheWorldBeforeTheCurrentLineApplies)
{
    openLog("[0:00:05] 1;Alpha.map\nno stamp here\n");
    viewer.world.mapName = "Before";
    SoldierRecord& soldier = makeRecord<SoldierRecord>(viewer.world);
    viewer.world.soldierList.append(&soldier);
    viewer.world.entityList.append(&soldier);
    headless::advance(1);
    EXPECT_EQ(viewer.world.mapName, "Alpha.map");
    EXPECT_TRUE(viewer.world.soldierList.items.empty());
    EXPECT_EQ(headless::timerPeriod(playbackTimer), (43200 - 5) * 1000 - 1);
}

TEST_F(PlaybackTest, TheCountdownRunsWithTheGaps)
{
    openLog("[0:00:00] CONFIG;10;Title\n[0:01:15] A\n[0:01:20] B\n");
    headless::advance(1);
    EXPECT_EQ(viewer.world.clockMinutes, 8);
    EXPECT_EQ(viewer.world.clockSeconds, 45);
    headless::advance(75001);
    EXPECT_EQ(viewer.world.clockMinutes, 8);
    EXPECT_EQ(viewer.world.clockSeconds, 40);
}

TEST_F(PlaybackTest, AWinLineDoesNotEndPlayback)
{
    openLog("[0:00:01] WIN\n[0:00:03] A\n[0:00:04] B\n");
    headless::advance(1);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1999);
    headless::advance(1999);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:04] B");
}

TEST_F(PlaybackTest, ACrLfLogPlaysLikeAnyOther)
{
    openLog("[0:00:01] 1;Alpha.map\r\n\r\n[0:00:04] 1;Beta.map\r\n");
    headless::advance(1);
    EXPECT_EQ(viewer.world.mapName, "Alpha.map");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 2999);
    headless::advance(2999);
    EXPECT_EQ(viewer.world.mapName, "Beta.map");
}

// [SECTION] The end of data

TEST_F(PlaybackTest, TheFinalLineIsAppliedThenNoMoreData)
{
    openLog("[0:00:01] 1;Alpha.map\n[0:00:02] 1;Beta.map\n\n");
    headless::advance(1);
    EXPECT_FALSE(viewer.playback.log.nextLine);
    EXPECT_EQ(noMoreDataBoxes(), 0u);
    headless::advance(1001);
    EXPECT_EQ(viewer.world.mapName, "Beta.map");
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    EXPECT_EQ(headless::messages().size(), 1u);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    EXPECT_TRUE(headless::timerArmed(movementTimer));
    // Play after the end applies nothing again and tells the user again.
    viewer.world.mapName = "Kept";
    pause();
    resumePlayback();
    headless::advance(1000);
    EXPECT_EQ(noMoreDataBoxes(), 2u);
    EXPECT_EQ(viewer.world.mapName, "Kept");
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
}

TEST_F(PlaybackTest, ALogBeginningWithABlankLineOrBlanksPlaysFromItsFirstLine)
{
    for (const char* contents :
         {"\n[0:00:01] 1;Alpha.map\n[0:00:02] 1;Beta.map\n", " \t[0:00:01] 1;Alpha.map\n[0:00:02] 1;Beta.map\n"}) {
        headless::reset();
        openLog(contents);
        headless::advance(1);
        EXPECT_EQ(viewer.world.mapName, "Alpha.map") << contents;
        EXPECT_EQ(headless::timerPeriod(playbackTimer), 999) << contents;
        EXPECT_TRUE(headless::messages().empty()) << contents;
    }
}

TEST_F(PlaybackTest, ALogWithoutLinesEndsAtTheFirstStep)
{
    for (const char* contents : {"", "\n\n", " \t\r\n"}) {
        headless::reset();
        openLog(contents);
        headless::advance(1);
        EXPECT_EQ(noMoreDataBoxes(), 1u) << contents;
        EXPECT_FALSE(viewer.world.mapName) << contents;
        EXPECT_FALSE(headless::timerArmed(playbackTimer)) << contents;
        headless::advance(100000);
        EXPECT_EQ(headless::messages().size(), 1u) << contents;
    }
}

TEST_F(PlaybackTest, AOneLineLogAppliesItsLineThenEnds)
{
    openLog("[0:00:05] 1;Alpha.map");
    EXPECT_EQ(viewer.playback.log.nextLine, "");
    headless::advance(1);
    EXPECT_EQ(viewer.world.mapName, "Alpha.map");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), (43200 - 5) * 1000 - 1);
    headless::advance((43200 - 5) * 1000 - 1);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
    EXPECT_EQ(viewer.world.mapName, "Alpha.map");
}

TEST_F(PlaybackTest, AStepWithoutAnOpenLogIsTheEndOfData)
{
    playbackStep();
    ASSERT_EQ(headless::messages().size(), 1u);
    EXPECT_EQ(headless::messages()[0].text, "No more data");
    EXPECT_EQ(headless::messages()[0].caption, "Error");
}

// [SECTION] Opening, choosing and the playback states

TEST_F(PlaybackTest, OpeningArmsBothTimersAndReadsTwoLines)
{
    viewer.world.mapName = "Before";
    viewer.world.clockMinutes = 7;
    openLog("[0:00:01] A\n[0:00:02] B\n[0:00:03] C\n");
    EXPECT_FALSE(viewer.world.mapName);
    EXPECT_EQ(viewer.world.clockMinutes, 0);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:01] A");
    EXPECT_EQ(viewer.playback.log.nextLine, "[0:00:02] B");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1);
    EXPECT_EQ(headless::timerPeriod(movementTimer), 50);
}

TEST_F(PlaybackTest, TheMovementPeriodIsFixedAtTheOpen)
{
    const std::pair<std::int32_t, std::int32_t> periods[] = {{125, 6},   {250, 12},   {500, 25},
                                                             {1000, 50}, {2000, 100}, {4000, 200}};
    for (auto [speed, period] : periods) {
        viewer.playback.msPerLogSecond = speed;
        openLog("[0:00:01] A\n[0:00:02] B\n[0:00:03] C\n");
        EXPECT_EQ(headless::timerPeriod(movementTimer), period) << speed;
        viewer.playback.msPerLogSecond = speed == 125 ? 4000 : 125;
        headless::advance(1 + 1001);
        EXPECT_EQ(headless::timerPeriod(movementTimer), period) << speed;
    }
}

TEST_F(PlaybackTest, AFailedOpenResetsTheWorldAndLeavesNoLogOpen)
{
    viewer.world.mapName = "Before";
    openReplayLog((folder / "missing.log").string());
    ASSERT_EQ(headless::messages().size(), 1u);
    EXPECT_EQ(headless::messages()[0].text, "Could not open file");
    EXPECT_EQ(headless::messages()[0].caption, "Error!");
    EXPECT_FALSE(viewer.world.mapName);
    EXPECT_FALSE(viewer.playback.log.reader);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    EXPECT_FALSE(headless::timerArmed(movementTimer));
    // Play after the failed open is the end of data.
    pause();
    resumePlayback();
    headless::advance(1000);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
}

TEST_F(PlaybackTest, AFailedOpenAfterAGoodOneStopsPlaybackAndKeepsTheMovementTimer)
{
    openLog("[0:00:01] A\n[0:00:02] B\n[0:00:03] C\n");
    headless::advance(1);
    openReplayLog(folder.string());  // a folder is no log
    ASSERT_EQ(headless::messages().size(), 1u);
    EXPECT_EQ(headless::messages()[0].text, "Could not open file");
    EXPECT_FALSE(viewer.playback.log.reader);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    EXPECT_EQ(headless::timerPeriod(movementTimer), 50);
}

TEST_F(PlaybackTest, ACancelledDialogLeavesPlaybackAlone)
{
    openLog("[0:00:01] 1;Alpha.map\n[0:00:04] B\n[0:00:05] C\n");
    headless::advance(1);
    openReplayLog(chooseReplayFile());
    EXPECT_EQ(viewer.world.mapName, "Alpha.map");
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:04] B");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 2999);
    EXPECT_TRUE(headless::messages().empty());
    headless::advance(2999);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:05] C");
}

TEST_F(PlaybackTest, ReOpeningWhilePlayingStartsTheNewLogAndKeepsThePausedFlag)
{
    openLog("[0:00:01] 1;Alpha.map\n[0:00:04] B\n[0:00:05] C\n");
    headless::advance(1);
    viewer.playback.playbackPaused = 1;
    headless::queueFileChoice(writeFile("second.log", "[1:00:00] 1;Beta.map\n[1:00:02] D\n[1:00:03] E\n"));
    openReplayLog(chooseReplayFile());
    EXPECT_FALSE(viewer.world.mapName);
    EXPECT_EQ(viewer.playback.log.currentLine, "[1:00:00] 1;Beta.map");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1);
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    headless::advance(1);
    EXPECT_EQ(viewer.world.mapName, "Beta.map");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 1999);
}

TEST_F(PlaybackTest, PlayAfterPauseStepsOneLogSecondLater)
{
    openLog("[0:00:01] A\n[0:00:04] B\n[0:00:05] C\n[0:00:06] D\n");
    headless::advance(1);
    pause();
    // Paused, the glides hold: the window backends let the movement timer rest, which keeps its period.
    EXPECT_TRUE(headless::timerResting(movementTimer));
    headless::advance(10000);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:04] B");
    viewer.playback.msPerLogSecond = 2000;
    resumePlayback();
    EXPECT_FALSE(headless::timerResting(movementTimer));
    EXPECT_EQ(headless::timerPeriod(movementTimer), 50);
    EXPECT_EQ(viewer.playback.playbackPaused, 0);
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 2000);
    headless::advance(1999);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:04] B");
    headless::advance(1);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:05] C");
    // Play while playing keeps the running wait.
    headless::advance(1000);
    resumePlayback();
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 2000);
    headless::advance(1001);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:06] D");
}

// [SECTION] Keeping time

namespace {

// A dense game: 200 soldiers, each reporting its position every log second.
std::string denseLog(int seconds)
{
    std::string log = "[1:00:00] 1;Alpha.map\n";
    for (int id = 1; id <= 200; ++id)
        log += "[1:00:00] CREATED;SOLDIER;" + std::to_string(id) + ";Rifleman;10;10;0;0;100;50;1;P\n";
    for (int second = 1; second <= seconds; ++second) {
        const std::string stamp = "[1:" + std::to_string(second / 60) + ":" + std::to_string(second % 60) + "] ";
        for (int id = 1; id <= 200; ++id)
            log += stamp + "POS;SOLDIER;" + std::to_string(id) + ";Rifleman;" + std::to_string(second) + ";10;0;0\n";
    }
    return log;
}

}  // namespace

TEST_F(PlaybackTest, PlaybackKeepsTheSpeedShownHoweverDenseTheLogAndHoweverLateTheTimer)
{
    const std::string log = denseLog(40);
    for (std::int32_t lateness : {0, 15}) {
        for (std::int32_t msPerLogSecond : {1000, 125, 15}) {
            const std::string run = std::to_string(msPerLogSecond) + " ms, " + std::to_string(lateness) + " ms late";
            headless::reset();
            viewer.reset();
            headless::setTimerLateness(playbackTimer, lateness);
            viewer.playback.msPerLogSecond = msPerLogSecond;
            openLog(log);
            // Within a log second of the speed shown (and of the lateness, scaled) at every moment, to the end.
            const double logSecondMs = static_cast<double>(logSecondUs(msPerLogSecond)) / 1000;
            const double slack = 1 + lateness / logSecondMs;
            while (headless::timerArmed(playbackTimer)) {
                headless::advance(std::max<std::int64_t>(1, std::llround(logSecondMs)));
                const double played = static_cast<double>(headless::now()) / logSecondMs;
                ASSERT_LE(viewer.playback.clock.appliedTime, played) << run;
                ASSERT_GE(static_cast<double>(viewer.playback.clock.lineTime), played - slack) << run;
            }
            EXPECT_EQ(noMoreDataBoxes(), 1u) << run;
            EXPECT_EQ(viewer.playback.clock.appliedTime, 40) << run;
            EXPECT_LE(static_cast<double>(headless::now()), 40 * logSecondMs + lateness + logSecondMs) << run;
        }
    }
}

TEST_F(PlaybackTest, AnHourAtSixtyFourTimesTakesFiftySixAndAQuarterSecondsToTheMillisecond)
{
    std::string log;
    for (int second = 0; second <= 3600; second += 10)
        log += "[2:" + std::to_string(second / 60) + ":" + std::to_string(second % 60) + "] CONFIG;10;T\n";
    headless::key({Key::space});
    for (int step = 0; step < 6; ++step)
        headless::key({Key::bracketRight});
    EXPECT_EQ(viewer.playback.msPerLogSecond, 15);
    headless::key({Key::space});
    openLog(log);
    headless::advance(56249);
    EXPECT_EQ(viewer.playback.clock.appliedTime, 3590);
    EXPECT_EQ(noMoreDataBoxes(), 0u);
    headless::advance(1);
    EXPECT_EQ(viewer.playback.clock.appliedTime, 3600);
    EXPECT_EQ(noMoreDataBoxes(), 1u);
}

TEST_F(PlaybackTest, WhilePausedPeriodAppliesOneLineAndCommaGoesBackOne)
{
    openLog("[0:00:00] CONFIG;10;A\n[0:00:01] CONFIG;9;B\n[0:00:01] CONFIG;8;C\n[0:00:02] CONFIG;7;D\n");
    viewer.playback.index->waitFor(2);
    headless::advance(1);
    headless::key({Key::period});  // not while playing
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:01] CONFIG;9;B");
    headless::key({Key::space});
    const std::vector<std::pair<Key, std::string>> steps = {{Key::period, "C"}, {Key::period, "D"}, {Key::comma, "C"},
                                                            {Key::comma, "B"},  {Key::comma, "A"},  {Key::period, "B"},
                                                            {Key::period, "C"}};
    for (const auto& [key, next] : steps) {
        headless::key({key});
        finishSeek();
        EXPECT_EQ(viewer.playback.log.currentLine.back(), next[0]) << viewer.playback.log.currentLine;
        // The world is the one of every line before the current one: the title of the line before.
        if (next == "A")
            EXPECT_FALSE(viewer.world.configTitle);
        else
            EXPECT_EQ(viewer.world.configTitle, std::string(1, static_cast<char>(next[0] - 1)));
        EXPECT_EQ(viewer.playback.playbackPaused, 1);
    }
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
}
