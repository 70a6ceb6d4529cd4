#include "timing/cli/eclipses_command.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "common/atomic_file.h"
#include "timing/cli/batch.h"
#include "timing/cli/file_run.h"
#include "timing/cli/options.h"
#include "timing/cli/parallel_files.h"
#include "timing/core/data/json.h"
#include "timing/core/long/eclipse_timing.h"
#include "timing/core/oc/oc.h"
#include "timing/fits/fits_light_curve.h"

namespace umbrix {

const char* const kEclipsesUsage =
    "usage: ectimer --eclipses FILE... [--ephemeris T0,P] [--secondary] [--half-width D]\n"
    "                            [--columns T,M[,E]] [--flux] [--method LIST]\n"
    "                            [--format text|json] [--table minima.csv]\n"
    "  FILE...       long light curves, no limit on points: FITS (TESS, Kepler, K2) or text\n"
    "                tables separated by commas, tabs, semicolons or blanks\n"
    "  --ephemeris   T0,P: one window per predicted eclipse (default: every dip of the curve)\n"
    "  --secondary   with --ephemeris: the eclipses at phase 0.5\n"
    "  --half-width  of each window, days (default: the eclipse's duration measured on the curve)\n"
    "  --columns     time, brightness and error column: 1-based numbers or header names\n"
    "                (default: chosen by the header's names, else 1,2)\n"
    "  --flux        the brightness column is a flux (a column named as one is anyway);\n"
    "                it becomes -2.5 log10(flux / median flux)\n"
    "  --method      as for --batch (default all); each runs with --ranges auto\n"
    "  --format      text (default) or json (one object per file)\n"
    "  --table       also write the rows to this CSV file: the --batch table with a last\n"
    "                column, eclipse (the eclipse's number in its file)\n";

namespace {

struct EclipsesOptions {
    std::vector<std::string> files;
    EclipseSearch search;
    ColumnChoice columns;
    std::array<bool, kMethodRows> rows{true, true, true, true, true, true};
    Format format = Format::Text;
    std::optional<std::string> table;
};

std::optional<EclipsesOptions> Parse(const std::vector<std::string>& args, std::string& error) {
    EclipsesOptions o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            o.files.push_back(a);
            continue;
        }
        if (a == "--secondary" || a == "--flux") {
            if (a == "--flux")
                o.columns.flux = true;
            else
                o.search.secondary = true;
            continue;
        }
        static const std::vector<std::string> kValued = {"--ephemeris", "--half-width", "--columns",
                                                         "--method", "--format", "--table"};
        const std::string* value = TakeValue(args, i, kValued, error);
        if (value == nullptr) return std::nullopt;
        const std::string& v = *value;
        const auto complain = [&](const std::string& what) {
            error = a + " takes " + what + ", not \"" + v + "\"";
            return std::nullopt;
        };
        if (a == "--ephemeris") {
            const std::vector<std::string> parts = Split(v, ',');
            const auto t0 = parts.size() == 2 ? ParseTime(parts[0]) : std::nullopt;
            const auto p = parts.size() == 2 ? ParseTime(parts[1]) : std::nullopt;
            if (!t0 || !p || !(*p > 0)) return complain("T0,P with a period above zero");
            o.search.t0 = *t0;
            o.search.period = *p;
        } else if (a == "--half-width") {
            const auto d = ParseTime(v);
            if (!d || !(*d > 0)) return complain("a number of days above zero");
            o.search.halfWidth = *d;
        } else if (a == "--columns") {
            const std::vector<std::string> parts = Split(v, ',');
            if (parts.size() < 2 || parts.size() > 3 ||
                std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); }))
                return complain("T,M or T,M,E (column numbers or names)");
            o.columns.time = parts[0];
            o.columns.brightness = parts[1];
            if (parts.size() == 3) o.columns.error = parts[2];
        } else if (a == "--method") {
            const auto rows = ParseMethods(v);
            if (!rows) return complain("names from parabola,tracing,chords,kvw,fourier,sliding");
            o.rows = *rows;
        } else if (a == "--format") {
            if (v != "text" && v != "json") return complain("text or json");
            o.format = v == "json" ? Format::Json : Format::Text;
        } else {
            o.table = v;
        }
    }
    if (o.files.empty()) {
        error = "--eclipses needs a FILE";
        return std::nullopt;
    }
    if (o.search.secondary && !o.search.t0) {
        error = "--secondary needs --ephemeris";
        return std::nullopt;
    }
    return o;
}

// One file: its curve, its eclipses, and per eclipse what timing it gave.
struct FileEclipses {
    std::string message;  // the file could not be read, or held no eclipse
    LongCurve curve;
    LongEclipses found;
    std::vector<WindowPoints> points;  // per eclipse; empty for those not covered
    std::vector<FileRun> runs;         // per eclipse; empty for those not covered
};

std::string Days(double d) { return JsonNumber(RoundTo(d, 6)); }

std::string WindowText(const LongEclipse& e, const WindowPoints& w) {
    std::string t = "eclipse " + std::to_string(e.number) + ": ";
    if (e.cycle) t += "cycle " + JsonNumber(*e.cycle) + ", ";
    t += "window " + RowText(e.from) + " to " + RowText(e.to) + ", " + std::to_string(e.count) + " points";
    if (w.binned > 1)
        t += ", binned to " + std::to_string(w.time.size()) + " (means of " + std::to_string(w.binned) + ")";
    return t + (e.covered ? ": timed" : ": not timed: " + e.why + ": " + e.detail) + "\n";
}

void PrintFileText(const std::string& file, const EclipsesOptions& o, const FileEclipses& f, std::ostream& out) {
    const LongCurve& c = f.curve;
    const LongEclipses& found = f.found;
    out << "file: " << file << "\n"
        << "time_scale: " << (c.timeScale.empty() ? "as in the file (its header does not say)" : c.timeScale)
        << " (column " << c.timeColumn << ")\n"
        << "brightness: column " << c.brightnessColumn
        << (c.fromFlux ? ", a flux, as -2.5 log10(flux / median)" : ", magnitudes") << "\n"
        << "points: " << c.time.size();
    if (c.leftOut > 0) out << " (" << c.leftOut << " left out: " << c.leftOutWhy << ")";
    out << "\n";
    if (o.search.t0)
        out << "ephemeris: " << JsonNumber(*o.search.t0) << " + " << JsonNumber(*o.search.period) << " E"
            << (o.search.secondary ? ", secondary eclipses (E + 0.5)" : "") << "\n";
    out << "cadence: " << Days(found.cadence) << " d\n"
        << "half_width: " << Days(found.halfWidth) << " d ("
        << (found.measured ? "measured: the eclipse's duration" : "given") << ")\n";
    const auto covered = std::count_if(found.eclipses.begin(), found.eclipses.end(),
                                       [](const LongEclipse& e) { return e.covered; });
    out << "eclipses: " << found.eclipses.size() << ", timed " << covered << "\n";
    for (std::size_t k = 0; k < found.eclipses.size(); ++k) {
        out << "\n" << WindowText(found.eclipses[k], f.points[k]);
        if (found.eclipses[k].covered) out << f.runs[k].out;
    }
}

void PrintFileJson(const std::string& file, const EclipsesOptions& o, const FileEclipses& f, std::ostream& out) {
    const LongCurve& c = f.curve;
    const LongEclipses& found = f.found;
    out << "{\"file\": " << JsonString(file) << ", \"time_scale\": " << JsonString(c.timeScale)
        << ", \"time_column\": " << JsonString(c.timeColumn)
        << ", \"brightness_column\": " << JsonString(c.brightnessColumn)
        << ", \"flux\": " << (c.fromFlux ? "true" : "false") << ", \"points\": " << c.time.size()
        << ", \"left_out\": " << c.leftOut << ", \"left_out_why\": " << JsonString(c.leftOutWhy);
    if (o.search.t0)
        out << ", \"ephemeris\": {\"t0\": " << JsonNumber(*o.search.t0) << ", \"p\": "
            << JsonNumber(*o.search.period) << ", \"secondary\": " << (o.search.secondary ? "true" : "false")
            << "}";
    out << ", \"cadence\": " << Days(found.cadence) << ", \"half_width\": " << Days(found.halfWidth)
        << ", \"half_width_measured\": " << (found.measured ? "true" : "false") << ", \"eclipses\": [";
    for (std::size_t k = 0; k < found.eclipses.size(); ++k) {
        const LongEclipse& e = found.eclipses[k];
        out << (k ? ", " : "") << "{\"number\": " << e.number
            << ", \"cycle\": " << (e.cycle ? JsonNumber(*e.cycle) : "null")
            << ", \"centre\": " << JsonNumber(e.centre) << ", \"from\": " << JsonNumber(e.from)
            << ", \"to\": " << JsonNumber(e.to) << ", \"points\": " << e.count
            << ", \"binned\": " << f.points[k].binned << ", \"timed\": " << (e.covered ? "true" : "false");
        if (e.covered) {
            std::string timing = f.runs[k].out;
            while (!timing.empty() && timing.back() == '\n') timing.pop_back();
            out << ", \"not_timed\": null, \"timing\": " << timing << "}";
        } else {
            out << ", \"not_timed\": " << JsonString(e.why) << ", \"detail\": " << JsonString(e.detail) << "}";
        }
    }
    out << "]}\n";
}

}  // namespace

std::string WithColumn(const std::string& lines, const std::string& value) {
    const std::string field = CsvField(value);
    std::string out;
    bool quoted = false;
    for (const char ch : lines) {
        if (ch == '"') quoted = !quoted;
        if (ch == '\n' && !quoted) out.append(1, ',').append(field);
        out += ch;
    }
    return out;
}

int RunEclipsesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto parsed = Parse(args, error);
    if (!parsed) {
        err << "ectimer: " << error << "\n" << kEclipsesUsage;
        return kBatchFailed;
    }
    const EclipsesOptions& o = *parsed;
    std::vector<FileEclipses> files(o.files.size());
    ForEachFile(files.size(), [&](std::size_t i) {
        FileEclipses& f = files[i];
        f.message = ReadLongCurve(o.files[i], o.columns, &ReadFitsLightCurve, f.curve);
        if (!f.message.empty()) return;
        f.found = FindLongEclipses(f.curve, o.search);
        f.message = f.found.message;
        if (f.message == kNoDurationMessage) f.message.insert(f.message.size() - 1, " (--half-width D)");
        f.points.resize(f.found.eclipses.size());
        f.runs.resize(f.found.eclipses.size());
    }, err);

    // Every covered eclipse of every file is one piece of work.
    std::vector<std::pair<std::size_t, std::size_t>> work;
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t k = 0; k < files[i].found.eclipses.size(); ++k)
            if (files[i].message.empty() && files[i].found.eclipses[k].covered) work.emplace_back(i, k);
    BatchOptions batch;
    batch.rows = o.rows;
    batch.autoRanges = true;
    batch.format = o.format;
    ForEachFile(work.size(), [&](std::size_t w) {
        const auto [i, k] = work[w];
        FileEclipses& f = files[i];
        const LongEclipse& e = f.found.eclipses[k];
        f.points[k] = PointsOfWindow(f.curve, e, kMaxPoints);
        const std::filesystem::path path(o.files[i]);
        auto app = std::make_unique<AppState>();
        LoadWindow(*app, f.points[k], path.has_parent_path() ? path.parent_path().string() : ".",
                   WindowName(path.filename().string(), e));
        f.runs[k] = RunLoaded(batch, *app, WindowName(o.files[i], e));
    }, err, "eclipses");

    int status = kBatchOk;
    std::string table = MinimaTableHeader();
    table.insert(table.size() - 1, ",eclipse");
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileEclipses& f = files[i];
        if (!f.message.empty()) {
            err << "ectimer: " << o.files[i] << ": " << f.message << "\n";
            table += WithColumn(MinimaTableLine(o.files[i], "", "", "", "", "", f.message), "");
            status = kBatchRefused;
            continue;
        }
        if (o.format == Format::Text) {
            if (i > 0) out << "\n";
            PrintFileText(o.files[i], o, f, out);
        } else {
            PrintFileJson(o.files[i], o, f, out);
        }
        for (std::size_t k = 0; k < f.found.eclipses.size(); ++k) {
            const LongEclipse& e = f.found.eclipses[k];
            const std::string number = std::to_string(e.number);
            if (e.covered) {
                err << f.runs[k].err;
                table += WithColumn(f.runs[k].table, number);
            } else {
                table += WithColumn(MinimaTableLine(WindowName(o.files[i], e), "", "", "", "", "",
                                                    "not timed: " + e.why + ": " + e.detail),
                                    number);
            }
        }
    }
    if (o.table) {
        if (const std::string message = atomicfile::WriteFile(*o.table, table); !message.empty()) {
            err << "ectimer: " << message << "\n";
            return kBatchFailed;
        }
    }
    return status;
}

}  // namespace umbrix
