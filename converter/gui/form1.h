#pragma once
// Form1: the converter's window. The user names the log, picks the clock's time zone, types
// or looks up the star's coordinates and starts the conversion (conversion_run.h). The
// fields come back from "hjdprep.ini" when the window opens and are saved there when it
// closes; the alias list "Alias.txt" is read when it opens. All three files live in the
// window's working directory.

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "converter/core/julian.h"
#include "converter/core/log_record.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace hjdprep {

// Asks the user for a log to convert, starting in a folder; an empty text when cancelled.
// The window's own asks with a file dialog; tests put in one that answers at once.
using LogChooser = std::function<QString(QWidget* parent, const QString& startFolder)>;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(std::filesystem::path directory = std::filesystem::current_path(), QWidget* parent = nullptr);

    // The window-level values the settings file keeps.
    const std::string& stdFileName() const { return StdFileName; }
    const std::string& starName() const { return StarName; }
    hjdprep::TimeZone timeZone() const { return TimeZone; }
    const StarCoordinates& coordinates() const { return coordinates_; }
    std::size_t aliasCount() const { return aliases_.size(); }
    bool running() const { return running_; }
    void setLogChooser(LogChooser chooser) { chooseLog_ = std::move(chooser); }

public slots:
    void Command1_Click();  // start correction
    void Command2_Click();  // search
    void Browse_Click();    // pick the log with a file dialog

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void Option1_Click();
    void Option2_Click();

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Browse;
    QLabel* Label2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QGroupBox* Frame1;
    QLineEdit* Text7;
    QPushButton* Command2;
    QCheckBox* Check1;
    QLabel* Label3;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLabel* Label4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QPushButton* Command1;
    QLabel* Label5;
    QProgressBar* ProgressBar;

    std::filesystem::path directory_;
    std::string StdFileName;
    std::string StarName = "CASRZ";
    hjdprep::TimeZone TimeZone = hjdprep::TimeZone::UT;
    StarCoordinates coordinates_;
    AliasList aliases_;
    bool running_ = false;
    LogChooser chooseLog_;
};

}  // namespace hjdprep
