#pragma once
// The trial ephemeris the O-C window last used for each minima table, kept between runs in
// oc_ephemerides.ini beside zzzumb.ini: one line "T0,P,table" per table, the table's path
// last so that a comma in it needs no quoting. T0 and P are kept as the texts the window
// showed, so that the digits typed come back as typed.

#include <optional>
#include <string>
#include <vector>

namespace umbrix {

inline constexpr const char* kEphemeridesFileName = "oc_ephemerides.ini";

struct RememberedEphemeris {
    std::string table;  // the minima table's path, as the window opened it
    std::string t0, p;  // texts that ParseEphemeris accepts
    friend bool operator==(const RememberedEphemeris&, const RememberedEphemeris&) = default;
};

// The entries of the file's text. A line that is not "T0,P,table" with a T0 that is a number
// and a P above zero is dropped (a damaged file costs its entries, never the window); of two
// lines for one table the later counts.
std::vector<RememberedEphemeris> ParseRememberedEphemerides(const std::string& text);

// The file's text: one line per entry, LF ended.
std::string RememberedEphemeridesText(const std::vector<RememberedEphemeris>& list);

// The entry of table, if any.
std::optional<RememberedEphemeris> FindRemembered(const std::vector<RememberedEphemeris>& list,
                                                  const std::string& table);

// The list with entry in place of the table's earlier one (or added at the end).
std::vector<RememberedEphemeris> Remember(std::vector<RememberedEphemeris> list, const RememberedEphemeris& entry);

// The shortest plain decimal that reads back as value exactly: what "Use Fit as Ephemeris"
// writes into the boxes, so that the fitted numbers reach the trial ephemeris unrounded.
std::string ExactDecimal(double value);

}  // namespace umbrix
