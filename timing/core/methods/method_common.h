#pragma once
// Small helpers shared by the timing methods' computations: picking working points by a
// clicked time, and the 16-bit rounding the settings boxes and grid arithmetic use.

#include <cmath>
#include <string>
#include <utility>

#include "timing/core/data/data_set.h"
#include "timing/core/data/format.h"

namespace umbrix {

// The first working point (1..PointCount) whose time is later than t; 0 when there is none.
inline int FirstPointAfter(const DataSet& ds, double t) {
    for (int i = 1; i <= ds.PointCount; ++i)
        if (ds.Time[i] > t) return i;
    return 0;
}

// The last working point whose time is earlier than t, searching down from PointCount;
// 0 when there is none.
inline int LastPointBefore(const DataSet& ds, double t) {
    for (int i = ds.PointCount; i >= 1; --i)
        if (ds.Time[i] < t) return i;
    return 0;
}

// v rounded to the nearest integer, halves to even, as a 16-bit value. False (out untouched)
// when v is not a number or the rounded value does not fit 16 bits.
inline bool RoundToInt16(double v, int& out) {
    if (!std::isfinite(v)) return false;
    const double r = std::nearbyint(v);
    if (r < -32768.0 || r > 32767.0) return false;
    out = static_cast<int>(r);
    return true;
}

// The two ends of a range picked by two right-clicks, one left and one right of the deepest
// point. Parabola, Kwee and van Woerden and Fourier each keep these nine values under their own
// names; a method's state hands a copy out (Ends()) and takes the picked one back (SetEnds()),
// so that one set of picking rules serves all three.
struct RangeEnds {
    int startIndex = 0;  // first working point of the range
    int endIndex = 0;    // last working point of the range
    bool startSet = false;
    bool endSet = false;
    bool ready = false;     // both ends picked
    double startTime = 0;   // relative days: where the start marker belongs
    double endTime = 0;
    float startX = 0;       // twips: where the markers were last drawn
    float endX = 0;
};

// Which time the start marker keeps: the clicked one, or that of the range's first point.
enum class StartMarkerTime { Clicked, FirstPoint };

// A right-click left of the deepest point at relative time t, drawn at x: the range starts at
// the first working point later than t (the index stays when there is none).
[[nodiscard]] inline RangeEnds PickRangeStart(RangeEnds e, const DataSet& ds, double t, float x,
                                              StartMarkerTime rule = StartMarkerTime::Clicked) {
    if (const int i = FirstPointAfter(ds, t); i != 0) e.startIndex = i;
    e.startTime = rule == StartMarkerTime::Clicked ? t : ds.Time[e.startIndex];
    e.startX = x;
    e.startSet = true;
    e.ready = e.startSet && e.endSet;
    return e;
}

// A right-click right of it: the range ends at the last working point earlier than t.
[[nodiscard]] inline RangeEnds PickRangeEnd(RangeEnds e, const DataSet& ds, double t, float x) {
    if (const int i = LastPointBefore(ds, t); i != 0) e.endIndex = i;
    e.endTime = t;
    e.endX = x;
    e.endSet = true;
    e.ready = e.startSet && e.endSet;
    return e;
}

// Both ends at once (the batch mode's range, where no marker is drawn): indices first..last,
// both ends set and ready.
[[nodiscard]] inline RangeEnds SetRangeEnds(RangeEnds e, int first, int last) {
    e.startIndex = first;
    e.endIndex = last;
    e.startSet = e.endSet = e.ready = true;
    return e;
}

// Which end a right-click picks.
enum class RangeSide { Start, End, Neither };

// Parabola and Kwee and van Woerden: the clicked relative time t against the deepest point as
// loaded, whatever the order of the clicks.
inline RangeSide SideOfDeepestAsLoaded(const DataSet& ds, double t) {
    return t < ds.AllTime[ds.FullMagMaxIndex] ? RangeSide::Start : RangeSide::End;
}

// Fourier: an index estimated from the position along the frame (`along` twips from its left
// edge, of `length`) over the open method's range, against the faintest point; neither end
// when the estimate does not fit 16 bits.
inline RangeSide SideOfFaintestByIndex(const DataSet& ds, int rangeFirst, int rangeLast,
                                       double along, double length) {
    int index = 0;
    if (!RoundToInt16(rangeFirst + (rangeLast - rangeFirst) * along / length, index))
        return RangeSide::Neither;
    return index < ds.MagMaxIndex ? RangeSide::Start : RangeSide::End;
}

// What a press of a method's compute button (or the row-6 Go button) yields.
enum class MethodOutcome {
    NotRun,   // the press did nothing (range not picked): nothing to write, nothing to say
    Done,     // a result for the main window's row
    Refused,  // a message says why; nothing is written, the method's result state as before
};

// A time or an error as the main window's row boxes show it.
inline std::string RowText(double value) { return TrimLeft(FormatFixed(value, 14, 5)); }

// What every method's row result carries: the outcome and, once done, the row's time of
// minimum (the file's time scale) and error with the texts the main window shows.
struct RowResult {
    MethodOutcome outcome = MethodOutcome::NotRun;
    std::string message;    // Refused: why, for the user
    double time = 0;        // DayOffset + the relative time of minimum
    double error = 0;       // days
    std::string timeText;   // FormatFixed(time, 14, 5) without leading blanks
    std::string errorText;  // ShownError(error): 5 decimals, more for an error below 0.000005
    // The error estimated from the data's own scatter (days), shown beside the method's own
    // error: about 68 % of such results lie within one calibrated error of the true minimum.
    // Absent (calibratedText empty) when the data give no estimate; the result still stands.
    bool hasCalibrated = false;
    double calibratedError = 0;
    std::string calibratedText;  // as errorText
    // A result that stands but deserves a word (e.g. a vertex outside the picked points).
    std::string warning;
    bool ok() const { return outcome == MethodOutcome::Done; }

    void refuse(std::string why) {
        outcome = MethodOutcome::Refused;
        message = std::move(why);
    }
    void done(const DataSet& ds, double relativeTime, double err) {
        outcome = MethodOutcome::Done;
        time = ds.DayOffset + relativeTime;
        error = err;
        timeText = RowText(time);
        errorText = ShownError(err);
    }
    // Adds a sentence to the warning.
    void warn(const std::string& more) {
        if (more.empty()) return;
        warning.append(warning.empty() ? "" : " ").append(more);
    }
    // Records the calibrated error when it is a finite, non-negative number.
    void calibrate(double err) {
        if (!(std::isfinite(err) && err >= 0)) return;
        hasCalibrated = true;
        calibratedError = err;
        calibratedText = ShownError(err);
    }
};

}  // namespace umbrix
