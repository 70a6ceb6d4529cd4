#include "timing/draw/light_curve_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "timing/core/data/format.h"

namespace umbrix {

namespace {

// ln 10 as the grid arithmetic has always used it (see GridFor).
constexpr double kLn10 = 2.302585;
// Ticks run this far into the frame from its edges.
constexpr double kTick = 100;
// A grid never has more lines than this; a wider k range means the axis is unusable.
constexpr std::int64_t kMaxGridLines = 10000;
// Labels wider than this are never asked for by a sane axis; the clamp only keeps a broken
// one from asking FormatFixed for absurd widths.
constexpr int kMaxLabelWidth = 32;

int ClampedCount(int n) { return std::clamp(n, 0, kMaxPoints); }

}  // namespace

int Nint16(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(value, -32768.0, 32767.0)));
}

std::string SingleText(float value) {
    if (value == 0) return " 0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(value));
    std::string s = buf;
    if (s.rfind("0.", 0) == 0)
        s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0)
        s.erase(1, 1);
    return value > 0 ? " " + s : s;
}

AxisGrid GridFor(const AxisRange& axis) {
    AxisGrid grid;
    if (!(axis.span > 0) || !std::isfinite(axis.span) || !std::isfinite(axis.min) ||
        !std::isfinite(axis.max))
        return grid;
    const double e = std::floor(std::log(axis.span) / kLn10);
    const float p = static_cast<float>(std::pow(10.0, e));
    if (!(p > 0) || !std::isfinite(p)) return grid;
    const double ratio = axis.span / static_cast<double>(p);
    int n = 10;
    if (ratio < 5) n = 5;
    if (ratio < 2) n = 2;
    const float step = static_cast<float>(static_cast<double>(p) * n / 10);
    if (!(step > 0) || !std::isfinite(step)) return grid;
    const double first = std::floor(axis.min / static_cast<double>(step));
    const double last = std::floor(axis.max / static_cast<double>(step));
    constexpr double kLimit = 9.0e15;  // integers stay exact in a double below 2^53
    if (!(std::fabs(first) < kLimit) || !(std::fabs(last) < kLimit) ||
        last - first > static_cast<double>(kMaxGridLines))
        return grid;
    grid.valid = true;
    grid.step = step;
    grid.kFirst = static_cast<std::int64_t>(first);
    grid.kLast = static_cast<std::int64_t>(last);
    return grid;
}

// --- Frame -----------------------------------------------------------------------------------

void DrawFrame(DisplayList& list, const PlotFrame& f, std::optional<Rgb> background) {
    list.Clear(background);
    list.SetColour(kBlack);
    list.Line(f.PlotLeft, f.PlotTop, f.PlotRight, f.PlotTop);
    list.Line(f.PlotRight, f.PlotTop, f.PlotRight, f.PlotBottom);
    list.Line(f.PlotRight, f.PlotBottom, f.PlotLeft, f.PlotBottom);
    list.Line(f.PlotLeft, f.PlotBottom, f.PlotLeft, f.PlotTop);
}

// --- Points ----------------------------------------------------------------------------------

void DrawDot(DisplayList& list, double x, double y) {
    for (int r = 1; r <= 15; ++r) list.Circle(x, y, r);
}

void DrawCross(DisplayList& list, double x, double y) {
    list.Line(x - 100, y - 100, x + 100, y + 100);
    list.Line(x - 100, y + 100, x + 100, y - 100);
}

void DrawAllPoints(DisplayList& list, const PlotScale& scale, const DataSet& ds) {
    list.SetColour(kRed);
    const int n = ClampedCount(ds.ReadCount);
    for (int i = 1; i <= n; ++i) {
        const double x = scale.X(ds.AllTime[i]);
        const double y = scale.Y(ds.AllMag[i]);
        if (ds.Deleted[i])
            DrawCross(list, x, y);
        else
            DrawDot(list, x, y);
    }
}

void DrawWorkingPoints(DisplayList& list, const PlotScale& scale, const DataSet& ds) {
    list.SetColour(kRed);
    const int n = ClampedCount(ds.PointCount);
    for (int i = 1; i <= n; ++i) DrawDot(list, scale.X(ds.Time[i]), scale.Y(ds.Mag[i]));
}

// --- Time grid -------------------------------------------------------------------------------

void DrawTimeGrid(DisplayList& list, const PlotScale& scale, const AxisGrid& grid) {
    if (!grid.valid) return;
    const PlotFrame& f = scale.frame;
    for (std::int64_t k = grid.kFirst; k <= grid.kLast; ++k) {
        const double x = scale.X(grid.Value(k));
        if (!(f.PlotLeft <= x && x <= f.PlotRight)) continue;
        list.SetColour(kSilver);
        list.Line(x, f.PlotTop, x, f.PlotBottom);
        list.SetColour(kBlack);
        list.Line(x, f.PlotTop, x, f.PlotTop + kTick);
        list.Line(x, f.PlotBottom - kTick, x, f.PlotBottom);
    }
}

// --- Time labels -----------------------------------------------------------------------------

void TimeLabels(AxisLabels& labels, const PlotScale& scale, const AxisGrid& grid,
                double valuesTop, double stepTop) {
    const PlotFrame& f = scale.frame;
    for (int i = 1; i <= 3; ++i) labels[i] = {};
    labels[1].top = labels[2].top = valuesTop;
    labels[3].top = stepTop;
    labels[3].left = f.PlotLeft + 0.66 * f.PlotWidth();
    if (!grid.valid) return;

    const double step = grid.step;
    const int decimals = Nint16(-std::log(step));
    const double first = grid.Value(grid.kFirst + 1);
    int width = first > 0 ? Nint16(std::log(first) + decimals + 3) : decimals + 3;
    width = std::clamp(width, 1, kMaxLabelWidth);

    const auto place = [&](AxisLabel& label, double value) {
        label.caption = FormatFixed(value, width, decimals);
        label.left = scale.X(value) - (static_cast<double>(label.caption.size()) / 2) * 100;
    };
    place(labels[1], first);
    place(labels[2], grid.Value(grid.kLast - 1));
    labels[3].caption = SingleText(grid.step).substr(0, 6);
}

// --- Magnitude grid --------------------------------------------------------------------------

void DrawMagGrid(DisplayList& list, const PlotScale& scale, const AxisGrid& grid) {
    if (!grid.valid) return;
    const PlotFrame& f = scale.frame;
    for (std::int64_t k = grid.kFirst; k <= grid.kLast; ++k) {
        const double y = scale.Y(grid.Value(k));
        if (!(f.PlotTop <= y && y <= f.PlotBottom)) continue;
        list.SetColour(kSilver);
        list.Line(f.PlotLeft, y, f.PlotRight, y);
        list.SetColour(kBlack);
        list.Line(f.PlotLeft, y, f.PlotLeft + kTick, y);
        list.Line(f.PlotRight - kTick, y, f.PlotRight, y);
    }
}

// --- Magnitude labels ------------------------------------------------------------------------

void MagLabels(AxisLabels& labels, const PlotScale& scale, const AxisGrid& grid, int stepChars) {
    const PlotFrame& f = scale.frame;
    for (int i = 4; i <= 6; ++i) labels[i] = {};
    labels[6].top = f.PlotTop + 0.6 * f.PlotHeight();
    if (!grid.valid) return;

    // Screen distance of one grid step, rounded as the window rounds it.
    const int dy = Nint16(f.PlotHeight() * static_cast<double>(grid.step) /
                          (scale.mag.max - scale.mag.min));
    std::int64_t k = grid.kFirst;
    int top = Nint16(scale.Y(grid.Value(k)) - 100);
    // Walk down to the first label that starts inside the frame. A frame of no height gives
    // no spacing to walk by; the walk then stays at kFirst.
    while (top + 100 < f.PlotTop && dy > 0 && k <= grid.kLast) {
        top += dy;
        ++k;
    }
    labels[4] = {FormatFixed(grid.Value(k), 5, 1), 0, static_cast<double>(top)};
    labels[5] = {FormatFixed(grid.Value(grid.kLast), 5, 1), 0,
                 scale.Y(grid.Value(grid.kLast)) - 100};
    labels[6].caption = SingleText(grid.step).substr(0, static_cast<std::size_t>(std::max(stepChars, 0)));
}

// --- Readable axes ---------------------------------------------------------------------------

std::string TimeAxisTitle(const std::string& timeScale, double dayOffset) {
    const std::string name = timeScale.empty() ? "time" : timeScale;
    if (!(std::fabs(dayOffset) >= 0.5) || !std::isfinite(dayOffset)) return name;
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %.0f", name.c_str(), dayOffset < 0 ? "+" : "-",
                  std::fabs(dayOffset));
    return text;
}

namespace {

struct Box {
    double left, top, right, bottom;
    bool Touches(const Box& o, double gap) const {
        return left < o.right + gap && o.left < right + gap && top < o.bottom && o.top < bottom;
    }
};

double TextWidth(const std::string& text, const TextMetrics& m) {
    return static_cast<double>(text.size()) * m.charWidth;
}

// Texts collide by their glyphs, which fill about three quarters of a line: the rows of the time
// values and the step captions stand 200 twips apart, less than a line of most fonts.
double GlyphHeight(const TextMetrics& m) { return 0.75 * m.lineHeight; }

Box LabelBox(const AxisLabel& l, const TextMetrics& m) {
    return {l.left, l.top, l.left + TextWidth(l.caption, m), l.top + GlyphHeight(m)};
}

// The step as the single-precision number it is (0.01), not its binary expansion
// (0.0099999998), so that the texts get the decimals the step has and no more.
double StepValue(const AxisGrid& grid) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(grid.step));
    return std::strtod(text, nullptr);
}

std::string GridCaption(const AxisGrid& grid, const char* unit) {
    if (!grid.valid) return {};
    const double step = StepValue(grid);
    std::string caption = "grid ";
    caption.append(TickText(step, step)).append(" ").append(unit);
    return caption;
}

}  // namespace

void ReadableAxes(DisplayList& list, AxisLabels& labels, const PlotScale& scale,
                  const AxisGrid& timeGrid, const AxisGrid& magGrid, const std::string& timeTitle,
                  const TextMetrics& metrics) {
    const PlotFrame& f = scale.frame;
    const double gap = metrics.charWidth;  // between neighbouring values
    labels[3].caption = GridCaption(timeGrid, "d");
    labels[6].caption = GridCaption(magGrid, "mag");
    labels[6].top = labels[3].top;
    labels[6].left = labels[3].left + TextWidth(labels[3].caption, metrics) + 2 * gap;
    // In a narrow window the pair ends at the frame's right edge instead of past the window's.
    const double over = labels[6].left + TextWidth(labels[6].caption, metrics) - f.PlotRight;
    if (over > 0) {
        labels[3].left -= over;
        labels[6].left -= over;
    }

    std::vector<Box> taken;
    for (int i = 1; i <= 6; ++i)
        if (!labels[i].caption.empty()) taken.push_back(LabelBox(labels[i], metrics));
    const auto fits = [&](const Box& b) {
        return std::none_of(taken.begin(), taken.end(), [&](const Box& t) { return b.Touches(t, gap); });
    };
    list.SetColour(kBlack);

    const double valuesTop = labels[1].top;
    if (timeGrid.valid)
        for (std::int64_t k = timeGrid.kFirst; k <= timeGrid.kLast; ++k) {
            const double x = scale.X(timeGrid.Value(k));
            if (!(f.PlotLeft <= x && x <= f.PlotRight)) continue;
            std::string text = TickText(timeGrid.Value(k), StepValue(timeGrid));
            const double w = TextWidth(text, metrics);
            const Box b{x - w / 2, valuesTop, x + w / 2, valuesTop + GlyphHeight(metrics)};
            if (!fits(b)) continue;
            taken.push_back(b);
            list.Text(x, valuesTop, std::move(text), TextAnchor::TopCentre);
        }

    const double right = f.PlotLeft - metrics.charWidth / 3;
    if (magGrid.valid)
        for (std::int64_t k = magGrid.kFirst; k <= magGrid.kLast; ++k) {
            const double y = scale.Y(magGrid.Value(k));
            if (!(f.PlotTop <= y && y <= f.PlotBottom)) continue;
            std::string text = TickText(magGrid.Value(k), StepValue(magGrid));
            const double w = TextWidth(text, metrics);
            const Box b{right - w, y - GlyphHeight(metrics) / 2, right, y + GlyphHeight(metrics) / 2};
            if (b.left < 0 || !fits(b)) continue;
            taken.push_back(b);
            list.Text(right, y, std::move(text), TextAnchor::MiddleRight);
        }

    const Box title{static_cast<double>(f.PlotLeft), labels[3].top,
                    f.PlotLeft + TextWidth(timeTitle, metrics), labels[3].top + GlyphHeight(metrics)};
    if (!timeTitle.empty() && fits(title)) list.Text(title.left, title.top, timeTitle, TextAnchor::TopLeft);
    list.Text(f.PlotLeft + metrics.charWidth, std::max(0.0, f.PlotTop - metrics.lineHeight), "magnitude",
              TextAnchor::TopLeft);
}

// --- The whole plot --------------------------------------------------------------------------

PlotScale FrozenScale(const PlotFrame& frame, const DataSet& ds) {
    return {frame, MakeAxis(ds.FullTimeMin, ds.FullTimeMax, ds.FullTimeSpan),
            MakeAxis(ds.FullMagMin, ds.FullMagMax, ds.FullMagSpan)};
}

PlotScale WorkingScale(const PlotFrame& frame, const DataSet& ds) {
    return {frame, MakeAxis(ds.TimeMin, ds.TimeMax, ds.TimeSpan),
            MakeAxis(ds.MagMin, ds.MagMax, ds.MagSpan)};
}

LightCurvePlot PlotLightCurve(DisplayList& list, const DataSet& ds, int windowWidth,
                              int windowHeight, const PlotZoom& zoom) {
    LightCurvePlot plot;
    const PlotFrame frame = FrameForWindow(windowWidth, windowHeight);
    plot.scale = ZoomedScale(FrozenScale(frame, ds), zoom);
    const int h = std::clamp(windowHeight, 0, 32767);

    DrawFrame(list, frame, kWhite);
    DrawAllPoints(list, plot.scale, ds);
    plot.timeGrid = GridFor(plot.scale.time);
    DrawTimeGrid(list, plot.scale, plot.timeGrid);
    TimeLabels(plot.labels, plot.scale, plot.timeGrid, h - 1800, h - 1600);
    plot.magGrid = GridFor(plot.scale.mag);
    DrawMagGrid(list, plot.scale, plot.magGrid);
    MagLabels(plot.labels, plot.scale, plot.magGrid, 5);
    return plot;
}

// --- Picking ---------------------------------------------------------------------------------

int NearestPoint(const DataSet& ds, double t, double m) {
    double best = 9999;
    int selected = 0;
    const int n = ClampedCount(ds.ReadCount);
    for (int c = 1; c <= n; ++c) {
        const double dt = ds.AllTime[c] - t;
        const double dm = ds.AllMag[c] - m;
        const double d = dt * dt + dm * dm;
        if (d < best) {
            selected = c;
            best = d;
        }
    }
    return selected;
}

void DrawCrossHair(DisplayList& list, double x, double y) {
    list.SetColour(kBlue);
    list.Line(x - kCrossHairArm, y, x + kCrossHairArm, y);
    list.Line(x, y - kCrossHairArm, x, y + kCrossHairArm);
}

}  // namespace umbrix
