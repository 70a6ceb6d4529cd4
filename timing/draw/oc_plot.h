#pragma once
// The O-C diagram as a display list and its texts: O-C in minutes against the cycle number,
// each minimum with its error bar, the fitted ephemerides as lines, and a legend. Standard
// C++ only; the export (Qt) paints the list and sets the texts beside it.

#include <optional>
#include <string>
#include <vector>

#include "timing/core/oc/oc.h"
#include "timing/draw/display_list.h"

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
};

inline constexpr Rgb kLinearFitColour = kBlue;
inline constexpr Rgb kQuadraticFitColour = kRed;

// The diagram of rows against the trial ephemeris t0 + p E, with the fits that succeeded
// drawn as the O-C they predict.
OcPlot DrawOc(const std::vector<OcRow>& rows, double t0, double p, const Ephemeris* linear,
              const Ephemeris* quadratic);

// Round tick steps for a span: 1, 2 or 5 times a power of ten, about `ticks` of them.
double NiceStep(double span, int ticks);

}  // namespace umbrix
