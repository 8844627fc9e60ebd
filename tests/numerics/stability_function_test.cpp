// R(z) of explicit and implicit tableaus as P(z)/Q(z), the region and
// interval of a rational R, the A- and L-stability decided from it, and
// the sentences on the stiff y' = -50(y - cos x) with implicit methods.
// Expected coefficients are the textbooks' exact fractions (Hairer & Wanner,
// Solving ODEs II, sec. IV.3-5), checked with python3's fractions; moduli
// and ratios from mpmath.
#include "numerics/multistep_stability.h"
#include "numerics/stability.h"
#include "numerics/stability_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

// The θ-method with θ = 1/4: R = (1 + 3z/4)/(1 - z/4), pole at 4, but
// |R(iy)| > 1 for every y ≠ 0 and R(-∞) = -3; on the negative real axis
// |1 - 3x/4| ≤ 1 + x/4 up to x = 4.
constexpr Tableau thetaQuarter{
    2, {frac(0), frac(1)}, {{{}, {frac(3, 4), frac(1, 4)}}}, {frac(3, 4), frac(1, 4)}, {}};

// A one-stage tableau with a = -1: R = (1 + 2z)/(1 + z), its pole at z = -1.
constexpr Tableau poleOnTheLeft{1, {frac(-1)}, {{{frac(-1)}}}, {frac(1)}, {}};

// Radau IIA of order 5, three stages with √6: L-stable,
// R = (1 + 2z/5 + z²/20)/(1 - 3z/5 + 3z²/20 - z³/60).
constexpr Coefficient root6(int p, int s, int d) { return {p, s, d, 6}; }
constexpr Tableau radauIIA5{
    3,
    {root6(4, -1, 10), root6(4, 1, 10), frac(1)},
    {{{root6(88, -7, 360), root6(296, -169, 1800), root6(-2, 3, 225)},
      {root6(296, 169, 1800), root6(88, 7, 360), root6(-2, -3, 225)},
      {root6(16, -1, 36), root6(16, 1, 36), frac(1, 9)}}},
    {root6(16, -1, 36), root6(16, 1, 36), frac(1, 9)},
    {}};

const auto stiff = [](double x, double y) { return -50 * (y - std::cos(x)); };
const auto growth = [](double, double y) { return y; };

}  // namespace

TEST(StabilityFunction, RationalFromEveryTableau) {
    const struct {
        const char* name;
        const Tableau* tableau;
        std::vector<double> p, q;
    } rows[] = {
        {"Backward Euler", tableauOf(methodByCaption("Backward Euler")), {1}, {1, -1}},
        {"Trapezoid", tableauOf(methodByCaption("Trapezoid")), {1, 1.0 / 2}, {1, -1.0 / 2}},
        {"Implicit mid point",
         tableauOf(methodByCaption("Implicit mid point")),
         {1, 1.0 / 2},
         {1, -1.0 / 2}},
        {"Radau IIA 3",
         tableauOf(methodByCaption("Radau IIA 3")),
         {1, 1.0 / 3},
         {1, -2.0 / 3, 1.0 / 6}},
        {"Gauss-Legendre 4",
         tableauOf(methodByCaption("Gauss-Legendre 4")),
         {1, 1.0 / 2, 1.0 / 12},
         {1, -1.0 / 2, 1.0 / 12}},
        {"Radau IIA 5", &radauIIA5, {1, 2.0 / 5, 1.0 / 20}, {1, -3.0 / 5, 3.0 / 20, -1.0 / 60}},
        {"theta 1/4", &thetaQuarter, {1, 3.0 / 4}, {1, -1.0 / 4}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StabilityFunction r = stabilityFunctionOf(*row.tableau);
        EXPECT_EQ(r.numerator, row.p);
        EXPECT_EQ(r.denominator, row.q);
    }
    // An explicit tableau keeps its polynomial to the last bit, over 1.
    for (const Method& method : methodCatalogue) {
        SCOPED_TRACE(method.caption);
        const StabilityFunction r = stabilityFunctionOf(*tableauOf(method));
        EXPECT_EQ(r.numerator, stabilityPolynomial(*tableauOf(method)));
        EXPECT_TRUE(r.isPolynomial());
    }
}

// Inside, on the edge and outside each region, and at a pole: backward
// Euler's region is everything outside the disc |z - 1| < 1; the
// trapezoid's and Gauss-Legendre's the closed left half-plane (|R(iy)| = 1
// exactly); Radau IIA 3's everything but a set around its poles 2 ± i√2,
// where R(2) = 5 and |R(1.9 + 3.9i)| = 0.947.
TEST(StabilityFunction, RegionsOfTheImplicitMethods) {
    const struct {
        const char* method;
        std::complex<double> z;
        bool inside;
    } rows[] = {
        {"Backward Euler", {-3, 0}, true},   {"Backward Euler", {3, 0}, true},
        {"Backward Euler", {2, 0}, true},    {"Backward Euler", {2.001, 0}, true},
        {"Backward Euler", {1.999, 0}, false}, {"Backward Euler", {1, 0}, false},
        {"Backward Euler", {1, 0.999}, false}, {"Backward Euler", {1, 1.001}, true},
        {"Trapezoid", {-0.1, 0}, true},      {"Trapezoid", {-50, 0}, true},
        {"Trapezoid", {0, 3}, true},         {"Trapezoid", {0.5, 0}, false},
        {"Trapezoid", {2, 0}, false},        {"Gauss-Legendre 4", {0, 7}, true},
        {"Gauss-Legendre 4", {1e-3, 7}, false}, {"Gauss-Legendre 4", {-1e3, 1e3}, true},
        {"Radau IIA 3", {2, 0}, false},      {"Radau IIA 3", {1.9, 3.9}, true},
        {"Radau IIA 3", {-25, 0}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " at " + std::to_string(row.z.real()) + " + " +
                     std::to_string(row.z.imag()) + "i");
        EXPECT_EQ(insideRegion(stabilityFunctionOf(*tableauOf(methodByCaption(row.method))), row.z),
                  row.inside);
    }
}

// Decided exactly, and in agreement with the literature; the made-up
// tableaus fail each condition in turn.
TEST(StabilityFunction, VerdictsComputedFromR) {
    const struct {
        const char* name;
        const Tableau* tableau;
        const char* shown;
        bool poleOnTheLeft;
    } rows[] = {
        {"Radau IIA 5", &radauIIA5, "A- and L-stable", false},
        {"theta 1/4", &thetaQuarter, "not A-stable", false},
        {"pole at -1", &poleOnTheLeft, "not A-stable", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StabilityVerdict verdict = stabilityVerdict(*row.tableau);
        EXPECT_EQ(verdictText(verdict), row.shown);
        EXPECT_EQ(verdict.poleOnTheLeft, row.poleOnTheLeft);
    }
    // Every one-step method of the catalogue as the literature classes it.
    const struct {
        std::string_view method;
        const char* shown;
    } published[] = {
        {"Euler", "not A-stable"},          {"Runge-Kutta 4", "not A-stable"},
        {"Kutta 3/8", "not A-stable"},      {"SSP Runge-Kutta 3", "not A-stable"},
        {"Backward Euler", "A- and L-stable"}, {"Trapezoid", "A-stable only"},
        {"Implicit mid point", "A-stable only"}, {"SDIRK 2", "A- and L-stable"},
        {"Radau IIA 3", "A- and L-stable"}, {"Gauss-Legendre 4", "A-stable only"},
    };
    for (const auto& row : published) {
        SCOPED_TRACE(row.method);
        EXPECT_EQ(verdictText(stabilityVerdict(*tableauOf(methodByCaption(row.method)))),
                  row.shown);
    }
}

TEST(StabilityFunction, VerdictsInWords) {
    const std::string aStable =
        " is A-stable: R(z) has no pole with Re z \u2264 0 and |R(iy)| \u2264 1 on the whole "
        "imaginary axis, so its region holds the whole left half-plane and no \u03bb < 0 limits h "
        "for an error to die away.";
    const struct {
        const char* name;
        const Tableau* tableau;
        std::string table, note;
    } rows[] = {
        {"Backward Euler", tableauOf(methodByCaption("Backward Euler")), "A- and L-stable",
         "Backward Euler" + aStable + " It is L-stable too: R(z) \u2192 0 as z \u2192 -\u221e, so "
         "the stiffest parts of an error die out in a single step."},
        {"Trapezoid", tableauOf(methodByCaption("Trapezoid")), "A-stable only",
         "Trapezoid" + aStable + " It is not L-stable: R(z) \u2192 -1.000 as z \u2192 -\u221e, so "
         "the stiffest parts of an error barely die away, flipping their sign each step."},
        {"Gauss-Legendre 4", tableauOf(methodByCaption("Gauss-Legendre 4")), "A-stable only",
         "Gauss-Legendre 4" + aStable + " It is not L-stable: R(z) \u2192 1.000 as z \u2192 "
         "-\u221e, so the stiffest parts of an error barely die away."},
        {"Euler", tableauOf(methodByCaption("Euler")), "not A-stable",
         "Euler is not A-stable: |R(z)| grows without bound as |z| grows, so its region is "
         "bounded, and the larger |\u03bb| with \u03bb < 0, the shorter h must be for an error to "
         "die away."},
        {"theta 1/4", &thetaQuarter, "not A-stable",
         "theta 1/4 is not A-stable: |R(iy)| exceeds 1 somewhere on the imaginary axis, so part of "
         "the left half-plane lies outside its region."},
        {"pole at -1", &poleOnTheLeft, "not A-stable",
         "pole at -1 is not A-stable: R(z) has a pole with Re z \u2264 0, around which |R(z)| "
         "exceeds 1."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StabilityVerdict verdict = stabilityVerdict(*row.tableau);
        EXPECT_EQ(verdictText(verdict), row.table);
        EXPECT_EQ(verdictNote(row.name, verdict), row.note);
    }
}

// Every implicit method of the lab keeps the whole negative real axis; a
// rational R can still end its interval, as the θ = 1/4 method does at 4.
TEST(StabilityFunction, IntervalsOfRationalFunctions) {
    const struct {
        const char* name;
        const Tableau* tableau;
        const char* shown;
    } rows[] = {
        {"Backward Euler", tableauOf(methodByCaption("Backward Euler")), "unbounded"},
        {"Trapezoid", tableauOf(methodByCaption("Trapezoid")), "unbounded"},
        {"Implicit mid point", tableauOf(methodByCaption("Implicit mid point")), "unbounded"},
        {"Radau IIA 3", tableauOf(methodByCaption("Radau IIA 3")), "unbounded"},
        {"Gauss-Legendre 4", tableauOf(methodByCaption("Gauss-Legendre 4")), "unbounded"},
        {"Radau IIA 5", &radauIIA5, "unbounded"},
        {"theta 1/4", &thetaQuarter, "4.000"},
        {"Runge-Kutta 4", tableauOf(methodByCaption("Runge-Kutta 4")), "2.785"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(intervalText(stabilityInterval(stabilityFunctionOf(*row.tableau))), row.shown);
    }
    // The trapezoid and the implicit mid point share R(z), as the intervals table says.
    const auto groups = sameStabilityFunction(labCatalogue());
    const std::vector<std::size_t> pair{catalogueRow(methodByCaption("Trapezoid")),
                                        catalogueRow(methodByCaption("Implicit mid point"))};
    EXPECT_NE(std::find(groups.begin(), groups.end(), pair), groups.end());
}

// On the stiff y' = -50(y - cos x), y(0) = 0, with h = 0.5: z = -25 at every
// step, inside for the implicit methods (backward Euler's |R| = 1/26, the
// trapezoid's 11.5/13.5), outside for every explicit one (Euler's |1 - 25| =
// 24, Runge-Kutta 4's 13960.375). The trapezoid's R(-25) = -11.5/13.5 and
// Radau IIA 3's (1 - 25/3)/(1 + 50/3 + 625/6) are negative, and an error
// flips its sign each step; Runge-Kutta 4's R(-2.5) = 0.6484 is not. Where y' = y grows, backward
// Euler with h = 0.5 has R = 2 against e^0.5 = 1.6487: relative to the solution an error grows
// by 1.2131 per step; with h = 2, R = -1 against e² = 7.389 (0.1353).
TEST(StabilityFunction, PathSentencesOnTheStiffProblem) {
    const std::string how = "z = h\u00b7\u03bb along the run, with \u03bb = \u2202f/\u2202y from a "
                            "central difference quotient at every step point";
    const std::string growing =
        ", is positive: the solution itself grows, by e^z per step, and an "
        "error with it, by |R(z)|, so what matters is the error relative to "
        "the solution, which each step multiplies by |R(z)|/e^z. That is at "
        "most ";
    const struct {
        const char* name;
        Slope f;
        const char* method;
        double y0, x1, h;
        std::string note;
    } rows[] = {
        {"stiff, Backward Euler", stiff, "Backward Euler", 0, 1, 0.5,
         how + ", stays inside the region: every step damps an error."},
        {"stiff, Trapezoid", stiff, "Trapezoid", 0, 1, 0.5,
         how +
             ", stays inside the region: every step damps an error, flipping its sign each step."},
        {"stiff, Radau IIA 3", stiff, "Radau IIA 3", 0, 1, 0.5,
         how +
             ", stays inside the region: every step damps an error, flipping its sign each step."},
        {"stiff, Runge-Kutta 4 inside", stiff, "Runge-Kutta 4", 0, 1, 0.05,
         how + ", stays inside the region: every step damps an error."},
        {"stiff, Euler", stiff, "Euler", 0, 1, 0.5,
         how + ", leaves the region at step 0, x = 0.000, where z = -25.000: from there every "
               "step multiplies an error by |R(z)| = 24.000, and the run can move away from the "
               "solution."},
        {"stiff, Runge-Kutta 4", stiff, "Runge-Kutta 4", 0, 1, 0.5,
         how + ", leaves the region at step 0, x = 0.000, where z = -25.000: from there every "
               "step multiplies an error by |R(z)| = 13960.375, and the run can move away from "
               "the solution."},
        {"growing faster than the solution", growth, "Backward Euler", 1, 1, 0.5,
         how + growing +
             "1.213 (at step 0, x = 0.000, z = 0.500: |R(z)| = 2.000 against e^z = "
             "1.649), so relative to the solution an error grows there."},
        {"growing, on the edge z = 2", growth, "Backward Euler", 1, 2, 2,
         how + growing +
             "0.135 (at step 0, x = 0.000, z = 2.000: |R(z)| = 1.000 against e^z = "
             "7.389), so relative to the solution an error does not grow."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const StabilityPath path =
            stabilityPath(methodByCaption(row.method), row.f, 0, row.y0, row.x1, row.h);
        ASSERT_EQ(path.notes.size(), 1u);
        EXPECT_EQ(path.notes.front(), row.note);
    }
}

// At the pole z = 1 backward Euler's step has no value: the path stops with
// the reason, and the note after says so.
TEST(StabilityFunction, PathStopsWhereAStepHasNoValue) {
    const StabilityPath path = stabilityPath(methodByCaption("Backward Euler"), growth, 0, 1, 3, 1);
    ASSERT_EQ(path.z.size(), 1u);
    ASSERT_GE(path.notes.size(), 1u);
    EXPECT_EQ(
        path.notes.front().rfind("Newton's method did not converge in the step from x = 0", 0), 0u)
        << path.notes.front();
    EXPECT_NE(path.notes.front().find("The path stops there."), std::string::npos);
}

TEST(StabilityFunction, ZBeyondTheDrawnPlane) {
    const StabilityGrid grid;  // the page's: Re z from -6 to 2, Im z from -4 to 4
    const std::string drawn =
        "the part of the plane the region plot is fitted to (Re z from -6 to 2, Im z from -4 to 4)";
    EXPECT_EQ(beyondGridNote({{-25, 0}, {-25, 0}, {-1, 0}}, grid),
              "2 of the z lie beyond " + drawn +
                  ", the farthest z = -25.000: zoom out to see them; the notes judge every z all "
                  "the same.");
    EXPECT_EQ(beyondGridNote({{-0.5, 4.5}}, grid),
              "z = -0.500 \u00b1 4.500i lies beyond " + drawn +
                  ": zoom out to see it; the notes judge every z all the same.");
    EXPECT_EQ(beyondGridNote({{-6, 4}, {2, -4}, {0, 0}}, grid), "");
}

TEST(StabilityFunction, NoStabilityLimitWhereTheIntervalIsUnbounded) {
    const Method& method = methodByCaption("Backward Euler");
    const StabilityLimit limit = stabilityLimit(method, stiff, {0, 0.5}, {0, 0.9});
    for (const auto& h : limit.h) EXPECT_FALSE(h.has_value());
    EXPECT_EQ(stabilityLimitNote(method, limit),
              "Stability limit: none. Backward Euler's interval on the negative real axis is "
              "unbounded, so where \u03bb = \u2202f/\u2202y is negative no step length multiplies "
              "an error by more than 1, and the |h| plot draws no limit.");
}

// A stiff linear system y1' = -1000·y1, y2' = -y2 with h = 0.1: z = -100 and
// -0.1 at every step point. Backward Euler and the trapezoid keep both
// inside; Euler's |1 - 100| = 99 leaves at once.
TEST(StabilityFunction, ImplicitMethodsKeepAStiffSystemsModesInside) {
    const auto stiffSystem = [](double, const StateVector& y) {
        return StateVector{-1000 * y[0], -y[1]};
    };
    const struct {
        const char* method;
        std::string verdict;
    } rows[] = {
        {"Backward Euler",
         "Every z stays inside the region: each step damps an error in every mode."},
        {"Trapezoid", "Every z stays inside the region: each step damps an error in every mode."},
        {"Euler",
         "The first z to leave the region is z = -100.000 (\u03bb = -1000.000), at step 0, "
         "x = 0.000: |R(z)| = 99.000, so there the run grows in that mode, each step "
         "multiplying it by 99.000, flipping its sign each step, while the solution does "
         "not grow in it."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const StabilityPathOf<StateVector> path =
            stabilityPath(methodByCaption(row.method), stiffSystem, 0, {1, 1}, 0.5, 0.1);
        ASSERT_GE(path.notes.size(), 2u);
        EXPECT_TRUE(path.notes[1].starts_with(row.verdict)) << path.notes[1];
    }
}

// Exact arithmetic that would overflow refuses rather than miscalculates: a
// tableau with entries over three large primes needs denominators past 2^63.
TEST(StabilityFunction, TooLargeToCalculateExactlyIsRefused) {
    constexpr Tableau primes{3,
                             {frac(1, 1000003), frac(1, 1000033), frac(1, 1000037)},
                             {{{frac(1, 1000003)},
                               {frac(0), frac(1, 1000033)},
                               {frac(0), frac(0), frac(1, 1000037)}}},
                             {frac(1, 1000039), frac(1, 1000081), frac(1, 1000099)},
                             {}};
    EXPECT_THROW(stabilityFunctionOf(primes), std::overflow_error);
}
