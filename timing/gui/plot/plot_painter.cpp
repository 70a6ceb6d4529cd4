#include "timing/gui/plot/plot_painter.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cmath>

namespace umbrix {

namespace {
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
QPointF ToPixels(double x, double y) { return {x / kTwipsPerPixel, y / kTwipsPerPixel}; }
}  // namespace

void PlotPainter::prepare(const DisplayList& list) {
    ops_.clear();
    lines_.clear();
    points_.clear();
    texts_.clear();
    background_.reset();
    if (list.Background()) background_ = ToQColor(*list.Background());

    const auto& cmds = list.Commands();
    std::size_t i = 0;
    while (i < cmds.size()) {
        const DrawCommand& c = cmds[i];
        const QColor colour = ToQColor(c.colour);
        switch (c.kind) {
        case DrawKind::Line: {
            PaintOp op{OpKind::Lines, colour, static_cast<int>(lines_.size()), 0, {}, 0};
            for (; i < cmds.size() && cmds[i].kind == DrawKind::Line && cmds[i].colour == c.colour; ++i)
                lines_.emplace_back(ToPixels(cmds[i].x1, cmds[i].y1), ToPixels(cmds[i].x2, cmds[i].y2));
            op.count = static_cast<int>(lines_.size()) - op.first;
            ops_.push_back(op);
            break;
        }
        case DrawKind::Point: {
            PaintOp op{OpKind::Points, colour, static_cast<int>(points_.size()), 0, {}, 0};
            for (; i < cmds.size() && cmds[i].kind == DrawKind::Point && cmds[i].colour == c.colour; ++i)
                points_.push_back(ToPixels(cmds[i].x1, cmds[i].y1));
            op.count = static_cast<int>(points_.size()) - op.first;
            ops_.push_back(op);
            break;
        }
        case DrawKind::Circle: {
            std::size_t j = i + 1;
            double outer = c.r;
            if (c.r <= kTwipsPerPixel) {
                for (; j < cmds.size() && cmds[j].kind == DrawKind::Circle &&
                       cmds[j].colour == c.colour && cmds[j].x1 == c.x1 && cmds[j].y1 == c.y1 &&
                       cmds[j].r >= outer && cmds[j].r - outer <= kTwipsPerPixel;
                     ++j)
                    outer = cmds[j].r;
            }
            const bool disc = j > i + 1;
            ops_.push_back({disc ? OpKind::Disc : OpKind::Circle, colour, 0, 0,
                            ToPixels(c.x1, c.y1), outer / kTwipsPerPixel});
            i = j;
            break;
        }
        case DrawKind::Text:
            ops_.push_back({OpKind::Text, colour, static_cast<int>(texts_.size()), 1, {}, 0});
            texts_.push_back({QString::fromStdString(c.text), ToPixels(c.x1, c.y1), c.anchor});
            ++i;
            break;
        }
    }
}

const PlotPainter::DiscStamp& PlotPainter::discStamp(const QColor& colour, double radius) const {
    for (const DiscStamp& s : stamps_)
        if (s.colour == colour && s.radius == radius) return s;
    constexpr std::size_t kMostStamps = 16;  // a plot has a few kinds of dot
    if (stamps_.size() >= kMostStamps) stamps_.clear();
    DiscStamp s{colour, radius, static_cast<int>(std::ceil(radius + 0.5)) + 1, {}};
    s.image = QImage(2 * s.half + 1, 2 * s.half + 1, QImage::Format_ARGB32_Premultiplied);
    s.image.fill(Qt::transparent);
    QPainter p(&s.image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(s.half + 0.5, s.half + 0.5), radius + 0.5, radius + 0.5);
    p.end();
    stamps_.push_back(std::move(s));
    return stamps_.back();
}

void PlotPainter::paintLinesOnRaster(QPainter& painter, const PaintOp& op) const {
    // Level and upright lines (grids, ticks, error bars, the squares of secondaries: most of a
    // diagram's lines) filled as rectangles one pixel wide, the pixels a one-pixel pen puts
    // down for them; the rest as lines. On the raster engine a fill is about half the cost.
    std::vector<QLineF> slanted;
    for (int k = op.first; k < op.first + op.count; ++k) {
        const QLineF& l = lines_[static_cast<std::size_t>(k)];
        const auto pixel = [](double v) { return static_cast<int>(std::floor(v)); };
        if (l.x1() == l.x2()) {
            const int top = pixel(std::min(l.y1(), l.y2())), bottom = pixel(std::max(l.y1(), l.y2()));
            painter.fillRect(QRect(pixel(l.x1()), top, 1, bottom - top + 1), op.colour);
        } else if (l.y1() == l.y2()) {
            const int left = pixel(std::min(l.x1(), l.x2())), right = pixel(std::max(l.x1(), l.x2()));
            painter.fillRect(QRect(left, pixel(l.y1()), right - left + 1, 1), op.colour);
        } else {
            slanted.push_back(l);
        }
    }
    if (!slanted.empty()) painter.drawLines(slanted.data(), static_cast<int>(slanted.size()));
}

void PlotPainter::paint(QPainter& painter, const QRect& area, const QColor& windowColour) const {
    painter.fillRect(area, background_ ? *background_ : windowColour);
    const bool stampDiscs = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
                            painter.deviceTransform().type() <= QTransform::TxTranslate;
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Pen and brush change only when they must: a full curve is a thousand discs in a row.
    std::optional<QColor> pen;    // unset: no pen
    std::optional<QColor> brush;  // unset: no brush
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::NoBrush);
    const auto usePen = [&](const QColor& c) {
        if (pen != c) painter.setPen(QPen(c, 1)), pen = c;
    };
    const auto useBrush = [&](const std::optional<QColor>& c) {
        if (brush == c) return;
        if (c)
            painter.setBrush(*c);
        else
            painter.setBrush(Qt::NoBrush);
        brush = c;
    };
    for (const PaintOp& op : ops_) {
        if (op.kind != OpKind::Disc) usePen(op.colour);
        switch (op.kind) {
        case OpKind::Lines:
            if (stampDiscs) {
                paintLinesOnRaster(painter, op);
                break;
            }
            painter.drawLines(lines_.data() + op.first, op.count);
            break;
        case OpKind::Points:
            painter.drawPoints(points_.data() + op.first, op.count);
            break;
        case OpKind::Disc:
            // Filled only, half a pen wider: the same pixels as the outlined disc, without
            // stroking an outline a thousand times.
            if (stampDiscs) {
                const DiscStamp& s = discStamp(op.colour, op.radius);
                painter.drawImage(QPoint(static_cast<int>(std::floor(op.centre.x())) - s.half,
                                         static_cast<int>(std::floor(op.centre.y())) - s.half),
                                  s.image);
                break;
            }
            if (pen) painter.setPen(Qt::NoPen), pen.reset();
            useBrush(op.colour);
            painter.drawEllipse(op.centre, op.radius + 0.5, op.radius + 0.5);
            break;
        case OpKind::Circle:
            useBrush(std::nullopt);
            painter.drawEllipse(op.centre, op.radius, op.radius);
            break;
        case OpKind::Text: {
            const PlacedText& t = texts_[static_cast<std::size_t>(op.first)];
            const QFontMetricsF metrics(painter.font());
            const double width = metrics.horizontalAdvance(t.text);
            QPointF topLeft = t.at;
            if (t.anchor == TextAnchor::TopCentre) topLeft.rx() -= width / 2;
            if (t.anchor == TextAnchor::MiddleRight) topLeft -= QPointF(width, metrics.height() / 2);
            painter.drawText(QRectF(topLeft, QSizeF(width + 1, metrics.height())),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, t.text);
            break;
        }
        }
    }
}

}  // namespace umbrix
