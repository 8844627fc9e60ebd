// What the plot's tooltip is made of: coordinates read off to the digits a
// pixel resolves, the curves' names and step summaries.
#include "base/number_text.h"
#include "tests/support/fakes.h"
#include "texts/plot_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::Press;

TEST(PlotReading, CoordinatesHaveTheDigitsAPixelResolves) {
    struct Row {
        const char* name;
        double value, pixel;
        std::string text;
    };
    const std::vector<Row> rows{
        {"pixel of 0.0015", 0.2134567, 0.0015, "0.213"},
        {"pixel of 0.015", 0.2134567, 0.015, "0.21"},
        {"negative", -0.8109601, 0.00088, "-0.811"},
        {"pixel of 2", 1234.5678, 2, "1235"},
        {"pixel of 20", 1234.5678, 20, "1230"},
        {"rounds to zero", 0.0004, 0.0015, "0"},
        {"tiny pixel", 1.23456789e-9, 3e-12, "1.235E-09"},
        {"no pixel size", 0.123456789, 0, "0.123456789"},
        {"huge value, rounding overflows", 1.7e308, 1e-300, "1.7E+308"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(readOffText(row.value, row.pixel), row.text);
    }
}

TEST(PlotReading, CurvesAreNamedByTheStartAndTheMethodWithItsStep) {
    Press press;
    press.window.enter("0", "-1", "0.4", "0.1");
    press.window.select("Runge-Kutta-Gill");
    press.calculate();
    const CurveNames names = curveNames(press.last);
    EXPECT_EQ(names.exact, "exact solution through (0, -1)");
    EXPECT_EQ(names.numerical, "Runge-Kutta-Gill Method, h = 0.1");

    press.window.h = "0";
    press.calculate();
    EXPECT_EQ(curveNames(press.last).exact, "");
}

TEST(PlotReading, RowSummariesNameEveryCellButTheEmptyOnes) {
    const TextTable table{{"i", "x", "y", "local error"}, {{"0", "0", "-1", ""}, {"1", "0.4", "-0.6", "0.21"}}};
    EXPECT_EQ(rowSummaries(table), (std::vector<std::string>{
                                       "step 0: x = 0, y = -1",
                                       "step 1: x = 0.4, y = -0.6, local error = 0.21"}));
}
