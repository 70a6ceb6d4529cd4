#include "timing/gui/methods/method_windows.h"

#include "timing/core/methods/method_table.h"
#include "timing/core/session/app_state.h"
#include "timing/gui/main/main_window.h"

namespace umbrix {

MethodWindows::MethodWindows(AppState& app, frmMain& main)
    : QObject(&main), app_(app), main_(main) {
    CurrentPrinter& printer = main.printer();
    main.setRowAction(1, [this, &printer] {
        load(parabola_, [&] { return new frmPlott1(app_.data, app_.parabola, placement(1), printer, &main_); })->Go();
    });
    main.setRowAction(2, [this, &printer] {
        load(tracing_, [&] { return new frmPlott2(app_.data, app_.tracing, placement(2), printer, &main_); })->Go();
    });
    main.setRowAction(3, [this, &printer] {
        load(chords_, [&] { return new frmPlott3(app_.data, app_.chords, placement(3), printer, &main_); })->Go();
    });
    main.setRowAction(4, [this, &printer] {
        load(kvw_, [&] { return new frmPlott4(app_.data, app_.kvw, placement(4), printer, &main_); })->Go();
    });
    main.setRowAction(5, [this, &printer] {
        load(fourier_, [&] {
            return new frmPlott5(app_.data, app_.fourier, app_, placement(5), printer, &main_);
        })->Go();
    });
    connect(&main, &frmMain::lightCurveLoaded, this, &MethodWindows::lightCurveLoaded);
}

WindowPlacement& MethodWindows::placement(int row) {
    return main_.placements()[static_cast<std::size_t>(MethodOfRow(row).placement)];
}

template <typename Window, typename Make>
Window* MethodWindows::load(QPointer<Window>& window, Make make) {
    if (!window) {
        window = make();
        // The close box unloads the window; the next Go loads it afresh.
        window->setAttribute(Qt::WA_DeleteOnClose);
        connect(window, &MethodWindow::rowResult, &main_, &frmMain::writeMethodRow);
        connect(window, &MethodWindow::rowCleared, &main_, &frmMain::clearMethodResult);
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
