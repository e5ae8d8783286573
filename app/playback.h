// The replay reader and playback clock: choosing and opening a log, one step per playback timer tick,
// the countdown clock, pause and resume. Holds two lines of the open log at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

std::string chooseReplayFile();
void openReplayLog(const std::string& path);
void playbackStep();
void countDownClock(std::int64_t gap);
void resumePlayback();
void stopPlayback();

// gap x msPerLogSecond + 1 in 64 bits, clamped to the 32-bit range; a negative period becomes 1 ms.
std::int32_t playbackPeriod(std::int64_t gap, std::int32_t msPerLogSecond);
// trunc(0.05 x msPerLogSecond), taken when a log is opened.
std::int32_t movementPeriod(std::int32_t msPerLogSecond);

// Opens a log for reading in text mode; null when it cannot be opened or is a folder.
std::FILE* openLogFile(const std::string& path);

// Reads one line (at most 1,023 characters, the rest dropped) and skips the white space after it;
// no value at the end of the file.
std::optional<std::string> readLogLine(std::FILE* file);
