#pragma once

#include <benchmark/benchmark.h>

// The common end of a benchmark's main, once the Qt application object that the measured code
// needs exists (Google Benchmark's own main cannot create one).
inline int RunBenchmarks(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
