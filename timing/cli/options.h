#pragma once
// The options of `ectimer --batch`, read from the command line, and the number and list
// readers the O-C command shares.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "timing/core/data/means.h"
#include "timing/core/session/method_runs.h"

namespace umbrix {

enum class Format { Text, Json };

// The ranges' choices (RunChoices) and what the command line adds to them. --ranges auto
// sets `chosen` for each file after loading and editing.
struct BatchOptions : RunChoices {
    std::vector<std::string> files;
    std::optional<std::string> table;
    bool inverted = false;
    std::vector<int> deletions;
    Format format = Format::Text;
    std::array<bool, kMethodRows> rows{true, true, true, true, true, true};
    bool autoRanges = false;
};

// Returns the options, or a complaint in `error`.
std::optional<BatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);

// A time or other decimal number as typed on the command line (an optional "+", nothing
// after the number); nothing for anything else, infinities and NaN included.
std::optional<double> ParseTime(const std::string& s);
// The value of the option args[i], one of `valued`, moving i onto it; nullptr, with the
// complaint in `error`, for an option not among them or one without a value.
const std::string* TakeValue(const std::vector<std::string>& args, std::size_t& i,
                             const std::vector<std::string>& valued, std::string& error);
// The parts between separators ("a,,b" gives three, the middle one empty).
std::vector<std::string> Split(const std::string& list, char separator);
// Comma-separated method names (kMethods' names) as ticks of rows 1..6; nothing when a name
// is unknown.
std::optional<std::array<bool, kMethodRows>> ParseMethods(const std::string& list);

}  // namespace umbrix
