#include "timing/ui/help_windows.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdint>

#include "timing/ui/twips.h"

namespace umbrix {

namespace {

constexpr int kDefaultWidth = 9000;  // twips
constexpr int kCharArea = 15000;     // twips^2 one character is taken to need
constexpr int kGap = 500;            // twips between paragraphs

int16_t Int16(long v) { return static_cast<int16_t>(v); }

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
    Label0 = new QLabel(this);
    Label0->setObjectName("Label0");
    QFont bold = Label0->font();
    bold.setBold(true);
    Label0->setFont(bold);
    for (int j = 1; j < kSlots; ++j) {
        Label1[j] = new QLabel(this);
        Label1[j]->setObjectName(QString("Label1(%1)").arg(j));
        Label1[j]->setWordWrap(true);
        Label1[j]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    resize(TwipsToPixels(kDefaultWidth), TwipsToPixels(4000));
}

void frmHelp::showScreen(Screen screen) {
    const bool intro = screen == Screen::Introduction;
    Label0->setText(intro ? "Help - Introduction" : "Help - Input files");
    const QStringList paragraphs = intro ? IntroductionParagraphs() : DataFileParagraphs();
    count_ = static_cast<int>(paragraphs.size());
    lengths_.fill(0);
    for (int j = 1; j < kSlots; ++j) {
        const bool used = j <= count_;
        Label1[j]->setText(used ? paragraphs[j - 1] : QString());
        Label1[j]->setVisible(used);
        if (used) lengths_[j] = static_cast<int>(paragraphs[j - 1].size());
    }
    show();
    layOut();
    raise();
    activateWindow();
}

int frmHelp::fittedHeight(int formWidthTwips) const {
    long total = 1000;
    for (int j = 1; j <= count_; ++j) total += static_cast<long>(kCharArea) * lengths_[j] / formWidthTwips + kGap;
    return Int16(total);
}

void frmHelp::layOut() {
    if (laying_ || count_ == 0) return;
    laying_ = true;
    const int formWidth = PixelsToTwips(width());
    const int labelWidth = formWidth - 500;
    fitFont();
    Label0->setGeometry(TwipsToPixels(250), TwipsToPixels(100), TwipsToPixels(labelWidth),
                        TwipsToPixels(360));
    int top = 500;
    for (int j = 1; j <= count_; ++j) {
        const int next = Int16(top + static_cast<long>(kCharArea) * lengths_[j] / labelWidth + kGap);
        Label1[j]->setGeometry(TwipsToPixels(250), TwipsToPixels(top), TwipsToPixels(labelWidth),
                               TwipsToPixels(next - top));
        top = next;
    }
    resize(width(), TwipsToPixels(fittedHeight(formWidth)));
    laying_ = false;
}

void frmHelp::fitFont() {
    // The height rule allows kCharArea twips^2 per character. Take the largest font, no larger
    // than the application's, whose wrapped paragraphs fit their estimated heights, so that
    // paragraphs never run into each other.
    const int labelWidthPx = width() - TwipsToPixels(500);
    QFont font = QWidget::font();
    for (double size = font.pointSizeF(); size >= 6.0; size -= 0.5) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (int j = 1; j <= count_ && fits; ++j) {
            const QRect needed = metrics.boundingRect(QRect(0, 0, labelWidthPx, 100000),
                                                      Qt::TextWordWrap, Label1[j]->text());
            const int allowed = TwipsToPixels(kCharArea * lengths_[j] / PixelsToTwips(labelWidthPx) + kGap);
            fits = needed.height() <= allowed;
        }
        if (fits) break;
    }
    for (int j = 1; j < kSlots; ++j) Label1[j]->setFont(font);
}

void frmHelp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void frmHelp::showEvent(QShowEvent* event) {
    if (!placed_) {
        move(saved_);
        placed_ = true;
    }
    QWidget::showEvent(event);
}

void frmHelp::closeEvent(QCloseEvent* event) {
    saved_ = pos();
    placed_ = false;  // the next showing is a fresh load: back to the saved place
    QWidget::closeEvent(event);
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
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    move(0, 0);
}

}  // namespace umbrix
