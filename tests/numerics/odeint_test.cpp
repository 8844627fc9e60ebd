// The one adapter to Boost.Odeint: its slope counts what the stepper asks
// for and stops it where a run cannot go on, alike for both ways of holding
// y, and its integration reaches the end of the range.
#include "numerics/odeint.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <string>

using namespace pelorin;

namespace {

// A slope that counts the calls f really receives.
struct CountedCalls {
    double (*f)(double x, double y);
    mutable long calls = 0;
    double operator()(double x, double y) const {
        ++calls;
        return f(x, y);
    }
};

struct Stop {
    std::optional<SlopeStopped> stopped;
    long evaluations = 0;
    long calls = 0;
    std::optional<double> lastX;
};

template <class State>
Stop integrateUntilStopped(double (*f)(double, double), double y0, long maxEvaluations) {
    const CountedCalls slope{f};
    DormandPrince<State> stepper(slope, 1e-8, 1e-8, maxEvaluations);
    State y{};
    value(y) = y0;
    Stop stop;
    try {
        stepper.integrateAdaptive(y, 0, 1, 0.01);
    } catch (const SlopeStopped& stopped) {
        stop.stopped = stopped;
    }
    stop.evaluations = stepper.evaluations();
    stop.calls = slope.calls;
    stop.lastX = stepper.lastX();
    return stop;
}

}  // namespace

// The evaluation past the limit is refused before f is called and not
// counted; a y that is not finite is counted but never handed to f; a slope
// that is not finite stops the stepper where f gave it.
TEST(OdeintAdapter, StopsTheStepperWhereARunCannotGoOn) {
    const struct {
        std::string name;
        double (*f)(double, double);
        double y0;
        long maxEvaluations;
        SlopeStop why;
        long evaluations, calls;  // counted, and received by f
    } rows[] = {
        {"the evaluation past the limit", [](double, double y) { return y; }, 1, 10,
         SlopeStop::evaluationLimit, 10, 10},
        {"a start that is not finite", [](double, double y) { return y; }, infinity, 100,
         SlopeStop::yNotFinite, 1, 0},
        {"a slope that is not a number from x = 0.5 on",
         [](double x, double y) { return x < 0.5 ? y : std::nan(""); }, 1, 1000,
         SlopeStop::slopeNotFinite, -1, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (const Stop& stop : {integrateUntilStopped<double>(row.f, row.y0, row.maxEvaluations),
                                 integrateUntilStopped<std::array<double, 1>>(
                                     row.f, row.y0, row.maxEvaluations)}) {
            ASSERT_TRUE(stop.stopped);
            EXPECT_EQ(stop.stopped->why, row.why);
            ASSERT_TRUE(stop.lastX);
            EXPECT_EQ(*stop.lastX, stop.stopped->x);
            if (row.evaluations >= 0) {
                EXPECT_EQ(stop.evaluations, row.evaluations);
                EXPECT_EQ(stop.calls, row.calls);
            } else {
                EXPECT_EQ(stop.evaluations, stop.calls);
                EXPECT_GE(stop.stopped->x, 0.5);
            }
        }
    }
}

// y' = y from y(0) = 1 reaches e at x = 1 within a few tolerances, and every
// call of f is counted once.
TEST(OdeintAdapter, IntegratesToTheEndOfTheRange) {
    const CountedCalls growth{[](double, double y) { return y; }};
    DormandPrince<double> stepper(growth, 1e-10, 1e-10, 100000);
    EXPECT_FALSE(stepper.lastX());
    double y = 1;
    const long steps = stepper.integrateAdaptive(y, 0, 1, 0.1);
    EXPECT_NEAR(y, 2.718281828459045, 1e-8);
    EXPECT_GT(steps, 0);
    EXPECT_EQ(stepper.evaluations(), growth.calls);
    ASSERT_TRUE(stepper.lastX());
    EXPECT_LE(*stepper.lastX(), 1.0);
}

// A system of one component is stepped as one equation held in an array of
// one: y' = y - x² + 1 from (0, 0.5), attempt by attempt the same x, y and
// next step to the last bit, with as many evaluations.
TEST(OdeintAdapter, StepsASystemOfOneAsTheSingleEquation) {
    const Slope f = [](double x, double y) { return y - x * x + 1; };
    const OneEquationAsSystem F{f};
    DormandPrince<std::array<double, 1>> single(f, 1e-8, 1e-8, 100000);
    ControlledOdeint<OdeintVector, boost::numeric::odeint::runge_kutta_dopri5<OdeintVector>>
        system(F, 1e-8, 1e-8, 100000);
    std::array<double, 1> y{0.5};
    OdeintVector Y{0.5};
    double x = 0, X = 0, dt = 0.5, DT = 0.5;
    for (int attempt = 0; attempt < 20; ++attempt) {
        SCOPED_TRACE(attempt);
        EXPECT_EQ(single.tryStep(y, x, dt), system.tryStep(Y, X, DT));
        EXPECT_EQ(X, x);
        EXPECT_EQ(Y[0], y[0]);
        EXPECT_EQ(DT, dt);
    }
    EXPECT_GT(x, 1);
    EXPECT_EQ(system.evaluations(), single.evaluations());
}
