#pragma once
// The import window: one long light curve read by the import dialog, drawn whole with its
// eclipses' windows marked, and the list of those eclipses. An eclipse chosen in the list (a
// double-click or "Load") becomes the main window's light curve, its window's points loaded as
// File > Open would load a file of them; "Time All" times every covered eclipse on its own,
// with all six methods, and "Add to Minima Log" hands the results to the main window's log.
//
// The window reports by signal and never reaches into the main window: the import launcher
// connects it.
//
// The plot: the wheel zooms the time axis about the pointer, a double-click shows the whole
// curve again, a click on a window's band chooses that eclipse in the list.

#include <QMainWindow>
#include <array>
#include <vector>

#include "timing/draw/light_curve_plot.h"
#include "timing/draw/long_curve_plot.h"
#include "timing/gui/import/long_import.h"
#include "timing/gui/main/minima_log.h"
#include "timing/gui/plot/printing.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace umbrix {

class LongCurveView;

class ImportWindow : public QMainWindow {
    Q_OBJECT
public:
    ImportWindow(ImportedCurve imported, CurrentPrinter& printer, QWidget* parent = nullptr);
    ~ImportWindow() override;

    const ImportedCurve& imported() const { return imported_; }
    LongCurveView* surface() const { return surface_; }
    // What the surface shows and the scale it was drawn with (clicks are mapped with it).
    const LongCurvePlot& plot() const { return plot_; }
    // The eclipse chosen in the list (an index into the found eclipses), or -1.
    int selectedEclipse() const { return selected_; }
    // What "Time All" gave, one entry per covered eclipse; empty before it ran.
    const std::vector<TimedEclipse>& timings() const { return timings_; }

    QLabel* Summary;
    QTableWidget* Eclipses;   // one row per eclipse, in time order
    QPushButton* Load;
    QPushButton* TimeAll;
    QPushButton* AddToMinimaLog;
    QTableWidget* Results;    // one row per timed eclipse
    QLabel* TimeAxis;         // what the time labels count from
    QLabel* MagAxis;          // "magnitude", above the magnitude labels
    std::vector<QLabel*> Ticks;  // the grid values, times first, as the last redraw placed them
    PlotFileMenu menu;

    // Columns of the eclipse list.
    enum EclipseColumn { kNumber, kCycle, kCentre, kPoints, kDepth, kState, kEclipseColumns };

public slots:
    // Asks the main window to load eclipse k's window. One that is not covered is loaded
    // only after the user agreed to a warning; one with no points is refused. True when the
    // load was asked for.
    bool loadEclipse(int k);
    void selectEclipse(int k);
    void Load_Click();
    void TimeAll_Click();
    void AddToMinimaLog_Click();

signals:
    // An eclipse's window, to be loaded as a light curve named `name` in folder `dir`.
    void loadRequested(const WindowPoints& points, const QString& dir, const QString& name);
    // The timed eclipses, for the minima log.
    void logRequested(const std::vector<LoggedRows>& timings);

private:
    void fillEclipses();
    void fillResults();
    void redraw();
    void plotPressed(Qt::MouseButton button, double x, double y);
    void zoom(double x, double notches);

    ImportedCurve imported_;
    double offset_ = 0;  // the whole day the plot's times count from
    AxisRange whole_, shown_;
    LongCurvePlot plot_;
    int selected_ = -1;
    std::vector<TimedEclipse> timings_;
    LongCurveView* surface_;
};

}  // namespace umbrix
