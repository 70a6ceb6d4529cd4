#include "timing/draw/long_curve_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace umbrix {

namespace {

constexpr double kPixel = 15;  // twips
// Bands stay this far inside the frame, so that its black edges show over them.
constexpr double kBandInset = kPixel;

// The points whose times lie within the axis (the curve is in time order).
std::pair<std::size_t, std::size_t> PointsWithin(const LongCurve& c, double offset, const AxisRange& a) {
    const auto lo = std::lower_bound(c.time.begin(), c.time.end(), offset + a.min);
    const auto hi = std::upper_bound(c.time.begin(), c.time.end(), offset + a.max);
    return {static_cast<std::size_t>(lo - c.time.begin()), static_cast<std::size_t>(hi - c.time.begin())};
}

// A band of vertical lines one pixel apart from x1 to x2, inside the frame; one line at least,
// so that a window narrower than a pixel still shows.
void DrawBand(DisplayList& list, const PlotFrame& f, double x1, double x2) {
    const double left = f.PlotLeft + kBandInset, right = f.PlotRight - kBandInset;
    x1 = std::max(x1, left);
    x2 = std::min(x2, right);
    if (x2 < x1) return;
    const double top = f.PlotTop + kBandInset, bottom = f.PlotBottom - kBandInset;
    for (double x = x1; x <= x2; x += kPixel) list.Line(x, top, x, bottom);
    if (x2 - x1 < kPixel) list.Line(x2, top, x2, bottom);
}

// Point by point, as the single-night plots draw theirs.
void DrawEachPoint(DisplayList& list, const PlotScale& s, const LongCurve& c, double offset,
                   std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) DrawDot(list, s.X(c.time[i] - offset), s.Y(c.mag[i]));
}

// One vertical line per pixel column, from the brightest to the faintest point in it; a point
// where they lie within a pixel of each other. A column next to one with points reaches to its
// neighbour's last point too, so that a steep branch is one stroke rather than a dashed one.
void DrawColumns(DisplayList& list, const PlotScale& s, const LongCurve& c, double offset,
                 std::size_t first, std::size_t end) {
    const PlotFrame& f = s.frame;
    const auto columnOf = [&](std::size_t i) {
        return static_cast<long>(std::floor((s.X(c.time[i] - offset) - f.PlotLeft) / kPixel));
    };
    const auto flush = [&](long column, double low, double high) {
        const double x = f.PlotLeft + (static_cast<double>(column) + 0.5) * kPixel;
        const double y1 = s.Y(low), y2 = s.Y(high);
        if (y2 - y1 < kPixel)
            list.PointSet(x, (y1 + y2) / 2);
        else
            list.Line(x, y1, x, y2);
    };
    std::size_t i = first;
    while (i < end) {
        const long column = columnOf(i);
        double low = c.mag[i], high = c.mag[i];
        if (i > first && columnOf(i - 1) == column - 1) {
            low = std::min(low, c.mag[i - 1]);
            high = std::max(high, c.mag[i - 1]);
        }
        for (++i; i < end && columnOf(i) == column; ++i) {
            low = std::min(low, c.mag[i]);
            high = std::max(high, c.mag[i]);
        }
        flush(column, low, high);
    }
}

// Room for one tick label: a time's text is about this wide, a magnitude's this high (twips).
constexpr double kTimeTickRoom = 1000;
constexpr double kMagTickRoom = 300;

// The grid lines with room for their labels: every n-th, n the smallest that leaves `room`
// between neighbours (lines a multiple of n from zero, so that they do not move when panning).
std::vector<std::int64_t> Labelled(const AxisGrid& grid, double pitch, double room) {
    std::vector<std::int64_t> ks;
    if (!grid.valid || !(pitch > 0)) return ks;
    const auto every = static_cast<std::int64_t>(std::ceil(room / pitch));
    for (std::int64_t k = grid.kFirst; k <= grid.kLast; ++k)
        if (k % every == 0) ks.push_back(k);
    return ks;
}

}  // namespace

AxisRange WholeTimeAxis(const LongCurve& c, double offset) {
    if (c.time.empty()) return MakeAxis(0, 1, 1);
    const double span = c.time.back() - c.time.front();
    const double margin = std::max(span / 50, 0.002);
    const double min = c.time.front() - offset - margin, max = c.time.back() - offset + margin;
    return MakeAxis(min, max, max - min);
}

AxisRange MagnitudeAxis(const LongCurve& c) {
    if (c.mag.empty()) return MakeAxis(0, 1, 1);
    const auto [lo, hi] = std::minmax_element(c.mag.begin(), c.mag.end());
    const double margin = (*hi - *lo) / 20;
    return MakeAxis(*lo - margin, *hi + margin, *hi - *lo + 2 * margin);
}

AxisRange ZoomedAxis(const AxisRange& shown, const AxisRange& whole, double t, double factor) {
    if (!(factor > 0) || !std::isfinite(factor) || !std::isfinite(t)) return shown;
    const double span = std::clamp(shown.span * factor, std::min(kMinZoomSpan, whole.span), whole.span);
    // t keeps its place: the same share of the span lies left of it before and after.
    const double share = shown.span > 0 ? std::clamp((t - shown.min) / shown.span, 0.0, 1.0) : 0.5;
    // Then inside the whole curve (max before min: the two bounds may cross by a rounding).
    const double min = std::max(whole.min, std::min(t - share * span, whole.max - span));
    return MakeAxis(min, min + span, span);
}

AxisRange AxisCentredOn(const AxisRange& shown, const AxisRange& whole, double t) {
    if (!std::isfinite(t)) return shown;
    const double span = std::min(shown.span, whole.span);
    const double min = std::max(whole.min, std::min(t - span / 2, whole.max - span));
    return MakeAxis(min, min + span, span);
}

LongCurvePlot DrawLongCurve(DisplayList& list, const LongCurve& curve,
                            const std::vector<LongEclipse>& eclipses, double offset,
                            const PlotFrame& frame, const AxisRange& shown, int selected,
                            double timeTop) {
    LongCurvePlot plot;
    plot.scale = {frame, shown, MagnitudeAxis(curve)};
    const PlotScale& s = plot.scale;
    DrawFrame(list, frame, std::nullopt);  // the window's own colour, as the method windows

    for (const LongEclipse& e : eclipses) {
        list.SetColour(e.covered ? kCoveredBand : kNotCoveredBand);
        DrawBand(list, frame, s.X(e.from - offset), s.X(e.to - offset));
    }
    if (selected >= 0 && static_cast<std::size_t>(selected) < eclipses.size()) {
        const LongEclipse& e = eclipses[static_cast<std::size_t>(selected)];
        list.SetColour(kPurple);
        for (const double t : {e.from, e.to}) {
            const double x = s.X(t - offset);
            if (frame.PlotLeft <= x && x <= frame.PlotRight) list.Line(x, frame.PlotTop, x, frame.PlotBottom);
        }
    }

    const AxisGrid timeGrid = GridFor(s.time);
    DrawTimeGrid(list, s, timeGrid);
    const double timePitch = timeGrid.step * (frame.PlotRight - frame.PlotLeft) / s.time.span;
    for (const std::int64_t k : Labelled(timeGrid, timePitch, kTimeTickRoom)) {
        const double x = s.X(timeGrid.Value(k));
        if (x >= frame.PlotLeft && x <= frame.PlotRight)
            plot.timeTicks.push_back({TickText(timeGrid.Value(k), timeGrid.step), x, timeTop});
    }
    const AxisGrid magGrid = GridFor(s.mag);
    DrawMagGrid(list, s, magGrid);
    const double magPitch = magGrid.step * (frame.PlotBottom - frame.PlotTop) / s.mag.span;
    for (const std::int64_t k : Labelled(magGrid, magPitch, kMagTickRoom)) {
        const double y = s.Y(magGrid.Value(k));
        if (y >= frame.PlotTop && y <= frame.PlotBottom)
            plot.magTicks.push_back({TickText(magGrid.Value(k), magGrid.step), frame.PlotLeft - 60.0, y});
    }

    const auto [first, end] = PointsWithin(curve, offset, shown);
    list.SetColour(kRed);
    plot.decimated = end - first > kMaxDrawnPoints;
    if (plot.decimated)
        DrawColumns(list, s, curve, offset, first, end);
    else
        DrawEachPoint(list, s, curve, offset, first, end);
    return plot;
}

int EclipseAt(const std::vector<LongEclipse>& eclipses, double offset, double t) {
    int best = -1;
    for (std::size_t k = 0; k < eclipses.size(); ++k) {
        const LongEclipse& e = eclipses[k];
        if (t + offset < e.from || t + offset > e.to) continue;
        if (best < 0 || std::fabs(e.centre - offset - t) <
                            std::fabs(eclipses[static_cast<std::size_t>(best)].centre - offset - t))
            best = static_cast<int>(k);
    }
    return best;
}

}  // namespace umbrix
