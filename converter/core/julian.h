#pragma once
// Julian Date of an observation and its heliocentric correction.
//
// The observer's log gives a calendar date and a clock time; light-curve timing wants the
// moment at which the light left the star as it would have reached the Sun. jd_sub turns
// the clock reading into a Julian Date, jd_hosei adds the light-time between the Earth and
// the Sun projected on the star's direction. Both are plain functions of their inputs.

#include <cstdint>

namespace hjdprep {

// Clock time zones of a log: the "UT" and "JST" options of the window.
enum class TimeZone : std::int16_t { UT = 1, JST = 2 };

// Calendar date and clock time of one observation, as read from the log.
struct ObservationTime {
    double ObsYear = 0;
    double ObsMonth = 0;
    double ObsDay = 0;
    double ObsHour = 0;
    double ObsMinute = 0;
    double ObsSecond = 0;
};

// Equatorial coordinates of the star. For a southern star DecDegree and DecMinute both carry
// the minus sign (a star at -0 deg 30 min has DecDegree 0 and DecMinute -30).
struct StarCoordinates {
    double RaHour = 0;
    double RaMinute = 0;
    double RaSecond = 0;
    double DecDegree = 0;
    double DecMinute = 0;
    double DecSecond = 0;
};

// Julian Date (days) of the clock time, Gregorian calendar. The date is not checked: a month
// 13 or a day 0 goes straight into the formula. JST clock times are 9 hours ahead of UT.
// January and February count as months 13 and 14 of the previous year inside the formula;
// the caller's time is taken by value, so its calendar date is left as it was.
double jd_sub(ObservationTime time, TimeZone zone);

// Heliocentric Julian Date for the star: JulianDate plus the light-time (at most about
// 8.3 minutes) along the star's direction between the Earth and the Sun. The Earth's position
// comes from mean orbital elements in the ecliptic; accurate to a few seconds of time.
double jd_hosei(double JulianDate, const StarCoordinates& star);

// The light-time correction alone, in days (jd_hosei minus JulianDate).
double HeliocentricCorrection(double JulianDate, const StarCoordinates& star);

}  // namespace hjdprep
