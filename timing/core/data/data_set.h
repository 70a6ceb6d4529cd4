#pragma once
// The one in-memory store of the loaded light curve.
//
// Per-point arrays run from index 0 to kMaxPoints; index 0 never holds a point, points occupy
// 1..n. Times are days relative to DayOffset; magnitudes carry MagSign. The working set
// (Time, Mag, PointCount) is the non-deleted points in file order; every timing method reads
// only the working set.

#include <array>
#include <string>

namespace umbrix {

inline constexpr int kMaxPoints = 1000;

using PointArray = std::array<double, kMaxPoints + 1>;
using FlagArray = std::array<bool, kMaxPoints + 1>;
using IndexArray = std::array<int, kMaxPoints + 1>;

struct DataSet {
    // Identity of the file. A non-empty DataFileName means "a file is loaded".
    std::string DataDir;
    std::string DataFileName;
    std::string DataPath;

    // Points as read, 1..ReadCount.
    PointArray RawHjd{};
    PointArray RawMag{};
    double DayOffset = 0;
    // The scale of RawHjd as the plots' time axis names it: a light-curve file holds
    // heliocentric dates; an eclipse imported from a long curve keeps that file's scale.
    std::string TimeScale = "HJD";
    PointArray AllTime{};
    PointArray AllMag{};
    FlagArray Deleted{};
    IndexArray RawLine{};  // the file line each point was read from; 0 when not from a file
    int ReadCount = 0;
    int MagSign = 1;

    // Working set, 1..PointCount.
    PointArray Time{};
    PointArray Mag{};
    IndexArray Source{};  // the point (index into AllTime, AllMag, RawLine) of each working point
    int PointCount = 0;

    // Extremes of the working set; times carry a 0.002-day margin, magnitudes none.
    double TimeMin = 0, TimeMax = 0, TimeSpan = 0;
    double MagMin = 0, MagMax = 0, MagSpan = 0;
    int MagMinIndex = 0, MagMaxIndex = 0;

    // Copies of the extremes taken only after a load or a change of sign, so that the
    // plot keeps its scale while the user deletes and restores points.
    double FullTimeMin = 0, FullTimeMax = 0, FullTimeSpan = 0;
    double FullMagMin = 0, FullMagMax = 0, FullMagSpan = 0;
    int FullMagMinIndex = 0, FullMagMaxIndex = 0;

    double GuessMinTime = 0;  // time of the faintest working point, 4 decimals
    int SelectedPoint = 0;    // index into AllTime/AllMag/Deleted of the picked point
};

// Sgn(x) * Fix(|x| * 10^d + 0.5) / 10^d: x rounded half away from zero to d decimals.
double RoundTo(double x, int d);

// Joins a directory and a file name the way the open dialog forms DataPath.
std::string JoinPath(const std::string& dir, const std::string& name);

// Recomputes the working extremes. Indices keep their old values when no point qualifies.
void FindExtremes(DataSet& ds);

// How a message names working point i: "line 145" of the file it was read from, or
// "point 12" (its working index) when it was not read from a file.
std::string PointName(const DataSet& ds, int i);

// The first two working points of first..last whose times do not rise, named for the user,
// with what to do; "" when the times rise strictly. Every method that reads points in time
// order refuses with this when it would use such a pair: a repeated or out-of-order time
// would otherwise give a meaningless time of minimum rather than an error.
std::string TimeOrderProblem(const DataSet& ds, int first, int last);

// After a load: "" when the times rise from line to line; otherwise a warning naming the
// first line that does not and how many do not, for the window and the batch summary.
std::string TimeOrderWarning(const DataSet& ds);

// Refills Time, Mag, Source and PointCount from AllTime, AllMag and Deleted.
void RebuildWorkingSet(DataSet& ds);

// Copies the eight working extremes to their frozen counterparts.
void FreezeExtremes(DataSet& ds);

// The "+Mags" (index 0) / "-Mags (inverted)" (index 1) option: re-signs every point,
// rebuilds the working set, its extremes and the frozen extremes, and GuessMinTime.
void SetMagSign(DataSet& ds, int index);

// Marks point i (1..ReadCount, file order) deleted or restored and rebuilds the working set
// and its extremes. The frozen extremes and GuessMinTime stay. Returns false, changing
// nothing, for an index outside 1..ReadCount.
bool SetDeleted(DataSet& ds, int i, bool deleted);

}  // namespace umbrix
