// hjdprep --convert killed with SIGKILL at many moments of a run on a large log. After every
// kill the log is either byte for byte the original, or the backup is byte for byte the
// original and the log the complete rewrite; nothing else is acceptable.
//
// The moments fall in the conversion (after the k-th progress line), in the phase where the
// files are written and flushed (fractions of the time that phase took in an undisturbed
// run), and densely in the few milliseconds of renames (counted from the moment the first
// output appears), which is where a careless order of renames would lose the log.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

namespace hjdprep {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRecords = 100000;
constexpr int kProgressEvery = 1000;  // hjdprep's progress line interval

// The log and what the run must make of it, built independently of the converter: names
// "xxxV0nnn" lose the zero, every other line is kept as it is.
struct Logs {
    std::string original, rewritten;
};

Logs MakeLogs() {
    Logs logs;
    const char* names[][2] = {{"CASV0455", "CASV455"}, {"CASRZ", "CASRZ"}, {"UMAV0123", "UMAV123"}, {"HERTX", "HERTX"}};
    char rest[96];
    for (int i = 0; i < kRecords; ++i) {
        const auto& name = names[i % 4];
        std::snprintf(rest, sizeof rest, " 200701%02d%02d%02d%02d %d.%02dV ABC remarks %d\n", 1 + i % 28, i % 24,
                      i % 60, (i * 7) % 60, 9 + i % 3, i % 100, i);
        logs.original += name[0] + std::string(rest);
        logs.rewritten += name[1] + std::string(rest);
    }
    return logs;
}

struct Outcome {
    bool killed = false;  // false when the run had already ended
    Clock::duration writePhase{};
};

// Runs hjdprep in dir; kills it after `lines` progress lines, then (when given) the
// appearance of the file `appears`, plus `delay`; or lets it finish when lines < 0.
Outcome RunAndKill(const fs::path& dir, int lines, Clock::duration delay, const char* appears = nullptr) {
    int pipeFds[2];
    EXPECT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.c_str()) != 0) ::_exit(127);
        ::dup2(pipeFds[1], 2);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, 1);
        ::close(pipeFds[0]);
        ::execl(HJDPREP_PROGRAM, "hjdprep", "--convert", "obs.std", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    Outcome outcome;
    const int wanted = lines < 0 ? kRecords / kProgressEvery - 1 : lines;
    int seen = 0;
    char c;
    while (seen < wanted && ::read(pipeFds[0], &c, 1) == 1) seen += c == '\n';
    const auto lastLine = Clock::now();
    if (appears) {
        int status = 0;
        pid_t ended = 0;
        while (!fs::exists(dir / appears) && (ended = ::waitpid(pid, &status, WNOHANG)) == 0) {
        }
        if (ended != 0) {  // the run ended while we looked
            ::close(pipeFds[0]);
            return outcome;
        }
    }
    if (lines >= 0) {
        std::this_thread::sleep_for(delay);
        int status = 0;
        outcome.killed = ::waitpid(pid, &status, WNOHANG) == 0;
        if (outcome.killed) ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.writePhase = Clock::now() - lastLine;
    ::close(pipeFds[0]);
    if (lines < 0) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    // A run that finished its exit between the look and the kill was not killed after all;
    // the log is checked the same either way.
    if (outcome.killed && WIFEXITED(status) && WEXITSTATUS(status) == 0) outcome.killed = false;
    if (outcome.killed) {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    }
    return outcome;
}

TEST(KilledConversion, LogIsAlwaysTheOriginalOrTheRewriteWithTheOriginalAsBackup) {
    const Logs logs = MakeLogs();
    ASSERT_NE(logs.original, logs.rewritten);
    test::TempDir dir;
    const auto reset = [&] {
        for (const auto& e : fs::directory_iterator(dir.path())) fs::remove(e.path());
        dir.Put("obs.std", logs.original);
        dir.Put("obs_old.std", "the backup of an earlier run\n");
    };

    reset();
    const Outcome full = RunAndKill(dir.path(), -1, {});
    ASSERT_EQ(dir.Read("obs.std"), logs.rewritten);
    ASSERT_EQ(dir.Read("obs_old.std"), logs.original);

    struct Moment {
        int lines;
        Clock::duration delay;
        const char* appears;
    };
    std::vector<Moment> moments;
    const int lastLine = kRecords / kProgressEvery - 1;
    for (int k = 0; k < 8; ++k) moments.push_back({1 + k * (lastLine - 1) / 8, {}, nullptr});
    for (int k = 0; k < 6; ++k) moments.push_back({lastLine, full.writePhase * k / 8, nullptr});
    for (const int us : {0, 100, 200, 400, 700, 1000, 1500, 2000, 3000, 5000, 8000, 12000})
        moments.push_back({lastLine, std::chrono::microseconds(us), "SDATA2.CSV"});

    // Whether a kill lands before the run ends depends on the machine's load: the moments are
    // tried again (up to four rounds) until enough kills have landed to cover the run.
    constexpr int kKillsWanted = 20;
    int kills = 0, keptOriginal = 0, rewritten = 0;
    for (std::size_t tried = 0; tried < 4 * moments.size() && (tried < moments.size() || kills < kKillsWanted);
         ++tried) {
        const std::size_t m = tried % moments.size();
        reset();
        SCOPED_TRACE("moment " + std::to_string(m));
        const Outcome o = RunAndKill(dir.path(), moments[m].lines, moments[m].delay, moments[m].appears);
        kills += o.killed;
        const std::string log = dir.Read("obs.std");
        if (log == logs.original) {
            ++keptOriginal;
        } else {
            EXPECT_EQ(log.size(), logs.rewritten.size());
            EXPECT_TRUE(log == logs.rewritten) << "the log is neither the original nor the rewrite";
            EXPECT_TRUE(dir.Read("obs_old.std") == logs.original) << "rewritten log without the original as backup";
            ++rewritten;
        }
    }
    std::printf("kills: %d (log kept original: %d, rewritten with backup: %d); undisturbed write phase %.0f ms\n",
                kills, keptOriginal, rewritten,
                std::chrono::duration<double, std::milli>(full.writePhase).count());
    EXPECT_GE(kills, kKillsWanted);
}

}  // namespace
}  // namespace hjdprep
