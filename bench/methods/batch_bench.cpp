// The whole batch run on a 1000-point light curve file: load, the six methods, the means and
// the JSON output, as `ectimer --batch FILE --format json` does it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "bench/methods/bench_curve.h"
#include "timing/cli/batch.h"

namespace {

void WholeRun(benchmark::State& state, std::vector<std::string> extra) {
    const std::string file = umbrix::bench::BenchFile(
        (std::filesystem::temp_directory_path() / "umbrix_batch_bench.csv").string());
    std::vector<std::string> args{"--batch", file, "--format", "json"};
    args.insert(args.end(), extra.begin(), extra.end());
    for (auto _ : state) {
        std::ostringstream out, err;
        if (umbrix::RunBatch(args, out, err) != umbrix::kBatchOk) state.SkipWithError("batch failed");
        benchmark::DoNotOptimize(out.str().size());
    }
}

// Defaults: every method on the whole curve (Kwee and van Woerden then refuses the 1000-point
// range, and sliding integrations the 1000-point grid).
BENCHMARK_CAPTURE(WholeRun, defaults, std::vector<std::string>{});
// A range of 0.1 day about the minimum (500 points), and the last two points deleted so that
// sliding integrations (always on the whole curve) fits its grid: every method gives a row.
BENCHMARK_CAPTURE(WholeRun, every_row_succeeds,
                  std::vector<std::string>{"--range", "2454123.46234:2454123.56234", "--delete",
                                           "999,1000"});

}  // namespace

BENCHMARK_MAIN();
