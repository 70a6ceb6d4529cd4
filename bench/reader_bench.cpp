// Loading a 1000-point light curve from disk, the largest file the reader accepts.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "timing/core/data/reader.h"

namespace {

std::filesystem::path WriteThousandPointFile() {
    const auto path = std::filesystem::temp_directory_path() / "umbrix_bench_1000.csv";
    std::ofstream out(path, std::ios::binary);
    out << "HJD,Mag,Err\n";
    char line[64];
    for (int i = 0; i < 1000; ++i) {
        const double t = 2454123.3 + i * 0.0003;
        const double dip = 0.8 * std::exp(-std::pow((t - 2454123.45) / 0.03, 2));
        std::snprintf(line, sizeof line, "%.5f,%.4f,0.005\n", t, 11.5 + dip);
        out << line;
    }
    return path;
}

void BM_LoadThousandPointFile(benchmark::State& state) {
    const auto path = WriteThousandPointFile();
    auto ds = std::make_unique<umbrix::DataSet>();
    ds->DataDir = path.parent_path().string();
    ds->DataFileName = path.filename().string();
    ds->DataPath = path.string();
    for (auto _ : state) {
        const std::string message = umbrix::LoadDataFile(*ds);
        if (!message.empty()) state.SkipWithError(message.c_str());
        benchmark::DoNotOptimize(ds->GuessMinTime);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadThousandPointFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
