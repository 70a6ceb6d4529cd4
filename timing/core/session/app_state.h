#pragma once
// Everything ectimer remembers during a run about the light curve: the curve itself, the open
// method's range and each timing method's remembered state. Window placements are no part of
// it (the main window keeps them, with zzzumb.ini).

#include <array>
#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/methods/chords.h"
#include "timing/core/methods/fourier.h"
#include "timing/core/methods/kvw.h"
#include "timing/core/methods/parabola.h"
#include "timing/core/methods/sliding.h"
#include "timing/core/methods/tracing.h"

namespace umbrix {

// First and last working-point index of the open method, as Go of its row set them.
struct OpenMethodRange {
    int RangeFirst = 0;
    int RangeLast = 0;
};

// The windows each get the data set and their own method's state, never the whole of it.
struct AppState : OpenMethodRange {
    DataSet data;
    ParabolaState parabola;  // method 1: picked range and fitted coefficients
    TracingState tracing;    // method 2: smoothed magnitudes (the fold is data.GuessMinTime)
    ChordsState chords;      // method 3: the two picked ranges
    KvwState kvw;            // method 4: picked range and the resampling grid
    FourierState fourier;  // method 5: parameters, range and fit workspace
    SlidingState sliding;    // method 6: selected points, grid and window differences
};

// Puts every method's remembered state back to its starting values; run at start-up and
// after every successful load. Picked indices and marker positions keep their values.
void ResetMethodStates(AppState& app);

// The "+Mags" / "-Mags (inverted)" choice (index 0 or 1): the magnitudes' sign changes and
// the methods whose defaults come from the faintest point take them afresh.
void ChangeMagSign(AppState& app, int index);

// What Go of a method's row prepares before the method starts (kMethods' `go`): rows 1, 3, 4
// and 5 open on the whole working set, which the user's picks then narrow; row 2 takes a fresh
// copy of the working magnitudes; row 6 keeps the range as it is.
void PrepareGo(AppState& app, int row);

// File > Open: names the file (DataDir, DataFileName, DataPath) and loads it. On success the
// data set is replaced and every method's state is reset; on refusal only the name changes.
// Returns "" on success, otherwise the message for the user.
std::string OpenLightCurve(AppState& app, const std::string& dir, const std::string& name);

}  // namespace umbrix
