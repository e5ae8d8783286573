// The event interpreter: applies one split log line to the world it is given.
// A line it cannot use changes nothing; the only thing it tells its caller is that a line asks playback to stop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/log_format.h"
#include "world/world_hooks.h"
#include "world/world_model.h"

enum class EventEffect : std::uint8_t { none, stopPlayback };

// msPerLogSecond is the playback speed of this moment: a position report glides over twice its ticks. A map line
// calls the hooks, when set, for the map's calibration and picture.
EventEffect applyEvent(World& world, const Fields& fields, std::int32_t msPerLogSecond, const WorldHooks& hooks);

// A world stepped without movement ticks (a settled world: each unit where its last report made it jump, gliding
// toward the target of its latest) given the glides that its latest reports would have set up at this speed, as if
// every line had been applied at it: only a glide's steps depend on the speed.
void retimeGlides(World& world, std::int32_t msPerLogSecond);

// A world stepped with WorldHooks{} given what its map lines would have loaded with `hooks`: calibration, status
// message and picture. `mapNames` are the names of every map line applied since the log's start, each once, in the
// order of its last line: a later line of the same name loads the same again and overrides what it loads.
void loadMapsAgain(World& world, const std::vector<std::string>& mapNames, const WorldHooks& hooks);

// Distance in the plane with every intermediate result rounded to a 32-bit float.
float distance2D(float x1, float y1, float x2, float y2);
// atan2 of the 32-bit differences, in radians; 0 from a point to itself.
float headingTo(float x1, float y1, float x2, float y2);
