#include "timing/gui/methods/range_window.h"

#include <QLabel>

namespace umbrix {

namespace {

constexpr int kStartMarker = 0;
constexpr int kEndMarker = 1;

}  // namespace

RangeWindow::RangeWindow(int row, DataSet& data, WindowPlacement& placement,
                         CurrentPrinter& printer, QWidget* parent, const RangeCaptions& captions,
                         const IndexLabels& labels, StartMarkerTime startRule)
    : MethodWindow(row, data, placement, printer, parent),
      captions_(captions),
      labels_(labels),
      startRule_(startRule) {
    Label7 = addLabel("Label7", "Left index:", 1095);
    Label8 = addLabel("Label8", labels.start, 495);
    Label9 = addLabel("Label9", "Right index:", 1095);
    Label10 = addLabel("Label10", labels.end, labels.endWidth);
    const QString tip = "The range the method works on: right-click left of the eclipse's deepest "
                        "point for its first point, right of it for its last.";
    for (QLabel* l : {Label7, Label8, Label9, Label10}) l->setToolTip(tip);
}

RangeSide RangeWindow::sideAt(double x) const { return SideOfDeepestAsLoaded(data_, scale().TimeAt(x)); }

std::vector<PlotWindow::ControlPlace> RangeWindow::indexLabelPlaces() const {
    const int h = windowHeightTwips();
    return {{Label7, 400, h - 1300}, {Label8, 1600, h - 1300}, {Label9, 400, h - 1060}, {Label10, 1600, h - 1060}};
}

void RangeWindow::plotPressed(Qt::MouseButton button, double x, double y) {
    if (!onFrame(x, y)) return;
    if (button == Qt::RightButton) {
        const double t = scale().TimeAt(x);
        switch (sideAt(x)) {
        case RangeSide::Start:
            setEnds(PickRangeStart(ends(), data_, t, static_cast<float>(unzoomedX(x)), startRule_));
            setMarker(kStartMarker, x);
            showDrawing();
            Label8->setText(IndexText(ends().startIndex));
            setWindowTitle(captions_.startPicked);
            break;
        case RangeSide::End:
            setEnds(PickRangeEnd(ends(), data_, t, static_cast<float>(unzoomedX(x))));
            setMarker(kEndMarker, x);
            showDrawing();
            Label10->setText(labels_.endText(ends().endIndex));
            setWindowTitle(captions_.endPicked);
            break;
        case RangeSide::Neither:
            break;
        }
    }
    // Any press inside the frame, even after Undo, makes the two remembered picks count again.
    RangeEnds e = ends();
    e.ready = e.startSet && e.endSet;
    setEnds(e);
}

void RangeWindow::drawRangeMarkersFromTimes() {
    RangeEnds e = ends();
    e.startX = static_cast<float>(wholeScale().X(e.startTime));
    e.endX = static_cast<float>(wholeScale().X(e.endTime));
    setEnds(e);
    drawRangeMarkersAtStoredX();
}

void RangeWindow::drawRangeMarkersAtStoredX() {
    const RangeEnds e = ends();
    // Stored as on the whole curve; drawn where the part shown has them.
    setMarker(kStartMarker, zoomedX(e.startX));
    setMarker(kEndMarker, zoomedX(e.endX));
    showDrawing();
}

void RangeWindow::reportFitted(const RowResult& result) {
    reportResult(result);
    setWindowTitle(captions_.fitted);
}

void RangeWindow::rangeUndone() {
    reportCleared();
    Label8->clear();
    Label10->clear();
    if (captions_.undone != nullptr) setWindowTitle(captions_.undone);
}

void RangeWindow::lightCurveLoaded() {
    setWindowTitle(captions_.load);
    Label8->clear();
    Label10->clear();
}

}  // namespace umbrix
