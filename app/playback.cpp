// The replay reader and playback clock: two lines of the open log are held, each playback timer tick applies
// the current one and re-arms the timer for the scaled gap to the look-ahead line's stamp.
// Relies on world/log_format.h (split, stamps), world/interpreter.h, world/world_model.h and the platform seam.
#include "app/playback.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "app/globals.h"
#include "platform/platform.h"
#include "world/interpreter.h"
#include "world/log_format.h"
#include "world/world_model.h"

namespace {

constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();

// [SECTION] Reading lines

// Text mode on Windows has already turned each carriage return and line feed into a line feed.
#ifdef _WIN32
constexpr bool dropCarriageReturn = false;
#else
constexpr bool dropCarriageReturn = true;
#endif

// The next character as text mode delivers it: a carriage return before a line feed is not part of the text.
int readChar(std::FILE* file)
{
    int c = std::getc(file);
    if (dropCarriageReturn && c == '\r') {
        int after = std::getc(file);
        if (after == '\n')
            return after;
        std::ungetc(after, file);
    }
    return c;
}

// White space as the C library's scanning sees it in the "C" locale, whatever locale the toolkit chose.
bool isWhiteSpace(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// [SECTION] Playback

// Stops the stepping and tells the user; lines, file, world and the paused flag stay as they are.
void endOfData()
{
    stopPlayback();
    showErrorBox("No more data", "Error");
}

}  // namespace

std::optional<std::string> readLogLine(std::FILE* file)
{
    if (file == nullptr)
        return {};
    int c = readChar(file);
    if (c == EOF)
        return {};
    if (c == '\n') {
        // An empty line yields nothing and stays unread, so every later read yields nothing too.
        std::ungetc(c, file);
        return {};
    }
    std::string line;
    for (; c != EOF && c != '\n'; c = readChar(file)) {
        // Past the limit the rest of the line is consumed and dropped, never read as a line of its own.
        if (line.size() < lineLimit)
            line.push_back(static_cast<char>(c));
    }
    while (c != EOF && isWhiteSpace(c))
        c = readChar(file);
    if (c != EOF)
        std::ungetc(c, file);
    // A NUL byte is read like any other, but the kept line is the C string that ends at the first one.
    line.erase(std::min(line.find('\0'), line.size()));
    return line;
}

std::FILE* openLogFile(const std::string& path)
{
    // A folder opens for reading on Linux but holds no lines; Windows refuses to open one in the first place.
    std::error_code error;
    return std::filesystem::is_directory(path, error) ? nullptr : std::fopen(path.c_str(), "r");
}

std::int32_t playbackPeriod(std::int64_t gap, std::int32_t msPerLogSecond)
{
    // Clamping the gap first keeps the product inside 64 bits and still beyond the 32-bit range when it was.
    std::int64_t period = std::clamp(gap, int32Min, int32Max + 1) * msPerLogSecond + 1;
    // Time going back over twelve hours gives a negative period: the next step then comes at once.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(period, 1, int32Max));
}

std::int32_t movementPeriod(std::int32_t msPerLogSecond)
{
    return static_cast<std::int32_t>(msPerLogSecond * 0.05);
}

std::string chooseReplayFile()
{
    return runOpenFileDialog();
}

void openReplayLog(const std::string& path)
{
    if (path.empty())
        return;
    stopPlayback();
    resetWorld();
    g.replayFile.reset();
    g.currentLine.clear();
    g.nextLine.reset();
    g.replayFile.reset(openLogFile(path));
    if (!g.replayFile) {
        showErrorBox("Could not open file", "Error!");
        return;
    }
    armTimer(playbackTimer, 1);
    armTimer(movementTimer, movementPeriod(g.msPerLogSecond));
    g.currentLine = readLogLine(g.replayFile.get()).value_or("");
    g.nextLine = readLogLine(g.replayFile.get()).value_or("");
}

void playbackStep()
{
    // No open log (Play after a failed open) or no line left (Play after the end) is the end of data too.
    std::optional<SplitLine> split;
    if (g.replayFile)
        split = splitLine(g.currentLine);
    if (!split) {
        endOfData();
        return;
    }
    std::optional<std::int64_t> current = stampTime(g.currentLine);
    if (!current)
        resetWorld();
    if (!g.nextLine) {
        // The final line of the log is applied before the data ends; after it no line is left.
        applyEvent(split->fields);
        g.currentLine.clear();
        endOfData();
        return;
    }
    std::optional<std::int64_t> next = stampTime(*g.nextLine);
    if (!next)
        resetWorld();
    std::int64_t gap = stampGap(current.value_or(0), next.value_or(0));
    applyEvent(split->fields);
    // Re-armed after the event, so a "WIN" that stopped the timer does not end playback.
    armTimer(playbackTimer, playbackPeriod(gap, g.msPerLogSecond));
    countDownClock(gap);
    g.currentLine = std::move(*g.nextLine);
    g.nextLine = readLogLine(g.replayFile.get());
}

void countDownClock(std::int64_t gap)
{
    // Far beyond any clock, and small enough that the total below cannot overflow.
    constexpr std::int64_t gapBound = std::int64_t{1} << 62;
    std::int64_t total = std::int64_t{g.clockMinutes} * 60 + g.clockSeconds - std::clamp(gap, -gapBound, gapBound);
    g.clockSeconds = static_cast<std::int32_t>(total % 60);
    g.clockMinutes = static_cast<std::int32_t>(std::clamp(total / 60, int32Min, int32Max));
}

void resumePlayback()
{
    if (g.playbackPaused)
        armTimer(playbackTimer, g.msPerLogSecond);
    g.playbackPaused = 0;
}

void stopPlayback()
{
    stopTimer(playbackTimer);
}
