#pragma once
// What every plot window has in common: the plot/edit window and the five method windows.
//
// - Placement: the window opens at the placement record it was given (a line of zzzumb.ini)
//   and stores its left, top, width and height there whenever it is moved, resized or closed.
//   While it takes the stored placement the resize handler stays quiet.
// - The drawing surface (a PlotView filling the window below the File menu), the six axis
//   labels Label1..Label6 on it, and the File menu (Print Setup ..., Print, Export Image ...,
//   Exit = hide).
// - Layers: the plot itself (frame, points, grids) is drawn from scratch by the window's plot
//   procedure; range markers and fitted curves lie in an overlay drawn over it. Moving a
//   marker or replacing a curve rebuilds only the overlay, so nothing of the plot under it is
//   ever painted over; a new plot clears the overlay, as a cleared surface would.
// - Controls of the method windows sit on the surface at positions in twips, most of them
//   measured up from the window's height.
// - The pointer is the cross-hair while it is strictly inside the frame (when the window asks
//   for it), the arrow elsewhere.
// - Zoom: the wheel zooms about the pointer, a drag with the left (or middle) button pans, a
//   double-click shows the whole again. The window draws its plot on the part shown, so that
//   the grid, the values and every click follow the view; everything drawn is cut at the frame.

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <vector>

#include "timing/core/data/data_set.h"
#include "timing/draw/display_list.h"
#include "timing/draw/light_curve_plot.h"
#include "timing/draw/plot_zoom.h"
#include "timing/gui/plot/printing.h"
#include "timing/core/files/window_placement.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace umbrix {

class PlotView;

// A point index as the labels show it: the number with the blank a positive number's sign
// takes (" 12").
QString IndexText(int index);

class PlotWindow : public QMainWindow {
    Q_OBJECT
public:
    ~PlotWindow() override;

    // Shows the window, brings it to the front and draws it as after a resize: what Go of a
    // method's row (and "Plot/Edit Data") does once the main window has done its part.
    void Go();

    // Outer size of the window in twips (what the plot frame and the controls are laid out in).
    int windowWidthTwips() const;
    int windowHeightTwips() const;

    // Stores left, top, width and height into the window's placement record.
    void storePlacement();
    // The record of zzzumb.ini the window keeps its placement in.
    const WindowPlacement& placementRecord() const { return placement_; }
    // Moves and sizes the window to p (twips; never below its minimum size, never pushed off
    // the screen by it), stores that in its record and redraws.
    void placeAt(const WindowPlacement& p);

    // A new light curve was loaded: the window shows what it shows when it first opens
    // (caption, index labels, result boxes), as the method's state was reset with the load.
    virtual void lightCurveLoaded() {}

    PlotView* surface() const { return surface_; }
    // The frame and scale the window last drew with; clicks are mapped with these.
    const PlotScale& scale() const { return scale_; }
    // The part of the whole scale shown; setting it redraws the window.
    const PlotZoom& zoom() const { return zoom_; }
    void setZoom(const PlotZoom& zoom);
    // What the surface shows: the plot, then the overlay's markers and curves.
    const DisplayList& displayList() const;

    std::array<QLabel*, 7> Label{};  // Label[1..6], the axis labels
    PlotFileMenu menu;               // mFile: mPrintSetup, mPrint, mExportImage, mDash, mExit

protected:
    // data: the light curve the window draws; placement: its record of zzzumb.ini.
    PlotWindow(DataSet& data, WindowPlacement& placement, CurrentPrinter& printer,
               const QString& name, QWidget* parent);

    // Takes the stored placement with the resize handler quiet. Called once by the derived
    // window at the end of its construction, after its controls were placed once: the window
    // never gets narrower than its rightmost control needs, so that none is cut off (the
    // stored default widths are narrower than some windows' rows of controls), nor lower than
    // minimumHeight twips (enough for a frame above the controls under it).
    void applyStoredPlacement(int minimumHeight = 3600);
    bool loading() const { return loading_; }

    // --- The plot layer ---
    // The plot as drawn: the window's plot procedure fills it (after plotList().Clear(...))
    // and then calls finishPlot, which takes the scale for mapping clicks, writes the axis
    // labels, clears the overlay and shows the result.
    DisplayList& plotList() { return plot_; }
    void finishPlot(const PlotScale& scale, const AxisLabels& labels);
    // The steps of the light-curve plot as the method windows run them, on the part of the
    // whole scale given that the window shows: the surface cleared to the window's own colour,
    // the frame, the points as drawPoints draws them on the scale it is handed, the grids, and
    // the labels (time values and step at the tops given, Label6 with 6 characters), made
    // readable (ReadableAxes); then finishPlot.
    void drawPlot(const PlotScale& whole,
                  const std::function<void(DisplayList&, const PlotScale&)>& drawPoints,
                  double timeValuesTop, double timeStepTop);
    // The grid values, the grid-step captions and the axis titles over the plot just drawn.
    void addReadableAxes(AxisLabels& labels, const PlotScale& scale, const AxisGrid& timeGrid,
                         const AxisGrid& magGrid);
    // Where x (twips, on the scale shown) lies on the whole scale: what the picking rules that
    // measure along the unzoomed frame are handed.
    // Unzoomed, x itself, to the last bit: the picking rules round at exact halves.
    double unzoomedX(double x) const { return zoom_.Whole() ? x : whole_.X(scale_.TimeAt(x)); }
    // The other way: where a position on the whole scale is drawn on the scale shown.
    double zoomedX(double wholeX) const { return zoom_.Whole() ? wholeX : scale_.X(whole_.TimeAt(wholeX)); }
    const PlotScale& wholeScale() const { return whole_; }
    // drawPlot for the frame with these margins on the working scale, with the working points
    // as red dots and the time labels at H - 1800 and H - 1600; the windows that draw it pick
    // ranges, so the pointer becomes the cross-hair inside its frame.
    void drawWorkingCurve(const FrameMargins& margins = {});

    // --- The overlay ---
    // A purple vertical line from PlotTop to PlotBottom at x; a marker of the same slot is
    // replaced.
    void setMarker(int slot, double x);
    // The fitted curve drawn over the plot (replaces the one before).
    void setCurve(const DisplayList& curve);
    // Pushes plot and overlay to the surface.
    void showDrawing();

    // True for a position on or inside the frame the window last drew.
    bool onFrame(double x, double y) const;
    // The same with a pixel to spare all round: a click on the dot of a point on the frame's
    // edge lands there, rounded to whole pixels, whichever side of the edge.
    bool nearFrame(double x, double y) const;

    // --- Controls on the surface (sizes and positions in twips) ---
    QPushButton* addButton(const char* name, const QString& caption, int width, int height = 375);
    // Labels are 240 twips high: the two rows of index labels stand 240 twips apart.
    QLabel* addLabel(const char* name, const QString& caption, int width, int height = 240);
    QLineEdit* addTextBox(const char* name, const QString& text, int width, int height = 285);
    // Moves a control to left, top (twips of the surface).
    static void place(QWidget* control, int left, int top);
    // Places the controls under the plot at their left and top (twips), in order of left: a
    // control that would overlap one placed left of it at the same height moves right, with
    // the controls asked for the same left, just far enough to clear it. The positions were
    // chosen for a narrower font than most screens show today; with it nothing moves, with a
    // wider one nothing hides another.
    struct ControlPlace {
        QWidget* control;
        int left, top;
    };
    static void layOut(std::vector<ControlPlace> places);

    // A mouse button went down on the surface at (x, y) twips.
    virtual void plotPressed(Qt::MouseButton button, double x, double y);
    // The window was resized by the user (not while taking its stored placement).
    virtual void resized() {}

    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    DataSet& data_;

private:
    void takePlacement(const WindowPlacement& p);
    WindowPlacement& placement_;
    PlotView* surface_;
    DisplayList plot_;
    std::map<int, double> markers_;  // slot -> x
    DisplayList curve_;
    PlotScale scale_;
    PlotScale whole_;
    PlotZoom zoom_;
    bool loading_ = false;
};

}  // namespace umbrix
