// The digits a tick label needs to differ from its neighbours.
#include "numerics/plot_extent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace pelorin;

TEST(TickDigits, EnoughForNeighbouringTicksToDiffer) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        double tick, step;
        int digits;
    } rows[] = {
        {"a view 1E-5 wide about 1: 1.000002 beside 1.000001", 1.000002, 1e-6, 7},
        {"a step of two leading digits: 1.0000025", 1.0000025, 2.5e-6, 8},
        {"tenths take the fewest", 0.3, 0.1, 6},
        {"a large tick in whole steps: 123456789", 123456789, 1, 9},
        {"negative ticks alike: -1.000002", -1.000002, 1e-6, 7},
        {"zero needs no more", 0, 1e-6, 6},
        {"no step yet", 1.000002, 0, 6},
        {"a step that is not a number", 1.000002, nan, 6},
        {"no more than a double holds", 1, 1e-20, 17},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(tickDigits(row.tick, row.step, 6), row.digits);
    }
}
