#include "timing/core/methods/parabola.h"

#include <algorithm>
#include <cmath>

#include "timing/core/methods/symmetry_check.h"

namespace umbrix {

namespace {

ParabolaFit Refuse(const std::string& message) {
    ParabolaFit fit;
    fit.message = message;
    return fit;
}

// The scatter of the residuals that can move the vertex. An eclipse is not a parabola, and
// over a wide range the residuals hold its symmetric misfit, which leaves the vertex where it
// is; what moves it is what differs between mirror images. Each residual is compared with
// the residual interpolated at its mirror time about the vertex; with noise s on every point
// the difference has variance s^2 (1 + wa^2 + wb^2). Falls back to the residual RMS when
// fewer than three points have a mirror time inside the range. The times rise strictly.
double MirrorScatter(const DataSet& ds, int start, int end, const ParabolaFit& fit) {
    PointArray r{};
    for (int i = start; i <= end; ++i)
        r[i] = ds.Mag[i] - (fit.a0 + fit.a1 * ds.Time[i] + fit.a2 * ds.Time[i] * ds.Time[i]);
    double squares = 0, weights = 0;
    int used = 0;
    // Mirror times fall as i rises, so the point after each one only moves back.
    int b = end;
    for (int i = start; i <= end; ++i) {
        const double mirror = 2 * fit.tMin - ds.Time[i];
        while (b > start && ds.Time[b - 1] > mirror) --b;
        if (!(ds.Time[b] > mirror) || b == start) continue;  // outside the range's times
        const int a = b - 1;
        const double wb = (mirror - ds.Time[a]) / (ds.Time[b] - ds.Time[a]), wa = 1 - wb;
        const double d = r[i] - (wa * r[a] + wb * r[b]);
        squares += d * d;
        weights += 1 + wa * wa + wb * wb;
        ++used;
    }
    return used >= 3 ? std::sqrt(squares / weights) : fit.rms;
}

// The standard error of the vertex -A1/(2 A2): the coefficients' covariance, s^2 times the
// inverse normal matrix, carried to the vertex through its gradient, s from MirrorScatter.
// Times are centred on their mean first so that the inverse keeps its digits wherever in the
// day the range lies. 0 when the centred normal matrix is singular.
double VertexError(const DataSet& ds, int start, int end, const ParabolaFit& fit) {
    const int n = end - start + 1;
    double mean = 0;
    for (int i = start; i <= end; ++i) mean += ds.Time[i];
    mean /= n;
    double u2 = 0, u3 = 0, u4 = 0;
    for (int i = start; i <= end; ++i) {
        const double u = ds.Time[i] - mean, uu = u * u;
        u2 += uu;
        u3 += uu * u;
        u4 += uu * uu;
    }
    const double det = n * (u2 * u4 - u3 * u3) - u2 * u2 * u2;
    if (!(det > 0)) return 0;
    // Centred coefficients: B2 = A2 and B1 = -2 A2 (TMin - mean).
    const double b2 = fit.a2, b1 = -2 * fit.a2 * (fit.tMin - mean);
    const double g1 = -1 / (2 * b2), g2 = b1 / (2 * b2 * b2);
    const double v11 = n * u4 - u2 * u2, v12 = -n * u3, v22 = n * u2;
    const double scatter = MirrorScatter(ds, start, end, fit);
    const double variance = scatter * scatter * (g1 * g1 * v11 + 2 * g1 * g2 * v12 + g2 * g2 * v22) / det;
    return variance > 0 ? std::sqrt(variance) : 0;
}


ParabolaFit FitCoefficients(const DataSet& ds, int start, int end) {
    if (start < 1 || end > ds.PointCount)
        return Refuse("The range lies outside the working points.");
    if (end < start) return Refuse("The end of the range lies before its start.");
    const int n = end - start + 1;
    if (n < 4) return Refuse("A parabola needs at least four points in the range.");
    if (const std::string why = TimeOrderProblem(ds, start, end); !why.empty()) return Refuse(why);

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
    // Magnitudes grow as the light fades (a sign change turns fluxes the same way), so a
    // vertex that is a minimum of the working values is a maximum of light.
    if (fit.a2 > 0)
        return Refuse("The fitted parabola opens the wrong way: its vertex is a maximum of "
                      "light. Pick a range around the bottom of the eclipse.");
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

}  // namespace

void ResetParabolaState(ParabolaState& s) {
    s.ParabStartSet = false;
    s.ParabEndSet = false;
    s.ParabReady = false;
    s.ParabFitted = false;
}

ParabolaFit FitParabola(const DataSet& ds, int start, int end) {
    ParabolaFit fit = FitCoefficients(ds, start, end);
    if (!fit.ok) return fit;
    // The mirror scatter answers for the noise; over a range wider than the eclipse's
    // parabolic bottom, the shape's misfit moves the vertex as well.
    fit.noiseError = VertexError(ds, start, end, fit);
    const SymmetryCheck check = WidenToSymmetry(ds, fit.tMin, fit.noiseError);
    fit.calibrated = check.error;
    fit.misfit = check.warning;
    fit.vertexOutside = fit.tMin < std::min(ds.Time[start], ds.Time[end]) ||
                        fit.tMin > std::max(ds.Time[start], ds.Time[end]);
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
    if (f.calibrated > 0) result.calibrate(f.calibrated);
    if (f.vertexOutside)
        result.warn("The vertex lies outside the picked points: the time of minimum is "
                    "extrapolated.");
    if (f.calibrated > 0) result.warn(f.misfit);
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
