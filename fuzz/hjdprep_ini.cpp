// hjdprep.ini. Whatever the window reads back is what it writes: the log path, the star name
// and the time zone survive a save and load exactly, the coordinates to the 15 digits they
// are written with, and a second save and load changes nothing at all.

#include <cmath>

#include "converter/core/settings.h"
#include "fuzz/check.h"

namespace {

bool Close(double a, double b) { return a == b || std::fabs(a - b) <= 1e-13 * std::fmax(std::fabs(a), std::fabs(b)); }

double Declination(const hjdprep::StarCoordinates& c) {
    // The hemisphere rides on either field; what counts is the signed angle.
    const bool south = std::signbit(c.DecDegree) || c.DecMinute < 0;
    const double angle = std::fabs(c.DecDegree) + std::fabs(c.DecMinute) / 60;
    return south ? -angle : angle;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto first = hjdprep::ParseSettings(fuzz::AsText(data, size));
    if (!first) return 0;
    const auto second = hjdprep::ParseSettings(hjdprep::SettingsText(*first));
    FUZZ_CHECK(second.has_value());
    FUZZ_CHECK(second->StdFileName == first->StdFileName);
    FUZZ_CHECK(second->StarName == first->StarName);
    FUZZ_CHECK(second->zone == first->zone);
    const hjdprep::StarCoordinates& a = first->coordinates;
    const hjdprep::StarCoordinates& b = second->coordinates;
    for (double v : {a.RaHour, a.RaMinute, a.RaSecond, a.DecDegree, a.DecMinute}) FUZZ_CHECK(std::isfinite(v));
    FUZZ_CHECK(Close(a.RaHour, b.RaHour) && Close(a.RaMinute, b.RaMinute) && Close(a.RaSecond, b.RaSecond));
    FUZZ_CHECK(Close(Declination(a), Declination(b)) || (Declination(a) == 0 && Declination(b) == 0));

    const std::string text = hjdprep::SettingsText(*second);
    const auto third = hjdprep::ParseSettings(text);
    FUZZ_CHECK(third.has_value());
    FUZZ_CHECK(hjdprep::SettingsText(*third) == text);
    return 0;
}
