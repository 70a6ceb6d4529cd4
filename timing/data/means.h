#pragma once
// "Calc. Means": combines the ticked method rows into a simple mean, a weighted mean (weights
// 1/error^2), the standard error of the weighted mean and the standard deviation of the times.

#include <array>
#include <optional>
#include <string>

namespace umbrix {

inline constexpr int kMethodRows = 6;

// The largest time or error, in magnitude, that "Calc. Means" combines. Six squares of it
// still sum far inside the range of a double, and 1/error^2 stays a normal number, so no
// sum overflows or loses its precision; any real time (HJD) or error is far below it.
inline constexpr double kLargestMeanInput = 1e150;

struct MeanRow {
    bool ticked = false;
    std::string time;   // text of the time-of-minimum box, read by its leading number
    std::string error;  // text of the estimated-error box
};

struct MeansResult {
    // Rows still ticked afterwards: a ticked row whose error is below 1e-6 is unticked.
    std::array<bool, kMethodRows> ticked{};
    // False when no row counted: the four output boxes then keep what they showed.
    bool computed = false;
    // The four boxes' texts, leading blanks removed. stdDev is empty with fewer than two rows.
    std::string simple, weighted, stdError, stdDev;
    // Empty, or why rows were left out beyond the small-error rule: a time or an error too
    // large to square (beyond kLargestMeanInput) is unticked and left out, so that the
    // boxes never show "NaN" or "Inf". The window shows this text.
    std::string message;
};

MeansResult CalcMeans(const std::array<MeanRow, kMethodRows>& rows);

}  // namespace umbrix
