// The benchmarks' entry: GDI+ and the core's hooks are started once and one viewer is made current, then every
// benchmark of bench/ runs.
// Each bench_*.cpp file registers the benchmarks of its subject; bench/run builds and runs them in Release.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "app/viewer.h"
#include "platform/headless/headless.h"

int main(int argc, char** argv)
{
    Viewer viewer;
    app::makeCurrent(&viewer);
    if (!headless::startup()) {
        std::fprintf(stderr, "kelo_bench: GDI+ could not be started\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
