#include "timing/gui/import/long_curve_view.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include "timing/gui/plot/plot_painter.h"

namespace umbrix {

void LongCurveView::wheelEvent(QWheelEvent* event) {
    // 120 eighths of a degree make one notch of a common wheel; a touchpad sends fractions.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        event->ignore();
        return;
    }
    event->accept();
    emit wheelTurned(event->position().x() * kTwipsPerPixel, notches);
}

void LongCurveView::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked(event->position().x() * kTwipsPerPixel, event->position().y() * kTwipsPerPixel);
}

void LongCurveView::resizeEvent(QResizeEvent* event) {
    PlotView::resizeEvent(event);
    emit resized();
}

}  // namespace umbrix
