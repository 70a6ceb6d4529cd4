#pragma once
// The five method windows as the main window reaches them: Go of rows 1 to 5 creates a window
// the first time (and again after its close box unloaded it) and runs its Go; a new light
// curve hides every window drawn from the old one. The one place where the method windows
// meet the main window: each window gets the data set, its own method's state and its
// placement record, and its reports are connected to the main window's rows here. The
// methods' state lives in AppState, so a window created afresh shows what its predecessor had.

#include <QObject>
#include <QPointer>

#include "timing/gui/methods/chords_window.h"
#include "timing/gui/methods/fourier_window.h"
#include "timing/gui/methods/kvw_window.h"
#include "timing/gui/methods/parabola_window.h"
#include "timing/gui/methods/tracing_window.h"

namespace umbrix {

struct AppState;
class frmMain;

class MethodWindows : public QObject {
    Q_OBJECT
public:
    // Hooks Go of rows 1 to 5 and the main window's load notification.
    MethodWindows(AppState& app, frmMain& main);

    // The windows while they are loaded (nullptr before the first Go and after a close box).
    frmPlott1* parabola() const { return parabola_; }
    frmPlott2* tracing() const { return tracing_; }
    frmPlott3* chords() const { return chords_; }
    frmPlott4* kvw() const { return kvw_; }
    frmPlott5* fourier() const { return fourier_; }

public slots:
    // A light curve was loaded: every loaded method window is hidden and shows again what it
    // shows when first opened (the methods' state was reset with the load).
    void lightCurveLoaded();

private:
    // The window, created by make() when it is not loaded, and connected to the main window.
    template <typename Window, typename Make>
    Window* load(QPointer<Window>& window, Make make);
    WindowPlacement& placement(int row);

    AppState& app_;
    frmMain& main_;
    QPointer<frmPlott1> parabola_;
    QPointer<frmPlott2> tracing_;
    QPointer<frmPlott3> chords_;
    QPointer<frmPlott4> kvw_;
    QPointer<frmPlott5> fourier_;
};

}  // namespace umbrix
