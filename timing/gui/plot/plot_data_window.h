#pragma once
// frmPlotData, the plot/edit window: the whole light curve on the scale frozen at the load,
// deleted points as red crosses. A left click picks the nearest point (deleted ones included)
// and opens frmAction, which deletes or restores it. Deleting changes the working set every
// timing method reads; the plot keeps its scale.

#include <QDialog>
#include <QPointer>
#include <QRect>

#include "timing/draw/light_curve_plot.h"
#include "timing/gui/plot/plot_window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace umbrix {


// The point dialog: index, time and magnitude of the picked point, and what to do with it.
class frmAction : public QDialog {
    Q_OBJECT
public:
    explicit frmAction(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Text1;  // index, " 17"
    QLabel* Label2;
    QLineEdit* Text2;  // relative time, FormatFixed(t, 12, 6)
    QLabel* Label3;
    QLineEdit* Text3;  // signed magnitude, FormatFixed(m, 8, 3)
    QPushButton* Command1;  // "Delete"
    QPushButton* Command2;  // "Undelete"
    QPushButton* Command3;  // "Cancel"

public slots:
    void Command1_Click() { emit deleteChosen(); }
    void Command2_Click() { emit undeleteChosen(); }
    void Command3_Click() { emit cancelChosen(); }

signals:
    void deleteChosen();
    void undeleteChosen();
    void cancelChosen();

protected:
    // Closing the dialog by its close box is a Cancel.
    void closeEvent(QCloseEvent* event) override;
};

// Where a window of the given (frame) size goes beside the area it must not cover (the picked
// point with its cross-hair, in global pixels): right of it, else left, below, above, each
// vertically or horizontally centred on it and moved along that side to stay on the screen.
// The first side where the window lies wholly on the screen and clear of `avoid` (another
// window, when not null) wins; failing that the first on the screen; when none is (a screen
// smaller than window and area together), the right side, pushed onto the screen.
QRect PlaceBeside(const QRect& keepClear, const QSize& size, const QRect& screen, const QRect& avoid = {});

class frmPlotData : public PlotWindow {
    Q_OBJECT
public:
    static constexpr const char* kCaption =
        "Light Curve - LEFT-CLICK TO DELETE (or undelete) A POINT.";

    // Takes its placement from `placement` and stores it back there when moved, resized and
    // closed. printer is the program's current printer (File > Print).
    frmPlotData(DataSet& data, WindowPlacement& placement, CurrentPrinter& printer,
                QWidget* parent = nullptr);
    ~frmPlotData() override;

    // "Plot/Edit Data": show without blocking, bring to the front, draw.
    void showPlot() { Go(); }
    // A new light curve was loaded: the drawing is cleared and the window hidden.
    void clearAndHide();

    // Clears the surface and draws the light curve for the window's current size, with the
    // blue cross-hair while a point is picked and frmAction is open.
    void PlotLightCurve();

    // What the window drew last: its frame, scale and labels (a click is mapped with these).
    const LightCurvePlot& plot() const { return plot_; }
    frmAction* action() const { return action_; }

public slots:
    // A mouse button went down on the surface at (x, y) twips: the left one picks a point.
    void Form_MouseDown(Qt::MouseButton button, double x, double y);
    void Delete_Click();    // frmAction "Delete"
    void Undelete_Click();  // frmAction "Undelete"
    void Cancel_Click();    // frmAction "Cancel"

signals:
    // The working set changed size (a point was deleted or restored): the main window shows
    // the new count in its edited-count label.
    void editedCountChanged(int pointCount);

protected:
    void plotPressed(Qt::MouseButton button, double x, double y) override {
        Form_MouseDown(button, x, y);
    }
    void resized() override { PlotLightCurve(); }
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setPicked(bool deleted);
    void markPickedPoint();
    // Moves frmAction beside the picked point, clear of its cross-hair and on the screen.
    void placeAction();

    frmAction* action_;
    LightCurvePlot plot_;
    bool marked_ = false;  // the cross-hair is shown over the picked point
};

}  // namespace umbrix
