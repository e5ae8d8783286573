// The reader path against a plain fgets loop over the same generated log file: read, split, stamp and apply every
// line with stepLog, as playback and --check do. The log has 1,000,000 lines (KELO_BENCH_LOG_LINES sets another
// count), mostly "POS" lines for 500 units; lines/s is the items_per_second counter of each benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/viewer.h"
#include "bench/bench_folder.h"
#include "bench/scenes.h"
#include "world/log_step.h"

namespace {

constexpr int soldierCount = 400;
constexpr int vehicleCount = 100;

std::int64_t logLineCount()
{
    const char* set = std::getenv("KELO_BENCH_LOG_LINES");
    const long long count = set != nullptr ? std::atoll(set) : 0;
    return count > 0 ? count : 1000000;
}

std::string stamp(std::int64_t second)
{
    char text[32];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d] ", static_cast<int>(second / 3600 % 24),
                  static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

// The map, 400 soldiers and 100 vehicles, then position reports for all of them in turn, a log second for every
// 500 lines, with a damage line every 997th and a chat line every 1,999th line.
const std::string& generatedLog()
{
    static const std::string path = [] {
        buildLightScene();  // the map's calibration and picture in the benchmarks' folder
        const std::string file = benchFolder().file("reader.log");
        std::ofstream out(file, std::ios::binary);
        const std::int64_t total = logLineCount();
        std::int64_t line = 0;
        auto next = [&](const std::string& event) {
            out << stamp(72000 + line / 500) << event << '\n';
            ++line;
        };
        next("1;Light.map");
        for (int i = 1; i <= soldierCount; ++i)
            next("CREATED;SOLDIER;" + std::to_string(i) + ";Rifleman;" + std::to_string(100 + i * 9) + ";"
                 + std::to_string(300 + i * 7) + ";1.5;0;100;30;" + std::to_string(i % 2) + ";Player "
                 + std::to_string(i));
        for (int i = 1; i <= vehicleCount; ++i)
            next("CREATED;VEHICLE;" + std::to_string(1000 + i) + ";Tank;" + std::to_string(200 + i * 30) + ";"
                 + std::to_string(400 + i * 20) + ";0;90;200;0;" + std::to_string(i % 2));
        for (std::int64_t n = 0; line < total; ++n) {
            const int unit = static_cast<int>(n % (soldierCount + vehicleCount));
            const std::string y = std::to_string(1000 + (n * 7) % 2000) + "." + std::to_string(n % 10);
            const std::string x = std::to_string(900 + (n * 13) % 2500) + ".5";
            if (line % 997 == 0)
                next("DAMAGED;SOLDIER;" + std::to_string(unit % soldierCount + 1) + ";Rifleman;" + y + ";" + x
                     + ";1.5;0;" + std::to_string((unit + 7) % soldierCount + 1));
            else if (line % 1999 == 0)
                next("CHAT;PUBLIC;" + std::to_string(unit % soldierCount + 1) + ";holding position");
            else if (unit < soldierCount)
                next("POS;SOLDIER;" + std::to_string(unit + 1) + ";Rifleman;" + y + ";" + x + ";1.5;"
                     + std::to_string(n % 360) + ";95.5;30");
            else
                next("POS;VEHICLE;" + std::to_string(1000 + unit - soldierCount + 1) + ";Tank;" + y + ";" + x + ";0;"
                     + std::to_string(n % 360) + ";180;0");
        }
        app::viewer().reset();
        return file;
    }();
    return path;
}

void BM_FgetsLoop(benchmark::State& state)
{
    const std::string& path = generatedLog();
    std::int64_t lines = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "r");
        char buffer[1025];
        while (std::fgets(buffer, sizeof buffer, file) != nullptr)
            ++lines;
        std::fclose(file);
    }
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_FgetsLoop)->Unit(benchmark::kMillisecond);

void BM_ReaderPath(benchmark::State& state)
{
    const std::string& path = generatedLog();
    std::int64_t lines = 0;
    for (auto _ : state) {
        World world;
        LogCursor log;
        startLog(log, *openLogFile(path));
        for (;;) {
            const StepResult step = stepLog(log, world, 1000, WorldHooks{});
            lines += step.applied ? 1 : 0;
            if (!step.gap)
                break;
        }
        benchmark::DoNotOptimize(world.soldierList.size());
    }
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_ReaderPath)->Unit(benchmark::kMillisecond);

}  // namespace
