// Bisectors of chords on a 1000-point curve with the batch's default ranges: every point
// before the deepest one against every point after it. Each crossing search runs over the
// whole curve, so this is the method's worst ordinary case.
#include <benchmark/benchmark.h>

#include "bench/methods/bench_curve.h"
#include "timing/core/methods/chords.h"

namespace {

void Bisect(benchmark::State& state) {
    auto app = umbrix::bench::BenchApp();
    const umbrix::DataSet& ds = app->data;
    umbrix::ChordsState s;
    umbrix::SetChordsRanges(s, 1, ds.MagMaxIndex - 1, ds.MagMaxIndex + 1, ds.PointCount);
    for (auto _ : state) {
        const umbrix::ChordsRowResult r = umbrix::PressBisectChords(s, ds);
        if (!r.ok()) state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(r.time);
    }
}

BENCHMARK(Bisect);

}  // namespace

BENCHMARK_MAIN();
