// The application shell's core, the same for every backend: start-up and shutdown, composing frames, the repaint
// tick and the routing of timers. Backends call these; they never hold world state themselves.
#pragma once

#include <functional>
#include <string>

#include "app/timers.h"

// The repaint timer's period: ten frames a second.
constexpr std::int32_t repaintPeriodMs = 100;

// GDI+, once per process. Empty when all went well, else what failed.
std::string startCore();
// The program's start-up: startCore, then the backend's `createWindow` (empty, or what failed), then the first
// paint and the 100 ms repaint timer. Empty when all went well, else what failed: the backend ends the program.
std::string startShell(const std::function<std::string()>& createWindow);
// The state goes first (the decoding thread ends, the map picture is a GDI+ object), then GDI+ itself.
void stopShell();
// Whether pictures are decoded on a thread of their own while the window goes on answering (the viewers), or where
// a frame needs them, which waits (kelo-render and the tests: each frame then shows the same on every run). The
// latter until a backend says otherwise.
void setPicturesDecodedAside(bool aside);
// Whether frames show the timeline strip while a log is open: the viewers do; kelo-render only when asked, so that
// its frames stay as they were without it.
void setTimelineShown(bool shown);
// Whether the strip shows the side panel's toggle: the viewers do; kelo-render only with --panel, so that its frames
// stay as they were without it.
void setPanelToggleShown(bool shown);
// The side panel opened or closed: the frame, wider while it is open, is placed anew in the same client area.
void panelToggled();

// The window's client area, and with it the back buffer, is now this size: the frame is drawn scaled to fit it and
// pointer positions are taken back into the frame. The frame's own size until a backend says otherwise.
void resizeView(int clientWidth, int clientHeight);

// Composes a frame into the back buffer unless one is being composed already.
void composeFrame();
// Whether a frame composed now would differ from the one in the back buffer: something it shows changed since (the
// world, the view state, speed and pause, the strip, the fit, a picture decoded or a file of it changed).
bool frameChanged();
// What the backends' paints call: composes a frame only when it would differ, so an expose shows the last one.
void composeChangedFrame();
// Something that the frame shows changed where frameChanged cannot see it: the next repaint composes.
void markFrameChanged();
// Seeks where the pointer or a key asked since the last tick, then repaints when the frame changed.
void repaintTick();
// Every timer of the backend arrives here: playback steps, movement ticks, repaints, slices of a seek.
void onTimer(TimerId id);
