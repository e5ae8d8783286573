// The viewers' command line: --help, --version and the replay logs to open at start-up.
// Pure: the arguments go in, what to do comes out; each backend prints or shows the result its own way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ViewerCommandLine {
    bool help = false;
    bool version = false;
    std::string error;  // a usage error in one line; empty when the command line is usable
    std::string logPath;  // the log to open at start-up; empty for none
    bool follow = false;  // --follow: follow the log as it is written
    std::vector<std::string> ignoredPaths;  // logs after the first, which one window cannot show
};

// The arguments after the program name. The first of --help, --version or an unknown option decides; after a
// lone "--" every argument is a log, even one that begins with "-".
ViewerCommandLine parseViewerCommandLine(const std::vector<std::string>& args);

// The --help text, naming the program as it is started.
std::string viewerUsage(std::string_view program);
