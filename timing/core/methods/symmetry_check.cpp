#include "timing/core/methods/symmetry_check.h"

#include <algorithm>
#include <cmath>

#include "timing/core/methods/method_common.h"
#include "timing/core/methods/tracing.h"

namespace umbrix {

namespace {
constexpr double kSecondsPerDay = 86400.0;
constexpr double kBeyondNoise = 3;  // a distance beyond this many combined errors is misfit
}  // namespace

SymmetryCheck WidenToSymmetry(const DataSet& ds, double t, double error) {
    SymmetryCheck check{error, ""};
    if (!std::isfinite(t)) return check;
    const FoldSymmetry symmetry = SymmetricFold(ds, t);
    if (!symmetry.ok) return check;
    const double distance = std::fabs(t - symmetry.centre);
    check.error = std::max(error, distance + symmetry.error / 2);
    if (distance > kBeyondNoise * std::hypot(error, symmetry.error))
        check.warning = "The model does not fit the points over this range: the time lies " +
                        TrimLeft(FormatFixed(distance * kSecondsPerDay, 14, 1)) +
                        " s from their centre of symmetry, " + RowText(ds.DayOffset + symmetry.centre) +
                        ", more than three times its error from the noise; the calibrated error "
                        "includes that distance.";
    return check;
}

}  // namespace umbrix
