// O-C: cycle numbers, O-C and the fitted ephemerides, against minima made from a known one.

#include "timing/oc/oc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tests/timing/methods/synthetic_eclipse.h"
#include "timing/app/batch.h"

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
        minima.push_back({"n" + std::to_string(k), "kvw", kT0 + kP * e + q * e * e + error * noise(), error});
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
    // c: 2454131.58016 - 2454131.580156 = 0.000004 day.
    EXPECT_NE(text.find("c.csv,weighted_mean,10.0,2454131.58016,0.00000,0.01,0.00010\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("linear: T0 = 2454123.45670"), std::string::npos) << text;
    EXPECT_NE(text.find(", P = 0.81234"), std::string::npos) << text;
    std::filesystem::remove(path);

    std::ostringstream out2, err2;
    EXPECT_EQ(RunBatch({"--oc", "/nonexistent/table.csv", "--ephemeris", "1,1"}, out2, err2), 2);
    EXPECT_EQ(RunBatch({"--oc", "t.csv", "--ephemeris", "1,-1"}, out2, err2), 2);
}

}  // namespace
}  // namespace umbrix
