#pragma once
// frmPlott5, the window of the Fourier fit: the working light curve, the range picked with two
// right-clicks (the side follows the clicked position against the faintest point), eight boxes
// with the model's parameters in a column at the right edge, "Update" to draw the model for
// the boxes, " Fit Fourier" to fit it and write row 5 of the main window, "Undo" to return to
// the start values of the last fit, "Done" to put the window away. Its state is the
// session's FourierState, so that picks, parameters and fit survive Done and the close box.
// Focus changes and drops on the plot leave the picture as it is: a redraw there would only
// wipe the range lines of a picked range.

#include <array>

#include "timing/core/methods/fourier.h"
#include "timing/core/session/app_state.h"
#include "timing/gui/methods/range_window.h"

namespace umbrix {

class frmPlott5 : public RangeWindow {
    Q_OBJECT
public:
    // range: the open method's range, which Go of row 5 sets and the side rule reads.
    frmPlott5(DataSet& data, FourierState& state, const OpenMethodRange& range,
              WindowPlacement& placement, CurrentPrinter& printer, QWidget* parent);

    // Clears the surface, draws the working curve in the frame beside the box column, lays
    // out the controls and writes the boxes from the parameters (width 8).
    void PlotFourierWindow();
    // Samples the model for the present parameters over the picked range and draws it thick
    // over what the surface shows.
    void DrawFourierModel();
    // Draws the last sampled curve again, thin.
    void RedrawFourierModel();

    QPushButton* Command1;  // "Update"
    QPushButton* Command2;  // " Fit Fourier"
    QPushButton* Command3;  // "Undo"
    QPushButton* Command4;  // "Done"
    // Label7 .. Label10 (RangeWindow).
    // The captions above the boxes: "ToM, Xo", "Const, C", "A.Freq, W", "Const, A1" .. "A5".
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label17;
    QLabel* Label18;
    std::array<QLineEdit*, 9> Text1{};  // Text1(1..8): Xo, C, W, A1..A5 (index 0 unused)

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    void lightCurveLoaded() override;

protected:
    RangeEnds ends() const override { return state_.Ends(); }
    void setEnds(const RangeEnds& e) override { state_.SetEnds(e); }
    // The side follows an index estimated from the position along the frame, compared with
    // the faintest point: not the order of the clicks, nor the clicked time.
    RangeSide sideAt(double x) const override;
    // Also Go of row 5 (the main window has set RangeFirst and RangeLast): the plot, then the
    // range lines of a ready range and, thin, the curve of a fit.
    void resized() override;

private:
    // The box column from the window's width, the row of buttons and labels from its height.
    void layoutControls(int windowWidth);
    std::array<QLabel*, 9> boxCaptions() const;  // Label11..Label18 as [1..8]
    void showBoxTexts();
    // A sampled curve as a blue polyline; each segment drawn halfHeight twips above and below
    // its end as well, one twip apart, so that the curve shows as a band.
    void addModelCurve(int halfHeight);

    FourierState& state_;
    const OpenMethodRange& range_;
    DisplayList curves_;  // the model curves drawn since the plot was last cleared
};

}  // namespace umbrix
