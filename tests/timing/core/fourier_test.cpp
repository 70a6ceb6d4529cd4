#include "timing/core/methods/fourier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "timing/core/session/app_state.h"
#include "timing/core/data/format.h"
#include "timing/core/data/reader.h"

namespace umbrix {
namespace {

constexpr double kDay = 2454123.0;     // DayOffset of every synthetic light curve
constexpr double kMinimum = 0.51234;   // true time of minimum, relative to kDay

// A light curve of n points evenly spread over kMinimum +- halfWidth days (symmetric about
// the minimum), magnitude shape(t - kMinimum) plus Gaussian noise of the given sigma.
std::unique_ptr<AppState> Eclipse(const std::function<double(double)>& shape, int n,
                                  double halfWidth, double noise = 0, unsigned seed = 0) {
    std::mt19937_64 random(seed);
    std::vector<double> hjd, mag;
    for (int k = 0; k < n; ++k) {
        const double dt = -halfWidth + 2 * halfWidth * k / (n - 1);
        double m = shape(dt);
        if (noise > 0) {  // Box-Muller: the same numbers with every standard library
            const double u1 = (static_cast<double>(random() >> 11) + 1) * 0x1p-53;
            const double u2 = static_cast<double>(random() >> 11) * 0x1p-53;
            m += noise * std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
        }
        hjd.push_back(kDay + kMinimum + dt);
        mag.push_back(m);
    }
    auto app = std::make_unique<AppState>();
    ApplyLightCurve(app->data, hjd, mag);
    app->data.DataFileName = "synthetic.csv";
    ResetMethodStates(*app);
    return app;
}

// The series itself with W = 30 rad/day: a dip of 0.74 mag, about 0.2 day wide.
double SeriesDip(double dt) {
    const double a[5] = {0.25, 0.08, 0.03, 0.008, 0.002};
    double m = 12.9;
    for (int i = 1; i <= 5; ++i) m += a[i - 1] * (std::cos(i * 30.0 * dt) - 1);
    return m;
}

// A Gaussian dip, not of the series' form: 0.6 mag deep, 0.04 day 1/e half-width.
double GaussianDip(double dt) { return 12.0 + 0.6 * std::exp(-(dt / 0.04) * (dt / 0.04)); }

// Picks first..last as two right-clicks would and presses "Fit Fourier".
FourierRowResult FitRange(AppState& app, int first, int last) {
    app.fourier.SetEnds(SetRangeEnds(app.fourier.Ends(), first, last));
    return FitFourier(app.fourier, app.data);
}

FourierBoxTexts Texts(std::initializer_list<const char*> t) {
    FourierBoxTexts b;
    std::size_t i = 0;
    for (const char* s : t) b[i++] = s;
    return b;
}

// ---- The model --------------------------------------------------------------------------

struct ModelCase {
    const char* name;
    FitVector a;  // engine order: A1..A5, C, W, Xo
};

class FourierModelRows : public ::testing::TestWithParam<ModelCase> {};

TEST_P(FourierModelRows, EqualsCAtXoWithFlatXoDerivative) {
    const FitVector& a = GetParam().a;
    double y = 0;
    FitVector d{};
    FourierModel(a[8], a, 8, y, d);
    EXPECT_EQ(y, a[6]);
    EXPECT_EQ(d[8], 0);
    EXPECT_EQ(d[6], 1);
}

TEST_P(FourierModelRows, DerivativesMatchCentralDifferences) {
    const FitVector& a = GetParam().a;
    for (const double x : {a[8] - 0.07, a[8] + 0.013, a[8] + 0.1}) {
        double y = 0;
        FitVector d{};
        FourierModel(x, a, 8, y, d);
        for (int j = 1; j <= 8; ++j) {
            const double h = 1e-6;
            FitVector up = a, down = a, unused{};
            up[static_cast<std::size_t>(j)] += h;
            down[static_cast<std::size_t>(j)] -= h;
            double yUp = 0, yDown = 0;
            FourierModel(x, up, 8, yUp, unused);
            FourierModel(x, down, 8, yDown, unused);
            // Central differences of smooth terms of order 1 with h = 1e-6: error ~1e-9.
            EXPECT_NEAR(d[static_cast<std::size_t>(j)], (yUp - yDown) / (2 * h), 1e-6)
                << "parameter " << j << " at x = " << x;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, FourierModelRows,
    ::testing::Values(ModelCase{"StartShape", {0, 0.2, 0.1, 0.05, 0.01, 0.005, 12.3, 25, 0.5}},
                      ModelCase{"NegativeAmplitudes",
                                {0, -0.3, 0.2, -0.1, 0.05, -0.02, 9, 40, 1.2}},
                      ModelCase{"SlowSeries", {0, 1, 0, 0, 0, 0.5, -3, 3, -0.25}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Start values, Update, Undo ---------------------------------------------------------

TEST(FourierState, LoadSetsStartValuesFromTheFaintestPoint) {
    auto app = Eclipse(GaussianDip, 201, 0.1);
    const FourierState& s = app->fourier;
    const DataSet& ds = app->data;
    EXPECT_EQ(s.FourierParams[1], ds.Time[static_cast<std::size_t>(ds.MagMaxIndex)]);
    EXPECT_EQ(s.FourierParams[2], ds.Mag[static_cast<std::size_t>(ds.MagMaxIndex)]);
    EXPECT_EQ(s.FourierParams, (FitVector{0, s.FourierParams[1], s.FourierParams[2], 25.0, 0.2,
                                          0.1, 0.05, 0.01, 0.005}));
    EXPECT_EQ(s.FitLambda, -1);
    EXPECT_EQ(s.PointSigma[1], 0.01);
    EXPECT_EQ(s.PointSigma[201], 0.01);
    EXPECT_FALSE(s.FourierReady);
    EXPECT_EQ(s.ParamText[2], "25.00000");
}

TEST(FourierUndo, BeforeAnyFitGivesZerosAndClearsTheRange) {
    auto app = Eclipse(GaussianDip, 201, 0.1);
    app->fourier.SetEnds(SetRangeEnds(app->fourier.Ends(), 1, 201));
    FourierUndo(app->fourier);
    EXPECT_EQ(app->fourier.FourierParams, FitVector{});
    EXPECT_EQ(app->fourier.ParamText[0], "00.00000");  // the number format's text for 0
    EXPECT_FALSE(app->fourier.FourierReady);
    EXPECT_EQ(FitFourier(app->fourier, app->data).message, "Select range first");
}

TEST(FourierUpdate, NeedsARangeThenReadsLeadingNumbersRewritesBoxesAndSamples) {
    auto app = Eclipse(GaussianDip, 201, 0.1);
    FourierState& s = app->fourier;
    const FourierBoxTexts typed =
        Texts({" 0.512345678", "12.6 mag", "x", "0.3", "0.1", "0", "0", "0"});
    EXPECT_EQ(FourierUpdate(s, app->data, typed), "Select range first");
    EXPECT_FALSE(s.ParamsEdited);
    EXPECT_EQ(s.FourierParams[3], 25);

    s.SetEnds(SetRangeEnds(s.Ends(), 11, 191));
    ASSERT_EQ(FourierUpdate(s, app->data, typed), "");
    EXPECT_TRUE(s.ParamsEdited);
    EXPECT_EQ(s.FourierParams[1], 0.512345678);
    EXPECT_EQ(s.FourierParams[2], 12.6);
    EXPECT_EQ(s.FourierParams[3], 0);  // no leading number
    EXPECT_EQ(s.ParamText[0], " 0.51235");
    EXPECT_EQ(s.ParamText[1], "12.60000");
    EXPECT_EQ(s.ModelTime[0], app->data.Time[11]);
    EXPECT_DOUBLE_EQ(s.ModelTime[kFourierSamples], app->data.Time[191]);
    // W = 0: every sample is the constant C.
    EXPECT_EQ(s.ModelMag[37], 12.6);
}

TEST(FourierRange, PicksTheFirstPointInsideEachEndAndIsReadyWithBoth) {
    auto app = Eclipse(GaussianDip, 201, 0.1);  // points 0.001 day apart from 0.41234
    FourierState& s = app->fourier;
    const DataSet& ds = app->data;
    s.SetEnds(PickRangeStart(s.Ends(), ds, ds.Time[20] + 0.0004, 0));
    EXPECT_EQ(s.FourierStartIndex, 21);
    EXPECT_FALSE(s.FourierReady);
    s.SetEnds(PickRangeEnd(s.Ends(), ds, ds.Time[180], 0));  // strictly earlier: the point before
    EXPECT_EQ(s.FourierEndIndex, 179);
    EXPECT_TRUE(s.FourierReady);
    // A time past every point leaves the left index as it was.
    s.SetEnds(PickRangeStart(s.Ends(), ds, 5.0, 0));
    EXPECT_EQ(s.FourierStartIndex, 21);
    s.SetEnds(PickRangeEnd(s.Ends(), ds, -1.0, 0));
    EXPECT_EQ(s.FourierEndIndex, 179);
}

TEST(FourierFit, WithoutUpdateStartsFromExactStartValuesAndIgnoresBoxEdits) {
    auto app = Eclipse(GaussianDip, 301, 0.1);
    FourierState& s = app->fourier;
    const FitVector start = s.FourierParams;
    s.ParamText = Texts({"9", "9", "9", "9", "9", "9", "9", "9"});  // typed, no Update
    const FourierRowResult r = FitRange(*app, 1, 301);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(s.StartParams, BoxToEngineOrder(start));
    EXPECT_FALSE(s.ParamsEdited);
    EXPECT_EQ(s.ParamText[0].size(), 9u);  // fitted values show with width 9
}

TEST(FourierFit, AfterUpdateStartsFromTheValuesAsTheBoxesShowThem) {
    auto app = Eclipse(GaussianDip, 301, 0.1);
    FourierState& s = app->fourier;
    s.SetEnds(SetRangeEnds(s.Ends(), 1, 301));
    ASSERT_EQ(FourierUpdate(s, app->data,
                            Texts({"0.5123456", "12.55", "27.123456", "0.3", "0.05", "0.02",
                                   "0.004", "0.001"})),
              "");
    const FourierRowResult r = FitFourier(s, app->data);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(s.StartParams[8], 0.51235);
    EXPECT_EQ(s.StartParams[7], 27.12346);
    EXPECT_EQ(s.StartParams[6], 12.55);
}

TEST(FourierFit, SecondFitDoesNothingUntilUndoThenRunsAgainFromTheSameStart) {
    auto app = Eclipse(GaussianDip, 301, 0.1, 0.01, 7);
    FourierState& s = app->fourier;
    const FourierRowResult first = FitRange(*app, 1, 301);
    ASSERT_TRUE(first.ok()) << first.message;
    const FitVector fitted = s.FourierParams;

    const FourierRowResult again = FitFourier(s, app->data);
    EXPECT_EQ(again.outcome, MethodOutcome::NotRun);
    EXPECT_EQ(s.FourierParams, fitted);

    FourierUndo(s);
    EXPECT_EQ(s.FitLambda, -1);
    EXPECT_FALSE(s.FourierFitted);
    EXPECT_EQ(s.FourierParams, EngineToBoxOrder(s.StartParams));
    const FourierRowResult redo = FitRange(*app, 1, 301);
    ASSERT_TRUE(redo.ok()) << redo.message;
    EXPECT_EQ(redo.time, first.time);
    EXPECT_EQ(redo.error, first.error);
}

// ---- The stopping rule ------------------------------------------------------------------

TEST(FourierFit, StartAtTheOptimumStopsAfterOneIteratedStep) {
    auto fitted = Eclipse(GaussianDip, 1000, 0.1, 0.01, 3);
    const FourierRowResult best = FitRange(*fitted, 1, 1000);
    ASSERT_TRUE(best.ok()) << best.message;

    // The same night, started from the fitted values (as typed, then rounded by the boxes):
    // the initialising step absorbs the rounding, the next one gains far under 10 per cent.
    auto again = Eclipse(GaussianDip, 1000, 0.1, 0.01, 3);
    FourierBoxTexts texts;
    for (int i = 1; i <= kFourierParamCount; ++i)
        texts[static_cast<std::size_t>(i - 1)] = NumText(best.params[static_cast<std::size_t>(i)]);
    ApplyFourierBoxTexts(again->fourier, again->data, texts);
    const FourierRowResult r = FitRange(*again, 1, 1000);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.iterations, 1);
    EXPECT_NEAR(r.time, best.time, 0.1 * best.error);
}

TEST(FourierFit, NeverMeetingTheStoppingRuleEndsAfter501StepsAndStillGivesAResult) {
    // Magnitudes computed by the model itself at the loaded times, from parameters that
    // the five-decimal boxes give back unchanged: chi-square is 0 from the start, every step
    // is accepted with an equal chi-square, and "lower by under 10 per cent" never happens.
    const FitVector box{0, 0.5, 12.5, 30, 0.25, 0.1, 0.05, 0.01, 0.005};
    const FitVector engine = BoxToEngineOrder(box);
    std::vector<double> hjd, mag;
    for (int k = 0; k < 200; ++k) {
        hjd.push_back(kDay + 0.4 + 0.001 * k);
        double y = 0;
        FitVector unused{};
        FourierModel(hjd.back() - kDay, engine, 8, y, unused);
        mag.push_back(y);
    }
    auto app = std::make_unique<AppState>();
    ApplyLightCurve(app->data, hjd, mag);
    ResetMethodStates(*app);
    ApplyFourierBoxTexts(app->fourier, app->data, FourierParamTexts(box, 8));
    ASSERT_EQ(app->fourier.FourierParams, box);

    const FourierRowResult r = FitRange(*app, 1, 200);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.iterations, 501);
    EXPECT_EQ(r.chiSquare, 0);
    EXPECT_EQ(r.time, kDay + 0.5);
    EXPECT_GT(r.error, 0);
}

TEST(FourierFit, SamplesTheFittedCurveOverTheRange) {
    auto app = Eclipse(GaussianDip, 500, 0.1, 0.01, 9);
    const FourierRowResult r = FitRange(*app, 50, 450);
    ASSERT_TRUE(r.ok()) << r.message;
    const FourierState& s = app->fourier;
    EXPECT_EQ(s.ModelTime[0], app->data.Time[50]);
    EXPECT_DOUBLE_EQ(s.ModelTime[kFourierSamples], app->data.Time[450]);
    for (const int h : {0, 37, kFourierSamples}) {
        double y = 0;
        FitVector unused{};
        FourierModel(s.ModelTime[static_cast<std::size_t>(h)], BoxToEngineOrder(r.params), 8, y,
                     unused);
        EXPECT_EQ(s.ModelMag[static_cast<std::size_t>(h)], y) << "sample " << h;
    }
    // The curve's faintest sample lies next to the fitted minimum, at magnitude C.
    EXPECT_NEAR(s.ModelMag[50], r.params[2], 1e-3);
}

// ---- Refusals ---------------------------------------------------------------------------

// A fit can converge where it times nothing. Both cases keep the row unwritten and the state
// as before the press, like every other refusal.
TEST(FourierFit, AMinimumOutsideTheRangeIsRefused) {
    // The descending branch only (0.08 to 0.02 day before the minimum): the start sits on the
    // faintest point, beyond the range's end, and the fit keeps its centre out there.
    auto app = Eclipse(GaussianDip, 1000, 0.1);
    const FourierRowResult r = FitRange(*app, 100, 400);
    ASSERT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_NE(r.message.find("lies outside the picked range"), std::string::npos) << r.message;
    EXPECT_FALSE(app->fourier.FourierFitted);
}

TEST(FourierFit, AMaximumOfLightIsRefused) {
    // A brightening, not an eclipse, with start values describing a hump: the fit follows it
    // and puts its centre on the maximum of light.
    auto app = Eclipse([](double dt) { return 24.0 - GaussianDip(dt); }, 400, 0.1);
    ApplyFourierBoxTexts(app->fourier, app->data,
                         Texts({"0.51", "11.4", "20", "-0.2", "-0.1", "0", "0", "0"}));
    const FourierRowResult r = FitRange(*app, 1, 400);
    ASSERT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_NE(r.message.find("maximum of light"), std::string::npos) << r.message;
}

TEST(FourierState, SignChangeTakesTheStartFromTheNewFaintestPoint) {
    auto app = Eclipse(GaussianDip, 101, 0.1);
    app->data.RawMag[7] = 11.5;  // the brightest point becomes the faintest once inverted
    ChangeMagSign(*app, 1);
    EXPECT_EQ(app->fourier.FourierParams[1], app->data.Time[7]);
    EXPECT_EQ(app->fourier.FourierParams[2], -11.5);
    EXPECT_EQ(app->fourier.ParamText[1], "-11.5000");  // eight characters, as the boxes show
}

// Eight free parameters need sixteen points: three once gave a time "+/- 148.94523" days,
// ticked and used in the means. Fifteen points are refused before anything changes; sixteen
// around the same minimum fit.
TEST(FourierFit, RangeOfFewerThanTwoPointsPerParameterIsRefused) {
    auto app = Eclipse(SeriesDip, 61, 0.1, 0.002, 5);
    const FitVector before = app->fourier.FourierParams;
    for (const auto& [first, last] : {std::pair{30, 32}, std::pair{24, 38}}) {
        const FourierRowResult r = FitRange(*app, first, last);
        EXPECT_EQ(r.outcome, MethodOutcome::Refused);
        EXPECT_EQ(r.message, "The Fourier fit has 8 free parameters and needs at least 16 points in the range; "
                             "this range holds " + std::to_string(last - first + 1) + ". Pick a wider range.");
        EXPECT_EQ(app->fourier.FourierParams, before);
    }
    const FourierRowResult r = FitRange(*app, 23, 38);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_NEAR(r.time, kDay + kMinimum, 0.002);
}

TEST(FourierFit, SingularMatrixIsReportedOnceAndWritesNoResult) {
    auto app = Eclipse(GaussianDip, 301, 0.1);
    FourierState& s = app->fourier;
    s.SetEnds(SetRangeEnds(s.Ends(), 1, 301));
    // W = 0 flattens every term: only C moves the model, seven columns of the curvature
    // matrix are zero.
    ASSERT_EQ(FourierUpdate(s, app->data, Texts({"0.5", "12.5", "0", "0.2", "0.1", "0.05",
                                                  "0.01", "0.005"})),
              "");
    const FitVector before = s.FourierParams;
    const FourierRowResult r = FitFourier(s, app->data);
    EXPECT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_EQ(r.message.rfind("Singular matrix 2 - the fit cannot tell its parameters apart", 0), 0u) << r.message;
    EXPECT_NE(r.message.find("Pick a wider range"), std::string::npos);
    EXPECT_TRUE(r.timeText.empty());
    EXPECT_TRUE(r.errorText.empty());
    EXPECT_FALSE(s.FourierFitted);
    EXPECT_EQ(s.FourierParams, before);
    EXPECT_EQ(s.FitLambda, -1);

    // The refused attempt leaves nothing behind: good start values then fit normally.
    ASSERT_EQ(FourierUpdate(s, app->data, Texts({"0.5", "12.5", "25", "0.2", "0.1", "0.05",
                                                  "0.01", "0.005"})),
              "");
    EXPECT_TRUE(FitFourier(s, app->data).ok());
}

struct RangeCase {
    const char* name;
    int first, last;
};

class FourierBadRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(FourierBadRange, IsRefusedBeforeAnythingChanges) {
    auto app = Eclipse(GaussianDip, 101, 0.1);
    const FitVector before = app->fourier.FourierParams;
    const FourierRowResult r = FitRange(*app, GetParam().first, GetParam().last);
    EXPECT_EQ(r.outcome, MethodOutcome::Refused);
    EXPECT_EQ(r.message, kFourierRangeEmpty);
    EXPECT_EQ(app->fourier.FourierParams, before);
    EXPECT_EQ(app->fourier.StartParams, FitVector{});
}

INSTANTIATE_TEST_SUITE_P(Ranges, FourierBadRange,
                         ::testing::Values(RangeCase{"EndsReversed", 60, 40},
                                           RangeCase{"EndBeyondWorkingSet", 1, 102},
                                           RangeCase{"StartZero", 0, 50}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StartCase {
    const char* name;
    FourierBoxTexts texts;
};

class FourierWildStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(FourierWildStart, EitherRefusesOrGivesFiniteNumbers) {
    auto app = Eclipse(GaussianDip, 300, 0.1, 0.01, 11);
    ApplyFourierBoxTexts(app->fourier, app->data, GetParam().texts);
    const FourierRowResult r = FitRange(*app, 1, 300);
    if (r.ok()) {
        EXPECT_TRUE(std::isfinite(r.time));
        EXPECT_TRUE(std::isfinite(r.error));
        EXPECT_GE(r.error, 0);
        for (int i = 1; i <= kFourierParamCount; ++i)
            EXPECT_TRUE(std::isfinite(r.params[static_cast<std::size_t>(i)])) << i;
    } else {
        EXPECT_EQ(r.outcome, MethodOutcome::Refused);
        EXPECT_FALSE(r.message.empty());
        EXPECT_FALSE(app->fourier.FourierFitted);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Starts, FourierWildStart,
    ::testing::Values(
        StartCase{"AllZero", Texts({"0", "0", "0", "0", "0", "0", "0", "0"})},
        StartCase{"HugeFrequency", Texts({"0.5", "12", "1e300", "0.2", "0.1", "0", "0", "0"})},
        StartCase{"HugeAmplitude", Texts({"0.5", "12", "25", "1e200", "0.1", "0", "0", "0"})},
        StartCase{"XoFarAway", Texts({"1e10", "12", "25", "0.2", "0.1", "0", "0", "0"})},
        StartCase{"NegativeAmplitudes",
                  Texts({"0.5", "12", "25", "-0.2", "-0.1", "-0.05", "0", "0"})}),
    [](const auto& info) { return std::string(info.param.name); });

struct VarianceCase {
    const char* name;
    double variance;
    bool usable;
    double error;
};

class XoVariance : public ::testing::TestWithParam<VarianceCase> {};

TEST_P(XoVariance, GivesAnErrorOnlyForAFiniteNonNegativeVariance) {
    const VarianceCase& c = GetParam();
    FitMatrix covariance{};
    covariance(8, 8) = c.variance;
    covariance(1, 1) = 4;  // another parameter's variance is not the one taken
    double error = -7;
    EXPECT_EQ(XoErrorFromCovariance(covariance, error), c.usable);
    EXPECT_EQ(error, c.usable ? c.error : -7);
}

INSTANTIATE_TEST_SUITE_P(
    Variances, XoVariance,
    ::testing::Values(VarianceCase{"Positive", 1.6e-9, true, 4e-5},
                      VarianceCase{"Zero", 0, true, 0},
                      VarianceCase{"Negative", -1e-9, false, 0},
                      VarianceCase{"Infinite", std::numeric_limits<double>::infinity(), false, 0},
                      VarianceCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), false,
                                   0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Recovering the minimum of synthetic eclipses ---------------------------------------

TEST(FourierFit, RecoversEveryParameterOfANoiselessSeries) {
    auto app = Eclipse(SeriesDip, 1000, 0.1);
    const FourierRowResult r = FitRange(*app, 1, 1000);
    ASSERT_TRUE(r.ok()) << r.message;
    // The data are the model itself, so the fit ends at rounding level; 1e-7 day (9 ms)
    // leaves room for the stopping rule ending one step early.
    EXPECT_NEAR(r.time - kDay, kMinimum, 1e-7);
    EXPECT_NEAR(r.params[3], 30.0, 1e-5);
    EXPECT_NEAR(r.params[4], 0.25, 1e-5);
    EXPECT_EQ(r.timeText, "2454123.51234");
    EXPECT_GT(r.error, 0);
    EXPECT_LE(r.iterations, 501);
}

TEST(FourierFit, CentresASymmetricDipOfAnotherShape) {
    auto app = Eclipse(GaussianDip, 1000, 0.1);
    const FourierRowResult r = FitRange(*app, 1, 1000);
    ASSERT_TRUE(r.ok()) << r.message;
    // Points and curve are mirror images about the minimum, so the best symmetric model is
    // centred on it; the start value is the faintest sample, 1e-4 day off. 1e-6 day is far
    // below the 1e-5 day the result shows and well above what rounding can do.
    EXPECT_NEAR(r.time - kDay, kMinimum, 1e-6);
    EXPECT_EQ(r.timeText, "2454123.51234");
}

struct NoiseCase {
    const char* name;
    unsigned seed;
};

class FourierNoisyDip : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(FourierNoisyDip, FindsTheMinimumWithinFourFormalErrors) {
    auto app = Eclipse(GaussianDip, 1000, 0.1, 0.01, GetParam().seed);
    const FourierRowResult r = FitRange(*app, 1, 1000);
    ASSERT_TRUE(r.ok()) << r.message;
    // The noise is 0.01 mag, the sigma the fit assumes, so the formal error is the real
    // standard error of Xo: a symmetric dip gives no bias, and a miss beyond four of them
    // has a chance of 6e-5 per seed.
    EXPECT_GT(r.error, 0);
    EXPECT_LT(r.error, 1e-3);
    EXPECT_NEAR(r.time - kDay, kMinimum, 4 * r.error);
}

INSTANTIATE_TEST_SUITE_P(Seeds, FourierNoisyDip,
                         ::testing::Values(NoiseCase{"Seed1", 1}, NoiseCase{"Seed2", 2},
                                           NoiseCase{"Seed3", 3}, NoiseCase{"Seed4", 4},
                                           NoiseCase{"Seed5", 5}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace umbrix
