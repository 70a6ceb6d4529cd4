#pragma once
// File > Save: a plain-text record of what the main window shows, so that a night's results
// can be kept beside its light curve.

#include <array>
#include <string>

#include "timing/core/data/means.h"

namespace umbrix {

struct ResultsSheet {
    struct Row {
        std::string label;  // "1. Parabolic Fit" ...
        std::string time;   // the numbers of the boxes to 7 decimals (other text as shown)
        std::string error;
        std::string calibrated;  // the calibrated error, empty when the method gave none
        bool ticked = false;
    };
    std::string lightCurve;  // file name of the loaded light curve
    std::array<Row, kMethodRows> rows;
    // The means of the rows ticked in this sheet, computed from them; empty when none counts.
    std::string simpleMean, weightedMean, stdError, stdDev;
    // What the means deserve a word about (refused, or rows that disagree); empty if nothing.
    std::string note;
    // Their labels, as the main window shows them.
    std::string simpleMeanLabel = "Simple Mean";
    std::string weightedMeanLabel = "Weighted Mean";
    std::string stdErrorLabel = "Std. Error of  Weighted Mean";
    std::string stdDevLabel = "Std. Deviation of Means";
};

// The text of the results file, CR LF line ends.
std::string ResultsText(const ResultsSheet& sheet);

}  // namespace umbrix
