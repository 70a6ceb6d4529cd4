#pragma once
// The import window's drawing surface: the plot view, which also reports its own resizing (a
// new frame to draw in).

#include "timing/gui/plot/plot_view.h"

namespace umbrix {

class LongCurveView : public PlotView {
    Q_OBJECT
public:
    using PlotView::PlotView;

signals:
    void resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace umbrix
