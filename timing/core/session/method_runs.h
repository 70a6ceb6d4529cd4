#pragma once
// The six methods run on one light curve as their windows run them, with ranges given as
// times (the command line's) or chosen from the curve (auto_ranges.h): each yields its row
// result and its own numbers as JSON members. The command line and the import window's
// "Time All" both run the methods through here.

#include <array>
#include <optional>
#include <string>

#include "timing/core/methods/auto_ranges.h"
#include "timing/core/methods/kvw.h"
#include "timing/core/methods/method_common.h"
#include "timing/core/session/app_state.h"

namespace umbrix {

// How the methods' ranges are chosen. Times are in the file's time scale.
struct RunChoices {
    std::optional<std::array<double, 2>> range;   // parabola, kvw, fourier: strictly between
    std::optional<std::array<double, 4>> chords;  // left A..B, right C..D
    std::optional<double> fold;                   // tracing paper
    std::string stepp = kKvwDefaultStepp;
    std::string frac = kKvwDefaultFrac;
    std::optional<std::string> fourierStart;      // eight texts, already checked to be eight
    // Ranges read off the light curve; the choices above still win where given.
    std::optional<AutoRanges> chosen;
};

// A method's row as the batch mode reports it: the row result a window would write into the
// main window, and the method's own numbers as the members of a JSON object.
struct BatchRow {
    RowResult result;
    std::string details;
    std::string ranges;  // --ranges auto: the chosen range's end times, for the text output
};


// Row 1..6's method on the session's light curve, after what Go of the row prepares.
BatchRow RunMethodRow(int row, AppState& app, const RunChoices& o);

// --fourier-start: the eight texts (already checked to be eight) as if typed into the boxes,
// Xo made relative to the day offset as the box shows it, followed by Update.
void ApplyFourierStartList(AppState& app, const std::string& list);

}  // namespace umbrix
