#pragma once
// The eclipses of one light curve. A night of a short-period binary holds two minima or more,
// and a method that searches the curve (a chord's other branch, the pairs of Kwee and van
// Woerden, the windows of sliding integrations, the symmetry of a fold) must never reach from
// one eclipse into the next. Each eclipse is a dip of the smoothed curve standing out of the
// noise; its stretch of the curve runs between the brightest points that separate it from
// its neighbours. A night with one dip has one stretch: the whole curve.

#include <string>
#include <vector>

#include "timing/core/data/data_set.h"

namespace umbrix {

// A dip is an eclipse when it rises this many times the noise of one point above the
// brighter of the curve's two lowest points on either side of it (the dip's prominence), and
// is at least this share of the most prominent dip: wobbles of the out-of-eclipse light and
// slow trends are not eclipses of their own.
inline constexpr double kDipNoises = 5;
inline constexpr double kDipShare = 0.2;
// A branch is there when the curve climbs back this share of the depth from the bottom: less
// is the bottom itself, cut by the start or the end of the night.
inline constexpr double kBranchRise = 0.4;

struct Dip {
    int peak = 0;             // working index of the dip's faintest smoothed point
    int first = 0, last = 0;  // its stretch: working points first..last (see above)
    double depth = 0;         // smoothed magnitude at peak less the night's level, magnitudes
    // Both branches climb back from the bottom by kBranchRise of the depth within the
    // stretch; why says which is missing.
    bool covered = false;
    std::string why;
    // Relative days: halfway between the branches' crossings of the highest level both reach
    // (half the depth at most) when covered, else
    // the time of the faintest smoothed point.
    double centre = 0;
};

struct NightDips {
    std::string message;  // no dip: why (too few points, nothing above the noise)
    double level = 0;     // out-of-eclipse magnitude: the brightest tenth of the smoothed curve
    double noise = 0;     // scatter of one point
    int halfWindow = 1;   // the smoothing is a running mean over 2 halfWindow + 1 points
    std::vector<double> smooth;  // the smoothed magnitudes, 1..PointCount (index 0 unused)
    std::vector<Dip> dips;       // in time order
};

NightDips FindDips(const DataSet& ds);

// The time at which the smoothed curve s crosses magnitude m between working points i and
// i + 1, by linear interpolation (Time(i) where s does not change there).
double SmoothCrossing(const DataSet& ds, const std::vector<double>& s, int i, double m);

struct Stretch {
    int first = 0, last = 0;  // working points
};

// The stretch of the eclipse that holds working point i: that of the dip whose stretch
// holds i (the earlier one where two stretches share their boundary point), or the whole
// working set when the night has fewer than two dips.
Stretch StretchAround(const NightDips& night, const DataSet& ds, int i);
Stretch StretchAround(const DataSet& ds, int i);

// The first faintest working point of first..last (0 when the range is empty).
int FaintestPoint(const DataSet& ds, int first, int last);

// A range first..last narrowed to the stretch of the eclipse around its faintest point.
// narrowed tells whether points were left out; warning then says which, for the user.
struct EclipseRange {
    int first = 0, last = 0;
    bool narrowed = false;
    std::string warning;
};
EclipseRange RangeOnOneEclipse(const DataSet& ds, int first, int last);

}  // namespace umbrix
