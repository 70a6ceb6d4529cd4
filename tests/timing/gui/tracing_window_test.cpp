#include "timing/gui/methods/tracing_window.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include "tests/timing/gui/method_window_fixture.h"
#include "timing/core/session/app_state.h"

namespace umbrix {
namespace {

const QString kCaption = "Tracing Paper Method - CLICK LEFT ARROW TO DECREASE FOLD HJD, etc.";
constexpr double kTwipTolerance = 0.5;  // positions differ only by the last bits of the times

class TracingWindowTest : public MethodWindowTest {
protected:
    frmPlott2& Open() {
        Press(Window().Command[2]);
        EXPECT_NE(windows_->tracing(), nullptr);
        return *windows_->tracing();
    }
    // Row 2 with the bar at v: steps of 0.0001 day from the faintest point (31, at .520).
    std::string RowForBar(int v) const {
        char text[40];
        std::snprintf(text, sizeof text, "%.5f", app_->data.DayOffset + NightTime(31) + 0.0001 * (v - 16383));
        return text;
    }
    // Centre of an arrow, page area or the thumb of the bar, in its pixels.
    static QPoint BarPart(const QScrollBar* bar, QStyle::SubControl part) {
        QStyleOptionSlider o;
        o.initFrom(bar);
        o.orientation = Qt::Horizontal;
        o.minimum = bar->minimum(), o.maximum = bar->maximum();
        o.sliderPosition = bar->sliderPosition(), o.sliderValue = bar->value();
        o.singleStep = bar->singleStep(), o.pageStep = bar->pageStep();
        o.subControls = QStyle::SC_All;
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &o, part, bar).center();
    }
    // Centres of the dots of one colour (their outer circle), in drawing order.
    static std::vector<QPointF> Dots(const PlotWindow& w, Rgb colour) {
        std::vector<QPointF> dots;
        for (const DrawCommand& c : w.displayList().Commands())
            if (c.kind == DrawKind::Circle && c.colour == colour && c.r == 15) dots.emplace_back(c.x1, c.y1);
        return dots;
    }
};

TEST_F(TracingWindowTest, OpensFoldedAtTheFaintestTimeWithPointsGridAndLabelsOnOneOrigin) {
    frmPlott2& w = Open();
    EXPECT_EQ(w.windowTitle(), kCaption);
    EXPECT_EQ(w.Text1->text(), "       0.52000");
    EXPECT_EQ(Row(2), "2454123.52000");
    EXPECT_EQ(RowError(2), "0.0001");
    EXPECT_TRUE(Ticked(2));
    const PlotFrame& f = w.scale().frame;
    EXPECT_EQ(f.PlotBottom, w.windowHeightTwips() - 2100);
    // Point 31 lies 2e-11 day after the rounded fold: 1..30 red, 31 only starts the blue
    // line (a single point, mirrored onto itself), 32..61 blue dots.
    const std::vector<QPointF> red = Dots(w, kRed), blue = Dots(w, kBlue);
    EXPECT_EQ(red.size(), 30u);
    ASSERT_EQ(blue.size(), 30u);
    EXPECT_EQ(Count(w, kBlue, DrawKind::Point), 1);
    // Point 41 (.560) is mirrored to .480, two thirds of the way from .400 to .520.
    EXPECT_NEAR(blue[41 - 32].x(), f.PlotLeft + f.PlotWidth() * 2.0 / 3, kTwipTolerance);
    // Grid step .02: point 6 (.420) lies on the first labelled grid line, under its label.
    const double x6 = red[5].x();
    EXPECT_NEAR(x6, f.PlotLeft + f.PlotWidth() / 6.0, kTwipTolerance);
    int linesThroughPoint6 = 0;
    for (const DrawCommand& c : w.displayList().Commands())
        linesThroughPoint6 += c.colour == kSilver && c.x1 == c.x2 && std::fabs(c.x1 - x6) < kTwipTolerance;
    EXPECT_EQ(linesThroughPoint6, 1);
    EXPECT_EQ(w.Label[1]->text(), "  0.42");
    EXPECT_NEAR(w.Label[1]->x(), (x6 - 3 * 100) / 15, 1);  // centred: 6 characters, 100 twips each
    EXPECT_EQ(w.Label[3]->text(), "grid 0.02 d");
}

TEST_F(TracingWindowTest, ArrowPageKeysAndDragMoveTheFoldFromTheFaintestPoint) {
    QScrollBar* bar = Open().HScroll1;
    EXPECT_EQ(bar->value(), 16383);
    QTest::mouseClick(bar, Qt::LeftButton, {}, BarPart(bar, QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(Row(2).toStdString(), RowForBar(16384));
    QTest::mouseClick(bar, Qt::LeftButton, {}, BarPart(bar, QStyle::SC_ScrollBarSubPage));
    EXPECT_EQ(Row(2).toStdString(), RowForBar(16379));
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(Row(2).toStdString(), RowForBar(16380));
    EXPECT_EQ(windows_->tracing()->Text1->text(), "        0.5197");  // FormatFixed drops the 0

    // Row 2 follows the held thumb; the bar's value follows on release.
    bar->setSliderDown(true);
    bar->setSliderPosition(16500);
    EXPECT_EQ(bar->value(), 16380);
    EXPECT_EQ(Row(2).toStdString(), RowForBar(16500));
    bar->setSliderDown(false);
    EXPECT_EQ(bar->value(), 16500);

    // A pixel of thumb is thousands of steps: a real drag pulls the fold to the step nearest
    // 5 % inside the range (.398 + .05 * .244 = .4102), and the bar goes there while held.
    const QPoint thumb = BarPart(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(bar, thumb - QPoint(3, 0));
    EXPECT_EQ(Row(2), "2454123.41020");
    EXPECT_EQ(bar->value(), 16383 - 1098);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb - QPoint(3, 0));
    EXPECT_EQ(bar->value(), 16383 - 1098);
    EXPECT_EQ(Row(2), "2454123.41020");
}

TEST_F(TracingWindowTest, TypedFoldSplitsTheBranchesThereAndTextWithoutANumberIsRefused) {
    frmPlott2& w = Open();
    const PlotFrame& f = w.scale().frame;
    // Between points 1 and 2: point 1 alone is red; point 2, mirrored onto point 1, starts
    // the blue line; every later point lands left of the frame, where nothing is drawn.
    w.Text1->setText("0.402");
    Press(w.Command1);
    EXPECT_EQ(Row(2), "2454123.40200");
    EXPECT_EQ(w.HScroll1->value(), 16383);
    EXPECT_EQ(Dots(w, kRed).size(), 1u);
    EXPECT_EQ(Count(w, kRed, DrawKind::Line), 0);
    const std::vector<QPointF> blue = Dots(w, kBlue);
    EXPECT_TRUE(blue.empty());
    for (const DrawCommand& c : w.displayList().Commands()) {
        if (c.kind == DrawKind::Point) {
            EXPECT_NEAR(c.x1, f.PlotLeft, kTwipTolerance);
        }
        // The blue line toward the points left of the frame stops a pixel outside it.
        if (c.colour == kBlue) {
            EXPECT_GE(std::min(c.x1, c.x2), f.PlotLeft - 15.0);
        }
    }

    // After the last point: all red, nothing blue, the right edge 5 % inside the range, so
    // that the three points after .6298 (.632, .636, .640) lie right of the frame and are cut.
    w.Text1->setText("0.7");
    Press(w.Command1);
    EXPECT_EQ(Row(2), "2454123.70000");
    EXPECT_EQ(Dots(w, kRed).size(), 58u);
    for (const DrawCommand& c : w.displayList().Commands()) EXPECT_NE(c.colour, kBlue);
    EXPECT_NEAR(w.scale().TimeAt(f.PlotRight), 0.642 - 0.05 * 0.244, 1e-9);

    const std::vector<DrawCommand> drawn = w.displayList().Commands();
    w.Text1->setText("abc");
    Press(w.Command1);
    EXPECT_EQ(messages_, QStringList{"The fold time must be a number."});
    EXPECT_EQ(Row(2), "2454123.70000");
    EXPECT_EQ(w.Text1->text(), "abc");
    EXPECT_EQ(w.displayList().Commands(), drawn);

    // The next bar change takes the fold from the bar again.
    w.HScroll1->setFocus();
    QTest::keyClick(w.HScroll1, Qt::Key_Right);
    EXPECT_EQ(Row(2).toStdString(), RowForBar(16384));
}

TEST_F(TracingWindowTest, SmoothUndoResizeDoneAndACloseBoxThatStartsBarAndLabelAfresh) {
    frmPlott2& w = Open();
    const DataSet& ds = app_->data;
    Press(w.Command2);
    EXPECT_EQ(w.Label8->text(), "3-point averaging");
    Press(w.Command2);
    EXPECT_EQ(w.Label8->text(), "5-point averaging");
    const double mean = (ds.Mag[28] + ds.Mag[29] + ds.Mag[30] + ds.Mag[31] + ds.Mag[32]) / 5;
    ASSERT_GT(std::fabs(mean - ds.Mag[30]), 0.01);  // large enough to show on the plot
    EXPECT_NEAR(Dots(w, kRed)[29].y(), w.scale().Y(mean), kTwipTolerance);
    Press(w.Command3);
    EXPECT_EQ(w.Label8->text(), "No averaging");
    EXPECT_NEAR(Dots(w, kRed)[29].y(), w.scale().Y(ds.Mag[30]), kTwipTolerance);

    Press(w.Command2);
    w.HScroll1->setValue(16385);
    w.resize(w.width() + 40, w.height() + 60);
    const int h = w.height() * 15;
    EXPECT_EQ(Window().placements()[kTracingWindow].height, h);
    EXPECT_EQ(w.scale().frame.PlotBottom, h - 2100);
    EXPECT_EQ(w.HScroll1->y(), std::lround((h - 1130) / 15.0));
    Press(w.Command4);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Row(2).toStdString(), RowForBar(16385));

    w.close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows_->tracing(), nullptr);
    frmPlott2& fresh = Open();
    EXPECT_EQ(fresh.height() * 15, h);
    EXPECT_EQ(fresh.windowTitle(), kCaption);
    EXPECT_EQ(fresh.HScroll1->value(), 16383);
    EXPECT_EQ(fresh.Label8->text(), "No averaging");
    EXPECT_EQ(fresh.Text1->text(), "        0.5202");  // the fold itself is kept
    // Go drew the raw magnitudes; the level kept from before makes the next press 5 points.
    EXPECT_NEAR(Dots(fresh, kRed)[29].y(), fresh.scale().Y(ds.Mag[30]), kTwipTolerance);
    Press(fresh.Command2);
    EXPECT_EQ(fresh.Label8->text(), "5-point averaging");
}

}  // namespace
}  // namespace umbrix
