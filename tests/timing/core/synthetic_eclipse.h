#pragma once
// Light curves for the method tests: exact working sets built in memory, and synthetic
// eclipses with a known time of minimum, optionally with reproducible Gaussian noise.

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "timing/core/data/data_set.h"

namespace umbrix::testing_support {

inline constexpr double kDay = 2454123.0;  // DayOffset of every test light curve

// A working set holding exactly these relative times and magnitudes (no round trip through
// full Julian dates, which would blur the times by ~1e-10 day), with its extremes and fold
// start derived as a load derives them.
inline DataSet WorkingSet(const std::vector<double>& times, const std::vector<double>& mags) {
    DataSet ds;
    ds.DataFileName = "synthetic.csv";
    ds.DayOffset = kDay;
    const int n = static_cast<int>(times.size());
    ds.ReadCount = ds.PointCount = n;
    for (int i = 1; i <= n; ++i) {
        ds.RawHjd[i] = kDay + times[i - 1];
        ds.RawMag[i] = mags[i - 1];
        ds.AllTime[i] = ds.Time[i] = times[i - 1];
        ds.AllMag[i] = ds.Mag[i] = mags[i - 1];
    }
    FindExtremes(ds);
    FreezeExtremes(ds);
    ds.GuessMinTime = RoundTo(ds.Time[ds.MagMaxIndex], 4);
    return ds;
}

// Standard normal numbers from a generator whose output the C++ standard fixes, so that a
// seed gives the same light curve with every standard library (Box-Muller on raw words).
class Noise {
public:
    explicit Noise(std::uint64_t seed) : random_(seed) {}
    double operator()() {
        const double u1 = (static_cast<double>(random_() >> 11) + 1) * 0x1p-53;
        const double u2 = static_cast<double>(random_() >> 11) * 0x1p-53;
        return std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
    }

private:
    std::mt19937_64 random_;
};

// A symmetric dip: 12 mag out of eclipse, 0.6 mag deep, Gaussian of 0.03 day 1/e half-width.
inline double GaussianDip(double dt) { return 12.0 + 0.6 * std::exp(-(dt / 0.03) * (dt / 0.03)); }

struct EclipseShape {
    int points = 200;
    double first = 0.40;      // relative time of the first point
    double spacing = 0.001;   // days between points
    double minimum = 0.50123; // true time of minimum, off the sampling grid
    double noise = 0;         // sigma of added noise, magnitudes
    std::uint64_t seed = 1;
    std::function<double(double)> dip = GaussianDip;
};

inline DataSet Eclipse(const EclipseShape& e) {
    Noise noise(e.seed);
    std::vector<double> t, m;
    for (int i = 0; i < e.points; ++i) {
        t.push_back(e.first + e.spacing * i);
        m.push_back(e.dip(t.back() - e.minimum) + (e.noise > 0 ? e.noise * noise() : 0));
    }
    return WorkingSet(t, m);
}

// A night of a short-period binary: Gaussian dips of 0.03 day 1/e half-width, 0.6 mag deep at
// the minimum (dt = 0), 0.5 mag at dt = 0.2 and 1.5 mag at dt = 0.52; with points from 0.40 to
// 0.999 the last one is observed on its falling branch only, 0.022 day before its minimum.
inline double ThreeMinima(double dt) {
    const auto dip = [](double x, double depth) { return depth * std::exp(-(x / 0.03) * (x / 0.03)); };
    return 12.0 + dip(dt, 0.6) + dip(dt - 0.2, 0.5) + dip(dt - 0.52, 1.5);
}

// Arbitrary working sets for robustness checks: 1 to 40 points (now and then up to 1000),
// times mostly rising but with repeats and reversals, magnitudes with ties and jumps.
class RandomCurves {
public:
    explicit RandomCurves(std::uint64_t seed) : random_(seed) {}
    int Uniform(int lo, int hi) {  // lo..hi inclusive
        return lo + static_cast<int>(random_() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    DataSet Next() {
        const int n = Uniform(0, 9) == 0 ? Uniform(1, 1000) : Uniform(1, 40);
        std::vector<double> t, m;
        double time = 0.3;
        for (int i = 0; i < n; ++i) {
            switch (Uniform(0, 9)) {
                case 0: break;                                   // repeated time
                case 1: time -= 0.001 * Uniform(1, 5); break;    // out of order
                default: time += 0.001 * Uniform(1, 20);
            }
            t.push_back(time);
            m.push_back(Uniform(0, 4) == 0 ? 12.0 : 12 + 0.01 * Uniform(0, 100));
        }
        return WorkingSet(t, m);
    }

private:
    std::mt19937_64 random_;
};

}  // namespace umbrix::testing_support
