#pragma once
// Everything ectimer remembers during a run: the light curve and each timing method's
// remembered state. One object, owned by main() and handed to the windows by reference.

#include <string>

#include "timing/data/data_set.h"

namespace umbrix {

struct AppState {
    DataSet data;
    // First and last working-point index of the open method.
    int RangeFirst = 0;
    int RangeLast = 0;
};

// Puts every method's remembered state back to its starting values; run at start-up and
// after every successful load. Picked indices and marker positions keep their values.
void ResetMethodStates(AppState& app);

// File > Open: names the file (DataDir, DataFileName, DataPath) and loads it. On success the
// data set is replaced and every method's state is reset; on refusal only the name changes.
// Returns "" on success, otherwise the message for the user.
std::string OpenLightCurve(AppState& app, const std::string& dir, const std::string& name);

}  // namespace umbrix
