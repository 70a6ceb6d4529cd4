#include "timing/gui/main/file_dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>

#include "timing/core/data/data_set.h"
#include "timing/gui/main/twips.h"

namespace umbrix {

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(Qt::UserRole).toString()); });
}

void DirectoryList::setPath(const QString& path) {
    const QString clean = QDir(path).absolutePath();
    if (!QFileInfo(clean).isDir()) return;
    clear();
    // Ancestors from the root down, then the current folder's subfolders one level deeper.
    QStringList chain;
    for (QDir d(clean);; ) {
        chain.prepend(d.absolutePath());
        if (!d.cdUp()) break;
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = depth == 0 ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + name, this);
        item->setData(Qt::UserRole, folder);
        ++depth;
    }
    setCurrentRow(count() - 1);
    const QStringList subfolders =
        QDir(clean).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subfolders) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + sub, this);
        item->setData(Qt::UserRole, QDir(clean).filePath(sub));
    }
    path_ = clean;
    emit pathChanged(path_);
}

FileDialog::FileDialog(Mode mode, DataSet& data, QWidget* parent)
    : QDialog(parent), mode_(mode), data_(data) {
    setObjectName(mode == Mode::Open ? "frmOpen" : "frmSaveAs");
    setWindowTitle(mode == Mode::Open ? "Open" : "Save As ...");
    setModal(false);

    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(name);
        return w;
    };
    nameLabel_ = static_cast<QLabel*>(named(new QLabel("File Name:", this), "LabelFileName"));
    Text1 = static_cast<QLineEdit*>(named(new QLineEdit(this), "Text1"));
    File1 = static_cast<QListWidget*>(named(new QListWidget(this), "File1"));
    typeLabel_ = static_cast<QLabel*>(named(new QLabel("List Files of Type:", this), "LabelType"));
    Combo1 = static_cast<QComboBox*>(named(new QComboBox(this), "Combo1"));
    dirLabel_ = static_cast<QLabel*>(named(new QLabel("Directories:", this), "LabelDirectories"));
    PathLabel = static_cast<QLabel*>(named(new QLabel(this), "PathLabel"));
    Dir1 = static_cast<DirectoryList*>(named(new DirectoryList(this), "Dir1"));
    driveLabel_ = static_cast<QLabel*>(named(new QLabel("Drives:", this), "LabelDrives"));
    Drive1 = static_cast<QComboBox*>(named(new QComboBox(this), "Drive1"));
    Command1 = static_cast<QPushButton*>(named(new QPushButton("OK", this), "Command1"));
    Command2 = static_cast<QPushButton*>(named(new QPushButton("Cancel", this), "Command2"));
    Command1->setDefault(true);
    PathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (mode == Mode::Open) Text1->setText("location.dat");
    const bool opening = mode == Mode::Open;
    Text1->setToolTip(opening ? "The light curve to open: a name in the folder shown, or a whole path. "
                                "Enter opens it."
                              : "The file the results are written to: a name in the folder shown, or a "
                                "whole path. Enter saves.");
    File1->setToolTip(opening ? "Files of the chosen type in the folder shown: click one to take its "
                                "name, double-click to open it."
                              : "Files of the chosen type in the folder shown: click one to take its "
                                "name, double-click to save over it.");
    Combo1->setToolTip("Which files the list shows.");
    Dir1->setToolTip("The folders above and inside the one shown: double-click one (or press "
                     "Enter) to move there.");
    PathLabel->setToolTip("The folder shown.");
    Drive1->setToolTip("The drive to look in.");
    Command1->setToolTip(opening ? "Open the light curve named in the box." : "Save the results under the name in the box.");
    Command2->setToolTip(opening ? "Close without opening a file." : "Close without saving.");

    for (const QFileInfo& drive : QDir::drives()) Drive1->addItem(drive.absoluteFilePath());
    // The start folder is shown before the handlers are connected: it is no change of folder,
    // so the name box keeps its start text and the save dialog names no file yet.
    pattern_ = mode == Mode::Open ? "*.csv" : "*.txt";
    Dir1->setPath(QDir::currentPath());

    connect(Combo1, &QComboBox::currentIndexChanged, this, &FileDialog::Combo1_Click);
    connect(Drive1, &QComboBox::activated, this, &FileDialog::Drive1_Change);
    connect(Dir1, &DirectoryList::pathChanged, this, &FileDialog::Dir1_Change);
    connect(File1, &QListWidget::itemClicked, this, &FileDialog::File1_Click);
    connect(File1, &QListWidget::itemPressed, this, &FileDialog::File1_Click);
    connect(File1, &QListWidget::itemDoubleClicked, this, &FileDialog::File1_DblClick);
    connect(Command1, &QPushButton::clicked, this, &FileDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FileDialog::Command2_Click);
    if (mode == Mode::Save) {
        // The save dialog's name box names the data file at every keystroke.
        connect(Text1, &QLineEdit::textEdited, this,
                [this](const QString& text) { data_.DataFileName = text.toStdString(); });
    }

    setMinimumSize(TwipsToPixels(kMinWidth), TwipsToPixels(kMinHeight));
    resize(TwipsToPixels(7830), TwipsToPixels(4500));
}

void FileDialog::fillPatterns() {
    const QSignalBlocker blocker(Combo1);
    Combo1->clear();
    Combo1->addItems({"*.txt", "*.csv", "*.*"});
    Combo1->setCurrentIndex(mode_ == Mode::Open ? 1 : 0);
    pattern_ = Combo1->currentText();
    refreshFiles();
    PathLabel->setText(Dir1->path());
}

void FileDialog::showForChoice() {
    Combo1->setCurrentIndex(1);
    show();
    raise();
    activateWindow();
    // The open dialog stays on "*.csv": a light curve is a .csv file, and ending on "*.txt"
    // would show none of them. The save dialog ends on "*.txt", the results file's pattern.
    if (mode_ == Mode::Save) Combo1->setCurrentIndex(0);
    // Typing a name, or a whole path, and pressing Enter is the quickest way through.
    Text1->setFocus(Qt::OtherFocusReason);
    Text1->selectAll();
}

std::pair<QString, QString> FileDialog::chosenFile(const QString& dir) const {
    const QString typed = Text1->text();
    // A name with a folder in it (an absolute path, or one below the folder shown) names
    // that folder; a bare name belongs to the folder shown.
    if (!typed.contains('/') && !typed.contains(QDir::separator())) return {dir, typed};
    const QFileInfo file(QDir(dir), typed);
    return {file.absolutePath(), file.fileName()};
}

void FileDialog::Combo1_Click() {
    if (Combo1->currentIndex() < 0) return;
    pattern_ = Combo1->currentText();
    refreshFiles();
}

void FileDialog::Drive1_Change() { Dir1->setPath(Drive1->currentText()); }

void FileDialog::Dir1_Change() {
    refreshFiles();
    Text1->setText(File1->count() > 0 ? File1->item(0)->text() : QString());
    if (mode_ == Mode::Save) data_.DataFileName = Text1->text().toStdString();
    PathLabel->setText(Dir1->path());
}

void FileDialog::File1_Click(QListWidgetItem* item) {
    if (!item) return;
    Text1->setText(item->text());
    if (mode_ == Mode::Save) data_.DataFileName = Text1->text().toStdString();
}

void FileDialog::File1_DblClick(QListWidgetItem* item) {
    File1_Click(item);
    Command1_Click();
}

void FileDialog::Command1_Click() {
    if (mode_ == Mode::Open) {
        const auto [dir, name] = chosenFile(PathLabel->text());
        hide();
        emit openRequested(dir, name);
        return;
    }
    const auto [dir, name] = chosenFile(Dir1->path());
    data_.DataDir = dir.toStdString();
    data_.DataFileName = name.toStdString();
    hide();
    emit saveRequested(dir, name);
}

void FileDialog::Command2_Click() { hide(); }

void FileDialog::refreshFiles() {
    File1->clear();
    // "*.*" means every file, also those without a dot in their name.
    const QString filter = pattern_ == "*.*" ? "*" : pattern_;
    File1->addItems(QDir(Dir1->path())
                        .entryList({filter}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FileDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

void FileDialog::layOut() {
    // Lists stretch with the window; the rest keeps fixed offsets below them, and the block
    // stays centred: x = (width - 7830) / 2 + a fixed offset per control.
    const int w = PixelsToTwips(width());
    const int h = PixelsToTwips(height());
    const int x0 = (w - 7830) / 2;
    auto place = [](QWidget* c, int left, int top, int width, int height) {
        c->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                       TwipsToPixels(height));
    };
    const int fileX = x0 + 712, dirX = x0 + 3352, buttonX = x0 + 5992;
    place(nameLabel_, fileX, 120, 2520, 240);
    place(Text1, fileX, 390, 2520, 330);
    place(File1, fileX, 780, 2520, h - 2100);
    place(typeLabel_, fileX, h - 1250, 2520, 240);
    place(Combo1, fileX, h - 990, 2520, 360);
    place(dirLabel_, dirX, 120, 2520, 240);
    place(PathLabel, dirX, 360, 2520, 270);
    place(Dir1, dirX, 630, 2520, h - 1890);
    place(driveLabel_, dirX, h - 1250, 2520, 240);
    place(Drive1, dirX, h - 990, 2520, 360);
    place(Command1, buttonX, 390, 1125, 400);
    place(Command2, buttonX, 900, 1125, 400);
}

}  // namespace umbrix
