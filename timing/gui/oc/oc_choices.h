#pragma once
// What the O-C window opens a table with, as the command line chooses it.

#include <QString>

namespace umbrix {

// The trial ephemeris (an empty T0 or P: the one remembered for the table, if any) and the
// choices of `ectimer --oc`.
struct OcWindowChoices {
    QString t0, p;
    QString method = "mean";
    bool secondary = false, quadratic = false;
};

}  // namespace umbrix
