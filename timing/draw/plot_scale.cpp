#include "timing/draw/plot_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace umbrix {

namespace {
constexpr int kMaxTwips = 32767;
// Below this fraction of the values a span cannot carry single-precision grid steps.
constexpr double kSmallestRelativeSpan = 1e-6;
}  // namespace

PlotFrame FrameForWindow(int windowWidth, int windowHeight, const FrameMargins& margins) {
    const int w = std::clamp(windowWidth, 0, kMaxTwips);
    const int h = std::clamp(windowHeight, 0, kMaxTwips);
    PlotFrame f;
    f.PlotLeft = margins.left;
    f.PlotRight = w - margins.right;
    f.PlotTop = margins.top;
    f.PlotBottom = h - margins.bottom;
    return f;
}

AxisRange MakeAxis(double min, double max, double span) {
    const double scale = std::max({1.0, std::fabs(min), std::fabs(max)});
    if (std::isfinite(min) && std::isfinite(max) && std::isfinite(span) && max >= min &&
        span >= kSmallestRelativeSpan * scale)
        return {min, max, span};
    double centre = (std::isfinite(min) && std::isfinite(max)) ? min / 2 + max / 2 : 0.0;
    if (!std::isfinite(centre)) centre = 0;
    return {centre - 0.5, centre + 0.5, 1.0};
}

double PlotScale::X(double t) const {
    return frame.PlotLeft + frame.PlotWidth() * (t - time.min) / time.span;
}

double PlotScale::Y(double m) const {
    return frame.PlotTop + frame.PlotHeight() * (m - mag.min) / mag.span;
}

double PlotScale::TimeAt(double x) const {
    if (frame.PlotWidth() == 0) return time.min;
    return time.min + time.span * (x - frame.PlotLeft) / frame.PlotWidth();
}

double PlotScale::MagAt(double y) const {
    if (frame.PlotHeight() == 0) return mag.min;
    return mag.min + mag.span * (y - frame.PlotTop) / frame.PlotHeight();
}

std::string TickText(double value, double step) {
    const int decimals = step > 0 ? std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 9) : 0;
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(value) < std::fabs(step) / 1e6 ? 0.0 : value);
    return text;
}

}  // namespace umbrix
