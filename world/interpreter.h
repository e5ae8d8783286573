// The event interpreter: applies one split log line to the world model.
// A line it cannot use changes nothing; it reports nothing to its caller.
#pragma once

#include "world/log_format.h"

void applyEvent(const Fields& fields);

// Distance in the plane with every intermediate result rounded to a 32-bit float.
float distance2D(float x1, float y1, float x2, float y2);
// atan2 of the 32-bit differences, in radians; 0 from a point to itself.
float headingTo(float x1, float y1, float x2, float y2);
