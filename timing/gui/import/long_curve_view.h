#pragma once
// The import window's drawing surface: the plot view, which also reports the wheel (zoom),
// a double-click (the whole curve again) and its own resizing (a new frame to draw in).

#include "timing/gui/plot/plot_view.h"

namespace umbrix {

class LongCurveView : public PlotView {
    Q_OBJECT
public:
    using PlotView::PlotView;

signals:
    // The wheel turned by `notches` (positive away from the user) with the pointer at x twips.
    void wheelTurned(double x, double notches);
    void doubleClicked(double x, double y);
    void resized();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace umbrix
