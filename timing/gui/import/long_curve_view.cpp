#include "timing/gui/import/long_curve_view.h"

namespace umbrix {

void LongCurveView::resizeEvent(QResizeEvent* event) {
    PlotView::resizeEvent(event);
    emit resized();
}

}  // namespace umbrix
