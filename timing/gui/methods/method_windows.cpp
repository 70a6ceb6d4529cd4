#include "timing/gui/methods/method_windows.h"

#include "timing/gui/methods/parabola_window.h"
#include "timing/gui/main/main_window.h"

namespace umbrix {

MethodWindows::MethodWindows(AppState& app, frmMain& main)
    : QObject(&main), app_(app), main_(main) {
    main.setRowAction(1, [this] { load(parabola_)->Go(); });
    main.setRowAction(2, [this] { load(tracing_)->Go(); });
    main.setRowAction(3, [this] { load(chords_)->Go(); });
    main.setRowAction(4, [this] { load(kvw_)->Go(); });
    main.setRowAction(5, [this] { load(fourier_)->Go(); });
    connect(&main, &frmMain::lightCurveLoaded, this, &MethodWindows::lightCurveLoaded);
}

template <typename Window>
Window* MethodWindows::load(QPointer<Window>& window) {
    if (!window) {
        window = new Window(app_, main_.printer(), main_);
        // The close box unloads the window; the next Go loads it afresh.
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    return window;
}

void MethodWindows::lightCurveLoaded() {
    for (PlotWindow* w : std::initializer_list<PlotWindow*>{parabola_, tracing_, chords_, kvw_, fourier_})
        if (w) {
            w->hide();
            w->lightCurveLoaded();
        }
}

}  // namespace umbrix
