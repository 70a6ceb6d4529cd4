// Kwee and van Woerden on a 1000-point curve. The grid holds at most 556 points of range, so
// the range is the 500 points about the minimum.
#include <benchmark/benchmark.h>

#include "bench/methods/bench_curve.h"
#include "timing/core/methods/kvw.h"

namespace {

void Fit(benchmark::State& state) {
    auto app = umbrix::bench::BenchApp();
    const umbrix::DataSet& ds = app->data;
    umbrix::KvwState s;
    s.SetEnds(umbrix::SetRangeEnds(s.Ends(), 251, 750));
    for (auto _ : state) {
        const umbrix::KvwRowResult r =
            umbrix::PressFitKwee(s, ds, umbrix::kKvwDefaultStepp, umbrix::kKvwDefaultFrac);
        if (!r.ok()) state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(r.time);
    }
}

BENCHMARK(Fit);

}  // namespace

BENCHMARK_MAIN();
