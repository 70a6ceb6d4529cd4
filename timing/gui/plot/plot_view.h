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
    // A mouse button went down at (x, y) twips of the surface.
    void pressed(Qt::MouseButton button, double x, double y);
    // Something was dropped on the surface.
    void dropped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    DisplayList list_;
    PlotPainter painter_;
    std::optional<PlotFrame> crossHairFrame_;
};

// Writes the six axis captions into a window's Label1..Label6 (index 1..6) and moves each to
// its left and top (twips, in the coordinates of the label's parent).
void PlaceAxisLabels(const std::array<QLabel*, 7>& labels, const AxisLabels& axis);

}  // namespace umbrix
