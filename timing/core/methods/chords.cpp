#include "timing/core/methods/chords.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "timing/core/methods/eclipses.h"
#include "timing/core/methods/symmetry_check.h"

namespace umbrix {

void ResetChordsState(ChordsState& s) {
    s.BisLeftState = 0;
    s.BisRightState = 0;
    s.BisReady = false;
}

namespace {

// One side's state machine: start, then end (swapped into order), then nothing.
bool PickSide(int& state, int& start, int& end, double& startTime, double& endTime,
              const DataSet& ds, double t) {
    if (state == 0) {
        if (const int i = FirstPointAfter(ds, t); i != 0) start = i;
        startTime = t;
        state = 1;
        return true;
    }
    if (state == 1) {
        if (const int i = LastPointBefore(ds, t); i != 0) end = i;
        endTime = t;
        if (end < start) std::swap(start, end);
        state = 2;
        return true;
    }
    return false;
}

}  // namespace

ChordsPick ChordsClick(ChordsState& s, const DataSet& ds, double t) {
    ChordsPick pick = ChordsPick::None;
    // The dividing time is AllTime at the deepest working point's index, as the window has
    // always read it (an index into the working set used on the full arrays).
    if (t < ds.AllTime[ds.MagMaxIndex]) {
        const int before = s.BisLeftState;
        if (PickSide(s.BisLeftState, s.BisLeftStart, s.BisLeftEnd, s.BisLeftStartTime,
                     s.BisLeftEndTime, ds, t))
            pick = before == 0 ? ChordsPick::LeftStart : ChordsPick::LeftEnd;
    } else {
        const int before = s.BisRightState;
        if (PickSide(s.BisRightState, s.BisRightStart, s.BisRightEnd, s.BisRightStartTime,
                     s.BisRightEndTime, ds, t))
            pick = before == 0 ? ChordsPick::RightStart : ChordsPick::RightEnd;
    }
    s.BisReady = s.BisLeftState == 2 && s.BisRightState == 2;
    return pick;
}

ChordsResult BisectChords(const DataSet& ds, int leftStart, int leftEnd, int rightStart,
                          int rightEnd) {
    ChordsResult r;
    const int pc = ds.PointCount;
    const auto inside = [pc](int a, int b) { return a >= 1 && b <= pc && a <= b; };
    if (!inside(leftStart, leftEnd) || !inside(rightStart, rightEnd)) {
        r.message = "A range of chords lies outside the working points.";
        return r;
    }
    // Chords belong to one eclipse: the ranges and every crossing stay within the stretch of
    // the eclipse around the ranges' faintest point, so that on a night with two minima no
    // chord reaches over a maximum of light to the other one.
    const Stretch stretch = StretchAround(
        ds, FaintestPoint(ds, std::min(leftStart, rightStart), std::max(leftEnd, rightEnd)));
    const int lo = stretch.first, hi = stretch.last;
    const int kept[4] = {std::max(leftStart, lo), std::min(leftEnd, hi), std::max(rightStart, lo),
                         std::min(rightEnd, hi)};
    if (kept[0] != leftStart || kept[1] != leftEnd || kept[2] != rightStart || kept[3] != rightEnd)
        r.warning = "The ranges reached over a maximum of light into another eclipse: only their "
                    "points from " + PointName(ds, lo) + " to " + PointName(ds, hi) +
                    ", the eclipse around their faintest point, were used.";
    leftStart = kept[0], leftEnd = kept[1], rightStart = kept[2], rightEnd = kept[3];
    const auto& time = ds.Time;
    const auto& mag = ds.Mag;
    double sum = 0, sumSq = 0;
    int touchedLo = pc + 1, touchedHi = 0;  // the points the bisectors were made from
    // How each bisector moves with the magnitudes of the three points it is made from: the
    // chord's own point i and the pair a, b that brackets its height on the other branch,
    // the crossing lying a fraction u of the way from a to b. gradient sums these over all
    // bisectors (each point's weight in the mean, times n); ownSquares sums each bisector's
    // squared weights.
    PointArray gradient{};
    double ownSquares = 0;
    const auto add = [&](int i, int a, int b) {
        const double dm = mag[b] - mag[a], dt = time[b] - time[a];
        const double u = (mag[i] - mag[a]) / dm;
        const double crossing = time[a] + (mag[i] - mag[a]) * dt / dm;
        const double bisector = (crossing + time[i]) / 2;
        sum += bisector;
        sumSq += bisector * bisector;
        ++r.n;
        touchedLo = std::min({touchedLo, i, a});
        touchedHi = std::max({touchedHi, i, b});
        const double scale = dt / dm / 2;
        gradient[i] += scale;
        gradient[a] -= scale * (1 - u);
        gradient[b] -= scale * u;
        ownSquares += scale * scale * (1 + (1 - u) * (1 - u) + u * u);
    };
    // The faintest magnitude from each point to the end of the stretch (never rising with j)
    // and from its start to each point (never falling): the last point at least as faint as
    // m is the last j whose faintestAfter[j] >= m, the first one the first j whose
    // faintestBefore[j] >= m. Both are found by bisection instead of a walk along the curve.
    PointArray faintestAfter{}, faintestBefore{};
    faintestAfter[static_cast<std::size_t>(hi)] = mag[hi];
    for (int j = hi - 1; j >= lo; --j) faintestAfter[j] = std::max(mag[j], faintestAfter[j + 1]);
    faintestBefore[static_cast<std::size_t>(lo)] = mag[lo];
    for (int j = lo + 1; j <= hi; ++j) faintestBefore[j] = std::max(mag[j], faintestBefore[j - 1]);
    // Left range: the last point at least as faint, looking back from the end of the stretch
    // (its first point when none is); the next point is brighter, so the two bracket the
    // magnitude and never coincide in it.
    for (int i = leftStart; i <= leftEnd; ++i) {
        int a = lo, b = hi;  // the answer lies in a..b
        while (a < b) {
            const int mid = (a + b + 1) / 2;
            if (faintestAfter[mid] >= mag[i]) a = mid; else b = mid - 1;
        }
        const int j = a;
        if (j >= hi || mag[j] < mag[i]) continue;  // no later neighbour to interpolate with
        add(i, j, j + 1);
    }
    // Right range: the first point at least as faint from the start of the stretch (its last
    // point when none is).
    for (int i = rightStart; i <= rightEnd; ++i) {
        int a = lo, b = hi;
        while (a < b) {
            const int mid = (a + b) / 2;
            if (faintestBefore[mid] >= mag[i]) b = mid; else a = mid + 1;
        }
        const int j = a;
        if (j <= lo || mag[j] < mag[i]) continue;  // no earlier neighbour
        add(i, j - 1, j);
    }
    if (const std::string why = TimeOrderProblem(ds, touchedLo, touchedHi); !why.empty()) {
        r.message = why;
        return r;
    }
    if (r.n < 2) {
        r.message = "Fewer than two chords could be bisected.";
        return r;
    }
    r.tMin = sum / r.n;
    // One-pass variance; when every bisector is equal rounding can leave it slightly below 0.
    const double variance = (sumSq - r.tMin * sum) / (r.n - 1);
    r.error = variance > 0 ? std::sqrt(variance) : 0;
    if (!std::isfinite(r.tMin) || !std::isfinite(r.error)) {
        r.message = "The bisectors gave a value that is not a number.";
        return r;
    }
    // Bisectors share points, so their scatter overstates the error of their mean. With
    // every magnitude carrying noise s, the mean's variance is s^2 |gradient / n|^2 and the
    // bisectors' sum of squared deviations has expectation s^2 (ownSquares - |gradient|^2 / n):
    // the scatter gives s, the weights carry it to the mean.
    double shared = 0;
    for (int p = lo; p <= hi; ++p) shared += gradient[p] * gradient[p];
    const double noiseShare = ownSquares - shared / r.n;
    if (noiseShare > 0 && variance > 0)
        r.calibrated = std::sqrt(variance * (r.n - 1) / noiseShare * shared) / r.n;
    if (!std::isfinite(r.calibrated)) r.calibrated = 0;
    // The weights hold where a chord crosses a slope; on a flat bottom, or where a branch
    // is not straight between points, the bisectors lean, and the points' symmetry shows by
    // how much.
    if (r.calibrated > 0) {
        const SymmetryCheck check = WidenToSymmetry(ds, r.tMin, r.calibrated);
        r.calibrated = check.error;
        r.warning.append(r.warning.empty() || check.warning.empty() ? "" : " ").append(check.warning);
    }
    r.ok = true;
    return r;
}

void SetChordsRanges(ChordsState& s, int leftStart, int leftEnd, int rightStart, int rightEnd) {
    if (leftEnd < leftStart) std::swap(leftStart, leftEnd);
    if (rightEnd < rightStart) std::swap(rightStart, rightEnd);
    s.BisLeftStart = leftStart;
    s.BisLeftEnd = leftEnd;
    s.BisRightStart = rightStart;
    s.BisRightEnd = rightEnd;
    s.BisLeftState = s.BisRightState = 2;
    s.BisReady = true;
}

ChordsRowResult PressBisectChords(const ChordsState& s, const DataSet& ds) {
    ChordsRowResult result;
    if (!s.BisReady || s.BisLeftStart == 0 || s.BisLeftEnd == 0) return result;
    if (s.BisRightStart == 0) {
        result.refuse("The right range holds no working point.");
        return result;
    }
    result.chords =
        BisectChords(ds, s.BisLeftStart, s.BisLeftEnd, s.BisRightStart, s.BisRightEnd);
    if (!result.chords.ok) {
        result.refuse(result.chords.message);
        return result;
    }
    result.done(ds, result.chords.tMin, result.chords.error);
    if (result.chords.calibrated > 0) result.calibrate(result.chords.calibrated);
    result.warning = result.chords.warning;
    return result;
}

void UndoChords(ChordsState& s) { ResetChordsState(s); }

}  // namespace umbrix
