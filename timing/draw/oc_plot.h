#pragma once
// The O-C diagram as a display list and its texts: O-C in minutes against the cycle number,
// each minimum with its error bar, the fitted ephemerides as lines, and a legend. Standard
// C++ only; the export (Qt) paints the list and sets the texts beside it.

#include <optional>
#include <string>
#include <vector>

#include "timing/core/oc/oc.h"
#include "timing/draw/display_list.h"
#include "timing/draw/plot_scale.h"
#include "timing/draw/plot_zoom.h"

namespace umbrix {

struct PlotText {
    double x = 0, y = 0;  // twips: the text's left end (right end when alignRight), mid-height
    std::string text;
    Rgb colour = kBlack;
    bool alignRight = false;
};

struct OcPlot {
    double width = 9000, height = 6000;  // twips: 600 x 400 logical pixels
    DisplayList list;
    std::vector<PlotText> texts;
    // Where the axes stand (twips), and each row's mark (in the order of the rows) on the
    // part shown: what a click is mapped with.
    PlotFrame frame;
    struct Mark {
        double x = 0, y = 0;
        bool shown = false;  // inside the frame
    };
    std::vector<Mark> marks;
};

// What a window shows of the diagram: its size, the part of the whole axes (shares of E from
// the left and of O-C from the top, as the light-curve windows zoom), and the row it marks as
// chosen (a purple ring), if any.
struct OcView {
    double width = 9000, height = 6000;  // twips
    PlotZoom zoom;
    std::optional<std::size_t> selected;
};

inline constexpr Rgb kLinearFitColour = kBlue;
inline constexpr Rgb kQuadraticFitColour = kRed;

// The diagram of rows against the trial ephemeris t0 + p E, with the fits that succeeded
// drawn as the O-C they predict. A row left out of the fits is silver; one left out by hand
// (kFlagExcluded) is drawn hollow as well. Zoomed, everything inside the frame is cut at it.
OcPlot DrawOc(const std::vector<OcRow>& rows, double t0, double p, const Ephemeris* linear,
              const Ephemeris* quadratic, const OcView& view);
// The whole diagram at 9000 x 6000 twips, as --plot draws it.
OcPlot DrawOc(const std::vector<OcRow>& rows, double t0, double p, const Ephemeris* linear,
              const Ephemeris* quadratic);

// How far from a mark (twips) a click still picks it: 10 logical pixels.
inline constexpr double kOcPickReach = 150;

// The row whose mark shown lies nearest (x, y) twips, when one lies within reach.
std::optional<std::size_t> OcRowAt(const OcPlot& plot, double x, double y, double reach = kOcPickReach);

// Round tick steps for a span: 1, 2 or 5 times a power of ten, about `ticks` of them.
double NiceStep(double span, int ticks);

}  // namespace umbrix
