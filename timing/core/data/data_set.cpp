#include "timing/core/data/data_set.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace umbrix {

double RoundTo(double x, int d) {
    const double scale = std::pow(10.0, d);
    const double sign = (x > 0) - (x < 0);
    return sign * std::trunc(std::fabs(x) * scale + 0.5) / scale;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

void FindExtremes(DataSet& ds) {
    // Start values outside any real data: an empty working set leaves them (plus margins).
    ds.TimeMin = 99999999;
    ds.TimeMax = -99999999;
    ds.MagMin = 99;
    ds.MagMax = -99;
    if (ds.PointCount >= 1) {
        // The first point starts the search for the faintest and brightest points: a curve
        // lying wholly beyond +-99 (fluxes, or magnitudes of 99 and more) still has them.
        // Within +-99 the points found are the same as from the start values above.
        ds.MagMin = ds.MagMax = ds.Mag[1];
        ds.MagMinIndex = ds.MagMaxIndex = 1;
    }
    for (int i = 1; i <= ds.PointCount; ++i) {
        if (ds.Time[i] < ds.TimeMin) ds.TimeMin = ds.Time[i];
        if (ds.Time[i] > ds.TimeMax) ds.TimeMax = ds.Time[i];
        if (ds.Mag[i] > ds.MagMax) {
            ds.MagMax = ds.Mag[i];
            ds.MagMaxIndex = i;
        }
        if (ds.Mag[i] < ds.MagMin) {
            ds.MagMin = ds.Mag[i];
            ds.MagMinIndex = i;
        }
    }
    ds.TimeMin -= 0.002;
    ds.TimeMax += 0.002;
    ds.TimeSpan = ds.TimeMax - ds.TimeMin;
    ds.MagSpan = ds.MagMax - ds.MagMin;
}

void RebuildWorkingSet(DataSet& ds) {
    ds.PointCount = 0;
    for (int i = 1; i <= ds.ReadCount; ++i) {
        if (ds.Deleted[i]) continue;
        ++ds.PointCount;
        ds.Time[ds.PointCount] = ds.AllTime[i];
        ds.Mag[ds.PointCount] = ds.AllMag[i];
        ds.Source[ds.PointCount] = i;
    }
}

std::string PointName(const DataSet& ds, int i) {
    const int point = i >= 1 && i <= kMaxPoints ? ds.Source[i] : 0;
    const int line = point >= 1 && point <= kMaxPoints ? ds.RawLine[point] : 0;
    return line > 0 ? "line " + std::to_string(line) : "point " + std::to_string(i);
}

namespace {

// "Line 146 repeats the time of line 145" / "Line 146 holds an earlier time than line 145".
std::string OutOfOrder(const std::string& earlier, const std::string& later, bool repeated) {
    std::string text = later + (repeated ? " repeats the time of " : " holds an earlier time than ") + earlier;
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace

std::string TimeOrderProblem(const DataSet& ds, int first, int last) {
    for (int i = std::max(first, 1) + 1; i <= std::min(last, ds.PointCount); ++i) {
        if (ds.Time[i] > ds.Time[i - 1]) continue;
        const bool repeated = ds.Time[i] == ds.Time[i - 1];
        return OutOfOrder(PointName(ds, i - 1), PointName(ds, i), repeated) +
               ", and this method would use both points: " +
               (repeated ? "delete one of them (Plot/Edit Data)" : "sort the file by time") +
               ", or leave them out of the range, and try again.";
    }
    return "";
}

std::string TimeOrderWarning(const DataSet& ds) {
    int firstBad = 0, bad = 0;
    for (int i = 2; i <= ds.ReadCount; ++i)
        if (!(ds.AllTime[i] > ds.AllTime[i - 1])) {
            if (firstBad == 0) firstBad = i;
            ++bad;
        }
    if (bad == 0) return "";
    const auto name = [&](int point) {
        return ds.RawLine[point] > 0 ? "line " + std::to_string(ds.RawLine[point])
                                     : "point " + std::to_string(point);
    };
    return OutOfOrder(name(firstBad - 1), name(firstBad), ds.AllTime[firstBad] == ds.AllTime[firstBad - 1]) +
           (bad > 1 ? " (" + std::to_string(bad) + " lines in all repeat or go back in time)" : "") +
           ". A method refuses to time a range that holds such points: delete them in "
           "Plot/Edit Data, or correct the file.";
}

void FreezeExtremes(DataSet& ds) {
    ds.FullTimeMin = ds.TimeMin;
    ds.FullTimeMax = ds.TimeMax;
    ds.FullTimeSpan = ds.TimeSpan;
    ds.FullMagMin = ds.MagMin;
    ds.FullMagMax = ds.MagMax;
    ds.FullMagSpan = ds.MagSpan;
    ds.FullMagMinIndex = ds.MagMinIndex;
    ds.FullMagMaxIndex = ds.MagMaxIndex;
}

void SetMagSign(DataSet& ds, int index) {
    ds.MagSign = 1 - 2 * index;
    for (int i = 1; i <= ds.ReadCount; ++i) ds.AllMag[i] = ds.RawMag[i] * ds.MagSign;
    RebuildWorkingSet(ds);
    FindExtremes(ds);
    FreezeExtremes(ds);
    ds.GuessMinTime = RoundTo(ds.Time[ds.MagMaxIndex], 4);
}

bool SetDeleted(DataSet& ds, int i, bool deleted) {
    if (i < 1 || i > ds.ReadCount) return false;
    ds.Deleted[i] = deleted;
    RebuildWorkingSet(ds);
    FindExtremes(ds);
    return true;
}

}  // namespace umbrix
