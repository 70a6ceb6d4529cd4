#pragma once
// The part of a plot's whole scale a window shows. Every plot window opens on the whole; the
// wheel zooms about the pointer, a drag pans, a double-click shows the whole again. Held as
// shares of the whole axes, so that a view survives a resize and the working extremes moving
// when points are deleted. Standard C++ only.

#include "timing/draw/plot_scale.h"

namespace umbrix {

struct PlotZoom {
    // The shares of the whole time and magnitude axes shown, 0 <= from < to <= 1.
    double timeFrom = 0, timeTo = 1;
    double magFrom = 0, magTo = 1;
    bool Whole() const { return timeFrom == 0 && timeTo == 1 && magFrom == 0 && magTo == 1; }
    friend bool operator==(const PlotZoom&, const PlotZoom&) = default;
};

// Zooming in stops at a thousandth of the whole span: the grid steps and tick texts stay
// meaningful in single precision there, and no user is lost in an empty corner.
inline constexpr double kMinZoomShare = 1e-3;
// One notch of a common wheel zooms in (or out) by this factor.
inline constexpr double kZoomPerNotch = 1.25;

// The scale a window draws with: the whole scale narrowed to the shares shown.
PlotScale ZoomedScale(const PlotScale& whole, const PlotZoom& zoom);

// Zoomed by `factor` (below 1: in) about the position (x, y) twips of the frame, which keeps
// showing the same time and magnitude; a position outside the frame counts as its nearest edge.
// The view never reaches past the whole, and zooming out ends at the whole.
PlotZoom ZoomAbout(const PlotZoom& zoom, const PlotFrame& frame, double x, double y, double factor);

// Moved as a drag of (dx, dy) twips moves it: the points follow the pointer, as far as the
// whole allows.
PlotZoom PanBy(const PlotZoom& zoom, const PlotFrame& frame, double dx, double dy);

}  // namespace umbrix
