#include <QApplication>

#include "converter/core/window_module.h"
#include "converter/gui/form1.h"

int hjdprep_window_main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("hjdprep");
    hjdprep::Form1 window;
    window.show();
    return QApplication::exec();
}
