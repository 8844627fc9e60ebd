#include "numerics/phase_plane.h"

#include "base/conversions.h"
#include "numerics/reference.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace pelorin {

namespace {

// F is evaluated here where it stands for an autonomous system, as
// findEquilibrium evaluates it.
constexpr double autonomousX = 0;

// The state of a system of two components at (a, b) in the plane.
StateVector planeState(PlaneAxes axes, double a, double b) {
    StateVector y(2);
    y[axes.across] = a;
    y[axes.up] = b;
    return y;
}

bool inRange(const PlotPoint& p, const VisibleRange& range) {
    return p.x >= range.xmin && p.x <= range.xmax && p.y >= range.ymin && p.y <= range.ymax;
}

PhaseField phaseField(SlopeOf<StateVector> F, PlaneAxes axes, const VisibleRange& range,
                      const FieldGrid& grid) {
    PhaseField field;
    DirectionField& out = field.grid;
    out.xStep = grid.xStep;
    out.yStep = grid.yStep;
    const PlotPoint unit = *pixelSize(range);
    for (double b : grid.ys) {
        for (double a : grid.xs) {
            out.points.push_back({a, b});
            const StateVector slope = F(autonomousX, planeState(axes, a, b));
            const double da = slope[axes.across], db = slope[axes.up];
            if (!std::isfinite(da) || !std::isfinite(db)) {
                if (!out.firstNotFinite) out.firstNotFinite = PlotPoint{a, b};
                ++out.notFinite;
                continue;
            }
            if (da == 0 && db == 0) {
                field.atRest.push_back({a, b});
                continue;
            }
            out.segments.push_back(fieldSegment(unit, a, b, da, db));
        }
    }
    return field;
}

// A saddle cell's mean within this fraction of its largest corner is 0:
// far above the roundings of four values, far below any real imbalance.
constexpr double crossingMean = 1e-9;

// A corner of a marching-squares cell: where it is and g's value there.
struct Corner {
    double x = 0, y = 0, value = 0;
};

// Where g = 0 on the edge from a to b, when g changes sign along it: a zero
// at a corner counts with the negative side, so that a curve through grid
// points is drawn once, on the cells where g is positive.
std::optional<PlotPoint> crossing(const Corner& a, const Corner& b) {
    if ((a.value > 0) == (b.value > 0)) return std::nullopt;
    const double t = a.value / (a.value - b.value);
    return PlotPoint{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}

void addSegment(std::vector<Segment>& segments, const PlotPoint& p, const PlotPoint& q) {
    if (p.x != q.x || p.y != q.y) segments.push_back({p.x, p.y, q.x, q.y});
}

// The zero set of g in one cell, its corners counter-clockwise from the
// bottom left. Four crossings (a saddle of g) are paired by g's mean at the
// centre: the corners on the centre's side are joined through the cell;
// where the mean is 0 to rounding, two curves cross there, and so do the
// segments.
void marchCell(const std::array<Corner, 4>& corners, std::vector<Segment>& segments) {
    std::array<std::optional<PlotPoint>, 4> edge;  // bottom, right, top, left
    std::vector<PlotPoint> found;
    for (std::size_t k = 0; k < 4; ++k) {
        edge[k] = crossing(corners[k], corners[(k + 1) % 4]);
        if (edge[k]) found.push_back(*edge[k]);
    }
    if (found.size() == 2) {
        addSegment(segments, found[0], found[1]);
        return;
    }
    if (found.size() != 4) return;
    const double centre =
        (corners[0].value + corners[1].value + corners[2].value + corners[3].value) / 4;
    double largest = 0;
    for (const Corner& c : corners) largest = std::max(largest, std::fabs(c.value));
    if (std::fabs(centre) <= crossingMean * largest) {
        addSegment(segments, *edge[0], *edge[2]);
        addSegment(segments, *edge[1], *edge[3]);
    } else if ((centre > 0) == (corners[0].value > 0)) {
        addSegment(segments, *edge[0], *edge[1]);  // around the bottom right corner
        addSegment(segments, *edge[2], *edge[3]);  // around the top left corner
    } else {
        addSegment(segments, *edge[3], *edge[0]);  // around the bottom left corner
        addSegment(segments, *edge[1], *edge[2]);  // around the top right corner
    }
}

// The grid's points moved by half a step across and up, one more before the
// first: nullclines at round numbers, as y1 = 0 or y2 = a/b, then cross
// cells instead of running along their edges through corners where g is 0,
// where marching squares would cut the corner of a crossing.
FieldGrid halfShifted(FieldGrid grid) {
    for (auto [values, step] : {std::pair{&grid.xs, grid.xStep}, std::pair{&grid.ys, grid.yStep}}) {
        if (values->empty()) continue;
        const double half = step.value() / 2;
        std::vector<double> shifted{values->front() - half};
        for (double value : *values) shifted.push_back(value + half);
        *values = std::move(shifted);
    }
    return grid;
}

// Where g touches 0 near the middle of three values g(a − h), g(a), g(a + h)
// whose outer ones have one sign and the middle one is the smallest in size:
// the vertex of the parabola through them, then of the parabola through g at
// that vertex and on either side (as far as it moved, and at most a quarter
// as far as before: a Newton step on g' by differences, whose spacing must
// shrink with the step), and so on while |g| at least halves a step. At a
// touching zero of order m it shrinks by about ((m − 1)/m)^m < 1/2 a step;
// at a minimum above 0 it stops short of touchingZero times the outer
// values, and there is none.
std::optional<double> touching(double before, double middle, double after, double step,
                               const std::function<double(double)>& g) {
    constexpr int refinements = 30;
    const bool oneSign = (before > 0 && after > 0 && middle >= 0) ||
                         (before < 0 && after < 0 && middle <= 0);
    double low = std::fabs(before), mid = std::fabs(middle), high = std::fabs(after);
    if (!oneSign || mid > low || mid > high) return std::nullopt;
    const double scale = std::max(low, high);
    double at = 0, spacing = step;
    for (int k = 0; k < refinements; ++k) {
        if (mid <= touchingZero * scale) return at;
        const double curvature = low - 2 * mid + high;
        if (!(curvature > 0)) return std::nullopt;
        const double vertex = at + spacing * (low - high) / (2 * curvature);
        const double there = std::fabs(g(vertex));
        if (!(std::fabs(vertex) <= step) || !(there <= mid / 2)) return std::nullopt;
        spacing = std::max(std::min(std::fabs(vertex - at), spacing / 4), 1e-6 * step);
        at = vertex;
        mid = there;
        low = std::fabs(g(at - spacing));
        high = std::fabs(g(at + spacing));
    }
    return std::nullopt;
}

// The touching points of one component along the grid's rows (across) and
// columns (up), each line's points joined to those of the next within
// touchingReach steps.
void addTouching(SlopeOf<StateVector> F, PlaneAxes axes, const FieldGrid& grid,
                 const std::vector<StateVector>& values, std::size_t component,
                 std::vector<Segment>& segments) {
    const std::size_t columns = grid.xs.size(), rows = grid.ys.size();
    const auto value = [&](std::size_t column, std::size_t row) {
        return values[row * columns + column][component];
    };
    const auto slope = [&](double a, double b) {
        return F(autonomousX, planeState(axes, a, b))[component];
    };
    std::vector<std::vector<PlotPoint>> alongRows(rows), alongColumns(columns);
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t column = 1; column + 1 < columns; ++column) {
            const double a = grid.xs[column], b = grid.ys[row];
            const auto at = touching(value(column - 1, row), value(column, row),
                                     value(column + 1, row), grid.xStep.value(),
                                     [&](double d) { return slope(a + d, b); });
            if (at) alongRows[row].push_back({a + *at, b});
        }
    }
    for (std::size_t column = 0; column < columns; ++column) {
        for (std::size_t row = 1; row + 1 < rows; ++row) {
            const double a = grid.xs[column], b = grid.ys[row];
            const auto at = touching(value(column, row - 1), value(column, row),
                                     value(column, row + 1), grid.yStep.value(),
                                     [&](double d) { return slope(a, b + d); });
            if (at) alongColumns[column].push_back({a, b + *at});
        }
    }
    const auto join = [&](const std::vector<std::vector<PlotPoint>>& lines, double reach,
                          auto offset) {
        for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
            for (const PlotPoint& p : lines[k]) {
                for (const PlotPoint& q : lines[k + 1]) {
                    if (std::fabs(offset(p, q)) <= reach) addSegment(segments, p, q);
                }
            }
        }
    };
    join(alongRows, touchingReach * grid.xStep.value(),
         [](const PlotPoint& p, const PlotPoint& q) { return q.x - p.x; });
    join(alongColumns, touchingReach * grid.yStep.value(),
         [](const PlotPoint& p, const PlotPoint& q) { return q.y - p.y; });
}

Nullclines nullclines(SlopeOf<StateVector> F, PlaneAxes axes, const FieldGrid& grid) {
    Nullclines curves;
    const std::size_t columns = grid.xs.size();
    std::vector<StateVector> values;
    values.reserve(columns * grid.ys.size());
    for (double b : grid.ys) {
        for (double a : grid.xs) values.push_back(F(autonomousX, planeState(axes, a, b)));
    }
    const auto corner = [&](std::size_t column, std::size_t row, std::size_t component) {
        return Corner{grid.xs[column], grid.ys[row], values[row * columns + column][component]};
    };
    for (std::size_t row = 0; row + 1 < grid.ys.size(); ++row) {
        for (std::size_t column = 0; column + 1 < columns; ++column) {
            for (auto [component, segments] : {std::pair{axes.across, &curves.acrossStill},
                                               std::pair{axes.up, &curves.upStill}}) {
                const std::array<Corner, 4> cell{
                    corner(column, row, component), corner(column + 1, row, component),
                    corner(column + 1, row + 1, component), corner(column, row + 1, component)};
                const bool finite = std::all_of(cell.begin(), cell.end(), [](const Corner& c) {
                    return std::isfinite(c.value);
                });
                if (finite) marchCell(cell, *segments);
            }
        }
    }
    addTouching(F, axes, grid, values, axes.across, curves.acrossStill);
    addTouching(F, axes, grid, values, axes.up, curves.upStill);
    return curves;
}

// The field's grid points where F = 0, the centres of a starts × starts grid
// of cells across the range, then y0. The points where F is 0 come first, so
// that an equilibrium found there exactly is the one kept.
std::vector<StateVector> equilibriumStartsIn(const VisibleRange& range, PlaneAxes axes,
                                             const StateVector& y0,
                                             const std::vector<PlotPoint>& atRest) {
    std::vector<StateVector> starts;
    for (const PlotPoint& p : atRest) starts.push_back(planeState(axes, p.x, p.y));
    for (int row = 0; row < equilibriumStarts; ++row) {
        for (int column = 0; column < equilibriumStarts; ++column) {
            const double a =
                range.xmin + (column + 0.5) / equilibriumStarts * (range.xmax - range.xmin);
            const double b =
                range.ymin + (row + 0.5) / equilibriumStarts * (range.ymax - range.ymin);
            starts.push_back(planeState(axes, a, b));
        }
    }
    starts.push_back(y0);
    return starts;
}

// Why no equilibrium is listed, with the note of the search from `reason`.
std::string equilibriaNote(SlopeOf<StateVector> F, const std::vector<StateVector>& starts,
                           const StateVector& reason, bool foundAny) {
    if (foundAny) {
        return "No equilibrium lies in view: those Newton's method finds from the view lie "
               "outside it.";
    }
    return "Newton's method finds no equilibrium from " + std::to_string(starts.size()) +
           " starts across the view and at the start. " + findEquilibrium(F, reason).note;
}

std::string curveNote(const StateVector& through) {
    return "F is 0 all along a curve through " + pointText(through) +
           ": its points are equilibria, not isolated ones, so the table does not list them.";
}

// g's sign change on the segment from a − t·w to a + t·w, by bisection to
// 2^-60 of its length; none without one.
std::optional<StateVector> signChange(const std::function<double(const StateVector&)>& g,
                                      const StateVector& a, const StateVector& w, double t) {
    double low = -t, high = t;
    const double atLow = g(a + low * w), atHigh = g(a + high * w);
    if (!std::isfinite(atLow) || !std::isfinite(atHigh) || (atLow > 0) == (atHigh > 0)) {
        return std::nullopt;
    }
    for (int halving = 0; halving < 60; ++halving) {
        const double middle = low + (high - low) / 2;
        ((g(a + middle * w) > 0) == (atLow > 0) ? low : high) = middle;
    }
    return a + low * w;
}

// Whether the segment across w at a holds a common zero of F's components,
// as on a curve of equilibria.
bool commonZeroAcross(SlopeOf<StateVector> F, const StateVector& a, const StateVector& w,
                      double t) {
    const StateVector ends[] = {F(autonomousX, a - t * w), F(autonomousX, a + t * w)};
    for (std::size_t k = 0; k < a.size(); ++k) {
        const auto component = [&](const StateVector& y) { return F(autonomousX, y)[k]; };
        const std::optional<StateVector> zero = signChange(component, a, w, t);
        if (!zero) continue;
        const StateVector there = F(autonomousX, *zero);
        bool common = true;
        for (std::size_t other = 0; other < a.size(); ++other) {
            const double size = std::max(std::fabs(ends[0][other]), std::fabs(ends[1][other]));
            if (other != k && !(std::fabs(there[other]) <= curveZero * size)) common = false;
        }
        if (common) return true;
    }
    return false;
}

// The directions J leaves still at an equilibrium of a plane system, unit
// vectors: across its largest row, or both axes when J is 0 within its
// tolerance.
std::vector<StateVector> stillDirections(const EquilibriumSearch& e) {
    const SquareMatrix& j = e.jacobian;
    const double first = std::hypot(j(0, 0), j(0, 1)), second = std::hypot(j(1, 0), j(1, 1));
    if (std::max(first, second) <= e.tolerance) return {{1, 0}, {0, 1}};
    const std::size_t row = first >= second ? 0 : 1;
    const double norm = std::max(first, second);
    return {{-j(row, 1) / norm, j(row, 0) / norm}};
}

bool onCurveOfEquilibria(SlopeOf<StateVector> F, const EquilibriumSearch& e, double probe) {
    if (e.kind != EquilibriumKind::degenerate || e.jacobian.size() != 2) return false;
    for (const StateVector& v : stillDirections(e)) {
        const StateVector across{-v[1], v[0]};
        for (double side : {-probe, probe}) {
            if (commonZeroAcross(F, *e.point + side * v, across, probe)) return true;
        }
    }
    return false;
}

// The system run backwards from x0: z(s) = y(x0 − s) solves
// z' = −F(x0 − s, z).
struct Reversed {
    SlopeOf<StateVector> F;
    double x0;
    StateVector operator()(double s, const StateVector& z) const { return -1.0 * F(x0 - s, z); }
};

// The orbit from (x0, start) over s in [0, span] of G, projected, without
// its start; cut where it leaves `box`.
std::vector<PlotPoint> orbitSide(SlopeOf<StateVector> G, double x0, const StateVector& start,
                                 double span, PlaneAxes axes, const VisibleRange& box,
                                 std::string& note) {
    std::vector<double> abscissae;
    for (int k = 1; k <= orbitSamples; ++k) {
        abscissae.push_back(x0 + span * k / orbitSamples);
    }
    const ReferenceSolutionOf<StateVector> reference = referenceSolution(G, x0, start, abscissae);
    std::vector<PlotPoint> points;
    for (const StateVector& y : reference.y) {
        const PlotPoint p = planePoint(y, axes);
        if (!inRange(p, box)) return points;  // it has left the picture for good
        points.push_back(p);
    }
    if (!reference.note.empty()) note += (note.empty() ? "" : " ") + reference.note;
    return points;
}

}  // namespace

std::string componentName(std::size_t index) { return "y" + std::to_string(index + 1); }

PlotPoint planePoint(const StateVector& y, PlaneAxes axes) {
    return {y[axes.across], y[axes.up]};
}

PhasePlane phasePlane(SlopeOf<StateVector> F, bool autonomous, const StateVector& y0,
                      PlaneAxes axes, const VisibleRange& range) {
    PhasePlane plane;
    plane.axes = axes;
    if (y0.size() == 1) {
        plane.absence = "A phase plane draws one component against another, and y' = f(x, y) "
                        "has one: its direction field is on the Field page.";
        return plane;
    }
    if (y0.size() != 2) {
        plane.absence =
            "With " + std::to_string(y0.size()) + " components the direction of (" +
            componentName(axes.across) + ", " + componentName(axes.up) +
            ") at a point of the plane depends on the components not shown, which differ from "
            "path to path: no field, nullclines or equilibria are drawn, only the paths seen from "
            "this side.";
        return plane;
    }
    if (!autonomous) {
        plane.absence =
            "F depends on x, so the direction at a point of the plane changes as x goes on: no "
            "field, nullclines or equilibria belong to the plane; the paths are drawn.";
        return plane;
    }
    if (!isDrawable(range)) return plane;
    plane.field = phaseField(F, axes, range, fieldGrid(range, fieldSpacing));
    plane.nullclines = nullclines(F, axes, halfShifted(fieldGrid(range, nullclineSpacing)));
    const std::vector<StateVector> starts =
        equilibriumStartsIn(range, axes, y0, plane.field.atRest);
    const std::vector<EquilibriumSearch> found = distinctEquilibria(F, starts);
    const PlotPoint unit = *pixelSize(range);
    const double probe = curveProbe * std::min(unit.x, unit.y);
    for (const EquilibriumSearch& e : found) {
        const PlotPoint p = planePoint(*e.point, axes);
        if (!inRange(p, range)) continue;
        if (!onCurveOfEquilibria(F, e, probe)) {
            plane.equilibria.push_back(e);
        } else if (!plane.equilibriumCurve || p.x < planePoint(*plane.equilibriumCurve, axes).x) {
            plane.equilibriumCurve = *e.point;
        }
    }
    // Listed from left to right, then upwards, as the eye reads the plot.
    std::sort(plane.equilibria.begin(), plane.equilibria.end(),
              [&](const EquilibriumSearch& a, const EquilibriumSearch& b) {
                  const PlotPoint p = planePoint(*a.point, axes), q = planePoint(*b.point, axes);
                  return p.x != q.x ? p.x < q.x : p.y < q.y;
              });
    if (plane.equilibriumCurve) {
        plane.equilibriaNote = curveNote(*plane.equilibriumCurve);
    } else if (plane.equilibria.empty()) {
        // Why none was found where the field's note names an equilibrium,
        // else at the problem's start.
        const StateVector reason = plane.field.atRest.empty() ? y0 : starts.front();
        plane.equilibriaNote = equilibriaNote(F, starts, reason, !found.empty());
    }
    return plane;
}

std::string phaseFieldNote(const PhaseField& field) {
    std::string note = directionFieldNote(field.grid, "F(y)");
    if (field.atRest.empty()) return note;
    const std::string where = "(" + numberToText(field.atRest.front().x) + ", " +
                              numberToText(field.atRest.front().y) + ")";
    const std::string atRest =
        field.atRest.size() == 1
            ? "F(y) is 0 at the grid point " + where + ", an equilibrium: no arrow is drawn there."
            : "F(y) is 0 at " + std::to_string(field.atRest.size()) +
                  " grid points, equilibria, the first at " + where + ": no arrow is drawn there.";
    return note.empty() ? atRest : note + " " + atRest;
}

Orbit orbitThrough(SlopeOf<StateVector> F, double x0, const StateVector& start, double span,
                   PlaneAxes axes, const VisibleRange& view) {
    Orbit orbit;
    const double width = view.xmax - view.xmin, height = view.ymax - view.ymin;
    const VisibleRange box{view.xmin - orbitReach * width, view.xmax + orbitReach * width,
                           view.ymin - orbitReach * height, view.ymax + orbitReach * height,
                           view.width, view.height};
    const Reversed reversed{F, x0};
    std::string backwardsNote, forwardsNote;
    std::vector<PlotPoint> backwards =
        orbitSide(reversed, 0, start, std::fabs(span), axes, box, backwardsNote);
    const std::vector<PlotPoint> forwards =
        orbitSide(F, x0, start, std::fabs(span), axes, box, forwardsNote);
    std::reverse(backwards.begin(), backwards.end());
    orbit.points = std::move(backwards);
    orbit.startIndex = orbit.points.size();
    orbit.points.push_back(planePoint(start, axes));
    orbit.points.insert(orbit.points.end(), forwards.begin(), forwards.end());
    if (!backwardsNote.empty()) orbit.note = "Backwards: " + backwardsNote;
    if (!forwardsNote.empty()) {
        orbit.note += (orbit.note.empty() ? "" : " ") + ("Forwards: " + forwardsNote);
    }
    return orbit;
}

std::size_t computablePoints(const PathOf<StateVector>& run) {
    if (run.y.empty()) return 0;
    const double limit = computableRange * std::max(1.0, stateNorm(run.y.front()));
    for (std::size_t i = 0; i < run.y.size(); ++i) {
        if (stateNorm(run.y[i]) > limit) return i;
    }
    return run.y.size();
}

std::vector<double> invariantDrift(const ConservedQuantity& invariant,
                                   const PathOf<StateVector>& path) {
    std::vector<double> drift;
    if (path.y.empty()) return drift;
    const double start = invariant(path.x.front(), path.y.front());
    for (std::size_t k = 0; k < computablePoints(path); ++k) {
        drift.push_back(invariant(path.x[k], path.y[k]) - start);
    }
    return drift;
}

PhasePlaneRuns phasePlaneRuns(const Method& method, SlopeOf<StateVector> F, double x0,
                              const StateVector& y0, double x1, double h,
                              const KnownStateOf<StateVector>& exact,
                              const ConservedQuantity& invariant) {
    PhasePlaneRuns runs;
    runs.halved = halvedPaths(method, F, x0, y0, x1, h);
    std::vector<double> abscissae;
    for (int k = 1; k <= referenceOrbitSamples; ++k) {
        abscissae.push_back(x0 + (x1 - x0) * k / referenceOrbitSamples);
    }
    runs.orbit.push_back(y0);
    runs.exact = static_cast<bool>(exact);
    if (exact) {
        for (double x : abscissae) {
            const StateVector y = exact(x);
            if (!std::all_of(y.begin(), y.end(), [](double c) { return std::isfinite(c); })) break;
            runs.orbit.push_back(y);
        }
    } else {
        // Drawn, not measured against: trusted as far as a plot can tell.
        const ReferenceSolutionOf<StateVector> reference =
            referenceSolution(F, x0, y0, abscissae, maxReferenceEvaluations,
                              ReferenceAccuracy::standard, drawingTrust);
        runs.orbit.insert(runs.orbit.end(), reference.y.begin(), reference.y.end());
        runs.orbitNote = reference.note;
    }
    if (invariant) {
        for (std::size_t k = 0; k < runs.halved.size(); ++k) {
            runs.drift[k] = invariantDrift(invariant, runs.halved[k]);
        }
    }
    return runs;
}

PlaneExtent wholePlane(const PhasePlaneRuns& runs, PlaneAxes axes) {
    PlaneExtent orbit;
    for (const StateVector& y : runs.orbit) {
        const PlotPoint p = planePoint(y, axes);
        orbit.across.include(p.x);
        orbit.up.include(p.y);
    }
    const auto reach = [&](const Extent& extent) {
        Extent near = extent;
        if (near.empty) return near;
        if (near.upper - near.lower < 1) {
            const double middle = near.lower + (near.upper - near.lower) / 2;
            near = {middle - 0.5, middle + 0.5, false};
        }
        return near.widened(wholeRunReach);
    };
    const Extent nearAcross = reach(orbit.across), nearUp = reach(orbit.up);
    const auto within = [](const Extent& extent, double value) {
        return extent.empty || (value >= extent.lower && value <= extent.upper);
    };
    PlaneExtent whole = orbit;
    for (const PathOf<StateVector>& run : runs.halved) {
        for (const StateVector& y : run.y) {
            const PlotPoint p = planePoint(y, axes);
            if (within(nearAcross, p.x) && within(nearUp, p.y)) {
                whole.across.include(p.x);
                whole.up.include(p.y);
            }
        }
    }
    return whole;
}

}  // namespace pelorin
