#include "timing/app/batch.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "common/atomic_file.h"
#include "common/toolkit_options.h"
#include "timing/app/app_state.h"
#include "timing/app/json.h"
#include "timing/data/data_set.h"
#include "timing/data/means.h"
#include "timing/data/reader.h"
#include "timing/methods/auto_ranges.h"
#include "timing/methods/method_common.h"
#include "timing/oc/oc.h"

namespace umbrix {

const char* const kBatchUsage =
    "usage: ectimer --batch FILE... [--inverted] [--delete I,J,...] [--format text|json]\n"
    "                            [--method LIST] [--range A:B] [--chords A:B:C:D] [--fold F]\n"
    "                            [--stepp N] [--frac F] [--fourier-start Xo,C,W,A1,A2,A3,A4,A5]\n"
    "                            [--ranges all|auto] [--table minima.csv]\n"
    "  FILE...     light curves: comma-separated HJD, magnitude (at most 1000 points each);\n"
    "              several run in parallel with the same options, reported in this order\n"
    "  --inverted  use \"-Mags (inverted)\" (for flux, which falls in eclipse)\n"
    "  --delete    delete these points (1-based, in file order) before the methods run\n"
    "  --format    text (default) or json\n"
    "  --method    comma-separated, from parabola,tracing,chords,kvw,fourier,sliding (default all)\n"
    "  --range     times A:B (file's time scale): parabola, kvw and fourier use the points\n"
    "              strictly between them (default all points)\n"
    "  --chords    times A:B:C:D: left range between A and B, right range between C and D\n"
    "              (default the points before and after the deepest point)\n"
    "  --fold      tracing-paper fold time (default the time of the deepest point)\n"
    "  --stepp, --frac  Kwee and van Woerden settings, read like the window's boxes (1, .9)\n"
    "  --fourier-start  Fourier start values, Xo in the file's time scale\n"
    "  --ranges    all (default): the defaults above; auto: every method's range chosen from\n"
    "              the light curve as an observer would pick it (--range, --chords, --fold and\n"
    "              --fourier-start still win)\n"
    "  --table     also write every file's rows to this CSV file (file, row, method, hjd,\n"
    "              error, calibrated_error, refused)\n";

namespace {

enum class Format { Text, Json };

struct BatchOptions {
    std::vector<std::string> files;
    std::optional<std::string> table;
    bool inverted = false;
    std::vector<int> deletions;
    Format format = Format::Text;
    std::array<bool, kMethodRows> rows{true, true, true, true, true, true};
    std::optional<std::array<double, 2>> range;
    std::optional<std::array<double, 4>> chords;
    std::optional<double> fold;
    std::string stepp = kKvwDefaultStepp;
    std::string frac = kKvwDefaultFrac;
    std::optional<std::string> fourierStart;
    bool autoRanges = false;
    // --ranges auto: what was read off the light curve after loading and editing.
    std::optional<AutoRanges> chosen;
};

// ---- What one method row yields, and the table of rows -------------------------------------

// A method's row as the batch mode reports it: the row result a window would write into the
// main window, and the method's own numbers as the members of a JSON object.
struct BatchRow {
    RowResult result;
    std::string details;
    std::string ranges;  // --ranges auto: the chosen range's end times, for the text output
};

// Collects JSON members "key": value, comma-separated.
class Details {
public:
    Details& Add(const char* key, double v) { return Raw(key, JsonNumber(v)); }
    Details& Add(const char* key, int v) { return Raw(key, std::to_string(v)); }
    Details& Raw(const char* key, const std::string& json) {
        text_ += (text_.empty() ? "" : ", ") + JsonString(key) + ": " + json;
        return *this;
    }
    std::string str() const { return text_; }

private:
    std::string text_;
};

BatchRow Refused(const std::string& message) {
    BatchRow r;
    r.result.refuse(message);
    return r;
}

// --ranges auto: why a method has no range, or "" when it has one.
std::string AutoRefusal(const AutoRanges& a, const std::string& method) {
    return a.eclipse ? method : a.message;
}

// The chosen range's end times in the file's time scale, into the JSON details (under the
// given keys) and the text line that follows the method's.
void AddRangeTimes(BatchRow& row, const DataSet& ds, std::initializer_list<const char*> keys,
                   std::initializer_list<int> points) {
    Details d;
    auto key = keys.begin();
    for (const int i : points) {
        const double t = ds.DayOffset + ds.Time[i];
        d.Add(*key++, t);
        // append(), not "" + text: GCC 12 at -O3 sees a false overlap (-Wrestrict) there.
        row.ranges.append(row.ranges.empty() ? "" : " ").append(RowText(t));
    }
    row.details += (row.details.empty() ? "" : ", ") + d.str();
}

const char* const kRangeEmpty = "No working point lies in the range.";

// The working points strictly between two times of the file's time scale, as two right-clicks
// pick them; {1, PointCount} without --range; a zero index when a click finds no point.
std::array<int, 2> PickedRange(const AppState& app, const BatchOptions& o) {
    const DataSet& ds = app.data;
    if (!o.range) return {1, ds.PointCount};
    return {FirstPointAfter(ds, (*o.range)[0] - ds.DayOffset),
            LastPointBefore(ds, (*o.range)[1] - ds.DayOffset)};
}

// Go of rows 1, 3, 4 and 5 opens the method on the whole working set.
void OpenMethodRange(AppState& app) {
    app.RangeFirst = 1;
    app.RangeLast = app.data.PointCount;
}

BatchRow RunParabola(AppState& app, const BatchOptions& o) {
    OpenMethodRange(app);
    auto [first, last] = PickedRange(app, o);
    const bool chosen = o.chosen && !o.range;
    if (chosen) {
        if (const std::string why = AutoRefusal(*o.chosen, o.chosen->parabolaMessage); !why.empty())
            return Refused(why);
        first = o.chosen->parabolaFirst;
        last = o.chosen->parabolaLast;
    }
    if (first == 0 || last == 0) return Refused(kRangeEmpty);
    SetRangeEnds(app.parabola.Ends(), first, last);
    const ParabolaRowResult r = PressFitParabola(app.parabola, app.data);
    if (!r.ok()) return Refused(r.message);
    const ParabolaFit& f = r.fit;
    BatchRow row{r, Details().Add("a0", f.a0).Add("a1", f.a1).Add("a2", f.a2)
                         .Add("sigma_a1", f.sigmaA1).Add("sigma_a2", f.sigmaA2).Add("rms", f.rms)
                         .Add("start", first).Add("end", last).str(), ""};
    if (chosen) AddRangeTimes(row, app.data, {"range_first_time", "range_last_time"}, {first, last});
    return row;
}

BatchRow RunTracing(AppState& app, const BatchOptions& o) {
    DataSet& ds = app.data;
    ResetTraceMag(app.tracing, ds);
    if (o.fold) ds.GuessMinTime = *o.fold - ds.DayOffset;  // typed into the box, then Update
    if (o.chosen && !o.fold) {
        // Folded where the branches coincide best, as a person moves the fold until they do.
        if (!o.chosen->eclipse) return Refused(o.chosen->message);
        const FoldSymmetry fold = SymmetricFold(ds, o.chosen->centre);
        ds.GuessMinTime = fold.ok ? fold.centre : o.chosen->centre;
    }
    UpdateFoldPlotBounds(app.tracing, ds, ds.GuessMinTime);
    const TracingRowResult r = TraceResult(ds, ds.GuessMinTime);
    return {r, Details().Add("fold", r.fold).str(), ""};
}

BatchRow RunChords(AppState& app, const BatchOptions& o) {
    OpenMethodRange(app);
    const DataSet& ds = app.data;
    std::array<int, 4> idx{};
    const bool chosen = o.chosen && !o.chords;
    if (chosen) {
        const AutoRanges& a = *o.chosen;
        if (const std::string why = AutoRefusal(a, a.chordsMessage); !why.empty()) return Refused(why);
        idx = {a.leftFirst, a.leftLast, a.rightFirst, a.rightLast};
    } else if (o.chords) {
        const auto& c = *o.chords;
        idx = {FirstPointAfter(ds, c[0] - ds.DayOffset), LastPointBefore(ds, c[1] - ds.DayOffset),
               FirstPointAfter(ds, c[2] - ds.DayOffset), LastPointBefore(ds, c[3] - ds.DayOffset)};
    } else {
        const int deepest = ds.MagMaxIndex;
        if (deepest <= 1) return Refused("No working point lies before the deepest point.");
        if (deepest >= ds.PointCount) return Refused("No working point lies after the deepest point.");
        idx = {1, deepest - 1, deepest + 1, ds.PointCount};
    }
    SetChordsRanges(app.chords, idx[0], idx[1], idx[2], idx[3]);
    const ChordsRowResult r = PressBisectChords(app.chords, ds);
    if (r.outcome == MethodOutcome::NotRun) return Refused("The left range holds no working point.");
    if (!r.ok()) return Refused(r.message);
    const ChordsState& s = app.chords;
    BatchRow row{r, Details().Add("n", r.chords.n).Add("left_start", s.BisLeftStart)
                         .Add("left_end", s.BisLeftEnd).Add("right_start", s.BisRightStart)
                         .Add("right_end", s.BisRightEnd).str(), ""};
    if (chosen)
        AddRangeTimes(row, ds, {"range_left_first_time", "range_left_last_time",
                                "range_right_first_time", "range_right_last_time"},
                      {s.BisLeftStart, s.BisLeftEnd, s.BisRightStart, s.BisRightEnd});
    return row;
}

// --ranges auto for Kwee and van Woerden and Fourier: first to last contact.
bool ChooseContactRange(const BatchOptions& o, int& first, int& last, std::string& why) {
    if (!o.chosen || o.range) return false;
    why = AutoRefusal(*o.chosen, o.chosen->contactMessage);
    first = o.chosen->contactFirst;
    last = o.chosen->contactLast;
    return true;
}

BatchRow RunKvw(AppState& app, const BatchOptions& o) {
    OpenMethodRange(app);
    auto [first, last] = PickedRange(app, o);
    std::string why;
    const bool chosen = ChooseContactRange(o, first, last, why);
    if (!why.empty()) return Refused(why);
    if (first == 0 || last == 0) return Refused(kRangeEmpty);
    SetRangeEnds(app.kvw.Ends(), first, last);
    const KvwRowResult r = PressFitKwee(app.kvw, app.data, o.stepp, o.frac);
    if (!r.ok()) return Refused(r.message);
    const KvwResult& k = r.kvw;
    BatchRow row{r, Details().Add("n", k.n).Add("m", k.m).Add("grid_intervals", k.gridIntervals)
                         .Add("centre", k.centre).Add("s1", k.s1).Add("s2", k.s2).Add("s3", k.s3)
                         .Add("t1", k.t1).Add("t2", k.t2).Add("t3", k.t3).Add("stepp", k.stepp)
                         .Add("frac", k.frac).str(), ""};
    if (chosen) AddRangeTimes(row, app.data, {"range_first_time", "range_last_time"}, {first, last});
    return row;
}

BatchRow RunFourier(AppState& app, const BatchOptions& o) {
    OpenMethodRange(app);
    auto [first, last] = PickedRange(app, o);
    std::string why;
    const bool chosen = ChooseContactRange(o, first, last, why);
    if (!why.empty()) return Refused(why);
    if (chosen && !o.fourierStart) {
        // Start on the eclipse read off the curve, not on its faintest (noisiest) point.
        app.fourier.FourierParams[1] = o.chosen->centre;
        app.fourier.FourierParams[2] = o.chosen->level + o.chosen->depth;
    }
    if (first == 0 || last == 0) return Refused(kRangeEmpty);
    SetRangeEnds(app.fourier.Ends(), first, last);
    const FourierRowResult r = FitFourier(app.fourier, app.data);
    if (!r.ok()) return Refused(r.message);
    std::string params = "[";
    for (int i = 1; i <= kFourierParamCount; ++i)
        params += (i > 1 ? ", " : "") + JsonNumber(r.params[static_cast<std::size_t>(i)]);
    params += "]";
    BatchRow row{r, Details().Raw("params", params).Add("chi2", r.chiSquare)
                         .Add("iterations", r.iterations).Add("lambda", r.lambda).str(), ""};
    if (chosen) AddRangeTimes(row, app.data, {"range_first_time", "range_last_time"}, {first, last});
    return row;
}

BatchRow RunSliding(AppState& app, const BatchOptions& o) {
    // It picks its own points about the deepest one, of the eclipse chosen for every method.
    if (o.chosen && !o.chosen->eclipse) return Refused(o.chosen->message);
    const SlidingRowResult r =
        o.chosen ? SlidingGo(app.sliding, app.data, {o.chosen->stretchFirst, o.chosen->stretchLast},
                             app.RangeFirst, app.RangeLast)
                 : SlidingGo(app.sliding, app.data, app.RangeFirst, app.RangeLast);
    if (!r.ok()) return Refused(r.message);
    const SlidingResult& s = r.sliding;
    return {r, Details().Add("l", s.l).Add("m", s.m).Add("k", s.k).Add("h", s.h)
                    .Add("best", s.best).Add("range_first", s.rangeFirst)
                    .Add("range_last", s.rangeLast).str(), ""};
}

struct MethodRow {
    int row;
    const char* label;  // as the main window shows it
    const char* name;   // as --method takes it
    BatchRow (*run)(AppState&, const BatchOptions&);
};

constexpr std::array<MethodRow, kMethodRows> kRows{{
    {1, "1. Parabolic Fit", "parabola", RunParabola},
    {2, "2. Tracing Paper", "tracing", RunTracing},
    {3, "3. Bisectors of Chords", "chords", RunChords},
    {4, "4. Kwee and van Woerden", "kvw", RunKvw},
    {5, "5. Fourier Fit", "fourier", RunFourier},
    {6, "6. Sliding Integrations", "sliding", RunSliding},
}};

// ---- Options ------------------------------------------------------------------------------

std::optional<int> ParseIndex(const std::string& s) {
    int value = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseTime(const std::string& s) {
    double value = 0;
    const char* begin = s.data() + (s.size() > 1 && s[0] == '+' ? 1 : 0);
    const auto r = std::from_chars(begin, s.data() + s.size(), value);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::vector<std::string> Split(const std::string& list, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = list.find(separator, start);
        parts.push_back(list.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

std::optional<std::vector<int>> ParseIndexList(const std::string& list) {
    std::vector<int> result;
    for (const std::string& part : Split(list, ',')) {
        const auto index = ParseIndex(part);
        if (!index) return std::nullopt;
        result.push_back(*index);
    }
    return result;
}

template <std::size_t N>
std::optional<std::array<double, N>> ParseTimes(const std::string& text) {
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.size() != N) return std::nullopt;
    std::array<double, N> times{};
    for (std::size_t i = 0; i < N; ++i) {
        const auto t = ParseTime(parts[i]);
        if (!t) return std::nullopt;
        times[i] = *t;
    }
    return times;
}

std::optional<std::array<bool, kMethodRows>> ParseMethods(const std::string& list) {
    std::array<bool, kMethodRows> rows{};
    for (const std::string& name : Split(list, ',')) {
        bool known = false;
        for (const MethodRow& row : kRows)
            if (name == row.name) rows[static_cast<std::size_t>(row.row - 1)] = known = true;
        if (!known) return std::nullopt;
    }
    return rows;
}

// --fourier-start: the eight texts (already checked to be eight) as if typed into the boxes,
// Xo made relative to the day offset as the box shows it, followed by Update.
void ApplyFourierStartList(AppState& app, const std::string& list) {
    const std::vector<std::string> parts = Split(list, ',');
    FourierBoxTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = parts[i];
    texts[0] = NumText(LeadingNumber(texts[0]) - app.data.DayOffset);
    ApplyFourierBoxTexts(app.fourier, app.data, texts);
}

bool IsValueOption(const std::string& a) {
    for (const char* o : {"--delete", "--format", "--method", "--range", "--chords", "--fold",
                          "--stepp", "--frac", "--fourier-start", "--ranges", "--table"})
        if (a == o) return true;
    return false;
}

// Returns the options, or a complaint in `error`.
std::optional<BatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    BatchOptions o;
    if (args.size() < 2 || args[0] != "--batch" || args[1].rfind("--", 0) == 0) {
        error = "--batch needs a FILE";
        return std::nullopt;
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {  // not an option nor an option's value: a file
            o.files.push_back(a);
            continue;
        }
        if (a == "--inverted") {
            o.inverted = true;
            continue;
        }
        if (!IsValueOption(a)) {
            error = "unknown option \"" + a + "\"";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = a + " needs a value";
            return std::nullopt;
        }
        const std::string& v = args[++i];
        const auto complain = [&](const std::string& what) {
            error = a + " takes " + what + ", not \"" + v + "\"";
            return std::nullopt;
        };
        if (a == "--delete") {
            const auto list = ParseIndexList(v);
            if (!list) return complain("point numbers separated by commas");
            o.deletions.insert(o.deletions.end(), list->begin(), list->end());
        } else if (a == "--format") {
            if (v == "text")
                o.format = Format::Text;
            else if (v == "json")
                o.format = Format::Json;
            else
                return complain("text or json");
        } else if (a == "--method") {
            const auto rows = ParseMethods(v);
            if (!rows) return complain("names from parabola,tracing,chords,kvw,fourier,sliding");
            o.rows = *rows;
        } else if (a == "--range") {
            if (!(o.range = ParseTimes<2>(v))) return complain("two times A:B");
        } else if (a == "--chords") {
            if (!(o.chords = ParseTimes<4>(v))) return complain("four times A:B:C:D");
        } else if (a == "--fold") {
            if (!(o.fold = ParseTime(v))) return complain("a time");
        } else if (a == "--stepp") {
            o.stepp = v;
        } else if (a == "--frac") {
            o.frac = v;
        } else if (a == "--table") {
            o.table = v;
        } else if (a == "--ranges") {
            if (v != "all" && v != "auto") return complain("all or auto");
            o.autoRanges = v == "auto";
        } else {  // --fourier-start
            if (Split(v, ',').size() != kFourierParamCount)
                return complain("eight values Xo,C,W,A1,A2,A3,A4,A5");
            o.fourierStart = v;
        }
    }
    return o;
}

// ---- Output -------------------------------------------------------------------------------

std::string JsonOrNull(const std::string& text) { return text.empty() ? "null" : JsonString(text); }

void PrintSummaryText(const DataSet& ds, std::ostream& out) {
    out << "file: " << ds.DataFileName << "\n"
        << "read: " << ds.ReadCount << "\n"
        << "points: " << ds.PointCount << "\n"
        << "day_offset: " << JsonNumber(ds.DayOffset) << "\n"
        << "guess_min_time: " << JsonNumber(ds.GuessMinTime) << "\n"
        << "time_min: " << JsonNumber(ds.TimeMin) << "\n"
        << "time_max: " << JsonNumber(ds.TimeMax) << "\n"
        << "mag_min: " << JsonNumber(ds.MagMin) << "\n"
        << "mag_max: " << JsonNumber(ds.MagMax) << "\n"
        << "mag_min_index: " << ds.MagMinIndex << "\n"
        << "mag_max_index: " << ds.MagMaxIndex << "\n";
    if (const std::string warning = TimeOrderWarning(ds); !warning.empty())
        out << "warning: " << warning << "\n";
}

// The summary members of the JSON object, without braces.
void PrintSummaryJson(const DataSet& ds, std::ostream& out) {
    out << "\"file\": " << JsonString(ds.DataFileName)
        << ", \"read\": " << ds.ReadCount
        << ", \"points\": " << ds.PointCount
        << ", \"day_offset\": " << JsonNumber(ds.DayOffset)
        << ", \"guess_min_time\": " << JsonNumber(ds.GuessMinTime)
        << ", \"time_min\": " << JsonNumber(ds.TimeMin)
        << ", \"time_max\": " << JsonNumber(ds.TimeMax)
        << ", \"mag_min\": " << JsonNumber(ds.MagMin)
        << ", \"mag_max\": " << JsonNumber(ds.MagMax)
        << ", \"mag_min_index\": " << ds.MagMinIndex
        << ", \"mag_max_index\": " << ds.MagMaxIndex
        << ", \"warning\": " << JsonOrNull(TimeOrderWarning(ds));
}

// --ranges auto: every eclipse of the night, the one timed and why the others are not.
void PrintEclipses(const DataSet& ds, const AutoRanges& a, Format format, std::ostream& out) {
    const std::vector<Dip>& dips = a.night.dips;
    const auto why = [&](std::size_t d) -> std::string {
        if (static_cast<int>(d) == a.chosen) return "";
        if (!dips[d].covered) return dips[d].why;
        return "a deeper eclipse of the night is timed";
    };
    if (format == Format::Json) {
        out << ", \"eclipses\": [";
        for (std::size_t d = 0; d < dips.size(); ++d)
            out << (d ? ", " : "") << "{\"time\": " << JsonNumber(ds.DayOffset + dips[d].centre)
                << ", \"depth\": " << JsonNumber(dips[d].depth)
                << ", \"timed\": " << (static_cast<int>(d) == a.chosen ? "true" : "false")
                << ", \"not_timed\": " << JsonOrNull(why(d)) << "}";
        out << "]";
        return;
    }
    out << "eclipses: " << dips.size() << "\n";
    for (std::size_t d = 0; d < dips.size(); ++d) {
        out << "eclipse " << d + 1 << ": " << RowText(ds.DayOffset + dips[d].centre) << ", depth "
            << TrimLeft(FormatFixed(dips[d].depth, 8, 3)) << " mag: ";
        if (static_cast<int>(d) == a.chosen)
            out << "timed by every method (the deepest with both branches)\n";
        else
            out << "not timed: " << why(d) << "\n";
    }
}

struct RanRow {
    const MethodRow* row;
    BatchRow report;
};

void PrintRowsJson(const std::vector<RanRow>& ran, const MeansResult& means, std::ostream& out) {
    out << ", \"methods\": [";
    for (std::size_t i = 0; i < ran.size(); ++i)
        out << (i ? ", " : "")
            << BatchRowJson(ran[i].row->row, ran[i].row->name, ran[i].report.result,
                            ran[i].report.details);
    out << "], \"means\": {\"simple\": " << JsonOrNull(means.computed ? means.simple : "")
        << ", \"weighted\": " << JsonOrNull(means.computed ? means.weighted : "")
        << ", \"std_error\": " << JsonOrNull(means.computed ? means.stdError : "")
        << ", \"std_dev\": " << JsonOrNull(means.computed ? means.stdDev : "")
        << ", \"warning\": " << JsonOrNull(means.warning) << "}";
}

void PrintRowsText(const std::vector<RanRow>& ran, const MeansResult& means, std::ostream& out) {
    for (const RanRow& r : ran) {
        out << BatchRowText(r.row->label, r.report.result) << "\n";
        if (!r.report.ranges.empty()) out << "  range: " << r.report.ranges << "\n";
    }
    const auto box = [&](const std::string& text) { return means.computed ? text : ""; };
    out << "simple_mean: " << box(means.simple) << "\n"
        << "weighted_mean: " << box(means.weighted) << "\n"
        << "std_error: " << box(means.stdError) << "\n"
        << "std_dev: " << box(means.stdDev) << "\n";
    if (!means.warning.empty()) out << "means_warning: " << means.warning << "\n";
}

}  // namespace

std::string BatchRowText(const std::string& label, const RowResult& r) {
    if (!r.ok()) return label + ": refused: " + r.message;
    std::string line = label + ": " + r.timeText + " +/- " + r.errorText;
    if (r.hasCalibrated) line += " (calibrated " + r.calibratedText + ")";
    // On the same line, so that each method stays one line for scripts that read them.
    if (!r.warning.empty()) line += "  warning: " + r.warning;
    return line;
}

std::string BatchRowJson(int row, const std::string& name, const RowResult& r,
                         const std::string& details) {
    std::string json = "{\"row\": " + std::to_string(row) + ", \"method\": " + JsonString(name);
    if (!r.ok()) return json + ", \"refused\": " + JsonString(r.message) + "}";
    json += ", \"time\": " + JsonString(r.timeText) + ", \"error\": " + JsonString(r.errorText) +
            ", \"time_value\": " + JsonNumber(r.time) + ", \"error_value\": " + JsonNumber(r.error);
    json += ", \"error_calibrated\": " + (r.hasCalibrated ? JsonString(r.calibratedText) : "null") +
            ", \"error_calibrated_value\": " +
            (r.hasCalibrated ? JsonNumber(r.calibratedError) : "null");
    json += ", \"warning\": " + JsonOrNull(r.warning);
    return json + ", \"details\": {" + details + "}}";
}

const char* const kProgramUsage =
    "usage: ectimer [FILE]          the main window, with FILE loaded as File > Open would\n"
    "       ectimer --batch FILE... [options]   no window: times each light curve\n"
    "       ectimer --oc TABLE --ephemeris T0,P [options]   O-C of a minima table\n"
    "       ectimer --help | --version\n";

namespace {

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h" || a == "-?"; }

// An option ectimer does not know, where the window would otherwise open: the toolkit's own
// options (-platform, -style ...) are not such.
bool IsUnknownOption(const std::string& a) {
    return a.rfind("--", 0) == 0 && a != "--batch" && a != "--oc" && a != "--version" &&
           !IsHelp(a) && !toolkit::IsToolkitOption(a);
}

}  // namespace

bool IsBatchRequest(const std::vector<std::string>& args) {
    if (args.empty()) return false;
    if (args[0] == "--batch" || IsHelp(args[0]) || args[0] == "--version") return true;
    if (std::any_of(args.begin(), args.end(), IsUnknownOption) && args[0] != "--oc") return true;
    // O-C without a plot needs no windows; drawing the plot does (RunOcCommand there).
    return args[0] == "--oc" && std::find(args.begin(), args.end(), "--plot") == args.end();
}

const char* const kOcUsage =
    "usage: ectimer --oc TABLE --ephemeris T0,P [--method NAME|mean] [--secondary] [--quadratic]\n"
    "                          [--plot oc.png|oc.pdf|oc.svg]\n"
    "  TABLE        a minima table (ectimer --batch ... --table, or the window's minima log)\n"
    "  --ephemeris  the trial ephemeris: epoch T0 (HJD) and period P (days)\n"
    "  --method     the rows to use: parabola,tracing,chords,kvw,fourier,sliding, or mean (the\n"
    "               weighted means; default)\n"
    "  --secondary  cycle numbers to the nearest half, so that secondary minima fall on E + 0.5\n"
    "  --quadratic  also fit a quadratic ephemeris and give dP/dE\n"
    "  --plot       also draw the O-C diagram with the fits into this image file\n";

namespace {

std::string Scientific(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 3);
    return std::string(buffer, r.ptr);
}

}  // namespace

int RunOcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 OcOutcome& outcome) {
    const auto bad = [&](const std::string& complaint) {
        err << "ectimer: " << complaint << "\n" << kOcUsage;
        return kBatchFailed;
    };
    if (args.size() < 2 || args[1].rfind("--", 0) == 0) return bad("--oc needs a TABLE");
    std::optional<std::array<double, 2>> ephemeris;
    std::string method = "mean";
    bool secondary = false, quadratic = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--secondary") {
            secondary = true;
        } else if (a == "--quadratic") {
            quadratic = true;
        } else if (a == "--plot" && i + 1 < args.size()) {
            outcome.plotPath = args[++i];
        } else if ((a == "--ephemeris" || a == "--method") && i + 1 < args.size()) {
            const std::string& v = args[++i];
            if (a == "--method") {
                method = v;
                if (method != "mean" && !ParseMethods(method)) return bad("--method takes one method name or mean, not \"" + v + "\"");
                continue;
            }
            const std::vector<std::string> parts = Split(v, ',');
            const auto t0 = parts.size() == 2 ? ParseTime(parts[0]) : std::nullopt;
            const auto p = parts.size() == 2 ? ParseTime(parts[1]) : std::nullopt;
            if (!t0 || !p || !(*p > 0)) return bad("--ephemeris takes T0,P with P > 0, not \"" + v + "\"");
            ephemeris = std::array<double, 2>{*t0, *p};
        } else {
            return bad("unknown option or missing value \"" + a + "\"");
        }
    }
    if (!ephemeris) return bad("--oc needs --ephemeris T0,P");
    if (method.find(',') != std::string::npos) return bad("--method takes one method name or mean");

    std::ifstream in(args[1], std::ios::binary);
    if (!in) return bad("cannot read the table \"" + args[1] + "\"");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Minimum> minima;
    if (const std::string message = ReadMinima(text, method, minima); !message.empty()) {
        err << "ectimer: \"" << args[1] << "\", " << message << "\n";
        return kBatchFailed;
    }
    const auto [t0, p] = *ephemeris;
    outcome.t0 = t0;
    outcome.p = p;
    outcome.rows = ComputeOc(minima, t0, p, secondary);
    const std::vector<OcRow>& rows = outcome.rows;
    out << "minima: " << rows.size() << " (" << (method == "mean" ? "weighted means" : method) << ")\n"
        << "file,method,E,hjd,o_c_days,o_c_minutes,error\n";
    for (const OcRow& r : rows)
        out << CsvField(r.minimum.file) << "," << r.minimum.method << "," << FileDecimals(r.cycle, 1) << ","
            << FileDecimals(r.minimum.hjd) << "," << FileDecimals(r.oc) << ","
            << FileDecimals(r.oc * 1440, 4) << "," << FileError(r.minimum.error) << "\n";
    for (const int terms : {2, 3}) {
        if (terms == 3 && !quadratic) break;
        const Ephemeris e = FitEphemeris(rows, t0, p, terms);
        (terms == 2 ? outcome.linear : outcome.quadratic) = e;
        out << (terms == 2 ? "linear: " : "quadratic: ");
        if (!e.ok) {
            out << "refused: " << e.message << "\n";
            continue;
        }
        out << "T0 = " << FileDecimals(e.t0) << " +/- " << FileError(e.t0Error)
            << ", P = " << FileDecimals(e.p, 9) << " +/- " << FileError(e.pError, 9);
        if (terms == 3) out << ", dP/dE = " << Scientific(e.dPdE()) << " +/- " << Scientific(e.dPdEError());
        out << ", chi2/dof = " << FileDecimals(e.chi2PerDof, 2) << "\n";
    }
    return kBatchOk;
}

namespace {

// What one file yields: its output and complaints as one run would print them, its rows of
// the table, and the exit status it alone would give.
struct FileRun {
    std::string out, err;
    std::string table;
    int status = kBatchOk;
};

const auto TableLine = MinimaTableLine;

FileRun RunFile(BatchOptions options, const std::string& file) {
    FileRun run;
    // Name the file the way the open dialog does: its folder and its name.
    auto app = std::make_unique<AppState>();
    const std::filesystem::path path(file);
    const std::string dir = path.has_parent_path() ? path.parent_path().string() : ".";
    if (const std::string message = OpenLightCurve(*app, dir, path.filename().string());
        !message.empty()) {
        run.err = message + "\n";
        run.table = TableLine(file, "", "", "", "", "", message);
        run.status = kBatchRefused;
        return run;
    }
    DataSet& ds = app->data;

    if (options.inverted) ChangeMagSign(*app, 1);
    for (const int i : options.deletions) {
        if (!SetDeleted(ds, i, true)) {
            const std::string message = "--delete " + std::to_string(i) + ": the file has points 1 to " +
                                        std::to_string(ds.ReadCount);
            run.err = "ectimer: " + message + "\n";
            run.table = TableLine(file, "", "", "", "", "", message);
            run.status = kBatchFailed;
            return run;
        }
    }
    if (options.fourierStart) {
        ApplyFourierStartList(*app, *options.fourierStart);
    }
    if (options.autoRanges) options.chosen = ChooseRanges(ds);

    // The summary describes the data as loaded and edited, before any method moves the fold.
    std::ostringstream summary;
    if (options.format == Format::Json)
        PrintSummaryJson(ds, summary);
    else
        PrintSummaryText(ds, summary);
    if (options.chosen) PrintEclipses(ds, *options.chosen, options.format, summary);

    std::vector<RanRow> ran;
    std::array<MeanRow, kMethodRows> meanRows{};
    for (const MethodRow& row : kRows) {
        const std::size_t k = static_cast<std::size_t>(row.row - 1);
        if (!options.rows[k]) continue;
        ran.push_back({&row, row.run(*app, options)});
        const RowResult& r = ran.back().report.result;
        meanRows[k] = {r.ok(), r.timeText, r.errorText, r.time, r.error,
                       r.hasCalibrated ? std::optional(r.calibratedError) : std::nullopt};
        run.table += r.ok() ? TableLine(file, std::to_string(row.row), row.name, FileDecimals(r.time),
                                        FileError(r.error),
                                        r.hasCalibrated ? FileError(r.calibratedError) : "", "")
                            : TableLine(file, std::to_string(row.row), row.name, "", "", "",
                                        r.message);
    }
    const MeansResult means = CalcMeans(meanRows);
    if (means.computed)
        run.table += TableLine(file, "mean", "weighted_mean", FileDecimals(means.weightedValue),
                               FileError(means.stdErrorValue), "", "");

    std::ostringstream out;
    if (options.format == Format::Json) {
        out << "{" << summary.str();
        PrintRowsJson(ran, means, out);
        out << "}\n";
    } else {
        out << summary.str();
        PrintRowsText(ran, means, out);
    }
    run.out = out.str();
    return run;
}

// The files shared out to one worker per core; each result lands in its file's place.
std::vector<FileRun> RunFiles(const BatchOptions& options, std::ostream& err) {
    const std::size_t count = options.files.size();
    std::vector<FileRun> runs(count);
    if (count == 1) {
        runs[0] = RunFile(options, options.files[0]);
        return runs;
    }
    std::atomic<std::size_t> next{0};
    std::size_t done = 0;  // guarded by lock
    std::mutex lock;
    std::condition_variable finished;
    const auto work = [&] {
        for (std::size_t i; (i = next++) < count;) {
            runs[i] = RunFile(options, options.files[i]);
            const std::lock_guard<std::mutex> guard(lock);
            ++done;
            finished.notify_one();
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < std::min<std::size_t>(cores, count); ++w) workers.emplace_back(work);
    // A run that takes more than about a second says how far it has got.
    const auto start = std::chrono::steady_clock::now();
    bool shown = false;
    {
        std::unique_lock<std::mutex> guard(lock);
        for (std::size_t seen = 0; done < count;) {
            finished.wait_for(guard, std::chrono::milliseconds(200), [&] { return done != seen; });
            if (done != seen && std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) {
                err << "\rectimer: " << done << " of " << count << " files" << std::flush;
                shown = true;
            }
            seen = done;
        }
    }
    for (std::thread& w : workers) w.join();
    if (shown) err << "\n";
    return runs;
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && IsHelp(args[0])) {
        out << kProgramUsage << "\n" << kBatchUsage << "\n" << kOcUsage;
        return kBatchOk;
    }
    if (!args.empty() && args[0] == "--version") {
        out << "ectimer " << kVersion << "\n";
        return kBatchOk;
    }
    if (!args.empty() && args[0] != "--batch" && args[0] != "--oc") {
        const auto unknown = std::find_if(args.begin(), args.end(), IsUnknownOption);
        err << "ectimer: unknown option \"" << (unknown != args.end() ? *unknown : args[0])
            << "\"\n" << kProgramUsage;
        return kBatchFailed;
    }
    if (!args.empty() && args[0] == "--oc") {
        OcOutcome outcome;
        return RunOcCommand(args, out, err, outcome);
    }
    std::string error;
    const auto options = ParseOptions(args, error);
    if (!options) {
        err << "ectimer: " << error << "\n" << kBatchUsage;
        return kBatchFailed;
    }
    const std::vector<FileRun> runs = RunFiles(*options, err);
    int status = kBatchOk;
    std::string table = MinimaTableHeader();
    for (std::size_t i = 0; i < runs.size(); ++i) {
        // Text blocks of several files are set apart by an empty line; JSON is one object
        // per line.
        if (i > 0 && options->format == Format::Text && !runs[i].out.empty()) out << "\n";
        out << runs[i].out;
        err << runs[i].err;
        table += runs[i].table;
        status = std::max(status, runs[i].status);
    }
    if (options->table) {
        if (const std::string message = atomicfile::WriteFile(*options->table, table); !message.empty()) {
            err << "ectimer: " << message << "\n";
            return kBatchFailed;
        }
    }
    return status;
}

}  // namespace umbrix
