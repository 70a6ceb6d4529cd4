#include "timing/gui/methods/kvw_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

constexpr RangeCaptions kCaptions{
    "Kwee & van Woerden - RIGHT-CLICK AT START (left end) OF RANGE.",
    "Kwee & van Woerden - RIGHT-CLICK AT (right) END OF RANGE.",
    "Kwee & van Woerden - CLICK 'Fit Kwee'; OR 'Undo' TO START OVER.",
    "Kwee & van Woerden - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.",
    "Kwee & van Woerden - RIGHT-CLICK AT START OF RANGE.",
};

}  // namespace

frmPlott4::frmPlott4(DataSet& data, KvwState& state, WindowPlacement& placement,
                     CurrentPrinter& printer, QWidget* parent)
    // The start marker goes to the time of the range's first point, the end marker stays at
    // the clicked time.
    : RangeWindow(4, data, placement, printer, parent, kCaptions, {"I1", "I2", 495, IndexText},
                  StartMarkerTime::FirstPoint),
      state_(state) {
    setWindowTitle("Kwee & van Woerden");
    // Created in the order Tab walks them: left to right along the bottom of the window,
    // after the index labels.
    Command1 = addButton("Command1", "Fit Kwee", 1095);
    Command2 = addButton("Command2", "Undo", 735);
    Label11 = addLabel("Label11", "Stepp", 615);
    Text1 = addTextBox("Text1", kKvwDefaultStepp, 375);
    Label12 = addLabel("Label12", "Frac", 495);
    Text2 = addTextBox("Text2", kKvwDefaultFrac, 495);
    Command3 = addButton("Command3", "Done", 1095);
    Command1->setToolTip("Fold the picked range about trial centres and take the centre of best "
                         "symmetry as the time of minimum (Kwee and van Woerden), written into row 4 "
                         "of the main window.");
    Command2->setToolTip("Take the fit back: row 4 of the main window is emptied.");
    Label11->setToolTip("Step: how many grid steps apart the three trial centres of symmetry lie "
                        "(a whole number, 1 or more; 1 is the usual choice).");
    Text1->setToolTip(Label11->toolTip());
    Label12->setToolTip("Fraction: the share of the distance from the trial centre to the nearer end "
                        "of the range over which points either side are paired (between 0 and 1; "
                        ".9 by default).");
    Text2->setToolTip(Label12->toolTip());
    Command3->setToolTip("Close the window; the picked range is kept for next time.");
    connect(Command1, &QPushButton::clicked, this, &frmPlott4::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlott4::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlott4::Command3_Click);
    layoutControls();
    applyStoredPlacement();
    ResetKvwState(state_);
    setWindowTitle(kCaptions.load);
}

void frmPlott4::resized() {
    PlotKweeWindow();
    // The start marker goes back to its point's time, the end marker to the clicked time.
    if (state_.KvwReady) drawRangeMarkersFromTimes();
}

void frmPlott4::PlotKweeWindow() {
    drawWorkingCurve();
    layoutControls();
}

void frmPlott4::layoutControls() {
    const int h = windowHeightTwips();
    std::vector<ControlPlace> places = indexLabelPlaces();
    places.insert(places.end(), {
        {Command1, 2400, h - 1200},
        {Command2, 3600, h - 1200},
        {Label11, 4560, h - 1300},
        {Text1, 5280, h - 1300},
        {Label12, 5980, h - 1300},
        {Text2, 6480, h - 1300},
        {Command3, 7200, h - 1200},
    });
    layOut(places);
}

void frmPlott4::Command1_Click() {
    KvwState& s = state_;
    if (!s.KvwReady || s.KvwStartIndex == 0 || s.KvwEndIndex == 0) return;
    // Both markers again where they were last drawn (after an Undo they had gone).
    drawRangeMarkersAtStoredX();
    const KvwRowResult r =
        PressFitKwee(s, data_, Text1->text().toStdString(), Text2->text().toStdString());
    if (!r.ok()) {
        showMessage(this, QString::fromStdString(r.message));
        return;
    }
    reportFitted(r);
}

void frmPlott4::Command2_Click() {
    UndoKvw(state_);
    PlotKweeWindow();
    rangeUndone();
}

}  // namespace umbrix
