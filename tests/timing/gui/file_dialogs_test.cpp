#include "timing/gui/main/file_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/timing/gui/gui_fixture.h"
#include "timing/gui/main/twips.h"

namespace umbrix {
namespace {

class FileDialogTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFile("b.csv", "1,2\n");
        WriteFile("a.txt", "x");
        WriteFile("NOTES", "no dot");
        std::filesystem::create_directories(dir_ / "empty");
    }
    QStringList Files(FileDialog* d) {
        QStringList names;
        for (int i = 0; i < d->File1->count(); ++i) names << d->File1->item(i)->text();
        return names;
    }
};

TEST_F(FileDialogTest, OpenKeepsTheCsvPatternAndHasItsOwnControls) {
    FileDialog* d = Window().openDialog();
    EXPECT_EQ(d->windowTitle(), "Open");
    EXPECT_EQ(Window().saveDialog()->windowTitle(), "Save As ...");
    QStringList entries;
    for (int i = 0; i < d->Combo1->count(); ++i) entries << d->Combo1->itemText(i);
    EXPECT_EQ(entries, QStringList({"*.txt", "*.csv", "*.*"}));
    EXPECT_EQ(d->Combo1->currentIndex(), 1);  // "*.csv" until the menu shows it
    EXPECT_EQ(d->Text1->text(), "location.dat");
    for (const char* caption : {"Drives:", "Directories:", "List Files of Type:", "File Name:"}) {
        bool found = false;
        for (QLabel* l : d->findChildren<QLabel*>()) found |= l->text() == caption;
        EXPECT_TRUE(found) << caption;
    }
    EXPECT_GE(d->Drive1->count(), 1);  // the file-system roots
    d->Dir1->setPath(Dir());
    Window().Open->trigger();
    EXPECT_TRUE(d->isVisible());
    // Light curves are .csv files: the list shows them, not the .txt files.
    EXPECT_EQ(d->Combo1->currentText(), "*.csv");
    EXPECT_EQ(Files(d), QStringList({"b.csv"}));
    // The save dialog still ends on the results file's pattern.
    Window().Save->trigger();
    EXPECT_EQ(Window().saveDialog()->Combo1->currentText(), "*.txt");
}

TEST_F(FileDialogTest, PatternFiltersTheFileListAndStarDotStarMeansEveryFile) {
    FileDialog* d = Window().openDialog();
    d->Dir1->setPath(Dir());
    d->Combo1->setCurrentIndex(1);
    EXPECT_EQ(Files(d), QStringList({"b.csv"}));
    d->Combo1->setCurrentIndex(0);
    EXPECT_EQ(Files(d), QStringList({"a.txt"}));
    d->Combo1->setCurrentIndex(2);
    EXPECT_EQ(Files(d), QStringList({"a.txt", "b.csv", "NOTES"}));
}

TEST_F(FileDialogTest, ChangingFolderTakesTheFirstFileOrNothing) {
    FileDialog* d = Window().openDialog();
    d->Combo1->setCurrentIndex(2);
    d->Dir1->setPath(Dir());
    EXPECT_EQ(d->Text1->text(), "a.txt");
    EXPECT_EQ(d->PathLabel->text(), Dir());
    d->Dir1->setPath(QDir(Dir()).filePath("empty"));
    EXPECT_EQ(d->Text1->text(), "");
    EXPECT_TRUE(d->PathLabel->text().endsWith("/empty"));
}

TEST_F(FileDialogTest, ClickingAFilePutsItsNameInTheBox) {
    FileDialog* d = Window().openDialog();
    d->Combo1->setCurrentIndex(2);
    d->Dir1->setPath(Dir());
    d->File1_Click(d->File1->item(1));
    EXPECT_EQ(d->Text1->text(), "b.csv");
}

TEST_F(FileDialogTest, CancelLeavesTheFileIdentityAlone) {
    app_->data.DataDir = "/before";
    app_->data.DataFileName = "before.csv";
    FileDialog* d = Window().openDialog();
    Window().Open->trigger();
    d->Dir1->setPath(Dir());
    d->Text1->setText("b.csv");
    QTest::mouseClick(d->Command2, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(app_->data.DataDir, "/before");
    EXPECT_EQ(app_->data.DataFileName, "before.csv");
}

TEST_F(FileDialogTest, SaveDialogNameBoxNamesTheDataFileAtEveryKeystroke) {
    ASSERT_TRUE(Window().openLightCurve(QString(UMBRIX_TEST_DATA), "header_with_letters.csv"));
    FileDialog* d = Window().saveDialog();
    Window().Save->trigger();
    d->Text1->clear();
    QTest::keyClicks(d->Text1, "abc");
    EXPECT_EQ(app_->data.DataFileName, "abc");
    QTest::mouseClick(d->Command2, Qt::LeftButton);  // Cancel does not undo it
    EXPECT_EQ(app_->data.DataFileName, "abc");

    // An emptied name box leaves no file named: the Go buttons fall silent.
    Window().Save->trigger();
    d->Text1->selectAll();
    QTest::keyClick(d->Text1, Qt::Key_Backspace);
    EXPECT_EQ(app_->data.DataFileName, "");
    int calls = 0;
    Window().setRowAction(1, [&] { ++calls; });
    QTest::mouseClick(Window().Command[1], Qt::LeftButton);
    EXPECT_EQ(calls, 0);
}

TEST_F(FileDialogTest, ShrinkingSnapsBackToTheMinimumAndListsStretch) {
    FileDialog* d = Window().openDialog();
    d->show();
    d->resize(100, 100);
    EXPECT_EQ(d->width(), TwipsToPixels(FileDialog::kMinWidth));
    EXPECT_EQ(d->height(), TwipsToPixels(FileDialog::kMinHeight));
    d->resize(TwipsToPixels(9000), TwipsToPixels(6000));
    QApplication::processEvents();
    EXPECT_EQ(d->File1->height(), TwipsToPixels(6000 - 2100));
    EXPECT_EQ(d->Dir1->height(), TwipsToPixels(6000 - 1890));
    // Centred: as much room left of the block as right of it, within a pixel of rounding.
    const int left = d->File1->x();
    const int right = d->width() - (d->Command1->x() + d->Command1->width());
    EXPECT_NEAR(left, right, TwipsToPixels(60) + 1);
}

}  // namespace
}  // namespace umbrix
