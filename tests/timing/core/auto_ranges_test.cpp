// Ranges read off the light curve, checked on clean eclipses whose shares of the depth fall at
// times worked out by hand.

#include "timing/core/methods/auto_ranges.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/timing/core/synthetic_eclipse.h"
#include "timing/core/data/reader.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;

// A cos^2 dip 0.6 mag deep lasting 0.13 day: share(dt) = cos^2(pi dt / 0.13) for |dt| < 0.065.
// Shares fall at |dt| = (0.13 / pi) acos(sqrt(share)): 0.9 at 0.013314, 0.8 at 0.019181, 0.5 at
// 0.0325, 0.2 at 0.045819 day, and the contacts at 0.065. Sampled every 0.001 day from 0.40 to 0.60, minimum
// at 0.50123. The ranges are read off a 7-point running mean, which bends the curve by under
// one sample where it is steepest: each end is allowed two samples (0.002 day). The contacts
// are taken where the mean is back at the level: with no noise that is when all 7 points are,
// 3 samples outside the contact, and the range ends at the next point: four samples.
double Cos2Dip(double dt) {
    if (std::fabs(dt) >= 0.065) return 12.0;
    const double c = std::cos(M_PI * dt / 0.13);
    return 12.0 + 0.6 * c * c;
}

TEST(ChooseRanges, CleanEclipseGivesItsShareTimes) {
    EclipseShape e;
    e.dip = Cos2Dip;
    const DataSet ds = Eclipse(e);
    const AutoRanges r = ChooseRanges(ds);
    ASSERT_TRUE(r.eclipse) << r.message;
    const double t0 = e.minimum;
    const auto at = [&](int i) { return ds.Time[i] - t0; };
    EXPECT_NEAR(r.centre, t0, 1e-4);
    EXPECT_NEAR(r.depth, 0.6, 0.01);
    // Without noise any departure of the cos^2 bottom from a parabola outweighs the noise, so
    // the range narrows from half the depth (0.0325 day) to the narrowest share, 0.9: 0.013314.
    EXPECT_EQ(r.parabolaShare, 0.9);
    EXPECT_NEAR(at(r.parabolaFirst), -0.013314, 0.002);
    EXPECT_NEAR(at(r.parabolaLast), 0.013314, 0.002);
    EXPECT_NEAR(at(r.leftFirst), -0.045819, 0.002);
    EXPECT_NEAR(at(r.leftLast), -0.019181, 0.002);
    EXPECT_NEAR(at(r.rightFirst), 0.019181, 0.002);
    EXPECT_NEAR(at(r.rightLast), 0.045819, 0.002);
    EXPECT_NEAR(at(r.contactFirst), -0.065, 0.004);
    EXPECT_NEAR(at(r.contactLast), 0.065, 0.004);
    EXPECT_TRUE(r.parabolaMessage.empty() && r.chordsMessage.empty() && r.contactMessage.empty());
}

// The night begins 0.04 day before the minimum, on the first branch: the contact range is
// cut to as much after the minimum as there is before it.
TEST(ChooseRanges, ABranchCutShortKeepsTheContactRangeSymmetric) {
    EclipseShape e;
    e.dip = Cos2Dip;
    e.first = 0.46123;
    e.points = 140;
    const DataSet ds = Eclipse(e);
    const AutoRanges r = ChooseRanges(ds);
    ASSERT_TRUE(r.eclipse) << r.message;
    EXPECT_EQ(r.contactFirst, 1);
    EXPECT_NEAR(ds.Time[r.contactLast] - e.minimum, e.minimum - ds.Time[1], 0.0011);
}

TEST(ChooseRanges, OneBranchOrNoEclipseIsRefused) {
    EclipseShape oneBranch;
    oneBranch.dip = Cos2Dip;
    oneBranch.points = 95;  // ends 0.006 day before the minimum
    const AutoRanges a = ChooseRanges(Eclipse(oneBranch));
    EXPECT_FALSE(a.eclipse);
    EXPECT_NE(a.message.find("only one branch"), std::string::npos) << a.message;

    EclipseShape flat;
    flat.dip = [](double) { return 12.0; };
    flat.noise = 0.01;
    const AutoRanges b = ChooseRanges(Eclipse(flat));
    EXPECT_FALSE(b.eclipse);
    EXPECT_NE(b.message.find("No eclipse"), std::string::npos) << b.message;
}

// The 0.03-day Gaussian dip (half depth at |dt| = 0.0250 day) with noise 0.005 mag, on three
// samplings. Every 0.001 day: every method has its range. Every 0.012 day (22 points): at most
// five points lie deeper than half the depth, below the parabola's six, and straight lines
// 0.012 day apart miss the bottom's bend by about 0.6 (0.012 / 0.025)^2 / 8 = 0.017 mag, far
// beyond a third of the noise. A dip three times narrower sampled every 0.00215 day (20
// points from contact to contact): seven or eight points on the bottom keep the parabola, but
// the bend, 0.6 (0.00215 / 0.0083)^2 / 8 = 0.005 mag, still refuses sliding integrations.
TEST(ChooseRanges, NightsTooSparseForAMethodAreRefusedForThatMethodOnly) {
    EclipseShape dense;
    dense.noise = 0.005;
    const AutoRanges a = ChooseRanges(Eclipse(dense));
    ASSERT_TRUE(a.eclipse) << a.message;
    EXPECT_EQ(a.parabolaMessage + a.chordsMessage + a.contactMessage + a.slidingMessage, "");

    EclipseShape sparse = dense;
    sparse.first = 0.37;
    sparse.spacing = 0.012;
    sparse.points = 22;
    const AutoRanges b = ChooseRanges(Eclipse(sparse));
    ASSERT_TRUE(b.eclipse) << b.message;
    EXPECT_NE(b.parabolaMessage.find("too sparse for a parabola"), std::string::npos) << b.parabolaMessage;
    EXPECT_NE(b.slidingMessage.find("too far apart at the bottom"), std::string::npos);
    EXPECT_EQ(b.chordsMessage + b.contactMessage, "");

    EclipseShape shortEclipse = dense;
    shortEclipse.dip = [](double dt) { return 12.0 + 0.6 * std::exp(-(dt / 0.01) * (dt / 0.01)); };
    shortEclipse.first = 0.44;
    shortEclipse.spacing = 0.00215;
    shortEclipse.points = 60;
    const AutoRanges c = ChooseRanges(Eclipse(shortEclipse));
    ASSERT_TRUE(c.eclipse) << c.message;
    EXPECT_EQ(c.parabolaMessage + c.chordsMessage + c.contactMessage, "");
    EXPECT_NE(c.slidingMessage.find("too far apart at the bottom"), std::string::npos);
}

// Three minima in one night (testing_support::ThreeMinima): whole ones at .50123 and .70123
// and, deepest of all, one whose minimum falls after the night's end. The partial one is not
// timed and says why; every range lies on the deepest whole one, whose stretch ends at the
// maximum of light halfway to the next, .60123.
TEST(ChooseRanges, SeveralMinimaTimeTheDeepestWithBothBranches) {
    EclipseShape e;
    e.dip = testing_support::ThreeMinima;
    e.points = 600;
    e.noise = 0.003;
    const DataSet ds = Eclipse(e);
    const AutoRanges r = ChooseRanges(ds);
    ASSERT_TRUE(r.eclipse) << r.message;
    ASSERT_EQ(r.night.dips.size(), 3u);
    EXPECT_TRUE(r.night.dips[0].covered);
    EXPECT_TRUE(r.night.dips[1].covered);
    EXPECT_FALSE(r.night.dips[2].covered);
    EXPECT_EQ(r.night.dips[2].why, "it has no rising branch: the light curve ends inside the eclipse");
    EXPECT_NEAR(r.night.dips[1].centre, e.minimum + 0.2, 5e-4);
    EXPECT_EQ(r.chosen, 0);
    EXPECT_NEAR(r.centre, e.minimum, 5e-4);
    EXPECT_EQ(r.stretchFirst, 1);
    EXPECT_NEAR(ds.Time[r.stretchLast], e.minimum + 0.1, 0.01);
    for (const int i : {r.parabolaFirst, r.parabolaLast, r.leftFirst, r.leftLast, r.rightFirst,
                        r.rightLast, r.contactFirst, r.contactLast})
        EXPECT_TRUE(i >= r.stretchFirst && i <= r.stretchLast) << i;
}

// The same minima on a real night: NSVS 896797 on JD 2458403 (V, 210 points), two whole minima
// and a third cut off by the end of the night. Its first minimum, by a least-squares fit of a
// curve even in (t - T0) to the points within 0.035 day (numpy), lies at .587865.
TEST(ChooseRanges, RealNightOfAWUMaStarFindsItsThreeMinima) {
    DataSet ds;
    ds.DataPath = std::string(UMBRIX_TEST_DATA) + "/nsvs896797_V_three_minima.csv";
    ASSERT_EQ(LoadDataFile(ds), "");
    const AutoRanges r = ChooseRanges(ds);
    ASSERT_TRUE(r.eclipse) << r.message;
    ASSERT_EQ(r.night.dips.size(), 3u);
    EXPECT_EQ(r.chosen, 0);
    EXPECT_NEAR(r.centre, 0.587865, 6e-4);
    EXPECT_NEAR(r.night.dips[1].centre, 0.745955, 6e-4);
    EXPECT_FALSE(r.night.dips[2].covered);
}

}  // namespace
}  // namespace umbrix
