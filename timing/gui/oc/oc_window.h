#pragma once
// The O-C window: a minima table against a trial ephemeris, as `ectimer --oc` computes it, with
// the command line's choices as controls. The diagram (the plot view painting DrawOc's display
// list) and the table of minima stand side by side in a splitter, the fits' lines under them.
// Every change of a control refits at once through RunOcFits; the window itself holds no
// arithmetic beyond mapping the plot view's twips.
//
// - A click on a mark selects its row in the table, a row selected in the table rings its
//   mark. The tick of a row ("left out") leaves that minimum out of the fits by hand.
// - "Use Fit as Ephemeris" copies the linear fit's T0 and P into the boxes.
// - The ephemeris of each table is remembered in oc_ephemerides.ini (ephemeridesPath) when
//   one is accepted, and offered again when the table is opened.
// - The wheel zooms about the pointer, a left drag pans, a double-click shows the whole.

#include <QMainWindow>
#include <QString>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "timing/core/oc/oc.h"
#include "timing/draw/oc_plot.h"
#include "timing/draw/plot_zoom.h"
#include "timing/gui/oc/oc_choices.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTableWidget;

namespace umbrix {

class CurrentPrinter;
class PlotView;

class frmOc : public QMainWindow {
    Q_OBJECT
public:
    frmOc(CurrentPrinter& printer, QString ephemeridesPath, QWidget* parent = nullptr);
    ~frmOc() override;

    // Reads the minima table at path with the method chosen and shows it. A table that cannot
    // be read is refused with a message naming the file and the line, and the window keeps
    // what it showed. choices (when given) set the controls first.
    bool openTable(const QString& path, const std::optional<OcWindowChoices>& choices = std::nullopt);
    QString tablePath() const { return tablePath_; }

    // The O-C run shown and the diagram as last drawn (clicks are mapped with it).
    const OcRun& run() const { return run_; }
    const OcPlot& plot() const { return plot_; }
    double t0() const { return t0_; }
    double p() const { return p_; }
    const PlotZoom& zoom() const { return zoom_; }
    std::optional<std::size_t> selectedRow() const { return selected_; }

    // File > Export Table ... and Export Image ... without their file dialogs; "" or the reason
    // (also shown).
    QString exportTable(const QString& path);
    QString exportImage(const QString& path);

    // Controls, by the names tests and the widget tree know them.
    QLineEdit* T0Edit;
    QLineEdit* PEdit;
    QComboBox* MethodBox;
    QCheckBox* SecondaryCheck;
    QCheckBox* QuadraticCheck;
    QPushButton* UseFitButton;
    QLabel* FitLines;   // the fits as --oc prints them
    QLabel* StatusLine; // why nothing is fitted, when nothing is
    QTableWidget* MinimaTable;
    PlotView* Plot;
    QAction* mOpenTable;
    QAction* mExportImage;
    QAction* mPrint;
    QAction* mExportTable;
    QAction* mClose;

    // Columns of MinimaTable.
    enum Column { ColLeftOut, ColFile, ColMethod, ColE, ColOc, ColSigma, ColFlag, ColCount };

public slots:
    // "Use Fit as Ephemeris".
    void UseFit_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A box of the ephemeris was committed (Enter, or the focus left it): a bad value is
    // refused with its message and the box takes back the accepted text.
    void ephemerisCommitted();
    // The texts of the boxes, when both are usable: takes them and refits.
    void ephemerisEdited();
    // Re-reads the minima of the table text with the method chosen; false (message shown) on
    // a table that cannot be read that way.
    bool readMinima(const std::string& text, const QString& path, const std::string& method,
                    std::vector<Minimum>& minima);
    void refit();
    void fillTable();
    void redraw();
    void rowTicked(int row, int column);
    void rememberEphemeris();
    void plotPressed(Qt::MouseButton button, double x, double y);
    QString title() const;

    CurrentPrinter& printer_;
    QString ephemeridesPath_;
    QString tablePath_;
    std::string tableText_;
    std::vector<Minimum> minima_;
    double t0_ = 0, p_ = 0;
    bool haveEphemeris_ = false;
    QString acceptedT0_, acceptedP_;
    QString acceptedMethod_ = "mean";
    // Left out by hand, by file, method and time, so that a choice survives a refit that
    // reorders nothing but a method change that renumbers the minima.
    std::set<std::tuple<std::string, std::string, double>> leftOut_;
    OcRun run_;
    OcPlot plot_;
    PlotZoom zoom_;
    std::optional<std::size_t> selected_;
    bool filling_ = false;
};

}  // namespace umbrix
