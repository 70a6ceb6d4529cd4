#pragma once
// The O-C window as the main window and the command line reach it, without knowing the window
// itself: File > "O–C Diagram ..." opens it on the minima log (or empty, to choose a table
// there); `ectimer --oc TABLE ... --show` on that table with the command line's choices.
// One window serves every request; a later one opens its table in it and raises it.

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

#include "timing/gui/oc/oc_choices.h"

class QWidget;

namespace umbrix {

class CurrentPrinter;
class frmOc;

class OcLauncher : public QObject {
    Q_OBJECT
public:
    // ephemeridesPath: oc_ephemerides.ini beside zzzumb.ini. owner becomes the window's parent
    // (the window stays top-level).
    OcLauncher(CurrentPrinter& printer, QString ephemeridesPath, QWidget* owner = nullptr);

    frmOc* window() const;  // nullptr before it was first opened, or after it was closed

    // Shows the window on table (none: as it stands, or empty); false when the table was
    // refused (its message shown; the window then keeps what it showed).
    bool open(const QString& table, const std::optional<OcWindowChoices>& choices);

private:
    CurrentPrinter& printer_;
    QString ephemeridesPath_;
    QPointer<QWidget> owner_;
    QPointer<frmOc> window_;
};

}  // namespace umbrix
