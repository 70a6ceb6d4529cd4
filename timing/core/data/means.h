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

// Ticked times further apart than this many combined errors, sqrt(e1^2 + e2^2), are taken
// to time different things (another eclipse, a failed method): the means warn of it. Each
// row's error here is the larger of its two, the method's own and the calibrated one, so that
// an error that is no estimate (tracing paper's scroll step) does not raise the warning alone.
inline constexpr double kDisagreeingErrors = 5;

struct MeanRow {
    bool ticked = false;
    std::string time;   // text of the time-of-minimum box
    std::string error;  // text of the estimated-error box
    // The method's own unrounded numbers while its boxes still show the texts it wrote: the
    // means then combine these rather than the texts' five decimals. Unset for a box the
    // user typed into, whose text is read.
    std::optional<double> exactTime, exactError;
    // The row's calibrated error (days) when it has one; "Calc. Means" never combines it.
    std::optional<double> calibrated;
};

struct MeansResult {
    // Rows still ticked afterwards: a ticked row whose error is missing or zero is unticked.
    std::array<bool, kMethodRows> ticked{};
    // False when no row counted or the rows were refused: the four output boxes then keep
    // what they showed.
    bool computed = false;
    // A ticked row's time or error is not a number: nothing was combined (message says which).
    bool refused = false;
    // The four boxes' texts, leading blanks removed. stdDev is empty with fewer than two rows.
    std::string simple, weighted, stdError, stdDev;
    // The same unrounded, for files read by other programs (hasStdDev: two rows or more).
    double simpleValue = 0, weightedValue = 0, stdErrorValue = 0, stdDevValue = 0;
    bool hasStdDev = false;
    // Empty, or what the window must say: a ticked row whose time or error is not a number
    // refuses the means (computed false, nothing unticked), naming the row; a time or an
    // error too large to square (beyond kLargestMeanInput) is unticked and left out, so that
    // the boxes never show "NaN" or "Inf".
    std::string message;
    // Empty, or why means that were computed deserve a word: the ticked times disagree by
    // more than kDisagreeingErrors combined errors (the rows are named).
    std::string warning;
};

MeansResult CalcMeans(const std::array<MeanRow, kMethodRows>& rows);

}  // namespace umbrix
