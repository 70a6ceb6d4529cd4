#include "timing/gui/oc/oc_launcher.h"

#include "timing/gui/oc/oc_window.h"

namespace umbrix {

OcLauncher::OcLauncher(CurrentPrinter& printer, QString ephemeridesPath, QWidget* owner)
    : QObject(owner), printer_(printer), ephemeridesPath_(std::move(ephemeridesPath)), owner_(owner) {}

frmOc* OcLauncher::window() const { return window_; }

bool OcLauncher::open(const QString& table, const std::optional<OcWindowChoices>& choices) {
    if (!window_) {
        window_ = new frmOc(printer_, ephemeridesPath_, owner_);
        window_->setAttribute(Qt::WA_DeleteOnClose);
    }
    const bool opened = table.isEmpty() || window_->openTable(table, choices);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return opened;
}

}  // namespace umbrix
