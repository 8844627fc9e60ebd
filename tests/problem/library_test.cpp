// The problem library checked independently of the code that checks typed
// exact solutions: each exact solution against its equation integrated by
// Boost.Odeint from a slope written here in C++, against values worked out
// to 25 digits with Python's decimal module (series for sin, cos and the
// Riccati solution), and at its start.
#include "methods/exact_solution.h"
#include "methods/methods.h"
#include "problem/library.h"
#include "tests/support/typed_problems.h"

#include <boost/numeric/odeint.hpp>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <string>

using namespace pelorin;

namespace {

struct Known {
    std::string_view name;
    double (*f)(double x, double y);
    // The exact solution through (x0, y0); none where there is no formula.
    double (*exact)(double x, double x0, double y0);
    double atEnd;             // y(x1) from the library's start, worked out with decimal
    double otherX0, otherY0;  // a second start the formula must serve
};

// In the library's order. The values at x1 were worked out by
// tests/support/worked_values.py (decimal arithmetic to 60 digits).
const Known known[] = {
    {"Lesson", [](double x, double y) { return -2 * x - y; },
     [](double x, double x0, double y0) { return 2 - 2 * x + (y0 - 2 + 2 * x0) * std::exp(x0 - x); },
     -1.1036383235143269647865713, 0.3, 2},
    {"Textbook", [](double x, double y) { return y - x * x + 1; },
     [](double x, double x0, double y0) {
         return (x + 1) * (x + 1) + (y0 - (x0 + 1) * (x0 + 1)) * std::exp(x - x0);
     },
     5.3054719505346748863847863, 0.5, 1},
    {"Growth", [](double, double y) { return y; },
     [](double x, double x0, double y0) { return y0 * std::exp(x - x0); }, 7.3890560989306502272304275,
     1, -2},
    {"Logistic", [](double, double y) { return y * (1 - y); },
     [](double x, double x0, double y0) { return y0 / (y0 + (1 - y0) * std::exp(x0 - x)); },
     0.97817805123696211141909633, 1, 0.5},
    {"Bell", [](double x, double y) { return -2 * x * y; },
     [](double x, double x0, double y0) { return y0 * std::exp(x0 * x0 - x * x); },
     0.018315638888734180293718021, 0.5, -1},
    {"Stiff", [](double x, double y) { return -50 * (y - std::cos(x)); },
     [](double x, double x0, double y0) {
         const auto slow = [](double t) { return (2500 * std::cos(t) + 50 * std::sin(t)) / 2501; };
         return slow(x) + (y0 - slow(x0)) * std::exp(-50 * (x - x0));
     },
     0.55690896197950584519571549, 0.2, 2},
    {"Prothero-Robinson", [](double x, double y) { return -1e6 * (y - std::sin(x)) + std::cos(x); },
     [](double x, double x0, double y0) {
         return std::sin(x) + (y0 - std::sin(x0)) * std::exp(-1e6 * (x - x0));
     },
     0.84147098480789650665250232, 0.5, 1},
    {"Riccati", [](double x, double y) { return x * x + y * y; }, nullptr,
     0.35023184431675577784938227, 0, 0},
    {"Quadrature", [](double x, double) { return std::cos(x); },
     [](double x, double x0, double y0) { return y0 + std::sin(x) - std::sin(x0); },
     0.14112000805986722210074480, 1, 5},
    {"Periodic", [](double x, double y) { return y * std::cos(x); },
     [](double x, double x0, double y0) { return y0 * std::exp(std::sin(x) - std::sin(x0)); },
     0.75622562754285520105978587, 2, 0.5},
    {"Escape", [](double, double y) { return 1 + y * y; },
     [](double x, double x0, double y0) { return std::tan(x - x0 + std::atan(y0)); },
     14.101419947171719387646084, 0.5, 0},
};

double number(std::string_view text) { return std::stod(std::string(text)); }

// y(x) from (x0, y0) by Odeint's Dormand-Prince pair at a tolerance far
// below the differences that matter here.
double integrated(double (*f)(double, double), double x0, double y0, double x) {
    using State = std::array<double, 1>;
    namespace odeint = boost::numeric::odeint;
    State y{y0};
    if (x != x0) {
        odeint::integrate_adaptive(
            odeint::make_controlled(1e-13, 1e-13, odeint::runge_kutta_dopri5<State>()),
            [f](const State& s, State& slope, double t) { slope[0] = f(t, s[0]); }, y, x0, x,
            (x - x0) / 1000);
    }
    return y[0];
}

double scale(double y) { return std::max(1.0, std::fabs(y)); }

}  // namespace

// The lab opens on the main window's equation, so that a lesson started
// there carries on: the same slope to the bit and the same exact solution.
TEST(ProblemLibrary, TheFirstProblemIsTheMainWindowsEquation) {
    const LibraryProblem& first = problemLibrary.front();
    const ProblemCompilation compilation = compileProblem(problemText(first));
    ASSERT_TRUE(compilation.problem);
    EXPECT_TRUE(compilation.problem->equation.lesson());
    // Its texts, typed, give the same: so the lab may step them with f1.
    const double x0 = number(first.x0), y0 = number(first.y0);
    const SlopeExpression slope = pelorin::testing::compiledSlope(first.f);
    const SolutionCompilation exact = compileSolution(first.exact, x0, y0);
    ASSERT_TRUE(exact.solution);
    const ExactSolution lesson(x0, y0);
    for (double x : {-1.5, 0.0, 0.4, 1.0, 3.0}) {
        SCOPED_TRACE("x = " + std::to_string(x));
        for (double y : {-2.0, -1.0, 0.0, 0.7}) EXPECT_EQ(slope(x, y), f1(x, y));
        EXPECT_NEAR((*exact.solution)(x), lesson(x), 1e-14 * scale(lesson(x)));
    }
}

// The list shows each problem by its name, with its description beside it:
// no two names alike, and each description one sentence on one line.
TEST(ProblemLibrary, EveryProblemHasItsOwnNameAndAOneLineDescription) {
    for (std::size_t row = 0; row < problemLibrary.size(); ++row) {
        const LibraryProblem& entry = problemLibrary[row];
        SCOPED_TRACE(std::string(entry.name));
        const std::string_view label = entry.name.substr(0, entry.name.find(':'));
        for (std::size_t later = row + 1; later < problemLibrary.size(); ++later) {
            EXPECT_NE(problemLibrary[later].name.substr(0, problemLibrary[later].name.find(':')),
                      label);
        }
        ASSERT_FALSE(entry.description.empty());
        EXPECT_EQ(entry.description.find('\n'), std::string_view::npos);
        EXPECT_TRUE(entry.description.ends_with('.') || entry.description.ends_with(".)"));
    }
}

// The texts compile to the formulas written here, so that what the checks
// below prove of the formulas holds for the texts.
TEST(ProblemLibrary, EveryTextComputesTheFormulaWrittenHere) {
    // The table here follows the library's rows.
    ASSERT_EQ(problemLibrary.size(), std::size(known));
    for (std::size_t row = 0; row < problemLibrary.size(); ++row) {
        const LibraryProblem& entry = problemLibrary[row];
        SCOPED_TRACE(entry.name);
        ASSERT_TRUE(entry.name.starts_with(known[row].name));
        const ProblemCompilation compilation = compileProblem(problemText(entry));
        ASSERT_TRUE(compilation.problem);
        EXPECT_TRUE(compilation.errors.empty());
        EXPECT_TRUE(compilation.notes.empty());
        EXPECT_EQ(static_cast<bool>(compilation.problem->exactOf<double>()),
                  known[row].exact != nullptr);
        // The texts themselves, also the lesson's, which the lab steps with
        // its built-in slope.
        const double x0 = number(entry.x0), y0 = number(entry.y0), x1 = number(entry.x1);
        const SlopeExpression slope = pelorin::testing::compiledSlope(entry.f);
        SolutionCompilation exact = compileSolution(entry.exact, x0, y0);
        EXPECT_EQ(exact.solution.has_value(), known[row].exact != nullptr);
        for (int k = 0; k <= 10; ++k) {
            const double x = x0 + (x1 - x0) * k / 10;
            for (double y : {-1.5, 0.0, 0.3, 2.0}) {
                EXPECT_NEAR(slope(x, y), known[row].f(x, y), 1e-14 * scale(known[row].f(x, y)));
            }
            if (!exact.solution) continue;
            const double y = known[row].exact(x, x0, y0);
            EXPECT_NEAR((*exact.solution)(x), y, 1e-14 * scale(y)) << "x = " << x;
        }
        if (!exact.solution) continue;
        SolutionExpression other = exact.solution->clone();
        other.setStart(known[row].otherX0, std::array{known[row].otherY0});
        for (double x : {known[row].otherX0 + 0.125, known[row].otherX0 + 0.5}) {
            const double y = known[row].exact(x, known[row].otherX0, known[row].otherY0);
            EXPECT_NEAR(other(x), y, 1e-14 * scale(y));
        }
    }
}

TEST(ProblemLibrary, EveryExactSolutionStartsAtItsStartAndEndsAtTheWorkedOutValue) {
    for (std::size_t row = 0; row < problemLibrary.size(); ++row) {
        const LibraryProblem& entry = problemLibrary[row];
        if (!known[row].exact) continue;
        SCOPED_TRACE(entry.name);
        const double x0 = number(entry.x0), y0 = number(entry.y0), x1 = number(entry.x1);
        EXPECT_NEAR(known[row].exact(x0, x0, y0), y0, 1e-15 * scale(y0));
        EXPECT_NEAR(known[row].exact(known[row].otherX0, known[row].otherX0, known[row].otherY0),
                    known[row].otherY0, 1e-15 * scale(known[row].otherY0));
        EXPECT_NEAR(known[row].exact(x1, x0, y0), known[row].atEnd, 1e-13 * scale(known[row].atEnd));
    }
}

TEST(ProblemLibrary, EveryExactSolutionSatisfiesItsEquationFromTwoStarts) {
    for (std::size_t row = 0; row < problemLibrary.size(); ++row) {
        const LibraryProblem& entry = problemLibrary[row];
        SCOPED_TRACE(entry.name);
        const double x0 = number(entry.x0), y0 = number(entry.y0), x1 = number(entry.x1);
        if (!known[row].exact) {
            // No formula: the worked-out series value stands in for one.
            EXPECT_NEAR(integrated(known[row].f, x0, y0, x1), known[row].atEnd, 1e-10);
            continue;
        }
        for (const auto& [startX, startY] :
             {std::pair{x0, y0}, std::pair{known[row].otherX0, known[row].otherY0}}) {
            for (int k = 1; k <= 4; ++k) {
                const double x = startX + (x1 - x0) * k / 4 * (startX == x0 ? 1 : 0.5);
                const double expected = known[row].exact(x, startX, startY);
                EXPECT_NEAR(integrated(known[row].f, startX, startY, x), expected,
                            1e-9 * scale(expected))
                    << "from (" << startX << ", " << startY << ") to x = " << x;
            }
        }
    }
}
