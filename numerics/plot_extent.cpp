#include "numerics/plot_extent.h"

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

std::string undrawableNote(std::string_view plot) {
    const std::string values =
        "ome values lie beyond what a plot's scale can span (1E-280 to 1E+250 in size) and "
        "are left out of the plot; the tables and notes still give them.";
    return plot.empty() ? "S" + values : std::string(plot) + ": s" + values;
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

DrawablePoints magnitudePoints(const std::vector<double>& x, const std::vector<double>& y) {
    DrawablePoints points;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        const double size = std::fabs(y[i]);
        if (size == 0) continue;
        if (drawable({x[i], size})) {
            points.x.push_back(x[i]);
            points.y.push_back(size);
        } else {
            points.leftOut = true;
        }
    }
    return points;
}

std::string zeroErrorsNote(std::string_view plot) {
    return std::string(plot) + ": a run whose errors are all 0 past the start (the method is "
           "exact here) has no curve, since a logarithmic axis has no place for 0.";
}

int tickDigits(double tick, double step, int fewest) {
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(tick) || tick == 0) return fewest;
    const double stepDecade = std::floor(std::log10(step));
    const double leading = step / std::pow(10.0, stepDecade);
    const double digits = std::floor(std::log10(std::fabs(tick))) - stepDecade + 1 +
                          (std::fabs(leading - std::round(leading)) < 1e-9 ? 0 : 1);
    return std::clamp(static_cast<int>(std::max<double>(digits, fewest)), fewest, 17);
}

bool sameOnLogAxis(double a, double b) {
    return std::fabs(a - b) <= 0.01 * std::max(std::fabs(a), std::fabs(b));
}

std::vector<std::optional<std::size_t>> hiddenUnder(
    std::size_t count, const std::function<bool(std::size_t, std::size_t)>& coincide) {
    std::vector<std::optional<std::size_t>> over(count);
    for (std::size_t curve = 0; curve < count; ++curve) {
        for (std::size_t later = curve + 1; later < count; ++later) {
            if (coincide(curve, later)) over[curve] = later;
        }
    }
    return over;
}

std::string hiddenCurveName(const std::string& name, std::string_view over) {
    return name + "\n(under " + std::string(over) + ")";
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
