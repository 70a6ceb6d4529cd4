// The tracing paper on a 1000-point curve: Go (copy of the magnitudes), the four smoothing
// steps, one scroll step and the published row, as one user session.
#include <benchmark/benchmark.h>

#include "bench/methods/bench_curve.h"
#include "timing/core/methods/tracing.h"

namespace {

void Session(benchmark::State& state) {
    auto app = umbrix::bench::BenchApp();
    umbrix::DataSet& ds = app->data;
    umbrix::TracingState s;
    for (auto _ : state) {
        s.SmoothLevel = 1;
        umbrix::ResetTraceMag(s, ds);
        for (int i = 0; i < 4; ++i) umbrix::SmoothMagnitudes(s, ds);
        umbrix::FoldFromScroll(ds, umbrix::kFoldScrollCentre + 1);
        umbrix::UpdateFoldPlotBounds(s, ds, ds.GuessMinTime);
        benchmark::DoNotOptimize(umbrix::FirstMirroredPoint(ds, ds.GuessMinTime));
        const umbrix::TracingRowResult r = umbrix::TraceResult(ds, ds.GuessMinTime);
        benchmark::DoNotOptimize(r.time);
    }
}

BENCHMARK(Session);

}  // namespace

BENCHMARK_MAIN();
