// A 27-day TESS sector, written as a FITS light curve at 2-minute and at 20-second cadence
// (18,700 and 112,000 points), read and every covered eclipse timed with all six methods:
// the whole of `ectimer --eclipses SECTOR.fits` in one thread of work per core.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "tests/timing/support/fits_writer.h"
#include "tests/timing/support/long_curve_maker.h"
#include "timing/cli/batch.h"

namespace {

std::string SectorFile(double cadenceSeconds) {
    umbrix::testing_support::Sector s;
    s.cadence = cadenceSeconds / 86400;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("umbrix_sector_" + std::to_string(static_cast<int>(cadenceSeconds)) + "s.fits"))
                                 .string();
    umbrix::testing_support::WriteSectorFits(path, umbrix::testing_support::MakeSector(s));
    return path;
}

void Sector(benchmark::State& state, double cadenceSeconds) {
    const std::string file = SectorFile(cadenceSeconds);
    for (auto _ : state) {
        std::ostringstream out, err;
        if (umbrix::RunBatch({"--eclipses", file, "--format", "json"}, out, err) != umbrix::kBatchOk)
            state.SkipWithError("--eclipses failed");
        benchmark::DoNotOptimize(out.str().size());
    }
    std::filesystem::remove(file);
}

BENCHMARK_CAPTURE(Sector, two_minute_cadence, 120.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sector, twenty_second_cadence, 20.0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
