#include "timing/core/methods/parabola.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/timing/core/synthetic_eclipse.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;
using testing_support::WorkingSet;

const std::vector<double> kFiveTimes{0.1, 0.2, 0.3, 0.4, 0.5};

TEST(FitParabola, PointsOnAParabolaGiveItsCoefficientsAndVertex) {
    std::vector<double> m;
    for (const double t : kFiveTimes) m.push_back(10 - 4 * (t - 0.3) * (t - 0.3));
    const ParabolaFit f = FitParabola(WorkingSet(kFiveTimes, m), 1, 5);
    ASSERT_TRUE(f.ok) << f.message;
    // Exact data: only rounding of the normal sums separates the results from the truth.
    constexpr double kRounding = 1e-9;
    EXPECT_NEAR(f.a0, 9.64, kRounding);
    EXPECT_NEAR(f.a1, 2.4, kRounding);
    EXPECT_NEAR(f.a2, -4, kRounding);
    EXPECT_NEAR(f.tMin, 0.3, kRounding);
    EXPECT_NEAR(f.rms, 0, 1e-6);
    EXPECT_NEAR(ParabolaTimeError(f), 0, 1e-9);
}

// The second worked example, to the digits it is printed with (half a unit of the last digit).
TEST(FitParabola, NoisyFivePointsReproduceThePrintedFit) {
    const DataSet ds = WorkingSet(kFiveTimes, {9.85, 9.95, 10.00, 9.96, 9.84});
    ParabolaState s;
    s.SetEnds(SetRangeEnds(s.Ends(), 1, 5));
    const ParabolaRowResult r = PressFitParabola(s, ds);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_NEAR(r.fit.a0, 9.658, 5e-4);
    EXPECT_NEAR(r.fit.a1, 2.261429, 5e-7);
    EXPECT_NEAR(r.fit.a2, -3.785714, 5e-7);
    EXPECT_NEAR(r.fit.tMin, 0.298679, 5e-7);
    EXPECT_NEAR(r.fit.rms, 0.0079282, 5e-8);
    EXPECT_NEAR(r.fit.sigmaA1, 0.129583, 5e-7);
    EXPECT_NEAR(r.fit.sigmaA2, 0.211891, 5e-7);
    EXPECT_NEAR(r.error, 0.00018968, 5e-9);
    EXPECT_EQ(r.errorText, "0.00019");
    EXPECT_EQ(r.rmsText, "   0.008");
    EXPECT_EQ(r.timeText, "2454123.29868");
    EXPECT_TRUE(s.ParabFitted);
    EXPECT_EQ(s.ParabA1, r.fit.a1);
}

TEST(FitParabola, FourPointsUseOneDegreeOfFreedom) {
    const DataSet ds = WorkingSet({0.1, 0.2, 0.3, 0.4}, {9.9, 10.0, 10.02, 9.9});
    const ParabolaFit f = FitParabola(ds, 1, 4);
    ASSERT_TRUE(f.ok);
    double ssr = 0;
    for (int i = 1; i <= 4; ++i) {
        const double t = ds.Time[i];
        ssr += std::pow(ds.Mag[i] - (f.a0 + f.a1 * t + f.a2 * t * t), 2);
    }
    EXPECT_NEAR(f.rms, std::sqrt(ssr / 1), 1e-12);
}

TEST(FitParabola, AVertexThatIsAMaximumOfLightIsRefused) {
    // Working magnitudes peak at minimum light; the same points negated (a flux curve read
    // without the sign change) put a maximum of light at the vertex.
    const std::vector<double> m{9.85, 9.95, 10.00, 9.96, 9.84};
    std::vector<double> neg;
    for (const double v : m) neg.push_back(-v);
    const ParabolaFit up = FitParabola(WorkingSet(kFiveTimes, m), 1, 5);
    const ParabolaFit down = FitParabola(WorkingSet(kFiveTimes, neg), 1, 5);
    ASSERT_TRUE(up.ok);
    EXPECT_FALSE(up.vertexOutside);
    EXPECT_FALSE(down.ok);
    EXPECT_NE(down.message.find("opens the wrong way"), std::string::npos) << down.message;
}

TEST(FitParabola, ErrorOfAVertexBeforeTheDayOffsetIsPositive) {
    // A vertex at t = -0.2 (extrapolated before the offset day) makes the raw product negative.
    std::vector<double> t{0.1, 0.2, 0.3, 0.4, 0.5}, m;
    const double wobble[5] = {0.002, -0.003, 0.001, 0.002, -0.002};
    for (int i = 0; i < 5; ++i) m.push_back(10 - (t[i] + 0.2) * (t[i] + 0.2) + wobble[i]);
    const ParabolaFit f = FitParabola(WorkingSet(t, m), 1, 5);
    ASSERT_TRUE(f.ok);
    ASSERT_LT(f.tMin, 0);
    EXPECT_GT(ParabolaTimeError(f), 0);
    EXPECT_TRUE(f.vertexOutside);  // extrapolated: the result stands, with a warning
}

struct Refusal {
    const char* name;
    std::vector<double> times, mags;
    int start, end;
    const char* message;
    friend void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }
};

class ParabolaRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(ParabolaRefusals, RefuseWithMessageAndKeepTheEarlierFit) {
    const Refusal& c = GetParam();
    const DataSet ds = WorkingSet(c.times, c.mags);
    ParabolaState s;
    s.ParabA1 = 123;  // an earlier fit that must survive
    s.ParabFitted = false;
    s.SetEnds(SetRangeEnds(s.Ends(), c.start, c.end));
    const ParabolaRowResult r = PressFitParabola(s, ds);
    EXPECT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.timeText, "");
    EXPECT_FALSE(s.ParabFitted);
    EXPECT_EQ(s.ParabA1, 123);
}

// Times that are sums of powers of two keep every normal sum exact, so zero really is zero.
INSTANTIATE_TEST_SUITE_P(
    Cases, ParabolaRefusals,
    testing::Values(
        Refusal{"ThreePoints", {0.1, 0.2, 0.3}, {1, 2, 1}, 1, 3,
                "A parabola needs at least four points in the range."},
        Refusal{"EndBeforeStart", {0.1, 0.2, 0.3, 0.4, 0.5}, {1, 2, 3, 2, 1}, 3, 2,
                "The end of the range lies before its start."},
        Refusal{"EndBeyondWorkingSet", {0.1, 0.2, 0.3, 0.4}, {1, 2, 2, 1}, 1, 5,
                "The range lies outside the working points."},
        Refusal{"CoincidentTimes", {0.5, 0.5, 0.5, 0.5}, {1, 2, 3, 4}, 1, 4,
                "Point 2 repeats the time of point 1, and this method would use both points: "
                "delete one of them (Plot/Edit Data), or leave them out of the range, and try "
                "again."},
        Refusal{"FlatLightCurveHasNoVertex", {0.25, 0.5, 0.75, 1.0}, {10, 10, 10, 10}, 1, 4,
                "The fitted parabola is a straight line: no vertex."},
        Refusal{"VertexAtZeroLeavesA1Zero", {-0.5, -0.25, 0.25, 0.5},
                {10.25, 10.0625, 10.0625, 10.25}, 1, 4,
                "The fitted A1 is zero: the error cannot be estimated."}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(PressFitParabola, DoesNothingUntilBothEndsFoundAPoint) {
    const DataSet ds = WorkingSet(kFiveTimes, {9.85, 9.95, 10.00, 9.96, 9.84});
    ParabolaState s;
    s.SetEnds(PickRangeEnd(s.Ends(), ds, 0.45, 0));
    EXPECT_EQ(PressFitParabola(s, ds).outcome, MethodOutcome::NotRun);
    s.SetEnds(PickRangeStart(s.Ends(), ds, 0.6, 0));  // no point later than 0.6: the start index stays 0
    EXPECT_TRUE(s.ParabReady);
    EXPECT_EQ(PressFitParabola(s, ds).outcome, MethodOutcome::NotRun);
    s.SetEnds(PickRangeStart(s.Ends(), ds, 0.05, 0));
    EXPECT_EQ(PressFitParabola(s, ds).outcome, MethodOutcome::Done);
}

TEST(PickParabola, RangeHoldsThePointsStrictlyBetweenTheClicks) {
    const DataSet ds = WorkingSet(kFiveTimes, {9.85, 9.95, 10.00, 9.96, 9.84});
    ParabolaState s;
    s.SetEnds(PickRangeStart(s.Ends(), ds, 0.15, 0));
    s.SetEnds(PickRangeEnd(s.Ends(), ds, 0.5, 0));  // a click exactly on a point leaves that point out
    EXPECT_EQ(s.ParabStartIndex, 2);
    EXPECT_EQ(s.ParabEndIndex, 4);
    EXPECT_EQ(s.ParabStartTime, 0.15);
    s.SetEnds(PickRangeEnd(s.Ends(), ds, 0.01, 0));  // nothing earlier: the index keeps the older pick
    EXPECT_EQ(s.ParabEndIndex, 4);
    UndoParabola(s);
    EXPECT_FALSE(s.ParabReady || s.ParabStartSet || s.ParabEndSet || s.ParabFitted);
    EXPECT_EQ(s.ParabStartIndex, 2);
}

TEST(SampleParabola, SpansTheWorkingTimeAxisInHundredSteps) {
    DataSet ds = WorkingSet({0.202, 0.4, 0.698}, {1, 2, 1});
    ASSERT_NEAR(ds.TimeMin, 0.2, 1e-12);
    ASSERT_NEAR(ds.TimeSpan, 0.5, 1e-12);
    ParabolaState s;
    s.ParabA0 = 1;
    s.ParabA1 = -2;
    s.ParabA2 = 3;
    SampleParabola(s, ds);
    EXPECT_NEAR(s.ParabCurveTime[1] - s.ParabCurveTime[0], 0.005, 1e-12);
    EXPECT_NEAR(s.ParabCurveTime[100], 0.7, 1e-12);
    const double t = s.ParabCurveTime[37];
    EXPECT_NEAR(s.ParabCurveMag[37], 1 - 2 * t + 3 * t * t, 1e-12);
}

// A Gaussian dip sampled every 0.001 day, the range +-0.02 day about the true minimum. The
// picked range can hold one point more on one side (the minimum lies between two samples),
// which pulls the vertex by a small fraction of the spacing: 0.0002 day covers it. Noise of
// 0.005 mag on slopes of ~10 mag/day moves a vertex fitted to 40 points by ~1e-4 day;
// 0.0008 day is several times that.
struct Recovery {
    const char* name;
    double noise;
    double tolerance;
    friend void PrintTo(const Recovery& r, std::ostream* os) { *os << r.name; }
};

class ParabolaRecovery : public testing::TestWithParam<Recovery> {};

TEST_P(ParabolaRecovery, VertexFindsTheMinimum) {
    EclipseShape e;
    e.noise = GetParam().noise;
    const DataSet ds = Eclipse(e);
    ParabolaState s;
    s.SetEnds(PickRangeStart(s.Ends(), ds, e.minimum - 0.02, 0));
    s.SetEnds(PickRangeEnd(s.Ends(), ds, e.minimum + 0.02, 0));
    const ParabolaRowResult r = PressFitParabola(s, ds);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_NEAR(r.fit.tMin, e.minimum, GetParam().tolerance);
    EXPECT_NEAR(r.time - ds.DayOffset, r.fit.tMin, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParabolaRecovery,
                         testing::Values(Recovery{"Clean", 0, 0.0002},
                                         Recovery{"Noisy", 0.005, 0.0008}),
                         [](const testing::TestParamInfo<Recovery>& info) { return info.param.name; });

// Any range on any curve: either a refusal with a message, or finite numbers.
TEST(ParabolaRobustness, ArbitraryCurvesAndRangesGiveAMessageOrFiniteNumbers) {
    testing_support::RandomCurves curves(11);
    for (int run = 0; run < 400; ++run) {
        const DataSet ds = curves.Next();
        ParabolaState s;
        s.SetEnds(SetRangeEnds(s.Ends(), curves.Uniform(1, ds.PointCount), curves.Uniform(1, ds.PointCount)));
        const ParabolaRowResult r = PressFitParabola(s, ds);
        if (r.ok()) {
            EXPECT_TRUE(std::isfinite(r.time) && std::isfinite(r.error) && r.error >= 0) << run;
            EXPECT_NE(r.timeText, "");
        } else {
            EXPECT_NE(r.message, "") << run;
            EXPECT_FALSE(s.ParabFitted);
        }
    }
}

}  // namespace
}  // namespace umbrix
