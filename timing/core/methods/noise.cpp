#include "timing/core/methods/noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace umbrix {

double NoiseFromNeighbours(const PointArray& time, const PointArray& mag, int first, int last) {
    std::vector<double> scaled;
    scaled.reserve(static_cast<std::size_t>(std::max(last - first, 0)));
    for (int i = first + 2; i <= last - 2; ++i) {
        // Lagrange weights of the cubic through the four neighbours, at time[i].
        const int k[4] = {i - 2, i - 1, i + 1, i + 2};
        double w[4], squares = 1, predicted = 0;
        bool distinct = true;
        for (int a = 0; a < 4; ++a) {
            w[a] = 1;
            for (int b = 0; b < 4; ++b) {
                if (b == a) continue;
                const double gap = time[k[a]] - time[k[b]];
                if (gap == 0) distinct = false;
                w[a] *= (time[i] - time[k[b]]) / gap;
            }
            squares += w[a] * w[a];
            predicted += w[a] * mag[k[a]];
        }
        if (!distinct || !std::isfinite(predicted)) continue;
        scaled.push_back(std::fabs(mag[i] - predicted) / std::sqrt(squares));
    }
    if (scaled.empty()) return 0;
    const auto middle = scaled.begin() + static_cast<std::ptrdiff_t>(scaled.size() / 2);
    std::nth_element(scaled.begin(), middle, scaled.end());
    return 1.4826 * *middle;
}

}  // namespace umbrix
