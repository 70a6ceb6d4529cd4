// The pure parts behind zooming, clipping and the readable axes, checked against values worked
// by hand on a frame of 1000 x 1000 twips that shows days 0..1 and magnitudes 10..11.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "timing/core/files/window_placement.h"
#include "timing/draw/display_list.h"
#include "timing/draw/light_curve_plot.h"
#include "timing/draw/plot_zoom.h"

namespace umbrix {
namespace {

PlotScale UnitScale() {
    return {{0, 1000, 0, 1000}, MakeAxis(0, 1, 1), MakeAxis(10, 11, 1)};
}

TEST(PlotZoomTest, WheelKeepsTheTimeAndMagnitudeUnderThePointer) {
    const PlotScale whole = UnitScale();
    // Halving about x = 250, y = 800: day 0.25 keeps its place a quarter of the way across,
    // so the days shown are 0.125 .. 0.625; magnitude 10.8 likewise, 10.4 .. 10.9.
    const PlotZoom z = ZoomAbout({}, whole.frame, 250, 800, 0.5);
    const PlotScale shown = ZoomedScale(whole, z);
    EXPECT_NEAR(shown.time.min, 0.125, 1e-12);
    EXPECT_NEAR(shown.time.max, 0.625, 1e-12);
    EXPECT_NEAR(shown.mag.min, 10.4, 1e-12);
    EXPECT_NEAR(shown.mag.max, 10.9, 1e-12);
    EXPECT_NEAR(shown.TimeAt(250), 0.25, 1e-12);
    EXPECT_NEAR(shown.MagAt(800), 10.8, 1e-12);
    // Zooming out further than the whole ends at the whole.
    EXPECT_TRUE(ZoomAbout(z, whole.frame, 250, 800, 10).Whole());
    // Zooming in stops at a thousandth of the whole span.
    PlotZoom deep;
    for (int i = 0; i < 100; ++i) deep = ZoomAbout(deep, whole.frame, 500, 500, 0.5);
    EXPECT_NEAR(deep.timeTo - deep.timeFrom, kMinZoomShare, 1e-15);
}

TEST(PlotZoomTest, DragMovesThePointsWithThePointerAndStopsAtTheEnds) {
    const PlotFrame frame = UnitScale().frame;
    const PlotZoom half = ZoomAbout({}, frame, 500, 500, 0.5);  // days 0.25 .. 0.75
    // Dragging 200 twips to the right shows earlier days: 0.2 of the frame is 0.1 day here.
    const PlotZoom right = PanBy(half, frame, 200, 0);
    EXPECT_NEAR(right.timeFrom, 0.15, 1e-12);
    EXPECT_NEAR(right.timeTo, 0.65, 1e-12);
    EXPECT_EQ(right.magFrom, half.magFrom);
    // Far past the start: the view ends at day 0 with its width kept.
    const PlotZoom far = PanBy(half, frame, 5000, 0);
    EXPECT_EQ(far.timeFrom, 0.0);
    EXPECT_NEAR(far.timeTo, 0.5, 1e-12);
    // The whole cannot move at all.
    EXPECT_TRUE(PanBy({}, frame, 300, -300).Whole());
}

TEST(ClippedToTest, CutsLinesAtTheEdgesAndDropsMarksOutside) {
    DisplayList list;
    list.Line(-100, 50, 100, 50);    // enters through the left edge
    list.Line(-50, -50, 150, 150);   // the diagonal, through two corners
    list.Line(300, 0, 400, 100);     // wholly outside
    list.Line(10, 10, 20, 20);       // wholly inside, kept to the last bit
    list.Circle(50, 120, 15);        // centre below the rectangle
    list.Circle(100, 100, 15);       // centre on its corner
    list.Text(-80, 50, "0.45", TextAnchor::TopCentre);
    const DisplayList cut = ClippedTo(list, {0, 0, 100, 100});
    const auto& c = cut.Commands();
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ((std::array{c[0].x1, c[0].y1, c[0].x2, c[0].y2}), (std::array{0.0, 50.0, 100.0, 50.0}));
    EXPECT_EQ((std::array{c[1].x1, c[1].y1, c[1].x2, c[1].y2}), (std::array{0.0, 0.0, 100.0, 100.0}));
    EXPECT_EQ((std::array{c[2].x1, c[2].y1, c[2].x2, c[2].y2}), (std::array{10.0, 10.0, 20.0, 20.0}));
    EXPECT_EQ(c[3].kind, DrawKind::Circle);
    EXPECT_EQ(c[3].x1, 100.0);
    // Texts stand outside the frame on purpose (the axis values) and are kept.
    EXPECT_EQ(c[4].kind, DrawKind::Text);
    EXPECT_EQ(c[4].text, "0.45");
}

// A steep curve leaving through the top at uneven slopes (the parabola's band): every cut end
// lies on the rectangle, not a rounding below its edge.
TEST(ClippedToTest, CutEndsLieOnTheEdgeToTheLastBit) {
    const ClipRect rect{1234.5, 227.0, 7654.3, 4321.1};
    DisplayList list;
    for (int k = 1; k <= 400; ++k) list.Line(1000 + 17.3 * k, 4000.7 - 0.37 * k, 1300 + 15.1 * k, -3.3 * k);
    int cut = 0;
    const DisplayList clipped = ClippedTo(list, rect);
    for (const DrawCommand& c : clipped.Commands()) {
        EXPECT_TRUE(rect.Contains(c.x1, c.y1) && rect.Contains(c.x2, c.y2))
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
        cut += std::abs(c.y2 - rect.top) < 1e-9;  // each one cut at the top
    }
    EXPECT_EQ(cut, 400);
}

// A main window of 760 x 420 pixels at the top left of a 1280 x 1024 screen, in twips.
constexpr ScreenRect kMain{0, 0, 11400, 6300};
constexpr ScreenRect kScreen{0, 0, 19200, 15360};

TEST(PlaceBesideMainTest, OpensRightOfTheMainWindowWhereItFitsElseBelowIt) {
    // A method window's default size fits in the 7680 twips right of the main window.
    const WindowPlacement beside = PlaceBesideMain({8100, 5600, 7200, 5400}, kMain, kScreen, 450, 120);
    EXPECT_EQ(beside, (WindowPlacement{11520, 0, 7200, 5400}));
    // The Fourier window's 8800 do not: it goes under the main window's left edge.
    const WindowPlacement below = PlaceBesideMain({6500, 4600, 8800, 6500}, kMain, kScreen, 450, 120);
    EXPECT_EQ(below, (WindowPlacement{0, 6420, 8800, 6500}));
    // On a screen too small for either, the larger space holds it, shrunk to fit it.
    const ScreenRect small{0, 0, 14400, 9000};
    const WindowPlacement shrunk = PlaceBesideMain({6500, 4600, 8800, 6500}, kMain, small, 450, 120);
    EXPECT_LE(shrunk.left + shrunk.width, small.right());
    EXPECT_LE(shrunk.top + shrunk.height + 450, small.bottom());
    EXPECT_TRUE(shrunk.left >= kMain.right() || shrunk.top >= kMain.bottom());
}

TEST(ReadableAxesTest, GridValuesNeverTouchTheSpecifiedLabelsAndStepsSayWhatTheyAre) {
    // A window's frame of 600 x 267 pixels with the usual margins, days 0..1, 10..11 mag.
    const PlotScale scale{{500, 9500, 242, 4242}, MakeAxis(0, 1, 1), MakeAxis(10, 11, 1)};
    AxisLabels labels;
    const AxisGrid time = GridFor(scale.time), mag = GridFor(scale.mag);  // 0.2 d, 0.2 mag
    TimeLabels(labels, scale, time, 4292, 4492);
    MagLabels(labels, scale, mag, 6);
    DisplayList list;
    const TextMetrics m{100, 240};
    ReadableAxes(list, labels, scale, time, mag, TimeAxisTitle("HJD", 2454123), m);
    EXPECT_EQ(labels[3].caption, "grid 0.2 d");
    EXPECT_EQ(labels[6].caption, "grid 0.2 mag");
    EXPECT_EQ(labels[6].top, labels[3].top);
    std::vector<std::string> times, mags, titles;
    for (const DrawCommand& c : list.Commands()) {
        if (c.kind != DrawKind::Text) continue;
        if (c.anchor == TextAnchor::TopCentre) {
            times.push_back(c.text);
            // Clear of Label1 and Label2, which show the values of lines 1 and 4.
            for (int i : {1, 2}) {
                const double half = c.text.size() * m.charWidth / 2;
                const double left = labels[i].left, right = left + labels[i].caption.size() * m.charWidth;
                EXPECT_TRUE(c.x1 + half <= left || right <= c.x1 - half) << c.text;
            }
        } else if (c.anchor == TextAnchor::MiddleRight) {
            mags.push_back(c.text);
        } else {
            titles.push_back(c.text);
        }
    }
    // The step 0.2 in single precision is a little over 0.2, so the last grid line is k = 4
    // (0.8): Label1 shows line 1 (0.2), Label2 line kLast - 1 = 3 (0.6); lines 0, 2 and 4 get
    // their values.
    EXPECT_EQ(times, (std::vector<std::string>{"0.0", "0.4", "0.8"}));
    EXPECT_EQ(titles, (std::vector<std::string>{"HJD - 2454123", "magnitude"}));
    // Left of the frame, clear of Label4 and Label5, which show 10.0 and the last line, 10.8
    // (k = 54 for the same reason).
    EXPECT_EQ(mags, (std::vector<std::string>{"10.2", "10.4", "10.6"}));
}

}  // namespace
}  // namespace umbrix
