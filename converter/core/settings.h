#pragma once
// "hjdprep.ini": what the window shows when it opens, eight lines, one value each:
//   1 log path   2 time zone (1 = UT, anything else JST)   3-5 right ascension h, m, s
//   6 declination degrees   7 declination minutes   8 star name
// A value is read up to the end of its line or a comma, without surrounding blanks; a log
// path or star name that holds a comma, a quote or blanks at its ends is written between
// double quotes (a quote inside doubled) and read back exactly; numbers are written with a blank where a plus sign would stand. The degrees keep their
// minus sign even at zero ("-0"), so a star between 0 and -1 degree stays southern; the
// minutes are written without sign, the degrees carrying the hemisphere.

#include <optional>
#include <string>
#include <string_view>

#include "converter/core/julian.h"

namespace hjdprep {

struct ConverterSettings {
    std::string StdFileName;
    TimeZone zone = TimeZone::UT;
    StarCoordinates coordinates;
    std::string StarName = "CASRZ";
};

// The settings in the text, or nothing when it has fewer than eight lines.
std::optional<ConverterSettings> ParseSettings(std::string_view text);

std::string SettingsText(const ConverterSettings& settings);

}  // namespace hjdprep
