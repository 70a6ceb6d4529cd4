#include "timing/plot/plot_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace umbrix {

namespace {
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
QPointF ToPixels(double x, double y) { return {x / kTwipsPerPixel, y / kTwipsPerPixel}; }
}  // namespace

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotView::setDisplayList(const DisplayList& list) {
    list_ = list;
    prepare();
    update();
}

// Consecutive lines of one colour become one drawLines call. A run of concentric circles
// whose radii grow by at most a pixel from at most a pixel (the dots of the points) covers
// every pixel of a disc, so it is painted as one filled disc of the outer radius.
void PlotView::prepare() {
    ops_.clear();
    lines_.clear();
    points_.clear();
    background_.reset();
    if (list_.Background()) background_ = ToQColor(*list_.Background());

    const auto& cmds = list_.Commands();
    std::size_t i = 0;
    while (i < cmds.size()) {
        const DrawCommand& c = cmds[i];
        const QColor colour = ToQColor(c.colour);
        switch (c.kind) {
        case DrawKind::Line: {
            PaintOp op{OpKind::Lines, colour, static_cast<int>(lines_.size()), 0, {}, 0};
            while (i < cmds.size() && cmds[i].kind == DrawKind::Line && cmds[i].colour == c.colour) {
                lines_.emplace_back(ToPixels(cmds[i].x1, cmds[i].y1), ToPixels(cmds[i].x2, cmds[i].y2));
                ++i;
            }
            op.count = static_cast<int>(lines_.size()) - op.first;
            ops_.push_back(op);
            break;
        }
        case DrawKind::Point: {
            PaintOp op{OpKind::Points, colour, static_cast<int>(points_.size()), 0, {}, 0};
            while (i < cmds.size() && cmds[i].kind == DrawKind::Point && cmds[i].colour == c.colour) {
                points_.push_back(ToPixels(cmds[i].x1, cmds[i].y1));
                ++i;
            }
            op.count = static_cast<int>(points_.size()) - op.first;
            ops_.push_back(op);
            break;
        }
        case DrawKind::Circle: {
            std::size_t j = i + 1;
            double outer = c.r;
            if (c.r <= kTwipsPerPixel) {
                while (j < cmds.size() && cmds[j].kind == DrawKind::Circle &&
                       cmds[j].colour == c.colour && cmds[j].x1 == c.x1 && cmds[j].y1 == c.y1 &&
                       cmds[j].r >= outer && cmds[j].r - outer <= kTwipsPerPixel) {
                    outer = cmds[j].r;
                    ++j;
                }
            }
            const bool disc = j > i + 1;
            ops_.push_back({disc ? OpKind::Disc : OpKind::Circle, colour, 0, 0,
                            ToPixels(c.x1, c.y1), outer / kTwipsPerPixel});
            i = j;
            break;
        }
        }
    }
}

void PlotView::paintList(QPainter& painter) const {
    painter.fillRect(rect(), background_ ? *background_ : palette().color(QPalette::Window));
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const PaintOp& op : ops_) {
        painter.setPen(QPen(op.colour, 1));
        switch (op.kind) {
        case OpKind::Lines:
            painter.drawLines(lines_.data() + op.first, op.count);
            break;
        case OpKind::Points:
            painter.drawPoints(points_.data() + op.first, op.count);
            break;
        case OpKind::Disc:
            painter.setBrush(op.colour);
            painter.drawEllipse(op.centre, op.radius, op.radius);
            painter.setBrush(Qt::NoBrush);
            break;
        case OpKind::Circle:
            painter.drawEllipse(op.centre, op.radius, op.radius);
            break;
        }
    }
}

void PlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintList(painter);
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
