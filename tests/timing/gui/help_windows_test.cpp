#include "timing/gui/main/help_windows.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>

#include "tests/timing/gui/gui_fixture.h"
#include "timing/gui/main/twips.h"

namespace umbrix {
namespace {

class HelpTest : public GuiTest {
protected:
    // The main window shown clear of the screen's corner, where a window placed at 0,0 would be
    // told apart from one centred on it.
    frmMain& ShownMain() {
        Window().move(60, 40);
        Window().resize(500, 400);
        Window().show();
        QApplication::processEvents();
        return Window();
    }
    // Lines a paragraph needs at a width, from the font's own metrics.
    static int WrappedHeight(const QLabel* label) {
        return QFontMetrics(label->font())
            .boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap, label->text())
            .height();
    }
    // Where a label's bottom lies in the help window's own coordinates, scrolled to the top.
    static int BottomInWindow(frmHelp* help, const QLabel* label) {
        return label->mapTo(help, QPoint(0, label->height())).y();
    }
};

TEST_F(HelpTest, IntroductionShowsNineParagraphsAtTheNormalSizeEvenlySpaced) {
    Window().Help1->trigger();
    QApplication::processEvents();
    frmHelp* help = Window().helpWindow();
    ASSERT_TRUE(help->isVisible());
    EXPECT_EQ(help->Label0->text(), "Help - Introduction");
    EXPECT_EQ(help->paragraphCount(), 9);
    EXPECT_EQ(help->Label1[2]->text(), "These methods are:");
    EXPECT_TRUE(help->Label1[1]->text().endsWith(
        "  It makes use of the six different alorithms, all of which have their strengths and "
        "weaknesses."));
    EXPECT_TRUE(help->Label1[8]->text().startsWith("6. Sliding integrations  "));
    EXPECT_TRUE(help->Label1[8]->text().endsWith(
        "  For this, you don't need to do select a range - just tell it to go."));
    const QFont normal = QApplication::font();
    for (int j = 1; j <= 9; ++j) {
        EXPECT_EQ(help->Label1[j]->font().pointSizeF(), normal.pointSizeF()) << j;
        EXPECT_GE(help->Label1[j]->height(), WrappedHeight(help->Label1[j])) << j;
    }
    // The same gap between every two paragraphs, and a real one.
    const int gap = help->Label1[2]->y() - (help->Label1[1]->y() + help->Label1[1]->height());
    EXPECT_GE(gap, 4);
    for (int j = 2; j <= 8; ++j)
        EXPECT_EQ(help->Label1[j + 1]->y() - (help->Label1[j]->y() + help->Label1[j]->height()),
                  gap)
            << j;
    // The window grows to show everything, or to the screen's height with the rest a scroll
    // away.
    const QScrollBar* bar = help->scrollArea()->verticalScrollBar();
    if (BottomInWindow(help, help->Label1[9]) > help->height()) {
        EXPECT_LE(help->height(), help->screen()->availableGeometry().height());
        EXPECT_GE(help->height(), help->screen()->availableGeometry().height() * 3 / 4);
        EXPECT_GE(bar->maximum(), BottomInWindow(help, help->Label1[9]) - help->height());
    } else {
        EXPECT_EQ(bar->maximum(), 0);
    }
}

TEST_F(HelpTest, DataFileScreenAfterIntroductionShowsOnlyFourParagraphs) {
    Window().Help1->trigger();
    Window().Help2->trigger();
    frmHelp* help = Window().helpWindow();
    EXPECT_EQ(help->Label0->text(), "Help - Input files");
    EXPECT_EQ(help->paragraphCount(), 4);
    for (int j = 1; j <= 4; ++j) EXPECT_TRUE(help->Label1[j]->isVisible()) << j;
    for (int j = 5; j <= 9; ++j) EXPECT_FALSE(help->Label1[j]->isVisible()) << j;
    EXPECT_TRUE(help->Label1[4]->text().endsWith(
        "  However, note that each line must be of the same format."));
    // Fitted to the four: the last one ends inside the window, with little more below it.
    const int bottom = BottomInWindow(help, help->Label1[4]);
    EXPECT_LE(bottom, help->height());
    EXPECT_LE(help->height() - bottom, 40);
}

TEST_F(HelpTest, ResizingRewrapsAndRecomputesTheHeight) {
    Window().Help2->trigger();
    frmHelp* help = Window().helpWindow();
    const int before = help->height();
    help->resize(TwipsToPixels(6000), help->height());
    QApplication::processEvents();
    EXPECT_LT(help->Label1[3]->width(), TwipsToPixels(6000));
    EXPECT_GE(help->Label1[3]->height(), WrappedHeight(help->Label1[3]));
    EXPECT_GT(help->height(), before);  // narrower: more lines
    EXPECT_LE(BottomInWindow(help, help->Label1[4]), help->height());
}

TEST_F(HelpTest, HelpOpensCentredOnTheMainWindow) {
    const QPoint centre = ShownMain().frameGeometry().center();
    Window().Help2->trigger();
    const QPoint help = Window().helpWindow()->frameGeometry().center();
    EXPECT_LE(std::abs(help.x() - centre.x()), 2);
    // The title bar the window system adds is allowed for: within half of one.
    EXPECT_LE(std::abs(help.y() - centre.y()), 20);
}

TEST_F(HelpTest, ReopenedWindowComesBackWhereItWasClosed) {
    Window().Help2->trigger();
    frmHelp* help = Window().helpWindow();
    help->move(140, 90);
    const QPoint where = help->pos();
    help->close();
    help->move(0, 0);  // wherever the system would put it
    Window().Help1->trigger();
    EXPECT_EQ(help->pos(), where);
}

TEST_F(HelpTest, AboutBoxShowsTitleAndVersionCentredOnTheMainWindow) {
    const QPoint centre = ShownMain().frameGeometry().center();
    Window().About->trigger();
    frmAbout* about = Window().aboutWindow();
    EXPECT_TRUE(about->isVisible());
    QStringList texts;
    for (QLabel* l : about->findChildren<QLabel*>()) texts << l->text();
    EXPECT_TRUE(texts.contains("Umbrix"));
    EXPECT_TRUE(texts.contains("This is version 25b of 2006-05-03"));
    const QPoint at = about->frameGeometry().center();
    EXPECT_LE(std::abs(at.x() - centre.x()), 2);
    EXPECT_LE(std::abs(at.y() - centre.y()), 20);
}

}  // namespace
}  // namespace umbrix
