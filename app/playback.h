// The replay reader and playback clock: choosing and opening a log, the lines due at each playback timer tick,
// movement ticks, pause, resume and speed. Holds the open log with its two lines, and what navigation keeps of it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/live_follow.h"
#include "world/log_index.h"
#include "world/log_step.h"
#include "world/log_time.h"

struct Playback {
    LogCursor log;
    std::int32_t msPerLogSecond = 1000;
    std::uint8_t playbackPaused = 0;
    PlaybackPace pace;  // when each line is due, from the last open, Play, speed change or seek
    bool linesTimed = false;  // the playback timer is armed for the next due line

    // Navigation (app/seek.cpp), all of it gone with the log.
    LogClock clock;  // the log time of log.currentLine
    std::string logPath;
    std::unique_ptr<LogIndex> index;  // the scan of the open log; none while no log is open
    // The shown line's world without glides, stepped beside playback: where a seek "stays where it is". None when
    // the file could not be opened a second time.
    std::optional<SettledLog> trail;
    std::optional<SettledSeek> seek;  // a seek under way
    LiveFollow live;  // following the log while it is written (app/live_follow.h)
};

std::string chooseReplayFile();
// Opens a log and plays it; following it as it is written (app/live_follow.h) or not, whatever the log before did.
void openReplayLog(const std::string& path, bool following = false);
// Applies every line that is due, in order, up to a bound on one step's work, and arms the playback timer for the
// next due line (at once when the bound cut the step short).
void playbackStep();
void movementTick();
// Pause: no line is due and the units hold their glides, so the movement timer rests until Play.
void pausePlayback();
void resumePlayback();
void stopPlayback();
// A new speed; lines being played are due from now on at that speed, the part of the gap already waited kept.
void setSpeed(std::int32_t msPerLogSecond);
// While paused: applies the current line (lines > 0), or seeks to the line before it (lines < 0).
void stepLines(int lines);
// The current line is due at log time `logMs` (log milliseconds, at most its own time) counted from now; a log time
// before the line waits for the rest of it.
void timeLinesFrom(std::int64_t logMs);
// Arms the playback timer for the current line, due at the pace set before.
void timeCurrentLine();
// trunc(0.05 x msPerLogSecond), taken when a log is opened.
std::int32_t movementPeriod(std::int32_t msPerLogSecond);

// [SECTION] Navigation's part in playback (app/seek.cpp)

// Drops the index (with its snapshots), the trail and any seek of the log that was open.
void stopNavigation();
// Starts the index and the trail of the log just opened at `path`.
void startNavigation(const std::string& path);
// Starts the index of the log at `path` afresh, following the file as playback does.
void startIndex(const std::string& path);
// Steps the trail over the line that playback has just applied.
void followPlayback();
// The seek timer: applies the lines of a seek under way for at most 20 ms.
void seekTick();
