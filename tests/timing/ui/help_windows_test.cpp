#include "timing/ui/help_windows.h"

#include <QLabel>
#include <QTest>

#include "tests/timing/ui/gui_fixture.h"
#include "timing/ui/twips.h"

namespace umbrix {
namespace {

class HelpTest : public GuiTest {
protected:
    // The height rule: 1000 + sum over paragraphs of (15000 * length / form width + 500).
    static int RuleHeight(const QStringList& paragraphs, int formWidthTwips) {
        long h = 1000;
        for (const QString& p : paragraphs) h += 15000L * p.size() / formWidthTwips + 500;
        return static_cast<int>(h);
    }
};

TEST_F(HelpTest, IntroductionShowsNineParagraphsAndFitsItsHeight) {
    Window().Help1->trigger();
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
    const int widthTwips = PixelsToTwips(help->width());
    EXPECT_EQ(help->height(), TwipsToPixels(RuleHeight(IntroductionParagraphs(), widthTwips)));
    // Each paragraph starts where the rule puts it: 500, then + 15000 * length / width + 500.
    const int labelWidth = widthTwips - 500;
    int top = 500;
    for (int j = 1; j <= 9; ++j) {
        EXPECT_EQ(help->Label1[j]->y(), TwipsToPixels(top)) << j;
        EXPECT_EQ(help->Label1[j]->width(), TwipsToPixels(labelWidth)) << j;
        top += 15000 * help->Label1[j]->text().size() / labelWidth + 500;
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
    EXPECT_EQ(help->height(),
              TwipsToPixels(RuleHeight(DataFileParagraphs(), PixelsToTwips(help->width()))));
}

TEST_F(HelpTest, ResizingRewrapsAndRecomputesTheHeight) {
    Window().Help1->trigger();
    frmHelp* help = Window().helpWindow();
    const int before = help->height();
    help->resize(TwipsToPixels(6000), help->height());
    EXPECT_EQ(help->Label1[3]->width(), TwipsToPixels(6000 - 500));
    EXPECT_EQ(help->height(), TwipsToPixels(RuleHeight(IntroductionParagraphs(), 6000)));
    EXPECT_GT(help->height(), before);  // narrower: more lines
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

TEST_F(HelpTest, AboutBoxShowsTitleAndVersionAtTheTopLeft) {
    Window().About->trigger();
    frmAbout* about = Window().aboutWindow();
    EXPECT_TRUE(about->isVisible());
    QStringList texts;
    for (QLabel* l : about->findChildren<QLabel*>()) texts << l->text();
    EXPECT_TRUE(texts.contains("Umbrix"));
    EXPECT_TRUE(texts.contains("This is version 25b of 2006-05-03"));
    EXPECT_EQ(about->pos(), QPoint(0, 0));
}

}  // namespace
}  // namespace umbrix
