// The small LU factors an implicit step solves with. Solutions and distances
// from singular (1/||M⁻¹||₁) are worked out with exact fractions
// (python3's fractions: the inverse by Gauss-Jordan elimination).
#include "numerics/small_lu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <vector>

using namespace pelorin;

namespace {

using Lu = SmallLu<4>;

Lu factored(const std::vector<std::vector<double>>& rows) {
    Lu::Matrix matrix{};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows.size(); ++c) matrix[r][c] = rows[r][c];
    }
    Lu lu;
    lu.factor(matrix, rows.size());
    return lu;
}

}  // namespace

TEST(SmallLu, SolvesAndTellsTheDistanceFromSingular) {
    const struct {
        const char* name;
        std::vector<std::vector<double>> rows;
        std::vector<double> b, x;
        double distance;
    } cases[] = {
        {"one unknown", {{-4}}, {2}, {-0.5}, 4},
        {"no row swap", {{2, 1}, {1, 3}}, {1, 2}, {0.2, 0.6}, 1.25},
        {"the second row pivots", {{1, 2}, {3, 4}}, {1, 2}, {0, 0.5}, 2.0 / 7},
        {"a zero on the diagonal", {{0, 1, 2}, {1, 0, 3}, {4, -3, 8}}, {1, 2, 3}, {5, 3, -1},
         1.0 / 13},
        {"symmetric", {{4, -2, 1}, {-2, 4, -2}, {1, -2, 4}}, {1, 2, 3}, {2.0 / 3, 1.5, 4.0 / 3},
         4.0 / 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Lu lu = factored(c.rows);
        Lu::Vector b{};
        for (std::size_t i = 0; i < c.b.size(); ++i) b[i] = c.b[i];
        lu.solve(b);
        for (std::size_t i = 0; i < c.x.size(); ++i) EXPECT_NEAR(b[i], c.x[i], 1e-15) << i;
        EXPECT_NEAR(lu.distanceFromSingular(), c.distance, 1e-15);
    }
}

// Each row over its scale. With scales 2 and 4, D·M = [0.5, 1; 0.75, 1],
// whose inverse [-4, 4; 3, -2] has columns of 7 and 6: 1/7. Beside the row
// (1, 0), a row near 5E158·(-1, 1) scaled to about (-1, 1) leaves
// D·M ≈ [1, 0; -1, 1], whose inverse [1, 0; 1, 1] has columns of 2 and 1:
// 0.5. A zero pivot is no distance, whatever the scales.
TEST(SmallLu, MeasuresEachRowAgainstItsScale) {
    Lu::Vector scales{};
    scales[0] = 2;
    scales[1] = 4;
    EXPECT_NEAR(factored({{1, 2}, {3, 4}}).distanceFromSingular(scales), 1.0 / 7, 1e-15);
    scales[0] = 1;
    scales[1] = 1 + 5e158;
    EXPECT_NEAR(factored({{1, 0}, {-5e158, 1 + 5e158}}).distanceFromSingular(scales), 0.5, 1e-15);
    scales = {3, 6, 9};
    EXPECT_EQ(factored({{1, 2, 3}, {2, 4, 6}, {0, 1, 1}}).distanceFromSingular(scales), 0);
}

TEST(SmallLu, ASingularOrUnreadableMatrixIsNoDistanceFromSingular) {
    // Exactly singular: elimination leaves a zero pivot.
    EXPECT_EQ(factored({{0}}).distanceFromSingular(), 0);
    EXPECT_EQ(factored({{1, 2}, {2, 4}}).distanceFromSingular(), 0);
    EXPECT_EQ(factored({{1, 2, 3}, {2, 4, 6}, {0, 1, 1}}).distanceFromSingular(), 0);
    // Singular in exact arithmetic, a rounding away from it in doubles.
    EXPECT_LT(factored({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}).distanceFromSingular(), 1e-14);
    // Entries that are not numbers give no distance, so no comparison holds.
    const double nan = std::nan("");
    EXPECT_TRUE(std::isnan(factored({{nan}}).distanceFromSingular()));
    EXPECT_TRUE(std::isnan(factored({{1, 2}, {nan, 4}}).distanceFromSingular()));
    EXPECT_TRUE(std::isnan(factored({{1, 0, 0}, {0, 1, nan}, {0, 0, 1}}).distanceFromSingular()));
}

TEST(SmallLu, AMatrixBeyondItsCapacityIsRefused) {
    Lu lu;
    EXPECT_THROW(lu.factor(Lu::Matrix{}, 5), std::length_error);
}
