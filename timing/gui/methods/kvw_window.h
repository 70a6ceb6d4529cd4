#pragma once
// frmPlott4, the window of the Kwee and van Woerden method: the working light curve, the range
// picked with two right-clicks (left and right of the deepest point as loaded), the "Stepp"
// and "Frac" settings, "Fit Kwee" to compute and write row 4 of the main window, "Undo",
// "Done". Its state lives in AppState::kvw; the two settings boxes keep what was typed while
// the window is only hidden.

#include "timing/gui/plot/plot_window.h"

namespace umbrix {

class frmMain;

class frmPlott4 : public PlotWindow {
    Q_OBJECT
public:
    frmPlott4(AppState& app, CurrentPrinter& printer, frmMain& main);

    // Clears the surface and draws the working curve, then lays out the controls.
    void PlotKweeWindow();

    QPushButton* Command1;  // "Fit Kwee"
    QPushButton* Command2;  // "Undo"
    QPushButton* Command3;  // "Done"
    QLabel* Label7;         // "Left index:"
    QLabel* Label8;         // the start index
    QLabel* Label9;         // "Right index:"
    QLabel* Label10;        // the end index
    QLabel* Label11;        // "Stepp"
    QLineEdit* Text1;       // the Stepp setting, "1" at first
    QLabel* Label12;        // "Frac"
    QLineEdit* Text2;       // the Frac setting, ".9" at first

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click() { hide(); }

    void lightCurveLoaded() override;

protected:
    void plotPressed(Qt::MouseButton button, double x, double y) override;
    // Also Go of row 4: the plot, then the markers of a ready range at their times.
    void resized() override;

private:
    void layoutControls();

    frmMain& main_;
};

}  // namespace umbrix
