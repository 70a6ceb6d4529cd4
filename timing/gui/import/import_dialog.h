#pragma once
// File > Import Light Curve ...: the file, a preview of its columns with the header's names,
// the time, brightness and error columns (preset from what the header suggests) and whether
// the brightness is a flux; optionally an ephemeris, the secondary eclipses and the windows'
// half-width. OK reads the curve and finds its eclipses; a refusal is shown, naming the file,
// and the dialog stays as it was for another choice.

#include <QDialog>

#include "timing/core/long/long_curve.h"
#include "timing/gui/import/long_import.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace umbrix {

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportDialog(QWidget* parent = nullptr);

    QLineEdit* PathBox;
    QPushButton* Browse;
    QTableWidget* Preview;  // the first rows, headed by the file's column names
    QLabel* PreviewNote;    // separator and time scale, or why there is no table
    QComboBox* TimeColumn;
    QComboBox* BrightnessColumn;
    QComboBox* ErrorColumn;  // "(none)" first
    QCheckBox* Flux;
    QLineEdit* T0;
    QLineEdit* Period;
    QCheckBox* Secondary;
    QLineEdit* HalfWidth;  // empty: measured on the curve
    QPushButton* OK;
    QPushButton* Cancel;

    // Names the file and previews it, presetting the columns from its header.
    void setPath(const QString& path);
    // What File > Import Light Curve ... does.
    void showForChoice();
    // The columns as chosen (1-based numbers), for the reader.
    ColumnChoice columnChoice() const;

public slots:
    // OK: reads and searches the file; true (and the dialog hidden) when it was imported.
    bool OK_Click();
    void Browse_Click();

signals:
    void imported(const ImportedCurve& curve);

private:
    void preview();
    bool isFits_ = false;
    bool header_ = false;  // the previewed table has a header row
    QString previewed_;  // the path the preview shows
};

}  // namespace umbrix
