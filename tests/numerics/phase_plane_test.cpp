// The phase plane's pictures checked against geometry worked out by hand:
// arrows along F, nullclines on the lines and circles where a component of F
// vanishes, orbits on the oscillator's circle, Euler's drift in energy as it
// spirals out by exactly √(1 + h²) a step, and the sentences for planes that
// have no field.
#include "numerics/phase_plane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

StateVector oscillator(double, const StateVector& y) { return {y[1], -y[0]}; }

// The library's Lotka-Volterra: a = 2/3, b = 4/3, c = 1, d = 1.
StateVector predatorPrey(double, const StateVector& y) {
    const double a = 2.0 / 3, b = 4.0 / 3, c = 1, d = 1;
    return {a * y[0] - b * y[0] * y[1], c * y[0] * y[1] - d * y[1]};
}

StateVector unitCircleNullcline(double, const StateVector& y) {
    return {y[0] * y[0] + y[1] * y[1] - 1, 1};
}

// y1' = y2 − √y1 is not a number left of y1 = 0.
StateVector rootNullcline(double, const StateVector& y) { return {y[1] - std::sqrt(y[0]), 1}; }

StateVector forcedOscillator(double x, const StateVector& y) { return {y[1], -y[0] + std::cos(x)}; }

StateVector growth(double, const StateVector& y) { return {y[0], 0}; }

StateVector lorenz(double, const StateVector& y) {
    return {10 * (y[1] - y[0]), y[0] * (28 - y[2]) - y[1], y[0] * y[1] - 8.0 / 3 * y[2]};
}

const VisibleRange square{-2, 2, -2, 2, 400, 400};

// How far (a, b) lies from the nearest of the curves g_k = 0, measured as
// |g_k| over g_k's gradient, the distance to first order.
using Curve = std::function<double(double a, double b)>;

}  // namespace

TEST(PhasePlane, NullclinesLieOnTheCurvesWhereAComponentOfFVanishes) {
    struct Row {
        const char* name;
        StateVector (*F)(double, const StateVector&);
        std::vector<Curve> acrossStill, upStill;  // the curves as distances
        double acrossLength;                      // the curves' length in view, by hand
    };
    const std::vector<Row> rows{
        {"oscillator: y1' = y2 vanishes on the y1 axis", oscillator,
         {[](double, double b) { return std::fabs(b); }},
         {[](double a, double) { return std::fabs(a); }}, 4},
        {"Lotka-Volterra: y1 = 0 or y2 = a/b; y2 = 0 or y1 = d/c", predatorPrey,
         {[](double a, double) { return std::fabs(a); },
          [](double, double b) { return std::fabs(b - 0.5); }},
         {[](double, double b) { return std::fabs(b); }, [](double a, double) { return std::fabs(a - 1); }},
         8},
        {"a circle", unitCircleNullcline,
         {[](double a, double b) { return std::fabs(std::hypot(a, b) - 1); }},
         {}, 2 * M_PI},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PhasePlane plane = phasePlane(row.F, true, {0.3, 0.7}, {}, square);
        ASSERT_EQ(plane.absence, "");
        // The grid of 4 pixels is 0.05 apart here: a segment's ends lie on
        // the cell's edges, within rounding of the curve for a line and
        // within the chord's sag (about 0.0003) for the circle.
        const auto near = [](const std::vector<Curve>& curves, double a, double b) {
            for (const Curve& curve : curves) {
                if (curve(a, b) <= 1e-3) return true;
            }
            return false;
        };
        double length = 0;
        // The middle too: a segment that cuts the corner where two curves
        // cross has its ends on the curves and its middle off both.
        for (const Segment& s : plane.nullclines.acrossStill) {
            EXPECT_TRUE(near(row.acrossStill, s.x1, s.y1) && near(row.acrossStill, s.x2, s.y2) &&
                        near(row.acrossStill, (s.x1 + s.x2) / 2, (s.y1 + s.y2) / 2))
                << "(" << s.x1 << ", " << s.y1 << ") to (" << s.x2 << ", " << s.y2 << ")";
            length += std::hypot(s.x2 - s.x1, s.y2 - s.y1);
        }
        EXPECT_NEAR(length, row.acrossLength, 0.1);  // less a cut corner or a chord's sag
        for (const Segment& s : plane.nullclines.upStill) {
            EXPECT_TRUE(near(row.upStill, s.x1, s.y1) && near(row.upStill, s.x2, s.y2) &&
                        near(row.upStill, (s.x1 + s.x2) / 2, (s.y1 + s.y2) / 2));
        }
        EXPECT_EQ(plane.nullclines.upStill.empty(), row.upStill.empty());
    }
}

TEST(PhasePlane, ACellWithACornerThatIsNotFiniteDrawsNothing) {
    const PhasePlane plane = phasePlane(rootNullcline, true, {1, 1}, {}, square);
    ASSERT_FALSE(plane.nullclines.acrossStill.empty());
    for (const Segment& s : plane.nullclines.acrossStill) {
        EXPECT_TRUE(std::isfinite(s.x1) && std::isfinite(s.y1) && std::isfinite(s.x2) &&
                    std::isfinite(s.y2));
        EXPECT_GE(std::min(s.x1, s.x2), 0);
    }
}

TEST(PhasePlane, ArrowsPointAlongFAndAreOfOneLengthOnTheScreen) {
    // Axes of different scales, so that an arrow worked out in the plane's
    // units would come out at the wrong angle and length.
    const VisibleRange range{-2, 2, -1, 1, 400, 300};
    const PhasePlane plane = phasePlane(oscillator, true, {1, 0}, {}, range);
    ASSERT_EQ(plane.field.grid.segments.size() + 1, plane.field.grid.points.size());
    EXPECT_EQ(plane.field.atRest, 1);  // the equilibrium (0, 0) is a grid point
    EXPECT_EQ(phaseFieldNote(plane.field),
              "F(y) is 0 at the grid point (0, 0), an equilibrium: no arrow is drawn there.");
    for (const Segment& s : plane.field.grid.segments) {
        const PlotPoint p = *pointToPixel(range, s.x1, s.y1), q = *pointToPixel(range, s.x2, s.y2);
        EXPECT_NEAR(std::hypot(q.x - p.x, q.y - p.y), fieldSegmentLength, 1e-9);
        const double a = (s.x1 + s.x2) / 2, b = (s.y1 + s.y2) / 2;
        // Along (F1, F2) = (b, -a), in the plane's units: parallel and the
        // same way round.
        const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
        EXPECT_NEAR(dx * -a - dy * b, 0, 1e-9 * std::hypot(a, b));
        EXPECT_GT(dx * b + dy * -a, 0);
    }
}

TEST(PhasePlane, PlanesWithoutAFieldSayWhy) {
    struct Row {
        const char* name;
        std::function<PhasePlane()> plane;
        std::string absence;
    };
    const std::vector<Row> rows{
        {"F depends on x", [] { return phasePlane(forcedOscillator, false, {1, 0}, {}, square); },
         "F depends on x, so the direction at a point of the plane changes as x goes on: no "
         "field, nullclines or equilibria belong to the plane; the paths are drawn."},
        {"one component",
         [] {
             const auto growth1 = [](double, const StateVector& y) -> StateVector { return {y[0]}; };
             return phasePlane(growth1, true, {1}, {}, square);
         },
         "A phase plane draws one component against another, and y' = f(x, y) has one: its "
         "direction field is on the Field page."},
        {"three components", [] { return phasePlane(lorenz, true, {1, 1, 1}, {0, 2}, square); },
         "With 3 components the direction of (y1, y3) at a point of the plane depends on the "
         "components not shown, which differ from path to path: no field, nullclines or "
         "equilibria are drawn, only the paths seen from this side."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PhasePlane plane = row.plane();
        EXPECT_EQ(plane.absence, row.absence);
        EXPECT_TRUE(plane.field.grid.points.empty());
        EXPECT_TRUE(plane.nullclines.acrossStill.empty() && plane.nullclines.upStill.empty());
        EXPECT_TRUE(plane.equilibria.empty());
    }
}

TEST(PhasePlane, NoEquilibriumInViewIsSaidInWords) {
    // y1' = 1 never vanishes; the Jacobian [[0, 0], [1, 0]] is singular.
    const auto drift = [](double, const StateVector& y) -> StateVector { return {1, y[0]}; };
    const PhasePlane plane = phasePlane(drift, true, {1, 1}, {}, square);
    EXPECT_TRUE(plane.equilibria.empty());
    EXPECT_EQ(plane.equilibriaNote,
              "Newton's method finds no equilibrium from 26 starts across the view and at the "
              "start. The Jacobian is singular at (1.000, 1.000): Newton's method has no step "
              "from there; try another start.");
}

TEST(PhasePlane, OrbitsRunBackwardsThenForwardsOnTheOscillatorsCircle) {
    const Orbit orbit = orbitThrough(oscillator, 0, {1, 0}, 2, {}, square);
    ASSERT_EQ(orbit.points.size(), 2 * static_cast<std::size_t>(orbitSamples) + 1);
    ASSERT_EQ(orbit.startIndex, static_cast<std::size_t>(orbitSamples));
    EXPECT_EQ(orbit.note, "");
    for (const PlotPoint& p : orbit.points) EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-10);
    // Forwards (cos x, −sin x) turns clockwise: before the start y2 > 0.
    EXPECT_GT(orbit.points[orbit.startIndex - 1].y, 0);
    EXPECT_LT(orbit.points[orbit.startIndex + 1].y, 0);
    // y(2) = (cos 2, −sin 2), y(−2) = (cos 2, sin 2).
    EXPECT_NEAR(orbit.points.back().x, std::cos(2.0), 1e-10);
    EXPECT_NEAR(orbit.points.back().y, -std::sin(2.0), 1e-10);
    EXPECT_NEAR(orbit.points.front().y, std::sin(2.0), 1e-10);
}

TEST(PhasePlane, AnOrbitEndsWhereItLeavesTheBoxAroundTheView) {
    // y1 = e^x leaves the box [−10, 10] at x = ln 10 ≈ 2.3 of the 30 asked
    // for; backwards it falls towards 0 and stays.
    const Orbit orbit = orbitThrough(growth, 0, {1, 0}, 30, {}, square);
    ASSERT_EQ(orbit.startIndex, static_cast<std::size_t>(orbitSamples));
    const std::size_t forwards = orbit.points.size() - orbit.startIndex - 1;
    // The samples 30/400 apart before e^x passes 10: x = 0.075·k ≤ ln 10.
    EXPECT_EQ(forwards, static_cast<std::size_t>(std::floor(std::log(10.0) / 0.075)));
    EXPECT_LE(orbit.points.back().x, 10);
    EXPECT_GT(orbit.points.front().x, 0);
}

TEST(PhasePlane, EulersDriftInTheOscillatorsEnergyIsExactlyThatOfItsOutwardSpiral) {
    // Euler's step on y1' = y2, y2' = −y1 multiplies |y| by √(1 + h²)
    // exactly; |y| after 100 steps of 0.1 is 1.01^50, and the energy
    // |y|²/2 has drifted by (1.01^100 − 1)/2: values by python3's fractions
    // from the double h.
    const SystemPath run = solutionPath(methodCatalogue[0], oscillator, 0, {1, 0}, 10, 0.1);
    ASSERT_EQ(run.end, PathEnd::reached);
    ASSERT_EQ(run.y.size(), 101u);
    EXPECT_EQ(run.x.back(), 10);
    const StateVector& last = run.y.back();
    EXPECT_NEAR(std::hypot(last[0], last[1]), 1.644631821843882, 1e-12);
    const ConservedQuantity energy = [](double, const StateVector& y) {
        return (y[0] * y[0] + y[1] * y[1]) / 2;
    };
    const std::vector<double> drift = invariantDrift(energy, run);
    ASSERT_EQ(drift.size(), run.y.size());
    EXPECT_EQ(drift.front(), 0);
    EXPECT_NEAR(drift.back(), 0.8524069147107632, 1e-12);
    for (std::size_t k = 1; k < drift.size(); ++k) EXPECT_GT(drift[k], drift[k - 1]);
}

TEST(PhasePlane, TheWholeViewHoldsTheOrbitAndTheRunsNearItOnly) {
    PhasePlaneRuns runs;
    runs.orbit = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    // Euler's spiral a little outside the circle; a run that overflows.
    runs.halved[0].y = {{1, 0}, {1.6, -0.2}};
    runs.halved[1].y = {{1, 0}, {3e100, -1e150}};
    // The orbit spans 2 on each axis about 0: runs count within ±5.
    runs.halved[2].y = {{4.9, 0}, {5.1, 0}};
    const PlaneExtent whole = wholePlane(runs, {});
    EXPECT_EQ(whole.across.lower, -1);
    EXPECT_EQ(whole.across.upper, 4.9);
    EXPECT_EQ(whole.up.lower, -1);
    EXPECT_EQ(whole.up.upper, 1);
    // Without an orbit every point counts.
    runs.orbit.clear();
    EXPECT_EQ(wholePlane(runs, {}).across.upper, 3e100);
}
