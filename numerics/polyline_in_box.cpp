#include "numerics/polyline_in_box.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace pelorin {

namespace {

bool inside(PlotPoint p, const PlotBox& box) {
    return p.x >= box.left && p.x <= box.right && p.y >= box.low && p.y <= box.high;
}

// The edge between `value` and the range [lower, upper], where it lies outside.
std::optional<double> edgeBeyond(double value, double lower, double upper) {
    if (value < lower) return lower;
    if (value > upper) return upper;
    return std::nullopt;
}

// Whether the segment from a to b, both outside the box, passes through it:
// their span overlaps the box, and its corners do not all lie on one side of
// the line (one touched is not enough). The direction is scaled to at most 1
// so that far points do not overflow the products.
bool crosses(PlotPoint a, PlotPoint b, const PlotBox& box) {
    if (std::max(a.x, b.x) < box.left || std::min(a.x, b.x) > box.right ||
        std::max(a.y, b.y) < box.low || std::min(a.y, b.y) > box.high) {
        return false;
    }
    const double scale = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
    const double ux = (b.x - a.x) / scale, uy = (b.y - a.y) / scale;
    const std::array<PlotPoint, 4> corners{{{box.left, box.low},
                                            {box.right, box.low},
                                            {box.left, box.high},
                                            {box.right, box.high}}};
    bool left = false, right = false;
    for (const PlotPoint& corner : corners) {
        const double side = ux * (corner.y - a.y) - uy * (corner.x - a.x);
        left = left || side > 0;
        right = right || side < 0;
    }
    return left && right;
}

// Where the segment from `from`, outside the box, towards `to` gets into the
// box: on the last of the edges it crosses to get in, that coordinate being
// the edge's own, so that a far end leaves no rounding in it.
PlotPoint entry(PlotPoint from, PlotPoint to, const PlotBox& box) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    double latest = -1;
    PlotPoint at = from;
    if (const auto edge = edgeBeyond(from.x, box.left, box.right)) {
        const double t = (*edge - from.x) / dx;
        latest = t;
        at = {*edge, from.y + t * dy};
    }
    if (const auto edge = edgeBeyond(from.y, box.low, box.high)) {
        const double t = (*edge - from.y) / dy;
        if (t > latest) at = {from.x + t * dx, *edge};
    }
    return at;
}

}  // namespace

std::vector<std::vector<PlotPoint>> partsInBox(const std::vector<PlotPoint>& points,
                                               const PlotBox& box) {
    std::vector<std::vector<PlotPoint>> parts;
    bool joined = false;  // whether the last part ends at the next segment's start
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PlotPoint a = points[i - 1], b = points[i];
        const bool aIn = inside(a, box), bIn = inside(b, box);
        const bool drawn = std::isfinite(b.x - a.x) && std::isfinite(b.y - a.y) &&
                           (aIn || bIn || crosses(a, b, box));
        if (!drawn) {
            joined = false;
            continue;
        }
        // The ends in the box are kept exactly as they are.
        if (!joined) parts.push_back({aIn ? a : entry(a, b, box)});
        parts.back().push_back(bIn ? b : entry(b, a, box));
        joined = bIn;
    }
    return parts;
}

}  // namespace pelorin
