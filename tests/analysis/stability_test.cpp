// Stability functions from the tableaus, their intervals on the negative real
// axis against published and independently computed values, and runs of the
// lesson's equation with a chosen step.
#include "analysis/lab_text.h"
#include "analysis/stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

const Method& byCaption(std::string_view caption) {
    for (const Method& method : methodCatalogue) {
        if (method.caption == caption) return method;
    }
    throw std::invalid_argument(std::string(caption));
}

}  // namespace

// R(z) = 1 + z + z²/2 + ... : the Taylor polynomial of e^z up to the order,
// then Fehlberg's z⁶/2080 and Merson's z⁵/144.
TEST(Stability, PolynomialsFromTheTableaus) {
    const struct {
        std::string_view method;
        std::vector<double> gamma;
    } rows[] = {
        {"Euler", {1, 1}},
        {"Euler (End points)", {1, 1, 1.0 / 2}},
        {"Euler (Mid point)", {1, 1, 1.0 / 2}},
        {"Runge-Kutta 4", {1, 1, 1.0 / 2, 1.0 / 6, 1.0 / 24}},
        {"Runge-Kutta-Fehlberg", {1, 1, 1.0 / 2, 1.0 / 6, 1.0 / 24, 1.0 / 120, 1.0 / 2080}},
        {"Runge-Kutta-Merson", {1, 1, 1.0 / 2, 1.0 / 6, 1.0 / 24, 1.0 / 144}},
        {"Runge-Kutta-Gill", {1, 1, 1.0 / 2, 1.0 / 6, 1.0 / 24}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const auto gamma = stabilityPolynomial(*byCaption(row.method).tableau);
        ASSERT_EQ(gamma.size(), row.gamma.size());
        for (std::size_t k = 0; k < gamma.size(); ++k) {
            EXPECT_NEAR(gamma[k], row.gamma[k], 1e-15 * row.gamma[k]) << "z^" << k;
        }
    }
}

// Published: Euler and the two-stage methods 2, the classical fourth order
// 2.785 (Hairer & Wanner, Solving ODEs II, sec. IV.2; Lambert 1991, sec. 5.12),
// Merson about 3.5 (Lambert 1973). Our digits come from a 40-digit bisection
// of the same polynomials.
TEST(Stability, IntervalsOnTheNegativeRealAxis) {
    const struct {
        std::string_view method;
        double published, tolerance;
        std::string_view shown;
    } rows[] = {
        {"Euler", 2, 1e-12, "2.000"},
        {"Euler (End points)", 2, 1e-12, "2.000"},
        {"Euler (Mid point)", 2, 1e-12, "2.000"},
        {"Runge-Kutta 4", 2.785, 5e-4, "2.785"},
        {"Runge-Kutta-Fehlberg", 3.6777066213218956, 1e-12, "3.678"},
        {"Runge-Kutta-Merson", 3.5, 0.05, "3.548"},
        {"Runge-Kutta-Gill", 2.785, 5e-4, "2.785"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const double interval =
            stabilityInterval(stabilityPolynomial(*byCaption(row.method).tableau));
        EXPECT_NEAR(interval, row.published, row.tolerance);
        EXPECT_EQ(fixedText(interval, 3), row.shown);
    }
}

TEST(Stability, MethodsWithTheSameStabilityFunction) {
    const std::vector<std::vector<std::size_t>> expected{{0}, {1, 2}, {3, 6}, {4}, {5}};
    EXPECT_EQ(sameStabilityFunction(), expected);
}

TEST(Stability, RegionSamplesStayFiniteAndMarkTheInside) {
    const auto polynomial = stabilityPolynomial(*byCaption("Runge-Kutta 4").tableau);
    const StabilityGrid grid = sampleStabilityRegion(polynomial, 81, 81);
    ASSERT_EQ(grid.modulus.size(), 81u * 81u);
    for (double modulus : grid.modulus) {
        ASSERT_TRUE(std::isfinite(modulus));
        ASSERT_LE(modulus, StabilityGrid::cap);
    }
    // Column 50 of -6 ... 2 in tenths is re = -1, row 40 is im = 0:
    // R(-1) = 1 - 1 + 1/2 - 1/6 + 1/24 = 3/8.
    EXPECT_EQ(grid.re(50), -1);
    EXPECT_EQ(grid.im(40), 0);
    EXPECT_NEAR(grid.modulus[40 * 81 + 50], 0.375, 1e-15);
    // re = 2 lies outside every region.
    EXPECT_EQ(grid.modulus[40 * 81 + 80], StabilityGrid::cap);
}

TEST(Stability, RunsWithAChosenStepGrowOrDieAway) {
    const struct {
        std::string_view method;
        double h;
        std::string_view note;
    } rows[] = {
        // R(-0.4) for Euler: 1 - 0.4 = 0.6.
        {"Euler", 0.4, "z = h\u00b7\u03bb = -0.400 lies inside the region: |R(z)| = 0.600, "
                       "so every step damps the error."},
        // 1 - 1.5 = -0.5: damped, alternating.
        {"Euler", 1.5, "z = h\u00b7\u03bb = -1.500 lies inside the region: |R(z)| = 0.500, "
                       "so every step damps the error, flipping its sign each step."},
        // 1 - 2 = -1.
        {"Euler", 2, "z = h\u00b7\u03bb = -2.000 lies on the edge of the region: "
                     "|R(z)| = 1.000, so an error neither grows nor dies away."},
        // 1 - 3 + 9/2 - 27/6 + 81/24 = 1.375.
        {"Runge-Kutta 4", 3, "z = h\u00b7\u03bb = -3.000 lies outside the region: "
                             "|R(z)| = 1.375, so every step multiplies the error, and the "
                             "run moves away from the exact solution."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " h = " + std::to_string(row.h));
        const StabilityRun run = runWithStep(byCaption(row.method), 0, -1, row.h, 20);
        ASSERT_EQ(run.x.size(), 21u);
        ASSERT_EQ(run.notes.size(), 1u);
        EXPECT_EQ(run.notes[0], row.note);
    }
}

TEST(Stability, RunsStopBeforeTheyOverflow) {
    const StabilityRun run = runWithStep(byCaption("Runge-Kutta-Fehlberg"), 0, 1e300, 8, 40);
    EXPECT_LT(run.x.size(), 41u);
    for (std::size_t i = 0; i < run.x.size(); ++i) {
        ASSERT_TRUE(std::isfinite(run.x[i]) && std::isfinite(run.y[i]) &&
                    std::isfinite(run.exact[i]));
    }
    ASSERT_FALSE(run.notes.empty());
    EXPECT_TRUE(run.notes.front().starts_with("At step "));
    EXPECT_TRUE(run.notes.front().ends_with(" the values grow too large to calculate with; the run "
                                            "stops there."));

    const StabilityRun backwards = runWithStep(byCaption("Euler"), 0, -1, -0.5, 10);
    EXPECT_TRUE(backwards.x.empty());
    EXPECT_EQ(backwards.notes.front(), "Choose a positive h to step forwards.");
}
