#pragma once
// One eclipse of a long light curve timed as a light curve of its own: its window's points
// loaded into a session as File > Open loads a file that holds them, then every chosen
// method run on the ranges read off the curve, as `--batch --ranges auto` runs them. The
// command line (--eclipses) and the import window's "Time All" both go through here.

#include <array>
#include <string>

#include "timing/core/data/means.h"
#include "timing/core/long/long_eclipses.h"
#include "timing/core/session/app_state.h"
#include "timing/core/session/method_runs.h"
#include "timing/core/session/row_table.h"

namespace umbrix {

// The name a window goes by, in titles, outputs and minima tables: the file's name and the
// eclipse's number, "sector14.fits#3".
std::string WindowName(const std::string& fileName, const LongEclipse& e);

// Loads the window's points into app as File > Open would load a file of them named `name`
// in folder `dir` (the methods' states start afresh).
void LoadWindow(AppState& app, const WindowPoints& w, const std::string& dir, const std::string& name);

struct WindowTiming {
    AutoRanges ranges;                     // read off the window's curve
    std::array<BatchRow, kMethodRows> runs;  // per row 1..6; rows not chosen stay empty
    std::array<bool, kMethodRows> ran{};
    RowTable table;                        // as the main window's rows would stand
    MeansResult means;                     // of every row that gave a time
};

// Runs the chosen rows on the loaded window with automatic ranges (choices' own ranges win
// where given).
WindowTiming TimeLoadedWindow(AppState& app, const std::array<bool, kMethodRows>& rows,
                              RunChoices choices = {});

}  // namespace umbrix
