// One implicit Runge-Kutta step by Newton's method. The values expected on
// y' = 5·e^(5x)·(y - x)² + 1 come from tests/support/implicit_values.py
// (each step's equation solved by mpmath at 30 digits); the rate on
// y' = -y³ + sin x from the root y1 of backward Euler's equation, by mpmath.
#include "numerics/implicit_step.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

using namespace pelorin;

namespace {

ImplicitScheme backwardEuler() { return {1, {{{1}}}, {1}, {1}}; }
ImplicitScheme trapezoid() { return {2, {{{0, 0}, {0.5, 0.5}}}, {0.5, 0.5}, {0, 1}}; }
ImplicitScheme implicitMidPoint() { return {1, {{{0.5}}}, {1}, {0.5}}; }

double curved(double x, double y) { return 5 * std::exp(5 * x) * (y - x) * (y - x) + 1; }
double cubicDecay(double x, double y) { return -y * y * y + std::sin(x); }
double square(double, double y) { return y * y; }
double doubling(double, double y) { return 2 * y; }
double squareRoot(double, double y) { return std::sqrt(y); }
using pelorin::testing::oscillator;

std::string nineDigits(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

}  // namespace

TEST(ImplicitStep, FollowsTheRootNearTheSolutionOnACurvedSlope) {
    const struct {
        const char* name;
        ImplicitScheme scheme;
        const char* values[5];
    } rows[] = {
        {"backward Euler", backwardEuler(),
         {"-0.249868817", "0.211812148", "0.524948502", "0.770967745", "0.988982599"}},
        {"trapezoid", trapezoid(),
         {"-0.141496851", "0.274861392", "0.553982841", "0.78307197", "0.993772555"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        double y = -1;
        for (int k = 0; k < 5; ++k) {
            const ImplicitStep<double> step = implicitStep(row.scheme, curved, 0.2 * k, y, 0.2);
            ASSERT_TRUE(step.value) << step.failure;
            EXPECT_EQ(step.failure, "");
            y = *step.value;
            EXPECT_EQ(nineDigits(y), row.values[k]) << "step " << k + 1;
        }
    }
}

// The simplified Newton method: one Jacobian, at (x0, y0) = (0, 1), so each
// update is the one before times θ = 1 - (1 + 3h·y1²)/(1 + 3h·y0²), the
// Jacobian's error at the root y1 relative to the matrix it kept. mpmath
// solves y1 = 1 + h·(sin h - y1³), h = 0.5: y1 = 0.888732319519808, so θ
// settles at 0.126092918544565, and the iterations end after 15 updates with
// a single Jacobian, θ/(1 - θ)·update below 1E-14.
TEST(ImplicitStep, SimplifiedIterationsContractByASteadyRate) {
    const ImplicitStep<double> step = implicitStep(backwardEuler(), cubicDecay, 0, 1, 0.5);
    ASSERT_TRUE(step.value) << step.failure;
    EXPECT_EQ(step.restart, "");
    EXPECT_EQ(step.work.jacobianEvaluations, 1);
    ASSERT_EQ(step.iterations.size(), 16u);
    EXPECT_EQ(step.work.linearSolves, 15);
    for (std::size_t k = 0; k < step.iterations.size(); ++k) {
        SCOPED_TRACE(k);
        const NewtonIterate<double>& iterate = step.iterations[k];
        EXPECT_EQ(iterate.number, static_cast<int>(k));
        EXPECT_EQ(iterate.rate.has_value(), k >= 2);
        if (iterate.rate) {
            EXPECT_EQ(*iterate.rate, iterate.update / step.iterations[k - 1].update);
        }
        // Once the iterate is near the root, and before roundings decide.
        if (k >= 8 && iterate.update > 1e-11) {
            EXPECT_NEAR(*iterate.rate, 0.126092918544565, 1e-6);
        }
    }
    const auto& last = step.iterations.back();
    EXPECT_LE(*last.rate / (1 - *last.rate) * last.update, 1e-14);
    EXPECT_NEAR(*step.value, 0.888732319519808, 1e-14);
    EXPECT_EQ(*step.value, 1 + 0.5 * last.slopes[0]);
    EXPECT_EQ(last.states[0], 1 + 0.5 * last.slopes[0]);
}

// y' = -2xy from (0, 1) with h = 2: the Jacobian at the start, -2·0, is 0, so
// the kept iterations are K ← f(2, 1 + 2K) = -4(1 + 2K): K = -4, then 28,
// updates 4 and 32, θ = 8. They give up, and the full Newton method, with
// ∂f/∂y = -4 at x = 2, solves the linear stage equation at once:
// K = -4/9, y1 = 1/9.
TEST(ImplicitStep, IterationsThatDoNotContractStartAgainWithJacobiansAtEveryIterate) {
    const auto bell = [](double x, double y) { return -2 * x * y; };
    const ImplicitStep<double> step = implicitStep(backwardEuler(), bell, 0, 1, 2);
    EXPECT_EQ(step.restart,
              "in iteration 2 the update did not shrink: 4.00E+00, then 3.20E+01 (θ = 8.00E+00).");
    ASSERT_GE(step.iterations.size(), 5u);
    EXPECT_EQ(step.iterations[2].states[0], 1 + 2 * 28.0);
    EXPECT_EQ(*step.iterations[2].rate, 8);
    EXPECT_EQ(step.iterations[3].number, 0);
    ASSERT_TRUE(step.value) << step.failure;
    EXPECT_NEAR(*step.value, 1.0 / 9, 1e-15);
    // One Jacobian kept, then one at every update of the second start.
    EXPECT_EQ(step.work.jacobianEvaluations, 1 + static_cast<long>(step.iterations.size()) - 4);
}

// The implicit mid point keeps every quadratic invariant: the oscillator's
// y1² + y2² stays 1 to roundings, where an explicit method drifts by h³ a step.
TEST(ImplicitStep, MidPointKeepsTheOscillatorsCircle) {
    StateVector y{1, 0};
    for (int k = 0; k < 100; ++k) {
        const ImplicitStep<StateVector> step = implicitStep(implicitMidPoint(), oscillator, 0.1 * k, y, 0.1);
        ASSERT_TRUE(step.value) << step.failure;
        y = *step.value;
    }
    EXPECT_NEAR(y[0] * y[0] + y[1] * y[1], 1, 1e-13);
    // Each step turns by 2·atan(h/2), in all 9.99167914438855 radians (mpmath,
    // 30 digits): (cos, -sin) of it.
    EXPECT_NEAR(y[0], -0.843569150875789854, 1e-12);
    EXPECT_NEAR(y[1], 0.537020565426221730, 1e-12);
}

// A step that cannot be trusted gives no value and says why, with numbers
// a reader can check and nothing that is not a number.
TEST(ImplicitStep, AFailedStepSaysWhereAndWhy) {
    const struct {
        const char* name;
        ImplicitStep<double> step;
        const char* failure;
    } rows[] = {
        {"h·λ = 1", implicitStep(backwardEuler(), doubling, 0.4, 1, 0.5),
         "Newton's method did not converge in the step from x = 0.4: in iteration 1 the matrix "
         "I - h·A⊗J is singular."},
        // The one Jacobian is taken at (x0, y0), where √(y0 - δ) has no value.
        {"a slope without a derivative", implicitStep(backwardEuler(), squareRoot, 0, 1e-12, 0.1),
         "Newton's method did not converge in the step from x = 0: in iteration 1 the Jacobian at "
         "x = 0, y = 1E-12 is not finite."},
        // With two iterations the kept Jacobian's rate leaves too much, and
        // the full Newton method's second update is still 0.01424 (Python's
        // floats, exact derivative -3y²: updates 0.2082, 0.01424).
        {"iteration limit", implicitStep(backwardEuler(), cubicDecay, 0, 1, 0.5, {1e-12, 2}),
         "Newton's method did not converge in the step from x = 0: after 2 iterations the update "
         "is still 1.42E-02."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(row.step.value);
        EXPECT_EQ(row.step.failure, row.failure);
    }
}

// Newton's matrix 1 + h·1E160 lies far from singular, though the squares of
// its entries overflow (and with 1E170 those of the Jacobian's tolerances
// too). The step y0/(1 + h·λ) is y0 + h·K with K = λ·y0/(1 + h·λ), so it
// comes out within a rounding of y0 of 0.
TEST(ImplicitStep, AMatrixOfHugeEntriesIsNotTakenForSingular) {
    const Slope steep = [](double, double y) { return -1e160 * y; };
    const ImplicitStep<double> one = implicitStep(backwardEuler(), steep, 0, 1, 0.1);
    ASSERT_TRUE(one.value) << one.failure;
    EXPECT_LE(std::fabs(*one.value), 2.3e-16);
    const SlopeOf<StateVector> steepPair = [](double, const StateVector& y) {
        return StateVector{-1e170 * y[0], -1e170 * y[1]};
    };
    const ImplicitStep<StateVector> two =
        implicitStep(backwardEuler(), steepPair, 0, StateVector{1, 2}, 0.1);
    ASSERT_TRUE(two.value) << two.failure;
    EXPECT_LE(std::fabs((*two.value)[0]), 2.3e-16);
    EXPECT_LE(std::fabs((*two.value)[1]), 4.5e-16);
    // The trapezoid's matrix [1, 0; -5E158, 1 + 5E158] lies within 1 of a
    // singular one, but only by its first row, which no Jacobian enters:
    // measured row by row it is far from singular. (Its slopes then overflow,
    // which it says.)
    const ImplicitStep<double> trapezoidal = implicitStep(trapezoid(), steep, 0, 1, 0.1);
    EXPECT_EQ(trapezoidal.failure, "Newton's method did not converge in the step from x = 0: "
                                   "the residual after iteration 1 is not finite.");
}

// y1 = 1 + h·y1² has no real root for h > 1/4: the iterations wander.
TEST(ImplicitStep, DivergingIterationsGiveNoValue) {
    for (double h : {10.0, 1000.0}) {
        SCOPED_TRACE(h);
        const ImplicitStep<double> step = implicitStep(backwardEuler(), square, 0, 1, h);
        EXPECT_FALSE(step.value);
        EXPECT_EQ(step.failure.rfind("Newton's method did not converge in the step from x = 0: ", 0), 0u)
            << step.failure;
        for (const char* word : {"nan", "inf", "NaN", "Inf"}) {
            EXPECT_EQ(step.failure.find(word), std::string::npos) << step.failure;
        }
    }
}

TEST(ImplicitStep, RefusesASchemeBeyondItsStages) {
    for (int stages : {0, maxImplicitStages + 1}) {
        ImplicitScheme scheme = backwardEuler();
        scheme.stages = stages;
        EXPECT_THROW(implicitStep(scheme, square, 0, 1, 0.1), std::invalid_argument) << stages;
    }
}
