// A full conversion run: a 100 000-record log with automatic search against a 10 000-star
// catalogue, every record naming a different star from the one before, so that every record
// needs a look-up. Disk reads and writes of all files are included.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "converter/core/conversion_run.h"

namespace {

constexpr int kStars = 10000;
constexpr int kRecords = 100000;

std::string StarName(int i) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "STAR%05d", i);
    return buf;
}

void WriteFiles(const std::filesystem::path& dir) {
    std::mt19937 random(20070105);
    std::ofstream catalogue(dir / "star.dat");
    for (int i = 0; i < kStars; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "%-20s %-26s%02d %02d %02d  %c%02d %02d\n", StarName(i).c_str(), "Var EA",
                      static_cast<int>(random() % 24), static_cast<int>(random() % 60), static_cast<int>(random() % 60),
                      random() % 2 ? '+' : '-', static_cast<int>(random() % 90), static_cast<int>(random() % 60));
        catalogue << line;
    }
    std::ofstream log(dir / "bench.std");
    for (int i = 0; i < kRecords; ++i) {
        char line[96];
        const int second = i % 86400;
        std::snprintf(line, sizeof line, "%s 200701%02d%02d%02d%02d %.2fV ABC remark %d\n",
                      StarName(static_cast<int>(random() % kStars)).c_str(), 1 + (i / 86400) % 28, second / 3600,
                      second / 60 % 60, second % 60, 8.0 + (random() % 400) / 100.0, i);
        log << line;
    }
}

void BM_ConvertLogWithAutomaticSearch(benchmark::State& state) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "hjdprep_bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    WriteFiles(dir);
    hjdprep::RunSettings settings;
    settings.StdFileName = "bench.std";
    settings.autoSearch = true;
    settings.directory = dir;
    hjdprep::DiskFiles files;
    for (auto _ : state) {
        const hjdprep::RunResult result = hjdprep::RunConversion(settings, files);
        if (!result.ok || result.converted != static_cast<std::size_t>(kRecords)) {
            state.SkipWithError("conversion failed");
            break;
        }
        benchmark::DoNotOptimize(result.converted);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ConvertLogWithAutomaticSearch)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
