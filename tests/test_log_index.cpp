// Tests of the log index and what it stands on: marks, breaks, the length and the line count at their log times;
// checkpoints; published views that never change; stopping mid-scan; world hooks called only by the steps given them;
// and the line reader going back to offsets it counted.
#include <unistd.h>

#include <limits>
#include <thread>

#include "tests/kelo_test.h"
#include "world/log_index.h"
#include "world/log_step.h"
#include "world/world_hooks.h"

namespace {

constexpr double everything = std::numeric_limits<double>::infinity();

class LogIndexTest : public KeloTest {
protected:
    std::shared_ptr<const LogIndexData> indexOf(const std::string& contents)
    {
        std::optional<LineReader> reader = openLogFile(writeFile("index.log", contents));
        if (!reader)
            return std::make_shared<const LogIndexData>();
        const LogIndex index(std::move(*reader));
        return index.waitFor(everything);
    }
};

struct Mark {
    double t;
    MarkKind kind;
    std::int32_t side;
    std::string name{};  // what the events list names: the unit destroyed, the speaker
    bool operator==(const Mark&) const = default;
};

std::vector<Mark> marksOf(const LogIndexData& index)
{
    std::vector<Mark> marks;
    for (const LogMark& mark : index.marks)
        marks.push_back({mark.t, mark.kind, mark.side, mark.name});
    return marks;
}

std::vector<std::pair<double, double>> breaksOf(const LogIndexData& index)
{
    std::vector<std::pair<double, double>> breaks;
    for (const LogBreak& wait : index.breaks)
        breaks.emplace_back(wait.t, wait.lengthS);
    return breaks;
}

// Closes a pipe's write end on every way out, so that a scan reading the pipe ends and its thread can be joined.
struct PipeWriter {
    int fd = -1;
    ~PipeWriter()
    {
        if (fd >= 0)
            close(fd);
    }
    bool put(const std::string& text)
    {
        return write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
};

}  // namespace

// [SECTION] Marks, breaks, length

TEST_F(LogIndexTest, NotableLinesAndLongWaitsAreNotedAtTheirLogTimes)
{
    const auto index = indexOf("[11:59:58] 1;Brackwater.map\n"
                               "[11:59:59] CREATED;SOLDIER;5;A;0;0;0;0;1;1;1;Ann\n"
                               "[0:00:01] CREATED;VEHICLE;7;Tank;0;0;0;0;1;1;0\n"  // the twelve-hour wrap: 2 s
                               "[0:00:01] CREATED;OBJECT;9;Crate;0;0;0\n"
                               "[0:00:02] CHAT;PUBLIC;5;hi\n"
                               "[0:00:02] CHAT;TEAM;5;go\n"
                               "[0:00:02] CHAT;SHOUT;5;not a chat line the viewer knows\n"
                               "[0:00:03] KILLED;SOLDIER;5\n"
                               "[0:00:03] DESTROYED;SOLDIER;5\n"
                               "[0:00:04] DESTROYED;VEHICLE;7\n"
                               "[0:00:04] DESTROYED;OBJECT;9\n"
                               "[0:00:04] DESTROYED;SOLDIER;5\n"  // already gone: its side is not known
                               "[0:10:05] WIN;1\n"  // 601 s later: a break
                               "[0:20:05] CONFIG;10;x\n"  // 600 s later: none
                               "no stamp here\n"  // a new game, 12 h - 1205 s later
                               "[0:00:03] CREATED;SOLDIER;5;A;0;0;0;0;1;1;2;Bob\n"
                               "[13:00:00] DESTROYED;SOLDIER;5\n"
                               "[0:00:00] KILLED;X\n");  // more than twelve hours back: no wait at all
    ASSERT_TRUE(index->complete);
    EXPECT_EQ(index->lines, 18);
    EXPECT_EQ(index->scannedS, 90002);
    // Chat with the speaker's side and name, a destroyed unit with its side and name (a class for a vehicle or an
    // object).
    const std::vector<Mark> expected = {
        {4, MarkKind::chat, 1, "Ann"},       {4, MarkKind::chat, 1, "Ann"},
        {5, MarkKind::killed, -1},           {5, MarkKind::destroyed, 1, "Ann"},
        {6, MarkKind::destroyed, 0, "Tank"}, {6, MarkKind::destroyed, -1, "Crate"},
        {6, MarkKind::destroyed, -1},        {607, MarkKind::win, -1},
        {43202, MarkKind::reset, -1},        {90002, MarkKind::destroyed, 2, "Bob"},
        {90002, MarkKind::killed, -1},
    };
    EXPECT_EQ(marksOf(*index), expected);
    EXPECT_EQ(index->marks[1].text, "go");
    EXPECT_EQ(index->marks[1].line, 6);
    EXPECT_EQ(breaksOf(*index), (std::vector<std::pair<double, double>>{{6, 601}, {1207, 41995}, {43205, 46797}}));
}

TEST_F(LogIndexTest, ShortAndEmptyLogsEndWherePlaybackEnds)
{
    // One line: the viewer waits for the empty look-ahead line as for a line without a stamp.
    auto index = indexOf("[0:00:05] WIN;1\n");
    EXPECT_EQ(index->lines, 1);
    EXPECT_EQ(index->scannedS, 43195);
    EXPECT_EQ(marksOf(*index), (std::vector<Mark>{{0, MarkKind::win, -1}}));
    EXPECT_EQ(breaksOf(*index), (std::vector<std::pair<double, double>>{{0, 43195}}));
    index = indexOf("[20:00:00] WIN;1");
    EXPECT_EQ(index->lines, 1);
    EXPECT_EQ(index->scannedS, 0);

    index = indexOf("[0:00:00] A\n[0:00:02] CHAT;PUBLIC;1;no final newline");
    EXPECT_EQ(index->lines, 2);
    EXPECT_EQ(index->scannedS, 2);
    EXPECT_EQ(marksOf(*index), (std::vector<Mark>{{2, MarkKind::chat, -1}}));

    index = indexOf("");
    EXPECT_TRUE(index->complete);
    EXPECT_EQ(index->lines, 0);
    EXPECT_EQ(index->scannedS, 0);
    EXPECT_TRUE(index->marks.empty());

    // Blank lines and blanks before the first line are skipped, as playback skips them.
    index = indexOf("\n \t\n  [0:00:01] A\n[0:00:02] WIN;1\n");
    EXPECT_EQ(index->lines, 2);
    EXPECT_EQ(index->scannedS, 1);
    EXPECT_EQ(marksOf(*index), (std::vector<Mark>{{1, MarkKind::win, -1}}));
}

TEST_F(LogIndexTest, EveryReaderOpensALogOfOneLineAsTheViewerDoes)
{
    // After its only line comes an empty one without a stamp: it resets the world before the line applies, it is due
    // twelve hours less the line's stamp later, and the data ends at it. It is no line of the file, unlike an empty
    // line that the file holds (one that opens with NUL), which plays the same.
    const std::string nul = std::string("[0:00:05] CONFIG;20;Title\n") + '\0' + '\n';
    for (const std::string& contents :
         {std::string("[0:00:05] CONFIG;20;Title\n"), std::string("[0:00:05] CONFIG;20;Title"), nul}) {
        const bool held = contents != nul;
        LogCursor log;
        startLog(log, std::move(*openLogFile(writeFile("one.log", contents))));
        EXPECT_EQ(log.nextLine, "") << contents;
        World world;
        world.mapName = "Before";
        const StepResult first = stepLog(log, world, 1000, WorldHooks{});
        EXPECT_TRUE(first.applied) << contents;
        EXPECT_EQ(first.gap, 43200 - 5) << contents;
        EXPECT_FALSE(world.mapName) << contents;
        EXPECT_EQ(world.configTitle, "Title") << contents;
        EXPECT_EQ(log.heldLine == LogCursor::HeldLine::current, held) << contents;
        const StepResult last = stepLog(log, world, 1000, WorldHooks{});
        EXPECT_FALSE(last.applied || last.gap) << contents;
    }
}

TEST_F(LogIndexTest, CarriageReturnsChangeNothingButOffsets)
{
    const std::string lf = "[0:00:00] CREATED;SOLDIER;5;A;0;0;0;0;1;1;1;Ann\n\n[0:00:03] DESTROYED;SOLDIER;5\n"
                           "[0:30:00] CHAT;PUBLIC;5;x\nreset\n[0:00:09] KILLED;A\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const auto a = indexOf(lf);
    const auto b = indexOf(crlf);
    EXPECT_EQ(a->lines, b->lines);
    EXPECT_EQ(a->scannedS, b->scannedS);
    EXPECT_EQ(marksOf(*a), marksOf(*b));
    EXPECT_EQ(breaksOf(*a), breaksOf(*b));
    EXPECT_EQ(a->marks.size(), 4u);
}

// [SECTION] Checkpoints

TEST_F(LogIndexTest, CheckpointsFindEveryLogSecondInTheFile)
{
    // One to three lines a second; a blank line after each first line of a second, which has a number too.
    std::string contents;
    std::vector<std::string> lines;
    std::vector<std::int64_t> numbers;
    std::vector<std::size_t> firstOfSecond;
    for (int second = 0; second < 120; ++second) {
        firstOfSecond.push_back(lines.size());
        for (int i = 0; i < 1 + second % 3; ++i) {
            lines.push_back("[1:" + std::to_string(second / 60) + ":" + std::to_string(second % 60) + "] KILLED;A;"
                            + std::to_string(i));
            numbers.push_back(1 + std::count(contents.begin(), contents.end(), '\n'));
            contents += lines.back() + (i == 0 ? "\n \n" : "\r\n");
        }
    }
    const std::string path = writeFile("index.log", contents);
    const LogIndex index(std::move(*openLogFile(path)));
    const auto data = index.waitFor(everything);
    ASSERT_EQ(data->checkpoints.size(), 120u);
    for (std::size_t second = 0; second < data->checkpoints.size(); ++second) {
        const LogCheckpoint& checkpoint = data->checkpoints[second];
        const std::size_t at = firstOfSecond[second];
        EXPECT_EQ(checkpoint.t, static_cast<double>(second));
        EXPECT_EQ(checkpoint.line, numbers[at]);
        // The offset is the reader's while the line is current: put there, it reads the line after the look-ahead.
        LineReader reader = std::move(*openLogFile(path));
        ASSERT_TRUE(reader.seek(checkpoint.offset, 1));
        EXPECT_EQ(reader.read(), at + 2 < lines.size() ? std::optional(lines[at + 2]) : std::nullopt) << second;
    }
}

TEST_F(LogIndexTest, CheckpointsThinOutForVeryLongLogs)
{
    std::string contents;
    for (int second = 0; second < 70000; ++second)
        contents += "[" + std::to_string(second / 3600) + ":" + std::to_string(second / 60 % 60) + ":"
                  + std::to_string(second % 60) + "] A\n";
    const auto index = indexOf(contents);
    ASSERT_EQ(index->scannedS, 69999);
    EXPECT_LE(index->checkpoints.size(), std::size_t{1} << 16);
    EXPECT_GE(index->checkpoints.size(), 70000u / 2);
    EXPECT_EQ(index->checkpoints.front().t, 0);
    for (std::size_t i = 1; i < index->checkpoints.size(); ++i)
        ASSERT_EQ(index->checkpoints[i].t - index->checkpoints[i - 1].t, 2) << i;
}

// [SECTION] Publishing and stopping

TEST_F(LogIndexTest, APublishedViewNeverChanges)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    PipeWriter writer{ends[1]};
    std::FILE* readEnd = fdopen(ends[0], "rb");
    ASSERT_NE(readEnd, nullptr);
    std::string first;
    std::string rest;
    for (int second = 0; second < 6000; ++second)
        (second < 4000 ? first : rest) += "[" + std::to_string(second / 3600) + ":" + std::to_string(second / 60 % 60)
                                        + ":" + std::to_string(second % 60) + "] CHAT;PUBLIC;1;x\n";
    const LogIndex index(LineReader(readEnd), 16);
    ASSERT_TRUE(writer.put(first));
    const auto early = index.waitFor(100);
    const LogIndexData copy = *early;
    EXPECT_FALSE(early->complete);
    EXPECT_GE(early->scannedS, 100);
    EXPECT_LT(early->scannedS, 4000);
    EXPECT_EQ(early->marks.size(), static_cast<std::size_t>(early->lines));
    ASSERT_TRUE(writer.put(rest));
    close(std::exchange(writer.fd, -1));
    const auto done = index.waitFor(everything);
    EXPECT_TRUE(done->complete);
    EXPECT_EQ(done->lines, 6000);
    EXPECT_EQ(early->lines, copy.lines);
    EXPECT_EQ(early->marks.size(), copy.marks.size());
    EXPECT_EQ(early->scannedS, copy.scannedS);
    EXPECT_FALSE(early->complete);
}

TEST_F(LogIndexTest, StoppingMidScanJoinsTheThread)
{
    std::string contents;
    for (int line = 0; line < 200000; ++line)
        contents += "[0:00:00] KILLED;A\n";
    const std::string path = writeFile("big.log", contents);
    std::shared_ptr<const LogIndexData> kept;
    {
        const LogIndex index(std::move(*openLogFile(path)));
        kept = index.view();
    }
    // The view outlives its index, whole.
    EXPECT_LE(kept->lines, 200000);
    EXPECT_EQ(kept->marks.size(), static_cast<std::size_t>(kept->lines));
}

namespace {

// Hooks that count their calls and fail the test when called on another thread than the one that set them up.
std::thread::id hookThread;
int hookCalls = 0;

bool countedCalibration(World& world)
{
    EXPECT_EQ(std::this_thread::get_id(), hookThread) << "a hook called on another thread";
    ++hookCalls;
    world.calibration.scaleX = 7;
    return true;
}

std::shared_ptr<const MapPicture> countedPicture(std::string_view)
{
    EXPECT_EQ(std::this_thread::get_id(), hookThread) << "a hook called on another thread";
    ++hookCalls;
    return nullptr;
}

}  // namespace

TEST_F(LogIndexTest, OnlyTheStepsGivenHooksCallThem)
{
    hookThread = std::this_thread::get_id();
    hookCalls = 0;
    const WorldHooks counted{countedCalibration, countedPicture};
    const std::string path =
        writeFile("maps.log", "[0:00:00] 1;Coast.map\n[0:00:01] CREATED;SOLDIER;1;A;0;0;0;0;1;1;0;A\n"
                              "[0:00:02] 2;Desert.map\n[0:00:03] KILLED;A\n");
    // The index scans the log on its thread while this thread steps the same log with the counting hooks, then once
    // more with none: two map lines call both hooks once each, and nothing else calls them.
    const LogIndex index(std::move(*openLogFile(path)));
    auto played = [&path](const WorldHooks& hooks) {
        LogCursor log;
        startLog(log, std::move(*openLogFile(path)));
        World world;
        while (stepLog(log, world, 1000, hooks).gap) {
        }
        return world;
    };
    const World hooked = played(counted);
    EXPECT_EQ(hooked.calibration.scaleX, 7);
    EXPECT_FALSE(hooked.statusMessage);
    const World unhooked = played(WorldHooks{});
    EXPECT_EQ(unhooked.mapName, "Desert.map");
    EXPECT_EQ(unhooked.calibration.scaleX, 0);
    EXPECT_EQ(unhooked.statusMessage, "Error loading Kelo.ini");
    EXPECT_EQ(index.waitFor(everything)->lines, 4);
    EXPECT_EQ(hookCalls, 4);
}

// [SECTION] Reading from an offset

TEST_F(LogIndexTest, TheReaderReadsOnFromAnyOffsetItCounted)
{
    // Carriage returns on both sides of a block boundary, blank lines, an over-long line, a NUL byte.
    std::string contents = "[0:00:00] A\r\n\r\n  \t[0:00:01] B\rC\r\n";
    contents += std::string(65536 - contents.size() - 1, 'x') + "\r\n[0:00:02] D\r\r\n";
    contents += std::string(3000, 'y') + "\n[0:00:03] E" + std::string(1, '\0') + "F\n[0:00:04] G";
    const std::string path = writeFile("offsets.log", contents);
    struct Place {
        std::int64_t offset;
        std::int64_t line;
    };
    std::vector<Place> places;
    std::vector<std::optional<std::string>> lines;
    LineReader reader = std::move(*openLogFile(path));
    do {
        places.push_back({reader.offset(), reader.nextLineNumber()});
        lines.push_back(reader.read());
    } while (lines.back());
    ASSERT_EQ(lines.size(), 8u);  // seven lines, then none
    // One reader goes back and forth: what it had read ahead must not leak into what it reads after a seek.
    LineReader again = std::move(*openLogFile(path));
    for (std::size_t from : {3, 0, 6, 2, 7, 1, 5, 4, 0}) {
        ASSERT_TRUE(again.seek(places[from].offset, places[from].line));
        // Two lines, so that the reader still holds some of its block at the next seek.
        for (std::size_t i = from; i < std::min(from + 2, lines.size()); ++i) {
            EXPECT_EQ(again.nextLineNumber(), places[i].line) << from << " " << i;
            EXPECT_EQ(again.offset(), places[i].offset) << from << " " << i;
            EXPECT_EQ(again.read(), lines[i]) << from << " " << i;
        }
    }
}
