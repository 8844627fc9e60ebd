#include "run/plot.h"

#include "run/calculation_error.h"

#include <cfloat>
#include <cmath>
#include <vector>

namespace pelorin {

namespace {

// The canvas takes single precision; a value beyond its range would become
// an infinity there, so it stops the drawing instead.
float single(double value) {
    if (!(std::fabs(value) <= FLT_MAX)) {
        throw CalculationError("The solution is too large to plot. Enter smaller values "
                               "to see the plot.");
    }
    return static_cast<float>(value);
}

struct Segment {
    float x1, y1, x2, y2;
    Pen pen;
};

void addPolyline(std::vector<Segment>& segments, const SolutionTable& table, Pen pen) {
    for (int i = 1; i <= table.last(); ++i) {
        segments.push_back({single(table.x(i - 1)), single(table.y(i - 1)), single(table.x(i)),
                            single(table.y(i)), pen});
    }
}

}  // namespace

void Graphic(Canvas& canvas, const Solutions& solutions, double xMax) {
    const SolutionTable& exact = solutions.exact;
    const SolutionTable& numerical = solutions.numerical;
    const double xmin = numerical.x(0);
    double ymax = numerical.y(0);
    double ymin = numerical.y(0);
    for (int i = 0; i <= exact.last(); ++i) {
        if (exact.y(i) > ymax) ymax = exact.y(i);
        if (exact.y(i) < ymin) ymin = exact.y(i);
    }
    const double m = std::fabs(xMax - xmin) * 0.1;

    // Everything is converted before anything is drawn, so a plot that cannot
    // be drawn leaves an empty area rather than half a plot or the last one.
    canvas.clear();
    const float left = single(xmin - m), top = single(ymax + m);
    const float right = single(xMax + m), bottom = single(ymin - m);
    std::vector<Segment> segments{
        {single(xmin), single(ymin), single(xMax), single(ymin), Pen::foreground},
        {0.0f, single(ymax), 0.0f, single(ymin), Pen::foreground},
    };
    addPolyline(segments, exact, Pen::foreground);
    addPolyline(segments, numerical, Pen::red);

    canvas.scale(left, top, right, bottom);
    for (const Segment& s : segments) canvas.line(s.x1, s.y1, s.x2, s.y2, s.pen);
}

}  // namespace pelorin
