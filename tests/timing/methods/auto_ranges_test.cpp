// Ranges read off the light curve, checked on clean eclipses whose shares of the depth fall at
// times worked out by hand.

#include "timing/methods/auto_ranges.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/timing/methods/synthetic_eclipse.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;

// A cos^2 dip 0.6 mag deep lasting 0.13 day: share(dt) = cos^2(pi dt / 0.13) for |dt| < 0.065.
// Shares fall at |dt| = (0.13 / pi) acos(sqrt(share)): 0.8 at 0.019181, 0.5 at 0.0325, 0.2 at
// 0.045819 day, and the contacts at 0.065. Sampled every 0.001 day from 0.40 to 0.60, minimum
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
    EXPECT_NEAR(at(r.parabolaFirst), -0.0325, 0.002);
    EXPECT_NEAR(at(r.parabolaLast), 0.0325, 0.002);
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

}  // namespace
}  // namespace umbrix
