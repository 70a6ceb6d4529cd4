#include "timing/gui/main/help_windows.h"

#include <QKeyEvent>

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "timing/gui/main/twips.h"

namespace umbrix {

namespace {

constexpr int kDefaultWidth = 9000;  // twips
constexpr int kSideMargin = 250;     // twips left and right of the text

}  // namespace

QStringList IntroductionParagraphs() {
    return {
        QString("This program finds accurate times of minimum light from the light curves of "
                "eclipsing binaries.") +
            "  It makes use of the six different alorithms, all of which have their strengths "
            "and weaknesses.",
        "These methods are:",
        QString("1. Parabolic fit") +
            "  This algorithm (or routine) fits a parabola to the central part of the curve." +
            "  For this, you need to select the end points of the range, left and right, using "
            "the right mouse button.",
        QString("2. Tracing paper") +
            "  The program folds the data over onto itself about a movable axis of reflection; "
            "where the folded branches lie on top of each other, the axis is the time of minimum." +
            "  Click the slider or type a number and <Update> to change the reflection axis so "
            "that the two branches coincide.",
        QString("3. Bisectors of chords") +
            "  This algorithm draws lines across from each data point on the left, interpolating "
            "for the intersection at the right, taking the midpoint of each." +
            "  It repeats the procedure from the right and takes the mean of all the midpoints." +
            "  For this you need to select two ranges, left and right - four points in all using "
            "the right mouse button.",
        QString("4. Kwee and van Woerden") +
            "  This widely-used method (see 1953BAN....12..327K) requires the end points of the "
            "range, left and right, that covers most of the points.",
        QString("5. Fourier fit") +
            "  This algorithm fits a 5-term Fourier series (of cosine terms) to the data; the "
            "time of minimum is one of the parameters." +
            "  For this, you need to select the end points of the range, left and right, using "
            "the right mouse button." +
            "  Note that the Levenberg-Marquart algorithm will occasionally produce a "
            "non-sensical time of minimum." +
            "  To zero in on the correct minimum, enter the following values into the boxes:  "
            "ToM,Xo - something close to the time of minimum, Const.C - the magnitude near the "
            "bottom of the curve, A.Freq - 25-30, Const.A1-5 - positive values starting at 0.1 "
            "and decreasing by half each time." +
            "  Then, select the range and click 'Update'." +
            "  Repeated adjustments should get you close, then click 'Fit Fourier'.",
        QString("6. Sliding integrations") +
            "  This routine follows the method of sliding integrations as published for timing "
            "the minima of eclipsing binaries from a single night of photometry." +
            "  For this, you don't need to do select a range - just tell it to go.",
        QString("Note: The input data is intended to be HJD, magnitude (in the format comma "
                "separated variables, or csv).") +
            "  By magnitude, we mean magnitude on the usual magnitude scale, or differential mags "
            "in the sense var-comp." +
            "  If your data is inverted, in the sense comp-var, you can activate this button." +
            "  In any case, when you plot the data, you'll know if you have it right!",
    };
}

QStringList DataFileParagraphs() {
    return {
        QString("This program reads text files in the 'comma-separated-variables' format.") +
            "  These are easily generated from Excel.",
        QString("In order to do this, manipulate your data to include two contiguous columns: "
                "Heliocentric Julian Date (HJD) and magnitude.") +
            "  Then, use the clipboard to copy the data to a fresh worksheet." +
            "  (Select the block of data by clicking and dragging with your mouse, press Ctrl+C, "
            "then copy any formulas as values by Alt-E-S-V-<Rtn> in the new worksheet.)" +
            "  Lastly, save in .csv format." + "  Note that there may not be any blank lines.",
        QString("The HJD may be the full 7 digits plus decimals, 5 digits plus decimals, or just "
                "the fractional part.") +
            "  The magnitudes may be the full magnitudes or differential ones." +
            "  Therefore (as everyone knows) the dimmest points have the largest numerical "
            "magnitudes." +
            "  If your data are inverted magnitudes (V-C), just activate the '-Mags (inverted)' "
            "selection.",
        QString("Note: In order to make data files compatable with other programs, there can be "
                "up to 4 extra unused columns of data (also separated by commas).") +
            "  In other words, each line could be 'HJD, mag, unused, unused, unused, unused'." +
            "  However, note that each line must be of the same format.",
    };
}

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmHelp");
    setWindowTitle("Help");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("Scroll");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll_);

    auto* page = new QWidget(scroll_);
    page->setObjectName("Page");
    auto* column = new QVBoxLayout(page);
    const int side = TwipsToPixels(kSideMargin);
    column->setContentsMargins(side, side / 2, side, side);
    column->setSpacing(paragraphGap());
    Label0 = new QLabel(page);
    Label0->setObjectName("Label0");
    QFont bold = Label0->font();
    bold.setBold(true);
    Label0->setFont(bold);
    column->addWidget(Label0);
    for (int j = 1; j < kSlots; ++j) {
        Label1[j] = new QLabel(page);
        Label1[j]->setObjectName(QString("Label1(%1)").arg(j));
        Label1[j]->setWordWrap(true);
        Label1[j]->setTextFormat(Qt::PlainText);  // "<Update>" is text, not a tag
        Label1[j]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        column->addWidget(Label1[j]);
    }
    column->addStretch(1);
    scroll_->setWidget(page);
    resize(TwipsToPixels(kDefaultWidth), TwipsToPixels(4000));
}

int frmHelp::paragraphGap() const { return fontMetrics().height() * 2 / 3; }

void frmHelp::showScreen(Screen screen) {
    const bool intro = screen == Screen::Introduction;
    Label0->setText(intro ? "Help - Introduction" : "Help - Input files");
    const QStringList paragraphs = intro ? IntroductionParagraphs() : DataFileParagraphs();
    count_ = static_cast<int>(paragraphs.size());
    for (int j = 1; j < kSlots; ++j) {
        const bool used = j <= count_;
        Label1[j]->setText(used ? paragraphs[j - 1] : QString());
        Label1[j]->setVisible(used);
    }
    fitHeight();
    scroll_->verticalScrollBar()->setValue(0);
    if (!isVisible()) {
        // Frames are not known before the first showing; the title bar is then allowed for.
        QSize frame = frameGeometry().size();
        if (frame == size()) frame.rheight() += style()->pixelMetric(QStyle::PM_TitleBarHeight);
        move(hasSaved_ ? saved_ : CentredOn(parentWidget(), frame));
    }
    show();
    fitHeight();  // again with the fonts and margins the shown window really has
    raise();
    activateWindow();
}

void frmHelp::fitHeight() {
    if (fitting_ || count_ == 0) return;
    fitting_ = true;
    fittedWidth_ = width();
    QWidget* page = scroll_->widget();
    for (QWidget* w : page->findChildren<QWidget*>()) w->ensurePolished();
    page->layout()->invalidate();
    page->layout()->activate();
    const int needed = page->heightForWidth(width());
    // The screen's room, less the title bar the window system adds above the window.
    const QScreen* on = screen();
    const int room = on ? on->availableGeometry().height() -
                              style()->pixelMetric(QStyle::PM_TitleBarHeight) - 8
                        : needed;
    // Text that fits gets no scroll bar: one left over from a longer screen would narrow
    // the page, re-wrap it taller than fitted and so keep itself.
    scroll_->setVerticalScrollBarPolicy(needed <= room ? Qt::ScrollBarAlwaysOff
                                                       : Qt::ScrollBarAsNeeded);
    resize(width(), std::max(std::min(needed, room), TwipsToPixels(1500)));
    fitting_ = false;
}

// A new width re-wraps the paragraphs, so the height is fitted again; a new height alone is
// the user's choice and stays.
void frmHelp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (width() != fittedWidth_) fitHeight();
}

// Escape puts the help away, as it does a dialog.
void frmHelp::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmHelp::closeEvent(QCloseEvent* event) {
    saved_ = pos();
    hasSaved_ = true;
    QWidget::closeEvent(event);
}

QPoint CentredOn(const QWidget* owner, const QSize& frameSize) {
    if (!owner) return {0, 0};
    const QWidget* window = owner->window();
    const QRect ownerFrame = window->frameGeometry();
    QPoint at = ownerFrame.center() - QPoint(frameSize.width() / 2, frameSize.height() / 2);
    if (const QScreen* screen = window->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - frameSize.width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - frameSize.height())));
    }
    return at;
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto add = [&](const QString& text, const char* name) {
        auto* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignHCenter);
        label->setWordWrap(true);
        layout->addWidget(label);
        return label;
    };
    QLabel* title = add("Umbrix", "Label1");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    add("This is version 25b of 2006-05-03", "Label2");
    add("Times of minimum of eclipsing binaries by six methods:\n"
        "parabolic fit, tracing paper, bisectors of chords, Kwee and van Woerden,\n"
        "a Fourier fit by Levenberg-Marquardt, and sliding integrations.\n\n"
        "Written for observers of variable stars by the Umbrix team.",
        "Label3");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    ok->setToolTip("Close this box (Escape does the same).");
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

}  // namespace umbrix
