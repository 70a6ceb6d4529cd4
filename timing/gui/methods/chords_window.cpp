#include "timing/gui/methods/chords_window.h"

#include <QLabel>
#include <QPushButton>

#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

// Marker slots, one per click of the guided path.
constexpr int kLeftStart = 0, kLeftEnd = 1, kRightStart = 2, kRightEnd = 3;

const char* const kLoadCaption = "Bisect Chords - RIGHT-CLICK AT START (left end) OF LEFT RANGE.";
const char* const kLeftStartCaption = "Bisect Chords - RIGHT-CLICK AT (right) END OF LEFT RANGE.";
const char* const kLeftEndCaption =
    "Bisect Chords - RIGHT-CLICK AT START (left end) OF RIGHT RANGE.";
const char* const kRightStartCaption =
    "Bisect Chords - RIGHT-CLICK AT (right) END OF RIGHT RANGE.";
const char* const kRightEndCaption =
    "Bisect Chords - CLICK 'Bisect Chords', OR 'Undo' TO START OVER.";
const char* const kDoneCaption = "Bisect Chords - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.";

}  // namespace

frmPlott3::frmPlott3(DataSet& data, ChordsState& state, WindowPlacement& placement,
                     CurrentPrinter& printer, QWidget* parent)
    : MethodWindow(3, data, placement, printer, parent), state_(state) {
    setWindowTitle("Bisect Chords");
    // Created in the order Tab walks them: left to right along the bottom of the window.
    Label7 = addLabel("Label7", "Left index (1):", 1215);
    Label8 = addLabel("Label8", "I1", 615);
    Label9 = addLabel("Label9", "Left index (2):", 1215);
    Label10 = addLabel("Label10", "I2", 615);
    Command1 = addButton("Command1", "Bisect Chords", 1455);
    Label11 = addLabel("Label11", "Right index (3):", 1335);
    Label12 = addLabel("Label12", "I3", 615);
    Label13 = addLabel("Label13", "Right index (4):", 1455);
    Label14 = addLabel("Label14", "I4", 615);
    Command2 = addButton("Command2", "Undo", 975);
    Command3 = addButton("Command3", "Done", 1095);
    const QString pickTip =
        "Right-click the start and end of a stretch of the descending branch (1, 2), then of the "
        "rising branch (3, 4): chords join the two stretches at equal magnitudes.";
    for (QLabel* l : {Label7, Label8, Label9, Label10, Label11, Label12, Label13, Label14})
        l->setToolTip(pickTip);
    Command1->setToolTip("Bisect the chords between the two branches and fit a line through their "
                         "midpoints: where it meets the bottom is the time of minimum, written into "
                         "row 3 of the main window.");
    Command2->setToolTip("Take the bisection back: row 3 of the main window is emptied.");
    Command3->setToolTip("Close the window; the picked indices are kept for next time.");
    connect(Command1, &QPushButton::clicked, this, &frmPlott3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlott3::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlott3::Command3_Click);
    layoutControls();
    applyStoredPlacement();
    ResetChordsState(state_);
    setWindowTitle(kLoadCaption);
}

void frmPlott3::resized() {
    PlotChordsWindow();
    // Markers of ranges still being picked are not drawn again.
    if (state_.BisReady) drawMarkersFromTimes();
}

void frmPlott3::PlotChordsWindow() {
    drawWorkingCurve();
    layoutControls();
}

void frmPlott3::layoutControls() {
    const int h = windowHeightTwips();
    layOut({
        {Label7, 240, h - 1300},
        {Label8, 1560, h - 1300},
        {Label9, 240, h - 1060},
        {Label10, 1560, h - 1060},
        {Command1, 2140, h - 1200},
        {Label11, 3960, h - 1300},
        {Label12, 5200, h - 1300},
        {Label13, 3960, h - 1060},
        {Label14, 5200, h - 1060},
        {Command2, 5700, h - 1200},
        {Command3, 7200, h - 1200},
    });
}

void frmPlott3::drawMarkersFromTimes() {
    const ChordsState& s = state_;
    setMarker(kLeftStart, scale().X(s.BisLeftStartTime));
    setMarker(kLeftEnd, scale().X(s.BisLeftEndTime));
    setMarker(kRightStart, scale().X(s.BisRightStartTime));
    setMarker(kRightEnd, scale().X(s.BisRightEndTime));
    showDrawing();
}

void frmPlott3::plotPressed(Qt::MouseButton button, double x, double y) {
    if (!onFrame(x, y)) return;
    ChordsState& s = state_;
    if (button == Qt::RightButton) {
        switch (ChordsClick(s, data_, scale().TimeAt(x))) {
        case ChordsPick::None:  // a third click on a complete side
            break;
        case ChordsPick::LeftStart:
            Label8->setText(IndexText(s.BisLeftStart));
            setMarker(kLeftStart, x);
            setWindowTitle(kLeftStartCaption);
            break;
        case ChordsPick::LeftEnd:  // the indices may have been swapped: both shown again
            Label8->setText(IndexText(s.BisLeftStart));
            Label10->setText(IndexText(s.BisLeftEnd));
            setMarker(kLeftEnd, x);
            setWindowTitle(kLeftEndCaption);
            break;
        case ChordsPick::RightStart:
            Label12->setText(IndexText(s.BisRightStart));
            setMarker(kRightStart, x);
            setWindowTitle(kRightStartCaption);
            break;
        case ChordsPick::RightEnd:
            Label12->setText(IndexText(s.BisRightStart));
            Label14->setText(IndexText(s.BisRightEnd));
            setMarker(kRightEnd, x);
            setWindowTitle(kRightEndCaption);
            break;
        }
        showDrawing();
    }
    s.BisReady = s.BisLeftState == 2 && s.BisRightState == 2;
}

void frmPlott3::Command1_Click() {
    const ChordsState& s = state_;
    if (!s.BisReady || s.BisLeftStart == 0 || s.BisLeftEnd == 0) return;
    drawMarkersFromTimes();
    const ChordsRowResult r = PressBisectChords(s, data_);
    if (!r.ok()) {
        showMessage(this, QString::fromStdString(r.message));
        return;
    }
    reportResult(r);
    setWindowTitle(kDoneCaption);
}

void frmPlott3::Command2_Click() {
    UndoChords(state_);
    PlotChordsWindow();
    reportCleared();
    setWindowTitle(kLoadCaption);
    for (QLabel* label : {Label8, Label10, Label12, Label14}) label->clear();
}

void frmPlott3::lightCurveLoaded() {
    setWindowTitle(kLoadCaption);
    Label8->setText("I1");
    Label10->setText("I2");
    Label12->setText("I3");
    Label14->setText("I4");
}

}  // namespace umbrix
