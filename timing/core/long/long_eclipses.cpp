#include "timing/core/long/long_eclipses.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "timing/core/methods/method_common.h"

namespace umbrix {

const char* const kNoDurationMessage =
    "No eclipse shows both its contacts, so its duration cannot be measured: give the window's "
    "half-width.";

namespace {

// The smoothing is a running median over 2 kHalf + 1 points: a lone outlier moves it not at
// all, and five points at the shortest cadence keep the shape of any eclipse worth timing.
constexpr int kHalf = 2;
// A dip is an eclipse when its prominence (how far it stands out of the brighter of the
// lowest points on its two sides, see FindDips) is at least this many times the noise of the
// smoothed curve (about 4.5 times that of one point) and at least this share of the most
// prominent dip: a wave of spots or a reflection is not an eclipse, but a secondary a
// twentieth as deep as the primary is.
constexpr double kDipNoises = 8;
constexpr double kDipShare = 0.05;
// The contacts are read where the smoothed curve comes within this share of the depth of the
// level on either side.
constexpr double kContactShare = 0.1;
// A step between points wider than a kGapShare-th of the eclipse's duration (and than ten
// cadences) is a gap: a branch with such a hole is not covered. A pause of a few minutes in
// a long eclipse (a filter change) is not one.
constexpr double kGapShare = 5;
// How far inside the eclipse, as a share of its duration, the data may start or end (Cover).
constexpr double kContactSlack = 0.2;
// A window is timed only with this many points in it.
constexpr std::size_t kMinPoints = 10;

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

// The scatter of one point about the curve: the differences of each point from the mean of
// its neighbours (where both lie within three steps), as a robust standard deviation.
double PointNoise(const LongCurve& c, double cadence) {
    std::vector<double> d;
    for (std::size_t i = 1; i + 1 < c.time.size(); ++i)
        if (c.time[i + 1] - c.time[i - 1] <= 6 * cadence)
            d.push_back(std::fabs(c.mag[i] - (c.mag[i - 1] + c.mag[i + 1]) / 2));
    // m_i - (m_{i-1} + m_{i+1}) / 2 has variance 1.5 s^2.
    return 1.4826 * Median(std::move(d)) / std::sqrt(1.5);
}

struct Found {
    std::size_t peak = 0;         // the dip's faintest smoothed point
    double prominence = 0;        // how far it stands out of the brighter of its two sides
    // The brightest smoothed points that part it from its neighbours (parted), or the ends of
    // its stretch of data between gaps.
    std::size_t bound[2] = {0, 0};
    bool parted[2] = {false, false};
    double contact[2] = {0, 0};   // times of its contacts (kContactShare of the prominence)
    bool closed[2] = {false, false};  // each contact read on the curve (not cut by the end or a gap)
    double centre = 0;            // halfway between the branches at half the prominence
    double duration = 0;          // contact to contact
};

// For each point i the lowest smoothed magnitude between it and the nearest fainter point
// on one side within its stretch of data between gaps (infinity when the neighbour itself is
// fainter), and whether such a fainter point exists; by a stack, so that a long curve costs
// one pass.
void SideMinima(const std::vector<double>& s, const std::vector<int>& segment, bool leftward,
                std::vector<double>& low, std::vector<char>& closed) {
    const std::size_t n = s.size();
    low.assign(n, std::numeric_limits<double>::infinity());
    closed.assign(n, 0);
    std::vector<std::pair<std::size_t, double>> stack;  // index, lowest since the one below it
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = leftward ? k : n - 1 - k;
        // Across a gap nothing is compared: what the curve did before it is not known.
        if (!stack.empty() && segment[stack.back().first] != segment[i]) stack.clear();
        double m = std::numeric_limits<double>::infinity();
        // Of two equally faint points (a running median repeats values) the earlier one is
        // the bottom: looking left an equal point bounds, looking right it does not.
        while (!stack.empty() && (leftward ? s[stack.back().first] < s[i] : s[stack.back().first] <= s[i])) {
            m = std::min(m, stack.back().second);
            stack.pop_back();
        }
        low[i] = m;
        closed[i] = !stack.empty();
        stack.emplace_back(i, std::min(m, s[i]));
    }
}

// The running median of each point's neighbours within its stretch between gaps.
std::vector<double> RunningMedian(const std::vector<double>& mag, const std::vector<int>& segment) {
    const std::size_t n = mag.size();
    std::vector<double> s(n);
    double w[2 * kHalf + 1];
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t a = i >= kHalf ? i - kHalf : 0, b = std::min(n - 1, i + kHalf);
        std::size_t m = 0;
        for (std::size_t j = a; j <= b; ++j)
            if (segment[j] == segment[i]) w[m++] = mag[j];
        std::nth_element(w, w + m / 2, w + m);
        s[i] = w[m / 2];
    }
    return s;
}

// The dips of the smoothed curve that stand out as eclipses, in time order.
std::vector<Found> FindDips(const LongCurve& c, double noise, double gapLimit) {
    const std::size_t n = c.mag.size();
    std::vector<int> segment(n, 0);
    for (std::size_t i = 1; i < n; ++i)
        segment[i] = segment[i - 1] + (c.time[i] - c.time[i - 1] > gapLimit ? 1 : 0);
    const std::vector<double> s = RunningMedian(c.mag, segment);
    std::vector<double> lowLeft, lowRight;
    std::vector<char> closedLeft, closedRight;
    SideMinima(s, segment, true, lowLeft, closedLeft);
    SideMinima(s, segment, false, lowRight, closedRight);
    std::vector<Found> dips;
    double most = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool first = i == 0 || segment[i - 1] != segment[i];
        const bool last = i + 1 == n || segment[i + 1] != segment[i];
        if ((!first && !(s[i] > s[i - 1])) || (!last && !(s[i] >= s[i + 1]))) continue;
        // The sides that count: the closed ones (bounded by a deeper dip) if any, else both.
        const bool anyClosed = closedLeft[i] || closedRight[i];
        double base = -std::numeric_limits<double>::infinity();
        if (std::isfinite(lowLeft[i]) && (closedLeft[i] || !anyClosed)) base = std::max(base, lowLeft[i]);
        if (std::isfinite(lowRight[i]) && (closedRight[i] || !anyClosed)) base = std::max(base, lowRight[i]);
        if (!std::isfinite(base)) continue;
        Found f;
        f.peak = i;
        f.prominence = s[i] - base;
        most = std::max(most, f.prominence);
        dips.push_back(f);
    }
    // The running median of 2 kHalf + 1 points scatters about 1.2533 / sqrt(2 kHalf + 1) times
    // as much as one point (the median's efficiency for normal noise).
    const double smoothNoise = noise * 1.2533 / std::sqrt(2.0 * kHalf + 1);
    const double needed = std::max(kDipNoises * smoothNoise, kDipShare * most);
    std::erase_if(dips, [&](const Found& f) { return !(f.prominence >= needed) || f.prominence <= 0; });
    // Neighbours in one stretch of data part at the brightest smoothed point between their
    // bottoms; a gap parts the others.
    for (std::size_t d = 0; d < dips.size(); ++d) {
        Found& f = dips[d];
        if (d == 0 || segment[dips[d - 1].peak] != segment[f.peak]) {
            f.bound[0] = f.peak;
            while (f.bound[0] > 0 && segment[f.bound[0] - 1] == segment[f.peak]) --f.bound[0];
        } else {
            f.bound[0] = dips[d - 1].bound[1];
            f.parted[0] = true;
        }
        if (d + 1 < dips.size() && segment[dips[d + 1].peak] == segment[f.peak]) {
            std::size_t brightest = f.peak;
            for (std::size_t i = brightest; i <= dips[d + 1].peak; ++i)
                if (s[i] < s[brightest]) brightest = i;
            f.bound[1] = brightest;
            f.parted[1] = true;
        } else {
            f.bound[1] = f.peak;
            while (f.bound[1] + 1 < n && segment[f.bound[1] + 1] == segment[f.peak]) ++f.bound[1];
        }
    }
    // Contacts and centre, walking out from the bottom; a gap or the end of the curve before
    // the contact leaves that side open.
    for (Found& f : dips) {
        const double top = s[f.peak];
        for (int side = 0; side < 2; ++side) {
            const double contactLevel = top - (1 - kContactShare) * f.prominence;
            const double halfLevel = top - 0.5 * f.prominence;
            std::size_t i = f.peak;
            double half = c.time[i];
            bool halfSeen = false;
            while (true) {
                const bool end = side == 0 ? i == f.bound[0] : i == f.bound[1];
                if (end) break;
                const std::size_t next = side == 0 ? i - 1 : i + 1;
                if (std::fabs(c.time[next] - c.time[i]) > gapLimit) break;
                i = next;
                if (!halfSeen && s[i] <= halfLevel) half = c.time[i], halfSeen = true;
                if (s[i] <= contactLevel) {
                    // Within a smoothing window of the first or last point of a stretch of
                    // data is no contact: the curve may have gone on falling in the gap.
                    const std::size_t toEdge = side == 0 ? i - f.bound[0] : f.bound[1] - i;
                    f.closed[side] = f.parted[side] || toEdge >= 2 * kHalf + 1;
                    break;
                }
            }
            f.contact[side] = c.time[i];
            if (side == 0) f.centre = half; else f.centre = (f.centre + half) / 2;
        }
        f.duration = f.contact[1] - f.contact[0];
    }
    return dips;
}

// The eclipses' duration: the median of those whose both contacts were read. One for all:
// the two eclipses of a circular orbit last equally long, and a dip cut by a gap or an end of
// the data, whose own contacts are not both seen, is judged by the whole eclipse.
std::optional<double> Duration(const std::vector<Found>& dips, const std::function<bool(const Found&)>& use) {
    std::vector<double> durations;
    for (const Found& f : dips)
        if (f.closed[0] && f.closed[1] && use(f)) durations.push_back(f.duration);
    if (durations.empty()) return std::nullopt;
    return Median(std::move(durations));
}

// Fills in the points of e's window and whether the eclipse in it can be timed: its points
// must reach from before the eclipse's start to after its end (as far as the window goes),
// with no step wider than gapLimit inside the eclipse, and enough of them.
void Cover(const LongCurve& c, LongEclipse& e, double duration, double gapLimit) {
    const auto lo = std::lower_bound(c.time.begin(), c.time.end(), e.from);
    const auto hi = std::upper_bound(c.time.begin(), c.time.end(), e.to);
    e.count = static_cast<std::size_t>(hi - lo);
    e.first = static_cast<std::size_t>(lo - c.time.begin());
    e.last = e.count > 0 ? e.first + e.count - 1 : e.first;
    const auto at = [](double t) { return RowText(t); };
    if (e.count == 0) {
        e.why = kWhyGap;
        e.detail = "no point between " + at(e.from) + " and " + at(e.to) + ": a gap in the data";
        return;
    }
    const double start = std::max(e.from, e.centre - duration / 2);
    const double end = std::min(e.to, e.centre + duration / 2);
    const double firstTime = c.time[e.first], lastTime = c.time[e.last];
    // Each branch covered from its contact, or nearly: the data may begin or end up to two
    // fifths of a branch inside the eclipse (a night that starts on the falling branch still
    // shows the whole minimum and enough of both branches to time it). Where the window ends
    // before the contact (at the maximum before the next eclipse), reaching near its end is
    // enough.
    const double slack = kContactSlack * duration;
    const double before = start > e.centre - duration / 2 ? start + gapLimit : start + slack;
    const double after = end < e.centre + duration / 2 ? end - gapLimit : end - slack;
    if (firstTime > before) {
        e.why = kWhyOneBranch;
        e.detail = "the data start at " + at(firstTime) + ", after the eclipse began (" + at(start) + ")";
        return;
    }
    if (lastTime < after) {
        e.why = kWhyOneBranch;
        e.detail = "the data end at " + at(lastTime) + ", before the eclipse ended (" + at(end) + ")";
        return;
    }
    for (std::size_t i = e.first; i < e.last; ++i) {
        const double a = c.time[i], b = c.time[i + 1];
        if (b - a > gapLimit && b > start && a < end) {
            e.why = kWhyGap;
            e.detail = "no point between " + at(a) + " and " + at(b) + ", inside the eclipse";
            return;
        }
    }
    if (e.count < kMinPoints) {
        e.why = kWhyTooFew;
        e.detail = std::to_string(e.count) + " points in the window; at least " + std::to_string(kMinPoints) +
                   " are needed";
        return;
    }
    e.covered = true;
}

}  // namespace

LongEclipses FindLongEclipses(const LongCurve& c, const EclipseSearch& search) {
    LongEclipses r;
    const std::size_t n = c.time.size();
    if (n < kMinPoints) {
        r.message = "Too few points (" + std::to_string(n) + ") to find eclipses in them.";
        return r;
    }
    if (search.period && !(*search.period > 0)) {
        r.message = "The period must be above zero.";
        return r;
    }
    if (search.halfWidth && !(*search.halfWidth > 0)) {
        r.message = "The half-width must be above zero.";
        return r;
    }
    std::vector<double> steps;
    steps.reserve(n);
    for (std::size_t i = 1; i < n; ++i)
        if (c.time[i] > c.time[i - 1]) steps.push_back(c.time[i] - c.time[i - 1]);
    r.cadence = Median(steps);
    r.level = Median(c.mag);
    r.noise = PointNoise(c, r.cadence);
    // A step wider than ten cadences is a gap; the walk to a contact stops there (a pause of a
    // few minutes, to change filters or to centre the star, is not one).
    const double walkGap = 10 * r.cadence;
    const std::vector<Found> dips = FindDips(c, r.noise, walkGap);

    const bool ephemeris = search.t0 && search.period;
    if (!ephemeris) {
        if (dips.empty()) {
            r.message = "No eclipse stands out of the noise in this light curve.";
            return r;
        }
        const auto measured = Duration(dips, [](const Found&) { return true; });
        if (!measured && !search.halfWidth) {
            r.message = kNoDurationMessage;
            return r;
        }
        r.duration = measured ? *measured : *search.halfWidth;
        r.halfWidth = search.halfWidth ? *search.halfWidth : r.duration;
        r.measured = !search.halfWidth;
        for (std::size_t d = 0; d < dips.size(); ++d) {
            const Found& f = dips[d];
            LongEclipse e;
            e.number = static_cast<int>(d) + 1;
            e.centre = f.closed[0] && f.closed[1] ? f.centre : c.time[f.peak];
            // Never into the next eclipse: a window ends at the maximum that parts them.
            e.from = f.parted[0] ? std::max(e.centre - r.halfWidth, c.time[f.bound[0]]) : e.centre - r.halfWidth;
            e.to = f.parted[1] ? std::min(e.centre + r.halfWidth, c.time[f.bound[1]]) : e.centre + r.halfWidth;
            e.depth = f.prominence;
            Cover(c, e, r.duration, std::max(walkGap, r.duration / kGapShare));
            r.eclipses.push_back(e);
        }
        return r;
    }

    const double t0 = *search.t0, p = *search.period, phase = search.secondary ? 0.5 : 0;
    // The duration: of the dips found within a tenth of the period of a predicted eclipse.
    const auto cycleOf = [&](double t) { return std::nearbyint((t - t0) / p - phase) + phase; };
    const auto measured = Duration(dips, [&](const Found& f) {
        return std::fabs(c.time[f.peak] - (t0 + p * cycleOf(c.time[f.peak]))) < 0.1 * p;
    });
    if (!measured && !search.halfWidth) {
        r.message = kNoDurationMessage;
        return r;
    }
    r.duration = measured ? *measured : *search.halfWidth;
    // A window never reaches a quarter of the period, where the other eclipse may lie.
    r.halfWidth = std::min(search.halfWidth ? *search.halfWidth : r.duration, p / 4);
    r.measured = !search.halfWidth;
    const double duration = std::min(r.duration, 2 * r.halfWidth);
    const double gapLimit = std::max(walkGap, duration / kGapShare);
    const double firstCycle = std::ceil((c.time.front() - r.halfWidth - t0) / p - phase) + phase;
    const double lastCycle = std::floor((c.time.back() + r.halfWidth - t0) / p - phase) + phase;
    // Cycle numbers are counted exactly only well below 2^53; a T0 or period that puts the data
    // millions of millions of cycles away is a typing error.
    if (!(std::fabs(firstCycle) < 1e12 && std::fabs(lastCycle) < 1e12)) {
        r.message = "The ephemeris puts the data more than 10^12 cycles from T0: check T0 and the period.";
        return r;
    }
    if (lastCycle - firstCycle > 1e6) {
        r.message = "The period is so short that the data hold more than a million eclipses.";
        return r;
    }
    int number = 0;
    const long long cycles = std::llround(lastCycle - firstCycle);
    for (long long k = 0; k <= cycles; ++k) {
        const double e = firstCycle + static_cast<double>(k);
        // Only the eclipses that fall in the data: a campaign of nights predicts many more in
        // the days between them.
        const double predicted = t0 + p * e;
        const auto inWindow = std::lower_bound(c.time.begin(), c.time.end(), predicted - r.halfWidth);
        if (inWindow == c.time.end() || *inWindow > predicted + r.halfWidth) continue;
        LongEclipse w;
        w.number = ++number;
        w.cycle = e;
        w.centre = predicted;
        // Centred on the dip found near the predicted time, when there is one, so that an
        // ephemeris a little off still finds each eclipse whole.
        for (const Found& f : dips)
            if (std::fabs(f.centre - w.centre) < r.halfWidth / 2 && f.closed[0] && f.closed[1]) {
                w.centre = f.centre;
                w.depth = f.prominence;
            }
        w.from = w.centre - r.halfWidth;
        w.to = w.centre + r.halfWidth;
        Cover(c, w, duration, gapLimit);
        r.eclipses.push_back(w);
    }
    return r;
}

WindowPoints PointsOfWindow(const LongCurve& c, const LongEclipse& e, int maxPoints) {
    WindowPoints w;
    w.timeScale = c.timeScale;
    if (e.count == 0 || maxPoints < 1) return w;
    const std::size_t limit = static_cast<std::size_t>(maxPoints);
    const std::size_t bin = (e.count + limit - 1) / limit;
    w.binned = static_cast<int>(bin);
    for (std::size_t i = e.first; i <= e.last; i += bin) {
        const std::size_t end = std::min(e.last + 1, i + bin);
        double t = 0, m = 0;
        for (std::size_t j = i; j < end; ++j) t += c.time[j], m += c.mag[j];
        const double k = static_cast<double>(end - i);
        w.time.push_back(t / k);
        w.mag.push_back(m / k);
        w.line.push_back(c.line[i]);
    }
    return w;
}

}  // namespace umbrix
