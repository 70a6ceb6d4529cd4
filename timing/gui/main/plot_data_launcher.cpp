#include "timing/gui/main/plot_data_launcher.h"

namespace umbrix {

PlotDataLauncher::PlotDataLauncher(DataSet& data, WindowPlacement& placement,
                                   CurrentPrinter& printer, QWidget* owner)
    : QObject(owner), data_(data), placement_(placement), printer_(printer), owner_(owner) {}

void PlotDataLauncher::show() {
    if (!window_) {
        window_ = new frmPlotData(data_, placement_, printer_, owner_);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        connect(window_, &frmPlotData::editedCountChanged, this,
                &PlotDataLauncher::editedCountChanged);
    }
    window_->showPlot();
}

void PlotDataLauncher::lightCurveLoaded() {
    if (window_) window_->clearAndHide();
}

void PlotDataLauncher::refresh() {
    if (window_ && window_->isVisible()) window_->PlotLightCurve();
}

void PlotDataLauncher::storePlacement() {
    if (window_) window_->storePlacement();
}

}  // namespace umbrix
