// The main window as a keyboard user and a returning user meet it: the open dialog's name box,
// the shortcuts, Open Recent, the loaded file's name, the window's least size, and message
// boxes that look like the refusals they are.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "tests/timing/gui/gui_fixture.h"
#include "timing/gui/main/file_dialogs.h"
#include "timing/gui/main/help_windows.h"

// GCC 12 at -O3 (bug 105329) warns falsely on std::string built from literals and
// temporaries, as these tests build their expected lines and rows.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

namespace umbrix {
namespace {

const std::string kCurve = "HJD,Mag\n2454123.40,12.0\n2454123.41,12.4\n2454123.42,12.1\n";

class MainWindowConveniencesTest : public GuiTest {
protected:
    void ShowActive() {
        Window().show();
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    }
    QStringList RecentNames() {
        QStringList names;
        for (QAction* a : Window().OpenRecent->actions()) names << a->text();
        return names;
    }
};

// A whole path typed into the name box is that file, whatever folder the dialog shows; the
// box has the focus as the dialog opens and Enter is OK.
TEST_F(MainWindowConveniencesTest, TypedPathAndEnterOpenTheFileFromAnyFolder) {
    std::filesystem::create_directories(dir_ / "elsewhere");
    WriteFile("elsewhere/night.csv", kCurve);
    FileDialog* d = Window().openDialog();
    d->Dir1->setPath(Dir());  // a folder that does not hold the file
    Window().Open->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    EXPECT_EQ(QApplication::focusWidget(), d->Text1);
    d->Text1->setText(QString::fromStdString((dir_ / "elsewhere" / "night.csv").string()));
    QTest::keyClick(d->Text1, Qt::Key_Return);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Window().Label[17]->text(), "3");
    EXPECT_EQ(app_->data.DataDir, (dir_ / "elsewhere").string());
    EXPECT_EQ(app_->data.DataFileName, "night.csv");
    // The name sits under the title, the whole path in its tooltip.
    EXPECT_EQ(Window().LabelFile->text(), "night.csv");
    EXPECT_EQ(Window().LabelFile->toolTip().toStdString(), (dir_ / "elsewhere" / "night.csv").string());
}

TEST_F(MainWindowConveniencesTest, ShortcutsOpenSaveHelpAndExitAndEscapePutsHelpAway) {
    ShowActive();
    QTest::keyClick(&Window(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(Window().openDialog()->isVisible());
    Window().openDialog()->hide();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Window().saveDialog()->isVisible());
    Window().saveDialog()->hide();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), Qt::Key_F1);
    frmHelp* help = Window().helpWindow();
    ASSERT_TRUE(help->isVisible());
    EXPECT_EQ(help->Label0->text().isEmpty(), false);
    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    Window().About->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window().aboutWindow()));
    QTest::keyClick(Window().aboutWindow(), Qt::Key_Escape);
    EXPECT_FALSE(Window().aboutWindow()->isVisible());
    // Every menu and item has its own Alt letter.
    for (QMenu* menu : {Window().menuBar()->actions()[0]->menu(), Window().menuBar()->actions()[1]->menu()}) {
        QStringList letters;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            const qsizetype amp = a->text().indexOf('&');
            ASSERT_GE(amp, 0) << a->text().toStdString();
            letters << a->text().mid(amp + 1, 1).toLower();
        }
        letters.removeDuplicates();
        EXPECT_EQ(letters.size(), menu->actions().size() - 1) << menu->title().toStdString();
    }
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_TRUE(std::filesystem::exists(dir_ / "zzzumb.ini"));  // Exit's settings, written
}

// The eight files opened last, newest first, kept beside zzzumb.ini for the next run; a file
// opened again moves to the top, and one that has gone is dropped when it fails to open.
TEST_F(MainWindowConveniencesTest, OpenRecentKeepsTheLastEightAcrossRuns) {
    EXPECT_FALSE(Window().OpenRecent->isEnabled());
    for (int n = 1; n <= 9; ++n) {
        WriteFile("c" + std::to_string(n) + ".csv", kCurve);
        ASSERT_TRUE(Window().openLightCurve(Dir(), QString("c%1.csv").arg(n)));
    }
    ASSERT_TRUE(Window().openLightCurve(Dir(), "c5.csv"));
    EXPECT_EQ(RecentNames(), QStringList({"&1 c5.csv", "&2 c9.csv", "&3 c8.csv", "&4 c7.csv",
                                          "&5 c6.csv", "&6 c4.csv", "&7 c3.csv", "&8 c2.csv"}));
    EXPECT_EQ(Window().OpenRecent->actions()[0]->toolTip(), QDir(Dir()).filePath("c5.csv"));

    window_.reset();  // the next run reads the list back
    std::filesystem::remove(dir_ / "c8.csv");
    EXPECT_EQ(RecentNames().size(), 8);
    Window().OpenRecent->actions()[3]->trigger();  // c7
    EXPECT_EQ(Window().LabelFile->text(), "c7.csv");
    Window().OpenRecent->actions()[3]->trigger();  // now c8, which is gone
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(RecentNames(), QStringList({"&1 c7.csv", "&2 c5.csv", "&3 c9.csv", "&4 c6.csv",
                                          "&5 c4.csv", "&6 c3.csv", "&7 c2.csv"}));
}

// Shrunk as far as it goes, the window still shows every caption whole.
TEST_F(MainWindowConveniencesTest, NeverSmallerThanItsControlsNeed) {
    Window().show();
    Window().resize(50, 50);
    QApplication::processEvents();
    EXPECT_GE(Window().width(), Window().sizeHint().width());
    for (QWidget* w : Window().centralWidget()->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString();
        EXPECT_TRUE(Window().centralWidget()->rect().contains(w->geometry())) << w->objectName().toStdString();
    }
}

// Every control of the main window and its dialogs says what it does.
TEST_F(MainWindowConveniencesTest, EveryControlHasATooltip) {
    for (QWidget* top : std::initializer_list<QWidget*>{&Window(), Window().openDialog(), Window().saveDialog(),
                                                        Window().aboutWindow()}) {
        int controls = 0;
        for (QWidget* c : top->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLineEdit*>(c) &&
                !qobject_cast<QComboBox*>(c) && !qobject_cast<QAbstractItemView*>(c))
                continue;
            if (qobject_cast<QAbstractItemView*>(c->parentWidget())) continue;  // an editor inside a list
            if (c->parent() && qobject_cast<QComboBox*>(c->parent())) continue;  // a combo's own parts
            if (c->objectName().startsWith("qt_")) continue;  // the toolkit's own, as the menu bar's
            ++controls;
            EXPECT_FALSE(c->toolTip().isEmpty()) << top->objectName().toStdString() << "."
                                                 << c->objectName().toStdString();
        }
        EXPECT_GT(controls, 0) << top->objectName().toStdString();
    }
    // A fresh row says what it holds again once it is no longer stale.
    EXPECT_TRUE(Window().Text[4]->toolTip().contains("Kwee and van Woerden"));
}

// The real message box, not the recorder: a refused file shows the warning icon.
TEST_F(MainWindowConveniencesTest, RefusalsShowTheWarningIcon) {
    MessageHandler recorder = setMessageHandler({});
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        text = box->text();
        box->accept();
    });
    EXPECT_FALSE(Window().openLightCurve(Dir(), "missing.csv"));
    setMessageHandler(recorder);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_TRUE(text.contains("missing.csv")) << text.toStdString();
}

}  // namespace
}  // namespace umbrix
