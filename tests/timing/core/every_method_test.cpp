// What the six methods share. The calibrated errors against the truth: on noisy copies of one
// eclipse with a known minimum each method's calibrated error must be about the scatter of its
// times about that minimum; a wrong divisor, a missing square root or a noise estimate off by a
// factor of two fails. And the one refusal of times that do not rise.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/timing/core/synthetic_eclipse.h"
#include "timing/core/session/app_state.h"

namespace umbrix {
namespace {

using testing_support::Eclipse;
using testing_support::EclipseShape;

// Working-point indices whose times lie within [from, to].
std::pair<int, int> Between(const DataSet& ds, double from, double to) {
    int first = 0, last = 0;
    for (int i = 1; i <= ds.PointCount; ++i)
        if (ds.Time[i] >= from && ds.Time[i] <= to) {
            if (first == 0) first = i;
            last = i;
        }
    return {first, last};
}

// Each method on a picked range as an observer would pick it on the 0.6 mag Gaussian dip of
// 0.03 day 1/e half-width: the parabola over the bottom (deeper than half the depth, +-0.025
// day), chords over the steep parts of both branches, Kwee and van Woerden and Fourier over the
// whole eclipse (+-0.06 day), tracing at its default fold, sliding integrations on its own.
using Run = std::function<RowResult(AppState&, double minimum)>;

struct MethodCase {
    const char* name;
    Run run;
};

const MethodCase kMethods[] = {
    {"parabola",
     [](AppState& app, double t0) -> RowResult {
         const auto [a, b] = Between(app.data, t0 - 0.024, t0 + 0.024);
         app.parabola.SetEnds(SetRangeEnds(app.parabola.Ends(), a, b));
         return PressFitParabola(app.parabola, app.data);
     }},
    {"tracing",
     [](AppState& app, double) -> RowResult {
         return TraceResult(app.data, app.data.GuessMinTime);
     }},
    {"chords",
     [](AppState& app, double t0) -> RowResult {
         const auto [a, b] = Between(app.data, t0 - 0.038, t0 - 0.014);
         const auto [c, d] = Between(app.data, t0 + 0.014, t0 + 0.038);
         SetChordsRanges(app.chords, a, b, c, d);
         return PressBisectChords(app.chords, app.data);
     }},
    {"kvw",
     [](AppState& app, double t0) -> RowResult {
         const auto [a, b] = Between(app.data, t0 - 0.06, t0 + 0.06);
         app.kvw.SetEnds(SetRangeEnds(app.kvw.Ends(), a, b));
         return PressFitKwee(app.kvw, app.data, kKvwDefaultStepp, kKvwDefaultFrac);
     }},
    {"fourier",
     [](AppState& app, double t0) -> RowResult {
         const auto [a, b] = Between(app.data, t0 - 0.06, t0 + 0.06);
         app.fourier.SetEnds(SetRangeEnds(app.fourier.Ends(), a, b));
         return FitFourier(app.fourier, app.data);
     }},
    {"sliding",
     [](AppState& app, double) -> RowResult {
         return SlidingGo(app.sliding, app.data, app.RangeFirst, app.RangeLast);
     }},
};

class CalibratedError : public ::testing::TestWithParam<MethodCase> {};

// 48 copies at 0.005 mag, the minimum moved by a different fraction of the 0.001-day spacing
// each time. The RMS of 48 misses is good to about 10 %, the median ratio to about 15 %: a
// band of 0.6..1.6 passes a sound estimate and fails one off by a factor of two either way.
TEST_P(CalibratedError, MedianIsAboutTheTrueScatter) {
    const MethodCase& method = GetParam();
    constexpr int kCopies = 48;
    std::vector<double> miss, calibrated;
    for (int copy = 0; copy < kCopies; ++copy) {
        EclipseShape e;
        e.noise = 0.005;
        e.seed = 100 + static_cast<std::uint64_t>(copy);
        e.minimum = 0.50 + 0.001 * (copy + 0.5) / kCopies;
        auto app = std::make_unique<AppState>();
        app->data = Eclipse(e);
        ResetMethodStates(*app);
        const RowResult r = method.run(*app, e.minimum);
        ASSERT_TRUE(r.ok()) << method.name << " copy " << copy << ": " << r.message;
        ASSERT_TRUE(r.hasCalibrated) << method.name << " copy " << copy;
        miss.push_back(r.time - testing_support::kDay - e.minimum);
        calibrated.push_back(r.calibratedError);
    }
    double squares = 0;
    for (const double m : miss) squares += m * m;
    const double rms = std::sqrt(squares / kCopies);
    std::nth_element(calibrated.begin(), calibrated.begin() + kCopies / 2, calibrated.end());
    const double ratio = calibrated[kCopies / 2] / rms;
    EXPECT_GT(ratio, 0.6) << method.name << ": RMS " << rms * 86400 << " s";
    EXPECT_LT(ratio, 1.6) << method.name << ": RMS " << rms * 86400 << " s";
}

// A point 0.004 day before the minimum repeats its neighbour's time (two frames stamped
// alike): inside every picked range, the points sliding integrations selects and those about
// the tracing fold. Every method refuses, naming the two points by their file lines. The
// same repeat at the night's start, outside every range and beyond the fold's reach, refuses
// none of them; sliding integrations use all 200 points of this night, so they still refuse.
TEST(EveryMethod, TimesThatDoNotIncreaseAreRefusedOnlyWhereTheyAreUsed) {
    for (const bool inside : {true, false}) {
        for (const MethodCase& method : kMethods) {
            EclipseShape e;
            auto app = std::make_unique<AppState>();
            app->data = Eclipse(e);
            DataSet& ds = app->data;
            for (int i = 1; i <= ds.ReadCount; ++i) ds.Source[i] = i, ds.RawLine[i] = i + 1;
            const int repeated = inside ? 97 : 2;  // 0.496 day, or the night's second point
            ds.Time[repeated] = ds.AllTime[repeated] = ds.Time[repeated - 1];
            ResetMethodStates(*app);
            const RowResult r = method.run(*app, e.minimum);
            if (!inside && std::string(method.name) != "sliding") {
                EXPECT_TRUE(r.ok()) << method.name << ": " << r.message;
                continue;
            }
            const std::string lines = inside ? "Line 98 repeats the time of line 97" : "Line 3 repeats the time of line 2";
            EXPECT_EQ(r.outcome, MethodOutcome::Refused) << method.name;
            EXPECT_EQ(r.message.rfind(lines + ", and this method would use both", 0), 0u)
                << method.name << ": " << r.message;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, CalibratedError, ::testing::ValuesIn(kMethods),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace umbrix
