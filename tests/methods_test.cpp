// The seven step procedures against the textbook tables for dy/dx = -2x - y,
// and their orders of accuracy on an equation where they differ.
#include "base/conversions.h"
#include "methods/methods.h"
#include "numerics/method_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace pelorin;

namespace {


// The ordinates after each of `steps` steps from (x0, y0), as the list shows them.
std::vector<std::string> stepTexts(const Method& m, double x0, double y0, double h, int steps) {
    std::vector<std::string> texts;
    double x = x0, y = y0;
    for (int i = 0; i < steps; ++i) {
        y = explicitRungeKutta(m)->step(x, y, h, f1);
        x = x + h;
        texts.push_back(numberToText(y));
    }
    return texts;
}

}  // namespace

// Along the lesson's solutions y = 2 - 2x + C·e^-(x - x0), C = y0 - 2 + 2x0,
// the slope is their derivative -2 - C·e^-(x - x0), written here from the
// solution, not from the equation. A slope with another sign, another
// coefficient or another form than -2x - y misses it off the line C = 0.
TEST(Slope, IsTheDerivativeOfTheLessonsSolutions) {
    const std::vector<std::pair<double, double>> starts{{0, -1}, {0.5, 3}, {-1, 4}, {2, -2}};
    for (const auto& [x0, y0] : starts) {
        const double c = y0 - 2 + 2 * x0;
        for (double x : {x0, x0 + 0.25, x0 + 1, x0 - 2}) {
            SCOPED_TRACE("from (" + std::to_string(x0) + ", " + std::to_string(y0) +
                         ") at x = " + std::to_string(x));
            const double y = 2 - 2 * x + c * std::exp(-(x - x0));
            const double derivative = -2 - c * std::exp(-(x - x0));
            EXPECT_NEAR(f1(x, y), derivative, 1e-14 * std::max(1.0, std::fabs(derivative)));
        }
    }
}

// The catalogue against the textbooks: each method's order, its number of
// stages (slope evaluations per step), whether it is an embedded pair with
// an estimate of its own, and its place in the window's list.
TEST(Catalogue, RowsAreTheTextbookMethodsInTheWindowsOrder) {
    struct Row {
        std::string_view caption;
        int order, stages;
        bool embeddedPair;
    };
    const std::vector<Row> rows{
        {"Euler", 1, 1, false},
        {"Euler (End points)", 2, 2, false},
        {"Euler (Mid point)", 2, 2, false},
        {"Runge-Kutta 4", 4, 4, false},
        {"Runge-Kutta-Fehlberg", 5, 6, true},
        {"Runge-Kutta-Merson", 4, 5, true},
        {"Runge-Kutta-Gill", 4, 4, false},
    };
    ASSERT_EQ(methodCatalogue.size(), rows.size());
    for (std::size_t place = 0; place < rows.size(); ++place) {
        const Row& row = rows[place];
        SCOPED_TRACE(std::string(row.caption));
        const Method& method = methodCatalogue[place];
        EXPECT_EQ(method.caption, row.caption);
        EXPECT_TRUE(isWindowMethod(method));
        // The lab lists the window's methods first, in the window's order.
        EXPECT_EQ(catalogueRow(method), place);
        EXPECT_EQ(orderOf(method), row.order);
        EXPECT_EQ(tableauOf(method)->stages, row.stages);
        EXPECT_EQ(tableauOf(method)->hasErrorEstimate(), row.embeddedPair);
        EXPECT_EQ(method.estimateNote.empty(), !row.embeddedPair);
    }
    // A caption only part of one, or no method's at all, finds none.
    for (std::string_view caption : {"Runge-Kutta 5", "Euler ", "Runge-Kutta", ""}) {
        EXPECT_THROW(methodByCaption(caption), std::invalid_argument) << caption;
    }
}

TEST(Steps, OneStepOfPointFourFromTheDefaultStart) {
    const std::vector<std::pair<std::string, std::string>> rows{
        {"Euler", "-0.6"},
        {"Euler (End points)", "-0.84"},
        {"Euler (Mid point)", "-0.84"},
        {"Runge-Kutta 4", "-0.8112"},
        {"Runge-Kutta-Fehlberg", "-0.810949907692308"},
        {"Runge-Kutta-Merson", "-0.810986666666667"},
        {"Runge-Kutta-Gill", "-0.8112"},
    };
    for (const auto& [caption, y] : rows) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(stepTexts(methodByCaption(caption), 0, -1, 0.4, 1), std::vector<std::string>{y});
    }
}

TEST(Steps, FourStepsOfPointOneFromTheDefaultStart) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows{
        {"Euler", {"-0.9", "-0.83", "-0.787", "-0.7683"}},
        {"Euler (End points)", {"-0.915", "-0.857075", "-0.823652875", "-0.812405851875"}},
        {"Euler (Mid point)", {"-0.915", "-0.857075", "-0.823652875", "-0.812405851875"}},
        {"Runge-Kutta 4",
         {"-0.9145125", "-0.85619270421875", "-0.822455266003533", "-0.810960866752472"}},
        {"Runge-Kutta-Fehlberg",
         {"-0.914512251442308", "-0.856192254410129", "-0.822454655497999",
          "-0.810960130208103"}},
        {"Runge-Kutta-Merson",
         {"-0.914512291666667", "-0.85619232720314", "-0.822454754296759",
          "-0.810960249403858"}},
        {"Runge-Kutta-Gill",
         {"-0.9145125", "-0.85619270421875", "-0.822455266003533", "-0.810960866752472"}},
    };
    for (const auto& [caption, ys] : rows) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(stepTexts(methodByCaption(caption), 0, -1, 0.1, 4), ys);
    }
}

TEST(Steps, MidPointTakesItsSecondSlopeHalfWayAlongTheStep) {
    EXPECT_EQ(stepTexts(methodByCaption("Euler (Mid point)"), 0, -1, 0.2, 2),
              (std::vector<std::string>{"-0.86", "-0.8172"}));
    // On y' = x^2 the second slope alone tells where it was taken: at the
    // middle, x = 0.5, one step of h = 1 from (0, 0) gives 0.25; at the end
    // it would give 1, and end point's mean of both ends gives 0.5.
    const Slope square = [](double x, double) { return x * x; };
    EXPECT_EQ(EulerMP(0, 0, 1, square), 0.25);
    EXPECT_EQ(EulerEP(0, 0, 1, square), 0.5);
}

TEST(Steps, ZeroStepLeavesTheOrdinateAlone) {
    for (const Method& m : methodCatalogue) {
        SCOPED_TRACE(m.caption);
        EXPECT_EQ(explicitRungeKutta(m)->step(0.3, -0.7, 0.0, f1), -0.7);
    }
}

TEST(Steps, NegativeStepGoesBackwards) {
    // One Euler step of -0.1 from (0, -1): -1 + (-0.1)(1) = -1.1.
    EXPECT_EQ(numberToText(Euler(0, -1, -0.1)), "-1.1");
    // Runge-Kutta 4 from the exact value at 0.4 back to x = 0 lands near -1.
    const double back = RK4(0.4, -0.810960138106918, -0.4);
    EXPECT_NEAR(back, -1.0, 1e-3);
}

// On the logistic equation y' = y(1 - y), y(0) = 1/2, whose solution is
// 1/(1 + e^-x), halving the step divides the error at x = 1 by about
// 2^order. A wrong stage coefficient lowers a method's order and fails its row.
TEST(Steps, ErrorShrinksWithTheMethodsOrder) {
    const Slope logistic = [](double, double y) { return y * (1 - y); };
    const double exactAtOne = 1 / (1 + std::exp(-1.0));
    const auto errorAtOne = [&](const Method& m, int steps) {
        const double h = 1.0 / steps;
        double x = 0, y = 0.5;
        for (int i = 0; i < steps; ++i) {
            y = explicitRungeKutta(m)->step(x, y, h, logistic);
            x = x + h;
        }
        return std::fabs(y - exactAtOne);
    };
    for (const Method& m : methodCatalogue) {
        SCOPED_TRACE(m.caption);
        const double observedOrder = std::log2(errorAtOne(m, 8) / errorAtOne(m, 16));
        EXPECT_NEAR(observedOrder, orderOf(m), 0.25);
    }
}

TEST(Steps, GillAndClassicalRungeKuttaDifferOffTheLinearProblem) {
    const Slope square = [](double, double y) { return y * y; };
    EXPECT_NE(RK4(0, 1, 0.1, square), RK4G(0, 1, 0.1, square));
    EXPECT_NE(EulerEP(0, 1, 0.1, square), EulerMP(0, 1, 0.1, square));
}

// An object with state serves as a slope as a plain function does: the same
// bits from every method. A temporary object, which would be gone before the
// step, is refused when the code is compiled.
namespace {
struct CountingSlope {
    mutable int calls = 0;
    double operator()(double x, double y) const {
        ++calls;
        return f1(x, y);
    }
};
static_assert(std::is_constructible_v<Slope, const CountingSlope&>);
static_assert(!std::is_constructible_v<Slope, CountingSlope&&>);
}  // namespace

TEST(Slope, AnObjectGivesTheSameBitsAsAFunction) {
    for (const Method& method : methodCatalogue) {
        SCOPED_TRACE(method.caption);
        const CountingSlope counting;
        EXPECT_EQ(explicitRungeKutta(method)->step(0, -1, 0.4, counting), explicitRungeKutta(method)->step(0, -1, 0.4, f1));
        EXPECT_EQ(counting.calls, tableauOf(method)->stages);
    }
}
