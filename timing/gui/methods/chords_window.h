#pragma once
// frmPlott3, the window of the bisectors of chords: the working light curve, two ranges picked
// with four right-clicks (start and end of a left range on the descending branch, then of a
// right range on the ascending branch), "Bisect Chords" to compute and write row 3 of the main
// window, "Undo", "Done". Its state is the session's ChordsState.

#include "timing/core/methods/chords.h"
#include "timing/gui/methods/method_window.h"

namespace umbrix {

class frmPlott3 : public MethodWindow {
    Q_OBJECT
public:
    frmPlott3(DataSet& data, ChordsState& state, WindowPlacement& placement,
              CurrentPrinter& printer, QWidget* parent);

    // Clears the surface and draws the working curve, then lays out the controls.
    void PlotChordsWindow();

    QPushButton* Command1;  // "Bisect Chords"
    QPushButton* Command2;  // "Undo"
    QPushButton* Command3;  // "Done"
    QLabel* Label7;         // "Left index (1):"
    QLabel* Label8;         // BisLeftStart
    QLabel* Label9;         // "Left index (2):"
    QLabel* Label10;        // BisLeftEnd
    QLabel* Label11;        // "Right index (3):"
    QLabel* Label12;        // BisRightStart
    QLabel* Label13;        // "Right index (4):"
    QLabel* Label14;        // BisRightEnd

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click() { hide(); }

    void lightCurveLoaded() override;

protected:
    void plotPressed(Qt::MouseButton button, double x, double y) override;
    // Also Go of row 3: the plot, then the four markers of two complete ranges.
    void resized() override;

private:
    void layoutControls();
    void drawMarkersFromTimes();

    ChordsState& state_;
};

}  // namespace umbrix
