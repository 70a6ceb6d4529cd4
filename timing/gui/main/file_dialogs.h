#pragma once
// ectimer's own open and save dialogs: a drive box, a directory list, a file list filtered by
// a pattern, a file-type combo and a file-name box, with OK and Cancel.

#include <QDialog>
#include <QListWidget>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace umbrix {

struct DataSet;

// The directory list: the folders from the root down to the current one, then the current
// one's subfolders, indented by depth. Double-click (or Enter) moves to a folder.
class DirectoryList : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent = nullptr);
    QString path() const { return path_; }
    void setPath(const QString& path);

signals:
    void pathChanged(const QString& path);

private:
    QString path_;
};

class FileDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Open, Save };
    FileDialog(Mode mode, DataSet& data, QWidget* parent = nullptr);

    // Placement rules of both dialogs, in twips.
    static constexpr int kMinWidth = 6525;
    static constexpr int kMinHeight = 3540;

    QComboBox* Combo1;
    QComboBox* Drive1;
    DirectoryList* Dir1;
    QListWidget* File1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* PathLabel;

    // The pattern entries "*.txt", "*.csv", "*.*" as the main window fills them at start.
    void fillPatterns();
    // What File > Open and File > Save do: show the dialog with the pattern of its files
    // ("*.csv" to open, "*.txt" to save), the name box focused.
    void showForChoice();

public slots:
    void Combo1_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click(QListWidgetItem* item);
    void File1_DblClick(QListWidgetItem* item);
    void Command1_Click();
    void Command2_Click();

signals:
    // OK of the open dialog: the folder and file to load.
    void openRequested(const QString& dir, const QString& name);
    // OK of the save dialog, after DataDir and DataFileName were set.
    void saveRequested(const QString& dir, const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refreshFiles();
    void layOut();
    // The folder and file name OK stands for: the name box, read against the folder shown.
    std::pair<QString, QString> chosenFile(const QString& dir) const;

    Mode mode_;
    DataSet& data_;  // the dialog names the light curve: DataDir, DataFileName
    QString pattern_;
    QLabel* driveLabel_;
    QLabel* dirLabel_;
    QLabel* typeLabel_;
    QLabel* nameLabel_;
};

}  // namespace umbrix
