#pragma once
// Weighted non-linear least squares by Levenberg-Marquardt, one step per call.
//
// The caller owns the iteration, the stopping rule and the damping value lambda between
// calls; the engine keeps the chi-square, gradient and trial vector of the accepted
// parameters in a MarquardtState that the caller holds for the length of one fit.
//
// Every vector and matrix is indexed from 1, like the parameter lists of the model: index
// 0 is storage that is never read. Failures come back as a status with the text the user
// sees; nothing here throws or shows anything, and no index ever leaves its storage.

#include <array>
#include <cstddef>
#include <span>

namespace umbrix {

inline constexpr int kMaxFitParams = 8;     // storage of the parameter vector
inline constexpr int kMaxSolverSize = 100;  // largest system GaussJordan accepts

using FitVector = std::array<double, kMaxFitParams + 1>;
using ParamList = std::array<int, kMaxFitParams + 1>;

// Square matrix of kMaxFitParams + 1 rows and columns, stored in one block so that any
// element can be reached through a MatrixRef without leaving the array.
struct FitMatrix {
    static constexpr int kSide = kMaxFitParams + 1;
    std::array<double, kSide * kSide> cells{};
    double& operator()(int r, int c) { return cells[static_cast<std::size_t>(r * kSide + c)]; }
    double operator()(int r, int c) const {
        return cells[static_cast<std::size_t>(r * kSide + c)];
    }
};

// What went wrong in one engine call. The three named failures carry the texts below.
enum class FitStatus {
    Ok,
    ImproperPermutation,  // "Improper permutation in LISTA"
    SingularMatrix1,      // "Singular matrix 1": no usable pivot column was left
    SingularMatrix2,      // "Singular matrix 2": the chosen pivot is zero
    InvalidInput,         // sizes, indices or sigmas the method cannot use; nothing done
};

// The user-facing text of a status ("" for Ok).
const char* FitStatusMessage(FitStatus status);

// The model: for abscissa x and parameters a(1..p), writes the model value to y and the
// partial derivative dy/da(j) to dyda(j), j = 1..p.
using ModelFunction = void (*)(double x, const FitVector& a, int p, double& y, FitVector& dyda);

// Points of a fit: x(i), y(i), sigma(i) for i = 1..n. Element 0 of each span is not used,
// so each span must hold at least n + 1 elements. Every sigma(i) must be a positive number
// whose square is neither zero nor infinite (it is the weight's denominator).
struct FitPoints {
    std::span<const double> x;
    std::span<const double> y;
    std::span<const double> sigma;
    int n = 0;
};

// What persists inside the engine from the initialising call to the end of the fit.
struct MarquardtState {
    double acceptedChiSquare = 0;  // chi-square of the parameters the caller holds
    FitVector beta{};              // gradient at those parameters, fitted entries 1..f
    FitVector trial{};             // parameters being tried, 1..p
};

// A 1-based view of a dense matrix: element (r, c) is data[r * rowStride + c * colStride].
// rows and cols count stored rows and columns including the unused row and column 0.
// A vector is a one-column matrix with colStride 0.
struct MatrixRef {
    double* data = nullptr;
    int rows = 0;
    int cols = 0;
    int rowStride = 0;
    int colStride = 1;
    double& operator()(int r, int c) const { return data[r * rowStride + c * colStride]; }
};

MatrixRef Ref(FitMatrix& m);
MatrixRef Ref(FitVector& v);

// Solves M X = B in place by Gauss-Jordan elimination with full pivoting, for an n x n M
// and an n x k right-hand side B. On Ok, M holds its inverse and B the solution. On a
// singular matrix it stops at once and leaves M and B partly reduced.
//
// Pivot rule: among rows and columns not yet pivoted, the element of largest magnitude; on
// ties the last one met row by row wins, and a zero qualifies while nothing larger was
// seen. A zero pivot is SingularMatrix2. When no element qualifies at all (only possible
// when the remaining elements are not numbers) it is SingularMatrix1, a column that cannot
// be pivoted. n may be 1..kMaxSolverSize.
FitStatus GaussJordan(MatrixRef m, int n, MatrixRef b, int k);

// Fills the f x f curvature matrix alpha, the gradient beta (1..f) and chi-square for the
// parameters a(1..p), fitting the parameters lista(1..f).
FitStatus MarquardtCoefficients(const FitPoints& points, const FitVector& a, int p,
                                const ParamList& lista, int f, ModelFunction model,
                                FitMatrix& alpha, FitVector& beta, double& chiSquare);

// Spreads the f x f covariance of the fitted parameters (in lista order) over the p x p
// matrix in parameter order, with zero rows and columns for the fixed parameters.
FitStatus SortCovariance(FitMatrix& covar, int p, const ParamList& lista, int f);

// One Levenberg-Marquardt step.
//
// lambda < 0 starts a fit: completes lista(f+1..p) with the parameters not fitted, sets
// lambda to 0.001, takes the accepted chi-square, alpha and beta at a, then takes a step.
// lambda > 0 takes one step: the damped system is solved, the trial parameters judged by
// their chi-square. A chi-square no greater than the accepted one is taken: a, alpha and the
// state move to the trial, lambda shrinks tenfold. Otherwise lambda grows tenfold and
// chiSquare is set back to the accepted value, so the caller sees the chi-square of the
// parameters it still holds. lambda == 0 ends the fit: covar receives the covariance (the
// inverse of the undamped alpha, in parameter order); a, alpha and chiSquare stay.
//
// A singular system is reported in the status but, as the method has no way back, the step
// still completes with what the solver left, so the caller decides what to do with the fit.
// A lambda that is not a number is InvalidInput. ImproperPermutation and InvalidInput return
// before lambda, a, alpha or chiSquare change (the completion of lista may already have
// written some of its free entries).
FitStatus MarquardtStep(const FitPoints& points, FitVector& a, int p, ParamList& lista, int f,
                        ModelFunction model, FitMatrix& covar, FitMatrix& alpha,
                        double& chiSquare, double& lambda, MarquardtState& state);

}  // namespace umbrix
