#include "timing/gui/import/import_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "timing/core/methods/method_common.h"
#include "timing/core/methods/method_table.h"
#include "timing/gui/import/long_curve_view.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {

// The frame's distances from the surface's edges (twips): the magnitude labels stand left of
// it, the time labels and what they count from under it.
const FrameMargins kMargins{750, 300, 200, 700};

QString Text(const std::string& s) { return QString::fromStdString(s); }

QString CycleText(double cycle) {
    return QString::number(cycle, 'f', cycle == std::floor(cycle) ? 0 : 1);
}

QTableWidgetItem* Cell(const QString& text, const QString& tip = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (!tip.isEmpty()) item->setToolTip(tip);
    return item;
}

QTableWidget* Table(QWidget* parent, const char* name, const QStringList& headers) {
    auto* t = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 8);  // rows as dense as text
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

// What the window says of the curve and its search, in one line.
QString SummaryOf(const ImportedCurve& m) {
    const LongCurve& c = m.curve;
    const LongEclipses& f = m.found;
    QString s = Text(m.fileName) + ": " + QString::number(c.time.size()) + " points";
    if (c.leftOut > 0) s += " (" + QString::number(c.leftOut) + " left out: " + Text(c.leftOutWhy) + ")";
    s += "; time: column " + Text(c.timeColumn) +
         (c.timeScale.empty() ? " (its scale not named)" : " (" + Text(c.timeScale) + ")");
    s += "; brightness: column " + Text(c.brightnessColumn) + (c.fromFlux ? ", a flux, as magnitudes" : "");
    s += "; cadence " + QString::number(f.cadence, 'f', 5) + " d";
    s += "; half-width " + QString::number(f.halfWidth, 'f', 4) + " d" +
         (f.measured ? " (measured)" : "");
    const auto covered = std::count_if(f.eclipses.begin(), f.eclipses.end(),
                                       [](const LongEclipse& e) { return e.covered; });
    s += "; " + QString::number(f.eclipses.size()) + " eclipses, " + QString::number(covered) + " covered";
    return s;
}

}  // namespace

ImportWindow::ImportWindow(ImportedCurve imported, CurrentPrinter& printer, QWidget* parent)
    : QMainWindow(parent, Qt::Window), imported_(std::move(imported)) {
    setObjectName("ImportWindow");
    setWindowTitle("Import - " + Text(imported_.fileName));
    offset_ = imported_.curve.time.empty() ? 0 : std::floor(imported_.curve.time.front());
    whole_ = shown_ = WholeTimeAxis(imported_.curve, offset_);

    auto* central = new QWidget(this);
    central->setObjectName("central");
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    Summary = new QLabel(SummaryOf(imported_), central);
    Summary->setObjectName("Summary");
    Summary->setWordWrap(true);
    column->addWidget(Summary);

    auto* splitter = new QSplitter(Qt::Vertical, central);
    column->addWidget(splitter, 1);
    surface_ = new LongCurveView(splitter);
    surface_->setObjectName("Surface");
    surface_->setMinimumHeight(240);
    TimeAxis = new QLabel(surface_);
    TimeAxis->setObjectName("TimeAxis");
    TimeAxis->setText("days after " + QString::number(offset_, 'f', 0) +
                      (imported_.curve.timeScale.empty() ? "" : " (" + Text(imported_.curve.timeScale) + ")"));
    TimeAxis->setAttribute(Qt::WA_TransparentForMouseEvents);
    MagAxis = new QLabel("magnitude", surface_);
    MagAxis->setObjectName("MagAxis");
    MagAxis->setAttribute(Qt::WA_TransparentForMouseEvents);
    MagAxis->move(4, 0);
    splitter->addWidget(surface_);

    auto* lists = new QWidget(splitter);
    auto* listColumn = new QVBoxLayout(lists);
    listColumn->setContentsMargins(0, 0, 0, 0);
    Eclipses = Table(lists, "Eclipses", {"#", "Cycle", "Centre", "Points", "Depth", "State"});
    listColumn->addWidget(Eclipses, 1);
    auto* buttons = new QHBoxLayout;
    Load = new QPushButton("Load", lists);
    Load->setObjectName("Load");
    Load->setToolTip("Loads the chosen eclipse's window as the main window's light curve "
                     "(a double-click in the list does the same).");
    TimeAll = new QPushButton("Time All", lists);
    TimeAll->setObjectName("TimeAll");
    TimeAll->setToolTip("Times every covered eclipse with all six methods, each on its own window.");
    AddToMinimaLog = new QPushButton("Add to Minima Log", lists);
    AddToMinimaLog->setObjectName("AddToMinimaLog");
    AddToMinimaLog->setEnabled(false);
    AddToMinimaLog->setToolTip("Append every timed eclipse's ticked rows and their weighted mean to "
                               "the minima log.");
    Eclipses->setToolTip("The eclipses the light curve covers: choose one to see it, double-click to "
                         "load it.");
    for (QPushButton* b : {Load, TimeAll, AddToMinimaLog}) buttons->addWidget(b);
    buttons->addStretch(1);
    listColumn->addLayout(buttons);
    QStringList headers{"#", "Cycle"};
    for (const MethodEntry& m : kMethods) headers << m.label << "Error";
    headers << "Weighted Mean" << "Std. Error";
    Results = Table(lists, "Results", headers);
    Results->setToolTip("The times of minimum found by Time All, one row an eclipse.");
    listColumn->addWidget(Results, 1);
    splitter->addWidget(lists);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    menu = AddPlotFileMenu(this, printer, [this] { return windowTitle(); });
    fillEclipses();
    fillResults();
    const bool ephemeris = imported_.search.t0 && imported_.search.period;
    Eclipses->setColumnHidden(kCycle, !ephemeris);
    Results->setColumnHidden(1, !ephemeris);

    connect(Eclipses, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { selectEclipse(row); });
    connect(Eclipses, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { loadEclipse(row); });
    connect(Load, &QPushButton::clicked, this, &ImportWindow::Load_Click);
    connect(TimeAll, &QPushButton::clicked, this, &ImportWindow::TimeAll_Click);
    connect(AddToMinimaLog, &QPushButton::clicked, this, &ImportWindow::AddToMinimaLog_Click);
    connect(surface_, &PlotView::pressed, this, &ImportWindow::plotPressed);
    connect(surface_, &PlotView::wheelTurned, this,
            [this](double x, double, double notches) { zoom(x, notches); });
    // A drag moves the span shown with the pointer, as far as the whole curve reaches.
    connect(surface_, &PlotView::dragged, this, [this](double dx, double) {
        const PlotFrame& f = plot_.scale.frame;
        if (f.PlotWidth() <= 0) return;
        const double centre = shown_.min + shown_.span / 2 - dx * shown_.span / f.PlotWidth();
        shown_ = AxisCentredOn(shown_, whole_, centre);
        redraw();
    });
    connect(surface_, &PlotView::doubleClicked, this, [this](double, double) {
        shown_ = whole_;
        redraw();
    });
    connect(surface_, &LongCurveView::resized, this, &ImportWindow::redraw);
    resize(1000, 720);
}

ImportWindow::~ImportWindow() = default;

void ImportWindow::fillEclipses() {
    const std::vector<LongEclipse>& eclipses = imported_.found.eclipses;
    Eclipses->setRowCount(static_cast<int>(eclipses.size()));
    for (std::size_t k = 0; k < eclipses.size(); ++k) {
        const LongEclipse& e = eclipses[k];
        const int row = static_cast<int>(k);
        Eclipses->setItem(row, kNumber, Cell(QString::number(e.number)));
        Eclipses->setItem(row, kCycle, Cell(e.cycle ? CycleText(*e.cycle) : QString()));
        Eclipses->setItem(row, kCentre, Cell(Text(RowText(e.centre)),
                                             "window " + Text(RowText(e.from)) + " to " + Text(RowText(e.to))));
        Eclipses->setItem(row, kPoints, Cell(QString::number(e.count)));
        Eclipses->setItem(row, kDepth, Cell(QString::number(e.depth, 'f', 3)));
        const QString state = Text(EclipseState(e));
        Eclipses->setItem(row, kState, Cell(state, state));
        if (!e.covered) Eclipses->item(row, kState)->setForeground(QColor(170, 80, 0));
    }
    Eclipses->resizeColumnsToContents();
}

void ImportWindow::fillResults() {
    Results->clearContents();
    Results->clearSpans();
    Results->setRowCount(static_cast<int>(timings_.size()));
    for (std::size_t r = 0; r < timings_.size(); ++r) {
        const TimedEclipse& t = timings_[r];
        const LongEclipse& e = imported_.found.eclipses[t.index];
        const int row = static_cast<int>(r);
        Results->setItem(row, 0, Cell(QString::number(e.number), Text(t.name)));
        Results->setItem(row, 1, Cell(e.cycle ? CycleText(*e.cycle) : QString()));
        for (int k = 1; k <= kMethodRows; ++k) {
            const RowResult& result = t.timing.runs[static_cast<std::size_t>(k - 1)].result;
            const int column = 2 * k;
            if (result.ok()) {
                Results->setItem(row, column, Cell(Text(result.timeText), Text(result.warning)));
                Results->setItem(row, column + 1,
                                 Cell(Text(result.errorText),
                                      result.hasCalibrated ? "calibrated: " + Text(result.calibratedText) : ""));
            } else {
                // A refusal takes the place of both numbers.
                const QString why = Text(result.message.empty() ? "not run" : result.message);
                Results->setItem(row, column, Cell(why, why));
                Results->item(row, column)->setForeground(QColor(170, 80, 0));
                Results->setSpan(row, column, 1, 2);
            }
        }
        const MeansResult& means = t.timing.means;
        Results->setItem(row, 2 + 2 * kMethodRows, Cell(Text(means.weighted), Text(means.warning)));
        Results->setItem(row, 3 + 2 * kMethodRows, Cell(Text(means.stdError)));
    }
    Results->resizeColumnsToContents();
}

void ImportWindow::redraw() {
    const int width = surface_->width() * static_cast<int>(kTwipsPerPixel);
    const int height = surface_->height() * static_cast<int>(kTwipsPerPixel);
    const PlotFrame frame = FrameForWindow(width, height, kMargins);
    DisplayList list;
    plot_ = DrawLongCurve(list, imported_.curve, imported_.found.eclipses, offset_, frame, shown_, selected_,
                          frame.PlotBottom + 60);
    surface_->setDisplayList(list);
    // The grid values: time labels centred under their lines, magnitude labels ending left of
    // the frame at the height of theirs.
    for (QLabel* tick : Ticks) delete tick;
    Ticks.clear();
    const auto place = [&](const AxisLabel& a, bool time) {
        auto* tick = new QLabel(Text(a.caption), surface_);
        tick->setAttribute(Qt::WA_TransparentForMouseEvents);
        tick->adjustSize();
        const int x = static_cast<int>(a.left / kTwipsPerPixel), y = static_cast<int>(a.top / kTwipsPerPixel);
        tick->move(time ? x - tick->width() / 2 : x - tick->width(), time ? y : y - tick->height() / 2);
        tick->show();
        Ticks.push_back(tick);
    };
    for (const AxisLabel& a : plot_.timeTicks) place(a, true);
    for (const AxisLabel& a : plot_.magTicks) place(a, false);
    TimeAxis->adjustSize();
    TimeAxis->move(static_cast<int>(frame.PlotLeft / kTwipsPerPixel),
                   static_cast<int>((frame.PlotBottom + 330) / kTwipsPerPixel));
}

void ImportWindow::plotPressed(Qt::MouseButton button, double x, double y) {
    const PlotFrame& f = plot_.scale.frame;
    if (button != Qt::LeftButton || x < f.PlotLeft || x > f.PlotRight || y < f.PlotTop || y > f.PlotBottom)
        return;
    const int k = EclipseAt(imported_.found.eclipses, offset_, plot_.scale.TimeAt(x));
    if (k >= 0) Eclipses->setCurrentCell(k, kNumber);
}

void ImportWindow::zoom(double x, double notches) {
    shown_ = ZoomedAxis(shown_, whole_, plot_.scale.TimeAt(x), std::pow(kZoomPerNotch, -notches));
    redraw();
}

void ImportWindow::selectEclipse(int k) {
    const std::vector<LongEclipse>& eclipses = imported_.found.eclipses;
    selected_ = k >= 0 && static_cast<std::size_t>(k) < eclipses.size() ? k : -1;
    if (selected_ >= 0) {
        // An eclipse chosen in the list is brought into view when the plot is zoomed away from it.
        const LongEclipse& e = eclipses[static_cast<std::size_t>(selected_)];
        if (e.from - offset_ < shown_.min || e.to - offset_ > shown_.max)
            shown_ = AxisCentredOn(shown_, whole_, e.centre - offset_);
    }
    redraw();
}

bool ImportWindow::loadEclipse(int k) {
    const std::vector<LongEclipse>& eclipses = imported_.found.eclipses;
    if (k < 0 || static_cast<std::size_t>(k) >= eclipses.size()) return false;
    const LongEclipse& e = eclipses[static_cast<std::size_t>(k)];
    const QString number = QString::number(e.number);
    if (e.count == 0) {
        showMessage(this, "Eclipse " + number + " has no point to load: " + Text(e.detail) + ".");
        return false;
    }
    // Its window loads as any light curve would; but a time of minimum read from an eclipse
    // that is cut or broken by a gap is no time of that eclipse, so the user is told first.
    if (!e.covered &&
        !askQuestion(this, "Eclipse " + number + " is not covered (" + Text(EclipseState(e)) +
                               "): a time of minimum from its window may be wrong. Load it anyway?"))
        return false;
    emit loadRequested(PointsOfEclipse(imported_, static_cast<std::size_t>(k)), Text(imported_.dir),
                       Text(WindowName(imported_.fileName, e)));
    return true;
}

void ImportWindow::Load_Click() {
    if (Eclipses->currentRow() >= 0) loadEclipse(Eclipses->currentRow());
}

void ImportWindow::TimeAll_Click() {
    const auto& eclipses = imported_.found.eclipses;
    if (std::none_of(eclipses.begin(), eclipses.end(), [](const LongEclipse& e) { return e.covered; })) {
        showMessage(this, "No eclipse of " + Text(imported_.fileName) + " is covered: there is nothing to time.");
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    timings_ = TimeCoveredEclipses(imported_);
    QApplication::restoreOverrideCursor();
    fillResults();
    AddToMinimaLog->setEnabled(!timings_.empty());
}

void ImportWindow::AddToMinimaLog_Click() {
    if (timings_.empty()) return;
    std::vector<LoggedRows> logged;
    for (const TimedEclipse& t : timings_) logged.push_back({t.name, t.timing.table});
    emit logRequested(logged);
}

}  // namespace umbrix
