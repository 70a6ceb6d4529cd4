#include "timing/data/means.h"

#include <algorithm>
#include <cmath>

#include "timing/data/format.h"

namespace umbrix {

namespace {

bool TooLarge(const MeanRow& row) {
    return std::fabs(LeadingNumber(row.time)) > kLargestMeanInput ||
           std::fabs(LeadingNumber(row.error)) > kLargestMeanInput;
}

}  // namespace

MeansResult CalcMeans(const std::array<MeanRow, kMethodRows>& rows) {
    MeansResult result;
    double base = 0;
    for (const MeanRow& row : rows) {
        if (!row.ticked || TooLarge(row)) continue;
        // Times are summed relative to a round base so that their squares keep precision.
        base = std::floor(LeadingNumber(row.time) / 100) * 100;
        break;
    }
    int n = 0;
    double s1 = 0, s2 = 0, w = 0, wx = 0;
    for (int k = 0; k < kMethodRows; ++k) {
        result.ticked[k] = rows[k].ticked;
        if (!rows[k].ticked) continue;
        if (TooLarge(rows[k])) {
            result.ticked[k] = false;
            result.message += std::string(result.message.empty() ? "" : "\n") + "Row " +
                              std::to_string(k + 1) +
                              " was left out of the means: its time or error is too large "
                              "to compute with.";
            continue;
        }
        const double x = LeadingNumber(rows[k].time) - base;
        const double e = LeadingNumber(rows[k].error);
        if (std::fabs(e) < 0.000001) {
            result.ticked[k] = false;
            continue;
        }
        s1 += x;
        s2 += x * x;
        wx += x / (e * e);
        w += 1 / (e * e);
        ++n;
    }
    if (n == 0) return result;
    result.computed = true;
    result.simple = TrimLeft(FormatFixed(base + s1 / n, 14, 5));
    result.weighted = TrimLeft(FormatFixed(base + wx / w, 14, 5));
    result.stdError = TrimLeft(FormatFixed(std::sqrt(1 / w), 14, 5));
    if (n >= 2) {
        // Equal times can leave a tiny negative variance through rounding: that is zero.
        const double variance = std::max(0.0, (s2 - s1 * s1 / n) / (n - 1));
        result.stdDev = TrimLeft(FormatFixed(std::sqrt(variance), 12, 5));
    }
    return result;
}

}  // namespace umbrix
