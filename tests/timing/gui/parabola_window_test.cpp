#include "timing/gui/methods/parabola_window.h"

#include "tests/timing/gui/method_window_fixture.h"
#include "timing/core/session/app_state.h"
#include "timing/core/data/format.h"

namespace umbrix {
namespace {

class ParabolaWindowTest : public MethodWindowTest {
protected:
    frmPlott1& Open() {
        Press(Window().Command[1]);
        frmPlott1* w = windows_->parabola();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        return *w;
    }
};

TEST_F(ParabolaWindowTest, GuidedPathFitsWritesRowOneAsTheBatchModeDoesAndUndoes) {
    ASSERT_EQ(app_->data.FullMagMaxIndex, 31);  // the deepest point, at .520
    frmPlott1& w = Open();
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - RIGHT-CLICK AT START (left end) OF RANGE.");

    const double start = ClickAt(w, 0.4975);  // between points 25 (.496) and 26 (.500)
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - RIGHT-CLICK AT (right) END OF RANGE.");
    EXPECT_EQ(w.Label8->text(), " 26");
    const double end = ClickAt(w, 0.5455);  // between points 37 (.544) and 38 (.548)
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - CLICK 'Fit Parabola', OR 'Undo' TO START OVER.");
    EXPECT_EQ(w.Label10->text(), "  37");
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(start), w.scale().X(end)}));

    Press(w.Command1);
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.");
    const std::string batch =
        BatchRow({"--method", "parabola", "--range", FileTime(start) + ":" + FileTime(end)},
                 "1. Parabolic Fit");
    EXPECT_EQ(ShownRow(1), batch);
    EXPECT_TRUE(Row(1).startsWith("2454123.52")) << Row(1).toStdString();
    EXPECT_TRUE(Ticked(1));
    const ParabolaFit fit = FitParabola(app_->data, 26, 37);
    EXPECT_EQ(w.Text1->text().toStdString(), FormatFixed(fit.rms, 8, 3));
    EXPECT_EQ(w.Text1->text().size(), 8);
    // The band: 100 segments of 21 lines, blue inside the picked range, grey outside, where
    // the parabola climbs out through the top of the frame: there it is cut, a pixel outside.
    const int blue = Count(w, kBlue, DrawKind::Line), grey = Count(w, {200, 200, 200}, DrawKind::Line);
    EXPECT_LT(blue + grey, 100 * 21);
    EXPECT_GT(blue, 0);
    EXPECT_GT(grey, 0);
    const PlotFrame& f = w.scale().frame;
    for (const DrawCommand& c : w.displayList().Commands())
        if (c.kind == DrawKind::Line) {
            EXPECT_GE(std::min(c.y1, c.y2), f.PlotTop - 15.0);
            EXPECT_GE(std::min(c.x1, c.x2), f.PlotLeft - 15.0);
            EXPECT_LE(std::max(c.x1, c.x2), f.PlotRight + 15.0);
        }

    Press(w.Command2);
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - RIGHT-CLICK AT START OF RANGE.");
    EXPECT_EQ(Row(1), "");
    EXPECT_EQ(RowError(1), "");
    EXPECT_FALSE(Ticked(1));
    EXPECT_EQ(w.Text1->text(), "");
    EXPECT_EQ(w.Label8->text(), "");
    EXPECT_EQ(w.Label10->text(), "");
    EXPECT_TRUE(MarkerXs(w).empty());
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), 0);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ParabolaWindowTest, BandIsBlueExactlyWhereItsRightSampleLiesBetweenTheMarkerTimes) {
    frmPlott1& w = Open();
    const double start = ClickAt(w, 0.4975);
    const double end = ClickAt(w, 0.5455);
    Press(w.Command1);
    // Samples are TimeMin + k TimeSpan / 100; segment k (1..100) takes sample k's colour.
    const DataSet& ds = app_->data;
    int expectedBlue = 0;
    for (int k = 1; k <= 100; ++k) {
        const double t = ds.TimeMin + ds.TimeSpan / 100 * k;
        expectedBlue += start < t && t < end;
    }
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), expectedBlue * 21);
}

TEST_F(ParabolaWindowTest, MovingAMarkerKeepsTheDotsAndGridUnderIt) {
    frmPlott1& w = Open();
    const int dots = Count(w, kRed, DrawKind::Circle);
    const int grid = Count(w, kSilver, DrawKind::Line);
    ASSERT_EQ(dots, 61 * 15);
    ClickAt(w, 0.4975);
    const double moved = ClickAt(w, 0.4895);  // the start again, further left
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(moved)}));
    EXPECT_EQ(w.Label8->text(), " 24");
    EXPECT_EQ(Count(w, kRed, DrawKind::Circle), dots);
    EXPECT_EQ(Count(w, kSilver, DrawKind::Line), grid);
    EXPECT_EQ(Count(w, kWhite, DrawKind::Line), 0);
}

TEST_F(ParabolaWindowTest, FirstClickRightOfTheDeepestPointPicksTheEndAndFitWaitsForAStart) {
    frmPlott1& w = Open();
    ClickAt(w, 0.5455);
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - CLICK 'Fit Parabola', OR 'Undo' TO START OVER.");
    EXPECT_EQ(w.Label8->text(), "");
    Press(w.Command1);
    EXPECT_EQ(Row(1), "");
    EXPECT_TRUE(messages_.isEmpty());
    ClickAt(w, 0.4975);
    Press(w.Command1);
    EXPECT_NE(Row(1), "");
}

TEST_F(ParabolaWindowTest, ClickExactlyAtTheDeepestTimePicksTheEndEvenAfterThatPointIsDeleted) {
    frmPlott1& w = Open();
    ASSERT_TRUE(SetDeleted(app_->data, 31, true));  // the deepest point as loaded
    Press(Window().Command[1]);                      // Go again: drawn on the new working set
    // The surface position whose time is exactly .520, found by walking x by its last bit.
    const double deepest = app_->data.AllTime[31];
    double x = w.scale().X(deepest);
    for (int i = 0; i < 4096 && w.scale().TimeAt(x) != deepest; ++i)
        x = std::nextafter(x, w.scale().TimeAt(x) < deepest ? 1e9 : -1e9);
    ASSERT_EQ(w.scale().TimeAt(x), deepest);
    const double y = (w.scale().frame.PlotTop + w.scale().frame.PlotBottom) / 2.0;
    emit w.surface()->pressed(Qt::RightButton, x, y);
    EXPECT_TRUE(app_->parabola.ParabEndSet);
    EXPECT_FALSE(app_->parabola.ParabStartSet);
    EXPECT_EQ(w.Label10->text(), "  30");  // point 31 is gone: the last one before .520 is 30

    emit w.surface()->pressed(Qt::RightButton, std::nextafter(x, -1e9) - 1e-9, y);
    EXPECT_TRUE(app_->parabola.ParabStartSet);
    EXPECT_EQ(w.Label8->text(), " 31");  // the working point after .520 (file point 32)
}

TEST_F(ParabolaWindowTest, LeftClicksAndClicksOutsideTheFrameChangeNothing) {
    frmPlott1& w = Open();
    ClickAt(w, 0.4975, Qt::LeftButton);
    const PlotFrame& f = w.scale().frame;
    emit w.surface()->pressed(Qt::RightButton, f.PlotLeft - 1, (f.PlotTop + f.PlotBottom) / 2.0);
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - RIGHT-CLICK AT START (left end) OF RANGE.");
    EXPECT_FALSE(app_->parabola.ParabStartSet);
    EXPECT_TRUE(MarkerXs(w).empty());
    // The frame's edge itself counts.
    emit w.surface()->pressed(Qt::RightButton, f.PlotLeft, (f.PlotTop + f.PlotBottom) / 2.0);
    EXPECT_TRUE(app_->parabola.ParabStartSet);
    EXPECT_EQ(w.Label8->text(), " 1");
}

TEST_F(ParabolaWindowTest, RangeThatCannotBeFittedShowsWhyAndKeepsRowOneAndTheFit) {
    frmPlott1& w = Open();
    ClickAt(w, 0.4975);
    ClickAt(w, 0.5455);
    Press(w.Command1);
    const QString time = Row(1), error = RowError(1), rms = w.Text1->text();
    // Points 31 and 32 only (.520 and .524): too few for a parabola.
    ClickAt(w, 0.5175);
    ClickAt(w, 0.5255);
    Press(w.Command1);
    EXPECT_EQ(messages_, QStringList{"A parabola needs at least four points in the range."});
    EXPECT_EQ(Row(1), time);
    EXPECT_EQ(RowError(1), error);
    EXPECT_EQ(w.Text1->text(), rms);
    EXPECT_TRUE(app_->parabola.ParabFitted);
}

TEST_F(ParabolaWindowTest, DoneThenGoAndCloseThenGoDrawMarkersAndParabolaAgain) {
    frmPlott1& w = Open();
    const double start = ClickAt(w, 0.4975);
    const double end = ClickAt(w, 0.5455);
    Press(w.Command1);
    const int band = Count(w, kBlue, DrawKind::Line);
    Press(w.Command3);
    EXPECT_FALSE(w.isVisible());
    EXPECT_NE(Row(1), "");  // Done keeps the result

    frmPlott1& again = Open();
    EXPECT_EQ(&again, &w);
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(start), w.scale().X(end)}));
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), band);

    w.resize(w.width() + 60, w.height() + 30);  // resize: redrawn with both
    EXPECT_EQ(Window().placements()[kParabolaWindow].width, w.width() * 15);
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(start), w.scale().X(end)}));
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), band);

    w.close();  // the close box unloads the window; its placement is kept
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows_->parabola(), nullptr);
    const WindowPlacement stored = Window().placements()[kParabolaWindow];
    frmPlott1& fresh = Open();
    EXPECT_EQ(fresh.width() * 15, stored.width);
    EXPECT_EQ(fresh.windowTitle(), "Fit Parabola - RIGHT-CLICK AT START (left end) OF RANGE.");
    EXPECT_EQ(MarkerXs(fresh).size(), 2u);
    EXPECT_EQ(Count(fresh, kBlue, DrawKind::Line), band);
}

// After a fit, a new load once left the window showing the old curve's indices, RMS and
// "Done" caption over the new curve: it opens again as a fresh window does.
TEST_F(ParabolaWindowTest, NewLoadHidesTheWindowAndForgetsThePicks) {
    frmPlott1& w = Open();
    ClickAt(w, 0.4975);
    ClickAt(w, 0.5455);
    Press(w.Command1);
    ASSERT_FALSE(w.Text1->text().isEmpty());
    ASSERT_TRUE(Window().openLightCurve(Dir(), "night.csv"));
    EXPECT_FALSE(w.isVisible());
    Open();
    EXPECT_EQ(w.windowTitle(), "Fit Parabola - RIGHT-CLICK AT START (left end) OF RANGE.");
    EXPECT_EQ(w.Label8->text(), "");
    EXPECT_EQ(w.Label10->text(), "");
    EXPECT_EQ(w.Text1->text(), "");
    EXPECT_TRUE(MarkerXs(w).empty());
    Press(w.Command1);
    EXPECT_EQ(Row(1), "");
}

TEST_F(ParabolaWindowTest, ButtonsWorkFromTheKeyboardAndThePointerIsACrossHairInsideTheFrame) {
    frmPlott1& w = Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ClickAt(w, 0.4975);
    ClickAt(w, 0.5455);
    w.Command1->setFocus();
    QTest::keyClick(w.Command1, Qt::Key_Return);
    EXPECT_NE(Row(1), "");
    QTest::keyClick(w.Command1, Qt::Key_Tab);
    EXPECT_TRUE(w.Command2->hasFocus());
    QTest::keyClick(w.Command2, Qt::Key_Space);
    EXPECT_EQ(Row(1), "");

    const PlotFrame& f = w.scale().frame;
    QTest::mouseMove(w.surface(), PixelAt(w, 0.5));
    EXPECT_EQ(w.surface()->cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(w.surface(), QPoint(f.PlotLeft / 15 - 3, f.PlotTop / 15 + 10));
    EXPECT_EQ(w.surface()->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace umbrix
