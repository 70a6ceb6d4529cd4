#pragma once
// Long light curves: survey sectors, campaigns of many nights and the measurement tables of
// photometry software, with no limit on the number of points. They are read here into plain
// vectors; the eclipses are then cut out of them (long_eclipses.h) and each one is timed as
// a light curve of its own. The single-night reader (data/reader.h) is not this: it keeps its
// own format and its limit of kMaxPoints.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrix {

// A light curve in time order. Magnitudes throughout: a flux column is converted on reading
// (FluxToMagnitudes), so that an eclipse is faint here as everywhere else in the program.
struct LongCurve {
    std::vector<double> time;   // days, in the file's own time scale, whole (e.g. 2458738.66)
    std::vector<double> mag;
    std::vector<double> error;  // magnitudes; empty when the file has no error column
    std::vector<int> line;      // the file line (text) or table row (FITS) of each point
    std::string timeScale;      // "BJD_TDB", "BJD", "HJD", "JD", or "" when the file does not say
    std::string timeColumn, brightnessColumn, errorColumn;  // as the file names them
    bool fromFlux = false;      // the brightness column was a flux
    int leftOut = 0;            // points not used: NaN, flagged (QUALITY != 0) or not a number
    std::string leftOutWhy;     // what they were, for the output ("" when none)
};

// What the user chose, or nothing to let the header decide. A column is a 1-based number or
// a header name (case does not matter).
struct ColumnChoice {
    std::string time, brightness, error;
    // The brightness column is a flux (true) or a magnitude (false) whatever its name; by its
    // name when not given.
    std::optional<bool> flux;
    bool noError = false;  // read no error column, even one the header pairs with the brightness
};

// A first look at a text table, for the import window's preview and for the reader.
struct TablePreview {
    std::string message;              // "" when the text looks like a table
    char separator = ',';             // ',', '\t', ';' or ' ' (any run of blanks)
    std::vector<std::string> names;   // the header's names, or "1", "2", ... when it has none
    bool header = false;
    std::vector<std::vector<std::string>> rows;  // the first data rows, fields as text
    int timeColumn = 0, brightnessColumn = 1, errorColumn = -1;  // 0-based guesses; -1: none
    bool flux = false;                // the guessed brightness column is named as a flux
    std::string timeScale;            // from the time column's name
};

// Lines starting with '#' or '\' are comments wherever they stand; the first other line is
// the header when any of its fields is not a number.
TablePreview PreviewTable(std::string_view text, int rows = 10);

// Why a column choice cannot be used with this table ("" when it can): an unknown name, a
// number outside 1..columns, the same column twice.
std::string CheckChoice(const TablePreview& preview, const ColumnChoice& choice);

// Reads every data line of a text table. A line whose time or brightness is not a number
// (NaN, "--", empty) is left out and counted; a line with too few fields refuses the file,
// naming the line. Returns "" or the refusal (naming file and line); curve is sorted by time.
std::string ReadTable(std::string_view text, const std::string& fileName, const ColumnChoice& choice,
                      LongCurve& curve);

// True when the file at path starts as every FITS file does ("SIMPLE  =").
bool IsFitsFile(const std::string& path);

// Reads a light-curve file of either kind: FITS when it starts as FITS does (through reader,
// which the command line and the windows supply; nothing when the program was built without
// a FITS library), text otherwise.
using FitsReader = std::string (*)(const std::string& path, LongCurve& curve);
std::string ReadLongCurve(const std::string& path, const ColumnChoice& choice, FitsReader fits,
                          LongCurve& curve);

// Whether a header name names a flux ("rel_flux_T1", "PDCSAP_FLUX", "norm. flux").
bool IsFluxName(const std::string& name);

// The error column that goes with brightness column b (0-based) of a header: one named after
// it ("mag_err", "rel_flux_err_T1", "e_mag" ...), else a lone error column ("err", "sigma" ...);
// -1 when none.
int PairedErrorColumn(const std::vector<std::string>& names, int b);

// Flux to magnitude, -2.5 log10(flux / median flux), errors to 2.5 / ln 10 * error / flux;
// points whose flux is not above zero are left out and counted. Keeps the lines.
void FluxToMagnitudes(LongCurve& curve);

// Sorts the points by time (stable, so that equal times keep their order in the file).
void SortByTime(LongCurve& curve);

// The time scale a column name implies: "BJD_TDB" for BJD_TDB / BJD-TDB / BTJD, "BJD",
// "HJD", "JD", or "".
std::string TimeScaleOfName(const std::string& name);

}  // namespace umbrix
