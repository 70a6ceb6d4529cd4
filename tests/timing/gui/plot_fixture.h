#pragma once
// Light curves the plot tests share.

#include <vector>

#include "timing/core/data/data_set.h"
#include "timing/core/data/reader.h"

namespace umbrix {

// Five points spanning 0.0945 day with the time margins (0.443 .. 0.5375 relative) and 0.35
// magnitude (12.10 .. 12.45): the time grid steps by 0.01 day, the magnitude grid by 0.05.
inline DataSet EclipseFixture() {
    DataSet ds;
    ApplyLightCurve(ds, {2454123.445, 2454123.47, 2454123.49, 2454123.51, 2454123.5355},
                    {12.10, 12.30, 12.45, 12.25, 12.20});
    ds.DataFileName = "eclipse.csv";
    return ds;
}

inline DataSet CurveOf(const std::vector<double>& hjd, const std::vector<double>& mag) {
    DataSet ds;
    ApplyLightCurve(ds, hjd, mag);
    ds.DataFileName = "curve.csv";
    return ds;
}

// The window size every plot/edit window starts with (twips).
inline constexpr int kDefaultWidth = 6675;
inline constexpr int kDefaultHeight = 4245;

}  // namespace umbrix
