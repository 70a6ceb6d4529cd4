#include "timing/gui/methods/parabola_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "timing/core/session/app_state.h"
#include "timing/core/data/format.h"
#include "timing/gui/main/main_window.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

constexpr Rgb kExtrapolated{200, 200, 200};  // the parabola outside the picked range
constexpr int kBandHalfHeight = 10;          // twips above and below each sample

const char* const kLoadCaption = "Fit Parabola - RIGHT-CLICK AT START (left end) OF RANGE.";
const char* const kStartPickedCaption = "Fit Parabola - RIGHT-CLICK AT (right) END OF RANGE.";
const char* const kEndPickedCaption =
    "Fit Parabola - CLICK 'Fit Parabola', OR 'Undo' TO START OVER.";
const char* const kFittedCaption = "Fit Parabola - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.";
const char* const kUndoneCaption = "Fit Parabola - RIGHT-CLICK AT START OF RANGE.";

}  // namespace

frmPlott1::frmPlott1(AppState& app, CurrentPrinter& printer, frmMain& main)
    : PlotWindow(app, printer, kParabolaWindow, "frmPlott1", &main), main_(main) {
    setWindowTitle("Fit Parabola");
    // Created in the order Tab walks them: left to right along the bottom of the window.
    Label7 = addLabel("Label7", "Left index:", 1095);
    Label8 = addLabel("Label8", "", 495);
    Label9 = addLabel("Label9", "Right index:", 1095);
    Label10 = addLabel("Label10", "", 615);
    Command1 = addButton("Command1", "Fit Parabola", 1335);
    Command2 = addButton("Command2", "Undo", 855);
    Label11 = addLabel("Label11", "RMS dev'n:", 1095);
    Text1 = addTextBox("Text1", "", 855);
    Command3 = addButton("Command3", "Done", 975);
    connect(Command1, &QPushButton::clicked, this, &frmPlott1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlott1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlott1::Command3_Click);
    layoutControls();
    applyStoredPlacement();
    setWindowTitle(kLoadCaption);
}

void frmPlott1::resized() {
    PlotParabolaWindow();
    if (app_.parabola.ParabReady) drawRangeMarkersFromTimes(app_.parabola.Ends());
    if (app_.parabola.ParabFitted) DrawParabola();
}

void frmPlott1::PlotParabolaWindow() {
    drawWorkingCurve();
    layoutControls();
}

void frmPlott1::layoutControls() {
    const int h = windowHeightTwips();
    layOut({
        {Label7, 400, h - 1300},
        {Label8, 1600, h - 1300},
        {Label9, 400, h - 1060},
        {Label10, 1600, h - 1060},
        {Command1, 2160, h - 1200},
        {Command2, 3600, h - 1200},
        {Label11, 4680, h - 1200},
        {Text1, 5880, h - 1200},
        {Command3, 6960, h - 1200},
    });
}

void frmPlott1::DrawParabola() {
    ParabolaState& s = app_.parabola;
    SampleParabola(s, app_.data);
    const auto colourAt = [&s](double t) {
        return s.ParabStartTime < t && t < s.ParabEndTime ? kBlue : kExtrapolated;
    };
    // Each of the 100 segments takes its colour from its right-hand sample and is drawn 21
    // times, one twip apart, so that the curve shows as a band.
    DisplayList band;
    band.SetColour(colourAt(s.ParabCurveTime[1]));
    band.PointSet(scale().X(s.ParabCurveTime[0]), scale().Y(s.ParabCurveMag[0]));
    for (int i = 1; i <= kParabolaSamples; ++i) {
        band.SetColour(colourAt(s.ParabCurveTime[i]));
        const double x = scale().X(s.ParabCurveTime[i]);
        const double y = scale().Y(s.ParabCurveMag[i]);
        for (int j = -kBandHalfHeight; j <= kBandHalfHeight; ++j) band.LineTo(x, y + j);
    }
    setCurve(band);
    showDrawing();
}

void frmPlott1::plotPressed(Qt::MouseButton button, double x, double y) {
    if (!onFrame(x, y)) return;
    ParabolaState& s = app_.parabola;
    const DataSet& ds = app_.data;
    if (button == Qt::RightButton) {
        // The side follows the position against the deepest point as loaded, not the order.
        if (scale().TimeAt(x) < ds.AllTime[ds.FullMagMaxIndex]) {
            pickRangeStart(s.Ends(), x);
            Label8->setText(IndexText(s.ParabStartIndex));
            setWindowTitle(kStartPickedCaption);
        } else {
            pickRangeEnd(s.Ends(), x);
            Label10->setText(QString::fromStdString(PadInt(s.ParabEndIndex, 4, " ")));
            setWindowTitle(kEndPickedCaption);
        }
    }
    s.ParabReady = s.ParabStartSet && s.ParabEndSet;
}

void frmPlott1::Command1_Click() {
    ParabolaState& s = app_.parabola;
    if (!s.ParabReady || s.ParabStartIndex == 0 || s.ParabEndIndex == 0) return;
    drawRangeMarkersFromTimes(s.Ends());
    const ParabolaRowResult r = PressFitParabola(s, app_.data);
    if (!r.ok()) {
        // A range that cannot be fitted leaves row 1 and the earlier fit as they were.
        showMessage(this, QString::fromStdString(r.message));
        return;
    }
    main_.writeMethodRow(1, r);
    DrawParabola();
    Text1->setText(QString::fromStdString(r.rmsText));
    setWindowTitle(kFittedCaption);
}

void frmPlott1::Command2_Click() {
    UndoParabola(app_.parabola);
    PlotParabolaWindow();
    main_.clearMethodResult(1);
    Text1->clear();
    setWindowTitle(kUndoneCaption);
    Label8->clear();
    Label10->clear();
}

void frmPlott1::Command3_Click() { hide(); }

void frmPlott1::lightCurveLoaded() {
    setWindowTitle(kLoadCaption);
    Label8->clear();
    Label10->clear();
    Text1->clear();
}

}  // namespace umbrix
