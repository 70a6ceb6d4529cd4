#include "timing/gui/main/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "timing/core/session/app_state.h"
#include "timing/core/data/error_texts.h"
#include "timing/core/data/format.h"
#include "timing/core/methods/method_table.h"
#include "timing/core/methods/sliding.h"
#include "timing/gui/named.h"
#include "timing/gui/import/import_launcher.h"
#include "timing/gui/oc/oc_launcher.h"
#include "timing/core/oc/remembered_ephemerides.h"
#include "timing/gui/main/plot_data_launcher.h"
#include "timing/gui/plot/plot_window.h"
#include "timing/gui/plot/printing.h"
#include "timing/gui/main/file_dialogs.h"
#include "timing/gui/main/help_windows.h"
#include "timing/core/files/recent_files.h"
#include "timing/core/files/settings_file.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

const char* const kStaleTip =
    "Computed before points were deleted or restored in Plot/Edit Data: press Go again to time "
    "the points as they are now.";
const char* const kStaleMeansTip =
    "Combined from results computed before points were deleted or restored: time the rows "
    "again and press \"Calc. Means\".";

void ShowStale(QLineEdit* box, bool stale, const QString& staleTip) {
    box->setStyleSheet(stale ? "QLineEdit { color: gray; }" : "");
    box->setToolTip(stale ? staleTip : box->property(kFreshTip).toString());
}

}  // namespace

frmMain::frmMain(AppState& app, QString settingsPath, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      settingsPath_(std::move(settingsPath)),
      printer_(std::make_unique<CurrentPrinter>()) {
    setObjectName("frmMain");
    setWindowTitle("Umbrix");
    setAcceptDrops(true);
    buildControls();
    buildMenus();

    // Start-up, in order: the settings file (any error: every default), the dialogs' pattern
    // lists, the methods' remembered state, "+Mags". Error texts are a constant table.
    const auto placements = ReadSettingsFile(settingsPath_.toStdString());
    placements_ = placements ? *placements : DefaultPlacements();
    placementsRead_ = placements.has_value();
    openDialog_ = new FileDialog(FileDialog::Mode::Open, app_.data, this);
    saveDialog_ = new FileDialog(FileDialog::Mode::Save, app_.data, this);
    openDialog_->fillPatterns();
    saveDialog_->fillPatterns();
    connect(openDialog_, &FileDialog::openRequested, this,
            [this](const QString& dir, const QString& name) { openLightCurve(dir, name); });
    connect(saveDialog_, &FileDialog::saveRequested, this, &frmMain::writeResultsFile);
    ResetMethodStates(app_);
    Option1[0]->setChecked(true);

    help_ = new frmHelp(this);
    about_ = new frmAbout(this);

    plotData_ = new PlotDataLauncher(app_.data, placements_[kPlotDataWindow], *printer_, this);
    connect(plotData_, &PlotDataLauncher::editedCountChanged, this, &frmMain::pointsEdited);
    connect(this, &frmMain::lightCurveLoaded, plotData_, &PlotDataLauncher::lightCurveLoaded);

    importer_ = new ImportLauncher(*printer_, this);
    connect(importer_, &ImportLauncher::windowChosen, this, &frmMain::loadWindow);
    connect(importer_, &ImportLauncher::timingsToLog, this, &frmMain::logTimings);
    oc_ = new OcLauncher(*printer_, QFileInfo(settingsPath_).absoluteDir().filePath(kEphemeridesFileName), this);

    QFile recent(recentFilesPath());
    if (recent.open(QIODevice::ReadOnly)) recentFiles_ = ParseRecentFiles(recent.readAll().toStdString());
    fillRecentMenu();
    // Never smaller than its controls need: no caption, box or button is cut off.
    setMinimumSize(sizeHint());
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("central");
    auto* grid = new QGridLayout(central);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    setCentralWidget(central);

    auto label = [&](int n, const QString& text) {
        Label[n] = Named(new QLabel(text, central), QString("Label%1").arg(n));
        return Label[n];
    };
    auto textBox = [&](int n) {
        Text[n] = Named(new QLineEdit(central), QString("Text%1").arg(n));
        Text[n]->setMinimumWidth(Text[n]->fontMetrics().horizontalAdvance("2454123.512345") + 16);
        return Text[n];
    };

    Label1 = Named(new QLabel("Umbrix v2.3", central), "Label1");
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    LabelFile = Named(new QLabel("No light curve loaded: File > Open (Ctrl+O)", central), "LabelFile");
    LabelFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* title = new QVBoxLayout;
    title->addWidget(Label1, 0, Qt::AlignHCenter);
    title->addWidget(LabelFile, 0, Qt::AlignHCenter);
    grid->addLayout(title, 0, 0, 1, 6);

    // The calibrated error sits right beside the method's own error, so that the two can be
    // compared at a glance; the tick box, which belongs to the time and its own error, follows.
    grid->addWidget(label(8, "Time of Minimum"), 1, 2, Qt::AlignHCenter);
    grid->addWidget(label(9, "Est'd Error"), 1, 3, Qt::AlignHCenter);
    LabelCalibrated = Named(new QLabel("Calibrated", central), "LabelCalibrated");
    grid->addWidget(LabelCalibrated, 1, 4, Qt::AlignHCenter);
    grid->addWidget(label(13, "Use in Mean?"), 1, 5, Qt::AlignHCenter);

    for (int k = 1; k <= kMethodRows; ++k) {
        const int row = k + 1;
        grid->addWidget(label(k + 1, MethodOfRow(k).label), row, 0);
        Command[k] = Named(new QPushButton("Go", central), QString("Command%1").arg(k));
        grid->addWidget(Command[k], row, 1);
        grid->addWidget(textBox(k), row, 2);
        grid->addWidget(textBox(k + 6), row, 3);
        auto* calibrated = Named(new QLineEdit(central), QString("TextCalibrated%1").arg(k));
        calibrated->setReadOnly(true);
        // Out of the Tab chain: a row stays Go, time, error, tick for keyboard users.
        calibrated->setFocusPolicy(Qt::ClickFocus);
        calibrated->setMinimumWidth(Text[k + 6]->minimumWidth());
        TextCalibrated[k] = calibrated;
        grid->addWidget(calibrated, row, 4);
        Check[k] = Named(new QCheckBox("In", central), QString("Check%1").arg(k));
        grid->addWidget(Check[k], row, 5, Qt::AlignHCenter);
        // What a user types or ticks goes into the row table, which reads it from then on.
        connect(Text[k], &QLineEdit::textChanged, this, [this, k](const QString& text) {
            if (!showingRow_) rows_.setTime(k, text.toStdString());
        });
        connect(Text[k + 6], &QLineEdit::textChanged, this, [this, k](const QString& text) {
            if (!showingRow_) rows_.setError(k, text.toStdString());
        });
        connect(TextCalibrated[k], &QLineEdit::textChanged, this, [this, k](const QString& text) {
            if (!showingRow_) rows_.setCalibrated(k, text.toStdString());
        });
        connect(Check[k], &QCheckBox::toggled, this, [this, k](bool ticked) {
            if (!showingRow_) rows_.setTicked(k, ticked);
        });
    }
    connect(Command[1], &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command[2], &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command[3], &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Command[4], &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(Command[5], &QPushButton::clicked, this, &frmMain::Command5_Click);
    connect(Command[6], &QPushButton::clicked, this, &frmMain::Command6_Click);

    grid->setRowMinimumHeight(8, 12);
    const int means = 9;
    grid->addWidget(label(10, "Simple Mean"), means, 0, 1, 2);
    grid->addWidget(textBox(13), means, 2);
    grid->addWidget(label(11, "Weighted Mean"), means + 1, 0, 1, 2);
    grid->addWidget(textBox(14), means + 1, 2);
    grid->addWidget(label(12, "Std. Error of  Weighted Mean"), means + 2, 0, 1, 2);
    grid->addWidget(textBox(15), means + 2, 2);
    grid->addWidget(label(14, "Std. Deviation of Means"), means + 3, 0, 1, 2);
    grid->addWidget(textBox(16), means + 3, 2);

    Command[8] = Named(new QPushButton("Calc. Means", central), "Command8");
    Command[7] = Named(new QPushButton("Plot/Edit Data", central), "Command7");
    grid->addWidget(Command[8], means, 3, 1, 2);
    grid->addWidget(Command[7], means + 1, 3, 1, 2);
    connect(Command[8], &QPushButton::clicked, this, &frmMain::Command8_Click);
    connect(Command[7], &QPushButton::clicked, this, &frmMain::Command7_Click);

    signGroup_ = new QButtonGroup(this);
    Option1[0] = Named(new QRadioButton("+Mags", central), "Option1(0)");
    Option1[1] = Named(new QRadioButton("-Mags (inverted)", central), "Option1(1)");
    for (int i = 0; i < 2; ++i) {
        signGroup_->addButton(Option1[i], i);
        grid->addWidget(Option1[i], means + 2 + i, 3, 1, 2);
    }
    connect(signGroup_, &QButtonGroup::idClicked, this, &frmMain::Option1_Click);

    grid->setRowMinimumHeight(means + 4, 12);
    grid->addWidget(label(15, "Original # data points"), means + 5, 0, 1, 2);
    grid->addWidget(label(17, ""), means + 5, 2);
    grid->addWidget(label(16, "Edited # data points"), means + 6, 0, 1, 2);
    grid->addWidget(label(18, ""), means + 6, 2);
    setTips();
}

void frmMain::buildMenus() {
    // The captions keep their words; the ampersands only underline a letter for Alt.
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File");
    Open = Named(file->addAction("&Open"), "Open");
    Open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    OpenRecent = file->addMenu("Open &Recent");
    OpenRecent->setObjectName("OpenRecent");
    ImportLightCurve = Named(file->addAction("&Import Light Curve ..."), "ImportLightCurve");
    Save = Named(file->addAction("&Save"), "Save");
    Save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddToMinimaLog = Named(file->addAction("Add to &Minima Log ..."), "AddToMinimaLog");
    OcDiagram = Named(file->addAction("O\u2013C &Diagram ..."), "OcDiagram");
    Named(file->addSeparator(), "blank");
    Exit = Named(file->addAction("E&xit"), "Exit");
    Exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("Help");
    Help1 = Named(help->addAction("Help - &Introduction"), "Help1");
    Help1->setShortcut(QKeySequence(Qt::Key_F1));
    Help2 = Named(help->addAction("Help -&Data files"), "Help2");
    Named(help->addSeparator(), "myline");
    About = Named(help->addAction("&About"), "About");
    connect(Open, &QAction::triggered, this, &frmMain::Open_Click);
    connect(ImportLightCurve, &QAction::triggered, this, &frmMain::ImportLightCurve_Click);
    connect(Save, &QAction::triggered, this, &frmMain::Save_Click);
    connect(AddToMinimaLog, &QAction::triggered, this, &frmMain::AddToMinimaLog_Click);
    connect(OcDiagram, &QAction::triggered, this, &frmMain::OcDiagram_Click);
    connect(Exit, &QAction::triggered, this, &frmMain::Exit_Click);
    connect(Help1, &QAction::triggered, this, &frmMain::Help1_Click);
    connect(Help2, &QAction::triggered, this, &frmMain::Help2_Click);
    connect(About, &QAction::triggered, this, &frmMain::About_Click);
}

bool frmMain::fileLoaded() const { return !app_.data.DataFileName.empty(); }

// A refused first load names a file but leaves no light curve; a light curve that loaded has
// at least one point. A refused later load keeps the curve before it, which stays usable.
bool frmMain::hasLightCurve() const { return fileLoaded() && app_.data.ReadCount > 0; }

void frmMain::setRowAction(int row, std::function<void()> action) {
    if (row >= 1 && row <= kMethodRows) rowActions_[row] = std::move(action);
}

void frmMain::goRow(int row) {
    if (!hasLightCurve()) return;
    PrepareGo(app_, row);
    if (MethodOfRow(row).go == GoPrepares::ComputesAtOnce) {
        runSlidingIntegrations();
        return;
    }
    if (rowActions_[row]) rowActions_[row]();
    arrangePlacement(MethodOfRow(row).placement);
}

void frmMain::arrangePlacement(int slot) {
    if (placementsRead_ || slot < 0 || slot >= kPlacementCount || arranged_[static_cast<std::size_t>(slot)]) return;
    // Done once the window is open, so that its minimum size (its row of controls) is known:
    // a place beside the main window narrower than that would have it grow back over it.
    WindowPlacement& record = placements_[static_cast<std::size_t>(slot)];
    PlotWindow* window = nullptr;
    for (PlotWindow* w : findChildren<PlotWindow*>())
        if (&w->placementRecord() == &record) window = w;
    if (!window || !window->isVisible()) return;
    arranged_[static_cast<std::size_t>(slot)] = true;
    const auto twips = [](const QRect& r) {
        return ScreenRect{r.x() * 15, r.y() * 15, r.width() * 15, r.height() * 15};
    };
    int titleBar = window->frameGeometry().height() - window->geometry().height();
    if (titleBar <= 0) titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    WindowPlacement wanted = record;
    wanted.width = std::max(wanted.width, window->minimumWidth() * 15);
    wanted.height = std::max(wanted.height, window->minimumHeight() * 15);
    window->placeAt(PlaceBesideMain(wanted, twips(frameGeometry()), twips(screen()->availableGeometry()),
                                    titleBar * 15, 8 * 15));
}

void frmMain::runSlidingIntegrations() {
    const SlidingRowResult r = SlidingGo(app_.sliding, app_.data, app_.RangeFirst, app_.RangeLast);
    if (!r.ok()) {
        showMessage(this, QString::fromStdString(r.message));
        return;
    }
    writeMethodRow(6, r);
}

void frmMain::writeMethodResult(int row, double relativeTime, double error) {
    RowResult result;
    result.done(app_.data, relativeTime, error);
    writeMethodRow(row, result);
}

void frmMain::writeMethodRow(int row, const RowResult& result) {
    if (row < 1 || row > kMethodRows || !result.ok()) return;
    rows_.write(row, result);
    showRow(row);
    // A result that stands but deserves a word (ranges narrowed to one eclipse, a vertex
    // outside the picked points) says it, as the batch mode's warning does.
    if (!result.warning.empty())
        showMessage(this, QString::fromStdString(std::string(MethodOfRow(row).label) + ": " + result.warning));
}

void frmMain::clearMethodResult(int row) {
    if (row < 1 || row > kMethodRows) return;
    rows_.clear(row);
    showRow(row);
}

void frmMain::showEditedCount() { Label[18]->setText(QString::number(app_.data.PointCount)); }


void frmMain::showRow(int k) {
    const RowState& r = rows_.row(k);
    showingRow_ = true;
    Text[k]->setText(QString::fromStdString(r.time));
    Text[k + 6]->setText(QString::fromStdString(r.error));
    TextCalibrated[k]->setText(QString::fromStdString(r.calibrated));
    Check[k]->setChecked(r.ticked);
    showingRow_ = false;
    ShowStale(Text[k], r.stale, kStaleTip);
    ShowStale(Text[k + 6], r.stale, kStaleTip);
    ShowStale(TextCalibrated[k], r.stale, kStaleTip);
}

void frmMain::setMeansStale(bool stale) {
    meansStale_ = stale;
    for (int n = 13; n <= 16; ++n) ShowStale(Text[n], stale, kStaleMeansTip);
}

void frmMain::pointsEdited() {
    showEditedCount();
    rows_.pointsEdited();
    for (int k = 1; k <= kMethodRows; ++k) showRow(k);
    if (!Text[13]->text().isEmpty()) setMeansStale(true);
}

void frmMain::Command7_Click() {
    // With no light curve there is nothing to plot, and no scale to plot it on.
    if (!hasLightCurve()) return;
    plotData_->show();
    arrangePlacement(kPlotDataWindow);
}

void frmMain::Command8_Click() {
    if (!fileLoaded()) return;
    const MeansResult r = rows_.calcMeans();
    for (int k = 1; k <= kMethodRows; ++k) showRow(k);
    // A box that is not a number refuses the means; a row left out because its numbers are
    // too large to combine says so; times that disagree are combined, with a word.
    const std::string said = r.message + (r.message.empty() || r.warning.empty() ? "" : "\n\n") + r.warning;
    if (!said.empty()) showMessage(this, QString::fromStdString(said));
    if (!r.computed) return;
    setMeansStale(rows_.countsStaleRow(r));
    Text[13]->setText(QString::fromStdString(r.simple));
    Text[14]->setText(QString::fromStdString(r.weighted));
    Text[15]->setText(QString::fromStdString(r.stdError));
    Text[16]->setText(QString::fromStdString(r.stdDev));
}

void frmMain::Option1_Click(int index) {
    if (index != 0 && index != 1) return;
    ChangeMagSign(app_, index);
    showEditedCount();
    plotData_->refresh();
}

void frmMain::Open_Click() { openDialog_->showForChoice(); }

void frmMain::ImportLightCurve_Click() { importer_->show(); }

void frmMain::OcDiagram_Click() {
    // The log is only opened when it exists: before the first night was logged the window
    // opens empty, to choose a table in it.
    const QString log = minimaLogPath();
    oc_->open(!log.isEmpty() && QFileInfo::exists(log) ? log : QString(), std::nullopt);
}

void frmMain::Save_Click() { saveDialog_->showForChoice(); }

void frmMain::Exit_Click() { close(); }

void frmMain::Help1_Click() { help_->showScreen(frmHelp::Screen::Introduction); }

void frmMain::Help2_Click() { help_->showScreen(frmHelp::Screen::DataFiles); }

void frmMain::About_Click() {
    if (!about_->isVisible()) {
        // Centred on this window, not at the screen's corner over its menu bar.
        about_->adjustSize();
        QSize frame = about_->frameGeometry().size();
        if (frame == about_->size())
            frame.rheight() += about_->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        about_->move(CentredOn(this, frame));
    }
    about_->show();
    about_->raise();
}

bool frmMain::writeSettings() {
    plotData_->storePlacement();  // a plot window that was only moved is remembered too
    const std::string error = WriteSettingsFile(settingsPath_.toStdString(), placements_);
    if (error.empty()) return true;
    showMessage(this, "The window positions could not be saved: " + QString::fromStdString(error) +
                          ".");
    return false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!settingsWritten_) {
        writeSettings();  // a failure is shown, and the program still ends
        settingsWritten_ = true;
    }
    event->accept();
    emit closed();
}

}  // namespace umbrix
