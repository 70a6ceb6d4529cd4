#pragma once
// Method 3, bisectors of chords: for every point of a left range (descending branch) and of a
// right range (ascending branch) the other branch's crossing of the same magnitude is found by
// linear interpolation; the chord's midpoint is a bisector. The time of minimum is the mean of
// the bisectors and its error their sample standard deviation.
//
// How the window uses this (state in AppState::chords):
//   right-click  ChordsClick with the clicked time; the returned pick says which label and
//                caption to update (the window draws the marker itself).
//   Bisect       PressBisectChords; Done: write row 3 and tick it; Refused: show the message.
//   Undo         UndoChords, empty row 3, redraw.

#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/methods/method_common.h"

namespace umbrix {

struct ChordsState {
    int BisLeftStart = 0, BisLeftEnd = 0;    // working-point indices, start <= end once complete
    int BisRightStart = 0, BisRightEnd = 0;
    int BisLeftState = 0;   // 0 nothing picked on that side, 1 start picked, 2 range complete
    int BisRightState = 0;
    bool BisReady = false;  // both sides complete
    double BisLeftStartTime = 0, BisLeftEndTime = 0;    // clicked relative times
    double BisRightStartTime = 0, BisRightEndTime = 0;
};

// After every load, at start-up and when the window loads: both sides back to state 0.
void ResetChordsState(ChordsState& s);

enum class ChordsPick { None, LeftStart, LeftEnd, RightStart, RightEnd };

// A right-click inside the plot at relative time t. The side is the left one when t is
// earlier than AllTime(MagMaxIndex); each side goes start, end, then ignores clicks until
// Undo. An end earlier than its start is swapped with it. Returns what was picked.
ChordsPick ChordsClick(ChordsState& s, const DataSet& ds, double t);

struct ChordsResult {
    bool ok = false;
    std::string message;
    int n = 0;            // bisectors used
    double tMin = 0;      // mean bisector time, relative days
    double error = 0;     // sample standard deviation of the bisectors, days
    double calibrated = 0;  // standard error of tMin, days; 0 when the scatter gives none
    std::string warning;    // the ranges were narrowed to one eclipse (see BisectChords)
};

// The bisectors of the left range leftStart..leftEnd and the right range
// rightStart..rightEnd, within the stretch of the eclipse around the ranges' faintest point
// (eclipses.h): range points beyond it are left out (with a warning) and crossings are sought
// only inside it. A point whose crossing would need a neighbour outside the stretch is
// skipped. Refused: a range outside the working points or reversed, fewer than two
// bisectors, times that do not rise among the points the bisectors use, or a result that is
// not a number.
ChordsResult BisectChords(const DataSet& ds, int leftStart, int leftEnd, int rightStart,
                          int rightEnd);

struct ChordsRowResult : RowResult {  // time: DayOffset + the mean bisector
    ChordsResult chords;
};

// Sets both ranges at once (the batch mode), each swapped when reversed, and makes the
// window ready.
void SetChordsRanges(ChordsState& s, int leftStart, int leftEnd, int rightStart, int rightEnd);

// "Bisect Chords": nothing unless ready with non-zero left indices; a right range whose start
// is 0 (its click found no point) is refused.
ChordsRowResult PressBisectChords(const ChordsState& s, const DataSet& ds);

// "Undo": both sides back to state 0; the caller empties row 3 and redraws.
void UndoChords(ChordsState& s);

}  // namespace umbrix
