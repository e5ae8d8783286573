// Benchmarks on the bundled demo: composing a busy frame (and a large one), a paused repaint tick, applying every line
// of the demo log, splitting its lines. Runs on the headless backend; the demo's Kelo.ini, Maps and Presets are copied
// beside kelo_bench by the build.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/playback.h"
#include "app/screen_hooks.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "platform/headless/headless.h"
#include "world/interpreter.h"
#include "world/line_reader.h"
#include "world/log_format.h"
#include "world/world_model.h"

namespace {

std::string demoLogPath()
{
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "demo" / "demo.log").string();
}

// Every line of the demo log as the reader delivers it.
std::vector<std::string> demoLines()
{
    std::vector<std::string> lines;
    std::optional<LineReader> reader = openLogFile(demoLogPath());
    while (reader) {
        std::optional<std::string> line = reader->read();
        if (!line)
            break;
        lines.push_back(std::move(*line));
    }
    return lines;
}

void startFresh()
{
    headless::startup();
    app::viewer().reset();
    headless::reset();
}

// The demo played to the middle of the fight: units on both sides of the bridge, labels and a full chat feed.
void BM_ComposeDemoFrame(benchmark::State& state)
{
    startFresh();
    openReplayLog(demoLogPath());
    headless::advance(100000);
    // As in playback, where each frame shows something new: not a frame composed again to see it settle.
    for (auto _ : state) {
        markFrameChanged();
        composeFrame();
    }
    state.counters["soldiers"] = app::viewer().world.soldierList.size();
    state.counters["vehicles"] = app::viewer().world.vehicleList.size();
    if (app::viewer().world.soldierList.size() == 0)
        state.SkipWithError("the demo log did not play");
    app::viewer().reset();
}
BENCHMARK(BM_ComposeDemoFrame)->Unit(benchmark::kMillisecond);

// The same, paused, at a window of 1600 x 1820: a repaint tick that finds nothing changed, which is every tick of
// a paused viewer left alone (ten a second), against the frame it no longer composes.
void BM_PausedRepaintTick(benchmark::State& state)
{
    startFresh();
    headless::setClientSize(1600, 1820);
    setTimelineShown(true);
    openReplayLog(demoLogPath());
    headless::advance(100000);
    headless::key({Key::space});
    headless::advance(1000);
    // The first frames: the one composed, then the one without the damage lines it drew and with the pictures it
    // decoded.
    for (int settling = 0; settling < 3; ++settling)
        repaintTick();
    for (auto _ : state)
        repaintTick();
    if (frameChanged())
        state.SkipWithError("the paused frame still changes");
    app::viewer().reset();
    headless::reset();
}
BENCHMARK(BM_PausedRepaintTick)->Unit(benchmark::kMicrosecond);

void BM_ComposeLargeDemoFrame(benchmark::State& state)
{
    startFresh();
    headless::setClientSize(1600, 1820);
    openReplayLog(demoLogPath());
    headless::advance(100000);
    // As in playback, where each frame shows something new: not a frame composed again to see it settle.
    for (auto _ : state) {
        markFrameChanged();
        composeFrame();
    }
    app::viewer().reset();
    headless::reset();
}
BENCHMARK(BM_ComposeLargeDemoFrame)->Unit(benchmark::kMillisecond);

// Every line of the demo split and applied to a fresh world, as playback applies them (the map line loads the picture).
void BM_ApplyDemoLog(benchmark::State& state)
{
    startFresh();
    const std::vector<std::string> lines = demoLines();
    for (auto _ : state) {
        resetWorld(app::viewer().world);
        for (const std::string& line : lines)
            if (std::optional<SplitLine> split = splitLine(line))
                applyEvent(app::viewer().world, split->fields, app::viewer().playback.msPerLogSecond, screenHooks);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
    if (lines.empty())
        state.SkipWithError("no demo log");
    app::viewer().reset();
}
BENCHMARK(BM_ApplyDemoLog)->Unit(benchmark::kMillisecond);

void BM_SplitDemoLines(benchmark::State& state)
{
    const std::vector<std::string> lines = demoLines();
    for (auto _ : state) {
        for (const std::string& line : lines) {
            // A line is split as far as its fields are read: the last one splits it whole.
            if (std::optional<SplitLine> split = splitLine(line))
                benchmark::DoNotOptimize(split->fields[fieldCount - 1]);
            benchmark::DoNotOptimize(stampTime(line));
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_SplitDemoLines);

}  // namespace
