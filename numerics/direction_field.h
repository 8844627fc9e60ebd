// The direction field of y' = f(x, y) over the part of the plane a plot
// shows: a short segment of slope f(x, y) at every point of a grid that fits
// the view, and the mapping between the plot's pixels and (x, y) that lets a
// click pick a starting point.
#pragma once

#include "methods/methods.h"
#include "run/segment.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The part of the plane a plot shows, [xmin, xmax] × [ymin, ymax], and the
// size in pixels of the axes' rect that shows it.
struct VisibleRange {
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    double width = 0, height = 0;  // pixels

    // The same view: a field drawn for one serves the other.
    bool operator==(const VisibleRange&) const = default;
};

// Whether the range can be drawn: finite, of positive width and height both
// in the plane and in pixels.
bool isDrawable(const VisibleRange& range);

struct PlotPoint {
    double x = 0, y = 0;
};

// A pixel of the axes' rect, counted from its top left corner (py grows
// downwards), as the point (x, y) of the plane there (y grows upwards): the
// left edge px = 0 is xmin, the right edge px = width is xmax, the top edge
// py = 0 is ymax. Pixels outside the rect map beyond the range. Empty for a
// range that is not drawable.
std::optional<PlotPoint> pixelToPoint(const VisibleRange& range, double px, double py);

// The inverse: where (x, y) lies in the axes' rect, in pixels.
std::optional<PlotPoint> pointToPixel(const VisibleRange& range, double x, double y);

// The size of one pixel in the plane's units, across (x) and up (y): what a
// click can resolve, so that the boxes it fills are written to those digits
// (readOffText in base/number_text.h).
std::optional<PlotPoint> pixelSize(const VisibleRange& range);

// Grid points lie at least this far apart on the screen, and at most 2.5
// times as far: the grid steps are 1, 2 or 5 times a power of ten, so that
// its points sit at round numbers and stay where they are in the plane when
// the plot is panned.
inline constexpr double fieldSpacing = 24;  // pixels
// Every segment is this long on the screen, whatever the scales of the axes.
inline constexpr double fieldSegmentLength = 16;  // pixels

// The segment centred on (x, y) along the direction (dx, dy) of the plane,
// fieldSegmentLength pixels long on the screen, where both axes have the
// same scale; `unit` is the size of a pixel (pixelSize). A direction too
// steep for a double on the screen is taken as vertical.
Segment fieldSegment(PlotPoint unit, double x, double y, double dx, double dy);

// A grid step: mantissa · 10^exponent, mantissa 1, 2 or 5.
struct GridStep {
    int mantissa = 1;
    int exponent = 0;
    double value() const;
    // The k-th multiple k·step, rounded once from the decimal it stands for
    // (3 · 0.2 gives the double nearest 0.6, not 0.6000000000000001).
    double multiple(double k) const;
};

// The smallest step of 1, 2 or 5 times a power of ten that is at least
// `size`; for a `size` that is not positive and finite, 1.
GridStep gridStep(double size);

// The grid points of a field over a drawable range, at least `spacing`
// pixels apart: the multiples of xStep within [xmin, xmax] and of yStep
// within [ymin, ymax], each increasing.
struct FieldGrid {
    GridStep xStep, yStep;
    std::vector<double> xs, ys;
};
FieldGrid fieldGrid(const VisibleRange& range, double spacing);

struct DirectionField {
    GridStep xStep, yStep;
    // The grid's points, the first row along y = ymin's nearest multiple of
    // the step above it, x growing within a row and y from row to row.
    std::vector<PlotPoint> points;
    // One segment per point where f(x, y) is finite, in the plane's units,
    // centred on its point, of slope f(x, y) and fieldSegmentLength pixels
    // long on the screen.
    std::vector<Segment> segments;
    // The points where f(x, y) is not finite, which have no segment.
    int notFinite = 0;
    std::optional<PlotPoint> firstNotFinite;
};

// The field of f over the range; empty for a range that is not drawable.
DirectionField directionField(Slope f, const VisibleRange& range);

// Where f had no finite slope, in words, e.g. "f(x, y) is not finite at 7 of
// 345 grid points, the first at (0, -2): no segment is drawn there."; empty
// when every point has its segment. A system's phase field names its F.
std::string directionFieldNote(const DirectionField& field,
                               std::string_view slopeName = "f(x, y)");

}  // namespace pelorin
