// Writing one frame as PNG: libgdiplus' own encoder (the earlier way) against the headless backend's libpng writer
// that kelo-render uses, on the light scene's frame, into the benchmarks' folder.
#include <benchmark/benchmark.h>

#include "app/shell.h"
#include "app/viewer.h"
#include "bench/bench_folder.h"
#include "bench/scenes.h"
#include "platform/headless/headless.h"
#include "platform/linux/shared.h"
#include "view/gdiplus_wrappers.h"

namespace {

void BM_WriteFramePngGdiplus(benchmark::State& state)
{
    buildLightScene();
    composeFrame();
    const std::u16string path = widen(benchFolder().file("frame-gdiplus.png"));
    for (auto _ : state)
        if (GdipSaveImageToFile(reinterpret_cast<GpImage*>(backBufferBitmap()), path.c_str(), &gpPngEncoder, nullptr)
            != gpOk)
            state.SkipWithError("the frame could not be written");
    app::viewer().reset();
}
BENCHMARK(BM_WriteFramePngGdiplus)->Unit(benchmark::kMillisecond);

void BM_WriteFramePng(benchmark::State& state)
{
    buildLightScene();
    composeFrame();
    const std::string path = benchFolder().file("frame.png");
    for (auto _ : state)
        if (!headless::saveFrame(path))
            state.SkipWithError("the frame could not be written");
    app::viewer().reset();
}
BENCHMARK(BM_WriteFramePng)->Unit(benchmark::kMillisecond);

}  // namespace
