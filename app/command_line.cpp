// Parsing the viewers' command line: options before the logs, "--" ending the options, and the usage text that
// both viewers show. No operating-system call: the backends hand in the arguments already split.
#include "app/command_line.h"

ViewerCommandLine parseViewerCommandLine(const std::vector<std::string>& args)
{
    ViewerCommandLine parsed;
    bool onlyLogsFollow = false;
    for (const std::string& arg : args) {
        if (arg.empty()) {
            // An empty path names no file, and opening it would do nothing at all, not even say so.
            parsed.error = "an empty argument is no log";
            return parsed;
        }
        if (onlyLogsFollow || arg[0] != '-') {
            if (parsed.logPath.empty())
                parsed.logPath = arg;
            else
                parsed.ignoredPaths.push_back(arg);
        } else if (arg == "--") {
            onlyLogsFollow = true;
        } else if (arg == "--help") {
            parsed.help = true;
            return parsed;
        } else if (arg == "--version") {
            parsed.version = true;
            return parsed;
        } else if (arg == "--follow") {
            parsed.follow = true;
        } else {
            parsed.error = "unknown option " + arg;
            return parsed;
        }
    }
    return parsed;
}

std::string viewerUsage(std::string_view program)
{
    std::string usage = "Usage: " + std::string(program) + " [options] [LOG]\n";
    usage += R"(
Replays the recorded game in the replay log LOG on its map. Without LOG the window opens empty: choose a
log with "Open", or drop one on the window. Kelo.ini, Maps/ and Presets/ are read from the program's own
folder.

Options:
  --help     this text
  --version  the program's version
  --follow   follow LOG while the game still writes it: playback waits at its end for more (the key L
             turns following on and off)
  --         what follows is the LOG, even when it begins with "-"

Only one log is shown: logs after the first are ignored.
)";
    return usage;
}
