// The main window's tooltips: what each control does, in plain words. Kept apart from the
// layout in main_window.cpp so that the wording can be read and changed in one place.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "timing/core/methods/method_table.h"
#include "timing/gui/main/main_window.h"

namespace umbrix {

void SetTip(QWidget* w, const QString& tip) {
    w->setProperty(kFreshTip, tip);
    w->setToolTip(tip);
}

void frmMain::setTips() {
    const QString calibratedTip =
        "Calibrated error (days): estimated from the scatter of the data themselves, so that "
        "about 68 % of such results lie within one calibrated error of the true minimum.\n"
        "The Est'd Error beside it is the method's traditional error; Calc. Means uses that one.";
    SetTip(LabelCalibrated, calibratedTip);
    SetTip(Label[8], "The time of minimum each method found, as a heliocentric Julian date.");
    SetTip(Label[9], "The error of each time, in days, as the method itself estimates it; Calc. "
                     "Means weights the times by it.");
    SetTip(Label[13], "Tick the rows that Calc. Means combines.");
    for (int k = 1; k <= kMethodRows; ++k) {
        const QString method = QString(MethodOfRow(k).label).section(". ", 1);
        SetTip(TextCalibrated[k], calibratedTip);
        SetTip(Command[k], MethodOfRow(k).go == GoPrepares::ComputesAtOnce
                               ? "Time the minimum by " + method + " on the working points, at once."
                               : "Open the " + method + " window on the working points.");
        SetTip(Text[k], "Time of minimum (HJD) by " + method + "; a time typed here counts as well.");
        SetTip(Text[k + 6], "Estimated error of the " + method + " time, in days.");
        SetTip(Check[k], "Use the " + method + " time in Calc. Means.");
    }
    SetTip(Text[13], "The plain mean of the ticked times.");
    SetTip(Text[14], "The mean of the ticked times, each weighted by one over its error squared.");
    SetTip(Text[15], "The standard error of the weighted mean, in days.");
    SetTip(Text[16], "The scatter (standard deviation) of the ticked times about their mean, in days.");
    SetTip(Command[8], "Combine the ticked rows into the means below.");
    SetTip(Command[7], "Plot the light curve; click a point to delete it or take it back.");
    SetTip(Option1[0], "The file holds magnitudes: larger is fainter, and the eclipse is a maximum "
                       "of the values.");
    SetTip(Option1[1], "The file holds values that grow as the star brightens (a flux, or "
                       "magnitude differences taken the other way): they are inverted, so that "
                       "the eclipse is again a dip of light.");
    SetTip(Label[15], "How many points the file holds.");
    SetTip(Label[17], Label[15]->toolTip());
    SetTip(Label[16], "How many points the methods use: those not deleted in Plot/Edit Data.");
    SetTip(Label[18], Label[16]->toolTip());
}

}  // namespace umbrix
