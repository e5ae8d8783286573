// The application shell's core: composing frames, the repaint tick and the routing of timers.
// Backends call these; they never hold world state themselves.
#pragma once

#include "platform/platform.h"

// Composes a frame into the back buffer unless one is being composed already.
void composeFrame();
void repaintTick();
// Every timer of the backend arrives here: playback steps, movement ticks, repaints.
void onTimer(TimerId id);
