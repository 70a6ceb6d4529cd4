// The Fourier fit on a 1000-point light curve, from the start values of a fresh load.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "timing/core/session/app_state.h"
#include "timing/core/data/reader.h"
#include "timing/core/methods/fourier.h"

namespace {

using umbrix::AppState;

// A 0.6 mag Gaussian dip over 0.2 day, minimum at .51234, optionally with 0.01 mag noise.
std::unique_ptr<AppState> Night(bool noisy) {
    std::mt19937_64 random(42);
    std::normal_distribution<double> noise(0, 0.01);
    std::vector<double> hjd, mag;
    for (int k = 0; k < 1000; ++k) {
        const double dt = -0.1 + 0.2 * k / 999;
        hjd.push_back(2454123.51234 + dt);
        mag.push_back(12 + 0.6 * std::exp(-(dt / 0.04) * (dt / 0.04)) + (noisy ? noise(random) : 0));
    }
    auto app = std::make_unique<AppState>();
    umbrix::ApplyLightCurve(app->data, hjd, mag);
    umbrix::ResetMethodStates(*app);
    return app;
}

void Fit(benchmark::State& state, bool noisy) {
    auto app = Night(noisy);
    int iterations = 0;
    for (auto _ : state) {
        umbrix::ResetFourierState(app->fourier, app->data);  // as after a load
        app->fourier.SetEnds(umbrix::SetRangeEnds(app->fourier.Ends(), 1, app->data.PointCount));
        const umbrix::FourierRowResult r = umbrix::FitFourier(app->fourier, app->data);
        if (!r.ok()) state.SkipWithError(r.message.c_str());
        iterations = r.iterations;
        benchmark::DoNotOptimize(r.time);
    }
    state.counters["steps"] = iterations;
}

void BM_FourierFitNoisyDip1000(benchmark::State& state) { Fit(state, true); }
void BM_FourierFitSmoothDip1000(benchmark::State& state) { Fit(state, false); }

BENCHMARK(BM_FourierFitNoisyDip1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FourierFitSmoothDip1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
