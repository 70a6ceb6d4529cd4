#include "timing/gui/plot/plot_data_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "tests/timing/gui/plot_fixture.h"
#include "timing/gui/main/plot_data_launcher.h"
#include "timing/core/session/app_state.h"
#include "timing/gui/plot/plot_view.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {
namespace {

int CountColour(const DisplayList& list, Rgb colour, DrawKind kind) {
    int n = 0;
    for (const DrawCommand& c : list.Commands()) n += c.colour == colour && c.kind == kind;
    return n;
}

// A cross-hair of arms `arm` long about (x, y), each arm cut a pixel (15 twips) outside the
// frame where it reaches past it.
bool HasCrossAt(const DisplayList& list, const PlotFrame& f, Rgb colour, double x, double y, double arm) {
    const double left = std::max(x - arm, f.PlotLeft - 15.0), right = std::min(x + arm, f.PlotRight + 15.0);
    const double top = std::max(y - arm, f.PlotTop - 15.0), bottom = std::min(y + arm, f.PlotBottom + 15.0);
    int n = 0;
    for (const DrawCommand& c : list.Commands()) {
        if (c.kind != DrawKind::Line || !(c.colour == colour)) continue;
        n += c.x1 == left && c.y1 == y && c.x2 == right && c.y2 == y;
        n += c.x1 == x && c.y1 == top && c.x2 == x && c.y2 == bottom;
    }
    return n == 2;
}

class PlotDataWindowTest : public testing::Test {
protected:
    void SetUp() override {
        app_.data = EclipseFixture();
        previous_ = setMessageHandler([this](QWidget*, const QString& text) { messages_ << text; });
        window_ = std::make_unique<frmPlotData>(app_.data, placements_[kPlotDataWindow], printer_);
        window_->showPlot();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        setMessageHandler(previous_);
    }

    frmPlotData& W() { return *window_; }
    // Clicks the surface where point i is drawn (pixels = twips / 15).
    void ClickPoint(int i, Qt::MouseButton button = Qt::LeftButton) {
        const PlotScale& s = W().plot().scale;
        const QPoint at(static_cast<int>(std::lround(s.X(app_.data.AllTime[i]) / kTwipsPerPixel)),
                        static_cast<int>(std::lround(s.Y(app_.data.AllMag[i]) / kTwipsPerPixel)));
        QTest::mouseClick(W().surface(), button, {}, at);
    }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    AppState app_;
    Placements placements_ = DefaultPlacements();
    CurrentPrinter printer_;
    std::unique_ptr<frmPlotData> window_;
    QStringList messages_;
    MessageHandler previous_;
};

TEST_F(PlotDataWindowTest, OpensAtTheStoredPlacementWithItsCaption) {
    EXPECT_EQ(W().windowTitle(), "Light Curve - LEFT-CLICK TO DELETE (or undelete) A POINT.");
    // Default line 7 of the settings: 8100, 1500, 6675, 4245 twips.
    EXPECT_EQ(W().pos(), QPoint(540, 100));
    EXPECT_EQ(W().size(), QSize(445, 283));
    EXPECT_EQ(W().plot().scale.frame.PlotRight, 445 * 15 - 415);
    EXPECT_EQ(W().Label[1]->text(), "   0.45");
    // The steps say what they are, so that they do not read as a third value of an axis.
    EXPECT_EQ(W().Label[6]->text(), "grid 0.05 mag");
    EXPECT_EQ(W().findChild<QLabel*>("Label3")->text(), "grid 0.01 d");
}

TEST_F(PlotDataWindowTest, LeftClickPicksTheNearestPointAndFillsTheActionDialog) {
    ClickPoint(3);
    EXPECT_EQ(app_.data.SelectedPoint, 3);
    frmAction* action = W().action();
    EXPECT_TRUE(action->isVisible());
    EXPECT_EQ(action->windowTitle(), "Action");
    EXPECT_EQ(action->Text1->text(), " 3");
    // FormatFixed(t, 12, 6) of the relative time: 2454123.49 - 2454123 is not exactly 0.49,
    // so the text is rounded and keeps only the decimals the rounded value has.
    EXPECT_EQ(action->Text2->text(), "        0.49");
    EXPECT_EQ(action->Text3->text(), "  12.450");      // FormatFixed(m, 8, 3)
    const PlotScale& s = W().plot().scale;
    EXPECT_TRUE(HasCrossAt(W().displayList(), s.frame, kBlue, s.X(app_.data.AllTime[3]),
                           s.Y(app_.data.AllMag[3]), 200));
    // The cross-hair outlives the redraws that focus changes cause while the dialog is open.
    W().PlotLightCurve();
    EXPECT_EQ(CountColour(W().displayList(), kBlue, DrawKind::Line), 2);
}

// Where the picked point is drawn on the screen, in global pixels.
QPoint PointOnScreen(frmPlotData& w, const DataSet& ds, int i) {
    const PlotScale& s = w.plot().scale;
    return w.surface()->mapToGlobal(
        QPoint(static_cast<int>(std::lround(s.X(ds.AllTime[i]) / kTwipsPerPixel)),
               static_cast<int>(std::lround(s.Y(ds.AllMag[i]) / kTwipsPerPixel))));
}

struct PlacementRow {
    const char* name;
    int point;
    bool windowAtRightEdge;  // the plot window pushed against the screen's right edge
};

class ActionPlacementTest : public PlotDataWindowTest,
                            public testing::WithParamInterface<PlacementRow> {};

// Where the plot's frame lies on the screen, in global pixels.
QRect PlotAreaOnScreen(frmPlotData& w) {
    const PlotFrame& f = w.plot().scale.frame;
    return QRect(w.surface()->mapToGlobal(QPoint(f.PlotLeft / 15, f.PlotTop / 15)),
                 w.surface()->mapToGlobal(QPoint(f.PlotRight / 15, f.PlotBottom / 15)));
}

// The dialog stands beside the plot's frame, so that neither the picked point nor the eclipse
// it is judged against is hidden, and wholly on the screen, also with the window against
// either edge of the screen.
TEST_P(ActionPlacementTest, DialogStandsBesideThePlotAndOnTheScreen) {
    const QRect screen = W().screen()->availableGeometry();
    W().move(GetParam().windowAtRightEdge ? screen.right() + 1 - W().frameGeometry().width()
                                          : screen.left(),
             screen.top() + 40);
    QApplication::processEvents();
    const int i = GetParam().point;
    ClickPoint(i);
    ASSERT_EQ(app_.data.SelectedPoint, i);
    const QPoint at = PointOnScreen(W(), app_.data, i);
    ASSERT_TRUE(screen.contains(at)) << "the point itself is on the screen";
    const QRect plot = PlotAreaOnScreen(W());
    const QRect dialog = W().action()->frameGeometry();
    EXPECT_FALSE(dialog.intersects(plot))
        << "dialog " << dialog.x() << "," << dialog.y() << " " << dialog.width() << "x"
        << dialog.height() << " plot " << plot.x() << "," << plot.y() << " " << plot.width() << "x"
        << plot.height();
    EXPECT_TRUE(screen.contains(dialog));
    // Beside it, not somewhere far off: within 60 pixels of the frame on one side (left of
    // the frame it also keeps clear of the values there, some 40 pixels).
    const int away = std::min({std::abs(dialog.left() - plot.right()), std::abs(plot.left() - dialog.right()),
                               std::abs(dialog.top() - plot.bottom()), std::abs(plot.top() - dialog.bottom())});
    EXPECT_LE(away, 60);
}

// A plot that fills the screen leaves no side free: the dialog then stands beside the point, its
// cross-hair (13.3 pixels each way) in sight.
TEST_F(PlotDataWindowTest, OnAPlotFillingTheScreenTheDialogStandsBesideThePoint) {
    const QRect screen = W().screen()->availableGeometry();
    W().setGeometry(screen);
    QApplication::processEvents();
    ClickPoint(3);
    ASSERT_EQ(app_.data.SelectedPoint, 3);
    const QPoint at = PointOnScreen(W(), app_.data, 3);
    const QRect dialog = W().action()->frameGeometry();
    EXPECT_FALSE(dialog.intersects(QRect(at - QPoint(14, 14), at + QPoint(14, 14))));
    EXPECT_TRUE(screen.contains(dialog));
}

INSTANTIATE_TEST_SUITE_P(
    Points, ActionPlacementTest,
    testing::Values(PlacementRow{"EarliestPointAtTheScreensLeft", 1, false},
                    PlacementRow{"FaintestPoint", 3, false},
                    PlacementRow{"LatestPointAtTheScreensRight", 5, true}),
    [](const testing::TestParamInfo<PlacementRow>& info) { return std::string(info.param.name); });

TEST_F(PlotDataWindowTest, SecondPickWhileTheDialogIsOpenMovesTheOneCrossHair) {
    W().move(W().screen()->availableGeometry().topLeft() + QPoint(20, 40));
    QApplication::processEvents();
    ClickPoint(1);
    const QRect first = W().action()->frameGeometry();
    ClickPoint(5);
    EXPECT_EQ(app_.data.SelectedPoint, 5);
    EXPECT_EQ(W().action()->Text1->text(), " 5");
    const PlotScale& s = W().plot().scale;
    EXPECT_EQ(CountColour(W().displayList(), kBlue, DrawKind::Line), 2);
    EXPECT_TRUE(HasCrossAt(W().displayList(), s.frame, kBlue, s.X(app_.data.AllTime[5]),
                           s.Y(app_.data.AllMag[5]), 200));
    // The dialog stays beside the plot, where it stood for the first pick.
    EXPECT_EQ(W().action()->frameGeometry(), first);
    EXPECT_FALSE(first.intersects(PlotAreaOnScreen(W())));
}

TEST_F(PlotDataWindowTest, OtherButtonsPickNothing) {
    ClickPoint(3, Qt::RightButton);
    EXPECT_FALSE(W().action()->isVisible());
    EXPECT_EQ(app_.data.SelectedPoint, 0);
}

TEST_F(PlotDataWindowTest, DeleteThenUndeleteChangesTheWorkingSetButNeverTheScale) {
    QSignalSpy counts(&W(), &frmPlotData::editedCountChanged);
    const PlotScale before = W().plot().scale;

    ClickPoint(1);  // the earliest point: deleting it moves the working TimeMin
    Click(W().action()->Command1);
    ASSERT_EQ(counts.count(), 1);
    EXPECT_EQ(counts.at(0).at(0).toInt(), 4);
    EXPECT_EQ(app_.data.PointCount, 4);
    EXPECT_TRUE(app_.data.Deleted[1]);
    EXPECT_GT(app_.data.TimeMin, app_.data.FullTimeMin);
    EXPECT_FALSE(W().action()->isVisible());
    EXPECT_EQ(CountColour(W().displayList(), kRed, DrawKind::Circle), 15 * 4);
    EXPECT_EQ(CountColour(W().displayList(), kRed, DrawKind::Line), 2);  // the cross
    EXPECT_EQ(CountColour(W().displayList(), kBlue, DrawKind::Line), 0);

    ClickPoint(1);  // the cross is picked like any point
    EXPECT_EQ(app_.data.SelectedPoint, 1);
    Click(W().action()->Command2);
    ASSERT_EQ(counts.count(), 2);
    EXPECT_EQ(counts.at(1).at(0).toInt(), 5);
    EXPECT_FALSE(app_.data.Deleted[1]);
    EXPECT_EQ(CountColour(W().displayList(), kRed, DrawKind::Circle), 15 * 5);
    EXPECT_EQ(CountColour(W().displayList(), kRed, DrawKind::Line), 0);

    const PlotScale& after = W().plot().scale;
    EXPECT_EQ(after.time.min, before.time.min);
    EXPECT_EQ(after.time.span, before.time.span);
    EXPECT_EQ(after.mag.min, before.mag.min);
    EXPECT_EQ(after.mag.span, before.mag.span);
    EXPECT_EQ(W().Label[1]->text(), "   0.45");
}

TEST_F(PlotDataWindowTest, CancelRemovesTheCrossHairAndChangesNothing) {
    QSignalSpy counts(&W(), &frmPlotData::editedCountChanged);
    ClickPoint(2);
    Click(W().action()->Command3);
    EXPECT_FALSE(W().action()->isVisible());
    EXPECT_EQ(CountColour(W().displayList(), kBlue, DrawKind::Line), 0);
    EXPECT_EQ(app_.data.PointCount, 5);
    EXPECT_EQ(counts.count(), 0);
}

TEST_F(PlotDataWindowTest, ResizeStoresThePlacementAndRedrawsForTheNewSize) {
    W().resize(600, 400);
    QApplication::processEvents();
    EXPECT_EQ(placements_[kPlotDataWindow].width, 9000);
    EXPECT_EQ(placements_[kPlotDataWindow].height, 6000);
    EXPECT_EQ(W().plot().scale.frame.PlotRight, 9000 - 415);
    EXPECT_EQ(W().plot().scale.frame.PlotBottom, 6000 - 1850);
    EXPECT_DOUBLE_EQ(W().plot().labels[1].top, 6000 - 1800);
}

TEST_F(PlotDataWindowTest, ExitHidesAndCloseStoresThePlacement) {
    W().menu.mExit->trigger();
    EXPECT_FALSE(W().isVisible());
    W().showPlot();
    W().move(300, 200);
    W().close();
    EXPECT_EQ(placements_[kPlotDataWindow].left, 4500);
    EXPECT_EQ(placements_[kPlotDataWindow].top, 3000);
}

TEST_F(PlotDataWindowTest, FileMenuCarriesThePrintItems) {
    EXPECT_EQ(W().menu.mFile->title(), "File");
    EXPECT_EQ(W().menu.mPrintSetup->text(), "Print Setup ...");
    EXPECT_EQ(W().menu.mPrint->text(), "Print");
    EXPECT_TRUE(W().menu.mDash->isSeparator());
    EXPECT_EQ(W().menu.mExit->text(), "Exit");
    EXPECT_EQ(W().findChild<QAction*>("mExportImage")->text(), "Export Image ...");
}

TEST(PlotDataLauncher, CloseBoxUnloadsAndTheNextShowReopensAtTheStoredPlacement) {
    AppState app;
    app.data = EclipseFixture();
    CurrentPrinter printer;
    Placements placements = DefaultPlacements();
    PlotDataLauncher launcher(app.data, placements[kPlotDataWindow], printer);
    QSignalSpy counts(&launcher, &PlotDataLauncher::editedCountChanged);
    launcher.show();
    QPointer<frmPlotData> first = launcher.window();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    first->Form_MouseDown(Qt::LeftButton, first->plot().scale.X(app.data.AllTime[4]),
                          first->plot().scale.Y(app.data.AllMag[4]));
    first->Delete_Click();
    ASSERT_EQ(counts.count(), 1);
    EXPECT_EQ(counts.at(0).at(0).toInt(), 4);

    first->move(120, 60);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(launcher.window(), nullptr);

    launcher.show();
    ASSERT_NE(launcher.window(), nullptr);
    EXPECT_EQ(launcher.window()->pos(), QPoint(120, 60));
    // The deleted point is still deleted: the window draws it as a cross again.
    EXPECT_EQ(CountColour(launcher.window()->displayList(), kRed, DrawKind::Line), 2);

    // "-Mags (inverted)" in the main window: the shown window follows at once.
    SetMagSign(app.data, 1);
    launcher.refresh();
    EXPECT_LT(launcher.window()->plot().scale.mag.max, 0);
    launcher.window()->move(90, 30);
    launcher.storePlacement();
    EXPECT_EQ(placements[kPlotDataWindow].left, 1350);

    launcher.lightCurveLoaded();
    EXPECT_FALSE(launcher.window()->isVisible());
    EXPECT_TRUE(launcher.window()->displayList().Commands().empty());
    EXPECT_TRUE(launcher.window()->Label[1]->text().isEmpty());
    delete launcher.window();
}

}  // namespace
}  // namespace umbrix
