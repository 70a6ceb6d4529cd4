#pragma once
// One night of synthetic photometry with a known time of minimum: the eclipse shapes the
// accuracy benchmark times, a reproducible noise source, and the working set built in memory.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "tests/timing/core/synthetic_eclipse.h"
#include "timing/core/data/data_set.h"

namespace umbrix::accuracy {

inline constexpr double kDay = testing_support::kDay;  // DayOffset of every synthetic night
inline constexpr double kBaseMag = 12.0;   // out-of-eclipse magnitude

// Uniform and standard normal numbers from a generator whose output the C++ standard fixes,
// so that a seed gives the same nights with every standard library (Box-Muller on raw words;
// std::normal_distribution is left to each library).
class Random {
public:
    explicit Random(std::uint64_t seed) : words_(seed) {}
    double Uniform() { return static_cast<double>(words_() >> 11) * 0x1p-53; }  // [0, 1)
    double Normal() {
        const double u1 = Uniform() + 0x1p-53;  // (0, 1]: the logarithm stays finite
        const double u2 = Uniform();
        return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
    }

private:
    std::mt19937_64 words_;
};

enum class DipKind { Gaussian, CosSquared, FlatBottomed };

// A symmetric eclipse as a share of its depth: 1 at minimum, 0 out of eclipse.
struct Dip {
    DipKind kind = DipKind::Gaussian;
    double width = 0.03;  // Gaussian: 1/e half-width; the others: minimum to contact, days
    double depth = 0.6;   // magnitudes

    // The share of the depth reached dt days from minimum.
    double Share(double dt) const {
        const double a = std::abs(dt);
        switch (kind) {
            case DipKind::Gaussian: return std::exp(-(dt / width) * (dt / width));
            case DipKind::CosSquared: {
                if (a >= width) return 0;
                const double c = std::cos(std::numbers::pi * dt / (2 * width));
                return c * c;
            }
            case DipKind::FlatBottomed:
                if (a >= width) return 0;
                return a <= Flat() ? 1 : (width - a) / (width - Flat());
        }
        return 0;
    }

    // d magnitude / d t at dt days from minimum, magnitudes per day.
    double Slope(double dt) const {
        const double a = std::abs(dt);
        const double sign = dt < 0 ? -1 : 1;
        switch (kind) {
            case DipKind::Gaussian: return depth * Share(dt) * (-2 * dt / (width * width));
            case DipKind::CosSquared:
                if (a >= width) return 0;
                return -depth * std::numbers::pi / (2 * width) *
                       std::sin(std::numbers::pi * dt / width);
            case DipKind::FlatBottomed:
                return a <= Flat() || a >= width ? 0 : -sign * depth / (width - Flat());
        }
        return 0;
    }

    // Minimum to first (or last) contact. A Gaussian never ends; an observer sees it begin
    // where it reaches about the noise, taken here as 1 % of the depth.
    double HalfDuration() const {
        return kind == DipKind::Gaussian ? width * std::sqrt(std::log(100.0)) : width;
    }

    // Half the length of the flat bottom: a third of the whole eclipse.
    double Flat() const { return width / 3; }
};

}  // namespace umbrix::accuracy
