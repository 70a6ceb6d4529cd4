#pragma once
// The command-line mode of ectimer: load each light curve exactly as File > Open would,
// optionally invert and delete points, print a summary, run the chosen timing methods with
// the same code the windows call, and print their rows and the means; optionally collect
// every file's rows into one CSV table. No window is created.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "timing/oc/oc.h"

namespace umbrix {

struct RowResult;

inline constexpr int kBatchOk = 0;       // every file loaded (a method may have refused)
inline constexpr int kBatchRefused = 1;  // some file was refused; the others still ran
inline constexpr int kBatchFailed = 2;   // a bad option, or a table that could not be written

extern const char* const kBatchUsage;
// The program's versions of use, for --help and an option it does not know.
extern const char* const kProgramUsage;
inline constexpr const char* kVersion = "2.3";

// True when the arguments (without the program name) ask for the batch mode, O-C without a
// plot, --help, --version, or hold an option ectimer does not know: nothing that needs a
// window, so that these answer on a terminal without a display.
bool IsBatchRequest(const std::vector<std::string>& args);

// Runs the batch mode (args start with "--batch"), O-C ("--oc"), or answers --help (usage on
// out, status 0), --version (status 0) and an unknown option (usage on err, status 2). args
// are the command-line arguments without the program name. Writes the result to out and every complaint to err; returns the
// process exit status.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// ectimer --oc (kOcUsage): prints the O-C table and the fitted ephemerides, and hands back
// what a plot of them needs (plotPath empty unless --plot was given). Returns the exit status.
extern const char* const kOcUsage;
struct OcOutcome {
    std::vector<OcRow> rows;
    double t0 = 0, p = 0;
    std::optional<Ephemeris> linear, quadratic;  // set when fitted (ok or refused)
    std::string plotPath;
};
int RunOcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 OcOutcome& outcome);

// One method's line of the text output, without its line end:
//   "<label>: <time> +/- <error>", then " (calibrated <error>)" when the method estimated one
//   and "  warning: <text>" when it has a word to add; "<label>: refused: <message>".
std::string BatchRowText(const std::string& label, const RowResult& r);

// One method's object in the JSON "methods" array, braces included. details holds the
// members of its "details" object.
std::string BatchRowJson(int row, const std::string& name, const RowResult& r,
                         const std::string& details);

}  // namespace umbrix
