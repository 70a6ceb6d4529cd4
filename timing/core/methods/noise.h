#pragma once
// The scatter of a light curve's magnitudes about the smooth curve they sample, estimated
// from the points themselves, for the calibrated errors of the methods that have no fitted
// model to take residuals from.

#include "timing/core/data/data_set.h"

namespace umbrix {

// Each point i of first+2..last-2 is compared with the cubic through its four neighbours,
// which follows a light curve's bends far closer than a straight line would; with noise s on
// every point the difference has variance s^2 (1 + sum of the squared interpolation
// weights). The estimate is the median of the differences so normalised, scaled by 1.4826 to
// a standard deviation: a few points where the curve bends sharply (the contacts) or a few
// outliers do not move it. 0 when fewer than five points; points whose neighbours share a
// time are passed over.
double NoiseFromNeighbours(const PointArray& time, const PointArray& mag, int first, int last);

}  // namespace umbrix
