// frmMain's files: the light curve opened (by File > Open, Open Recent, a dropped file or the
// import window), the results file of File > Save, the minima log of File > Add to Minima
// Log ... (and of the import window's "Add to Minima Log"), with the numbers they take from
// the rows, and the list of File > Open Recent.

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <algorithm>

#include "common/atomic_file.h"
#include "timing/core/data/format.h"
#include "timing/core/methods/method_table.h"
#include "timing/core/long/eclipse_timing.h"
#include "timing/core/oc/oc.h"
#include "timing/core/session/app_state.h"
#include "timing/gui/main/main_window.h"
#include "timing/core/files/recent_files.h"
#include "timing/core/files/results_file.h"
#include "timing/core/files/settings_file.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

QString frmMain::minimaLogPath() const {
    QFile file(QFileInfo(settingsPath_).absoluteDir().filePath("minima_log.ini"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

QString frmMain::chooseMinimaLog(const QString& startDir) {
    QString path = minimaLogPath();
    if (!path.isEmpty()) return path;
    // Chosen once: the same log then collects every night until another is chosen by
    // removing minima_log.ini.
    path = QFileDialog::getSaveFileName(this, "Minima Log", startDir, "Minima logs (*.csv)", nullptr,
                                        QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return path;
    const std::string error =
        WriteFileAtomically(QFileInfo(settingsPath_).absoluteDir().filePath("minima_log.ini").toStdString(),
                            path.toUtf8().toStdString() + "\n");
    if (!error.empty())
        showMessage(this, "The minima log's name could not be remembered: " +
                              QString::fromStdString(error) + ".");
    return path;
}

void frmMain::AddToMinimaLog_Click() {
    if (!hasLightCurve()) return;
    const QString path = chooseMinimaLog(QFileInfo(loadedPath_).absolutePath());
    if (!path.isEmpty()) addToMinimaLog(path);
}

void frmMain::logTimings(const std::vector<LoggedRows>& curves) {
    const QString path = chooseMinimaLog(loadedPath_.isEmpty() ? QString() : QFileInfo(loadedPath_).absolutePath());
    if (!path.isEmpty()) addToMinimaLog(path, curves);
}

bool frmMain::addToMinimaLog(const QString& path) {
    if (!hasLightCurve()) return false;
    const std::string name = QFileInfo(loadedPath_).fileName().toStdString();
    // The mean of the rows as they are ticked now, as File > Save computes it. A box that is
    // not a number would go into the log as it stands, where no program can read it.
    const MeansResult means = rows_.means();
    if (means.refused) {
        showMessage(this, "Nothing was added to the minima log: " + QString::fromStdString(means.message));
        return false;
    }
    const std::string lines = rows_.minimaLogLines(name, means);
    if (lines.empty()) {
        showMessage(this, "No ticked row holds a time of minimum: nothing was added to the minima log.");
        return false;
    }
    if (const std::string stale = rows_.staleTickedRows();
        !stale.empty() && !askQuestion(this, QString::fromStdString(stale + " Add them to the minima log anyway?")))
        return false;
    return appendToMinimaLog(path, {{name, lines, rows_.loggedMethods(means)}});
}

bool frmMain::addToMinimaLog(const QString& path, const std::vector<LoggedRows>& curves) {
    // Rows the methods wrote themselves: their means are never refused, and a curve whose
    // methods all refused has nothing to log.
    std::vector<MinimaLines> logged;
    for (const LoggedRows& c : curves) {
        const MeansResult means = c.rows.means();
        if (std::string lines = c.rows.minimaLogLines(c.file, means); !lines.empty())
            logged.push_back({c.file, std::move(lines), c.rows.loggedMethods(means)});
    }
    if (logged.empty()) {
        showMessage(this, "No eclipse holds a time of minimum: nothing was added to the minima log.");
        return false;
    }
    return appendToMinimaLog(path, logged);
}

bool frmMain::appendToMinimaLog(const QString& path, const std::vector<MinimaLines>& curves) {
    // The same night and method twice would count twice in every O-C fit.
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly)) {
        const std::string text = existing.readAll().toStdString();
        std::string held;
        for (const MinimaLines& c : curves) {
            const std::vector<std::string> logged = MethodsLogged(text, c.file, c.methods);
            if (logged.empty()) continue;
            std::string list;
            for (const std::string& m : logged) list += (list.empty() ? "" : ", ") + m;
            held += (held.empty() ? "" : ", ") + c.file + " (" + list + ")";
        }
        if (!held.empty() &&
            !askQuestion(this, QString::fromStdString("The minima log already holds " + held +
                                                      ". Add these rows again?")))
            return false;
    }
    std::string lines;
    for (const MinimaLines& c : curves) lines += c.lines;
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
    const std::string stale = rows_.staleTickedRows();
    if (!stale.empty() && !askQuestion(this, QString::fromStdString(stale + " Save them anyway?"))) return;

    // The means boxes hold what the last "Calc. Means" found, perhaps for other ticks or other
    // rows; the file never pairs rows with means of another set. Its means are computed afresh
    // from the rows as they stand, exactly as "Calc. Means" would, and the window is left as it
    // is. A ticked row that "Calc. Means" would untick (no usable error) is written unticked.
    const MeansResult means = rows_.means();
    ResultsSheet sheet;
    sheet.lightCurve = QFileInfo(loadedPath_).fileName().toStdString();
    for (int k = 1; k <= kMethodRows; ++k) {
        const auto [time, error, calibrated] = rows_.fileNumbers(k);
        sheet.rows[k - 1] = {MethodOfRow(k).label, time, error, calibrated, means.ticked[k - 1]};
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

// --- Open Recent -----------------------------------------------------------------------------

QString frmMain::recentFilesPath() const {
    return QFileInfo(settingsPath_).absoluteDir().filePath("recent_files.ini");
}

void frmMain::rememberRecent(const QString& path) {
    recentFiles_ = RecentFilesAfterOpening(std::move(recentFiles_), path.toStdString());
    fillRecentMenu();
    // A list that could not be written costs only the next run's menu, never this load.
    WriteFileAtomically(recentFilesPath().toStdString(), RecentFilesText(recentFiles_));
}

void frmMain::forgetRecent(const QString& path) {
    const auto gone = std::remove(recentFiles_.begin(), recentFiles_.end(), path.toStdString());
    if (gone == recentFiles_.end()) return;
    recentFiles_.erase(gone, recentFiles_.end());
    fillRecentMenu();
    WriteFileAtomically(recentFilesPath().toStdString(), RecentFilesText(recentFiles_));
}

void frmMain::fillRecentMenu() {
    OpenRecent->clear();
    int n = 0;
    for (const std::string& entry : recentFiles_) {
        const QString path = QString::fromStdString(entry);
        // "&1 name" ... "&8 name": the digit opens it from the keyboard.
        QAction* a = OpenRecent->addAction(QString("&%1 %2").arg(++n).arg(QFileInfo(path).fileName()));
        a->setToolTip(path);
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] { openPath(path); });
    }
    OpenRecent->setEnabled(!recentFiles_.empty());
}

bool frmMain::openLightCurve(const QString& dir, const QString& name) {
    const std::string message = OpenLightCurve(app_, dir.toStdString(), name.toStdString());
    if (!message.empty()) showMessage(this, QString::fromStdString(message));
    showLoad(name, message.empty());
    const QString path = QFileInfo(QDir(dir), name).absoluteFilePath();
    if (message.empty())
        rememberRecent(path);
    else if (!QFileInfo::exists(path))
        forgetRecent(path);  // a file that is gone has no place in Open Recent
    return message.empty();
}

bool frmMain::loadWindow(const WindowPoints& points, const QString& dir, const QString& name) {
    // The data set holds at most kMaxPoints; a window's points come binned to fit.
    if (points.time.empty() || points.time.size() > static_cast<std::size_t>(kMaxPoints)) return false;
    LoadWindow(app_, points, dir.toStdString(), name.toStdString());
    showLoad(name, true);
    return true;
}

void frmMain::showLoad(const QString& name, bool loaded) {
    if (loaded) {
        setWindowTitle("Umbrix - " + name);
        loadedPath_ = QFileInfo(QString::fromStdString(app_.data.DataPath)).absoluteFilePath();
        LabelFile->setText(name);
        LabelFile->setToolTip(loadedPath_);
        emit lightCurveLoaded();
        for (int k = 1; k <= kMethodRows; ++k) rows_.setTicked(k, false);
        for (int n = 13; n <= 16; ++n) Text[n]->clear();
        setMeansStale(false);
        Label[17]->setText(QString::number(app_.data.ReadCount));
        showEditedCount();
        Option1[0]->setChecked(true);
        // Said once, at the load: the methods then refuse only where they meet such points.
        if (const std::string warning = TimeOrderWarning(app_.data); !warning.empty())
            showMessage(this, QString::fromStdString(warning));
    }
    // Whatever the outcome, the old results no longer belong to the file named now.
    for (int k = 1; k <= kMethodRows; ++k) {
        rows_.empty(k);
        showRow(k);
    }
}

bool frmMain::openPath(const QString& path) {
    const QFileInfo info(path);
    return openLightCurve(info.absolutePath(), info.fileName());
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    openPath(urls.front().toLocalFile());
}

}  // namespace umbrix
