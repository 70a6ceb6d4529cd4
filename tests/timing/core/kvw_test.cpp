#include "timing/core/methods/kvw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/timing/core/synthetic_eclipse.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;
using testing_support::WorkingSet;

// n points every 0.01 day in a V symmetric about the middle point (n odd) or the middle of
// the two central points (n even).
DataSet SymmetricV(int n) {
    std::vector<double> t, m;
    const double centre = 0.40 + 0.01 * (n - 1) / 2.0;
    for (int i = 0; i < n; ++i) {
        t.push_back(0.40 + 0.01 * i);
        m.push_back(12 - 5 * std::fabs(t.back() - centre));
    }
    return WorkingSet(t, m);
}

TEST(KweeVanWoerden, SymmetricRangeGivesTheCentralGridTime) {
    // 11 points: m = 10, 20 grid intervals; the curve and the grid are symmetric about
    // grid index 10, the time 0.45.
    const DataSet ds = SymmetricV(11);
    KvwState s;
    const KvwResult r = KweeVanWoerden(s, ds, 1, 11, "1", ".9");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.centre, 10);
    EXPECT_NEAR(r.s2, 0, 1e-20);
    EXPECT_NEAR(r.s1, r.s3, 1e-15);
    EXPECT_NEAR(r.tMin, 0.45, 1e-12);
    EXPECT_NEAR(s.GridTime[10], 0.45, 1e-15);
    EXPECT_GE(r.sigma, 0);
}

TEST(KweeVanWoerden, RepeatingGivesTheSameResult) {
    EclipseShape e;
    e.noise = 0.01;
    const DataSet ds = Eclipse(e);
    KvwState s;
    const KvwResult a = KweeVanWoerden(s, ds, 60, 150, "1", ".9");
    KweeVanWoerden(s, ds, 95, 105, "2", ".5");  // a shorter run in between
    const KvwResult b = KweeVanWoerden(s, ds, 60, 150, "1", ".9");
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.tMin, b.tMin);
    EXPECT_EQ(a.sigma, b.sigma);
}

struct GridSize {
    int n, m;
};

class KvwGridSize : public testing::TestWithParam<GridSize> {};

TEST_P(KvwGridSize, NinetyPercentOfThePointsRoundedHalfToEven) {
    const DataSet ds = SymmetricV(61);
    KvwState s;
    const int start = 31 - GetParam().n / 2;
    const KvwResult r = KweeVanWoerden(s, ds, start, start + GetParam().n - 1, "1", ".9");
    EXPECT_EQ(r.n, GetParam().n);
    EXPECT_EQ(r.m, GetParam().m);
    EXPECT_EQ(r.gridIntervals, 2 * GetParam().m);
}

INSTANTIATE_TEST_SUITE_P(Cases, KvwGridSize,
                         testing::Values(GridSize{5, 4}, GridSize{10, 9}, GridSize{15, 14},
                                         GridSize{25, 22}),
                         [](const testing::TestParamInfo<GridSize>& info) {
                             return "n" + std::to_string(info.param.n);
                         });

struct Refusal {
    const char* name;
    int points;  // of a symmetric V
    int start, end;
    const char* stepp;
    const char* frac;
    const char* message;
    friend void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }
};

class KvwRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(KvwRefusals, RefuseWithMessage) {
    const Refusal& c = GetParam();
    const DataSet ds = SymmetricV(c.points);
    KvwState s;
    s.SetEnds(SetRangeEnds(s.Ends(), c.start, c.end));
    const KvwRowResult r = PressFitKwee(s, ds, c.stepp, c.frac);
    EXPECT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.timeText, "");
}

const char* const kOutside = "The Stepp and Frac settings would read outside the grid.";
const char* const kLine = "The three symmetry sums lie on a line: no minimum.";

INSTANTIATE_TEST_SUITE_P(
    Cases, KvwRefusals,
    testing::Values(
        Refusal{"FourPoints", 11, 4, 7, "1", ".9",
                "Kwee and van Woerden needs at least five points in the range."},
        Refusal{"RangeBeyondWorkingSet", 11, 1, 12, "1", ".9",
                "The range lies outside the working points."},
        Refusal{"EndBeforeStart", 11, 7, 2, "1", ".9",
                "The end of the range lies before its start."},
        // 557 points need m = 501 and 1002 grid intervals, beyond the grid's 1000.
        Refusal{"TooLongForTheGrid", 557, 1, 557, "1", ".9",
                "The range is too long for the grid (at most 556 points)."},
        Refusal{"SteppBeyondTheGrid", 11, 1, 11, "30", ".9", kOutside},
        Refusal{"SteppOverflowsSixteenBits", 11, 1, 11, "1e9", ".9", kOutside},
        Refusal{"FracBeyondTheGrid", 11, 1, 11, "1", "3", kOutside},
        // The faintest point starts the range: the centre sits on grid index 0 and its left
        // trial centre would be index -1.
        Refusal{"DeepestAtTheRangeStart", 11, 6, 11, "1", ".9", kOutside},
        // Frac 0 leaves no pairs: all sums are 0, the search stops at once, the sums are flat.
        Refusal{"FracZero", 11, 1, 11, "1", "0", kLine},
        // Stepp text without a number reads 0: the three trial centres coincide.
        Refusal{"SteppNotANumber", 11, 1, 11, "abc", ".9", kLine}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(KweeVanWoerden, LongestRangeTheGridHoldsIsAccepted) {
    const DataSet ds = SymmetricV(556);  // m = 500, 1000 grid intervals
    KvwState s;
    const KvwResult r = KweeVanWoerden(s, ds, 1, 556, "1", ".9");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.gridIntervals, 1000);
    EXPECT_NEAR(r.tMin, 0.40 + 0.01 * 555 / 2, 1e-9);
}

TEST(PickKvw, StartRemembersItsPointsTimeEndTheClickedTime) {
    const DataSet ds = SymmetricV(11);
    KvwState s;
    s.SetEnds(PickRangeStart(s.Ends(), ds, 0.405, 0, StartMarkerTime::FirstPoint));
    s.SetEnds(PickRangeEnd(s.Ends(), ds, 0.475, 0));
    EXPECT_EQ(s.KvwStartIndex, 2);
    EXPECT_EQ(s.KvwEndIndex, 8);
    EXPECT_DOUBLE_EQ(s.KvwStartTime, ds.Time[2]);
    EXPECT_DOUBLE_EQ(s.KvwEndTime, 0.475);
    EXPECT_TRUE(s.KvwReady);
    UndoKvw(s);
    EXPECT_FALSE(s.KvwReady);
    EXPECT_EQ(PressFitKwee(s, ds, "1", ".9").outcome, MethodOutcome::NotRun);
    s.SetEnds(PickRangeEnd(s.Ends(), ds, 0.485, 0));  // one pick makes it ready again with the older start
    EXPECT_TRUE(s.KvwReady);
    EXPECT_EQ(PressFitKwee(s, ds, "1", ".9").outcome, MethodOutcome::Done);
}

// KvW over +-0.03 day about the minimum of a Gaussian sampled every 0.001 day. Clean: the
// picked range is symmetric to within one point, and the three-sum parabola places the centre
// to a small part of a grid step (~0.0007 day); 1e-5 day covers both. Noisy (0.005 mag): the
// method's own sigma is ~1e-4 day here; three times that, 3e-4 day.
TEST(KvwRecovery, VertexOfTheSymmetrySumsFindsTheMinimum) {
    for (const auto& [noise, tolerance] : {std::pair{0.0, 1e-5}, std::pair{0.005, 3e-4}}) {
        EclipseShape e;
        e.noise = noise;
        const DataSet ds = Eclipse(e);
        KvwState s;
        s.SetEnds(PickRangeStart(s.Ends(), ds, e.minimum - 0.03, 0, StartMarkerTime::FirstPoint));
        s.SetEnds(PickRangeEnd(s.Ends(), ds, e.minimum + 0.03, 0));
        const KvwRowResult r = PressFitKwee(s, ds, kKvwDefaultStepp, kKvwDefaultFrac);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_NEAR(r.kvw.tMin, e.minimum, tolerance) << "noise " << noise;
        EXPECT_LT(r.kvw.sigma, 1e-3);
    }
}

// The error from the three final sums, checked against the parabola through them written in
// its own coefficients (Lagrange form expanded): sigma^2 = (4ac - b^2) / (4 a^2 (n/4 - 1)),
// with n the observed points in the range. A noisy asymmetric range keeps the sums apart.
TEST(KweeVanWoerden, ErrorFollowsTheParabolaThroughTheThreeSums) {
    EclipseShape e;
    e.noise = 0.01;
    e.seed = 3;
    const DataSet ds = Eclipse(e);
    KvwState s;
    const KvwResult r = KweeVanWoerden(s, ds, 61, 140, "1", ".9");  // 80 points: Z - 1 = 19
    ASSERT_TRUE(r.ok) << r.message;
    const double x[3] = {r.t1, r.t2, r.t3}, y[3] = {r.s1, r.s2, r.s3};
    double a = 0, b = 0, c = 0;
    for (int i = 0; i < 3; ++i) {
        const double p = x[(i + 1) % 3], q = x[(i + 2) % 3];
        const double w = y[i] / ((x[i] - p) * (x[i] - q));
        a += w;
        b -= w * (p + q);
        c += w * p * q;
    }
    ASSERT_GT(a, 0);
    const double expected = std::sqrt((4 * a * c - b * b) / (4 * a * a * (80 / 4.0 - 1)));
    EXPECT_NEAR(r.tMin, -b / (2 * a), 1e-9);
    EXPECT_NEAR(r.sigma, expected, 1e-6 * expected);
    EXPECT_GT(r.sigma, 1e-5);  // not the zero of a touching parabola
}

// A total eclipse, noise-free: linear branches 0.03 day long, a flat bottom of 0.03 day, the
// minimum at 0.50123 between samples 0.001 day apart. One bottom point 0.013 day before the
// centre is 0.003 mag fainter, so the search starts about 24 grid steps from the centre, three
// times as far as eight moves reach. Walking on, the centre is found to a hundredth of the
// sample spacing (the branches are exact lines, so the sums are an exact parabola near it).
TEST(KweeVanWoerden, WalksOnAcrossAFlatBottomToTheCentre) {
    const double t0 = 0.50123;
    std::vector<double> t, m;
    int faint = 0;
    for (int i = 0; i <= 200; ++i) {
        t.push_back(0.40 + 0.001 * i);
        m.push_back(12 + 0.6 * std::clamp((0.045 - std::fabs(t.back() - t0)) / 0.03, 0.0, 1.0));
        if (std::fabs(t.back() - (t0 - 0.013)) < 0.0005) faint = i;
    }
    m[static_cast<std::size_t>(faint)] += 0.003;
    const DataSet ds = WorkingSet(t, m);
    KvwState s;
    const KvwResult r = KweeVanWoerden(s, ds, 53, 152, "1", ".9");  // 0.452 .. 0.551
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_GT(r.moves, 8);
    EXPECT_NEAR(r.tMin, t0, 1e-5);
}

// Irregular points with no centre of symmetry: the walk runs into the end of the grid, and
// the result is refused instead of a vertex that brackets nothing.
TEST(KweeVanWoerden, AWalkThatReachesTheEndOfTheGridIsRefused) {
    const DataSet ds = WorkingSet({0.300, 0.314, 0.317, 0.318, 0.329, 0.333},
                                  {12.13, 12.38, 12.00, 13.00, 12.58, 12.72});
    KvwState s;
    const KvwResult r = KweeVanWoerden(s, ds, 1, 6, "1", ".9");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, kKvwNoMinimum);
}

// The grid as the point-by-point search makes it: for every grid time, the last point of the
// range at or before it is sought down from the range's end.
void ReferenceResample(KvwState& s, const DataSet& ds, int start, int end, int n) {
    s.GridTime[0] = ds.Time[start];
    s.GridTime[n] = ds.Time[end];
    s.GridMag[0] = ds.Mag[start];
    s.GridMag[n] = ds.Mag[end];
    const double step = (ds.Time[end] - ds.Time[start]) / n;
    for (int w = 1; w < n; ++w) {
        const double g = step * w + ds.Time[start];
        s.GridTime[w] = g;
        int j = end - 1;
        while (j > start && ds.Time[j] > g) --j;
        s.GridMag[w] = ds.Mag[j] + (ds.Mag[j + 1] - ds.Mag[j]) * (g - ds.Time[j]) /
                                       (ds.Time[j + 1] - ds.Time[j]);
    }
}

// The one-pass resampling gives the same grid, to the last bit, as the search, on working
// sets with points deleted and on ranges of every length whose times rise; repeated and
// out-of-order times elsewhere in the curve change nothing, since no point outside the
// range is read.
TEST(ResampleRange, MatchesThePointByPointSearchBitForBit) {
    testing_support::RandomCurves curves(23);
    int compared = 0;
    for (int run = 0; run < 3000; ++run) {
        DataSet ds = curves.Next();
        if (curves.Uniform(0, 2) == 0)
            for (int k = curves.Uniform(1, 5); k > 0 && ds.PointCount > 2; --k)
                SetDeleted(ds, curves.Uniform(1, ds.ReadCount), true);
        if (ds.PointCount < 2) continue;
        const int a = curves.Uniform(1, ds.PointCount), b = curves.Uniform(1, ds.PointCount);
        const int start = std::min(a, b), end = std::max(a, b);
        if (start == end || !TimeOrderProblem(ds, start, end).empty()) continue;
        const int n = curves.Uniform(1, 1000);
        KvwState fast, reference;
        ResampleRange(fast, ds, start, end, n);
        ReferenceResample(reference, ds, start, end, n);
        for (int w = 0; w <= n; ++w) {
            ASSERT_EQ(fast.GridTime[w], reference.GridTime[w]) << run << " " << w;
            ASSERT_EQ(fast.GridMag[w], reference.GridMag[w]) << run << " " << w;
        }
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

// Any range and settings on any curve: either a refusal with a message, or finite numbers.
TEST(KvwRobustness, ArbitraryCurvesRangesAndSettingsGiveAMessageOrFiniteNumbers) {
    testing_support::RandomCurves curves(17);
    const char* stepps[] = {"1", "2", "0", "-1", "5", "x", "40000"};
    const char* fracs[] = {".9", "1", "0", "-.5", "2", "1e300", ""};
    for (int run = 0; run < 400; ++run) {
        const DataSet ds = curves.Next();
        KvwState s;
        const int a = curves.Uniform(1, ds.PointCount), b = curves.Uniform(1, ds.PointCount);
        s.SetEnds(SetRangeEnds(s.Ends(), std::min(a, b), std::max(a, b)));
        // Half the runs with the window's own settings, so that many of them succeed.
        const bool defaults = curves.Uniform(0, 1) == 0;
        const KvwRowResult r = PressFitKwee(s, ds, defaults ? "1" : stepps[curves.Uniform(0, 6)],
                                            defaults ? ".9" : fracs[curves.Uniform(0, 6)]);
        if (r.ok())
            EXPECT_TRUE(std::isfinite(r.time) && std::isfinite(r.error) && r.error >= 0) << run;
        else
            EXPECT_NE(r.message, "") << run;
    }
}

}  // namespace
}  // namespace umbrix
