// The painter's fast path on images and the screen (discs stamped, level and upright lines
// filled) puts down the pixels that drawing each primitive would.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "timing/draw/display_list.h"
#include "timing/gui/plot/plot_painter.h"

namespace umbrix {
namespace {

// Error bars, squares and dots at uneven sub-pixel places, as an O-C diagram draws them, and
// a slanted line through them.
DisplayList Marks() {
    DisplayList list;
    list.Clear(kWhite);
    for (int k = 0; k < 40; ++k) {
        const double x = 150 + 137.3 * k, y = 900 + 71.9 * (k % 9) + 3.7 * k;
        list.SetColour(kBlack);
        list.Line(x, y - 90 - 5.5 * k, x, y + 90 + 4.1 * k);
        list.Line(x - 45.2, y - 90, x + 45.2, y - 90);
        list.SetColour(kBlue);
        // Dots centred on pixel centres: elsewhere a disc's pixels shift with its fraction of a
        // pixel, and the stamp keeps one shape (within half a pixel of the place).
        const double cx = (std::floor(x / 15) + 0.5) * 15, cy = (std::floor(y / 15) + 3.5) * 15;
        for (double r = 15; r <= 45; r += 15) list.Circle(cx, cy, r);
        list.SetColour(kRed);
        list.Line(x - 37, y + 200, x + 37, y + 200);
        list.Line(x + 37, y + 200, x + 37, y + 274);
    }
    list.SetColour(kBlack);
    list.Line(100, 100, 6000, 2900);
    return list;
}

QImage Blank() {
    QImage image(420, 240, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

// Each primitive drawn by itself, as QPainter draws it: a line with a one-pixel pen, a dot as
// the filled disc its concentric circles cover.
QImage EachByItself(const DisplayList& list) {
    QImage image = Blank();
    QPainter p(&image);
    const auto& c = list.Commands();
    for (std::size_t i = 0; i < c.size(); ++i) {
        const QColor colour(c[i].colour.r, c[i].colour.g, c[i].colour.b);
        if (c[i].kind == DrawKind::Line) {
            p.setPen(QPen(colour, 1));
            p.drawLine(QLineF(c[i].x1 / 15, c[i].y1 / 15, c[i].x2 / 15, c[i].y2 / 15));
        } else if (c[i].kind == DrawKind::Circle) {
            double r = c[i].r;
            while (i + 1 < c.size() && c[i + 1].kind == DrawKind::Circle && c[i + 1].x1 == c[i].x1) r = c[++i].r;
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(QPointF(c[i].x1 / 15, c[i].y1 / 15), r / 15 + 0.5, r / 15 + 0.5);
        }
    }
    return image;
}

TEST(PlotPainterTest, FastPathOnImagesPutsDownThePixelsOfEachPrimitive) {
    const DisplayList list = Marks();
    QImage fast = Blank();
    PlotPainter painter;
    painter.prepare(list);
    QPainter p(&fast);
    painter.paint(p, fast.rect(), Qt::white);
    p.end();
    const QImage each = EachByItself(list);
    int inked = 0, differ = 0;
    for (int y = 0; y < fast.height(); ++y)
        for (int x = 0; x < fast.width(); ++x) {
            inked += each.pixel(x, y) != qRgb(255, 255, 255);
            differ += fast.pixel(x, y) != each.pixel(x, y);
        }
    EXPECT_GT(inked, 2000);
    EXPECT_EQ(differ, 0) << "of " << inked << " inked pixels";
}

}  // namespace
}  // namespace umbrix
