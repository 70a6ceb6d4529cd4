#include "timing/core/long/long_curve.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>

#include "timing/core/data/text_fields.h"

namespace umbrix {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsComment(std::string_view line) {
    const std::string_view t = Trim(line);
    return t.starts_with('#') || t.starts_with('\\');
}

// The fields of a line: split at every separator, or at runs of blanks for ' '. Fields are
// trimmed, and quotes around a header name are dropped.
std::vector<std::string_view> Fields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    line = Trim(line);
    if (separator == ' ') {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsBlankChar(line[i])) ++i;
            const std::size_t start = i;
            while (i < line.size() && !IsBlankChar(line[i])) ++i;
            if (i > start) fields.push_back(line.substr(start, i - start));
        }
        return fields;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t at = line.find(separator, start);
        std::string_view f = Trim(line.substr(start, at == std::string_view::npos ? at : at - start));
        if (f.size() >= 2 && f.front() == '"' && f.back() == '"') f = f.substr(1, f.size() - 2);
        fields.push_back(f);
        if (at == std::string_view::npos) return fields;
        start = at + 1;
    }
}

// The separator of a data line: tab, semicolon or comma when the line holds one (in that
// order: a tab-separated table may hold commas in no field, but a semicolon-separated one
// often holds decimal commas), else blanks.
char SeparatorOf(std::string_view line) {
    for (const char c : {'\t', ';', ','})
        if (line.find(c) != std::string_view::npos) return c;
    return ' ';
}

// A number of a field; where fields are not comma-separated, a decimal comma counts as a
// point ("10,432" in a semicolon-separated table of a European photometry program).
bool ParseField(std::string_view s, char separator, double& value) {
    if (separator == ',' || s.find(',') == std::string_view::npos || s.find('.') != std::string_view::npos)
        return ParseNumber(s, value);
    std::string copy(s);
    std::replace(copy.begin(), copy.end(), ',', '.');
    return ParseNumber(copy, value);
}

// Header names, lower case, in order of preference.
const std::vector<std::string> kTimeNames = {
    "bjd_tdb", "bjd-tdb", "bjdtdb", "bjd", "hjd", "jd", "time", "btjd", "j.d.-2400000", "jd-2400000",
    "hjd-2400000", "bjd-2400000", "date", "jd_utc", "hjd_utc", "mjd"};
const std::vector<std::string> kMagNames = {"mag", "magnitude", "vmag", "v", "dmag", "delta_mag",
                                            "diff_mag", "rel_mag", "source-sky_mag"};
const std::vector<std::string> kFluxNames = {"rel_flux_t1", "flux", "pdcsap_flux", "sap_flux",
                                             "norm_flux", "rel_flux", "normalized_flux",
                                             "norm. flux"};

// The first column whose lower-case name is the most preferred of `wanted`; also accepts a
// name that starts with a wanted one followed by a non-letter ("mag_v", "flux (e/s)").
int FindColumn(const std::vector<std::string>& names, const std::vector<std::string>& wanted) {
    for (const std::string& w : wanted)
        for (std::size_t c = 0; c < names.size(); ++c)
            if (Lower(names[c]) == w) return static_cast<int>(c);
    for (const std::string& w : wanted)
        for (std::size_t c = 0; c < names.size(); ++c) {
            const std::string n = Lower(names[c]);
            if (n.size() > w.size() && n.starts_with(w) && !std::isalpha(static_cast<unsigned char>(n[w.size()])))
                return static_cast<int>(c);
        }
    return -1;
}

}  // namespace

int PairedErrorColumn(const std::vector<std::string>& names, int b) {
    if (b < 0) return -1;
    const std::string base = Lower(names[static_cast<std::size_t>(b)]);
    const std::vector<std::string> paired = {base + "_err", base + "_error", base + "err", "e_" + base,
                                             base + "_sigma", "err_" + base, "sigma_" + base};
    for (std::size_t c = 0; c < names.size(); ++c) {
        const std::string n = Lower(names[c]);
        if (std::find(paired.begin(), paired.end(), n) != paired.end()) return static_cast<int>(c);
    }
    if (base.starts_with("rel_flux_")) {  // measurement tables: rel_flux_T1 and rel_flux_err_T1
        const std::string err = "rel_flux_err_" + base.substr(9);
        for (std::size_t c = 0; c < names.size(); ++c)
            if (Lower(names[c]) == err) return static_cast<int>(c);
    }
    return FindColumn(names, {"err", "error", "mag_err", "magerr", "sigma", "e_mag", "flux_err"});
}

bool IsFluxName(const std::string& name) { return Lower(name).find("flux") != std::string::npos; }

namespace {

// A column given by the user: a 1-based number or a header name. -1 when none is given,
// -2 when the text matches no column.
int ChosenColumn(const TablePreview& p, const std::string& given) {
    if (given.empty()) return -1;
    double v = 0;
    if (ParseNumber(given, v)) {
        if (v != std::floor(v) || v < 1 || v > static_cast<double>(p.names.size())) return -2;
        return static_cast<int>(v) - 1;
    }
    for (std::size_t c = 0; c < p.names.size(); ++c)
        if (Lower(p.names[c]) == Lower(Trim(given))) return static_cast<int>(c);
    return -2;
}

struct Chosen {
    int time = 0, brightness = 1, error = -1;
    bool flux = false;
};

Chosen Resolve(const TablePreview& p, const ColumnChoice& choice) {
    Chosen c{p.timeColumn, p.brightnessColumn, p.errorColumn, p.flux};
    if (const int t = ChosenColumn(p, choice.time); t >= 0) c.time = t;
    if (const int b = ChosenColumn(p, choice.brightness); b >= 0) {
        c.brightness = b;
        c.flux = p.header && IsFluxName(p.names[static_cast<std::size_t>(b)]);
        c.error = p.header ? PairedErrorColumn(p.names, b) : -1;
    }
    if (!choice.error.empty()) c.error = ChosenColumn(p, choice.error);
    if (choice.noError) c.error = -1;
    if (choice.flux) c.flux = *choice.flux;
    return c;
}

}  // namespace

std::string TimeScaleOfName(const std::string& name) {
    const std::string n = Lower(name);
    if (n.find("bjd") != std::string::npos && n.find("tdb") != std::string::npos) return "BJD_TDB";
    if (n == "btjd" || n.find("btjd") != std::string::npos) return "BJD_TDB";
    if (n.find("bjd") != std::string::npos) return "BJD";
    if (n.find("hjd") != std::string::npos) return "HJD";
    if (n.find("mjd") != std::string::npos) return "MJD";
    if (n.find("jd") != std::string::npos || n.find("j.d.") != std::string::npos) return "JD";
    return "";
}

TablePreview PreviewTable(std::string_view text, int rows) {
    TablePreview p;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    // The first line that is neither blank nor a comment, and the data lines after it.
    while (start < text.size() && static_cast<int>(lines.size()) < rows + 1) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!IsBlank(line) && !IsComment(line)) lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty()) {
        p.message = "it holds no data line";
        return p;
    }
    const char firstSeparator = SeparatorOf(lines[0]);
    const std::vector<std::string_view> first = Fields(lines[0], firstSeparator);
    double v = 0;
    p.header = !std::all_of(first.begin(), first.end(),
                            [&](std::string_view f) { return ParseField(f, firstSeparator, v); });
    const std::size_t dataStart = p.header ? 1 : 0;
    if (lines.size() <= dataStart) {
        p.message = "it holds a header line and no data line";
        return p;
    }
    p.separator = SeparatorOf(lines[dataStart]);
    const std::vector<std::string_view> names = Fields(lines[0], p.separator);
    for (std::size_t k = dataStart; k < lines.size(); ++k) {
        std::vector<std::string> row;
        for (const std::string_view f : Fields(lines[k], p.separator)) row.emplace_back(f);
        p.rows.push_back(std::move(row));
    }
    const std::size_t columns = p.rows.front().size();
    if (columns < 2) {
        p.message = "its data lines hold one field: a light curve needs a time and a brightness";
        return p;
    }
    for (std::size_t c = 0; c < columns; ++c)
        p.names.push_back(p.header && c < names.size() ? std::string(names[c]) : std::to_string(c + 1));
    if (p.header) {
        if (const int t = FindColumn(p.names, kTimeNames); t >= 0) p.timeColumn = t;
        const int m = FindColumn(p.names, kMagNames);
        const int f = FindColumn(p.names, kFluxNames);
        p.brightnessColumn = m >= 0 ? m : f >= 0 ? f : (p.timeColumn == 1 ? 0 : 1);
        if (p.brightnessColumn == p.timeColumn) p.brightnessColumn = p.timeColumn == 0 ? 1 : 0;
        p.flux = m < 0 && f >= 0;
        p.errorColumn = PairedErrorColumn(p.names, p.brightnessColumn);
        if (p.errorColumn == p.timeColumn || p.errorColumn == p.brightnessColumn) p.errorColumn = -1;
        p.timeScale = TimeScaleOfName(p.names[static_cast<std::size_t>(p.timeColumn)]);
    } else if (columns >= 3) {
        p.errorColumn = 2;
    }
    return p;
}

std::string CheckChoice(const TablePreview& p, const ColumnChoice& choice) {
    const std::pair<const char*, const std::string*> given[] = {
        {"time", &choice.time}, {"brightness", &choice.brightness}, {"error", &choice.error}};
    for (const auto& [what, text] : given)
        if (ChosenColumn(p, *text) == -2)
            return std::string("the ") + what + " column \"" + Printable(*text) +
                   "\" is neither a column number (1 to " + std::to_string(p.names.size()) +
                   ") nor a name in the header";
    const Chosen c = Resolve(p, choice);
    if (c.time == c.brightness || c.time == c.error || c.brightness == c.error)
        return "the time, brightness and error columns must be different columns";
    return "";
}

std::string ReadTable(std::string_view text, const std::string& fileName, const ColumnChoice& choice,
                      LongCurve& curve) {
    const TablePreview p = PreviewTable(text, 1);
    const std::string file = Quote(fileName);
    if (!p.message.empty()) return file + ": " + p.message + ".";
    if (const std::string why = CheckChoice(p, choice); !why.empty()) return file + ": " + why + ".";
    const Chosen c = Resolve(p, choice);
    LongCurve r;
    r.timeColumn = p.names[static_cast<std::size_t>(c.time)];
    r.brightnessColumn = p.names[static_cast<std::size_t>(c.brightness)];
    if (c.error >= 0) r.errorColumn = p.names[static_cast<std::size_t>(c.error)];
    r.timeScale = p.header ? TimeScaleOfName(r.timeColumn) : "";
    r.fromFlux = c.flux;
    const std::size_t needed = static_cast<std::size_t>(std::max({c.time, c.brightness, c.error})) + 1;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    bool headerSeen = !p.header;
    int notNumbers = 0;
    for (const TextLine& line : SplitLines(text)) {
        if (IsBlank(line.text) || IsComment(line.text)) continue;
        if (!headerSeen) {
            headerSeen = true;
            continue;
        }
        const std::vector<std::string_view> f = Fields(line.text, p.separator);
        if (f.size() < needed)
            return file + ", line " + std::to_string(line.number) + ": it has " + std::to_string(f.size()) +
                   " fields; the chosen columns need " + std::to_string(needed) + ".";
        double t = 0, m = 0, e = 0;
        const auto at = [&](int col) { return f[static_cast<std::size_t>(col)]; };
        const char sep = p.separator;
        if (!ParseField(at(c.time), sep, t) || !ParseField(at(c.brightness), sep, m) ||
            (c.error >= 0 && !ParseField(at(c.error), sep, e))) {
            ++notNumbers;
            continue;
        }
        r.time.push_back(t);
        r.mag.push_back(m);
        if (c.error >= 0) r.error.push_back(e);
        r.line.push_back(line.number);
    }
    r.leftOut = notNumbers;
    if (notNumbers > 0) r.leftOutWhy = std::to_string(notNumbers) + " lines without a number";
    if (c.flux) FluxToMagnitudes(r);
    SortByTime(r);
    if (r.time.size() < 2) return file + ": it holds fewer than two usable points.";
    curve = std::move(r);
    return "";
}

bool IsFitsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[9] = {};
    in.read(head, sizeof head);
    return std::string_view(head, static_cast<std::size_t>(in.gcount())) == "SIMPLE  =";
}

std::string ReadLongCurve(const std::string& path, const ColumnChoice& choice, FitsReader fits,
                          LongCurve& curve) {
    const std::string name = Quote(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return "Cannot open " + name + ": there is no such file.";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "Cannot open " + name + ": permission denied or the file is locked.";
    if (IsFitsFile(path)) {
        if (fits == nullptr) return "Cannot read " + name + ": this ectimer was built without FITS support.";
        return fits(path, curve);
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return "Cannot read " + name + ": the file could not be read to its end.";
    return ReadTable(text, path, choice, curve);
}

void FluxToMagnitudes(LongCurve& curve) {
    std::vector<double> positive;
    for (const double f : curve.mag)
        if (f > 0) positive.push_back(f);
    const std::size_t before = curve.mag.size();
    if (positive.empty()) {
        curve.time.clear(), curve.mag.clear(), curve.error.clear(), curve.line.clear();
    } else {
        const auto middle = positive.begin() + static_cast<std::ptrdiff_t>(positive.size() / 2);
        std::nth_element(positive.begin(), middle, positive.end());
        const double median = *middle;
        const bool errors = curve.error.size() == curve.mag.size();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < curve.mag.size(); ++i) {
            const double f = curve.mag[i];
            if (!(f > 0)) continue;
            curve.time[kept] = curve.time[i];
            curve.line[kept] = curve.line[i];
            curve.mag[kept] = -2.5 * std::log10(f / median);
            if (errors) curve.error[kept] = 2.5 / std::log(10.0) * curve.error[i] / f;
            ++kept;
        }
        curve.time.resize(kept), curve.mag.resize(kept), curve.line.resize(kept);
        if (errors) curve.error.resize(kept);
    }
    curve.fromFlux = true;
    if (const std::size_t dropped = before - curve.mag.size(); dropped > 0) {
        curve.leftOut += static_cast<int>(dropped);
        curve.leftOutWhy += (curve.leftOutWhy.empty() ? "" : ", ") + std::to_string(dropped) +
                            " fluxes not above zero";
    }
}

void SortByTime(LongCurve& curve) {
    if (std::is_sorted(curve.time.begin(), curve.time.end())) return;
    std::vector<std::size_t> order(curve.time.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return curve.time[a] < curve.time[b]; });
    const auto reorder = [&](auto& v) {
        if (v.size() != order.size()) return;
        auto copy = v;
        for (std::size_t i = 0; i < order.size(); ++i) v[i] = copy[order[i]];
    };
    reorder(curve.time), reorder(curve.mag), reorder(curve.error), reorder(curve.line);
}

}  // namespace umbrix
