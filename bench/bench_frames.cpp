// Frame benchmarks: composeFrame as the repaint timer calls it (Kelo.ini read, every layer drawn into the back
// buffer) for the title screen, the light and the heavy scene.
#include <benchmark/benchmark.h>

#include "app/shell.h"
#include "app/viewer.h"
#include "bench/scenes.h"

namespace {

void composeScene(benchmark::State& state, void (*build)())
{
    build();
    for (auto _ : state)
        composeFrame();
    state.counters["soldiers"] = app::viewer().world.soldierList.size();
    state.counters["vehicles"] = app::viewer().world.vehicleList.size();
    app::viewer().reset();
}

void BM_ComposeTitle(benchmark::State& state)
{
    composeScene(state, buildTitleScene);
}
BENCHMARK(BM_ComposeTitle)->Unit(benchmark::kMillisecond);

void BM_ComposeLight(benchmark::State& state)
{
    composeScene(state, buildLightScene);
}
BENCHMARK(BM_ComposeLight)->Unit(benchmark::kMillisecond);

void BM_ComposeHeavy(benchmark::State& state)
{
    composeScene(state, buildHeavyScene);
}
BENCHMARK(BM_ComposeHeavy)->Unit(benchmark::kMillisecond);

}  // namespace
