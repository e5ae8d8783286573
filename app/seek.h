// Navigation in the open log: its log time, the index that a second reader scans beside playback, and seeking.
// The viewer never waits for the index; what it has scanned so far is usable at once.
#pragma once

#include <memory>
#include <optional>

#include "world/log_marks.h"

// The current line's log time: seconds since the log's first line, the sum of the playback gaps before it.
double logTimeNow();
// The number of the last line of the log applied to the world on screen: the line before the current one, or the
// final line once the data has ended.
std::int64_t linesPlayed();
// The index as scanned so far; never null (an empty index while no log is open).
std::shared_ptr<const LogIndexData> indexView();
// Moves playback to log time t (clamped to the scanned part), playing or paused, keeping speed and pause.
// Afterwards the world is the one a fresh open of the log at the current speed shows when played up to the first
// line at or after t, that line next: "fresh" meaning chat, status message and map picture empty at the log's start
// (opening keeps the previous log's chat; a seek does not), with no glide run (each unit where its last report made
// it jump) and only the damage links of lines in the last whole second before t. Pins stay on units of the same
// id. When playing, that line comes when its log time is due; when paused, playback stays stopped. A seek under
// way is replaced by the next one; until it is done the shown world stays and playback waits. With a line number,
// the line landed on is the first at or after t whose number is at least that.
void seekTo(double logSeconds, std::int64_t line = 0);
// The target of a seek under way; none while no seek runs.
std::optional<double> seekTarget();
// Applies every line that a seek under way still needs, at once (the headless player, tests); the viewers apply
// them a slice at a time on the seek timer.
void finishSeek();
