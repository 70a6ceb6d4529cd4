#include "timing/gui/methods/kvw_window.h"

#include "tests/timing/gui/method_window_fixture.h"
#include "timing/core/session/app_state.h"

namespace umbrix {
namespace {

class KvwWindowTest : public MethodWindowTest {
protected:
    frmPlott4& Open() {
        Press(Window().Command[4]);
        frmPlott4* w = windows_->kvw();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        return *w;
    }
    std::string Batch(double start, double end, const std::string& stepp = "1") {
        return BatchRow({"--method", "kvw", "--range", FileTime(start) + ":" + FileTime(end),
                         "--stepp", stepp},
                        "4. Kwee and van Woerden");
    }
    std::string Shown() const { return ShownRow(4); }
};

TEST_F(KvwWindowTest, GuidedPathWritesRowFourAsTheBatchModeDoesForEachSetting) {
    frmPlott4& w = Open();
    EXPECT_EQ(w.windowTitle(), "Kwee & van Woerden - RIGHT-CLICK AT START (left end) OF RANGE.");
    EXPECT_EQ(w.Text1->text(), "1");
    EXPECT_EQ(w.Text2->text(), ".9");

    const double start = ClickAt(w, 0.4775);  // between points 20 (.476) and 21 (.480)
    EXPECT_EQ(w.windowTitle(), "Kwee & van Woerden - RIGHT-CLICK AT (right) END OF RANGE.");
    EXPECT_EQ(w.Label8->text(), " 21");
    const double end = ClickAt(w, 0.5655);  // between points 42 (.564) and 43 (.568)
    EXPECT_EQ(w.windowTitle(), "Kwee & van Woerden - CLICK 'Fit Kwee'; OR 'Undo' TO START OVER.");
    EXPECT_EQ(w.Label10->text(), " 42");

    Press(w.Command1);
    EXPECT_EQ(w.windowTitle(), "Kwee & van Woerden - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.");
    EXPECT_EQ(Shown(), Batch(start, end));
    EXPECT_TRUE(Row(4).startsWith("2454123.52")) << Row(4).toStdString();
    EXPECT_TRUE(Ticked(4));

    w.Text1->setText("2");  // read at the press: a new setting, a new result
    Press(w.Command1);
    EXPECT_EQ(Shown(), Batch(start, end, "2"));
    EXPECT_NE(Batch(start, end, "2"), Batch(start, end));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(KvwWindowTest, UndoKeepsBothPicksSoOneClickMakesTheWindowReadyAgain) {
    frmPlott4& w = Open();
    ClickAt(w, 0.4775);
    ClickAt(w, 0.5655);
    Press(w.Command1);
    Press(w.Command2);
    EXPECT_EQ(w.windowTitle(), "Kwee & van Woerden - RIGHT-CLICK AT START OF RANGE.");
    EXPECT_EQ(Row(4), "");
    EXPECT_FALSE(Ticked(4));
    EXPECT_EQ(w.Label8->text(), "");
    EXPECT_TRUE(MarkerXs(w).empty());
    Press(w.Command1);  // not ready: nothing
    EXPECT_EQ(Row(4), "");

    const double end = ClickAt(w, 0.5575);  // a new end (point 40); the start stays at 21
    Press(w.Command1);
    EXPECT_EQ(Shown(), Batch(NightTime(21) - 0.0005, end));
    EXPECT_EQ(MarkerXs(w).size(), 2u);
}

TEST_F(KvwWindowTest, GoAfterDoneDrawsTheStartAtItsPointAndKeepsTheTypedSettings) {
    frmPlott4& w = Open();
    const double clicked = ClickAt(w, 0.4775);
    const double end = ClickAt(w, 0.5655);
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(clicked), w.scale().X(end)}));
    w.Text2->setText(".7");
    Press(w.Command3);
    EXPECT_FALSE(w.isVisible());
    Open();
    EXPECT_TRUE(MarkersAt(w, {w.scale().X(NightTime(21)), w.scale().X(end)}));
    EXPECT_EQ(w.Text2->text(), ".7");
}

TEST_F(KvwWindowTest, RefusedRangeShowsWhyAndKeepsRowFour) {
    frmPlott4& w = Open();
    ClickAt(w, 0.4775);
    ClickAt(w, 0.5655);
    Press(w.Command1);
    const QString shown = Row(4);
    ClickAt(w, 0.5135);  // points 30..32 only
    ClickAt(w, 0.5255);
    Press(w.Command1);
    EXPECT_EQ(messages_,
              QStringList{"Kwee and van Woerden needs at least five points in the range."});
    EXPECT_EQ(Row(4), shown);
}

TEST_F(KvwWindowTest, CloseBoxThenGoLoadsTheWindowWithNothingPicked) {
    frmPlott4& w = Open();
    ClickAt(w, 0.4775);
    ClickAt(w, 0.5655);
    w.close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmPlott4& fresh = Open();
    EXPECT_TRUE(MarkerXs(fresh).empty());
    EXPECT_EQ(fresh.windowTitle(), "Kwee & van Woerden - RIGHT-CLICK AT START (left end) OF RANGE.");
    Press(fresh.Command1);
    EXPECT_EQ(Row(4), "");
}

}  // namespace
}  // namespace umbrix
