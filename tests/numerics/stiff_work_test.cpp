// The implicit methods' and rosenbrock4's runs on the work-precision sweep,
// their costs counted as they are spent. The counts on y' = -2y are worked
// out by hand below; the run's values are exact in binary.
#include "numerics/adaptive.h"
#include "numerics/stiff_work.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

namespace {

const Method& labMethod(std::string_view caption) {
    for (const Method& method : labCatalogue) {
        if (method.caption == caption) return method;
    }
    throw std::invalid_argument("no such method");
}

double decay(double, double y) { return -2 * y; }
StateVector decays(double, const StateVector& y) { return {-2 * y[0], -2 * y[1]}; }
double stiff(double x, double y) { return -50 * (y - std::cos(x)); }

}  // namespace

// Backward Euler on y' = -2y with h = 1/2: the start K = 0 costs one call
// of f for its residual 0 - (-2) = 2; an update costs a Jacobian, 4n + 1
// calls for its quotients, one SVD and solve of (1 - h·(-2))·ΔK = -2, and one
// call for the new residual. The quotients and the SVD land within a
// rounding of K = -1, not on it, so a second update, a rounding long, ends
// Newton's method: each step is 1 + 2·(4n + 2) calls, two Jacobians and two
// SVDs with a solve each, for one equation as for two.
TEST(StiffWork, CountsBackwardEulersNewtonIterationsByHand) {
    const Method& backwardEuler = labMethod("Backward Euler");
    const CountedRunOf<double> one = countedImplicitRun(backwardEuler, decay, 0, 1, 1, 2);
    ASSERT_TRUE(one.y);
    EXPECT_NEAR(*one.y, 0.25, 1e-15);
    EXPECT_EQ(one.counts.slopeEvaluations, 2 * 13);
    EXPECT_EQ(one.counts.jacobians, 4);
    EXPECT_EQ(one.counts.factorizations, 4);
    EXPECT_EQ(one.counts.solves, 4);

    // Two components: 4·2 + 1 calls for each Jacobian, one SVD of the 2×2
    // matrix for both.
    const CountedRunOf<StateVector> two =
        countedImplicitRun(backwardEuler, decays, 0, StateVector{1, 4}, 1, 2);
    ASSERT_TRUE(two.y);
    EXPECT_NEAR((*two.y)[0], 0.25, 1e-15);
    EXPECT_NEAR((*two.y)[1], 1, 1e-15);
    EXPECT_EQ(two.counts.slopeEvaluations, 2 * 21);
    EXPECT_EQ(two.counts.jacobians, 4);
    EXPECT_EQ(two.counts.factorizations, 4);
    EXPECT_EQ(two.counts.solves, 4);
}

// A step without a value stops the run with Newton's sentence: y' = y² from
// y0 = 1 with h = 1 has no backward Euler value (K = (1 + K)² has no real root).
TEST(StiffWork, ARunStopsAtAStepWithoutAValue) {
    const CountedRunOf<double> run = countedImplicitRun(
        labMethod("Backward Euler"), [](double, double y) { return y * y; }, 0, 1, 1, 1);
    EXPECT_FALSE(run.y);
    EXPECT_EQ(run.failure.rfind("Newton's method did not converge in the step from x = 0: ", 0), 0u)
        << run.failure;
    EXPECT_GT(run.counts.slopeEvaluations, 0);
}

// Odeint's rosenbrock4 takes per attempt one Jacobian, factors it once and
// solves once after each of its six slope calls; each Jacobian is 4n + 1
// calls of f for ∂f/∂y and 2 for ∂f/∂x. Counting wrongly (the quotients
// left out, the slope calls taken for the solves' count, or a count per
// accepted step only) breaks one of these.
TEST(StiffWork, CountsRosenbrock4ByTheFunctionsHandedToIt) {
    const auto slope = [](double x, const StateVector& y) { return StateVector{stiff(x, y[0])}; };
    const RosenbrockRun run =
        libraryRosenbrock(SystemSlope(slope), 0, StateVector{0}, 1, 0.1, 1e-6, 1e-6, 100000);
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
        libraryRosenbrock(SystemSlope(slope), 0, StateVector{0}, 1, 0.1, 1e-10, 1e-10, 3);
    EXPECT_FALSE(run.y);
    EXPECT_EQ(run.note.rfind("Stopped near x = ", 0), 0u) << run.note;
    EXPECT_NE(run.note.find("it took 3 attempts, the most a run may take."), std::string::npos)
        << run.note;
    EXPECT_EQ(run.counts.jacobians, 3);
}
