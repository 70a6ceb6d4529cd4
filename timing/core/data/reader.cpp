#include "timing/core/data/reader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "timing/core/data/text_fields.h"

namespace umbrix {

const char* const kNotCsvMessage =
    "Sorry - your data file needs to be in the Comma Separated Variables format.  "
    "See [menu] Help > Help - Data Files for details.";

namespace {

// A 1000-point file with six long columns is well under 200 kB; anything far larger is not
// a light curve, and reading it whole would only waste memory.
constexpr std::uintmax_t kMaxFileBytes = 16 * 1024 * 1024;
constexpr int kMaxColumns = 6;

int CountCommas(std::string_view s) {
    int n = 0;
    for (char c : s) n += (c == ',');
    return n;
}

// A first line holding anything but blanks, signs, points, commas and digits is a header.
bool LooksLikeHeader(std::string_view s) {
    for (char c : s) {
        const bool numeric = c == ' ' || c == '+' || c == '-' || c == '.' || c == ',' ||
                             (c >= '0' && c <= '9');
        if (!numeric) return true;
    }
    return false;
}

std::string AtLine(const std::string& fileName, int line) {
    return Quote(fileName) + ", line " + std::to_string(line) + ": ";
}

const char* const kImportHint =
    "Files of other layouts and long light curves open with File > Import Light Curve ... "
    "(ectimer --eclipses on the command line).";

// The comma-separated refusal as it always read, then where and what the file holds instead.
std::string NotCsv(const std::string& fileName, const TextLine& line) {
    const std::string_view t = Trim(line.text);
    const char* holds = t.find('\t') != std::string_view::npos ? "its fields are separated by tabs"
                        : t.find(';') != std::string_view::npos ? "its fields are separated by semicolons"
                        : t.find(' ') != std::string_view::npos ? "its fields are separated by blanks"
                                                                : "it holds one field";
    return std::string(kNotCsvMessage) + "  " + AtLine(fileName, line.number) + "no comma; " + holds +
           ". " + kImportHint;
}

ParsedLightCurve Refuse(std::string message) {
    ParsedLightCurve r;
    r.message = std::move(message);
    return r;
}

}  // namespace

ParsedLightCurve ParseLightCurve(std::string_view text, const std::string& fileName) {
    // Editors on some systems start a UTF-8 file with a byte-order mark. It belongs to the
    // encoding, not to line 1: left there, it would make a first data line look like a
    // header and lose the first point.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<TextLine> lines = SplitLines(text);
    // Blank lines at the end are ignored; a blank line anywhere else is refused below.
    while (!lines.empty() && IsBlank(lines.back().text)) lines.pop_back();
    if (lines.empty()) return Refuse(Quote(fileName) + " is empty: it holds no light curve.");
    if (lines.size() < 2)
        return Refuse(Quote(fileName) +
                      " has only one line; a light curve needs at least two lines.");

    // Sniffing: the header test on line 1, the record shape from line 2.
    const int c1 = CountCommas(lines[0].text);
    const bool header = LooksLikeHeader(lines[0].text);
    // A blank line 2 (a header, then an empty line) would otherwise read as "no comma" and
    // get the general format message, which names neither the file nor the line.
    if (IsBlank(lines[1].text))
        return Refuse(AtLine(fileName, lines[1].number) +
                      "the line is blank; blank lines are allowed only at the end.");
    const int c2 = CountCommas(lines[1].text);
    if (c2 == 0) return Refuse(NotCsv(fileName, lines[1]));
    const int columns = c2 + 1;
    if (columns > kMaxColumns)
        return Refuse(AtLine(fileName, lines[1].number) + "it has " + std::to_string(columns) +
                      " columns; a light-curve file has 2 to 6 (time, magnitude and up to "
                      "four more that are not used).");

    const std::size_t first = (c1 != c2 || header) ? 1 : 0;
    ParsedLightCurve r;
    for (std::size_t k = first; k < lines.size(); ++k) {
        const TextLine& line = lines[k];
        if (IsBlank(line.text))
            return Refuse(AtLine(fileName, line.number) +
                          "the line is blank; blank lines are allowed only at the end.");
        // Every record has the shape of line 2. A line with another number of fields would
        // shift every later time into the magnitude column, so it is refused instead.
        const int commas = CountCommas(line.text);
        if (commas != c2)
            return Refuse(AtLine(fileName, line.number) + "it has " +
                          std::to_string(commas + 1) + " columns, but line " +
                          std::to_string(lines[1].number) + " has " + std::to_string(columns) +
                          ".");
        if (static_cast<int>(r.hjd.size()) == kMaxPoints)
            return Refuse(AtLine(fileName, line.number) + "the file holds more than " +
                          std::to_string(kMaxPoints) + " points; at most " +
                          std::to_string(kMaxPoints) + " can be read. " + kImportHint);
        const std::size_t comma1 = line.text.find(',');
        const std::size_t comma2 = line.text.find(',', comma1 + 1);
        const std::string_view fields[2] = {line.text.substr(0, comma1),
                                            line.text.substr(comma1 + 1, comma2 - comma1 - 1)};
        double values[2];
        for (int f = 0; f < 2; ++f) {
            if (!ParseNumber(fields[f], values[f]))
                return Refuse(AtLine(fileName, line.number) + "column " + std::to_string(f + 1) +
                              " (\"" + Printable(Trim(fields[f])) + "\") is not a number.");
        }
        r.hjd.push_back(values[0]);
        r.mag.push_back(values[1]);
        r.line.push_back(line.number);
    }
    r.ok = true;
    return r;
}

void ApplyLightCurve(DataSet& ds, const std::vector<double>& hjd, const std::vector<double>& mag,
                     const std::vector<int>& lines) {
    const int n = static_cast<int>(hjd.size());
    ds.RawHjd.fill(0);
    ds.RawMag.fill(0);
    ds.RawLine.fill(0);
    for (int i = 1; i <= n; ++i) {
        ds.RawHjd[i] = hjd[i - 1];
        ds.RawMag[i] = mag[i - 1];
        if (lines.size() == hjd.size()) ds.RawLine[i] = lines[static_cast<std::size_t>(i - 1)];
    }
    ds.ReadCount = n;
    ds.PointCount = n;
    ds.MagSign = 1;
    ds.DayOffset = std::floor(ds.RawHjd[1]);
    ds.Deleted.fill(false);
    for (int i = 1; i <= n; ++i) {
        ds.Time[i] = ds.RawHjd[i] - ds.DayOffset;
        ds.AllTime[i] = ds.Time[i];
        ds.Mag[i] = ds.RawMag[i] * ds.MagSign;
        ds.AllMag[i] = ds.Mag[i];
        ds.Source[i] = i;
    }
    FindExtremes(ds);
    FreezeExtremes(ds);
    ds.GuessMinTime = RoundTo(ds.Time[ds.MagMaxIndex], 4);
}

std::string LoadDataFile(DataSet& ds) {
    const std::string& name = ds.DataFileName.empty() ? ds.DataPath : ds.DataFileName;
    std::error_code ec;
    const auto status = std::filesystem::status(ds.DataPath, ec);
    if (!std::filesystem::exists(status))
        return "Cannot open " + Quote(name) + ": there is no such file.";
    if (!std::filesystem::is_regular_file(status))
        return "Cannot open " + Quote(name) + ": it is not a file.";
    const auto size = std::filesystem::file_size(ds.DataPath, ec);
    if (ec) return "Cannot read " + Quote(name) + ": " + ec.message() + ".";
    if (size > kMaxFileBytes)
        return Quote(name) + " is too large to be a light curve of at most " +
               std::to_string(kMaxPoints) + " points.";
    std::ifstream in(ds.DataPath, std::ios::binary);
    if (!in) return "Cannot open " + Quote(name) + ": permission denied or the file is locked.";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return "Cannot read " + Quote(name) + ": the file could not be read to its end.";

    const ParsedLightCurve parsed = ParseLightCurve(text, name);
    if (!parsed.ok) return parsed.message;
    ApplyLightCurve(ds, parsed.hjd, parsed.mag, parsed.line);
    ds.TimeScale = "HJD";
    return "";
}

}  // namespace umbrix
