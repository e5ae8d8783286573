// TODO
#include "app/playback.h"

std::string chooseReplayFile() { return {}; }
void openReplayLog(const std::string&) {}
void playbackStep() {}
void countDownClock(std::int64_t) {}
void resumePlayback() {}
void stopPlayback() {}
std::int32_t playbackPeriod(std::int64_t, std::int32_t) { return 1; }
std::int32_t movementPeriod(std::int32_t) { return 1; }
std::optional<std::string> readLogLine(std::FILE*) { return {}; }
