// File > Import Light Curve ...: the dialog, the import window, and what reaches the main
// window from it. The curve is a synthetic measurement table with its minima known.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

#include "tests/timing/gui/gui_fixture.h"
#include "timing/cli/batch.h"
#include "timing/core/long/eclipse_timing.h"
#include "timing/core/methods/method_table.h"
#include "timing/fits/fits_light_curve.h"
#include "timing/gui/import/import_dialog.h"
#include "timing/gui/import/import_launcher.h"
#include "timing/gui/import/import_window.h"
#include "timing/gui/import/long_curve_view.h"
#include "timing/gui/methods/method_windows.h"

namespace umbrix {
namespace {

// Six Gaussian dips (30 % of the flux, sigma 0.02 day: contact to contact about 0.09 day) at
// 1.2-day steps on a flat level with 0.2 % noise, one point a thousandth of a day; the data end
// one sigma after the last minimum, so that its rising branch is cut short.
constexpr double kFirstMinimum = 2459000.5;
constexpr double kStep = 1.2;
constexpr int kDips = 6;
constexpr double kSigma = 0.02;
constexpr double kStart = 2459000.2, kCadence = 0.001;
constexpr double kEnd = kFirstMinimum + (kDips - 1) * kStep + kSigma;
double Minimum(int k) { return kFirstMinimum + k * kStep; }

std::string SyntheticTable() {
    std::mt19937 random(20240611);
    std::normal_distribution<double> noise(0, 0.002);
    std::ostringstream out;
    out << "BJD_TDB\trel_flux_T1\trel_flux_err_T1\n";
    char line[96];
    for (int i = 0; kStart + i * kCadence <= kEnd; ++i) {
        const double t = kStart + i * kCadence;
        double flux = 1;
        for (int k = 0; k < kDips; ++k) flux -= 0.3 * std::exp(-0.5 * std::pow((t - Minimum(k)) / kSigma, 2));
        std::snprintf(line, sizeof line, "%.6f\t%.6f\t0.002000\n", t, flux + noise(random));
        out << line;
    }
    return out.str();
}

class ImportWindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFile("synthetic.tsv", SyntheticTable());
        // What the window is to show, from the core alone.
        ASSERT_EQ(ReadLongCurve(Path(), {}, &ReadFitsLightCurve, curve_), "");
        found_ = FindLongEclipses(curve_, {});
    }
    std::string Path() const { return (dir_ / "synthetic.tsv").string(); }
    // File > Import Light Curve ..., the file chosen, OK with the columns as preset.
    ImportWindow& Import() {
        Window().ImportLightCurve->trigger();
        ImportDialog* dialog = Window().importer()->dialog();
        EXPECT_NE(dialog, nullptr);
        dialog->setPath(QString::fromStdString(Path()));
        QTest::mouseClick(dialog->OK, Qt::LeftButton);
        ImportWindow* w = Window().importer()->latest();
        EXPECT_NE(w, nullptr) << messages_.join("|").toStdString();
        return *w;
    }
    QString Cell(QTableWidget* t, int row, int column) {
        QTableWidgetItem* item = t->item(row, column);
        return item ? item->text() : QString();
    }

    LongCurve curve_;
    LongEclipses found_;
};

TEST_F(ImportWindowTest, DialogPresetsTheColumnsAndTheWindowListsEveryEclipseWithItsState) {
    Window().ImportLightCurve->trigger();
    ImportDialog& d = *Window().importer()->dialog();
    d.setPath(QString::fromStdString(Path()));
    EXPECT_EQ(d.Preview->horizontalHeaderItem(1)->text(), "rel_flux_T1");
    EXPECT_EQ(d.Preview->item(0, 0)->text(), "2459000.200000");
    EXPECT_EQ(d.TimeColumn->currentText(), "BJD_TDB");
    EXPECT_EQ(d.BrightnessColumn->currentText(), "rel_flux_T1");
    EXPECT_EQ(d.ErrorColumn->currentText(), "rel_flux_err_T1");
    EXPECT_TRUE(d.Flux->isChecked());

    ImportWindow& w = Import();
    EXPECT_EQ(w.windowTitle(), "Import - synthetic.tsv");
    ASSERT_EQ(w.Eclipses->rowCount(), kDips);
    for (int k = 0; k < kDips; ++k) {
        // The centre as listed, against the minimum the table was made with: the dips are
        // sampled every 0.001 day, and the found centre lies within a few samples of it.
        EXPECT_NEAR(Cell(w.Eclipses, k, ImportWindow::kCentre).toDouble(), Minimum(k), 0.004) << k;
        EXPECT_EQ(Cell(w.Eclipses, k, ImportWindow::kState) == "covered", k < kDips - 1) << k;
    }
    EXPECT_TRUE(Cell(w.Eclipses, kDips - 1, ImportWindow::kState).startsWith("one branch: the data end at"));
    EXPECT_TRUE(w.Eclipses->isColumnHidden(ImportWindow::kCycle));  // no ephemeris, no cycles
    // Over 6000 points: the plot is drawn per pixel column.
    EXPECT_TRUE(w.plot().decimated);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
}

TEST_F(ImportWindowTest, WheelZoomsAboutThePointerAndDoubleClickShowsTheWholeCurve) {
    ImportWindow& w = Import();
    w.resize(1000, 720);
    const AxisRange whole = w.plot().scale.time;
    const PlotScale before = w.plot().scale;
    const double x = before.frame.PlotLeft + 0.25 * before.frame.PlotWidth();  // twips
    const QPointF at(x / 15, before.frame.PlotTop / 15 + 40);
    QWheelEvent in(at, w.surface()->mapToGlobal(at), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.surface(), &in);
    // Two notches: 0.8 * 0.8 of the span, the time under the pointer where it was.
    EXPECT_NEAR(w.plot().scale.time.span, 0.64 * whole.span, 1e-9);
    EXPECT_NEAR(w.plot().scale.TimeAt(x), before.TimeAt(x), 1e-9);
    QTest::mouseDClick(w.surface(), Qt::LeftButton, {}, at.toPoint());
    EXPECT_NEAR(w.plot().scale.time.min, whole.min, 1e-12);
    EXPECT_NEAR(w.plot().scale.time.span, whole.span, 1e-12);
}

TEST_F(ImportWindowTest, LoadedEclipseIsTheMainWindowsLightCurveAsAFileOfItsPointsWouldBe) {
    ImportWindow& w = Import();
    Window().Text[1]->setText("2459000.1");  // a result of the light curve before
    Window().Check[1]->setChecked(true);
    const LongEclipse& e = found_.eclipses[2];
    w.Eclipses->setCurrentCell(2, 0);
    QTest::mouseClick(w.Load, Qt::LeftButton);

    EXPECT_EQ(Window().windowTitle(), "Umbrix - synthetic.tsv#3");
    const DataSet& ds = app_->data;
    ASSERT_EQ(static_cast<std::size_t>(ds.ReadCount), e.count);
    EXPECT_EQ(ds.RawHjd[1], curve_.time[e.first]);
    EXPECT_EQ(ds.RawHjd[ds.ReadCount], curve_.time[e.last]);
    // The window reaches a half-width either side of the minimum (the measured duration, near
    // 0.09 day for these dips).
    EXPECT_NEAR(ds.RawHjd[1], Minimum(2) - found_.halfWidth, 0.005);
    EXPECT_GT(found_.halfWidth, 0.07);
    EXPECT_EQ(Window().Label[17]->text(), QString::number(e.count));
    EXPECT_TRUE(Window().Text[1]->text().isEmpty());
    EXPECT_FALSE(Window().Check[1]->isChecked());

    // The cut eclipse: loaded only when the user says so after the warning.
    answer_ = false;
    EXPECT_FALSE(w.loadEclipse(kDips - 1));
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_TRUE(questions_[0].startsWith("Eclipse 6 is not covered (one branch:")) << questions_[0].toStdString();
    EXPECT_EQ(Window().windowTitle(), "Umbrix - synthetic.tsv#3");
    answer_ = true;
    EXPECT_TRUE(w.loadEclipse(kDips - 1));
    EXPECT_EQ(Window().windowTitle(), "Umbrix - synthetic.tsv#6");
    EXPECT_EQ(ds.RawHjd[ds.ReadCount], curve_.time.back());
}

// The loaded eclipse is the working light curve of every method window: Go of tracing paper
// writes the row the command line gives for a file of the window's points.
TEST_F(ImportWindowTest, GoOnALoadedEclipseGivesTheBatchRowOfAFileOfItsPoints) {
    new MethodWindows(*app_, Window());  // the windows behind the Go buttons, kept by the main window
    ImportWindow& w = Import();
    ASSERT_TRUE(w.loadEclipse(1));
    QTest::mouseClick(Window().Command[2], Qt::LeftButton);

    const WindowPoints points = PointsOfWindow(curve_, found_.eclipses[1], kMaxPoints);
    std::string csv;
    char line[80];
    for (std::size_t i = 0; i < points.time.size(); ++i) {
        std::snprintf(line, sizeof line, "%.17g,%.17g\n", points.time[i], points.mag[i]);
        csv += line;
    }
    WriteFile("window.csv", csv);
    std::ostringstream out, err;
    ASSERT_EQ(RunBatch({"--batch", (dir_ / "window.csv").string(), "--method", "tracing"}, out, err), 0) << err.str();
    const std::string row = "2. Tracing Paper: " + Window().Text[2]->text().toStdString() + " +/- " +
                            Window().Text[2 + 6]->text().toStdString();
    EXPECT_NE(out.str().find(row), std::string::npos) << row << "\n" << out.str();
    EXPECT_NEAR(Window().Text[2]->text().toDouble(), Minimum(1), 0.002);
}

TEST_F(ImportWindowTest, TimeAllGivesTheCoresTimesNearTheKnownMinimaAndLogsEachEclipse) {
    ImportWindow& w = Import();
    QTest::mouseClick(w.TimeAll, Qt::LeftButton);
    ASSERT_EQ(w.Results->rowCount(), kDips - 1);  // the cut one is not timed
    const int kvwColumn = 2 * 4;                    // "#", "Cycle", then time and error per method

    for (int k = 0; k < kDips - 1; ++k) {
        // The same window timed directly, as the command line times it.
        auto app = std::make_unique<AppState>();
        const std::string name = "synthetic.tsv#" + std::to_string(k + 1);
        LoadWindow(*app, PointsOfWindow(curve_, found_.eclipses[static_cast<std::size_t>(k)], kMaxPoints),
                   dir_.string(), name);
        const WindowTiming direct = TimeLoadedWindow(*app, {true, true, true, true, true, true});
        const RowResult& kvw = direct.runs[3].result;
        ASSERT_TRUE(kvw.ok()) << kvw.message;
        EXPECT_EQ(Cell(w.Results, k, kvwColumn).toStdString(), kvw.timeText) << k;
        EXPECT_EQ(Cell(w.Results, k, kvwColumn + 1).toStdString(), kvw.errorText) << k;
        // And the time against the minimum the curve was made with.
        ASSERT_TRUE(kvw.hasCalibrated);
        EXPECT_LT(std::fabs(kvw.time - Minimum(k)), 4 * kvw.calibratedError) << k;
    }

    WriteFile("minima_log.ini", (dir_ / "season.csv").string() + "\n");
    QTest::mouseClick(w.AddToMinimaLog, Qt::LeftButton);
    std::ifstream in(dir_ / "season.csv");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_FALSE(lines.empty()) << messages_.join("|").toStdString();
    EXPECT_EQ(lines.front(), "file,row,method,hjd,error,calibrated_error,refused");
    int means = 0, third = 0;
    for (const std::string& line : lines) {
        means += line.find(",mean,weighted_mean,") != std::string::npos;
        third += line.rfind("synthetic.tsv#3,", 0) == 0;
    }
    EXPECT_EQ(means, kDips - 1);
    const RowTable& rows = w.timings()[2].timing.table;
    int methods = 0;
    for (int k = 1; k <= kMethodRows; ++k) methods += rows.row(k).ticked;
    EXPECT_EQ(third, methods + 1);
    const std::string kvwLine = rows.minimaLine(4, "synthetic.tsv#3");
    EXPECT_NE(std::find(lines.begin(), lines.end(), kvwLine.substr(0, kvwLine.size() - 1)), lines.end()) << kvwLine;
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
}

TEST_F(ImportWindowTest, RefusalNamesTheFileAndOpensNoWindow) {
    WriteFile("one_field.txt", "flux\n1.0\n0.9\n");
    Window().ImportLightCurve->trigger();
    ImportDialog& d = *Window().importer()->dialog();
    d.setPath(QString::fromStdString((dir_ / "one_field.txt").string()));
    EXPECT_FALSE(d.OK_Click());
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains("one_field.txt")) << messages_[0].toStdString();

    d.setPath(QString::fromStdString(Path()));
    d.T0->setText("2459000.5");  // an ephemeris without its period
    EXPECT_FALSE(d.OK_Click());
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_EQ(messages_[1], "Cannot import \"synthetic.tsv\": an ephemeris needs both T0 and P.");
    EXPECT_EQ(Window().importer()->latest(), nullptr);
    EXPECT_EQ(Window().windowTitle(), "Umbrix");
}

}  // namespace
}  // namespace umbrix
