// Navigation in the open log: its log time, the index that a second reader scans beside playback, and seeking.
// The viewer never waits for the index; what it has scanned so far is usable at once.
#pragma once

#include <memory>
#include <optional>

#include "world/log_marks.h"

// The current line's log time: seconds since the log's first line, the sum of the playback gaps before it.
double logTimeNow();
// The index as scanned so far; never null (an empty index while no log is open).
std::shared_ptr<const LogIndexData> indexView();
// Moves playback to log time t (clamped to the scanned part), playing or paused, keeping speed and pause.
void seekTo(double logSeconds);
// The target of a seek under way; none while no seek runs.
std::optional<double> seekTarget();
// Applies every line that a seek under way still needs, at once (the headless player, tests); the viewers apply
// them a slice at a time on the seek timer.
void finishSeek();
