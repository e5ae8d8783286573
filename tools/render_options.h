// kelo-render's command line: the options, what each one accepts, and the usage text.
// Pure: the arguments go in, the options or the one-line reason why they are not usable come out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "controls/keys.h"

// A left click at a frame pixel: the pointer moves there, the button goes down and comes up.
struct ScriptedClick {
    int x;
    int y;
};

// The wheel turned `notches` notches (negative: out) with the pointer at a frame pixel.
struct ScriptedWheel {
    int x;
    int y;
    int notches;
};

// The pointer pressed at one frame pixel, moved to another and released there.
struct ScriptedDrag {
    ScriptedClick from;
    ScriptedClick to;
};

// --camera X,Y,Z: the camera on the map point (X, Y) at zoom Z.
struct CameraSetting {
    double x;
    double y;
    double zoom;
};

// --follow-unit ID: the camera follows the soldier (else the vehicle) with that id.
struct FollowSetting {
    std::int32_t id;
};

struct ScriptedInput {
    std::int64_t atMs;
    std::variant<KeyPress, ScriptedClick, ScriptedWheel, ScriptedDrag, CameraSetting, FollowSetting> input;
};

// --seek S[@MS]: go to log time S (seconds) at MS milliseconds of playback after the open.
struct SeekRequest {
    double logSeconds = 0;
    std::int64_t atMs = 0;
};

struct RenderOptions {
    std::string logPath;
    std::optional<std::string> folder;
    std::int32_t msPerLogSecond = 1000;
    std::optional<std::int64_t> untilMs;
    std::optional<std::string> framePath;
    std::optional<std::string> statePath;  // "-" is standard output
    std::optional<std::string> framesFolder;
    std::int64_t everyMs = 0;  // set exactly when framesFolder is
    std::optional<std::string> videoPath;  // .mp4 or .gif
    int scale = 1;  // frames drawn as a window of scale times the frame's size shows them
    bool timeline = false;
    bool panel = false;  // the side panel open from the start, and the frame 600 x 455 (times the scale)
    std::vector<ScriptedInput> inputs;  // in order of time, inputs at the same time in the order given
    std::vector<SeekRequest> seeks;  // in the order given
    bool check = false;
    bool index = false;
    bool events = false;  // print the events list (JSON lines) instead of playing
    std::optional<std::string> unitsPath;  // the Units tab at the stop as JSON; "-" is standard output
    bool quiet = false;  // no progress line
    bool follow = false;  // --follow: play the log live, waiting in real time at its end for more
    double idleExitS = 10;  // --idle-exit: while following, the real seconds without growth that end the run
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    RenderOptions options;
    std::string error;  // empty when the command line is usable
};

// The arguments after the program name.
ParsedOptions parseRenderOptions(const std::vector<std::string>& args);

// A key as --key names it: space, left, right, shift+left, shift+right, home, plus, minus, b, ..., z, x, f, 0, the
// panel's tab, slash, escape, enter and backspace, or a plain letter or digit, which types itself.
std::optional<KeyPress> namedKey(std::string_view name);

// The full --help text.
std::string renderUsage();
