#include "timing/gui/methods/kvw_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "timing/core/session/app_state.h"
#include "timing/gui/main/main_window.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

constexpr int kStartMarker = 0;
constexpr int kEndMarker = 1;

const char* const kLoadCaption = "Kwee & van Woerden - RIGHT-CLICK AT START (left end) OF RANGE.";
const char* const kStartPickedCaption = "Kwee & van Woerden - RIGHT-CLICK AT (right) END OF RANGE.";
const char* const kEndPickedCaption =
    "Kwee & van Woerden - CLICK 'Fit Kwee'; OR 'Undo' TO START OVER.";
const char* const kFittedCaption =
    "Kwee & van Woerden - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.";
const char* const kUndoneCaption = "Kwee & van Woerden - RIGHT-CLICK AT START OF RANGE.";

}  // namespace

frmPlott4::frmPlott4(AppState& app, CurrentPrinter& printer, frmMain& main)
    : PlotWindow(app, printer, kKweeWindow, "frmPlott4", &main), main_(main) {
    setWindowTitle("Kwee & van Woerden");
    // Created in the order Tab walks them: left to right along the bottom of the window.
    Label7 = addLabel("Label7", "Left index:", 1095);
    Label8 = addLabel("Label8", "I1", 495);
    Label9 = addLabel("Label9", "Right index:", 1095);
    Label10 = addLabel("Label10", "I2", 495);
    Command1 = addButton("Command1", "Fit Kwee", 1095);
    Command2 = addButton("Command2", "Undo", 735);
    Label11 = addLabel("Label11", "Stepp", 615);
    Text1 = addTextBox("Text1", kKvwDefaultStepp, 375);
    Label12 = addLabel("Label12", "Frac", 495);
    Text2 = addTextBox("Text2", kKvwDefaultFrac, 495);
    Command3 = addButton("Command3", "Done", 1095);
    connect(Command1, &QPushButton::clicked, this, &frmPlott4::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlott4::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlott4::Command3_Click);
    layoutControls();
    applyStoredPlacement();
    ResetKvwState(app_.kvw);
    setWindowTitle(kLoadCaption);
}

void frmPlott4::resized() {
    PlotKweeWindow();
    // The start marker goes back to its point's time, the end marker to the clicked time.
    if (app_.kvw.KvwReady) drawRangeMarkersFromTimes(app_.kvw.Ends());
}

void frmPlott4::PlotKweeWindow() {
    drawWorkingCurve();
    layoutControls();
}

void frmPlott4::layoutControls() {
    const int h = windowHeightTwips();
    layOut({
        {Label7, 400, h - 1300},
        {Label8, 1600, h - 1300},
        {Label9, 400, h - 1060},
        {Label10, 1600, h - 1060},
        {Command1, 2400, h - 1200},
        {Command2, 3600, h - 1200},
        {Label11, 4560, h - 1300},
        {Text1, 5280, h - 1300},
        {Label12, 5980, h - 1300},
        {Text2, 6480, h - 1300},
        {Command3, 7200, h - 1200},
    });
}

void frmPlott4::plotPressed(Qt::MouseButton button, double x, double y) {
    if (!onFrame(x, y)) return;
    KvwState& s = app_.kvw;
    const DataSet& ds = app_.data;
    if (button == Qt::RightButton) {
        // The side follows the position against the deepest point as loaded, not the order.
        if (scale().TimeAt(x) < ds.AllTime[ds.FullMagMaxIndex]) {
            setWindowTitle(kStartPickedCaption);
            pickRangeStart(s.Ends(), x, StartMarkerTime::FirstPoint);
            Label8->setText(IndexText(s.KvwStartIndex));
        } else {
            pickRangeEnd(s.Ends(), x);
            setWindowTitle(kEndPickedCaption);
            Label10->setText(IndexText(s.KvwEndIndex));
        }
    }
    // Any press inside the frame, even after Undo, makes the two remembered picks count again.
    s.KvwReady = s.KvwStartSet && s.KvwEndSet;
}

void frmPlott4::Command1_Click() {
    KvwState& s = app_.kvw;
    if (!s.KvwReady || s.KvwStartIndex == 0 || s.KvwEndIndex == 0) return;
    // Both markers again where they were last drawn (after an Undo they had gone).
    setMarker(kStartMarker, s.KvwStartX);
    setMarker(kEndMarker, s.KvwEndX);
    showDrawing();
    const KvwRowResult r =
        PressFitKwee(s, app_.data, Text1->text().toStdString(), Text2->text().toStdString());
    if (!r.ok()) {
        showMessage(this, QString::fromStdString(r.message));
        return;
    }
    main_.writeMethodRow(4, r);
    setWindowTitle(kFittedCaption);
}

void frmPlott4::Command2_Click() {
    UndoKvw(app_.kvw);
    PlotKweeWindow();
    main_.clearMethodResult(4);
    setWindowTitle(kUndoneCaption);
    Label8->clear();
    Label10->clear();
}

void frmPlott4::lightCurveLoaded() {
    setWindowTitle(kLoadCaption);
    Label8->clear();
    Label10->clear();
}

}  // namespace umbrix
