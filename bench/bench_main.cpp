// TODO
#include "platform/headless/headless.h"

#include <benchmark/benchmark.h>
BENCHMARK_MAIN();
