#pragma once
// The plot of the import window: a whole long light curve with its eclipses' windows marked,
// as a display list in twips, composed of the light-curve plot's steps (frame, grids, labels)
// as the method windows compose them. Standard C++ only: tests read the list without a widget.
//
// A survey sector holds tens of thousands of points, far more than a frame has pixel columns.
// Above kMaxDrawnPoints points in the span shown, the curve is drawn as one vertical line per
// pixel column from its faintest to its brightest point, so that an eclipse a few points deep
// stays as visible as it would be point by point, at a fraction of the drawing.

#include <cstddef>
#include <string>
#include <vector>

#include "timing/core/long/long_curve.h"
#include "timing/core/long/long_eclipses.h"
#include "timing/draw/display_list.h"
#include "timing/draw/light_curve_plot.h"
#include "timing/draw/plot_scale.h"

namespace umbrix {

inline constexpr std::size_t kMaxDrawnPoints = 5000;

// The windows' bands: a covered eclipse's in green, one that cannot be timed in orange.
inline constexpr Rgb kCoveredBand{200, 235, 200};
inline constexpr Rgb kNotCoveredBand{250, 215, 175};

struct LongCurvePlot {
    PlotScale scale;  // times relative to the plot's day offset
    // The value of every grid line that has room for its text: times centred under the frame
    // at timeTop, magnitudes right-aligned left of it (their `left` is their right edge).
    std::vector<AxisLabel> timeTicks, magTicks;
    bool decimated = false;  // drawn per pixel column rather than point by point
};


// The time axis of the whole curve, days relative to offset, with a fiftieth of its span to
// spare at either end (at least 0.002 day, as the single-night plots keep).
AxisRange WholeTimeAxis(const LongCurve& curve, double offset);
// The magnitude axis: every point's, with a twentieth of the span to spare.
AxisRange MagnitudeAxis(const LongCurve& curve);

// The span shown after zooming by factor (below 1: in) about relative time t, which stays
// where it was on the screen. Never wider than `whole` nor outside it, and never narrower
// than kMinZoomSpan.
inline constexpr double kMinZoomSpan = 0.01;  // days
AxisRange ZoomedAxis(const AxisRange& shown, const AxisRange& whole, double t, double factor);
// The same span moved to be centred on t, as far as `whole` allows.
AxisRange AxisCentredOn(const AxisRange& shown, const AxisRange& whole, double t);

// Draws the curve on `frame` over the time span `shown` (relative to offset): frame, the
// eclipses' bands (the selected one between purple lines at its window's ends), the grids,
// the points in red. selected: an index into eclipses, or -1. The time ticks stand at timeTop.
LongCurvePlot DrawLongCurve(DisplayList& list, const LongCurve& curve,
                            const std::vector<LongEclipse>& eclipses, double offset,
                            const PlotFrame& frame, const AxisRange& shown, int selected,
                            double timeTop);

// The eclipse whose window holds relative time t (the nearest centre when windows overlap);
// -1 when none does.
int EclipseAt(const std::vector<LongEclipse>& eclipses, double offset, double t);

}  // namespace umbrix
