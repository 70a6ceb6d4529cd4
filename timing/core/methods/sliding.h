#pragma once
// Method 6, sliding integrations: a stretch of the light curve balanced about the deepest
// point is resampled onto an even grid; two adjacent windows of M grid steps slide along it
// and the difference of their trapezoid integrals is formed for each start. A line through
// the differences near their smallest value gives the start where both windows hold equal
// light; the axis of symmetry, the time of minimum, lies one window length after it.
//
// It has no window: the main window's row-6 Go button calls SlidingGo and writes the row or
// shows the message.

#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/methods/eclipses.h"
#include "timing/core/methods/method_common.h"

namespace umbrix {

inline constexpr int kSlideMaxFitHalfWidth = 5;

// Refusals a person meets with an ordinary light curve, saying what to do about them.
extern const char* const kSlidingTooManyPoints;    // after "Error 9: Subscript out of range."
extern const char* const kSlidingTooFewPoints;
extern const char* const kSlidingBalanceAtTheEnd;  // the line fit never spans more than 11 starts

struct SlidingState {
    PointArray SlideTime{};  // the selected points, 1..SlideCount
    PointArray SlideMag{};
    int SlideCount = 0;
    int SlideFirst = 0;  // the working point SlideTime[1] is
    PointArray SlideGridTime{};  // the even grid, 1..K
    PointArray SlideGridMag{};
    PointArray WindowDiff{};  // window-integral difference per start, 1..M
};

// Nothing of this method outlives a run; kept for symmetry with the other methods.
void ResetSlidingState(SlidingState& s);

// The points the Go button hands over, from the working points of one eclipse's stretch
// (eclipses.h; the whole curve on a night of one eclipse): with P points there, the deepest
// at k of them and q = 0.45 P, the 2(P - k) points from P - 2(P - k) to P - 1 when q > P - k,
// else the first 2k when q > k, else all P. Fills SlideTime, SlideMag, SlideCount and
// SlideFirst. Without a stretch: that of the eclipse around the faintest working point.
void SelectSlidingPoints(SlidingState& s, const DataSet& ds, const Stretch& within);
void SelectSlidingPoints(SlidingState& s, const DataSet& ds);

struct LineFit {
    bool ok = false;  // false when the abscissae do not spread (zero determinant)
    double a = 0, b = 0;  // y = a + b x
    double residual = 0;  // sum of squared residuals
};

// Least-squares line over indices first..last of x and y.
LineFit FitLine(const PointArray& x, const PointArray& y, int first, int last);

struct SlidingResult {
    bool ok = false;
    std::string message;
    int l = 0;         // points selected
    int m = 0;         // window length in grid steps, floor(L / 3) + 1
    int k = 0;         // grid points, 3 M
    double h = 0;      // grid step, days
    int best = 0;      // start with the smallest |WindowDiff|
    int rangeFirst = 0, rangeLast = 0;  // grid indices of the line fit
    bool fitReached = false;            // the line fit ran over rangeFirst..rangeLast
    double tMin = 0;   // relative days
    double sigma = 0;  // sqrt(residual / M)
    double calibrated = 0;  // standard error of tMin from the points' noise, days; 0 if none
};

// The computation over SlideTime/SlideMag 1..SlideCount. Refused with "Error 9: Subscript
// out of range." and what to do about it when more than 998 points would need a grid beyond
// 1000; refused when the times do not rise strictly, when the line fit would have fewer than
// three grid starts of this run (a best start at 1 or M leaves too few), or when its slope is
// zero. Every refusal says what is wrong with the light curve and what to try.
SlidingResult SlidingIntegrations(SlidingState& s);

struct SlidingRowResult : RowResult {  // time: DayOffset + T
    SlidingResult sliding;
};

// Go of row 6 (the caller has checked that a file is loaded): selects the points (within
// the given stretch, or around the faintest point) and runs the method; selected points whose
// times do not rise are refused, naming them. RangeFirst/RangeLast receive the grid indices of
// the line fit whenever the fit is reached, and are left alone otherwise.
SlidingRowResult SlidingGo(SlidingState& s, const DataSet& ds, int& rangeFirst, int& rangeLast);
SlidingRowResult SlidingGo(SlidingState& s, const DataSet& ds, const Stretch& within,
                           int& rangeFirst, int& rangeLast);

}  // namespace umbrix
