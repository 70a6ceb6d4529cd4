#include "converter/core/julian.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hjdprep {
namespace {

// A Julian Date near 2.45e6 carries about 1e-9 day of rounding in double precision; the
// calendar examples are exact to far better than this.
constexpr double kJdTolerance = 1e-8;
// The quoted corrections are given to 1e-7 day (0.009 s).
constexpr double kCorrectionTolerance = 1e-7;
// Largest possible correction: the light-time of 1 AU at aphelion (a(1+e) = 1.0167 AU),
// 8.3168775 min x 1.0167 / 1440, with room for rounding.
constexpr double kMaxCorrection = 8.3168775 * 1.0168 / 1440.0;

struct DateCase {
    const char* name;
    ObservationTime time;
    TimeZone zone;
    double expected;
};

class JulianDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(JulianDateTest, GivesTheKnownJulianDate) {
    EXPECT_NEAR(jd_sub(GetParam().time, GetParam().zone), GetParam().expected, kJdTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, JulianDateTest,
    testing::Values(DateCase{"J2000NoonUT", {2000, 1, 1, 12, 0, 0}, TimeZone::UT, 2451545.0},
                    DateCase{"J2000NoonJstIsNineHoursEarlier", {2000, 1, 1, 12, 0, 0}, TimeZone::JST, 2451544.625},
                    DateCase{"JstEveningIsUtNoon", {2007, 1, 5, 21, 0, 0}, TimeZone::JST, 2454106.0},
                    DateCase{"MarchFirstAfterShortFebruary", {1999, 3, 1, 0, 0, 0}, TimeZone::UT, 2451238.5},
                    DateCase{"FebruaryCountsAsMonth14", {1999, 2, 28, 0, 0, 0}, TimeZone::UT, 2451237.5},
                    DateCase{"LeapDay2000", {2000, 2, 29, 0, 0, 0}, TimeZone::UT, 2451603.5},
                    DateCase{"GregorianCenturyNotLeap1900", {1900, 3, 1, 0, 0, 0}, TimeZone::UT, 2415079.5},
                    DateCase{"SecondsAndMinutes", {2007, 1, 5, 21, 30, 45}, TimeZone::UT,
                             2454105.5 + (21 + 30 / 60.0 + 45 / 3600.0) / 24.0}),
    [](const testing::TestParamInfo<DateCase>& info) { return std::string(info.param.name); });

struct CorrectionCase {
    const char* name;
    double jd;
    StarCoordinates star;
    double expected;  // days
};

class CorrectionTest : public testing::TestWithParam<CorrectionCase> {};

TEST_P(CorrectionTest, GivesTheKnownLightTime) {
    const CorrectionCase& c = GetParam();
    EXPECT_NEAR(HeliocentricCorrection(c.jd, c.star), c.expected, kCorrectionTolerance);
    EXPECT_NEAR(jd_hosei(c.jd, c.star) - c.jd, c.expected, kCorrectionTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Stars, CorrectionTest,
    testing::Values(
        // At J2000.0 the Earth lies opposite the Sun (RA 18h 45m, -23 deg): a star there or
        // at the antipode sees nearly the full light-time of one AU, with opposite signs.
        CorrectionCase{"StarBehindTheEarth", 2451545.0, {6, 45, 0, 23, 0, 0}, 0.0057756},
        CorrectionCase{"StarBehindTheSun", 2451545.0, {18, 45, 0, -23, 0, 0}, -0.0057756}),
    [](const testing::TestParamInfo<CorrectionCase>& info) { return std::string(info.param.name); });

TEST(Correction, SouthernMinutesBelowOneDegreeCountSouth) {
    // -0 deg 30 min arrives as degrees 0 and minutes -30; the pole-ward component of the
    // Earth's direction is negative in January, so the two hemispheres differ in sign of
    // their difference from the equator's value.
    const double jd = 2451545.0;
    const double equator = HeliocentricCorrection(jd, {6, 45, 0, 0, 0, 0});
    const double south = HeliocentricCorrection(jd, {6, 45, 0, 0, -30, 0});
    const double north = HeliocentricCorrection(jd, {6, 45, 0, 0, 30, 0});
    EXPECT_GT(north, equator);
    EXPECT_LT(south, equator);
}

// Over two centuries of dates, on both sides of J2000 (negative day counts take the other
// branch of the angle reduction), the correction stays within one AU of light-time and
// antipodal stars get opposite corrections.
class CorrectionOverYears : public testing::TestWithParam<double> {};

TEST_P(CorrectionOverYears, IsBoundedAndAntisymmetric) {
    const double jd = GetParam();
    for (double ra = 0; ra < 24; ra += 1.5) {
        for (double dec = -80; dec <= 80; dec += 20) {
            const StarCoordinates star{ra, 0, 0, dec, 0, 0};
            const StarCoordinates antipode{std::fmod(ra + 12, 24), 0, 0, -dec, 0, 0};
            const double c = HeliocentricCorrection(jd, star);
            ASSERT_TRUE(std::isfinite(c));
            EXPECT_LE(std::fabs(c), kMaxCorrection) << "ra " << ra << " dec " << dec;
            // pi is taken as 3.141592654, 4e-10 off, so "12 hours on" is not quite the antipode.
            EXPECT_NEAR(c, -HeliocentricCorrection(jd, antipode), 1e-10);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dates, CorrectionOverYears,
                         testing::Values(2415020.5, 2440000.5, 2451238.5, 2451545.0, 2454106.0, 2460000.5,
                                         2488069.5));

TEST(Correction, PeaksTowardsTheEarthsDirectionAtTheEquinox) {
    // Around 2000 March 20 the Sun is at RA 0h, so the Earth seen from the Sun is at 12h on
    // the equator: a star there has the largest positive correction, one at 6h almost none.
    const double equinox = 2451623.8;
    const double toward = HeliocentricCorrection(equinox, {12, 0, 0, 0, 0, 0});
    EXPECT_GT(toward, 0.995 * 8.3168775 * 0.996 / 1440.0);
    EXPECT_NEAR(HeliocentricCorrection(equinox, {6, 0, 0, 0, 0, 0}), 0.0, 1e-4);
}

}  // namespace
}  // namespace hjdprep
