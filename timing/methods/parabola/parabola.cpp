#include "timing/methods/parabola/parabola.h"

#include <cmath>

namespace umbrix {

namespace {

ParabolaFit Refuse(const char* message) {
    ParabolaFit fit;
    fit.message = message;
    return fit;
}

}  // namespace

void ResetParabolaState(ParabolaState& s) {
    s.ParabStartSet = false;
    s.ParabEndSet = false;
    s.ParabReady = false;
    s.ParabFitted = false;
}

ParabolaFit FitParabola(const DataSet& ds, int start, int end) {
    if (start < 1 || end > ds.PointCount)
        return Refuse("The range lies outside the working points.");
    if (end < start) return Refuse("The end of the range lies before its start.");
    const int n = end - start + 1;
    if (n < 4) return Refuse("A parabola needs at least four points in the range.");

    // Normal equations summed over the raw relative times: the range is a fraction of a day
    // near 0..1, so the powers up to t^4 keep ample precision without centring.
    double sx = 0, sx2 = 0, sx3 = 0, sx4 = 0, sy = 0, sxy = 0, sx2y = 0;
    for (int i = start; i <= end; ++i) {
        const double x = ds.Time[i], y = ds.Mag[i];
        const double x2 = x * x;
        sx += x;
        sx2 += x2;
        sx3 += x2 * x;
        sx4 += x2 * x2;
        sy += y;
        sxy += x * y;
        sx2y += x2 * y;
    }
    const double c1 = sx4 * sx2 - sx3 * sx3;
    const double c2 = sx4 * sx - sx3 * sx2;
    const double c3 = sx3 * sx - sx2 * sx2;
    const double c4 = n * sx4 - sx2 * sx2;
    const double c5 = n * sx3 - sx2 * sx;
    const double c6 = n * sx2 - sx * sx;
    const double d = n * c1 - sx * c2 + sx2 * c3;
    if (d == 0) return Refuse("The times of the range do not determine a parabola.");

    ParabolaFit fit;
    fit.n = n;
    fit.a0 = (sy * c1 - sxy * c2 + sx2y * c3) / d;
    fit.a1 = (-sy * c2 + sxy * c4 - sx2y * c5) / d;
    fit.a2 = (sy * c3 - sxy * c5 + sx2y * c6) / d;
    if (fit.a2 == 0) return Refuse("The fitted parabola is a straight line: no vertex.");
    if (fit.a1 == 0) return Refuse("The fitted A1 is zero: the error cannot be estimated.");
    fit.tMin = -fit.a1 / (2 * fit.a2);

    // Residuals, and the squared weights each point has in A1 and A2 (rows of the inverse
    // normal matrix), which give the coefficients' standard errors.
    double ssr = 0, q1 = 0, q2 = 0;
    for (int i = start; i <= end; ++i) {
        const double x = ds.Time[i], y = ds.Mag[i];
        const double r = y - (fit.a0 + fit.a1 * x + fit.a2 * x * x);
        const double w1 = -c2 + c4 * x - c5 * x * x;
        const double w2 = c3 - c5 * x + c6 * x * x;
        ssr += r * r;
        q1 += w1 * w1;
        q2 += w2 * w2;
    }
    fit.rms = std::sqrt(ssr / (n - 3));
    fit.sigmaA1 = fit.rms * std::sqrt(q1) / d;
    fit.sigmaA2 = fit.rms * std::sqrt(q2) / d;
    for (const double v : {fit.a0, fit.a1, fit.a2, fit.tMin, fit.rms, fit.sigmaA1, fit.sigmaA2})
        if (!std::isfinite(v)) return Refuse("The fit gave a value that is not a number.");
    fit.ok = true;
    return fit;
}

double ParabolaTimeError(const ParabolaFit& fit) {
    const double r2 = fit.sigmaA2 / fit.a2, r1 = fit.sigmaA1 / fit.a1;
    return std::fabs(fit.tMin * std::sqrt(r2 * r2 + r1 * r1) * fit.rms);
}

ParabolaRowResult PressFitParabola(ParabolaState& s, const DataSet& ds) {
    ParabolaRowResult result;
    if (!s.ParabReady || s.ParabStartIndex == 0 || s.ParabEndIndex == 0) return result;
    result.fit = FitParabola(ds, s.ParabStartIndex, s.ParabEndIndex);
    if (!result.fit.ok) {
        result.refuse(result.fit.message);
        return result;
    }
    const ParabolaFit& f = result.fit;
    const double error = ParabolaTimeError(f);
    if (!std::isfinite(error)) {
        result.refuse("The fit gave an error that is not a number.");
        return result;
    }
    s.ParabA0 = f.a0;
    s.ParabA1 = f.a1;
    s.ParabA2 = f.a2;
    s.ParabSigmaA1 = f.sigmaA1;
    s.ParabSigmaA2 = f.sigmaA2;
    s.ParabFitted = true;
    result.done(ds, f.tMin, error);
    result.rmsText = FormatFixed(f.rms, 8, 3);
    return result;
}

void UndoParabola(ParabolaState& s) { ResetParabolaState(s); }

void SampleParabola(ParabolaState& s, const DataSet& ds) {
    const double step = ds.TimeSpan / kParabolaSamples;
    for (int i = 0; i <= kParabolaSamples; ++i) {
        const double t = ds.TimeMin + step * i;
        s.ParabCurveTime[i] = t;
        s.ParabCurveMag[i] = (s.ParabA2 * t + s.ParabA1) * t + s.ParabA0;
    }
}

}  // namespace umbrix
