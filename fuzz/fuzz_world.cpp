// libFuzzer target: one World driven as playback drives it. The input's lines are a replay log for the line reader
// and the step function, with commands between them (lines opening with a byte 1 to 7): movement ticks, pointer
// moves, presses, releases, frames composed headless, the side panel's keys and its wheel, over a program folder
// written at start-up. Aborts when a
// reference leaves the record store (tests/world_invariants.h) or a copy of the world differs from it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/input.h"
#include "app/playback.h"
#include "app/screen_hooks.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "controls/panel_input.h"
#include "fuzz/scratch_folder.h"
#include "platform/headless/headless.h"
#include "tests/world_invariants.h"
#include "world/log_step.h"

namespace {

// [SECTION] The program folder

// An 8 x 8 map picture in four squares and a 10 x 10 icon with opaque white pixels for the colour key.
constexpr std::string_view mapPng{
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x08\x00\x00\x00\x08"
    "\x08\x06\x00\x00\x00\xc4\x0f\xbe\x8b\x00\x00\x00\x1d\x49\x44\x41\x54\x78\xda\x63\x48\x98\xa0\xf0"
    "\x1f\x19\x2b\x24\x4c\x40\xc1\x0c\x74\x50\x80\x2e\x80\xae\x81\x0e\x0a\x00\xb0\x55\x83\xc1\x7c\xec"
    "\x28\xeb\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    86};
constexpr std::string_view iconPng{
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x0a\x00\x00\x00\x0a"
    "\x08\x06\x00\x00\x00\x8d\x32\xcf\xbd\x00\x00\x00\x21\x49\x44\x41\x54\x78\xda\x63\xf8\x0f\x04\x06"
    "\x13\x0c\xc0\x18\x1f\x9b\x81\x18\x45\x20\x9a\x81\x18\x45\x60\x85\xa3\x56\xe3\x63\x03\x00\x76\xd9"
    "\x07\x26\x90\x58\x22\xc0\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    90};
// A PNG signature and header declaring 30,000 x 30,000 pixels, which the size guard refuses.
constexpr std::string_view hugePng{
    "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\x75\x30\x00\x00\x75\x30\x08\x06\x00\x00\x00\x00\x00\x00\x00", 33};

// The demo's calibration, a map whose scales are 0 (no finite screen point), one of values beyond the float range
// and not numbers, and a section that lacks keys.
constexpr std::string_view settings = "[Brackwater.map]\nInvertY=true\nInvertX=false\nScaleX=4000\nScaleY=4000\n"
                                      "OffsetX=2000\nOffsetY=-200\nRotationOffset=-90\n"
                                      "[Zero.map]\nInvertY=1\nInvertX=TRUE\nScaleX=0\nScaleY=0\nOffsetX=0\nOffsetY=0\n"
                                      "RotationOffset=0\n"
                                      "[Wide.map]\nInvertY=false\nInvertX=false\nScaleX=1e-30\nScaleY=nan\n"
                                      "OffsetX=inf\nOffsetY=-1e39\nRotationOffset=1e30\n"
                                      "[Half]\nInvertY=true\nScaleX=400\n";

const ScratchFolder& programFolder()
{
    static const ScratchFolder folder("kelo-fuzz-world");
    static const bool filled = [] {
        folder.write("Kelo.ini", settings);
        folder.write("Maps/Brackwater.png", mapPng);
        folder.write("Maps/Wide.png", mapPng);
        folder.write("Maps/Half.png", mapPng.substr(0, 40));
        folder.write("Presets/LightTank.png", iconPng);
        folder.write("Presets/SupplyTruck.png", iconPng);
        folder.write("Presets/Broken.png", iconPng.substr(0, 50));
        folder.write("Presets/Huge.png", hugePng);
        return true;
    }();
    (void)filled;
    return folder;
}

// [SECTION] Invariants

void checkModel(const World& world)
{
    const std::string problem = brokenReference(world);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_world: %s\n", problem.c_str());
        std::abort();
    }
}

// [SECTION] Commands between log lines

enum Command : char { tick = 1, move = 2, press = 3, release = 4, frame = 5, key = 6, wheel = 7 };

bool isCommand(std::string_view line)
{
    return !line.empty() && line[0] >= tick && line[0] <= wheel;
}

// The command's argument byte at `at` (0 when the line is shorter).
int argument(std::string_view line, std::size_t at)
{
    return at < line.size() ? static_cast<unsigned char>(line[at]) : 0;
}

// Frames are the slow part of an input: its commands compose at most this many, and one more comes at its end.
constexpr int frameBound = 16;
int framesLeft = 0;

void composeBoundedFrame()
{
    if (framesLeft > 0) {
        --framesLeft;
        composeFrame();
    }
}

void run(std::string_view command)
{
    // Pointer positions cover the whole frame, control bar and open panel included, in steps of under three pixels.
    const int x = argument(command, 1) * app::viewer().fit.composedWidth / 256;
    const int y = argument(command, 2) * frameHeight / 256;
    switch (command[0]) {
    case tick:
        // A glide at the slowest speed takes 160 ticks: up to 64 at once let one run to its end.
        for (int i = argument(command, 1) % 64; i >= 0; --i)
            movementTick();
        break;
    case move:
        onPointerMove(x, y);
        break;
    case press:
        onPointerPress(x, y);
        break;
    case release:
        onPointerRelease();
        break;
    case frame:
        composeBoundedFrame();
        break;
    case key: {
        // The panel's keys, or the character of the second byte typed (into the search while it has the keys).
        constexpr Key keys[] = {Key::tab, Key::slash, Key::enter, Key::escape, Key::backspace, Key::typed};
        const int which = argument(command, 1) % 6;
        onKey({keys[which], false, false, false, static_cast<char32_t>(argument(command, 2))});
        break;
    }
    case wheel:
        scrollPanel(app::viewer().view.panel, argument(command, 1) % 9 - 4);
        break;
    }
    checkModel(app::viewer().world);
}

// A world grown past this many records is reset, so that one input cannot make every later step slow.
constexpr std::size_t recordBound = 300;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Viewer viewer;
    static const bool started = [] {
        app::makeCurrent(&viewer);
        if (!headless::startup())
            std::abort();
        headless::setProgramFolder(programFolder().path().string());
        return true;
    }();
    (void)started;
    // Every input starts from the program's state at start-up, so that a crashing input crashes again on its own.
    app::viewer().reset();
    framesLeft = frameBound;

    // The log lines go to the reader as one file; each command runs before the log line that followed it.
    std::string logText;
    std::vector<std::pair<std::int64_t, std::string_view>> commands;  // (log lines before it, command)
    std::int64_t logLines = 0;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (isCommand(line)) {
            commands.emplace_back(logLines, line);
            continue;
        }
        logText.append(line);
        logText += '\n';
        ++logLines;
    }

    // Line N of the file is the N-th log line, since none holds a line feed of its own.
    std::size_t ran = 0;
    auto runUpTo = [&](std::int64_t linesBefore) {
        for (; ran < commands.size() && commands[ran].first <= linesBefore; ++ran)
            run(commands[ran].second);
    };
    LogCursor& log = app::viewer().playback.log;
    if (std::FILE* file = logText.empty() ? nullptr : fmemopen(logText.data(), logText.size(), "r")) {
        startLog(log, LineReader(file));
        for (;;) {
            runUpTo(log.currentNumber - 1);
            const StepResult step =
                stepLog(log, app::viewer().world, app::viewer().playback.msPerLogSecond, screenHooks);
            checkModel(app::viewer().world);
            if (app::viewer().world.records.size() > recordBound)
                resetWorld(app::viewer().world);
            if (!step.gap)
                break;
        }
    }
    runUpTo(logLines);
    ++framesLeft;
    composeBoundedFrame();
    checkModel(app::viewer().world);

    const World copy = app::viewer().world;
    checkModel(copy);
    if (!(copy == app::viewer().world))
        std::abort();
    app::viewer().playback.log = LogCursor{};
    return 0;
}
