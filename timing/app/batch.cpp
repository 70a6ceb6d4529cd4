#include "timing/app/batch.h"

#include <charconv>
#include <filesystem>
#include <memory>
#include <optional>

#include "timing/app/app_state.h"
#include "timing/app/json.h"
#include "timing/data/data_set.h"
#include "timing/data/reader.h"

namespace umbrix {

const char* const kBatchUsage =
    "usage: ectimer --batch FILE [--inverted] [--delete I,J,...] [--format text|json]\n"
    "  FILE        light curve: comma-separated HJD, magnitude (at most 1000 points)\n"
    "  --inverted  use \"-Mags (inverted)\" (for flux, which falls in eclipse)\n"
    "  --delete    delete these points (1-based, in file order) before the summary\n"
    "  --format    text (default) or json\n";

namespace {

enum class Format { Text, Json };

struct BatchOptions {
    std::string file;
    bool inverted = false;
    std::vector<int> deletions;
    Format format = Format::Text;
};

std::optional<int> ParseIndex(const std::string& s) {
    int value = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<std::vector<int>> ParseIndexList(const std::string& list) {
    std::vector<int> result;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const auto index = ParseIndex(list.substr(start, comma - start));
        if (!index) return std::nullopt;
        result.push_back(*index);
        if (comma == std::string::npos) return result;
        start = comma + 1;
    }
}

// Returns the options, or a complaint in `error`.
std::optional<BatchOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    BatchOptions o;
    if (args.size() < 2 || args[0] != "--batch" || args[1].rfind("--", 0) == 0) {
        error = "--batch needs a FILE";
        return std::nullopt;
    }
    o.file = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--inverted") {
            o.inverted = true;
        } else if (a == "--delete" && hasValue) {
            const auto list = ParseIndexList(args[++i]);
            if (!list) {
                error = "--delete takes point numbers separated by commas, not \"" + args[i] + "\"";
                return std::nullopt;
            }
            o.deletions.insert(o.deletions.end(), list->begin(), list->end());
        } else if (a == "--format" && hasValue) {
            const std::string& f = args[++i];
            if (f == "text") {
                o.format = Format::Text;
            } else if (f == "json") {
                o.format = Format::Json;
            } else {
                error = "--format is text or json, not \"" + f + "\"";
                return std::nullopt;
            }
        } else {
            error = (a == "--delete" || a == "--format") ? a + " needs a value"
                                                         : "unknown option \"" + a + "\"";
            return std::nullopt;
        }
    }
    return o;
}

void PrintText(const DataSet& ds, std::ostream& out) {
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
}

void PrintJson(const DataSet& ds, std::ostream& out) {
    out << "{\"file\": " << JsonString(ds.DataFileName)
        << ", \"read\": " << ds.ReadCount
        << ", \"points\": " << ds.PointCount
        << ", \"day_offset\": " << JsonNumber(ds.DayOffset)
        << ", \"guess_min_time\": " << JsonNumber(ds.GuessMinTime)
        << ", \"time_min\": " << JsonNumber(ds.TimeMin)
        << ", \"time_max\": " << JsonNumber(ds.TimeMax)
        << ", \"mag_min\": " << JsonNumber(ds.MagMin)
        << ", \"mag_max\": " << JsonNumber(ds.MagMax)
        << ", \"mag_min_index\": " << ds.MagMinIndex
        << ", \"mag_max_index\": " << ds.MagMaxIndex << "}\n";
}

}  // namespace

bool IsBatchRequest(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "--batch";
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto options = ParseOptions(args, error);
    if (!options) {
        err << "ectimer: " << error << "\n" << kBatchUsage;
        return kBatchFailed;
    }

    // Name the file the way the open dialog does: its folder and its name.
    auto app = std::make_unique<AppState>();
    const std::filesystem::path path(options->file);
    const std::string dir = path.has_parent_path() ? path.parent_path().string() : ".";
    if (const std::string message = OpenLightCurve(*app, dir, path.filename().string());
        !message.empty()) {
        err << message << "\n";
        return kBatchFailed;
    }
    DataSet* ds = &app->data;

    if (options->inverted) SetMagSign(*ds, 1);
    for (const int i : options->deletions) {
        if (!SetDeleted(*ds, i, true)) {
            err << "ectimer: --delete " << i << ": the file has points 1 to " << ds->ReadCount
                << "\n";
            return kBatchFailed;
        }
    }

    if (options->format == Format::Json)
        PrintJson(*ds, out);
    else
        PrintText(*ds, out);
    return kBatchOk;
}

}  // namespace umbrix
