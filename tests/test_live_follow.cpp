// Tests of following a log while it is written: a log written in pieces of any size, half lines included, plays
// and indexes to what the finished file gives; playback waits at the file's end and ends the data only once
// following stops; the watch timer's look at the file wakes playback, and a replaced file is read afresh.
#include <cstdio>
#include <fstream>
#include <random>

#include "app/live_follow.h"
#include "app/playback.h"
#include "app/seek.h"
#include "app/timers.h"
#include "tests/kelo_test.h"
#include "world/log_index.h"
#include "world/log_step.h"
#include "world/world_hooks.h"

namespace {

// A game of a few log seconds: units made, moved and destroyed, chat, kills, and with `reset` a line without a stamp
// half way (the log time after it starts again an hour on).
std::string gameLog(int seconds, bool reset = false)
{
    std::string log = "[1:00:00] CONFIG;5;Live\n";
    for (int id = 1; id <= 4; ++id)
        log += "[1:00:00] CREATED;SOLDIER;" + std::to_string(id) + ";Rifleman;100;200;0;0;100;30;"
             + std::to_string(id % 2) + ";P\n";
    for (int s = 1; s <= seconds; ++s) {
        const std::string stamp = "[1:00:" + std::string(s < 10 ? "0" : "") + std::to_string(s) + "] ";
        for (int id = 1; id <= 4; ++id)
            log += stamp + "POS;SOLDIER;" + std::to_string(id) + ";Rifleman;" + std::to_string(100 + s * id) + ";"
                 + std::to_string(200 - s) + ";0;" + std::to_string(s * 10) + ";100;30\n";
        log += stamp + "CHAT;PUBLIC;1;second " + std::to_string(s) + "\n";
        if (s == seconds / 2)
            log += stamp + "KILLED;SOLDIER;3\n" + stamp + "DESTROYED;SOLDIER;3\n" + (reset ? "RESET\n" : "");
    }
    return log;
}

void append(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << text;
}

struct Played {
    World world;
    std::vector<std::int64_t> lines;  // the line numbers applied, in order
};

// Steps the cursor until it ends or, while following, waits at the file's end.
void stepOn(LogCursor& log, Played& played)
{
    for (;;) {
        const StepResult step = stepLog(log, played.world, 1000, WorldHooks{});
        if (step.applied)
            played.lines.push_back(step.lineNumber);
        if (!step.gap || step.waiting)
            return;
    }
}

class LiveFollowTest : public KeloTest {
protected:
    // The newest chat line shown; empty when there is none.
    std::string newestChat() const
    {
        std::string newest;
        for (const std::optional<ChatLine>& line : viewer.world.chatLines)
            newest = line ? line->text : newest;
        return newest;
    }
};

}  // namespace

TEST_F(LiveFollowTest, ALogWrittenInPiecesOfAnySizePlaysAsTheFinishedFile)
{
    const std::string text = gameLog(12, true);
    Played whole;
    LogCursor plain;
    startLog(plain, *openLogFile(writeFile("whole.log", text)));
    stepOn(plain, whole);
    ASSERT_GT(whole.lines.size(), 60u);

    std::mt19937 random(11);
    for (int run = 0; run < 20; ++run) {
        const std::string path = writeFile("growing.log", "");
        std::optional<LineReader> reader = openLogFile(path);
        reader->setFollowing(true);
        LogCursor log;
        startLog(log, std::move(*reader));
        Played followed;
        std::size_t written = 0;
        while (written < text.size()) {
            const std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 90)(random);
            const std::size_t end = std::min(text.size(), written + piece);
            append(path, text.substr(written, end - written));
            written = end;
            stepOn(log, followed);
            // Only whole lines are applied: never one past the last line feed written.
            const auto wholeLines = static_cast<std::int64_t>(std::count(text.begin(), text.begin() + end, '\n'));
            ASSERT_TRUE(followed.lines.empty() || followed.lines.back() <= wholeLines) << "run " << run;
        }
        ASSERT_TRUE(log.waitingForLine);
        setFollowing(log, false);
        stepOn(log, followed);
        EXPECT_EQ(followed.lines, whole.lines) << "run " << run;
        EXPECT_TRUE(followed.world == whole.world) << "run " << run;
    }
}

TEST_F(LiveFollowTest, TheIndexFollowsTheFileAndEndsAsTheFinishedFilesIndex)
{
    const std::string text = gameLog(20);
    const LogIndex plain(*openLogFile(writeFile("whole.log", text)));
    const auto finished = plain.waitFor(std::numeric_limits<double>::infinity());

    const std::string path = writeFile("growing.log", text.substr(0, text.size() / 3) + "[1:00:0");
    std::optional<LineReader> reader = openLogFile(path);
    reader->setFollowing(true);
    LogIndex index(std::move(*reader));
    const auto first = index.waitForEdge(static_cast<std::int64_t>(text.size() / 3 + 7));
    EXPECT_TRUE(first->atEdge);
    EXPECT_FALSE(first->complete);
    EXPECT_LT(first->scannedS, finished->scannedS);
    append(path, text.substr(text.size() / 3 + 7));
    index.fileGrew();
    const auto grown = index.waitForEdge(static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(grown->scannedS, finished->scannedS);
    EXPECT_EQ(grown->lines, finished->lines);
    EXPECT_EQ(grown->marks.size(), finished->marks.size());
    index.setFollowing(false);
    const auto ended = index.waitFor(std::numeric_limits<double>::infinity());
    EXPECT_TRUE(ended->complete);
    EXPECT_EQ(ended->lines, finished->lines);
}

TEST_F(LiveFollowTest, PlaybackWaitsAtTheEndUntilLinesComeAndEndsOnlyWhenFollowingStops)
{
    const std::string text = gameLog(6);
    const std::size_t cut = text.find("[1:00:03]");
    const std::string path = writeFile("live.log", text.substr(0, cut) + "[1:00:03] POS;SOL");
    openReplayLog(path, true);
    // Within the 5 s after which half a line is taken as it stands.
    headless::advance(4'500);
    EXPECT_TRUE(headless::messages().empty());
    EXPECT_TRUE(waitingAtLiveEdge());
    EXPECT_EQ(logTimeNow(), 2);
    EXPECT_EQ(newestChat(), "P: second 2");

    // The rest comes: the watch timer sees it within a look, the line waited for plays at once and those after it
    // at their pace from there.
    append(path, text.substr(cut + 17));
    headless::advance(followCheckMs + 1);
    EXPECT_EQ(newestChat(), "P: second 3");
    headless::advance(4'000);
    EXPECT_EQ(logTimeNow(), 6);
    EXPECT_TRUE(waitingAtLiveEdge());
    EXPECT_TRUE(headless::messages().empty());

    setFollowing(false);
    headless::advance(10);
    ASSERT_EQ(headless::messages().size(), 1u);
    EXPECT_EQ(headless::messages()[0].text, "No more data");
    EXPECT_FALSE(headless::timerArmed(followTimer));

    // On again after the end: the line that comes next is played.
    setFollowing(true);
    append(path, "[1:00:07] CHAT;PUBLIC;1;late\n");
    headless::advance(followCheckMs + 1'100);
    EXPECT_EQ(newestChat(), "P: late");
}

TEST_F(LiveFollowTest, AFileCutShortIsReadAfreshAndOpeningAnotherLogStopsFollowing)
{
    const std::string path = writeFile("live.log", gameLog(4));
    openReplayLog(path, true);
    headless::advance(6'000);
    ASSERT_TRUE(waitingAtLiveEdge());
    ASSERT_FALSE(viewer.world.soldierList.items.empty());

    writeFile("live.log", "[2:00:00] CONFIG;9;Second game\n");
    headless::advance(followCheckMs + 10);
    EXPECT_TRUE(viewer.playback.live.following);
    EXPECT_TRUE(viewer.world.soldierList.items.empty());
    EXPECT_EQ(viewer.world.configTitle, std::optional<std::string>("Second game"));

    openReplayLog(writeFile("other.log", gameLog(2)));
    EXPECT_FALSE(viewer.playback.live.following);
    EXPECT_FALSE(headless::timerArmed(followTimer));
    headless::advance(5'000);
    EXPECT_EQ(headless::messages().back().text, "No more data");
}

TEST_F(LiveFollowTest, ALastLineWithoutItsLineFeedIsTakenAsItStandsAfterFiveSeconds)
{
    openReplayLog(writeFile("live.log", "[1:00:00] CONFIG;5;Whole\n[1:00:00] CONFIG;5;Half"), true);
    headless::advance(4'000);
    EXPECT_EQ(viewer.world.configTitle, std::optional<std::string>("Whole"));
    headless::advance(1'500);
    EXPECT_EQ(viewer.world.configTitle, std::optional<std::string>("Half"));
    EXPECT_TRUE(headless::messages().empty());
}
