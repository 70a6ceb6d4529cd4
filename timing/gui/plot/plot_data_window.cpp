#include "timing/gui/plot/plot_data_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "timing/core/data/format.h"
#include "timing/gui/named.h"
#include "timing/gui/plot/plot_view.h"

namespace umbrix {

// --- frmAction -------------------------------------------------------------------------------

frmAction::frmAction(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAction");
    setWindowTitle("Action");
    setModal(false);
    auto* grid = new QGridLayout(this);
    Label1 = Named(new QLabel("Index", this), "Label1");
    Text1 = Named(new QLineEdit(this), "Text1");
    Label2 = Named(new QLabel("HJD", this), "Label2");
    Text2 = Named(new QLineEdit(this), "Text2");
    Label3 = Named(new QLabel("Magn", this), "Label3");
    Text3 = Named(new QLineEdit(this), "Text3");
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Text3, 2, 1);
    auto* buttons = new QHBoxLayout;
    Command1 = Named(new QPushButton("Delete", this), "Command1");
    Command2 = Named(new QPushButton("Undelete", this), "Command2");
    Command3 = Named(new QPushButton("Cancel", this), "Command3");
    for (QPushButton* b : {Command1, Command2, Command3}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    grid->addLayout(buttons, 3, 0, 1, 2);
    Label1->setToolTip("The picked point's number in the file.");
    Text1->setToolTip(Label1->toolTip());
    Label2->setToolTip("The picked point's time (HJD).");
    Text2->setToolTip(Label2->toolTip());
    Label3->setToolTip("The picked point's magnitude.");
    Text3->setToolTip(Label3->toolTip());
    Command1->setToolTip("Leave the point out of every method (drawn as a cross).");
    Command2->setToolTip("Take the point back among the working points.");
    Command3->setToolTip("Close without changing the point.");
    connect(Command1, &QPushButton::clicked, this, &frmAction::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmAction::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmAction::Command3_Click);
    // Its own size from the start: the picked point's window places it by that size before
    // it is first shown.
    adjustSize();
}

void frmAction::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    emit cancelChosen();
}

QRect PlaceBeside(const QRect& keepClear, const QSize& size, const QRect& screen, const QRect& avoid) {
    constexpr int kGap = 8;  // pixels between the cross-hair's arms and the window
    // Slides a window along one side so that it stays on the screen where it can.
    const auto alongY = [&](int y) {
        return std::max(screen.top(), std::min(y, screen.bottom() + 1 - size.height()));
    };
    const auto alongX = [&](int x) {
        return std::max(screen.left(), std::min(x, screen.right() + 1 - size.width()));
    };
    const QPoint c = keepClear.center();
    const QRect right(QPoint(keepClear.right() + 1 + kGap, alongY(c.y() - size.height() / 2)), size);
    const QRect left(QPoint(keepClear.left() - kGap - size.width(), alongY(c.y() - size.height() / 2)),
                     size);
    const QRect below(QPoint(alongX(c.x() - size.width() / 2), keepClear.bottom() + 1 + kGap), size);
    const QRect above(QPoint(alongX(c.x() - size.width() / 2), keepClear.top() - kGap - size.height()),
                      size);
    for (const QRect& r : {right, left, below, above})
        if (screen.contains(r) && !(avoid.isValid() && r.intersects(avoid))) return r;
    for (const QRect& r : {right, left, below, above})
        if (screen.contains(r)) return r;
    return QRect(QPoint(alongX(right.left()), right.top()), size);
}

// --- frmPlotData -----------------------------------------------------------------------------

frmPlotData::frmPlotData(DataSet& data, WindowPlacement& placement, CurrentPrinter& printer,
                         QWidget* parent)
    : PlotWindow(data, placement, printer, "frmPlotData", parent) {
    setWindowTitle("Plot Data");
    action_ = new frmAction(this);
    connect(surface(), &PlotView::dropped, this, &frmPlotData::PlotLightCurve);
    connect(action_, &frmAction::deleteChosen, this, &frmPlotData::Delete_Click);
    connect(action_, &frmAction::undeleteChosen, this, &frmPlotData::Undelete_Click);
    connect(action_, &frmAction::cancelChosen, this, &frmPlotData::Cancel_Click);
    applyStoredPlacement();
    setWindowTitle(kCaption);
}

frmPlotData::~frmPlotData() = default;

void frmPlotData::clearAndHide() {
    marked_ = false;
    action_->hide();
    plotList().Clear(kWhite);
    plot_ = {};
    for (int i = 1; i <= 6; ++i) Label[i]->clear();
    finishPlot(plot_.scale, plot_.labels);
    hide();
}

void frmPlotData::PlotLightCurve() {
    plot_ = umbrix::PlotLightCurve(plotList(), data_, windowWidthTwips(), windowHeightTwips(), zoom());
    addReadableAxes(plot_.labels, plot_.scale, plot_.timeGrid, plot_.magGrid);
    finishPlot(plot_.scale, plot_.labels);
    if (marked_) markPickedPoint();
}

// The blue cross-hair over the picked point, drawn over the plot.
void frmPlotData::markPickedPoint() {
    const DataSet& ds = data_;
    const int i = std::clamp(ds.SelectedPoint, 0, kMaxPoints);
    DisplayList crossHair;
    DrawCrossHair(crossHair, plot_.scale.X(ds.AllTime[i]), plot_.scale.Y(ds.AllMag[i]));
    setCurve(crossHair);
    showDrawing();
}

void frmPlotData::Form_MouseDown(Qt::MouseButton button, double x, double y) {
    // Below the frame lie the axis values, above it the menu: a click there is no pick.
    if (button != Qt::LeftButton || !nearFrame(x, y)) return;
    DataSet& ds = data_;
    const double t = plot_.scale.TimeAt(x);
    const double m = plot_.scale.MagAt(y);
    ds.SelectedPoint = NearestPoint(ds, t, m);
    const int i = ds.SelectedPoint;

    marked_ = true;
    markPickedPoint();

    action_->Text1->setText(IndexText(i));
    action_->Text2->setText(QString::fromStdString(FormatFixed(ds.AllTime[i], 12, 6)));
    action_->Text3->setText(QString::fromStdString(FormatFixed(ds.AllMag[i], 8, 3)));
    // Placed before it shows, so that it never flashes over the point, and again once shown,
    // when the size of its frame may be known.
    placeAction();
    action_->show();
    placeAction();
}

// Over the plot the dialog would hide the eclipse's bottom or a branch the user is judging the
// point against: it goes beside the plot's frame where the screen has room, and only when the
// plot fills the screen beside the picked point, which with its cross-hair then stays in sight.
void frmPlotData::placeAction() {
    const DataSet& ds = data_;
    const int i = std::clamp(ds.SelectedPoint, 0, kMaxPoints);
    const QPoint at = surface()->mapToGlobal(
        QPoint(static_cast<int>(std::lround(plot_.scale.X(ds.AllTime[i]) / kTwipsPerPixel)),
               static_cast<int>(std::lround(plot_.scale.Y(ds.AllMag[i]) / kTwipsPerPixel))));
    const int arm = static_cast<int>(std::ceil(kCrossHairArm / kTwipsPerPixel));
    const QRect keepClear(at - QPoint(arm, arm), at + QPoint(arm, arm));
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = this->screen();
    // The frame, title bar included; before the window system has framed the dialog, a title
    // bar of the style's height is allowed for above the widget.
    QSize size = action_->size();
    const QRect frame = action_->frameGeometry();
    if (frame.size() != action_->size())
        size += frame.size() - action_->size();
    else
        size.rheight() += action_->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const PlotFrame& f = plot_.scale.frame;
    const auto toGlobal = [&](double x, double y) {
        return surface()->mapToGlobal(QPoint(static_cast<int>(std::lround(x / kTwipsPerPixel)),
                                             static_cast<int>(std::lround(y / kTwipsPerPixel))));
    };
    const QRect plotArea(toGlobal(f.PlotLeft, f.PlotTop), toGlobal(f.PlotRight, f.PlotBottom));
    // The plot with what reads it: the values left of the frame (drawn from the surface's left
    // edge) and the axis labels and titles around it.
    QRect withValues = plotArea.united(QRect(QPoint(surface()->mapToGlobal(QPoint(0, 0)).x(), plotArea.top()),
                                             plotArea.bottomLeft()));
    for (const QLabel* label : Label)
        if (label && label->isVisible() && !label->text().isEmpty())
            withValues |= QRect(label->mapToGlobal(QPoint(0, 0)), label->size());
    // Nor over the main window, whose rows the user reads while judging the point.
    const QRect main = parentWidget() ? parentWidget()->window()->frameGeometry() : QRect();
    const QRect available = screen->availableGeometry();
    QRect place = PlaceBeside(withValues, size, available, main);
    if (place.intersects(withValues) || !available.contains(place)) place = PlaceBeside(plotArea, size, available, main);
    if (place.intersects(plotArea)) place = PlaceBeside(keepClear, size, available);
    // move() places the frame's corner; the inner size is what resize() takes.
    action_->move(place.topLeft());
}

void frmPlotData::setPicked(bool deleted) {
    // An index outside the points read (no point was near enough) changes nothing.
    const bool changed = SetDeleted(data_, data_.SelectedPoint, deleted);
    action_->hide();
    marked_ = false;
    PlotLightCurve();
    if (changed) emit editedCountChanged(data_.PointCount);
}

void frmPlotData::Delete_Click() { setPicked(true); }

void frmPlotData::Undelete_Click() { setPicked(false); }

void frmPlotData::Cancel_Click() {
    action_->hide();
    marked_ = false;
    PlotLightCurve();
}

// Getting and losing focus both redraw from scratch; the cross-hair of an open pick is part
// of the redraw, so it survives the focus moving to frmAction.
void frmPlotData::changeEvent(QEvent* event) {
    PlotWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible()) PlotLightCurve();
}

void frmPlotData::closeEvent(QCloseEvent* event) {
    action_->hide();
    marked_ = false;
    PlotWindow::closeEvent(event);
}

}  // namespace umbrix
