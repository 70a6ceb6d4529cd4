#pragma once
// The light-curve plot, as six steps every plot window composes: Frame, Points, Time grid,
// Time labels, Magnitude grid, Magnitude labels. PlotLightCurve runs them for the plot/edit
// window on the frozen extremes; a method window runs the same steps with its own frame
// margins, its own scale (working extremes), its own points and its own label tops.
// Standard C++ only: the steps write a display list and label texts, never a widget.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "timing/core/data/data_set.h"
#include "timing/draw/display_list.h"
#include "timing/draw/plot_scale.h"
#include "timing/draw/plot_zoom.h"

namespace umbrix {

// Grid lines of one axis: values step * k for k = kFirst..kLast. The step is a power of ten
// times 1, 2 or 5 and is kept in single precision: the labels show the small errors that
// brings (0.01 * 45 is 0.44999999, which FormatFixed rounds back to "0.45").
struct AxisGrid {
    bool valid = false;  // false when the axis allows no grid (nothing is drawn then)
    float step = 0;
    std::int64_t kFirst = 0, kLast = 0;
    double Value(std::int64_t k) const { return static_cast<double>(step) * static_cast<double>(k); }
};

// e = floor(ln(span) / 2.302585), p = 10^e; n = 10, 5 or 2 as span / p is at least 5, at
// least 2, or less; step = p * n / 10; kFirst = floor(min / step), kLast = floor(max / step).
// The constant 2.302585 is kept as it is: with it a span of exactly 0.1 gives e = -2.
AxisGrid GridFor(const AxisRange& axis);

// A text label of the window: caption, left and top in twips.
struct AxisLabel {
    std::string caption;
    double left = 0, top = 0;
};
// Label[1..6]: first and second labelled time, time step, upper and lower magnitude value,
// magnitude step. Label[0] is unused.
using AxisLabels = std::array<AxisLabel, 7>;

// How a single-precision value is shown as a step label: at most 7 significant digits, a
// leading blank for values >= 0, no zero before the point (" .05", " 2", " 1E-05").
std::string SingleText(float value);

// Nearest 16-bit integer, halves to even; values outside the range are clamped, NaN is 0.
int Nint16(double value);

// --- Frame -----------------------------------------------------------------------------------
// Clears the surface (to the background colour when one is given) and draws the frame as four
// black lines, clockwise from the top left corner.
void DrawFrame(DisplayList& list, const PlotFrame& frame, std::optional<Rgb> background);

// --- Points ----------------------------------------------------------------------------------
// A dot: 15 concentric circles of radius 1..15 twips in the current colour.
void DrawDot(DisplayList& list, double x, double y);
// A cross of two lines 100 twips from the centre each way, in the current colour.
void DrawCross(DisplayList& list, double x, double y);
// Every point read, red: a dot, or a cross when the point is deleted (the plot/edit window).
void DrawAllPoints(DisplayList& list, const PlotScale& scale, const DataSet& ds);
// The working points only, as red dots (the method windows).
void DrawWorkingPoints(DisplayList& list, const PlotScale& scale, const DataSet& ds);

// --- Time grid -------------------------------------------------------------------------------
// A silver line from top to bottom of the frame with black 100-twip ticks at both ends for
// every grid value whose x lies within the frame.
void DrawTimeGrid(DisplayList& list, const PlotScale& scale, const AxisGrid& grid);

// --- Time labels -----------------------------------------------------------------------------
// Label1 and Label2 give the values of grid lines kFirst + 1 and kLast - 1, centred on their
// x, at valuesTop; Label3 gives the step at stepTop, 0.66 of the way across the frame.
// decimals = nint(-ln step); width = nint(ln(first value) + decimals + 3). When the first
// labelled value is zero or negative its logarithm does not exist; the width is then
// decimals + 3, which holds "-0." and the decimals of any value below 1 in size.
void TimeLabels(AxisLabels& labels, const PlotScale& scale, const AxisGrid& grid,
                double valuesTop, double stepTop);

// --- Magnitude grid --------------------------------------------------------------------------
// A silver line across the frame with black 100-twip ticks at both ends for every grid value
// whose y lies within the frame.
void DrawMagGrid(DisplayList& list, const PlotScale& scale, const AxisGrid& grid);

// --- Magnitude labels ------------------------------------------------------------------------
// Label4: the first grid value whose label (100 twips above its line) starts inside the frame,
// found by walking down from kFirst in steps of the grid spacing; Label5: the value of kLast;
// both FormatFixed(value, 5, 1) at the left edge of the window. Label6: the first stepChars
// characters of the step's text (5 in the plot/edit window, 6 in the method windows), 0.6 of
// the way down the frame.
void MagLabels(AxisLabels& labels, const PlotScale& scale, const AxisGrid& grid, int stepChars);

// --- Readable axes ---------------------------------------------------------------------------
// The six labels alone give two values per axis and a bare step (" .02") that reads like a
// third value. These additions make the axes readable without moving any value label.

// How wide a character and how high a line of text is in the font the window shows, twips.
struct TextMetrics {
    double charWidth = 105;
    double lineHeight = 240;
};

// The time axis's title: the file's time scale minus the day the times count from
// ("HJD - 2454123"), or the scale alone when nothing is subtracted.
std::string TimeAxisTitle(const std::string& timeScale, double dayOffset);

// Label3 and Label6 become "grid 0.02 d" and "grid 0.1 mag", Label6 on Label3's row right of
// it (at the left edge, as wide as it now is, it would cover the points). Then, in the list:
// the value of every grid line where it fits without touching a label or the value before it
// (time values centred under their lines at the time labels' top, magnitude values ending just
// left of the frame), the time title under the left end of the time axis on Label3's row, and
// "magnitude" above the left end of the frame.
void ReadableAxes(DisplayList& list, AxisLabels& labels, const PlotScale& scale,
                  const AxisGrid& timeGrid, const AxisGrid& magGrid, const std::string& timeTitle,
                  const TextMetrics& metrics);

// --- The whole plot of the plot/edit window --------------------------------------------------
struct LightCurvePlot {
    PlotScale scale;
    AxisGrid timeGrid, magGrid;
    AxisLabels labels;
};

// The scale of the plot/edit window: the frozen extremes, so that deleting and restoring
// points never moves the plot.
PlotScale FrozenScale(const PlotFrame& frame, const DataSet& ds);
// The scale of the method windows: the extremes of the working set.
PlotScale WorkingScale(const PlotFrame& frame, const DataSet& ds);

// Clears the list and runs the six steps for a window of the given outer size in twips:
// white background, every point read (deleted ones as crosses), frozen scale narrowed to the
// part the window shows (the whole unless the user zoomed).
LightCurvePlot PlotLightCurve(DisplayList& list, const DataSet& ds, int windowWidth,
                              int windowHeight, const PlotZoom& zoom = {});

// --- Picking ---------------------------------------------------------------------------------
// The point nearest to (t, m) among all points read, deleted ones included, by the plain sum
// of squared differences in days and magnitudes (no scaling between the axes). Ties keep the
// earlier point; 0 when no point lies within a squared distance of 9999.
int NearestPoint(const DataSet& ds, double t, double m);

// The blue cross-hair over a picked point: two lines crossing at (x, y), each reaching
// kCrossHairArm twips to either side.
inline constexpr double kCrossHairArm = 200;
void DrawCrossHair(DisplayList& list, double x, double y);

}  // namespace umbrix
