#pragma once
// Method 1: the least-squares parabola m(t) = A0 + A1 t + A2 t^2 through the points of a
// picked range; its vertex is the time of minimum.
//
// Times are days relative to DayOffset and are used as stored (no centring), magnitudes carry
// MagSign. How the window uses this (state in AppState::parabola):
//   right-click  SetEnds(PickRangeStart / PickRangeEnd of Ends()) with the clicked time and
//                x (the window decides the side against AllTime(FullMagMaxIndex)).
//   Fit Parabola PressFitParabola; Fitted: write timeText/errorText into row 1, tick it,
//                SampleParabola and draw it, show FormatFixed(rms, 8, 3); Refused: show the
//                message; NotRun: nothing.
//   Undo         UndoParabola, empty row 1, redraw.

#include <array>
#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/methods/method_common.h"

namespace umbrix {

inline constexpr int kParabolaSamples = 100;  // the drawn curve has kParabolaSamples + 1 points
using ParabolaCurve = std::array<double, kParabolaSamples + 1>;

// Everything the parabola method remembers between presses and window openings.
struct ParabolaState {
    int ParabStartIndex = 0;  // first and last working point of the range
    int ParabEndIndex = 0;
    bool ParabStartSet = false;
    bool ParabEndSet = false;
    bool ParabReady = false;   // both ends picked
    bool ParabFitted = false;  // a fit was made and written to the main window
    double ParabStartTime = 0;  // clicked relative times of the two markers
    double ParabEndTime = 0;
    float ParabStartX = 0;  // where the markers were last drawn, twips
    float ParabEndX = 0;
    // The last successful fit.
    double ParabA0 = 0, ParabA1 = 0, ParabA2 = 0;
    double ParabSigmaA1 = 0, ParabSigmaA2 = 0;
    // The sampled parabola last drawn.
    ParabolaCurve ParabCurveTime{};
    ParabolaCurve ParabCurveMag{};

    RangeEnds Ends() const {
        return {ParabStartIndex, ParabEndIndex, ParabStartSet, ParabEndSet, ParabReady,
                ParabStartTime,  ParabEndTime,  ParabStartX,   ParabEndX};
    }
    void SetEnds(const RangeEnds& e) {
        ParabStartIndex = e.startIndex;
        ParabEndIndex = e.endIndex;
        ParabStartSet = e.startSet;
        ParabEndSet = e.endSet;
        ParabReady = e.ready;
        ParabStartTime = e.startTime;
        ParabEndTime = e.endTime;
        ParabStartX = e.startX;
        ParabEndX = e.endX;
    }
};

// After every load and at start-up: the four flags cleared; indices, times and the fit stay.
void ResetParabolaState(ParabolaState& s);

// The numbers of one fit. ok false: message says why and the numbers mean nothing.
struct ParabolaFit {
    bool ok = false;
    std::string message;
    int n = 0;  // points in the range
    double a0 = 0, a1 = 0, a2 = 0;
    double sigmaA1 = 0, sigmaA2 = 0;
    double tMin = 0;  // vertex -A1/(2 A2), relative days
    double rms = 0;   // root-mean-square deviation with n - 3 degrees of freedom, magnitudes
    double noiseError = 0;       // standard error of tMin from the noise alone, days
    double calibrated = 0;       // noiseError widened by the shape's misfit, days
    std::string misfit;          // non-empty: the vertex lies far from the points' symmetry
    bool vertexOutside = false;  // tMin lies outside the times of the fitted points
};

// Fits the working points start..end (inclusive). Refuses an index outside 1..PointCount,
// fewer than four points (including end below start), a zero determinant (coincident
// times), a zero A1 or A2 (no vertex, or no error), a parabola whose vertex is a maximum of
// light (A2 > 0), and any result that is not a number.
ParabolaFit FitParabola(const DataSet& ds, int start, int end);

// The error shown for the time of minimum: |TMin * sqrt((sA2/A2)^2 + (sA1/A1)^2) * Rms|,
// TMin relative. The sign the raw product can carry (a vertex before DayOffset) means nothing.
double ParabolaTimeError(const ParabolaFit& fit);

struct ParabolaRowResult : RowResult {  // time: DayOffset + the vertex
    ParabolaFit fit;
    std::string rmsText;  // FormatFixed(rms, 8, 3), blanks kept
};

// "Fit Parabola": nothing unless the range is ready with both indices non-zero; a refused fit
// leaves the state as it was; a good one stores the coefficients and sets ParabFitted.
ParabolaRowResult PressFitParabola(ParabolaState& s, const DataSet& ds);

// "Undo": all four flags cleared; the caller empties row 1 and redraws.
void UndoParabola(ParabolaState& s);

// The stored parabola sampled across the working time axis (TimeMin .. TimeMax in 100 steps)
// into ParabCurveTime/ParabCurveMag, for drawing.
void SampleParabola(ParabolaState& s, const DataSet& ds);

}  // namespace umbrix
