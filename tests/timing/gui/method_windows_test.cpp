// What the five method windows share: where their controls go, and how a new light curve
// puts them away.

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

}  // namespace
}  // namespace umbrix
