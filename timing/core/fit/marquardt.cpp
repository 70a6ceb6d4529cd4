#include "timing/core/fit/marquardt.h"

#include <cmath>
#include <utility>

namespace umbrix {

const char* FitStatusMessage(FitStatus status) {
    switch (status) {
        case FitStatus::Ok: return "";
        case FitStatus::ImproperPermutation: return "Improper permutation in LISTA";
        case FitStatus::SingularMatrix1: return "Singular matrix 1";
        case FitStatus::SingularMatrix2: return "Singular matrix 2";
        case FitStatus::InvalidInput: return "The fit was given points or parameters it cannot use";
    }
    return "";
}

MatrixRef Ref(FitMatrix& m) {
    return {m.cells.data(), FitMatrix::kSide, FitMatrix::kSide, FitMatrix::kSide, 1};
}

MatrixRef Ref(FitVector& v) {
    // One column: every column index maps onto the same element of row r.
    return {v.data(), static_cast<int>(v.size()), 2, 1, 0};
}

namespace {

bool SizesUsable(int p, int f) { return p >= 1 && p <= kMaxFitParams && f >= 1 && f <= p; }

// lista(1..f) must name parameters 1..p, or the step would index outside a.
bool FittedListUsable(const ParamList& lista, int p, int f) {
    for (int j = 1; j <= f; ++j)
        if (lista[static_cast<std::size_t>(j)] < 1 || lista[static_cast<std::size_t>(j)] > p)
            return false;
    return true;
}

bool PointsUsable(const FitPoints& pts) {
    if (pts.n < 0) return false;
    const std::size_t need = static_cast<std::size_t>(pts.n) + 1;
    if (pts.x.size() < need || pts.y.size() < need || pts.sigma.size() < need) return false;
    for (int i = 1; i <= pts.n; ++i) {
        const double s = pts.sigma[static_cast<std::size_t>(i)];
        const double s2 = s * s;
        if (!(s2 > 0) || !std::isfinite(s2)) return false;  // also refuses NaN
    }
    return true;
}

// The accumulation itself, for inputs already checked.
void Accumulate(const FitPoints& pts, const FitVector& a, int p, const ParamList& lista, int f,
                ModelFunction model, FitMatrix& alpha, FitVector& beta, double& chiSquare) {
    for (int j = 1; j <= f; ++j) {
        for (int k = 1; k <= j; ++k) alpha(j, k) = 0;
        beta[static_cast<std::size_t>(j)] = 0;
    }
    chiSquare = 0;
    FitVector d{};
    for (int i = 1; i <= pts.n; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        double ymod = 0;
        model(pts.x[ui], a, p, ymod, d);
        const double weight = 1.0 / (pts.sigma[ui] * pts.sigma[ui]);
        const double residual = pts.y[ui] - ymod;
        // The derivatives in fitted order, gathered once per point for the inner loops.
        FitVector fitted{};
        for (int j = 1; j <= f; ++j)
            fitted[static_cast<std::size_t>(j)] =
                d[static_cast<std::size_t>(lista[static_cast<std::size_t>(j)])];
        for (int j = 1; j <= f; ++j) {
            const double g = fitted[static_cast<std::size_t>(j)] * weight;
            for (int k = 1; k <= j; ++k) alpha(j, k) += g * fitted[static_cast<std::size_t>(k)];
            beta[static_cast<std::size_t>(j)] += residual * g;
        }
        chiSquare += residual * residual * weight;
    }
    for (int j = 2; j <= f; ++j)
        for (int k = 1; k < j; ++k) alpha(k, j) = alpha(j, k);
}

void Spread(FitMatrix& c, int p, const ParamList& lista, int f) {
    const auto L = [&lista](int j) { return lista[static_cast<std::size_t>(j)]; };
    for (int j = 1; j < p; ++j)
        for (int i = j + 1; i <= p; ++i) c(i, j) = 0;
    for (int i = 1; i < f; ++i)
        for (int j = i + 1; j <= f; ++j) {
            if (L(j) > L(i))
                c(L(j), L(i)) = c(i, j);
            else
                c(L(i), L(j)) = c(i, j);
        }
    // Row 1 parks the fitted variances while the diagonal is cleared and refilled.
    const double first = c(1, 1);
    for (int j = 1; j <= p; ++j) {
        c(1, j) = c(j, j);
        c(j, j) = 0;
    }
    c(L(1), L(1)) = first;
    for (int j = 2; j <= f; ++j) c(L(j), L(j)) = c(1, j);
    for (int j = 2; j <= p; ++j)
        for (int i = 1; i < j; ++i) c(i, j) = c(j, i);
}

}  // namespace

FitStatus GaussJordan(MatrixRef m, int n, MatrixRef b, int k) {
    if (m.data == nullptr || b.data == nullptr || n < 1 || n > kMaxSolverSize || k < 0 ||
        m.rows < n + 1 || m.cols < n + 1 || b.rows < n + 1 || (k > 0 && b.cols < k + 1))
        return FitStatus::InvalidInput;

    // Per column: how often it has been pivoted; per stage: the pivot's row and column.
    std::array<int, kMaxSolverSize + 1> used{};
    std::array<int, kMaxSolverSize + 1> pivotRow{};
    std::array<int, kMaxSolverSize + 1> pivotCol{};

    for (int stage = 1; stage <= n; ++stage) {
        double big = 0;
        int row = 0;
        int col = 0;
        for (int j = 1; j <= n; ++j) {
            if (used[static_cast<std::size_t>(j)] == 1) continue;
            for (int c = 1; c <= n; ++c) {
                const int count = used[static_cast<std::size_t>(c)];
                if (count == 0) {
                    // ">=": among equal magnitudes the last one wins, and a zero is taken
                    // while nothing larger has been seen.
                    if (std::fabs(m(j, c)) >= big) {
                        big = std::fabs(m(j, c));
                        row = j;
                        col = c;
                    }
                } else if (count > 1) {
                    return FitStatus::SingularMatrix1;
                }
            }
        }
        // Nothing compared (the remaining elements are not numbers): no column can be
        // pivoted at this stage.
        if (col == 0) return FitStatus::SingularMatrix1;
        ++used[static_cast<std::size_t>(col)];

        if (row != col) {
            for (int c = 1; c <= n; ++c) std::swap(m(row, c), m(col, c));
            for (int c = 1; c <= k; ++c) std::swap(b(row, c), b(col, c));
        }
        pivotRow[static_cast<std::size_t>(stage)] = row;
        pivotCol[static_cast<std::size_t>(stage)] = col;
        if (m(col, col) == 0) return FitStatus::SingularMatrix2;

        // The pivot's own place receives the inverse element as the row is scaled.
        const double q = 1.0 / m(col, col);
        m(col, col) = 1;
        for (int c = 1; c <= n; ++c) m(col, c) *= q;
        for (int c = 1; c <= k; ++c) b(col, c) *= q;

        for (int l = 1; l <= n; ++l) {
            if (l == col) continue;
            const double t = m(l, col);
            m(l, col) = 0;
            for (int c = 1; c <= n; ++c) m(l, c) -= t * m(col, c);
            for (int c = 1; c <= k; ++c) b(l, c) -= t * b(col, c);
        }
    }

    // The row swaps permuted the inverse's columns; undo them in reverse order.
    for (int stage = n; stage >= 1; --stage) {
        const int r = pivotRow[static_cast<std::size_t>(stage)];
        const int c = pivotCol[static_cast<std::size_t>(stage)];
        if (r != c)
            for (int i = 1; i <= n; ++i) std::swap(m(i, r), m(i, c));
    }
    return FitStatus::Ok;
}

FitStatus MarquardtCoefficients(const FitPoints& points, const FitVector& a, int p,
                                const ParamList& lista, int f, ModelFunction model,
                                FitMatrix& alpha, FitVector& beta, double& chiSquare) {
    if (model == nullptr || !SizesUsable(p, f) || !FittedListUsable(lista, p, f) ||
        !PointsUsable(points))
        return FitStatus::InvalidInput;
    Accumulate(points, a, p, lista, f, model, alpha, beta, chiSquare);
    return FitStatus::Ok;
}

FitStatus SortCovariance(FitMatrix& covar, int p, const ParamList& lista, int f) {
    if (!SizesUsable(p, f) || !FittedListUsable(lista, p, f)) return FitStatus::InvalidInput;
    Spread(covar, p, lista, f);
    return FitStatus::Ok;
}

FitStatus MarquardtStep(const FitPoints& points, FitVector& a, int p, ParamList& lista, int f,
                        ModelFunction model, FitMatrix& covar, FitMatrix& alpha,
                        double& chiSquare, double& lambda, MarquardtState& state) {
    if (model == nullptr || std::isnan(lambda) || !SizesUsable(p, f) || !PointsUsable(points))
        return FitStatus::InvalidInput;
    const auto at = [](auto& v, int j) -> auto& { return v[static_cast<std::size_t>(j)]; };

    if (lambda < 0) {
        // Complete lista: the parameters not among the fitted ones follow them in order.
        int write = f + 1;
        for (int j = 1; j <= p; ++j) {
            int count = 0;
            for (int k = 1; k <= f; ++k)
                if (at(lista, k) == j) ++count;
            if (count > 1) return FitStatus::ImproperPermutation;
            if (count == 0) {
                if (write > p) return FitStatus::ImproperPermutation;
                at(lista, write++) = j;
            }
        }
        if (write != p + 1) return FitStatus::ImproperPermutation;
        lambda = 0.001;
        Accumulate(points, a, p, lista, f, model, alpha, state.beta, chiSquare);
        state.acceptedChiSquare = chiSquare;
        for (int j = 1; j <= p; ++j) at(state.trial, j) = at(a, j);
    } else if (!FittedListUsable(lista, p, f)) {
        return FitStatus::InvalidInput;
    }

    // The damped system: alpha with its diagonal raised by the factor 1 + lambda.
    FitVector delta{};
    for (int j = 1; j <= f; ++j) {
        for (int k = 1; k <= f; ++k) covar(j, k) = alpha(j, k);
        covar(j, j) = alpha(j, j) * (1 + lambda);
        at(delta, j) = at(state.beta, j);
    }
    const FitStatus solved = GaussJordan(Ref(covar), f, Ref(delta), 1);

    if (lambda == 0) {
        Spread(covar, p, lista, f);
        return solved;
    }

    for (int j = 1; j <= f; ++j) {
        const int param = at(lista, j);
        at(state.trial, param) = at(a, param) + at(delta, j);
    }
    // The trial's curvature and gradient go to covar and delta, to be kept if it wins.
    Accumulate(points, state.trial, p, lista, f, model, covar, delta, chiSquare);

    if (chiSquare <= state.acceptedChiSquare) {
        lambda *= 0.1;
        state.acceptedChiSquare = chiSquare;
        for (int j = 1; j <= f; ++j) {
            for (int k = 1; k <= f; ++k) alpha(j, k) = covar(j, k);
            at(state.beta, j) = at(delta, j);
            const int param = at(lista, j);
            at(a, param) = at(state.trial, param);
        }
    } else {
        lambda *= 10;
        chiSquare = state.acceptedChiSquare;
    }
    return solved;
}

}  // namespace umbrix
