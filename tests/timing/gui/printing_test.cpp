#include "timing/gui/plot/printing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "tests/timing/gui/plot_fixture.h"
#include "timing/core/session/app_state.h"
#include "timing/gui/plot/plot_data_window.h"
#include "timing/gui/plot/plot_view.h"
#include "timing/gui/plot/print_setup_dialog.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {
namespace {

QByteArray Head(const QString& path, int n) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

class PrintingTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        app_.data = EclipseFixture();
        previous_ = setMessageHandler([this](QWidget*, const QString& text) { messages_ << text; });
        window_ = std::make_unique<frmPlotData>(app_.data, placements_[kPlotDataWindow], printer_);
        window_->showPlot();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        setMessageHandler(previous_);
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    void PrintTo(const QString& path) {
        printer_.printer().setOutputFormat(QPrinter::PdfFormat);
        printer_.printer().setOutputFileName(path);
    }

    QTemporaryDir dir_;
    AppState app_;
    Placements placements_ = DefaultPlacements();
    CurrentPrinter printer_;
    std::unique_ptr<frmPlotData> window_;
    QStringList messages_;
    MessageHandler previous_;
};

TEST_F(PrintingTest, PrintWritesTheWindowToTheChosenPdfFile) {
    const QString path = Path("plot.pdf");
    PrintTo(path);
    window_->menu.mPrint->trigger();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    EXPECT_EQ(Head(path, 5), QByteArray("%PDF-"));
    // Line art and labels are drawn as vectors: far more than an empty page.
    EXPECT_GT(QFile(path).size(), 1000);
}

TEST_F(PrintingTest, WithoutAPrinterPrintSaysSoInsteadOfFailingSilently) {
    printer_.setPrinterList([] { return QStringList(); });
    printer_.printer().setOutputFormat(QPrinter::NativeFormat);
    EXPECT_FALSE(PrintWindow(window_.get(), printer_));
    EXPECT_EQ(messages_, QStringList{kNoPrinterMessage});
}

TEST_F(PrintingTest, AFileThatCannotBeWrittenIsReportedWithItsErrorText) {
    PrintTo(Path("no such folder/plot.pdf"));
    EXPECT_FALSE(PrintWindow(window_.get(), printer_));
    EXPECT_EQ(messages_, QStringList{" 75 Error 75: Path/file access error."});
}

TEST_F(PrintingTest, ConfirmedSetupCopiesThePageSettingsOntoTheCurrentPrinter) {
    printer_.setSetupDialog([](QPrinter& chosen, QWidget*) {
        chosen.setCopyCount(3);
        chosen.setPageOrientation(QPageLayout::Landscape);
        chosen.setColorMode(QPrinter::GrayScale);
        chosen.setPageSize(QPageSize(QPageSize::A5));
        return true;
    });
    window_->menu.mPrintSetup->trigger();
    QPrinter& p = printer_.printer();
    EXPECT_EQ(p.copyCount(), 3);
    EXPECT_EQ(p.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(p.colorMode(), QPrinter::GrayScale);
    EXPECT_EQ(p.pageLayout().pageSize().id(), QPageSize::A5);
}

TEST_F(PrintingTest, CancelledSetupChangesNothing) {
    QPrinter& p = printer_.printer();
    const int copies = p.copyCount();
    const auto orientation = p.pageLayout().orientation();
    printer_.setSetupDialog([](QPrinter& chosen, QWidget*) {
        chosen.setCopyCount(7);
        chosen.setPageOrientation(QPageLayout::Landscape);
        return false;
    });
    EXPECT_FALSE(PrintSetupDialog(window_.get(), printer_));
    EXPECT_EQ(p.copyCount(), copies);
    EXPECT_EQ(p.pageLayout().orientation(), orientation);
}

TEST_F(PrintingTest, SetupThatChoosesAFileMakesPrintGoThere) {
    const QString path = Path("chosen.pdf");
    printer_.setSetupDialog([&](QPrinter& chosen, QWidget*) {
        chosen.setOutputFormat(QPrinter::PdfFormat);
        chosen.setOutputFileName(path);
        return true;
    });
    ASSERT_TRUE(PrintSetupDialog(window_.get(), printer_));
    EXPECT_TRUE(PrintWindow(window_.get(), printer_));
    EXPECT_EQ(Head(path, 5), QByteArray("%PDF-"));
}

// The real dialog, answered by a person: a file instead of a printer, A5, on its side. The
// choice holds for the next Print and is what the dialog shows when opened again.
TEST_F(PrintingTest, PrintSetupDialogChoosesWherePrintGoesAndOnWhatPaper) {
    const QString path = Path("setup.pdf");
    printer_.setPrinterList([] { return QStringList{"Office", "Lab"}; });
    QString title, okText;
    QStringList printers;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<PrintSetupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        okText = dialog->okButton()->text().remove('&');
        for (int i = 0; i < dialog->Printer->count(); ++i) printers << dialog->Printer->itemText(i);
        dialog->Printer->setCurrentText(PrintSetupForm::kPdfFileEntry);
        dialog->FileName->setText(path);
        dialog->PaperSize->setCurrentIndex(dialog->PaperSize->findText("A5"));
        dialog->Landscape->setChecked(true);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    window_->menu.mPrintSetup->trigger();
    EXPECT_EQ(title, "Print Setup");
    EXPECT_EQ(okText, "OK");
    EXPECT_EQ(printers, (QStringList{"Office", "Lab", PrintSetupForm::kPdfFileEntry}));

    ASSERT_TRUE(PrintWindow(window_.get(), printer_));
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    // A5 is 148 x 210 mm: on its side the page is 595 points wide and 420 high.
    const QByteArray pdf = Head(path, 1 << 20);
    const qsizetype box = pdf.indexOf("/MediaBox [");
    ASSERT_GE(box, 0);
    const QList<QByteArray> corners =
        pdf.mid(box + 11, pdf.indexOf(']', box) - box - 11).simplified().split(' ');
    ASSERT_EQ(corners.size(), 4);
    EXPECT_NEAR(corners[2].toDouble(), 595.3, 1.0);
    EXPECT_NEAR(corners[3].toDouble(), 419.5, 1.0);

    bool showsLastChoice = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<PrintSetupForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        showsLastChoice = dialog->Printer->currentText() == PrintSetupForm::kPdfFileEntry &&
                          dialog->FileName->text() == path &&
                          dialog->PaperSize->currentText() == "A5" && dialog->Landscape->isChecked();
        dialog->reject();
    });
    window_->menu.mPrintSetup->trigger();
    EXPECT_TRUE(showsLastChoice);
}

struct ExportRow {
    const char* name;
    const char* file;
    const char* magic;
};

class ExportImageTest : public PrintingTest, public testing::WithParamInterface<ExportRow> {};

TEST_P(ExportImageTest, WritesTheFileTypeItsNameAsksFor) {
    const QString path = Path(GetParam().file);
    EXPECT_EQ(ExportImage(ClientArea(window_.get()), path), QString());
    EXPECT_TRUE(Head(path, 64).contains(GetParam().magic)) << Head(path, 64).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportImageTest,
                         testing::Values(ExportRow{"Png", "plot.png", "PNG"},
                                         ExportRow{"Pdf", "plot.pdf", "%PDF-"},
                                         ExportRow{"Svg", "plot.svg", "<svg"}),
                         [](const testing::TestParamInfo<ExportRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PrintingTest, ExportedPngShowsTheRedPointsWhereTheyAreDrawn) {
    const QString path = Path("plot.png");
    ASSERT_EQ(ExportImage(ClientArea(window_.get()), path), QString());
    QImage image(path);
    // Twice the size on screen, so that the image stays sharp on paper.
    ASSERT_EQ(image.size(), window_->surface()->size() * 2);
    const PlotScale& s = window_->plot().scale;
    // Grid lines are drawn after the points and may cross a dot's centre, so a point counts
    // as shown when red lies within a pixel (two image pixels) of it.
    const auto redNear = [&](double xTwips, double yTwips) {
        const int cx = static_cast<int>(std::lround(2 * xTwips / kTwipsPerPixel));
        const int cy = static_cast<int>(std::lround(2 * yTwips / kTwipsPerPixel));
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy)
                if (image.pixelColor(cx + dx, cy + dy) == QColor(255, 0, 0)) return true;
        return false;
    };
    // Point 4 (0.51 day, 12.25) sits where a time and a magnitude grid line cross; the grid,
    // drawn after the points, covers its one-pixel dot completely.
    for (int i : {1, 2, 3, 5})
        EXPECT_TRUE(redNear(s.X(app_.data.AllTime[i]), s.Y(app_.data.AllMag[i]))) << "point " << i;
    EXPECT_FALSE(redNear(s.X(0.5), s.Y(12.3)));  // no point there
    EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 255, 255));
}

// The File menu's Print and Export Image put the file and the window's caption over the plot,
// and a PDF holds the plot as lines and text, not as a picture of them.
TEST_F(PrintingTest, PrintedAndExportedPagesCarryATitleLineAndStayVectors) {
    app_.data.DataFileName = "night_17.csv";
    const QString title = "night_17.csv  -  " + window_->windowTitle();
    const QString png = Path("titled.png");
    ASSERT_EQ(ExportImage(ClientArea(window_.get()), png, title), QString());
    const QImage image(png);
    const int band = image.height() - 2 * window_->surface()->height();
    EXPECT_GT(band, 20);  // a line of text and its margins, at twice the size
    // The band holds dark text pixels; the plot starts under it with its white background.
    int dark = 0;
    for (int y = 0; y < band; ++y)
        for (int x = 0; x < image.width(); ++x) dark += image.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 50);

    const QString pdf = Path("titled.pdf");
    PrintTo(pdf);
    EXPECT_EQ(printer_.printer().pageLayout().orientation(), QPageLayout::Landscape);
    window_->menu.mPrint->trigger();
    const QByteArray bytes = Head(pdf, 1 << 22);

    ASSERT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_FALSE(bytes.contains("/Subtype /Image")) << "the plot was printed as a bitmap";
    // The page's fonts: the title and the axis texts are text, not pixels.
    EXPECT_TRUE(bytes.contains("/Font"));
}

TEST_F(PrintingTest, ExportRefusesAnUnknownFileType) {
    const QString error = ExportImage(ClientArea(window_.get()), Path("plot.bmp"));
    EXPECT_TRUE(error.contains("PNG")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(Path("plot.bmp")));
}

}  // namespace
}  // namespace umbrix
