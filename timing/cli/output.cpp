#include "timing/cli/output.h"

#include <cstring>
#include <utility>

#include "timing/cli/batch.h"
#include "timing/core/data/json.h"

namespace umbrix {

namespace {

std::string JsonOrNull(const std::string& text) { return text.empty() ? "null" : JsonString(text); }

}  // namespace

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
    if (const std::string warning = CommandLineWording(TimeOrderWarning(ds)); !warning.empty())
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
        << ", \"warning\": " << JsonOrNull(CommandLineWording(TimeOrderWarning(ds)));
}

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

void PrintRowsJson(const std::vector<RanRow>& ran, const MeansResult& means, std::ostream& out) {
    out << ", \"methods\": [";
    for (std::size_t i = 0; i < ran.size(); ++i)
        out << (i ? ", " : "")
            << BatchRowJson(ran[i].method->row, ran[i].method->name, ran[i].report.result,
                            ran[i].report.details);
    out << "], \"means\": {\"simple\": " << JsonOrNull(means.computed ? means.simple : "")
        << ", \"weighted\": " << JsonOrNull(means.computed ? means.weighted : "")
        << ", \"std_error\": " << JsonOrNull(means.computed ? means.stdError : "")
        << ", \"std_dev\": " << JsonOrNull(means.computed ? means.stdDev : "")
        << ", \"warning\": " << JsonOrNull(means.warning) << "}";
}

void PrintRowsText(const std::vector<RanRow>& ran, const MeansResult& means, std::ostream& out) {
    for (const RanRow& r : ran) {
        out << BatchRowText(r.method->label, r.report.result) << "\n";
        if (!r.report.ranges.empty()) out << "  range: " << r.report.ranges << "\n";
    }
    const auto box = [&](const std::string& text) { return means.computed ? text : ""; };
    out << "simple_mean: " << box(means.simple) << "\n"
        << "weighted_mean: " << box(means.weighted) << "\n"
        << "std_error: " << box(means.stdError) << "\n"
        << "std_dev: " << box(means.stdDev) << "\n";
    if (!means.warning.empty()) out << "means_warning: " << means.warning << "\n";
}

std::string CommandLineWording(std::string message) {
    // Longest first: the phrases that hold shorter ones are replaced whole.
    static const std::pair<const char*, const char*> kPhrases[] = {
        {"Pick a wider range around the eclipse, or type start values nearer it (the time of "
         "minimum, its magnitude and the width W) and click 'Update'.",
         "Give a wider --range around the eclipse, or start values nearer it in --fourier-start "
         "(the time of minimum, its magnitude and the width W)."},
        {"pick a range around the minimum, or type a time of minimum near it into the first box "
         "and click 'Update'",
         "give a --range around the minimum, or a time of minimum near it as the first value of "
         "--fourier-start"},
        {"type start values nearer the eclipse (the time of minimum, its magnitude and the width "
         "W) and click 'Update'",
         "give start values nearer the eclipse in --fourier-start (the time of minimum, its "
         "magnitude and the width W)"},
        {"type it into its box and click 'Update'", "give it as a number in --fourier-start"},
        {"delete points far from the eclipse and press Go again.",
         "delete points far from the eclipse (--delete) and run it again."},
        {"delete them in Plot/Edit Data, or correct the file.", "delete them (--delete), or correct the file."},
        {"delete one of them (Plot/Edit Data)", "delete one of them (--delete)"},
        {"select range again", "give another --range"},
        {"Select range first", "Give a --range first"},
        {"Pick a wider range.", "Give a wider --range."},
        {"pick a range that holds", "give a --range that holds"},
        {"Pick a range around", "Give a --range around"},
    };
    for (const auto& [window, commandLine] : kPhrases)
        for (std::size_t at = message.find(window); at != std::string::npos;
             at = message.find(window, at + std::strlen(commandLine)))
            message.replace(at, std::strlen(window), commandLine);
    return message;
}

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

}  // namespace umbrix
