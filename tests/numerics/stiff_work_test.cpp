// The implicit methods' and rosenbrock4's runs on the work-precision sweep,
// their costs counted as they are spent. The counts on y' = -2y are worked
// out by hand below; the run's values are exact in binary.
#include "numerics/adaptive.h"
#include "numerics/convergence.h"
#include "numerics/stiff_work.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

namespace {

const Method& labMethod(std::string_view caption) { return methodByCaption(caption); }

double decay(double, double y) { return -2 * y; }
StateVector decays(double, const StateVector& y) { return {-2 * y[0], -2 * y[1]}; }
double stiff(double x, double y) { return -50 * (y - std::cos(x)); }

}  // namespace

// Backward Euler on y' = -2y with h = 1/2, as the convergence study (and so
// the sweep's fixed steps) runs it: the start K = 0 costs one call of f for
// its residual 0 - (-2) = 2; the step's one Jacobian at (x0, y0) costs 4n + 1
// calls for its quotients, and each update one LU solve of
// (1 - h·(-2))·ΔK = -2 and one call for the new residual. The quotients land
// within a rounding of -2, so the first update lands within a rounding of
// K = -1, not on it, and a second update, a rounding long (its rate far below
// 1), ends Newton's method: each step is 1 + (4n + 1) + 2 calls, one
// Jacobian and two solves, for one equation as for two. A run with a step
// without a value throws.
TEST(StiffWork, CountsBackwardEulersNewtonIterationsByHand) {
    const Method& backwardEuler = labMethod("Backward Euler");
    RunWork one;
    const double y = runToEnd(backwardEuler, ConvergenceProblem{0, 1, 1, decay, 0.25, 0}, 2, &one);
    EXPECT_NEAR(y, 0.25, 1e-15);
    EXPECT_EQ(one.slopeEvaluations, 2 * 8);
    EXPECT_EQ(one.newton.jacobianEvaluations, 2);
    EXPECT_EQ(one.newton.linearSolves, 4);

    // Two components: 4·2 + 1 calls for the Jacobian, one LU factorisation of
    // the 2×2 matrix a step.
    RunWork two;
    const StateVector y2 = runToEnd(
        backwardEuler,
        ConvergenceProblemOf<StateVector>{0, StateVector{1, 4}, 1, decays, StateVector{0.25, 1}, 0},
        2, &two);
    EXPECT_NEAR(y2[0], 0.25, 1e-15);
    EXPECT_NEAR(y2[1], 1, 1e-15);
    EXPECT_EQ(two.slopeEvaluations, 2 * 12);
    EXPECT_EQ(two.newton.jacobianEvaluations, 2);
    EXPECT_EQ(two.newton.linearSolves, 4);

    // y' = y² from y0 = 1 with h = 1 has no backward Euler value: K = (1 + K)²
    // has no real root.
    const auto square = [](double, double v) { return v * v; };
    EXPECT_THROW(runToEnd(backwardEuler, ConvergenceProblem{0, 1, 1, square, 0, 0}, 1),
                 NoConvergence);
}

// Odeint's rosenbrock4 takes per attempt one Jacobian, factors it once and
// solves once after each of its six slope calls; each Jacobian is 4n + 1
// calls of f for ∂f/∂y and 2 for ∂f/∂x. Counting wrongly (the quotients
// left out, the slope calls taken for the solves' count, or a count per
// accepted step only) breaks one of these.
TEST(StiffWork, CountsRosenbrock4ByTheFunctionsHandedToIt) {
    const auto slope = [](double x, const StateVector& y) { return StateVector{stiff(x, y[0])}; };
    const RosenbrockRun run = libraryRosenbrock(SlopeOf<StateVector>(slope), 0, StateVector{0}, 1,
                                                0.1, 1e-6, 1e-6, 100000);
    ASSERT_TRUE(run.y) << run.note;
    EXPECT_TRUE(run.note.empty());
    const double exact = 2500.0 / 2501 * std::cos(1) + 50.0 / 2501 * std::sin(1) -
                         2500.0 / 2501 * std::exp(-50);
    EXPECT_LT(std::fabs((*run.y)[0] - exact), 1e-5);
    EXPECT_EQ(run.counts.factorizations, run.counts.jacobians);
    EXPECT_EQ(run.counts.solves, 6 * run.counts.jacobians);
    EXPECT_EQ(run.counts.slopeEvaluations, run.counts.solves + 7 * run.counts.jacobians);
    EXPECT_GE(run.counts.jacobians, run.steps);
    EXPECT_GT(run.steps, 0);
}

TEST(StiffWork, Rosenbrock4StopsAtItsLimitOfAttempts) {
    const auto slope = [](double x, const StateVector& y) { return StateVector{stiff(x, y[0])}; };
    const RosenbrockRun run =
        libraryRosenbrock(SlopeOf<StateVector>(slope), 0, StateVector{0}, 1, 0.1, 1e-10, 1e-10, 3);
    EXPECT_FALSE(run.y);
    EXPECT_EQ(run.note.rfind("Stopped near x = ", 0), 0u) << run.note;
    EXPECT_NE(run.note.find("it took 3 attempts, the most a run may take."), std::string::npos)
        << run.note;
    EXPECT_EQ(run.counts.jacobians, 3);
}
