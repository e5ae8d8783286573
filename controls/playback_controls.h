// Playback controls: the action of the pressed button runs when the left button comes up.
// Relies on the replay reader and playback clock (app/playback.h); the only writer of the playback speed.
#pragma once

#include <cstdint>

// The playback speed one step slower or faster, kept within 125 to 4000 ms per log second.
std::int32_t slowerSpeed(std::int32_t msPerLogSecond);
std::int32_t fasterSpeed(std::int32_t msPerLogSecond);

void onPointerRelease();
