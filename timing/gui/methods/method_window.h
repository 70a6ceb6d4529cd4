#pragma once
// What the five method windows have in common beyond the plot: each times the minimum for one
// row of the main window and reports what it found through its two signals, which the wiring
// (method_windows.cpp) connects to the main window. No method window knows the main window.

#include "timing/core/methods/method_common.h"
#include "timing/gui/plot/plot_window.h"

namespace umbrix {

class MethodWindow : public PlotWindow {
    Q_OBJECT
public:
    // The main window's row this window fills (kMethods' row).
    int row() const { return row_; }

signals:
    // The method finished: row's time of minimum and errors, to be written and ticked.
    void rowResult(int row, const RowResult& result);
    // Undo, or a result withdrawn: row empties and is unticked, so that no empty row counts.
    void rowCleared(int row);

protected:
    // The window is named "frmPlott<row>", as the rest of the program and the tests know it.
    MethodWindow(int row, DataSet& data, WindowPlacement& placement, CurrentPrinter& printer,
                 QWidget* parent);

    void reportResult(const RowResult& result) { emit rowResult(row_, result); }
    void reportCleared() { emit rowCleared(row_); }

private:
    int row_;
};

}  // namespace umbrix
