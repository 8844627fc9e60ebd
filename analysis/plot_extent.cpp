#include "analysis/plot_extent.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

bool drawable(double value) {
    const double size = std::fabs(value);
    return value == 0 || (size > smallestDrawable && size < largestDrawable);
}

bool drawable(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double value) { return drawable(value); });
}

bool drawable(const Segment& segment) {
    return drawable({segment.x1, segment.y1, segment.x2, segment.y2});
}

std::string undrawableNote() {
    return "Some values lie beyond what a plot's scale can span (1E-280 to 1E+250 in size) and "
           "are left out of the plot; the tables and notes still give them.";
}

DrawablePoints drawablePoints(const std::vector<double>& x, const std::vector<double>& y) {
    DrawablePoints points;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        if (drawable({x[i], y[i]})) {
            points.x.push_back(x[i]);
            points.y.push_back(y[i]);
        } else {
            points.leftOut = true;
        }
    }
    return points;
}

void Extent::include(double value) {
    lower = empty ? value : std::min(lower, value);
    upper = empty ? value : std::max(upper, value);
    empty = false;
}

Extent Extent::widened(double factor) const {
    const double middle = lower + (upper - lower) / 2, half = (upper - lower) / 2 * factor;
    return {middle - half, middle + half, empty};
}

}  // namespace pelorin
