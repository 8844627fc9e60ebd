// A polyline cut to a box, as a plot's painter is handed it: segments towards
// points far outside keep their direction, and the points inside stay.
#include "numerics/polyline_in_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace pelorin;

namespace {

using Parts = std::vector<std::vector<PlotPoint>>;

// A cut lands on the box's edge to within rounding; a point inside is kept
// as it is.
void expectParts(const Parts& seen, const Parts& expected) {
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        ASSERT_EQ(seen[i].size(), expected[i].size()) << "part " << i;
        for (std::size_t k = 0; k < seen[i].size(); ++k) {
            EXPECT_NEAR(seen[i][k].x, expected[i][k].x, 1e-9) << "part " << i << ", point " << k;
            EXPECT_NEAR(seen[i][k].y, expected[i][k].y, 1e-9) << "part " << i << ", point " << k;
        }
    }
}

}  // namespace

// The box from (0, 0) to (10, 10).
TEST(PartsInBox, CutWhereTheLineLeavesTheBoxAndSplitWhereItIsAway) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        std::vector<PlotPoint> points;
        Parts parts;
    } rows[] = {
        {"inside: as it is", {{1, 1}, {2, 3}, {4, 2}}, {{{1, 1}, {2, 3}, {4, 2}}}},
        {"towards a point 1E+250 below: straight down to the edge",
         {{5, 5}, {5, -1e250}},
         {{{5, 5}, {5, 0}}}},
        {"from a point 1E+250 above", {{5, 1e250}, {5, 5}}, {{{5, 10}, {5, 5}}}},
        {"across from far left to far right", {{-1e300, 5}, {1e300, 5}}, {{{0, 5}, {10, 5}}}},
        {"slanting in through the left edge", {{-2, 4}, {4, 10}}, {{{0, 6}, {4, 10}}}},
        {"out through the top and back: two parts",
         {{5, 5}, {5, 1e200}, {6, 5}},
         {{{5, 5}, {5, 10}}, {{6, 10}, {6, 5}}}},
        {"a gap where a point is not a number",
         {{1, 1}, {2, 2}, {nan, 3}, {3, 3}, {4, 4}},
         {{{1, 1}, {2, 2}}, {{3, 3}, {4, 4}}}},
        {"an infinite end: that segment left out", {{1, 1}, {2, 2}, {2, inf}}, {{{1, 1}, {2, 2}}}},
        {"wholly outside", {{20, 20}, {30, 30}}, {}},
        {"touching a corner only", {{-1, 1}, {1, -1}}, {}},
        {"one point: no line", {{5, 5}}, {}},
    };
    const PlotBox box{0, 10, 0, 10};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        expectParts(partsInBox(row.points, box), row.parts);
    }
}

// Points inside keep their every bit, so that what a plot shows in its view
// does not move by a rounding.
TEST(PartsInBox, PointsInsideKeepTheirBits) {
    const std::vector<PlotPoint> points{{0.1, 0.7}, {3.3000000000000003, 9.9}, {5, 1e30}};
    const Parts parts = partsInBox(points, PlotBox{0, 10, 0, 10});
    ASSERT_EQ(parts.size(), 1u);
    ASSERT_EQ(parts[0].size(), 3u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(parts[0][k].x, points[k].x);
        EXPECT_EQ(parts[0][k].y, points[k].y);
    }
}
