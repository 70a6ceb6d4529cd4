#include "timing/core/methods/kvw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "timing/core/methods/eclipses.h"

namespace umbrix {

const char* const kKvwNoMinimum =
    "Kwee and van Woerden found no minimum of the symmetry sums inside the range - pick a "
    "range that holds the whole eclipse, about centred on its minimum.";

namespace {

constexpr double kKvwSharedPoints = 1.2;  // see the calibrated error below
constexpr int kKvwFewPairs = 6;           // fewer pairs: the calibrated error is shaky
constexpr int kMaxMoves = 7;  // the centre walks at most eight grid steps before walking on

KvwResult Refuse(KvwResult r, const std::string& message) {
    r.ok = false;
    r.message = message;
    return r;
}

// S(c): squared differences of the grid pairs c - h, c + h for odd h <= p.
double SymmetrySum(const KvwState& s, int c, int p) {
    double sum = 0;
    for (int h = 1; h <= p; h += 2) {
        const double d = s.GridMag[c - h] - s.GridMag[c + h];
        sum += d * d;
    }
    return sum;
}

}  // namespace

void ResetKvwState(KvwState& s) {
    s.KvwStartSet = false;
    s.KvwEndSet = false;
    s.KvwReady = false;
}

void ResampleRange(KvwState& s, const DataSet& ds, int start, int end, int gridIntervals) {
    const int n = gridIntervals;
    s.GridTime[0] = ds.Time[start];
    s.GridTime[n] = ds.Time[end];
    s.GridMag[0] = ds.Mag[start];
    s.GridMag[n] = ds.Mag[end];
    const double step = (ds.Time[end] - ds.Time[start]) / n;
    // Each grid time g is interpolated between the last point of the range at or before it
    // and the next one. The range's times rise, so as g grows that point only moves forward:
    // one pass over the range serves the whole grid. Points outside the range are never
    // read, so that another eclipse or a bad line elsewhere in the night cannot reach it.
    int j = start;
    for (int w = 1; w < n; ++w) {
        const double g = step * w + ds.Time[start];
        s.GridTime[w] = g;
        while (j + 1 < end && ds.Time[j + 1] <= g) ++j;
        s.GridMag[w] = ds.Mag[j] + (ds.Mag[j + 1] - ds.Mag[j]) * (g - ds.Time[j]) /
                                       (ds.Time[j + 1] - ds.Time[j]);
    }
}

KvwResult KweeVanWoerden(KvwState& s, const DataSet& ds, int start, int end,
                         const std::string& steppText, const std::string& fracText) {
    KvwResult r;
    if (start < 1 || end > ds.PointCount)
        return Refuse(r, "The range lies outside the working points.");
    if (end < start) return Refuse(r, "The end of the range lies before its start.");
    r.n = end - start + 1;
    if (r.n < 5) return Refuse(r, "Kwee and van Woerden needs at least five points in the range.");
    RoundToInt16(0.9 * r.n, r.m);
    r.gridIntervals = 2 * r.m;
    const int n = r.gridIntervals;
    if (n > kMaxPoints)
        return Refuse(r, "The range is too long for the grid (at most 556 points).");
    r.frac = LeadingNumber(fracText);
    if (!RoundToInt16(LeadingNumber(steppText), r.stepp) || !std::isfinite(r.frac))
        return Refuse(r, "The Stepp and Frac settings would read outside the grid.");
    if (const std::string why = TimeOrderProblem(ds, start, end); !why.empty()) return Refuse(r, why);
    ResampleRange(s, ds, start, end, n);

    // Start at the first grid index of the faintest interpolated magnitude.
    int k = 0;
    double highest = -99;
    for (int w = 0; w <= n; ++w)
        if (s.GridMag[w] > highest) {
            highest = s.GridMag[w];
            k = w;
        }

    const int stepp = r.stepp;
    int moves = 0;
    int walkReach = 0;  // while walking on: the largest pair reach still allowed
    while (true) {
        const bool walkingOn = moves > kMaxMoves;
        // Pairs reach a fraction frac of the way from k to the nearer end of the grid.
        int p = 0;
        if (!RoundToInt16((k < r.m ? k : n - k) * r.frac, p))
            return Refuse(r, "The Stepp and Frac settings would read outside the grid.");
        // Walking on, the reach never grows again: with one pair more at one centre than at
        // its neighbour, each could send the centre to the other for ever. Only shrinking,
        // it changes finitely often, and between changes every move lowers the middle sum.
        if (walkingOn) {
            walkReach = walkReach == 0 ? p : std::min(walkReach, p);
            p = walkReach;
        }
        const int reach = p >= 1 ? (p % 2 == 1 ? p : p - 1) : 0;  // largest odd offset used
        const int lowest = k - std::abs(stepp) - reach, highestIndex = k + std::abs(stepp) + reach;
        if (lowest < 0 || highestIndex > n)
            return Refuse(r, walkingOn ? kKvwNoMinimum
                                       : "The Stepp and Frac settings would read outside the grid.");
        r.s1 = SymmetrySum(s, k - stepp, p);
        r.s2 = SymmetrySum(s, k, p);
        r.s3 = SymmetrySum(s, k + stepp, p);
        r.pairs = (reach + 1) / 2;
        if (r.s1 > r.s2 && r.s2 < r.s3) break;
        if (walkingOn) {
            // The eight moves did not bracket a minimum (a flat-bottomed eclipse puts the
            // faintest grid point anywhere on its bottom, or the centre sat on a maximum of
            // the sums). Walk on towards the smaller neighbour sum until the middle one is
            // the smallest; the grid's ends, a tie or a walk longer than the grid refuse.
            if (r.s1 == r.s3 || moves > kMaxMoves + n) return Refuse(r, kKvwNoMinimum);
            k += r.s1 < r.s3 ? -1 : 1;
            ++moves;
            continue;
        }
        bool moved = false;
        if (r.s1 < r.s2) {
            --k;
            ++moves;
            moved = true;
        }
        if (r.s3 < r.s2) {
            ++k;
            ++moves;
            moved = true;
        }
        // A tie (equal sums, or no pairs at all) gives no direction: stay at this centre.
        if (!moved) break;
    }
    r.moves = moves;
    r.centre = k;
    r.t1 = s.GridTime[k - stepp];
    r.t2 = s.GridTime[k];
    r.t3 = s.GridTime[k + stepp];

    // The parabola through the three sums, each coefficient times the common factor
    // (T1-T2)(T1-T3)(T2-T3), which cancels in the vertex and in the error.
    const double t1 = r.t1, t2 = r.t2, t3 = r.t3, s1 = r.s1, s2 = r.s2, s3 = r.s3;
    const double a = s1 * (t2 - t3) + s2 * (t3 - t1) + s3 * (t1 - t2);
    const double b = s1 * (t3 * t3 - t2 * t2) + s2 * (t1 * t1 - t3 * t3) + s3 * (t2 * t2 - t1 * t1);
    const double c = s1 * t2 * t3 * (t2 - t3) + s2 * t1 * t3 * (t3 - t1) + s3 * t1 * t2 * (t1 - t2);
    if (a == 0) return Refuse(r, "The three symmetry sums lie on a line: no minimum.");
    r.tMin = -b / (2 * a);
    // A quarter of the observed points count as independent (n >= 5, so z - 1 > 0).
    const double z = r.n / 4.0;
    const double q = std::fabs(4 * a * c - b * b);
    r.sigma = q > 0 ? std::sqrt(q / (4 * a * a * (z - 1))) : 0;
    if (!std::isfinite(r.tMin) || !std::isfinite(r.sigma))
        return Refuse(r, "The fit gave a value that is not a number.");
    // The same curvature with the sums' own scatter: the smallest sum over the pairs actually
    // used, less one for the fitted centre, measures the variance of one pair's difference,
    // and one unit of that variance in S marks one standard error of the centre.
    // Neighbouring pairs share observed points through the interpolation, so their
    // differences scatter less than independent ones would: on synthetic eclipses the bare
    // estimate came out about 0.8 of the true scatter of T0 (docs/accuracy.md).
    if (r.pairs > 1) r.calibrated = kKvwSharedPoints * std::sqrt(q / (4 * a * a * (r.pairs - 1)));
    r.ok = true;
    return r;
}

KvwRowResult PressFitKwee(KvwState& s, const DataSet& ds, const std::string& steppText,
                          const std::string& fracText) {
    KvwRowResult result;
    if (!s.KvwReady || s.KvwStartIndex == 0 || s.KvwEndIndex == 0) return result;
    // The symmetry pairs must not reach from one eclipse into the next.
    const EclipseRange range = RangeOnOneEclipse(ds, s.KvwStartIndex, s.KvwEndIndex);
    result.kvw = KweeVanWoerden(s, ds, range.first, range.last, steppText, fracText);
    if (!result.kvw.ok) {
        result.refuse(result.kvw.message);
        return result;
    }
    result.done(ds, result.kvw.tMin, result.kvw.sigma);
    if (result.kvw.calibrated > 0) result.calibrate(result.kvw.calibrated);
    result.warning = range.warning;
    // From so few pairs the scatter is itself uncertain: on a night of four pairs one timing
    // in eleven lay beyond three calibrated errors.
    if (result.kvw.calibrated > 0 && result.kvw.pairs < kKvwFewPairs)
        result.warn("Only " + std::to_string(result.kvw.pairs) + " pairs of points mirror each "
                    "other about the minimum: the calibrated error rests on so few that it may be "
                    "out by a factor of two.");
    return result;
}

void UndoKvw(KvwState& s) { s.KvwReady = false; }

}  // namespace umbrix
