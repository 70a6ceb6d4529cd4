#include "timing/plot/plot_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "timing/app/app_state.h"
#include "timing/plot/plot_view.h"

namespace umbrix {

namespace {

int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

int ToTwips(int pixels) {
    // Placements are 16-bit twips in the settings file.
    return std::clamp(static_cast<int>(std::lround(pixels * kTwipsPerPixel)), -32768, 32767);
}

}  // namespace

QString IndexText(int index) { return (index >= 0 ? " " : "") + QString::number(index); }

PlotWindow::PlotWindow(AppState& app, CurrentPrinter& printer, PlacementSlot slot,
                       const QString& name, QWidget* parent)
    : QMainWindow(parent, Qt::Window), app_(app), slot_(slot) {
    setObjectName(name);
    surface_ = new PlotView(this);
    surface_->setObjectName("Surface");
    setCentralWidget(surface_);
    for (int i = 1; i <= 6; ++i) {
        Label[i] = new QLabel(surface_);
        Label[i]->setObjectName(QString("Label%1").arg(i));
        Label[i]->setTextFormat(Qt::PlainText);  // captions keep their leading blanks
        Label[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    menu = AddPlotFileMenu(this, printer);
    connect(surface_, &PlotView::pressed, this, &PlotWindow::plotPressed);
}

PlotWindow::~PlotWindow() = default;

void PlotWindow::applyStoredPlacement() {
    loading_ = true;
    int controlsRight = 0;
    for (QWidget* control : surface_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (std::find(Label.begin(), Label.end(), control) == Label.end())
            controlsRight = std::max(controlsRight, control->geometry().right() + 1);
    if (controlsRight > 0) {
        // A margin right of the last control, and room for a frame above the controls.
        constexpr int kRightMargin = 16;
        constexpr int kMinimumHeight = 3600;
        setMinimumSize(controlsRight + kRightMargin, ToPixels(kMinimumHeight));
    }
    const WindowPlacement& p = app_.placements[slot_];
    move(ToPixels(p.left), ToPixels(p.top));
    resize(std::max(ToPixels(p.width), 1), std::max(ToPixels(p.height), 1));
    loading_ = false;
}

int PlotWindow::windowWidthTwips() const { return ToTwips(width()); }
int PlotWindow::windowHeightTwips() const { return ToTwips(height()); }

void PlotWindow::storePlacement() {
    app_.placements[slot_] = {ToTwips(x()), ToTwips(y()), ToTwips(width()), ToTwips(height())};
}

const DisplayList& PlotWindow::displayList() const { return surface_->displayList(); }

// --- Layers ----------------------------------------------------------------------------------

void PlotWindow::finishPlot(const PlotScale& scale, const AxisLabels& labels) {
    scale_ = scale;
    PlaceAxisLabels(Label, labels);
    markers_.clear();
    curve_.Clear();
    showDrawing();
}

void PlotWindow::drawWorkingCurve(const FrameMargins& margins) {
    const PlotFrame frame = FrameForWindow(windowWidthTwips(), windowHeightTwips(), margins);
    const PlotScale scale = WorkingScale(frame, app_.data);
    const int h = std::clamp(windowHeightTwips(), 0, 32767);
    AxisLabels labels;
    DrawFrame(plot_, frame, std::nullopt);  // no background: the window keeps its own colour
    DrawWorkingPoints(plot_, scale, app_.data);
    const AxisGrid timeGrid = GridFor(scale.time);
    DrawTimeGrid(plot_, scale, timeGrid);
    TimeLabels(labels, scale, timeGrid, h - 1800, h - 1600);
    const AxisGrid magGrid = GridFor(scale.mag);
    DrawMagGrid(plot_, scale, magGrid);
    MagLabels(labels, scale, magGrid, 6);
    finishPlot(scale, labels);
}

void PlotWindow::setMarker(int slot, double x) { markers_[slot] = x; }

void PlotWindow::removeMarker(int slot) { markers_.erase(slot); }

void PlotWindow::setCurve(const DisplayList& curve) { curve_ = curve; }

void PlotWindow::showDrawing() {
    DisplayList shown = plot_;
    const PlotFrame& f = scale_.frame;
    shown.SetColour(kPurple);
    for (const auto& [slot, x] : markers_) shown.Line(x, f.PlotTop, x, f.PlotBottom);
    shown.Append(curve_);
    surface_->setDisplayList(shown);
}

bool PlotWindow::onFrame(double x, double y) const {
    const PlotFrame& f = scale_.frame;
    return f.PlotLeft <= x && x <= f.PlotRight && f.PlotTop <= y && y <= f.PlotBottom;
}

void PlotWindow::useCrossHairInFrame() { surface_->setCrossHairFrame(scale_.frame); }

// --- Controls --------------------------------------------------------------------------------

QPushButton* PlotWindow::addButton(const char* name, const QString& caption, int width,
                                   int height) {
    auto* b = new QPushButton(caption, surface_);
    b->setObjectName(name);
    b->setAutoDefault(true);  // Enter presses the button that has the focus, as Space does
    b->resize(ToPixels(width), ToPixels(height));
    return b;
}

QLabel* PlotWindow::addLabel(const char* name, const QString& caption, int width, int height) {
    auto* l = new QLabel(caption, surface_);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->resize(ToPixels(width), ToPixels(height));
    return l;
}

QLineEdit* PlotWindow::addTextBox(const char* name, const QString& text, int width, int height) {
    auto* t = new QLineEdit(text, surface_);
    t->setObjectName(name);
    t->resize(ToPixels(width), ToPixels(height));
    return t;
}

void PlotWindow::place(QWidget* control, int left, int top) {
    control->move(ToPixels(left), ToPixels(top));
}

// --- Events ----------------------------------------------------------------------------------

void PlotWindow::plotPressed(Qt::MouseButton, double, double) {}

void PlotWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!loading_) storePlacement();
}

// The old program shrank a window by one twip after each resize to force a second redraw; a
// twip is a fifteenth of a pixel here, so that shrink would not change the size at all and the
// single redraw is all there is to do.
void PlotWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (loading_) return;
    storePlacement();
    resized();
}

void PlotWindow::closeEvent(QCloseEvent* event) {
    storePlacement();
    QMainWindow::closeEvent(event);
}

}  // namespace umbrix
