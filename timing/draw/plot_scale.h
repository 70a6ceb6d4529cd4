#pragma once
// The plot frame and the mapping between data (days, signed magnitudes) and twips of the
// drawing surface. Standard C++ only, so that tests and the computation of the method
// windows use it without a widget.

#include <string>

namespace umbrix {

// Distances of the frame from the edges of the window, in twips. The light-curve plot uses
// these; method windows with controls beside or under the plot pass their own.
struct FrameMargins {
    int left = 500;     // PlotLeft
    int right = 415;    // window width - PlotRight
    int top = 242;      // PlotTop
    int bottom = 1850;  // window height - PlotBottom
};

// PlotLeft .. PlotBottom in twips. A window smaller than its margins gives a negative width
// or height; the mapping stays finite, only mirrored.
struct PlotFrame {
    int PlotLeft = 0, PlotRight = 0, PlotTop = 0, PlotBottom = 0;
    int PlotWidth() const { return PlotRight - PlotLeft; }
    int PlotHeight() const { return PlotBottom - PlotTop; }
};

// Window sizes are 16-bit twips: anything outside 0..32767 is clamped first.
PlotFrame FrameForWindow(int windowWidth, int windowHeight, const FrameMargins& margins = {});

// One axis of the data: its lowest and highest value and the span the mapping divides by.
// Built only through MakeAxis, which guarantees a finite, positive span.
struct AxisRange {
    double min = 0, max = 1, span = 1;
};

// An axis from extremes as the data set keeps them. A span that is zero, negative (the
// extremes of an empty working set), not finite, or too small to tell grid lines apart at
// single precision (below 1e-6 of the values) becomes a span of 1 centred on the middle of
// min and max, so that a single point or a flat curve plots in the middle of the frame.
AxisRange MakeAxis(double min, double max, double span);

struct PlotScale {
    PlotFrame frame;
    AxisRange time;
    AxisRange mag;

    // x(t) = PlotLeft + PlotWidth * (t - time.min) / time.span, and y(m) likewise; larger
    // magnitudes lie lower.
    double X(double t) const;
    double Y(double m) const;
    // The inverse, used to turn a click into data units. A frame of zero width or height
    // maps every position to the axis minimum.
    double TimeAt(double x) const;
    double MagAt(double y) const;
};

// A tick value as an axis label shows it: as many decimals as the step between ticks needs
// (none for steps of 1 and more, at most 9), and a value within a millionth of a step of zero
// as 0, never "-0".
std::string TickText(double value, double step);

}  // namespace umbrix
