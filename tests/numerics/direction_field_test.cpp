// The direction field and the mapping between a plot's pixels and the plane.
// Expected endpoints were worked out apart from the program (Python: the
// same atan2, cos and sin on the same doubles).
#include "numerics/direction_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

double slopeX(double x, double) { return x; }
double reciprocalX(double x, double) { return 1 / x; }
double nowhereFinite(double, double) { return std::numeric_limits<double>::quiet_NaN(); }

// The length of a segment on the screen.
double pixelLength(const VisibleRange& range, const Segment& segment) {
    const PlotPoint a = *pointToPixel(range, segment.x1, segment.y1);
    const PlotPoint b = *pointToPixel(range, segment.x2, segment.y2);
    return std::hypot(b.x - a.x, b.y - a.y);
}

}  // namespace

TEST(PixelMapping, TakesAPixelToThePlaneAndBack) {
    struct Row {
        const char* name;
        VisibleRange range;
        double px, py;
        double x, y;
    };
    const std::vector<Row> rows{
        {"top left corner is (xmin, ymax)", {0, 4, -1, 1, 400, 200}, 0, 0, 0, 1},
        {"bottom right corner is (xmax, ymin)", {0, 4, -1, 1, 400, 200}, 400, 200, 4, -1},
        {"y grows upwards", {0, 4, -1, 1, 400, 200}, 100, 50, 1, 0.5},
        {"centre", {0, 4, -1, 1, 400, 200}, 200, 100, 2, 0},
        {"offset range", {-2, 6, 10, 20, 800, 500}, 200, 125, 0, 17.5},
        {"unequal scales", {-1, 1, -100, 300, 256, 512}, 64, 384, -0.5, 0},
        {"a pixel left of the rect lies left of xmin", {0, 4, -1, 1, 400, 200}, -100, 0, -1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto point = pixelToPoint(row.range, row.px, row.py);
        ASSERT_TRUE(point);
        EXPECT_EQ(point->x, row.x);
        EXPECT_EQ(point->y, row.y);
        const auto pixel = pointToPixel(row.range, row.x, row.y);
        ASSERT_TRUE(pixel);
        EXPECT_EQ(pixel->x, row.px);
        EXPECT_EQ(pixel->y, row.py);
    }
}

TEST(PixelMapping, RoundTripsEveryPixelOfAnOddRange) {
    const VisibleRange range{-0.37, 2.91, -3.3, 0.07, 613, 427};
    for (double px = 0; px <= range.width; px += 7.5) {
        for (double py = 0; py <= range.height; py += 6.25) {
            const PlotPoint point = *pixelToPoint(range, px, py);
            const PlotPoint back = *pointToPixel(range, point.x, point.y);
            EXPECT_NEAR(back.x, px, 1e-9) << px << ", " << py;
            EXPECT_NEAR(back.y, py, 1e-9) << px << ", " << py;
        }
    }
}

TEST(PixelMapping, RefusesARangeThatCannotBeDrawn) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* name;
        VisibleRange range;
    };
    const std::vector<Row> rows{
        {"no width in the plane", {1, 1, 0, 1, 400, 300}},
        {"upside down", {0, 1, 1, 0, 400, 300}},
        {"no pixels across", {0, 1, 0, 1, 0, 300}},
        {"an infinite end", {0, inf, 0, 1, 400, 300}},
        {"a width beyond a double", {-1e308, 1e308, 0, 1, 400, 300}},
        {"NaN pixels", {0, 1, 0, 1, 400, std::nan("")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(isDrawable(row.range));
        EXPECT_FALSE(pixelToPoint(row.range, 1, 1));
        EXPECT_FALSE(pointToPixel(row.range, 0.5, 0.5));
        EXPECT_FALSE(pixelSize(row.range));
        EXPECT_TRUE(directionField(slopeX, row.range).points.empty());
    }
}

TEST(GridStep, IsTheSmallestRoundStepAtLeastTheSizeAsked) {
    struct Row {
        double size;
        int mantissa, exponent;
    };
    const std::vector<Row> rows{
        {0.24, 5, -1}, {0.1, 1, -1},   {1, 1, 0},   {1.0000001, 2, 0}, {2.0000001, 5, 0},
        {7, 1, 1},     {0.003, 5, -3}, {120, 2, 2}, {0, 1, 0},         {-3, 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        const GridStep step = gridStep(row.size);
        EXPECT_EQ(step.mantissa, row.mantissa);
        EXPECT_EQ(step.exponent, row.exponent);
    }
    // Multiples are the doubles nearest the decimals they stand for.
    EXPECT_EQ((GridStep{2, -1}.multiple(3)), 0.6);
    EXPECT_EQ((GridStep{1, -1}.multiple(3)), 0.3);
    EXPECT_EQ((GridStep{5, -1}.multiple(-3)), -1.5);
    EXPECT_EQ((GridStep{2, 3}.multiple(7)), 14000);
}

// f = x on [0, 4] × [0, 1] in 400 × 400 pixels: 100 pixels per unit across,
// 400 up. The grid steps are 0.5 and 0.1, and a slope of 1 in the plane is
// 4 on the screen.
TEST(DirectionField, DrawsSegmentsOfTheSlopeAndOfOneLengthOnTheScreen) {
    const VisibleRange range{0, 4, 0, 1, 400, 400};
    const DirectionField field = directionField(slopeX, range);
    EXPECT_EQ((std::pair{field.xStep.mantissa, field.xStep.exponent}), (std::pair{5, -1}));
    EXPECT_EQ((std::pair{field.yStep.mantissa, field.yStep.exponent}), (std::pair{1, -1}));
    ASSERT_EQ(field.points.size(), 9u * 11u);
    ASSERT_EQ(field.segments.size(), field.points.size());
    EXPECT_EQ(field.notFinite, 0);
    EXPECT_EQ(directionFieldNote(field), "");

    struct Row {
        const char* name;
        std::size_t index;  // row by row from (xmin, ymin)
        Segment segment;
    };
    const std::vector<Row> rows{
        {"slope 0 is level", 0, {-0.08, 0, 0.08, 0}},
        {"slope 1 at (1, 0.5)", 5 * 9 + 2,
         {0.9805971499970934, 0.48059714999709335, 1.0194028500029066, 0.5194028500029066}},
        {"slope 0.5 at (0.5, 0.3)", 3 * 9 + 1,
         {0.46422291236000335, 0.28211145618000166, 0.5357770876399967, 0.3178885438199983}},
        {"slope 4 at (4, 1)", 10 * 9 + 8,
         {3.9950097371075857, 0.9800389484303422, 4.004990262892415, 1.0199610515696578}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Segment& segment = field.segments[row.index];
        EXPECT_NEAR(segment.x1, row.segment.x1, 1e-15);
        EXPECT_NEAR(segment.y1, row.segment.y1, 1e-15);
        EXPECT_NEAR(segment.x2, row.segment.x2, 1e-15);
        EXPECT_NEAR(segment.y2, row.segment.y2, 1e-15);
    }
    for (std::size_t i = 0; i < field.points.size(); ++i) {
        const PlotPoint point = field.points[i];
        const Segment& segment = field.segments[i];
        SCOPED_TRACE(std::to_string(point.x) + ", " + std::to_string(point.y));
        EXPECT_NEAR((segment.x1 + segment.x2) / 2, point.x, 1e-15);
        EXPECT_NEAR((segment.y1 + segment.y2) / 2, point.y, 1e-15);
        EXPECT_NEAR((segment.y2 - segment.y1) / (segment.x2 - segment.x1), point.x, 1e-12);
        EXPECT_NEAR(pixelLength(range, segment), fieldSegmentLength, 1e-9);
    }
}

TEST(DirectionField, KeepsItsGridReadableAtAnyZoomAndFixedInThePlaneWhenPanned) {
    const std::vector<VisibleRange> ranges{
        {0, 4, 0, 1, 400, 400},          {-3, 3, -2, 2, 600, 400},
        {0.1, 0.1001, 5, 5.00002, 700, 300}, {-1e6, 3e6, -1e-3, 1e-3, 1366, 600},
        {0, 1, 0, 1, 31, 25},            {-0.37, 2.91, -3.3, 0.07, 613, 427},
    };
    for (const VisibleRange& range : ranges) {
        SCOPED_TRACE(std::to_string(range.xmin) + " .. " + std::to_string(range.xmax));
        const DirectionField field = directionField(slopeX, range);
        ASSERT_FALSE(field.points.empty());
        const PlotPoint unit = *pixelSize(range);
        // Neighbours lie 1 to 2.5 times fieldSpacing apart on the screen.
        for (double pixels : {field.xStep.value() / unit.x, field.yStep.value() / unit.y}) {
            EXPECT_GE(pixels, fieldSpacing);
            EXPECT_LE(pixels, 2.5 * fieldSpacing);
        }
        // The grid covers the range: no step's room is left empty at an edge.
        const PlotPoint first = field.points.front();
        const PlotPoint last = field.points.back();
        EXPECT_GE(first.x, range.xmin);
        EXPECT_LT(first.x - field.xStep.value(), range.xmin);
        EXPECT_LE(last.x, range.xmax);
        EXPECT_GT(last.x + field.xStep.value(), range.xmax);
        EXPECT_GE(first.y, range.ymin);
        EXPECT_LT(first.y - field.yStep.value(), range.ymin);
        EXPECT_LE(last.y, range.ymax);
        EXPECT_GT(last.y + field.yStep.value(), range.ymax);

        // Panned by an odd part of the view, the points both views show stay.
        VisibleRange panned = range;
        const double dx = 0.37 * (range.xmax - range.xmin);
        const double dy = -0.21 * (range.ymax - range.ymin);
        panned.xmin += dx, panned.xmax += dx, panned.ymin += dy, panned.ymax += dy;
        const DirectionField moved = directionField(slopeX, panned);
        int shared = 0;
        for (const PlotPoint& point : field.points) {
            if (point.x < panned.xmin || point.x > panned.xmax || point.y < panned.ymin ||
                point.y > panned.ymax) {
                continue;
            }
            ++shared;
            const bool kept = std::any_of(moved.points.begin(), moved.points.end(),
                                          [&](const PlotPoint& other) {
                                              return other.x == point.x && other.y == point.y;
                                          });
            EXPECT_TRUE(kept) << point.x << ", " << point.y;
        }
        EXPECT_GT(shared, 0);
    }
}

TEST(DirectionField, LeavesOutPointsWhereTheSlopeIsNotFiniteAndSaysSo) {
    // f = 1/x on [-2, 2] × [-1, 1] in 400 × 200 pixels: a column of five
    // points on x = 0 has no slope.
    const DirectionField field = directionField(reciprocalX, {-2, 2, -1, 1, 400, 200});
    EXPECT_EQ(field.points.size(), 45u);
    EXPECT_EQ(field.segments.size(), 40u);
    EXPECT_EQ(field.notFinite, 5);
    EXPECT_EQ(directionFieldNote(field),
              "f(x, y) is not finite at 5 of 45 grid points, the first at (0, -1): no segment "
              "is drawn there.");
    for (const Segment& segment : field.segments) {
        EXPECT_NE((segment.x1 + segment.x2) / 2, 0);
    }

    const DirectionField once = directionField(reciprocalX, {-1.2, 1.2, -0.4, 0.4, 80, 24});
    EXPECT_EQ(once.points.size(), 3u);
    EXPECT_EQ(directionFieldNote(once),
              "f(x, y) is not finite at one of 3 grid points, (0, 0): no segment is drawn there.");

    const DirectionField none = directionField(nowhereFinite, {0, 1, 0, 1, 100, 100});
    EXPECT_TRUE(none.segments.empty());
    EXPECT_EQ(directionFieldNote(none),
              "f(x, y) is not finite at any grid point shown: no segment can be drawn.");
}
