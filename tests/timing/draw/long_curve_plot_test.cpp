// The import window's plot as a display list: a long curve drawn per pixel column, and the
// eclipses' windows marked by whether they can be timed.

#include <gtest/gtest.h>

#include <algorithm>

#include "timing/draw/long_curve_plot.h"

namespace umbrix {
namespace {

constexpr double kOffset = 2459000;

// 20000 points over 10 days at magnitude 10 +- 0.0005, one of them alone at 10.5: a dip one
// point deep, which a plot that drew every n-th point would lose.
LongCurve FlatCurveWithOneFaintPoint(int points) {
    LongCurve c;
    for (int i = 0; i < points; ++i) {
        c.time.push_back(kOffset + i * 0.0005);
        c.mag.push_back(i == 12345 % points ? 10.5 : 10 + (i % 2 ? 0.0005 : -0.0005));
    }
    return c;
}

LongEclipse Window(double centre, bool covered) {
    LongEclipse e;
    e.centre = kOffset + centre;
    e.from = e.centre - 0.05;
    e.to = e.centre + 0.05;
    e.covered = covered;
    return e;
}

// Every line of this colour, as the x it stands at.
std::vector<double> XsOf(const DisplayList& list, Rgb colour) {
    std::vector<double> xs;
    for (const DrawCommand& c : list.Commands())
        if (c.colour == colour && c.kind == DrawKind::Line) xs.push_back(c.x1);
    return xs;
}

TEST(LongCurvePlotTest, DecimatedCurveKeepsALoneFaintPointAndBandsTellCoverage) {
    const LongCurve curve = FlatCurveWithOneFaintPoint(20000);
    const std::vector<LongEclipse> eclipses = {Window(2, true), Window(7, false)};
    const PlotFrame frame = FrameForWindow(15000, 6000, {750, 300, 200, 700});
    DisplayList list;
    const LongCurvePlot plot = DrawLongCurve(list, curve, eclipses, kOffset, frame,
                                             WholeTimeAxis(curve, kOffset), -1, 5400);
    ASSERT_TRUE(plot.decimated);

    // One red stroke per pixel column of the frame, not one per point; the data fill all
    // columns but those of the axis's margins (a fiftieth of the span at either end).
    std::vector<DrawCommand> red;
    for (const DrawCommand& c : list.Commands())
        if (c.colour == kRed) red.push_back(c);
    const std::size_t columns = static_cast<std::size_t>(frame.PlotWidth() / 15);
    EXPECT_LE(red.size(), columns + 1);
    EXPECT_GE(red.size(), columns * 95 / 100);
    // The faint point's column reaches down to it. The magnitude axis runs from 9.9995 to 10.5
    // with a twentieth of that span added at either end, so 10.5 lies 21/22 of the way down.
    const double faintY = frame.PlotTop + frame.PlotHeight() * 21.0 / 22;
    const auto lowest = std::max_element(red.begin(), red.end(), [](const DrawCommand& a, const DrawCommand& b) {
        return std::max(a.y1, a.y2) < std::max(b.y1, b.y2);
    });
    EXPECT_NEAR(std::max(lowest->y1, lowest->y2), faintY, 1e-6);

    // Each window's band in its own colour, and only over its own window.
    const auto inside = [&](const std::vector<double>& xs, const LongEclipse& e) {
        return !xs.empty() && std::all_of(xs.begin(), xs.end(), [&](double x) {
            return x >= plot.scale.X(e.from - kOffset) - 1e-6 && x <= plot.scale.X(e.to - kOffset) + 1e-6;
        });
    };
    EXPECT_TRUE(inside(XsOf(list, kCoveredBand), eclipses[0]));
    EXPECT_TRUE(inside(XsOf(list, kNotCoveredBand), eclipses[1]));

    // Each tick label stands under (or beside) the grid line of the value it reads, with room
    // between neighbours, and reads no more decimals than the step has.
    ASSERT_GE(plot.timeTicks.size(), 3u);
    for (std::size_t k = 0; k < plot.timeTicks.size(); ++k) {
        const AxisLabel& t = plot.timeTicks[k];
        EXPECT_NEAR(std::stod(t.caption), plot.scale.TimeAt(t.left), 1e-6) << t.caption;
        if (k > 0) {
            EXPECT_GE(t.left - plot.timeTicks[k - 1].left, 1000 - 1e-6);
        }
    }
    ASSERT_GE(plot.magTicks.size(), 2u);
    for (const AxisLabel& m : plot.magTicks)
        EXPECT_NEAR(std::stod(m.caption), plot.scale.MagAt(m.top), 1e-6) << m.caption;
    EXPECT_EQ(TickText(0.4000000059604645, 0.05f), "0.40");
    EXPECT_EQ(TickText(-0.0, 0.1f), "0.0");
    EXPECT_EQ(TickText(25, 5), "25");

    // A curve of fewer points is drawn point by point (a dot is 15 circles).
    DisplayList few;
    const LongCurve short_curve = FlatCurveWithOneFaintPoint(4000);
    EXPECT_FALSE(DrawLongCurve(few, short_curve, {}, kOffset, frame, WholeTimeAxis(short_curve, kOffset), -1, 5400)
                     .decimated);
    EXPECT_EQ(std::count_if(few.Commands().begin(), few.Commands().end(),
                            [](const DrawCommand& c) { return c.colour == kRed && c.kind == DrawKind::Circle; }),
              4000 * 15);
}

}  // namespace
}  // namespace umbrix
