#include "timing/gui/oc/oc_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "timing/core/data/format.h"
#include "timing/core/files/settings_file.h"
#include "timing/core/methods/method_table.h"
#include "timing/core/oc/remembered_ephemerides.h"
#include "timing/gui/main/show_message.h"
#include "timing/gui/named.h"
#include "timing/gui/plot/oc_plot_export.h"
#include "timing/gui/plot/plot_painter.h"
#include "timing/gui/plot/plot_view.h"
#include "timing/gui/plot/printing.h"

namespace umbrix {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string ReadWhole(const QString& path, bool& ok) {
    QFile file(path);
    ok = file.open(QIODevice::ReadOnly);
    return ok ? file.readAll().toStdString() : std::string();
}

std::tuple<std::string, std::string, double> KeyOf(const Minimum& m) { return {m.file, m.method, m.hjd}; }

}  // namespace

frmOc::frmOc(CurrentPrinter& printer, QString ephemeridesPath, QWidget* parent)
    : QMainWindow(parent), printer_(printer), ephemeridesPath_(std::move(ephemeridesPath)) {
    setObjectName("frmOc");
    setAttribute(Qt::WA_DeleteOnClose, false);

    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mFile");
    mOpenTable = Named(file->addAction("&Open Table ..."), "mOpenTable");
    file->addSeparator();
    mExportImage = Named(file->addAction("Export &Image ..."), "mExportImage");
    mPrint = Named(file->addAction("&Print"), "mPrint");
    mExportTable = Named(file->addAction("Export &Table ..."), "mExportTable");
    file->addSeparator();
    mClose = Named(file->addAction("&Close"), "mClose");

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* controls = new QHBoxLayout;
    T0Edit = Named(new QLineEdit(central), "T0Edit");
    PEdit = Named(new QLineEdit(central), "PEdit");
    T0Edit->setToolTip("The trial epoch T0: the heliocentric Julian date of a primary minimum.");
    PEdit->setToolTip("The trial period P in days.");
    T0Edit->setMinimumWidth(130);
    PEdit->setMinimumWidth(100);
    MethodBox = Named(new QComboBox(central), "MethodBox");
    MethodBox->addItem("mean");
    for (const MethodEntry& m : kMethods) MethodBox->addItem(m.name);
    MethodBox->setToolTip("The rows used: one method's, or mean (each light curve's rows weighted by their "
                          "calibrated errors, or the table's weighted mean where they have none).");
    SecondaryCheck = Named(new QCheckBox("Secondaries (E + 0.5)", central), "SecondaryCheck");
    SecondaryCheck->setToolTip("Cycle numbers to the nearest half, so that secondary minima fall on E + 0.5.");
    QuadraticCheck = Named(new QCheckBox("Quadratic", central), "QuadraticCheck");
    QuadraticCheck->setToolTip("Also fit a quadratic ephemeris and give dP/dE; the residuals go by it.");
    UseFitButton = Named(new QPushButton("Use Fit as Ephemeris", central), "UseFitButton");
    UseFitButton->setToolTip("Copies the linear fit's T0 and P into the trial ephemeris.");
    controls->addWidget(new QLabel("T0", central));
    controls->addWidget(T0Edit);
    controls->addWidget(new QLabel("P", central));
    controls->addWidget(PEdit);
    controls->addWidget(new QLabel("Method", central));
    controls->addWidget(MethodBox);
    controls->addWidget(SecondaryCheck);
    controls->addWidget(QuadraticCheck);
    controls->addWidget(UseFitButton);
    controls->addStretch();
    layout->addLayout(controls);

    auto* splitter = Named(new QSplitter(Qt::Horizontal, central), "Splitter");
    Plot = Named(new PlotView(splitter), "Plot");
    Plot->setMinimumSize(300, 200);
    Plot->installEventFilter(this);
    MinimaTable = Named(new QTableWidget(0, ColCount, splitter), "MinimaTable");
    MinimaTable->setHorizontalHeaderLabels(
        {"left out", "file", "method", "E", "O\u2013C (min)", "residual (\u03c3)", "flag"});
    MinimaTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    MinimaTable->setSelectionMode(QAbstractItemView::SingleSelection);
    MinimaTable->verticalHeader()->setVisible(false);
    MinimaTable->setToolTip("Tick \"left out\" to leave a minimum out of the fits.");
    splitter->addWidget(Plot);
    splitter->addWidget(MinimaTable);
    splitter->setStretchFactor(0, 5);
    splitter->setStretchFactor(1, 4);
    layout->addWidget(splitter, 1);
    FitLines = Named(new QLabel(central), "FitLines");
    FitLines->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FitLines->setWordWrap(true);
    StatusLine = Named(new QLabel(central), "StatusLine");
    StatusLine->setWordWrap(true);
    layout->addWidget(FitLines);
    layout->addWidget(StatusLine);
    setCentralWidget(central);
    resize(1220, 640);  // the table's seven columns in full beside a readable diagram

    connect(T0Edit, &QLineEdit::textEdited, this, &frmOc::ephemerisEdited);
    connect(PEdit, &QLineEdit::textEdited, this, &frmOc::ephemerisEdited);
    connect(T0Edit, &QLineEdit::editingFinished, this, &frmOc::ephemerisCommitted);
    connect(PEdit, &QLineEdit::editingFinished, this, &frmOc::ephemerisCommitted);
    connect(MethodBox, &QComboBox::currentTextChanged, this, [this](const QString& method) {
        std::vector<Minimum> minima;
        if (!tableText_.empty() && !readMinima(tableText_, tablePath_, method.toStdString(), minima)) {
            const QSignalBlocker quiet(MethodBox);
            MethodBox->setCurrentText(acceptedMethod_);
            return;
        }
        acceptedMethod_ = method;
        minima_ = std::move(minima);
        selected_.reset();
        refit();
    });
    connect(SecondaryCheck, &QCheckBox::toggled, this, &frmOc::refit);
    connect(QuadraticCheck, &QCheckBox::toggled, this, &frmOc::refit);
    connect(UseFitButton, &QPushButton::clicked, this, &frmOc::UseFit_Click);
    connect(MinimaTable, &QTableWidget::cellChanged, this, &frmOc::rowTicked);
    connect(MinimaTable, &QTableWidget::itemSelectionChanged, this, [this] {
        if (filling_) return;
        const QList<QTableWidgetItem*> chosen = MinimaTable->selectedItems();
        selected_.reset();
        if (!chosen.isEmpty()) selected_ = static_cast<std::size_t>(chosen.front()->row());
        redraw();
    });
    connect(Plot, &PlotView::pressed, this, &frmOc::plotPressed);
    connect(Plot, &PlotView::wheelTurned, this, [this](double x, double y, double notches) {
        zoom_ = ZoomAbout(zoom_, plot_.frame, x, y, std::pow(kZoomPerNotch, -notches));
        redraw();
    });
    connect(Plot, &PlotView::dragged, this, [this](double dx, double dy) {
        zoom_ = PanBy(zoom_, plot_.frame, dx, dy);
        redraw();
    });
    connect(Plot, &PlotView::doubleClicked, this, [this](double, double) {
        zoom_ = {};
        redraw();
    });

    connect(mOpenTable, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, "Open Minima Table", QFileInfo(tablePath_).absolutePath(),
                                                          "Minima tables (*.csv);;All files (*)");
        if (!path.isEmpty()) openTable(path);
    });
    connect(mExportImage, &QAction::triggered, this, [this] {
        QString path = QFileDialog::getSaveFileName(this, "Export Image", QFileInfo(tablePath_).absolutePath(),
                                                    ExportImageFilter());
        if (path.isEmpty()) return;
        if (QFileInfo(path).suffix().isEmpty()) path += ".png";
        exportImage(path);
    });
    connect(mPrint, &QAction::triggered, this, [this] { PrintWindow(Plot, printer_, title()); });
    connect(mExportTable, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, "Export Table", QFileInfo(tablePath_).absolutePath(),
                                                          "O\u2013C tables (*.csv)");
        if (!path.isEmpty()) exportTable(path);
    });
    connect(mClose, &QAction::triggered, this, &QWidget::close);
    setWindowTitle(title());
    refit();
}

frmOc::~frmOc() {
    // Closing hides the window and takes the focus from a box, which finishes its editing:
    // by then this window is half destroyed, and must not be asked to commit the ephemeris.
    T0Edit->disconnect(this);
    PEdit->disconnect(this);
}

QString frmOc::title() const {
    return tablePath_.isEmpty() ? QString("O\u2013C") : QString("O\u2013C - ") + QFileInfo(tablePath_).fileName();
}

bool frmOc::readMinima(const std::string& text, const QString& path, const std::string& method,
                       std::vector<Minimum>& minima) {
    const std::string message = ReadMinima(text, method, minima);
    if (message.empty()) return true;
    showMessage(this, "\"" + path + "\", " + Q(message) + ".");
    return false;
}

bool frmOc::openTable(const QString& path, const std::optional<OcWindowChoices>& choices) {
    bool readable = false;
    const std::string text = ReadWhole(path, readable);
    if (!readable) {
        showMessage(this, "The minima table \"" + path + "\" cannot be read.");
        return false;
    }
    const QString method = choices ? choices->method : MethodBox->currentText();
    std::vector<Minimum> minima;
    if (!readMinima(text, path, method.toStdString(), minima)) return false;
    // The ephemeris to start with: the one asked for, else the one remembered for the table,
    // else what the boxes hold.
    QString t0Text = T0Edit->text(), pText = PEdit->text();
    if (choices && !choices->t0.isEmpty() && !choices->p.isEmpty()) {
        t0Text = choices->t0;
        pText = choices->p;
    } else {
        bool ok = false;
        const auto remembered = FindRemembered(ParseRememberedEphemerides(ReadWhole(ephemeridesPath_, ok)),
                                               QFileInfo(path).absoluteFilePath().toStdString());
        if (remembered) {
            t0Text = Q(remembered->t0);
            pText = Q(remembered->p);
        }
    }
    double t0 = 0, p = 0;
    const std::string bad = ParseEphemeris(t0Text.toStdString(), pText.toStdString(), t0, p);
    if (!bad.empty() && choices && !choices->t0.isEmpty()) {
        showMessage(this, Q(bad));
        return false;
    }

    tablePath_ = path;
    tableText_ = text;
    minima_ = std::move(minima);
    leftOut_.clear();
    zoom_ = {};
    selected_.reset();
    {
        const QSignalBlocker a(MethodBox), b(SecondaryCheck), c(QuadraticCheck);
        if (choices) {
            MethodBox->setCurrentText(choices->method);
            SecondaryCheck->setChecked(choices->secondary);
            QuadraticCheck->setChecked(choices->quadratic);
        }
        acceptedMethod_ = MethodBox->currentText();
    }
    T0Edit->setText(t0Text);
    PEdit->setText(pText);
    haveEphemeris_ = bad.empty();
    if (haveEphemeris_) {
        t0_ = t0;
        p_ = p;
        acceptedT0_ = t0Text;
        acceptedP_ = pText;
    }
    setWindowTitle(title());
    refit();
    return true;
}

void frmOc::ephemerisEdited() {
    double t0 = 0, p = 0;
    const std::string bad = ParseEphemeris(T0Edit->text().toStdString(), PEdit->text().toStdString(), t0, p);
    if (!bad.empty()) {
        StatusLine->setText(Q(bad));
        return;
    }
    t0_ = t0;
    p_ = p;
    haveEphemeris_ = true;
    acceptedT0_ = T0Edit->text();
    acceptedP_ = PEdit->text();
    refit();
}

void frmOc::ephemerisCommitted() {
    double t0 = 0, p = 0;
    const std::string bad = ParseEphemeris(T0Edit->text().toStdString(), PEdit->text().toStdString(), t0, p);
    if (bad.empty()) {
        if (T0Edit->text() != acceptedT0_ || PEdit->text() != acceptedP_ || !haveEphemeris_) ephemerisEdited();
        rememberEphemeris();
        return;
    }
    // Moving from a first T0 to the still empty P box is no mistake yet.
    if (!haveEphemeris_ && (T0Edit->text().trimmed().isEmpty() || PEdit->text().trimmed().isEmpty())) return;
    showMessage(this, Q(bad));
    T0Edit->setText(acceptedT0_);
    PEdit->setText(acceptedP_);
    StatusLine->clear();
}

void frmOc::UseFit_Click() {
    if (!run_.ok || !run_.linear.ok) {
        showMessage(this, "There is no linear fit to use: " +
                              (run_.ok ? Q(run_.linear.message) : QString("no ephemeris has been fitted.")));
        return;
    }
    T0Edit->setText(Q(ExactDecimal(run_.linear.t0)));
    PEdit->setText(Q(ExactDecimal(run_.linear.p)));
    ephemerisEdited();
    rememberEphemeris();
}

void frmOc::rememberEphemeris() {
    if (tablePath_.isEmpty() || !haveEphemeris_) return;
    bool ok = false;
    const std::vector<RememberedEphemeris> before = ParseRememberedEphemerides(ReadWhole(ephemeridesPath_, ok));
    const RememberedEphemeris entry{QFileInfo(tablePath_).absoluteFilePath().toStdString(), acceptedT0_.toStdString(),
                                    acceptedP_.toStdString()};
    const std::vector<RememberedEphemeris> after = Remember(before, entry);
    if (after == before) return;
    const std::string error = WriteFileAtomically(ephemeridesPath_.toStdString(), RememberedEphemeridesText(after));
    if (!error.empty()) showMessage(this, "The ephemeris could not be remembered: " + Q(error) + ".");
}

void frmOc::refit() {
    run_ = {};
    if (tablePath_.isEmpty()) {
        StatusLine->setText("Choose a minima table with File > Open Table ...");
    } else if (!haveEphemeris_) {
        StatusLine->setText("Enter the trial ephemeris: T0 (HJD of a primary minimum) and P (days).");
    } else {
        OcChoices choices{t0_, p_, SecondaryCheck->isChecked(), QuadraticCheck->isChecked(), std::nullopt, {}};
        for (std::size_t k = 0; k < minima_.size(); ++k)
            if (leftOut_.count(KeyOf(minima_[k]))) choices.excluded.push_back(k);
        run_ = RunOcFits(minima_, choices);
        StatusLine->setText(run_.ok ? QString() : Q(run_.message));
    }
    QString fits;
    if (run_.ok) {
        fits = Q(FitLine(run_.linear));
        if (run_.quadratic) fits += "\n" + Q(FitLine(*run_.quadratic));
    }
    FitLines->setText(fits);
    UseFitButton->setEnabled(run_.ok && run_.linear.ok);
    fillTable();
    redraw();
}

void frmOc::fillTable() {
    filling_ = true;
    MinimaTable->setUpdatesEnabled(false);
    const int n = static_cast<int>(run_.rows.size());
    const bool resized = MinimaTable->rowCount() != n;
    if (resized) {
        MinimaTable->clearSelection();
        MinimaTable->setRowCount(n);
    }
    const bool residuals = run_.ok && run_.fullest().ok;
    const auto cell = [&](int row, int column, const QString& text) {
        QTableWidgetItem* item = MinimaTable->item(row, column);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            item->setFlags(column == ColLeftOut ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
                                                : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            MinimaTable->setItem(row, column, item);
        }
        if (item->text() != text) item->setText(text);
        return item;
    };
    for (int k = 0; k < n; ++k) {
        const OcRow& r = run_.rows[static_cast<std::size_t>(k)];
        cell(k, ColLeftOut, "")->setCheckState(leftOut_.count(KeyOf(r.minimum)) ? Qt::Checked : Qt::Unchecked);
        cell(k, ColFile, Q(r.minimum.file));
        cell(k, ColMethod, Q(r.minimum.method));
        cell(k, ColE, Q(FileDecimals(r.cycle, 1)));
        cell(k, ColOc, Q(FileDecimals(r.oc * 1440, 4)));
        cell(k, ColSigma, residuals ? Q(FileDecimals(r.residualSigma, 2)) : QString());
        cell(k, ColFlag, Q(r.flag));
    }
    if (selected_ && *selected_ >= run_.rows.size()) selected_.reset();
    // Measuring every cell of a long table would cost more than the refit: its columns keep
    // the widths of their headers there.
    constexpr int kMeasuredRows = 2000;
    if (resized && n <= kMeasuredRows) MinimaTable->resizeColumnsToContents();
    MinimaTable->setUpdatesEnabled(true);
    filling_ = false;
}

void frmOc::rowTicked(int row, int column) {
    if (filling_ || column != ColLeftOut || row < 0 || static_cast<std::size_t>(row) >= run_.rows.size()) return;
    const auto key = KeyOf(run_.rows[static_cast<std::size_t>(row)].minimum);
    if (MinimaTable->item(row, column)->checkState() == Qt::Checked)
        leftOut_.insert(key);
    else
        leftOut_.erase(key);
    refit();
}

void frmOc::redraw() {
    OcView view;
    view.width = Plot->width() * kTwipsPerPixel;
    view.height = Plot->height() * kTwipsPerPixel;
    view.zoom = zoom_;
    view.selected = selected_;
    const Ephemeris* linear = run_.ok && run_.linear.ok ? &run_.linear : nullptr;
    const Ephemeris* quadratic = run_.ok && run_.quadratic && run_.quadratic->ok ? &*run_.quadratic : nullptr;
    plot_ = DrawOc(run_.rows, t0_, p_, linear, quadratic, view);
    // The texts join the list: a left-aligned text stands at mid-height of its position.
    DisplayList list = plot_.list;
    const double halfLine = Plot->fontMetrics().height() * kTwipsPerPixel / 2;
    for (const PlotText& t : plot_.texts) {
        list.SetColour(t.colour);
        if (t.alignRight)
            list.Text(t.x, t.y, t.text, TextAnchor::MiddleRight);
        else
            list.Text(t.x, t.y - halfLine, t.text, TextAnchor::TopLeft);
    }
    Plot->setDisplayList(list);
}

void frmOc::plotPressed(Qt::MouseButton button, double x, double y) {
    if (button != Qt::LeftButton) return;
    const std::optional<std::size_t> row = OcRowAt(plot_, x, y);
    if (!row) return;
    MinimaTable->selectRow(static_cast<int>(*row));
    MinimaTable->scrollToItem(MinimaTable->item(static_cast<int>(*row), ColFile));
}

bool frmOc::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Plot && event->type() == QEvent::Resize) redraw();
    return QMainWindow::eventFilter(watched, event);
}

QString frmOc::exportTable(const QString& path) {
    QString error;
    if (!run_.ok)
        error = "There is no O\u2013C table to export yet.";
    else
        error = Q(WriteFileAtomically(path.toStdString(), OcTableCsv(run_.rows, run_.fullest().ok)));
    if (!error.isEmpty()) showMessage(this, error);
    return error;
}

QString frmOc::exportImage(const QString& path) {
    const QString error = ExportOcPlot(plot_, path);
    if (!error.isEmpty()) showMessage(this, "The image could not be written: " + error);
    return error;
}

}  // namespace umbrix
