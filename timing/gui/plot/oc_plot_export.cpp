#include "timing/gui/plot/oc_plot_export.h"

#include <QLabel>
#include <QWidget>
#include <cmath>

#include "timing/gui/plot/plot_view.h"
#include "timing/gui/plot/printing.h"

namespace umbrix {

QString ExportOcPlot(const OcPlot& plot, const QString& path) {
    QWidget surface;
    const QSize size(static_cast<int>(std::lround(plot.width / kTwipsPerPixel)),
                     static_cast<int>(std::lround(plot.height / kTwipsPerPixel)));
    surface.resize(size);
    auto* view = new PlotView(&surface);
    view->setGeometry(0, 0, size.width(), size.height());
    view->setDisplayList(plot.list);
    for (const PlotText& t : plot.texts) {
        auto* label = new QLabel(QString::fromStdString(t.text), &surface);
        label->setStyleSheet(QString("color: rgb(%1,%2,%3); background: transparent")
                                 .arg(t.colour.r).arg(t.colour.g).arg(t.colour.b));
        label->adjustSize();
        const int x = static_cast<int>(std::lround(t.x / kTwipsPerPixel));
        const int y = static_cast<int>(std::lround(t.y / kTwipsPerPixel)) - label->height() / 2;
        label->move(t.alignRight ? x - label->width() : x, y);
    }
    return ExportImage(&surface, path);
}

}  // namespace umbrix
