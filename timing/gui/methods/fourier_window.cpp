#include "timing/gui/methods/fourier_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

constexpr int kThickHalfHeight = 10;  // after Update and a fit: 21 lines per segment
constexpr int kThinHalfHeight = 0;    // on redraws: one line per segment
constexpr int kBoxWidth = 8;          // the boxes as every redraw writes them
// The curve of the start values once a fit has been drawn over it: a pale blue, still there to
// compare against, never to be taken for the fit.
constexpr Rgb kStartCurveColour{160, 180, 230};

// The plot leaves room on the right for the box column.
constexpr FrameMargins kFourierMargins{700, 1500, 242, 1850};

// The box column: its left edge measured from the window's right edge, each caption with its
// box under it, from the top of the surface down.
constexpr int kColumnFromRight = 1200;
constexpr int kColumnTop = 120;
constexpr int kColumnPitch = 570;  // caption 255 + box 285 + a gap of 30
constexpr int kCaptionHeight = 255;

// Undo keeps the caption it finds.
constexpr RangeCaptions kCaptions{
    "Fit Fourier - RIGHT-CLICK AT START (left end) OF RANGE.",
    "Fit Fourier - RIGHT-CLICK AT (right) END OF RANGE.",
    "Fit Fourier - CLICK 'Fit Fourier', OR 'Undo' TO START OVER.",
    "Fourier fit - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.",
    nullptr,
};

const char* const kBoxCaptions[9] = {"",          "ToM, Xo",   "Const, C",  "A.Freq, W",
                                     "Const, A1", "Const, A2", "Const, A3", "Const, A4",
                                     "Const, A5"};

// What the eight boxes hold now, as typed.
FourierBoxTexts ReadBoxTexts(const std::array<QLineEdit*, 9>& boxes) {
    FourierBoxTexts texts;
    for (std::size_t i = 1; i <= kFourierParamCount; ++i)
        texts[i - 1] = boxes[i]->text().toStdString();
    return texts;
}

}  // namespace

frmPlott5::frmPlott5(DataSet& data, FourierState& state, const OpenMethodRange& range,
                     WindowPlacement& placement, CurrentPrinter& printer, QWidget* parent)
    : RangeWindow(5, data, placement, printer, parent, kCaptions, {"", "", 615, IndexText}),
      state_(state),
      range_(range) {
    setWindowTitle("Fourier Fit");
    // Created in the order Tab walks them: the row along the bottom (after the index labels),
    // then the box column.
    Command1 = addButton("Command1", "Update", 1335);
    Command2 = addButton("Command2", " Fit Fourier", 1335);
    Command3 = addButton("Command3", "Undo", 975);
    Command4 = addButton("Command4", "Done", 975);
    std::array<QLabel*, 9> captions{};
    for (int i = 1; i <= kFourierParamCount; ++i) {
        const QByteArray label = QString("Label%1").arg(10 + i).toLatin1();
        const QByteArray box = QString("Text1(%1)").arg(i).toLatin1();
        captions[static_cast<std::size_t>(i)] = addLabel(label.constData(), kBoxCaptions[i], 1095);
        Text1[static_cast<std::size_t>(i)] = addTextBox(box.constData(), "", 1095);
    }
    // What each box of the model holds, in words: the captions are the model's own symbols.
    const char* const boxTips[9] = {
        "",
        "Time of minimum Xo: the HJD of the model's symmetry point.",
        "Constant C: the magnitude of the model at the minimum.",
        ("Angular frequency W, in radians per day: larger for a narrower eclipse (about 2 pi "
         "divided by twice the eclipse's duration)."),
        "Amplitude A1 of the first cosine harmonic, in magnitudes.",
        "Amplitude A2 of the second cosine harmonic, in magnitudes.",
        "Amplitude A3 of the third cosine harmonic, in magnitudes.",
        "Amplitude A4 of the fourth cosine harmonic, in magnitudes.",
        "Amplitude A5 of the fifth cosine harmonic, in magnitudes."};
    for (std::size_t i = 1; i <= static_cast<std::size_t>(kFourierParamCount); ++i) {
        const QString tip = QString(boxTips[i]) + " Type a start value and click Update.";
        captions[i]->setToolTip(tip);
        Text1[i]->setToolTip(tip);
    }
    Command1->setToolTip("Redraw the model curve from the values typed into the boxes, as the start "
                         "of the next fit.");
    Command2->setToolTip("Fit the cosine series to the picked range by least squares "
                         "(Levenberg-Marquardt); its Xo, the time of minimum, goes into row 5 of the "
                         "main window.");
    Command3->setToolTip("Take the fit back: the boxes return to the start values of the last fit "
                         "and row 5 of the main window is emptied.");
    Command4->setToolTip("Close the window; the picked range and the values are kept for next time.");
    Label11 = captions[1];
    Label12 = captions[2];
    Label13 = captions[3];
    Label14 = captions[4];
    Label15 = captions[5];
    Label16 = captions[6];
    Label17 = captions[7];
    Label18 = captions[8];
    connect(Command1, &QPushButton::clicked, this, &frmPlott5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlott5::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlott5::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmPlott5::Command4_Click);
    // The column follows the right edge wherever the window is; laid out against a width of 0
    // here, it stays left of the bottom row, so that only the bottom row sets the minimum
    // width (the column against the present width would hold the window at that width).
    layoutControls(0);
    // The box column reaches 4680 twips down; the row under the plot must stay below it.
    applyStoredPlacement(kColumnTop + kFourierParamCount * kColumnPitch + 1820);
    setWindowTitle(kCaptions.load);
    // Boxes of a window loaded afresh show the parameters as they are.
    state_.ParamText = FourierParamTexts(state_.FourierParams, kBoxWidth);
    showBoxTexts();
}

std::array<QLabel*, 9> frmPlott5::boxCaptions() const {
    return {nullptr, Label11, Label12, Label13, Label14, Label15, Label16, Label17, Label18};
}

void frmPlott5::resized() {
    PlotFourierWindow();
    if (state_.FourierReady) drawRangeMarkersFromTimes();
    if (state_.FourierFitted) RedrawFourierModel();
}

void frmPlott5::PlotFourierWindow() {
    drawWorkingCurve(kFourierMargins);
    curves_.Clear();  // the overlay went with the old plot
    layoutControls(windowWidthTwips());
    state_.ParamText = FourierParamTexts(state_.FourierParams, kBoxWidth);
    showBoxTexts();
}

void frmPlott5::layoutControls(int windowWidth) {
    const int h = windowHeightTwips();
    std::vector<ControlPlace> places = indexLabelPlaces();
    places.insert(places.end(), {
        {Command1, 2520, h - 1200},
        {Command2, 4080, h - 1200},
        {Command3, 5640, h - 1200},
        {Command4, 6840, h - 1200},
    });
    layOut(places);
    const int left = windowWidth - kColumnFromRight;
    const std::array<QLabel*, 9> captions = boxCaptions();
    for (int i = 1; i <= kFourierParamCount; ++i) {
        const int top = kColumnTop + (i - 1) * kColumnPitch;
        place(captions[static_cast<std::size_t>(i)], left, top);
        place(Text1[static_cast<std::size_t>(i)], left, top + kCaptionHeight);
    }
}

void frmPlott5::showBoxTexts() {
    const FourierBoxTexts& texts = state_.ParamText;
    for (int i = 1; i <= kFourierParamCount; ++i)
        Text1[static_cast<std::size_t>(i)]->setText(
            QString::fromStdString(texts[static_cast<std::size_t>(i - 1)]));
}

void frmPlott5::addModelCurve(int halfHeight) {
    const FourierState& s = state_;
    curves_.SetColour(kBlue);
    curves_.PointSet(scale().X(s.ModelTime[0]), scale().Y(s.ModelMag[0]));
    for (int j = 1; j <= kFourierSamples; ++j) {
        const double x = scale().X(s.ModelTime[static_cast<std::size_t>(j)]);
        const double y = scale().Y(s.ModelMag[static_cast<std::size_t>(j)]);
        for (int k = -halfHeight; k <= halfHeight; ++k) curves_.LineTo(x, y + k);
    }
    setCurve(curves_);
    showDrawing();
}

void frmPlott5::DrawFourierModel() {
    // A range whose indices no longer lie in the working set (points deleted meanwhile) gives
    // no samples; the curve of an earlier sampling is not drawn in their place.
    if (SampleFourierModel(state_, data_)) addModelCurve(kThickHalfHeight);
}

void frmPlott5::RedrawFourierModel() { addModelCurve(kThinHalfHeight); }

RangeSide frmPlott5::sideAt(double x) const {
    const PlotFrame& f = scale().frame;
    // The index estimate measures along the frame as it shows the whole working curve.
    return SideOfFaintestByIndex(data_, range_.RangeFirst, range_.RangeLast, unzoomedX(x) - f.PlotLeft,
                                 f.PlotWidth());
}

void frmPlott5::Command1_Click() {
    const std::string message = FourierUpdate(state_, data_, ReadBoxTexts(Text1));
    if (!message.empty()) {
        showMessage(this, QString::fromStdString(message));
        return;
    }
    PlotFourierWindow();
    DrawFourierModel();
}

void frmPlott5::Command2_Click() {
    FourierState& s = state_;
    // The fit reads the boxes only when Update was used; they are handed over either way.
    s.ParamText = ReadBoxTexts(Text1);
    const FourierRowResult r = FitFourier(s, data_);
    if (r.outcome == MethodOutcome::NotRun) return;  // already fitted on this range
    if (!r.ok()) {
        // Row 5, the parameters and the picture stay as they were.
        showMessage(this, QString::fromStdString(r.message));
        return;
    }
    // Over the present picture, whatever it shows; a start curve drawn by Update stays as a
    // faint reference, so that the fitted curve is the only blue one.
    curves_.Recolour(kStartCurveColour);
    DrawFourierModel();
    reportFitted(r);
    showBoxTexts();  // width 9 until the next redraw
}

void frmPlott5::Command3_Click() {
    FourierUndo(state_);
    // Like every Undo: the row empties and is unticked, so that no empty row counts.
    rangeUndone();
    PlotFourierWindow();
}

void frmPlott5::Command4_Click() { hide(); }

void frmPlott5::lightCurveLoaded() {
    RangeWindow::lightCurveLoaded();
    showBoxTexts();  // the new curve's start values
}

}  // namespace umbrix
