// O-C: cycle numbers, O-C and the fitted ephemerides, against minima made from a known one.

#include "timing/core/oc/oc.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Built by append: "\n" + std::string&& trips a false -Wrestrict in GCC 12 at -O3.
std::string OnItsOwnLine(const std::string& line) {
    std::string s = "\n";
    s.append(line).append("\n");
    return s;
}

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
    EXPECT_NE(text.find("minima: 3 (means, weighted by the calibrated errors where the table has them)\n"),
              std::string::npos) << text;
    // a: its one method row has a calibrated error, which the mean then takes.
    EXPECT_NE(text.find("\na.csv,calibrated_mean,0.0,2454123.4567000,0.0000000,0.0000,0.0002000,"),
              std::string::npos) << text;
    // c: 2454131.58016 - 2454131.580156 = 0.000004 day = 0.00576 minute, to 7 decimals.
    EXPECT_NE(text.find("\nc.csv,weighted_mean,10.0,2454131.5801600,0.0000040,0.0058,0.0001000,"),
              std::string::npos) << text;
    EXPECT_NE(text.find("linear: T0 = 2454123.45670"), std::string::npos) << text;
    EXPECT_NE(text.find(", P = 0.81234"), std::string::npos) << text;
    std::filesystem::remove(path);

    std::ostringstream out2, err2;
    EXPECT_EQ(RunBatch({"--oc", "/nonexistent/table.csv", "--ephemeris", "1,1"}, out2, err2), 2);
    EXPECT_EQ(RunBatch({"--oc", "t.csv", "--ephemeris", "1,-1"}, out2, err2), 2);
}

// The O-C statistics on a table made for them: minima at E = 0, 10, 20, 30, 40 of
// T = 2459000.5 + 0.5 E, off by +3, -3, 0, -3, +3 units of 0.0001 day, errors 0.0001 day. The
// offsets are orthogonal to 1 and E, so the least-squares line is the exact one and
// chi2/dof = 4 * 3^2 / 3 = 12. With n = 5, sum (E - 20)^2 = 1000: the formal P error is
// 0.0001 / sqrt(1000) = 3.1623e-6 and the T0 error 0.0001 sqrt(1/5 + 400/1000) = 7.7460e-5;
// scaled by sqrt(12) = 3.4641 they are 1.0954e-5 and 2.6833e-4.
std::string StatisticsTable(const std::string& extra) {
    std::string text = "file,row,method,hjd,error,calibrated_error,refused\n";
    const int offsets[] = {3, -3, 0, -3, 3};
    char line[120];
    for (int k = 0; k < 5; ++k) {
        std::snprintf(line, sizeof line, "n%d.csv,4,kvw,%.7f,0.0001000,,\n", k,
                      2459000.5 + 0.5 * 10 * k + 0.0001 * offsets[k]);
        text += line;
    }
    return text + extra;
}

std::string RunOcOn(const std::string& table, std::vector<std::string> options, int& status) {
    const auto path = std::filesystem::temp_directory_path() / ("umbrix_ocstat_" + std::to_string(::getpid()) + ".csv");
    std::ofstream(path) << table;
    std::vector<std::string> args{"--oc", path.string(), "--ephemeris", "2459000.5,0.5", "--method", "kvw"};
    args.insert(args.end(), options.begin(), options.end());
    std::ostringstream out, err;
    status = RunBatch(args, out, err);
    std::filesystem::remove(path);
    return out.str() + err.str();
}

TEST(OcStatistics, ScaledErrorsAreTheFormalOnesTimesTheRootOfChiSquarePerDegree) {
    int status = 0;
    const std::string text = RunOcOn(StatisticsTable(""), {}, status);
    ASSERT_EQ(status, 0) << text;
    EXPECT_NE(text.find("linear: T0 = 2459000.5000000 +/- 0.0000775, P = 0.500000000 +/- 0.000003162, "
                        "chi2/dof = 12.00; scaled by sqrt(chi2/dof) = 3.46: T0 +/- 0.0002683, P +/- 0.000010954\n"),
              std::string::npos)
        << text;
    // Residuals against that line: the offsets themselves, in days and in errors.
    EXPECT_NE(text.find("\nn1.csv,kvw,10.0,2459005.4997000,-0.0003000,-0.4320,0.0001000,-0.0003000,-3.00,\n"),
              std::string::npos) << text;
}

TEST(OcStatistics, DuplicatesAndRejectedMinimaAreFlaggedAndLeftOutOfTheFit) {
    int status = 0;
    const std::string clean = RunOcOn(StatisticsTable(""), {}, status);
    const std::string fit = clean.substr(clean.find("linear: "));
    // The same night logged twice, and two minima 50 errors off the line.
    const std::string planted = StatisticsTable("n2.csv,4,kvw,2459010.5000000,0.0001000,,\n"
                                                "x1.csv,4,kvw,2459025.4950000,0.0001000,,\n"
                                                "x2.csv,4,kvw,2459030.5050000,0.0001000,,\n");
    const std::string text = RunOcOn(planted, {"--reject", "10"}, status);
    ASSERT_EQ(status, 0) << text;
    EXPECT_NE(text.find("duplicates: 1 "), std::string::npos) << text;
    EXPECT_NE(text.find("\nrejected: 2 beyond 10 sigma of the fit, left out\n"), std::string::npos) << text;
    EXPECT_NE(text.find(",rejected\n"), std::string::npos);
    // What is left is the clean table: the same fit, to the last digit printed.
    EXPECT_NE(text.find(fit), std::string::npos) << text << "\nexpected\n" << fit;
    // Without --reject the outliers pull the fit away.
    EXPECT_EQ(RunOcOn(planted, {}, status).find(fit), std::string::npos);
}

// Leaving minima out by hand (the O-C window's tick) fits exactly what --reject leaves after
// rejecting the same minima: the command line's own lines are the expected text. The
// duplicate stays a duplicate when it is also ticked.
TEST(OcStatistics, MinimaLeftOutByHandFitAsTheRejectedOnes) {
    const std::string planted = StatisticsTable("n2.csv,4,kvw,2459010.5000000,0.0001000,,\n"
                                                "x1.csv,4,kvw,2459025.4950000,0.0001000,,\n"
                                                "x2.csv,4,kvw,2459030.5050000,0.0001000,,\n");
    int status = 0;
    for (const bool quadratic : {false}) {  // with --quadratic, 10 sigma rejects only x2
        std::vector<std::string> options{"--reject", "10"};
        if (quadratic) options.push_back("--quadratic");
        const std::string text = RunOcOn(planted, options, status);
        ASSERT_EQ(status, 0) << text;
        std::vector<Minimum> minima;
        ASSERT_EQ(ReadMinima(planted, "kvw", minima), "");
        const OcRun run = RunOcFits(minima, {2459000.5, 0.5, false, quadratic, std::nullopt, {5, 6, 7}});
        ASSERT_TRUE(run.ok) << run.message;
        EXPECT_EQ(run.rows[5].flag, kFlagDuplicate);
        EXPECT_EQ(run.rows[6].flag, kFlagExcluded);
        EXPECT_NE(text.find(OnItsOwnLine(FitLine(run.linear))), std::string::npos) << text << FitLine(run.linear);
        if (quadratic) {
            EXPECT_NE(text.find(OnItsOwnLine(FitLine(*run.quadratic))), std::string::npos) << text;
        }
        // Nothing left out: the outliers pull the fit away from that line.
        const OcRun all = RunOcFits(minima, {2459000.5, 0.5, false, quadratic, std::nullopt, {}});
        EXPECT_EQ(text.find(FitLine(all.linear)), std::string::npos);
    }
}

// Refused with the line and the file, or the field: a table without its header, a minimum
// without a usable error, a period that is zero, negative or too short for the times.
TEST(OcStatistics, RefusesTablesAndEphemeridesItCannotFit) {
    std::vector<Minimum> minima;
    EXPECT_EQ(ReadMinima("a.csv,4,kvw,2459000.5,0.0001,,\n", "kvw", minima).rfind("line 1: not a minima table", 0), 0u);
    const std::string header = "file,row,method,hjd,error,calibrated_error,refused\n";
    const std::string zero = header + "a.csv,4,kvw,2459000.5,0.0001,,\nb.csv,4,kvw,2459001.5,0.0000000,,\n";
    const std::string message = ReadMinima(zero, "kvw", minima);
    EXPECT_EQ(message.rfind("line 3: the minimum of b.csv has no usable error (error 0.0000000)", 0), 0u) << message;
    // "mean" uses a method row only through its calibrated error: one without is no fault.
    minima.clear();
    EXPECT_EQ(ReadMinima(header + "b.csv,4,kvw,2459001.5,0,,\nb.csv,mean,weighted_mean,2459001.5,0.0001,,\n",
                         "mean", minima), "");
    EXPECT_EQ(minima.size(), 1u);
    EXPECT_NE(ReadMinima(header + "b.csv,mean,weighted_mean,2459001.5,-0.0001,,\n", "mean", minima)
                  .find("line 2: the minimum of b.csv has no usable error"), std::string::npos);

    double t0 = 1, p = 2;
    EXPECT_EQ(ParseEphemeris("2459000.5", "0", t0, p), "P must be above zero, not \"0\".");
    EXPECT_EQ(ParseEphemeris("2459000.5", " -0.5 ", t0, p), "P must be above zero, not \"-0.5\".");
    EXPECT_EQ(ParseEphemeris("245x", "0.5", t0, p).rfind("T0 must be a number", 0), 0u);
    EXPECT_EQ(ParseEphemeris("2459000.5", "", t0, p).rfind("P must be a number", 0), 0u);
    EXPECT_EQ(t0, 1);  // a refused text changes nothing
    EXPECT_EQ(p, 2);
    EXPECT_EQ(ParseEphemeris(" 2459000.5", "0.5 ", t0, p), "");
    EXPECT_EQ(t0, 2459000.5);
    EXPECT_EQ(p, 0.5);

    const std::vector<Minimum> two{{"a", "kvw", 2459000.5, 0.0001}, {"b", "kvw", 2459100.5, 0.0001}};
    EXPECT_FALSE(RunOcFits(two, {2459000.5, 0, false, false, std::nullopt, {}}).ok);
    const OcRun tiny = RunOcFits(two, {2459000.5, 1e-8, false, false, std::nullopt, {}});
    EXPECT_FALSE(tiny.ok);
    EXPECT_NE(tiny.message.find("too short for the times of b"), std::string::npos) << tiny.message;
}

TEST(OcStatistics, AMinimumJustBeforeT0IsCycleZeroNotMinusZero) {
    int status = 0;
    const std::string text =
        RunOcOn("file,row,method,hjd,error,calibrated_error,refused\nb.csv,4,kvw,2459000.4990000,0.0001000,,\n", {},
                status);
    EXPECT_NE(text.find("\nb.csv,kvw,0.0,2459000.4990000,-0.0010000,"), std::string::npos) << text;
    EXPECT_EQ(text.find("-0.0,"), std::string::npos) << text;
}

TEST(OcStatistics, MeanOfANightWeighsItsMethodsByTheirCalibratedErrors) {
    // x: kvw 0.5000 (calibrated 0.0001) and parabola 0.5010 (0.0002): weights 4 : 1, so the
    // mean is 0.5000 + 0.0010 / 5 = 0.5002 and its error (4 * 0.0001 + 0.0002) / 5 = 0.00012.
    // y has no calibrated errors: its table mean stands.
    const std::string table = "file,row,method,hjd,error,calibrated_error,refused\n"
                              "x.csv,4,kvw,2459000.5000000,0.0000500,0.0001000,\n"
                              "x.csv,1,parabola,2459000.5010000,0.0000100,0.0002000,\n"
                              "x.csv,mean,weighted_mean,2459000.5009600,0.0000098,,\n"
                              "y.csv,4,kvw,2459010.5003000,0.0000400,,\n"
                              "y.csv,mean,weighted_mean,2459010.5003000,0.0000400,,\n";
    std::vector<Minimum> minima;
    ASSERT_EQ(ReadMinima(table, "mean", minima), "");
    ASSERT_EQ(minima.size(), 2u);
    EXPECT_EQ(minima[0].method, "calibrated_mean");
    EXPECT_NEAR(minima[0].hjd, 2459000.5002, 1e-9);
    EXPECT_NEAR(minima[0].error, 0.00012, 1e-12);
    EXPECT_EQ(minima[1].method, "weighted_mean");
    EXPECT_DOUBLE_EQ(minima[1].hjd, 2459010.5003);
}

TEST(DrawOc, SecondariesAndLeftOutMinimaHaveMarksOfTheirOwn) {
    std::vector<OcRow> rows;
    for (const double e : {0.0, 0.5, 1.0, 1.5})
        rows.push_back({{"n", "kvw", 0, 1.0 / 1440}, e, 0, 0, 0, e == 1.0 ? kFlagRejected : ""});
    const OcPlot plot = DrawOc(rows, 0, 1, nullptr, nullptr);
    int blackDots = 0, silverDots = 0, squares = 0;
    const auto& commands = plot.list.Commands();
    for (const DrawCommand& c : commands) {
        if (c.kind == DrawKind::Circle && c.r == 45) (c.colour == kSilver ? silverDots : blackDots) += 1;
        // A square: a black top side 90 twips long and a side of 90 down from its right end.
        if (c.kind != DrawKind::Line || c.colour != kBlack || c.y1 != c.y2 || c.x2 - c.x1 != 90) continue;
        squares += std::any_of(commands.begin(), commands.end(), [&](const DrawCommand& d) {
            return d.kind == DrawKind::Line && d.x1 == c.x2 && d.x2 == c.x2 && d.y1 == c.y1 && d.y2 - d.y1 == 90;
        });
    }
    // One black dot for E = 0 and one in the legend; the rejected one and its legend sample in
    // silver; two secondaries and the legend's sample as squares of four sides.
    EXPECT_EQ(blackDots, 2);
    EXPECT_EQ(silverDots, 2);
    EXPECT_EQ(squares, 3);
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
        rows.push_back({{"n", "kvw", 0, 1.0 / 1440}, 100.0 * k, 10.0 * k / 1440, 0, 0, ""});
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
