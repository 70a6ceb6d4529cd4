// One redraw of the tracing-paper window while its thumb is dragged, on a 1000-point curve:
// the drag notification refolds, rebuilds the display list, lays out labels and controls and
// publishes row 2; then the surface with every control on it is painted into an image, as a
// repaint of the window would. Dragging stays smooth while one such step takes a few ms.
//
// Run with the default placement (480 x 480 pixels) and with a large window (1000 x 700).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdlib>

#include "bench/methods/bench_curve.h"
#include "timing/gui/methods/tracing_window.h"
#include "timing/gui/plot/plot_view.h"
#include "timing/gui/main/main_window.h"

namespace {

void BM_TracingDragRedraw(benchmark::State& state) {
    auto app = umbrix::bench::BenchApp();
    QTemporaryDir dir;
    umbrix::frmMain main(*app, dir.filePath("zzzumb.ini"));
    umbrix::ResetTraceMag(app->tracing, app->data);
    umbrix::frmPlott2 window(app->data, app->tracing, main.placements()[umbrix::kTracingWindow],
                             main.printer(), &main);
    // Each redraw writes row 2, as in the program.
    QObject::connect(&window, &umbrix::MethodWindow::rowResult, &main, &umbrix::frmMain::writeMethodRow);
    window.Go();
    if (state.range(0) > 0) window.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QApplication::processEvents();

    QImage image(window.surface()->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = window.HScroll1;
    bar->setSliderDown(true);  // the thumb is held: each move raises the drag notification
    int step = 0;
    for (auto _ : state) {
        // Near the minimum, about half the points are mirrored.
        bar->setSliderPosition(umbrix::kFoldScrollCentre + (++step % 2 ? 7 : -7));
        window.surface()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    bar->setSliderDown(false);
    state.counters["commands"] = static_cast<double>(window.displayList().Commands().size());
    state.counters["width_px"] = window.surface()->width();
    state.counters["height_px"] = window.surface()->height();
}
BENCHMARK(BM_TracingDragRedraw)
    ->Args({0, 0})
    ->Args({1000, 700})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

}  // namespace
