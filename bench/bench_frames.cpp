// Frame benchmarks: composeFrame as the repaint timer calls it (Kelo.ini read, every layer drawn into the back
// buffer) for the title screen, the light and the heavy scene, and the heavy scene through the camera: at zoom 1, 8
// and 64 over the map's middle, and following a unit.
#include <benchmark/benchmark.h>

#include <functional>

#include "app/shell.h"
#include "app/viewer.h"
#include "bench/scenes.h"
#include "controls/camera_controls.h"

namespace {

void composeScene(benchmark::State& state, const std::function<void()>& build)
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

// The camera on the map's middle (map point 2000, 2000 of the scenes' calibration) at the zoom given.
void BM_ComposeHeavyZoom(benchmark::State& state)
{
    const auto zoom = static_cast<double>(state.range(0));
    composeScene(state, [zoom] {
        buildHeavyScene();
        Camera& camera = app::viewer().view.camera;
        camera.zoom = zoom;
        camera.centre = MapPoint{2000, 2000};
    });
}
BENCHMARK(BM_ComposeHeavyZoom)->Arg(1)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

// At zoom 8, centred on a soldier each frame.
void BM_ComposeHeavyFollowing(benchmark::State& state)
{
    composeScene(state, [] {
        buildHeavyScene();
        Camera& camera = app::viewer().view.camera;
        camera.zoom = 8;
        followId(camera, app::viewer().world, 500);
    });
}
BENCHMARK(BM_ComposeHeavyFollowing)->Unit(benchmark::kMillisecond);

}  // namespace
