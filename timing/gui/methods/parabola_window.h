#pragma once
// frmPlott1, the window of the parabolic fit: the working light curve, the range picked with
// two right-clicks (left and right of the deepest point as loaded), "Fit Parabola" to fit and
// write row 1 of the main window, the fitted parabola drawn across the plot, "Undo", "Done".
// Its state lives in AppState::parabola, so that picks and fit survive Done and the close box.

#include "timing/gui/plot/plot_window.h"

namespace umbrix {

class frmMain;

class frmPlott1 : public PlotWindow {
    Q_OBJECT
public:
    frmPlott1(AppState& app, CurrentPrinter& printer, frmMain& main);

    // Clears the surface and draws the working curve, then lays out the controls.
    void PlotParabolaWindow();
    // Samples the stored parabola and draws it as a band: blue strictly between the two marker
    // times, light grey outside.
    void DrawParabola();

    QPushButton* Command1;  // "Fit Parabola"
    QPushButton* Command2;  // "Undo"
    QPushButton* Command3;  // "Done"
    QLabel* Label7;         // "Left index:"
    QLabel* Label8;         // the start index, " 12"
    QLabel* Label9;         // "Right index:"
    QLabel* Label10;        // the end index, PadInt(i, 4, " ")
    QLabel* Label11;        // "RMS dev'n:"
    QLineEdit* Text1;       // the RMS deviation, FormatFixed(Rms, 8, 3)

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    void lightCurveLoaded() override;

protected:
    void plotPressed(Qt::MouseButton button, double x, double y) override;
    // Also Go of row 1: the plot, then the markers of a ready range and the parabola of a fit.
    void resized() override;

private:
    // The controls under the plot, placed from the window's height.
    void layoutControls();

    frmMain& main_;
};

}  // namespace umbrix
