// One implicit Runge-Kutta step by Newton's method. The values expected on
// y' = 5·e^(5x)·(y - x)² + 1 come from tests/support/implicit_values.py
// (each step's equation solved by mpmath at 30 digits); the residuals and
// updates on y' = -y³ + sin x from Newton's method with the exact derivative
// -3y² in Python's floats.
#include "numerics/implicit_step.h"

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
StateVector oscillator(double, const StateVector& y) { return {y[1], -y[0]}; }

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

// Full Newton: each residual about the square of the one before, until
// roundings are all that is left. A Jacobian kept from the start would
// shrink them by a steady factor instead, and these ratios would grow.
TEST(ImplicitStep, ResidualsShrinkQuadratically) {
    const ImplicitStep<double> step = implicitStep(backwardEuler(), cubicDecay, 0, 1, 0.5);
    ASSERT_TRUE(step.value) << step.failure;
    ASSERT_GE(step.iterations.size(), 4u);
    EXPECT_LE(step.iterations.size(), 7u);
    for (std::size_t k = 0; k < step.iterations.size(); ++k) {
        EXPECT_EQ(step.iterations[k].number, static_cast<int>(k));
    }
    // Python: 0.5206, 0.03139, 0.0001360, 2.581E-09, then roundings.
    EXPECT_NEAR(step.iterations[0].residual, 0.520574461395797, 1e-15);
    EXPECT_EQ(step.iterations[0].update, 0);
    for (std::size_t k = 0; k + 1 < step.iterations.size() && step.iterations[k].residual > 1e-7; ++k) {
        SCOPED_TRACE(k);
        const double r = step.iterations[k].residual, next = step.iterations[k + 1].residual;
        EXPECT_LE(next / (r * r), 1.0);
    }
    const auto& last = step.iterations.back();
    EXPECT_LE(last.residual, 1e-15);
    EXPECT_EQ(*step.value, 1 + 0.5 * last.slopes[0]);
    EXPECT_EQ(last.states[0], 1 + 0.5 * last.slopes[0]);
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
        {"a slope without a derivative", implicitStep(backwardEuler(), squareRoot, 0, 1e-12, 0.1),
         "Newton's method did not converge in the step from x = 0: in iteration 1 the Jacobian at "
         "x = 0.1, y = 1E-12 is not finite."},
        // Python: updates 0.2082, 0.01424.
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
    for (int stages : {0, 4}) {
        ImplicitScheme scheme = backwardEuler();
        scheme.stages = stages;
        EXPECT_THROW(implicitStep(scheme, square, 0, 1, 0.1), std::invalid_argument) << stages;
    }
}
