#pragma once
// The import dialog and the import windows as the main window reaches them, without knowing
// the windows themselves: File > Import Light Curve ... shows the dialog; each curve it
// imports opens a window of its own (several may stand side by side), whose requests come
// out here as the launcher's signals for the main window to connect.

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

#include "timing/core/long/long_eclipses.h"
#include "timing/gui/import/long_import.h"
#include "timing/gui/main/minima_log.h"

class QWidget;

namespace umbrix {

class CurrentPrinter;
class ImportDialog;
class ImportWindow;

class ImportLauncher : public QObject {
    Q_OBJECT
public:
    // owner becomes the dialog's and the windows' parent (the windows stay top-level).
    ImportLauncher(CurrentPrinter& printer, QWidget* owner = nullptr);

    ImportDialog* dialog() const;  // nullptr before it was first shown
    ImportWindow* latest() const;  // the window opened last, while it is open

public slots:
    // File > Import Light Curve ...
    void show();
    // The dialog imported a curve: a window for it.
    void open(const ImportedCurve& curve);

signals:
    // An import window's eclipse, to load as the main window's light curve.
    void windowChosen(const WindowPoints& points, const QString& dir, const QString& name);
    // An import window's timed eclipses, for the minima log.
    void timingsToLog(const std::vector<LoggedRows>& timings);

private:
    CurrentPrinter& printer_;
    QPointer<QWidget> owner_;
    QPointer<ImportDialog> dialog_;
    QPointer<ImportWindow> latest_;
};

}  // namespace umbrix
