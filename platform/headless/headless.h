// The headless backend: a virtual clock that fires timers, recorded message boxes and window requests, and scripted
// file choices.
// Tests and kelo-render drive the core through it; the back buffer is the bitmap of platform/linux/shared.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/keys.h"
#include "seam/platform.h"

namespace headless {

struct MessageBox {
    std::string text;
    std::string caption;
};

// Starts the core (GDI+ and the world's hooks) once for the life of the process; call before anything draws or
// loads a picture. False when GDI+ does not start.
bool startup();

// Moves virtual time forward by `ms`, firing every due timer in order of due time, ties in arming order.
void advance(std::int64_t ms);
std::int64_t now();

bool timerArmed(TimerId id);
// Whether the core has put the timer at rest (restTimer), which the window backends take off the system's timers.
bool timerResting(TimerId id);
// When the timer fires next; none when it is not armed.
std::optional<std::int64_t> dueTime(TimerId id);
// Passes over the firings of a periodic timer that are due before `time`, as if they had happened: the next firing
// is the first one at or after `time`, in the same phase.
void passOver(TimerId id, std::int64_t time);
std::int32_t timerPeriod(TimerId id);  // 0 when not armed
// From now on the timer of that id fires `ms` later than its period says, each time, as a loaded machine's or
// Windows' timers do.
void setTimerLateness(TimerId id, std::int32_t ms);
// Each firing is handed to the sink, if one is set, just before the core hears of it.
void setTimerSink(void (*sink)(TimerId id));

// Message boxes shown so far, oldest first; each is also handed to the sink, if one is set.
const std::vector<MessageBox>& messages();
void setMessageSink(void (*sink)(const MessageBox& box));

// What keys asked of the window so far, oldest first; there is no window, so nothing else comes of them.
const std::vector<WindowRequest>& windowRequests();

// The next open-file dialog answers with this path ("" answers as a cancel); an empty queue cancels.
void queueFileChoice(const std::string& path);

// The folder where Kelo.ini, Maps and Presets are looked for; the program's own folder until set.
void setProgramFolder(const std::string& folder);

// The window's client area is this size from now on, as a viewer's window resized: the back buffer is made again at
// that size, black, and frames are drawn scaled to fit it. Pointer positions are the client's pixels.
void setClientSize(int width, int height);

// Reads one pixel of the back buffer.
ARGB pixel(int x, int y);
// Every pixel of the back buffer at once, as pixel() reads them: rows of 0xAARRGGBB values (B, G, R, A in memory),
// top row first, as many rows and columns as the client area has (400 x 455 unless set). False, with `pixels`
// emptied, when the buffer cannot be read.
bool framePixels(std::vector<std::uint32_t>& pixels);
// Saves the back buffer as a PNG file (8-bit RGBA).
bool saveFrame(const std::string& path);

// The resident memory of the process in kB (VmRSS in /proc/self/status), for long runs that watch it; 0 when it
// cannot be read.
long residentKilobytes();

// Scripted pointer and key input, as the window would deliver it.
void pointerMove(int x, int y);
void pointerPress(int x, int y);
void pointerRelease();
void wheel(int x, int y, int notches);
void key(const KeyPress& press);

// Time 0, no timers, none late, no messages, no window requests, no sinks, no queued choices, the program's own
// folder, a 400 x 455 client area.
void reset();

}  // namespace headless
