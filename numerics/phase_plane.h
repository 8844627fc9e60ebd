// The phase plane of a system y' = F(x, y): two of its components drawn
// against each other, with the direction F points in at each point of the
// plane, the nullclines where one of the two stands still, the equilibria in
// view, the orbits through a point and the methods' runs, and how far a run
// drifts in a quantity the exact solutions keep constant.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/direction_field.h"
#include "numerics/equilibria.h"
#include "numerics/plot_extent.h"
#include "numerics/reference.h"
#include "numerics/solution_paths.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// The components the plane shows, 0-based: y_across to the right, y_up
// upwards. The others are not shown.
struct PlaneAxes {
    std::size_t across = 0, up = 1;
};

// A component as the boxes name it, from its 0-based index: "y1", "y2", ...
std::string componentName(std::size_t index);

// Where a state lies in the plane.
PlotPoint planePoint(const StateVector& y, PlaneAxes axes);

// The phase field: a segment at each point of the direction field's grid
// (same spacing, same round steps), pointing along (F_across, F_up) from
// its first end to its second, fieldSegmentLength pixels long. Length does
// not show speed: near an equilibrium the arrows would shrink to dots and
// far from it outgrow their cells, so every arrow shows a direction only.
// F is evaluated at x = 0, as for an autonomous system any x gives the same.
struct PhaseField {
    DirectionField grid;  // points, segments and the points where F is not finite
    // The grid points where F_across = F_up = 0, equilibria: no direction.
    std::vector<PlotPoint> atRest;
};

// The curves F_across = 0 (the motion is vertical there) and F_up = 0 (it is
// horizontal), by marching squares on a grid of nullclineSpacing pixels,
// half a step off the round numbers: each cell whose corners are all finite
// holds at most two segments, with the crossings on its edges placed by
// linear interpolation. A component that touches 0 without changing sign
// (y1² along y1 = 0) has no crossing: along each row and column of the grid,
// three values of one sign whose middle one is the smallest in size are
// fitted with a parabola, refined towards its vertex, which is a point of
// the curve when the component there is 0 within touchingZero times the
// outer values. A touching zero (y1², y1⁴) is so found to rounding, while a
// minimum above 0 is never drawn; the points on neighbouring rows (columns)
// within touchingReach steps of each other are joined.
inline constexpr double nullclineSpacing = 4;  // pixels
inline constexpr double touchingZero = 1e-9;
inline constexpr double touchingReach = 1.5;
struct Nullclines {
    std::vector<Segment> acrossStill, upStill;
};

// An equilibrium search starts from each point of a grid of
// equilibriumStarts × equilibriumStarts cells' centres across the view, and
// from the start y0.
inline constexpr int equilibriumStarts = 5;

// The grid points where the field has no arrow, F = 0 there, are starts
// too, so that every point the field's note calls an equilibrium is found.
//
// An equilibrium whose Jacobian has an eigenvalue 0 may lie on a curve of
// equilibria (y1' = y1·y2, y2' = y2 along y2 = 0), whose points Newton's
// method finds wherever a start leads it. It does when, curveProbe pixels
// from it along the direction J leaves still (either axis when J is 0
// within its tolerance) and on either side, the segment across that
// direction, as long again each way, holds a point where one component
// changes sign (found by bisection) and every other one is 0 within
// curveZero times its size at the segment's ends. At an isolated root the
// other component keeps its size there (y1² at y1 = t is t² all across);
// on a curve both vanish together, to rounding.
inline constexpr double curveProbe = 8;  // pixels
inline constexpr double curveZero = 1e-6;

struct PhasePlane {
    PlaneAxes axes;
    // Why the plane has no field, nullclines or equilibria, in words; empty
    // when it has them.
    std::string absence;
    PhaseField field;
    Nullclines nullclines;
    // The isolated ones in view, from left to right, then upwards.
    std::vector<EquilibriumSearch> equilibria;
    // Where equilibria in view lie on a curve of them, the first from the
    // left; those are not among `equilibria`.
    std::optional<StateVector> equilibriumCurve;
    // That equilibria form a curve, or when none is in view why, in words.
    std::string equilibriaNote;
};

// The plane of F over the range; the field, nullclines and equilibria need a
// system of two components that is autonomous (F does not look at x), and a
// drawable range. A single equation has no plane at all, and says so. y0 is
// the problem's start, one more start for Newton's method.
PhasePlane phasePlane(SlopeOf<StateVector> F, bool autonomous, const StateVector& y0,
                      PlaneAxes axes, const VisibleRange& range);

// The field's note, as the direction field's, and where F is 0 at a grid
// point; empty when every point has its arrow.
std::string phaseFieldNote(const PhaseField& field);

// The orbit through `start` at x0: the system's reference solution backwards
// to x0 − span and forwards to x0 + span, joined into one polyline in the
// plane that runs forwards, sampled at orbitSamples abscissae each way and
// cut where it first leaves the view widened by orbitReach times its width
// and height on every side. `note` says why a side stopped short.
inline constexpr int orbitSamples = 400;
inline constexpr double orbitReach = 2;
struct Orbit {
    std::vector<PlotPoint> points;
    std::size_t startIndex = 0;  // the point of `points` that is the start
    std::string note;
};
Orbit orbitThrough(SlopeOf<StateVector> F, double x0, const StateVector& start, double span,
                   PlaneAxes axes, const VisibleRange& view);

// The drift of a conserved quantity along a run: I(x_k, y_k) − I(x_0, y_0)
// at every step.
// A run's values may grow to computableRange = 2^26 = 1/√ε times the start's
// largest component (at least 1) before its I can no longer be computed:
// beyond, a quadratic I(y) exceeds I(y0) by more than 1/ε, so that
// I(y) - I(y0) keeps no digit of where the run started, and a sum of large
// terms (y2²/2 - cos(y1) with y1 far beyond 2π) has lost its value to
// cancellation. A run's drift ends where its values first pass it.
inline constexpr double computableRange = 67108864;
// The points of a run before its values first pass that range.
std::size_t computablePoints(const PathOf<StateVector>& run);

std::vector<double> invariantDrift(const ConservedQuantity& invariant,
                                   const PathOf<StateVector>& path);

// What the page draws of a problem's runs: the method with h, h/2 and h/4;
// the orbit from the start to x1 at referenceOrbitSamples abscissae, the
// exact solution where one is given (non-empty), else the reference; and,
// for an invariant (none when empty), each run's drift in it.
inline constexpr int referenceOrbitSamples = 1000;
struct PhasePlaneRuns {
    std::array<PathOf<StateVector>, 3> halved;
    // The start, then the solution at each abscissa up to the first where
    // it is not known or not finite.
    std::vector<StateVector> orbit;
    bool exact = false;     // the orbit is the exact solution, not the reference
    std::string orbitNote;  // why the reference stopped short; empty when it did not
    std::array<std::vector<double>, 3> drift;  // empty without an invariant
};
PhasePlaneRuns phasePlaneRuns(const Method& method, SlopeOf<StateVector> F, double x0,
                              const StateVector& y0, double x1, double h,
                              const KnownStateOf<StateVector>& exact,
                              const ConservedQuantity& invariant);

// What the whole view of the plane holds: the orbit, and the runs' points
// that lie within wholeRunReach times the orbit's size of its middle on
// each axis (the orbit counted at least 1 wide), so that Euler spiralling
// out of a circle shows, while a run that overflows does not flatten the
// orbit to a dot. Without an orbit, every point of the runs.
inline constexpr double wholeRunReach = 5;
struct PlaneExtent {
    Extent across, up;
};
PlaneExtent wholePlane(const PhasePlaneRuns& runs, PlaneAxes axes);

}  // namespace pelorin
