#include "timing/gui/methods/parabola_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "timing/core/data/format.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

constexpr Rgb kExtrapolated{200, 200, 200};  // the parabola outside the picked range
constexpr int kBandHalfHeight = 10;          // twips above and below each sample

constexpr RangeCaptions kCaptions{
    "Fit Parabola - RIGHT-CLICK AT START (left end) OF RANGE.",
    "Fit Parabola - RIGHT-CLICK AT (right) END OF RANGE.",
    "Fit Parabola - CLICK 'Fit Parabola', OR 'Undo' TO START OVER.",
    "Fit Parabola - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.",
    "Fit Parabola - RIGHT-CLICK AT START OF RANGE.",
};

QString EndIndexText(int index) { return QString::fromStdString(PadInt(index, 4, " ")); }

}  // namespace

frmPlott1::frmPlott1(DataSet& data, ParabolaState& state, WindowPlacement& placement,
                     CurrentPrinter& printer, QWidget* parent)
    : RangeWindow(1, data, placement, printer, parent, kCaptions, {"", "", 615, EndIndexText}),
      state_(state) {
    setWindowTitle("Fit Parabola");
    // Created in the order Tab walks them: left to right along the bottom of the window,
    // after the index labels.
    Command1 = addButton("Command1", "Fit Parabola", 1335);
    Command2 = addButton("Command2", "Undo", 855);
    Label11 = addLabel("Label11", "RMS dev'n:", 1095);
    Text1 = addTextBox("Text1", "", 855);
    Command3 = addButton("Command3", "Done", 975);
    Command1->setToolTip("Fit a parabola to the points between the two picked ends and write its "
                         "vertex, the time of minimum, into row 1 of the main window.");
    Command2->setToolTip("Take the fit back: row 1 of the main window is emptied.");
    Label11->setToolTip("Root-mean-square scatter of the picked points about the fitted parabola, "
                        "in magnitudes.");
    Text1->setToolTip(Label11->toolTip());
    Command3->setToolTip("Close the window; the picked ends and the fit are kept for next time.");
    connect(Command1, &QPushButton::clicked, this, &frmPlott1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlott1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlott1::Command3_Click);
    layoutControls();
    applyStoredPlacement();
    setWindowTitle(kCaptions.load);
}

void frmPlott1::resized() {
    PlotParabolaWindow();
    if (state_.ParabReady) drawRangeMarkersFromTimes();
    if (state_.ParabFitted) DrawParabola();
}

void frmPlott1::PlotParabolaWindow() {
    drawWorkingCurve();
    layoutControls();
}

void frmPlott1::layoutControls() {
    const int h = windowHeightTwips();
    std::vector<ControlPlace> places = indexLabelPlaces();
    places.insert(places.end(), {
        {Command1, 2160, h - 1200},
        {Command2, 3600, h - 1200},
        {Label11, 4680, h - 1200},
        {Text1, 5880, h - 1200},
        {Command3, 6960, h - 1200},
    });
    layOut(places);
}

void frmPlott1::DrawParabola() {
    ParabolaState& s = state_;
    SampleParabola(s, data_);
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

void frmPlott1::Command1_Click() {
    ParabolaState& s = state_;
    if (!s.ParabReady || s.ParabStartIndex == 0 || s.ParabEndIndex == 0) return;
    drawRangeMarkersFromTimes();
    const ParabolaRowResult r = PressFitParabola(s, data_);
    if (!r.ok()) {
        // A range that cannot be fitted leaves row 1 and the earlier fit as they were.
        showMessage(this, QString::fromStdString(r.message));
        return;
    }
    reportFitted(r);
    DrawParabola();
    Text1->setText(QString::fromStdString(r.rmsText));
}

void frmPlott1::Command2_Click() {
    UndoParabola(state_);
    PlotParabolaWindow();
    rangeUndone();
    Text1->clear();
}

void frmPlott1::Command3_Click() { hide(); }

void frmPlott1::lightCurveLoaded() {
    RangeWindow::lightCurveLoaded();
    Text1->clear();
}

}  // namespace umbrix
