// A settled log: a world stepped through a log with the step function and no movement ticks, so that every unit
// stands where its last report made it jump. It is what a seek builds, what snapshots keep and what follows
// playback line for line. Relies on the step function, the log clock and the line reader's offsets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "world/log_time.h"
#include "world/world_model.h"

struct SettledLog {
    LogCursor log;
    LogClock clock;
    World world;
    bool ended = false;  // a step found no line left
};

// The log's start as a fresh open reads it: chat, status and picture start empty as well.
SettledLog startSettled(LineReader reader);

// Applies the current line, with the hooks given, and moves the clock. The speed sets the glides of position reports
// alone, so lines applied at several speeds give the world of one speed once its glides are re-timed (retimeGlides).
StepResult stepSettled(SettledLog& settled, std::int32_t msPerLogSecond, const WorldHooks& hooks);

// Where a cursor stands in its file: the two lines it holds and the reader's place after them. Only a cursor whose
// lines are read (linesRead), or one waiting at a followed file's end, has such a place: the reader's offset then
// lies where a line starts.
struct CursorPlace {
    std::string currentLine;
    std::optional<std::string> nextLine;
    std::int64_t currentNumber = 0;
    std::int64_t nextNumber = 0;
    std::int64_t offset = 0;
    std::int64_t readLine = 1;  // the reader's next line number
    LogCursor::HeldLine heldLine = LogCursor::HeldLine::none;
    // A followed file: a cursor waiting at its end holds the lines not yet whole (read again from their start) and
    // whether its current line was applied there.
    bool following = false;
    int linesUnread = 0;
    bool currentApplied = false;
};

CursorPlace placeOf(const LogCursor& log);
// The cursor at that place of the file at `path`; none when the file cannot be opened or put there.
std::optional<LogCursor> reopenAt(const std::string& path, const CursorPlace& place);

// A copy with a reader of its own on the file at `path`; none when the file cannot be opened again.
std::optional<SettledLog> copySettled(const SettledLog& settled, const std::string& path);

// A seek under way: the settled log it steps toward the first line whose log time is at or after `target` and
// whose line number is at least `targetLine`.
// Damage links are drawn for one frame in playback; after a seek only those of the last whole log second before
// the target are left, so every link is cleared just before the first line of that second is applied.
struct SettledSeek {
    SettledLog at;
    double target = 0;
    std::int32_t msPerLogSecond = 1000;
    bool linksCleared = false;
    std::int64_t targetLine = 0;
};

// The log time from which a seek to `target` keeps the damage links: the last whole second before it.
std::int64_t linkSecond(double target);

// Whether a seek to `target` can go on from a settled log with this clock: all of its lines were applied before the
// last whole second before the target (so that its damage links all go), or none was.
bool canStartSeek(const LogClock& clock, double target);

// Applies one line toward the target (or reads on in a long one); false once the current line is at or after the
// target, read with its look-ahead line, or the data has ended (then nothing was applied and the damage links are
// settled). The lines are applied with the hooks given, as playback applies them.
bool stepSeek(SettledSeek& seek, const WorldHooks& hooks);

// Drops every damage link of the world.
void clearDamageLinks(World& world);
