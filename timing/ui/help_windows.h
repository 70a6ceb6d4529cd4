#pragma once
// The two help screens (one window, filled by the menu each time, its height fitted to the
// text) and the about box.

#include <QDialog>
#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <array>

class QLabel;

namespace umbrix {

// Paragraphs of the two help screens.
QStringList IntroductionParagraphs();
QStringList DataFileParagraphs();

class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    enum class Screen { Introduction, DataFiles };
    // Fills the window with a screen's title and paragraphs, fits it and brings it to the front.
    void showScreen(Screen screen);

    static constexpr int kSlots = 10;
    QLabel* Label0;
    std::array<QLabel*, kSlots> Label1{};  // slots 1..9 used

    int paragraphCount() const { return count_; }
    // Estimated height of the paragraphs in twips by the 15000/500 rule, for a form width.
    int fittedHeight(int formWidthTwips) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void layOut();
    void fitFont();

    std::array<int, kSlots + 1> lengths_{};  // characters of paragraph j, 1..10
    int count_ = 0;
    QPoint saved_{0, 0};  // where the window was when it was last closed, for this run only
    bool placed_ = false;
    bool laying_ = false;
};

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};

}  // namespace umbrix
