#include "timing/draw/oc_plot.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "timing/draw/plot_scale.h"

namespace umbrix {

namespace {

constexpr double kMinutesPerDay = 1440;
constexpr double kLeft = 1300, kRight = 300, kTop = 300, kBottom = 800;  // frame margins, twips
constexpr double kDotRadius = 45, kCapHalfWidth = 60, kTickLength = 90;

// O-C in minutes that a fitted ephemeris predicts at cycle e, against t0 + p e.
double FitMinutes(const Ephemeris& f, double t0, double p, double e) {
    return ((f.t0 - t0) + (f.p - p) * e + f.q * e * e) * kMinutesPerDay;
}

}  // namespace

double NiceStep(double span, int ticks) {
    if (!(span > 0)) return 1;
    const double raw = span / ticks, power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

OcPlot DrawOc(const std::vector<OcRow>& rows, double t0, double p, const Ephemeris* linear,
              const Ephemeris* quadratic) {
    return DrawOc(rows, t0, p, linear, quadratic, OcView{});
}

std::optional<std::size_t> OcRowAt(const OcPlot& plot, double x, double y, double reach) {
    std::optional<std::size_t> nearest;
    double best = reach * reach;
    for (std::size_t k = 0; k < plot.marks.size(); ++k) {
        const OcPlot::Mark& m = plot.marks[k];
        const double d2 = (m.x - x) * (m.x - x) + (m.y - y) * (m.y - y);
        if (m.shown && d2 <= best) {
            best = d2;
            nearest = k;
        }
    }
    return nearest;
}

OcPlot DrawOc(const std::vector<OcRow>& rows, double t0, double p, const Ephemeris* linear,
              const Ephemeris* quadratic, const OcView& view) {
    OcPlot plot;
    plot.width = view.width;
    plot.height = view.height;
    DisplayList& d = plot.list;
    d.Clear(kWhite);
    // The ranges: every minimum with its error bar, and the fitted curves across them.
    double eMin = 0, eMax = 1, yMin = -1, yMax = 1;
    if (!rows.empty()) {
        eMin = eMax = rows[0].cycle;
        yMin = yMax = rows[0].oc * kMinutesPerDay;
    }
    for (const OcRow& r : rows) {
        eMin = std::min(eMin, r.cycle);
        eMax = std::max(eMax, r.cycle);
        yMin = std::min(yMin, (r.oc - r.minimum.error) * kMinutesPerDay);
        yMax = std::max(yMax, (r.oc + r.minimum.error) * kMinutesPerDay);
    }
    if (eMax == eMin) eMin -= 1, eMax += 1;
    const double ePad = (eMax - eMin) * 0.05;
    eMin -= ePad;
    eMax += ePad;
    for (const Ephemeris* f : {linear, quadratic})
        if (f)
            for (int k = 0; k <= 50; ++k) {
                const double y = FitMinutes(*f, t0, p, eMin + (eMax - eMin) * k / 50);
                yMin = std::min(yMin, y);
                yMax = std::max(yMax, y);
            }
    if (yMax == yMin) yMin -= 1, yMax += 1;
    const double yPad = (yMax - yMin) * 0.08;
    yMin -= yPad;
    yMax += yPad * 3;  // room for the legend above the points

    // The part shown: shares of E from the left, of O-C from the top.
    if (!view.zoom.Whole()) {
        const double eSpan = eMax - eMin, ySpan = yMax - yMin, top = yMax;
        eMax = eMin + view.zoom.timeTo * eSpan;
        eMin += view.zoom.timeFrom * eSpan;
        yMax = top - view.zoom.magFrom * ySpan;
        yMin = top - view.zoom.magTo * ySpan;
    }
    // A window too small for the margins still gets a frame of a few twips.
    const double x0 = kLeft, x1 = std::max(plot.width - kRight, kLeft + 150), y0 = kTop,
                 y1 = std::max(plot.height - kBottom, kTop + 150);
    plot.frame = {static_cast<int>(x0), static_cast<int>(x1), static_cast<int>(y0), static_cast<int>(y1)};
    const auto X = [&](double e) { return x0 + (e - eMin) / (eMax - eMin) * (x1 - x0); };
    const auto Y = [&](double m) { return y1 - (m - yMin) / (yMax - yMin) * (y1 - y0); };

    // Frame, ticks and their values; O-C = 0 as a silver line.
    d.SetColour(kBlack);
    d.Line(x0, y0, x1, y0);
    d.LineTo(x1, y1);
    d.LineTo(x0, y1);
    d.LineTo(x0, y0);
    const double eStep = NiceStep(eMax - eMin, 6), yStep = NiceStep(yMax - yMin, 6);
    for (double e = std::ceil(eMin / eStep) * eStep; e <= eMax; e += eStep) {
        d.Line(X(e), y1, X(e), y1 - kTickLength);
        plot.texts.push_back({X(e) - 150, y1 + 200, TickText(e, eStep), kBlack, false});
    }
    for (double m = std::ceil(yMin / yStep) * yStep; m <= yMax; m += yStep) {
        d.Line(x0, Y(m), x0 + kTickLength, Y(m));
        plot.texts.push_back({x0 - 100, Y(m), TickText(m, yStep), kBlack, true});
    }
    plot.texts.push_back({(x0 + x1) / 2 - 400, plot.height - 250, "E (cycles)", kBlack, false});
    plot.texts.push_back({60, y0 - 120, "O-C (min)", kBlack, false});
    // A primary minimum is a dot, a secondary (at E + 0.5) an open square; one left out of the
    // fits (a duplicate, rejected, or left out by hand) is drawn in silver, and one left out by
    // hand is hollow: a primary then a ring instead of a dot.
    const auto mark = [](DisplayList& d, double x, double y, bool secondary, bool hollow = false) {
        if (!secondary) {
            // From the inside out: the painter fills such a run as one disc.
            for (double radius = hollow ? kDotRadius : 15; radius <= kDotRadius; radius += 15) d.Circle(x, y, radius);
            return;
        }
        const double h = kDotRadius;
        d.Line(x - h, y - h, x + h, y - h);
        d.Line(x + h, y - h, x + h, y + h);
        d.Line(x + h, y + h, x - h, y + h);
        d.Line(x - h, y + h, x - h, y - h);
    };
    const auto isSecondary = [](const OcRow& r) { return r.cycle != std::floor(r.cycle); };
    // What lies inside the frame goes into its own list, cut at the frame when zoomed.
    DisplayList whole;
    DisplayList& in = view.zoom.Whole() ? d : whole;
    if (yMin < 0 && yMax > 0) {
        in.SetColour(kSilver);
        in.Line(x0, Y(0), x1, Y(0));
    }

    // The fits, then the minima on top.
    for (const auto& [f, colour] : {std::pair{linear, kLinearFitColour}, std::pair{quadratic, kQuadraticFitColour}}) {
        if (!f) continue;
        in.SetColour(colour);
        for (int k = 0; k <= 100; ++k) {
            const double e = eMin + (eMax - eMin) * k / 100;
            if (k == 0)
                in.PointSet(X(e), Y(FitMinutes(*f, t0, p, e)));
            else
                in.LineTo(X(e), Y(FitMinutes(*f, t0, p, e)));
        }
    }
    bool primaries = false, secondaries = false, leftOut = false, byHand = false;
    // Every error bar first, then every mark over them: the bars of one colour then paint as
    // one run of lines, and no bar crosses another minimum's mark.
    for (const OcRow& r : rows) {
        in.SetColour(r.flag.empty() ? kBlack : kSilver);
        const double x = X(r.cycle), m = r.oc * kMinutesPerDay, err = r.minimum.error * kMinutesPerDay;
        in.Line(x, Y(m - err), x, Y(m + err));
        in.Line(x - kCapHalfWidth, Y(m - err), x + kCapHalfWidth, Y(m - err));
        in.Line(x - kCapHalfWidth, Y(m + err), x + kCapHalfWidth, Y(m + err));
    }
    // The dots before the squares, for the same reason.
    plot.marks.resize(rows.size());
    for (const bool second : {false, true})
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const OcRow& r = rows[k];
            if (isSecondary(r) != second) continue;
            in.SetColour(r.flag.empty() ? kBlack : kSilver);
            const double x = X(r.cycle), y = Y(r.oc * kMinutesPerDay);
            const bool hollow = r.flag == kFlagExcluded;
            mark(in, x, y, second, hollow);
            (second ? secondaries : primaries) = true;
            leftOut = leftOut || (!r.flag.empty() && r.flag != kFlagExcluded);
            byHand = byHand || r.flag == kFlagExcluded;
            plot.marks[k] = {x, y, x0 <= x && x <= x1 && y0 <= y && y <= y1};
        }
    if (view.selected && *view.selected < rows.size()) {
        const OcPlot::Mark& m = plot.marks[*view.selected];
        in.SetColour(kPurple);
        in.Circle(m.x, m.y, 2 * kDotRadius);
        in.Circle(m.x, m.y, 2 * kDotRadius + 15);
    }
    if (!view.zoom.Whole()) d.Append(ClippedTo(whole, {x0, y0, x1, y1}));

    // The legend, top left inside the frame: a sample of each mark and what it is.
    double row = y0 + 250;
    const auto entry = [&](Rgb colour, const std::string& text, int sample) {
        d.SetColour(colour);
        if (sample > 0)
            mark(d, x0 + 350, row, sample == 2, sample == 3);
        else
            d.Line(x0 + 150, row, x0 + 550, row);
        plot.texts.push_back({x0 + 700, row, text, colour, false});
        row += 280;
    };
    if (primaries || !secondaries) entry(kBlack, secondaries ? "primary minima, +-1 error" : "minima, +-1 error", 1);
    if (secondaries) entry(kBlack, "secondary minima, +-1 error", 2);
    if (leftOut) entry(kSilver, "left out of the fits", 1);
    if (byHand) entry(kSilver, "left out by hand", 3);
    if (linear) entry(kLinearFitColour, "linear ephemeris", 0);
    if (quadratic) entry(kQuadraticFitColour, "quadratic ephemeris", 0);
    return plot;
}

}  // namespace umbrix
