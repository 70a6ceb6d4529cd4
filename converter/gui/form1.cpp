#include "converter/gui/form1.h"

#include <QApplication>
#include <algorithm>
#include <climits>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "converter/core/catalogue.h"
#include "converter/core/conversion_run.h"
#include "converter/core/file_access.h"
#include "converter/core/settings.h"
#include "converter/gui/show_message.h"
#include "converter/core/text_fields.h"

namespace hjdprep {

namespace {

constexpr int kTwipsPerPixel = 15;

// Places a control at a position and size given in twips.
template <typename W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
    return widget;
}

std::string Std(const QLineEdit* box) { return box->text().toStdString(); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

Form1::Form1(std::filesystem::path directory, QWidget* parent) : QWidget(parent), directory_(std::move(directory)) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("std形式ファイルの日心補正"));
    // Each Japanese caption keeps its text; an English tooltip says what it means.
    setToolTip("Heliocentric correction of std-format files");
    setFixedSize(5160 / kTwipsPerPixel, 4440 / kTwipsPerPixel);

    Label1 = Place(new QLabel("std file", this), "Label1", 120, 150, 900, 300);
    Text1 = Place(new QLineEdit(this), "Text1", 1080, 120, 2880, 360);
    Browse = Place(new QPushButton("Browse...", this), "Browse", 4020, 90, 1020, 420);
    Browse->setToolTip("Choose the std file with a file dialog");
    Label2 = Place(new QLabel("tme zone", this), "Label2", 120, 630, 900, 300);
    Option1 = Place(new QRadioButton("UT", this), "Option1", 1080, 600, 800, 360);
    Option2 = Place(new QRadioButton("JST", this), "Option2", 1980, 600, 800, 360);
    Option1->setChecked(true);

    Frame1 = Place(new QGroupBox(QStringLiteral("星名から探す"), this), "Frame1", 120, 1080, 4920, 1020);
    Frame1->setToolTip("Search by star name");
    Text7 = Place(new QLineEdit("CASRZ", Frame1), "Text7", 120, 330, 1800, 360);
    Command2 = Place(new QPushButton("search", Frame1), "Command2", 2040, 300, 1020, 420);
    Check1 = Place(new QCheckBox(QStringLiteral("自動星名検索"), Frame1), "Check1", 3180, 330, 1680, 360);
    Check1->setToolTip("Automatic star-name search: look every new star of the log up in star.dat");

    Label3 = Place(new QLabel("RA", this), "Label3", 120, 2250, 600, 300);
    Text2 = Place(new QLineEdit("00", this), "Text2", 1080, 2220, 600, 360);
    Text3 = Place(new QLineEdit("00", this), "Text3", 1800, 2220, 600, 360);
    Text4 = Place(new QLineEdit("00", this), "Text4", 2520, 2220, 600, 360);
    Label4 = Place(new QLabel("RD", this), "Label4", 120, 2730, 600, 300);
    Text5 = Place(new QLineEdit("+00", this), "Text5", 1080, 2700, 600, 360);
    Text6 = Place(new QLineEdit("00", this), "Text6", 1800, 2700, 600, 360);

    Command1 = Place(new QPushButton(QStringLiteral("補正開始"), this), "Command1", 120, 3240, 1800, 480);
    Command1->setToolTip("Start correction: convert the std file");
    Label5 = Place(new QLabel(this), "Label5", 120, 3780, 4920, 300);
    ProgressBar = Place(new QProgressBar(this), "ProgressBar", 120, 4110, 4920, 240);
    ProgressBar->setRange(0, 1);
    ProgressBar->setValue(0);

    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& text) { StdFileName = text.toStdString(); });
    connect(Text7, &QLineEdit::textChanged, this, [this](const QString& text) { StarName = text.toStdString(); });
    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Browse, &QPushButton::clicked, this, &Form1::Browse_Click);
    chooseLog_ = [](QWidget* parent, const QString& startFolder) {
        return QFileDialog::getOpenFileName(parent, "std file", startFolder, "std files (*.std);;All files (*)");
    };

    Form_Load();
}

void Form1::Form_Load() {
    DiskFiles files;
    // No settings file (or a short one): the window keeps its design-time texts.
    if (const auto text = files.Read(directory_ / "hjdprep.ini")) {
        if (const std::optional<ConverterSettings> s = ParseSettings(*text)) {
            Text1->setText(Q(s->StdFileName));
            (s->zone == hjdprep::TimeZone::UT ? Option1 : Option2)->setChecked(true);
            TimeZone = s->zone;
            coordinates_ = s->coordinates;
            Text2->setText(Q(NumberText(coordinates_.RaHour)));
            Text3->setText(Q(NumberText(coordinates_.RaMinute)));
            Text4->setText(Q(NumberText(coordinates_.RaSecond)));
            Text5->setText(Q(DegreesText(coordinates_.DecDegree)));
            Text6->setText(Q(NumberText(coordinates_.DecMinute)));
            Text7->setText(Q(s->StarName));
        }
    }
    StdFileName = Std(Text1);
    StarName = Std(Text7);
    // No alias list: no aliases.
    aliases_.clear();
    if (const auto text = files.Read(directory_ / "Alias.txt")) aliases_ = ParseAliasList(*text);
}

void Form1::Form_Unload() {
    ConverterSettings s{StdFileName, TimeZone, coordinates_, StarName};
    DiskFiles files;
    if (!files.Write(directory_ / "hjdprep.ini", SettingsText(s)))
        showMessage(this, QStringLiteral("Cannot write hjdprep.ini in ") + Q(directory_.string()) + ".");
}

void Form1::closeEvent(QCloseEvent* event) {
    // A close during a run would pull the window from under the run's progress updates.
    if (running_) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::Option1_Click() { TimeZone = hjdprep::TimeZone::UT; }
void Form1::Option2_Click() { TimeZone = hjdprep::TimeZone::JST; }

void Form1::Command1_Click() {
    if (running_) return;
    RunSettings s;
    s.StdFileName = StdFileName;
    s.zone = TimeZone;
    s.coordinates = {Std(Text2), Std(Text3), Std(Text4), Std(Text5), Std(Text6)};
    // An impossible coordinate is refused before anything is read or written, naming the box
    // by the caption beside it, and the box takes the focus for the correction.
    if (const std::optional<CoordinateProblem> p = CheckCoordinates(s.coordinates)) {
        struct BoxName {
            QLineEdit* box;
            const char* name;
        };
        const BoxName boxes[] = {{Text2, "RA hours box (Text2)"},
                                 {Text3, "RA minutes box (Text3)"},
                                 {Text4, "RA seconds box (Text4)"},
                                 {Text5, "RD degrees box (Text5)"},
                                 {Text6, "RD minutes box (Text6)"}};
        const BoxName& b = boxes[static_cast<int>(p->box)];
        b.box->setFocus();
        showMessage(this, QStringLiteral("The %1 holds \"%2\": %3 must be %4. Nothing was converted.")
                              .arg(QLatin1String(b.name), Q(p->value), QLatin1String(CoordinateName(p->box)),
                                   Q(p->range)));
        return;
    }
    s.autoSearch = Check1->isChecked();
    s.aliases = aliases_;
    s.directory = directory_;

    running_ = true;
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Browse->setEnabled(false);
    // Nothing of this run done yet; what an earlier run showed must not stand for this one.
    ProgressBar->setFormat("%p%");
    ProgressBar->setRange(0, 1);
    ProgressBar->setValue(0);
    DiskFiles files;
    const auto progress = [this](std::size_t index, std::size_t total, const std::string& line) {
        Label5->setText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
        ProgressBar->setMaximum(static_cast<int>(std::min<std::size_t>(total, INT_MAX)));
        ProgressBar->setValue(static_cast<int>(std::min<std::size_t>(index, INT_MAX)));
        QApplication::processEvents();
    };
    // Each star the automatic search finds is shown at once, with the coordinates the
    // following records are computed with (the progress call repaints them).
    const auto starFound = [this](const CatalogueStar& star) {
        Text7->setText(Q(std::string(TrimRight(star.name))));
        Text2->setText(Q(star.texts.RaHour));
        Text3->setText(Q(star.texts.RaMinute));
        Text4->setText(Q(star.texts.RaSecond));
        Text5->setText(Q(star.texts.DecDegree));
        Text6->setText(Q(star.texts.DecMinute));
    };
    const RunResult result = RunConversion(s, files, progress, starFound);
    if (result.ok) {
        ProgressBar->setValue(ProgressBar->maximum());
    } else if (result.lines == 0) {
        // Stopped before reading a line (no log, an unreadable one, no star.dat): the bar
        // says so instead of showing a run that went through.
        ProgressBar->setValue(0);
        ProgressBar->setFormat("stopped");
    } else {
        // Every line was converted but the results could not be put in place.
        ProgressBar->setValue(ProgressBar->maximum());
        ProgressBar->setFormat("stopped: not saved");
    }
    coordinates_ = result.coordinates;
    running_ = false;
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Browse->setEnabled(true);
    // "END" stays the message's first line; the counts follow on a line of their own.
    showMessage(this, result.ok ? QStringLiteral("END\n") + Q(RunSummary(result)) : Q(result.message));
    Label5->clear();
}

void Form1::Browse_Click() {
    if (running_ || !chooseLog_) return;
    // The dialog opens where the log named in the box lies, or in the working folder.
    QString start = Q(directory_.string());
    if (!StdFileName.empty()) {
        const QFileInfo current(Q((directory_ / StdFileName).string()));
        if (current.dir().exists()) start = current.absolutePath();
    }
    const QString chosen = chooseLog_(this, start);
    if (!chosen.isEmpty()) Text1->setText(chosen);
}

void Form1::Command2_Click() {
    StarName = Std(Text7);
    DiskFiles files;
    const std::optional<std::string> catalogue = files.Read(directory_ / "star.dat");
    if (!catalogue) {
        showMessage(this, QStringLiteral("Cannot read star.dat in ") + Q(directory_.string()) + ".");
        return;
    }
    for (QLineEdit* box : {Text2, Text3, Text4, Text5, Text6}) box->clear();
    if (const std::optional<CatalogueStar> found = FindTypedName(*catalogue, StarName)) {
        Text2->setText(Q(found->texts.RaHour));
        Text3->setText(Q(found->texts.RaMinute));
        Text4->setText(Q(found->texts.RaSecond));
        Text5->setText(Q(found->texts.DecDegree));
        Text6->setText(Q(found->texts.DecMinute));
    }
    coordinates_.RaHour = LeadingNumber(Std(Text2));
    coordinates_.RaMinute = LeadingNumber(Std(Text3));
    coordinates_.RaSecond = LeadingNumber(Std(Text4));
    coordinates_.DecDegree = LeadingNumber(Std(Text5));
    coordinates_.DecMinute = LeadingNumber(Std(Text6));
    coordinates_.DecSecond = 0;
    showMessage(this, QStringLiteral("OK ?"));
    Label5->clear();
}

}  // namespace hjdprep
