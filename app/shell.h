// The application shell's core, the same for every backend: start-up and shutdown, composing frames, the repaint
// tick and the routing of timers. Backends call these; they never hold world state themselves.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

// GDI+ and the hooks that the world calls; once per process. Empty when all went well, else what failed.
std::string startCore();
// The program's start-up: startCore, then the backend's `createWindow` (empty, or what failed), then the first
// paint and the 100 ms repaint timer. Empty when all went well, else what failed: the backend ends the program.
std::string startShell(const std::function<std::string()>& createWindow);
// The state goes first (the map picture is a GDI+ object), then GDI+ itself.
void stopShell();

// Composes a frame into the back buffer unless one is being composed already.
void composeFrame();
void repaintTick();
// Every timer of the backend arrives here: playback steps, movement ticks, repaints, slices of a seek.
void onTimer(TimerId id);
