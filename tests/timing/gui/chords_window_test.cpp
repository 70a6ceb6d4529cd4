#include "timing/gui/methods/chords_window.h"

#include "tests/timing/gui/method_window_fixture.h"
#include "timing/core/session/app_state.h"

namespace umbrix {
namespace {

class ChordsWindowTest : public MethodWindowTest {
protected:
    frmPlott3& Open() {
        Press(Window().Command[3]);
        frmPlott3* w = windows_->chords();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        return *w;
    }
    QStringList Labels(const frmPlott3& w) const {
        return {w.Label8->text(), w.Label10->text(), w.Label12->text(), w.Label14->text()};
    }
};

TEST_F(ChordsWindowTest, GuidedPathWritesRowThreeAsTheBatchModeDoesAndUndoes) {
    frmPlott3& w = Open();
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - RIGHT-CLICK AT START (left end) OF LEFT RANGE.");
    EXPECT_EQ(Labels(w), (QStringList{"I1", "I2", "I3", "I4"}));

    std::vector<double> t;
    t.push_back(ClickAt(w, 0.4575));  // between points 15 (.456) and 16 (.460)
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - RIGHT-CLICK AT (right) END OF LEFT RANGE.");
    t.push_back(ClickAt(w, 0.5055));  // 27 (.504) | 28 (.508)
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - RIGHT-CLICK AT START (left end) OF RIGHT RANGE.");
    t.push_back(ClickAt(w, 0.5335));  // 34 (.532) | 35 (.536)
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - RIGHT-CLICK AT (right) END OF RIGHT RANGE.");
    t.push_back(ClickAt(w, 0.5815));  // 46 (.580) | 47 (.584)
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - CLICK 'Bisect Chords', OR 'Undo' TO START OVER.");
    EXPECT_EQ(Labels(w), (QStringList{" 16", " 27", " 35", " 46"}));
    EXPECT_EQ(MarkerXs(w).size(), 4u);

    Press(w.Command1);
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - CLICK 'Done' TO EXIT, OR 'Undo' TO START OVER.");
    const std::string chords =
        FileTime(t[0]) + ":" + FileTime(t[1]) + ":" + FileTime(t[2]) + ":" + FileTime(t[3]);
    EXPECT_EQ(ShownRow(3),
              BatchRow({"--method", "chords", "--chords", chords}, "3. Bisectors of Chords"));
    EXPECT_TRUE(Row(3).startsWith("2454123.52")) << Row(3).toStdString();
    EXPECT_TRUE(Ticked(3));

    Press(w.Command2);
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - RIGHT-CLICK AT START (left end) OF LEFT RANGE.");
    EXPECT_EQ(Labels(w), (QStringList{"", "", "", ""}));
    EXPECT_EQ(Row(3), "");
    EXPECT_FALSE(Ticked(3));
    EXPECT_TRUE(MarkerXs(w).empty());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ChordsWindowTest, SidesArePickedIndependentlyAndAThirdClickOnACompleteSideDoesNothing) {
    frmPlott3& w = Open();
    ClickAt(w, 0.5335);  // right of the deepest point first: the right range starts
    ClickAt(w, 0.5815);
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - CLICK 'Bisect Chords', OR 'Undo' TO START OVER.");
    Press(w.Command1);
    EXPECT_EQ(Row(3), "");  // the left range is missing

    ClickAt(w, 0.4575);
    ClickAt(w, 0.5055);
    ClickAt(w, 0.4695);  // a third click on the complete left side
    EXPECT_EQ(w.windowTitle(), "Bisect Chords - RIGHT-CLICK AT START (left end) OF RIGHT RANGE.");
    EXPECT_EQ(Labels(w), (QStringList{" 16", " 27", " 35", " 46"}));
    EXPECT_EQ(MarkerXs(w).size(), 4u);
    Press(w.Command1);
    EXPECT_NE(Row(3), "");
}

TEST_F(ChordsWindowTest, EndClickedLeftOfItsStartTakesOnePointMoreAtEachEnd) {
    frmPlott3& w = Open();
    ClickAt(w, 0.5055);
    ClickAt(w, 0.4575);
    EXPECT_EQ(w.Label8->text(), " 15");
    EXPECT_EQ(w.Label10->text(), " 28");
}

TEST_F(ChordsWindowTest, RightRangeWhoseStartFoundNoPointIsRefusedWithAMessage) {
    frmPlott3& w = Open();
    ClickAt(w, 0.4575);
    ClickAt(w, 0.5055);
    const PlotFrame& f = w.scale().frame;
    const double y = (f.PlotTop + f.PlotBottom) / 2.0;
    emit w.surface()->pressed(Qt::RightButton, f.PlotRight, y);  // later than every point
    EXPECT_EQ(app_->chords.BisRightStart, 0);
    ClickAt(w, 0.5815);
    Press(w.Command1);
    EXPECT_EQ(messages_, QStringList{"The right range holds no working point."});
    EXPECT_EQ(Row(3), "");
}

TEST_F(ChordsWindowTest, GoAfterDoneShowsTheFourMarkersAtTheirClickedTimes) {
    frmPlott3& w = Open();
    std::vector<double> xs;
    for (const double t : {0.4575, 0.5055, 0.5335, 0.5815}) xs.push_back(w.scale().X(ClickAt(w, t)));
    Press(w.Command3);
    Open();
    EXPECT_TRUE(MarkersAt(w, xs));
    // A window closed by its close box starts over.
    w.close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(MarkerXs(Open()).empty());
}

}  // namespace
}  // namespace umbrix
