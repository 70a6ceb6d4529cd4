#pragma once
// What the command line prints about one light curve: its summary, its eclipses (--ranges
// auto), each method's row and the means, as text or as the members of one JSON object.

#include <ostream>
#include <string>
#include <vector>

#include "timing/cli/options.h"
#include "timing/core/session/method_runs.h"
#include "timing/core/data/means.h"
#include "timing/core/methods/method_table.h"

namespace umbrix {

// A method that ran, and what it yielded.
struct RanRow {
    const MethodEntry* method;
    BatchRow report;
};

// A method's or the reader's message in the words of the command line: what the window would
// have the user click or type ("press Go", "click 'Update'", "Plot/Edit Data", a box) becomes
// the option that does it here. Any other text comes back as it was.
std::string CommandLineWording(std::string message);

// The summary of the data as loaded and edited: "key: value" lines, or JSON members without
// braces.
void PrintSummaryText(const DataSet& ds, std::ostream& out);
void PrintSummaryJson(const DataSet& ds, std::ostream& out);
// --ranges auto: every eclipse of the night, the one timed and why the others are not.
void PrintEclipses(const DataSet& ds, const AutoRanges& a, Format format, std::ostream& out);
// The rows that ran and the means: one line each, or the "methods" and "means" members.
void PrintRowsText(const std::vector<RanRow>& ran, const MeansResult& means, std::ostream& out);
void PrintRowsJson(const std::vector<RanRow>& ran, const MeansResult& means, std::ostream& out);

}  // namespace umbrix
