// The phase plane's pictures checked against geometry worked out by hand:
// arrows along F, nullclines on the lines and circles where a component of F
// vanishes, orbits on the oscillator's circle, Euler's drift in energy as it
// spirals out by exactly √(1 + h²) a step, and the sentences for planes that
// have no field.
#include "numerics/phase_plane.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

using pelorin::testing::oscillator;

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
        {"oscillator: y1' = y2 vanishes on the y1 axis",
         oscillator,
         {[](double, double b) { return std::fabs(b); }},
         {[](double a, double) { return std::fabs(a); }},
         4},
        {"Lotka-Volterra: y1 = 0 or y2 = a/b; y2 = 0 or y1 = d/c",
         predatorPrey,
         {[](double a, double) { return std::fabs(a); },
          [](double, double b) { return std::fabs(b - 0.5); }},
         {[](double, double b) { return std::fabs(b); },
          [](double a, double) { return std::fabs(a - 1); }},
         8},
        {"a circle",
         unitCircleNullcline,
         {[](double a, double b) { return std::fabs(std::hypot(a, b) - 1); }},
         {},
         2 * M_PI},
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
    EXPECT_EQ(plane.field.atRest.size(), 1u);  // the equilibrium (0, 0) is a grid point
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
        {"F depends on x",
         [] {
             return phasePlane(forcedOscillator, false, {1, 0}, {}, square);
         },
         "F depends on x, so the direction at a point of the plane changes as x goes on: no "
         "field, nullclines or equilibria belong to the plane; the paths are drawn."},
        {"one component",
         [] {
             const auto growth1 = [](double, const StateVector& y) -> StateVector {
                 return {y[0]};
             };
             return phasePlane(growth1, true, {1}, {}, square);
         },
         "A phase plane draws one component against another, and y' = f(x, y) has one: its "
         "direction field is on the Field page."},
        {"three components",
         [] {
             return phasePlane(lorenz, true, {1, 1, 1}, {0, 2}, square);
         },
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
    const PathOf<StateVector> run =
        solutionPath(methodCatalogue[0], oscillator, 0, {1, 0}, 10, 0.1);
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

// A component that touches 0 without changing sign has no crossing for
// marching squares; its curve is drawn all the same, and every segment lies
// on it. Every point of the curve in view (but the outermost cells) lies
// within a cell of a segment. A minimum above 0 draws nothing.
TEST(PhasePlane, NullclinesWhereAComponentTouchesZeroWithoutChangingSign) {
    struct Row {
        const char* name;
        SlopeOf<StateVector> F;
        Curve curve;                            // distance, as above
        std::vector<PlotPoint> onCurve;         // points of it, by hand
    };
    const std::vector<Row> rows{
        {"y1² along y1 = 0",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0], y[1] * y[1] * y[1]};
         },
         [](double a, double) { return std::fabs(a); },
         {{0, -1.8}, {0, -0.7}, {0, 0.3}, {0, 1.25}, {0, 1.8}}},
        {"y1⁴ along y1 = 0, flatter than a square",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0] * y[0] * y[0], y[1]};
         },
         [](double a, double) { return std::fabs(a); },
         {{0, -1.8}, {0, -0.7}, {0, 0.3}, {0, 1.25}, {0, 1.8}}},
        {"(y1 − y2)² along the diagonal",
         [](double, const StateVector& y) {
             return StateVector{(y[0] - y[1]) * (y[0] - y[1]), 1};
         },
         [](double a, double b) { return std::fabs(a - b) / std::sqrt(2.0); },
         {{-1.7, -1.7}, {-0.45, -0.45}, {0.6, 0.6}, {1.7, 1.7}}},
        {"(y1² + y2² − 1)² along the unit circle",
         [](double, const StateVector& y) {
             const double g = y[0] * y[0] + y[1] * y[1] - 1;
             return StateVector{g * g, 1};
         },
         [](double a, double b) { return std::fabs(std::hypot(a, b) - 1); },
         {{1, 0},
          {0, 1},
          {-1, 0},
          {0, -1},
          {0.6, 0.8},
          {-0.8, 0.6},
          {std::sqrt(0.5), -std::sqrt(0.5)}}},
        {"y1² + 0.01 never vanishes",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0] + 0.01, y[1]};
         },
         [](double, double) { return 0.0; },
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<Segment> curve =
            phasePlane(row.F, true, {0.3, 0.7}, {}, square).nullclines.acrossStill;
        for (const Segment& s : curve) {
            EXPECT_LE(row.curve(s.x1, s.y1), 1e-3);
            EXPECT_LE(row.curve(s.x2, s.y2), 1e-3);
            EXPECT_LE(row.curve((s.x1 + s.x2) / 2, (s.y1 + s.y2) / 2), 1e-3);
        }
        EXPECT_EQ(curve.empty(), row.onCurve.empty());
        for (const PlotPoint& p : row.onCurve) {
            double nearest = 1e300;
            for (const Segment& s : curve) {
                nearest = std::min({nearest, std::hypot(s.x1 - p.x, s.y1 - p.y),
                                    std::hypot(s.x2 - p.x, s.y2 - p.y)});
            }
            EXPECT_LE(nearest, 0.05) << p.x << ", " << p.y;
        }
    }
}

// Where F is 0 all along a curve, the equilibria Newton's method finds on it
// are not isolated points: the note says it is a curve, and the list holds
// only the isolated ones. An isolated multiple root is listed, not a curve.
TEST(PhasePlane, ACurveOfEquilibriaIsSaidToBeOne) {
    struct Row {
        const char* name;
        SlopeOf<StateVector> F;
        std::vector<PlotPoint> isolated;
        std::string note;
    };
    const std::vector<Row> rows{
        {"y1' = y1·y2, y2' = y2: the line y2 = 0",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[1], y[1]};
         },
         {},
         "F is 0 all along a curve through (-2.000, 0.000): its points are equilibria, not "
         "isolated ones, so the table does not list them."},
        {"y1' = y1 − y2, y2' = y2 − y1: the line y1 = y2",
         [](double, const StateVector& y) {
             return StateVector{y[0] - y[1], y[1] - y[0]};
         },
         {},
         "F is 0 all along a curve through (-2.000, -2.000): its points are equilibria, not "
         "isolated ones, so the table does not list them."},
        {"y1' = (y1² + y2² − 1)·y1, y2' = (y1² + y2² − 1)·y2: the unit circle and the origin",
         [](double, const StateVector& y) {
             const double g = y[0] * y[0] + y[1] * y[1] - 1;
             return StateVector{g * y[0], g * y[1]};
         },
         {{0, 0}},
         "F is 0 all along a curve through (-1.000, 0.000): its points are equilibria, not "
         "isolated ones, so the table does not list them."},
        {"y1' = y1², y2' = y2³: one multiple root",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0], y[1] * y[1] * y[1]};
         },
         {{0, 0}},
         ""},
        {"y1' = y1², y2' = y2: one double root",
         [](double, const StateVector& y) {
             return StateVector{y[0] * y[0], y[1]};
         },
         {{0, 0}},
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PhasePlane plane = phasePlane(row.F, true, {0.3, 0.7}, {}, square);
        ASSERT_EQ(plane.equilibria.size(), row.isolated.size());
        for (std::size_t k = 0; k < row.isolated.size(); ++k) {
            EXPECT_NEAR((*plane.equilibria[k].point)[0], row.isolated[k].x, 1e-4);
            EXPECT_NEAR((*plane.equilibria[k].point)[1], row.isolated[k].y, 1e-4);
        }
        EXPECT_EQ(plane.equilibriaNote, row.note);
    }
}

// Van der Pol with mu = 1000 from (2, 0): its reference orbit, drawn to
// x1 = 3000, goes round the relaxation cycle through both jumps, although
// near a jump the reference's two solutions part by far more than a
// millionth of y, the most it may be off when errors are measured against
// it: a drawing needs only a pixel.
TEST(PhasePlane, TheReferenceOrbitOfAStiffCycleIsDrawnToX1) {
    const SlopeOf<StateVector> vanDerPol = [](double, const StateVector& y) {
        return StateVector{y[1], 1000 * (1 - y[0] * y[0]) * y[1] - y[0]};
    };
    const PhasePlaneRuns runs =
        phasePlaneRuns(labCatalogue()[7], vanDerPol, 0, StateVector{2, 0}, 3000, 6, {}, {});
    EXPECT_EQ(runs.orbitNote, "");
    ASSERT_EQ(runs.orbit.size(), static_cast<std::size_t>(referenceOrbitSamples + 1));
    const auto [lowest, highest] = std::minmax_element(
        runs.orbit.begin(), runs.orbit.end(),
        [](const StateVector& a, const StateVector& b) { return a[0] < b[0]; });
    EXPECT_LT((*lowest)[0], -1.9);
    EXPECT_GT((*highest)[0], 1.9);
}

// A run's drift ends where its values first pass 2^26 times the start's:
// beyond, I(y) - I(y0) keeps no digit of the start, so the Phase plane, as
// the Field page, says the run left the range instead of giving a number.
TEST(PhasePlane, AnInvariantsDriftEndsWhereTheRunLeavesTheRangeItCanBeComputedIn) {
    PathOf<StateVector> blownUp;
    blownUp.x = {0, 1, 2, 3};
    blownUp.y = {StateVector{1, 0}, StateVector{3e7, 1}, StateVector{7e7, 1}, StateVector{1e26, 1}};
    const ConservedQuantity energy = [](double, const StateVector& y) {
        return (y[0] * y[0] + y[1] * y[1]) / 2;
    };
    const std::vector<double> drift = invariantDrift(energy, blownUp);
    ASSERT_EQ(drift.size(), 2u);
    EXPECT_EQ(drift[1], (3e7 * 3e7 + 1) / 2 - 0.5);
}
