#pragma once
// The drawing surface of a plot window: paints a display list with QPainter at 15 twips per
// logical pixel (Qt scales logical pixels on high-DPI screens and printers). The list is
// turned into painter primitives when it is set; paintEvent only paints what is prepared.

#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QWidget>
#include <optional>
#include <vector>

#include "timing/plot/display_list.h"

namespace umbrix {

inline constexpr double kTwipsPerPixel = 15.0;

class PlotView : public QWidget {
    Q_OBJECT
public:
    explicit PlotView(QWidget* parent = nullptr);

    // Takes a copy of the list to paint and schedules a repaint.
    void setDisplayList(const DisplayList& list);
    const DisplayList& displayList() const { return list_; }

    // Paints the prepared list with an existing painter (in logical pixels of this view):
    // the view's own paintEvent, image export and the benchmark use the same code.
    void paintList(QPainter& painter) const;

signals:
    // A mouse button went down at (x, y) twips of the surface.
    void pressed(Qt::MouseButton button, double x, double y);
    // Something was dropped on the surface.
    void dropped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void prepare();

    enum class OpKind { Lines, Disc, Circle, Points };
    struct PaintOp {
        OpKind kind;
        QColor colour;
        int first = 0, count = 0;  // into lines_ or points_
        QPointF centre;
        double radius = 0;          // logical pixels
    };

    DisplayList list_;
    std::optional<QColor> background_;
    std::vector<PaintOp> ops_;
    std::vector<QLineF> lines_;
    std::vector<QPointF> points_;
};

}  // namespace umbrix
