#include "timing/plot/plot_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>

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

void PlotView::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void PlotView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit dropped();
}

}  // namespace umbrix
