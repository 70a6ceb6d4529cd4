#pragma once
// ectimer's command line, all of it without a window: `--batch` loads each light curve
// exactly as File > Open would, optionally inverts it and deletes points, prints a summary,
// runs the chosen timing methods with the same code the windows call, prints their rows and
// the means, and optionally collects every file's rows into one CSV table; `--oc` gives the
// O-C of a minima table; `--help` and `--version` answer. The pieces: options.h, core/session/method_runs.h,
// output.h, file_run.h, parallel_files.h, oc_command.h.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace umbrix {

struct OcPlot;
struct RowResult;

inline constexpr int kBatchOk = 0;       // every file loaded (a method may have refused)
inline constexpr int kBatchRefused = 1;  // some file was refused; the others still ran
inline constexpr int kBatchFailed = 2;   // a bad option, or a table that could not be written

extern const char* const kBatchUsage;
extern const char* const kOcUsage;
// The program's versions of use, for --help and an option it does not know.
extern const char* const kProgramUsage;
inline constexpr const char* kVersion = "2.3";

// True when the arguments (without the program name) ask for the batch mode, O-C, --help,
// --version, or hold an option ectimer does not know: nothing that needs the main window, so
// that these answer on a terminal without a display.
bool IsBatchRequest(const std::vector<std::string>& args);

// Draws an O-C diagram into an image file (PNG, PDF or SVG by its suffix); returns "" or the
// complaint. ectimer's main() hands in one that asks the windows module.
using OcPlotExporter = std::function<std::string(const OcPlot&, const std::string& path)>;
// Opens the O-C window of --oc ... --show (through the windows module) and returns the exit
// status once it is closed.
struct OcOutcome;
using OcWindowOpener = std::function<int(const OcOutcome&)>;

// Runs the batch mode (args start with "--batch"), O-C ("--oc"), or answers --help (usage on
// out, status 0), --version (status 0) and an unknown option (usage on err, status 2). args
// are the command-line arguments without the program name. Writes the result to out and
// every complaint to err; returns the process exit status. Without an exporter, --oc --plot
// is refused, and so is --oc --show without a window opener.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const OcPlotExporter& exportOcPlot = {}, const OcWindowOpener& openOcWindow = {});

// One method's line of the text output, without its line end:
//   "<label>: <time> +/- <error>", then " (calibrated <error>)" when the method estimated one
//   and "  warning: <text>" when it has a word to add; "<label>: refused: <message>".
std::string BatchRowText(const std::string& label, const RowResult& r);

// One method's object in the JSON "methods" array, braces included. details holds the
// members of its "details" object.
std::string BatchRowJson(int row, const std::string& name, const RowResult& r,
                         const std::string& details);

}  // namespace umbrix
