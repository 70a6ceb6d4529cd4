#pragma once
// Method 2, the tracing paper: the light curve folded about a fold time F; points later than
// F are mirrored to 2F - t over the earlier branch, and the user moves F until the branches
// coincide. F itself is the time of minimum.
//
// F is kept in DataSet::GuessMinTime (relative days), which a load and a change of the
// magnitude sign set to the faintest point's time rounded to 4 decimals. How the window uses
// this (state in AppState::tracing):
//   Go           ResetTraceMag, then redraw.
//   redraw       UpdateFoldPlotBounds; TraceBranches for the two branches; TraceResult
//                into row 2 of the main window.
//   scroll bar   V = FoldFromScroll(ds, V); set the bar to V when it changed; redraw.
//   Update       FoldFromText; on a refusal show the message; redraw.
//   Smooth       label = SmoothMagnitudes; redraw.  Undo smooth: UndoSmoothing; redraw.

#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/methods/method_common.h"

namespace umbrix {

inline constexpr double kFoldStep = 0.0001;       // days per scroll-bar step
inline constexpr int kFoldScrollCentre = 16383;   // scroll value of the faintest point
inline constexpr int kFoldScrollMax = 32767;      // the scroll bar runs over 0..32767
inline constexpr const char* kTracingError = "0.0001";  // the error shown: one scroll step

struct TracingState {
    PointArray TraceMag{};  // the method's (possibly smoothed) copy of Mag, 1..PointCount
    int SmoothLevel = 1;    // width of the running mean last applied: 1, 3, 5, 7 or 9
    // Fold bounds of the last redraw: the clamped fold is the plot's right edge and the
    // span from Time(1) to it is what the plot's width stands for.
    double FoldPlotLimit = 0;
    double FoldPlotSpan = 0;
};

// After every load and at start-up: SmoothLevel 1. TraceMag is refilled by the next Go.
void ResetTracingState(TracingState& s);

// Go of row 2: TraceMag = Mag. SmoothLevel stays as it was.
void ResetTraceMag(TracingState& s, const DataSet& ds);

// One step wider running mean over the unsmoothed Mag (3, 5, 7, then 9 points), rewriting
// only the indices that window fits; returns the label text ("3-point averaging" ...). At 9
// nothing changes and "9-point averaging" is returned again.
std::string SmoothMagnitudes(TracingState& s, const DataSet& ds);

// Back to the unsmoothed magnitudes (the two end points were never changed); SmoothLevel 1.
// Returns the label text "No averaging".
std::string UndoSmoothing(TracingState& s, const DataSet& ds);

// The scroll bar moved to v: F = Time(MagMaxIndex) + 0.0001 (v - 16383). A fold outside the
// working time range is pulled 5 % inside it and the bar is set to the nearest step of that
// fold (kept within 0..32767), which moves F onto the step grid. Returns the bar's value
// afterwards (v when nothing was pulled).
int FoldFromScroll(DataSet& ds, int v);

// "Update": F = the leading number of the text, without range checks. A text without a
// leading number is refused (F stays) and the message returned; "" otherwise.
std::string FoldFromText(DataSet& ds, const std::string& text);

// FoldPlotLimit and FoldPlotSpan for fold f.
void UpdateFoldPlotBounds(TracingState& s, const DataSet& ds, double f);

// Index of the first point of the right (mirrored) branch: the first k >= 2 with Time(k) > f,
// PointCount + 1 when no point is later. The left branch is 1..k-1.
int FirstMirroredPoint(const DataSet& ds, double f);

// Where a point of the right branch is drawn on the time axis.
inline double MirroredTime(double f, double t) { return 2 * f - t; }

struct TracingRowResult : RowResult {  // time: DayOffset + the fold; error text "0.0001"
    double fold = 0;  // relative days
};

// The centre of symmetry of the working points around fold f and its standard error, by the
// Kwee and van Woerden method over the points first..last no further from f than the nearer
// end of f's eclipse stretch (eclipses.h; at most kMaxSymmetryPoints, as many before f as
// after). ok false when there is no point on one side of f within the stretch or the method
// finds no centre; problem says why when the times of those points do not rise.
inline constexpr int kMaxSymmetryPoints = 556;
struct FoldSymmetry {
    bool ok = false;
    std::string problem;
    double centre = 0, error = 0;  // relative days
    int first = 0, last = 0;
};
FoldSymmetry SymmetricFold(const DataSet& ds, double f);

// Row 2 of the main window for fold f (published after every redraw, ticked): Done, with the
// fixed error of one scroll step, shown as "0.0001", unless the points about the fold are out
// of time order (refused, naming them). Its calibrated error is the distance d from f to the
// symmetric centre and e that centre's own error: max(|d| + e/2, e).
TracingRowResult TraceResult(const DataSet& ds, double f);

}  // namespace umbrix
