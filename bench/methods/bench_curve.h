#pragma once
// The light curve every method benchmark runs on: 1000 points over 0.2 day, a 0.6 mag
// Gaussian dip (0.04 day 1/e half-width) with its minimum at 0.51234, 0.005 mag of noise
// drawn from a fixed seed.

#include <cmath>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "timing/core/session/app_state.h"
#include "timing/core/data/reader.h"

namespace umbrix::bench {

inline constexpr int kBenchPoints = 1000;
inline constexpr double kBenchDay = 2454123.0;

inline void BenchCurve(std::vector<double>& hjd, std::vector<double>& mag) {
    std::mt19937_64 random(7);
    for (int k = 0; k < kBenchPoints; ++k) {
        const double dt = -0.1 + 0.2 * k / (kBenchPoints - 1);
        // Uniform noise of 0.005 mag standard deviation from raw generator words.
        const double u = static_cast<double>(random() >> 11) * 0x1p-53 - 0.5;
        hjd.push_back(kBenchDay + 0.51234 + dt);
        mag.push_back(12 + 0.6 * std::exp(-(dt / 0.04) * (dt / 0.04)) + 0.005 * std::sqrt(12.0) * u);
    }
}

inline std::unique_ptr<AppState> BenchApp() {
    std::vector<double> hjd, mag;
    BenchCurve(hjd, mag);
    auto app = std::make_unique<AppState>();
    ApplyLightCurve(app->data, hjd, mag);
    app->data.DataFileName = "bench.csv";
    ResetMethodStates(*app);
    return app;
}

// The same curve as a file, for the whole batch run.
inline std::string BenchFile(const std::string& path) {
    std::vector<double> hjd, mag;
    BenchCurve(hjd, mag);
    std::ofstream out(path);
    out.precision(15);
    for (std::size_t i = 0; i < hjd.size(); ++i) out << hjd[i] << "," << mag[i] << "\n";
    return path;
}

}  // namespace umbrix::bench
