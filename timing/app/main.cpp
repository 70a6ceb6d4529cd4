// ectimer: times the minimum of an eclipsing binary's light curve.
//
//   ectimer                 the main window, no file loaded
//   ectimer FILE            the main window with FILE loaded as File > Open would
//   ectimer --batch FILE .. no window: see batch.h

#include <QApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "timing/app/app_state.h"
#include "timing/app/batch.h"
#include "timing/methods/method_windows.h"
#include "timing/ui/main_window.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (umbrix::IsBatchRequest(args)) return umbrix::RunBatch(args, std::cout, std::cerr);

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
