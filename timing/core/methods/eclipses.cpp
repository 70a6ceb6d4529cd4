#include "timing/core/methods/eclipses.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "timing/core/methods/noise.h"

namespace umbrix {

namespace {

constexpr int kMinimumPoints = 10;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// How far dip p stands out: its smoothed magnitude less the brighter of the lowest points
// on its two sides, each side reaching to the next fainter point (or the curve's end). A side
// that meets a fainter point is bounded by a deeper eclipse and counts first: a partial
// eclipse at the night's end stands out from the maximum before it, whatever the curve
// does after the last point.
double Prominence(const std::vector<double>& s, int p, int n) {
    const double none = std::numeric_limits<double>::infinity();
    double left = none, right = none;
    int j = p - 1;
    for (; j >= 1 && s[U(j)] <= s[U(p)]; --j) left = std::min(left, s[U(j)]);
    const bool leftClosed = j >= 1;
    j = p + 1;
    for (; j <= n && s[U(j)] <= s[U(p)]; ++j) right = std::min(right, s[U(j)]);
    const bool rightClosed = j <= n;
    // The sides that count: the closed ones if any, else those that hold a point at all.
    double base = -none;
    const bool anyClosed = leftClosed || rightClosed;
    if (left != none && (leftClosed || !anyClosed)) base = std::max(base, left);
    if (right != none && (rightClosed || !anyClosed)) base = std::max(base, right);
    return base == -none ? 0 : s[U(p)] - base;
}

// Coverage and centre of a dip within its stretch. A branch counts when the smoothed curve
// on its side climbs back from the bottom by kBranchRise of the depth: a night that starts
// part-way down the falling branch still shows it, as far as it goes. The centre is halfway
// between the crossings of the highest level both branches reach, half the depth at most.
void Describe(Dip& d, const DataSet& ds, const NightDips& night) {
    const std::vector<double>& s = night.smooth;
    d.depth = s[U(d.peak)] - night.level;
    d.centre = ds.Time[d.peak];
    // The brightest smoothed magnitude on each side of the bottom, within the stretch.
    double leftTop = s[U(d.peak)], rightTop = s[U(d.peak)];
    for (int i = d.first; i < d.peak; ++i) leftTop = std::min(leftTop, s[U(i)]);
    for (int i = d.peak + 1; i <= d.last; ++i) rightTop = std::min(rightTop, s[U(i)]);
    const double needed = s[U(d.peak)] - kBranchRise * d.depth;
    const bool falling = d.depth > 0 && leftTop <= needed, rising = d.depth > 0 && rightTop <= needed;
    if (falling && rising) {
        const double m = std::max({night.level + 0.5 * d.depth, leftTop, rightTop});
        int left = d.peak, right = d.peak;
        while (left > d.first && s[U(left)] > m) --left;
        while (right < d.last && s[U(right)] > m) ++right;
        d.covered = true;
        d.centre = (SmoothCrossing(ds, s, left, m) + SmoothCrossing(ds, s, right - 1, m)) / 2;
    } else if (falling) {
        d.why = "it has no rising branch: the light curve ends inside the eclipse";
    } else if (rising) {
        d.why = "it has no falling branch: the light curve starts inside the eclipse";
    } else {
        d.why = "neither of its branches climbs back from the bottom in the light curve";
    }
}

}  // namespace

double SmoothCrossing(const DataSet& ds, const std::vector<double>& s, int i, double m) {
    const auto a = U(i), b = a + 1;
    if (s[b] == s[a]) return ds.Time[i];
    return ds.Time[i] + (m - s[a]) * (ds.Time[i + 1] - ds.Time[i]) / (s[b] - s[a]);
}

NightDips FindDips(const DataSet& ds) {
    NightDips night;
    const int n = ds.PointCount;
    if (n < kMinimumPoints) {
        night.message = "Too few points to find the eclipse in them.";
        return night;
    }
    // A running mean over 2k + 1 points: narrow enough to keep the eclipse's shape, wide
    // enough to lower the noise where the contacts and the depth are read.
    const int k = std::clamp(n / 60, 1, 8);
    night.halfWindow = k;
    std::vector<double>& s = night.smooth;
    s.assign(U(n) + 1, 0);
    for (int i = 1; i <= n; ++i) {
        const int a = std::max(1, i - k), b = std::min(n, i + k);
        double sum = 0;
        for (int j = a; j <= b; ++j) sum += ds.Mag[j];
        s[U(i)] = sum / (b - a + 1);
    }
    night.noise = NoiseFromNeighbours(ds.Time, ds.Mag, 1, n);
    // The level: the brightest tenth of the smoothed curve, which holds out-of-eclipse light
    // unless the eclipses fill almost the whole night.
    std::vector<double> sorted(s.begin() + 1, s.end());
    std::nth_element(sorted.begin(), sorted.begin() + n / 10, sorted.end());
    night.level = sorted[U(n / 10)];

    // Every local maximum of the smoothed magnitudes (the first point of a flat top) with
    // its prominence; those that stand out enough are the eclipses.
    std::vector<std::pair<int, double>> peaks;
    double most = 0;
    for (int i = 1; i <= n; ++i) {
        if ((i > 1 && !(s[U(i)] > s[U(i - 1)])) || (i < n && !(s[U(i)] >= s[U(i + 1)]))) continue;
        const double prominence = Prominence(s, i, n);
        peaks.emplace_back(i, prominence);
        most = std::max(most, prominence);
    }
    const double needed = std::max(kDipNoises * std::max(night.noise, 1e-12), kDipShare * most);
    for (const auto& [i, prominence] : peaks)
        if (prominence > needed) night.dips.push_back({i, 1, n, 0, false, "", 0});
    if (night.dips.empty()) {
        night.message = "No eclipse stands out of the noise in this light curve.";
        return night;
    }
    // Neighbouring eclipses part at the brightest smoothed point between their bottoms.
    for (std::size_t d = 0; d + 1 < night.dips.size(); ++d) {
        int brightest = night.dips[d].peak;
        for (int i = brightest + 1; i <= night.dips[d + 1].peak; ++i)
            if (s[U(i)] < s[U(brightest)]) brightest = i;
        night.dips[d].last = night.dips[d + 1].first = brightest;
    }
    for (Dip& d : night.dips) Describe(d, ds, night);
    return night;
}

Stretch StretchAround(const NightDips& night, const DataSet& ds, int i) {
    if (night.dips.size() >= 2)
        for (const Dip& d : night.dips)
            if (i >= d.first && i <= d.last) return {d.first, d.last};
    return {1, ds.PointCount};
}

Stretch StretchAround(const DataSet& ds, int i) { return StretchAround(FindDips(ds), ds, i); }

int FaintestPoint(const DataSet& ds, int first, int last) {
    int faintest = 0;
    for (int i = std::max(first, 1); i <= std::min(last, ds.PointCount); ++i)
        if (faintest == 0 || ds.Mag[i] > ds.Mag[faintest]) faintest = i;
    return faintest;
}

EclipseRange RangeOnOneEclipse(const DataSet& ds, int first, int last) {
    EclipseRange r{first, last, false, ""};
    const int faintest = FaintestPoint(ds, first, last);
    if (faintest == 0 || first < 1 || last > ds.PointCount) return r;
    const Stretch stretch = StretchAround(ds, faintest);
    r.first = std::max(first, stretch.first);
    r.last = std::min(last, stretch.last);
    r.narrowed = r.first != first || r.last != last;
    if (r.narrowed)
        r.warning = "The range reached over a maximum of light into another eclipse: only the "
                    "points from " + PointName(ds, r.first) + " to " + PointName(ds, r.last) +
                    ", the eclipse around its faintest point, were used.";
    return r;
}

}  // namespace umbrix
