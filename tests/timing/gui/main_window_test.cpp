#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <cmath>
#include <fstream>
#include <iterator>

#include "tests/timing/gui/gui_fixture.h"
#include "timing/gui/main/plot_data_launcher.h"
#include "timing/gui/main/file_dialogs.h"
#include "timing/core/files/settings_file.h"

namespace umbrix {
namespace {

const QString kData = UMBRIX_TEST_DATA;

class MainWindowTest : public GuiTest {
protected:
    // Loads a file the way a user does: File > Open, pick the folder, type the name, OK.
    void OpenThroughDialog(const QString& dir, const QString& name) {
        Window().Open->trigger();
        FileDialog* dialog = Window().openDialog();
        dialog->Dir1->setPath(dir);
        dialog->Text1->setText(name);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    }
    void FillAllBoxes() {
        for (int n = 1; n <= 16; ++n) Window().Text[n]->setText(QString("box %1").arg(n));
        for (int k = 1; k <= 6; ++k) {
            Window().Check[k]->setChecked(true);
            Window().TextCalibrated[k]->setText("calibrated");
        }
    }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void Tick(int row, const QString& time, const QString& error) {
        Window().Text[row]->setText(time);
        Window().Text[row + 6]->setText(error);
        Window().Check[row]->setChecked(true);
    }
};

TEST_F(MainWindowTest, StartsWithItsCaptionsAndNoFile) {
    frmMain& w = Window();
    EXPECT_EQ(w.windowTitle(), "Umbrix");
    const std::vector<std::pair<const char*, const char*>> labels = {
        {"Label1", "Umbrix v2.3"},
        {"Label2", "1. Parabolic Fit"},
        {"Label3", "2. Tracing Paper"},
        {"Label4", "3. Bisectors of Chords"},
        {"Label5", "4. Kwee and van Woerden"},
        {"Label6", "5. Fourier Fit"},
        {"Label7", "6. Sliding Integrations"},
        {"Label8", "Time of Minimum"},
        {"Label9", "Est'd Error"},
        {"Label13", "Use in Mean?"},
        {"LabelCalibrated", "Calibrated"},
        {"Label10", "Simple Mean"},
        {"Label11", "Weighted Mean"},
        {"Label12", "Std. Error of  Weighted Mean"},
        {"Label14", "Std. Deviation of Means"},
        {"Label15", "Original # data points"},
        {"Label16", "Edited # data points"},
        {"Label17", ""},
        {"Label18", ""},
    };
    for (const auto& [name, text] : labels) {
        auto* label = w.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), text) << name;
    }
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(w.findChild<QPushButton*>(QString("Command%1").arg(k))->text(), "Go");
        EXPECT_EQ(w.findChild<QCheckBox*>(QString("Check%1").arg(k))->text(), "In");
        EXPECT_FALSE(w.Check[k]->isChecked());
    }
    EXPECT_EQ(w.findChild<QPushButton*>("Command7")->text(), "Plot/Edit Data");
    EXPECT_EQ(w.findChild<QPushButton*>("Command8")->text(), "Calc. Means");
    EXPECT_EQ(w.findChild<QRadioButton*>("Option1(0)")->text(), "+Mags");
    EXPECT_EQ(w.findChild<QRadioButton*>("Option1(1)")->text(), "-Mags (inverted)");
    EXPECT_TRUE(w.Option1[0]->isChecked());
    for (int n = 1; n <= 16; ++n) EXPECT_TRUE(w.Text[n]->text().isEmpty()) << n;
    EXPECT_TRUE(app_->data.DataFileName.empty());

    // The captions as shown: an ampersand only underlines the letter that follows it.
    const auto shown = [](const QAction* a) { return QString(a->text()).remove('&'); };
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) menus << shown(a);
    EXPECT_EQ(menus, QStringList({"File", "Help"}));
    QStringList fileItems;
    for (QAction* a : w.menuBar()->actions().front()->menu()->actions()) fileItems << shown(a);
    EXPECT_EQ(fileItems, QStringList({"Open", "Open Recent", "Import Light Curve ...", "Save",
                                      "Add to Minima Log ...", QString("O\u2013C Diagram ..."), "", "Exit"}));
    EXPECT_EQ(shown(w.Open), "Open");
    EXPECT_EQ(shown(w.Save), "Save");
    EXPECT_EQ(shown(w.Exit), "Exit");
    EXPECT_EQ(shown(w.Help1), "Help - Introduction");
    EXPECT_EQ(shown(w.Help2), "Help -Data files");
    EXPECT_EQ(shown(w.About), "About");
    EXPECT_EQ(Window().placements(), DefaultPlacements());  // no zzzumb.ini in the folder
}

TEST_F(MainWindowTest, ButtonsDoNothingBeforeAFileIsLoaded) {
    int calls = 0;
    for (int k = 1; k <= 5; ++k) Window().setRowAction(k, [&] { ++calls; });
    app_->RangeFirst = 7;
    for (int k = 1; k <= 8; ++k) Click(Window().Command[k]);
    Tick(1, "2454123.51234", "0.00021");
    Click(Window().Command[8]);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(app_->RangeFirst, 7);
    EXPECT_TRUE(Window().Text[13]->text().isEmpty());
    EXPECT_TRUE(Window().Text[6]->text().isEmpty());
    EXPECT_EQ(Window().plotData()->window(), nullptr);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainWindowTest, OpenDialogLoadsTheFileAndClearsEveryResult) {
    Window().Option1[1]->click();
    FillAllBoxes();
    OpenThroughDialog(kData, "header_with_letters.csv");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    EXPECT_EQ(Window().windowTitle(), "Umbrix - header_with_letters.csv");
    EXPECT_EQ(Window().Label[17]->text(), "5");
    EXPECT_EQ(Window().Label[18]->text(), "5");
    for (int n = 1; n <= 16; ++n) EXPECT_TRUE(Window().Text[n]->text().isEmpty()) << n;
    for (int k = 1; k <= 6; ++k) {
        EXPECT_FALSE(Window().Check[k]->isChecked()) << k;
        EXPECT_TRUE(Window().TextCalibrated[k]->text().isEmpty()) << k;
    }
    EXPECT_TRUE(Window().Option1[0]->isChecked());
    EXPECT_EQ(app_->data.MagSign, 1);
    EXPECT_EQ(app_->data.DataDir, kData.toStdString());
    EXPECT_FALSE(Window().openDialog()->isVisible());
}

TEST_F(MainWindowTest, RefusedFileShowsItsMessageAndKeepsTheLoadedData) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    FillAllBoxes();
    OpenThroughDialog(kData, "one_column.csv");
    ASSERT_EQ(messages_.size(), 1);
    // The classic refusal, then where the file fails and that File > Import Light Curve ...
    // reads files of other layouts.
    EXPECT_TRUE(messages_[0].startsWith(
        "Sorry - your data file needs to be in the Comma Separated Variables format.  See "
        "[menu] Help > Help - Data Files for details."))
        << messages_[0].toStdString();
    EXPECT_TRUE(messages_[0].contains("\"one_column.csv\", line 2: no comma"));
    EXPECT_TRUE(messages_[0].contains("File > Import Light Curve ..."));
    EXPECT_EQ(Window().windowTitle(), "Umbrix - header_with_letters.csv");
    EXPECT_EQ(app_->data.ReadCount, 5);
    EXPECT_EQ(app_->data.DataFileName, "one_column.csv");
    for (int n = 1; n <= 12; ++n) EXPECT_TRUE(Window().Text[n]->text().isEmpty()) << n;
    EXPECT_EQ(Window().Text[13]->text(), "box 13");  // means belong to no file; left alone
}

TEST_F(MainWindowTest, AfterARefusedFirstLoadPlotEditAndGoDoNothing) {
    int calls = 0;
    for (int k = 1; k <= 5; ++k) Window().setRowAction(k, [&] { ++calls; });
    OpenThroughDialog(kData, "one_column.csv");
    ASSERT_EQ(messages_.size(), 1);
    ASSERT_EQ(app_->data.DataFileName, "one_column.csv");  // named, but nothing loaded
    for (int k = 1; k <= 7; ++k) Click(Window().Command[k]);
    EXPECT_EQ(Window().plotData()->window(), nullptr);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(messages_.size(), 1);  // row 6 says nothing either
    // Once a curve is in, a later refused file leaves it to plot.
    OpenThroughDialog(kData, "header_with_letters.csv");
    OpenThroughDialog(kData, "one_column.csv");
    Click(Window().Command[7]);
    ASSERT_NE(Window().plotData()->window(), nullptr);
    EXPECT_TRUE(Window().plotData()->window()->isVisible());
}

TEST_F(MainWindowTest, GoResetsTheRangeForPickingWindowsOnly) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    std::vector<int> opened;
    for (int k = 1; k <= 5; ++k) Window().setRowAction(k, [&opened, k] { opened.push_back(k); });
    for (int k : {1, 3, 4, 5}) {
        app_->RangeFirst = 3;
        app_->RangeLast = 4;
        Click(Window().Command[k]);
        EXPECT_EQ(app_->RangeFirst, 1) << k;
        EXPECT_EQ(app_->RangeLast, 5) << k;
    }
    app_->RangeFirst = 3;
    Click(Window().Command[2]);
    EXPECT_EQ(app_->RangeFirst, 3);
    EXPECT_EQ(opened, (std::vector<int>{1, 3, 4, 5, 2}));
}

TEST_F(MainWindowTest, SlidingIntegrationsGoWritesRowSixAtOnce) {
    // A symmetric V-shaped eclipse, faintest (largest magnitude) at 0.5.
    std::string text;
    for (int i = 0; i <= 60; ++i) {
        const double t = 0.35 + 0.005 * i;
        text += std::to_string(2454123 + t) + "," + std::to_string(12.6 - 2 * std::fabs(t - 0.5)) + "\n";
    }
    WriteFile("dip.csv", text);
    ASSERT_TRUE(Window().openLightCurve(Dir(), "dip.csv"));
    Click(Window().Command[6]);
    ASSERT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    EXPECT_TRUE(Window().Check[6]->isChecked());
    const double time = Window().Text[6]->text().toDouble();
    EXPECT_NEAR(time, 2454123.5, 0.003);  // within the grid step of the resampled curve
    EXPECT_FALSE(Window().Text[12]->text().isEmpty());
}

TEST_F(MainWindowTest, SlidingIntegrationsRefusalIsShownAndWritesNothing) {
    WriteFile("two.csv", "2454123.40,12.0\n2454123.50,12.6\n");
    ASSERT_TRUE(Window().openLightCurve(Dir(), "two.csv"));
    Click(Window().Command[6]);
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_TRUE(Window().Text[6]->text().isEmpty());
    EXPECT_FALSE(Window().Check[6]->isChecked());
}

TEST_F(MainWindowTest, PlotEditDataShowsTheCurveAndEditsReachTheCountLabel) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    Click(Window().Command[7]);
    frmPlotData* plot = Window().plotData()->window();
    ASSERT_NE(plot, nullptr);
    EXPECT_TRUE(plot->isVisible());
    EXPECT_EQ(plot->windowTitle(), frmPlotData::kCaption);
    app_->data.SelectedPoint = 2;
    plot->Delete_Click();
    EXPECT_EQ(Window().Label[18]->text(), "4");
    EXPECT_EQ(Window().Label[17]->text(), "5");
    // A new load clears and hides the plot of the old one.
    OpenThroughDialog(kData, "crlf_and_trailing_blank_lines.csv");
    EXPECT_FALSE(plot->isVisible());
    EXPECT_EQ(Window().Label[17]->text(), "4");
    EXPECT_EQ(Window().Label[18]->text(), "4");
    EXPECT_EQ(app_->data.PointCount, 4);
}

// A delete in Plot/Edit Data once left the six rows and the means looking as valid as
// before. They turn grey with a tooltip until computed again; Save says so and asks first;
// the row a method writes afresh is itself again, and so are means of fresh rows only.
TEST_F(MainWindowTest, ResultsComputedBeforeAnEditAreMarkedStaleUntilComputedAgain) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    Window().writeMethodResult(1, 0.51234, 0.0002);
    Window().writeMethodResult(4, 0.51236, 0.0002);
    Click(Window().Command[8]);
    Click(Window().Command[7]);
    app_->data.SelectedPoint = 2;
    Window().plotData()->window()->Delete_Click();
    for (int k : {1, 4}) {
        EXPECT_TRUE(Window().rowStale(k)) << k;
        EXPECT_TRUE(Window().Text[k]->toolTip().startsWith("Computed before points were deleted")) << k;
        EXPECT_NE(Window().Text[k]->styleSheet(), "") << k;
    }
    EXPECT_FALSE(Window().rowStale(2));  // an empty row holds nothing to go stale
    EXPECT_TRUE(Window().meansStale());

    questions_.clear();
    answer_ = false;
    Window().Save->trigger();
    Window().saveDialog()->Dir1->setPath(Dir());
    Window().saveDialog()->Text1->setText("results.txt");
    QTest::mouseClick(Window().saveDialog()->Command1, Qt::LeftButton);
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_EQ(questions_[0], "Rows 1 and 4 were computed before points were deleted or restored in "
                             "Plot/Edit Data, and may not time the points as they are now. Save "
                             "them anyway?");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "results.txt"));

    Window().writeMethodResult(1, 0.51235, 0.0002);
    EXPECT_FALSE(Window().rowStale(1));
    EXPECT_EQ(Window().Text[1]->styleSheet(), "");
    Click(Window().Command[8]);
    EXPECT_TRUE(Window().meansStale());  // row 4 is still from before the edit
    Window().Check[4]->setChecked(false);
    Click(Window().Command[8]);
    EXPECT_FALSE(Window().meansStale());
}

TEST_F(MainWindowTest, MethodResultIsWrittenAsAFullDateAndUndoEmptiesTheRow) {
    WriteFile("night.csv", "2454123.40,12.0\n2454123.50,12.6\n2454123.60,12.1\n");
    ASSERT_TRUE(Window().openLightCurve(Dir(), "night.csv"));
    ASSERT_EQ(app_->data.DayOffset, 2454123.0);
    Window().writeMethodResult(4, 0.51234, 0.0000606);
    EXPECT_EQ(Window().Text[4]->text(), "2454123.51234");
    EXPECT_EQ(Window().Text[10]->text(), "0.00006");
    EXPECT_TRUE(Window().Check[4]->isChecked());
    Window().clearMethodResult(4);
    EXPECT_TRUE(Window().Text[4]->text().isEmpty());
    EXPECT_TRUE(Window().Text[10]->text().isEmpty());
    EXPECT_FALSE(Window().Check[4]->isChecked());
}

TEST_F(MainWindowTest, CalibratedErrorIsShownBesideTheErrorAndLeftOutOfTheMeans) {
    WriteFile("night.csv", "2454123.40,12.0\n2454123.50,12.6\n2454123.60,12.1\n");
    ASSERT_TRUE(Window().openLightCurve(Dir(), "night.csv"));
    RowResult calibrated;
    calibrated.done(app_->data, 0.51234, 0.00021);
    calibrated.calibrate(0.00004);
    Window().writeMethodRow(2, calibrated);
    EXPECT_EQ(Window().TextCalibrated[2]->text(), "0.00004");
    EXPECT_EQ(Window().Text[8]->text(), "0.00021");
    Click(Window().Command[8]);
    EXPECT_EQ(Window().Text[14]->text(), "2454123.51234");
    EXPECT_EQ(Window().Text[15]->text(), "0.00021");  // weighted by the traditional error
    // A later result without a calibrated error (the next tracing redraw) leaves none behind.
    RowResult plain;
    plain.done(app_->data, 0.51234, 0.00021);
    Window().writeMethodRow(2, plain);
    EXPECT_TRUE(Window().TextCalibrated[2]->text().isEmpty());
    Window().writeMethodRow(2, calibrated);
    Window().clearMethodResult(2);
    EXPECT_TRUE(Window().TextCalibrated[2]->text().isEmpty());
}

TEST_F(MainWindowTest, SignOptionResignsTheDataButLeavesResultsAlone) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    FillAllBoxes();
    Window().Check[3]->setChecked(false);
    const double faintest = app_->data.Mag[app_->data.MagMaxIndex];
    QTest::mouseClick(Window().Option1[1], Qt::LeftButton);
    EXPECT_EQ(app_->data.MagSign, -1);
    EXPECT_EQ(app_->data.AllMag[3], -app_->data.RawMag[3]);
    EXPECT_NE(app_->data.Mag[app_->data.MagMaxIndex], faintest);
    for (int n = 1; n <= 16; ++n) EXPECT_EQ(Window().Text[n]->text(), QString("box %1").arg(n));
    EXPECT_FALSE(Window().Check[3]->isChecked());
    EXPECT_TRUE(Window().Check[4]->isChecked());
    QTest::mouseClick(Window().Option1[0], Qt::LeftButton);
    EXPECT_EQ(app_->data.MagSign, 1);
    EXPECT_EQ(app_->data.Mag[app_->data.MagMaxIndex], faintest);
}

TEST_F(MainWindowTest, CalcMeansOfOneRow) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    Tick(2, "2454123.51234", "0.00021");
    Window().Text[16]->setText("old");
    Click(Window().Command[8]);
    EXPECT_EQ(Window().Text[13]->text(), "2454123.51234");
    EXPECT_EQ(Window().Text[14]->text(), "2454123.51234");
    EXPECT_EQ(Window().Text[15]->text(), "0.00021");
    EXPECT_EQ(Window().Text[16]->text(), "");
}

TEST_F(MainWindowTest, CalcMeansOfRowsOneAndFourUntickingAZeroError) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    Tick(1, "2454123.51200", "0.001");
    Tick(4, "2454123.51300", "0.002");
    Tick(6, "2454123.9", "0");
    Click(Window().Command[8]);
    EXPECT_EQ(Window().Text[13]->text(), "2454123.51250");
    EXPECT_EQ(Window().Text[14]->text(), "2454123.51220");
    EXPECT_EQ(Window().Text[15]->text(), "0.00089");
    EXPECT_EQ(Window().Text[16]->text(), "0.00071");
    EXPECT_FALSE(Window().Check[6]->isChecked());
    EXPECT_TRUE(Window().Check[1]->isChecked());
}

// A TESS timing with an error of 3e-6 d once showed "00" and dropped out of both means. It
// shows "0.000003" and counts: with row 4 (+/- 0.0002, 4444 times less weight) the weighted
// mean stays within 0.000001 of row 1. Row 3, typed by hand on the other eclipse of the night,
// is combined with a warning naming the rows; "abc" refuses the means and names its row.
TEST_F(MainWindowTest, CalcMeansShowsSmallErrorsWarnsOfDisagreementAndRefusesText) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    RowResult tess;
    tess.done(app_->data, 0.5123451, 3e-6);
    Window().writeMethodRow(1, tess);
    EXPECT_EQ(Window().Text[7]->text(), "0.000003");
    Tick(4, "2454123.51240", "0.0002");
    Click(Window().Command[8]);
    EXPECT_TRUE(Window().Check[1]->isChecked());
    EXPECT_EQ(Window().Text[14]->text(), "2454123.51235");
    EXPECT_EQ(Window().Text[15]->text(), "0.000003");
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();

    Tick(3, "2454123.66200", "0.0003");
    Click(Window().Command[8]);
    EXPECT_EQ(Window().Text[13]->text(), "2454123.56225");
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith("The ticked times of rows 1, 3 and 4 disagree")) << messages_[0].toStdString();

    Tick(3, "abc", "0.0003");
    Click(Window().Command[8]);
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_TRUE(messages_[1].startsWith("Row 3 holds \"abc\" as its time of minimum")) << messages_[1].toStdString();
    EXPECT_EQ(Window().Text[13]->text(), "2454123.56225");
    EXPECT_TRUE(Window().Check[3]->isChecked());
}

TEST_F(MainWindowTest, CalcMeansWithNothingTickedChangesNoBox) {
    OpenThroughDialog(kData, "header_with_letters.csv");
    Window().Text[13]->setText("kept");
    Click(Window().Command[8]);
    EXPECT_EQ(Window().Text[13]->text(), "kept");
}

TEST_F(MainWindowTest, SettingsAreReadAtStartAndWrittenWhenTheWindowCloses) {
    WriteFile("zzzumb.ini", "1,2,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n13,14,15,16\r\n17,18,19,20\r\n"
                            "21,22,23,24\r\n25,26,27,28\r\n");
    QSignalSpy closed(&Window(), &frmMain::closed);
    EXPECT_EQ(Window().placements()[kSpareSlot], (WindowPlacement{21, 22, 23, 24}));
    Window().placements()[kPlotDataWindow] = {300, 400, 5000, 3000};
    Window().Exit->trigger();
    EXPECT_EQ(closed.count(), 1);
    std::ifstream in(SettingsPath().toStdString(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, "1,2,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n13,14,15,16\r\n17,18,19,20\r\n"
                    "21,22,23,24\r\n300,400,5000,3000\r\n");
}

TEST_F(MainWindowTest, ThreeLineSettingsFileGivesEveryDefault) {
    WriteFile("zzzumb.ini", "1,2,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n");
    Window();
    EXPECT_EQ(Window().placements(), DefaultPlacements());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainWindowTest, SettingsThatCannotBeWrittenAreReportedAndTheProgramStillEnds) {
    std::filesystem::create_directories(dir_ / "zzzumb.ini" / "blocked");
    QSignalSpy closed(&Window(), &frmMain::closed);
    Window().close();
    EXPECT_EQ(closed.count(), 1);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith("The window positions could not be saved:"))
        << messages_[0].toStdString();
}

TEST_F(MainWindowTest, DroppedFileLoadsLikeFileOpen) {
    WriteFile("dropped.csv", "2454200.1,10.0\n2454200.2,10.9\n2454200.3,10.1\n");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QDir(Dir()).filePath("dropped.csv"))});
    // A drop reaches only the widget that accepted the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Window(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Window(), &drop);
    EXPECT_EQ(Window().windowTitle(), "Umbrix - dropped.csv");
    EXPECT_EQ(app_->data.ReadCount, 3);
    EXPECT_EQ(app_->data.DayOffset, 2454200.0);
}

TEST_F(MainWindowTest, FileNamedOnTheCommandLineLoadsOrLeavesTheWindowEmpty) {
    EXPECT_FALSE(Window().openPath(QDir(Dir()).filePath("missing.csv")));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0], "Cannot open \"missing.csv\": there is no such file.");
    EXPECT_EQ(Window().windowTitle(), "Umbrix");
    EXPECT_EQ(app_->data.ReadCount, 0);
    EXPECT_TRUE(Window().openPath(kData + "/header_with_letters.csv"));
    EXPECT_EQ(Window().Label[17]->text(), "5");
}

class SaveResultsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteFile("night.csv", "2454123.40,12.0\n2454123.50,12.6\n2454123.60,12.1\n");
        ASSERT_TRUE(Window().openLightCurve(Dir(), "night.csv"));
        RowResult r;
        r.done(app_->data, 0.51234, 0.00019);
        r.calibrate(0.00004);
        Window().writeMethodRow(1, r);
    }
    void SaveAs(const QString& name) {
        Window().Save->trigger();
        FileDialog* dialog = Window().saveDialog();
        dialog->Dir1->setPath(Dir());
        dialog->Text1->clear();
        QTest::keyClicks(dialog->Text1, name);  // typing, as a user does
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    }
    std::string Contents(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(SaveResultsTest, WritesTheRowsAndMeansAsShown) {
    SaveAs("results.txt");
    const std::string text = Contents("results.txt");
    EXPECT_NE(text.find("Light curve: night.csv\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Method                      Time of Minimum   Est'd Error   Calibrated    "
                        "Use in Mean?\r\n"),
              std::string::npos)
        << text;
    // The numbers to 7 decimals, as the method computed them, for programs that read the file.
    EXPECT_NE(text.find("1. Parabolic Fit            2454123.5123400   0.0001900     0.0000400     "
                        "yes\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("6. Sliding Integrations                                                   "
                        "no\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(app_->data.DataFileName, "results.txt");
    EXPECT_TRUE(messages_.isEmpty());
}

// "Calc. Means" for rows 1 and 4, then row 4 unticked and row 2 filled and ticked by hand,
// without pressing it again. Rows 1 and 2 (2454123.512 and .516, both +/- 0.001) give: mean
// and weighted mean .514; standard error sqrt(1 / 2e6) = 0.000707; standard deviation
// 0.004 / sqrt(2) = 0.002828.
TEST_F(SaveResultsTest, MeansAreThoseOfTheRowsTickedWhenSaving) {
    for (int k = 1; k <= 6; ++k) Window().clearMethodResult(k);
    const auto tick = [&](int row, const char* time, const char* error) {
        Window().Text[row]->setText(time);
        Window().Text[row + 6]->setText(error);
        Window().Check[row]->setChecked(true);
    };
    tick(1, "2454123.51200", "0.001");
    tick(4, "2454123.51300", "0.002");
    QTest::mouseClick(Window().Command[8], Qt::LeftButton);
    ASSERT_EQ(Window().Text[13]->text(), "2454123.51250");
    Window().Check[4]->setChecked(false);
    tick(2, "2454123.51600", "0.001");
    SaveAs("results.txt");
    const std::string text = Contents("results.txt");
    const auto has = [&](const std::string& line) {
        return text.find(line + "\r\n") != std::string::npos;
    };
    EXPECT_TRUE(has("2. Tracing Paper            2454123.5160000   0.0010000                   yes"))
        << text;
    EXPECT_TRUE(has("4. Kwee and van Woerden     2454123.5130000   0.0020000                   no"))
        << text;
    EXPECT_TRUE(has("Simple Mean                   2454123.5140000")) << text;
    EXPECT_TRUE(has("Weighted Mean                 2454123.5140000")) << text;
    EXPECT_TRUE(has("Std. Error of  Weighted Mean  0.0007071")) << text;
    EXPECT_TRUE(has("Std. Deviation of Means       0.0028284")) << text;
    // The window still shows what its last "Calc. Means" found.
    EXPECT_EQ(Window().Text[13]->text(), "2454123.51250");

    // Nothing ticked: nothing to combine, so no means at all.
    for (int k : {1, 2}) Window().Check[k]->setChecked(false);
    answer_ = true;
    SaveAs("results.txt");
    EXPECT_NE(Contents("results.txt").find("Simple Mean" + std::string(19, ' ') + "\r\n"),
              std::string::npos);
}

TEST_F(SaveResultsTest, NeverOverwritesTheLoadedLightCurve) {
    const std::string before = Contents("night.csv");
    SaveAs("night.csv");
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains("is the light curve you are working on"));
    EXPECT_EQ(Contents("night.csv"), before);
}

TEST_F(SaveResultsTest, AsksBeforeReplacingAnotherFile) {
    WriteFile("old.txt", "keep me");
    answer_ = false;
    SaveAs("old.txt");
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_EQ(Contents("old.txt"), "keep me");
    answer_ = true;
    SaveAs("old.txt");
    EXPECT_NE(Contents("old.txt").find("2454123.51234"), std::string::npos);
}

}  // namespace
}  // namespace umbrix

namespace umbrix {
namespace {

// File > Add to Minima Log: rows 1 and 4 ticked (2454123.512 and .516 +/- 0.001: weighted
// mean .514, standard error sqrt(1 / 2e6) = 0.00071), row 2 filled but unticked. The log,
// named in minima_log.ini beside zzzumb.ini, is created with the batch table's header; a second
// night appends below it with no second header; a file that is not a minima log is left alone.
TEST_F(SaveResultsTest, MinimaLogCollectsTickedRowsAndTheirMean) {
    for (int k = 1; k <= 6; ++k) Window().clearMethodResult(k);
    const auto fill = [&](int row, const char* time, bool ticked) {
        Window().Text[row]->setText(time);
        Window().Text[row + 6]->setText("0.001");
        Window().Check[row]->setChecked(ticked);
    };
    fill(1, "2454123.512", true);
    fill(2, "2454123.9", false);
    fill(4, "2454123.516", true);
    Window().TextCalibrated[4]->setText("0.0004");
    WriteFile("minima_log.ini", (dir_ / "season.csv").string() + "\n");
    Window().AddToMinimaLog->trigger();
    const std::string header = "file,row,method,hjd,error,calibrated_error,refused\n";
    const std::string night = "night.csv,1,parabola,2454123.5120000,0.0010000,,\n"
                              "night.csv,4,kvw,2454123.5160000,0.0010000,0.0004000,\n"
                              "night.csv,mean,weighted_mean,2454123.5140000,0.0007071,,\n";
    EXPECT_EQ(Contents("season.csv"), header + night);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();

    // The same night again: asked first, and nothing is written unless the answer is yes.
    EXPECT_FALSE(Window().addToMinimaLog(QString::fromStdString((dir_ / "season.csv").string())));
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_EQ(questions_[0], "The minima log already holds night.csv (parabola, kvw, weighted_mean). "
                             "Add these rows again?");
    EXPECT_EQ(Contents("season.csv"), header + night);
    answer_ = true;
    ASSERT_TRUE(Window().addToMinimaLog(QString::fromStdString((dir_ / "season.csv").string())));
    EXPECT_EQ(Contents("season.csv"), header + night + night);

    WriteFile("notes.csv", "my notes, not a log\n");
    EXPECT_FALSE(Window().addToMinimaLog(QString::fromStdString((dir_ / "notes.csv").string())));
    EXPECT_EQ(Contents("notes.csv"), "my notes, not a log\n");
    EXPECT_EQ(messages_.size(), 1);
}

}  // namespace
}  // namespace umbrix
