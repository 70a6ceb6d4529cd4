#include "timing/gui/methods/fourier_window.h"

#include <limits>

#include "tests/timing/gui/method_window_fixture.h"
#include "timing/core/session/app_state.h"

namespace umbrix {
namespace {

class FourierWindowTest : public MethodWindowTest {
protected:
    frmPlott5& Open() {
        Press(Window().Command[5]);
        frmPlott5* w = windows_->fourier();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        return *w;
    }
    static QString Box(const frmPlott5& w, int i) { return w.Text1[std::size_t(i)]->text(); }
    static void RightPress(frmPlott5& w, double x, double y) {
        emit w.surface()->pressed(Qt::RightButton, x, y);
    }
    // The x (twips) where the window's index estimate 1 + 60 (x - PlotLeft) / PlotWidth of the
    // 61-point night is exactly `index`, found by walking x by its last bit.
    static double XAtIndex(const frmPlott5& w, double index) {
        const PlotFrame& f = w.scale().frame;
        const auto estimate = [&f](double x) { return 1 + 60 * (x - f.PlotLeft) / f.PlotWidth(); };
        double x = f.PlotLeft + (index - 1) / 60 * f.PlotWidth();
        for (int i = 0; i < 4096 && estimate(x) != index; ++i)
            x = std::nextafter(x, estimate(x) < index ? 1e9 : -1e9);
        EXPECT_EQ(estimate(x), index);
        return x;
    }
    static double MidY(const frmPlott5& w) {
        return (w.scale().frame.PlotTop + w.scale().frame.PlotBottom) / 2.0;
    }
};

TEST_F(FourierWindowTest, SideFollowsTheRoundedIndexAgainstTheFaintestPointAndEdgesCount) {
    ASSERT_EQ(app_->data.MagMaxIndex, 31);
    frmPlott5& w = Open();
    EXPECT_EQ(w.windowTitle(), "Fit Fourier - RIGHT-CLICK AT START (left end) OF RANGE.");
    // 30.6 rounds to 31, the faintest point: the right end, although the clicked time (.5184)
    // lies before the faintest point's (.520). The last point before .5184 is 30.
    const double right = XAtIndex(w, 30.6);
    RightPress(w, right, MidY(w));
    EXPECT_EQ(w.Label10->text(), " 30");
    EXPECT_EQ(w.windowTitle(), "Fit Fourier - CLICK 'Fit Fourier', OR 'Undo' TO START OVER.");
    // 30.5 rounds to even, 30: the left end. The first point after .5180 is 31; the line
    // stays at the clicked x, not at the point's.
    const double left = XAtIndex(w, 30.5);
    RightPress(w, left, MidY(w));
    EXPECT_EQ(w.Label8->text(), " 31");
    EXPECT_EQ(w.windowTitle(), "Fit Fourier - RIGHT-CLICK AT (right) END OF RANGE.");
    EXPECT_TRUE(MarkersAt(w, {left, right}));
    EXPECT_TRUE(app_->fourier.FourierReady);

    // Outside the frame and other buttons pick nothing; the frame's corners count.
    const PlotFrame& f = w.scale().frame;
    RightPress(w, f.PlotRight + 1, MidY(w));
    emit w.surface()->pressed(Qt::LeftButton, f.PlotRight, MidY(w));
    EXPECT_EQ(w.Label10->text(), " 30");
    RightPress(w, f.PlotRight, f.PlotBottom);
    EXPECT_EQ(w.Label10->text(), " 61");
    RightPress(w, f.PlotLeft, f.PlotTop);
    EXPECT_EQ(w.Label8->text(), " 1");
    EXPECT_TRUE(MarkersAt(w, {1.0 * f.PlotLeft, 1.0 * f.PlotRight}));
}

TEST_F(FourierWindowTest, UpdateThenFitWritesRowFiveAsTheBatchModeOnceAndUndoRestoresItsStart) {
    frmPlott5& w = Open();
    const double start = ClickAt(w, 0.4655);  // range 18 (.468) .. 45 (.576)
    const double end = ClickAt(w, 0.5775);
    w.Text1[1]->setText("0.515625");  // exact in the file's scale too: 2454123.515625
    w.Text1[3]->setText("30x");      // the leading number counts
    std::string batchStart = "2454123.515625";
    // append(), not "," + text: GCC 12 at -O3 sees a false overlap (-Wrestrict) there.
    for (int i = 2; i <= 8; ++i) batchStart.append(",").append(Box(w, i).trimmed().toStdString());
    Press(w.Command1);
    EXPECT_EQ(Box(w, 3), "30.00000");
    EXPECT_TRUE(MarkerXs(w).empty());  // Update clears the window, range lines too
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), 100 * 21);

    Press(w.Command2);
    EXPECT_EQ(w.windowTitle(), "Fourier fit - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.");
    const std::string batch =
        BatchRow({"--method", "fourier", "--range", FileTime(start) + ":" + FileTime(end),
                  "--fourier-start", batchStart},
                 "5. Fourier Fit");
    EXPECT_EQ(ShownRow(5), batch);
    EXPECT_TRUE(Row(5).startsWith("2454123.521")) << Row(5).toStdString();
    EXPECT_TRUE(Ticked(5));
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(Box(w, i).size(), 9) << i;
    // The fit's curve is the blue one; Update's start curve stays beside it in a pale blue.
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), 100 * 21);
    EXPECT_EQ(Count(w, {160, 180, 230}, DrawKind::Line), 100 * 21);

    w.Text1[3]->setText("20");
    Press(w.Command2);  // one fit per range: nothing happens
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), 100 * 21);
    EXPECT_TRUE(messages_.isEmpty());

    w.resize(w.width() + 60, w.height() + 30);  // a redraw: lines, thin curve, width-8 boxes
    EXPECT_EQ(Window().placements()[kFourierWindow].width, w.width() * 15);
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(start), w.scale().X(end)}));
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), 100);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(Box(w, i).size(), 8) << i;

    Press(w.Command3);
    EXPECT_EQ(Row(5), "");
    EXPECT_EQ(RowError(5), "");
    EXPECT_FALSE(Ticked(5));  // Undo unticks the row as every Undo does, and leaves the caption
    EXPECT_EQ(w.windowTitle(), "Fourier fit - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.");
    EXPECT_EQ(Box(w, 1), " 0.51563");  // the fit started from the box as Update wrote it
    EXPECT_TRUE(MarkerXs(w).empty());
    EXPECT_EQ(Count(w, kBlue, DrawKind::Line), 0);
    Press(w.Command2);
    EXPECT_EQ(messages_, QStringList{"Select range first"});

    Press(w.Command4);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(FourierWindowTest, RefusedUpdatesAndFitsSayWhyOnceAndWriteNothing) {
    app_->fourier.FourierParams[4] = std::numeric_limits<double>::quiet_NaN();
    frmPlott5& w = Open();
    EXPECT_EQ(Box(w, 4), "");  // never "NaN"
    ClickAt(w, 0.4655);
    Press(w.Command1);
    Press(w.Command2);
    EXPECT_EQ(messages_, QStringList({"Select range first", "Select range first"}));
    ClickAt(w, 0.5775);
    messages_.clear();
    Press(w.Command2);
    EXPECT_EQ(messages_, QStringList{QString(kFourierStartNotFinite)});

    // W = 0 flattens every harmonic: the curvature matrix is singular.
    messages_.clear();
    w.Text1[3]->setText("0");
    w.Text1[4]->setText("0.2");
    Press(w.Command1);  // the range stays picked, its lines are gone
    Press(w.Command2);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith("Singular matrix")) << messages_[0].toStdString();
    EXPECT_EQ(Row(5), "");
    EXPECT_FALSE(Ticked(5));
    EXPECT_FALSE(app_->fourier.FourierFitted);
}

}  // namespace
}  // namespace umbrix
