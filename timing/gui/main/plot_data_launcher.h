#pragma once
// The plot/edit window as the main window reaches it, without knowing the window itself.

#include <QObject>
#include <QPointer>

#include "timing/core/data/data_set.h"
#include "timing/core/files/window_placement.h"
#include "timing/gui/plot/plot_data_window.h"

namespace umbrix {

class CurrentPrinter;

// What the main window keeps: creates frmPlotData when it is first shown, and again after
// its close box unloaded it (it then opens at the placement stored when it closed).
class PlotDataLauncher : public QObject {
    Q_OBJECT
public:
    // owner becomes the window's parent (the window stays a top-level window of its own).
    PlotDataLauncher(DataSet& data, WindowPlacement& placement, CurrentPrinter& printer,
                     QWidget* owner = nullptr);

    frmPlotData* window() const { return window_; }  // nullptr when not loaded

public slots:
    // "Plot/Edit Data" once a file is loaded.
    void show();
    // The main window loaded a light curve: clear and hide the plot/edit window if loaded.
    void lightCurveLoaded();
    // The data set changed under the window (the magnitude sign): redraw it if it is shown.
    void refresh();
    // Stores the window's placement if it is loaded (before the settings file is written).
    void storePlacement();

signals:
    void editedCountChanged(int pointCount);

private:
    DataSet& data_;
    WindowPlacement& placement_;
    CurrentPrinter& printer_;
    QPointer<QWidget> owner_;
    QPointer<frmPlotData> window_;
};

}  // namespace umbrix
