// The stages of an implicit step as the One step page shows them: the ones
// Newton's method converged to, with every iterate, or none and the sentence
// saying why. The residuals on y' = 5·e^(5x)·(y - x)² + 1 come from
// tests/support/newton_iterates.py (Newton's method in Python's floats).
#include "numerics/stage_step.h"
#include "methods/implicit_tableaus.h"

#include "numerics/state_operations.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

namespace {

double curved(double x, double y) { return 5 * std::exp(5 * x) * (y - x) * (y - x) + 1; }
double doubling(double, double y) { return 2 * y; }

}  // namespace

// Each stage Y_j = y0 + Σ_l a_jl·k_l over every stage l, its own and the
// later ones too, with the slope f(x_j, Y_j) it was solved for; the step ends
// where the run's step does, to the bit. Stages read from a_jl, l < j, alone
// would leave backward Euler's stage at y0 with the slope there.
TEST(StageStep, ImplicitStagesSolveTheirEquationsAndEndWhereTheRunDoes) {
    const double x0 = 0, y0 = -1, h = 0.2;
    for (const Method& method : labCatalogue()) {
        if (!std::holds_alternative<ImplicitRungeKutta>(method.family)) continue;
        SCOPED_TRACE(method.caption);
        const Tableau& tableau = *tableauOf(method);
        const StageStep stages = stepByStages(tableau, x0, y0, h, curved);
        ASSERT_TRUE(stages.hasValue()) << stages.noValue;
        EXPECT_EQ(stages.y1, methodStep(method, x0, y0, h, curved));
        EXPECT_EQ(stages.y1, y0 + stages.increment);
        EXPECT_GE(stages.iterations.size(), 2u);
        for (std::size_t j = 0; j < static_cast<std::size_t>(tableau.stages); ++j) {
            SCOPED_TRACE(j);
            double Y = y0;
            for (std::size_t l = 0; l < static_cast<std::size_t>(tableau.stages); ++l) {
                Y += tableau.a[j][l].value() * stages.k[l];
            }
            EXPECT_EQ(stages.x[j], x0 + tableau.c[j].value() * h);
            EXPECT_NEAR(stages.Y[j], Y, 1e-14);
            EXPECT_NEAR(stages.slope[j], curved(stages.x[j], stages.Y[j]), 1e-12);
            EXPECT_EQ(stages.k[j], h * stages.slope[j]);
            EXPECT_EQ(stages.Y[j], stages.iterations.back().states[j]);
        }
    }
}

// The Jacobian at (0, -1) leaves the second update 0.265 of the first, too
// slow to converge within 20 iterations, so after three iterates the
// iterations start again with the Jacobian at every iterate (the full Newton
// method): from that second start each residual is at most C·(the one
// before)² with C = 0.1, for the iterations before roundings are all that is
// left (residual > 1E-7). Python's floats (tests/support/newton_iterates.py)
// give the quotients 0.0096, 0.026, 0.042, 0.046, 0.046 and seven iterates
// there, the start included.
TEST(StageStep, NewtonsResidualsShrinkQuadratically) {
    const StageStep stages = stepByStages(backwardEulerTableau, 0, -1, 0.2, curved);
    ASSERT_TRUE(stages.hasValue()) << stages.noValue;
    ASSERT_EQ(stages.iterations.size(), 3u + 7u);
    EXPECT_EQ(stages.iterations[3].number, 0);
    constexpr double C = 0.1;
    int quadratic = 0;
    for (std::size_t k = 3; k + 1 < stages.iterations.size(); ++k) {
        const double r = stages.iterations[k].residual, next = stages.iterations[k + 1].residual;
        if (r <= 1e-7) break;
        EXPECT_LE(next, C * r * r) << "iteration " << k + 1;
        ++quadratic;
    }
    EXPECT_EQ(quadratic, 5);
}

// A step without a value keeps its iterates and its stages' abscissae, and
// says why in Newton's words; an explicit step has no iterations at all.
TEST(StageStep, AStepWithoutAValueSaysWhyAndAnExplicitOneHasNoIterations) {
    const StageStep failed = stepByStages(backwardEulerTableau, 0.4, 1, 0.5, doubling);
    EXPECT_FALSE(failed.hasValue());
    EXPECT_EQ(failed.noValue, "Newton's method did not converge in the step from x = 0.4: in "
                              "iteration 1 the matrix I - h·A⊗J is singular.");
    ASSERT_EQ(failed.iterations.size(), 1u);
    EXPECT_EQ(failed.x[0], 0.9);
    // Nothing a caller could take for a value.
    for (double none : {failed.Y[0], failed.slope[0], failed.k[0], failed.increment, failed.y1}) {
        EXPECT_TRUE(std::isnan(none));
    }

    const StageStep rk4 = stepByStages(*tableauOf(methodByCaption("Runge-Kutta 4")), 0, -1, 0.2, curved);
    EXPECT_TRUE(rk4.hasValue());
    EXPECT_TRUE(rk4.iterations.empty());
}
