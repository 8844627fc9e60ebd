// The plot of a calculation: its coordinate system and the segments drawn.
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

using namespace pelorin;
using pelorin::testing::FakeCanvas;
using pelorin::testing::Press;

namespace {

std::vector<FakeCanvas::Line> linesIn(const FakeCanvas& canvas, Pen pen) {
    std::vector<FakeCanvas::Line> found;
    for (const auto& line : canvas.lines) {
        if (line.pen == pen) found.push_back(line);
    }
    return found;
}

}  // namespace

TEST(Plot, DefaultCalculation) {
    Press press;
    press.calculate();
    const FakeCanvas& canvas = press.canvas;
    EXPECT_EQ(canvas.clears, 1);
    // Padded by m = 0.04 around x 0..0.4 and y -1..-0.810960138106918.
    EXPECT_EQ(canvas.corners, (std::vector<float>{-0.04f, -0.770960138106918f, 0.44f, -1.04f}));

    const auto black = linesIn(canvas, Pen::foreground);
    ASSERT_EQ(black.size(), 2u + 10u);  // two axes, ten exact segments
    const auto& xAxis = black[0];
    EXPECT_EQ((std::vector<float>{xAxis.x1, xAxis.y1, xAxis.x2, xAxis.y2}),
              (std::vector<float>{0.0f, -1.0f, 0.4f, -1.0f}));
    const auto& yAxis = black[1];
    EXPECT_EQ((std::vector<float>{yAxis.x1, yAxis.y1, yAxis.x2, yAxis.y2}),
              (std::vector<float>{0.0f, -0.810960138106918f, 0.0f, -1.0f}));
    EXPECT_EQ(black.back().x2, 0.39999999999999997f);

    const auto red = linesIn(canvas, Pen::red);
    ASSERT_EQ(red.size(), 1u);
    EXPECT_EQ((std::vector<float>{red[0].x1, red[0].y1, red[0].x2, red[0].y2}),
              (std::vector<float>{0.0f, -1.0f, 0.4f, -0.6f}));
}

TEST(Plot, EndBelowStartRunsTheAbscissaRightToLeftWithoutRedLine) {
    Press press;
    press.window.x1 = "-0.4";
    press.calculate();
    const FakeCanvas& canvas = press.canvas;
    ASSERT_EQ(canvas.corners.size(), 4u);
    // The margin keeps its sign, so the corners are x0 - m and x1 + m.
    EXPECT_EQ(canvas.corners[0], -0.04f);
    EXPECT_EQ(canvas.corners[2], -0.36f);
    EXPECT_TRUE(linesIn(canvas, Pen::red).empty());
    EXPECT_EQ(linesIn(canvas, Pen::foreground).size(), 12u);
}

TEST(Plot, SecondCalculationReplacesTheFirst) {
    Press press;
    press.calculate();
    press.window.h = "0.1";
    press.calculate();
    EXPECT_EQ(press.canvas.clears, 2);
    EXPECT_EQ(linesIn(press.canvas, Pen::red).size(), 4u);
}

TEST(Plot, ValuesBeyondSinglePrecisionStopThePlotButNotTheList) {
    Press press;
    press.window.y0 = "1e39";
    press.window.h = "0.4";
    EXPECT_EQ(press.calculate().size(), 4u);
    ASSERT_EQ(press.window.errors.size(), 1u);
    EXPECT_NE(press.window.errors[0].find("too large to plot"), std::string::npos);
    EXPECT_TRUE(press.canvas.lines.empty());
}
