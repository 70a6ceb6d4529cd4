#include "timing/core/methods/auto_ranges.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "timing/core/methods/method_common.h"
#include "timing/core/methods/parabola.h"
#include "timing/core/methods/tracing.h"

namespace umbrix {

namespace {

constexpr double kContactNoises = 3;  // contact: the smoothed curve within this of the level

const char* const kOneBranch =
    "The night shows only one branch of the eclipse: there is no minimum to time.";

}  // namespace

AutoRanges ChooseRanges(const DataSet& ds) {
    AutoRanges r;
    r.night = FindDips(ds);
    const NightDips& night = r.night;
    r.noise = night.noise;
    r.level = night.level;
    if (night.dips.empty()) {
        r.message = night.message;
        return r;
    }
    // The deepest eclipse with both branches; every method times that one.
    for (int d = 0; d < static_cast<int>(night.dips.size()); ++d) {
        const Dip& dip = night.dips[static_cast<std::size_t>(d)];
        if (dip.covered && (r.chosen < 0 || dip.depth > night.dips[static_cast<std::size_t>(r.chosen)].depth))
            r.chosen = d;
    }
    if (r.chosen < 0) {
        r.message = night.dips.size() == 1 ? kOneBranch
                                           : "No eclipse of the night shows both branches: there "
                                             "is no minimum to time.";
        return r;
    }
    const Dip& dip = night.dips[static_cast<std::size_t>(r.chosen)];
    r.eclipse = true;
    r.depth = dip.depth;
    r.centre = dip.centre;
    r.stretchFirst = dip.first;
    r.stretchLast = dip.last;
    const std::vector<double>& s = night.smooth;
    const int deepest = dip.peak, lo = dip.first, hi = dip.last;
    const double smoothNoise = r.noise / std::sqrt(2.0 * night.halfWindow + 1);
    const auto level = [&](double share) { return r.level + share * r.depth; };
    const auto sm = [&](int i) { return s[static_cast<std::size_t>(i)]; };

    // Walks from the deepest point outwards to the first point no fainter than magnitude m;
    // lo - 1 (or hi + 1) when the eclipse's stretch ends first.
    const auto leftBelow = [&](double m) {
        int i = deepest;
        while (i >= lo && sm(i) > m) --i;
        return i;
    };
    const auto rightBelow = [&](double m) {
        int i = deepest;
        while (i <= hi && sm(i) > m) ++i;
        return i;
    };

    // The points within reach of the centre on both sides: as far as the nearer of the two
    // crossings of m, or of the stretch's ends when a branch is cut short.
    const auto symmetric = [&](double reachLeft, double reachRight, int& first, int& last) {
        const double reach = std::min(reachLeft, reachRight);
        first = std::max(FirstPointAfter(ds, r.centre - reach - 1e-12), lo);
        last = LastPointBefore(ds, r.centre + reach + 1e-12);
        last = last == 0 ? hi : std::min(last, hi);
    };

    // Parabola: the points deeper than half the depth. Where the noise is so low that the
    // eclipse's departure from a parabola over that bottom moves the vertex well beyond its
    // noise (the misfit widens the calibrated error by half again), a narrower bottom is
    // taken, as a person narrows the range until the parabola lies on the points.
    double halfWidth = 0;  // half the eclipse's width at half depth, days
    {
        const auto deeperThan = [&](double share, int& first, int& last) {
            const double m = level(share);
            const int a = leftBelow(m), b = rightBelow(m);
            const double left = a >= lo ? r.centre - SmoothCrossing(ds, s, a, m) : r.centre - ds.Time[lo];
            const double right = b <= hi ? SmoothCrossing(ds, s, b - 1, m) - r.centre : ds.Time[hi] - r.centre;
            symmetric(left, right, first, last);
            return a >= lo && b <= hi ? (left + right) / 2 : std::max(left, right);
        };
        halfWidth = deeperThan(kAutoParabolaShare, r.parabolaFirst, r.parabolaLast);
        for (const double share : kAutoParabolaNarrower) {
            if (r.parabolaLast - r.parabolaFirst + 1 < kAutoParabolaPoints) break;
            const ParabolaFit fit = FitParabola(ds, r.parabolaFirst, r.parabolaLast);
            if (!fit.ok || !(fit.calibrated > kAutoParabolaMisfit * fit.noiseError)) break;
            int first = 0, last = 0;
            deeperThan(share, first, last);
            if (last - first + 1 < kAutoParabolaPoints) break;
            r.parabolaFirst = first;
            r.parabolaLast = last;
            r.parabolaShare = share;
        }
        // A parabola needs six points on the bottom. Widening a sparser bottom by the points
        // beyond half the depth makes it follow the branches' bend, not the minimum: on a night
        // of 2.5 points per half-width it timed at three times the noise's bound.
        const int bottom = r.parabolaLast - r.parabolaFirst + 1;
        if (bottom < kAutoParabolaPoints)
            r.parabolaMessage = "The night is too sparse for a parabola: " +
                                std::to_string(std::max(bottom, 0)) +
                                (bottom == 1 ? " point lies" : " points lie") +
                                " deeper than half the eclipse's depth, and a parabola needs " +
                                std::to_string(kAutoParabolaPoints) + ".";
    }

    // Sliding integrations resample the points onto an even grid by straight lines. Between
    // points h apart across a bottom of curvature about depth / halfWidth^2, a straight line
    // misses the curve by up to curvature h^2 / 8; beyond a third of the noise that bend, not the
    // noise, sets where the windows balance (three times the noise's bound on a night of 20
    // points across the eclipse).
    {
        std::vector<double> steps;
        for (int i = std::max(r.parabolaFirst, lo) + 1; i <= std::min(r.parabolaLast, hi); ++i)
            steps.push_back(ds.Time[i] - ds.Time[i - 1]);
        if (steps.empty() && deepest > lo) steps.push_back(ds.Time[deepest] - ds.Time[deepest - 1]);
        if (steps.empty() && deepest < hi) steps.push_back(ds.Time[deepest + 1] - ds.Time[deepest]);
        if (!steps.empty() && halfWidth > 0) {
            std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2), steps.end());
            const double h = steps[steps.size() / 2];
            const double bend = r.depth * (h / halfWidth) * (h / halfWidth) / 8;
            if (r.noise > 0 && bend > kAutoSlidingBend * r.noise)
                r.slidingMessage =
                    "The points lie too far apart at the bottom for sliding integrations: the "
                    "straight lines between points " + TrimLeft(FormatFixed(h, 14, 5)) + " day "
                    "apart miss the eclipse's bend by about " + TrimLeft(FormatFixed(bend, 14, 5)) +
                    " mag, more than a third of the noise of " + TrimLeft(FormatFixed(r.noise, 14, 5)) +
                    " mag.";
        }
    }

    // Chords: each branch from where it reaches the high share to where it reaches the low.
    {
        const double low = level(kAutoChordsLow), high = level(kAutoChordsHigh);
        const int leftLow = leftBelow(low), leftHigh = leftBelow(high);
        const int rightLow = rightBelow(low), rightHigh = rightBelow(high);
        r.leftFirst = std::max(leftLow + 1, lo);
        r.leftLast = leftHigh;
        r.rightFirst = rightHigh;
        r.rightLast = std::min(rightLow - 1, hi);
        if (r.leftLast < r.leftFirst || r.rightLast < r.rightFirst)
            r.chordsMessage = "A branch of the eclipse holds no point between " +
                              std::to_string(static_cast<int>(kAutoChordsLow * 100)) + " and " +
                              std::to_string(static_cast<int>(kAutoChordsHigh * 100)) +
                              " % of its depth.";
    }

    // First to last contact.
    {
        const double m = r.level + kContactNoises * smoothNoise;
        const int a = leftBelow(m), b = rightBelow(m);
        const double left = a >= lo ? r.centre - ds.Time[a] : r.centre - ds.Time[lo];
        const double right = b <= hi ? ds.Time[b] - r.centre : ds.Time[hi] - r.centre;
        symmetric(left, right, r.contactFirst, r.contactLast);
        // Kwee and van Woerden's grid holds 556 points: trim the end further from the centre.
        while (r.contactLast - r.contactFirst + 1 > kMaxSymmetryPoints) {
            if (r.centre - ds.Time[r.contactFirst] > ds.Time[r.contactLast] - r.centre)
                ++r.contactFirst;
            else
                --r.contactLast;
        }
        if (r.contactLast - r.contactFirst + 1 < 5)
            r.contactMessage = "Fewer than five points lie between the contacts.";
    }
    return r;
}

}  // namespace umbrix
