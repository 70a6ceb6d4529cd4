#pragma once
// Synthetic long light curves with known times of minimum, as a space telescope delivers them:
// a sector of even cadence with a gap in the middle, flagged and NaN points, and primary and
// secondary eclipses (some cut by the sector's ends); written as a FITS light curve or as a
// tab-separated measurement table. For the tests and the benchmarks.

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace umbrix::testing_support {

struct Sector {
    double start = 1710.2;      // days from kFitsReference (BTJD), first point
    double length = 27.25;      // days
    double cadence = 2.0 / 1440;
    // Days from start without data (the downlink): it cuts a primary and a secondary, as the
    // sector's start and end cut one primary each.
    double gapFrom = 12.35, gapTo = 13.6;
    double t0 = 1710.23127;     // a primary minimum, BTJD; off the sampling grid
    double period = 2.4713;
    double width = 0.075;       // minimum to contact, days
    double primaryDepth = 0.35, secondaryDepth = 0.12;  // shares of the flux
    double noise = 0.0015;      // of the flux, per point
    int flagEvery = 97;         // every n-th point flagged in QUALITY (0: none)
    int nanEvery = 131;         // every n-th flux NaN (0: none)
    std::uint64_t seed = 1;
};

inline constexpr double kFitsReference = 2457000.0;  // BJDREFI of the sector's times

struct SectorData {
    std::vector<double> time, flux, error;  // time in BTJD
    std::vector<int> quality;
};

// The eclipse's share of the flux lost dt days from minimum: a smooth dip that meets the
// out-of-eclipse level with zero slope at the contacts (|dt| = width), like a limb-darkened
// partial eclipse.
inline double DipShare(double dt, double width) {
    const double x = dt / width;
    return std::fabs(x) >= 1 ? 0 : std::pow(1 - x * x, 1.5);
}

inline SectorData MakeSector(const Sector& s) {
    SectorData d;
    std::mt19937_64 words(s.seed);
    const auto uniform = [&] { return (static_cast<double>(words() >> 11) + 0.5) * 0x1p-53; };
    const auto normal = [&] {
        return std::sqrt(-2 * std::log(uniform())) * std::cos(2 * M_PI * uniform());
    };
    const long count = std::lround(s.length / s.cadence);
    for (long i = 0; i < count; ++i) {
        const double t = s.start + static_cast<double>(i) * s.cadence;
        if (t - s.start >= s.gapFrom && t - s.start < s.gapTo) continue;
        const double phase = (t - s.t0) / s.period;
        const double toPrimary = (phase - std::nearbyint(phase)) * s.period;
        const double toSecondary = (phase - 0.5 - std::nearbyint(phase - 0.5)) * s.period;
        double flux = 1 - s.primaryDepth * DipShare(toPrimary, s.width) -
                      s.secondaryDepth * DipShare(toSecondary, s.width);
        flux += s.noise * normal();
        const bool flagged = s.flagEvery > 0 && i % s.flagEvery == 5;
        const bool nan = s.nanEvery > 0 && i % s.nanEvery == 7;
        d.time.push_back(t);
        // A flagged point is often a bad one: made far off, so that reading it would show.
        d.flux.push_back(nan ? std::numeric_limits<double>::quiet_NaN() : flagged ? flux * 0.5 : flux);
        d.error.push_back(s.noise);
        d.quality.push_back(flagged ? 1024 : 0);
    }
    return d;
}

// The true times (full BJD) of the minima of kind (0 primary, 0.5 secondary) in the sector:
// those whose whole eclipse, contact to contact, lies in the data, or with all those whose
// bottom does.
inline std::vector<double> Minima(const Sector& s, double phase, bool wholeOnly = true) {
    std::vector<double> times;
    for (int e = -5; e < 100; ++e) {
        const double t = s.t0 + s.period * (e + phase);
        const double margin = wholeOnly ? s.width : 0;
        const double a = t - margin - s.start, b = t + margin - s.start;
        if (a < 0 || b > s.length - s.cadence) continue;
        if (b > s.gapFrom && a < s.gapTo) continue;
        times.push_back(kFitsReference + t);
    }
    return times;
}

// The sector as a measurement table: a header line, then tab-separated BJD_TDB, flux and
// error; flagged points left out as a photometry program leaves them, NaN written as "nan".
inline std::string SectorTable(const SectorData& d) {
    std::string text = "BJD_TDB\trel_flux_T1\trel_flux_err_T1\tAIRMASS\n";
    char line[160];
    for (std::size_t i = 0; i < d.time.size(); ++i) {
        if (d.quality[i] != 0) continue;
        if (std::isnan(d.flux[i]))
            std::snprintf(line, sizeof line, "%.7f\tnan\t%.6f\t1.2\n", kFitsReference + d.time[i], d.error[i]);
        else
            std::snprintf(line, sizeof line, "%.7f\t%.7f\t%.6f\t1.2\n", kFitsReference + d.time[i], d.flux[i],
                          d.error[i]);
        text += line;
    }
    return text;
}

}  // namespace umbrix::testing_support
