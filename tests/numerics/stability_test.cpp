// Stability functions from the tableaus, their intervals on the negative real
// axis against published and independently computed values, and runs of the
// lesson's equation with a chosen step.
#include "base/number_text.h"
#include "numerics/stability.h"
#include "numerics/stability_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <optional>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {


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
        const auto gamma = stabilityPolynomial(*tableauOf(methodByCaption(row.method)));
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
            stabilityInterval(stabilityPolynomial(*tableauOf(methodByCaption(row.method))));
        EXPECT_NEAR(interval, row.published, row.tolerance);
        EXPECT_EQ(fixedText(interval, 3), row.shown);
    }
}

TEST(Stability, MethodsWithTheSameStabilityFunction) {
    const std::vector<std::vector<std::size_t>> expected{{0}, {1, 2}, {3, 6}, {4}, {5}};
    EXPECT_EQ(sameStabilityFunction(), expected);
}

// The mask is the set |R(z)| <= 1 itself: points with 1 < |R(z)| < 2 are out.
TEST(Stability, RegionSamplesMarkExactlyTheInside) {
    const auto euler = stabilityPolynomial(*tableauOf(methodByCaption("Euler")));
    // -6 ... 2 and -4 ... 4 in tenths.
    const StabilityGrid grid = sampleStabilityRegion(euler, 81, 81);
    ASSERT_EQ(grid.inside.size(), 81u * 81u);
    EXPECT_EQ(grid.re(50), -1);
    EXPECT_EQ(grid.im(40), 0);
    const struct {
        int column, row;
        bool inside;
    } rows[] = {
        {50, 40, true},   // z = -1, R = 0
        {40, 40, true},   // z = -2, |R| = 1: the edge belongs to the region
        {39, 40, false},  // z = -2.1, |R| = 1.1
        {30, 40, false},  // z = -3, |R| = 2
        {60, 40, true},   // z = 0, |R| = 1
        {61, 40, false},  // z = 0.1
        {50, 49, true},   // z = -1 + 0.9i
        {50, 51, false},  // z = -1 + 1.1i
        {50, 55, false},  // z = -1 + 1.5i
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("z = " + std::to_string(grid.re(row.column)) + " + " +
                     std::to_string(grid.im(row.row)) + "i");
        EXPECT_EQ(grid.isInside(row.column, row.row), row.inside);
    }
}

namespace {

// How often a closed line winds around a point: the sum of the angles its
// segments turn through, in whole turns.
double turnsAround(const Polyline& line, std::complex<double> centre) {
    double angle = 0;
    for (std::size_t i = 1; i < line.size(); ++i)
        angle += std::arg((line[i] - centre) / (line[i - 1] - centre));
    return angle / (2 * std::acos(-1.0));
}

}  // namespace

// Every point of the edge satisfies |R(z)| = 1 to 1E-13, which a step of
// bisection short of the nearest doubles would already miss.
TEST(Stability, BoundaryPointsLieOnTheEdge) {
    for (const Method& method : methodCatalogue) {
        SCOPED_TRACE(method.caption);
        const auto polynomial = stabilityPolynomial(*tableauOf(method));
        const StabilityGrid grid = sampleStabilityRegion(polynomial, 161, 161);
        const auto lines = stabilityBoundary(polynomial, grid);
        // Each region is one piece, well inside the grid: one closed line.
        ASSERT_EQ(lines.size(), 1u);
        const Polyline& edge = lines.front();
        ASSERT_GT(edge.size(), 40u);
        EXPECT_EQ(edge.front(), edge.back());
        for (std::complex<double> z : edge) {
            ASSERT_NEAR(std::abs(stabilityFunction(polynomial, z)), 1, 1e-13) << z;
        }
        // It goes once around the origin's neighbour -1, inside every region.
        EXPECT_NEAR(std::fabs(turnsAround(edge, {-1, 0})), 1, 1e-12);
    }
}

// Euler's edge is the circle |1 + z| = 1.
TEST(Stability, EulersBoundaryIsTheUnitCircleAroundMinusOne) {
    const auto euler = stabilityPolynomial(*tableauOf(methodByCaption("Euler")));
    const auto lines = stabilityBoundary(euler, sampleStabilityRegion(euler, 321, 321));
    ASSERT_EQ(lines.size(), 1u);
    double left = 0, right = -2, bottom = 0, top = 0;
    for (std::complex<double> z : lines.front()) {
        ASSERT_NEAR(std::abs(z + 1.0), 1, 1e-14) << z;
        left = std::min(left, z.real());
        right = std::max(right, z.real());
        bottom = std::min(bottom, z.imag());
        top = std::max(top, z.imag());
    }
    // To rounding: 1 + 1E-16 is 1 in double, so |R| = 1 there too.
    EXPECT_NEAR(left, -2, 1e-15);
    EXPECT_NEAR(right, 0, 1e-15);
    EXPECT_NEAR(bottom, -1, 1e-3);
    EXPECT_NEAR(top, 1, 1e-3);
}

// The edge meets the negative real axis at minus the stability interval, so
// that z = -h with h on the interval is drawn on the line. Digits from a
// 40-digit bisection of the same polynomials.
TEST(Stability, BoundaryCrossesTheRealAxisAtTheInterval) {
    const struct {
        std::string_view method;
        double crossing;
    } rows[] = {
        {"Euler", -2},
        {"Euler (End points)", -2},
        {"Euler (Mid point)", -2},
        {"Runge-Kutta 4", -2.78529356340528162},
        {"Runge-Kutta-Fehlberg", -3.67770662132189559},
        {"Runge-Kutta-Merson", -3.54832234423467391},
        {"Runge-Kutta-Gill", -2.78529356340528162},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const auto polynomial = stabilityPolynomial(*tableauOf(methodByCaption(row.method)));
        const auto lines =
            stabilityBoundary(polynomial, sampleStabilityRegion(polynomial, 321, 321));
        ASSERT_EQ(lines.size(), 1u);
        double leftmostOnAxis = 0;
        for (std::complex<double> z : lines.front()) {
            if (z.imag() == 0) leftmostOnAxis = std::min(leftmostOnAxis, z.real());
        }
        EXPECT_NEAR(leftmostOnAxis, row.crossing, 1e-14);
    }
}

TEST(Stability, TypedStepsInRangeOrKeptWithANote) {
    const struct {
        std::string_view name, typed;
        std::optional<double> h;
        std::string_view note;
    } rows[] = {
        {"in range", "2.5", 2.5, ""},
        {"the slider's smallest", "0.01", 0.01, ""},
        // Small enough for Euler on Van der Pol with mu = 1000 (below 2/3000).
        {"smallest", "0.00001", 0.00001, ""},
        {"below the smallest", "0.000009", std::nullopt,
         "h: \"0.000009\" lies outside 0.00001 to 6, the steps the lab takes; h stays 0.40."},
        {"largest", "6", 6, ""},
        {"blanks around", " 3 ", 3, ""},
        {"beyond the largest", "10", std::nullopt,
         "h: \"10\" lies outside 0.00001 to 6, the steps the lab takes; h stays 0.40."},
        {"zero", "0", std::nullopt,
         "h: \"0\" lies outside 0.00001 to 6, the steps the lab takes; h stays 0.40."},
        {"negative", "-1", std::nullopt,
         "h: \"-1\" lies outside 0.00001 to 6, the steps the lab takes; h stays 0.40."},
        {"no number", "abc", std::nullopt, "h: \"abc\" is not a number; h stays 0.40."},
        {"comma", "0,5", std::nullopt,
         "h: \"0,5\" is not a number: use a point, not a comma, for decimals; h stays 0.40."},
        {"empty", "", std::nullopt, "h: the box is empty: type a number; h stays 0.40."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StepReading reading = readStep(row.typed, "0.40");
        EXPECT_EQ(reading.h, row.h);
        EXPECT_EQ(reading.note, row.note);
    }
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
        // Just inside and just outside the interval, |R| is no "1.000":
        // R(-2.785) = 0.99955748..., |R(-3.678)| = 1.00043318... (fractions).
        {"Runge-Kutta 4", 2.785, "z = h\u00b7\u03bb = -2.785 lies inside the region: "
                                 "|R(z)| = 0.9996, so every step damps the error."},
        {"Runge-Kutta-Fehlberg", 3.678, "z = h\u00b7\u03bb = -3.678 lies outside the region: "
                                        "|R(z)| = 1.0004, so every step multiplies the error, "
                                        "and the run moves away from the exact solution."},
        // 1 - 3 + 9/2 - 27/6 + 81/24 = 1.375.
        {"Runge-Kutta 4", 3, "z = h\u00b7\u03bb = -3.000 lies outside the region: "
                             "|R(z)| = 1.375, so every step multiplies the error, and the "
                             "run moves away from the exact solution."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " h = " + std::to_string(row.h));
        const StabilityRun run = runWithStep(methodByCaption(row.method), 0, -1, row.h, 20);
        ASSERT_EQ(run.x.size(), 21u);
        ASSERT_EQ(run.notes.size(), 1u);
        EXPECT_EQ(run.notes[0], row.note);
    }
}

TEST(Stability, RunsStopBeforeTheyOverflow) {
    const StabilityRun run = runWithStep(methodByCaption("Runge-Kutta-Fehlberg"), 0, 1e300, 8, 40);
    EXPECT_LT(run.x.size(), 41u);
    for (std::size_t i = 0; i < run.x.size(); ++i) {
        ASSERT_TRUE(std::isfinite(run.x[i]) && std::isfinite(run.y[i]) &&
                    std::isfinite(run.exact[i]));
    }
    ASSERT_FALSE(run.notes.empty());
    EXPECT_TRUE(run.notes.front().starts_with("At step "));
    EXPECT_TRUE(run.notes.front().ends_with(" the values grow too large to calculate with; the run "
                                            "stops there."));

    const StabilityRun backwards = runWithStep(methodByCaption("Euler"), 0, -1, -0.5, 10);
    EXPECT_TRUE(backwards.x.empty());
    EXPECT_EQ(backwards.notes.front(), "Choose a positive h to step forwards.");
}

// On the stiff y' = -50(y - cos x), λ = -50 wherever the solution is: Euler's
// z = -50h leaves its region [-2, 0] for h above 2/50 = 0.04, at the first
// step; below, the path stays inside. On the lesson's equation z = -h.
TEST(Stability, PathOfZAlongARunOnAnyEquation) {
    const auto stiff = [](double x, double y) { return -50 * (y - std::cos(x)); };
    const struct {
        const char* name;
        const char* method;
        bool lesson;
        double h;
        double z;  // at every step point
        bool leaves;
    } rows[] = {
        {"Euler, h = 0.05", "Euler", false, 0.05, -2.5, true},
        {"Euler, h = 0.03", "Euler", false, 0.03, -1.5, false},
        {"Runge-Kutta 4, h = 0.05", "Runge-Kutta 4", false, 0.05, -2.5, false},
        {"Runge-Kutta 4, h = 0.06", "Runge-Kutta 4", false, 0.06, -3, true},
        {"lesson, Euler, h = 2.5", "Euler", true, 2.5, -2.5, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StabilityPath path =
            row.lesson ? stabilityPath(methodByCaption(row.method), f1, 0, -1, 10, row.h)
                       : stabilityPath(methodByCaption(row.method), stiff, 0, 0, 1, row.h);
        ASSERT_FALSE(path.z.empty());
        for (const auto& modes : path.z) EXPECT_NEAR(modes.front().real(), row.z, 1e-6);
        EXPECT_EQ(path.firstOutside.has_value(), row.leaves);
        if (row.leaves) {
            EXPECT_EQ(path.firstOutside->step, 0u);
        }
        ASSERT_FALSE(path.notes.empty());
        EXPECT_NE(path.notes.front().find(row.leaves ? "leaves the region at step 0"
                                                     : "stays inside the region"),
                  std::string::npos)
            << path.notes.front();
    }
}

// What a step does to an error depends on the sign of λ: where the solution
// decays the region decides, on its edge an error is kept; where λ = 0 it is
// carried along; where the solution grows, so does the error, and what
// matters is |R(z)| against e^z. Each sentence on a problem where it could be
// false. Digits from mpmath: RK4's R(0.2) = 1.2214, e^0.2 = 1.2214028, ratio
// 0.99999774; Euler at x = 1.5, h = 0.5: z = 0.0353686, ratio 0.99938909;
// the edge tolerance 4·2^(-104/3)·(50 + 50)·0.04 = 5.867E-10.
TEST(Stability, PathNotesFollowTheSignOfLambda) {
    const auto growth = [](double, double y) { return y; };
    const auto slow = [](double, double y) { return 1e-7 * y; };
    const auto quadrature = [](double x, double) { return std::cos(x); };
    const auto steep = [](double x, double) { return std::exp(1000 * x); };
    const auto stiff = [](double x, double y) { return -50 * (y - std::cos(x)); };
    const auto periodic = [](double x, double y) { return y * std::cos(x); };
    const std::string how = "z = h\u00b7\u03bb along the run, with \u03bb = \u2202f/\u2202y from a "
                            "central difference quotient at every step point";
    const struct {
        const char* name;
        Slope f;
        const char* method;
        double y0, x1, h;
        std::vector<std::string> notes;
    } rows[] = {
        {"growing, on the exact curve", growth, "Runge-Kutta 4", 1, 2, 0.2,
         {how + ", is positive: the solution itself grows, by e^z per step, and an error with "
                "it, by |R(z)|, so what matters is the error relative to the solution, which "
                "each step multiplies by |R(z)|/e^z. That is at most 0.999998 (at step 0, "
                "x = 0.000, z = 0.200: |R(z)| = 1.221 against e^z = 1.221), so relative to the "
                "solution an error does not grow."}},
        {"growing so slowly that R(z) and e^z round alike", slow, "Runge-Kutta 4", 1, 1, 0.1,
         {how + ", is positive: the solution itself grows, by e^z per step, and an error with "
                "it, by |R(z)|, so what matters is the error relative to the solution, which "
                "each step multiplies by |R(z)|/e^z. That is at most 1.000 (at step 0, "
                "x = 0.000, z = 0.000: |R(z)| = 1.000 against e^z = 1.000), so relative to the "
                "solution an error does not grow."}},
        {"neutral, a quadrature", quadrature, "Runge-Kutta 4", 0, 3, 0.25,
         {how + ", is 0: f does not change with y, so R(0) = 1: each step carries an error "
                "along unchanged, neither damped nor grown."}},
        {"neutral, a steep slope", steep, "Runge-Kutta 4", 0, 0.5, 0.1,
         {how + ", is 0: f does not change with y, so R(0) = 1: each step carries an error "
                "along unchanged, neither damped nor grown."}},
        {"on the edge", stiff, "Euler", 0, 1, 0.04,
         {how + ", stays within the region and lies on its edge at all 26 step points: z = "
                "-2.000 is within 5.87E-10 of the edge |R(z)| = 1, as "
                "close as the difference quotient gives z, so there an error neither grows nor "
                "dies away."}},
        {"decaying, inside", stiff, "Euler", 0, 1, 0.03,
         {how + ", stays inside the region: every step damps an error, flipping its sign each "
                "step."}},
        {"decaying, leaving", stiff, "Euler", 0, 1, 0.05,
         {how + ", leaves the region at step 0, x = 0.000, where z = -2.500: from there every "
                "step multiplies an error by |R(z)| = 1.500, and the run can move away from the "
                "solution."}},
        {"changing sign", periodic, "Euler", 1, 6, 0.5,
         {how + ", is negative at 6 of the 13 step points and positive at 7, so each step is "
                "judged by its own \u03bb.",
          "Where \u03bb < 0, z stays inside the region: every step damps an error.",
          "Where \u03bb > 0, the solution itself grows, by e^z per step, and an error with it, "
          "by |R(z)|, so what matters is the error relative to the solution, which each step "
          "multiplies by |R(z)|/e^z. That is at most 0.999 (at step 3, x = 1.500, z = 0.035: "
          "|R(z)| = 1.035 against e^z = 1.036), so relative to the solution an error does not "
          "grow."}},
        // z = 3·cos 3 = -2.970 (mpmath), |1 + z| = 1.970; the steps at x = 0
        // and 6 have λ > 0, so not every step from x = 3 on multiplies. At
        // x = 6: z = 2.8805, 1 + z = 3.8805, e^z = 17.8234, ratio 0.2177.
        {"changing sign, leaving", periodic, "Euler", 1, 6, 3,
         {how + ", is negative at 1 of the 3 step points and positive at 2, so each step is "
                "judged by its own \u03bb.",
          "Where \u03bb < 0, z leaves the region at step 1, x = 3.000, where z = -2.970: there a "
          "step multiplies an error by |R(z)| = 1.970, and the run can move away from the "
          "solution.",
          "Where \u03bb > 0, the solution itself grows, by e^z per step, and an error with it, "
          "by |R(z)|, so what matters is the error relative to the solution, which each step "
          "multiplies by |R(z)|/e^z. That is at most 0.218 (at step 2, x = 6.000, z = 2.881: "
          "|R(z)| = 3.881 against e^z = 17.823), so relative to the solution an error does not "
          "grow."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StabilityPath path =
            stabilityPath(methodByCaption(row.method), row.f, 0, row.y0, row.x1, row.h);
        EXPECT_EQ(path.notes, row.notes);
    }
}

// The quotient lies within its tolerance of the derivative, and the
// tolerance is no wider than a hundred-thousandth of a percent, on slopes
// whose third derivative in y is zero, large, or large at the scale of y.
TEST(Stability, DifferenceQuotientWithinItsTolerance) {
    const struct {
        const char* name;
        Slope f;
        double (*derivative)(double x, double y);
    } rows[] = {
        {"linear", [](double x, double y) { return -50 * (y - std::cos(x)); },
         [](double, double) { return -50.0; }},
        {"square", [](double x, double y) { return x * x + y * y; },
         [](double, double y) { return 2 * y; }},
        {"exponential", [](double, double y) { return std::exp(y); },
         [](double, double y) { return std::exp(y); }},
        {"sine", [](double, double y) { return 1e3 * std::sin(y); },
         [](double, double y) { return 1e3 * std::cos(y); }},
        {"large offset", [](double, double y) { return 1e6 + y; },
         [](double, double) { return 1.0; }},
    };
    for (const auto& row : rows) {
        for (double y : {-30.0, -1.0, 0.0, 0.3, 2.0, 25.0}) {
            SCOPED_TRACE(std::string(row.name) + ", y = " + std::to_string(y));
            const SlopeDerivative quotient = slopeDerivative(row.f, 0.7, y);
            const double exact = row.derivative(0.7, y);
            EXPECT_LE(std::fabs(quotient.lambda - exact), quotient.tolerance);
            EXPECT_LE(
                quotient.tolerance,
                1e-7 * (std::fabs(exact) + std::fabs(row.f(0.7, y)) / std::max(1.0, std::fabs(y))));
        }
    }
}
