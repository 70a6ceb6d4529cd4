#pragma once
// Paints a display list with QPainter at 15 twips per logical pixel. Needs only QtGui, so the
// plot view, image export and the benchmark share it. The list is turned into painter
// primitives once (prepare); paint only replays them.

#include <QColor>
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
    // paints the prepared primitives.
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
};

}  // namespace umbrix
