#pragma once
// Small helpers shared by the timing methods' computations: picking working points by a
// clicked time, and the 16-bit rounding the settings boxes and grid arithmetic use.

#include <cmath>
#include <string>
#include <utility>

#include "timing/data/data_set.h"
#include "timing/data/format.h"

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
    std::string errorText;  // FormatFixed(error, 14, 5) without leading blanks
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
        errorText = RowText(err);
    }
};

}  // namespace umbrix
