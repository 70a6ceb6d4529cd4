#pragma once
// A model fitted to an eclipse it does not describe (a parabola over a whole night, chords
// across a flat bottom, a linear resampling of a sharp minimum) gives a time whose error from
// noise alone says nothing of the misfit. The points' own centre of symmetry is a check that
// needs no model: a time that lies far from it carries that distance as its error.

#include <string>

#include "timing/core/data/data_set.h"

namespace umbrix {

struct SymmetryCheck {
    double error = 0;     // days
    std::string warning;  // non-empty: the time lies far beyond its noise from the centre
};

// `error` (days, from the noise alone) widened to the distance between the relative time t and
// the centre c of symmetry of the working points about it (Kwee and van Woerden, as the
// tracing paper's check finds it), plus half that centre's error e: max(error, |t - c| + e/2),
// the tracing paper's rule. Where the model fits, t - c is noise of less than `error` and the
// widening changes little; where it does not, |t - c| is the misfit's shift of the minimum,
// and half of e added keeps about two thirds of true minima inside. A distance beyond three
// times hypot(error, e) cannot be noise: the warning says so. `error` unchanged when the
// points give no centre.
SymmetryCheck WidenToSymmetry(const DataSet& ds, double t, double error);

}  // namespace umbrix
