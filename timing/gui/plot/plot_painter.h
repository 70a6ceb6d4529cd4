#pragma once
// Paints a display list with QPainter at 15 twips per logical pixel. Needs only QtGui, so the
// plot view, image export and the benchmark share it. The list is turned into painter
// primitives once (prepare); paint only replays them.

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

#include "timing/draw/display_list.h"

class QPainter;
class QRect;

namespace umbrix {

inline constexpr double kTwipsPerPixel = 15.0;

class PlotPainter {
public:
    // Consecutive lines of one colour become one drawLines call. A run of concentric circles
    // whose radii grow by at most a pixel from at most a pixel (the dots of the points)
    // covers every pixel of a disc, so it is painted as one filled disc of the outer radius.
    void prepare(const DisplayList& list);

    // Fills area with the list's background (or windowColour when the list sets none) and
    // paints the prepared primitives. On a raster target (the screen, an image) without
    // scaling, each disc is stamped from an image of it painted once: ten thousand minima
    // of an O-C diagram drew their discs in some 20 ms one by one. Vector targets (PDF, SVG,
    // a printer) get true ellipses.
    void paint(QPainter& painter, const QRect& area, const QColor& windowColour) const;

private:
    enum class OpKind { Lines, Disc, Circle, Points, Text };
    struct PaintOp {
        OpKind kind;
        QColor colour;
        int first = 0, count = 0;  // into lines_, points_ or texts_
        QPointF centre;
        double radius = 0;  // logical pixels
    };

    std::optional<QColor> background_;
    std::vector<PaintOp> ops_;
    std::vector<QLineF> lines_;
    std::vector<QPointF> points_;
    struct PlacedText {
        QString text;
        QPointF at;
        TextAnchor anchor;
    };
    std::vector<PlacedText> texts_;

    struct DiscStamp {
        QColor colour;
        double radius = 0;
        int half = 0;  // the disc's centre is pixel (half, half) of image
        QImage image;
    };
    const DiscStamp& discStamp(const QColor& colour, double radius) const;
    void paintLinesOnRaster(QPainter& painter, const PaintOp& op) const;
    mutable std::vector<DiscStamp> stamps_;
};

}  // namespace umbrix
