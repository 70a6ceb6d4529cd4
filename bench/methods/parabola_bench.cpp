// The parabola fit over the 400 points within 0.04 day of the minimum of a 1000-point curve,
// and over all 1000.
#include <benchmark/benchmark.h>

#include "bench/methods/bench_curve.h"
#include "timing/core/methods/parabola.h"

namespace {

void Fit(benchmark::State& state, bool wholeCurve) {
    auto app = umbrix::bench::BenchApp();
    const umbrix::DataSet& ds = app->data;
    umbrix::ParabolaState s;
    if (wholeCurve)
        s.SetEnds(umbrix::SetRangeEnds(s.Ends(), 1, ds.PointCount));
    else {
        s.SetEnds(umbrix::PickRangeStart(s.Ends(), ds, 0.51234 - 0.04, 0));
        s.SetEnds(umbrix::PickRangeEnd(s.Ends(), ds, 0.51234 + 0.04, 0));
    }
    for (auto _ : state) {
        const umbrix::ParabolaRowResult r = umbrix::PressFitParabola(s, ds);
        if (!r.ok()) state.SkipWithError(r.message.c_str());
        benchmark::DoNotOptimize(r.time);
    }
}

BENCHMARK_CAPTURE(Fit, near_minimum, false);
BENCHMARK_CAPTURE(Fit, whole_curve, true);

}  // namespace

BENCHMARK_MAIN();
