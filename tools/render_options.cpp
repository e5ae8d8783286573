// Parsing kelo-render's command line: "--name value" and "--name=value", one replay log, and the checks that
// make a bad command line a usage error with one line saying what is wrong, before anything runs.
#include "tools/render_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

#include "seam/platform.h"
#include "tools/video_clip.h"
#include "view/frame_layout.h"

namespace {

constexpr std::array<std::int32_t, 6> speeds = {125, 250, 500, 1000, 2000, 4000};
constexpr int maxScale = 8;

// A whole argument read as a decimal integer; no value for anything else (signs, blanks, trailing text).
std::optional<std::int64_t> wholeNumber(std::string_view text)
{
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "WHAT@MS": WHAT and the time, or none when there is no "@" or MS is not a number of milliseconds.
std::optional<std::pair<std::string_view, std::int64_t>> timedValue(std::string_view value)
{
    const std::size_t at = value.rfind('@');
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::int64_t> ms = wholeNumber(value.substr(at + 1));
    if (!ms || *ms < 0)
        return std::nullopt;
    return std::pair{value.substr(0, at), *ms};
}

// "X,Y" inside the frame.
std::optional<ScriptedClick> framePixel(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::int64_t> x = wholeNumber(text.substr(0, comma));
    const std::optional<std::int64_t> y = wholeNumber(text.substr(comma + 1));
    if (!x || !y || *x < 0 || *x >= openFrameWidth || *y < 0 || *y >= frameHeight)
        return std::nullopt;
    return ScriptedClick{static_cast<int>(*x), static_cast<int>(*y)};
}

// Exactly `count` finite decimal numbers separated by commas ("-12.5,3,4"); none for anything else.
std::optional<std::vector<double>> commaNumbers(std::string_view text, std::size_t count)
{
    std::vector<double> numbers;
    std::size_t start = 0;
    while (numbers.size() < count) {
        const std::size_t comma = numbers.size() + 1 < count ? text.find(',', start) : text.size();
        if (comma == std::string_view::npos)
            return std::nullopt;
        const std::string_view part = text.substr(start, comma - start);
        double value = 0;
        auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value, std::chars_format::fixed);
        if (part.empty() || error != std::errc{} || end != part.data() + part.size() || !std::isfinite(value))
            return std::nullopt;
        numbers.push_back(value);
        start = comma + 1;
    }
    return numbers;
}

// Numbers that must be whole: none when one is not.
std::optional<std::vector<int>> wholeNumbers(const std::optional<std::vector<double>>& numbers)
{
    if (!numbers)
        return std::nullopt;
    std::vector<int> whole;
    for (double number : *numbers) {
        if (number != std::trunc(number) || std::abs(number) > 1e6)
            return std::nullopt;
        whole.push_back(static_cast<int>(number));
    }
    return whole;
}

bool insideFrame(int x, int y)
{
    return x >= 0 && x < frameWidth && y >= 0 && y < frameHeight;
}

// "WHAT" or "WHAT@MS" (at the open when no time is given).
std::pair<std::string_view, std::optional<std::int64_t>> maybeTimed(std::string_view value)
{
    if (value.find('@') == std::string_view::npos)
        return {value, 0};
    if (const auto timed = timedValue(value))
        return {timed->first, timed->second};
    return {value, std::nullopt};
}

// --camera, --follow-unit, --wheel and --drag; an empty result when accepted, else what is wrong.
std::string takeCameraInput(RenderOptions& options, std::string_view name, const std::string& value)
{
    if (name == "--camera") {
        const auto [what, atMs] = maybeTimed(value);
        const std::optional<std::vector<double>> numbers = commaNumbers(what, 3);
        if (!atMs || !numbers || (*numbers)[2] < 1 || (*numbers)[2] > 64)
            return "--camera must be X,Y,ZOOM[@MS] with X,Y a map point and ZOOM from 1 to 64, not \"" + value + "\"";
        options.inputs.push_back({*atMs, CameraSetting{(*numbers)[0], (*numbers)[1], (*numbers)[2]}});
    } else if (name == "--follow-unit") {
        const auto [what, atMs] = maybeTimed(value);
        const std::optional<std::vector<int>> id = wholeNumbers(commaNumbers(what, 1));
        if (!atMs || !id)
            return "--follow-unit must be ID[@MS] with ID a unit's id, not \"" + value + "\"";
        options.inputs.push_back({*atMs, FollowSetting{(*id)[0]}});
    } else if (name == "--wheel") {
        const auto timed = timedValue(value);
        const std::optional<std::vector<int>> n = timed ? wholeNumbers(commaNumbers(timed->first, 3)) : std::nullopt;
        if (!n || !insideFrame((*n)[0], (*n)[1]))
            return "--wheel must be X,Y,NOTCHES@MS with X,Y a pixel of the 400 x 455 frame, not \"" + value + "\"";
        options.inputs.push_back({timed->second, ScriptedWheel{(*n)[0], (*n)[1], (*n)[2]}});
    } else if (name == "--drag") {
        const auto timed = timedValue(value);
        const std::optional<std::vector<int>> n = timed ? wholeNumbers(commaNumbers(timed->first, 4)) : std::nullopt;
        if (!n || !insideFrame((*n)[0], (*n)[1]) || !insideFrame((*n)[2], (*n)[3]))
            return "--drag must be X1,Y1,X2,Y2@MS with both pixels of the 400 x 455 frame, not \"" + value + "\"";
        options.inputs.push_back({timed->second, ScriptedDrag{{(*n)[0], (*n)[1]}, {(*n)[2], (*n)[3]}}});
    }
    return {};
}

// A whole argument read as seconds: decimal digits with at most one point among them; no value for anything else.
std::optional<double> seconds(std::string_view text)
{
    auto digitOrPoint = [](char c) { return c == '.' || (c >= '0' && c <= '9'); };
    if (!std::all_of(text.begin(), text.end(), digitOrPoint) || std::count(text.begin(), text.end(), '.') > 1
        || text.find_first_of("0123456789") == std::string_view::npos)
        return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "S" or "S@MS".
std::optional<SeekRequest> seekRequest(std::string_view text)
{
    const std::size_t at = text.find('@');
    SeekRequest request;
    std::optional<double> logSeconds = seconds(text.substr(0, at));
    if (!logSeconds)
        return std::nullopt;
    request.logSeconds = *logSeconds;
    if (at != std::string_view::npos) {
        std::optional<std::int64_t> atMs = wholeNumber(text.substr(at + 1));
        if (!atMs || *atMs < 0)
            return std::nullopt;
        request.atMs = *atMs;
    }
    return request;
}

// Stores one option's value; an empty result when it is accepted, else what is wrong with it.
std::string takeValue(RenderOptions& options, std::string_view name, const std::string& value)
{
    if (value.empty())
        return std::string(name) + " needs a value";
    if (name == "--folder") {
        options.folder = value;
    } else if (name == "--speed") {
        std::optional<std::int64_t> speed = wholeNumber(value);
        if (!speed || std::find(speeds.begin(), speeds.end(), *speed) == speeds.end())
            return "--speed must be 125, 250, 500, 1000, 2000 or 4000, not \"" + value + "\"";
        options.msPerLogSecond = static_cast<std::int32_t>(*speed);
    } else if (name == "--until") {
        options.untilMs = wholeNumber(value);
        if (!options.untilMs || *options.untilMs < 0)
            return "--until must be a number of milliseconds (0 or more), not \"" + value + "\"";
    } else if (name == "--every") {
        std::optional<std::int64_t> every = wholeNumber(value);
        if (!every || *every <= 0)
            return "--every must be a number of milliseconds (1 or more), not \"" + value + "\"";
        options.everyMs = *every;
    } else if (name == "--frame") {
        options.framePath = value;
    } else if (name == "--state") {
        options.statePath = value;
    } else if (name == "--units") {
        options.unitsPath = value;
    } else if (name == "--frames") {
        options.framesFolder = value;
    } else if (name == "--video") {
        if (!clipFormat(value))
            return "--video must name a .mp4 or .gif file, not \"" + value + "\"";
        options.videoPath = value;
    } else if (name == "--scale") {
        std::optional<std::int64_t> scale = wholeNumber(value);
        if (!scale || *scale < 1 || *scale > maxScale)
            return "--scale must be a whole number from 1 to " + std::to_string(maxScale) + ", not \"" + value + "\"";
        options.scale = static_cast<int>(*scale);
    } else if (name == "--key") {
        const auto timed = timedValue(value);
        const std::optional<KeyPress> key = timed ? namedKey(timed->first) : std::nullopt;
        if (!key)
            return "--key must be NAME@MS with NAME one of space, left, right, shift+left, shift+right, home, plus, "
                   "minus, b, bracketleft, bracketright, period, comma, z, x, f, 0, tab, slash, escape, enter, "
                   "backspace, end or a letter or digit, not \""
                 + value + "\"";
        options.inputs.push_back({timed->second, *key});
    } else if (name == "--click") {
        const auto timed = timedValue(value);
        const std::optional<ScriptedClick> click = timed ? framePixel(timed->first) : std::nullopt;
        if (!click)
            return "--click must be X,Y@MS with X,Y a pixel of the 400 x 455 frame (600 x 455 with --panel), not \""
                 + value + "\"";
        options.inputs.push_back({timed->second, *click});
    } else if (name == "--camera" || name == "--follow-unit" || name == "--wheel" || name == "--drag") {
        return takeCameraInput(options, name, value);
    } else if (name == "--seek") {
        std::optional<SeekRequest> request = seekRequest(value);
        if (!request)
            return "--seek must be log seconds, optionally @ milliseconds of playback (12.5 or 12.5@3000), not \""
                 + value + "\"";
        options.seeks.push_back(*request);
    } else if (name == "--idle-exit") {
        const std::optional<double> idle = seconds(value);
        if (!idle)
            return "--idle-exit must be a number of seconds, not \"" + value + "\"";
        options.idleExitS = *idle;
    }
    return {};
}

// Options that take no value.
bool isFlag(std::string_view name)
{
    return name == "--check" || name == "--timeline" || name == "--index" || name == "--quiet" || name == "--panel"
        || name == "--events" || name == "--follow";
}

bool& flag(RenderOptions& options, std::string_view name)
{
    if (name == "--check")
        return options.check;
    if (name == "--index")
        return options.index;
    if (name == "--panel")
        return options.panel;
    if (name == "--events")
        return options.events;
    if (name == "--follow")
        return options.follow;
    return name == "--quiet" ? options.quiet : options.timeline;
}

// Options that may be given more than once.
bool repeats(std::string_view name)
{
    return name == "--key" || name == "--click" || name == "--seek" || name == "--camera" || name == "--follow-unit"
        || name == "--wheel" || name == "--drag";
}

bool takesValue(std::string_view name)
{
    static constexpr std::array<std::string_view, 18> names = {
        "--folder", "--speed", "--until", "--every",  "--frame",       "--state", "--frames", "--video", "--scale",
        "--key",    "--click", "--seek",  "--camera", "--follow-unit", "--wheel", "--drag",   "--units", "--idle-exit"};
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What is wrong with a combination of options that are each well-formed.
std::string combinationError(const RenderOptions& options, const std::vector<std::string>& given)
{
    auto wasGiven = [&given](std::string_view name) {
        return std::find(given.begin(), given.end(), name) != given.end();
    };
    if (options.logPath.empty())
        return "no replay log given";
    if (wasGiven("--frames") != wasGiven("--every"))
        return "--frames and --every go together";
    if (wasGiven("--idle-exit") && !options.follow)
        return "--idle-exit goes with --follow";
    if (options.check) {
        for (std::string_view name : {"--until", "--frame", "--state", "--frames", "--video", "--scale", "--timeline",
                                      "--key", "--click", "--seek", "--index", "--camera", "--follow-unit", "--wheel",
                                      "--drag", "--panel", "--events", "--units", "--follow"})
            if (wasGiven(name))
                return "--check reads the log without playing it: it cannot be combined with " + std::string(name);
    }
    if (options.index) {
        for (std::string_view name :
             {"--until", "--frame", "--state", "--frames", "--seek", "--events", "--units", "--follow"})
            if (wasGiven(name))
                return "--index reads the log without playing it: it cannot be combined with " + std::string(name);
    }
    if (options.events) {
        for (std::string_view name : {"--until", "--frame", "--state", "--frames", "--seek", "--units"})
            if (wasGiven(name))
                return "--events reads the log without playing it: it cannot be combined with " + std::string(name);
    }
    for (const ScriptedInput& input : options.inputs) {
        const auto* click = std::get_if<ScriptedClick>(&input.input);
        if (click && click->x >= frameWidth && !options.panel)
            return "--click at x " + std::to_string(click->x)
                 + " is right of the 400 x 455 frame: the panel's pixels "
                   "need --panel";
    }
    return {};
}

}  // namespace

ParsedOptions parseRenderOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    RenderOptions& options = parsed.options;
    std::vector<std::string> given;
    bool onlyLogFollows = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyLogFollows || arg == "-" || arg.empty() || arg[0] != '-') {
            if (!options.logPath.empty()) {
                parsed.error = "only one replay log can be played, got \"" + options.logPath + "\" and \"" + arg + "\"";
                return parsed;
            }
            options.logPath = arg;
            continue;
        }
        if (arg == "--") {
            onlyLogFollows = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return parsed;
        }
        if (arg == "--version") {
            options.version = true;
            return parsed;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!repeats(name) && std::find(given.begin(), given.end(), name) != given.end()) {
            parsed.error = name + " is given twice";
            return parsed;
        }
        given.push_back(name);
        if (isFlag(name)) {
            if (equals != std::string::npos) {
                parsed.error = name + " takes no value";
                return parsed;
            }
            flag(options, name) = true;
            continue;
        }
        if (!takesValue(name)) {
            parsed.error = "unknown option " + name;
            return parsed;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            parsed.error = name + " needs a value";
            return parsed;
        }
        parsed.error = takeValue(options, name, value);
        if (!parsed.error.empty())
            return parsed;
    }
    parsed.error = combinationError(options, given);
    std::stable_sort(options.inputs.begin(), options.inputs.end(),
                     [](const ScriptedInput& a, const ScriptedInput& b) { return a.atMs < b.atMs; });
    return parsed;
}

std::optional<KeyPress> namedKey(std::string_view name)
{
    // Each with the character it types, as the viewers' keyboards give it.
    static constexpr std::array<std::pair<std::string_view, KeyPress>, 19> keys{{
        {"space", {Key::space, false, false, false, U' '}},
        {"left", {Key::left}},
        {"right", {Key::right}},
        {"shift+left", {Key::left, true}},
        {"shift+right", {Key::right, true}},
        {"home", {Key::home}},
        {"plus", {Key::plus, false, false, false, U'+'}},
        {"minus", {Key::minus, false, false, false, U'-'}},
        {"bracketleft", {Key::bracketLeft, false, false, false, U'['}},
        {"bracketright", {Key::bracketRight, false, false, false, U']'}},
        {"period", {Key::period, false, false, false, U'.'}},
        {"comma", {Key::comma, false, false, false, U','}},
        {"zero", {Key::zero, false, false, false, U'0'}},
        {"tab", {Key::tab}},
        {"slash", {Key::slash, false, false, false, U'/'}},
        {"escape", {Key::escape}},
        {"enter", {Key::enter}},
        {"backspace", {Key::backspace}},
        {"end", {Key::end}},
    }};
    for (const auto& [keyName, press] : keys)
        if (keyName == name)
            return press;
    // A plain letter or digit types itself; the letters that are keys of their own act as those while no search has
    // the keys.
    if (name.size() != 1 || !std::isalnum(static_cast<unsigned char>(name[0])))
        return std::nullopt;
    const char c = name[0];
    KeyPress press{Key::typed, false, false, false, static_cast<char32_t>(c)};
    switch (c) {
    case 'b':
        press.key = Key::b;
        break;
    case 'o':
        press.key = Key::o;
        break;
    case 'q':
        press.key = Key::q;
        break;
    case 'w':
        press.key = Key::w;
        break;
    case 'z':
        press.key = Key::z;
        break;
    case 'x':
        press.key = Key::x;
        break;
    case 'f':
        press.key = Key::f;
        break;
    case '0':
        press.key = Key::zero;
        break;
    case 'l':
        press.key = Key::l;
        break;
    default:
        break;
    }
    return press;
}

std::string renderUsage()
{
    return R"(Usage: kelo-render [options] LOG

Plays the replay log LOG as the viewer would, on a virtual clock: start-up at time 0, the log opened at
time 0, then the playback, movement and repaint timers. Message boxes are printed to standard error as
"CAPTION: TEXT" and do not block. Without --until the run stops at the end of data ("No more data")
unless a --seek is still to come.

Options:
  --folder DIR     program folder holding Kelo.ini, Maps/ and Presets/ (default: the folder of kelo-render)
  --speed MS       milliseconds per log second at the open: 125, 250, 500, 1000, 2000 or 4000 (default 1000)
  --until MS       stop MS milliseconds of playback after the open (default: at the end of data)
  --frame FILE     write the frame composed at the stop as PNG (400 x 455, 600 x 455 with --panel, or larger
                   with --scale)
  --state FILE     write the world model at the stop as JSON; "-" for standard output
  --frames DIR --every MS
                   also write a frame every MS milliseconds of playback: DIR/frame-000001.png, ...
                   with a progress line on standard error
  --video FILE     also make a clip of the frames the viewer shows, ten a second (those that --frames with
                   --every 100 writes): FILE.mp4 as H.264 (400 x 456: a black row is added below, as
                   H.264 needs even sizes) or FILE.gif as an animated GIF; needs the program ffmpeg
  --scale N        draw every frame N times larger (N from 1 to 8, default 1), as the viewer's window draws
                   it at a client size of N x 400 by N x 455: lines and text drawn at that size, not
                   enlarged pixels; --frame, --frames and --video all get the larger frames (an MP4 of an
                   odd height gets a black row below). --click positions stay frame pixels of 400 x 455
  --timeline       draw the timeline strip below the map while the log is open, as the viewers do
  --panel          open the side panel (units by side, the log's events, a search) at the start: frames and
                   clips are 600 x 455 (times --scale); its lists show the whole index, which is read first
  --units FILE     write the panel's Units tab at the stop as JSON (with the search typed so far); "-" for
                   standard output
  --events         scan the whole log and print the panel's Events tab, one JSON object a line:
                   {t, kind, side, name, text}
  --key NAME@MS    press a key MS milliseconds after the open, as the viewer's window would deliver it:
                   space (pause or play), left, right (10 log seconds back or forward), shift+left,
                   shift+right (60), home (the start), plus (">>"), minus ("<<"), b ("Bars"),
                   bracketright and bracketleft (a speed step, on past the buttons: 0.125x to 64x),
                   period and comma (while paused: one line forward, one line back), z and x (zoom in
                   and out), f (follow the pinned unit, or stop), 0 (the whole map), l (following the
                   log on or off), end (while following: to the newest line), tab (the side panel),
                   slash (its search takes the keys), escape, enter, backspace, or a letter or digit,
                   which types itself into the search while it has the keys (b: "Bars" otherwise)
  --click X,Y@MS   move the pointer to the frame pixel (X, Y) of the 400 x 455 frame (600 x 455 with --panel:
                   X from 400 is the panel), whatever --scale says,
                   MS milliseconds after the open, then press and release the left button there (a button, a
                   unit, or the timeline strip to seek)
                   --key and --click may be given several times; they happen in order of time, inputs at
                   the same time in the order given
  --camera X,Y,Z[@MS]
                   set the camera to the map point (X, Y) at zoom Z (1 to 64) at MS milliseconds of playback
                   (default 0: at the open); frames show what the camera shows
  --follow-unit ID[@MS]
                   the camera follows the soldier (else the vehicle) with that id from MS on (default: the
                   open), as F does in the viewer: a clip of one squad's fight
  --wheel X,Y,N@MS turn the wheel N notches (negative: out) with the pointer at the frame pixel (X, Y)
  --drag X1,Y1,X2,Y2@MS
                   press at the frame pixel (X1, Y1), move to (X2, Y2) and release there: drags the map
                   --camera, --follow-unit, --wheel and --drag may be given several times, in order of time
                   with --key and --click
  --seek S[@MS]    seek to log time S (seconds since the log's first line, fractions allowed) at MS
                   milliseconds of playback after the open (default 0: right after the open); may be
                   given several times, done in order of MS; each waits for the index to reach S and
                   completes before the clock moves on
  --check          read the whole log without waiting and list every line that the viewer cannot use,
                   as LOG:LINE: why (texts from the log in quotes, bytes outside printable ASCII
                   as \xNN); exit 1 if any
  --index          scan the whole log as the viewer's index does and print it as JSON: totalS, lines,
                   marks ({t, kind, side}: destroyed, killed, win, chat, reset; side only on destroyed)
                   and breaks ({t, lengthS}: waits of more than ten minutes)
  --follow         play the log live, as the game still writes it: the virtual clock runs while there are
                   lines; at the end of what is written it waits in real time for the next whole line,
                   looking at the file every 250 ms; --until still bounds the virtual time
  --idle-exit S    with --follow: end the run after S seconds of real time without growth (default 10)
  --quiet          no progress line: runs that take over a second show one on standard error while it is
                   a terminal (how much is done, lines a second, the time left)
  -h, --help       this text
  --version        the program's version
  --               what follows is the LOG, even when it begins with "-"

The state JSON ends with logTimeS (the current line's log time) and indexedS (the log time the index has
scanned; kelo-render lets the index finish first), then, once the camera has left the whole map, camera:
{x, y, zoom, following} (the map point at the middle, the zoom, the id followed or null), and with --follow
following (whether the log is followed at the stop) and liveEdgeS (the log time of the newest whole line). Texts
from the log are written as the characters they are read as: as they stand when they are valid UTF-8, else each byte as the
character of the same code (Latin-1), so any bytes give valid JSON. Floats are written with the
fewest digits that read back to the same 32-bit float; a value that is not finite is written as null.

Exit status: 0 done; 1 the log could not be opened ("Could not open file"), an output file could not be
written (for --video: no ffmpeg on the PATH, ffmpeg failed, or no frame before the stop), or --check found
lines; 2 a usage error.
)";
}
