#include "timing/core/fit/marquardt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace umbrix {
namespace {

// Models with known curvature, so that every number of a step can be worked out by hand.
void ConstantModel(double, const FitVector& a, int, double& y, FitVector& d) {
    y = a[1];
    d[1] = 1;
}

void QuadraticModel(double x, const FitVector& a, int, double& y, FitVector& d) {
    y = a[1] + a[2] * x + a[3] * x * x;
    d[1] = 1;
    d[2] = x;
    d[3] = x * x;
}

// Points with a storage element 0, as the engine expects.
struct Points {
    std::vector<double> x{0}, y{0}, sigma{0};
    void Add(double xi, double yi, double si) {
        x.push_back(xi);
        y.push_back(yi);
        sigma.push_back(si);
    }
    FitPoints View() const { return {x, y, sigma, static_cast<int>(x.size()) - 1}; }
};

// y = 1 + 2x - 0.5x^2 with small alternating offsets, so the best fit is not exact.
Points QuadraticPoints() {
    Points p;
    for (int i = 0; i < 9; ++i) {
        const double x = i - 4.0;
        p.Add(x, 1 + 2 * x - 0.5 * x * x + (i % 2 ? 0.01 : -0.01), 0.1 + 0.01 * i);
    }
    return p;
}

FitMatrix Matrix(std::initializer_list<std::initializer_list<double>> rows) {
    FitMatrix m;
    int r = 1;
    for (const auto& row : rows) {
        int c = 1;
        for (const double v : row) m(r, c++) = v;
        ++r;
    }
    return m;
}

// ---- Gauss-Jordan --------------------------------------------------------------------

TEST(GaussJordan, InvertsAndSolvesWhenPivotsNeedRowSwaps) {
    // A zero in the first diagonal place forces a row swap and a column unscramble.
    FitMatrix m = Matrix({{0, 2, 1}, {1, 1, 0}, {3, 0, 1}});
    const FitMatrix original = m;
    FitVector b{0, 5, 3, 4};  // the solution is (1, 2, 1)
    ASSERT_EQ(GaussJordan(Ref(m), 3, Ref(b), 1), FitStatus::Ok);
    EXPECT_NEAR(b[1], 1, 1e-14);
    EXPECT_NEAR(b[2], 2, 1e-14);
    EXPECT_NEAR(b[3], 1, 1e-14);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            double sum = 0;
            for (int k = 1; k <= 3; ++k) sum += original(i, k) * m(k, j);
            EXPECT_NEAR(sum, i == j ? 1 : 0, 1e-14) << i << "," << j;
        }
}

TEST(GaussJordan, SolvesTheLargestSystemItAccepts) {
    constexpr int n = kMaxSolverSize;
    constexpr int side = n + 1;
    std::vector<double> m(side * side, 0), b(side * 2, 0), original;
    // Diagonally dominant, with every element non-zero, so all pivoting paths run.
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            m[static_cast<std::size_t>(i * side + j)] = i == j ? 2.0 * n : std::sin(i * 7.0 + j);
    for (int i = 1; i <= n; ++i) b[static_cast<std::size_t>(i * 2 + 1)] = i;
    original = m;
    const std::vector<double> rhs = b;
    ASSERT_EQ(GaussJordan({m.data(), side, side, side, 1}, n, {b.data(), side, 2, 2, 1}, 1),
              FitStatus::Ok);
    for (int i = 1; i <= n; ++i) {
        double sum = 0;
        for (int k = 1; k <= n; ++k)
            sum += original[static_cast<std::size_t>(i * side + k)] *
                   b[static_cast<std::size_t>(k * 2 + 1)];
        EXPECT_NEAR(sum, rhs[static_cast<std::size_t>(i * 2 + 1)], 1e-10) << "row " << i;
    }
}

TEST(GaussJordan, AmongEqualMagnitudesTheLastInRowOrderIsThePivot) {
    // (1,1) and (1,2) tie at 2; taking (1,2) swaps rows 1 and 2 before scaling. The matrix
    // is singular, so the partly reduced state it leaves shows which pivot was taken; the
    // first-met choice would leave {{0.5, 1}, {-0.5, 0}} and B = {2, 1} instead.
    FitMatrix m = Matrix({{2, 2}, {1, 1}});
    FitVector b{0, 4, 3};
    EXPECT_EQ(GaussJordan(Ref(m), 2, Ref(b), 1), FitStatus::SingularMatrix2);
    EXPECT_EQ(m(1, 1), 0);
    EXPECT_EQ(m(1, 2), -0.5);
    EXPECT_EQ(m(2, 1), 1);
    EXPECT_EQ(m(2, 2), 0.5);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(b[2], 2);
}

TEST(GaussJordan, AllZeroMatrixTakesAZeroPivotAndReportsSingularMatrix2) {
    FitMatrix m{};
    FitVector b{0, 1, 2, 3};
    EXPECT_EQ(GaussJordan(Ref(m), 3, Ref(b), 1), FitStatus::SingularMatrix2);
    EXPECT_STREQ(FitStatusMessage(FitStatus::SingularMatrix2), "Singular matrix 2");
    // The last element (3,3) was chosen: no row was swapped.
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(b[3], 3);
}

TEST(GaussJordan, NoComparablePivotReportsSingularMatrix1) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    FitMatrix m = Matrix({{nan, nan}, {nan, nan}});
    FitVector b{0, 1, 1};
    EXPECT_EQ(GaussJordan(Ref(m), 2, Ref(b), 1), FitStatus::SingularMatrix1);
    EXPECT_STREQ(FitStatusMessage(FitStatus::SingularMatrix1), "Singular matrix 1");
}

TEST(GaussJordan, RefusesSizesOutsideItsStorage) {
    FitMatrix m{};
    FitVector b{};
    EXPECT_EQ(GaussJordan(Ref(m), 0, Ref(b), 1), FitStatus::InvalidInput);
    EXPECT_EQ(GaussJordan(Ref(m), kMaxFitParams + 1, Ref(b), 1), FitStatus::InvalidInput);
    EXPECT_EQ(GaussJordan(Ref(m), 2, Ref(b), 2), FitStatus::InvalidInput);  // b has one column
}

// ---- One step: acceptance and rejection ------------------------------------------------

// A step set up by hand: one point y = 0 (sigma 1), constant model, a = -0.5. With alpha
// 0.5, beta 1 and lambda 1 the damped system is 1 * delta = 1, so the trial is 0.5 with
// chi-square 0.25 (all exact in binary). The accepted chi-square decides the outcome.
struct AcceptanceCase {
    const char* name;
    double acceptedChiSquare;
    bool accepted;
};

class MarquardtAcceptance : public ::testing::TestWithParam<AcceptanceCase> {};

TEST_P(MarquardtAcceptance, TakesTrialOnlyWhenChiSquareDoesNotRise) {
    const AcceptanceCase& c = GetParam();
    Points pts;
    pts.Add(0, 0, 1);
    FitVector a{0, -0.5};
    ParamList lista{0, 1};
    FitMatrix alpha{}, covar{};
    alpha(1, 1) = 0.5;
    MarquardtState state;
    state.acceptedChiSquare = c.acceptedChiSquare;
    state.beta[1] = 1;
    double chi = -1;
    double lambda = 1;

    ASSERT_EQ(MarquardtStep(pts.View(), a, 1, lista, 1, ConstantModel, covar, alpha, chi, lambda,
                            state),
              FitStatus::Ok);
    EXPECT_EQ(state.trial[1], 0.5);
    if (c.accepted) {
        EXPECT_EQ(lambda, 0.1);
        EXPECT_EQ(a[1], 0.5);
        EXPECT_EQ(chi, 0.25);
        EXPECT_EQ(state.acceptedChiSquare, 0.25);
        EXPECT_EQ(alpha(1, 1), 1);       // curvature at the trial
        EXPECT_EQ(state.beta[1], -0.5);  // residual -0.5 times derivative 1
    } else {
        EXPECT_EQ(lambda, 10);
        EXPECT_EQ(a[1], -0.5);
        EXPECT_EQ(chi, c.acceptedChiSquare);  // the chi-square of the parameters still held
        EXPECT_EQ(state.acceptedChiSquare, c.acceptedChiSquare);
        EXPECT_EQ(alpha(1, 1), 0.5);
        EXPECT_EQ(state.beta[1], 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MarquardtAcceptance,
    ::testing::Values(AcceptanceCase{"EqualChiSquareIsAccepted", 0.25, true},
                      AcceptanceCase{"LowerChiSquareIsAccepted", 0.3, true},
                      AcceptanceCase{"HigherChiSquareIsRejected", 0.2, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- A whole fit on a linear model -----------------------------------------------------

// Weighted least squares of the quadratic, by the normal equations, for comparison.
void NormalEquations(const Points& p, FitVector& solution, FitMatrix& inverse) {
    FitMatrix m{};
    FitVector rhs{};
    for (std::size_t i = 1; i < p.x.size(); ++i) {
        const double w = 1 / (p.sigma[i] * p.sigma[i]);
        const double d[4] = {0, 1, p.x[i], p.x[i] * p.x[i]};
        for (int j = 1; j <= 3; ++j) {
            for (int k = 1; k <= 3; ++k) m(j, k) += d[j] * d[k] * w;
            rhs[static_cast<std::size_t>(j)] += d[j] * p.y[i] * w;
        }
    }
    ASSERT_EQ(GaussJordan(Ref(m), 3, Ref(rhs), 1), FitStatus::Ok);
    solution = rhs;
    inverse = m;
}

// A fit of the quadratic in progress: everything a caller of the engine holds.
struct QuadraticFit {
    Points pts = QuadraticPoints();
    FitVector a{0, 0, 0, 0};
    ParamList lista{0, 1, 2, 3};
    FitMatrix alpha{}, covar{};
    MarquardtState state;
    double chi = 0, lambda = -1;
    FitStatus Step(int f = 3) {
        return MarquardtStep(pts.View(), a, 3, lista, f, QuadraticModel, covar, alpha, chi,
                             lambda, state);
    }
};

TEST(MarquardtStep, InitialisingCallSetsLambdaAndTakesAFirstStep) {
    QuadraticFit fit;
    ASSERT_EQ(fit.Step(), FitStatus::Ok);
    // From a = 0 the slightly damped step of a linear model lands near the optimum and is
    // accepted, so lambda went 0.001 -> 0.0001 and chi-square fell by orders of magnitude.
    EXPECT_DOUBLE_EQ(fit.lambda, 0.0001);
    EXPECT_EQ(fit.state.acceptedChiSquare, fit.chi);
    FitMatrix atStart{};
    FitVector gradient{};
    double chiAtStart = 0;
    ASSERT_EQ(MarquardtCoefficients(fit.pts.View(), FitVector{0, 0, 0, 0}, 3, fit.lista, 3,
                                    QuadraticModel, atStart, gradient, chiAtStart),
              FitStatus::Ok);
    EXPECT_LT(fit.chi, 1e-3 * chiAtStart);
    // alpha now holds the curvature at the accepted parameters (constant for this model).
    EXPECT_EQ(fit.alpha.cells, atStart.cells);
}

TEST(MarquardtStep, FinalCallGivesCovarianceAndKeepsParametersAndChiSquare) {
    QuadraticFit fit;
    for (int i = 0; i < 6; ++i) ASSERT_EQ(fit.Step(), FitStatus::Ok);
    const QuadraticFit before = fit;
    fit.lambda = 0;
    ASSERT_EQ(fit.Step(), FitStatus::Ok);
    EXPECT_EQ(fit.a, before.a);
    EXPECT_EQ(fit.chi, before.chi);
    EXPECT_EQ(fit.alpha.cells, before.alpha.cells);
    EXPECT_EQ(fit.lambda, 0);
    EXPECT_EQ(fit.state.beta, before.state.beta);
    EXPECT_EQ(fit.state.acceptedChiSquare, before.state.acceptedChiSquare);

    FitVector best{};
    FitMatrix inverse{};
    NormalEquations(fit.pts, best, inverse);
    for (int j = 1; j <= 3; ++j) {
        // Six steps with lambda falling tenfold each time reach the linear optimum.
        EXPECT_NEAR(fit.a[static_cast<std::size_t>(j)], best[static_cast<std::size_t>(j)], 1e-9);
        for (int k = 1; k <= 3; ++k)
            EXPECT_NEAR(fit.covar(j, k), inverse(j, k), 1e-12 * std::fabs(inverse(1, 1)));
    }
}

// ---- LISTA -----------------------------------------------------------------------------

struct ListaCase {
    const char* name;
    int f;
    std::vector<int> given;     // lista(1..f)
    std::vector<int> expected;  // lista(1..3) afterwards; empty: refused
};

class ListaCompletion : public ::testing::TestWithParam<ListaCase> {};

TEST_P(ListaCompletion, CompletesPermutationsAndRefusesOthers) {
    const ListaCase& c = GetParam();
    const FitVector start{0, 1, 2, -0.5};
    QuadraticFit fit;
    fit.a = start;
    fit.lista = {};
    for (std::size_t j = 0; j < c.given.size(); ++j) fit.lista[j + 1] = c.given[j];
    fit.chi = 123;
    const FitStatus status = fit.Step(c.f);
    if (c.expected.empty()) {
        EXPECT_EQ(status, FitStatus::ImproperPermutation);
        EXPECT_STREQ(FitStatusMessage(status), "Improper permutation in LISTA");
        EXPECT_EQ(fit.lambda, -1);
        EXPECT_EQ(fit.chi, 123);
        EXPECT_EQ(fit.a, start);
        return;
    }
    ASSERT_EQ(status, FitStatus::Ok);
    for (std::size_t j = 0; j < 3; ++j) EXPECT_EQ(fit.lista[j + 1], c.expected[j]) << j + 1;
    // Parameters outside lista(1..f) are held.
    for (int j = c.f + 1; j <= 3; ++j) {
        const auto fixed = static_cast<std::size_t>(fit.lista[static_cast<std::size_t>(j)]);
        EXPECT_EQ(fit.a[fixed], start[fixed]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListaCompletion,
    ::testing::Values(ListaCase{"AllFittedInOrder", 3, {1, 2, 3}, {1, 2, 3}},
                      ListaCase{"OneFittedFixedOnesFollowInOrder", 1, {2}, {2, 1, 3}},
                      ListaCase{"TwoFittedOutOfOrder", 2, {3, 1}, {3, 1, 2}},
                      ListaCase{"RepeatedIndexIsRefused", 3, {1, 2, 2}, {}},
                      ListaCase{"IndexBeyondParametersIsRefused", 1, {4}, {}},
                      ListaCase{"ZeroIndexIsRefused", 2, {0, 1}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SortCovariance, SpreadsFittedBlockIntoParameterOrder) {
    // Fitted parameters 3 and 1 (in that order), parameter 2 fixed.
    FitMatrix c = Matrix({{4, 0.5, 9}, {0.5, 2, 9}, {9, 9, 9}});
    const ParamList lista{0, 3, 1, 2};
    ASSERT_EQ(SortCovariance(c, 3, lista, 2), FitStatus::Ok);
    const FitMatrix expected = Matrix({{2, 0, 0.5}, {0, 0, 0}, {0.5, 0, 4}});
    EXPECT_EQ(c.cells, expected.cells);
}

TEST(SortCovariance, IdentityListLeavesTheMatrix) {
    FitMatrix c = Matrix({{4, 0.5, 0.25}, {0.5, 2, 0.125}, {0.25, 0.125, 1}});
    const FitMatrix before = c;
    ASSERT_EQ(SortCovariance(c, 3, ParamList{0, 1, 2, 3}, 3), FitStatus::Ok);
    EXPECT_EQ(c.cells, before.cells);
}

TEST(MarquardtStep, RefusesPointsItCannotWeigh) {
    QuadraticFit fit;
    fit.pts.sigma[4] = 0;  // would divide by zero
    fit.chi = 7;
    EXPECT_EQ(fit.Step(), FitStatus::InvalidInput);
    EXPECT_EQ(fit.lambda, -1);
    EXPECT_EQ(fit.chi, 7);
    fit.pts.sigma[4] = 0.1;
    fit.pts.sigma.pop_back();  // one point fewer sigma than x and y
    EXPECT_EQ(fit.Step(), FitStatus::InvalidInput);
}

}  // namespace
}  // namespace umbrix
