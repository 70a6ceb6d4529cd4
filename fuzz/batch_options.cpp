// ectimer's command-line (batch) options on a small light curve. Every argument list ends
// in status 0 with output and no complaint, status 1 (file refused) with a complaint, or
// status 2 with a complaint and no output; JSON output is valid JSON in valid UTF-8.
//
// The input is the argument list after "--batch FILE", one argument per line.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "fuzz/check.h"
#include "fuzz/json_check.h"
#include "timing/cli/batch.h"

namespace {

struct LightCurveFile {
    std::filesystem::path dir, path;
    LightCurveFile() {
        dir = std::filesystem::temp_directory_path() / ("fuzz_batch_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        path = dir / "night.csv";
        std::ofstream out(path);
        // A small eclipse: every method has something to time, and few points keep a run
        // of all six methods short enough for a million runs.
        for (int i = 0; i < 9; ++i) {
            const double t = 2454123.40 + 0.004 * i;
            const double d = (i - 4.5) / 2.5;
            out << t << "," << 12.0 + 0.8 / (1 + d * d) << "\n";
        }
    }
    ~LightCurveFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LightCurveFile file;
    std::vector<std::string> args{"--batch", file.path.string()};
    const std::string_view text = fuzz::AsText(data, size);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        args.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    // The options only, for the one light curve: a bare word where an option belongs would be
    // a further light curve, and each missing one costs a refused run in its own thread (about
    // 50 ms), too slow for a million runs. --table writes wherever it is told: always into the
    // scratch folder here.
    std::vector<std::string> kept(args.begin(), args.begin() + 2);
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0) continue;
        kept.push_back(args[i]);
        if (args[i] == "--inverted" || i + 1 >= args.size()) continue;
        kept.push_back(args[i] == "--table" ? (file.dir / "table.csv").string() : args[i + 1]);
        ++i;
    }
    args = std::move(kept);
    // Which format a successful run used: every option but --inverted takes the next
    // argument as its value, and the last --format counts.
    bool json = false;
    for (std::size_t i = 2; i + 1 < args.size(); ++i) {
        if (args[i] == "--inverted") continue;
        if (args[i] == "--format") json = args[i + 1] == "json";
        ++i;
    }

    std::ostringstream out, err;
    const int status = umbrix::RunBatch(args, out, err);
    FUZZ_CHECK(status == umbrix::kBatchOk || status == umbrix::kBatchRefused || status == umbrix::kBatchFailed);
    if (status == umbrix::kBatchFailed) {
        FUZZ_CHECK(out.str().empty());
        FUZZ_CHECK(!err.str().empty());
        return 0;
    }
    if (status == umbrix::kBatchRefused) {  // the one file was refused: said so, nothing timed
        FUZZ_CHECK(!err.str().empty());
        return 0;
    }
    FUZZ_CHECK(err.str().empty());
    FUZZ_CHECK(!out.str().empty());
    FUZZ_CHECK(fuzz::IsUtf8(out.str()));
    if (json) FUZZ_CHECK(fuzz::IsJsonDocument(out.str()));
    return 0;
}
