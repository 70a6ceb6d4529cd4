// The converter's log-line reader, alone and inside a whole conversion run held in memory.
// A line is either refused with a reason or taken apart into fields in their ranges; the
// rewritten line carries the final name and the rest of the line unchanged; a run converts,
// refuses or leaves out every line, keeps the original log whole as its backup, and writes an
// umbrix25.txt that ectimer's reader accepts with one point per converted record.

#include <cmath>

#include "converter/core/conversion_run.h"
#include "converter/core/julian.h"
#include "converter/core/log_record.h"
#include "fuzz/check.h"
#include "fuzz/memory_files.h"
#include "timing/core/data/reader.h"

namespace {

const char* const kAliases = "RZCAS                   CASRZ\nABC                     DEFV0123\n";
const char* const kCatalogue =
    "CASRZ                Var EA                    02 48 55  +69 38  comment\n"
    "CASV0455             Var EA                    23 58 01  +60 12  comment\n"
    "SGRV4                Var EA                    18 45 00  -00 30  comment\n";

void CheckLine(std::string_view line, const hjdprep::AliasList& aliases) {
    const hjdprep::LogRecord r = hjdprep::ParseLogLine(line, aliases);
    if (!r.ok) {
        FUZZ_CHECK(!r.why.empty());
        return;
    }
    FUZZ_CHECK(r.name.size() == hjdprep::kNameWidth);
    const std::size_t b = line.find(' ');
    const std::size_t nameEnd = r.name.find(' ');
    FUZZ_CHECK(nameEnd != std::string::npos && nameEnd > 0);
    FUZZ_CHECK(r.rewritten == r.name.substr(0, nameEnd) + std::string(line.substr(b)));
    FUZZ_CHECK(r.time.ObsYear >= 0 && r.time.ObsYear <= 9999);
    for (double v : {r.time.ObsMonth, r.time.ObsDay, r.time.ObsHour, r.time.ObsMinute, r.time.ObsSecond})
        FUZZ_CHECK(v >= 0 && v <= 99);
    FUZZ_CHECK(std::isfinite(r.magnitude));
    FUZZ_CHECK(r.code.size() <= 3);
    FUZZ_CHECK(r.band.find(' ') == std::string::npos);
    const double hjd = hjdprep::jd_hosei(hjdprep::jd_sub(r.time, hjdprep::TimeZone::JST), hjdprep::StarCoordinates{});
    FUZZ_CHECK(std::isfinite(hjd));
    const hjdprep::RecordTexts texts = hjdprep::FormatRecord(r, hjd);
    FUZZ_CHECK(hjdprep::CsvLine(r, texts).find('\n') == std::string::npos);
    FUZZ_CHECK(hjdprep::FixedColumnsLine(r, texts).find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const hjdprep::AliasList aliases = hjdprep::ParseAliasList(kAliases);
    const std::string log(fuzz::AsText(data, size));

    std::size_t start = 0, lines = 0;
    while (start < log.size()) {
        std::size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        std::string_view line(log.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        CheckLine(line, aliases);
        ++lines;
        start = end + 1;
    }

    fuzz::MemoryFiles files;
    files.files["w/obs.std"] = log;
    files.files["w/star.dat"] = kCatalogue;
    hjdprep::RunSettings settings;
    settings.StdFileName = "obs.std";
    settings.directory = "w";
    settings.aliases = aliases;
    settings.autoSearch = !log.empty() && log[0] == '*';  // let the fuzzer try both
    const hjdprep::RunResult run = hjdprep::RunConversion(settings, files);
    FUZZ_CHECK(files.NothingStaged());
    FUZZ_CHECK(run.ok);
    FUZZ_CHECK(run.lines == lines);
    FUZZ_CHECK(run.converted + run.notFound + run.refused <= run.lines);
    FUZZ_CHECK(files.files.at("w/obs_old.std") == log);
    const std::string& umbrix = files.files.at("w/umbrix25.txt");
    std::size_t points = 0;
    for (char c : umbrix) points += c == '\n';
    FUZZ_CHECK(points == run.converted);
    if (run.converted >= 2 && run.converted <= static_cast<std::size_t>(umbrix::kMaxPoints)) {
        const umbrix::ParsedLightCurve curve = umbrix::ParseLightCurve(umbrix, "umbrix25.txt");
        FUZZ_CHECK(curve.ok);
        FUZZ_CHECK(curve.hjd.size() == run.converted);
    }
    return 0;
}
