// Adaptive steps on a system: err as Hairer's scaled root mean square over
// the components, a system of one component stepping exactly as the single
// equation does, and a component far off its tolerance deciding the steps.
// Expected values were worked out by hand (see each row).
#include "numerics/adaptive.h"
#include "tests/support/textbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace pelorin;
using pelorin::testing::textbook;
using pelorin::testing::textbookExact;

namespace {

const Method& fehlberg = methodByCaption("Runge-Kutta-Fehlberg");
const Method& merson = methodByCaption("Runge-Kutta-Merson");

// The textbook's problem as a system of one component.
StateVector textbookSystem(double x, const StateVector& y) { return {textbook(x, y[0])}; }
StateVector textbookSystemExact(double x) { return {textbookExact(x)}; }

// The textbook's equation beside a component that never moves: its
// estimate is 0 on every step.
StateVector textbookAndConstant(double x, const StateVector& y) { return {textbook(x, y[0]), 0}; }

ControllerSettings tolerance(double value) { return withTolerance({}, value); }

}  // namespace

TEST(AdaptiveSystemController, ScaledRootMeanSquareAgainstHandWorkedValues) {
    ControllerSettings perUnitStep;
    perUnitStep.measure = ErrorMeasure::perUnitStep;
    const double huge = 1e200, tiny = 1e-100;
    const struct {
        const char* name;
        ControllerSettings settings;
        StateVector estimate, tolerance;
        double h, expected;
    } rows[] = {
        // sqrt((1/2)·(1² + 1²)) = 1.
        {"both on their tolerance", {}, {1e-6, -1e-6}, {1e-6, 1e-6}, 0.1, 1},
        // sqrt((1/2)·(3² + 4²)) = sqrt(12.5) = 3.5355339059327378 (Python's math.sqrt).
        {"three and four times", {}, {3e-6, 4e-6}, {1e-6, 1e-6}, 0.1, 3.5355339059327378},
        // sqrt((1/2)·(1000² + 0.001²)) = 707.10678118690108 (mpmath, 40 digits),
        // 1000/√2 but for 5E-13 of it: the component far off its tolerance
        // decides err.
        {"one component dominates", {}, {1e-3, 1e-9}, {1e-6, 1e-6}, 0.1, 707.10678118690108},
        // Per unit step: (1E-6/(0.5·1E-6), 0) = (2, 0), sqrt(4/2) = √2.
        {"per unit step", perUnitStep, {1e-6, 0}, {1e-6, 1e-6}, 0.5, 1.4142135623730951},
        {"zero estimate", {}, {0, 0, 0}, {1e-6, 1e-6, 1e-6}, 0.1, 0},
        {"nonzero estimate against zero tolerance", {}, {1e-9, 0}, {0, 1e-6}, 0.1,
         std::numeric_limits<double>::infinity()},
        // Each ratio is 1E300, whose square overflows: err is still 1E300.
        {"ratios whose squares overflow", {}, {huge, huge}, {tiny, tiny}, 0.1, 1e300},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const double err = errorRatio(row.settings, row.estimate, row.tolerance, row.h);
        if (std::isinf(row.expected)) EXPECT_EQ(err, row.expected);
        else EXPECT_NEAR(err, row.expected, 4e-16 * row.expected);
    }
}

TEST(AdaptiveSystemController, EachComponentHasItsOwnTolerance) {
    // 1E-6 + 1E-6·max(|y0_k|, |y1_k|): 2E-6 for (1, -0.5), 4E-6 for (-3, 2);
    // a relative tolerance alone far below the component's size is raised
    // to 1E-14 of it in that component only.
    const StepToleranceOf<StateVector> both =
        stepTolerance(tolerance(1e-6), StateVector{1, -3}, StateVector{-0.5, 2});
    EXPECT_DOUBLE_EQ(both.value[0], 2e-6);
    EXPECT_DOUBLE_EQ(both.value[1], 4e-6);
    EXPECT_FALSE(both.raised);
    ControllerSettings relative;
    relative.absoluteTolerance = 0;
    relative.relativeTolerance = 1e-15;
    const StepToleranceOf<StateVector> raised =
        stepTolerance(relative, StateVector{0, 1e10}, StateVector{0, 1e10});
    EXPECT_EQ(raised.value[0], 0);
    EXPECT_DOUBLE_EQ(raised.value[1], 1e-4);
    EXPECT_TRUE(raised.raised);
}

TEST(AdaptiveSystemRun, OneComponentGivesTheSingleEquationsBits) {
    ControllerSettings perUnitStep = tolerance(1e-6);
    perUnitStep.measure = ErrorMeasure::perUnitStep;
    ControllerSettings relativeOnly;
    relativeOnly.parts = ToleranceParts::relativeOnly;
    relativeOnly = withTolerance(relativeOnly, 1e-8);
    ControllerSettings raised;
    raised.parts = ToleranceParts::relativeOnly;
    raised = withTolerance(raised, 1e-16);
    const struct {
        const char* name;
        const Method* method;
        ControllerSettings settings;
        double h0, x1;
    } rows[] = {
        {"Fehlberg, both tolerances 1E-6", &fehlberg, tolerance(1e-6), 0.5, 2},
        {"Merson, a first step too long", &merson, tolerance(1e-9), 2, 2},
        {"Fehlberg per unit step", &fehlberg, perUnitStep, 0.1, 2},
        {"Merson, relative tolerance only", &merson, relativeOnly, 0.1, 2},
        {"Fehlberg, a tolerance raised to what rounding allows", &fehlberg, raised, 0.1, 1},
        {"Fehlberg backwards", &fehlberg, tolerance(1e-7), 0.3, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const AdaptiveRun single =
            adaptiveRun(*row.method, textbook, 0, 0.5, row.x1, row.h0, row.settings, textbookExact);
        const AdaptiveRunOf<StateVector> system =
            adaptiveRun(*row.method, textbookSystem, 0, StateVector{0.5}, row.x1, row.h0,
                        row.settings, textbookSystemExact);
        ASSERT_EQ(single.end, AdaptiveEnd::reachedEnd);
        EXPECT_EQ(system.end, single.end);
        EXPECT_EQ(system.accepted, single.accepted);
        EXPECT_EQ(system.rejected, single.rejected);
        EXPECT_EQ(system.slopeEvaluations, single.slopeEvaluations);
        EXPECT_EQ(system.x, single.x);
        EXPECT_EQ(system.y[0], single.y);
        EXPECT_EQ(system.errorAtEnd, single.errorAtEnd);
        EXPECT_EQ(system.notes, single.notes);
        ASSERT_EQ(system.attempts.size(), single.attempts.size());
        for (std::size_t i = 0; i < single.attempts.size(); ++i) {
            SCOPED_TRACE("attempt " + std::to_string(i));
            const AdaptiveStep& one = single.attempts[i];
            const AdaptiveStepOf<StateVector>& many = system.attempts[i];
            EXPECT_EQ(many.x, one.x);
            EXPECT_EQ(many.h, one.h);
            EXPECT_EQ(many.y1[0], one.y1);
            EXPECT_EQ(many.estimate[0], one.estimate);
            EXPECT_EQ(many.tolerance[0], one.tolerance);
            EXPECT_EQ(many.ratio, one.ratio);
            EXPECT_EQ(many.accepted, one.accepted);
            ASSERT_TRUE(one.localError && many.localError && one.globalError && many.globalError);
            EXPECT_EQ((*many.localError)[0], *one.localError);
            EXPECT_EQ((*many.globalError)[0], *one.globalError);
        }
        const auto quality = estimateQuality(single);
        const auto systemQuality = estimateQuality(system);
        ASSERT_EQ(systemQuality.has_value(), quality.has_value());
        if (quality) {
            EXPECT_EQ(systemQuality->steps, quality->steps);
            EXPECT_EQ(systemQuality->median, quality->median);
        }
        EXPECT_EQ(acceptedPoints(system).x, acceptedPoints(single).x);
    }
}

TEST(AdaptiveSystemRun, AComponentFarOffItsToleranceDecidesTheSteps) {
    // Beside a component whose estimate is always 0, the textbook's err is
    // averaged with 0: sqrt((r² + 0²)/2) = r/√2, so every attempt with the
    // same start and h as the single equation's has its err over √2, and
    // the steps are those of a tolerance √2 times as loose.
    const ControllerSettings settings = tolerance(1e-6);
    const AdaptiveRun single = adaptiveRun(fehlberg, textbook, 0, 0.5, 2, 0.5, settings);
    const AdaptiveRunOf<StateVector> system =
        adaptiveRun(fehlberg, textbookAndConstant, 0, StateVector{0.5, 7}, 2, 0.5, settings);
    ASSERT_EQ(system.end, AdaptiveEnd::reachedEnd);
    ASSERT_FALSE(system.attempts.empty());
    const AdaptiveStepOf<StateVector>& first = system.attempts.front();
    EXPECT_EQ(first.estimate[1], 0);
    EXPECT_NEAR(first.ratio, single.attempts.front().ratio / std::sqrt(2.0),
                1e-15 * single.attempts.front().ratio);
    EXPECT_EQ(system.y[1], 7);
    EXPECT_LE(system.attempts.size(), single.attempts.size());
}
