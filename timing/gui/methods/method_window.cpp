#include "timing/gui/methods/method_window.h"

namespace umbrix {

MethodWindow::MethodWindow(int row, DataSet& data, WindowPlacement& placement,
                           CurrentPrinter& printer, QWidget* parent)
    : PlotWindow(data, placement, printer, QString("frmPlott%1").arg(row), parent), row_(row) {}

}  // namespace umbrix
