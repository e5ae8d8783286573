// The replay reader and playback clock: choosing and opening a log, one step per playback timer tick,
// movement ticks, pause and resume. Holds the open log with its two lines.
#pragma once

#include <cstdint>
#include <string>

#include "world/log_step.h"

struct Playback {
    LogCursor log;
    std::int32_t msPerLogSecond = 1000;
    std::uint8_t playbackPaused = 0;
};

std::string chooseReplayFile();
void openReplayLog(const std::string& path);
void playbackStep();
void movementTick();
void resumePlayback();
void stopPlayback();

// gap x msPerLogSecond + 1 in 64 bits, clamped to the 32-bit range; a negative period becomes 1 ms.
std::int32_t playbackPeriod(std::int64_t gap, std::int32_t msPerLogSecond);
// trunc(0.05 x msPerLogSecond), taken when a log is opened.
std::int32_t movementPeriod(std::int32_t msPerLogSecond);
