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
#include "numerics/solution_paths.h"
#include "numerics/system_reference.h"

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
    int atRest = 0;       // grid points where F_across = F_up = 0: no direction
    std::optional<PlotPoint> firstAtRest;
};

// The curves F_across = 0 (the motion is vertical there) and F_up = 0 (it is
// horizontal), by marching squares on a grid of nullclineSpacing pixels,
// half a step off the round numbers: each cell whose corners are all finite
// holds at most two segments, with the crossings on its edges placed by
// linear interpolation.
inline constexpr double nullclineSpacing = 4;  // pixels
struct Nullclines {
    std::vector<Segment> acrossStill, upStill;
};

// An equilibrium search starts from each point of a grid of
// equilibriumStarts × equilibriumStarts cells' centres across the view, and
// from the start y0.
inline constexpr int equilibriumStarts = 5;

struct PhasePlane {
    PlaneAxes axes;
    // Why the plane has no field, nullclines or equilibria, in words; empty
    // when it has them.
    std::string absence;
    PhaseField field;
    Nullclines nullclines;
    // Those in view, from left to right, then upwards.
    std::vector<EquilibriumSearch> equilibria;
    std::string equilibriaNote;  // when none is in view: why, in words
};

// The plane of F over the range; the field, nullclines and equilibria need a
// system of two components that is autonomous (F does not look at x), and a
// drawable range. A single equation has no plane at all, and says so. y0 is
// the problem's start, one more start for Newton's method.
PhasePlane phasePlane(SystemSlope F, bool autonomous, const StateVector& y0, PlaneAxes axes,
                      const VisibleRange& range);

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
Orbit orbitThrough(SystemSlope F, double x0, const StateVector& start, double span, PlaneAxes axes,
                   const VisibleRange& view);

// The drift of a conserved quantity along a run: I(x_k, y_k) − I(x_0, y_0)
// at every step.
std::vector<double> invariantDrift(const ConservedQuantity& invariant, const SystemPath& path);

// What the page draws of a problem's runs: the method with h, h/2 and h/4;
// the orbit from the start to x1 at referenceOrbitSamples abscissae, the
// exact solution where one is given (non-empty), else the reference; and,
// for an invariant (none when empty), each run's drift in it.
inline constexpr int referenceOrbitSamples = 1000;
struct PhasePlaneRuns {
    std::array<SystemPath, 3> halved;
    // The start, then the solution at each abscissa up to the first where
    // it is not known or not finite.
    std::vector<StateVector> orbit;
    bool exact = false;     // the orbit is the exact solution, not the reference
    std::string orbitNote;  // why the reference stopped short; empty when it did not
    std::array<std::vector<double>, 3> drift;  // empty without an invariant
};
PhasePlaneRuns phasePlaneRuns(const Method& method, SystemSlope F, double x0, const StateVector& y0,
                              double x1, double h, const KnownSystemSolution& exact,
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
