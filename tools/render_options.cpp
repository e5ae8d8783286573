// Parsing kelo-render's command line: "--name value" and "--name=value", one replay log, and the checks that
// make a bad command line a usage error with one line saying what is wrong, before anything runs.
#include "tools/render_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace {

constexpr std::array<std::int32_t, 6> speeds = {125, 250, 500, 1000, 2000, 4000};

// A whole argument read as a decimal integer; no value for anything else (signs, blanks, trailing text).
std::optional<std::int64_t> wholeNumber(std::string_view text)
{
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
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
    } else if (name == "--frames") {
        options.framesFolder = value;
    }
    return {};
}

bool takesValue(std::string_view name)
{
    static constexpr std::array<std::string_view, 7> names = {"--folder", "--speed", "--until", "--every",
                                                              "--frame",  "--state", "--frames"};
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
    if (options.check) {
        for (std::string_view name : {"--until", "--frame", "--state", "--frames"})
            if (wasGiven(name))
                return "--check reads the log without playing it: it cannot be combined with " + std::string(name);
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
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (std::find(given.begin(), given.end(), name) != given.end()) {
            parsed.error = name + " is given twice";
            return parsed;
        }
        given.push_back(name);
        if ((name == "--check" || name == "--quiet") && equals == std::string::npos) {
            (name == "--check" ? options.check : options.quiet) = true;
            continue;
        }
        if (!takesValue(name)) {
            parsed.error = name == "--check" || name == "--quiet" ? name + " takes no value" : "unknown option " + name;
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
    return parsed;
}

std::string renderUsage()
{
    return R"(Usage: kelo-render [options] LOG

Plays the replay log LOG as the viewer would, on a virtual clock: start-up at time 0, the log opened at
time 0, then the playback, movement and repaint timers. Message boxes are printed to standard error as
"CAPTION: TEXT" and do not block. Without --until the run stops at the end of data ("No more data").

Options:
  --folder DIR     program folder holding Kelo.ini, Maps/ and Presets/ (default: the folder of kelo-render)
  --speed MS       milliseconds per log second at the open: 125, 250, 500, 1000, 2000 or 4000 (default 1000)
  --until MS       stop MS milliseconds of playback after the open (default: at the end of data)
  --frame FILE     write the frame composed at the stop as PNG (400 x 455)
  --state FILE     write the world model at the stop as JSON; "-" for standard output
  --frames DIR --every MS
                   also write a frame every MS milliseconds of playback: DIR/frame-000001.png, ...
                   with a progress line on standard error
  --check          read the whole log without waiting and list every line that the viewer cannot use,
                   as LOG:LINE: why (texts from the log in quotes, bytes outside printable ASCII
                   as \xNN); exit 1 if any
  --quiet          no progress line: runs that take over a second show one on standard error while it is
                   a terminal (how much is done, lines a second, the time left)
  -h, --help       this text
  --               what follows is the LOG, even when it begins with "-"

The state JSON: texts from the log are 8-bit; each byte is written as the character of the same code
(read as Latin-1, as the viewer draws them), so any bytes give valid JSON. Floats are written with the
fewest digits that read back to the same 32-bit float; a value that is not finite is written as null.

Exit status: 0 done; 1 the log could not be opened ("Could not open file"), an output file could not be
written, or --check found lines; 2 a usage error.
)";
}
