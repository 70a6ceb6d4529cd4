#include "timing/gui/plot/printing.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPageSize>
#include <QPainter>
#include <QFontMetrics>
#include <QPdfWriter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#ifdef UMBRIX_HAVE_SVG
#include <QSvgGenerator>
#endif

#include "timing/core/data/error_texts.h"
#include "timing/gui/plot/print_setup_dialog.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

// A logical pixel is 15 twips: 96 of them make an inch.
constexpr double kPixelsPerInch = 96.0;

// Error numbers a print failure is reported with: the printer could not be opened, the file
// printed to could not be written, the job failed while being finished.
constexpr int kDeviceUnavailable = 68;
constexpr int kPathFileAccessError = 75;
constexpr int kDeviceIoError = 57;

// The title line's height in logical pixels, and the line itself drawn at the top of the
// painter; the painter then stands below it, where the content goes.
int TitleHeight(const QWidget* content, const QString& title) {
    return title.isEmpty() ? 0 : QFontMetrics(content->font()).height() + 8;
}

void DrawTitle(QPainter& painter, const QWidget* content, const QString& title, int width) {
    if (title.isEmpty()) return;
    const int height = TitleHeight(content, title);
    painter.save();
    painter.setFont(content->font());
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, 0, width - 8, height), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     title);
    painter.restore();
    painter.translate(0, height);
}

void ReportPrintError(QWidget* window, int n) {
    const QString number = (n >= 0 ? " " : "") + QString::number(n);
    showMessage(window, number + " " + QString::fromStdString(ErrorText(n)));
}

}  // namespace

const char* const kNoPrinterMessage =
    "There is no printer to print to. Install a printer and choose it with File > Print Setup "
    "..., or save the plot as a file with File > Export Image ...";

CurrentPrinter::CurrentPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setPageOrientation(QPageLayout::Landscape);
}

CurrentPrinter::~CurrentPrinter() = default;

void CurrentPrinter::setSetupDialog(SetupDialog dialog) { setupDialog_ = std::move(dialog); }

bool CurrentPrinter::runSetupDialog(QPrinter& chosen, QWidget* owner) const {
    return setupDialog_ ? setupDialog_(chosen, owner)
                        : RunPrintSetupForm(chosen, systemPrinters(), owner);
}

void CurrentPrinter::setPrinterList(PrinterList list) { printerList_ = std::move(list); }

QStringList CurrentPrinter::systemPrinters() const {
    return printerList_ ? printerList_() : QPrinterInfo::availablePrinterNames();
}

bool CurrentPrinter::hasDestination() const {
    if (printer_->outputFormat() == QPrinter::PdfFormat) return !printer_->outputFileName().isEmpty();
    const QString name = printer_->printerName();
    return !name.isEmpty() && systemPrinters().contains(name);
}

bool PrintSetupDialog(QWidget* window, CurrentPrinter& current) {
    QPrinter& p = current.printer();
    QPrinter chosen(QPrinter::HighResolution);
    if (p.outputFormat() == QPrinter::PdfFormat) {
        chosen.setOutputFormat(QPrinter::PdfFormat);
        chosen.setOutputFileName(p.outputFileName());
    } else if (!p.printerName().isEmpty()) {
        chosen.setPrinterName(p.printerName());
    }
    chosen.setPaperSource(p.paperSource());
    // The dialog opens on the paper and orientation chosen last, so that confirming it again
    // keeps them.
    chosen.setPageSize(p.pageLayout().pageSize());
    chosen.setPageOrientation(p.pageLayout().orientation());
    if (!current.runSetupDialog(chosen, window)) return false;

    // The system's list is searched by upper-cased name, so a name typed or reported in
    // another case still finds its printer.
    const QString name = chosen.printerName().toUpper();
    if (chosen.outputFormat() == QPrinter::PdfFormat && !chosen.outputFileName().isEmpty()) {
        // "Print to file" in the dialog: printing goes to that PDF file from now on.
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(chosen.outputFileName());
    } else if (name != p.printerName()) {
        const QStringList printers = current.systemPrinters();
        const auto it = std::find_if(printers.begin(), printers.end(),
                                     [&](const QString& s) { return s.toUpper() == name; });
        if (it != printers.end()) {
            p.setOutputFileName(QString());
            p.setOutputFormat(QPrinter::NativeFormat);
            p.setPrinterName(*it);
        }
    }
    p.setCopyCount(chosen.copyCount());
    p.setPageOrientation(chosen.pageLayout().orientation());
    p.setColorMode(chosen.colorMode());
    p.setDuplex(chosen.duplex());
    p.setPaperSource(chosen.paperSource());
    p.setPageSize(chosen.pageLayout().pageSize());
    p.setResolution(chosen.resolution());
    return true;
}

QWidget* ClientArea(QWidget* window) {
    if (auto* main = qobject_cast<QMainWindow*>(window); main && main->centralWidget())
        return main->centralWidget();
    return window;
}

bool PrintWindow(QWidget* window, CurrentPrinter& current, const QString& title) {
    if (!current.hasDestination()) {
        showMessage(window, kNoPrinterMessage);
        return false;
    }
    QPrinter& printer = current.printer();
    QWidget* content = ClientArea(window);
    QPainter painter;
    if (!painter.begin(&printer)) {
        ReportPrintError(window, printer.outputFormat() == QPrinter::PdfFormat
                                     ? kPathFileAccessError
                                     : kDeviceUnavailable);
        return false;
    }
    // The window's size on screen, shrunk to the printable area when it does not fit.
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QSize size = content->size().expandedTo(QSize(1, 1)) + QSize(0, TitleHeight(content, title));
    const double natural = printer.resolution() / kPixelsPerInch;
    const double fit = std::min(page.width() / size.width(), page.height() / size.height());
    const double scale = std::max(std::min(natural, fit), 1e-3);
    // Rendered straight onto a printer, a widget arrives as one bitmap of the whole window;
    // recorded as a picture first, its lines and texts reach the page as they were drawn.
    QPicture picture;
    {
        QPainter recorder(&picture);
        DrawTitle(recorder, content, title, size.width());
        content->render(&recorder, QPoint(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    // A picture plays back at its own resolution's size on the device: that part of the scale
    // is its own.
    const double played = static_cast<double>(printer.logicalDpiX()) / std::max(1, picture.logicalDpiX());
    painter.scale(scale / played, scale / played);
    painter.drawPicture(0, 0, picture);
    if (!painter.end()) {
        ReportPrintError(window, kDeviceIoError);
        return false;
    }
    return true;
}

QString ExportImageFilter() {
    QString filter = "PNG image (*.png);;PDF document (*.pdf)";
#ifdef UMBRIX_HAVE_SVG
    filter += ";;SVG drawing (*.svg)";
#endif
    return filter;
}

QString ExportImage(QWidget* content, const QString& path, const QString& title) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QSize size = content->size().expandedTo(QSize(1, 1)) + QSize(0, TitleHeight(content, title));
    const auto render = [&](QPainter& painter) {
        DrawTitle(painter, content, title, size.width());
        content->render(&painter, QPoint(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    };
    if (suffix == "png") {
        QImage image(size * kExportScale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(kExportScale, kExportScale);
            render(painter);
        }
        if (!image.save(path, "PNG")) return "The image could not be written to " + path + ".";
        return {};
    }
    if (suffix == "pdf") {
        QPdfWriter writer(path);
        // One page exactly the size of the plot on screen.
        writer.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / kPixelsPerInch,
                                            size.height() * 72.0 / kPixelsPerInch),
                                     QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer)) return "The PDF file could not be written to " + path + ".";
        const double scale = writer.resolution() / kPixelsPerInch;
        painter.scale(scale, scale);
        render(painter);
        if (!painter.end()) return "The PDF file could not be written to " + path + ".";
        return {};
    }
#ifdef UMBRIX_HAVE_SVG
    if (suffix == "svg") {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(static_cast<int>(kPixelsPerInch));
        generator.setTitle("Light curve");
        QPainter painter;
        if (!painter.begin(&generator)) return "The SVG file could not be written to " + path + ".";
        render(painter);
        if (!painter.end()) return "The SVG file could not be written to " + path + ".";
        return {};
    }
#endif
    return "Images can be saved as " + QString(ExportImageFilter()).replace(";;", ", ") + ".";
}

void ExportImageDialog(QWidget* window, const QString& title) {
    QString path = QFileDialog::getSaveFileName(window, "Export Image", QString(), ExportImageFilter());
    if (path.isEmpty()) return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != "png" && suffix != "pdf" && suffix != "svg") path += ".png";
    const QString error = ExportImage(ClientArea(window), path, title);
    if (!error.isEmpty()) showMessage(window, error);
}

PlotFileMenu AddPlotFileMenu(QMainWindow* window, CurrentPrinter& current,
                             std::function<QString()> title) {
    PlotFileMenu m;
    m.mFile = window->menuBar()->addMenu("File");
    m.mFile->setObjectName("mFile");
    const auto add = [&](const char* name, const QString& text) {
        QAction* a = m.mFile->addAction(text);
        a->setObjectName(name);
        return a;
    };
    m.mPrintSetup = add("mPrintSetup", "Print Setup ...");
    m.mPrint = add("mPrint", "Print");
    m.mExportImage = add("mExportImage", "Export Image ...");
    m.mDash = m.mFile->addSeparator();
    m.mDash->setObjectName("mDash");
    m.mExit = add("mExit", "Exit");

    CurrentPrinter* printer = &current;
    QObject::connect(m.mPrintSetup, &QAction::triggered, window,
                     [window, printer] { PrintSetupDialog(window, *printer); });
    const auto titleNow = [title] { return title ? title() : QString(); };
    QObject::connect(m.mPrint, &QAction::triggered, window,
                     [window, printer, titleNow] { PrintWindow(window, *printer, titleNow()); });
    QObject::connect(m.mExportImage, &QAction::triggered, window,
                     [window, titleNow] { ExportImageDialog(window, titleNow()); });
    QObject::connect(m.mExit, &QAction::triggered, window, &QWidget::hide);
    return m;
}

}  // namespace umbrix
