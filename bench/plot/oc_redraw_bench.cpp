// The O-C window's diagram of 10,000 minima: what a redraw costs (a zoom, a pan, a row chosen:
// the display list drawn and painted), and what a changed control costs before it (the fits
// run again). A frame of a 60 Hz screen is 16 ms.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "timing/core/oc/oc.h"
#include "timing/draw/oc_plot.h"
#include "timing/gui/plot/plot_painter.h"

namespace {

constexpr int kWidthPixels = 800;
constexpr int kHeightPixels = 550;
constexpr double kT0 = 2459000.3456, kP = 0.4567891;

// 10,000 minima of a period growing by 2e-9 day per cycle, a primary and a secondary of each
// of 5000 cycles, with errors of 0.0001 to 0.0004 day and a scatter of that size.
std::vector<umbrix::Minimum> ManyMinima() {
    std::vector<umbrix::Minimum> minima;
    for (int k = 0; k < 10000; ++k) {
        const double e = 0.5 * k, error = 0.0001 * (1 + k % 4);
        const double hjd = kT0 + kP * e + 1e-9 * e * e + error * std::sin(12.9898 * k);
        minima.push_back({std::string("night_").append(std::to_string(k / 2)), "kvw", hjd, error});
    }
    return minima;
}

umbrix::OcChoices Choices() { return {kT0, kP, true, true, std::nullopt, {}}; }

void DrawAndPaint(const umbrix::OcRun& run, const umbrix::OcView& view, QImage& image) {
    const umbrix::OcPlot plot = umbrix::DrawOc(run.rows, kT0, kP, &run.linear, &*run.quadratic, view);
    umbrix::PlotPainter painter;
    painter.prepare(plot.list);
    QPainter p(&image);
    painter.paint(p, QRect(0, 0, kWidthPixels, kHeightPixels), Qt::white);
    p.end();
    benchmark::DoNotOptimize(image.constBits());
}

void BM_OcRedraw(benchmark::State& state) {
    const umbrix::OcRun run = umbrix::RunOcFits(ManyMinima(), Choices());
    QImage image(kWidthPixels, kHeightPixels, QImage::Format_ARGB32_Premultiplied);
    umbrix::OcView view{kWidthPixels * 15.0, kHeightPixels * 15.0, {}, std::size_t{1234}};
    for (auto _ : state) DrawAndPaint(run, view, image);
}
BENCHMARK(BM_OcRedraw)->Unit(benchmark::kMillisecond);

// The parts of a redraw: the display list alone, and painting a prepared one.
void BM_OcDrawList(benchmark::State& state) {
    const umbrix::OcRun run = umbrix::RunOcFits(ManyMinima(), Choices());
    umbrix::OcView view{kWidthPixels * 15.0, kHeightPixels * 15.0, {}, std::nullopt};
    for (auto _ : state) {
        umbrix::OcPlot plot = umbrix::DrawOc(run.rows, kT0, kP, &run.linear, &*run.quadratic, view);
        benchmark::DoNotOptimize(plot.list.Commands().data());
    }
}
BENCHMARK(BM_OcDrawList)->Unit(benchmark::kMillisecond);

void BM_OcPaintPrepared(benchmark::State& state) {
    const umbrix::OcRun run = umbrix::RunOcFits(ManyMinima(), Choices());
    umbrix::OcView view{kWidthPixels * 15.0, kHeightPixels * 15.0, {}, std::nullopt};
    umbrix::PlotPainter painter;
    painter.prepare(umbrix::DrawOc(run.rows, kT0, kP, &run.linear, &*run.quadratic, view).list);
    QImage image(kWidthPixels, kHeightPixels, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        painter.paint(p, QRect(0, 0, kWidthPixels, kHeightPixels), Qt::white);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_OcPaintPrepared)->Unit(benchmark::kMillisecond);

void BM_OcRedrawZoomed(benchmark::State& state) {
    const umbrix::OcRun run = umbrix::RunOcFits(ManyMinima(), Choices());
    QImage image(kWidthPixels, kHeightPixels, QImage::Format_ARGB32_Premultiplied);
    umbrix::OcView view{kWidthPixels * 15.0, kHeightPixels * 15.0, {0.2, 0.4, 0.1, 0.6}, std::nullopt};
    for (auto _ : state) DrawAndPaint(run, view, image);
}
BENCHMARK(BM_OcRedrawZoomed)->Unit(benchmark::kMillisecond);

void BM_OcRefitAndRedraw(benchmark::State& state) {
    const std::vector<umbrix::Minimum> minima = ManyMinima();
    QImage image(kWidthPixels, kHeightPixels, QImage::Format_ARGB32_Premultiplied);
    umbrix::OcView view{kWidthPixels * 15.0, kHeightPixels * 15.0, {}, std::nullopt};
    for (auto _ : state) DrawAndPaint(umbrix::RunOcFits(minima, Choices()), view, image);
}
BENCHMARK(BM_OcRefitAndRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
