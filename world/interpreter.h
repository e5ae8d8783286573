// The event interpreter: applies one split log line to the world it is given.
// A line it cannot use changes nothing; the only thing it tells its caller is that a line asks playback to stop.
#pragma once

#include <cstdint>

#include "world/log_format.h"
#include "world/world_hooks.h"
#include "world/world_model.h"

enum class EventEffect : std::uint8_t { none, stopPlayback };

// msPerLogSecond is the playback speed of this moment: a position report glides over twice its ticks. A map line
// calls the hooks, when set, for the map's calibration and picture.
EventEffect applyEvent(World& world, const Fields& fields, std::int32_t msPerLogSecond, const WorldHooks& hooks);

// Distance in the plane with every intermediate result rounded to a 32-bit float.
float distance2D(float x1, float y1, float x2, float y2);
// atan2 of the 32-bit differences, in radians; 0 from a point to itself.
float headingTo(float x1, float y1, float x2, float y2);
