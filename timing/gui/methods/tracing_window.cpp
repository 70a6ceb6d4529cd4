#include "timing/gui/methods/tracing_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "timing/core/data/format.h"
#include "timing/gui/plot/plot_view.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

const char* const kCaption = "Tracing Paper Method - CLICK LEFT ARROW TO DECREASE FOLD HJD, etc.";

// The tracing window keeps two rows of controls under the plot, so its frame ends 2100 twips
// above the window's bottom edge instead of the light-curve plot's 1850.
constexpr FrameMargins kTracingMargins{500, 415, 242, 2100};
// Tops of the time labels, measured up from the window's height.
constexpr int kTimeValuesRise = 2050;
constexpr int kTimeStepRise = 1850;

// The folded plot's scale. Points, time grid and time labels all map through this one scale,
// with Time(1) as the time origin at the left edge of the frame and FoldPlotLimit at the right
// (the plot's width stands for FoldPlotSpan). Taking the grid from TimeMin instead, as the
// light-curve plot does, would set every grid line off from the points by the 0.002-day margin
// before the first point; with one origin a point drawn on a grid line has that line's time.
PlotScale FoldScale(const PlotFrame& frame, const DataSet& ds, const TracingState& s) {
    PlotScale scale = WorkingScale(frame, ds);
    const double first = ds.Time[1];
    // A fold at or before the first point (or pulled there in a very short curve) leaves no
    // span after it; the first point then stays at the left edge and the width stands for
    // the working time span, so that the scale is neither mirrored nor degenerate.
    scale.time = s.FoldPlotSpan > 0 ? MakeAxis(first, s.FoldPlotLimit, s.FoldPlotSpan)
                                    : MakeAxis(first, first + ds.TimeSpan, ds.TimeSpan);
    return scale;
}

// The folded curve, joined point to point in index order with the magnitudes mag. The left
// branch (points 1 .. k-1, up to and including F) is red, each point a dot. The right branch
// is blue at the mirrored times 2F - t: its first point only starts the line (a single point,
// no dot), every later one is joined to the one before and dotted. With no point after F
// there is no right branch and nothing blue is drawn.
void DrawFoldedCurve(DisplayList& list, const PlotScale& scale, const DataSet& ds,
                     const PointArray& mag, double f) {
    const int n = std::clamp(ds.PointCount, 0, kMaxPoints);
    if (n == 0) return;
    const int k = std::min(FirstMirroredPoint(ds, f), n + 1);
    list.SetColour(kRed);
    DrawDot(list, scale.X(ds.Time[1]), scale.Y(mag[1]));
    for (int i = 2; i < k; ++i) {
        const double x = scale.X(ds.Time[i]), y = scale.Y(mag[i]);
        list.LineTo(x, y);
        DrawDot(list, x, y);
    }
    if (k > n) return;
    list.SetColour(kBlue);
    list.PointSet(scale.X(MirroredTime(f, ds.Time[k])), scale.Y(mag[k]));
    for (int i = k + 1; i <= n; ++i) {
        const double x = scale.X(MirroredTime(f, ds.Time[i])), y = scale.Y(mag[i]);
        list.LineTo(x, y);
        DrawDot(list, x, y);
    }
}

}  // namespace

frmPlott2::frmPlott2(DataSet& data, TracingState& state, WindowPlacement& placement,
                     CurrentPrinter& printer, QWidget* parent)
    : MethodWindow(2, data, placement, printer, parent), state_(state) {
    setWindowTitle("Tracing Paper Method");
    // Created in the order Tab walks them: along the first row of controls, then the bar.
    Label7 = addLabel("Label7", "Fold HJD:", 975);
    Text1 = addTextBox("Text1", "", 1455, 375);
    Command1 = addButton("Command1", "Update", 975);
    Command2 = addButton("Command2", "Smooth", 855);
    Command3 = addButton("Command3", "Undo smooth", 1455);
    Command4 = addButton("Command4", "Done", 1095);
    HScroll1 = new QScrollBar(Qt::Horizontal, surface());
    HScroll1->setObjectName("HScroll1");
    HScroll1->resize(static_cast<int>(std::lround(1095 / kTwipsPerPixel)),
                     static_cast<int>(std::lround(255 / kTwipsPerPixel)));
    HScroll1->setRange(0, kFoldScrollMax);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(5);
    HScroll1->setValue(kFoldScrollCentre);
    // Arrow keys move the bar once it has the focus: Right and Up one step later, Left and
    // Down one step earlier, as the arrows at its ends do (a QScrollBar inverts its keys by
    // default, which would make Right decrease the fold).
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    HScroll1->setInvertedControls(false);
    // Without tracking, valueChanged comes from arrows, page clicks, keys, the end of a drag
    // and the program, while sliderMoved follows the thumb during a drag: each movement
    // refolds exactly once.
    HScroll1->setTracking(false);
    Label8 = addLabel("Label8", "No averaging", 1695);
    Label7->setToolTip("The HJD about which the light curve is mirrored: the trial time of minimum.");
    Text1->setToolTip("The HJD about which the light curve is mirrored. Type one and click Update, "
                      "or move the bar; Done writes it into row 2 of the main window.");
    Command1->setToolTip("Mirror the light curve about the time typed in the box.");
    Command2->setToolTip("Smooth the magnitudes with a running mean one step wider (3, 5, 7, 9 "
                         "points), to see the branches through the scatter.");
    Command3->setToolTip("Back to the magnitudes as measured.");
    Command4->setToolTip("Write the fold time into row 2 of the main window and close.");
    HScroll1->setToolTip("Move the fold time earlier or later until the mirrored branches lie on "
                         "the original ones.");
    Label8->setToolTip("How many points the running mean of Smooth averages.");
    connect(Command1, &QPushButton::clicked, this, &frmPlott2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlott2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmPlott2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmPlott2::Command4_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &frmPlott2::HScroll1_Change);
    connect(HScroll1, &QScrollBar::sliderMoved, this, &frmPlott2::HScroll1_Scroll);
    // Mirrored points earlier than Time(1) are drawn left of the frame, through the margin
    // that holds the magnitude labels. Those labels keep an opaque background, so that the
    // curve passes behind them and they stay readable.
    for (int i = 4; i <= 6; ++i) Label[i]->setAutoFillBackground(true);
    layoutControls();
    applyStoredPlacement();
    setWindowTitle(kCaption);
}

void frmPlott2::resized() { PlotTracingWindow(); }

void frmPlott2::PlotTracingWindow() {
    TracingState& s = state_;
    const DataSet& ds = data_;
    const double f = ds.GuessMinTime;
    UpdateFoldPlotBounds(s, ds, f);

    const int h = std::clamp(windowHeightTwips(), 0, 32767);
    const PlotFrame frame = FrameForWindow(windowWidthTwips(), h, kTracingMargins);
    const PlotScale scale = FoldScale(frame, ds, s);
    drawPlot(
        scale,
        [&](DisplayList& list, const PlotScale& shown) { DrawFoldedCurve(list, shown, ds, s.TraceMag, f); },
        h - kTimeValuesRise, h - kTimeStepRise);

    layoutControls();
    Text1->setText(QString::fromStdString(FormatFixed(f, 14, 5)));
    const TracingRowResult r = TraceResult(ds, f);
    if (r.ok()) {
        reportResult(r);
        refusalShown_.clear();
        return;
    }
    // Points about the fold are out of time order: row 2 holds no time. Said once, not at
    // every step of the scroll bar.
    reportCleared();
    const QString why = QString::fromStdString(r.message);
    if (why != refusalShown_) showMessage(this, why);
    refusalShown_ = why;
}

void frmPlott2::layoutControls() {
    const int h = windowHeightTwips();
    layOut({{Label7, 240, h - 1550},
            {Text1, 1320, h - 1550},
            {Command1, 2880, h - 1550},
            {Command2, 3960, h - 1550},
            {Command3, 4920, h - 1550},
            {Command4, 6600, h - 1550},
            {HScroll1, 240, h - 1130},
            {Label8, 3960, h - 1130}});
}

void frmPlott2::foldFromBar(int value) {
    const int settled = FoldFromScroll(data_, value);
    if (settled != value) {
        // F was pulled inside the time range and the bar follows it. FoldFromScroll has
        // already refolded for the new value, as the bar's own notification would; moving
        // the bar quietly saves drawing twice for the same fold.
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setValue(settled);
    }
    PlotTracingWindow();
}

void frmPlott2::HScroll1_Change(int value) { foldFromBar(value); }

void frmPlott2::HScroll1_Scroll(int value) { foldFromBar(value); }

void frmPlott2::Command1_Click() {
    const std::string refusal = FoldFromText(data_, Text1->text().toStdString());
    if (!refusal.empty()) {
        // F, the plot and row 2 stay; the typed text stays too, to be corrected.
        showMessage(this, QString::fromStdString(refusal));
        return;
    }
    PlotTracingWindow();
}

void frmPlott2::Command2_Click() {
    Label8->setText(QString::fromStdString(SmoothMagnitudes(state_, data_)));
    PlotTracingWindow();
}

void frmPlott2::Command3_Click() {
    Label8->setText(QString::fromStdString(UndoSmoothing(state_, data_)));
    PlotTracingWindow();
}

void frmPlott2::Command4_Click() { hide(); }

void frmPlott2::lightCurveLoaded() {
    // The fold starts again at the new curve's faintest point, without smoothing.
    const QSignalBlocker quiet(HScroll1);
    HScroll1->setValue(kFoldScrollCentre);
    Label8->setText("No averaging");
    refusalShown_.clear();
}

}  // namespace umbrix
