#pragma once
// frmPlott4, the window of the Kwee and van Woerden method: the working light curve, the range
// picked with two right-clicks (left and right of the deepest point as loaded), the "Stepp"
// and "Frac" settings, "Fit Kwee" to compute and write row 4 of the main window, "Undo",
// "Done". Its state is the session's KvwState; the two settings boxes keep what was typed
// while the window is only hidden.

#include "timing/core/methods/kvw.h"
#include "timing/gui/methods/range_window.h"

namespace umbrix {

class frmPlott4 : public RangeWindow {
    Q_OBJECT
public:
    frmPlott4(DataSet& data, KvwState& state, WindowPlacement& placement, CurrentPrinter& printer,
              QWidget* parent);

    // Clears the surface and draws the working curve, then lays out the controls.
    void PlotKweeWindow();

    QPushButton* Command1;  // "Fit Kwee"
    QPushButton* Command2;  // "Undo"
    QPushButton* Command3;  // "Done"
    // Label7 .. Label10 (RangeWindow): "I1" and "I2" until the first picks.
    QLabel* Label11;        // "Stepp"
    QLineEdit* Text1;       // the Stepp setting, "1" at first
    QLabel* Label12;        // "Frac"
    QLineEdit* Text2;       // the Frac setting, ".9" at first

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click() { hide(); }

protected:
    RangeEnds ends() const override { return state_.Ends(); }
    void setEnds(const RangeEnds& e) override { state_.SetEnds(e); }
    // Also Go of row 4: the plot, then the markers of a ready range at their times.
    void resized() override;

private:
    void layoutControls();

    KvwState& state_;
};

}  // namespace umbrix
