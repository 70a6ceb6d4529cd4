#include "timing/core/methods/tracing.h"

#include <gtest/gtest.h>

#include "tests/timing/core/synthetic_eclipse.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;
using testing_support::WorkingSet;

std::vector<double> Trace(const TracingState& s, int n) {
    std::vector<double> v;
    for (int i = 1; i <= n; ++i) v.push_back(s.TraceMag[i]);
    return v;
}

struct SmoothCase {
    const char* name;
    std::vector<double> mags;
    int presses;
    std::vector<double> expected;
    const char* label;
    friend void PrintTo(const SmoothCase& c, std::ostream* os) { *os << c.name; }
};

class Smoothing : public testing::TestWithParam<SmoothCase> {};

TEST_P(Smoothing, EachPressWidensTheMeanOverTheRawMagnitudes) {
    const SmoothCase& c = GetParam();
    std::vector<double> t;
    for (std::size_t i = 0; i < c.mags.size(); ++i) t.push_back(0.1 * (i + 1));
    const DataSet ds = WorkingSet(t, c.mags);
    TracingState s;
    ResetTraceMag(s, ds);
    std::string label;
    for (int p = 0; p < c.presses; ++p) label = SmoothMagnitudes(s, ds);
    const std::vector<double> got = Trace(s, ds.PointCount);
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-12) << i;
    EXPECT_EQ(label, c.label);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Smoothing,
    testing::Values(
        SmoothCase{"StraightLineUnchanged", {1, 2, 3, 4, 5}, 1, {1, 2, 3, 4, 5}, "3-point averaging"},
        SmoothCase{"ZigzagOnePress", {0, 3, 0, 3, 0}, 1, {0, 1, 2, 1, 0}, "3-point averaging"},
        SmoothCase{"ZigzagTwoPresses", {0, 3, 0, 3, 0}, 2, {0, 1, 1.2, 1, 0}, "5-point averaging"},
        // Too few points for a 7-point window: nothing rewritten, the level still rises.
        SmoothCase{"ThirdPressOnFivePoints", {0, 3, 0, 3, 0}, 3, {0, 1, 1.2, 1, 0}, "7-point averaging"},
        // End zones keep the narrower means: 1 raw, 2 three-point, 3 five-point, 4 seven-point.
        SmoothCase{"FourPressesLeaveGradedEnds",
                   {0, 9, 0, 9, 0, 9, 0, 9, 0, 9, 0},
                   4,
                   {0, 3, 3.6, 27.0 / 7, 4, 5, 4, 27.0 / 7, 3.6, 3, 0},
                   "9-point averaging"},
        SmoothCase{"FifthPressChangesNothing",
                   {0, 9, 0, 9, 0, 9, 0, 9, 0, 9, 0},
                   5,
                   {0, 3, 3.6, 27.0 / 7, 4, 5, 4, 27.0 / 7, 3.6, 3, 0},
                   "9-point averaging"}),
    [](const testing::TestParamInfo<SmoothCase>& info) { return info.param.name; });

TEST(Smoothing, UndoRestoresTheInteriorAndGoKeepsTheLevel) {
    const DataSet ds = WorkingSet({0.1, 0.2, 0.3, 0.4, 0.5}, {0, 3, 0, 3, 0});
    TracingState s;
    ResetTraceMag(s, ds);
    SmoothMagnitudes(s, ds);
    s.TraceMag[1] = 7;  // the end points are never touched by Undo
    EXPECT_EQ(UndoSmoothing(s, ds), "No averaging");
    EXPECT_EQ(s.SmoothLevel, 1);
    EXPECT_EQ(Trace(s, 5), (std::vector<double>{7, 3, 0, 3, 0}));

    SmoothMagnitudes(s, ds);
    ResetTraceMag(s, ds);  // Go: raw magnitudes back, level kept
    EXPECT_EQ(s.SmoothLevel, 3);
    EXPECT_EQ(Trace(s, 5), (std::vector<double>{0, 3, 0, 3, 0}));
    EXPECT_EQ(SmoothMagnitudes(s, ds), "5-point averaging");
    EXPECT_EQ(Trace(s, 5), (std::vector<double>{0, 3, 1.2, 3, 0}));
}

// A light curve from 0.40 to 0.60 day with its faintest point at 0.45123.
DataSet FoldCurve() {
    std::vector<double> t{0.40, 0.42, 0.44, 0.45123, 0.46, 0.50, 0.60};
    return WorkingSet(t, {10, 10.2, 10.4, 10.6, 10.4, 10.1, 10});
}

TEST(FoldFromScroll, StepsFromTheFaintestPointNotFromTheRoundedStart) {
    DataSet ds = FoldCurve();
    EXPECT_DOUBLE_EQ(ds.GuessMinTime, 0.4512);
    EXPECT_EQ(FoldFromScroll(ds, 16393), 16393);
    EXPECT_NEAR(ds.GuessMinTime, 0.45223, 1e-12);
    FoldFromScroll(ds, 16382);
    EXPECT_NEAR(ds.GuessMinTime, 0.45123 - 0.0001, 1e-12);
}

struct PullCase {
    const char* name;
    int value;
    double pulledTo;  // the 5 % point the fold is pulled to, before snapping to the grid
    friend void PrintTo(const PullCase& c, std::ostream* os) { *os << c.name; }
};

class FoldPull : public testing::TestWithParam<PullCase> {};

TEST_P(FoldPull, FoldOutsideTheRangeSnapsToTheStepNearestTheFivePercentPoint) {
    DataSet ds = FoldCurve();
    const double pulled = ds.TimeMin + GetParam().pulledTo * ds.TimeSpan;
    const int moved = FoldFromScroll(ds, GetParam().value);
    EXPECT_EQ(moved, static_cast<int>(std::nearbyint(16383 + (pulled - 0.45123) / 0.0001)));
    EXPECT_NEAR(ds.GuessMinTime, 0.45123 + 0.0001 * (moved - 16383), 1e-12);
    EXPECT_NEAR(ds.GuessMinTime, pulled, 0.00005 + 1e-12);
    EXPECT_GT(ds.GuessMinTime, ds.TimeMin);
    EXPECT_LT(ds.GuessMinTime, ds.TimeMax);
}

INSTANTIATE_TEST_SUITE_P(Cases, FoldPull,
                         testing::Values(PullCase{"BeforeTheFirstPoint", 15000, 0.05},
                                         PullCase{"AfterTheLastPoint", 18000, 0.95}),
                         [](const testing::TestParamInfo<PullCase>& info) { return info.param.name; });

TEST(FoldFromScroll, PullBeyondTheBarStopsAtTheBarsEnd) {
    // A hundred-day curve with its faintest point near the start: the 5 % point lies five
    // days from it, further than the bar reaches (1.6384 days).
    std::vector<double> t{0.1, 0.2, 50, 100};
    DataSet ds = WorkingSet(t, {10, 11, 10, 10});
    const int moved = FoldFromScroll(ds, 0);
    EXPECT_EQ(moved, kFoldScrollMax);
    EXPECT_NEAR(ds.GuessMinTime, 0.2 + 0.0001 * (kFoldScrollMax - 16383), 1e-12);
}

TEST(FoldFromText, ReadsTheLeadingNumberAndRefusesText) {
    DataSet ds = FoldCurve();
    EXPECT_EQ(FoldFromText(ds, " 0.4567xyz"), "");
    EXPECT_DOUBLE_EQ(ds.GuessMinTime, 0.4567);
    EXPECT_EQ(FoldFromText(ds, "abc"), "The fold time must be a number.");
    EXPECT_EQ(FoldFromText(ds, ""), "The fold time must be a number.");
    EXPECT_DOUBLE_EQ(ds.GuessMinTime, 0.4567);
    EXPECT_EQ(FoldFromText(ds, "7"), "");  // no range check for a typed fold
    EXPECT_DOUBLE_EQ(ds.GuessMinTime, 7);
}

TEST(Branches, PointAtTheFoldStaysLeftAndLaterPointsAreMirrored) {
    const DataSet ds = WorkingSet({0.30, 0.40, 0.45, 0.55}, {10, 11, 12, 11});
    TracingState s;
    UpdateFoldPlotBounds(s, ds, 0.45);
    EXPECT_NEAR(s.FoldPlotSpan, 0.15, 1e-12);
    EXPECT_EQ(FirstMirroredPoint(ds, 0.45), 4);
    EXPECT_NEAR(MirroredTime(0.45, 0.55), 0.35, 1e-12);  // a third of the way across
    EXPECT_EQ(FirstMirroredPoint(ds, 0.31), 2);             // only point 1 on the left
    EXPECT_EQ(FirstMirroredPoint(ds, 0.60), 5);             // nothing to mirror
}

TEST(Branches, FoldOutsideTheRangeKeepsThePlotEdgeFivePercentInside) {
    const DataSet ds = WorkingSet({0.30, 0.40, 0.45, 0.55}, {10, 11, 12, 11});
    TracingState s;
    const double width = ds.TimeMax - ds.TimeMin;
    UpdateFoldPlotBounds(s, ds, 2.0);
    EXPECT_NEAR(s.FoldPlotLimit, ds.TimeMax - 0.05 * width, 1e-12);
    UpdateFoldPlotBounds(s, ds, -1.0);
    EXPECT_NEAR(s.FoldPlotLimit, ds.TimeMin + 0.05 * width, 1e-12);
    EXPECT_NEAR(s.FoldPlotSpan, s.FoldPlotLimit - 0.30, 1e-12);
}

TEST(TraceResult, PublishesTheFoldInTheFileTimeScaleWithTheStepAsError) {
    const DataSet ds = FoldCurve();
    const TracingRowResult r = TraceResult(ds, 0.51234);
    EXPECT_EQ(r.timeText, "2454123.51234");
    EXPECT_EQ(r.errorText, "0.0001");
}

// The fold opens at the faintest point rounded to 4 decimals. Clean, samples every 0.001 day
// put that point within half a spacing of the minimum, plus 0.00005 of rounding. With 0.005
// mag of noise any point within ~0.006 day of the minimum (where the Gaussian is less than
// two sigma shallower) can be the faintest; 0.006 day allows that.
TEST(TracingRecovery, OpeningFoldLiesAtTheMinimum) {
    for (const auto& [noise, tolerance] : {std::pair{0.0, 0.00055}, std::pair{0.005, 0.006}}) {
        EclipseShape e;
        e.noise = noise;
        const DataSet ds = Eclipse(e);
        EXPECT_NEAR(ds.GuessMinTime, e.minimum, tolerance) << "noise " << noise;
    }
}

}  // namespace
}  // namespace umbrix
