// kelo-render's command line: the options, what each one accepts, and the usage text.
// Pure: the arguments go in, the options or the one-line reason why they are not usable come out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RenderOptions {
    std::string logPath;
    std::optional<std::string> folder;
    std::int32_t msPerLogSecond = 1000;
    std::optional<std::int64_t> untilMs;
    std::optional<std::string> framePath;
    std::optional<std::string> statePath;  // "-" is standard output
    std::optional<std::string> framesFolder;
    std::int64_t everyMs = 0;  // set exactly when framesFolder is
    bool check = false;
    bool quiet = false;  // no progress line
    bool help = false;
};

struct ParsedOptions {
    RenderOptions options;
    std::string error;  // empty when the command line is usable
};

// The arguments after the program name.
ParsedOptions parseRenderOptions(const std::vector<std::string>& args);

// The full --help text.
std::string renderUsage();
