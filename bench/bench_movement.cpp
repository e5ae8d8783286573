// Movement benchmark: one movement tick (glideUnits over the world's lists) with 1,300 gliding units, the heavy
// scene's 1,000 soldiers and 300 vehicles, each with a glide that does not run out while the benchmark runs.
#include <benchmark/benchmark.h>

#include <limits>

#include "app/playback.h"
#include "app/viewer.h"
#include "bench/scenes.h"

namespace {

template <class Unit>
void startGliding(PtrList<Unit>& list)
{
    walk(list, [](Unit& unit) {
        unit.glide.stepsLeft = std::numeric_limits<std::int32_t>::max();
        unit.glide.stepLength = 0.01f;
        unit.glide.moveHeading = 0.5f;
    });
}

void BM_MovementTick(benchmark::State& state)
{
    buildHeavyScene();
    startGliding(app::viewer().world.soldierList);
    startGliding(app::viewer().world.vehicleList);
    for (auto _ : state)
        movementTick();
    state.SetItemsProcessed(state.iterations()
                            * (app::viewer().world.soldierList.size() + app::viewer().world.vehicleList.size()));
    app::viewer().reset();
}
BENCHMARK(BM_MovementTick)->Unit(benchmark::kMicrosecond);

}  // namespace
