#pragma once
// "Calc. Means": combines the ticked method rows into a simple mean, a weighted mean (weights
// 1/error^2), the standard error of the weighted mean and the standard deviation of the times.

#include <array>
#include <optional>
#include <string>

namespace umbrix {

inline constexpr int kMethodRows = 6;

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
};

MeansResult CalcMeans(const std::array<MeanRow, kMethodRows>& rows);

}  // namespace umbrix
