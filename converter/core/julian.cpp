#include "converter/core/julian.h"

#include <cmath>

namespace hjdprep {

namespace {
// The constants of the formula as the converter has always used them; HJDs written by
// earlier versions stay reproducible to the last decimal.
constexpr double kPi = 3.141592654;
constexpr double kTwoPi = 6.283185308;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kObliquityDeg = 23.429292;
// Light-time for one astronomical unit, in minutes.
constexpr double kLightMinutesPerAu = 8.3168775;
// Newton's method on Kepler's equation converges in a handful of steps for the Earth's
// eccentricity; the cap only guards against a non-finite day count looping for ever.
constexpr int kMaxKeplerSteps = 100;

// Mean anomaly reduced to [0, 2 pi).
double ReduceAngle(double m) {
    const double q = m / kTwoPi;
    if (q >= 0) return (q - std::floor(q)) * kTwoPi;
    double reduced = (q + std::floor(std::fabs(q))) * kTwoPi;
    if (reduced < 0) reduced += kTwoPi;
    return reduced;
}

double EccentricAnomaly(double meanAnomaly, double e) {
    double E = meanAnomaly;
    for (int step = 0; step < kMaxKeplerSteps; ++step) {
        const double f = E - e * std::sin(E) - meanAnomaly;
        E = E - f / (1.0 - e * std::cos(E));
        if (std::fabs(f) <= 1e-11) break;
    }
    return E;
}
}  // namespace

double jd_sub(ObservationTime t, TimeZone zone) {
    if (t.ObsMonth < 3) {
        t.ObsYear -= 1;
        t.ObsMonth += 12;
    }
    const double a = std::floor(t.ObsYear / 100.0);
    double jd = std::floor(365.25 * t.ObsYear) - a + std::floor(a / 4.0) +
                std::floor(30.6001 * (t.ObsMonth + 1)) + t.ObsDay + t.ObsHour / 24.0 +
                t.ObsMinute / 1440.0 + t.ObsSecond / 86400.0 + 1720996.5;
    if (zone == TimeZone::JST) jd -= 0.375;
    return jd;
}

double HeliocentricCorrection(double JulianDate, const StarCoordinates& star) {
    const double d = JulianDate - 2451545.0;
    const double perihelionDeg = 102.94719 + 9.11309e-6 * d;
    const double a = 1.00000011 - 1.36893e-12 * d;
    const double e = 0.01671022 - 1.04148e-9 * d;
    const double meanLongitudeDeg = 100.46435 + 0.985609101 * d;

    const double M = ReduceAngle((meanLongitudeDeg - perihelionDeg) * kDegToRad);
    const double E = EccentricAnomaly(M, e);
    double nu = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
    if (nu < 0) nu += kTwoPi;

    const double r = a * (1.0 - e * e) / (1.0 + e * std::cos(nu));
    const double lambda = perihelionDeg * kDegToRad + nu;
    const double x = r * std::cos(lambda);
    const double y = r * std::sin(lambda);
    const double eps = kObliquityDeg * kDegToRad;
    const double xEq = x;
    const double yEq = y * std::cos(eps);
    const double zEq = y * std::sin(eps);

    // Direction of the Earth seen from the Sun. atan2 gives the quadrant the classic
    // arctangent-plus-corrections recipe gives, and stays defined when xEq is exactly 0.
    double alphaHours = std::atan2(yEq, xEq) * 12.0 / kPi;
    if (alphaHours < 0) alphaHours += 24.0;
    const double deltaDeg = std::atan2(zEq, std::sqrt(xEq * xEq + yEq * yEq)) * 180.0 / kPi;
    const double alphaE = alphaHours * kPi / 12.0;
    const double deltaE = deltaDeg * kDegToRad;
    const double ex = std::cos(alphaE) * std::cos(deltaE);
    const double ey = std::sin(alphaE) * std::cos(deltaE);
    const double ez = std::sin(deltaE);

    const double alpha = (star.RaHour + star.RaMinute / 60.0 + star.RaSecond / 3600.0) * 15.0 * kDegToRad;
    const double delta = (star.DecDegree + star.DecMinute / 60.0 + star.DecSecond / 3600.0) * kDegToRad;
    const double sx = std::cos(alpha) * std::cos(delta);
    const double sy = std::sin(alpha) * std::cos(delta);
    const double sz = std::sin(delta);

    const double minutes = kLightMinutesPerAu * (sx * ex + sy * ey + sz * ez);
    return minutes / 1440.0;
}

double jd_hosei(double JulianDate, const StarCoordinates& star) {
    return JulianDate + HeliocentricCorrection(JulianDate, star);
}

}  // namespace hjdprep
