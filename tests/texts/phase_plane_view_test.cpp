// The Phase plane page's table and drift sentence as the user reads them, on
// systems whose equilibria and eigenvalues are worked out by hand (python3:
// the damped pendulum's λ = -1/4 ± i·√(15/16) at (0, 0) and
// (-1/2 ± √(17/4))/2 at (±π, 0); Lotka-Volterra's 2/3 and -1 at (0, 0) and
// ±i·√(2/3) at (1, 1/2)), and Euler's drift in the oscillator's energy,
// ((1 + h²)^(10/h) − 1)/2 from the double h by python3's fractions.
#include "texts/phase_plane_view.h"

#include "numerics/phase_plane.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

// The library's Lotka-Volterra: a = 2/3, b = 4/3, c = 1, d = 1.
StateVector predatorPrey(double, const StateVector& y) {
    const double a = 2.0 / 3, b = 4.0 / 3, c = 1, d = 1;
    return {a * y[0] - b * y[0] * y[1], c * y[0] * y[1] - d * y[1]};
}

StateVector dampedPendulum(double, const StateVector& y) {
    return {y[1], -std::sin(y[0]) - 0.5 * y[1]};
}

using pelorin::testing::oscillator;

// y1' = y1 + y2, y2' = y2: a double eigenvalue 1 with one eigenvector,
// which the Jacobian's errors may split into a pair.
StateVector jordanSource(double, const StateVector& y) { return {y[0] + y[1], y[1]}; }

std::vector<std::vector<std::string>> tableOf(SlopeOf<StateVector> F, const StateVector& y0,
                                              const VisibleRange& range) {
    std::vector<std::vector<std::string>> table;
    for (const EquilibriumRow& row :
         equilibriumRows(phasePlane(F, true, y0, {}, range).equilibria)) {
        table.push_back({row.position, row.eigenvalues, row.kind});
    }
    return table;
}

}  // namespace

TEST(PhasePlaneView, EquilibriaRowsNameEachPointInView) {
    struct Row {
        const char* name;
        SlopeOf<StateVector> F;
        VisibleRange range;
        std::vector<std::vector<std::string>> table;
    };
    const std::vector<Row> rows{
        {"Lotka-Volterra: a saddle at the origin, a centre at (c/d, a/b)",
         predatorPrey,
         {-0.5, 2.5, -0.5, 2, 600, 500},
         {{"(0.000, 0.000)", "-1, 0.6667", "saddle"},
          {"(1.000, 0.500)", "\u00b10.8165i", "centre"}}},
        {"damped pendulum near the bottom",
         dampedPendulum,
         {-2, 2, -2, 2, 400, 400},
         {{"(0.000, 0.000)", "-0.25 \u00b1 0.9682i", "spiral sink"}}},
        {"damped pendulum over a turn",
         dampedPendulum,
         {-4, 4, -2, 2, 800, 400},
         {{"(-3.142, 0.000)", "-1.281, 0.7808", "saddle"},
          {"(0.000, 0.000)", "-0.25 \u00b1 0.9682i", "spiral sink"},
          {"(3.142, 0.000)", "-1.281, 0.7808", "saddle"}}},
        {"a double eigenvalue reads as one, not as a spiral",
         jordanSource,
         {-1, 1, -1, 1, 200, 200},
         {{"(0.000, 0.000)", "1, 1", "source"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(tableOf(row.F, {1, 1}, row.range), row.table);
    }
}

// The drift of each run with h, h/2 and h/4, a line each: where it ends,
// its largest size, and whether it grows (its largest size over the run's
// second half against its first). Euler multiplies the oscillator's energy
// by 1 + h² a step, so its drift grows all along: (1.01^50 - 1)/2 = 0.322
// at x = 5, (1.01^100 - 1)/2 = 0.852 at x = 10, 2.6 times as much.
TEST(PhasePlaneView, DriftLinesGiveTheEndTheLargestSizeAndWhetherItGrows) {
    const ConservedQuantity energy = [](double, const StateVector& y) {
        return (y[0] * y[0] + y[1] * y[1]) / 2;
    };
    const auto driftsOf = [&](SlopeOf<StateVector> F, const ConservedQuantity& I, double x1,
                              double h) {
        const std::array<PathOf<StateVector>, 3> runs =
            halvedPaths(methodCatalogue[0], F, 0, {1, 0}, x1, h);
        return runDrifts(runs, {invariantDrift(I, runs[0]), invariantDrift(I, runs[1]),
                                invariantDrift(I, runs[2])});
    };
    const std::string growing =
        "\nGrowing: its largest size over the run's second half is at least "
        "1.5 times that over its first half; not growing: at most 1.1 times.";
    EXPECT_EQ(invariantDriftNote("y2^2/2 + y1^2/2", 0.5, 10, driftsOf(oscillator, energy, 10, 0.1)),
              "Drift of the invariant I = y2^2/2 + y1^2/2, which the solutions keep at 0.5: "
              "I(x_i, y_i) \u2212 I(x0, y0) at x1 = 10, and its largest size over the run:\n"
              "with h = 0.1: 8.52E-01, largest 8.52E-01, growing\n"
              "with h = 0.05: 3.24E-01, largest 3.24E-01, growing\n"
              "with h = 0.025: 1.42E-01, largest 1.42E-01, growing" + growing);
    // y1' = 0, y2' = 1 keeps y1, and Euler keeps it to the last bit.
    const auto drift = [](double, const StateVector&) -> StateVector { return {0, 1}; };
    const ConservedQuantity first = [](double, const StateVector& y) { return y[0]; };
    EXPECT_EQ(invariantDriftNote("y1", 1, 1, driftsOf(drift, first, 1, 0.3)),
              "Drift of the invariant I = y1, which the solutions keep at 1: I(x_i, y_i) "
              "\u2212 I(x0, y0) at x1 = 1, and its largest size over the run:\n"
              "with h = 0.3: 0 at its last x = 1.2, largest 0, within rounding\n"
              "with h = 0.15: 0 at its last x = 1.05, largest 0, within rounding\n"
              "with h = 0.075: 0 at its last x = 1.05, largest 0, within rounding");
    EXPECT_EQ(invariantDriftNote("y1", 1, 1, {}), "");
}

// Euler takes Lotka-Volterra's prey below 0, where the invariant's ln(y1)
// is not a number: the line says so in words, never "nan"; a start where I
// is not finite has no drift to measure. A run that blew up tells no drift
// past where it left the range in which I can be computed: its drift has
// fewer points than the run.
TEST(PhasePlaneView, DriftLinesWhereTheInvariantCannotBeComputed) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const RunDrift undefined{0.4, 30, nan, 0, 0, 0, std::nullopt, 76};
    EXPECT_EQ(invariantDriftNote("c*y1 - d*ln(y1)", 1, 30,
                                 {undefined, {0.2, 30, 4.81, 5.2, 1, 5.2, std::nullopt, 151}}),
              "Drift of the invariant I = c*y1 - d*ln(y1), which the solutions keep at 1: "
              "I(x_i, y_i) \u2212 I(x0, y0) at x1 = 30, and its largest size over the run:\n"
              "with h = 0.4: not a finite number\n"
              "with h = 0.2: 4.81E+00, largest 5.20E+00, growing\n"
              "Growing: its largest size over the run's second half is at least 1.5 times that "
              "over its first half; not growing: at most 1.1 times.");
    EXPECT_EQ(invariantDriftNote("ln(y1)", -std::numeric_limits<double>::infinity(), 30,
                                 {undefined}),
              "The invariant I = ln(y1) is not finite at the start, so no drift in it can be "
              "measured.");
    PathOf<StateVector> blownUp;
    blownUp.h = 1;
    for (int i = 0; i <= 60; ++i) {
        blownUp.x.push_back(i);
        blownUp.y.push_back({std::ldexp(1.0, i / 2), 0});
    }
    const std::vector<double> drift(54, 1.0);
    const RunDrift run = runDrift(blownUp, drift);
    EXPECT_EQ(run.points, 54u);
    EXPECT_EQ(
        invariantDriftNote("y1^2", 1, 60, {run}),
        "Drift of the invariant I = y1^2, which the solutions keep at 1: I(x_i, y_i) \u2212 "
        "I(x0, y0) at x1 = 60, and its largest size over the run:\n"
        "with h = 1: left the range where I can be computed at x = 54");
}

// Side by side on the oscillator with h = 0.1 to x1 = 10: Euler multiplies
// the energy by 1 + h² a step, 0.5·(1.01^100 - 1) = 0.852 gained; backward
// Euler divides it by 1 + h², 0.5·(1.01^-100 - 1) = -0.315 lost, 1.6 times
// the 0.196 lost by x = 5; the mid point, symplectic, and the trapezoid,
// whose step on a linear system is the mid point's, keep it but for
// rounding, and the note says why. Their drift of rounding has no digits to
// foretell: only the end of their lines is compared.
TEST(PhasePlaneView, SideBySideDriftSaysWhichRunsKeepIAndWhy) {
    const ConservedQuantity energy = [](double, const StateVector& y) {
        return (y[0] * y[0] + y[1] * y[1]) / 2;
    };
    std::vector<MethodDrift> drifts;
    for (const char* caption : {"Euler", "Backward Euler", "Trapezoid", "Implicit mid point"}) {
        const Method& method = methodByCaption(caption);
        const PathOf<StateVector> run = solutionPath(method, oscillator, 0, {1, 0}, 10, 0.1);
        drifts.push_back({&method, runDrift(run, invariantDrift(energy, run))});
    }
    const std::string note = sideBySideDriftNote("y2^2/2 + y1^2/2", 0.5, 10, drifts);
    std::vector<std::string> lines;
    for (std::size_t from = 0, to = 0; to != std::string::npos; from = to + 1) {
        to = note.find('\n', from);
        lines.push_back(note.substr(from, to == std::string::npos ? to : to - from));
    }
    ASSERT_EQ(lines.size(), 7u) << note;
    EXPECT_EQ(lines[0],
              "Drift of the invariant I = y2^2/2 + y1^2/2, which the solutions keep at 0.5, "
              "with h = 0.1: I(x_i, y_i) \u2212 I(x0, y0) at x1 = 10, and its largest size over "
              "the run:");
    EXPECT_EQ(lines[1], "Euler: 8.52E-01, largest 8.52E-01, growing");
    EXPECT_EQ(lines[2], "Backward Euler: -3.15E-01, largest 3.15E-01, growing");
    EXPECT_EQ(lines[3].rfind("Trapezoid: ", 0), 0u) << lines[3];
    EXPECT_TRUE(lines[3].ends_with(", within rounding")) << lines[3];
    EXPECT_EQ(lines[4].rfind("Implicit mid point: ", 0), 0u) << lines[4];
    EXPECT_TRUE(lines[4].ends_with(", within rounding")) << lines[4];
    EXPECT_EQ(lines[6],
              "Implicit mid point keeps I to within rounding: it is symplectic, and a symplectic "
              "Runge-Kutta method keeps every quadratic invariant, such as an oscillator's energy, "
              "up to rounding and Newton's tolerance. Trapezoid keeps I to within rounding, though "
              "it is not symplectic: on a linear system y' = Ay its step y1 = y0 + h(Ay0 + Ay1)/2 "
              "is the implicit mid point's y1 = y0 + hA(y0 + y1)/2, which keeps every quadratic "
              "invariant.");
    EXPECT_EQ(sideBySideDriftNote("y1", 1, 1, {}), "");

    // Measured against the solution, for an invariant the system does not
    // keep, no method is said to keep it.
    const std::string error =
        sideBySideDriftNote("y2^2/2 + y1^2/2", 0.5, 10, drifts, "the exact solution");
    EXPECT_EQ(
        error.rfind("Error in I = y2^2/2 + y1^2/2, which this system does not keep, with "
                    "h = 0.1: I(x_i, y_i) \u2212 I(x_i, y(x_i)), each run's I less the exact "
                    "solution's at the same x, at x1 = 10, and its largest size over the run:\n",
                    0),
        0u)
        << error;
    EXPECT_EQ(error.find("symplectic"), std::string::npos) << error;
}

// y1' = -y1·y2, y2' = y1·y2 keeps the total y1 + y2, a linear invariant,
// which every Runge-Kutta method keeps: no method is singled out.
TEST(PhasePlaneView, WhereEveryRunKeepsILinearInvariantsAreSaidToBeKeptByAll) {
    const auto shares = [](double, const StateVector& y) -> StateVector {
        return {-y[0] * y[1], y[0] * y[1]};
    };
    const ConservedQuantity total = [](double, const StateVector& y) { return y[0] + y[1]; };
    std::vector<MethodDrift> drifts;
    for (const char* caption : {"Euler", "Runge-Kutta 4", "Implicit mid point"}) {
        const Method& method = methodByCaption(caption);
        const PathOf<StateVector> run = solutionPath(method, shares, 0, {0.9, 0.1}, 10, 0.1);
        drifts.push_back({&method, runDrift(run, invariantDrift(total, run))});
    }
    const std::string note = sideBySideDriftNote("y1 + y2", 1, 10, drifts);
    EXPECT_TRUE(note.ends_with(
        ", within rounding\nEvery run keeps I to within rounding, so I does not tell these methods "
        "apart: every Runge-Kutta and linear multistep method keeps a linear invariant, such as a "
        "total y1 + y2 + y3."))
        << note;
}

// The table on degenerate planes: a multiple root is listed with its
// eigenvalues 0 and its kind, where Newton's method converges only
// linearly; a curve of equilibria lists none, and the note says it is one.
TEST(PhasePlaneView, DegenerateEquilibriaAreListedAndACurveIsNot) {
    struct Row {
        const char* name;
        SlopeOf<StateVector> F;
        std::vector<std::vector<std::string>> table;
        std::string note;
    };
    const std::string degenerate =
        "degenerate: an eigenvalue is 0, the linearisation does not decide";
    const std::vector<Row> rows{
        {"y1' = y1², y2' = y2³",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0], y[1] * y[1] * y[1]};
         },
         {{"(0.000, 0.000)", "0, 0", degenerate}},
         ""},
        {"y1' = y1², y2' = y2",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0], y[1]};
         },
         {{"(0.000, 0.000)", "0, 1", degenerate}},
         ""},
        {"y1' = y1·y2, y2' = y2",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[1], y[1]};
         },
         {},
         "F is 0 all along a curve through (-1.000, 0.000): its points are equilibria, not "
         "isolated ones, so the table does not list them."},
    };
    // A view off the round numbers: (0, 0) is no start of Newton's method.
    const VisibleRange range{-1.1, 1.3, -0.9, 1.5, 240, 240};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(tableOf(row.F, {0.7, 0.4}, range), row.table);
        EXPECT_EQ(phasePlane(row.F, true, {0.7, 0.4}, {}, range).equilibriaNote, row.note);
    }
}
