#pragma once
// The drawing surface of a plot window: paints a display list at 15 twips per logical pixel
// (Qt scales logical pixels on high-DPI screens and printers). The list is prepared for the
// painter when it is set; paintEvent only paints what is prepared.

#include <QWidget>
#include <array>
#include <optional>

#include "timing/draw/display_list.h"
#include "timing/draw/light_curve_plot.h"
#include "timing/gui/plot/plot_painter.h"

class QLabel;

namespace umbrix {

class PlotView : public QWidget {
    Q_OBJECT
public:
    explicit PlotView(QWidget* parent = nullptr);

    // Takes a copy of the list to paint and schedules a repaint.
    void setDisplayList(const DisplayList& list);
    const DisplayList& displayList() const { return list_; }

    // While a frame is set the pointer is the cross-hair strictly inside it, the arrow
    // elsewhere (the frame's edges included).
    void setCrossHairFrame(const PlotFrame& frame);

signals:
    // A click at (x, y) twips of the surface. The right button reports when it goes down; the
    // left and middle buttons when they come up again without the pointer having moved, since
    // dragging with them pans the plot instead.
    void pressed(Qt::MouseButton button, double x, double y);
    // The wheel turned by `notches` (positive away from the user) with the pointer at (x, y).
    void wheelTurned(double x, double y, double notches);
    // A drag with the left or middle button moved the pointer by (dx, dy) twips.
    void dragged(double dx, double dy);
    void doubleClicked(double x, double y);
    // Something was dropped on the surface.
    void dropped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    DisplayList list_;
    PlotPainter painter_;
    std::optional<PlotFrame> crossHairFrame_;
    // A left or middle press waiting to become a click or a drag.
    struct Press {
        Qt::MouseButton button;
        QPointF at, last;  // logical pixels
        bool dragging = false;
    };
    std::optional<Press> press_;
};

// Writes the six axis captions into a window's Label1..Label6 (index 1..6) and moves each to
// its left and top (twips, in the coordinates of the label's parent).
void PlaceAxisLabels(const std::array<QLabel*, 7>& labels, const AxisLabels& axis);

}  // namespace umbrix
