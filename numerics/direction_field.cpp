#include "numerics/direction_field.h"

#include "base/conversions.h"

#include <cmath>

namespace pelorin {

namespace {

// Powers of ten up to 10^22 are exact doubles, so dividing by one rounds a
// decimal such as 6/10 once.
constexpr int exactPowersOfTen = 22;

// The multiples of `step` within [low, high]: at most `limit` of them, so
// that a range far from zero, where neighbouring multiples round to the same
// double, cannot make the grid run on.
std::vector<double> multiplesWithin(const GridStep& step, double low, double high, long limit) {
    std::vector<double> values;
    const double first = std::ceil(low / step.value());
    for (long j = 0; j < limit; ++j) {
        const double value = step.multiple(first + static_cast<double>(j));
        if (value > high) break;
        if (value < low || (!values.empty() && value == values.back())) continue;
        values.push_back(value);
    }
    return values;
}

}  // namespace

bool isDrawable(const VisibleRange& range) {
    const double width = range.xmax - range.xmin;
    const double height = range.ymax - range.ymin;
    return std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0 &&
           std::isfinite(range.width) && std::isfinite(range.height) && range.width > 0 &&
           range.height > 0 && std::isfinite(range.width / width) &&
           std::isfinite(range.height / height);
}

std::optional<PlotPoint> pixelToPoint(const VisibleRange& range, double px, double py) {
    if (!isDrawable(range)) return std::nullopt;
    return PlotPoint{range.xmin + px / range.width * (range.xmax - range.xmin),
                     range.ymax - py / range.height * (range.ymax - range.ymin)};
}

std::optional<PlotPoint> pointToPixel(const VisibleRange& range, double x, double y) {
    if (!isDrawable(range)) return std::nullopt;
    return PlotPoint{(x - range.xmin) / (range.xmax - range.xmin) * range.width,
                     (range.ymax - y) / (range.ymax - range.ymin) * range.height};
}

std::optional<PlotPoint> pixelSize(const VisibleRange& range) {
    if (!isDrawable(range)) return std::nullopt;
    return PlotPoint{(range.xmax - range.xmin) / range.width,
                     (range.ymax - range.ymin) / range.height};
}

double GridStep::value() const { return multiple(1); }

double GridStep::multiple(double k) const {
    const double count = k * mantissa;
    if (exponent >= 0) return count * std::pow(10.0, exponent);
    if (-exponent <= exactPowersOfTen) return count / std::pow(10.0, -exponent);
    return count * std::pow(10.0, exponent);
}

GridStep gridStep(double size) {
    if (!(size > 0) || !std::isfinite(size)) return {};
    const int exponent = static_cast<int>(std::floor(std::log10(size)));
    for (int mantissa : {1, 2, 5}) {
        const GridStep step{mantissa, exponent};
        if (step.value() >= size) return step;
    }
    return {1, exponent + 1};
}

Segment fieldSegment(PlotPoint unit, double x, double y, double dx, double dy) {
    // Pixels per unit: the direction is worked out on the screen.
    const double across = 1 / unit.x;
    const double up = 1 / unit.y;
    const double half = fieldSegmentLength / 2;
    // atan2 takes a direction too steep for a double on the screen as
    // vertical.
    const double angle = std::atan2(up * dy, across * dx);
    const double halfX = half * std::cos(angle) / across;
    const double halfY = half * std::sin(angle) / up;
    return {x - halfX, y - halfY, x + halfX, y + halfY};
}

FieldGrid fieldGrid(const VisibleRange& range, double spacing) {
    FieldGrid grid;
    const PlotPoint unit = *pixelSize(range);
    grid.xStep = gridStep(spacing * unit.x);
    grid.yStep = gridStep(spacing * unit.y);
    const auto columns = static_cast<long>(range.width / spacing) + 2;
    const auto rows = static_cast<long>(range.height / spacing) + 2;
    grid.xs = multiplesWithin(grid.xStep, range.xmin, range.xmax, columns);
    grid.ys = multiplesWithin(grid.yStep, range.ymin, range.ymax, rows);
    return grid;
}

DirectionField directionField(Slope f, const VisibleRange& range) {
    DirectionField field;
    if (!isDrawable(range)) return field;
    const PlotPoint unit = *pixelSize(range);
    const auto [xStep, yStep, xs, ys] = fieldGrid(range, fieldSpacing);
    field.xStep = xStep;
    field.yStep = yStep;

    field.points.reserve(xs.size() * ys.size());
    field.segments.reserve(xs.size() * ys.size());
    for (double y : ys) {
        for (double x : xs) {
            field.points.push_back({x, y});
            const double slope = f(x, y);
            if (!std::isfinite(slope)) {
                if (!field.firstNotFinite) field.firstNotFinite = PlotPoint{x, y};
                ++field.notFinite;
                continue;
            }
            field.segments.push_back(fieldSegment(unit, x, y, 1, slope));
        }
    }
    return field;
}

std::string directionFieldNote(const DirectionField& field, std::string_view slopeName) {
    if (field.notFinite == 0) return {};
    const std::string where = "(" + numberToText(field.firstNotFinite->x) + ", " +
                              numberToText(field.firstNotFinite->y) + ")";
    if (field.notFinite == static_cast<int>(field.points.size())) {
        return std::string(slopeName) +
               " is not finite at any grid point shown: no segment can be drawn.";
    }
    if (field.notFinite == 1) {
        return std::string(slopeName) + " is not finite at one of " +
               std::to_string(field.points.size()) + " grid points, " + where +
               ": no segment is drawn there.";
    }
    return std::string(slopeName) + " is not finite at " + std::to_string(field.notFinite) +
           " of " + std::to_string(field.points.size()) + " grid points, the first at " + where +
           ": no segment is drawn there.";
}

}  // namespace pelorin
