// O-C: cycle numbers, O-C and the fitted ephemerides, against minima made from a known one.

#include "timing/core/oc/oc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tests/timing/core/synthetic_eclipse.h"
#include "timing/cli/batch.h"
#include "timing/draw/oc_plot.h"

namespace umbrix {
namespace {

constexpr double kT0 = 2454123.4567, kP = 0.8123456;

// Minima at 15 cycles between -400 and 2600 with errors of 0.0002 to 0.0008 day, observed
// with that much Gaussian noise, plus q E^2.
std::vector<Minimum> Observed(std::uint64_t seed, double q = 0) {
    testing_support::Noise noise(seed);
    std::vector<Minimum> minima;
    for (int k = 0; k < 15; ++k) {
        const int e = -400 + 200 * k + static_cast<int>(seed % 7);
        const double error = 0.0002 + 0.0004 * (k % 4) / 2;
        // "n" appended to, not "n" + text: GCC 12 at -O3 sees a false overlap (-Wrestrict).
        minima.push_back({std::string("n").append(std::to_string(k)), "kvw", kT0 + kP * e + q * e * e + error * noise(), error});
    }
    return minima;
}

// Over 60 seeds the fitted T0 and P lie within one reported error of the truth about 68 % of
// the time (0.5..0.85 allows for 60 draws), and chi-square per degree of freedom averages
// about 1: the errors are neither too small nor too large. The fit starts from an ephemeris
// 0.003 day and 2e-6 day off.
TEST(FitEphemeris, RecoversALinearEphemerisWithinItsErrors) {
    int t0Inside = 0, pInside = 0;
    double chi2 = 0;
    constexpr int kSeeds = 60;
    for (int seed = 1; seed <= kSeeds; ++seed) {
        const auto rows = ComputeOc(Observed(static_cast<std::uint64_t>(seed)), kT0 + 0.003, kP + 2e-6, false);
        const Ephemeris e = FitEphemeris(rows, kT0 + 0.003, kP + 2e-6, 2);
        ASSERT_TRUE(e.ok) << e.message;
        t0Inside += std::fabs(e.t0 - kT0) <= e.t0Error;
        pInside += std::fabs(e.p - kP) <= e.pError;
        chi2 += e.chi2PerDof / kSeeds;
    }
    EXPECT_GT(t0Inside, 0.5 * kSeeds);
    EXPECT_LT(t0Inside, 0.85 * kSeeds);
    EXPECT_GT(pInside, 0.5 * kSeeds);
    EXPECT_LT(pInside, 0.85 * kSeeds);
    EXPECT_NEAR(chi2, 1.0, 0.15);  // 13 degrees of freedom, 60 seeds: spread about 0.05
}

// A period that grows by dP/dE = 2e-9 day per cycle (q = 1e-9) moves the last minima by
// 6.8e-3 day, ten times their errors: the quadratic fit finds it within three of its errors,
// and significantly.
TEST(FitEphemeris, QuadraticFitFindsAPeriodChange) {
    const auto rows = ComputeOc(Observed(5, 1e-9), kT0, kP, false);
    const Ephemeris e = FitEphemeris(rows, kT0, kP, 3);
    ASSERT_TRUE(e.ok) << e.message;
    EXPECT_NEAR(e.dPdE(), 2e-9, 3 * e.dPdEError());
    EXPECT_LT(e.dPdEError(), 2e-9 / 3);
    EXPECT_FALSE(FitEphemeris({rows[0], rows[1]}, kT0, kP, 3).ok);  // two minima, three terms
}

TEST(ComputeOc, SecondaryMinimaFallOnHalfCycles) {
    const std::vector<Minimum> m{{"a", "kvw", kT0 + 10.5 * kP + 0.001, 0.0003}};
    EXPECT_EQ(ComputeOc(m, kT0, kP, true)[0].cycle, 10.5);
    EXPECT_NEAR(ComputeOc(m, kT0, kP, true)[0].oc, 0.001, 1e-9);
    EXPECT_EQ(ComputeOc(m, kT0, kP, false)[0].cycle, 11);  // nearest whole: half a period off
}

// The command line on a table as the batch mode writes it: refused rows and other methods are
// left out, O-C by hand, and three exact minima give back their ephemeris with chi-square 0.
TEST(OcCommandLine, TableToOcAndFittedEphemeris) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("umbrix_oc_" + std::to_string(::getpid()) + ".csv");
    {
        std::ofstream out(path);
        out << "file,row,method,hjd,error,calibrated_error,refused\n"
            << "a.csv,4,kvw,2454123.45670,0.00030,0.00020,\n"
            << "a.csv,mean,weighted_mean,2454123.45670,0.00010,,\n"
            << "b.csv,,,,,,\"Sorry, not a light curve\"\n"
            << "c.csv,mean,weighted_mean,2454131.58016,0.00010,,\n"  // E = 10: T0 + 8.123456
            << "d.csv,mean,weighted_mean,2454204.69126,0.00010,,\n";  // E = 100: T0 + 81.23456
    }
    std::ostringstream out, err;
    const int status = RunBatch({"--oc", path.string(), "--ephemeris", "2454123.4567,0.8123456"}, out, err);
    EXPECT_EQ(status, 0) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("minima: 3 (weighted means)\n"), std::string::npos) << text;
    // c: 2454131.58016 - 2454131.580156 = 0.000004 day = 0.00576 minute, to 7 decimals.
    EXPECT_NE(text.find("c.csv,weighted_mean,10.0,2454131.5801600,0.0000040,0.0058,0.0001000\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("linear: T0 = 2454123.45670"), std::string::npos) << text;
    EXPECT_NE(text.find(", P = 0.81234"), std::string::npos) << text;
    std::filesystem::remove(path);

    std::ostringstream out2, err2;
    EXPECT_EQ(RunBatch({"--oc", "/nonexistent/table.csv", "--ephemeris", "1,1"}, out2, err2), 2);
    EXPECT_EQ(RunBatch({"--oc", "t.csv", "--ephemeris", "1,-1"}, out2, err2), 2);
}

// Appending writes the whole new log through the crash-safe writer only: when that write
// fails (here, injected), the log on disk is byte for byte what it was and the reason is
// returned.
TEST(MinimaLog, AFailedAppendLeavesTheLogAsItWas) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("umbrix_log_" + std::to_string(::getpid()) + ".csv");
    const std::string before = MinimaTableHeader() + "a.csv,4,kvw,2454123.51234,0.00010,,\n";
    std::ofstream(path, std::ios::binary) << before;
    const std::string line = MinimaTableLine("b.csv", "4", "kvw", "2454124.1", "0.0001", "", "");
    const auto failing = [](const std::string&, std::string_view) -> std::string { return "disk full"; };
    EXPECT_EQ(AppendToMinimaLog(path.string(), line, failing), "disk full");
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), before);
    std::filesystem::remove(path);
}

// The diagram's geometry: minima at E = 0, 100, 200 with O-C 0, 10 and 20 minutes and errors
// of one minute. Their dots are equally spaced across and up the frame, and each error bar
// spans a fifth of the step between neighbouring dots (2 minutes of 10).
TEST(DrawOc, MinimaAndErrorBarsKeepTheirProportions) {
    std::vector<OcRow> rows;
    for (int k = 0; k < 3; ++k)
        rows.push_back({{"n", "kvw", 0, 1.0 / 1440}, 100.0 * k, 10.0 * k / 1440});
    const Ephemeris linear = FitEphemeris(rows, 0, 1, 2);
    ASSERT_TRUE(linear.ok);
    const OcPlot plot = DrawOc(rows, 0, 1, &linear, nullptr);
    std::vector<DrawCommand> dots, bars;
    for (const DrawCommand& c : plot.list.Commands())
        if (c.kind == DrawKind::Circle && c.r == 45 && c.colour == kBlack) dots.push_back(c);
    ASSERT_EQ(dots.size(), 4u);  // the three minima, then the legend's sample dot
    dots.pop_back();
    // Each dot's error bar: the vertical line through its centre (a tick mark at the same E
    // stays at the frame's edge).
    for (const DrawCommand& dot : dots)
        for (const DrawCommand& c : plot.list.Commands())
            if (c.kind == DrawKind::Line && c.x1 == dot.x1 && c.x2 == dot.x1 &&
                std::min(c.y1, c.y2) < dot.y1 && std::max(c.y1, c.y2) > dot.y1)
                bars.push_back(c);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_NEAR(dots[1].x1 - dots[0].x1, dots[2].x1 - dots[1].x1, 1e-9);
    const double step = dots[0].y1 - dots[1].y1;  // up the page: y falls
    EXPECT_GT(step, 0);
    EXPECT_NEAR(dots[1].y1 - dots[2].y1, step, 1e-9);
    for (const DrawCommand& b : bars) EXPECT_NEAR(b.y1 - b.y2, step / 5, 1e-9);
    int legend = 0;
    for (const PlotText& t : plot.texts) legend += t.text == "linear ephemeris" || t.text == "minima, +-1 error";
    EXPECT_EQ(legend, 2);
}

// README's worked example: the eight nights of tests/data/nights (made by make_nights.py
// with P = 0.4567891 day and dP/dE = 1e-9 day per cycle) timed with automatic ranges, then
// O-C of the Kwee and van Woerden minima against the unchanged period. The quadratic fit
// gives back both within three of its errors.
TEST(OcCommandLine, ManyNightsExampleRecoversThePeriodAndItsChange) {
    const std::string dir = std::string(UMBRIX_TEST_DATA) + "/nights/";
    const auto table = std::filesystem::temp_directory_path() /
                       ("umbrix_nights_" + std::to_string(::getpid()) + ".csv");
    std::vector<std::string> args{"--batch"};
    for (const int e : {0, 1150, 2480, 3710, 5060, 6290, 7640, 8990})
        args.push_back(dir + "night_" + std::to_string(e) + ".csv");
    for (const std::string& a : std::vector<std::string>{"--ranges", "auto", "--table", table.string()})
        args.push_back(a);
    std::ostringstream out, err;
    ASSERT_EQ(RunBatch(args, out, err), 0) << err.str();

    std::ifstream in(table);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Minimum> minima;
    ASSERT_EQ(ReadMinima(text, "kvw", minima), "");
    ASSERT_EQ(minima.size(), 8u);
    const Ephemeris e = FitEphemeris(ComputeOc(minima, 2459000.3456, 0.4567891, false),
                                     2459000.3456, 0.4567891, 3);
    ASSERT_TRUE(e.ok) << e.message;
    EXPECT_NEAR(e.p, 0.4567891, 3 * e.pError);
    EXPECT_NEAR(e.dPdE(), 1e-9, 3 * e.dPdEError());
    EXPECT_NEAR(e.t0, 2459000.3456, 3 * e.t0Error);
    std::filesystem::remove(table);
}

}  // namespace
}  // namespace umbrix
