// accuracy_bench: how closely each timing method finds a known time of minimum, and whether
// the errors it reports describe its real scatter.
//
// Every case is one kind of night: a synthetic eclipse on a flat baseline, sampled evenly,
// with Gaussian noise. Each copy moves the true minimum by a uniform fraction of one sample
// spacing, so that the sampling grid meets the eclipse at every phase and grid effects average
// out. The six methods run on each copy exactly as the batch mode runs them, with ranges an
// observer would pick from the known shape. For each case and method one Markdown row gives
// the scatter of the timings against the Cramér-Rao bound of the points the method used, and
// how often the true minimum lies within one reported error.
//
//   accuracy_bench [--copies N] [--ranges auto|whole]
//     N noisy copies per case (default 2000); with --ranges auto the ranges are those the batch
//     mode chooses from the light curve itself, and nights it must refuse (one branch, no
//     eclipse) join the table; with --ranges whole every method times the whole night.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/accuracy/synthetic_night.h"
#include "timing/core/session/app_state.h"
#include "timing/core/methods/auto_ranges.h"
#include "timing/core/methods/method_common.h"

namespace umbrix::accuracy {
namespace {

constexpr double kSecondsPerDay = 86400.0;

struct Case {
    const char* name;
    Dip dip;
    double noise;     // sigma, magnitudes
    int points;
    double spacing;   // days
    double minimum;   // relative time of minimum before the per-copy shift (< one spacing)
    double start = NAN;   // when set: the night begins this long after the minimum (< 0)
    bool uneven = false;  // gaps drawn between 0.3 and 1.7 spacings
    double later = NAN;   // when set: the spacing after the minimum (longer exposures)
};

// About 200 points over a night twice as long as the eclipse; the sparse case keeps the night
// and leaves 2.5 points per 1/e half-width of the dip. The last four are nights as they come:
// a branch cut short (the night begins at 30 % of the depth), uneven sampling, a short eclipse
// with 20 points from contact to contact, and a night that begins late in the falling branch
// and samples the rising one half as densely, as after a change of exposure time.
const std::array<Case, 12> kCases{{
    {"1 Gaussian, noise 0.005", {DipKind::Gaussian, 0.03}, 0.005, 200, 0.0013, 0.5},
    {"2 Gaussian, noise 0.02", {DipKind::Gaussian, 0.03}, 0.02, 200, 0.0013, 0.5},
    {"3 cos^2, noise 0.005", {DipKind::CosSquared, 0.065}, 0.005, 200, 0.0013, 0.5},
    {"4 flat-bottomed, noise 0.005", {DipKind::FlatBottomed, 0.065}, 0.005, 200, 0.0013, 0.5},
    {"5 Gaussian, noise 0.0002", {DipKind::Gaussian, 0.03}, 0.0002, 200, 0.0013, 0.5},
    {"6 Gaussian, sparse", {DipKind::Gaussian, 0.03}, 0.005, 22, 0.012, 0.5},
    {"7 Gaussian, minimum at 0.1", {DipKind::Gaussian, 0.03}, 0.005, 200, 0.0013, 0.1},
    {"8 Gaussian, minimum at 0.9", {DipKind::Gaussian, 0.03}, 0.005, 200, 0.0013, 0.9},
    {"9 Gaussian, first branch cut short", {DipKind::Gaussian, 0.03}, 0.005, 120, 0.0013, 0.5,
     -0.033},
    {"10 Gaussian, uneven sampling", {DipKind::Gaussian, 0.03}, 0.005, 200, 0.0013, 0.5, NAN,
     true},
    {"13 short eclipse, sparse", {DipKind::Gaussian, 0.01}, 0.005, 60, 0.00215, 0.5},
    {"14 late start, rising branch sparser", {DipKind::Gaussian, 0.03}, 0.005, 140, 0.0013,
     0.5, -0.06, false, 0.0026},
}};

// Nights only --ranges auto is asked to handle, which it must refuse: one branch only, no
// eclipse.
const std::array<Case, 2> kAutoCases{{
    {"11 one branch only", {DipKind::Gaussian, 0.03}, 0.005, 150, 0.0013, 0.5, -0.2},
    {"12 no eclipse", {DipKind::Gaussian, 0.03, 0.0}, 0.005, 200, 0.0013, 0.5},
}};

// Working-point indices of the ranges, as a careful observer picks them from the known shape.
struct Picks {
    const AutoRanges* chosen = nullptr;  // --ranges auto
    int parabolaFirst = 0, parabolaLast = 0;  // deeper than half the depth, at least 5 points
    int leftFirst = 0, leftLast = 0;          // chords: 20 % .. 80 % of the depth, each branch
    int rightFirst = 0, rightLast = 0;
    int contactFirst = 0, contactLast = 0;    // first to last contact, as many points each side
};

Picks PickRanges(const DataSet& ds, const Dip& dip, double minimum) {
    const int n = ds.PointCount;
    const auto share = [&](int i) { return dip.Share(ds.Time[i] - minimum); };
    const auto from = [&](int i) { return std::abs(ds.Time[i] - minimum); };
    Picks p;
    int nearest = 1;
    for (int i = 2; i <= n; ++i)
        if (from(i) < from(nearest)) nearest = i;
    p.parabolaFirst = p.parabolaLast = nearest;
    while (p.parabolaFirst > 1 && share(p.parabolaFirst - 1) > 0.5) --p.parabolaFirst;
    while (p.parabolaLast < n && share(p.parabolaLast + 1) > 0.5) ++p.parabolaLast;
    // A sparse night has fewer than five such points: widen by the nearer neighbour.
    while (p.parabolaLast - p.parabolaFirst + 1 < 5) {
        const int& a = p.parabolaFirst;
        const int& z = p.parabolaLast;
        if (a > 1 && (z == n || from(a - 1) < from(z + 1)))
            --p.parabolaFirst;
        else
            ++p.parabolaLast;
    }
    for (int i = 1; i <= n; ++i) {
        if (share(i) < 0.2 || share(i) > 0.8) continue;
        int& first = ds.Time[i] < minimum ? p.leftFirst : p.rightFirst;
        int& last = ds.Time[i] < minimum ? p.leftLast : p.rightLast;
        if (first == 0) first = i;
        last = i;
    }
    int before = 0;  // the last point before the minimum
    while (before < n && ds.Time[before + 1] < minimum) ++before;
    int left = 0, right = 0;
    while (before - left >= 1 && from(before - left) < dip.HalfDuration()) ++left;
    while (before + 1 + right <= n && from(before + 1 + right) < dip.HalfDuration()) ++right;
    const int k = std::min(left, right);
    p.contactFirst = before - k + 1;
    p.contactLast = before + k;
    return p;
}

// ---- The six methods, called as the batch mode calls them ----------------------------------
// Each returns its row and appends the times of the points it timed from to `used`.

void UseRange(const DataSet& ds, int first, int last, std::vector<double>& used) {
    for (int i = std::max(first, 1); i <= std::min(last, ds.PointCount); ++i)
        used.push_back(ds.Time[i]);
}

// --ranges auto: the refusal the batch mode gives a method without a range, or nothing.
std::optional<RowResult> AutoRefusal(const Picks& p, const std::string& method) {
    if (!p.chosen) return std::nullopt;
    const std::string why = p.chosen->eclipse ? method : p.chosen->message;
    if (why.empty()) return std::nullopt;
    RowResult r;
    r.refuse(why);
    return r;
}

RowResult RunParabola(AppState& app, const Picks& p, std::vector<double>& used) {
    if (auto refused = AutoRefusal(p, p.chosen ? p.chosen->parabolaMessage : "")) return *refused;
    app.parabola.SetEnds(SetRangeEnds(app.parabola.Ends(), p.parabolaFirst, p.parabolaLast));
    UseRange(app.data, p.parabolaFirst, p.parabolaLast, used);
    return PressFitParabola(app.parabola, app.data);
}

RowResult RunTracing(AppState& app, const Picks& p, std::vector<double>& used) {
    if (auto refused = AutoRefusal(p, "")) return *refused;
    DataSet& ds = app.data;
    ResetTraceMag(app.tracing, ds);
    if (p.chosen) {  // folded where the branches coincide, as the batch mode does
        const FoldSymmetry fold = SymmetricFold(ds, p.chosen->centre);
        ds.GuessMinTime = fold.ok ? fold.centre : p.chosen->centre;
    }
    UpdateFoldPlotBounds(app.tracing, ds, ds.GuessMinTime);
    UseRange(ds, 1, ds.PointCount, used);
    return TraceResult(ds, ds.GuessMinTime);
}

RowResult RunChords(AppState& app, const Picks& p, std::vector<double>& used) {
    if (auto refused = AutoRefusal(p, p.chosen ? p.chosen->chordsMessage : "")) return *refused;
    SetChordsRanges(app.chords, p.leftFirst, p.leftLast, p.rightFirst, p.rightLast);
    UseRange(app.data, p.leftFirst, p.leftLast, used);
    UseRange(app.data, p.rightFirst, p.rightLast, used);
    return PressBisectChords(app.chords, app.data);
}

RowResult RunKvw(AppState& app, const Picks& p, std::vector<double>& used) {
    if (auto refused = AutoRefusal(p, p.chosen ? p.chosen->contactMessage : "")) return *refused;
    app.kvw.SetEnds(SetRangeEnds(app.kvw.Ends(), p.contactFirst, p.contactLast));
    UseRange(app.data, p.contactFirst, p.contactLast, used);
    return PressFitKwee(app.kvw, app.data, kKvwDefaultStepp, kKvwDefaultFrac);
}

RowResult RunFourier(AppState& app, const Picks& p, std::vector<double>& used) {
    if (auto refused = AutoRefusal(p, p.chosen ? p.chosen->contactMessage : "")) return *refused;
    if (p.chosen) {
        app.fourier.FourierParams[1] = p.chosen->centre;
        app.fourier.FourierParams[2] = p.chosen->level + p.chosen->depth;
    }
    app.fourier.SetEnds(SetRangeEnds(app.fourier.Ends(), p.contactFirst, p.contactLast));
    UseRange(app.data, p.contactFirst, p.contactLast, used);
    return FitFourier(app.fourier, app.data);
}

RowResult RunSliding(AppState& app, const Picks& p, std::vector<double>& used) {
    if (auto refused = AutoRefusal(p, p.chosen ? p.chosen->slidingMessage : "")) return *refused;
    SlidingRowResult r =
        p.chosen ? SlidingGo(app.sliding, app.data, {p.chosen->stretchFirst, p.chosen->stretchLast},
                             app.RangeFirst, app.RangeLast)
                 : SlidingGo(app.sliding, app.data, app.RangeFirst, app.RangeLast);
    for (int i = 1; i <= app.sliding.SlideCount; ++i) used.push_back(app.sliding.SlideTime[i]);
    return r;
}

struct Method {
    const char* name;
    RowResult (*run)(AppState&, const Picks&, std::vector<double>&);
};

constexpr std::array<Method, 6> kMethods{{
    {"parabola", RunParabola},
    {"tracing", RunTracing},
    {"chords", RunChords},
    {"kvw", RunKvw},
    {"fourier", RunFourier},
    {"sliding", RunSliding},
}};

// ---- What one case and method came to -------------------------------------------------------

struct Tally {
    std::map<std::string, int> refusals;  // message -> copies
    std::vector<double> miss;        // reported - true, days
    std::vector<double> error;       // the method's own error, days
    std::vector<double> calMiss;     // |reported - true| of the copies with a calibrated error
    std::vector<double> calibrated;  // their calibrated error, days
    double crSquares = 0;            // sum of the squared Cramér-Rao bounds, days^2

    int Refused() const {
        int n = 0;
        for (const auto& [message, count] : refusals) n += count;
        return n;
    }
};

// The Cramér-Rao bound on the time of minimum of a known shape with white noise sigma, from
// the points at these times: sigma / sqrt(sum (dm/dt)^2).
double CramerRao(const Dip& dip, double sigma, double minimum, const std::vector<double>& times) {
    double sum = 0;
    for (const double t : times) sum += dip.Slope(t - minimum) * dip.Slope(t - minimum);
    return sum > 0 ? sigma / std::sqrt(sum) : INFINITY;
}

double Median(std::vector<double> v) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    const std::size_t h = v.size() / 2;
    return v.size() % 2 ? v[h] : (v[h - 1] + v[h]) / 2;
}

// Share of the copies whose miss lies within `times` their error.
double Coverage(const std::vector<double>& miss, const std::vector<double>& error, double times = 1) {
    if (miss.empty()) return NAN;
    int in = 0;
    for (std::size_t i = 0; i < miss.size(); ++i) in += std::abs(miss[i]) <= times * error[i];
    return static_cast<double>(in) / static_cast<double>(miss.size());
}

// A refusal message with its numbers masked, so that refusals differing only in a time or a
// count are tallied together.
std::string Reason(const std::string& message) {
    std::string reason;
    for (const char ch : message) {
        const bool masking = !reason.empty() && reason.back() == '#';
        const bool digit = ch >= '0' && ch <= '9';
        if (!digit && !(ch == '.' && masking)) reason += ch;
        else if (!masking) reason += '#';
    }
    return reason;
}

std::vector<double> Scaled(std::vector<double> v, double by) {
    for (double& x : v) x *= by;
    return v;
}

// A number for the table, "-" when there is none.
std::string Cell(double v, const char* format) {
    if (!std::isfinite(v)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

void PrintRow(const Case& c, const Method& m, const Tally& t) {
    const double n = static_cast<double>(t.miss.size());
    double sum = 0, squares = 0;
    for (const double d : t.miss) sum += d, squares += d * d;
    const double bias = n > 0 ? sum / n : NAN;
    const double rms = n > 0 ? std::sqrt(squares / n) : NAN;
    const double cr = n > 0 ? std::sqrt(t.crSquares / n) : NAN;
    std::printf("| %s | %s | %d | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", c.name, m.name,
                t.Refused(), Cell(bias * kSecondsPerDay, "%.3f").c_str(),
                Cell(rms * kSecondsPerDay, "%.3f").c_str(),
                Cell(cr * kSecondsPerDay, "%.3f").c_str(), Cell(rms / cr, "%.2f").c_str(),
                Cell(Median(Scaled(t.calibrated, 1 / rms)), "%.2f").c_str(),
                Cell(Median(Scaled(t.error, 1 / rms)), "%.2f").c_str(),
                Cell(Coverage(t.calMiss, t.calibrated), "%.3f").c_str(),
                Cell(1 - Coverage(t.calMiss, t.calibrated, 3), "%.3f").c_str(),
                Cell(Coverage(t.miss, t.error), "%.3f").c_str());
}

// One night of case c with its minimum at `minimum`: the night is centred on the minimum
// where the day allows, and otherwise kept inside the day, as a load would number it.
DataSet Night(const Case& c, double minimum, Random& random) {
    const double span = (c.points - 1) * c.spacing;
    const double first = std::isnan(c.start) ? std::clamp(c.minimum - span / 2, 0.005, 0.995 - span)
                                             : minimum + c.start;
    std::vector<double> t, m;
    double time = first;
    for (int i = 0; i < c.points; ++i) {
        t.push_back(time);
        const double spacing = !std::isnan(c.later) && time > minimum ? c.later : c.spacing;
        time += c.uneven ? spacing * (0.3 + 1.4 * random.Uniform()) : spacing;
        const double dip = c.dip.depth * c.dip.Share(t.back() - minimum);
        m.push_back(kBaseMag + dip + c.noise * random.Normal());
    }
    return testing_support::WorkingSet(t, m);  // exact relative times, extremes as a load finds them
}

// Where the ranges come from: an observer's picks from the known shape, the batch mode's
// --ranges auto, or the whole night for every method (the batch mode's default).
enum class Ranges { Observer, Auto, Whole };

// Every method over the whole night: the parabola and the contact methods from the first
// point to the last, the chords over each branch from its end to the point nearest the
// minimum.
Picks WholeNight(const DataSet& ds, const Picks& observer) {
    const int n = ds.PointCount;
    const int bottom = observer.parabolaFirst + (observer.parabolaLast - observer.parabolaFirst) / 2;
    return {nullptr, 1, n, 1, bottom, bottom, n, 1, n};
}

int Run(int copies, Ranges ranges) {
    const bool autoRanges = ranges == Ranges::Auto;
    std::printf("| case | method | refused | bias (s) | RMS (s) | CR (s) | RMS/CR | med cal/RMS "
                "| med err/RMS | cover cal | beyond 3 cal | cover err |\n");
    std::printf("|---|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n");
    std::vector<std::string> notes;
    std::vector<Case> cases(kCases.begin(), kCases.end());
    if (autoRanges) cases.insert(cases.end(), kAutoCases.begin(), kAutoCases.end());
    for (std::size_t ci = 0; ci < cases.size(); ++ci) {
        const Case& c = cases[ci];
        Random random(1000 + ci);
        std::array<Tally, kMethods.size()> tallies;
        for (int copy = 0; copy < copies; ++copy) {
            const double minimum = c.minimum + random.Uniform() * c.spacing;
            // A fresh state per copy, as after File > Open: a load resets every method, which
            // also takes the Fourier start values from the faintest point.
            auto app = std::make_unique<AppState>();
            app->data = Night(c, minimum, random);
            ResetMethodStates(*app);
            app->RangeFirst = 1;
            app->RangeLast = app->data.PointCount;
            Picks picks = PickRanges(app->data, c.dip, minimum);
            if (ranges == Ranges::Whole) picks = WholeNight(app->data, picks);
            AutoRanges chosen;
            if (autoRanges) {
                chosen = ChooseRanges(app->data);
                picks = {&chosen,
                         chosen.parabolaFirst, chosen.parabolaLast,
                         chosen.leftFirst, chosen.leftLast, chosen.rightFirst, chosen.rightLast,
                         chosen.contactFirst, chosen.contactLast};
            }
            for (std::size_t mi = 0; mi < kMethods.size(); ++mi) {
                Tally& t = tallies[mi];
                std::vector<double> used;
                const RowResult r = kMethods[mi].run(*app, picks, used);
                if (!r.ok()) {
                    const bool ran = r.outcome != MethodOutcome::NotRun;
                    ++t.refusals[ran ? Reason(r.message) : "(not run)"];
                    continue;
                }
                const double miss = (r.time - app->data.DayOffset) - minimum;
                t.miss.push_back(miss);
                t.error.push_back(r.error);
                if (r.hasCalibrated) {
                    t.calMiss.push_back(miss);
                    t.calibrated.push_back(r.calibratedError);
                }
                const double cr = CramerRao(c.dip, c.noise, minimum, used);
                t.crSquares += cr * cr;
            }
        }
        for (std::size_t mi = 0; mi < kMethods.size(); ++mi) {
            PrintRow(c, kMethods[mi], tallies[mi]);
            for (const auto& [message, count] : tallies[mi].refusals)
                notes.push_back(std::string(c.name) + ", " + kMethods[mi].name + ": " +
                                std::to_string(count) + " x \"" + message + "\"");
        }
    }
    if (!notes.empty()) std::printf("\nRefusals:\n");
    for (const std::string& note : notes) std::printf("- %s\n", note.c_str());
    return 0;
}

}  // namespace
}  // namespace umbrix::accuracy

int main(int argc, char** argv) {
    int copies = 2000;
    umbrix::accuracy::Ranges ranges = umbrix::accuracy::Ranges::Observer;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--copies" && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
            copies = std::atoi(argv[++i]);
        } else if (a == "--ranges" && i + 1 < argc && std::string(argv[i + 1]) == "auto") {
            ranges = umbrix::accuracy::Ranges::Auto;
            ++i;
        } else if (a == "--ranges" && i + 1 < argc && std::string(argv[i + 1]) == "whole") {
            ranges = umbrix::accuracy::Ranges::Whole;
            ++i;
        } else {
            std::fprintf(stderr,
                         "usage: accuracy_bench [--copies N] [--ranges auto|whole]   (N > 0, default 2000)\n");
            return 2;
        }
    }
    std::string command = argv[0];
    for (int i = 1; i < argc; ++i) command += std::string(" ") + argv[i];
    std::printf("command: %s\ncopies per case: %d\n\n", command.c_str(), copies);
    return umbrix::accuracy::Run(copies, ranges);
}
