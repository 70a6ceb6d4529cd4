#include "timing/gui/plot/plot_window.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "timing/gui/plot/plot_view.h"

namespace umbrix {

namespace {

int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

int ToTwips(int pixels) {
    // Placements are 16-bit twips in the settings file.
    return std::clamp(static_cast<int>(std::lround(pixels * kTwipsPerPixel)), -32768, 32767);
}

}  // namespace

QString IndexText(int index) { return (index >= 0 ? " " : "") + QString::number(index); }

PlotWindow::PlotWindow(DataSet& data, WindowPlacement& placement, CurrentPrinter& printer,
                       const QString& name, QWidget* parent)
    : QMainWindow(parent, Qt::Window), data_(data), placement_(placement) {
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
    // A printed page or an exported image names the light curve and the window it came from.
    menu = AddPlotFileMenu(this, printer, [this] {
        const QString file = QString::fromStdString(data_.DataFileName);
        return file.isEmpty() ? windowTitle() : file + "  -  " + windowTitle();
    });
    connect(surface_, &PlotView::pressed, this, &PlotWindow::plotPressed);
    connect(surface_, &PlotView::wheelTurned, this, [this](double x, double y, double notches) {
        setZoom(ZoomAbout(zoom_, scale_.frame, x, y, std::pow(kZoomPerNotch, -notches)));
    });
    connect(surface_, &PlotView::dragged, this,
            [this](double dx, double dy) { setZoom(PanBy(zoom_, scale_.frame, dx, dy)); });
    connect(surface_, &PlotView::doubleClicked, this, [this](double, double) { setZoom({}); });
    surface_->setToolTip("Mouse wheel: zoom about the pointer. Drag: move the plot. "
                         "Double-click: show the whole plot again.");
}

void PlotWindow::setZoom(const PlotZoom& zoom) {
    if (zoom == zoom_) return;
    zoom_ = zoom;
    resized();
}

PlotWindow::~PlotWindow() = default;

void PlotWindow::Go() {
    show();
    raise();
    activateWindow();
    resized();
}

void PlotWindow::applyStoredPlacement(int minimumHeight) {
    loading_ = true;
    int controlsRight = 0;
    for (QWidget* control : surface_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (std::find(Label.begin(), Label.end(), control) == Label.end())
            controlsRight = std::max(controlsRight, control->geometry().right() + 1);
    if (controlsRight > 0) {
        constexpr int kRightMargin = 16;  // pixels right of the last control
        setMinimumSize(controlsRight + kRightMargin, ToPixels(minimumHeight));
    }
    takePlacement(placement_);
    loading_ = false;
}

void PlotWindow::takePlacement(const WindowPlacement& p) {
    move(ToPixels(p.left), ToPixels(p.top));
    resize(std::max(ToPixels(p.width), 1), std::max(ToPixels(p.height), 1));
    // Where the minimum size made the window wider or higher than p, the extra must not push
    // it off the screen: it moves back by as much as it grew, no further.
    const QRect screen = this->screen()->availableGeometry();
    const int grewX = width() - ToPixels(p.width), grewY = height() - ToPixels(p.height);
    const int overX = x() + frameGeometry().width() - 1 - screen.right();
    const int overY = y() + frameGeometry().height() - 1 - screen.bottom();
    if ((grewX > 0 && overX > 0) || (grewY > 0 && overY > 0))
        move(std::max(screen.left(), x() - std::clamp(overX, 0, std::max(grewX, 0))),
             std::max(screen.top(), y() - std::clamp(overY, 0, std::max(grewY, 0))));
}

void PlotWindow::placeAt(const WindowPlacement& p) {
    loading_ = true;
    takePlacement(p);
    loading_ = false;
    storePlacement();
    resized();
}

int PlotWindow::windowWidthTwips() const { return ToTwips(width()); }
int PlotWindow::windowHeightTwips() const { return ToTwips(height()); }

void PlotWindow::storePlacement() {
    placement_ = {ToTwips(x()), ToTwips(y()), ToTwips(width()), ToTwips(height())};
}

const DisplayList& PlotWindow::displayList() const { return surface_->displayList(); }

// --- Layers ----------------------------------------------------------------------------------

void PlotWindow::finishPlot(const PlotScale& scale, const AxisLabels& labels) {
    scale_ = scale;
    if (zoom_.Whole()) whole_ = scale;
    PlaceAxisLabels(Label, labels);
    markers_.clear();
    curve_.Clear();
    showDrawing();
}

void PlotWindow::drawPlot(const PlotScale& whole,
                          const std::function<void(DisplayList&, const PlotScale&)>& drawPoints,
                          double timeValuesTop, double timeStepTop) {
    const PlotScale scale = ZoomedScale(whole, zoom_);
    AxisLabels labels;
    DrawFrame(plot_, scale.frame, std::nullopt);  // no background: the window's own colour
    drawPoints(plot_, scale);
    const AxisGrid timeGrid = GridFor(scale.time);
    DrawTimeGrid(plot_, scale, timeGrid);
    TimeLabels(labels, scale, timeGrid, timeValuesTop, timeStepTop);
    const AxisGrid magGrid = GridFor(scale.mag);
    DrawMagGrid(plot_, scale, magGrid);
    MagLabels(labels, scale, magGrid, 6);
    addReadableAxes(labels, scale, timeGrid, magGrid);
    whole_ = whole;
    finishPlot(scale, labels);
}

void PlotWindow::addReadableAxes(AxisLabels& labels, const PlotScale& scale,
                                 const AxisGrid& timeGrid, const AxisGrid& magGrid) {
    const QFontMetricsF font(Label[1]->font());
    const TextMetrics metrics{font.horizontalAdvance(QLatin1Char('0')) * kTwipsPerPixel,
                              font.height() * kTwipsPerPixel};
    ReadableAxes(plot_, labels, scale, timeGrid, magGrid,
                 TimeAxisTitle(data_.TimeScale, data_.DayOffset), metrics);
}

void PlotWindow::drawWorkingCurve(const FrameMargins& margins) {
    const PlotFrame frame = FrameForWindow(windowWidthTwips(), windowHeightTwips(), margins);
    const PlotScale scale = WorkingScale(frame, data_);
    const int h = std::clamp(windowHeightTwips(), 0, 32767);
    drawPlot(
        scale, [&](DisplayList& list, const PlotScale& shown) { DrawWorkingPoints(list, shown, data_); },
        h - 1800, h - 1600);
    surface_->setCrossHairFrame(scale_.frame);
}

void PlotWindow::setMarker(int slot, double x) { markers_[slot] = x; }


void PlotWindow::setCurve(const DisplayList& curve) { curve_ = curve; }

void PlotWindow::showDrawing() {
    DisplayList shown = plot_;
    const PlotFrame& f = scale_.frame;
    shown.SetColour(kPurple);
    for (const auto& [slot, x] : markers_) shown.Line(x, f.PlotTop, x, f.PlotBottom);
    shown.Append(curve_);
    // Cut a pixel outside the frame: the frame's own line is a pixel wide, and the faintest
    // point, which lies on its bottom edge, keeps its dot whatever the rounding of its y. A
    // frame turned inside out (a window smaller than its margins) clips to its own edges.
    const double slack = kTwipsPerPixel;
    const ClipRect frame{std::min(f.PlotLeft, f.PlotRight) - slack, std::min(f.PlotTop, f.PlotBottom) - slack,
                         std::max(f.PlotLeft, f.PlotRight) + slack, std::max(f.PlotTop, f.PlotBottom) + slack};
    surface_->setDisplayList(ClippedTo(shown, frame));
}

bool PlotWindow::onFrame(double x, double y) const {
    const PlotFrame& f = scale_.frame;
    return f.PlotLeft <= x && x <= f.PlotRight && f.PlotTop <= y && y <= f.PlotBottom;
}

bool PlotWindow::nearFrame(double x, double y) const {
    const PlotFrame& f = scale_.frame;
    const double slack = kTwipsPerPixel;
    return f.PlotLeft - slack <= x && x <= f.PlotRight + slack && f.PlotTop - slack <= y &&
           y <= f.PlotBottom + slack;
}

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
    // Never narrower than its caption in the font the screen shows.
    l->resize(std::max(ToPixels(width), l->sizeHint().width()), ToPixels(height));
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

void PlotWindow::layOut(std::vector<ControlPlace> places) {
    constexpr int kGap = 4;       // pixels between neighbours that had to move apart
    constexpr int kRowSlack = 2;  // rows of labels may touch by this much and still pass
    std::stable_sort(places.begin(), places.end(),
                     [](const ControlPlace& a, const ControlPlace& b) { return a.left < b.left; });
    std::vector<QRect> placed;
    // Controls asked for the same left form a column and move together, so that a caption
    // pushed aside keeps its value under the one above.
    for (auto column = places.begin(); column != places.end();) {
        const auto end = std::find_if(column, places.end(), [&](const ControlPlace& p) {
            return p.left != column->left;
        });
        int left = ToPixels(column->left);
        for (auto p = column; p != end; ++p) {
            const int top = ToPixels(p->top), bottom = top + p->control->height() - 1;
            for (const QRect& q : placed)
                if (q.top() + kRowSlack < bottom && top + kRowSlack < q.bottom())
                    left = std::max(left, q.right() + 1 + kGap);
        }
        for (auto p = column; p != end; ++p) {
            p->control->move(left, ToPixels(p->top));
            placed.push_back(p->control->geometry());
        }
        column = end;
    }
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
