// The seam between the core and the operating system: free functions defined once per backend.
// Each executable links exactly one backend; the backend calls the core back through app/shell.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "seam/gdiplus_flat.h"
#include "world/log_growth.h"

// Timers are known by small ids that the core chooses, from 0 to timerIdLimit - 1.
using TimerId = int;
constexpr TimerId timerIdLimit = 8;

// Arms a periodic timer; arming a running timer replaces its period and restarts it. The backend calls onTimer(id).
void armTimer(TimerId id, std::int32_t periodMs);
void stopTimer(TimerId id);
// A timer at rest would change nothing when it fired (the movement timer while paused). The window backends take it
// off the system's timers, so that a resting viewer is not woken for it, and put it back with its period when it
// wakes; arming it meanwhile only sets that period. The headless backend fires it on, in its order: virtual ticks
// cost nothing.
void restTimer(TimerId id, bool resting);

// Milliseconds on a clock that never goes back, for cutting long work into slices between events; the headless
// backend answers with its virtual time, which stands still while the core works.
std::int64_t steadyMs();

// A modal error box owned by the main window, with an OK button; timers and painting go on while it is up.
void showErrorBox(const std::string& text, const std::string& caption);

// The open-file dialog ("All Files", path and file must exist); an empty string when cancelled.
std::string runOpenFileDialog();

// What the user asks of the main window itself: to close it, as its close button does, or to fill the screen with
// it or give the screen back. Leaving full screen while not in it changes nothing.
enum class WindowRequest : std::uint8_t { close, toggleFullScreen, leaveFullScreen };
void requestWindow(WindowRequest request);

// The folder of the running program file, without a trailing separator.
std::string executableFolder();

// One value of a Windows-profile (INI) file, or `fallback` when the file, section or key is missing.
std::string readProfileString(const std::string& section, const std::string& key, const std::string& fallback,
                              const std::string& path);

// Whether a file is at `path`, which file it is and its size: a followed log is looked at with it.
LogFileLook lookAtFile(const std::string& path);

// A fault worth a developer's eye that the user is not shown: standard error on Linux, the debugger's output
// on Windows.
void reportProblem(const std::string& text);

// Invalidates the window without erasing and paints it at once.
void repaintWindow();

// The back buffer's device context, on which every drawing surface is opened.
GpDC backBufferDC();
// Every pixel of the back buffer, rows top first; false, with `pixels` emptied, when it cannot be read. A frame
// composed over the last one can still change what that one left translucent: frames are compared to know when
// they have settled.
bool backBufferPixels(std::vector<std::uint32_t>& pixels);
