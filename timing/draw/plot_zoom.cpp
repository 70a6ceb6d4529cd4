#include "timing/draw/plot_zoom.h"

#include <algorithm>
#include <cmath>

namespace umbrix {

namespace {

// One axis: [from, to] zoomed about the share `at` of the shown part.
void ZoomShare(double& from, double& to, double at, double factor) {
    const double shown = to - from;
    const double span = std::clamp(shown * factor, kMinZoomShare, 1.0);
    const double pivot = from + at * shown;
    from = std::clamp(pivot - at * span, 0.0, 1.0 - span);
    to = span == 1.0 ? 1.0 : from + span;
}

void PanShare(double& from, double& to, double by) {
    const double span = to - from;
    from = std::clamp(from + by * span, 0.0, 1.0 - span);
    to = span == 1.0 ? 1.0 : from + span;
}

// Where a position lies along a frame edge of `length` twips starting at `start`, as a share.
double Along(double position, double start, double length) {
    if (!(length > 0) || !std::isfinite(position)) return 0.5;
    return std::clamp((position - start) / length, 0.0, 1.0);
}

AxisRange Narrowed(const AxisRange& whole, double from, double to) {
    const double min = whole.min + from * whole.span;
    const double max = whole.min + to * whole.span;
    return MakeAxis(min, max, max - min);
}

}  // namespace

PlotScale ZoomedScale(const PlotScale& whole, const PlotZoom& zoom) {
    if (zoom.Whole()) return whole;
    return {whole.frame, Narrowed(whole.time, zoom.timeFrom, zoom.timeTo),
            Narrowed(whole.mag, zoom.magFrom, zoom.magTo)};
}

PlotZoom ZoomAbout(const PlotZoom& zoom, const PlotFrame& frame, double x, double y, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return zoom;
    PlotZoom z = zoom;
    ZoomShare(z.timeFrom, z.timeTo, Along(x, frame.PlotLeft, frame.PlotWidth()), factor);
    ZoomShare(z.magFrom, z.magTo, Along(y, frame.PlotTop, frame.PlotHeight()), factor);
    return z;
}

PlotZoom PanBy(const PlotZoom& zoom, const PlotFrame& frame, double dx, double dy) {
    if (!(frame.PlotWidth() > 0) || !(frame.PlotHeight() > 0) || !std::isfinite(dx) || !std::isfinite(dy))
        return zoom;
    PlotZoom z = zoom;
    PanShare(z.timeFrom, z.timeTo, -dx / frame.PlotWidth());
    PanShare(z.magFrom, z.magTo, -dy / frame.PlotHeight());
    return z;
}

}  // namespace umbrix
