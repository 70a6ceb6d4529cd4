#pragma once
// "Print Setup": where the plot windows print (a printer the system knows, or a PDF file) and
// on which paper, upright or on its side. It only chooses; nothing is printed until File >
// Print. The choice is made on a QPrinter preset from the current one; the caller copies it
// onto the program's current printer when the dialog is confirmed.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace umbrix {

class PrintSetupForm : public QDialog {
    Q_OBJECT
public:
    // The entry of the printer list that prints into a PDF file instead of on paper.
    static constexpr const char* kPdfFileEntry = "PDF file";

    // printers: the names the system knows, in the order it lists them. The dialog starts
    // from printer's destination, paper size and orientation.
    PrintSetupForm(QPrinter& printer, const QStringList& printers, QWidget* parent = nullptr);

    QComboBox* Printer;       // the system's printers, then kPdfFileEntry
    QLineEdit* FileName;      // the PDF file, used with kPdfFileEntry only
    QPushButton* Browse;      // "Browse ..." for FileName
    QComboBox* PaperSize;     // data: QPageSize::PageSizeId
    QRadioButton* Portrait;
    QRadioButton* Landscape;
    QDialogButtonBox* Buttons;  // OK and Cancel
    QPushButton* okButton() const;

    void accept() override;

private:
    void updateControls();

    QPrinter& printer_;
};

// Runs the dialog modally over owner; on OK the choices are on printer. True when confirmed.
bool RunPrintSetupForm(QPrinter& printer, const QStringList& printers, QWidget* owner);

}  // namespace umbrix
