// What the Field page draws beside its runs on an equation without an exact
// solution, before any widget: the reference's curve and the "Lab steps"
// rows' reference values, forwards and backwards, and where it stops. (The
// runs themselves are checked on the page, against values worked out by
// hand.)
#include "problem/expression.h"
#include "problem/field_study.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace pelorin;

namespace {

SlopeExpression slope(const char* text) {
    SlopeCompilation compiled = compileSlope(text);
    if (!compiled.slope) throw std::invalid_argument(compiled.error.message);
    return std::move(*compiled.slope);
}

}  // namespace

TEST(TabulatedSolution, GivesTheValueAtItsOwnAbscissaeAndNothingElsewhere) {
    const KnownSolution up = tabulatedSolution({0, 0.25, 0.5}, {1, 2, 3});
    const KnownSolution down = tabulatedSolution({0, -0.25, -0.5}, {1, 2, 3});
    const struct {
        const char* name;
        const KnownSolution& solution;
        double x;
        double expected;  // NaN: nothing known there
    } rows[] = {
        {"ascending, first", up, 0, 1},
        {"ascending, last", up, 0.5, 3},
        {"ascending, between", up, 0.3, NAN},
        {"ascending, beyond", up, 0.75, NAN},
        {"descending, middle", down, -0.25, 2},
        {"descending, last", down, -0.5, 3},
        {"descending, between", down, -0.1, NAN},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const double value = row.solution(row.x);
        if (std::isnan(row.expected)) EXPECT_TRUE(std::isnan(value)) << value;
        else EXPECT_EQ(value, row.expected);
    }
}

// Without an exact solution every value the page shows beside a run comes
// from the reference, at the runs' own abscissae and the curve's: here
// checked against the solutions known in closed form, e^x for y' = y and
// e^(-x²) for y' = -2xy, forwards and backwards from x0 = 0.
TEST(FieldStudy, WithoutAnExactSolutionTheReferenceGivesEveryValueShown) {
    const struct {
        const char* f;
        double x1;
        double (*solution)(double);
    } rows[] = {
        {"y", 1, [](double x) { return std::exp(x); }},
        {"y", -1, [](double x) { return std::exp(x); }},
        {"-2*x*y", 1.2, [](double x) { return std::exp(-x * x); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.f) + " to " + std::to_string(row.x1));
        const SlopeExpression f = slope(row.f);
        const FieldStudy study = studyField(f, {}, {0, 1, row.x1, 0.4, 4});
        EXPECT_EQ(study.comparison, Comparison::reference);
        ASSERT_FALSE(study.notes.empty());
        EXPECT_NE(study.notes.front().find("reference solution"), std::string::npos);
        ASSERT_EQ(study.labSteps.comparison, Comparison::reference);
        ASSERT_GE(study.labSteps.rows.size(), 4u);
        for (const StepError& step : study.labSteps.rows) {
            ASSERT_TRUE(step.exact) << step.i;
            EXPECT_NEAR(*step.exact, row.solution(step.x), 1e-11) << step.i;
            if (step.i > 0) {
                EXPECT_TRUE(step.localError) << step.i;
            }
        }
        ASSERT_EQ(study.known.pieces.size(), 1u);
        const auto& curve = study.known.pieces.front();
        EXPECT_EQ(curve.x.size(), static_cast<std::size_t>(curveSamples));
        for (std::size_t k = 0; k < curve.x.size(); k += 100) {
            EXPECT_NEAR(curve.y[k], row.solution(curve.x[k]), 1e-11) << curve.x[k];
        }
    }
}

// y' = y², y(0) = 1 has y = 1/(1 - x), which leaves every number at x = 1:
// the reference stops there and says so; the steps before it keep their
// reference values, those after it have none, and no value shown is
// infinite.
TEST(FieldStudy, WhereTheReferenceCannotFollowTheProblemItStopsInWords) {
    const SlopeExpression f = slope("y^2");
    const FieldStudy study = studyField(f, {}, {0, 1, 2, 0.4, 0});
    ASSERT_EQ(study.notes.size(), 2u);
    EXPECT_EQ(study.notes[1].rfind("The reference solution stopped near x = 0.99999", 0), 0u)
        << study.notes[1];
    ASSERT_EQ(study.labSteps.rows.size(), 6u);
    for (const StepError& step : study.labSteps.rows) {
        SCOPED_TRACE(step.i);
        EXPECT_EQ(step.exact.has_value(), step.x < 1);
        if (step.exact) {
            EXPECT_NEAR(*step.exact, 1 / (1 - step.x), 1e-6);
        }
    }
    for (const auto& piece : study.known.pieces) {
        for (double y : piece.y) ASSERT_TRUE(std::isfinite(y));
    }
}
