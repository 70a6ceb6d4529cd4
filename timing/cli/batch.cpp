#include "timing/cli/batch.h"

#include <algorithm>
#include <optional>

#include "common/atomic_file.h"
#include "common/toolkit_options.h"
#include "timing/cli/eclipses_command.h"
#include "timing/cli/file_run.h"
#include "timing/cli/oc_command.h"
#include "timing/cli/options.h"
#include "timing/cli/parallel_files.h"
#include "timing/core/oc/oc.h"
#include "timing/draw/oc_plot.h"

namespace umbrix {

const char* const kProgramUsage =
    "usage: ectimer [FILE]          the main window, with FILE loaded as File > Open would\n"
    "       ectimer --batch FILE... [options]   no window: times each light curve\n"
    "       ectimer --eclipses FILE... [options]   no window: every eclipse of long light curves\n"
    "       ectimer --oc TABLE --ephemeris T0,P [options]   O-C of a minima table\n"
    "       ectimer --help | --version\n";

namespace {

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h" || a == "-?"; }

// An option ectimer does not know, where the window would otherwise open: the toolkit's own
// options (-platform, -style ...) are not such.
bool IsUnknownOption(const std::string& a) {
    return a.rfind("--", 0) == 0 && a != "--batch" && a != "--oc" && a != "--eclipses" && a != "--version" &&
           !IsHelp(a) && !toolkit::IsToolkitOption(a);
}

// --oc: the table and fits, then the diagram when --plot asks for it, then the window when
// --show does.
int RunOc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
          const OcPlotExporter& exportOcPlot, const OcWindowOpener& openOcWindow) {
    OcOutcome outcome;
    const int status = RunOcCommand(args, out, err, outcome);
    if (status != kBatchOk) return status;
    if (!outcome.plotPath.empty()) {
        const auto fitted = [](const std::optional<Ephemeris>& e) { return e && e->ok ? &*e : nullptr; };
        const std::string complaint =
            exportOcPlot ? exportOcPlot(DrawOc(outcome.rows, outcome.t0, outcome.p, fitted(outcome.linear),
                                               fitted(outcome.quadratic)),
                                        outcome.plotPath)
                         : "--plot needs ectimer's windows module to draw the diagram";
        if (!complaint.empty()) {
            err << "ectimer: " << complaint << "\n";
            return kBatchFailed;
        }
    }
    if (!outcome.show) return kBatchOk;
    if (!openOcWindow) {
        err << "ectimer: --show needs ectimer's windows module to open the O-C window\n";
        return kBatchFailed;
    }
    out.flush();
    return openOcWindow(outcome);
}

}  // namespace

bool IsBatchRequest(const std::vector<std::string>& args) {
    if (args.empty()) return false;
    if (args[0] == "--batch" || IsHelp(args[0]) || args[0] == "--version") return true;
    // O-C draws its plot through the windows module, but runs here.
    if (args[0] == "--oc" || args[0] == "--eclipses") return true;
    return std::any_of(args.begin(), args.end(), IsUnknownOption);
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const OcPlotExporter& exportOcPlot, const OcWindowOpener& openOcWindow) {
    if (!args.empty() && IsHelp(args[0])) {
        out << kProgramUsage << "\n" << kBatchUsage << "\n" << kEclipsesUsage << "\n" << kOcUsage;
        return kBatchOk;
    }
    if (!args.empty() && args[0] == "--version") {
        out << "ectimer " << kVersion << "\n";
        return kBatchOk;
    }
    if (!args.empty() && args[0] != "--batch" && args[0] != "--oc" && args[0] != "--eclipses") {
        const auto unknown = std::find_if(args.begin(), args.end(), IsUnknownOption);
        err << "ectimer: unknown option \"" << (unknown != args.end() ? *unknown : args[0])
            << "\"\n" << kProgramUsage;
        return kBatchFailed;
    }
    if (!args.empty() && args[0] == "--oc") return RunOc(args, out, err, exportOcPlot, openOcWindow);
    if (!args.empty() && args[0] == "--eclipses") return RunEclipsesCommand(args, out, err);
    std::string error;
    const auto options = ParseOptions(args, error);
    if (!options) {
        err << "ectimer: " << error << "\n" << kBatchUsage;
        return kBatchFailed;
    }
    std::vector<FileRun> runs(options->files.size());
    ForEachFile(runs.size(), [&](std::size_t i) { runs[i] = RunFile(*options, options->files[i]); }, err);
    int status = kBatchOk;
    std::string table = MinimaTableHeader();
    for (std::size_t i = 0; i < runs.size(); ++i) {
        // Text blocks of several files are set apart by an empty line; JSON is one object
        // per line.
        if (i > 0 && options->format == Format::Text && !runs[i].out.empty()) out << "\n";
        out << runs[i].out;
        err << runs[i].err;
        table += runs[i].table;
        status = std::max(status, runs[i].status);
    }
    if (options->table) {
        if (const std::string message = atomicfile::WriteFile(*options->table, table); !message.empty()) {
            err << "ectimer: " << message << "\n";
            return kBatchFailed;
        }
    }
    return status;
}

}  // namespace umbrix
