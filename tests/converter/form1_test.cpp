#include "converter/gui/form1.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "converter/gui/show_message.h"
#include "temp_dir.h"

namespace hjdprep {
namespace {

class Form1Test : public testing::Test {
protected:
    void SetUp() override {
        previous_ = setMessageHandler([this](QWidget*, const QString& text) { messages.push_back(text); });
    }
    void TearDown() override { setMessageHandler(previous_); }

    template <typename W>
    static W* Child(Form1& form, const char* name) {
        W* w = form.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static QString Box(Form1& form, const char* name) { return Child<QLineEdit>(form, name)->text(); }
    static void Type(Form1& form, const char* name, const QString& text) {
        QLineEdit* box = Child<QLineEdit>(form, name);
        box->clear();
        QTest::keyClicks(box, text);
    }
    static void Click(Form1& form, const char* name) {
        QTest::mouseClick(Child<QPushButton>(form, name), Qt::LeftButton);
    }
    std::vector<QString> Boxes(Form1& form) {
        return {Box(form, "Text2"), Box(form, "Text3"), Box(form, "Text4"), Box(form, "Text5"), Box(form, "Text6")};
    }

    test::TempDir dir;
    std::vector<QString> messages;

private:
    MessageHandler previous_;
};

TEST_F(Form1Test, OpensWithTheDesignCaptionsWhenNoSettingsExist) {
    Form1 form(dir.path());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("std形式ファイルの日心補正"));
    EXPECT_EQ(Child<QPushButton>(form, "Command1")->text(), QStringLiteral("補正開始"));
    EXPECT_EQ(Child<QPushButton>(form, "Command2")->text(), "search");
    EXPECT_EQ(Child<QGroupBox>(form, "Frame1")->title(), QStringLiteral("星名から探す"));
    EXPECT_EQ(Child<QCheckBox>(form, "Check1")->text(), QStringLiteral("自動星名検索"));
    EXPECT_FALSE(Child<QCheckBox>(form, "Check1")->isChecked());
    EXPECT_EQ(Child<QLabel>(form, "Label1")->text(), "std file");
    EXPECT_EQ(Child<QLabel>(form, "Label2")->text(), "tme zone");
    EXPECT_EQ(Child<QLabel>(form, "Label3")->text(), "RA");
    EXPECT_EQ(Child<QLabel>(form, "Label4")->text(), "RD");
    EXPECT_EQ(Child<QLabel>(form, "Label5")->text(), "");
    EXPECT_EQ(Child<QRadioButton>(form, "Option1")->text(), "UT");
    EXPECT_EQ(Child<QRadioButton>(form, "Option2")->text(), "JST");
    EXPECT_TRUE(Child<QRadioButton>(form, "Option1")->isChecked());
    EXPECT_EQ(Box(form, "Text1"), "");
    EXPECT_EQ(Box(form, "Text7"), "CASRZ");
    EXPECT_EQ(Boxes(form), (std::vector<QString>{"00", "00", "00", "+00", "00"}));
    EXPECT_NE(Child<QProgressBar>(form, "ProgressBar"), nullptr);
    EXPECT_EQ(form.aliasCount(), 0u);
}

TEST_F(Form1Test, JapaneseCaptionsKeepTheirTextAndExplainThemselvesInEnglish) {
    Form1 form(dir.path());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("std形式ファイルの日心補正"));
    EXPECT_EQ(form.toolTip(), "Heliocentric correction of std-format files");
    EXPECT_EQ(Child<QGroupBox>(form, "Frame1")->toolTip(), "Search by star name");
    EXPECT_TRUE(Child<QCheckBox>(form, "Check1")->toolTip().startsWith("Automatic star-name search"));
    EXPECT_TRUE(Child<QPushButton>(form, "Command1")->toolTip().startsWith("Start correction"));
}

TEST_F(Form1Test, BrowseBesideTheLogBoxPutsTheChosenFileInIt) {
    dir.Put("obs.std", "CASRZ 20070105213045 10.52V ABC\n");
    Form1 form(dir.path());
    QPushButton* browse = Child<QPushButton>(form, "Browse");
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->text(), "Browse...");
    const QRect box = Child<QLineEdit>(form, "Text1")->geometry();
    EXPECT_GE(browse->geometry().left(), box.right());
    EXPECT_TRUE(browse->geometry().intersects(QRect(0, box.top(), form.width(), box.height())));
    EXPECT_LE(browse->geometry().right(), form.width());

    QString startedIn;
    QString answer = QString::fromStdString((dir / "obs.std").string());
    form.setLogChooser([&](QWidget*, const QString& start) {
        startedIn = start;
        return answer;
    });
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(startedIn, QString::fromStdString(dir.path().string()));
    EXPECT_EQ(Box(form, "Text1"), answer);
    EXPECT_EQ(form.stdFileName(), answer.toStdString());
    // Cancelled: the box keeps what it had.
    answer.clear();
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(form.stdFileName(), (dir / "obs.std").string());
    // The chosen log is what the start button converts.
    Click(form, "Command1");
    EXPECT_EQ(messages, std::vector<QString>{"END\n1 record converted, 0 lines written to err.txt"});
    EXPECT_TRUE(dir.Exists("obs_old.std"));
}

TEST_F(Form1Test, RestoresTheSettingsFileAndLoadsTheAliases) {
    dir.Put("hjdprep.ini", "/logs/obs.std\n 2\n 18\n 45\n 5\n-0\n 30\nSGRV4\n");
    dir.CopyIn(test::Fixture("Alias.txt"), "Alias.txt");
    Form1 form(dir.path());
    EXPECT_EQ(Box(form, "Text1"), "/logs/obs.std");
    EXPECT_EQ(form.stdFileName(), "/logs/obs.std");
    EXPECT_TRUE(Child<QRadioButton>(form, "Option2")->isChecked());
    EXPECT_EQ(form.timeZone(), TimeZone::JST);
    EXPECT_EQ(Boxes(form), (std::vector<QString>{"18", "45", "5", "-00", "30"}));
    EXPECT_EQ(Box(form, "Text7"), "SGRV4");
    EXPECT_EQ(form.aliasCount(), 2u);
}

TEST_F(Form1Test, TimeZoneOptionsSetTheZoneThatIsSaved) {
    Form1 form(dir.path());
    QTest::mouseClick(Child<QRadioButton>(form, "Option2"), Qt::LeftButton);
    EXPECT_EQ(form.timeZone(), TimeZone::JST);
    QTest::mouseClick(Child<QRadioButton>(form, "Option1"), Qt::LeftButton);
    EXPECT_EQ(form.timeZone(), TimeZone::UT);
    QTest::mouseClick(Child<QRadioButton>(form, "Option2"), Qt::LeftButton);
    form.close();
    EXPECT_EQ(dir.Lines("hjdprep.ini").at(1), " 2");
}

TEST_F(Form1Test, ConvertsWithAutomaticSearchAndTheNextStartShowsTheLastStar) {
    dir.CopyIn(test::Fixture("star.dat"), "star.dat");
    dir.CopyIn(test::Fixture("Alias.txt"), "Alias.txt");
    dir.CopyIn(test::Fixture("night_with_quirks.std"), "night.std");
    const std::string original = dir.Read("night.std");
    {
        Form1 form(dir.path());
        Type(form, "Text1", QString::fromStdString((dir / "night.std").string()));
        QTest::mouseClick(Child<QCheckBox>(form, "Check1"), Qt::LeftButton);
        Click(form, "Command1");
        ASSERT_EQ(messages, std::vector<QString>{"END\n5 records converted, 3 lines written to err.txt"});
        EXPECT_EQ(Child<QLabel>(form, "Label5")->text(), "");
        QProgressBar* bar = Child<QProgressBar>(form, "ProgressBar");
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_EQ(bar->maximum(), 8);
        // The last star looked up is on show.
        EXPECT_EQ(Box(form, "Text7"), "HERTX");
        EXPECT_EQ(Boxes(form), (std::vector<QString>{"17", "18", "37", "+41", "53"}));
        form.close();
    }
    EXPECT_EQ(dir.Lines("umbrix25.txt").size(), 5u);
    EXPECT_EQ(dir.Lines("err.txt").size(), 3u);
    EXPECT_EQ(dir.Read("night_old.std"), original);
    EXPECT_EQ(dir.Lines("night.std").at(0), "CASRZ 20070105213045 10.52V ABC alias gives CASRZ");
    EXPECT_EQ(dir.Lines("hjdprep.ini"), (std::vector<std::string>{(dir / "night.std").string(), " 1", " 17", " 18", " 37",
                                                                   " 41", " 53", "HERTX"}));

    Form1 again(dir.path());
    EXPECT_EQ(Box(again, "Text1"), QString::fromStdString((dir / "night.std").string()));
    EXPECT_EQ(Boxes(again), (std::vector<QString>{"17", "18", "37", "+41", "53"}));
    EXPECT_EQ(Box(again, "Text7"), "HERTX");
}

TEST_F(Form1Test, AutomaticSearchShowsEachStarAsItIsFound) {
    dir.CopyIn(test::Fixture("star.dat"), "star.dat");
    dir.CopyIn(test::Fixture("Alias.txt"), "Alias.txt");
    dir.CopyIn(test::Fixture("night_with_quirks.std"), "night.std");
    Form1 form(dir.path());
    Type(form, "Text1", "night.std");
    QTest::mouseClick(Child<QCheckBox>(form, "Check1"), Qt::LeftButton);
    // What the star boxes show, each time one of them changes during the run.
    std::vector<std::vector<QString>> shown;
    const auto snapshot = [&] {
        std::vector<QString> now{Box(form, "Text7")};
        for (const QString& b : Boxes(form)) now.push_back(b);
        shown.push_back(now);
    };
    for (const char* name : {"Text7", "Text2", "Text3", "Text4", "Text5", "Text6"})
        QObject::connect(Child<QLineEdit>(form, name), &QLineEdit::textChanged, &form, snapshot);
    Click(form, "Command1");
    ASSERT_EQ(messages, std::vector<QString>{"END\n5 records converted, 3 lines written to err.txt"});
    // The catalogue's lines for the stars of the log, in the log's order (star.dat fixture).
    const std::vector<std::vector<QString>> stars = {
        {"CASRZ", "02", "48", "55", "+69", "38"},
        {"SGRV4", "18", "45", "00", "-00", "30"},
        {"HERTX", "17", "18", "37", "+41", "53"}};
    auto from = shown.begin();
    for (const auto& star : stars) {
        from = std::find(from, shown.end(), star);
        EXPECT_NE(from, shown.end()) << star[0].toStdString() << " never shown, or out of order";
    }
}

TEST_F(Form1Test, ProgressAfterARefusedRunShowsThatRunNotTheOneBefore) {
    dir.Put("obs.std", "CASRZ 20070105213045 10.52V ABC\n");
    Form1 form(dir.path());
    QProgressBar* bar = Child<QProgressBar>(form, "ProgressBar");
    Type(form, "Text1", "obs.std");
    Click(form, "Command1");
    ASSERT_EQ(messages, std::vector<QString>{"END\n1 record converted, 0 lines written to err.txt"});
    ASSERT_EQ(bar->text(), "100%");
    Type(form, "Text1", "absent.std");
    Click(form, "Command1");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].contains("absent.std"));
    EXPECT_EQ(bar->value(), bar->minimum());
    EXPECT_EQ(bar->text(), "stopped");
}

TEST_F(Form1Test, RunShowsEachLineAndCannotBeClosedOrRestartedMidway) {
    std::string log;
    for (int i = 0; i < 50; ++i) log += "CASRZ 200701052130" + std::to_string(10 + i) + " 10.52V ABC\n";
    dir.Put("obs.std", log);
    Form1 form(dir.path());
    form.show();
    Type(form, "Text1", "obs.std");
    QLabel* label = Child<QLabel>(form, "Label5");
    QString labelAtEnd;
    setMessageHandler([&](QWidget*, const QString& text) {
        messages.push_back(text);
        labelAtEnd = label->text();
    });
    bool disabledDuringRun = false;
    // Runs inside the conversion's event processing: a close and a second start are refused.
    QTimer::singleShot(0, &form, [&] {
        disabledDuringRun = form.running() && !Child<QPushButton>(form, "Command1")->isEnabled() &&
                            !Child<QPushButton>(form, "Command2")->isEnabled();
        form.close();
        form.Command1_Click();
    });
    Click(form, "Command1");
    EXPECT_TRUE(disabledDuringRun);
    EXPECT_EQ(messages, std::vector<QString>{"END\n50 records converted, 0 lines written to err.txt"});
    EXPECT_EQ(labelAtEnd, "CASRZ 20070105213059 10.52V ABC");
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(dir.Exists("hjdprep.ini"));
    EXPECT_EQ(dir.Lines("umbrix25.txt").size(), 50u);
    form.close();
    EXPECT_TRUE(dir.Exists("hjdprep.ini"));
}

TEST_F(Form1Test, RunSouthOfTheEquatorSavesMinutesWithoutSign) {
    dir.Put("obs.std", "SGRV4 20070105213045 10.52V ABC\n");
    {
        Form1 form(dir.path());
        Type(form, "Text1", "obs.std");
        Type(form, "Text2", "18");
        Type(form, "Text3", "45");
        Type(form, "Text5", "-00");
        Type(form, "Text6", "30");
        Click(form, "Command1");
        ASSERT_EQ(messages, std::vector<QString>{"END\n1 record converted, 0 lines written to err.txt"});
        EXPECT_DOUBLE_EQ(form.coordinates().DecMinute, -30);
        form.close();
    }
    const auto ini = dir.Lines("hjdprep.ini");
    EXPECT_EQ(ini.at(5), "-0");
    EXPECT_EQ(ini.at(6), " 30");
    // Reopened and run again: the same line, so the same hemisphere.
    const std::string first = dir.Read("umbrix25.txt");
    Form1 again(dir.path());
    EXPECT_EQ(Box(again, "Text5"), "-00");
    Click(again, "Command1");
    EXPECT_EQ(dir.Read("umbrix25.txt"), first);
}

TEST_F(Form1Test, SearchFillsTheBoxesAndSaysOk) {
    dir.CopyIn(test::Fixture("star.dat"), "star.dat");
    {
        Form1 form(dir.path());
        Child<QLabel>(form, "Label5")->setText("leftover");
        Type(form, "Text7", "SGRV4");
        Click(form, "Command2");
        EXPECT_EQ(messages, std::vector<QString>{"OK ?"});
        EXPECT_EQ(Boxes(form), (std::vector<QString>{"18", "45", "00", "-00", "30"}));
        EXPECT_EQ(Child<QLabel>(form, "Label5")->text(), "");
        form.close();
    }
    const auto ini = dir.Lines("hjdprep.ini");
    EXPECT_EQ(ini.at(2), " 18");
    EXPECT_EQ(ini.at(5), "-0");
    EXPECT_EQ(ini.at(6), " 30");
    EXPECT_EQ(ini.at(7), "SGRV4");
}

TEST_F(Form1Test, SearchComparesTheTypedNameWithoutRewriting) {
    dir.CopyIn(test::Fixture("star.dat"), "star.dat");
    Form1 form(dir.path());
    Type(form, "Text7", "CASV455");  // the catalogue holds CASV0455
    Click(form, "Command2");
    EXPECT_EQ(messages, std::vector<QString>{"OK ?"});
    EXPECT_EQ(Boxes(form), (std::vector<QString>{"", "", "", "", ""}));
    EXPECT_EQ(form.coordinates().RaHour, 0);
}

TEST_F(Form1Test, SearchWithoutCatalogueSaysSoAndKeepsTheBoxes) {
    Form1 form(dir.path());
    Type(form, "Text2", "07");
    Click(form, "Command2");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("star.dat"));
    EXPECT_EQ(Box(form, "Text2"), "07");
}

TEST_F(Form1Test, ImpossibleCoordinatesAreRefusedNamingTheBox) {
    dir.Put("obs.std", "CASRZ 20070105213045 10.52V ABC\n");
    Form1 form(dir.path());
    form.show();
    Type(form, "Text1", "obs.std");
    Type(form, "Text2", "99");
    Click(form, "Command1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith("The RA hours box (Text2) holds \"99\"")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("0 to 24")) << messages[0].toStdString();
    Type(form, "Text2", "02");
    Type(form, "Text6", "75");
    Click(form, "Command1");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].startsWith("The RD minutes box (Text6) holds \"75\"")) << messages[1].toStdString();
    EXPECT_EQ(form.focusWidget(), Child<QLineEdit>(form, "Text6"));
    EXPECT_FALSE(dir.Exists("umbrix25.txt"));
    EXPECT_FALSE(dir.Exists("obs_old.std"));
    EXPECT_FALSE(dir.Exists("err.txt"));
}

TEST_F(Form1Test, RunThatCannotStartSaysWhyAndWritesNothing) {
    Form1 form(dir.path());
    Type(form, "Text1", "absent.std");
    Click(form, "Command1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("absent.std"));
    EXPECT_FALSE(dir.Exists("umbrix25.txt"));
    EXPECT_TRUE(Child<QPushButton>(form, "Command1")->isEnabled());
}

}  // namespace
}  // namespace hjdprep
