// Where the plot windows open on a 1280 x 1024 screen (the offscreen platform given that
// screen by this program's test environment): with no zzzumb.ini, clear of the main window
// and on the screen; with one, where it says.

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <cmath>

#include "tests/timing/gui/method_window_fixture.h"
#include "timing/core/files/settings_file.h"
#include "timing/gui/main/plot_data_launcher.h"
#include "timing/gui/plot/plot_data_window.h"

namespace umbrix {
namespace {

class PlacementTest : public MethodWindowTest {
protected:
    // The five method windows and the plot/edit window, each opened as a user opens it.
    std::vector<PlotWindow*> OpenAll() {
        std::vector<PlotWindow*> windows;
        for (int row = 1; row <= 5; ++row) Press(Window().Command[row]);
        windows = {windows_->parabola(), windows_->tracing(), windows_->chords(), windows_->kvw(),
                   windows_->fourier()};
        Press(Window().Command[7]);
        windows.push_back(Window().findChild<PlotWindow*>("frmPlotData"));
        return windows;
    }
};

TEST_F(PlacementTest, WithNoStoredPlacementsEveryWindowOpensClearOfTheMainWindowAndOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1280, 1024)) << "the test environment's screen was not taken";
    Window().show();
    const QRect main = Window().frameGeometry();
    for (PlotWindow* w : OpenAll()) {
        ASSERT_NE(w, nullptr);
        const QRect r = w->frameGeometry();
        EXPECT_FALSE(r.intersects(main)) << w->objectName().toStdString() << " covers the main window";
        EXPECT_TRUE(screen.contains(r)) << w->objectName().toStdString() << " is off the screen";
        // It opened at least as large as its own minimum: nothing of it is cut off.
        EXPECT_GE(w->width(), w->minimumWidth());
        EXPECT_GE(w->height(), w->minimumHeight());
    }
}

// The plot/edit window opens right of the main window; the dialog of a picked point then
// covers neither the main window nor the plot with its values and labels.
TEST_F(PlacementTest, PointDialogCoversNeitherTheMainWindowNorThePlotsValues) {
    Window().show();
    Press(Window().Command[7]);
    auto* plot = Window().findChild<frmPlotData*>("frmPlotData");
    ASSERT_NE(plot, nullptr);
    QApplication::processEvents();
    const PlotScale& s = plot->plot().scale;
    const int faintest = 31;
    QTest::mouseClick(plot->surface(), Qt::LeftButton, {},
                      QPoint(static_cast<int>(std::lround(s.X(app_->data.AllTime[faintest]) / kTwipsPerPixel)),
                             static_cast<int>(std::lround(s.Y(app_->data.AllMag[faintest]) / kTwipsPerPixel))));
    ASSERT_EQ(app_->data.SelectedPoint, faintest);
    const QRect dialog = plot->action()->frameGeometry();
    EXPECT_FALSE(dialog.intersects(Window().frameGeometry()));
    for (int k = 1; k <= 6; ++k) {
        const QLabel* label = plot->Label[static_cast<std::size_t>(k)];
        EXPECT_FALSE(dialog.intersects(QRect(label->mapToGlobal(QPoint(0, 0)), label->size()))) << "Label" << k;
    }
    const QPoint frameLeft = plot->surface()->mapToGlobal(QPoint(0, static_cast<int>(s.frame.PlotTop / kTwipsPerPixel)));
    const QPoint frameRight = plot->surface()->mapToGlobal(
        QPoint(static_cast<int>(s.frame.PlotRight / kTwipsPerPixel), static_cast<int>(s.frame.PlotBottom / kTwipsPerPixel)));
    EXPECT_FALSE(dialog.intersects(QRect(frameLeft, frameRight))) << "over the plot or its values";
}

TEST_F(PlacementTest, StoredPlacementsKeepWinning) {
    Placements stored = DefaultPlacements();
    stored[kKweeWindow] = {3000, 2250, 9000, 6000};  // twips: 200, 150, 600 x 400 pixels
    ASSERT_EQ(WriteSettingsFile(SettingsPath().toStdString(), stored), "");
    window_.reset();
    windows_ = new MethodWindows(*app_, Window());
    ASSERT_TRUE(Window().openLightCurve(Dir(), "night.csv"));
    Window().show();
    Press(Window().Command[4]);
    const PlotWindow& kvw = *windows_->kvw();
    EXPECT_EQ(kvw.pos(), QPoint(200, 150));
    EXPECT_EQ(kvw.size(), QSize(600, 400));
}

}  // namespace
}  // namespace umbrix
