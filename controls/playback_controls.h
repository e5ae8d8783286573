// Playback controls: which pressed button acts when the left button comes up, and the speed steps.
// The app carries the action out on the playback it owns (app/input.cpp).
#pragma once

#include <cstdint>
#include <optional>

#include "view/view_state.h"

// The playback speed one step slower or faster within the buttons' range, 125 to 4000 ms per log second; a speed
// beyond it that the keys set is not moved further out.
std::int32_t slowerSpeed(std::int32_t msPerLogSecond);
std::int32_t fasterSpeed(std::int32_t msPerLogSecond);
// The speed one step slower or faster as the keys go, from 8000 ms per log second (0.125x) to 15.625 (64x, held
// as 15; see logSecondUs).
std::int32_t slowerKeySpeed(std::int32_t msPerLogSecond);
std::int32_t fasterKeySpeed(std::int32_t msPerLogSecond);

// The button whose action a release runs: the first pressed one in the order Open, <<, >>, Pause, Play, Bars.
std::optional<ButtonIndex> actingButton(const ViewState& view);
