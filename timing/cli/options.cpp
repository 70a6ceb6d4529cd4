#include "timing/cli/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "timing/cli/batch.h"
#include "timing/core/methods/fourier.h"
#include "timing/core/methods/method_table.h"

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

std::optional<int> ParseIndex(const std::string& s) {
    int value = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return value;
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

const std::vector<std::string> kValueOptions = {"--delete", "--stepp", "--format", "--method",
                                                "--range", "--chords", "--fold", "--frac",
                                                "--fourier-start", "--ranges", "--table"};

}  // namespace

std::optional<double> ParseTime(const std::string& s) {
    double value = 0;
    const char* begin = s.data() + (s.size() > 1 && s[0] == '+' ? 1 : 0);
    const auto r = std::from_chars(begin, s.data() + s.size(), value);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

const std::string* TakeValue(const std::vector<std::string>& args, std::size_t& i,
                             const std::vector<std::string>& valued, std::string& error) {
    const std::string& a = args[i];
    if (std::find(valued.begin(), valued.end(), a) == valued.end()) {
        error = "unknown option \"" + a + "\"";
        return nullptr;
    }
    if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return nullptr;
    }
    return &args[++i];
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

std::optional<std::array<bool, kMethodRows>> ParseMethods(const std::string& list) {
    std::array<bool, kMethodRows> rows{};
    for (const std::string& name : Split(list, ',')) {
        const MethodEntry* method = MethodNamed(name);
        if (method == nullptr) return std::nullopt;
        rows[static_cast<std::size_t>(method->row - 1)] = true;
    }
    return rows;
}

// --fourier-start: the eight texts (already checked to be eight) as if typed into the boxes,

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
        const std::string* value = TakeValue(args, i, kValueOptions, error);
        if (value == nullptr) return std::nullopt;
        const std::string& v = *value;
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

}  // namespace umbrix
