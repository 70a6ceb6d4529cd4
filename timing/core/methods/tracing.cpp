#include "timing/core/methods/tracing.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "timing/core/methods/eclipses.h"
#include "timing/core/methods/kvw.h"

namespace umbrix {

void ResetTracingState(TracingState& s) { s.SmoothLevel = 1; }

void ResetTraceMag(TracingState& s, const DataSet& ds) {
    for (int i = 1; i <= ds.PointCount; ++i) s.TraceMag[i] = ds.Mag[i];
}

std::string SmoothMagnitudes(TracingState& s, const DataSet& ds) {
    if (s.SmoothLevel >= 9) return "9-point averaging";
    const int width = s.SmoothLevel + 2;
    const int half = width / 2;
    // Each mean is over the raw magnitudes, so widening never smooths twice; the end zones
    // keep whatever the narrower steps wrote there.
    for (int i = 1 + half; i <= ds.PointCount - half; ++i) {
        double sum = 0;
        for (int j = i - half; j <= i + half; ++j) sum += ds.Mag[j];
        s.TraceMag[i] = sum / width;
    }
    s.SmoothLevel = width;
    return std::to_string(width) + "-point averaging";
}

std::string UndoSmoothing(TracingState& s, const DataSet& ds) {
    for (int i = 2; i <= ds.PointCount - 1; ++i) s.TraceMag[i] = ds.Mag[i];
    s.SmoothLevel = 1;
    return "No averaging";
}

namespace {

// The scroll value nearest to fold f, kept on the bar.
int ScrollValueFor(const DataSet& ds, double f) {
    const double v = kFoldScrollCentre + (f - ds.Time[ds.MagMaxIndex]) / kFoldStep;
    return static_cast<int>(std::nearbyint(std::clamp(v, 0.0, double(kFoldScrollMax))));
}

}  // namespace

int FoldFromScroll(DataSet& ds, int v) {
    ds.GuessMinTime = ds.Time[ds.MagMaxIndex] + kFoldStep * (v - kFoldScrollCentre);
    // Pulling the fold inside moves the bar, and the bar's own change notification runs this
    // again with the new value before the first run carries on: the fold then sits on the
    // step grid. A bar already at that value raises no notification.
    if (ds.GuessMinTime < ds.TimeMin) {
        ds.GuessMinTime = ds.TimeMin + 0.05 * ds.TimeSpan;
        if (const int moved = ScrollValueFor(ds, ds.GuessMinTime); moved != v)
            v = FoldFromScroll(ds, moved);
    }
    if (ds.GuessMinTime > ds.TimeMax) {
        ds.GuessMinTime = ds.TimeMin + 0.95 * ds.TimeSpan;
        if (const int moved = ScrollValueFor(ds, ds.GuessMinTime); moved != v)
            v = FoldFromScroll(ds, moved);
    }
    return v;
}

std::string FoldFromText(DataSet& ds, const std::string& text) {
    bool found = false;
    const double f = LeadingNumber(text, &found);
    if (!found || !std::isfinite(f)) return "The fold time must be a number.";
    ds.GuessMinTime = f;
    return "";
}

void UpdateFoldPlotBounds(TracingState& s, const DataSet& ds, double f) {
    if (f < ds.TimeMin)
        s.FoldPlotLimit = ds.TimeMin + 0.05 * (ds.TimeMax - ds.TimeMin);
    else if (f > ds.TimeMax)
        s.FoldPlotLimit = ds.TimeMax - 0.05 * (ds.TimeMax - ds.TimeMin);
    else
        s.FoldPlotLimit = f;
    s.FoldPlotSpan = s.FoldPlotLimit - ds.Time[1];
}

int FirstMirroredPoint(const DataSet& ds, double f) {
    int k = 2;
    while (k <= ds.PointCount && ds.Time[k] <= f) ++k;
    return std::min(k, ds.PointCount + 1);
}

FoldSymmetry SymmetricFold(const DataSet& ds, double f) {
    FoldSymmetry fold;
    // The working points within the same distance of f on both sides, inside the stretch of
    // f's eclipse, at most as many as the symmetry grid holds, split evenly about f.
    if (ds.PointCount < 1) return fold;
    const int after = FirstMirroredPoint(ds, f);
    const int before = after - 1;
    const Stretch stretch = StretchAround(ds, std::clamp(before, 1, ds.PointCount));
    if (before < 1 || after > stretch.last) {
        // No point on one side of the fold: times out of order can be why.
        fold.problem = TimeOrderProblem(ds, stretch.first, stretch.last);
        return fold;
    }
    const double reach = std::min(f - ds.Time[stretch.first], ds.Time[stretch.last] - f);
    int first = before, last = after;
    const int half = kMaxSymmetryPoints / 2;
    while (first > stretch.first && before - first + 1 < half && f - ds.Time[first - 1] <= reach) --first;
    while (last < stretch.last && last - after + 1 < half && ds.Time[last + 1] - f <= reach) ++last;
    fold.first = first;
    fold.last = last;
    fold.problem = TimeOrderProblem(ds, first, last);
    if (!fold.problem.empty()) return fold;
    auto grid = std::make_unique<KvwState>();
    const KvwResult r = KweeVanWoerden(*grid, ds, first, last, kKvwDefaultStepp, kKvwDefaultFrac);
    if (!r.ok || r.calibrated <= 0) return fold;
    fold.ok = true;
    fold.centre = r.tMin;
    fold.error = r.calibrated;
    return fold;
}

TracingRowResult TraceResult(const DataSet& ds, double f) {
    TracingRowResult r;
    r.fold = f;
    // The fold is compared with the points about it: one of them out of time order would
    // put it on the wrong branch.
    const FoldSymmetry symmetry = SymmetricFold(ds, f);
    if (!symmetry.problem.empty()) {
        r.refuse(symmetry.problem);
        return r;
    }
    r.done(ds, f, kFoldStep);
    r.errorText = kTracingError;
    // A fold set by eye is off by about its distance from the centre the points' symmetry
    // gives, give or take that centre's own error: half of it added keeps about two thirds
    // of true minima inside, and a fold on the centre is as good as the centre, no better.
    if (symmetry.ok)
        r.calibrate(std::max(std::fabs(f - symmetry.centre) + symmetry.error / 2, symmetry.error));
    return r;
}

}  // namespace umbrix
