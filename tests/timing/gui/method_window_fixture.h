#pragma once
// The main window with its method windows, in a scratch folder, with a synthetic night loaded
// from a file (as File > Open loads it), and helpers that click the plot where a chosen time
// lies, as a person would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/timing/gui/gui_fixture.h"
#include "timing/cli/batch.h"
#include "timing/gui/methods/method_windows.h"
#include "timing/gui/plot/plot_view.h"
#include "timing/gui/plot/plot_window.h"

namespace umbrix {

// 61 points 0.004 day apart from HJD 2454123.400 to .640, a dip of 0.8 mag centred at
// .5213 (between points 31 and 32) with a fixed wobble of a few millimagnitudes, so that
// every fit has a non-zero scatter. The faintest point is point 31 at .520.
inline std::string NightText() {
    std::string text = "HJD,Mag\n";
    char line[64];
    for (int k = 0; k <= 60; ++k) {
        const double t = 0.400 + 0.004 * k;
        const double dt = (t - 0.5213) / 0.03;
        const double mag = 12.0 + 0.8 * std::exp(-dt * dt) + 0.003 * std::sin(1.7 * k);
        std::snprintf(line, sizeof line, "2454123.%03d,%.4f\n", 400 + 4 * k, mag);
        text += line;
    }
    return text;
}

// Relative time of point i (1..61) of the night.
inline double NightTime(int i) { return 0.400 + 0.004 * (i - 1); }

class MethodWindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFile("night.csv", NightText());
        windows_ = new MethodWindows(*app_, Window());
        ASSERT_TRUE(Window().openLightCurve(Dir(), "night.csv"));
    }

    // Pixel of the surface where relative time t lies, halfway down the frame.
    static QPoint PixelAt(const PlotWindow& w, double t) {
        const PlotFrame& f = w.scale().frame;
        return {static_cast<int>(std::lround(w.scale().X(t) / kTwipsPerPixel)),
                static_cast<int>(std::lround((f.PlotTop + f.PlotBottom) / 2.0 / kTwipsPerPixel))};
    }
    // A click on the plot where relative time t lies; returns the time the window reads there.
    static double ClickAt(PlotWindow& w, double t, Qt::MouseButton button = Qt::RightButton) {
        const QPoint p = PixelAt(w, t);
        QTest::mouseClick(w.surface(), button, {}, p);
        return w.scale().TimeAt(p.x() * kTwipsPerPixel);
    }
    static void Press(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    QString Row(int k) const { return window_->Text[k]->text(); }
    QString RowError(int k) const { return window_->Text[k + 6]->text(); }
    bool Ticked(int k) const { return window_->Check[k]->isChecked(); }
    // Row k as the batch mode writes its line: "time +/- error", then the calibrated error
    // when the row shows one.
    std::string ShownRow(int k) const {
        const QString calibrated = window_->TextCalibrated[k]->text();
        return (Row(k) + " +/- " + RowError(k) +
                (calibrated.isEmpty() ? QString() : " (calibrated " + calibrated + ")"))
            .toStdString();
    }

    // Vertical purple lines in the window's drawing, by their x.
    static std::vector<double> MarkerXs(const PlotWindow& w) {
        std::vector<double> xs;
        for (const DrawCommand& c : w.displayList().Commands())
            if (c.kind == DrawKind::Line && c.colour == kPurple && c.x1 == c.x2) xs.push_back(c.x1);
        return xs;
    }
    // The markers stand at these x (twips; markers keep their x in single precision).
    static testing::AssertionResult MarkersAt(const PlotWindow& w, const std::vector<double>& xs) {
        const std::vector<double> drawn = MarkerXs(w);
        bool same = drawn.size() == xs.size();
        for (std::size_t i = 0; same && i < xs.size(); ++i) same = std::fabs(drawn[i] - xs[i]) < 1e-3;
        if (same) return testing::AssertionSuccess();
        auto failure = testing::AssertionFailure() << "markers drawn at";
        for (const double x : drawn) failure << " " << x;
        failure << ", expected at";
        for (const double x : xs) failure << " " << x;
        return failure;
    }
    static int Count(const PlotWindow& w, Rgb colour, DrawKind kind) {
        int n = 0;
        for (const DrawCommand& c : w.displayList().Commands())
            n += c.colour == colour && c.kind == kind;
        return n;
    }

    // The batch mode on the same file: "time +/- error (calibrated c)" of the method's row, or
    // the refusal. A trailing warning is cut off: the main window has no box for it.
    std::string BatchRow(const std::vector<std::string>& options, const std::string& label) {
        std::vector<std::string> args{"--batch", (dir_ / "night.csv").string()};
        args.insert(args.end(), options.begin(), options.end());
        std::ostringstream out, err;
        EXPECT_EQ(RunBatch(args, out, err), 0) << err.str();
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(label + ": ", 0) == 0) {
                const std::string row = line.substr(label.size() + 2);
                return row.substr(0, row.find("  warning: "));
            }
        return "no row " + label;
    }
    // A time of the file's scale as the batch options take it.
    std::string FileTime(double relative) const {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", app_->data.DayOffset + relative);
        return text;
    }

    MethodWindows* windows_ = nullptr;  // owned by the main window
};

}  // namespace umbrix
