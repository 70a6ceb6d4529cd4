#include "timing/core/data/means.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "timing/core/data/format.h"

namespace umbrix {

namespace {

// A ticked row's numbers: the method's own where its boxes are untouched, else the texts.
struct RowNumbers {
    double time = 0, error = 0;
    bool hasError = false;  // false: the error box is empty
    double cautious = 0;    // the larger of the error and the calibrated error
};

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

// Reads row k (1-based); on a text that is not a number, appends why to `refusal`.
RowNumbers ReadRow(const MeanRow& row, int k, std::string& refusal) {
    RowNumbers n;
    const auto complain = [&](const std::string& what) {
        refusal += std::string(refusal.empty() ? "" : "\n") + "Row " + std::to_string(k) + " " + what +
                   ": correct it or untick the row, then press \"Calc. Means\" again.";
    };
    if (row.exactTime) {
        n.time = *row.exactTime;
    } else if (const auto t = WholeNumber(row.time)) {
        n.time = *t;
    } else if (IsBlank(row.time)) {
        complain("is ticked but holds no time of minimum");
    } else {
        complain("holds \"" + row.time + "\" as its time of minimum, which is not a number");
    }
    if (row.exactError) {
        n.error = *row.exactError;
        n.hasError = true;
    } else if (const auto e = WholeNumber(row.error)) {
        n.error = *e;
        n.hasError = true;
    } else if (!IsBlank(row.error)) {
        complain("holds \"" + row.error + "\" as its error, which is not a number");
    }
    n.cautious = std::max(std::fabs(n.error), std::fabs(row.calibrated.value_or(0)));
    return n;
}

bool TooLarge(const RowNumbers& n) {
    return std::fabs(n.time) > kLargestMeanInput || std::fabs(n.error) > kLargestMeanInput;
}

// Rows (1-based) whose times lie further apart than kDisagreeingErrors combined errors, in
// one sentence; "" when all agree.
std::string Disagreement(const std::array<RowNumbers, kMethodRows>& n,
                         const std::array<bool, kMethodRows>& used) {
    std::array<bool, kMethodRows> named{};
    int worstA = -1, worstB = -1;
    double worst = 0;
    for (int a = 0; a < kMethodRows; ++a)
        for (int b = a + 1; b < kMethodRows; ++b) {
            if (!used[a] || !used[b]) continue;
            const double gap = std::fabs(n[a].time - n[b].time);
            const double combined = std::hypot(n[a].cautious, n[b].cautious);
            if (!(gap > kDisagreeingErrors * combined)) continue;
            named[a] = named[b] = true;
            if (gap / combined > worst) {
                worst = gap / combined;
                worstA = a;
                worstB = b;
            }
        }
    if (worstA < 0) return "";
    std::vector<std::string> rows;
    for (int k = 0; k < kMethodRows; ++k)
        if (named[k]) rows.push_back(std::to_string(k + 1));
    std::string list = rows[0];
    for (std::size_t i = 1; i < rows.size(); ++i)
        list += (i + 1 == rows.size() ? " and " : ", ") + rows[i];
    return "The ticked times of rows " + list + " disagree by more than " +
           NumText(kDisagreeingErrors) + " times their combined errors (rows " +
           std::to_string(worstA + 1) + " and " + std::to_string(worstB + 1) + " lie " +
           ShownError(std::fabs(n[worstA].time - n[worstB].time)) +
           " d apart): they may time different eclipses, or a method may have failed. The "
           "means combine them all.";
}

}  // namespace

MeansResult CalcMeans(const std::array<MeanRow, kMethodRows>& rows) {
    MeansResult result;
    std::array<RowNumbers, kMethodRows> numbers{};
    std::string refusal;
    for (int k = 0; k < kMethodRows; ++k) {
        result.ticked[k] = rows[k].ticked;
        if (rows[k].ticked) numbers[k] = ReadRow(rows[k], k + 1, refusal);
    }
    // A box that is not a number is never read as 0: nothing is combined or unticked until
    // it is corrected.
    if (!refusal.empty()) {
        result.refused = true;
        result.message = refusal;
        return result;
    }

    double base = 0;
    for (int k = 0; k < kMethodRows; ++k) {
        if (!rows[k].ticked || TooLarge(numbers[k])) continue;
        // Times are summed relative to a round base so that their squares keep precision.
        base = std::floor(numbers[k].time / 100) * 100;
        break;
    }
    int n = 0;
    double s1 = 0, s2 = 0, w = 0, wx = 0;
    std::array<bool, kMethodRows> used{};
    for (int k = 0; k < kMethodRows; ++k) {
        if (!rows[k].ticked) continue;
        if (TooLarge(numbers[k])) {
            result.ticked[k] = false;
            result.message += std::string(result.message.empty() ? "" : "\n") + "Row " +
                              std::to_string(k + 1) +
                              " was left out of the means: its time or error is too large "
                              "to compute with.";
            continue;
        }
        // A missing or zero error gives the row no weight: it is unticked, as it always was.
        // Any other error counts, however small: the boxes show it to its first digit.
        const double e = numbers[k].error;
        if (!numbers[k].hasError || e == 0) {
            result.ticked[k] = false;
            continue;
        }
        const double x = numbers[k].time - base;
        s1 += x;
        s2 += x * x;
        wx += x / (e * e);
        w += 1 / (e * e);
        used[k] = true;
        ++n;
    }
    if (n == 0) return result;
    result.computed = true;
    result.simpleValue = base + s1 / n;
    result.weightedValue = base + wx / w;
    result.stdErrorValue = std::sqrt(1 / w);
    result.simple = TrimLeft(FormatFixed(result.simpleValue, 14, 5));
    result.weighted = TrimLeft(FormatFixed(result.weightedValue, 14, 5));
    result.stdError = ShownError(result.stdErrorValue);
    if (n >= 2) {
        // Equal times can leave a tiny negative variance through rounding: that is zero.
        const double variance = std::max(0.0, (s2 - s1 * s1 / n) / (n - 1));
        result.stdDevValue = std::sqrt(variance);
        result.hasStdDev = true;
        result.stdDev = TrimLeft(FormatFixed(result.stdDevValue, 12, 5));
        if (result.stdDevValue != 0 && LeadingNumber(result.stdDev) == 0)
            result.stdDev = ShownError(result.stdDevValue);
    }
    result.warning = Disagreement(numbers, used);
    return result;
}

}  // namespace umbrix
