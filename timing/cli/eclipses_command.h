#pragma once
// ectimer --eclipses: every eclipse of long light curves (a TESS sector, a campaign of many
// nights, a measurement table), each cut out as a window and timed by the chosen methods with
// automatic ranges, exactly as --batch --ranges auto times a file holding that window.

#include <ostream>
#include <string>
#include <vector>

namespace umbrix {

extern const char* const kEclipsesUsage;

// Runs "--eclipses FILE... [options]"; returns the exit status (kBatchOk, kBatchRefused when
// a file could not be read or held no eclipse, kBatchFailed for a bad option or table).
int RunEclipsesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The lines of a minima table with one more field, `value`, at the end of each (line ends
// inside a quoted field are not line ends).
std::string WithColumn(const std::string& lines, const std::string& value);

}  // namespace umbrix
