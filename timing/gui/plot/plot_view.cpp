#include "timing/gui/plot/plot_view.h"

#include <QDragEnterEvent>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
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
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) {
        press_ = Press{event->button(), p, p};
        return;
    }
    press_.reset();
    emit pressed(event->button(), p.x() * kTwipsPerPixel, p.y() * kTwipsPerPixel);
}

void PlotView::mouseReleaseEvent(QMouseEvent* event) {
    if (!press_ || event->button() != press_->button) return;
    const Press press = *press_;
    press_.reset();
    if (!press.dragging)
        emit pressed(press.button, press.at.x() * kTwipsPerPixel, press.at.y() * kTwipsPerPixel);
}

void PlotView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of the two has been reported; the second only resets the view.
    press_.reset();
    emit doubleClicked(event->position().x() * kTwipsPerPixel, event->position().y() * kTwipsPerPixel);
}

void PlotView::wheelEvent(QWheelEvent* event) {
    // 120 eighths of a degree make one notch of a common wheel; a touchpad sends fractions.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        event->ignore();
        return;
    }
    event->accept();
    emit wheelTurned(event->position().x() * kTwipsPerPixel, event->position().y() * kTwipsPerPixel,
                     notches);
}

void PlotView::setCrossHairFrame(const PlotFrame& frame) {
    crossHairFrame_ = frame;
    setMouseTracking(true);
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    if (press_ && (event->buttons() & press_->button)) {
        const QPointF p = event->position();
        if (!press_->dragging &&
            (p - press_->at).manhattanLength() >= QApplication::startDragDistance()) {
            press_->dragging = true;
            setCursor(Qt::ClosedHandCursor);
        }
        if (press_->dragging) {
            const QPointF d = p - press_->last;
            press_->last = p;
            emit dragged(d.x() * kTwipsPerPixel, d.y() * kTwipsPerPixel);
            return;
        }
    }
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
