#pragma once
// The six methods run on one light curve as their windows run them, with the command line's
// ranges or those --ranges auto chose: each yields its row result and its own numbers for the
// JSON output.

#include <string>

#include "timing/cli/options.h"
#include "timing/core/methods/method_common.h"
#include "timing/core/session/app_state.h"

namespace umbrix {


// A method's row as the batch mode reports it: the row result a window would write into the
// main window, and the method's own numbers as the members of a JSON object.
struct BatchRow {
    RowResult result;
    std::string details;
    std::string ranges;  // --ranges auto: the chosen range's end times, for the text output
};


// Row 1..6's method on the session's light curve, after what Go of the row prepares.
BatchRow RunMethodRow(int row, AppState& app, const BatchOptions& o);

// --fourier-start: the eight texts (already checked to be eight) as if typed into the boxes,
// Xo made relative to the day offset as the box shows it, followed by Update.
void ApplyFourierStartList(AppState& app, const std::string& list);

}  // namespace umbrix
