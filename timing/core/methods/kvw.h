#pragma once
// Method 4, Kwee and van Woerden (1956): the range is resampled onto an even time grid, the
// sum of squared differences of grid magnitudes paired symmetrically about a trial centre is
// evaluated at three centres, the centre is walked until the middle sum is the smallest, and
// the vertex of the parabola through the three sums is the time of minimum.
//
// How the window uses this (state in AppState::kvw):
//   right-click  SetEnds(PickRangeStart (StartMarkerTime::FirstPoint) / PickRangeEnd of
//                Ends()) with the clicked time and x (the window decides the side against
//                AllTime(FullMagMaxIndex)).
//   Fit Kwee     PressFitKwee with the texts of the Stepp and Frac boxes; Done: write row 4
//                and tick it; Refused: show the message; NotRun: nothing.
//   Undo         UndoKvw, empty row 4, redraw.

#include <string>

#include "timing/core/data/data_set.h"
#include "timing/core/methods/method_common.h"

namespace umbrix {

inline constexpr const char* kKvwDefaultStepp = "1";   // the boxes' texts as the window opens
inline constexpr const char* kKvwDefaultFrac = ".9";

struct KvwState {
    int KvwStartIndex = 0;  // first and last working point of the range
    int KvwEndIndex = 0;
    bool KvwStartSet = false;
    bool KvwEndSet = false;
    bool KvwReady = false;
    double KvwStartTime = 0;  // time of the range's first point (start) / clicked time (end)
    double KvwEndTime = 0;
    float KvwStartX = 0;  // where the markers were last drawn, twips
    float KvwEndX = 0;
    // The even grid of the last run, 0..N. Entries above a shorter run's N keep older values;
    // nothing reads them.
    PointArray GridTime{};
    PointArray GridMag{};

    RangeEnds Ends() const {
        return {KvwStartIndex, KvwEndIndex, KvwStartSet, KvwEndSet, KvwReady,
                KvwStartTime,  KvwEndTime,  KvwStartX,   KvwEndX};
    }
    void SetEnds(const RangeEnds& e) {
        KvwStartIndex = e.startIndex;
        KvwEndIndex = e.endIndex;
        KvwStartSet = e.startSet;
        KvwEndSet = e.endSet;
        KvwReady = e.ready;
        KvwStartTime = e.startTime;
        KvwEndTime = e.endTime;
        KvwStartX = e.startX;
        KvwEndX = e.endX;
    }
};

// After every load, at start-up and when the window loads: the three flags cleared.
void ResetKvwState(KvwState& s);

struct KvwResult {
    bool ok = false;
    std::string message;
    int n = 0;       // observed points in the range
    int m = 0;       // round(0.9 n), ties to even
    int gridIntervals = 0;  // N = 2 m
    int centre = 0;  // final grid index k
    double s1 = 0, s2 = 0, s3 = 0;  // sums at k - stepp, k, k + stepp
    double t1 = 0, t2 = 0, t3 = 0;  // grid times there
    int stepp = 0;
    double frac = 0;
    double tMin = 0;   // vertex, relative days
    double sigma = 0;  // days, never negative
    int pairs = 0;     // grid pairs in each of the three final sums
    int moves = 0;     // grid steps the centre walked
    double calibrated = 0;  // days; 0 when fewer than two pairs leave no estimate
};

// Refusal when the walk of the centre finds no minimum of the sums inside the grid.
extern const char* const kKvwNoMinimum;

// Fills GridTime/GridMag at 0..N by linear interpolation of the working points start..end,
// and of no other. The range must already be checked: 1 <= start < end <= PointCount, times
// rising strictly over it, N <= 1000.
void ResampleRange(KvwState& s, const DataSet& ds, int start, int end, int gridIntervals);

// The computation over working points start..end with the Stepp and Frac box texts (read by
// their leading numbers, 0 when none; Stepp rounded halves to even). Refused: fewer than five
// points, a range longer than the grid holds (N > 1000), settings that would read the grid
// outside 0..N, A = 0, and any result that is not a number. A search pass that neither
// stops nor moves ends the search at the current centre. When eight moves leave the middle
// sum still not the smallest, the centre walks on towards the smaller neighbour sum until it
// is; the end of the grid, a tie between the neighbours or a walk longer than the grid
// refuses with kKvwNoMinimum instead of reporting an unbracketed vertex.
KvwResult KweeVanWoerden(KvwState& s, const DataSet& ds, int start, int end,
                         const std::string& steppText, const std::string& fracText);

struct KvwRowResult : RowResult {  // time: DayOffset + T0
    KvwResult kvw;
};

// "Fit Kwee": nothing unless ready with both indices non-zero. A range that reaches over a
// maximum of light into another eclipse is narrowed to the eclipse around its faintest point
// (eclipses.h), with a warning.
KvwRowResult PressFitKwee(KvwState& s, const DataSet& ds, const std::string& steppText,
                          const std::string& fracText);

// "Undo": only KvwReady is cleared, so one further pick makes the window ready again.
void UndoKvw(KvwState& s);

}  // namespace umbrix
