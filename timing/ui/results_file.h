#pragma once
// File > Save: a plain-text record of what the main window shows, so that a night's results
// can be kept beside its light curve.

#include <array>
#include <string>

#include "timing/data/means.h"

namespace umbrix {

struct ResultsSheet {
    struct Row {
        std::string label;  // "1. Parabolic Fit" ...
        std::string time;   // the boxes' texts exactly as shown
        std::string error;
        std::string calibrated;  // the calibrated-error box, empty when the method gave none
        bool ticked = false;
    };
    std::string lightCurve;  // file name of the loaded light curve
    std::array<Row, kMethodRows> rows;
    std::string simpleMean, weightedMean, stdError, stdDev;
};

// The text of the results file, CR LF line ends.
std::string ResultsText(const ResultsSheet& sheet);

}  // namespace umbrix
