#pragma once
// The drawing surface of a plot window: paints a display list at 15 twips per logical pixel
// (Qt scales logical pixels on high-DPI screens and printers). The list is prepared for the
// painter when it is set; paintEvent only paints what is prepared.

#include <QWidget>

#include "timing/plot/display_list.h"
#include "timing/plot/plot_painter.h"

namespace umbrix {

class PlotView : public QWidget {
    Q_OBJECT
public:
    explicit PlotView(QWidget* parent = nullptr);

    // Takes a copy of the list to paint and schedules a repaint.
    void setDisplayList(const DisplayList& list);
    const DisplayList& displayList() const { return list_; }

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
    DisplayList list_;
    PlotPainter painter_;
};

}  // namespace umbrix
