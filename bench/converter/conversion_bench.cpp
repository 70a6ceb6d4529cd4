// Full conversion runs, disk reads and writes of all files included:
//   - a 100 000-record log with automatic search against a 10 000-star catalogue, every
//     record naming a different star from the one before, so that every record needs a
//     look-up (and the run writes some 10 000 per-star light curves);
//   - logs of 100 000 and a million records of 20 stars observed in turn with typed
//     coordinates (a million takes at most 4 s and 100 MB).
// Each run is made in a child process, so that "peak_MB" (the child's ru_maxrss) is the
// peak memory of that run alone; the time is the child's wall-clock time.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "converter/core/conversion_run.h"

namespace {

constexpr int kStars = 10000;

std::string StarName(int i) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "STAR%05d", i);
    return buf;
}

void WriteCatalogue(const std::filesystem::path& dir, std::mt19937& random) {
    std::ofstream catalogue(dir / "star.dat");
    for (int i = 0; i < kStars; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "%-20s %-26s%02d %02d %02d  %c%02d %02d\n", StarName(i).c_str(), "Var EA",
                      static_cast<int>(random() % 24), static_cast<int>(random() % 60), static_cast<int>(random() % 60),
                      random() % 2 ? '+' : '-', static_cast<int>(random() % 90), static_cast<int>(random() % 60));
        catalogue << line;
    }
}

// records lines, each naming one of `stars` stars (at random, or in turn).
void WriteLog(const std::filesystem::path& dir, int records, int stars, bool inTurn, std::mt19937& random) {
    std::ofstream log(dir / "bench.std");
    for (int i = 0; i < records; ++i) {
        char line[96];
        const int second = i % 86400;
        const int star = inTurn ? i % stars : static_cast<int>(random() % static_cast<unsigned>(stars));
        std::snprintf(line, sizeof line, "%s 200701%02d%02d%02d%02d %.2fV ABC remark %d\n", StarName(star).c_str(),
                      1 + (i / 86400) % 28, second / 3600, second / 60 % 60, second % 60,
                      8.0 + (random() % 400) / 100.0, i);
        log << line;
    }
}

// Runs the conversion in a child process; returns its wall-clock seconds and peak resident
// memory in MB, or a negative time when the run failed.
std::pair<double, double> RunInChild(const hjdprep::RunSettings& settings, std::size_t records) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        hjdprep::DiskFiles files;
        const hjdprep::RunResult result = hjdprep::RunConversion(settings, files);
        ::_exit(result.ok && result.converted == records ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return {ok ? seconds : -1.0, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

void RunBenchmark(benchmark::State& state, int records, int stars, bool inTurn, bool autoSearch) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "hjdprep_bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::mt19937 random(20070105);
    if (autoSearch) WriteCatalogue(dir, random);
    WriteLog(dir, records, stars, inTurn, random);
    hjdprep::RunSettings settings;
    settings.StdFileName = "bench.std";
    settings.autoSearch = autoSearch;
    if (!autoSearch) settings.coordinates = {"02", "48", "55", "+69", "38"};
    settings.directory = dir;
    double peak = 0;
    for (auto _ : state) {
        const auto [seconds, megabytes] = RunInChild(settings, static_cast<std::size_t>(records));
        if (seconds < 0) {
            state.SkipWithError("conversion failed");
            break;
        }
        state.SetIterationTime(seconds);
        peak = std::max(peak, megabytes);
    }
    state.counters["peak_MB"] = peak;
    state.SetItemsProcessed(state.iterations() * records);
    std::filesystem::remove_all(dir);
}

void BM_ConvertLogWithAutomaticSearch(benchmark::State& state) {
    RunBenchmark(state, 100000, kStars, false, true);
}
BENCHMARK(BM_ConvertLogWithAutomaticSearch)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ConvertMillionRecords(benchmark::State& state) {
    RunBenchmark(state, static_cast<int>(state.range(0)), 20, true, false);
}
// The peak memory of the two sizes should be alike: nothing of the run grows with the log.
BENCHMARK(BM_ConvertMillionRecords)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
