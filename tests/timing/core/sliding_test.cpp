#include "timing/core/methods/sliding.h"

#include <gtest/gtest.h>

#include "tests/timing/core/synthetic_eclipse.h"
#include "timing/core/data/error_texts.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;
using testing_support::WorkingSet;

// p points every 0.001 day, 12 mag, with the deepest point (13 mag) at index deepest.
DataSet OneDeepPoint(int p, int deepest) {
    std::vector<double> t, m;
    for (int i = 1; i <= p; ++i) {
        t.push_back(0.3 + 0.001 * i);
        m.push_back(i == deepest ? 13 : 12);
    }
    return WorkingSet(t, m);
}

struct Selection {
    const char* name;
    int deepest;
    int count;  // L
    int first;  // working index copied to SlideTime(1)
};

class SlidingSelection : public testing::TestWithParam<Selection> {};

TEST_P(SlidingSelection, HundredPointsBalancedAboutTheDeepest) {
    const DataSet ds = OneDeepPoint(100, GetParam().deepest);
    SlidingState s;
    SelectSlidingPoints(s, ds);
    ASSERT_EQ(s.SlideCount, GetParam().count);
    const int first = GetParam().first;
    EXPECT_EQ(s.SlideTime[1], ds.Time[first]);
    EXPECT_EQ(s.SlideTime[s.SlideCount], ds.Time[first + s.SlideCount - 1]);
    EXPECT_EQ(s.SlideMag[GetParam().deepest - first + 1], 13);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlidingSelection,
    testing::Values(Selection{"FewPointsAfter_60To99", 80, 40, 60},
                    Selection{"FewPointsBefore_1To60", 30, 60, 1},
                    Selection{"DeepestInTheMiddle_All", 50, 100, 1},
                    Selection{"JustEnoughAfter_All", 55, 100, 1}),
    [](const testing::TestParamInfo<Selection>& info) { return info.param.name; });

TEST(SlidingIntegrations, WindowLengthIsAThirdOfThePointsPlusOne) {
    for (const auto& [l, m] : {std::pair{30, 11}, std::pair{29, 10}}) {
        EclipseShape e;
        e.points = l;
        e.first = e.minimum - 0.001 * (l - 1) / 2.0;
        SlidingState s;
        const DataSet ds = Eclipse(e);
        SelectSlidingPoints(s, ds);
        ASSERT_EQ(s.SlideCount, l);
        const SlidingResult r = SlidingIntegrations(s);
        EXPECT_EQ(r.m, m);
        EXPECT_EQ(r.k, 3 * m);
        EXPECT_NEAR(r.h, (s.SlideTime[l] - s.SlideTime[1]) / (3 * m), 1e-15);
        EXPECT_NEAR(s.SlideGridTime[r.k], s.SlideTime[l] - r.h, 1e-12);  // one step short
    }
}

TEST(SlidingIntegrations, LineFitSpansAtMostElevenStartsAroundTheBest) {
    EclipseShape e;
    const DataSet ds = Eclipse(e);
    SlidingState s;
    int first = -7, last = -7;
    const SlidingRowResult r = SlidingGo(s, ds, first, last);
    ASSERT_TRUE(r.ok()) << r.message;
    const SlidingResult& x = r.sliding;
    EXPECT_EQ(first, x.rangeFirst);
    EXPECT_EQ(last, x.rangeLast);
    EXPECT_EQ(x.best - x.rangeFirst, x.rangeLast - x.best);
    EXPECT_LE(x.rangeLast - x.rangeFirst, 10);
    for (int i = 1; i <= x.m; ++i)
        EXPECT_GE(std::fabs(s.WindowDiff[i]), std::fabs(s.WindowDiff[x.best]));
}

TEST(SlidingGo, MoreThan998PointsOverflowTheGrid) {
    const DataSet ds = OneDeepPoint(999, 500);
    SlidingState s;
    int first = -7, last = -7;
    const SlidingRowResult r = SlidingGo(s, ds, first, last);
    EXPECT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_EQ(r.message, std::string("Error 9: Subscript out of range. ") + kSlidingTooManyPoints);
    EXPECT_EQ(first, -7);
    EXPECT_EQ(last, -7);
    EXPECT_EQ(r.timeText, "");
}

TEST(SlidingGo, NineHundredNinetyEightPointsFitTheGrid) {
    EclipseShape e;
    e.points = 998;
    e.spacing = 0.0002;
    const DataSet ds = Eclipse(e);
    SlidingState s;
    int first = 0, last = 0;
    const SlidingRowResult r = SlidingGo(s, ds, first, last);
    EXPECT_EQ(r.sliding.k, 999);
    EXPECT_TRUE(r.ok()) << r.message;
}

TEST(SlidingGo, NothingToSelectWhenEveryPointIsDeleted) {
    DataSet ds = OneDeepPoint(10, 5);
    for (int i = 1; i <= 10; ++i) SetDeleted(ds, i, true);
    ASSERT_EQ(ds.PointCount, 0);
    ASSERT_GE(ds.MagMaxIndex, 1);  // the extremes keep an index of the last working set
    SlidingState s;
    int first = -7, last = -7;
    const SlidingRowResult r = SlidingGo(s, ds, first, last);
    EXPECT_EQ(s.SlideCount, 0);
    EXPECT_EQ(r.message, kSlidingTooFewPoints);
}

struct Refusal {
    const char* name;
    std::vector<double> mags;
    const char* message;
    friend void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }
};

class SlidingRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(SlidingRefusals, RefuseWithMessageAndKeepTheRange) {
    std::vector<double> t;
    for (std::size_t i = 0; i < GetParam().mags.size(); ++i) t.push_back(0.3 + 0.01 * i);
    const DataSet ds = WorkingSet(t, GetParam().mags);
    SlidingState s;
    int first = -7, last = -7;
    const SlidingRowResult r = SlidingGo(s, ds, first, last);
    EXPECT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_EQ(r.message, GetParam().message);
    EXPECT_EQ(first, -7);
    EXPECT_EQ(last, -7);
}

std::vector<double> Ramp(int n) {
    std::vector<double> m;
    for (int i = 0; i < n; ++i) m.push_back(10 + 0.1 * i);
    return m;
}

// A dip centred at point 5 of 30 and a single faint outlier at point 15: all 30 points are
// used, but their balance point lies in the first third, where no pair of windows reaches.
std::vector<double> DipOutsideTheMiddleThird() {
    std::vector<double> m;
    for (int i = 1; i <= 30; ++i) m.push_back(12 - 0.1 * std::abs(i - 5));
    m[14] = 14;
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlidingRefusals,
    testing::Values(
        // The faintest point is the last: no point follows it, nothing can balance it.
        Refusal{"DeepestPointLast", Ramp(30), kSlidingTooFewPoints},
        Refusal{"BalanceAtTheEndOfTheGrid", DipOutsideTheMiddleThird(), kSlidingBalanceAtTheEnd}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(FitLine, ExactLineAndDegenerateAbscissae) {
    PointArray x{}, y{};
    for (int i = 1; i <= 5; ++i) {
        x[i] = 0.1 * i;
        y[i] = 2 + 3 * x[i];
    }
    const LineFit f = FitLine(x, y, 1, 5);
    ASSERT_TRUE(f.ok);
    EXPECT_NEAR(f.a, 2, 1e-12);
    EXPECT_NEAR(f.b, 3, 1e-12);
    EXPECT_NEAR(f.residual, 0, 1e-24);
    for (int i = 1; i <= 5; ++i) x[i] = 0.5;
    EXPECT_FALSE(FitLine(x, y, 1, 5).ok);
}

// The zero crossing of the window differences, one window length on, is the axis of symmetry.
// Clean: the 200 points are resampled to a grid of ~0.001 day and the line fit spans at most
// +-5 starts of a smooth odd function; 1e-5 day covers the interpolation. Noisy (0.005 mag):
// each window integral averages ~67 grid points, the difference moves by ~1e-5 mag day, and
// the slope of the difference (~0.05 mag day per day) turns that into ~2e-4 day: 6e-4 allowed.
TEST(SlidingRecovery, ZeroCrossingPlusOneWindowFindsTheMinimum) {
    for (const auto& [noise, tolerance] : {std::pair{0.0, 1e-5}, std::pair{0.005, 6e-4}}) {
        EclipseShape e;
        e.noise = noise;
        const DataSet ds = Eclipse(e);
        SlidingState s;
        int first = 0, last = 0;
        const SlidingRowResult r = SlidingGo(s, ds, first, last);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_NEAR(r.sliding.tMin, e.minimum, tolerance) << "noise " << noise;
        EXPECT_NEAR(r.time - ds.DayOffset, r.sliding.tMin, 1e-9);
    }
}

// The error is the root of the line fit's squared residuals over the window length M, not
// over the number of starts fitted: recomputed here from the differences the run kept, with
// the line fitted in centred form.
TEST(SlidingIntegrations, ErrorIsTheLineResidualOverTheWindowLength) {
    EclipseShape e;
    e.noise = 0.005;
    e.seed = 4;
    const DataSet ds = Eclipse(e);
    SlidingState s;
    int first = 0, last = 0;
    const SlidingRowResult r = SlidingGo(s, ds, first, last);
    ASSERT_TRUE(r.ok()) << r.message;
    const int n = last - first + 1;
    ASSERT_GE(n, 3);
    double mx = 0, my = 0;
    for (int i = first; i <= last; ++i) {
        mx += s.SlideGridTime[i] / n;
        my += s.WindowDiff[i] / n;
    }
    double sxy = 0, sxx = 0;
    for (int i = first; i <= last; ++i) {
        sxy += (s.SlideGridTime[i] - mx) * (s.WindowDiff[i] - my);
        sxx += (s.SlideGridTime[i] - mx) * (s.SlideGridTime[i] - mx);
    }
    const double slope = sxy / sxx;
    double residual = 0;
    for (int i = first; i <= last; ++i) {
        const double d = s.WindowDiff[i] - (my + slope * (s.SlideGridTime[i] - mx));
        residual += d * d;
    }
    ASSERT_GT(residual, 0);
    EXPECT_NE(n, r.sliding.m);  // so that the two divisors differ
    EXPECT_NEAR(r.sliding.sigma, std::sqrt(residual / r.sliding.m), 1e-6 * r.sliding.sigma);
    EXPECT_NEAR(r.sliding.tMin, mx - my / slope + r.sliding.m * r.sliding.h, 1e-9);
}

// Go on any curve: either a refusal with a message, or finite numbers and a fit range inside
// the starts of this run.
TEST(SlidingRobustness, ArbitraryCurvesGiveAMessageOrFiniteNumbers) {
    testing_support::RandomCurves curves(19);
    for (int run = 0; run < 400; ++run) {
        const DataSet ds = curves.Next();
        SlidingState s;
        int first = -7, last = -7;
        const SlidingRowResult r = SlidingGo(s, ds, first, last);
        if (r.ok()) {
            EXPECT_TRUE(std::isfinite(r.time) && std::isfinite(r.error)) << run;
            EXPECT_GE(first, 1);
            EXPECT_LE(last, r.sliding.m);
            EXPECT_GE(last - first, 2);
        } else {
            EXPECT_NE(r.message, "") << run;
        }
    }
}

}  // namespace
}  // namespace umbrix
