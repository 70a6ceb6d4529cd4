#pragma once
// O-C (observed minus calculated): the times of minimum of many nights against an ephemeris
// T0 + P E, the cycle number E of each, and weighted least-squares fits of a linear and a
// quadratic ephemeris to them. Standard C++ only; the command line around it is in batch.cpp.

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrix {

// ---- The minima table ----------------------------------------------------------------------
// One CSV file collects the times of minimum of many nights: the batch mode's --table writes
// it whole, the main window's minima log appends to it, and O-C reads it. Columns:
//   file,row,method,hjd,error,calibrated_error,refused
// row is 1..6 with the method's name (parabola .. sliding), or "mean" with "weighted_mean"
// (error: the standard error of the weighted mean); a refused file has only file and refused.

// A CSV field: as it is, or in double quotes (inner ones doubled) when it holds a comma, a
// quote or a line end.
std::string CsvField(const std::string& text);

// The header line, with its line end.
std::string MinimaTableHeader();

// One line, with its line end; file and refused quoted as CSV needs.
std::string MinimaTableLine(const std::string& file, const std::string& row, const std::string& method,
                            const std::string& hjd, const std::string& error,
                            const std::string& calibrated, const std::string& refused);

// Appends lines to the minima log at path (created with its header when missing or empty)
// by writing the whole new log through write (a crash-safe replacement), so that a failure
// leaves the log exactly as it was. A file whose first line is not the header is not a
// minima log and is left alone. Returns "" or why nothing was appended.
using WholeFileWriter = std::string (*)(const std::string& path, std::string_view content);
std::string AppendToMinimaLog(const std::string& path, const std::string& lines, WholeFileWriter write);

// The methods among `methods` that the minima log text already holds for the light curve
// `file` (its rows of an earlier append), so that the same night is not logged twice unasked.
std::vector<std::string> MethodsLogged(const std::string& logText, const std::string& file,
                                       const std::vector<std::string>& methods);

// One time of minimum as a minima table holds it.
struct Minimum {
    std::string file;
    // "parabola" .. "sliding"; "weighted_mean" (the table's mean row), or "calibrated_mean"
    // (the mean of a night's rows weighted by their calibrated errors, see ReadMinima)
    std::string method;
    double hjd = 0;
    double error = 0;  // days: the calibrated error when the table has one, else the method's
};

// Reads a minima table (the batch mode's --table, or the window's minima log): a header line
// "file,row,method,hjd,error,calibrated_error,refused", then one line per row. Rows that were
// refused, or whose method is not `method`, are left out.
//
// "mean" gives one minimum per light curve. Where every method row of it has a calibrated
// error, it is their mean weighted by 1 / calibrated error^2 ("calibrated_mean"). Its error is
// the weighted mean of those errors: the methods time the same points, so their errors are
// far from independent, and the mean is hardly better than its best method. Otherwise the
// table's own weighted-mean row is used ("weighted_mean").
// Returns "" or why the table cannot be read (naming the line).
std::string ReadMinima(const std::string& text, const std::string& method,
                       std::vector<Minimum>& minima);

// A fitted ephemeris T = T0 + P E (+ Q E^2), with standard errors from the weighted normal
// equations (the minima's errors taken as they are) and chi-square per degree of freedom.
struct Ephemeris {
    bool ok = false;
    std::string message;  // why no fit, when !ok
    int terms = 2;        // 2: linear, 3: quadratic
    double t0 = 0, p = 0, q = 0;
    double t0Error = 0, pError = 0, qError = 0;
    double chi2PerDof = 0;  // 0 when the fit has no degree of freedom left
    int n = 0;              // minima in the fit
    // What the errors are multiplied by when the scatter exceeds them: sqrt(chi2/dof) above 1.
    double scale() const { return chi2PerDof > 1 ? std::sqrt(chi2PerDof) : 1; }
    double dPdE() const { return 2 * q; }  // days per cycle
    double dPdEError() const { return 2 * qError; }
};

inline constexpr const char* kFlagDuplicate = "duplicate";
inline constexpr const char* kFlagRejected = "rejected";
// Left out of the fits by the user (the O-C window's tick), not by any rule.
inline constexpr const char* kFlagExcluded = "excluded";

struct OcRow {
    Minimum minimum;
    double cycle = 0;  // E: whole, or half-whole for a secondary minimum
    double oc = 0;     // days
    // Against the fitted ephemeris: O-C less what the fit predicts, days, and that over the
    // minimum's error (both 0 when no fit was made).
    double residual = 0, residualSigma = 0;
    // "": in the fits; kFlagDuplicate (the same file, method and time as an earlier row) or
    // kFlagRejected (beyond --reject sigma): left out of them.
    std::string flag;
};

// E and O-C of every minimum against T0 + P E: E the nearest whole number, or with secondary
// the nearest half (so secondary minima fall on E + 0.5).
std::vector<OcRow> ComputeOc(const std::vector<Minimum>& minima, double t0, double p, bool secondary);

// Weighted least squares of T0 + P E (+ Q E^2) through the rows not flagged (weights
// 1 / error^2), solved for the corrections to the trial ephemeris so that full Julian dates
// never enter a sum. Refused: fewer minima than terms, an error that is not positive, a
// singular system.
Ephemeris FitEphemeris(const std::vector<OcRow>& rows, double t0, double p, int terms);

// Flags every row that repeats an earlier row's file, method and time: the same night logged
// twice must not count twice.
void FlagDuplicates(std::vector<OcRow>& rows);

// Sets every row's residual and residual over its error against the fit.
void SetResiduals(std::vector<OcRow>& rows, const Ephemeris& fit, double t0, double p);

// Fits `terms` terms; with reject, then leaves out the row in the fit that lies furthest
// beyond reject times its error (flagging it kFlagRejected) and fits again, until none does.
// Returns the last fit, with every row's residuals against it, and how many were rejected.
Ephemeris FitRejecting(std::vector<OcRow>& rows, double t0, double p, int terms,
                       std::optional<double> reject, int& rejected);

// ---- One O-C run, as the command line and the O-C window both make it --------------------

// The trial ephemeris and what the command line's options choose.
struct OcChoices {
    double t0 = 0, p = 0;
    bool secondary = false;
    bool quadratic = false;             // also fit T0 + P E + Q E^2; rejection goes by it
    std::optional<double> reject;       // --reject N
    std::vector<std::size_t> excluded;  // indices into the minima left out by hand
};

struct OcRun {
    bool ok = false;
    std::string message;  // why nothing was computed, when !ok
    std::vector<OcRow> rows;
    Ephemeris linear;
    std::optional<Ephemeris> quadratic;  // with choices.quadratic
    int rejected = 0, duplicates = 0;
    // The fit the residuals and the rejection go by: the quadratic one when asked for.
    const Ephemeris& fullest() const { return quadratic ? *quadratic : linear; }
};

// E and O-C of every minimum, duplicates and the minima left out by hand flagged (a row
// already a duplicate stays one), then the fits: the fullest asked for with rejection and the
// residuals, the linear one on the same minima. Refused (ok false): a period that is not above
// zero, or so short against the times that a cycle number is beyond 1e9 (the O-C of such
// cycles has no digits left). A fit that is refused leaves ok true with the fit's message.
OcRun RunOcFits(const std::vector<Minimum>& minima, const OcChoices& choices);

// A fit as the command line prints it, without the line end: "linear: T0 = ... +/- ...,
// P = ... +/- ..., chi2/dof = ...", dP/dE for a quadratic fit, the errors scaled by
// sqrt(chi2/dof) when that exceeds 1, or "linear: refused: <why>".
std::string FitLine(const Ephemeris& fit);

// The O-C table as the command line prints it and the O-C window exports it: the header line
// "file,method,E,hjd,o_c_days,o_c_minutes,error,residual_days,residual_sigma,flag" and one line
// per row (the residuals empty when withResiduals is false: no fit to measure them by).
std::string OcTableCsv(const std::vector<OcRow>& rows, bool withResiduals);

// The trial ephemeris from its two texts. Returns "" and sets t0 and p, or names the field
// that is wrong ("P must be above zero, not \"-1\"."), leaving t0 and p as they were.
std::string ParseEphemeris(const std::string& t0Text, const std::string& pText, double& t0, double& p);

}  // namespace umbrix
