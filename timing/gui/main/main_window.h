#pragma once
// frmMain: the window ectimer starts with. Opens light curves, lists the six timing methods
// with their results, combines the ticked results into means, chooses the magnitude sign and
// remembers the window placements between runs.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

#include "timing/core/data/means.h"
#include "timing/core/files/window_placement.h"
#include "timing/core/long/long_eclipses.h"
#include "timing/core/methods/method_common.h"
#include "timing/core/session/row_table.h"
#include "timing/gui/main/minima_log.h"

class QAction;
class QMenu;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace umbrix {

struct AppState;
class CurrentPrinter;
class PlotDataLauncher;
class ImportLauncher;
class OcLauncher;
class FileDialog;
class frmHelp;
class frmAbout;

// A control's own tooltip, kept also in the property kFreshTip, so that a box shown stale can
// say why it is grey and say again what it holds once it is fresh.
inline constexpr const char* kFreshTip = "freshTip";
void SetTip(QWidget* w, const QString& tip);

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // settingsPath: where zzzumb.ini is read at start and written at the end.
    explicit frmMain(AppState& app, QString settingsPath = "zzzumb.ini", QWidget* parent = nullptr);
    ~frmMain() override;

    // Go of rows 1-5 opens that method's window once a file is loaded, after what Go of the
    // row prepares (PrepareGo, as kMethods says). The method windows hook in here
    // (method_windows.cpp); row 6 computes by itself.
    void setRowAction(int row, std::function<void()> action);

    // Shows the working set's size in the edited-count label (after a delete or restore).
    void showEditedCount();
    // Points were deleted or restored: the results shown no longer belong to the points as
    // they are. Every row holding a time, and the means, turn grey with a tooltip saying so
    // until the row is computed again (the means: until "Calc. Means" of fresh rows).
    void pointsEdited();
    bool rowStale(int row) const { return row >= 1 && row <= kMethodRows && rows_.row(row).stale; }
    bool meansStale() const { return meansStale_; }

    // File > Open's OK, a file named on the command line, or a file dropped on the window:
    // loads dir/name, then empties the rows' result boxes (time, error, calibrated error).
    // False when the file was refused (its message has been shown).
    bool openLightCurve(const QString& dir, const QString& name);
    bool openPath(const QString& path);
    // An eclipse chosen in an import window: its window's points become the light curve, as if
    // File > Open had loaded a file `name` in `dir` that holds them (the same resets follow).
    // False, changing nothing, when the window holds no point or more than a data set holds.
    bool loadWindow(const WindowPoints& points, const QString& dir, const QString& name);

    // Writes zzzumb.ini; a failure is shown in a message box. True when written.
    bool writeSettings();

    // File > Add to Minima Log: appends the light curve's name with every ticked row that
    // holds a time (method, time, error, calibrated error) and the weighted mean of those
    // rows to the minima log at path, in the batch table's columns. A failure is shown and
    // leaves the log as it was. True when appended.
    bool addToMinimaLog(const QString& path);
    // The import window's "Add to Minima Log": every timed eclipse's ticked rows and their
    // weighted mean, under its own name, appended at once as File > Add to Minima Log appends
    // one light curve's (the same question before logging one twice; a failure is shown and
    // leaves the log as it was). True when appended.
    bool addToMinimaLog(const QString& path, const std::vector<LoggedRows>& curves);
    // The minima log chosen once and remembered in minima_log.ini beside zzzumb.ini.
    QString minimaLogPath() const;

    FileDialog* openDialog() const { return openDialog_; }
    FileDialog* saveDialog() const { return saveDialog_; }
    frmHelp* helpWindow() const { return help_; }
    frmAbout* aboutWindow() const { return about_; }
    PlotDataLauncher* plotData() const { return plotData_; }
    ImportLauncher* importer() const { return importer_; }
    OcLauncher* ocWindows() const { return oc_; }
    CurrentPrinter& printer() { return *printer_; }
    // Where every plot window stands, read from zzzumb.ini at start and written at the end;
    // each window keeps its own record up to date.
    Placements& placements() { return placements_; }

    // Controls, named as the rest of the program and the tests know them.
    QLabel* Label1;
    std::array<QLabel*, 19> Label{};          // Label[2..18]
    std::array<QPushButton*, 9> Command{};    // Command[1..8]
    std::array<QLineEdit*, 17> Text{};        // Text[1..16]
    std::array<QCheckBox*, 7> Check{};        // Check[1..6]
    // Beside each error box, read-only: the error estimated from the data's own scatter.
    // "Calc. Means" never reads it.
    QLabel* LabelCalibrated;
    std::array<QLineEdit*, 7> TextCalibrated{};  // TextCalibrated[1..6]
    std::array<QRadioButton*, 2> Option1{};   // Option1[0] "+Mags", Option1[1] "-Mags (inverted)"
    // Under the title: the loaded light curve's file name (its whole path as the tooltip).
    QLabel* LabelFile;
    QAction* Open;
    // File > Open Recent: the last kMaxRecentFiles light curves opened, newest first.
    QMenu* OpenRecent;
    QAction* ImportLightCurve;
    QAction* Save;
    QAction* AddToMinimaLog;
    // File > "O–C Diagram ...": the O-C window on the minima log (or on a table chosen there).
    QAction* OcDiagram;
    QAction* Exit;
    QAction* Help1;
    QAction* Help2;
    QAction* About;

    // The six rows as data: what the boxes show and the methods' own numbers behind them.
    const RowTable& rows() const { return rows_; }

public slots:
    // What the method windows report (MethodWindows connects them): a finished method
    // writes its time of minimum and errors into row k and ticks it; Undo empties the row and
    // unticks it.
    void writeMethodRow(int row, const RowResult& result);
    void clearMethodResult(int row);
    // The same as writeMethodRow from a time of minimum (relative to DayOffset) and an error.
    void writeMethodResult(int row, double relativeTime, double error);

    void Command1_Click() { goRow(1); }
    void Command2_Click() { goRow(2); }
    void Command3_Click() { goRow(3); }
    void Command4_Click() { goRow(4); }
    void Command5_Click() { goRow(5); }
    void Command6_Click() { goRow(6); }
    void Command7_Click();
    void Command8_Click();
    void Option1_Click(int index);
    void Open_Click();
    void ImportLightCurve_Click();
    void OcDiagram_Click();
    // addToMinimaLog(path, curves) on the log that File > Add to Minima Log uses (asked for
    // once when none is remembered).
    void logTimings(const std::vector<LoggedRows>& curves);
    void Save_Click();
    void AddToMinimaLog_Click();
    void Exit_Click();
    void Help1_Click();
    void Help2_Click();
    void About_Click();

signals:
    // A light curve was loaded and the data set replaced: windows drawn from the old one
    // clear and hide themselves.
    void lightCurveLoaded();
    // The main window has closed (settings written): the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    // Every control's tooltip (main_window_tips.cpp).
    void setTips();
    void goRow(int row);
    // With no placements read from zzzumb.ini, a plot window's first opening moves its record
    // beside or below the main window (PlaceBesideMain), where it covers none of the rows.
    void arrangePlacement(int slot);
    void runSlidingIntegrations();
    bool fileLoaded() const;
    bool hasLightCurve() const;
    void writeResultsFile(const QString& dir, const QString& name);
    // Row k's boxes, tick and colour from the table.
    void showRow(int k);
    void setMeansStale(bool stale);
    // What every load does to the window after the data set was replaced (loaded) or the load
    // refused: title, counts and sign, the other windows told, the results emptied.
    void showLoad(const QString& name, bool loaded);
    // recent_files.ini beside zzzumb.ini; read at start, rewritten after every file opened.
    QString recentFilesPath() const;
    void rememberRecent(const QString& path);
    void forgetRecent(const QString& path);
    void fillRecentMenu();
    // The minima log remembered in minima_log.ini, or chosen now (and remembered) starting in
    // startDir; empty when the user cancelled.
    QString chooseMinimaLog(const QString& startDir);
    // Lines of light curves for the minima log, with the methods they hold (a light curve
    // already logged with one of them is appended only when the user says so).
    struct MinimaLines {
        std::string file, lines;
        std::vector<std::string> methods;
    };
    bool appendToMinimaLog(const QString& path, const std::vector<MinimaLines>& curves);

    AppState& app_;
    QString settingsPath_;
    QString loadedPath_;  // the light curve last loaded, never overwritten by File > Save
    std::array<std::function<void()>, kMethodRows + 1> rowActions_;
    RowTable rows_;
    Placements placements_ = DefaultPlacements();
    bool placementsRead_ = false;
    std::array<bool, kPlacementCount> arranged_{};
    bool showingRow_ = false;  // while showRow writes the boxes, their changes are its own
    bool meansStale_ = false;
    std::unique_ptr<CurrentPrinter> printer_;  // the printer every plot window prints to
    PlotDataLauncher* plotData_;
    ImportLauncher* importer_;
    OcLauncher* oc_;
    FileDialog* openDialog_;
    FileDialog* saveDialog_;
    frmHelp* help_;
    frmAbout* about_;
    QButtonGroup* signGroup_;
    bool settingsWritten_ = false;
    std::vector<std::string> recentFiles_;
};

}  // namespace umbrix
