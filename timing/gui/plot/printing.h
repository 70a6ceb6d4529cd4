#pragma once
// Printing and image export, shared by every plot window: the plot/edit window now, the
// method windows later. A window gets the whole File menu with one call (AddPlotFileMenu).
//
// The current printer is program-wide: print setup in one plot window chooses the printer
// every plot window prints to. main() owns one CurrentPrinter and hands it to the windows.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QMainWindow;
class QMenu;
class QPrinter;
class QWidget;

namespace umbrix {

class CurrentPrinter {
public:
    CurrentPrinter();
    ~CurrentPrinter();
    CurrentPrinter(const CurrentPrinter&) = delete;
    CurrentPrinter& operator=(const CurrentPrinter&) = delete;

    QPrinter& printer() { return *printer_; }

    // The printer-setup dialog ("Print Setup", print_setup_dialog.h), run on a printer preset
    // from the current one; true when the user confirmed. Replaceable so that tests can answer
    // it without a modal dialog.
    using SetupDialog = std::function<bool(QPrinter& chosen, QWidget* owner)>;
    void setSetupDialog(SetupDialog dialog);
    bool runSetupDialog(QPrinter& chosen, QWidget* owner) const;

    // Names of the printers the system knows. Replaceable for tests.
    using PrinterList = std::function<QStringList()>;
    void setPrinterList(PrinterList list);
    QStringList systemPrinters() const;

    // True when printing has somewhere to go: a PDF file was chosen, or the printer named
    // is one the system knows.
    bool hasDestination() const;

private:
    std::unique_ptr<QPrinter> printer_;
    SetupDialog setupDialog_;
    PrinterList printerList_;
};

// The message Print shows when there is nowhere to print to.
extern const char* const kNoPrinterMessage;

// Print setup: runs the dialog preset from the current printer; on confirmation makes the
// chosen printer current (found by its upper-cased name in the system's list) and copies
// copies, orientation, colour mode, duplex, paper source, page size and resolution onto the
// current printer, in that order. Cancelling changes nothing. Returns true when confirmed.
bool PrintSetupDialog(QWidget* window, CurrentPrinter& current);

// Prints the window's client area (a main window's central widget, otherwise the widget
// itself) on the current printer, under a title line when one is given (the file and the
// window's caption, so that a printed page says what it shows), drawn as vectors through
// QWidget::render at its size on screen (96 logical pixels to the inch), shrunk to the page
// when larger. The printer starts in landscape, the shape of every plot window. With no
// printer shows kNoPrinterMessage; when printing fails shows the error number and its text
// (" 68 Error 68: Device unavailable."). Returns true when the page was printed.
bool PrintWindow(QWidget* window, CurrentPrinter& current, const QString& title = {});

// Saves the widget's image to path, under the title line when one is given: PNG for ".png"
// at kExportScale times the size on screen (sharp on a printed page or a high-density
// screen), PDF for ".pdf" and SVG for ".svg" (when the program is built with Qt Svg) as
// vectors. Returns "" on success, otherwise the reason.
inline constexpr int kExportScale = 2;
QString ExportImage(QWidget* content, const QString& path, const QString& title = {});
// The file types ExportImage writes, as a file-dialog filter.
QString ExportImageFilter();

// Asks for a file name and exports the window's client area there; a failure is shown with
// showMessage. A name without a known suffix gets ".png".
void ExportImageDialog(QWidget* window, const QString& title = {});

// The File menu every plot window carries: mPrintSetup "Print Setup ...", mPrint "Print",
// mExportImage "Export Image ...", separator mDash, mExit "Exit" (hides the window).
struct PlotFileMenu {
    QMenu* mFile = nullptr;
    QAction* mPrintSetup = nullptr;
    QAction* mPrint = nullptr;
    QAction* mExportImage = nullptr;
    QAction* mDash = nullptr;
    QAction* mExit = nullptr;
};
// title: the title line Print and Export Image put over the plot, asked for when they run.
PlotFileMenu AddPlotFileMenu(QMainWindow* window, CurrentPrinter& current,
                             std::function<QString()> title = {});

// What a window prints and exports: a main window's central widget, otherwise the widget.
QWidget* ClientArea(QWidget* window);

}  // namespace umbrix
