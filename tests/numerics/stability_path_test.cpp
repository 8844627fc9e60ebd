// A system's stability along a run: z = h·λ for the eigenvalues of h·J at
// every step point, where each lies against the method's region, and the
// sentences on where the first leaves it. Expected texts are worked out
// apart from the code under test with mpmath (40 digits): on the harmonic
// oscillator z = ±ih and |R(ih)| is √(1 + h²) for Euler and
// √(1 - h⁶/72 + h⁸/576) for Runge-Kutta 4, whose edge on the imaginary axis
// findroot puts at 2√2 = 2.828427124746190098; Van der Pol's and the
// pendulum's eigenvalues from their Jacobians in closed form, along Euler
// runs replayed in Python's floats.
#include "numerics/stability_path.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

using pelorin::testing::oscillator;
using pelorin::testing::pendulum;
StateVector vanDerPol(double, const StateVector& y) {
    return {y[1], (1 - y[0] * y[0]) * y[1] - y[0]};
}
// An epidemic, β = 0.3 and γ = 0.1: F does not look at y3.
StateVector sir(double, const StateVector& y) {
    return {-0.3 * y[0] * y[1], 0.3 * y[0] * y[1] - 0.1 * y[1], 0.1 * y[1]};
}

const Method& euler() { return methodByCaption("Euler"); }
const Method& rungeKutta4() { return methodByCaption("Runge-Kutta 4"); }

std::string allNotes(const StabilityPathOf<StateVector>& path) {
    std::string text;
    for (const std::string& note : path.notes) text += note + "\n";
    return text;
}

}  // namespace

// Where one z lies: the region decides unless the solution itself is carried
// along (z = 0) or grows (Re z > 0), each judged within the tolerance.
TEST(SystemStability, EachModeIsJudgedByTheRegionOrByItsGrowth) {
    const auto eulerR = stabilityPolynomial(*tableauOf(euler()));
    const auto rk4R = stabilityPolynomial(*tableauOf(rungeKutta4()));
    const struct {
        const char* name;
        const std::vector<double>& polynomial;
        std::complex<double> z;
        double tolerance;
        StepKind kind;
    } rows[] = {
        {"0", eulerR, {0, 0}, 1e-10, StepKind::neutral},
        {"within the tolerance of 0", eulerR, {1e-11, -1e-11}, 1e-10, StepKind::neutral},
        {"Re z > 0", eulerR, {0.5, 3}, 1e-10, StepKind::growing},
        {"Euler's centre", eulerR, {-1, 0}, 1e-10, StepKind::inside},
        {"Euler's left end", eulerR, {-2, 0}, 1e-10, StepKind::onEdge},
        {"Euler's top", eulerR, {-1, 1}, 1e-10, StepKind::onEdge},
        {"past Euler's left end", eulerR, {-2.1, 0}, 1e-10, StepKind::outside},
        {"Euler on the imaginary axis", eulerR, {0, 0.5}, 1e-10, StepKind::outside},
        {"Euler on the imaginary axis, Re z within the tolerance", eulerR, {1e-12, 0.01}, 1e-10,
         StepKind::outside},
        {"Runge-Kutta 4 at 2.82i", rk4R, {0, 2.82}, 1e-10, StepKind::inside},
        {"Runge-Kutta 4 at 2√2 i", rk4R, {0, 2.8284271247461903}, 1e-10, StepKind::onEdge},
        {"Runge-Kutta 4 at 2.83i", rk4R, {0, 2.83}, 1e-10, StepKind::outside},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(modeKind(row.polynomial, row.z, row.tolerance), row.kind);
    }
}

TEST(SystemStability, ModesAreNamedWithAConjugatePairAtOnce) {
    const struct {
        std::complex<double> z;
        const char* text;
    } rows[] = {
        {{0, 0.4}, "\u00b10.400i"},
        {{0, -0.4}, "\u00b10.400i"},
        {{-1e-17, 2.83}, "\u00b12.830i"},
        {{-0.1, 0.995}, "-0.100 \u00b1 0.995i"},
        {{-2.5, 0}, "-2.500"},
    };
    for (const auto& row : rows) EXPECT_EQ(modeText(row.z), row.text);
}

// z = ±ih lies outside Euler's disc for every h > 0: |R(ih)| = √(1 + h²).
// Its run grows in that mode at every step and spirals outwards.
TEST(SystemStability, EulersOscillatorLeavesTheRegionAtEveryH) {
    const struct {
        double h;
        const char* z;
        const char* modulus;
        int points;
    } rows[] = {
        {0.01, "\u00b10.010i", "1.00005", 101},
        {0.5, "\u00b10.500i", "1.118", 3},
        {1, "\u00b11.000i", "1.414", 2},
        {6, "\u00b16.000i", "6.083", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.h);
        const StabilityPathOf<StateVector> path =
            stabilityPath(euler(), oscillator, 0, {1, 0}, 1, row.h);
        ASSERT_EQ(path.z.size(), static_cast<std::size_t>(row.points));
        ASSERT_TRUE(path.firstOutside);
        EXPECT_EQ(path.firstOutside->step, 0u);
        const std::string points = std::to_string(row.points);
        ASSERT_EQ(path.notes.size(), 2u) << allNotes(path);
        EXPECT_EQ(path.notes[1],
                  "The first z to leave the region is the pair z = " + std::string(row.z) +
                      " (\u03bb = \u00b11.000i), at step 0, x = 0.000: |R(z)| = " + row.modulus +
                      ", so there the run grows in that mode, each step multiplying it by " +
                      row.modulus + ", turning as it grows: the run spirals outwards, while the "
                      "solution does not grow in it. Some z lies outside the region at " + points +
                      " of the " + points + " step points.");
    }
}

// Runge-Kutta 4's region meets the imaginary axis at 2√2: just below, the
// oscillator's z stay inside; at 2√2 to the last bit they lie on the edge
// within the quotients' accuracy; just above, they leave it.
TEST(SystemStability, RungeKutta4KeepsTheOscillatorUpTo2Sqrt2) {
    const struct {
        double h;
        const char* verdict;
    } rows[] = {
        {2.82, "Every z stays inside the region: each step damps an error in every mode."},
        {2.8284271247461903,
         "Every z stays within the region, and the pair z = \u00b12.828i "
         "(\u03bb = \u00b11.000i) at step 0, x = 0.000 lies on its edge"},
        {2.83,
         "The first z to leave the region is the pair z = \u00b12.830i (\u03bb = \u00b11.000i), "
         "at step 0, x = 0.000: |R(z)| = 1.004, so there the run grows in that mode"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.h);
        const StabilityPathOf<StateVector> path =
            stabilityPath(rungeKutta4(), oscillator, 0, {1, 0}, 1, row.h);
        ASSERT_EQ(path.notes.size(), 2u) << allNotes(path);
        EXPECT_TRUE(path.notes[1].starts_with(row.verdict)) << path.notes[1];
        EXPECT_EQ(path.firstOutside.has_value(), row.h > 2.83 - 1e-9);
    }
    const StabilityPathOf<StateVector> edge =
        stabilityPath(rungeKutta4(), oscillator, 0, {1, 0}, 1, 2.8284271247461903);
    EXPECT_TRUE(edge.notes[1].ends_with(", as close as the difference quotients give z: there an "
                                        "error in that mode neither grows nor dies away (some z "
                                        "lies on the edge at 2 of the 2 step points)."))
        << edge.notes[1];
}

// On Van der Pol (μ = 1) from (2, 0) the eigenvalues move along the run:
// at the start J = [[0, 1], [-1, -3]] gives λ = (-3 ± √5)/2, which Euler's
// h = 0.7 keeps inside (z = -1.833); one step on, at (2, -1.4), λ =
// (-3 ± √27.4)/2: -4.117 puts z = -2.882 outside, where R(z) = 1 + z is
// negative, and 1.117 makes the solution itself grow there.
TEST(SystemStability, VanDerPolsEigenvaluesLeaveTheRegionAfterTheFirstStep) {
    const StabilityPathOf<StateVector> path =
        stabilityPath(euler(), vanDerPol, 0, {2, 0}, 0.7, 0.7);
    ASSERT_EQ(path.z.size(), 2u);
    ASSERT_TRUE(path.firstOutside);
    EXPECT_EQ(path.firstOutside->step, 1u);
    ASSERT_EQ(path.notes.size(), 3u) << allNotes(path);
    EXPECT_EQ(path.notes[1],
              "The first z to leave the region is z = -2.882 (\u03bb = -4.117), at step 1, "
              "x = 0.700: |R(z)| = 1.882, so there the run grows in that mode, each step "
              "multiplying it by 1.882, flipping its sign each step, while the solution does not "
              "grow in it. Some z lies outside the region at 1 of the 2 step points.");
    // 1 + z against e^z at z = 0.782: 1.782/2.186 = 0.815.
    EXPECT_TRUE(path.notes[2].starts_with("Where Re \u03bb > 0 (at 1 of the 2 step points) the "
                                          "solution itself grows in that mode"))
        << path.notes[2];
    EXPECT_TRUE(path.notes[2].ends_with("That is at most 0.815 (at step 1, x = 0.700, z = 0.782: "
                                        "|R(z)| = 1.782 against |e^z| = 2.186), so relative to "
                                        "the solution an error does not grow."))
        << path.notes[2];
}

// The pendulum from 2 radians: J = [[0, 1], [-cos y1, 0]] has real
// eigenvalues ±√(-cos y1) while the pendulum is above the horizontal, which
// Euler's h = 0.1 keeps inside (and one grows the solution), and ±i√(cos y1)
// below it, outside Euler's disc. Euler's run first has cos y1 > 0 at step
// 11, y1 = 1.48963786002010.
TEST(SystemStability, ThePendulumLeavesWhereItSwingsBelowTheHorizontal) {
    const StabilityPathOf<StateVector> path = stabilityPath(euler(), pendulum, 0, {2, 0}, 2, 0.1);
    ASSERT_TRUE(path.firstOutside);
    EXPECT_EQ(path.firstOutside->step, 11u);
    EXPECT_TRUE(path.notes[1].starts_with(
        "The first z to leave the region is the pair z = \u00b10.028i (\u03bb = \u00b10.285i), at "
        "step 11, x = 1.100: |R(z)| = 1.0004, so there the run grows in that mode"))
        << allNotes(path);
    EXPECT_NE(allNotes(path).find("Where Re \u03bb > 0 (at 11 of the 21 step points)"),
              std::string::npos)
        << allNotes(path);
}

// Where no mode settles, no sentence speaks of the region. The epidemic's J
// has a column of zeros (F does not look at y3), so λ = 0, and at the start
// the others are the roots of λ² - 0.194λ + 0.0003, both positive.
TEST(SystemStability, AnEpidemicCarriesOneModeAndGrowsTheOthers) {
    const StabilityPathOf<StateVector> path = stabilityPath(euler(), sir, 0, {0.99, 0.01, 0}, 2, 1);
    ASSERT_EQ(path.notes.size(), 3u) << allNotes(path);
    EXPECT_EQ(path.notes[1],
              "Where \u03bb is 0 as far as the difference quotients can tell (at 3 of "
              "the 3 step points), R(0) = 1: each step carries an error in that mode "
              "along unchanged, neither damped nor grown.");
    EXPECT_TRUE(path.notes[2].starts_with("Where Re \u03bb > 0 (at 3 of the 3 step points)"))
        << path.notes[2];
    EXPECT_FALSE(path.firstOutside);
}

// A run longer than the path follows says where it stops; without a step
// there is nothing to follow; where F overflows the eigenvalues stop, and
// no sentence judges a z that was never found.
TEST(SystemStability, APathSaysWhereItStops) {
    const auto overflowing = [](double, const StateVector& y) -> StateVector {
        return {std::exp(1000 * y[0]), 0};
    };
    const StabilityPathOf<StateVector> overflow =
        stabilityPath(euler(), overflowing, 0, {1, 0}, 1, 0.5);
    EXPECT_TRUE(overflow.z.empty());
    ASSERT_EQ(overflow.notes.size(), 2u) << allNotes(overflow);
    EXPECT_TRUE(overflow.notes[0].starts_with(
        "Euler, h = 0.5: step 1 from (0, 1, 0) gives no finite value"))
        << overflow.notes[0];
    EXPECT_EQ(overflow.notes[1],
              "At step 0, x = 0.000 the Jacobian is not finite; the eigenvalues stop there.");

    const StabilityPathOf<StateVector> far =
        stabilityPath(euler(), oscillator, 0, {1, 0}, 1000, 0.01);
    EXPECT_EQ(far.z.size(), static_cast<std::size_t>(maxStabilityPathSteps) + 1);
    EXPECT_NE(allNotes(far).find("the run stops after the first 400."), std::string::npos)
        << allNotes(far);

    const StabilityPathOf<StateVector> none = stabilityPath(euler(), oscillator, 0, {1, 0}, 1, 0);
    EXPECT_TRUE(none.z.empty());
    EXPECT_EQ(allNotes(none),
              "Choose x1 beyond x0 and a positive h to follow z = h\u00b7\u03bb along a run.\n");
}
