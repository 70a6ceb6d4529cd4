#pragma once
// frmPlott1, the window of the parabolic fit: the working light curve, the range picked with
// two right-clicks (left and right of the deepest point as loaded), "Fit Parabola" to fit and
// write row 1 of the main window, the fitted parabola drawn across the plot, "Undo", "Done".
// Its state is the session's ParabolaState, so that picks and fit survive Done and the close
// box.

#include "timing/core/methods/parabola.h"
#include "timing/gui/methods/range_window.h"

namespace umbrix {

class frmPlott1 : public RangeWindow {
    Q_OBJECT
public:
    frmPlott1(DataSet& data, ParabolaState& state, WindowPlacement& placement,
              CurrentPrinter& printer, QWidget* parent);

    // Clears the surface and draws the working curve, then lays out the controls.
    void PlotParabolaWindow();
    // Samples the stored parabola and draws it as a band: blue strictly between the two marker
    // times, light grey outside.
    void DrawParabola();

    QPushButton* Command1;  // "Fit Parabola"
    QPushButton* Command2;  // "Undo"
    QPushButton* Command3;  // "Done"
    // Label7 .. Label10 (RangeWindow): the end index as PadInt(i, 4, " ").
    QLabel* Label11;        // "RMS dev'n:"
    QLineEdit* Text1;       // the RMS deviation, FormatFixed(Rms, 8, 3)

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    void lightCurveLoaded() override;

protected:
    RangeEnds ends() const override { return state_.Ends(); }
    void setEnds(const RangeEnds& e) override { state_.SetEnds(e); }
    // Also Go of row 1: the plot, then the markers of a ready range and the parabola of a fit.
    void resized() override;

private:
    // The controls under the plot, placed from the window's height.
    void layoutControls();

    ParabolaState& state_;
};

}  // namespace umbrix
