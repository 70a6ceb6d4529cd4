#pragma once
// The light-curve reader: a comma-separated text file of time (HJD) and magnitude, 2 to 6
// columns, an optional header line, at most kMaxPoints records.
//
// Reading is all-or-nothing: the text is parsed into a fresh value first and the data set
// is replaced only when the whole file was good. A refused file leaves the data set as it
// was, except that DataDir, DataFileName and DataPath (set by the caller) already name it.

#include <string>
#include <string_view>
#include <vector>

#include "timing/core/data/data_set.h"

namespace umbrix {

// The refusal for a file whose second line has no comma (shown exactly like this).
extern const char* const kNotCsvMessage;

struct ParsedLightCurve {
    bool ok = false;
    std::string message;  // why the file was refused; empty when ok
    std::vector<double> hjd;
    std::vector<double> mag;
    std::vector<int> line;  // the file line of each point
};

// Parses the whole text of a light-curve file. fileName appears in refusal messages.
ParsedLightCurve ParseLightCurve(std::string_view text, const std::string& fileName);

// Reads ds.DataPath and, when the file is good, replaces the points of ds and derives the
// store from them: MagSign +1, DayOffset, the relative times, the working set (all points),
// its extremes, the frozen extremes and GuessMinTime. Returns an empty string on success,
// otherwise the message for the user; ds is then untouched.
std::string LoadDataFile(DataSet& ds);

// Replaces the points of ds with the parsed ones and derives the store (the success half
// of LoadDataFile). hjd and mag must be of equal length, 1..kMaxPoints; lines, when given,
// as long (the points' file lines), otherwise the points count as read from no file.
void ApplyLightCurve(DataSet& ds, const std::vector<double>& hjd, const std::vector<double>& mag,
                     const std::vector<int>& lines = {});

}  // namespace umbrix
