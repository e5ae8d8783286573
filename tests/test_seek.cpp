// Tests of seeking on the virtual clock: a seek lands on the world and the frame of a fresh open played to the same
// line, pins kept by kind and id, for generated games, forward and back, playing and paused, at changing speeds; the
// timers after a seek; seeks into an index still being built, seeks during seeks, logs of one line or without a final
// newline, re-opening mid-scan.
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <utility>

#include "app/playback.h"
#include "app/screen_hooks.h"
#include "app/seek.h"
#include "app/shell.h"
#include "tests/game_writer.h"
#include "tests/kelo_test.h"
#include "tests/pictures.h"
#include "world/log_time.h"

namespace {

constexpr double everything = std::numeric_limits<double>::infinity();

// [SECTION] The world a seek must land on

struct FreshPlay {
    World world;
    std::int64_t lineTime = 0;
    std::int64_t lineNumber = 0;
};

void dropDamageLinks(World& world)
{
    for (const auto& record : world.records)
        record->damageLink = nullptr;
}

// A fresh open of the log (chat, status and picture empty) played without glides up to the first line whose log
// time is at or after t; only the damage links of lines in the last whole second before t are left.
FreshPlay playedTo(const std::string& path, double t, std::int32_t msPerLogSecond)
{
    FreshPlay play;
    LogCursor log;
    std::optional<LineReader> reader = openLogFile(path);
    if (!reader)
        return play;
    startLog(log, std::move(*reader));
    const auto lastSecond = static_cast<std::int64_t>(std::ceil(t)) - 1;
    bool linksDropped = false;
    while (static_cast<double>(play.lineTime) < t) {
        if (!linksDropped && play.lineTime >= lastSecond) {
            dropDamageLinks(play.world);
            linksDropped = true;
        }
        const StepResult step = stepLog(log, play.world, msPerLogSecond, screenHooks);
        if (!step.gap)
            break;
        play.lineTime += std::max<std::int64_t>(*step.gap, 0);
    }
    if (!linksDropped)
        dropDamageLinks(play.world);
    play.lineNumber = log.currentNumber;
    return play;
}

// The log times of every line of the log, as playback reaches them.
std::vector<std::int64_t> lineTimes(const std::string& path)
{
    std::vector<std::int64_t> times{0};
    LogCursor log;
    World world;
    startLog(log, std::move(*openLogFile(path)));
    for (StepResult step = stepLog(log, world, 1000, WorldHooks{}); step.gap;
         step = stepLog(log, world, 1000, WorldHooks{}))
        times.push_back(times.back() + std::max<std::int64_t>(*step.gap, 0));
    return times;
}

std::size_t damageLinks(const World& world)
{
    std::size_t links = 0;
    for (const auto& record : world.records)
        links += record->damageLink != nullptr;
    return links;
}

// Calls `visit` with every soldier and vehicle of the world.
template <class Visit>
void eachUnit(const World& world, Visit visit)
{
    walk(world.soldierList, visit);
    walk(world.vehicleList, visit);
}

// A frame composed over black: labels that stray below the map area do not blend into an earlier frame's.
std::vector<std::uint32_t> composedFrame()
{
    fillBackBuffer(0xFF000000);
    composeFrame();
    std::vector<std::uint32_t> pixels;
    headless::framePixels(pixels);
    return pixels;
}

class SeekTest : public KeloTest {
protected:
    // Opens the log and waits for its whole index, as kelo-render does before it seeks.
    std::string openFully(const std::string& name, const std::string& contents)
    {
        const std::string path = writeFile(name, contents);
        openReplayLog(path);
        if (viewer.playback.index)
            viewer.playback.index->waitFor(everything);
        return path;
    }

    void pause()
    {
        stopPlayback();
        viewer.playback.playbackPaused = 1;
    }

    // Seeks to t at once and checks that the world is the fresh open's at the same line and that the frame is the
    // fresh open's with the units of each kind and id pinned before pinned, none hovered; `what` names the seek.
    void expectSeekLands(const std::string& path, double t, const std::string& what)
    {
        UnitMarks& marks = viewer.view.units;
        std::set<std::pair<RecordKind, std::int32_t>> pinnedIds;
        eachUnit(viewer.world, [&](const Record& unit) {
            if (marks.isPinned(unit))
                pinnedIds.emplace(unit.kind, unit.id);
        });
        seekTo(t);
        finishSeek();
        const double scanned = indexView()->scannedS;
        const double target = std::isnan(t) ? 0 : std::clamp(t, 0.0, scanned);
        FreshPlay expected = playedTo(path, target, viewer.playback.msPerLogSecond);
        // The picture loader hands out the same picture object only while a world holds the last one made: a world
        // that passed other maps meanwhile may hold another decode of the same file (the only one of the tests).
        if (viewer.world.mapImage && expected.world.mapImage)
            expected.world.mapImage = viewer.world.mapImage;
        EXPECT_TRUE(viewer.world == expected.world) << what;
        EXPECT_EQ(logTimeNow(), static_cast<double>(expected.lineTime)) << what;
        EXPECT_EQ(viewer.playback.log.currentNumber, expected.lineNumber) << what;
        EXPECT_FALSE(seekTarget()) << what;
        EXPECT_EQ(headless::timerArmed(playbackTimer), viewer.playback.playbackPaused == 0) << what;
        EXPECT_TRUE(marks.hovered.empty()) << what;
        // Both frames are composed from copies, so that the world landed on keeps its damage links.
        World landed = std::move(viewer.world);
        viewer.world = landed;
        const std::vector<std::uint32_t> shown = composedFrame();
        const UnitMarks landedMarks = std::exchange(marks, UnitMarks{});
        viewer.world = expected.world;
        eachUnit(viewer.world, [&](const Record& unit) {
            if (pinnedIds.count({unit.kind, unit.id}) != 0)
                marks.flipPin(unit);
        });
        EXPECT_TRUE(composedFrame() == shown) << what;
        viewer.world = std::move(landed);
        marks = landedMarks;
    }
};

}  // namespace

// The lines that a seek passes as any other, each to come after some line of a game with that line's stamp: other
// maps (calibrated, half calibrated, neither, with a name that keeps the picture), units made where no number is,
// positions that are no number, infinite, or so near the last that a glide's step underflows; lines that no rule
// takes, long lines.
const std::array<std::vector<std::string>, 14> oddLines = {{
    {"1;Fenmoor.map"},
    {"1;Saltmarsh.map"},
    {"1;.hidden"},
    {"CREATED;SOLDIER;77;Rifleman;nan;nan;0;0;1;1;0;Ghost", "POS;SOLDIER;2;-;nan;5;0;-;1;1"},
    {"CREATED;VEHICLE;78;Tank;inf;1;0;0;1;1;1", "POS;VEHICLE;5;-;inf;-inf;0;3;1;1"},
    {"POS;SOLDIER;1;-;1e-44;0;0;-;1;1", "POS;SOLDIER;1;-;0;0;0;-;1;1"},
    {"POS;SOLDIER;3;-;3e38;-3e38;0;-;1;1", "POS;SOLDIER;3;-;-3e38;3e38;0;-;1;1"},
    {"POS;SOLDIER;4;-;12.5;12.5;0;-;1;1", "POS;SOLDIER;4;-;12.5;12.5000019;0;-;1;1"},
    {"POS;;;;", "CREATED;SOLDIER", "DESTROYED;SOLDIER;abc", "\xff\xfe;\x01"},
    {"CHAT;PUBLIC;1;" + std::string(30000, 'w')},
    {std::string(70000, 'q')},
    {"DAMAGED;SOLDIER;1;-;-;-;-;-;2"},
    {"CONFIG;12;A title of " + std::string(300, 't')},
    {"POS;VEHICLE;5;-;1e-40;1e-40;0;90;1;1"},
}};

// A game with odd lines (oddLines) after about every tenth of its lines.
std::string withOddLines(const std::string& game, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::istringstream lines(game);
    std::string out;
    std::string stamp;
    for (std::string line; std::getline(lines, line);) {
        out += line + '\n';
        if (line.starts_with('['))
            stamp = line.substr(0, line.find(']') + 2);
        if (random() % 10 != 0)
            continue;
        for (const std::string& odd : oddLines[random() % oddLines.size()])
            out += stamp + odd + '\n';
    }
    return out;
}

// [SECTION] Landing on the same world

// Seeks from wherever they start (the log's start, the trail, a seek under way, a snapshot that the index left at 1x
// without hooks) land where a seek from the start at their speed lands, world, clock and frame.
TEST_F(SeekTest, ASeekLandsOnTheWorldOfAFreshOpenPlayedToTheSameLine)
{
    std::size_t snapshotsHit = 0;
    std::size_t snapshotsMissed = 0;
    std::size_t linksKept = 0;
    std::size_t pinsKept = 0;
    // The games' map of 4000 units fills the frame's map area, so that every unit shows; of the other maps one is
    // calibrated, one half and one not at all, and only the games' map has a picture.
    writeFile("Kelo.ini", "[Brackwater.map]\nInvertY=0\nInvertX=0\nScaleX=4000\nScaleY=4000\nOffsetX=2000\n"
                          "OffsetY=200\nRotationOffset=0\n[Fenmoor.map]\nInvertY=1\nInvertX=1\nScaleX=3000\n"
                          "ScaleY=3500\nOffsetX=100\nOffsetY=-20\nRotationOffset=0.5\n"
                          "[Saltmarsh.map]\nInvertY=0\nInvertX=1\nScaleX=200\n");
    ASSERT_TRUE(writePicture((folder / "Maps" / "Brackwater.png").string(), 64, 64, 0xFF336633));
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const std::string path = openFully("game.log", withOddLines(GameWriter(seed).write(2500), seed));
        const std::vector<std::int64_t> times = lineTimes(path);
        ASSERT_GT(times.size(), 2000u);
        std::mt19937 random(seed);
        auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        for (int round = 0; round < 40; ++round) {
            // Between seeks: play on (lines, glides and snapshots of the trail), pause, play, change the speed.
            switch (pick(6)) {
            case 0:
                pause();
                break;
            case 1:
                resumePlayback();
                break;
            case 2:
                setSpeed(std::array{125, 250, 500, 1000, 2000, 4000}[pick(6)]);
                break;
            default:
                break;
            }
            headless::advance(static_cast<std::int64_t>(pick(3000)));
            // The user pins and points at units as playback goes.
            eachUnit(viewer.world, [&](const Record& unit) {
                if (pick(4) == 0)
                    viewer.view.units.flipPin(unit);
                if (pick(8) == 0)
                    viewer.view.units.hovered.insert(unit.serial);
            });
            // Targets on a line's time, between lines, far and near, forward and back, and past the end.
            const double lineTime = static_cast<double>(times[pick(times.size())]);
            const double now = logTimeNow();
            const double t = std::array{lineTime,  lineTime - 0.5, lineTime + 0.25, lineTime - 1, 1e12,
                                        now + 2.5, now + 6,        now - 3,         now - 20.5}[pick(9)];
            const double target = std::clamp(t, 0.0, indexView()->scannedS);
            (viewer.playback.index->snapshotFor(target) ? snapshotsHit : snapshotsMissed) += 1;
            expectSeekLands(path, t,
                            "seed " + std::to_string(seed) + " round " + std::to_string(round) + " t "
                                + std::to_string(t));
            linksKept += damageLinks(viewer.world);
            pinsKept += viewer.view.units.pinned.size();
        }
    }
    EXPECT_GT(pinsKept, 100u);
    EXPECT_GT(snapshotsHit, 0u);
    EXPECT_GT(snapshotsMissed, 0u);
    EXPECT_GT(linksKept, 0u);
}

// Playback glides the shown units between reports; a seek lands where no glide has run, from wherever it starts.
TEST_F(SeekTest, ASeekFromPlayingTakesNoGlideAlong)
{
    std::string contents = "[0:00:00] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n"
                           "[0:00:00] CREATED;VEHICLE;2;Tank;0;0;0;0;1;1;0\n"
                           "[0:00:01] POS;SOLDIER;1;-;400;300;0;-;1;1\n[0:00:01] POS;VEHICLE;2;-;90;10;0;45;1;1\n";
    for (int second = 2; second < 40; ++second)
        contents += "[0:00:" + std::to_string(second) + "] KILLED;X;1\n";
    const std::string path = openFully("glides.log", contents);
    headless::advance(9500);
    ASSERT_GT(viewer.world.soldierList.items[0]->posX, 0);
    expectSeekLands(path, 12, "forward from where playback stands");
    headless::advance(3500);
    expectSeekLands(path, 7, "back, from the log's start");
}

TEST_F(SeekTest, OnlyTheDamageLinksOfTheLastSecondBeforeTheTargetAreLeft)
{
    const std::string path = openFully("damage.log", "[0:00:00] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n"
                                                     "[0:00:00] CREATED;SOLDIER;2;A;0;0;0;0;1;1;1;Bob\n"
                                                     "[0:00:00] CREATED;SOLDIER;3;A;0;0;0;0;1;1;1;Cid\n"
                                                     "[0:00:10] DAMAGED;SOLDIER;1;-;-;-;-;-;2\n"
                                                     "[0:00:12] DAMAGED;SOLDIER;3;-;-;-;-;-;1\n"
                                                     "[0:00:20] WIN;1\n");
    auto linkOf = [](std::int32_t id) -> const Record* {
        for (const auto& record : app::viewer().world.records)
            if (record->id == id)
                return record->damageLink;
        return nullptr;
    };
    seekTo(12.5);
    finishSeek();
    EXPECT_EQ(linkOf(1), nullptr);
    ASSERT_NE(linkOf(3), nullptr);
    EXPECT_EQ(linkOf(3)->id, 1);
    seekTo(11);
    finishSeek();
    ASSERT_NE(linkOf(1), nullptr);
    EXPECT_EQ(linkOf(1)->id, 2);
    seekTo(12);
    finishSeek();
    EXPECT_EQ(linkOf(1), nullptr);
    EXPECT_EQ(linkOf(3), nullptr);
    expectSeekLands(path, 12.5, "forward again");
}

TEST_F(SeekTest, EdgeLogsSeekLikeAnyOther)
{
    const std::map<std::string, std::string> logs = {
        {"one line", "[20:15:30] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n"},
        {"no final newline", "[0:00:00] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n[0:00:02] POS;SOLDIER;1;-;5;5;0"},
        {"one line without newline", "[0:00:03] CHAT;PUBLIC;1;hello"},
        {"empty", ""},
        {"indented", "  [0:00:01] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n[0:00:02] WIN;1\n"},
        {"crlf", "[0:00:00] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\r\n\r\n[0:00:04] POS;SOLDIER;1;-;5;5;0\r\n"},
    };
    for (const auto& [name, contents] : logs) {
        const std::string path = openFully("edge.log", contents);
        const double total = indexView()->scannedS;
        for (double t : {0.0, 0.5, total, total - 0.5, 1e9, -5.0, std::nan("")})
            expectSeekLands(path, t, name + " at " + std::to_string(t));
        headless::advance(10000);
        expectSeekLands(path, total / 2, name + " after playing");
    }
}

// [SECTION] Timers, speed and pause

TEST_F(SeekTest, PlayingArmsTheRestOfTheWaitAndPausedStaysStopped)
{
    viewer.playback.msPerLogSecond = 500;
    openFully("timers.log", "[0:00:00] A\n[0:00:10] B\n[0:00:30] C\n");
    seekTo(4.25);
    finishSeek();
    EXPECT_EQ(logTimeNow(), 10);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:10] B");
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 2875);  // 5.75 log seconds at 500 ms
    EXPECT_EQ(viewer.playback.msPerLogSecond, 500);
    headless::advance(2875);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:30] C");
    EXPECT_EQ(logTimeNow(), 30);

    pause();
    seekTo(10);
    finishSeek();
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    EXPECT_EQ(viewer.playback.playbackPaused, 1);
    EXPECT_EQ(viewer.playback.log.currentLine, "[0:00:10] B");
    resumePlayback();
    EXPECT_EQ(headless::timerPeriod(playbackTimer), 500);
}

// A report glides over a number of ticks that the speed sets: worlds stepped at other speeds are re-timed.
TEST_F(SeekTest, WorldsSteppedAtOtherSpeedsAreReTimed)
{
    std::string contents = "[0:00:00] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n[0:00:01] POS;SOLDIER;1;-;100;100;0\n";
    for (int second = 2; second < 90; ++second) {
        const std::string stamp = "[0:" + std::to_string(second / 60) + ":" + std::to_string(second % 60) + "] ";
        contents += stamp
                  + (second % 10 == 0 ? "POS;SOLDIER;1;-;" + std::to_string(second * 7) + ";5;0\n"
                                      : "KILLED;X;" + std::to_string(second) + "\n");
    }
    const std::string path = openFully("speeds.log", contents);
    headless::advance(50000);
    viewer.playback.msPerLogSecond = 250;
    expectSeekLands(path, 30, "back, at a new speed");
    // The report at 30 s comes at 1000 ms per log second: the trail has lines of two speeds.
    viewer.playback.msPerLogSecond = 1000;
    headless::advance(6000);
    viewer.playback.msPerLogSecond = 250;
    expectSeekLands(path, logTimeNow() + 2, "forward, from a trail stepped at two speeds");
}

TEST_F(SeekTest, PinsStayWithTheirUnits)
{
    openFully("pins.log",
              "[0:00:00] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n[0:00:01] CREATED;SOLDIER;2;A;0;0;0;0;1;1;0;Bob\n"
              "[0:00:05] POS;SOLDIER;2;-;9;9;0\n");
    headless::advance(1003);
    ASSERT_EQ(viewer.world.soldierList.size(), 2);
    const UnitMarks& marks = viewer.view.units;
    auto pinned = [&marks](std::size_t soldier) {
        return marks.isPinned(*app::viewer().world.soldierList.items[soldier]);
    };
    viewer.view.units.flipPin(*viewer.world.soldierList.items[1]);
    seekTo(3);
    finishSeek();
    ASSERT_EQ(viewer.world.soldierList.size(), 2);
    EXPECT_FALSE(pinned(0));
    EXPECT_TRUE(pinned(1));
    seekTo(0.5);
    finishSeek();
    ASSERT_EQ(viewer.world.soldierList.size(), 1);
    seekTo(3);
    finishSeek();
    ASSERT_EQ(viewer.world.soldierList.size(), 2);
    EXPECT_FALSE(pinned(1));  // the pin went with the seek that had no soldier 2
}

// [SECTION] Seeks under way, the index under way, re-opening

TEST_F(SeekTest, ASeekDuringASeekTakesTheNewTarget)
{
    const std::string path = openFully("game.log", GameWriter(7).write(1500));
    const std::vector<std::int64_t> times = lineTimes(path);
    const double late = static_cast<double>(times[1400]);
    const double early = static_cast<double>(times[300]) + 0.5;
    const double middle = static_cast<double>(times[700]);
    seekTo(late);
    EXPECT_EQ(seekTarget(), late);
    EXPECT_TRUE(headless::timerArmed(seekTimer));
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    seekTo(early);
    EXPECT_EQ(seekTarget(), early);
    seekTo(middle);
    EXPECT_EQ(seekTarget(), middle);
    // The seek timer's first slice finishes it: the headless clock stands still while the core works.
    headless::advance(1);
    EXPECT_FALSE(seekTarget());
    EXPECT_FALSE(headless::timerArmed(seekTimer));
    const FreshPlay expected = playedTo(path, middle, viewer.playback.msPerLogSecond);
    EXPECT_TRUE(viewer.world == expected.world);
    EXPECT_EQ(logTimeNow(), static_cast<double>(expected.lineTime));
    EXPECT_TRUE(headless::timerArmed(playbackTimer));
}

TEST_F(SeekTest, APlaybackTickDuringASeekStepsNothing)
{
    const std::string path = openFully("game.log", GameWriter(8).write(400));
    headless::advance(3000);
    const World before = viewer.world;
    const std::int64_t lineBefore = viewer.playback.log.currentNumber;
    seekTo(50);
    onTimer(playbackTimer);  // a tick already on its way when the seek began
    EXPECT_TRUE(viewer.world == before);
    EXPECT_EQ(viewer.playback.log.currentNumber, lineBefore);
    EXPECT_FALSE(headless::timerArmed(playbackTimer));
    headless::advance(1);
    EXPECT_FALSE(seekTarget());
    const FreshPlay expected = playedTo(path, 50, viewer.playback.msPerLogSecond);
    EXPECT_TRUE(viewer.world == expected.world);
    EXPECT_EQ(viewer.playback.log.currentNumber, expected.lineNumber);
    EXPECT_TRUE(headless::timerArmed(playbackTimer));
}

// The index is fed through a pipe that the test fills, so that it is still being built at the seek.
TEST_F(SeekTest, ASeekBeyondTheScannedPartGoesToItsEnd)
{
    const std::string contents = GameWriter(9).write(12000);
    const std::string path = writeFile("game.log", contents);
    const std::vector<std::int64_t> times = lineTimes(path);
    openReplayLog(path);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    // The write end closes on every way out, so that the scan sees the end of its file and its thread can be joined.
    struct WriteEnd {
        int fd;
        ~WriteEnd() { close(fd); }
    } writeEnd{ends[1]};
    std::FILE* readEnd = fdopen(ends[0], "rb");
    ASSERT_NE(readEnd, nullptr);
    viewer.playback.index = std::make_unique<LogIndex>(LineReader(readEnd), 16);
    const std::size_t half = contents.size() / 2;
    ASSERT_EQ(write(writeEnd.fd, contents.data(), half), static_cast<ssize_t>(half));
    const double scannedBefore = viewer.playback.index->waitFor(static_cast<double>(times[50]))->scannedS;
    const double halfTime = static_cast<double>(times[std::count(contents.begin(), contents.begin() + half, '\n')]);

    seekTo(everything);
    const std::optional<double> target = seekTarget();
    ASSERT_TRUE(target);
    EXPECT_GE(*target, scannedBefore);
    EXPECT_LE(*target, halfTime);
    EXPECT_LT(*target, static_cast<double>(times.back()));
    finishSeek();
    const FreshPlay expected = playedTo(path, *target, viewer.playback.msPerLogSecond);
    EXPECT_TRUE(viewer.world == expected.world);
    EXPECT_EQ(logTimeNow(), static_cast<double>(expected.lineTime));

    ASSERT_EQ(write(writeEnd.fd, contents.data() + half, contents.size() - half),
              static_cast<ssize_t>(contents.size() - half));
    close(std::exchange(writeEnd.fd, -1));
    EXPECT_EQ(viewer.playback.index->waitFor(everything)->scannedS, static_cast<double>(times.back()));
    expectSeekLands(path, everything, "after the scan ended");
}

TEST_F(SeekTest, ReOpeningDuringAScanStartsAFreshIndex)
{
    const std::string big = writeFile("big.log", GameWriter(10).write(60000));
    const std::string small = writeFile("small.log", "[0:00:00] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;Ann\n"
                                                     "[0:00:07] CHAT;TEAM;1;hold\n[0:00:09] WIN;0\n");
    for (int round = 0; round < 3; ++round) {
        openReplayLog(big);
        headless::advance(5);
        seekTo(3);
        openReplayLog(small);
        EXPECT_FALSE(seekTarget());
        const auto index = viewer.playback.index->waitFor(everything);
        EXPECT_TRUE(index->complete);
        EXPECT_EQ(index->lines, 3);
        EXPECT_EQ(index->scannedS, 9);
        ASSERT_EQ(index->marks.size(), 2u);
        EXPECT_EQ(index->marks[0].kind, MarkKind::chat);
        EXPECT_EQ(index->marks[1].kind, MarkKind::win);
    }
    openReplayLog(big);
    viewer.reset();  // what closing the window does first: the scan stops and its thread is joined
    EXPECT_FALSE(viewer.playback.index);
    EXPECT_EQ(indexView()->lines, 0);
}
