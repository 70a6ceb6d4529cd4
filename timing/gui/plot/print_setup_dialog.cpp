#include "timing/gui/plot/print_setup_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

namespace umbrix {

namespace {

// The paper sizes offered; the printer's own size is added when it is none of these.
constexpr QPageSize::PageSizeId kPaperSizes[] = {QPageSize::A4,     QPageSize::Letter,
                                                 QPageSize::A3,     QPageSize::A5,
                                                 QPageSize::B5,     QPageSize::Legal,
                                                 QPageSize::Executive};

}  // namespace

PrintSetupForm::PrintSetupForm(QPrinter& printer, const QStringList& printers, QWidget* parent)
    : QDialog(parent), printer_(printer) {
    setObjectName("PrintSetup");
    setWindowTitle("Print Setup");
    auto* form = new QFormLayout(this);

    Printer = new QComboBox(this);
    Printer->setObjectName("Printer");
    Printer->addItems(printers);
    Printer->addItem(kPdfFileEntry);
    form->addRow("Printer:", Printer);

    auto* fileRow = new QHBoxLayout;
    FileName = new QLineEdit(this);
    FileName->setObjectName("FileName");
    FileName->setPlaceholderText("the PDF file to print into");
    FileName->setMinimumWidth(FileName->fontMetrics().horizontalAdvance(FileName->placeholderText()) + 24);
    Browse = new QPushButton("Browse ...", this);
    Browse->setObjectName("Browse");
    Browse->setAutoDefault(false);
    fileRow->addWidget(FileName, 1);
    fileRow->addWidget(Browse);
    form->addRow("File:", fileRow);

    PaperSize = new QComboBox(this);
    PaperSize->setObjectName("PaperSize");
    for (QPageSize::PageSizeId id : kPaperSizes)
        PaperSize->addItem(QPageSize::name(id), static_cast<int>(id));
    form->addRow("Paper size:", PaperSize);

    auto* orientationRow = new QHBoxLayout;
    Portrait = new QRadioButton("Portrait", this);
    Portrait->setObjectName("Portrait");
    Landscape = new QRadioButton("Landscape", this);
    Landscape->setObjectName("Landscape");
    auto* orientation = new QButtonGroup(this);
    orientation->addButton(Portrait);
    orientation->addButton(Landscape);
    orientationRow->addWidget(Portrait);
    orientationRow->addWidget(Landscape);
    orientationRow->addStretch(1);
    form->addRow("Orientation:", orientationRow);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->setObjectName("Buttons");
    Printer->setToolTip("Where the plot windows print: a printer, or a PDF file.");
    FileName->setToolTip("The PDF file the plots are printed into, when the printer is a PDF file.");
    Browse->setToolTip("Choose the PDF file.");
    PaperSize->setToolTip("The paper the plot is fitted onto.");
    Portrait->setToolTip("Print upright.");
    Landscape->setToolTip("Print on its side: the plots are wider than tall, so this is the start.");
    Buttons->button(QDialogButtonBox::Ok)->setToolTip("Use these settings for the next print.");
    Buttons->button(QDialogButtonBox::Cancel)->setToolTip("Keep the settings as they were.");
    form->addRow(Buttons);

    // Start from what the current printer is set to.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        Printer->setCurrentText(kPdfFileEntry);
        FileName->setText(printer.outputFileName());
    } else {
        const int at = Printer->findText(printer.printerName());
        Printer->setCurrentIndex(at >= 0 ? at : 0);
    }
    const QPageSize::PageSizeId size = printer.pageLayout().pageSize().id();
    int sizeAt = PaperSize->findData(static_cast<int>(size));
    if (sizeAt < 0) {
        PaperSize->addItem(QPageSize::name(size), static_cast<int>(size));
        sizeAt = PaperSize->count() - 1;
    }
    PaperSize->setCurrentIndex(sizeAt);
    (printer.pageLayout().orientation() == QPageLayout::Landscape ? Landscape : Portrait)
        ->setChecked(true);

    connect(Printer, &QComboBox::currentIndexChanged, this, &PrintSetupForm::updateControls);
    connect(FileName, &QLineEdit::textChanged, this, &PrintSetupForm::updateControls);
    connect(Browse, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, "Print into PDF file",
                                                          FileName->text(), "PDF document (*.pdf)");
        if (!path.isEmpty()) FileName->setText(path);
    });
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateControls();
}

QPushButton* PrintSetupForm::okButton() const { return Buttons->button(QDialogButtonBox::Ok); }

// The file box belongs to the PDF entry only; without a file name there is nowhere to print,
// so OK waits for one.
void PrintSetupForm::updateControls() {
    const bool pdf = Printer->currentText() == kPdfFileEntry;
    FileName->setEnabled(pdf);
    Browse->setEnabled(pdf);
    okButton()->setEnabled(!pdf || !FileName->text().trimmed().isEmpty());
}

void PrintSetupForm::accept() {
    if (!okButton()->isEnabled()) return;
    if (Printer->currentText() == kPdfFileEntry) {
        QString path = FileName->text().trimmed();
        if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(path);
    } else {
        printer_.setOutputFileName(QString());
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(Printer->currentText());
    }
    printer_.setPageSize(
        QPageSize(static_cast<QPageSize::PageSizeId>(PaperSize->currentData().toInt())));
    printer_.setPageOrientation(Landscape->isChecked() ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
    QDialog::accept();
}

bool RunPrintSetupForm(QPrinter& printer, const QStringList& printers, QWidget* owner) {
    PrintSetupForm dialog(printer, printers, owner);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace umbrix
