// Building the benchmark scenes: Kelo.ini, pictures and icons written once into the benchmarks' folder, then the
// world made by log lines through the interpreter, so the records are exactly what a log would make.
// Relies on the app's instances and start-up (app/), the headless backend and the bench folder.
#include "bench/scenes.h"

#include <cstdint>
#include <string>

#include "app/screen_hooks.h"
#include "app/viewer.h"
#include "bench/bench_folder.h"
#include "platform/headless/headless.h"
#include "world/interpreter.h"
#include "world/log_format.h"

namespace {

constexpr const char* calibration = "InvertY=true\nInvertX=false\nScaleX=4000\nScaleY=4000\nOffsetX=2000\n"
                                    "OffsetY=-200\nRotationOffset=-90\n";

// A picture with some detail in it, so that it neither decodes nor draws as one flat colour.
std::uint32_t terrain(int x, int y)
{
    const auto green = static_cast<std::uint32_t>(96 + (x * 7 + y * 3) % 64);
    const auto blue = static_cast<std::uint32_t>((x / 16 + y / 16) % 2 == 0 ? 40 : 90);
    return 0xFF000000u | (40u << 16) | (green << 8) | blue;
}

// An icon on a white (clear) ground: a coloured body with a darker barrel.
std::uint32_t icon(int x, int y, int size)
{
    const int margin = size / 8;
    if (x < margin || y < margin || x >= size - margin || y >= size - margin)
        return 0xFFFFFFFF;
    return y > size / 2 - margin && y < size / 2 + margin ? 0xFF203020 : 0xFF508050;
}

// Writes the files of every scene once.
void writeSceneFiles()
{
    static bool written = false;
    if (written)
        return;
    const BenchFolder& folder = benchFolder();
    folder.writeText("Kelo.ini",
                     std::string("; Benchmark maps\n[Light.map]\n") + calibration + "[Heavy.map]\n" + calibration);
    folder.writePicture("Maps/Light.png", 512, 512, terrain);
    folder.writePicture("Maps/Heavy.png", 2048, 2048, terrain);
    for (const char* name : {"Tank", "Truck"})
        folder.writePicture(std::string("Presets/") + name + ".png", 32, 32,
                            [](int x, int y) { return icon(x, y, 32); });
    for (int i = 0; i < 4; ++i)
        folder.writePicture("Presets/Heavy" + std::to_string(i) + ".png", 64, 64,
                            [](int x, int y) { return icon(x, y, 64); });
    written = true;
}

void startScene()
{
    writeSceneFiles();
    app::viewer().reset();
    headless::reset();
    headless::setProgramFolder(benchFolder().path());
}

std::string stamped(const std::string& event)
{
    return "[20:00:00] " + event;
}

// A unit's creation line; positions spread over the 4000 x 4000 map by a fixed pattern.
std::string created(const char* kind, int id, const std::string& className, int index, int side,
                    const std::string& name = "")
{
    const int x = 200 + (index * 367) % 3600;
    const int y = 200 + (index * 211) % 3600;
    return stamped(std::string("CREATED;") + kind + ";" + std::to_string(id) + ";" + className + ";" + std::to_string(y)
                   + ";" + std::to_string(x) + ";1.5;" + std::to_string(index * 13 % 360) + ";100;30;"
                   + std::to_string(side) + (name.empty() ? "" : ";" + name));
}

// Title, clock and six chat lines spoken by the first soldiers.
void addOverlays(std::vector<std::string>& lines)
{
    lines.push_back(stamped("CONFIG;20;Hold the bridge"));
    for (int i = 0; i < 6; ++i)
        lines.push_back(stamped("CHAT;" + std::string(i % 2 ? "TEAM" : "PUBLIC") + ";" + std::to_string(i + 1)
                                + ";moving up to the ridge, cover the left flank " + std::to_string(i)));
}

}  // namespace

void applyLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        if (std::optional<SplitLine> split = splitLine(line))
            applyEvent(app::viewer().world, split->fields, app::viewer().playback.msPerLogSecond, screenHooks);
}

void buildTitleScene()
{
    startScene();
}

void buildLightScene()
{
    startScene();
    std::vector<std::string> lines{stamped("1;Light.map")};
    for (int i = 0; i < 12; ++i)
        lines.push_back(created("SOLDIER", i + 1, "Rifleman", i, i % 2, "Player " + std::to_string(i + 1)));
    const char* classes[] = {"Tank", "Truck", "Scout"};
    for (int i = 0; i < 6; ++i)
        lines.push_back(created("VEHICLE", 101 + i, classes[i % 3], 20 + i, i % 2));
    addOverlays(lines);
    applyLines(lines);
    app::viewer().view.units.flipPin(*app::viewer().world.soldierList.items[0]);
}

void buildHeavyScene()
{
    startScene();
    std::vector<std::string> lines{stamped("1;Heavy.map")};
    for (int i = 0; i < 1000; ++i)
        lines.push_back(created("SOLDIER", i + 1, "Rifleman", i, i % 3, "Player " + std::to_string(i + 1)));
    for (int i = 0; i < 300; ++i)
        lines.push_back(created("VEHICLE", 2001 + i, "Heavy" + std::to_string(i % 4), 1000 + i, i % 2));
    // Twenty vehicles carry three soldiers each; their labels are pinned.
    for (int i = 0; i < 20; ++i)
        for (int seat = 0; seat < 3; ++seat)
            lines.push_back(
                stamped("ENTER;" + std::to_string(2001 + i) + ";-;-;-;-;" + std::to_string(901 + 3 * i + seat)));
    addOverlays(lines);
    applyLines(lines);
    for (int i = 0; i < 20; ++i)
        app::viewer().view.units.flipPin(*app::viewer().world.vehicleList.items[static_cast<std::size_t>(i)]);
}
