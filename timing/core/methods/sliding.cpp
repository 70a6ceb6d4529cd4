#include "timing/core/methods/sliding.h"

#include <algorithm>
#include <cmath>

#include "timing/core/data/error_texts.h"
#include "timing/core/methods/noise.h"
#include "timing/core/methods/symmetry_check.h"

namespace umbrix {

void ResetSlidingState(SlidingState& s) { s.SlideCount = 0; }

void SelectSlidingPoints(SlidingState& s, const DataSet& ds, const Stretch& within) {
    // The stretch's own points numbered from 1: P of them, the faintest at k.
    const int offset = within.first - 1;
    const int p = within.last - offset, faintest = FaintestPoint(ds, within.first, within.last);
    const int k = faintest - offset;
    const double q = p / 2.0 * 0.9;
    int first = 1, l = p;
    if (faintest == 0 || p < 1) {
        // Every point deleted: nothing to select.
        l = 0;
    } else if (q > p - k) {
        // Few points after the deepest: as many before it as after, the last point left out.
        l = 2 * (p - k);
        first = p - l;
    } else if (q > k) {
        l = 2 * k;
    }
    for (int i = 1; i <= l; ++i) {
        s.SlideTime[i] = ds.Time[offset + first - 1 + i];
        s.SlideMag[i] = ds.Mag[offset + first - 1 + i];
    }
    s.SlideCount = l;
    s.SlideFirst = offset + first;
}

void SelectSlidingPoints(SlidingState& s, const DataSet& ds) {
    SelectSlidingPoints(s, ds, StretchAround(ds, ds.MagMaxIndex));
}

LineFit FitLine(const PointArray& x, const PointArray& y, int first, int last) {
    LineFit f;
    const int n = last - first + 1;
    double sx = 0, sxx = 0, sy = 0, sxy = 0;
    for (int i = first; i <= last; ++i) {
        sx += x[i];
        sxx += x[i] * x[i];
        sy += y[i];
        sxy += x[i] * y[i];
    }
    const double d = n * sxx - sx * sx;
    if (d == 0) return f;
    f.a = (sxx * sy - sx * sxy) / d;
    f.b = (n * sxy - sy * sx) / d;
    for (int i = first; i <= last; ++i) {
        const double r = f.a + f.b * x[i] - y[i];
        f.residual += r * r;
    }
    f.ok = true;
    return f;
}

const char* const kSlidingTooManyPoints =
    "Sliding integrations takes at most 998 points: delete points far from the eclipse and "
    "press Go again.";
const char* const kSlidingTooFewPoints =
    "Too few points around the deepest point for sliding integrations - the light curve needs "
    "points on both sides of the eclipse.";
const char* const kSlidingBalanceAtTheEnd =
    "The light balances only near one end of the light curve, so sliding integrations cannot "
    "place the minimum - it needs about as many points after the eclipse as before it.";

namespace {

SlidingResult Refuse(SlidingResult r, const std::string& message) {
    r.ok = false;
    r.message = message;
    return r;
}

// Fills the grid 1..K; false when a grid time has no bracketing pair of selected points.
// Grid time g lies between the last selected point earlier than g (the last j whose
// earliestAfter[j] = min(SlideTime[j..l]) < g) and the first at or after it (the first u
// whose latestBefore[u] = max(SlideTime[1..u]) >= g). Both bounds never fall as j and u
// grow, and g only grows, so one forward pass finds every pair the point-by-point search
// would.
bool ResampleEven(SlidingState& s, int l, int k, double h) {
    PointArray earliestAfter{}, latestBefore{};
    earliestAfter[static_cast<std::size_t>(l)] = s.SlideTime[l];
    for (int i = l - 1; i >= 1; --i) earliestAfter[i] = std::min(s.SlideTime[i], earliestAfter[i + 1]);
    latestBefore[1] = s.SlideTime[1];
    for (int i = 2; i <= l; ++i) latestBefore[i] = std::max(s.SlideTime[i], latestBefore[i - 1]);
    s.SlideGridTime[1] = s.SlideTime[1];
    s.SlideGridMag[1] = s.SlideMag[1];
    int j = 0, u = 1;
    for (int i = 2; i <= k; ++i) {
        const double g = h * (i - 1) + s.SlideTime[1];
        s.SlideGridTime[i] = g;
        while (j < l && earliestAfter[j + 1] < g) ++j;
        while (u <= l && latestBefore[u] < g) ++u;
        if (j < 1 || u > l || s.SlideTime[u] == s.SlideTime[j]) return false;
        s.SlideGridMag[i] = s.SlideMag[j] + (s.SlideMag[u] - s.SlideMag[j]) *
                                                (g - s.SlideTime[j]) / (s.SlideTime[u] - s.SlideTime[j]);
    }
    return true;
}

// The standard error of the time of minimum. The time is where the line through the window
// differences crosses zero, so it moves by -dD/slope when noise changes the differences by
// dD there. dD is linear in the magnitudes: the line's weights over its starts, each start's
// trapezoid weights over the grid (+h/2, +h.. over the first window, -h.. -h/2 over the
// second) and each grid value's interpolation weights over the two points around it. The
// noise of one point comes from the scatter about its neighbours.
double SlidingError(const SlidingState& s, const SlidingResult& r, const LineFit& fit) {
    const double noise = NoiseFromNeighbours(s.SlideTime, s.SlideMag, 1, r.l);
    if (!(noise > 0)) return 0;
    const int first = r.rangeFirst, last = r.rangeLast, m = r.m;
    const int count = last - first + 1;
    double mean = 0;
    for (int i = first; i <= last; ++i) mean += s.SlideGridTime[i];
    mean /= count;
    double sxx = 0;
    for (int i = first; i <= last; ++i) sxx += (s.SlideGridTime[i] - mean) * (s.SlideGridTime[i] - mean);
    const double crossing = -fit.a / fit.b;
    PointArray grid{};  // weight of each grid value in the fitted difference at the crossing
    for (int i = first; i <= last; ++i) {
        const double w = 1.0 / count + (crossing - mean) * (s.SlideGridTime[i] - mean) / sxx;
        grid[i] += w * r.h / 2;
        for (int g = i + 1; g < i + m; ++g) grid[g] += w * r.h;
        for (int g = i + m + 1; g < i + 2 * m; ++g) grid[g] -= w * r.h;
        grid[i + 2 * m] -= w * r.h / 2;
    }
    PointArray points{};
    points[1] += grid[1];
    for (int g = 2, u = 1; g <= r.k; ++g) {
        const double t = s.SlideGridTime[g];
        while (u <= r.l && s.SlideTime[u] < t) ++u;
        const int j = u - 1;
        // Times that do not increase give no single pair around a grid time: no estimate.
        if (u > r.l || !(s.SlideTime[j] < t)) return 0;
        const double toU = (t - s.SlideTime[j]) / (s.SlideTime[u] - s.SlideTime[j]);
        points[j] += grid[g] * (1 - toU);
        points[u] += grid[g] * toU;
    }
    double squares = 0;
    for (int p = 1; p <= r.l; ++p) squares += points[p] * points[p];
    return noise * std::sqrt(squares) / std::fabs(fit.b);
}

}  // namespace

SlidingResult SlidingIntegrations(SlidingState& s) {
    SlidingResult r;
    r.l = s.SlideCount;
    const int l = r.l;
    r.m = l / 3 + 1;
    r.k = 3 * r.m;
    const int m = r.m;
    // The grid and the two windows use indices up to 3M, which must fit the arrays.
    if (r.k > kMaxPoints) return Refuse(r, std::string(ErrorText(9)) + " " + kSlidingTooManyPoints);
    if (l < 2) return Refuse(r, kSlidingTooFewPoints);
    r.h = (s.SlideTime[l] - s.SlideTime[1]) / r.k;
    const double h = r.h;
    if (!(h > 0) || !ResampleEven(s, l, r.k, h))
        return Refuse(r, "The selected points' times do not rise from point to point - sort the "
                         "light curve by time and try again.");

    const auto& g = s.SlideGridMag;
    for (int i = 1; i <= m; ++i) {
        double diff = 0;
        for (int j = 0; j < m; ++j)
            diff += h * (g[i + j] + g[i + j + 1]) / 2 - h * (g[i + j + m] + g[i + j + m + 1]) / 2;
        s.WindowDiff[i] = diff;
    }
    double smallest = 99;
    for (int i = 1; i <= m; ++i)
        if (std::fabs(s.WindowDiff[i]) < smallest) {
            smallest = std::fabs(s.WindowDiff[i]);
            r.best = i;
        }
    if (r.best == 0)
        return Refuse(r, "No two windows of the light curve hold equal light - check the "
                         "magnitudes in the file for values far out of line.");

    int w = r.best < m - r.best ? r.best - 1 : m - r.best - 1;
    w = std::clamp(w, 1, kSlideMaxFitHalfWidth);
    // Only starts computed in this run (1..M) enter the line fit.
    r.rangeFirst = std::max(r.best - w, 1);
    r.rangeLast = std::min(r.best + w, m);
    if (r.rangeLast - r.rangeFirst + 1 < 3)
        return Refuse(r, kSlidingBalanceAtTheEnd);
    r.fitReached = true;
    const LineFit fit = FitLine(s.SlideGridTime, s.WindowDiff, r.rangeFirst, r.rangeLast);
    if (!fit.ok || fit.b == 0)
        return Refuse(r, "The light does not change as the windows slide, so no minimum can "
                         "be placed - check that the light curve shows the eclipse.");
    r.tMin = -fit.a / fit.b + m * h;
    r.sigma = std::sqrt(fit.residual / m);
    if (!std::isfinite(r.tMin) || !std::isfinite(r.sigma))
        return Refuse(r, "The fit gave a value that is not a number.");
    r.calibrated = SlidingError(s, r, fit);
    if (!std::isfinite(r.calibrated)) r.calibrated = 0;
    r.ok = true;
    return r;
}

SlidingRowResult SlidingGo(SlidingState& s, const DataSet& ds, int& rangeFirst, int& rangeLast) {
    return SlidingGo(s, ds, StretchAround(ds, ds.MagMaxIndex), rangeFirst, rangeLast);
}

SlidingRowResult SlidingGo(SlidingState& s, const DataSet& ds, const Stretch& within,
                           int& rangeFirst, int& rangeLast) {
    SlidingRowResult result;
    SelectSlidingPoints(s, ds, within);
    if (const std::string why = TimeOrderProblem(ds, s.SlideFirst, s.SlideFirst + s.SlideCount - 1);
        !why.empty()) {
        result.refuse(why);
        return result;
    }
    result.sliding = SlidingIntegrations(s);
    const SlidingResult& r = result.sliding;
    if (r.fitReached) {
        rangeFirst = r.rangeFirst;
        rangeLast = r.rangeLast;
    }
    if (!r.ok) {
        result.refuse(r.message);
        return result;
    }
    result.done(ds, r.tMin, r.sigma);
    // The error propagates the noise through the resampling; a grid too coarse for the
    // bottom's curvature shifts the minimum beyond it, which the points' symmetry shows.
    // No range is the user's to narrow here, so the widened error speaks for itself.
    if (r.calibrated > 0) result.calibrate(WidenToSymmetry(ds, r.tMin, r.calibrated).error);
    return result;
}

}  // namespace umbrix
