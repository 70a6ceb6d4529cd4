// The windows of ectimer, built as the module main.cpp loads when Qt is needed (gui_main.h).

#include "timing/app/gui_main.h"

#include <QApplication>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "timing/app/app_state.h"
#include "timing/app/batch.h"
#include "timing/methods/method_windows.h"
#include "timing/oc/oc_plot.h"
#include "timing/plot/oc_plot_export.h"
#include "timing/ui/main_window.h"

namespace {

// ectimer --oc ... --plot FILE: the O-C table and fits as on the command line, then the
// diagram drawn by the plot code and saved as a plot window exports. No window is shown, so
// the offscreen platform serves where no display is.
int RunOcWithPlot(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    umbrix::OcOutcome outcome;
    const int status = umbrix::RunOcCommand(args, std::cout, std::cerr, outcome);
    if (status != umbrix::kBatchOk || outcome.plotPath.empty()) return status;
    const auto fitted = [](const std::optional<umbrix::Ephemeris>& e) {
        return e && e->ok ? &*e : nullptr;
    };
    const QString error = umbrix::ExportOcPlot(
        umbrix::DrawOc(outcome.rows, outcome.t0, outcome.p, fitted(outcome.linear), fitted(outcome.quadratic)),
        QString::fromStdString(outcome.plotPath));
    if (error.isEmpty()) return umbrix::kBatchOk;
    std::cerr << "ectimer: " << error.toStdString() << '\n';
    return umbrix::kBatchFailed;
}

}  // namespace

int umbrix_gui_main(int argc, char* argv[]) {
    if (argc > 1 && std::string_view(argv[1]) == "--oc") return RunOcWithPlot(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName("Umbrix");
    auto app = std::make_unique<umbrix::AppState>();
    umbrix::frmMain main(*app);
    new umbrix::MethodWindows(*app, main);  // owned by the main window
    QObject::connect(&main, &umbrix::frmMain::closed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    main.show();
    // QApplication has taken its own options out of argv; what is left names a light curve.
    if (argc > 1) main.openPath(QString::fromLocal8Bit(argv[1]));
    return QApplication::exec();
}
