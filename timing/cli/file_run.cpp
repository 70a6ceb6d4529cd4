#include "timing/cli/file_run.h"

#include <array>
#include <filesystem>
#include <memory>
#include <sstream>

#include "timing/cli/batch.h"
#include "timing/cli/output.h"
#include "timing/core/session/method_runs.h"
#include "timing/core/data/means.h"
#include "timing/core/methods/method_table.h"
#include "timing/core/oc/oc.h"
#include "timing/core/session/app_state.h"
#include "timing/core/session/row_table.h"

namespace umbrix {

namespace {

const auto TableLine = MinimaTableLine;

}  // namespace

FileRun RunFile(BatchOptions options, const std::string& file) {
    FileRun run;
    // Name the file the way the open dialog does: its folder and its name.
    auto app = std::make_unique<AppState>();
    const std::filesystem::path path(file);
    const std::string dir = path.has_parent_path() ? path.parent_path().string() : ".";
    if (const std::string message = OpenLightCurve(*app, dir, path.filename().string());
        !message.empty()) {
        run.err = message + "\n";
        run.table = TableLine(file, "", "", "", "", "", message);
        run.status = kBatchRefused;
        return run;
    }
    return RunLoaded(std::move(options), *app, file);
}

FileRun RunLoaded(BatchOptions options, AppState& session, const std::string& file) {
    FileRun run;
    AppState* const app = &session;
    DataSet& ds = app->data;

    if (options.inverted) ChangeMagSign(*app, 1);
    for (const int i : options.deletions) {
        if (!SetDeleted(ds, i, true)) {
            const std::string message = "--delete " + std::to_string(i) + ": the file has points 1 to " +
                                        std::to_string(ds.ReadCount);
            run.err = "ectimer: " + message + "\n";
            run.table = TableLine(file, "", "", "", "", "", message);
            run.status = kBatchFailed;
            return run;
        }
    }
    if (options.fourierStart) {
        ApplyFourierStartList(*app, *options.fourierStart);
    }
    if (options.autoRanges) options.chosen = ChooseRanges(ds);

    // The summary describes the data as loaded and edited, before any method moves the fold.
    std::ostringstream summary;
    if (options.format == Format::Json)
        PrintSummaryJson(ds, summary);
    else
        PrintSummaryText(ds, summary);
    if (options.chosen) PrintEclipses(ds, *options.chosen, options.format, summary);

    std::vector<RanRow> ran;
    RowTable rows;  // as the main window's rows would stand after each Go
    for (const MethodEntry& method : kMethods) {
        if (!options.rows[static_cast<std::size_t>(method.row - 1)]) continue;
        ran.push_back({&method, RunMethodRow(method.row, *app, options)});
        RowResult& r = ran.back().report.result;
        r.message = CommandLineWording(std::move(r.message));
        r.warning = CommandLineWording(std::move(r.warning));
        rows.write(method.row, r);
        run.table += r.ok() ? rows.minimaLine(method.row, file)
                            : TableLine(file, std::to_string(method.row), method.name, "", "", "",
                                        r.message);
    }
    const MeansResult means = rows.means();
    if (means.computed) run.table += MeanMinimaLine(file, means);

    std::ostringstream out;
    if (options.format == Format::Json) {
        out << "{" << summary.str();
        PrintRowsJson(ran, means, out);
        out << "}\n";
    } else {
        out << summary.str();
        PrintRowsText(ran, means, out);
    }
    run.out = out.str();
    return run;
}


}  // namespace umbrix
