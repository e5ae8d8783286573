// The timers the app arms through the seam, by id: each id reaches onTimer (app/shell.h) when it fires.
#pragma once

#include "seam/platform.h"

enum : TimerId { playbackTimer = 0, movementTimer = 1, repaintTimer = 2, seekTimer = 3, followTimer = 4 };
