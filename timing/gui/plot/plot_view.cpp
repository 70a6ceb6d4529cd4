#include "timing/gui/plot/plot_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace umbrix {

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotView::setDisplayList(const DisplayList& list) {
    list_ = list;
    painter_.prepare(list_);
    update();
}

void PlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter_.paint(painter, rect(), palette().color(QPalette::Window));
}

void PlotView::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit pressed(event->button(), p.x() * kTwipsPerPixel, p.y() * kTwipsPerPixel);
}

void PlotView::setCrossHairFrame(const PlotFrame& frame) {
    crossHairFrame_ = frame;
    setMouseTracking(true);
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    if (!crossHairFrame_) return;
    const PlotFrame& f = *crossHairFrame_;
    const double x = event->position().x() * kTwipsPerPixel;
    const double y = event->position().y() * kTwipsPerPixel;
    const bool inside = f.PlotLeft < x && x < f.PlotRight && f.PlotTop < y && y < f.PlotBottom;
    setCursor(inside ? Qt::CrossCursor : Qt::ArrowCursor);
}

void PlotView::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void PlotView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit dropped();
}

void PlaceAxisLabels(const std::array<QLabel*, 7>& labels, const AxisLabels& axis) {
    for (int i = 1; i <= 6; ++i) {
        QLabel* label = labels[static_cast<std::size_t>(i)];
        if (!label) continue;
        const AxisLabel& a = axis[static_cast<std::size_t>(i)];
        label->setText(QString::fromStdString(a.caption));
        label->adjustSize();
        label->move(static_cast<int>(std::lround(a.left / kTwipsPerPixel)),
                    static_cast<int>(std::lround(a.top / kTwipsPerPixel)));
    }
}

}  // namespace umbrix
