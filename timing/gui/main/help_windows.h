#pragma once
// The two help screens (one window, filled by the menu each time, its height fitted to the
// text) and the about box.
//
// The text keeps the size the platform gives it: a screen that needs more room makes the
// window taller, up to the screen's height, and what is still left scrolls. Paragraphs stand
// one even gap apart, whatever their length.

#include <QDialog>
#include <QPoint>
#include <QSize>
#include <QStringList>
#include <QWidget>
#include <array>

class QLabel;
class QScrollArea;

namespace umbrix {

// Where a window of the given frame size goes to stand centred on owner's window, moved
// onto owner's screen where it would stick out.
QPoint CentredOn(const QWidget* owner, const QSize& frameSize);

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
    // The scroll area the title and paragraphs lie in.
    QScrollArea* scrollArea() const { return scroll_; }
    // Pixels between one paragraph and the next.
    int paragraphGap() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Makes the window as tall as its text needs at its present width, no taller than the
    // screen leaves room for.
    void fitHeight();

    QScrollArea* scroll_;
    int count_ = 0;
    int fittedWidth_ = -1;  // the width the height was last fitted for
    // Where the window was when it was last closed, for this run only; until then it opens
    // centred on the main window.
    QPoint saved_;
    bool hasSaved_ = false;
    bool fitting_ = false;
};

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};

}  // namespace umbrix
