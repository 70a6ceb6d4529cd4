#include "timing/core/methods/fourier.h"

#include <algorithm>
#include <cmath>

#include "timing/core/data/format.h"
#include "timing/core/methods/noise.h"
#include "timing/core/methods/symmetry_check.h"

namespace umbrix {

const char* const kFourierSelectRangeFirst = "Select range first";
const char* const kFourierRangeEmpty =
    "The range holds no working points - select range again";
const char* const kFourierErrorUndefined =
    "Fourier fit failed: the error of the time of minimum is undefined";
const char* const kFourierNotFinite =
    "Fourier fit failed: the fitted parameters are not finite numbers";
const char* const kFourierStartNotFinite =
    "A start value is not a number - type it into its box and click 'Update'";

namespace {

// Start values of a fresh load for W and A1..A5 (box positions 3..8): a dip of about
// 0.7 magnitude over roughly a quarter of a day, a fair first guess for most eclipses.
constexpr std::array<double, 6> kStartShape{25.0, 0.2, 0.1, 0.05, 0.01, 0.005};
constexpr double kPointSigma = 0.01;       // magnitudes, every point
constexpr double kFirstLambda = -1;        // negative: the next fit initialises the engine
constexpr int kMaxIteratedSteps = 501;     // engine calls after the first one, at most
constexpr double kConvergedRatio = 0.9;    // an accepted step gaining under 10 % stops
constexpr int kBoxWidth = 8;               // boxes after a redraw or Undo
constexpr int kFittedBoxWidth = 9;         // boxes right after a fit
constexpr int kBoxDecimals = 5;
constexpr int kXoEngineIndex = 8;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

bool RangeInWorkingSet(const FourierState& s, const DataSet& ds) {
    return s.FourierStartIndex >= 1 && s.FourierStartIndex <= ds.PointCount &&
           s.FourierEndIndex >= 1 && s.FourierEndIndex <= ds.PointCount &&
           ds.PointCount <= kMaxPoints;
}

FitVector ReadBoxes(const FourierBoxTexts& texts, FitVector params) {
    for (int i = 1; i <= kFourierParamCount; ++i) params[U(i)] = LeadingNumber(texts[U(i - 1)]);
    return params;
}

// An engine failure, with what the user can do about it after the engine's own words.
std::string EngineMessage(FitStatus status) {
    std::string message = FitStatusMessage(status);
    if (status == FitStatus::SingularMatrix1 || status == FitStatus::SingularMatrix2)
        message += " - the fit cannot tell its parameters apart on these points. Pick a wider "
                   "range around the eclipse, or type start values nearer it (the time of "
                   "minimum, its magnitude and the width W) and click 'Update'.";
    return message;
}

FourierRowResult Refuse(FourierState& s, const std::string& message) {
    // The engine's remembered values belong to the failed attempt: start the next one afresh.
    s.FitLambda = kFirstLambda;
    s.FitParams = s.StartParams;
    FourierRowResult r;
    r.refuse(message);
    return r;
}

}  // namespace

void FourierModel(double x, const FitVector& a, int p, double& y, FitVector& dyda) {
    (void)p;  // always the eight parameters of the series
    const double xo = a[8];
    const double w = a[7];
    const double theta = w * (x - xo);
    y = a[6];
    double s = 0;  // sum of i A_i sin(i theta), shared by the W and Xo derivatives
    // Each harmonic from the library's cosine and sine of i theta (not by recurrence), in
    // this order, so that every fit reproduces to the last digit.
    for (int i = 1; i <= 5; ++i) {
        const double angle = i * theta;
        const double term = std::cos(angle) - 1;
        dyda[U(i)] = term;
        y += a[U(i)] * term;
        s += std::sin(angle) * (a[U(i)] * i);
    }
    dyda[6] = 1;
    dyda[7] = -(x - xo) * s;
    dyda[8] = w * s;
}

FitVector BoxToEngineOrder(const FitVector& box) {
    FitVector e{};
    for (int i = 1; i <= 5; ++i) e[U(i)] = box[U(i + 3)];
    e[6] = box[2];
    e[7] = box[3];
    e[8] = box[1];
    return e;
}

FitVector EngineToBoxOrder(const FitVector& engine) {
    FitVector b{};
    for (int i = 1; i <= 5; ++i) b[U(i + 3)] = engine[U(i)];
    b[2] = engine[6];
    b[3] = engine[7];
    b[1] = engine[8];
    return b;
}

FourierBoxTexts FourierParamTexts(const FitVector& boxOrder, int width) {
    FourierBoxTexts t;
    for (int i = 1; i <= kFourierParamCount; ++i)
        if (std::isfinite(boxOrder[U(i)]))
            t[U(i - 1)] = FormatFixed(boxOrder[U(i)], width, kBoxDecimals);
    return t;
}

void SeedFourierStart(FourierState& s, const DataSet& ds) {
    const int faintest = (ds.MagMaxIndex >= 0 && ds.MagMaxIndex <= kMaxPoints) ? ds.MagMaxIndex : 0;
    s.FourierParams[1] = ds.Time[U(faintest)];
    s.FourierParams[2] = ds.Mag[U(faintest)];
    for (int i = 3; i <= kFourierParamCount; ++i) s.FourierParams[U(i)] = kStartShape[U(i - 3)];
    s.FitLambda = kFirstLambda;
    s.ParamsEdited = false;
    s.FourierFitted = false;
    s.ParamText = FourierParamTexts(s.FourierParams, kBoxWidth);
}

void ResetFourierState(FourierState& s, const DataSet& ds) {
    SeedFourierStart(s, ds);
    for (int i = 1; i <= ds.PointCount && i <= kMaxPoints; ++i) s.PointSigma[U(i)] = kPointSigma;
    s.FourierStartSet = false;
    s.FourierEndSet = false;
    s.FourierReady = false;
}

bool SampleFourierModel(FourierState& s, const DataSet& ds) {
    if (!RangeInWorkingSet(s, ds)) return false;
    const double t0 = ds.Time[U(s.FourierStartIndex)];
    const double step = (ds.Time[U(s.FourierEndIndex)] - t0) / kFourierSamples;
    const FitVector a = BoxToEngineOrder(s.FourierParams);
    FitVector unused{};
    for (int h = 0; h <= kFourierSamples; ++h) {
        s.ModelTime[U(h)] = t0 + h * step;
        FourierModel(s.ModelTime[U(h)], a, kFourierParamCount, s.ModelMag[U(h)], unused);
    }
    return true;
}

void ApplyFourierBoxTexts(FourierState& s, const DataSet& ds, const FourierBoxTexts& texts) {
    s.ParamsEdited = true;
    s.FourierParams = ReadBoxes(texts, s.FourierParams);
    // The window redraws after Update and writes the boxes back with five decimals; a later
    // fit re-reads them, so it starts from the values as shown.
    s.ParamText = FourierParamTexts(s.FourierParams, kBoxWidth);
    SampleFourierModel(s, ds);
}

std::string FourierUpdate(FourierState& s, const DataSet& ds, const FourierBoxTexts& texts) {
    if (!s.FourierReady) return kFourierSelectRangeFirst;
    ApplyFourierBoxTexts(s, ds, texts);
    return "";
}

void FourierUndo(FourierState& s) {
    s.FitParams = s.StartParams;
    s.FourierParams = EngineToBoxOrder(s.FitParams);
    s.ParamText = FourierParamTexts(s.FourierParams, kBoxWidth);
    s.FitLambda = kFirstLambda;
    s.FourierStartSet = false;
    s.FourierEndSet = false;
    s.FourierReady = false;
    s.FourierFitted = false;
}

bool XoErrorFromCovariance(const FitMatrix& covariance, double& error) {
    const double variance = covariance(kXoEngineIndex, kXoEngineIndex);
    if (!std::isfinite(variance) || variance < 0) return false;
    error = std::sqrt(variance);
    return true;
}

FourierRowResult FitFourier(FourierState& s, const DataSet& ds) {
    FourierRowResult result;
    if (!s.FourierReady) {
        result.refuse(kFourierSelectRangeFirst);
        return result;
    }
    if (s.FourierFitted) return result;
    // Indices kept from an earlier file, or ends picked the wrong way round, leave nothing
    // to fit: refuse before anything changes.
    if (!RangeInWorkingSet(s, ds) || s.FourierEndIndex < s.FourierStartIndex) {
        result.refuse(kFourierRangeEmpty);
        return result;
    }

    // With fewer than two points for each free parameter the fit follows the noise: three
    // points once gave a time "+/- 148.94523" days.
    const int n = s.FourierEndIndex - s.FourierStartIndex + 1;
    const int free = kFourierParamCount;  // every parameter is fitted (LISTA names all eight)
    if (n < 2 * free) {
        result.refuse("The Fourier fit has " + std::to_string(free) + " free parameters and "
                      "needs at least " + std::to_string(2 * free) + " points in the range; "
                      "this range holds " + std::to_string(n) + ". Pick a wider range.");
        return result;
    }

    if (const std::string why = TimeOrderProblem(ds, s.FourierStartIndex, s.FourierEndIndex); !why.empty()) {
        result.refuse(why);
        return result;
    }

    if (s.ParamsEdited) s.FourierParams = ReadBoxes(s.ParamText, s.FourierParams);
    // A box reads as a finite number (0 at worst), but a value the user never typed may not
    // be one; starting the engine from it could only end in a refusal with a vaguer reason.
    for (int i = 1; i <= kFourierParamCount; ++i)
        if (!std::isfinite(s.FourierParams[U(i)])) {
            result.refuse(kFourierStartNotFinite);
            return result;
        }
    s.FitParams = BoxToEngineOrder(s.FourierParams);
    s.StartParams = s.FitParams;

    for (int k = 1; k <= n; ++k) {
        s.FitX[U(k)] = ds.Time[U(s.FourierStartIndex + k - 1)];
        s.FitY[U(k)] = ds.Mag[U(s.FourierStartIndex + k - 1)];
    }
    const FitPoints points{s.FitX, s.FitY, s.PointSigma, n};
    const auto step = [&](double& chiSquare, double& lambda) {
        return MarquardtStep(points, s.FitParams, kFourierParamCount, s.LISTA,
                             kFourierParamCount, FourierModel, s.Covariance, s.Alpha, chiSquare,
                             lambda, s.Engine);
    };

    double chiSquare = 0;
    double lambda = s.FitLambda;
    FitStatus status = step(chiSquare, lambda);
    // A failing engine call ends the fit at once: its message is shown once and the
    // partly reduced matrices are never used for a result.
    if (status != FitStatus::Ok) return Refuse(s, EngineMessage(status));

    int iterations = 0;
    do {
        ++iterations;
        const double previous = chiSquare;
        status = step(chiSquare, lambda);
        if (status != FitStatus::Ok) return Refuse(s, EngineMessage(status));
        // A rejected step hands back the previous chi-square and never stops the loop.
        if (chiSquare < previous && chiSquare > kConvergedRatio * previous) break;
    } while (iterations < kMaxIteratedSteps);

    double finalLambda = 0;  // asks the engine for the covariance; FitLambda keeps lambda
    status = step(chiSquare, finalLambda);
    if (status != FitStatus::Ok) return Refuse(s, EngineMessage(status));

    for (int i = 1; i <= kFourierParamCount; ++i)
        if (!std::isfinite(s.FitParams[U(i)])) return Refuse(s, kFourierNotFinite);
    // Formal error of Xo for sigma 0.01 mag per point, not scaled by the residuals.
    double error = 0;
    if (!XoErrorFromCovariance(s.Covariance, error)) return Refuse(s, kFourierErrorUndefined);
    const double xo = s.FitParams[kXoEngineIndex];
    const double time = ds.DayOffset + xo;
    if (!std::isfinite(time)) return Refuse(s, kFourierNotFinite);
    // A converged fit is not yet a timing: the model's symmetry point must lie among the
    // fitted points, and be a minimum of light there. At theta = 0 the model's curvature is
    // -W^2 sum i^2 A_i, and the working magnitudes peak at minimum light. A flat-bottomed
    // eclipse can leave a shallow hump at Xo while Xo is still its centre, fainter than
    // either end of the range: only a hump no fainter than an end is a maximum of light.
    if (xo < std::min(s.FitX[1], s.FitX[U(n)]) || xo > std::max(s.FitX[1], s.FitX[U(n)]))
        return Refuse(s, "Fourier fit failed: its time of minimum (" + RowText(time) +
                             ") lies outside the picked range - pick a range around the "
                             "minimum, or type a time of minimum near it into the first box "
                             "and click 'Update'");
    double curvature = 0;
    for (int i = 1; i <= 5; ++i) curvature += i * i * s.FitParams[U(i)];
    FitVector slopes{};
    double first = 0, last = 0;
    FourierModel(s.FitX[1], s.FitParams, kFourierParamCount, first, slopes);
    FourierModel(s.FitX[U(n)], s.FitParams, kFourierParamCount, last, slopes);
    if (!(curvature > 0) && !(s.FitParams[6] > std::max(first, last)))
        return Refuse(s, "Fourier fit failed: the fitted curve has a maximum of light at " +
                             RowText(time) + ", not a minimum - type start values nearer the "
                             "eclipse (the time of minimum, its magnitude and the width W) "
                             "and click 'Update'");

    s.FitLambda = lambda;
    s.FourierFitted = true;
    s.FourierParams = EngineToBoxOrder(s.FitParams);
    SampleFourierModel(s, ds);
    s.ParamText = FourierParamTexts(s.FourierParams, kFittedBoxWidth);
    s.ParamsEdited = false;

    result.done(ds, xo, error);
    // The formal error assumes 0.01 mag per point; scaled to the noise the points actually
    // have it becomes the error that noise gives Xo. Two estimates of that noise can only be
    // inflated, each by its own kind of misfit: the scatter about the model (the reduced
    // chi-square) by a model too stiff for a long, well-sampled eclipse, whose symmetric
    // misfit leaves Xo where it is; the scatter about the neighbours' cubic by sampling too
    // sparse for the bottom's bend. The smaller is taken. The fit stops once a step gains
    // under ten per cent, which can be short of the best Xo: the Gauss-Newton step still open
    // there (covariance times gradient) is added as the distance left to go, and the points'
    // own symmetry bounds the rest of the misfit.
    if (n > kFourierParamCount) {
        double remaining = 0;
        for (int j = 1; j <= kFourierParamCount; ++j)
            remaining += s.Covariance(kXoEngineIndex, j) * s.Engine.beta[U(j)];
        double scale = std::sqrt(chiSquare / (n - kFourierParamCount));
        const double neighbours =
            NoiseFromNeighbours(ds.Time, ds.Mag, s.FourierStartIndex, s.FourierEndIndex);
        if (neighbours > 0) scale = std::min(scale, neighbours / kPointSigma);
        const SymmetryCheck check = WidenToSymmetry(ds, xo, std::hypot(error * scale, remaining));
        result.calibrate(check.error);
        result.warn(check.warning);
    }
    result.params = s.FourierParams;
    result.chiSquare = chiSquare;
    result.iterations = iterations;
    result.lambda = lambda;
    return result;
}

}  // namespace umbrix
