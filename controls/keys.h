// The keys Kelo acts on, as every backend translates its own key events into them, and what each one does: the
// action of a control button, a seek or a request to the window. Pure; the app runs the command (onKey in
// app/input.h).
#pragma once

#include <cstdint>
#include <variant>

#include "seam/platform.h"
#include "view/view_state.h"

enum class Key : std::uint8_t {
    space,
    left,
    right,
    home,
    plus,
    minus,
    b,
    o,
    bracketLeft,
    bracketRight,
    period,
    comma,
    q,
    w,
    f11,
    escape,
    z,
    x,
    f,
    zero,
    tab,
    slash,
    enter,
    backspace,
    typed,  // a key that only types its character (KeyPress::text)
    l,
    end
};

struct KeyPress {
    Key key = Key::space;
    bool shift = false;
    bool control = false;
    bool repeat = false;  // the key is held down and the system repeats it
    // The character the key types, as the system's keyboard layout gives it; 0 for none. The search line takes it.
    char32_t text = 0;
};

struct SeekBy {
    double seconds;  // from where playback is, or where a seek under way is going
    bool operator==(const SeekBy&) const = default;
};

struct SeekTo {
    double seconds;
    bool operator==(const SeekTo&) const = default;
};

// One speed step, on past the buttons' range: 0.125x to 64x.
struct SpeedStep {
    bool faster;
    bool operator==(const SpeedStep&) const = default;
};

// One line forward (applied) or back (a seek to the line before the current one).
struct LineStep {
    int lines;
    bool operator==(const LineStep&) const = default;
};

// What a key asks of the camera.
enum class CameraKey : std::uint8_t { zoomIn, zoomOut, follow, rest };

// L: following the log as it is written, on or off. End: to the newest line of a followed log.
enum class LiveCommand : std::uint8_t { toggleFollowing, toLiveEdge };

using KeyCommand = std::variant<std::monostate, ButtonIndex, SeekBy, SeekTo, SpeedStep, LineStep, WindowRequest,
                                CameraKey, LiveCommand>;

// Space: "Pause" while playing, "Play" while paused. Left and Right: 10 log seconds back or forward, 60 with
// Shift. Home: the start. + and -: ">>" and "<<". ] and [: a speed step that goes on past the buttons. While
// paused, . and ,: one line forward or back. B: "Bars". O and Ctrl+O: "Open". Ctrl+Q and Ctrl+W: close the
// window. F11: full screen or back; Escape: out of full screen. Z and X: the camera zooms in and out about the
// middle; F: it follows a unit or stops; 0: back to rest. L: following the log as it is written on or off; End: the
// newest line. A held key repeats seeks, speed and line steps and zooms; every other command acts once a press.
// Control with any other key is left to the system.
KeyCommand keyCommand(const KeyPress& press, bool paused);
