#include "timing/draw/light_curve_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/timing/gui/plot_fixture.h"

namespace umbrix {
namespace {

// Positions come from a handful of multiplications on values near 1e4 twips; anything
// closer than this is the same position.
constexpr double kTwipTolerance = 1e-6;

bool Near(double a, double b) { return std::fabs(a - b) <= kTwipTolerance; }

int CountLines(const DisplayList& list, Rgb colour, double x1, double y1, double x2, double y2) {
    int n = 0;
    for (const DrawCommand& c : list.Commands())
        if (c.kind == DrawKind::Line && c.colour == colour && Near(c.x1, x1) && Near(c.y1, y1) &&
            Near(c.x2, x2) && Near(c.y2, y2))
            ++n;
    return n;
}

int CountOfColour(const DisplayList& list, Rgb colour, DrawKind kind) {
    int n = 0;
    for (const DrawCommand& c : list.Commands()) n += c.colour == colour && c.kind == kind;
    return n;
}

// A dot: circles of every radius 1..15 about (x, y) in red.
bool HasRedDot(const DisplayList& list, double x, double y) {
    for (int r = 1; r <= 15; ++r) {
        bool found = false;
        for (const DrawCommand& c : list.Commands())
            found |= c.kind == DrawKind::Circle && c.colour == kRed && Near(c.x1, x) &&
                     Near(c.y1, y) && c.r == r;
        if (!found) return false;
    }
    return true;
}

bool HasRedCross(const DisplayList& list, double x, double y) {
    return CountLines(list, kRed, x - 100, y - 100, x + 100, y + 100) == 1 &&
           CountLines(list, kRed, x - 100, y + 100, x + 100, y - 100) == 1;
}

void ExpectAllFinite(const DisplayList& list, const LightCurvePlot& plot) {
    EXPECT_EQ(list.Dropped(), 0);
    for (const DrawCommand& c : list.Commands()) {
        ASSERT_TRUE(std::isfinite(c.x1) && std::isfinite(c.y1) && std::isfinite(c.x2) &&
                    std::isfinite(c.y2) && std::isfinite(c.r));
    }
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(std::isfinite(plot.labels[i].left)) << "Label" << i;
        EXPECT_TRUE(std::isfinite(plot.labels[i].top)) << "Label" << i;
        EXPECT_EQ(plot.labels[i].caption.find_first_of("nN"), std::string::npos)
            << "Label" << i << " reads \"" << plot.labels[i].caption << "\"";
    }
}

class LightCurvePlotTest : public testing::Test {
protected:
    void Plot(int width = kDefaultWidth, int height = kDefaultHeight) {
        plot = PlotLightCurve(list, ds, width, height);
    }
    DataSet ds = EclipseFixture();
    DisplayList list;
    LightCurvePlot plot;
};

TEST_F(LightCurvePlotTest, FrameIsLaidOutFromTheWindowSizeAndDrawnAsFourBlackLines) {
    Plot();
    const PlotFrame& f = plot.scale.frame;
    EXPECT_EQ(f.PlotLeft, 500);
    EXPECT_EQ(f.PlotRight, kDefaultWidth - 415);
    EXPECT_EQ(f.PlotTop, 242);
    EXPECT_EQ(f.PlotBottom, kDefaultHeight - 1850);
    ASSERT_GE(list.Commands().size(), 4u);
    EXPECT_EQ(list.Background(), kWhite);
    const auto& c = list.Commands();
    const double l = 500, r = kDefaultWidth - 415, t = 242, b = kDefaultHeight - 1850;
    const DrawCommand expected[4] = {{DrawKind::Line, kBlack, l, t, r, t, 0, {}, {}},
                                     {DrawKind::Line, kBlack, r, t, r, b, 0, {}, {}},
                                     {DrawKind::Line, kBlack, r, b, l, b, 0, {}, {}},
                                     {DrawKind::Line, kBlack, l, b, l, t, 0, {}, {}}};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c[static_cast<std::size_t>(i)], expected[i]) << i;
}

TEST_F(LightCurvePlotTest, PointsAreRedDotsAtTheirMappedPositionsOnTheFrozenScale) {
    Plot();
    const PlotFrame& f = plot.scale.frame;
    for (int i = 1; i <= ds.ReadCount; ++i) {
        const double x = f.PlotLeft + f.PlotWidth() * (ds.AllTime[i] - ds.FullTimeMin) / ds.FullTimeSpan;
        const double y = f.PlotTop + f.PlotHeight() * (ds.AllMag[i] - ds.FullMagMin) / ds.FullMagSpan;
        EXPECT_TRUE(HasRedDot(list, x, y)) << "point " << i;
    }
    // Brightest on the top edge, faintest on the bottom edge.
    EXPECT_TRUE(Near(plot.scale.Y(ds.AllMag[1]), f.PlotTop));
    EXPECT_TRUE(Near(plot.scale.Y(ds.AllMag[3]), f.PlotBottom));
    EXPECT_EQ(CountOfColour(list, kRed, DrawKind::Circle), 15 * ds.ReadCount);
    EXPECT_EQ(CountOfColour(list, kBlue, DrawKind::Line), 0);
}

TEST_F(LightCurvePlotTest, DeletedPointIsACrossAndTheScaleStays) {
    Plot();
    const PlotScale before = plot.scale;
    ASSERT_TRUE(SetDeleted(ds, 1, true));  // the earliest point: the working TimeMin moves
    EXPECT_NE(ds.TimeMin, ds.FullTimeMin);
    Plot();
    EXPECT_EQ(plot.scale.time.min, before.time.min);
    EXPECT_EQ(plot.scale.time.span, before.time.span);
    EXPECT_EQ(plot.scale.mag.min, before.mag.min);
    EXPECT_EQ(plot.scale.mag.span, before.mag.span);
    const double x = plot.scale.X(ds.AllTime[1]), y = plot.scale.Y(ds.AllMag[1]);
    EXPECT_TRUE(HasRedCross(list, x, y));
    EXPECT_FALSE(HasRedDot(list, x, y));
    EXPECT_EQ(CountOfColour(list, kRed, DrawKind::Circle), 15 * (ds.ReadCount - 1));
}

TEST_F(LightCurvePlotTest, WithEveryPointDeletedAllPointsStillShowAsCrosses) {
    for (int i = 1; i <= ds.ReadCount; ++i) ASSERT_TRUE(SetDeleted(ds, i, true));
    EXPECT_EQ(ds.PointCount, 0);
    Plot();
    EXPECT_EQ(CountOfColour(list, kRed, DrawKind::Circle), 0);
    for (int i = 1; i <= ds.ReadCount; ++i)
        EXPECT_TRUE(HasRedCross(list, plot.scale.X(ds.AllTime[i]), plot.scale.Y(ds.AllMag[i]))) << i;
    ExpectAllFinite(list, plot);
}

TEST_F(LightCurvePlotTest, TimeGridHasASilverLineAndTwoBlackTicksPerHundredthOfADay) {
    Plot();
    EXPECT_FLOAT_EQ(plot.timeGrid.step, 0.01f);
    EXPECT_EQ(plot.timeGrid.kFirst, 44);
    EXPECT_EQ(plot.timeGrid.kLast, 53);
    const PlotFrame& f = plot.scale.frame;
    // 0.44 lies left of the frame (TimeMin is 0.443); 0.45 .. 0.53 are inside.
    EXPECT_LT(plot.scale.X(plot.timeGrid.Value(44)), f.PlotLeft);
    for (int k = 45; k <= 53; ++k) {
        const double x = plot.scale.X(plot.timeGrid.Value(k));
        EXPECT_EQ(CountLines(list, kSilver, x, f.PlotTop, x, f.PlotBottom), 1) << k;
        EXPECT_EQ(CountLines(list, kBlack, x, f.PlotTop, x, f.PlotTop + 100), 1) << k;
        EXPECT_EQ(CountLines(list, kBlack, x, f.PlotBottom - 100, x, f.PlotBottom), 1) << k;
    }
}

TEST_F(LightCurvePlotTest, MagnitudeGridHasASilverLineAndTwoBlackTicksPerStep) {
    Plot();
    EXPECT_FLOAT_EQ(plot.magGrid.step, 0.05f);
    const PlotFrame& f = plot.scale.frame;
    int inside = 0;
    for (auto k = plot.magGrid.kFirst; k <= plot.magGrid.kLast; ++k) {
        const double y = plot.scale.Y(plot.magGrid.Value(k));
        if (y < f.PlotTop || y > f.PlotBottom) continue;
        ++inside;
        EXPECT_EQ(CountLines(list, kSilver, f.PlotLeft, y, f.PlotRight, y), 1) << k;
        EXPECT_EQ(CountLines(list, kBlack, f.PlotLeft, y, f.PlotLeft + 100, y), 1) << k;
        EXPECT_EQ(CountLines(list, kBlack, f.PlotRight - 100, y, f.PlotRight, y), 1) << k;
    }
    // 12.10, 12.15, ..., 12.40; the single-precision 12.45 falls just short of kLast.
    EXPECT_EQ(inside, 7);
    EXPECT_EQ(CountOfColour(list, kSilver, DrawKind::Line), 9 + 7);
}

TEST_F(LightCurvePlotTest, TimeLabelsShowTheSecondAndPenultimateGridValues) {
    Plot();
    const PlotScale& s = plot.scale;
    // 0.01f * 45 is 0.44999999; FormatFixed rounds it, width nint(ln 0.45 + 5 + 3) = 7.
    EXPECT_EQ(plot.labels[1].caption, "   0.45");
    EXPECT_DOUBLE_EQ(plot.labels[1].left, s.X(0.01f * 45.0) - 3.5 * 100);
    EXPECT_DOUBLE_EQ(plot.labels[1].top, kDefaultHeight - 1800);
    EXPECT_EQ(plot.labels[2].caption, "   0.52");
    EXPECT_DOUBLE_EQ(plot.labels[2].left, s.X(0.01f * 52.0) - 3.5 * 100);
    EXPECT_DOUBLE_EQ(plot.labels[2].top, kDefaultHeight - 1800);
    EXPECT_EQ(plot.labels[3].caption, " .01");
    EXPECT_DOUBLE_EQ(plot.labels[3].left, 500 + 0.66 * s.frame.PlotWidth());
    EXPECT_DOUBLE_EQ(plot.labels[3].top, kDefaultHeight - 1600);
}

TEST_F(LightCurvePlotTest, MagnitudeLabelsWalkDownToTheFirstLineInsideTheFrame) {
    Plot();
    const PlotScale& s = plot.scale;
    // kFirst is 241 (12.05, above the frame): the walk moves one step to 12.10.
    EXPECT_EQ(plot.magGrid.kFirst, 241);
    const int dy = static_cast<int>(std::nearbyint(s.frame.PlotHeight() * 0.05f / 0.35));
    const int start = static_cast<int>(std::nearbyint(s.Y(0.05f * 241.0) - 100));
    EXPECT_EQ(plot.labels[4].caption, " 12.1");
    EXPECT_EQ(plot.labels[4].top, start + dy);
    EXPECT_EQ(plot.labels[4].left, 0);
    EXPECT_EQ(plot.labels[5].caption, " 12.4");
    EXPECT_DOUBLE_EQ(plot.labels[5].top, s.Y(0.05f * 248.0) - 100);
    EXPECT_EQ(plot.labels[6].caption, " .05");
    EXPECT_DOUBLE_EQ(plot.labels[6].top, 242 + 0.6 * s.frame.PlotHeight());
}

TEST_F(LightCurvePlotTest, InvertedMagnitudesGiveNegativeLabels) {
    SetMagSign(ds, 1);
    Plot();
    // floor(-12.45 / 0.05f) goes toward minus infinity: kFirst = -249, kLast = -242.
    EXPECT_EQ(plot.magGrid.kFirst, -249);
    EXPECT_EQ(plot.magGrid.kLast, -242);
    EXPECT_EQ(plot.labels[4].caption, "-12.5");  // -12.4500002 rounds away to one decimal
    EXPECT_EQ(plot.labels[5].caption, "-12.1");
    // The faintest point (largest magnitude) now lies on the top edge.
    EXPECT_TRUE(Near(plot.scale.Y(ds.AllMag[3]), plot.scale.frame.PlotTop));
    ExpectAllFinite(list, plot);
}

struct GridRow {
    const char* name;
    double span;
    float step;
};

class GridStepTest : public testing::TestWithParam<GridRow> {};

TEST_P(GridStepTest, StepIsAPowerOfTenTimesOneTwoOrFive) {
    const GridRow& row = GetParam();
    const AxisGrid grid = GridFor(MakeAxis(10.0, 10.0 + row.span, row.span));
    ASSERT_TRUE(grid.valid);
    EXPECT_EQ(grid.step, row.step);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, GridStepTest,
    testing::Values(GridRow{"TimeExample", 0.0945, 0.01f},     // ratio 9.45: n = 10
                    GridRow{"Mag035", 0.35, 0.05f},            // ratio 3.5: n = 5
                    GridRow{"Mag15", 1.5, 0.2f},               // ratio 1.5: n = 2
                    GridRow{"ExactTenth", 0.1, 0.01f},         // 2.302585 < ln 10: e = -2
                    GridRow{"ExactOne", 1.0, 0.2f},            // e = 0, ratio 1
                    GridRow{"FourThousandths", 0.004, 0.0005f},// ratio 4: n = 5
                    GridRow{"Large", 37.0, 5.0f}),             // ratio 3.7: n = 5
    [](const testing::TestParamInfo<GridRow>& info) { return std::string(info.param.name); });

struct AxisRow {
    const char* name;
    double min, max, span;
    double expectMin, expectSpan;
};

class MakeAxisTest : public testing::TestWithParam<AxisRow> {};

TEST_P(MakeAxisTest, SpanIsPositiveAndFinite) {
    const AxisRow& row = GetParam();
    // The centre of a replaced span is the mean of min and max, exact to a few ulps.
    constexpr double kCentreTolerance = 1e-9;
    const AxisRange a = MakeAxis(row.min, row.max, row.span);
    EXPECT_NEAR(a.min, row.expectMin, kCentreTolerance);
    EXPECT_DOUBLE_EQ(a.span, row.expectSpan);
    EXPECT_NEAR(a.max, row.expectMin + row.expectSpan, kCentreTolerance);
}

const double kNaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Extremes, MakeAxisTest,
    testing::Values(AxisRow{"Ordinary", 12.1, 12.45, 0.35, 12.1, 0.35},
                    AxisRow{"SinglePointMagnitude", 12.3, 12.3, 0, 11.8, 1},
                    AxisRow{"EmptyWorkingSet", 99999998.998, -99999998.998, -199999997.996, -0.5, 1},
                    AxisRow{"NotANumber", kNaN, 1, 1, -0.5, 1},
                    AxisRow{"BelowSinglePrecision", 12.0, 12.0 + 1e-9, 1e-9, 11.5, 1}),
    [](const testing::TestParamInfo<AxisRow>& info) { return std::string(info.param.name); });

struct DegenerateRow {
    const char* name;
    std::vector<double> hjd, mag;
    int width, height;
};

class DegeneratePlotTest : public testing::TestWithParam<DegenerateRow> {};

// Whatever the data and window, the plot holds only finite coordinates and readable labels.
TEST_P(DegeneratePlotTest, DrawsWithoutNaNOrInfinity) {
    const DegenerateRow& row = GetParam();
    DataSet ds;
    if (!row.hjd.empty()) ds = CurveOf(row.hjd, row.mag);
    DisplayList list;
    const LightCurvePlot plot = PlotLightCurve(list, ds, row.width, row.height);
    ExpectAllFinite(list, plot);
    EXPECT_GE(list.Commands().size(), 4u);  // the frame at least
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DegeneratePlotTest,
    testing::Values(
        DegenerateRow{"NoFileLoaded", {}, {}, kDefaultWidth, kDefaultHeight},
        DegenerateRow{"OnePoint", {2454123.5}, {12.3}, kDefaultWidth, kDefaultHeight},
        DegenerateRow{"FlatCurve", {2454123.5, 2454123.52, 2454123.54}, {12.3, 12.3, 12.3},
                      kDefaultWidth, kDefaultHeight},
        DegenerateRow{"NegativeTimeOrigin", {2454123.0001, 2454123.0011}, {12.3, 12.4},
                      kDefaultWidth, kDefaultHeight},
        DegenerateRow{"WindowSmallerThanItsMargins", {2454123.5, 2454123.6}, {12.3, 12.4}, 600, 900},
        DegenerateRow{"ZeroSizedWindow", {2454123.5, 2454123.6}, {12.3, 12.4}, 0, 0},
        DegenerateRow{"HugeMagnitudes", {2454123.5, 2454123.6}, {-1e300, 1e300},
                      kDefaultWidth, kDefaultHeight}),
    [](const testing::TestParamInfo<DegenerateRow>& info) { return std::string(info.param.name); });

TEST(ZeroSpan, SinglePointSitsInTheMiddleOfAUnitMagnitudeSpan) {
    DataSet ds = CurveOf({2454123.5}, {12.3});
    DisplayList list;
    const LightCurvePlot plot = PlotLightCurve(list, ds, kDefaultWidth, kDefaultHeight);
    const PlotFrame& f = plot.scale.frame;
    EXPECT_DOUBLE_EQ(plot.scale.mag.span, 1.0);
    EXPECT_TRUE(Near(plot.scale.Y(12.3), (f.PlotTop + f.PlotBottom) / 2.0));
    EXPECT_TRUE(Near(plot.scale.X(ds.AllTime[1]), (f.PlotLeft + f.PlotRight) / 2.0));
    EXPECT_TRUE(HasRedDot(list, plot.scale.X(ds.AllTime[1]), plot.scale.Y(12.3)));
    EXPECT_FLOAT_EQ(plot.magGrid.step, 0.2f);  // the grid of a span of 1
    EXPECT_EQ(plot.labels[6].caption, " .2");
}

TEST(ZeroSpan, NonPositiveFirstTimeLabelUsesTheWidthOfItsDecimals) {
    // Times 0.0001 and 0.0011 after the offset day: TimeMin = -0.0019, span 0.005. The
    // single-precision p = 0.001f is a hair above 0.001, so the ratio falls just under 5 and
    // the step is 0.0005; kFirst = -4 and the first labelled value, -0.0015, has no logarithm.
    DataSet ds = CurveOf({2454123.0001, 2454123.0011}, {12.3, 12.4});
    DisplayList list;
    const LightCurvePlot plot = PlotLightCurve(list, ds, kDefaultWidth, kDefaultHeight);
    EXPECT_FLOAT_EQ(plot.timeGrid.step, 0.0005f);
    EXPECT_EQ(plot.timeGrid.kFirst, -4);
    // decimals = nint(-ln 0.0005) = 8, width = 8 + 3.
    EXPECT_EQ(plot.labels[1].caption, "    -0.0015");
    EXPECT_EQ(plot.labels[2].caption, "     0.0025");  // kLast - 1 = 5, same width
}

TEST(ZeroSpan, ZeroFirstTimeLabel) {
    // TimeMin = -0.001 with a step of 0.005: the first labelled value is exactly 0.
    DataSet ds = CurveOf({2454123.001, 2454123.031}, {12.3, 12.4});
    DisplayList list;
    const LightCurvePlot plot = PlotLightCurve(list, ds, kDefaultWidth, kDefaultHeight);
    EXPECT_FLOAT_EQ(plot.timeGrid.step, 0.005f);
    EXPECT_EQ(plot.labels[1].caption, "00.00000");
}

struct SingleTextRow {
    const char* name;
    float value;
    const char* text;
};

class SingleTextTest : public testing::TestWithParam<SingleTextRow> {};

TEST_P(SingleTextTest, SevenDigitsLeadingBlankNoLeadingZero) {
    EXPECT_EQ(SingleText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SingleTextTest,
    testing::Values(SingleTextRow{"Hundredth", 0.01f, " .01"}, SingleTextRow{"Twentieth", 0.05f, " .05"},
                    SingleTextRow{"Fifth", 0.2f, " .2"}, SingleTextRow{"Whole", 2.0f, " 2"},
                    SingleTextRow{"Zero", 0.0f, " 0"}, SingleTextRow{"Negative", -0.5f, "-.5"},
                    SingleTextRow{"Small", 1e-5f, " 1E-05"}),
    [](const testing::TestParamInfo<SingleTextRow>& info) { return std::string(info.param.name); });

// --- Picking -------------------------------------------------------------------------------------

TEST(NearestPoint, DistanceIsInUnscaledDaysAndMagnitudes) {
    // 0.1 day by 1 magnitude on a frame of 6000 by 4000 twips; two points 300 twips from the
    // click, one to the side (0.005 day) and one above (0.075 magnitude): the side one wins.
    PlotScale s{{500, 6500, 242, 4242}, MakeAxis(0.40, 0.50, 0.10), MakeAxis(12.0, 13.0, 1.0)};
    const double cx = 3500, cy = 2242;
    const double t0 = s.TimeAt(cx), m0 = s.MagAt(cy);
    DataSet ds = CurveOf({2454123.0 + t0, 2454123.0 + s.TimeAt(cx + 300)},
                         {s.MagAt(cy - 300), m0});
    // Point 1 is straight above the click, point 2 straight to the side.
    EXPECT_EQ(NearestPoint(ds, t0, m0), 2);
}

TEST(NearestPoint, DeletedPointsCanBePickedAndTiesKeepTheEarlierPoint) {
    DataSet ds = CurveOf({2454123.5, 2454123.6, 2454123.6}, {12.0, 12.5, 12.5});
    ASSERT_TRUE(SetDeleted(ds, 2, true));
    EXPECT_EQ(NearestPoint(ds, 0.61, 12.5), 2);
    EXPECT_EQ(NearestPoint(ds, 0.49, 11.9), 1);
}

TEST(NearestPoint, NothingWithinTheSearchRadiusPicksNoPoint) {
    DataSet ds = CurveOf({2454123.5}, {12.0});
    EXPECT_EQ(NearestPoint(ds, 0.5, 12.0 + 100.0), 0);  // 100^2 > 9999
    EXPECT_EQ(NearestPoint(DataSet{}, 0.5, 12.0), 0);
}

TEST(DisplayList, RefusesNonFiniteCoordinatesAndClampsHugeOnes) {
    DisplayList list;
    list.SetColour(kRed);
    list.Line(0, 0, std::nan(""), 1);
    list.Circle(INFINITY, 0, 3);
    list.Line(0, 0, 1e300, -1e300);
    EXPECT_EQ(list.Dropped(), 2);
    ASSERT_EQ(list.Commands().size(), 1u);
    EXPECT_EQ(list.Commands()[0].x2, kCoordinateLimit);
    EXPECT_EQ(list.Commands()[0].y2, -kCoordinateLimit);
    EXPECT_EQ(list.Commands()[0].colour, kRed);
}

TEST(DisplayList, LineToAndPointSetFollowTheCurrentPoint) {
    DisplayList list;
    list.PointSet(10, 20);
    list.LineTo(30, 40);
    list.LineTo(50, 60);
    ASSERT_EQ(list.Commands().size(), 3u);
    EXPECT_EQ(list.Commands()[1], (DrawCommand{DrawKind::Line, kBlack, 10, 20, 30, 40, 0, {}, {}}));
    EXPECT_EQ(list.Commands()[2], (DrawCommand{DrawKind::Line, kBlack, 30, 40, 50, 60, 0, {}, {}}));
    list.Clear();
    EXPECT_TRUE(list.Commands().empty());
    EXPECT_FALSE(list.Background().has_value());
}

}  // namespace
}  // namespace umbrix
