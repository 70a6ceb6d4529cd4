// What the five method windows share: where their controls go, and how a new light curve
// puts them away.

#include <QApplication>
#include <QWheelEvent>
#include <algorithm>

#include "tests/timing/gui/method_window_fixture.h"
#include "timing/core/session/app_state.h"

namespace umbrix {
namespace {

class MethodWindowsTest : public MethodWindowTest {
protected:
    std::vector<PlotWindow*> OpenAll() {
        for (int row = 1; row <= 5; ++row) Press(Window().Command[row]);
        return {windows_->parabola(), windows_->tracing(), windows_->chords(), windows_->kvw(),
                windows_->fourier()};
    }
};

// Each window's controls (all but the axis labels) stay clear of one another and of the plot
// frame, at the stored default sizes and at the smallest size the window allows.
TEST_F(MethodWindowsTest, ControlsStayClearOfEachOtherAndOfTheFrame) {
    for (PlotWindow* w : OpenAll()) {
        ASSERT_NE(w, nullptr);
        for (const QSize size : {w->size(), w->minimumSize()}) {
            w->resize(size);
            QList<QWidget*> controls = w->surface()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            controls.removeIf([w](QWidget* c) { return std::ranges::find(w->Label, c) != w->Label.end(); });
            const PlotFrame& f = w->scale().frame;
            const QRect frame(f.PlotLeft / 15, f.PlotTop / 15, f.PlotWidth() / 15, f.PlotHeight() / 15);
            ASSERT_GE(controls.size(), 8) << w->objectName().toStdString();
            for (QWidget* a : controls) {
                const std::string name = w->objectName().toStdString() + "." + a->objectName().toStdString();
                EXPECT_FALSE(a->geometry().intersects(frame)) << name;
                EXPECT_TRUE(w->surface()->rect().contains(a->geometry())) << name;
                for (QWidget* b : controls)
                    EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                        << name << " and " << b->objectName().toStdString();
            }
        }
    }
}

TEST_F(MethodWindowsTest, NewLightCurveHidesEveryMethodWindow) {
    const std::vector<PlotWindow*> windows = OpenAll();
    for (PlotWindow* w : windows) ASSERT_TRUE(w->isVisible());
    ASSERT_TRUE(Window().openLightCurve(Dir(), "night.csv"));
    for (PlotWindow* w : windows) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

// Every control a user can press, type into or move says what it does; the settings whose
// captions are abbreviations (the Kwee and van Woerden "Stepp" and "Frac", the Fourier
// model's symbols) say it in words.
TEST_F(MethodWindowsTest, EveryControlHasATooltipAndTheSettingsSayWhatTheyMean) {
    for (PlotWindow* w : OpenAll()) {
        ASSERT_NE(w, nullptr);
        for (QWidget* c : w->surface()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (std::ranges::find(w->Label, c) != w->Label.end()) continue;  // the axis labels
            EXPECT_FALSE(c->toolTip().isEmpty()) << w->objectName().toStdString() << "."
                                                 << c->objectName().toStdString();
        }
    }
    frmPlott4& kvw = *windows_->kvw();
    EXPECT_TRUE(kvw.Text1->toolTip().contains("grid steps")) << kvw.Text1->toolTip().toStdString();
    EXPECT_TRUE(kvw.Text2->toolTip().contains("nearer end")) << kvw.Text2->toolTip().toStdString();
    EXPECT_EQ(kvw.Label11->toolTip(), kvw.Text1->toolTip());
    frmPlott5& fourier = *windows_->fourier();
    EXPECT_TRUE(fourier.Text1[3]->toolTip().contains("radians per day"));
    EXPECT_TRUE(fourier.Text1[1]->toolTip().contains("Time of minimum"));
    EXPECT_EQ(fourier.Label13->toolTip(), fourier.Text1[3]->toolTip());
}

// Zoomed in three notches about the deepest point, the right-clicks still pick the points
// under the pointer, and the fit is the batch mode's on the same range.
TEST_F(MethodWindowsTest, PicksAtAnyZoomTakeThePointsUnderThePointer) {
    Press(Window().Command[1]);
    frmPlott1& w = *windows_->parabola();
    const double wholeSpan = w.scale().time.span;
    const QPointF at = PixelAt(w, 0.520);
    for (int notch = 0; notch < 3; ++notch) {
        QWheelEvent in(at, w.surface()->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.surface(), &in);
    }
    ASSERT_NEAR(w.scale().time.span, 0.512 * wholeSpan, 1e-9);  // 0.8 per notch
    const double start = ClickAt(w, 0.4975);
    const double end = ClickAt(w, 0.5455);
    EXPECT_EQ(w.Label8->text(), " 26");
    EXPECT_EQ(w.Label10->text(), "  37");
    // Drawn where the clicks were, on the zoomed plot.
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(start), w.scale().X(end)}));
    Press(w.Command1);
    EXPECT_EQ(ShownRow(1), BatchRow({"--method", "parabola", "--range", FileTime(start) + ":" + FileTime(end)},
                                    "1. Parabolic Fit"));
}

}  // namespace
}  // namespace umbrix
