// A multistep step as the One step page takes it apart: its past points are
// the run's, an implicit formula's Newton iterations end on the run's value
// and a predictor-corrector pair's predicted value gives the run's corrected
// one, to the bit.
#include "numerics/multistep_step.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

namespace {

// A curved slope, so that an implicit formula needs several iterations.
double curved(double x, double y) { return y * std::cos(x) - 0.5 * y * y; }

}  // namespace

TEST(MultistepStep, EveryFormulaStepIsTheRunsOwn) {
    for (const Method& method : labCatalogue()) {
        if (!isMultistep(method)) continue;
        SCOPED_TRACE(method.caption);
        const SolutionPath path = solutionPath(method, curved, 0, 1, 2, 0.1);
        // The own method's default is not zero-stable and may overflow
        // before x1; its steps before that count as well.
        ASSERT_GT(static_cast<long>(path.x.size()), path.startingValues + 3);
        for (long step = path.startingValues + 1; step < static_cast<long>(path.x.size()); ++step) {
            SCOPED_TRACE(step);
            const auto i = static_cast<std::size_t>(step);
            const MultistepStep shown = multistepStep(path, curved, step);
            ASSERT_EQ(shown.steps, multistepOf(method)->steps());
            EXPECT_EQ(shown.x.back(), path.x[i - 1]);
            EXPECT_EQ(shown.y.front(), path.y[i - static_cast<std::size_t>(shown.steps)]);
            EXPECT_EQ(shown.slope.back(), curved(path.x[i - 1], path.y[i - 1]));
            EXPECT_EQ(shown.xNew, path.x[i]);
            EXPECT_EQ(shown.yNew, path.y[i]);
            EXPECT_TRUE(shown.hasValue());
            if (isImplicit(method)) {
                ASSERT_FALSE(shown.iterations.empty());
                EXPECT_GT(shown.iterations.size(), 2u);
                EXPECT_EQ(shown.iterations.back().states.front(), path.y[i]);
                EXPECT_EQ(shown.newSlope, shown.iterations.back().slopes.front());
            } else {
                EXPECT_TRUE(shown.iterations.empty());
            }
        }
    }
}

// Adams' predictor-corrector pair: the corrector's sum, written here in the
// run's order (y_{n+3} + h·(9f(x, p) + 19f_{n+3} − 5f_{n+2} + f_{n+1})/24),
// at the predicted value p and the slope there gives the run's value only
// if p is the run's to the last bit.
TEST(MultistepStep, APairsPredictedValueGivesTheRunsCorrectedOne) {
    const Method& pair = methodByCaption("Adams predictor-corrector 4");
    const SolutionPath path = solutionPath(pair, curved, 0, 1, 2, 0.1);
    for (long step = 4; step < static_cast<long>(path.x.size()); ++step) {
        SCOPED_TRACE(step);
        const MultistepStep shown = multistepStep(path, curved, step);
        ASSERT_TRUE(shown.predicted && shown.newSlope);
        EXPECT_EQ(*shown.newSlope, curved(shown.xNew, *shown.predicted));
        double weighted = 9.0 * *shown.newSlope;
        weighted = weighted + 19.0 * shown.slope[3];
        weighted = weighted + -5.0 * shown.slope[2];
        weighted = weighted + 1.0 * shown.slope[1];
        const double corrected = (0.0 + 1.0 * shown.y[3]) + 0.1 * weighted / 24.0;
        EXPECT_EQ(corrected, shown.yNew);
        // AB4 alone predicts: p differs from the corrected value.
        EXPECT_NE(*shown.predicted, shown.yNew);
    }
}

// An implicit step without a value: the page shows it last, with Newton's
// sentence and no value.
TEST(MultistepStep, AStepWithoutAValueSaysWhy) {
    // y' = y² has no real root of y = e + (2/3)·0.5·y² for e above 3/4.
    const auto square = [](double, double y) { return y * y; };
    const SolutionPath path = solutionPath(methodByCaption("BDF 2"), square, 0, 1, 5, 0.5);
    ASSERT_EQ(path.end, PathEnd::noValue);
    const auto step = static_cast<long>(path.x.size());
    const MultistepStep shown = multistepStep(path, square, step);
    EXPECT_FALSE(shown.hasValue());
    EXPECT_EQ(shown.noValue, path.noValueWhy);
    EXPECT_TRUE(std::isnan(shown.yNew));
    EXPECT_FALSE(shown.newSlope);
}
