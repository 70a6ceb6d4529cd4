// The O-C window against the command line on the same table: its fit lines, a minimum left out
// by hand against --reject of that minimum, a click on the diagram against the table's rows,
// and the refusal of a bad ephemeris or table.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <sstream>

#include "tests/timing/gui/gui_fixture.h"
#include "timing/cli/oc_command.h"
#include "timing/gui/oc/oc_launcher.h"
#include "timing/gui/oc/oc_window.h"
#include "timing/gui/plot/plot_view.h"
#include "timing/gui/plot/printing.h"

// GCC 12 at -O3 (bug 105329) warns falsely on std::string built from literals and
// temporaries, as these tests build their expected lines and rows.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

namespace umbrix {
namespace {

// Ten minima of T = 2459000.5 + 0.5 E, errors 0.0002 day, off by a few tenths of an error;
// the fifth (E = 222) is 0.01 day late, 50 errors: --reject 10 leaves out that one alone.
// calibrated: the errors in the calibrated_error column too, so that "mean" takes each row.
std::string PlantedTable(bool calibrated = false) {
    const int cycles[] = {0, 37, 81, 150, 222, 301, 390, 444, 512, 600};
    const double offsets[] = {1, -2, 0.5, 1.5, 100, 0, -0.5, 2, -1.5, 1};  // units of 0.0001 day
    std::string text = "file,row,method,hjd,error,calibrated_error,refused\n";
    char line[120];
    for (int k = 0; k < 10; ++k) {
        std::snprintf(line, sizeof line, "n%d.csv,4,kvw,%.7f,0.0002000,%s,\n", k,
                      2459000.5 + 0.5 * cycles[k] + 0.0001 * offsets[k], calibrated ? "0.0002000" : "");
        text += line;
    }
    return text;
}

class OcWindowTest : public GuiTest {
protected:
    QString TablePath(const std::string& name, const std::string& text) {
        WriteFile(name, text);
        return QDir(Dir()).filePath(QString::fromStdString(name));
    }
    QString EphemeridesPath() const { return QDir(Dir()).filePath("oc_ephemerides.ini"); }
    frmOc& Oc() {
        if (!oc_) oc_ = std::make_unique<frmOc>(printer_, EphemeridesPath());
        return *oc_;
    }
    // What `ectimer --oc path ...` prints.
    static std::string CommandLine(const QString& path, std::vector<std::string> options) {
        std::vector<std::string> args{"--oc", path.toStdString()};
        args.insert(args.end(), options.begin(), options.end());
        std::ostringstream out, err;
        OcOutcome outcome;
        EXPECT_EQ(RunOcCommand(args, out, err, outcome), 0) << err.str();
        return out.str();
    }
    // Every line the window shows under its diagram stands on its own line of the output.
    static void ExpectFitLinesIn(const QString& fitLines, const std::string& output) {
        const QStringList lines = fitLines.split('\n');
        ASSERT_FALSE(fitLines.isEmpty());
        for (const QString& line : lines)
            EXPECT_NE(output.find("\n" + line.toStdString() + "\n"), std::string::npos) << line.toStdString() << "\n"
                                                                                         << output;
    }
    void TearDown() override {
        oc_.reset();
        GuiTest::TearDown();
    }

    CurrentPrinter printer_;
    std::unique_ptr<frmOc> oc_;
};

// The many-nights example table: the window's fits are the command line's, line for line, as
// opened and after each control changes (quadratic on, then the means, then secondaries).
TEST_F(OcWindowTest, FitLinesEqualTheCommandLinesAsEachControlChanges) {
    const QString path = QString::fromStdString(std::string(UMBRIX_TEST_DATA) + "/nights/minima.csv");
    ASSERT_TRUE(Oc().openTable(path, OcWindowChoices{"2459000.3456", "0.4567891", "kvw", false, false}));
    EXPECT_TRUE(Oc().windowTitle().startsWith(QString("O\u2013C")));
    EXPECT_TRUE(Oc().windowTitle().contains("minima.csv"));
    const std::vector<std::string> ephemeris{"--ephemeris", "2459000.3456,0.4567891"};
    auto options = ephemeris;
    options.insert(options.end(), {"--method", "kvw"});
    ExpectFitLinesIn(Oc().FitLines->text(), CommandLine(path, options));

    Oc().QuadraticCheck->click();
    options.push_back("--quadratic");
    EXPECT_TRUE(Oc().FitLines->text().contains("quadratic: T0 = 2459000.3456866"));  // README's figure
    ExpectFitLinesIn(Oc().FitLines->text(), CommandLine(path, options));

    Oc().MethodBox->setCurrentText("mean");
    options[3] = "mean";
    ExpectFitLinesIn(Oc().FitLines->text(), CommandLine(path, options));
    EXPECT_EQ(Oc().MinimaTable->rowCount(), 8);
    EXPECT_EQ(Oc().MinimaTable->item(0, frmOc::ColMethod)->text(), "calibrated_mean");

    Oc().SecondaryCheck->click();
    options.push_back("--secondary");
    ExpectFitLinesIn(Oc().FitLines->text(), CommandLine(path, options));
}

// Ticking the late minimum leaves it out as --reject 10 does: the same fit lines, the row
// flagged "excluded" and drawn hollow; unticking gives the fit of all ten back.
TEST_F(OcWindowTest, AMinimumLeftOutByHandFitsAsRejectingIt) {
    const QString path = TablePath("planted.csv", PlantedTable());
    ASSERT_TRUE(Oc().openTable(path, OcWindowChoices{"2459000.5", "0.5", "kvw", false, false}));
    const QString all = Oc().FitLines->text();
    const std::string rejected = CommandLine(path, {"--ephemeris", "2459000.5,0.5", "--method", "kvw", "--reject", "10"});
    ASSERT_NE(rejected.find("rejected: 1 "), std::string::npos) << rejected;
    ASSERT_NE(rejected.find(",rejected\n"), std::string::npos) << rejected;
    ASSERT_EQ(rejected.find("\n" + all.toStdString() + "\n"), std::string::npos);  // the outlier counts

    Oc().MinimaTable->item(4, frmOc::ColLeftOut)->setCheckState(Qt::Checked);
    ExpectFitLinesIn(Oc().FitLines->text(), rejected);
    EXPECT_EQ(Oc().MinimaTable->item(4, frmOc::ColFlag)->text(), "excluded");
    // RunOcFits with that index left out gives the same linear fit.
    std::vector<Minimum> minima;
    ASSERT_EQ(ReadMinima(PlantedTable(), "kvw", minima), "");
    const OcRun byIndex = RunOcFits(minima, {2459000.5, 0.5, false, false, std::nullopt, {4}});
    EXPECT_EQ(Oc().FitLines->text().toStdString(), FitLine(byIndex.linear));
    // Hollow: one silver circle of the dot's radius at its mark, none of the dot's inner radii.
    const OcPlot::Mark mark = Oc().plot().marks[4];
    int outer = 0, inner = 0;
    for (const DrawCommand& c : Oc().plot().list.Commands())
        if (c.kind == DrawKind::Circle && c.x1 == mark.x && c.y1 == mark.y) (c.r == 45 ? outer : inner) += 1;
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 0);

    Oc().MinimaTable->item(4, frmOc::ColLeftOut)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(Oc().FitLines->text(), all);
}

// A click on a mark selects its row, zoomed or not; a row selected in the table rings its
// mark in purple.
TEST_F(OcWindowTest, AClickOnAMarkSelectsItsRowAtAnyZoomAndARowRingsItsMark) {
    ASSERT_TRUE(Oc().openTable(TablePath("planted.csv", PlantedTable()),
                               OcWindowChoices{"2459000.5", "0.5", "kvw", false, false}));
    Oc().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Oc()));
    for (const int row : {2, 7, 4}) {
        const OcPlot::Mark m = Oc().plot().marks[static_cast<std::size_t>(row)];
        ASSERT_TRUE(m.shown);
        // A pixel beside the mark still picks it.
        QTest::mouseClick(Oc().Plot, Qt::LeftButton, {}, QPoint(int(m.x / 15) + 1, int(m.y / 15) - 1));
        ASSERT_EQ(Oc().MinimaTable->selectedItems().size(), frmOc::ColCount);
        EXPECT_EQ(Oc().MinimaTable->selectedItems().front()->row(), row);
    }
    // Zoomed about row 7's mark by three notches of the wheel, the click still finds it (now
    // elsewhere on the surface); a double-click shows the whole again.
    const OcPlot::Mark before = Oc().plot().marks[7];
    emit Oc().Plot->wheelTurned(before.x + 600, before.y, 3);
    ASSERT_FALSE(Oc().zoom().Whole());
    const OcPlot::Mark zoomed = Oc().plot().marks[7];
    ASSERT_TRUE(zoomed.shown);
    EXPECT_GT(std::abs(zoomed.x - before.x), 150);
    Oc().MinimaTable->clearSelection();
    QTest::mouseClick(Oc().Plot, Qt::LeftButton, {}, QPoint(int(zoomed.x / 15), int(zoomed.y / 15)));
    ASSERT_FALSE(Oc().MinimaTable->selectedItems().isEmpty());
    EXPECT_EQ(Oc().MinimaTable->selectedItems().front()->row(), 7);
    emit Oc().Plot->doubleClicked(0, 0);
    EXPECT_TRUE(Oc().zoom().Whole());

    Oc().MinimaTable->selectRow(8);
    const OcPlot::Mark m = Oc().plot().marks[8];
    bool ringed = false;
    for (const DrawCommand& c : Oc().plot().list.Commands())
        ringed = ringed || (c.kind == DrawKind::Circle && c.colour == kPurple && c.x1 == m.x && c.y1 == m.y);
    EXPECT_TRUE(ringed);
    ASSERT_EQ(Oc().selectedRow(), std::optional<std::size_t>(8));
}

// A period of zero or below is refused naming P, the boxes take back the last good ephemeris
// and nothing is remembered; a good one typed is fitted and remembered for the next opening.
// A table without its header, or with a minimum without a usable error, is refused naming
// the file and the line.
TEST_F(OcWindowTest, RefusesABadEphemerisOrTableAndRemembersAGoodEphemeris) {
    const QString path = TablePath("planted.csv", PlantedTable());
    ASSERT_TRUE(Oc().openTable(path, OcWindowChoices{"2459000.5", "0.5", "kvw", false, false}));
    const QString before = Oc().FitLines->text();
    for (const char* bad : {"0", "-0.5"}) {
        Oc().PEdit->selectAll();
        QTest::keyClicks(Oc().PEdit, bad);
        QTest::keyClick(Oc().PEdit, Qt::Key_Return);
        ASSERT_FALSE(messages_.isEmpty());
        EXPECT_EQ(messages_.last(), QString("P must be above zero, not \"%1\".").arg(bad));
        EXPECT_EQ(Oc().PEdit->text(), "0.5");
        EXPECT_EQ(Oc().FitLines->text(), before);
    }
    EXPECT_FALSE(QFile::exists(EphemeridesPath()));

    Oc().PEdit->selectAll();
    QTest::keyClicks(Oc().PEdit, "0.5000001");
    QTest::keyClick(Oc().PEdit, Qt::Key_Return);
    EXPECT_EQ(Oc().p(), 0.5000001);
    QFile remembered(EphemeridesPath());
    ASSERT_TRUE(remembered.open(QIODevice::ReadOnly));
    EXPECT_EQ(remembered.readAll().toStdString(), "2459000.5,0.5000001," + path.toStdString() + "\n");
    frmOc again(printer_, EphemeridesPath());
    ASSERT_TRUE(again.openTable(path));
    EXPECT_EQ(again.T0Edit->text(), "2459000.5");
    EXPECT_EQ(again.PEdit->text(), "0.5000001");

    messages_.clear();
    const std::string body = PlantedTable().substr(PlantedTable().find('\n') + 1);
    const QString headless = TablePath("headless.csv", body);
    EXPECT_FALSE(Oc().openTable(headless));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith("\"" + headless + "\", line 1: not a minima table")) << messages_[0].toStdString();
    std::string zero = PlantedTable();
    zero.replace(zero.find("0.0002000", zero.find("n2.csv")), 9, "0.0000000");
    const QString zeroPath = TablePath("zero_error.csv", zero);
    EXPECT_FALSE(Oc().openTable(zeroPath));
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_TRUE(messages_[1].startsWith("\"" + zeroPath + "\", line 4: the minimum of n2.csv has no usable error"))
        << messages_[1].toStdString();
    EXPECT_TRUE(Oc().windowTitle().endsWith("planted.csv"));  // still the table before
}

// "Use Fit as Ephemeris" makes the fitted T0 and P the trial ones, exactly: fitted again
// against them, the line moves by no more than rounding. Export Table writes the command
// line's table.
TEST_F(OcWindowTest, UseFitCopiesTheFitAndExportTableWritesTheCommandLinesTable) {
    const QString path = TablePath("planted.csv", PlantedTable());
    ASSERT_TRUE(Oc().openTable(path, OcWindowChoices{"2459000.49", "0.50001", "kvw", false, false}));
    const Ephemeris fit = Oc().run().linear;
    ASSERT_TRUE(fit.ok);
    Oc().UseFitButton->click();
    EXPECT_EQ(Oc().t0(), fit.t0);
    EXPECT_EQ(Oc().p(), fit.p);
    EXPECT_NEAR(Oc().run().linear.t0, fit.t0, 1e-9);
    EXPECT_NEAR(Oc().run().linear.p, fit.p, 1e-12);

    const QString out = QDir(Dir()).filePath("oc.csv");
    EXPECT_EQ(Oc().exportTable(out), "");
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string table = file.readAll().toStdString();
    const std::string cli = CommandLine(path, {"--ephemeris", Oc().T0Edit->text().toStdString() + "," +
                                                                  Oc().PEdit->text().toStdString(),
                                               "--method", "kvw"});
    EXPECT_NE(cli.find(table), std::string::npos) << table << cli;
}

// File > "O–C Diagram ..." follows "Add to Minima Log ..." and opens the window on the log,
// with the ephemeris remembered for it.
TEST_F(OcWindowTest, FileMenuOpensTheWindowOnTheMinimaLog) {
    const QString log = TablePath("log.csv", PlantedTable(true));
    WriteFile("minima_log.ini", log.toStdString() + "\n");
    WriteFile("oc_ephemerides.ini", "2459000.5,0.5," + log.toStdString() + "\n");
    const QList<QAction*> actions = Window().findChild<QMenu*>("File")->actions();
    const auto at = actions.indexOf(Window().AddToMinimaLog);
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, actions.size());
    EXPECT_EQ(actions[at + 1], Window().OcDiagram);
    EXPECT_EQ(Window().OcDiagram->text().remove('&'), QString("O\u2013C Diagram ..."));
    Window().OcDiagram->trigger();
    frmOc* oc = Window().ocWindows()->window();
    ASSERT_NE(oc, nullptr);
    EXPECT_EQ(oc->windowTitle(), QString("O\u2013C - log.csv"));
    EXPECT_EQ(oc->PEdit->text(), "0.5");
    EXPECT_EQ(oc->MinimaTable->rowCount(), 10);
    EXPECT_EQ(oc->MinimaTable->item(4, frmOc::ColMethod)->text(), "calibrated_mean");
}

}  // namespace
}  // namespace umbrix
