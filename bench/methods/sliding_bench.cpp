// Sliding integrations (row-6 Go) on a 1000-point curve. With the deepest point near the
// middle all 1000 points would need a grid beyond 1000 and the method refuses; the curve
// here therefore loses its last two points, leaving the largest selection the grid holds.
#include <benchmark/benchmark.h>

#include "bench/methods/bench_curve.h"
#include "timing/core/methods/sliding.h"

namespace {

void Go(benchmark::State& state) {
    auto app = umbrix::bench::BenchApp();
    umbrix::DataSet& ds = app->data;
    umbrix::SetDeleted(ds, ds.ReadCount, true);
    umbrix::SetDeleted(ds, ds.ReadCount - 1, true);
    for (auto _ : state) {
        const umbrix::SlidingRowResult r =
            umbrix::SlidingGo(app->sliding, ds, app->RangeFirst, app->RangeLast);
        if (!r.ok()) state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(r.time);
    }
}

BENCHMARK(Go);

}  // namespace

BENCHMARK_MAIN();
