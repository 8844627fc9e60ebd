// The hostile input rows against the core: exactly the listed lines and the
// error, a plot of finite coordinates, and after every row the same window
// still calculates the default example as always.
#include "tests/support/fakes.h"
#include "tests/support/hostile_inputs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace pelorin;
using pelorin::testing::Press;
using pelorin::testing::defaultExample;
using pelorin::testing::HostileRow;
using pelorin::testing::hostileRows;
using pelorin::testing::Lines;

TEST(HostileInputs, ListExactlyWhatTheyShouldAndLeaveTheWindowWorking) {
    for (const HostileRow& row : hostileRows()) {
        SCOPED_TRACE(row.name);
        Press press;
        press.window.enter(row.x0, row.y0, row.x1, row.h);
        press.window.select(row.method);
        ASSERT_EQ(methodCatalogue[press.window.selectedRow].caption, row.method);

        EXPECT_EQ(press.calculate(), row.lines);
        if (row.error) {
            ASSERT_EQ(press.window.errors.size(), 1u);
            EXPECT_NE(press.window.errors[0].find(row.error), std::string::npos)
                << press.window.errors[0];
        } else {
            EXPECT_EQ(press.window.errors, Lines{});
        }
        for (const auto& line : press.canvas.lines) {
            EXPECT_TRUE(std::isfinite(line.x1) && std::isfinite(line.y1) &&
                        std::isfinite(line.x2) && std::isfinite(line.y2));
        }

        const std::size_t errorsBefore = press.window.errors.size();
        press.window.x0 = "0";
        press.window.y0 = "-1";
        press.window.x1 = "0.4";
        press.window.h = "0.4";
        press.window.select("Euler");
        EXPECT_EQ(press.calculate(), defaultExample);
        EXPECT_EQ(press.window.errors.size(), errorsBefore);
    }
}
