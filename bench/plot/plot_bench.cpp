// The light-curve plot of a full data set (1000 points): building its display list, and
// painting it into an image the size of a large plot window (1000 x 700 pixels).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "timing/core/data/reader.h"
#include "timing/draw/light_curve_plot.h"
#include "timing/gui/plot/plot_painter.h"

namespace {

constexpr int kWidthPixels = 1000;
constexpr int kHeightPixels = 700;

// A synthetic eclipse: 1000 points over 0.2 day, a 0.8-magnitude dip, every tenth deleted.
umbrix::DataSet FullCurve() {
    std::vector<double> hjd, mag;
    for (int i = 0; i < umbrix::kMaxPoints; ++i) {
        const double t = 0.4 + 0.2 * i / (umbrix::kMaxPoints - 1);
        hjd.push_back(2454123.0 + t);
        const double u = (t - 0.5) / 0.04;
        mag.push_back(12.0 + 0.8 * std::exp(-u * u) + 0.01 * std::sin(37.0 * i));
    }
    umbrix::DataSet ds;
    umbrix::ApplyLightCurve(ds, hjd, mag);
    for (int i = 10; i <= umbrix::kMaxPoints; i += 10) ds.Deleted[i] = true;
    umbrix::RebuildWorkingSet(ds);
    umbrix::FindExtremes(ds);
    return ds;
}

void BM_BuildDisplayList(benchmark::State& state) {
    const umbrix::DataSet ds = FullCurve();
    umbrix::DisplayList list;
    for (auto _ : state) {
        auto plot = umbrix::PlotLightCurve(list, ds, kWidthPixels * 15, kHeightPixels * 15);
        benchmark::DoNotOptimize(plot);
        benchmark::DoNotOptimize(list.Commands().data());
    }
    state.counters["commands"] = static_cast<double>(list.Commands().size());
}
BENCHMARK(BM_BuildDisplayList)->Unit(benchmark::kMicrosecond);

void BM_PreparePainter(benchmark::State& state) {
    const umbrix::DataSet ds = FullCurve();
    umbrix::DisplayList list;
    umbrix::PlotLightCurve(list, ds, kWidthPixels * 15, kHeightPixels * 15);
    umbrix::PlotPainter painter;
    for (auto _ : state) painter.prepare(list);
}
BENCHMARK(BM_PreparePainter)->Unit(benchmark::kMicrosecond);

// What a repaint of the window costs: paintEvent replays the prepared primitives.
void BM_PaintDisplayList(benchmark::State& state) {
    const umbrix::DataSet ds = FullCurve();
    umbrix::DisplayList list;
    umbrix::PlotLightCurve(list, ds, kWidthPixels * 15, kHeightPixels * 15);
    umbrix::PlotPainter prepared;
    prepared.prepare(list);
    QImage image(kWidthPixels, kHeightPixels, QImage::Format_ARGB32_Premultiplied);
    const QRect area(0, 0, kWidthPixels, kHeightPixels);
    for (auto _ : state) {
        QPainter painter(&image);
        prepared.paint(painter, area, Qt::white);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintDisplayList)->Unit(benchmark::kMicrosecond);

}  // namespace
