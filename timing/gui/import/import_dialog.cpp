#include "timing/gui/import/import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>

#include "timing/core/data/text_fields.h"
#include "timing/gui/named.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

namespace {


QString SeparatorName(char c) {
    switch (c) {
        case '\t': return "tab";
        case ';': return "semicolon";
        case ',': return "comma";
        default: return "blanks";
    }
}

// A box of the ephemeris: empty, or a number. False (with `why`) for other text.
bool ReadBox(const QLineEdit* box, const char* what, std::optional<double>& value, std::string& why) {
    const std::string text = box->text().trimmed().toStdString();
    value.reset();
    if (text.empty()) return true;
    double v = 0;
    if (!ParseNumber(text, v)) {
        why = std::string(what) + " (\"" + Printable(text) + "\") is not a number";
        return false;
    }
    value = v;
    return true;
}

}  // namespace

ImportDialog::ImportDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("ImportDialog");
    setWindowTitle("Import Light Curve");
    setModal(false);

    auto* column = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel("File:", this));
    PathBox = Named(new QLineEdit(this), "PathBox");
    PathBox->setPlaceholderText("a text table (comma, tab, semicolon or blanks) or a FITS light curve");
    fileRow->addWidget(PathBox, 1);
    Browse = Named(new QPushButton("Browse ...", this), "Browse");
    fileRow->addWidget(Browse);
    column->addLayout(fileRow);

    PreviewNote = Named(new QLabel(this), "PreviewNote");
    PreviewNote->setWordWrap(true);
    column->addWidget(PreviewNote);
    Preview = Named(new QTableWidget(this), "Preview");
    Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Preview->setSelectionMode(QAbstractItemView::NoSelection);
    Preview->verticalHeader()->setDefaultSectionSize(Preview->fontMetrics().height() + 8);
    Preview->setMinimumHeight(180);
    column->addWidget(Preview, 1);

    auto* columns = new QGroupBox("Columns", this);
    auto* columnGrid = new QGridLayout(columns);
    TimeColumn = Named(new QComboBox(columns), "TimeColumn");
    BrightnessColumn = Named(new QComboBox(columns), "BrightnessColumn");
    ErrorColumn = Named(new QComboBox(columns), "ErrorColumn");
    for (QComboBox* box : {TimeColumn, BrightnessColumn, ErrorColumn})
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // long header names show whole
    Flux = Named(new QCheckBox("Flux (becomes magnitude)", columns), "Flux");
    Flux->setToolTip("The brightness column is a flux: it is read as -2.5 log10(flux / median flux).");
    columnGrid->addWidget(new QLabel("Time:", columns), 0, 0);
    columnGrid->addWidget(TimeColumn, 0, 1);
    columnGrid->addWidget(new QLabel("Brightness:", columns), 0, 2);
    columnGrid->addWidget(BrightnessColumn, 0, 3);
    columnGrid->addWidget(new QLabel("Error:", columns), 0, 4);
    columnGrid->addWidget(ErrorColumn, 0, 5);
    columnGrid->addWidget(Flux, 1, 3, 1, 3);
    column->addWidget(columns);

    auto* search = new QGroupBox("Eclipses (all optional)", this);
    auto* searchGrid = new QGridLayout(search);
    T0 = Named(new QLineEdit(search), "T0");
    Period = Named(new QLineEdit(search), "Period");
    HalfWidth = Named(new QLineEdit(search), "HalfWidth");
    Secondary = Named(new QCheckBox("Secondary (phase 0.5)", search), "Secondary");
    T0->setPlaceholderText("none: every dip");
    Period->setPlaceholderText("days");
    HalfWidth->setPlaceholderText("measured");
    HalfWidth->setToolTip("Half the width of each eclipse's window, days; empty: the eclipse's duration "
                          "measured on the curve.");
    searchGrid->addWidget(new QLabel("T0:", search), 0, 0);
    searchGrid->addWidget(T0, 0, 1);
    searchGrid->addWidget(new QLabel("P:", search), 0, 2);
    searchGrid->addWidget(Period, 0, 3);
    searchGrid->addWidget(Secondary, 0, 4);
    searchGrid->addWidget(new QLabel("Half-width:", search), 1, 0);
    searchGrid->addWidget(HalfWidth, 1, 1);
    column->addWidget(search);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OK = Named(new QPushButton("OK", this), "OK");
    Cancel = Named(new QPushButton("Cancel", this), "Cancel");
    OK->setDefault(true);
    buttons->addWidget(OK);
    buttons->addWidget(Cancel);
    column->addLayout(buttons);

    PathBox->setToolTip("The light curve to import: its whole path, or choose it with Browse.");
    Browse->setToolTip("Choose the file to import.");
    Preview->setToolTip("The file's first rows, as they are split into columns.");
    TimeColumn->setToolTip("The column that holds the times (a Julian date, HJD or BJD).");
    BrightnessColumn->setToolTip("The column that holds the magnitudes (or fluxes: tick Flux).");
    ErrorColumn->setToolTip("The column that holds each measurement's error, if the file has one.");
    T0->setToolTip("A time of primary minimum of the ephemeris; empty: every dip of the curve is "
                   "an eclipse.");
    Period->setToolTip("The orbital period, in days.");
    Secondary->setToolTip("Take the eclipses at phase 0.5 of the ephemeris, the secondaries; needs T0 "
                          "and P.");
    OK->setToolTip("Import the file and list its eclipses.");
    Cancel->setToolTip("Close without importing.");
    connect(Browse, &QPushButton::clicked, this, &ImportDialog::Browse_Click);
    // Leaving the box previews a name typed into it; the same name again keeps the choices made.
    connect(PathBox, &QLineEdit::editingFinished, this, [this] {
        if (PathBox->text().trimmed() != previewed_) preview();
    });
    connect(OK, &QPushButton::clicked, this, &ImportDialog::OK_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::hide);
    // The header's names say whether a column is a flux and which error goes with it; a column
    // chosen by hand presets both by its own name, and the boxes then say what the user wants.
    connect(BrightnessColumn, &QComboBox::activated, this, [this](int index) {
        std::vector<std::string> names;
        for (int k = 0; k < BrightnessColumn->count(); ++k) names.push_back(BrightnessColumn->itemText(k).toStdString());
        Flux->setChecked(IsFluxName(names[static_cast<std::size_t>(index)]));
        if (header_) ErrorColumn->setCurrentIndex(PairedErrorColumn(names, index) + 1);
    });
    preview();
    resize(720, 560);
}

void ImportDialog::showForChoice() {
    show();
    raise();
    activateWindow();
}

void ImportDialog::Browse_Click() {
    const QString start = PathBox->text().isEmpty() ? QString() : QFileInfo(PathBox->text()).absolutePath();
    const QString path = QFileDialog::getOpenFileName(
        this, "Import Light Curve", start,
        "Light curves (*.csv *.txt *.tsv *.dat *.tbl *.fits *.fit *.fts);;All files (*)");
    if (!path.isEmpty()) setPath(path);
}

void ImportDialog::setPath(const QString& path) {
    PathBox->setText(path);
    preview();
}

void ImportDialog::preview() {
    previewed_ = PathBox->text().trimmed();
    const std::string path = previewed_.toStdString();
    Preview->clear();
    Preview->setRowCount(0);
    Preview->setColumnCount(0);
    for (QComboBox* box : {TimeColumn, BrightnessColumn, ErrorColumn}) box->clear();
    isFits_ = !path.empty() && IsFitsFile(path);
    const bool table = !path.empty() && !isFits_ && QFileInfo(QString::fromStdString(path)).isFile();
    for (QWidget* w : std::initializer_list<QWidget*>{TimeColumn, BrightnessColumn, ErrorColumn, Flux})
        w->setEnabled(table);
    if (isFits_) {
        // The FITS reader takes its columns by their names; there is nothing to choose.
        PreviewNote->setText("A FITS light curve: TIME and PDCSAP_FLUX (SAP_FLUX when it has none) are read "
                             "as they are, with their errors; points flagged in QUALITY are left out, and the "
                             "flux becomes magnitudes.");
        Flux->setChecked(true);
        return;
    }
    if (!table) {
        PreviewNote->setText(path.empty() ? "Choose a file." : "There is no such file.");
        return;
    }
    const TablePreview p = PreviewFile(path);
    if (!p.message.empty()) {
        PreviewNote->setText("This is no table of a light curve: " + QString::fromStdString(p.message) + ".");
        return;
    }
    QStringList names;
    for (const std::string& n : p.names) names << QString::fromStdString(n);
    Preview->setColumnCount(static_cast<int>(names.size()));
    Preview->setHorizontalHeaderLabels(names);
    Preview->setRowCount(static_cast<int>(p.rows.size()));
    for (std::size_t r = 0; r < p.rows.size(); ++r)
        for (std::size_t c = 0; c < p.rows[r].size() && c < p.names.size(); ++c)
            Preview->setItem(static_cast<int>(r), static_cast<int>(c),
                             new QTableWidgetItem(QString::fromStdString(p.rows[r][c])));
    Preview->resizeColumnsToContents();
    TimeColumn->addItems(names);
    BrightnessColumn->addItems(names);
    ErrorColumn->addItem("(none)");
    ErrorColumn->addItems(names);
    TimeColumn->setCurrentIndex(p.timeColumn);
    BrightnessColumn->setCurrentIndex(p.brightnessColumn);
    ErrorColumn->setCurrentIndex(p.errorColumn + 1);
    Flux->setChecked(p.flux);
    header_ = p.header;
    PreviewNote->setText("Separated by " + SeparatorName(p.separator) + (p.header ? ", with a header" : ", no header") +
                         (p.timeScale.empty() ? QString() : "; times in " + QString::fromStdString(p.timeScale)) +
                         ". The first rows:");
}

ColumnChoice ImportDialog::columnChoice() const {
    ColumnChoice c;
    if (isFits_ || TimeColumn->count() == 0) return c;
    c.time = std::to_string(TimeColumn->currentIndex() + 1);
    c.brightness = std::to_string(BrightnessColumn->currentIndex() + 1);
    if (ErrorColumn->currentIndex() > 0)
        c.error = std::to_string(ErrorColumn->currentIndex());
    else
        c.noError = true;
    c.flux = Flux->isChecked();
    return c;
}

bool ImportDialog::OK_Click() {
    const QString path = PathBox->text().trimmed();
    if (path.isEmpty()) {
        showMessage(this, "Choose a light-curve file to import.");
        return false;
    }
    const std::string file = Quote(QFileInfo(path).fileName().toStdString());
    const auto refuse = [&](const std::string& why) {
        showMessage(this, QString::fromStdString("Cannot import " + file + ": " + why + "."));
        return false;
    };
    EclipseSearch search;
    std::string why;
    if (!ReadBox(T0, "T0", search.t0, why) || !ReadBox(Period, "P", search.period, why) ||
        !ReadBox(HalfWidth, "the half-width", search.halfWidth, why))
        return refuse(why);
    if (search.t0.has_value() != search.period.has_value())
        return refuse("an ephemeris needs both T0 and P");
    search.secondary = Secondary->isChecked();
    if (search.secondary && !search.t0) return refuse("the secondary eclipses need an ephemeris (T0 and P)");

    ImportedCurve curve;
    const std::string message = ImportLongCurve(path.toStdString(), columnChoice(), search, curve);
    if (!message.empty()) {
        showMessage(this, QString::fromStdString(message));
        return false;
    }
    hide();
    emit imported(curve);
    return true;
}

}  // namespace umbrix
