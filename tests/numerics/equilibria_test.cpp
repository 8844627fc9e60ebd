// A system's Jacobian against the analytic one, eigenvalues against those
// worked out by hand, and equilibria found by Newton's method and named, on
// systems whose equilibria and eigenvalues are known in closed form.
#include "numerics/equilibria.h"
#include "numerics/jacobian.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

using Complex = std::complex<double>;

using pelorin::testing::oscillator;

// Lotka-Volterra with a = 2/3, b = 4/3, c = 1, d = 1: equilibria (0, 0) and
// (c/d, a/b) = (1, 0.5).
StateVector predatorPrey(double, const StateVector& y) {
    const double a = 2.0 / 3, b = 4.0 / 3, c = 1, d = 1;
    return {a * y[0] - b * y[0] * y[1], -c * y[1] + d * y[0] * y[1]};
}

// y'' = -y - 0.5·y' as a system.
StateVector dampedOscillator(double, const StateVector& y) { return {y[1], -y[0] - 0.5 * y[1]}; }

// Van der Pol with μ = 1.
StateVector vanDerPol(double, const StateVector& y) {
    return {y[1], (1 - y[0] * y[0]) * y[1] - y[0]};
}

// Linear systems A·(y - p) with p = (1, -2): eigenvalues of A by hand from
// its trace and determinant.
StateVector linearSaddle(double, const StateVector& y) {  // trace 3, det -4: 4 and -1
    return {(y[0] - 1) + 2 * (y[1] + 2), 3 * (y[0] - 1) + 2 * (y[1] + 2)};
}
StateVector linearSink(double, const StateVector& y) {  // trace -4, det 3: -3 and -1
    return {-2 * (y[0] - 1) + (y[1] + 2), (y[0] - 1) - 2 * (y[1] + 2)};
}
StateVector linearSource(double, const StateVector& y) {  // trace 4, det 3: 1 and 3
    return {2 * (y[0] - 1) + (y[1] + 2), (y[0] - 1) + 2 * (y[1] + 2)};
}

// Equilibrium (√2, √2); J = [[2√2, 0], [-1, 1]], eigenvalues 1 and 2√2.
StateVector squareRootTwo(double, const StateVector& y) { return {y[0] * y[0] - 2, y[1] - y[0]}; }

// J at (0, y2) is diag(0, 1).
StateVector squareAndLine(double, const StateVector& y) { return {y[0] * y[0], y[1]}; }

// Three components: y' = -y + (y2·y3, 0, 0), and one with a growing mode.
StateVector threeSettling(double, const StateVector& y) {
    return {-y[0] + y[1] * y[2], -2 * y[1], -y[2]};
}
StateVector threeOneGrowing(double, const StateVector& y) { return {-y[0], 0.5 * y[1], -y[2]}; }

// No zero: Newton steps by about -1 in each component, forever.
StateVector exponentials(double, const StateVector& y) { return {std::exp(y[0]), std::exp(y[1])}; }
// From (1, 0) Newton's first step is about 3 long and lands on (-2, 0), outside log's domain.
StateVector logarithm(double, const StateVector& y) { return {std::log(y[0]) + 3, y[1]}; }

// Analytic Jacobian of F(y) = (sin(y1)·y2, e^y1 - y2³, y1·y2·y3).
StateVector nonlinear(double, const StateVector& y) {
    return {std::sin(y[0]) * y[1], std::exp(y[0]) - y[1] * y[1] * y[1], y[0] * y[1] * y[2]};
}
SquareMatrix nonlinearJacobian(const StateVector& y) {
    return {{std::cos(y[0]) * y[1], std::sin(y[0]), 0},
            {std::exp(y[0]), -3 * y[1] * y[1], 0},
            {y[1] * y[2], y[0] * y[2], y[0] * y[1]}};
}

}  // namespace

// Every entry lies within its stated tolerance of the analytic derivative,
// and that tolerance is of the size the header promises, about
// ε^(2/3) ≈ 4E-11 times |J_ij| + |F_i|/max(1, |y_j|) for rounding and
// times max(1, |y_j|)² for truncation, not so wide that it says nothing.
// Linear F too, at points where the shifts round.
TEST(Jacobian, EntriesWithinTheirToleranceOfTheAnalyticOnes) {
    const struct {
        std::string_view name;
        SlopeOf<StateVector> F;
        StateVector y;
        SquareMatrix exact;
    } rows[] = {
        {"oscillator at the origin", oscillator, {0, 0}, {{0, 1}, {-1, 0}}},
        {"oscillator off the origin", oscillator, {0.3, -0.7}, {{0, 1}, {-1, 0}}},
        {"predator-prey at (0, 0)", predatorPrey, {0, 0}, {{2.0 / 3, 0}, {0, -1}}},
        // [[a - b·y2, -b·y1], [d·y2, -c + d·y1]] at (1, 0.5).
        {"predator-prey at (1, 0.5)", predatorPrey, {1, 0.5}, {{0, -4.0 / 3}, {0.5, 0}}},
        {"Van der Pol at (2, -3)", vanDerPol, {2, -3}, {{0, 1}, {-1 - 2 * 2 * -3, 1 - 4}}},
        {"nonlinear at (0.7, -1.3, 2.5)",
         nonlinear,
         {0.7, -1.3, 2.5},
         nonlinearJacobian({0.7, -1.3, 2.5})},
        {"nonlinear at (-20, 30, 0.1)",
         nonlinear,
         {-20, 30, 0.1},
         nonlinearJacobian({-20, 30, 0.1})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name));
        const Jacobian j = jacobian(row.F, 0, row.y);
        const StateVector value = row.F(0, row.y);
        ASSERT_EQ(j.value.size(), row.y.size());
        for (std::size_t i = 0; i < row.y.size(); ++i) {
            for (std::size_t k = 0; k < row.y.size(); ++k) {
                SCOPED_TRACE("entry " + std::to_string(i) + ", " + std::to_string(k));
                const double size = 1 + std::fabs(row.exact(i, k)) +
                                    std::fabs(value[i]) / std::max(1.0, std::fabs(row.y[k]));
                EXPECT_LE(std::fabs(j.value(i, k) - row.exact(i, k)), j.tolerance(i, k));
                const double shift = std::max(1.0, std::fabs(row.y[k]));
                EXPECT_LE(j.tolerance(i, k), 1e-9 * size * shift * shift);
            }
        }
    }
}

TEST(Jacobian, SlopeWithTheWrongNumberOfComponentsIsRefused) {
    const auto short_ = [](double, const StateVector& y) { return StateVector{y[0]}; };
    EXPECT_THROW(jacobian(short_, 0, {1, 2}), std::invalid_argument);
}

// Eigenvalues worked out by hand: a rotation ±i, triangular matrices their
// diagonals, 2×2 blocks (t ± √(t² - 4d))/2 from trace t and determinant d.
TEST(Eigenvalues, OrderedByRealThenImaginaryPart) {
    const double r3 = std::sqrt(3.0) / 2, r15 = std::sqrt(15.0) / 4;
    const struct {
        std::string_view name;
        SquareMatrix matrix;
        std::vector<Complex> expected;
    } rows[] = {
        {"rotation", {{0, 1}, {-1, 0}}, {{0, -1}, {0, 1}}},
        {"predator-prey at (0, 0)", {{2.0 / 3, 0}, {0, -1}}, {-1, 2.0 / 3}},
        {"predator-prey at (1, 0.5)", {{0, -4.0 / 3}, {0.5, 0}},
         {{0, -std::sqrt(2.0 / 3)}, {0, std::sqrt(2.0 / 3)}}},
        {"damped oscillator", {{0, 1}, {-1, -0.5}}, {{-0.25, -r15}, {-0.25, r15}}},
        {"Van der Pol at the origin", {{0, 1}, {-1, 1}}, {{0.5, -r3}, {0.5, r3}}},
        {"triangular", {{3, 7, -1}, {0, -2, 5}, {0, 0, 1}}, {-2, 1, 3}},
        // Blocks [[1, 2], [-2, 1]], [-5], [[0, 3], [-3, 0]], [4].
        {"six components",
         {{1, 2, 0, 0, 0, 0},
          {-2, 1, 0, 0, 0, 0},
          {0, 0, -5, 0, 0, 0},
          {0, 0, 0, 0, 3, 0},
          {0, 0, 0, -3, 0, 0},
          {0, 0, 0, 0, 0, 4}},
         {-5, {0, -3}, {0, 3}, {1, -2}, {1, 2}, 4}},
        {"one component", {{-0.25}}, {-0.25}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name));
        const std::vector<Complex> values = eigenvalues(row.matrix);
        ASSERT_EQ(values.size(), row.expected.size());
        for (std::size_t k = 0; k < values.size(); ++k) {
            EXPECT_NEAR(values[k].real(), row.expected[k].real(), 1e-13) << k;
            EXPECT_NEAR(values[k].imag(), row.expected[k].imag(), 1e-13) << k;
        }
    }
}

TEST(Eigenvalues, NoneForAMatrixThatIsNotFinite) {
    EXPECT_TRUE(eigenvalues({{1, NAN}, {0, 1}}).empty());
    EXPECT_TRUE(eigenvalues({{INFINITY, 0}, {0, 1}}).empty());
}

// h·J's eigenvalues are the z = hλ of each mode: h = 0.1 on the damped
// oscillator gives -0.025 ± 0.1·√15/4 i.
TEST(Eigenvalues, OfTheStepTimesTheJacobian) {
    const StepEigenvalues step = stepEigenvalues(dampedOscillator, 0, {0.4, -0.2}, 0.1);
    ASSERT_EQ(step.z.size(), 2u);
    const double im = 0.1 * std::sqrt(15.0) / 4;
    EXPECT_NEAR(step.z[0].real(), -0.025, 1e-12);
    EXPECT_NEAR(step.z[0].imag(), -im, 1e-12);
    EXPECT_NEAR(step.z[1].imag(), im, 1e-12);
    EXPECT_GT(step.tolerance, 0);
    EXPECT_LT(step.tolerance, 1e-9);
}

// The names, decided at the edges: a real part or an imaginary part within
// the tolerance counts as 0, and eigenvalues within the spread of each other
// as their mean.
TEST(Equilibria, KindsFromTheEigenvalues) {
    const double tolerance = 1e-9, spread = 1e-6;
    const struct {
        std::string_view name;
        std::vector<Complex> eigenvalues;
        std::string_view kind;
    } rows[] = {
        {"opposite signs", {-1, 2.0 / 3}, "saddle"},
        {"both negative", {-3, -1}, "sink"},
        {"both positive", {1, 3}, "source"},
        {"pair, negative real part", {{-0.25, -0.9}, {-0.25, 0.9}}, "spiral sink"},
        {"pair, positive real part", {{0.5, -0.8}, {0.5, 0.8}}, "spiral source"},
        {"pair on the imaginary axis", {{0, -1}, {0, 1}}, "centre"},
        {"pair within the tolerance of the axis", {{5e-10, -1}, {5e-10, 1}}, "centre"},
        {"pair just beyond it", {{2e-9, -1}, {2e-9, 1}}, "spiral source"},
        {"imaginary parts within the tolerance", {{-2, -5e-10}, {-2, 5e-10}}, "sink"},
        {"pair closer than the spread", {{-1, -4e-7}, {-1, 4e-7}}, "sink"},
        {"pair just beyond the spread", {{-1, -6e-7}, {-1, 6e-7}}, "spiral sink"},
        {"real pair closer than the spread about 0",
         {-3e-7, 3e-7},
         "degenerate: an eigenvalue is 0, the linearisation does not decide"},
        {"real pair just beyond it", {-6e-7, 6e-7}, "saddle"},
        {"a zero and a negative",
         {-1, 0},
         "degenerate: an eigenvalue is 0, the linearisation does not decide"},
        {"a zero within the tolerance and a positive",
         {-5e-10, 1},
         "degenerate: an eigenvalue is 0, the linearisation does not decide"},
        {"three negative real parts",
         {-2, {-1, -4}, {-1, 4}},
         "stable: every eigenvalue has a negative real part, so nearby paths settle into it"},
        {"three, one positive",
         {-2, -1, 1e-6},
         "unstable: an eigenvalue has a positive real part, so nearby paths leave it"},
        {"three, one positive and one zero",
         {-2, 0, 3},
         "unstable: an eigenvalue has a positive real part, so nearby paths leave it"},
        {"three, a pair on the axis",
         {-2, {0, -1}, {0, 1}},
         "undecided: an eigenvalue has real part 0 and none a positive one, so the linearisation "
         "does not decide"},
        {"three, a double 0 split within the spread",
         {-2, -3e-7, 3e-7},
         "undecided: an eigenvalue has real part 0 and none a positive one, so the linearisation "
         "does not decide"},
        {"one negative",
         {-0.5},
         "stable: every eigenvalue has a negative real part, so nearby paths settle into it"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name));
        EXPECT_EQ(equilibriumKindText(equilibriumKind(row.eigenvalues, tolerance, spread)),
                  row.kind);
    }
}

// Newton from a start near each known equilibrium finds it, and the
// eigenvalues of the Jacobian there name it.
TEST(Equilibria, FoundAndNamed) {
    const double r2 = std::sqrt(2.0);
    const struct {
        std::string_view name;
        SlopeOf<StateVector> F;
        StateVector start, point;
        std::vector<Complex> eigenvalues;
        std::string_view kind;
    } rows[] = {
        {"oscillator", oscillator, {0.3, -0.2}, {0, 0}, {{0, -1}, {0, 1}}, "centre"},
        {"predator-prey, the origin", predatorPrey, {0.1, 0.1}, {0, 0}, {-1, 2.0 / 3}, "saddle"},
        {"predator-prey, the coexistence point",
         predatorPrey,
         {0.9, 0.6},
         {1, 0.5},
         {{0, -std::sqrt(2.0 / 3)}, {0, std::sqrt(2.0 / 3)}},
         "centre"},
        {"damped oscillator",
         dampedOscillator,
         {0.5, -0.5},
         {0, 0},
         {{-0.25, -std::sqrt(15.0) / 4}, {-0.25, std::sqrt(15.0) / 4}},
         "spiral sink"},
        {"Van der Pol",
         vanDerPol,
         {0.2, 0.1},
         {0, 0},
         {{0.5, -std::sqrt(3.0) / 2}, {0.5, std::sqrt(3.0) / 2}},
         "spiral source"},
        {"linear saddle", linearSaddle, {0, 0}, {1, -2}, {-1, 4}, "saddle"},
        {"linear sink", linearSink, {0, 0}, {1, -2}, {-3, -1}, "sink"},
        {"linear source", linearSource, {0, 0}, {1, -2}, {1, 3}, "source"},
        {"x² = 2", squareRootTwo, {1, 1}, {r2, r2}, {1, 2 * r2}, "source"},
        {"singular at the start, which is the equilibrium",
         squareAndLine,
         {0, 0},
         {0, 0},
         {0, 1},
         "degenerate: an eigenvalue is 0, the linearisation does not decide"},
        {"three components, settling",
         threeSettling,
         {0.2, 0.1, -0.1},
         {0, 0, 0},
         {-2, -1, -1},
         "stable: every eigenvalue has a negative real part, so nearby paths settle into it"},
        {"three components, one growing",
         threeOneGrowing,
         {1, 1, 1},
         {0, 0, 0},
         {-1, -1, 0.5},
         "unstable: an eigenvalue has a positive real part, so nearby paths leave it"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name));
        const EquilibriumSearch search = findEquilibrium(row.F, row.start);
        ASSERT_TRUE(search.point) << search.note;
        ASSERT_EQ(search.point->size(), row.point.size());
        for (std::size_t i = 0; i < row.point.size(); ++i) {
            EXPECT_NEAR((*search.point)[i], row.point[i], 1e-12) << i;
        }
        EXPECT_LE(search.steps, 10);
        ASSERT_EQ(search.eigenvalues.size(), row.eigenvalues.size());
        for (std::size_t k = 0; k < row.eigenvalues.size(); ++k) {
            EXPECT_NEAR(search.eigenvalues[k].real(), row.eigenvalues[k].real(), 1e-8) << k;
            EXPECT_NEAR(search.eigenvalues[k].imag(), row.eigenvalues[k].imag(), 1e-8) << k;
        }
        EXPECT_EQ(equilibriumKindText(search.kind), row.kind);
    }
}

TEST(Equilibria, TheNoteSaysWhereNewtonSettled) {
    const EquilibriumSearch search = findEquilibrium(predatorPrey, {0.9, 0.6});
    ASSERT_TRUE(search.point);
    EXPECT_EQ(search.note, "Newton's method from (0.900, 0.600) settles at (1.000, 0.500) after " +
                               std::to_string(search.steps) + " Newton steps.");
    EXPECT_EQ(
        findEquilibrium(squareAndLine, {0, 0}).note,
        "Newton's method from (0.000, 0.000) settles at (0.000, 0.000) after 0 Newton steps.");
}

// Where Newton's method cannot answer, it says why in words and gives no
// point: numbers worked out by hand (e^y: each step is about -1; log from 1:
// 1 - (0 + 3)/1 = -2).
TEST(Equilibria, NoEquilibriumSaysWhy) {
    const struct {
        std::string_view name;
        SlopeOf<StateVector> F;
        StateVector start;
        std::string_view note;
    } rows[] = {
        {"singular Jacobian",
         squareAndLine,
         {0, 1},
         "The Jacobian is singular at (0.000, 1.000): Newton's method has no step from there; try "
         "another start."},
        {"no zero",
         exponentials,
         {0.5, 0.5},
         "Newton's method from (0.500, 0.500) does not settle within 50 Newton steps (it is at "
         "(-49.500, -49.500)): F may have no zero near the start; try another start."},
        {"F not finite after a step",
         logarithm,
         {1, 0},
         "F is not finite at (-2.000, 0.000), after 1 Newton step; try another start."},
        {"F not finite at the start",
         [](double, const StateVector& y) { return StateVector{1 / y[0], y[1]}; },
         {0, 1},
         "F is not finite at (0.000, 1.000), after 0 Newton steps; try another start."},
        {"Jacobian not finite",
         [](double, const StateVector& y) { return StateVector{std::sqrt(y[0]) - 1, y[1]}; },
         {0, 0},
         "The Jacobian is not finite at (0.000, 0.000), after 0 Newton steps; try another start."},
        {"Jacobian not finite at an equilibrium",
         [](double, const StateVector& y) { return StateVector{std::sqrt(y[0]), y[1]}; },
         {0, 0},
         "Newton's method from (0.000, 0.000) settles at (0.000, 0.000) after 0 Newton steps, but "
         "the Jacobian is not finite there, so no eigenvalues can name it."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name));
        const EquilibriumSearch search = findEquilibrium(row.F, row.start);
        EXPECT_FALSE(search.point);
        EXPECT_TRUE(search.eigenvalues.empty());
        EXPECT_EQ(search.note, row.note);
    }
}

// A repeated eigenvalue: the quotients' errors of about 1E-11 in J split it
// by their square root, about 3E-6, into a pair (complex or real) that must
// not turn a node into a spiral or a degenerate point into a saddle.
// y'' = 1 - e^y - 2y' is critically damped at 0, J = [[0, 1], [-1, -2]] with
// -1 twice; y'' = e^y - 1 - y has J = [[0, 1], [0, 0]] there, 0 twice.
TEST(Equilibria, ARepeatedEigenvalueIsNotSplitIntoAnotherKind) {
    const struct {
        std::string_view name;
        SlopeOf<StateVector> F;
        double repeated;
        std::string_view kind;
    } rows[] = {
        {"critically damped",
         [](double, const StateVector& y) {
             return StateVector{y[1], 1 - std::exp(y[0]) - 2 * y[1]};
         },
         -1, "sink"},
        {"a double 0",
         [](double, const StateVector& y) {
             return StateVector{y[1], std::exp(y[0]) - 1 - y[0]};
         },
         0, "degenerate: an eigenvalue is 0, the linearisation does not decide"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name));
        const EquilibriumSearch search = findEquilibrium(row.F, {0, 0});
        ASSERT_TRUE(search.point) << search.note;
        ASSERT_EQ(search.eigenvalues.size(), 2u);
        for (const Complex value : search.eigenvalues)
            EXPECT_LT(std::abs(value - row.repeated), 1e-5);
        EXPECT_EQ(equilibriumKindText(search.kind), row.kind);
    }
}

// Predator-prey has the two equilibria (0, 0) and (1, 0.5): starts around
// both give each once, in the order first found, and the start (0, 0.5),
// where the Jacobian [[0, 0], [0.5, -1]] is singular, is left out.
TEST(Equilibria, EachFoundOnceFromManyStarts) {
    const std::vector<EquilibriumSearch> found = distinctEquilibria(
        predatorPrey, {{0.9, 0.6}, {0.1, 0.1}, {1.1, 0.4}, {-0.1, 0.05}, {1.0, 0.5}, {0, 0.5}});
    ASSERT_EQ(found.size(), 2u);
    const StateVector expected[] = {{1, 0.5}, {0, 0}};
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_NEAR((*found[k].point)[0], expected[k][0], 1e-12) << k;
        EXPECT_NEAR((*found[k].point)[1], expected[k][1], 1e-12) << k;
    }
    EXPECT_TRUE(distinctEquilibria(exponentials, {{0, 0}, {1, 1}}).empty());
}

// At a multiple root the Jacobian is singular and Newton's method converges
// only linearly, each step 1/2 (double root) or 2/3 (triple root) of the one
// before: it stops where J is singular within its accuracy, or settles with
// J still nearly singular. Either way the root is an equilibrium whose
// eigenvalue 0 reads as 0, so that its kind is degenerate, not a source.
TEST(Equilibria, AMultipleRootIsFoundWhereNewtonConvergesOnlyLinearly) {
    const struct {
        std::string_view name;
        SlopeOf<StateVector> F;
        StateVector start, point;
        std::string_view note;
    } rows[] = {
        {"y1², y2³: a double and a triple root",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0], y[1] * y[1] * y[1]};
         },
         {0.4, -0.3},
         {0, 0},
         "Newton's method from (0.400, -0.300) converges only linearly to (0.000, 0.000), as it "
         "does to a multiple root, where the Jacobian is singular; it stops after "},
        {"y1², y2: the double root settles",
         squareAndLine,
         {0.4, 0.4},
         {0, 0},
         "Newton's method from (0.400, 0.400) converges only linearly to (0.000, 0.000), as it "
         "does to a multiple root, where the Jacobian is singular; it stops after "},
        {"(y1 − 1)², y1 + y2: off the origin",
         [](double, const StateVector& y) {
             return StateVector{(y[0] - 1) * (y[0] - 1), y[0] + y[1]};
         },
         {1.5, 0.2},
         {1, -1},
         "Newton's method from (1.500, 0.200) converges only linearly to (1.000, -1.000), as it "
         "does to a multiple root, where the Jacobian is singular; it stops after "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name));
        const EquilibriumSearch search = findEquilibrium(row.F, row.start);
        ASSERT_TRUE(search.point) << search.note;
        for (std::size_t i = 0; i < row.point.size(); ++i) {
            EXPECT_NEAR((*search.point)[i], row.point[i], 1e-4) << i;
        }
        EXPECT_LE(search.uncertainty, 1e-4);
        EXPECT_EQ(equilibriumKindText(search.kind),
                  "degenerate: an eigenvalue is 0, the linearisation does not decide");
        EXPECT_EQ(search.note,
                  std::string(row.note) + std::to_string(search.steps) + " Newton steps.");
    }
}

// Starts on either side of a triple root stop on either side of it, each
// within its uncertainty: one equilibrium. A minimum of |F| above 0 is no
// root, however slowly Newton's method wanders near it.
TEST(Equilibria, AMultipleRootIsOneEquilibriumAndAMinimumAboveZeroNone) {
    const auto cubes = [](double, const StateVector& y) {
        return StateVector{y[0] * y[0], y[1] * y[1] * y[1]};
    };
    EXPECT_EQ(distinctEquilibria(cubes, {{0.4, 0.3}, {-0.4, -0.3}, {0.9, -1.1}}).size(), 1u);
    const auto lifted = [](double, const StateVector& y) {
        return StateVector{y[0] * y[0] + 0.01, y[1]};
    };
    EXPECT_TRUE(distinctEquilibria(lifted, {{0.4, 0.4}, {-1, 0.5}, {2, 2}}).empty());
}
