// The program's one instance of each kind of state: the world shown, the playback of the open log and the view.
// Top-level handlers reach them directly as app::world, app::playback and app::view; tests make a fresh set.
#pragma once

#include <cstdint>

#include "app/playback.h"
#include "view/view_state.h"
#include "world/world_model.h"

namespace app {

extern World world;
extern Playback playback;
extern ViewState view;
// Cleared while a frame is composed, so that a paint arriving meanwhile composes nothing.
extern std::uint8_t composeReady;

// Everything as at start-up: an empty world, no log, 1000 ms per log second, the buttons at rest.
void resetState();

}  // namespace app
