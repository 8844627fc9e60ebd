#include "run/plot.h"

#include "run/calculation_error.h"
#include "run/segment.h"

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

void addPolyline(std::vector<CanvasLine>& lines, const SolutionTable& table, Pen pen) {
    for (int i = 1; i <= table.last(); ++i) {
        lines.push_back({{single(table.x(i - 1)), single(table.y(i - 1)), single(table.x(i)),
                          single(table.y(i))},
                         pen});
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
    std::vector<CanvasLine> lines{
        {{single(xmin), single(ymin), single(xMax), single(ymin)}, Pen::foreground},
        {{0.0f, single(ymax), 0.0f, single(ymin)}, Pen::foreground},
    };
    addPolyline(lines, exact, Pen::foreground);
    addPolyline(lines, numerical, Pen::red);

    canvas.scale(left, top, right, bottom);
    for (const CanvasLine& l : lines) canvas.line(l.at.x1, l.at.y1, l.at.x2, l.at.y2, l.pen);
}

}  // namespace pelorin
