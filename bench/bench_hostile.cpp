// Benchmarks of hostile and long inputs: 100,000 vehicles created under one id and then destroyed, stepped through
// the step function, and the bundled demo played a hundred times at 8x in one process, with the process's resident
// memory (VmRSS) after runs 10 and 100 as counters. Registers with bench/bench_main.cpp's main; headless backend.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/playback.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "world/log_step.h"

namespace {

// 100,000 "CREATED" "VEHICLE" lines for the id 7, then its "DESTROYED" line, in a file of a folder made for it.
class ManyVehiclesLog {
public:
    ManyVehiclesLog()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelo-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            folder_ = pattern;
        std::ofstream log(path());
        for (int i = 0; i < 100000; ++i)
            log << "[1:0:0] CREATED;VEHICLE;7;Truck;10;10;1;0;100;50;1\n";
        log << "[1:0:1] DESTROYED;VEHICLE;7\n";
    }
    ~ManyVehiclesLog()
    {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    ManyVehiclesLog(const ManyVehiclesLog&) = delete;
    ManyVehiclesLog& operator=(const ManyVehiclesLog&) = delete;

    std::string path() const { return (folder_ / "many.log").string(); }

private:
    std::filesystem::path folder_;
};

void BM_HundredThousandVehiclesOfOneId(benchmark::State& state)
{
    const ManyVehiclesLog log;
    std::size_t most = 0;
    for (auto _ : state) {
        LogCursor cursor;
        std::optional<LineReader> reader = openLogFile(log.path());
        if (!reader) {
            state.SkipWithError("the log could not be written");
            return;
        }
        startLog(cursor, std::move(*reader));
        World world;
        for (StepResult step; (step = stepLog(cursor, world, 1000, WorldHooks{})).gap;)
            most = std::max(most, world.records.size());
        if (!world.records.empty())
            state.SkipWithError("the vehicles were not all destroyed");
    }
    state.counters["most_records"] = static_cast<double>(most);
    state.SetItemsProcessed(state.iterations() * 100001);
}
BENCHMARK(BM_HundredThousandVehiclesOfOneId)->Unit(benchmark::kMillisecond);

std::string demoLogPath()
{
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo" / "demo.log").string();
}

// The demo played to its end a hundred times, re-opened each time, at 8x on the virtual clock with the frames of the
// repaint timer; the memory after run 100 against run 10, when every cache has been filled.
void BM_DemoPlayedAHundredTimes(benchmark::State& state)
{
    headless::startup();
    app::viewer().reset();
    headless::reset();
    app::viewer().playback.msPerLogSecond = 125;
    startShell([] { return std::string(); });
    long afterTen = 0;
    long afterHundred = 0;
    for (auto _ : state) {
        for (int run = 1; run <= 100; ++run) {
            const std::size_t boxes = headless::messages().size();
            openReplayLog(demoLogPath());
            for (int tick = 0; tick < 600 && headless::messages().size() == boxes; ++tick)
                headless::advance(100);
            if (headless::messages().size() != boxes + 1) {
                state.SkipWithError("a run did not reach the end of the demo");
                return;
            }
            if (run == 10)
                afterTen = headless::residentKilobytes();
        }
        afterHundred = headless::residentKilobytes();
    }
    state.counters["rss_run10_kB"] = static_cast<double>(afterTen);
    state.counters["rss_run100_kB"] = static_cast<double>(afterHundred);
    state.counters["growth_kB"] = static_cast<double>(afterHundred - afterTen);
    app::viewer().reset();
    headless::reset();
}
BENCHMARK(BM_DemoPlayedAHundredTimes)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
