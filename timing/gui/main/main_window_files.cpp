// frmMain's files: the results file of File > Save and the minima log of File > Add to
// Minima Log ..., with the numbers they take from the rows.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include "common/atomic_file.h"
#include "timing/core/data/format.h"
#include "timing/core/oc/oc.h"
#include "timing/gui/main/main_window.h"
#include "timing/core/files/results_file.h"
#include "timing/core/files/settings_file.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

std::string frmMain::staleTickedRows() const {
    std::vector<int> rows;
    for (int k = 1; k <= kMethodRows; ++k)
        if (stale_[k] && Check[k]->isChecked()) rows.push_back(k);
    if (rows.empty()) return "";
    std::string list = std::to_string(rows[0]);
    for (std::size_t i = 1; i < rows.size(); ++i)
        list += (i + 1 == rows.size() ? " and " : ", ") + std::to_string(rows[i]);
    return (rows.size() == 1 ? "Row " : "Rows ") + list + (rows.size() == 1 ? " was" : " were") +
           " computed before points were deleted or restored in Plot/Edit Data, and may not "
           "time the points as they are now.";
}

std::array<std::string, 3> frmMain::fileNumbers(int k) const {
    const RowResult& w = written_[k];
    // The method's number while its box shows the text it wrote, else the box's own number.
    const auto number = [](const QLineEdit* box, bool wrote, const std::string& written,
                           double exact, std::string (*write)(double, int)) {
        const std::string text = box->text().toStdString();
        if (wrote && text == written) return write(exact, 7);
        const std::optional<double> typed = WholeNumber(text);
        return typed ? write(*typed, 7) : text;
    };
    return {number(Text[k], w.ok(), w.timeText, w.time, FileDecimals),
            number(Text[k + 6], w.ok(), w.errorText, w.error, FileError),
            number(TextCalibrated[k], w.ok() && w.hasCalibrated, w.calibratedText,
                   w.calibratedError, FileError)};
}

QString frmMain::minimaLogPath() const {
    QFile file(QFileInfo(settingsPath_).absoluteDir().filePath("minima_log.ini"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

void frmMain::AddToMinimaLog_Click() {
    if (!hasLightCurve()) return;
    QString path = minimaLogPath();
    if (path.isEmpty()) {
        // Chosen once: the same log then collects every night until another is chosen by
        // removing minima_log.ini.
        path = QFileDialog::getSaveFileName(this, "Minima Log", QFileInfo(loadedPath_).absolutePath(),
                                            "Minima logs (*.csv)", nullptr,
                                            QFileDialog::DontConfirmOverwrite);
        if (path.isEmpty()) return;
        const std::string error =
            WriteFileAtomically(QFileInfo(settingsPath_).absoluteDir().filePath("minima_log.ini").toStdString(),
                                path.toUtf8().toStdString() + "\n");
        if (!error.empty())
            showMessage(this, "The minima log's name could not be remembered: " +
                                  QString::fromStdString(error) + ".");
    }
    addToMinimaLog(path);
}

bool frmMain::addToMinimaLog(const QString& path) {
    if (!hasLightCurve()) return false;
    const std::string name = QFileInfo(loadedPath_).fileName().toStdString();
    // The mean of the rows as they are ticked now, as File > Save computes it. A box that is
    // not a number would go into the log as it stands, where no program can read it.
    const MeansResult means = CalcMeans(meanRows());
    if (means.refused) {
        showMessage(this, "Nothing was added to the minima log: " + QString::fromStdString(means.message));
        return false;
    }
    std::string lines;
    for (int k = 1; k <= kMethodRows; ++k) {
        if (!Check[k]->isChecked() || Text[k]->text().isEmpty()) continue;
        const auto [time, error, calibrated] = fileNumbers(k);
        lines += MinimaTableLine(name, std::to_string(k), kMethodNames[k - 1], time, error, calibrated, "");
    }
    if (lines.empty()) {
        showMessage(this, "No ticked row holds a time of minimum: nothing was added to the minima log.");
        return false;
    }
    if (means.computed)
        lines += MinimaTableLine(name, "mean", "weighted_mean", FileDecimals(means.weightedValue),
                                 FileError(means.stdErrorValue), "", "");
    if (const std::string stale = staleTickedRows();
        !stale.empty() && !askQuestion(this, QString::fromStdString(stale + " Add them to the minima log anyway?")))
        return false;
    // The same night and method twice would count twice in every O-C fit.
    std::vector<std::string> methods;
    for (int k = 1; k <= kMethodRows; ++k)
        if (Check[k]->isChecked() && !Text[k]->text().isEmpty()) methods.push_back(kMethodNames[k - 1]);
    if (means.computed) methods.push_back("weighted_mean");
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly)) {
        const std::vector<std::string> logged =
            MethodsLogged(existing.readAll().toStdString(), name, methods);
        std::string list;
        for (const std::string& m : logged) list += (list.empty() ? "" : ", ") + m;
        if (!logged.empty() &&
            !askQuestion(this, QString::fromStdString("The minima log already holds " + name + " (" + list +
                                                      "). Add these rows again?")))
            return false;
    }
    const std::string error = AppendToMinimaLog(path.toStdString(), lines, &atomicfile::WriteFile);
    if (error.empty()) return true;
    showMessage(this, "Nothing was added to the minima log: " + QString::fromStdString(error) + ".");
    return false;
}

void frmMain::writeResultsFile(const QString& dir, const QString& name) {
    if (name.isEmpty()) return;
    const QString path = QFileInfo(QDir(dir).filePath(name)).absoluteFilePath();
    if (!loadedPath_.isEmpty() &&
        QFileInfo(path).canonicalFilePath() == QFileInfo(loadedPath_).canonicalFilePath() &&
        QFileInfo::exists(path)) {
        showMessage(this, "\"" + name +
                              "\" is the light curve you are working on; the results were not "
                              "saved. Choose another file name.");
        return;
    }
    if (QFileInfo::exists(path) &&
        !askQuestion(this, "\"" + name + "\" already exists. Replace it with these results?"))
        return;
    const std::string stale = staleTickedRows();
    if (!stale.empty() && !askQuestion(this, QString::fromStdString(stale + " Save them anyway?"))) return;

    // The means boxes hold what the last "Calc. Means" found, perhaps for other ticks or other
    // rows; the file never pairs rows with means of another set. Its means are computed afresh
    // from the rows as they stand, exactly as "Calc. Means" would, and the window is left as it
    // is. A ticked row that "Calc. Means" would untick (no usable error) is written unticked.
    const MeansResult means = CalcMeans(meanRows());
    ResultsSheet sheet;
    sheet.lightCurve = QFileInfo(loadedPath_).fileName().toStdString();
    for (int k = 1; k <= kMethodRows; ++k) {
        const auto [time, error, calibrated] = fileNumbers(k);
        sheet.rows[k - 1] = {kRowLabels[k - 1], time, error, calibrated, means.ticked[k - 1]};
    }
    // The labels as the window writes them, blanks and all.
    sheet.simpleMeanLabel = Label[10]->text().toStdString();
    sheet.weightedMeanLabel = Label[11]->text().toStdString();
    sheet.stdErrorLabel = Label[12]->text().toStdString();
    sheet.stdDevLabel = Label[14]->text().toStdString();
    if (means.computed) {  // with no row to combine there are no means to write
        sheet.simpleMean = FileDecimals(means.simpleValue);
        sheet.weightedMean = FileDecimals(means.weightedValue);
        sheet.stdError = FileError(means.stdErrorValue);
        sheet.stdDev = means.hasStdDev ? FileError(means.stdDevValue) : "";
    }
    sheet.note = means.refused ? "Means not computed: " + means.message : means.warning;
    if (!stale.empty()) sheet.note = stale + (sheet.note.empty() ? "" : "\n" + sheet.note);
    const std::string error = WriteFileAtomically(path.toStdString(), ResultsText(sheet));
    if (!error.empty())
        showMessage(this, "The results could not be saved: " + QString::fromStdString(error) + ".");
}

}  // namespace umbrix
