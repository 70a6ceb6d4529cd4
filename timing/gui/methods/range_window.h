#pragma once
// The windows whose range is picked with two right-clicks: the parabolic fit, Kwee and van
// Woerden and the Fourier fit. A right-click inside the frame picks the start or the end of
// the range, by the window's side rule (not by the order of the clicks), moves that end's
// purple marker, shows the end's index under the plot (Label8 / Label10 beside "Left index:"
// and "Right index:") and changes the caption; after any press inside the frame the range is
// ready once both ends are picked. The method's own state keeps the ends (its Ends() and
// SetEnds()), so that they survive Done and the close box.

#include "timing/gui/methods/method_window.h"

namespace umbrix {

// The captions a range window shows as the user goes along; undone may be null (the caption
// then stays as it was).
struct RangeCaptions {
    const char* load;
    const char* startPicked;
    const char* endPicked;
    const char* fitted;
    const char* undone;
};

// The index labels as a window first shows them, and how its end index is written.
struct IndexLabels {
    const char* start;  // Label8's first text
    const char* end;    // Label10's first text
    int endWidth;       // Label10's width, twips
    QString (*endText)(int index);
};

class RangeWindow : public MethodWindow {
    Q_OBJECT
public:
    QLabel* Label7;   // "Left index:"
    QLabel* Label8;   // the start index
    QLabel* Label9;   // "Right index:"
    QLabel* Label10;  // the end index

    // Back to the captions and labels of a window opened on the new curve.
    void lightCurveLoaded() override;

protected:
    // Creates the four index labels first, so that Tab walks them before the window's own
    // controls.
    RangeWindow(int row, DataSet& data, WindowPlacement& placement, CurrentPrinter& printer,
                QWidget* parent, const RangeCaptions& captions, const IndexLabels& labels,
                StartMarkerTime startRule = StartMarkerTime::Clicked);

    // The method state's copy of the ends, and taking a changed copy back.
    virtual RangeEnds ends() const = 0;
    virtual void setEnds(const RangeEnds& ends) = 0;
    // The side rule: which end a right-click at x (twips) picks. By default the clicked time
    // against the deepest point as loaded (parabola, Kwee and van Woerden).
    virtual RangeSide sideAt(double x) const;

    // Where the four index labels go, from the window's height (twips).
    std::vector<ControlPlace> indexLabelPlaces() const;
    // Both markers at the ends' times on the present scale (their x stored with the ends).
    void drawRangeMarkersFromTimes();
    // Both markers where they were last drawn.
    void drawRangeMarkersAtStoredX();
    // The result is in: written to the row, and the caption says what to do next.
    void reportFitted(const RowResult& result);
    // After the method's own Undo: the row cleared, the index labels emptied, the caption.
    void rangeUndone();

    void plotPressed(Qt::MouseButton button, double x, double y) override;

private:
    RangeCaptions captions_;
    IndexLabels labels_;
    StartMarkerTime startRule_;
};

}  // namespace umbrix
