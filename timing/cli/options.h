#pragma once
// The options of `ectimer --batch`, read from the command line, and the number and list
// readers the O-C command shares.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "timing/core/data/means.h"
#include "timing/core/methods/auto_ranges.h"
#include "timing/core/methods/kvw.h"

namespace umbrix {

enum class Format { Text, Json };

struct BatchOptions {
    std::vector<std::string> files;
    std::optional<std::string> table;
    bool inverted = false;
    std::vector<int> deletions;
    Format format = Format::Text;
    std::array<bool, kMethodRows> rows{true, true, true, true, true, true};
    std::optional<std::array<double, 2>> range;
    std::optional<std::array<double, 4>> chords;
    std::optional<double> fold;
    std::string stepp = kKvwDefaultStepp;
    std::string frac = kKvwDefaultFrac;
    std::optional<std::string> fourierStart;
    bool autoRanges = false;
    // --ranges auto: what was read off the light curve after loading and editing.
    std::optional<AutoRanges> chosen;
};

// Returns the options, or a complaint in `error`.
std::optional<BatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

// A time or other decimal number as typed on the command line (an optional "+", nothing
// after the number); nothing for anything else, infinities and NaN included.
std::optional<double> ParseTime(const std::string& s);
// The parts between separators ("a,,b" gives three, the middle one empty).
std::vector<std::string> Split(const std::string& list, char separator);
// Comma-separated method names (kMethods' names) as ticks of rows 1..6; nothing when a name
// is unknown.
std::optional<std::array<bool, kMethodRows>> ParseMethods(const std::string& list);

}  // namespace umbrix
