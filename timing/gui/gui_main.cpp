#include "timing/draw/windows_module.h"

#include <QApplication>
#include <memory>

#include "timing/core/files/settings_file.h"
#include "timing/core/oc/remembered_ephemerides.h"
#include "timing/core/session/app_state.h"
#include "timing/gui/main/main_window.h"
#include "timing/gui/methods/method_windows.h"
#include "timing/gui/oc/oc_launcher.h"
#include "timing/gui/oc/oc_window.h"
#include "timing/gui/plot/oc_plot_export.h"
#include "timing/gui/plot/printing.h"

int umbrix_gui_main(int argc, char* argv[]) {
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

bool umbrix_export_oc_plot(const umbrix::OcPlot& plot, const char* path, std::string& complaint) {
    // No window is shown, so the offscreen platform serves where no display is.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "ectimer";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    const QString error = umbrix::ExportOcPlot(plot, QString::fromLocal8Bit(path));
    complaint = error.toStdString();
    return error.isEmpty();
}

int umbrix_oc_window(int argc, char* argv[], const umbrix::OcWindowRequest& request) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Umbrix");
    umbrix::CurrentPrinter printer;
    // The ephemerides are remembered where the main window remembers them: beside zzzumb.ini
    // in the working directory.
    umbrix::OcLauncher launcher(printer, umbrix::kEphemeridesFileName);
    const QString s = QString::fromStdString(request.method);
    umbrix::OcWindowChoices choices{QString::fromStdString(request.t0), QString::fromStdString(request.p), s,
                                    request.secondary, request.quadratic};
    if (!launcher.open(QString::fromLocal8Bit(request.table.c_str()), choices)) return 1;
    QObject::connect(launcher.window(), &QObject::destroyed, &application, &QApplication::quit, Qt::QueuedConnection);
    return QApplication::exec();
}
