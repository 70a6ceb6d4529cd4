#include "timing/methods/auto_ranges.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "timing/methods/method_common.h"
#include "timing/methods/noise.h"
#include "timing/methods/tracing/tracing.h"

namespace umbrix {

namespace {

constexpr int kMinimumPoints = 10;
constexpr double kEclipseNoises = 5;  // a dip shallower than this many noises is no eclipse
constexpr double kContactNoises = 3;  // contact: the smoothed curve within this of the level

const char* const kOneBranch =
    "The night shows only one branch of the eclipse: there is no minimum to time.";

// The time at which the smoothed curve crosses magnitude m between points i and i + 1.
double Crossing(const DataSet& ds, const std::vector<double>& s, int i, double m) {
    const auto a = static_cast<std::size_t>(i), b = a + 1;
    if (s[b] == s[a]) return ds.Time[i];
    return ds.Time[i] + (m - s[a]) * (ds.Time[i + 1] - ds.Time[i]) / (s[b] - s[a]);
}

}  // namespace

AutoRanges ChooseRanges(const DataSet& ds) {
    AutoRanges r;
    const int n = ds.PointCount;
    if (n < kMinimumPoints) {
        r.message = "Too few points to find the eclipse in them.";
        return r;
    }
    if (!TimesIncrease(ds, 1, n)) {
        r.message = kTimesNotIncreasing;
        return r;
    }
    // A running mean over 2k + 1 points: narrow enough to keep the eclipse's shape, wide
    // enough to lower the noise where the contacts and the depth are read.
    const int k = std::clamp(n / 60, 1, 8);
    std::vector<double> s(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        const int a = std::max(1, i - k), b = std::min(n, i + k);
        double sum = 0;
        for (int j = a; j <= b; ++j) sum += ds.Mag[j];
        s[static_cast<std::size_t>(i)] = sum / (b - a + 1);
    }
    r.noise = NoiseFromNeighbours(ds.Time, ds.Mag, 1, n);
    const double smoothNoise = r.noise / std::sqrt(2.0 * k + 1);
    // The level: the brightest fifth of the smoothed curve, which holds out-of-eclipse light
    // unless the eclipse fills almost the whole night.
    std::vector<double> sorted(s.begin() + 1, s.end());
    std::nth_element(sorted.begin(), sorted.begin() + n / 10, sorted.end());
    r.level = sorted[static_cast<std::size_t>(n / 10)];
    int deepest = 1;
    for (int i = 2; i <= n; ++i)
        if (s[static_cast<std::size_t>(i)] > s[static_cast<std::size_t>(deepest)]) deepest = i;
    r.depth = s[static_cast<std::size_t>(deepest)] - r.level;
    if (!(r.depth > kEclipseNoises * std::max(r.noise, 1e-12))) {
        r.message = "No eclipse stands out of the noise in this light curve.";
        return r;
    }
    const auto level = [&](double share) { return r.level + share * r.depth; };
    const auto sm = [&](int i) { return s[static_cast<std::size_t>(i)]; };

    // Walks from the deepest point outwards to the first point no fainter than magnitude m;
    // 0 (or n + 1) when the curve ends first.
    const auto leftBelow = [&](double m) {
        int i = deepest;
        while (i >= 1 && sm(i) > m) --i;
        return i;
    };
    const auto rightBelow = [&](double m) {
        int i = deepest;
        while (i <= n && sm(i) > m) ++i;
        return i;
    };
    const double half = level(0.5);
    const int leftHalf = leftBelow(half), rightHalf = rightBelow(half);
    if (leftHalf < 1 || rightHalf > n) {
        r.message = kOneBranch;
        return r;
    }
    r.eclipse = true;
    r.centre = (Crossing(ds, s, leftHalf, half) + Crossing(ds, s, rightHalf - 1, half)) / 2;

    // The points within reach of the centre on both sides: as far as the nearer of the two
    // crossings of m, or of the curve's ends when a branch is cut short.
    const auto symmetric = [&](double reachLeft, double reachRight, int& first, int& last) {
        const double reach = std::min(reachLeft, reachRight);
        first = FirstPointAfter(ds, r.centre - reach - 1e-12);
        last = LastPointBefore(ds, r.centre + reach + 1e-12);
        if (first == 0) first = 1;
        if (last == 0) last = n;
    };

    // Parabola.
    {
        const double m = level(kAutoParabolaShare);
        const int a = leftBelow(m), b = rightBelow(m);
        const double left = a >= 1 ? r.centre - Crossing(ds, s, a, m) : r.centre - ds.Time[1];
        const double right = b <= n ? Crossing(ds, s, b - 1, m) - r.centre : ds.Time[n] - r.centre;
        symmetric(left, right, r.parabolaFirst, r.parabolaLast);
        // Widen by the nearer neighbour until five points.
        while (r.parabolaLast - r.parabolaFirst + 1 < 5) {
            const bool before = r.parabolaFirst > 1 &&
                                (r.parabolaLast == n || r.centre - ds.Time[r.parabolaFirst - 1] <
                                                            ds.Time[r.parabolaLast + 1] - r.centre);
            if (before) --r.parabolaFirst;
            else if (r.parabolaLast < n) ++r.parabolaLast;
            else break;
        }
        if (r.parabolaLast - r.parabolaFirst + 1 < 5)
            r.parabolaMessage = "Fewer than five points lie around the minimum.";
    }

    // Chords: each branch from where it reaches the high share to where it reaches the low.
    {
        const double low = level(kAutoChordsLow), high = level(kAutoChordsHigh);
        const int leftLow = leftBelow(low), leftHigh = leftBelow(high);
        const int rightLow = rightBelow(low), rightHigh = rightBelow(high);
        r.leftFirst = std::max(leftLow + 1, 1);
        r.leftLast = leftHigh;
        r.rightFirst = rightHigh;
        r.rightLast = std::min(rightLow - 1, n);
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
        const double left = a >= 1 ? r.centre - ds.Time[a] : r.centre - ds.Time[1];
        const double right = b <= n ? ds.Time[b] - r.centre : ds.Time[n] - r.centre;
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
