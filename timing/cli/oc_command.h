#pragma once
// ectimer --oc: the O-C table of a minima table against a trial ephemeris, and the linear and
// quadratic ephemerides fitted to it.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "timing/core/oc/oc.h"

namespace umbrix {

// What a plot of the O-C run needs; plotPath is empty unless --plot was given.
struct OcOutcome {
    std::vector<OcRow> rows;
    double t0 = 0, p = 0;
    std::optional<Ephemeris> linear, quadratic;  // set when fitted (ok or refused)
    std::string plotPath;
    // --show: the O-C window is to open on the table with these choices (the ephemeris as
    // the two texts typed).
    bool show = false;
    std::string table, method, t0Text, pText;
    bool secondary = false, quadraticAsked = false;
};

// Prints the O-C table and the fits of `args` ("--oc TABLE ..."), fills `outcome` and
// returns the exit status; complaints go to err with kOcUsage.
int RunOcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 OcOutcome& outcome);

}  // namespace umbrix
