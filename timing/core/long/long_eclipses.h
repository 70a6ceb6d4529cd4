#pragma once
// The eclipses of a long light curve, each cut out as a window of points that can be timed
// as a light curve of its own: predicted by an ephemeris, or found as the dips of the
// smoothed curve. A window is timed only when the eclipse is covered (both branches, no gap
// inside it); the others are listed with the reason.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "timing/core/long/long_curve.h"

namespace umbrix {

// The refusal when no eclipse shows both contacts and no half-width is given.
extern const char* const kNoDurationMessage;

struct EclipseSearch {
    std::optional<double> t0, period;  // the ephemeris, both or neither
    bool secondary = false;            // with an ephemeris: the eclipses at phase 0.5
    std::optional<double> halfWidth;   // days; measured on the curve when not given
};

// Why an eclipse's window is not timed.
inline constexpr const char* kWhyGap = "gap";
inline constexpr const char* kWhyOneBranch = "one branch";
inline constexpr const char* kWhyTooFew = "too few points";

struct LongEclipse {
    int number = 0;                // 1, 2, ... in time order
    std::optional<double> cycle;   // with an ephemeris: E (x.5 for a secondary)
    double centre = 0;             // the window's middle: predicted, or the dip's bottom
    double from = 0, to = 0;       // the window, days
    std::size_t first = 0, last = 0;  // its points: curve indices first..last (count 0: none)
    std::size_t count = 0;
    double depth = 0;              // of the smoothed curve below the level, magnitudes
    bool covered = false;
    std::string why;               // when not covered: kWhyGap, kWhyOneBranch or kWhyTooFew
    std::string detail;            // ... and in words, with the times
};

struct LongEclipses {
    std::string message;         // nothing to cut: why (too few points, no dip, bad ephemeris)
    double level = 0;            // out-of-eclipse magnitude
    double noise = 0;            // scatter of one point
    double cadence = 0;          // median step between points, days
    double duration = 0;         // the eclipse's duration used to check coverage, days
    double halfWidth = 0;        // of every window, days
    bool measured = false;       // halfWidth measured on the curve (not given)
    std::vector<LongEclipse> eclipses;
};

LongEclipses FindLongEclipses(const LongCurve& curve, const EclipseSearch& search);

// The points of an eclipse's window as a light curve for timing, at most maxPoints: a longer
// window is binned (means of `binned` consecutive points, time and magnitude alike).
struct WindowPoints {
    std::vector<double> time, mag;
    std::vector<int> line;  // the file line of each point (the first of its bin)
    int binned = 1;         // points per bin
    std::string timeScale;  // the long curve's ("" when its file does not say)
};
WindowPoints PointsOfWindow(const LongCurve& curve, const LongEclipse& eclipse, int maxPoints);

}  // namespace umbrix
