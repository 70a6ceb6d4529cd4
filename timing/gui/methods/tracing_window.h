#pragma once
// frmPlott2, the window of the tracing paper: the working light curve folded about the fold
// time F, the branch up to F in red and the branch after it mirrored onto it in blue. F moves
// 0.0001 day a step with the scroll bar HScroll1 or is typed into Text1 and taken by "Update";
// "Smooth" / "Undo smooth" change the running mean drawn. Every redraw publishes F as row 2 of
// the main window with the fixed error "0.0001". There is nothing to pick on the plot.
// The method's state is the session's TracingState and F the data set's GuessMinTime, so that
// both survive Done and the close box; the scroll bar and Label8 start afresh with each load
// of the window.

#include "timing/core/methods/tracing.h"
#include "timing/gui/methods/method_window.h"

class QScrollBar;

namespace umbrix {

class frmPlott2 : public MethodWindow {
    Q_OBJECT
public:
    frmPlott2(DataSet& data, TracingState& state, WindowPlacement& placement,
              CurrentPrinter& printer, QWidget* parent);

    // Refolds about F, draws the folded curve with its grids and labels, lays out the
    // controls, shows F in Text1 and publishes row 2.
    void PlotTracingWindow();

    QLabel* Label7;         // "Fold HJD:"
    QLineEdit* Text1;       // F (relative days), FormatFixed(F, 14, 5); the user may type a new F
    QPushButton* Command1;  // "Update"
    QPushButton* Command2;  // "Smooth"
    QPushButton* Command3;  // "Undo smooth"
    QPushButton* Command4;  // "Done"
    QScrollBar* HScroll1;   // F in steps of 0.0001 day, 0..32767, centre 16383
    QLabel* Label8;         // the averaging in use: "No averaging", "3-point averaging", ...

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    // The bar's value changed (arrow, page, end of a drag, or set by the program).
    void HScroll1_Change(int value);
    // The thumb is being dragged to value.
    void HScroll1_Scroll(int value);

    void lightCurveLoaded() override;

protected:
    // Also Go of row 2 (the main window has run ResetTraceMag): PlotTracingWindow.
    void resized() override;

private:
    // Both scroll notifications: F from the bar, the bar onto the step F settled on, redraw.
    void foldFromBar(int value);
    void layoutControls();

    TracingState& state_;
    QString refusalShown_;  // the last refusal of row 2 shown, so that it is said only once
};

}  // namespace umbrix
