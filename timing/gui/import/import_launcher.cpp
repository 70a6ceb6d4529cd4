#include "timing/gui/import/import_launcher.h"

#include "timing/gui/import/import_dialog.h"
#include "timing/gui/import/import_window.h"

namespace umbrix {

ImportLauncher::ImportLauncher(CurrentPrinter& printer, QWidget* owner)
    : QObject(owner), printer_(printer), owner_(owner) {}

ImportDialog* ImportLauncher::dialog() const { return dialog_; }

ImportWindow* ImportLauncher::latest() const { return latest_; }

void ImportLauncher::show() {
    if (!dialog_) {
        dialog_ = new ImportDialog(owner_);
        connect(dialog_, &ImportDialog::imported, this, &ImportLauncher::open);
    }
    dialog_->showForChoice();
}

void ImportLauncher::open(const ImportedCurve& curve) {
    auto* window = new ImportWindow(curve, printer_, owner_);
    // Closing a window unloads it: its curve may be large, and a new import reads it afresh.
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &ImportWindow::loadRequested, this, &ImportLauncher::windowChosen);
    connect(window, &ImportWindow::logRequested, this, &ImportLauncher::timingsToLog);
    latest_ = window;
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace umbrix
