// Typed formulas: what they compute, to the last bit where it matters, and
// what a text that is not a formula is told, in words and with its place.
#include "problem/expression.h"

#include "methods/methods.h"

#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace pelorin;

namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

SlopeExpression slope(std::string_view text) { return pelorin::testing::compiledSlope(text); }

}  // namespace

TEST(SlopeExpression, ErrorsSayWhatAndWhereInWords) {
    const struct {
        std::string_view name, text, message;
        std::size_t character;
    } rows[] = {
        {"closing parenthesis without an opening one", "-2*x -)",
         "f(x, y): \")\" at character 7 has no \"(\" before it", 7},
        {"opening parenthesis never closed", "3*sin(3",
         "f(x, y): \"(\" at character 6 has no \")\" after it", 6},
        {"a variable f may not use", "1 + t",
         "f(x, y): \"t\" at character 5 is not known here: f may use x and y", 5},
        {"the start belongs to the exact solution", "y0 - x",
         "f(x, y): \"y0\" at character 1 is not known here: f may use x and y", 1},
        {"unknown function", "foo(x)",
         "f(x, y): \"foo\" at character 1 is not a function this program knows", 1},
        {"a function without parentheses", "sin x",
         "f(x, y): \"sin\" at character 1 is a function: write its value in parentheses, as in sin(x)",
         1},
        {"too many values", "x + sin(x, y)", "f(x, y): \"sin\" at character 5 is given too many values",
         5},
        {"too few values", "atan2(y)", "f(x, y): \"atan2\" at character 1 is given too few values", 1},
        {"missing operator after a number", "2x",
         "f(x, y): \"x\" at character 2 follows a value: an operator such as \"*\" is missing before it",
         2},
        {"missing operator between functions", "sin(x)cos(y)",
         "f(x, y): \"cos\" at character 7 follows a value: an operator such as \"*\" is missing before it",
         7},
        {"missing operator before a parenthesis", "(x + 1)(y)",
         "f(x, y): \"(\" at character 8 follows a value: an operator such as \"*\" is missing before it",
         8},
        {"missing operand", "2 + * 3", "f(x, y): \"*\" at character 5 comes where a value should be", 5},
        {"empty parentheses", "()", "f(x, y): \")\" at character 2 comes where a value should be", 2},
        {"unexpected end", "x^", "f(x, y): the formula ends too early: a value should follow \"^\" at character 2",
         2},
        {"unexpected end after blanks", "y -  ",
         "f(x, y): the formula ends too early: a value should follow \"-\" at character 3", 3},
        {"not a number", "2e - x", "f(x, y): \"2e\" at character 1 is not a number", 1},
        {"two points", "1.2.3 * x", "f(x, y): \"1.2.3\" at character 1 is not a number", 1},
        {"too large a number", "1e400*x", "f(x, y): \"1e400\" at character 1 is too large for a number", 1},
        {"a sign formulas do not use", "x % 2", "f(x, y): \"%\" at character 3 is not part of a formula", 3},
        {"two formulas", "x, y", "f(x, y): \",\" at character 2 separates two formulas: a box holds one", 2},
        {"several values in plain parentheses", "(1, 2)",
         "f(x, y): the parentheses at character 1 hold several values: only a function such as max(x, y) takes several",
         1},
        {"assignment", "y = 3",
         "f(x, y): \"=\" at character 3 would change a variable: a formula only computes a value (to compare, write \"==\")",
         3},
        {"compound assignment", "x += 1",
         "f(x, y): \"=\" at character 4 would change a variable: a formula only computes a value (to compare, write \"==\")",
         4},
        {"condition without else", "x < 1 ? 2",
         "f(x, y): \"?\" at character 7 has no \":\" part: write condition ? value : other value", 7},
        {"colon without condition", "x : 1", "f(x, y): \":\" at character 3 has no \"?\" before it", 3},
        {"text in quotes", "\"abc\"", "f(x, y): a formula holds numbers, not texts in quotes (see character 1)",
         1},
        {"empty", "", "f(x, y): the box is empty: type a formula such as -2*x - y", 0},
        {"only blanks", " \t ", "f(x, y): the box is empty: type a formula such as -2*x - y", 0},
        {"a control character", "x\x01 + y",
         "f(x, y): character 2 is a control character (\\x01), which a formula cannot hold", 2},
        {"a line break", "x\n+ y",
         "f(x, y): character 2 is a control character (\\x0A), which a formula cannot hold", 2},
        {"a byte that is not text", "x + \xff",
         "f(x, y): character 5 is not text (the byte \\xFF)", 5},
        {"a letter formulas do not use", "\u03bb*y",
         "f(x, y): \"\u03bb\" at character 1 is not part of a formula", 1},
        {"places count characters, not bytes", "\u2212x \u00d7 2)",
         "f(x, y): \")\" at character 7 has no \"(\" before it", 7},
        {"a typographic minus is quoted as typed", "x \u2212",
         "f(x, y): the formula ends too early: a value should follow \"\u2212\" at character 3", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SlopeCompilation compiled = compileSlope(row.text);
        EXPECT_FALSE(compiled.slope);
        EXPECT_EQ(compiled.errors.at(0).message, row.message);
        EXPECT_EQ(compiled.errors.at(0).character, row.character);
    }
}

TEST(SolutionExpression, ErrorsNameTheExactSolutionsBoxAndVariables) {
    const struct {
        std::string_view name, text, message;
    } rows[] = {
        {"y belongs to the slope", "y0 + y",
         "exact y(x): \"y\" at character 6 is not known here: y(x) may use x, x0 and y0"},
        {"another name for the start", "y_0*exp(x)",
         "exact y(x): \"y_0\" at character 1 is not known here: y(x) may use x, x0 and y0"},
        {"empty", "", "exact y(x): the box is empty: type a formula such as y0*exp(x - x0)"},
        {"assigning the start", "x0 = 1",
         "exact y(x): \"=\" at character 4 would change a variable: a formula only computes a value (to compare, write \"==\")"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SolutionCompilation compiled = compileSolution(row.text, 0, 1);
        EXPECT_FALSE(compiled.solution);
        EXPECT_EQ(compiled.errors.at(0).message, row.message);
    }
}

// How a student trusts the box: the lesson's equation typed gives the bits
// of the built-in slope at every step of every method, from several starts.
TEST(SlopeExpression, TheLessonsEquationTypedGivesTheBuiltInBitsStepForStep) {
    const SlopeExpression typed = slope("-2*x - y");
    const struct {
        double x0, y0, h;
        int steps;
    } runs[] = {
        {0, -1, 1.0 / 64, 64}, {0, -1, 0.1, 40}, {0.3, 2.5, -0.07, 50}, {-1.25, 1e3, 0.4, 30},
        {1e-3, -7.125e-5, 1.0 / 3, 64},
    };
    for (const Method& method : methodCatalogue) {
        for (const auto& run : runs) {
            SCOPED_TRACE(std::string(method.caption) + " from x0 = " + std::to_string(run.x0));
            double builtIn = run.y0, fromText = run.y0;
            for (int i = 0; i < run.steps; ++i) {
                const double x = run.x0 + i * run.h;
                builtIn = explicitRungeKutta(method)->step(x, builtIn, run.h, f1);
                fromText = explicitRungeKutta(method)->step(x, fromText, run.h, typed);
                ASSERT_EQ(fromText, builtIn) << "step " << i + 1;
                ASSERT_TRUE(sameBits(fromText, builtIn)) << "step " << i + 1;
            }
        }
    }
}

// Folding 3*5 into 15, or 2*x + 3*x into 5*x, would change the last bits
// of thousands of these values: every operation is done as written.
TEST(SlopeExpression, EvaluatesEveryOperationAsWritten) {
    const struct {
        std::string_view text;
        double (*same)(double x, double y);
    } rows[] = {
        {"x*3*5", [](double x, double) { return x * 3 * 5; }},
        {"2*x + 3*x", [](double x, double) { return 2 * x + 3 * x; }},
        {"y*0.1*3", [](double, double y) { return y * 0.1 * 3; }},
        {"x + 1 + 2", [](double x, double) { return x + 1 + 2; }},
        {"y - x^2 + 1", [](double x, double y) { return y - std::pow(x, 2) + 1; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const SlopeExpression typed = slope(row.text);
        int differing = 0;
        for (int i = 1; i < 2000; ++i) {
            const double x = i * 0.0123456789, y = 1.0 / i + 0.3;
            if (!sameBits(typed(x, y), row.same(x, y))) ++differing;
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST(SlopeExpression, ReadsConstantsFunctionsAndPastedSigns) {
    const double x = 0.7, y = -1.3;
    const struct {
        std::string_view name, text;
        double expected;
    } rows[] = {
        {"pi", "pi*x", std::numbers::pi * x},
        {"e", "e^x", std::pow(std::numbers::e, x)},
        {"log is natural", "log(e)", 1},
        {"ln", "ln(x)", std::log(x)},
        {"exp, sin, cos", "exp(x)*sin(y) + cos(x)", std::exp(x) * std::sin(y) + std::cos(x)},
        {"sqrt and abs", "sqrt(abs(y))", std::sqrt(std::fabs(y))},
        {"power binds tighter than minus", "-x^2", -(x * x)},
        {"power to the right first", "2^3^2", 512},
        {"typographic minus", "\u22122*x \u2212 y", -2 * x - y},
        {"multiplication sign", "2\u00d7x", 2 * x},
        {"middle dot", "2\u00b7y", 2 * y},
        {"tabs are blanks", "x\t+\ty", x + y},
        {"several values", "max(x, y, 0.5)", 0.7},
        {"condition", "x < 1 ? y : 0", y},
        {"comparison", "x == 0.7", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_DOUBLE_EQ(slope(row.text)(x, y), row.expected);
    }
}

TEST(SlopeExpression, DivisionByZeroAndOverflowGiveNumbersThatAreNotFinite) {
    // Compiling succeeds: whether a value is finite is known only where the
    // slope is evaluated, which is where runs check it.
    EXPECT_TRUE(std::isinf(slope("1/0")(0, 0)));
    EXPECT_TRUE(std::isinf(slope("exp(1000)")(0, 0)));
    EXPECT_TRUE(std::isnan(slope("sqrt(-1 - y*y)")(0, 0)));
    EXPECT_TRUE(std::isnan(slope("x/y")(0, 0)));
}

TEST(SlopeExpression, TextsBeyondTheLengthAreRefusedBeforeParsing) {
    // 499 times "x+", then "y" and a blank: 1000 characters.
    std::string longest;
    for (int i = 0; i < 499; ++i) longest += "x+";
    longest += "y ";
    ASSERT_EQ(longest.size(), 1000u);
    EXPECT_EQ(slope(longest)(1, 5), 504);
    const SlopeCompilation refused = compileSlope(longest + "1");
    EXPECT_FALSE(refused.slope);
    EXPECT_EQ(refused.errors.at(0).message,
              "f(x, y): the formula has 1001 characters; a formula may have at most 1000");
    // Characters, not bytes: 499 typographic minus signs take 1497 bytes.
    std::string minuses = "y";
    for (int i = 0; i < 499; ++i) minuses += "\u2212x";
    EXPECT_EQ(slope(minuses + " ")(2, 0), -998);
}

TEST(SlopeExpression, DeeplyNestedTextsAreRefusedOrReadWithoutHarm) {
    const std::string deep = std::string(10000, '(') + "x" + std::string(10000, ')');
    const SlopeCompilation refused = compileSlope(deep);
    EXPECT_FALSE(refused.slope);
    EXPECT_EQ(refused.errors.at(0).message,
              "f(x, y): the formula has 20001 characters; a formula may have at most 1000");

    // As deep as the length allows: read and evaluated as written.
    const std::string allowed = std::string(498, '(') + "x+y" + std::string(498, ')');
    EXPECT_EQ(slope(allowed)(0.25, 0.5), 0.75);

    const std::string unbalanced = std::string(999, '(') + "x";
    const SlopeCompilation open = compileSlope(unbalanced);
    EXPECT_FALSE(open.slope);
    EXPECT_EQ(open.errors.at(0).message, "f(x, y): \"(\" at character 1 has no \")\" after it");
}

TEST(SlopeExpression, AMovedOrClonedExpressionEvaluatesItsOwnVariables) {
    SlopeExpression first = slope("x - 3*y");
    SlopeExpression moved = std::move(first);
    EXPECT_EQ(moved(1, 2), -5);

    std::vector<SlopeExpression> many;
    for (int i = 0; i < 40; ++i) many.push_back(slope("x*y + " + std::to_string(i)));
    for (int i = 0; i < 40; ++i) EXPECT_EQ(many[static_cast<std::size_t>(i)](2, 3), 6 + i);

    const SlopeExpression copy = moved.clone();
    EXPECT_EQ(copy.texts().front(), "x - 3*y");
    // Interleaved calls: each object reads the values it was given.
    const double a = moved(10, 1);
    const double b = copy(0, 1);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, -3);

    moved = slope("y");
    EXPECT_EQ(moved(1, 2), 2);
}

TEST(SolutionExpression, OneFormulaServesEveryStart) {
    SolutionCompilation compiled = compileSolution("2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))", 0, -1);
    ASSERT_TRUE(compiled.solution);
    SolutionExpression& exact = *compiled.solution;
    EXPECT_EQ(exact(0), -1);
    EXPECT_DOUBLE_EQ(exact(0.4), -0.810960138106918);
    exact.setStart(1, std::array{3.0});
    EXPECT_EQ(exact.x0(), 1);
    EXPECT_EQ(exact.y0()[0], 3);
    EXPECT_EQ(exact(1), 3);
    const SolutionExpression other = exact.clone();
    EXPECT_EQ(other(1), 3);
    EXPECT_EQ(other.texts().front(), "2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))");
}
