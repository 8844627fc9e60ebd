// The Phase plane page's table and drift sentence as the user reads them, on
// systems whose equilibria and eigenvalues are worked out by hand (python3:
// the damped pendulum's λ = -1/4 ± i·√(15/16) at (0, 0) and
// (-1/2 ± √(17/4))/2 at (±π, 0); Lotka-Volterra's 2/3 and -1 at (0, 0) and
// ±i·√(2/3) at (1, 1/2)), and Euler's drift in the oscillator's energy,
// ((1 + h²)^(10/h) − 1)/2 from the double h by python3's fractions.
#include "texts/phase_plane_view.h"

#include "numerics/phase_plane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

// The library's Lotka-Volterra: a = 2/3, b = 4/3, c = 1, d = 1.
StateVector predatorPrey(double, const StateVector& y) {
    const double a = 2.0 / 3, b = 4.0 / 3, c = 1, d = 1;
    return {a * y[0] - b * y[0] * y[1], c * y[0] * y[1] - d * y[1]};
}

StateVector dampedPendulum(double, const StateVector& y) { return {y[1], -std::sin(y[0]) - 0.5 * y[1]}; }

StateVector oscillator(double, const StateVector& y) { return {y[1], -y[0]}; }

// y1' = y1 + y2, y2' = y2: a double eigenvalue 1 with one eigenvector,
// which the Jacobian's errors may split into a pair.
StateVector jordanSource(double, const StateVector& y) { return {y[0] + y[1], y[1]}; }

std::vector<std::vector<std::string>> tableOf(SystemSlope F, const StateVector& y0,
                                              const VisibleRange& range) {
    std::vector<std::vector<std::string>> table;
    for (const EquilibriumRow& row : equilibriumRows(phasePlane(F, true, y0, {}, range).equilibria)) {
        table.push_back({row.position, row.eigenvalues, row.kind});
    }
    return table;
}

}  // namespace

TEST(PhasePlaneView, EquilibriaRowsNameEachPointInView) {
    struct Row {
        const char* name;
        SystemSlope F;
        VisibleRange range;
        std::vector<std::vector<std::string>> table;
    };
    const std::vector<Row> rows{
        {"Lotka-Volterra: a saddle at the origin, a centre at (c/d, a/b)", predatorPrey,
         {-0.5, 2.5, -0.5, 2, 600, 500},
         {{"(0.000, 0.000)", "-1, 0.6667", "saddle"},
          {"(1.000, 0.500)", "\u00b10.8165i", "centre"}}},
        {"damped pendulum near the bottom", dampedPendulum, {-2, 2, -2, 2, 400, 400},
         {{"(0.000, 0.000)", "-0.25 \u00b1 0.9682i", "spiral sink"}}},
        {"damped pendulum over a turn", dampedPendulum, {-4, 4, -2, 2, 800, 400},
         {{"(-3.142, 0.000)", "-1.281, 0.7808", "saddle"},
          {"(0.000, 0.000)", "-0.25 \u00b1 0.9682i", "spiral sink"},
          {"(3.142, 0.000)", "-1.281, 0.7808", "saddle"}}},
        {"a double eigenvalue reads as one, not as a spiral", jordanSource, {-1, 1, -1, 1, 200, 200},
         {{"(0.000, 0.000)", "1, 1", "source"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(tableOf(row.F, {1, 1}, row.range), row.table);
    }
}

TEST(PhasePlaneView, DriftSentenceGrowingNeutralAndPastX1) {
    const ConservedQuantity energy = [](double, const StateVector& y) {
        return (y[0] * y[0] + y[1] * y[1]) / 2;
    };
    const auto driftsOf = [&](SystemSlope F, const ConservedQuantity& I, double x1, double h) {
        std::vector<RunDrift> drifts;
        for (const SystemPath& run : halvedPaths(methodCatalogue[0], F, 0, {1, 0}, x1, h)) {
            drifts.push_back({std::fabs(run.h), run.x.back(), invariantDrift(I, run).back()});
        }
        return drifts;
    };
    EXPECT_EQ(invariantDriftNote("y2^2/2 + y1^2/2", 0.5, 10, driftsOf(oscillator, energy, 10, 0.1)),
              "Drift of the invariant I = y2^2/2 + y1^2/2, which the solutions keep at 0.5: "
              "at x1 = 10, I(y) \u2212 I(y0) is 8.52E-01 with h = 0.1, 3.24E-01 with h = 0.05 and "
              "1.42E-01 with h = 0.025.");
    // y1' = 0, y2' = 1 keeps y1, and Euler keeps it to the last bit.
    const auto drift = [](double, const StateVector&) -> StateVector { return {0, 1}; };
    const ConservedQuantity first = [](double, const StateVector& y) { return y[0]; };
    EXPECT_EQ(invariantDriftNote("y1", 1, 1, driftsOf(drift, first, 1, 0.3)),
              "Drift of the invariant I = y1, which the solutions keep at 1: at x1 = 1, "
              "I(y) \u2212 I(y0) is 0 with h = 0.3 (at its last x = 1.2), 0 with h = 0.15 (at its "
              "last x = 1.05) and 0 with h = 0.075 (at its last x = 1.05).");
    EXPECT_EQ(invariantDriftNote("y1", 1, 1, {}), "");
}

// Euler with a large step takes Lotka-Volterra's prey below 0, where the
// invariant's ln(y1) is not a number: the sentence says so in words, never
// "nan"; a start where I is not finite has no drift to measure.
TEST(PhasePlaneView, DriftSentenceWhereTheInvariantIsNotFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(invariantDriftNote("c*y1 - d*ln(y1)", 1, 30, {{0.4, 30, nan}, {0.2, 30, 4.81}}),
              "Drift of the invariant I = c*y1 - d*ln(y1), which the solutions keep at 1: "
              "at x1 = 30, I(y) \u2212 I(y0) is not a finite number with h = 0.4 and 4.81E+00 "
              "with h = 0.2.");
    EXPECT_EQ(invariantDriftNote("ln(y1)", -std::numeric_limits<double>::infinity(), 30,
                                 {{0.4, 30, nan}}),
              "The invariant I = ln(y1) is not finite at the start, so no drift in it can be "
              "measured.");
}

// Side by side on the oscillator with h = 0.1 to x1 = 10: Euler multiplies
// the energy by 1 + h² a step, 0.5·(1.01^100 - 1) = 0.852 gained; backward
// Euler divides it by 1 + h², 0.5·(1.01^-100 - 1) = -0.315 lost; the
// symplectic mid point keeps it but for rounding, and the note says why.
TEST(PhasePlaneView, SideBySideDriftSaysWhoGainsWhoLosesAndWhySymplecticMethodsKeep) {
    const ConservedQuantity energy = [](double, const StateVector& y) {
        return (y[0] * y[0] + y[1] * y[1]) / 2;
    };
    std::vector<MethodDrift> drifts;
    for (const char* caption : {"Euler", "Backward Euler", "Implicit mid point"}) {
        const Method& method = methodByCaption(caption);
        const SystemPath run = solutionPath(method, oscillator, 0, {1, 0}, 10, 0.1);
        drifts.push_back({&method, {0.1, run.x.back(), invariantDrift(energy, run).back()}});
    }
    const std::string note = sideBySideDriftNote("y2^2/2 + y1^2/2", 0.5, 10, drifts);
    EXPECT_EQ(note.rfind("Drift of the invariant I = y2^2/2 + y1^2/2 with h = 0.1: at x1 = 10, "
                         "I(y) \u2212 I(y0) is 8.52E-01 for Euler (gained), -3.15E-01 for Backward "
                         "Euler (lost) and ", 0), 0u) << note;
    EXPECT_LT(std::fabs(drifts[2].drift.drift), 1e-12);
    EXPECT_NE(note.find(" for Implicit mid point. Implicit mid point is symplectic: a step keeps "
                        "every quadratic invariant"), std::string::npos) << note;
    EXPECT_EQ(sideBySideDriftNote("y1", 1, 1, {}), "");
}
