#include "timing/core/methods/chords.h"

#include <gtest/gtest.h>

#include "tests/timing/core/synthetic_eclipse.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;
using testing_support::WorkingSet;

// A V-shaped curve symmetric about 0.5: points every 0.01 day from 0.40 to 0.60, but the
// right branch sampled at other times than the left, so every crossing is interpolated.
DataSet SymmetricV() {
    std::vector<double> t, m;
    for (int i = 0; i <= 10; ++i) t.push_back(0.40 + 0.01 * i);
    for (int i = 0; i < 10; ++i) t.push_back(0.5035 + 0.01 * i);
    for (const double x : t) m.push_back(12 - 10 * std::fabs(x - 0.5));
    return WorkingSet(t, m);
}

TEST(BisectChords, SymmetricCurveGivesItsAxisAndNoSpread) {
    const DataSet ds = SymmetricV();
    // Left: points 2..8 (0.41 .. 0.47); right: 13..19 (0.5235 .. 0.5835).
    const ChordsResult r = BisectChords(ds, 2, 8, 13, 19);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.n, 14);
    EXPECT_NEAR(r.tMin, 0.5, 1e-12);
    EXPECT_NEAR(r.error, 0, 1e-7);  // one-pass variance of equal numbers: rounding only
}

TEST(BisectChords, ErrorIsTheSampleStandardDeviationOfTheBisectors) {
    // Worked by hand. Left points 2 (0.2, 10.5) and 3 (0.3, 11.0) cross the right branch at
    // 0.58 and 0.4 + 0.2/3; right points 5 (0.5, 10.9) and 6 (0.6, 10.4) cross the left one at
    // 0.28 and 0.18. Bisectors 0.39, 0.38333.., 0.39, 0.39: mean 0.38833.., squared deviations
    // 3 (1/600)^2 + (1/200)^2 = 1/30000, over n - 1 = 3: standard deviation exactly 1/300.
    const DataSet ds = WorkingSet({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7},
                                  {10.0, 10.5, 11.0, 11.2, 10.9, 10.4, 10.0});
    const ChordsResult r = BisectChords(ds, 2, 3, 5, 6);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.n, 4);
    EXPECT_NEAR(r.tMin, 1.165 / 3, 1e-12);
    EXPECT_NEAR(r.error, 1.0 / 300, 1e-10);
}

TEST(BisectChords, CountsPointsOfBothRanges) {
    const DataSet ds = SymmetricV();
    EXPECT_EQ(BisectChords(ds, 2, 6, 12, 18).n, 12);  // 5 left + 7 right
}

TEST(BisectChords, CrossingExactlyOnAPointTakesItsTime) {
    // Point 2 (0.45, 11) and point 4 (0.57, 11) share a magnitude: the bisector of point 2 is
    // (0.45 + 0.57) / 2 with no interpolation.
    const DataSet ds = WorkingSet({0.40, 0.45, 0.50, 0.57, 0.60}, {10, 11, 12, 11, 10.5});
    const ChordsResult r = BisectChords(ds, 2, 2, 4, 4);
    ASSERT_TRUE(r.ok);
    // Point 4 crosses the left branch at 0.45 too: both bisectors are 0.51.
    EXPECT_NEAR(r.tMin, 0.51, 1e-12);
}

TEST(BisectChords, PointFainterThanTheOtherBranchBisectsItself) {
    // Point 3 is fainter than every later point: its own time is its crossing.
    const DataSet ds = WorkingSet({0.40, 0.45, 0.50, 0.55, 0.60}, {10, 11, 12.5, 11, 10});
    const ChordsResult r = BisectChords(ds, 2, 3, 4, 4);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.n, 3);
    EXPECT_NEAR(r.tMin, (0.5 + 0.5 + 0.5) / 3, 1e-12);
}

TEST(BisectChords, CrossingThatNeedsAPointBeyondTheEndsIsSkipped) {
    // The last point is as faint as points 1 and 2: their crossings would need a point after
    // the last one. Points 4 and 5 cross the left branch inside it: both bisectors are 0.5125.
    const DataSet ds = WorkingSet({0.40, 0.45, 0.50, 0.55, 0.60, 0.65},
                                  {10, 11, 12, 11.5, 10.5, 11});
    const ChordsResult r = BisectChords(ds, 1, 2, 4, 5);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.n, 2);
    EXPECT_NEAR(r.tMin, 0.5125, 1e-12);
}

struct Refusal {
    const char* name;
    std::vector<double> times, mags;
    int ls, le, rs, re;
    const char* message;
    friend void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }
};

class ChordsRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(ChordsRefusals, RefuseWithMessage) {
    const Refusal& c = GetParam();
    const DataSet ds = WorkingSet(c.times, c.mags);
    ChordsState s;
    SetChordsRanges(s, c.ls, c.le, c.rs, c.re);
    const ChordsRowResult r = PressBisectChords(s, ds);
    EXPECT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.timeText, "");
}

const std::vector<double> kT{0.40, 0.45, 0.50, 0.55, 0.60};
const std::vector<double> kM{10, 11, 12, 11, 10};

INSTANTIATE_TEST_SUITE_P(
    Cases, ChordsRefusals,
    testing::Values(
        Refusal{"RightStartNeverFound", kT, kM, 1, 2, 0, 0, "The right range holds no working point."},
        Refusal{"RangeBeyondWorkingSet", kT, kM, 1, 2, 4, 6,
                "A range of chords lies outside the working points."},
        // Only the last point can be bisected: every other crossing needs a neighbour outside.
        Refusal{"FewerThanTwoBisectors", {0.40, 0.45, 0.50}, {10, 12, 10}, 1, 1, 3, 3,
                "Fewer than two chords could be bisected."}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(PressBisectChords, DoesNothingWithoutBothRangesOrALeftIndex) {
    const DataSet ds = WorkingSet(kT, kM);
    ChordsState s;
    EXPECT_EQ(PressBisectChords(s, ds).outcome, MethodOutcome::NotRun);
    SetChordsRanges(s, 0, 0, 4, 5);
    EXPECT_EQ(PressBisectChords(s, ds).outcome, MethodOutcome::NotRun);
}

TEST(ChordsClick, EachSidePicksStartThenEndThenWaitsForUndo) {
    const DataSet ds = SymmetricV();  // deepest point: index 11 at 0.50
    ChordsState s;
    EXPECT_EQ(ChordsClick(s, ds, 0.555), ChordsPick::RightStart);  // right first is allowed
    EXPECT_EQ(ChordsClick(s, ds, 0.415), ChordsPick::LeftStart);
    EXPECT_EQ(ChordsClick(s, ds, 0.465), ChordsPick::LeftEnd);
    EXPECT_EQ(s.BisLeftStart, 3);
    EXPECT_EQ(s.BisLeftEnd, 7);
    EXPECT_FALSE(s.BisReady);
    EXPECT_EQ(ChordsClick(s, ds, 0.43), ChordsPick::None);  // complete side: ignored
    EXPECT_EQ(s.BisLeftStart, 3);
    // A click exactly at the deepest point's time belongs to the right side; an end before
    // its start is swapped, taking one point more at each end.
    EXPECT_EQ(ChordsClick(s, ds, 0.5), ChordsPick::RightEnd);
    EXPECT_EQ(s.BisRightStart, 10);  // last point before 0.5
    EXPECT_EQ(s.BisRightEnd, 18);    // first point after 0.555
    EXPECT_TRUE(s.BisReady);
    UndoChords(s);
    EXPECT_FALSE(s.BisReady);
    EXPECT_EQ(s.BisLeftState, 0);
    EXPECT_EQ(s.BisRightState, 0);
}

TEST(ChordsClick, TwoClicksBetweenTheSameNeighboursGiveThosePoints) {
    const DataSet ds = SymmetricV();
    ChordsState s;
    ChordsClick(s, ds, 0.412);
    ChordsClick(s, ds, 0.418);
    EXPECT_EQ(s.BisLeftStart, 2);
    EXPECT_EQ(s.BisLeftEnd, 3);
}

// Bisectors average many chords. Clean: linear interpolation on a Gaussian sampled every
// 0.001 day errs by a few 1e-6 day at most, nearly alike on both sides; 1e-5 day covers it.
// Noisy (0.005 mag): each chord's crossing moves by noise/slope ~0.0005 day on the branches
// used (slopes over 10 mag/day); the mean over ~40 bisectors is good to ~1e-4, so 0.0005 day.
TEST(ChordsRecovery, MeanBisectorFindsTheMinimum) {
    for (const auto& [noise, tolerance] : {std::pair{0.0, 1e-5}, std::pair{0.005, 5e-4}}) {
        EclipseShape e;
        e.noise = noise;
        const DataSet ds = Eclipse(e);
        ChordsState s;
        ChordsClick(s, ds, e.minimum - 0.04);
        ChordsClick(s, ds, e.minimum - 0.02);
        ChordsClick(s, ds, e.minimum + 0.02);
        ChordsClick(s, ds, e.minimum + 0.04);
        ASSERT_TRUE(s.BisReady);
        const ChordsRowResult r = PressBisectChords(s, ds);
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_NEAR(r.chords.tMin, e.minimum, tolerance) << "noise " << noise;
    }
}

// Any ranges on any curve: either a refusal with a message, or finite numbers.
TEST(ChordsRobustness, ArbitraryCurvesAndRangesGiveAMessageOrFiniteNumbers) {
    testing_support::RandomCurves curves(13);
    for (int run = 0; run < 400; ++run) {
        const DataSet ds = curves.Next();
        const int p = ds.PointCount;
        ChordsState s;
        SetChordsRanges(s, curves.Uniform(1, p), curves.Uniform(1, p), curves.Uniform(0, p),
                        curves.Uniform(1, p));
        const ChordsRowResult r = PressBisectChords(s, ds);
        if (r.ok())
            EXPECT_TRUE(std::isfinite(r.time) && std::isfinite(r.error) && r.error >= 0) << run;
        else
            EXPECT_NE(r.message, "") << run;
    }
}

}  // namespace
}  // namespace umbrix
