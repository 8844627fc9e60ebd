// Typed systems, their parameters and second-order equations: what they
// compute, and what a text that is refused is told, in words and with its place.
#include "problem/system.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

using namespace pelorin;

namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Parameters parameters(std::string_view text) {
    ParametersReading read = readParameters(text);
    if (!read.parameters) throw std::invalid_argument(read.error.message);
    return std::move(*read.parameters);
}

SlopeExpression compiledSystem(std::vector<std::string> texts,
                               std::string_view parameterText = "") {
    SlopeCompilation compiled = compileSlope(texts, parameters(parameterText));
    if (!compiled.slope) throw std::invalid_argument(compiled.errors.front().message);
    return std::move(*compiled.slope);
}

// The slope of every component at (x, y).
std::vector<double> at(const SlopeExpression& slope, double x, std::vector<double> y) {
    std::vector<double> values(slope.size());
    slope(x, y, values);
    return values;
}

}  // namespace

TEST(Parameters, RefusalsSayWhatAndWhereInWords) {
    const struct {
        std::string_view name, text, message;
        std::size_t character;
    } rows[] = {
        {"the abscissa", "x = 1", "Parameters: \"x\" at character 1 cannot name a parameter: x is the abscissa",
         1},
        {"the single component", "a = 1, y = 2",
         "Parameters: \"y\" at character 8 cannot name a parameter: y is a component of the solution", 8},
        {"a component", "y2 = 2",
         "Parameters: \"y2\" at character 1 cannot name a parameter: y2 is a component of the solution", 1},
        {"y' in a second-order equation", " yp=1",
         "Parameters: \"yp\" at character 2 cannot name a parameter: yp is y' in a second-order equation", 2},
        {"a start", "y1_0 = 1",
         "Parameters: \"y1_0\" at character 1 cannot name a parameter: y1_0 is a start of the solution", 1},
        {"the start of a single equation", "y0 = 1",
         "Parameters: \"y0\" at character 1 cannot name a parameter: y0 is a start of the solution", 1},
        {"pi", "pi = 3", "Parameters: \"pi\" at character 1 cannot name a parameter: pi is a constant", 1},
        {"e", "e = 2.7", "Parameters: \"e\" at character 1 cannot name a parameter: e is a constant", 1},
        {"a function", "a = 1, sin = 2",
         "Parameters: \"sin\" at character 8 cannot name a parameter: sin is a function", 8},
        {"a name given twice", "a = 2/3, b = 1, a = 4/3",
         "Parameters: \"a\" at character 17 is given twice: it is given first at character 1", 17},
        {"a value that is not finite", "a = 1, b = 1/(a - 1)",
         "Parameters: the value of \"b\" at character 12 is not a finite number", 12},
        {"an overflowing value", "big = 1e300*1e300",
         "Parameters: the value of \"big\" at character 7 is not a finite number", 7},
        {"no \"=\"", "a = 1, b 2",
         "Parameters: \"b\" at character 8 has no \"=\" after it: write name = value, as in a = 2/3", 8},
        {"only a number", "2",
         "Parameters: \"2\" at character 1 has no \"=\" after it: write name = value, as in a = 2/3", 1},
        {"no name", "= 2",
         "Parameters: \"=\" at character 1 has no name before it: write name = value, as in a = 2/3", 1},
        {"no value", "a = 1, b =  ",
         "Parameters: \"b\" at character 8 has no value after \"=\": write name = value, as in a = 2/3", 8},
        {"a comparison for \"=\"", "a == 2",
         "Parameters: \"==\" at character 3 compares two values: a parameter is given with one \"=\": write "
         "name = value, as in a = 2/3",
         3},
        {"a semicolon between parameters", "a = 2/3; b = 4/3",
         "Parameters: \"=\" at character 12 begins another parameter: separate parameters with \",\", as in "
         "a = 2/3, b = 4/3",
         12},
        {"no separator between parameters", "a = 1 b = 2",
         "Parameters: \"=\" at character 9 begins another parameter: separate parameters with \",\", as in "
         "a = 2/3, b = 4/3",
         9},
        {"an empty item", "a = 1, , b = 2",
         "Parameters: \",\" at character 8 has no item before it: write name = value, as in a = 2/3", 8},
        {"an empty first item", ", a = 1",
         "Parameters: \",\" at character 1 has no item before it: write name = value, as in a = 2/3", 1},
        {"a comma at the end", "a = 1,",
         "Parameters: \",\" at character 6 has no item after it: write name = value, as in a = 2/3", 6},
        {"not a name", "2a = 1",
         "Parameters: \"2a\" at character 1 is not a name: a name is a letter followed by letters, digits or \"_\"",
         1},
        {"two words", "a b = 1",
         "Parameters: \"a b\" at character 1 is not a name: a name is a letter followed by letters, digits or \"_\"",
         1},
        {"x in a value", "a = 2*x",
         "Parameters: \"x\" at character 7 is not known here: the value of a may use numbers, pi and e", 7},
        {"a later parameter", "a = 1, b = 2*c, c = 3",
         "Parameters: \"c\" at character 14 is not known here: c is given after this value: give it first", 14},
        {"an unknown name after earlier ones", "a = 1, b = 2, c = a + b + q",
         "Parameters: \"q\" at character 27 is not known here: the value of c may use numbers, pi, e and the "
         "parameters a and b",
         27},
        {"a formula error is placed in the whole text", "a = 1, b = (2",
         "Parameters: \"(\" at character 12 has no \")\" after it", 12},
        {"a character formulas do not use", "a = 1 % 2",
         "Parameters: \"%\" at character 7 is not part of a formula", 7},
        {"a line break", "a = 1\nb = 2",
         "Parameters: character 6 is a control character (\\x0A), which a formula cannot hold", 6},
        {"places count characters", "a = \u22121, b = 1 \u00d7",
         "Parameters: the formula ends too early: a value should follow \"\u00d7\" at character 15", 15},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ParametersReading read = readParameters(row.text);
        EXPECT_FALSE(read.parameters);
        EXPECT_EQ(read.error.message, row.message);
        EXPECT_EQ(read.error.character, row.character);
    }
}

TEST(Parameters, ValuesAreFormulasOfTheParametersBeforeThem) {
    const struct {
        std::string_view name, text;
        std::vector<Parameter> values;
    } rows[] = {
        {"empty", "", {}},
        {"only blanks", " \t ", {}},
        {"fractions, each rounded once", "a = 2/3, b = 4/3", {{"a", 2.0 / 3}, {"b", 4.0 / 3}}},
        {"an earlier parameter", "k = 2, k2 = k^2 + 1", {{"k", 2}, {"k2", 5}}},
        {"a comma inside a function", "m = max(1, 7, 3), n = 2", {{"m", 7}, {"n", 2}}},
        {"pasted signs", "g = \u22129.8 \u00d7 2", {{"g", -19.6}}},
        {"a comparison in a value", "on = 2 >= 1, off = 2 == 1", {{"on", 1}, {"off", 0}}},
        {"names with capitals and _", "Omega_1 = 3", {{"Omega_1", 3}}},
        {"a name that only begins like a component", "yy = 1, y_a = 2", {{"yy", 1}, {"y_a", 2}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Parameters read = parameters(row.text);
        EXPECT_EQ(read.text, row.text);
        ASSERT_EQ(read.values.size(), row.values.size());
        for (std::size_t i = 0; i < row.values.size(); ++i) {
            EXPECT_EQ(read.values[i].name, row.values[i].name);
            EXPECT_TRUE(sameBits(read.values[i].value, row.values[i].value)) << read.values[i].value;
        }
    }
    const ParametersReading tooLong = readParameters("a = " + std::string(997, '1'));
    EXPECT_EQ(tooLong.error.message, "Parameters: the text has 1001 characters; the box may hold at most 1000");
}

TEST(SlopeExpression, RefusalsNameTheComponentsBox) {
    const struct {
        std::string_view name;
        std::vector<std::string> texts;
        std::string_view parameters;
        std::vector<std::string_view> messages;
    } rows[] = {
        {"a component beyond the system", {"y1 + y3", "y1"}, "",
         {"y1': \"y3\" at character 6 is not known here: a system of 2 components has y1 and y2"}},
        {"y alone in a system", {"y2", "-y"}, "",
         {"y2': \"y\" at character 2 is not known here: a system of 2 components has y1 and y2"}},
        {"another name", {"y2", "y3", "t*y1"}, "",
         {"y3': \"t\" at character 1 is not known here: y3' may use x, y1, y2 and y3"}},
        {"another name, with parameters", {"a*y1 - q", "y1"}, "a = 1",
         {"y1': \"q\" at character 8 is not known here: y1' may use x, y1, y2 and the parameter a"}},
        {"every refused box, in order", {"(y1", "y2", "y2 +"}, "",
         {"y1': \"(\" at character 1 has no \")\" after it",
          "y3': the formula ends too early: a value should follow \"+\" at character 4"}},
        {"an empty component", {"y2", " "}, "",
         {"y2': the box is empty: type a formula such as x*y1 - y2"}},
        {"no components", {}, "", {"y': a system has 1 to 6 components, not 0"}},
        {"too many components", {"1", "1", "1", "1", "1", "1", "1"}, "",
         {"y': a system has 1 to 6 components, not 7"}},
        {"a single equation names f", {"y1 + y2"}, "",
         {"f(x, y): \"y2\" at character 6 is not known here: f may use x and y"}},
        {"a single equation with a parameter", {"k*y + q"}, "k = 1",
         {"f(x, y): \"q\" at character 7 is not known here: f may use x, y and the parameter k"}},
        {"a long component", {"y2", std::string(1001, '1')}, "",
         {"y2': the formula has 1001 characters; a formula may have at most 1000"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SlopeCompilation compiled = compileSlope(row.texts, parameters(row.parameters));
        EXPECT_FALSE(compiled.slope);
        ASSERT_EQ(compiled.errors.size(), row.messages.size());
        for (std::size_t i = 0; i < row.messages.size(); ++i) {
            EXPECT_EQ(compiled.errors[i].message, row.messages[i]);
        }
    }
}

// A system of one component is the single equation: the same messages and
// places, and the same bits, as the slope box has always given.
TEST(SlopeExpression, OneComponentReadsAsTheSingleSlope) {
    for (std::string_view text : {"-2*x -)", "1 + t", "y0 - x", "sin x", "2x", "", "x + \xff", "y = 3",
                                  "x, y", "x \u2212"}) {
        SCOPED_TRACE(text);
        const SlopeCompilation single = compileSlope(text);
        const SlopeCompilation one = compileSlope(std::vector{std::string(text)}, {});
        ASSERT_FALSE(one.slope);
        ASSERT_EQ(one.errors.size(), 1u);
        EXPECT_EQ(one.errors[0].message, single.errors.at(0).message);
        EXPECT_EQ(one.errors[0].character, single.errors.at(0).character);
    }
    const SlopeExpression single = *compileSlope("-2*x - y").slope;
    const SlopeExpression one = compiledSystem({"-2*x - y"});
    for (int i = 1; i < 500; ++i) {
        const double x = i * 0.0123456789, y = 1.0 / i - 0.3;
        ASSERT_TRUE(sameBits(at(one, x, {y})[0], single(x, y)));
    }
    EXPECT_EQ(at(compiledSystem({"x - y1"}), 5, {2})[0], 3);  // y1 is y too
}

TEST(SolutionExpression, OneComponentReadsAsTheSingleExactSolution) {
    for (std::string_view text : {"y0 + y", "y_0*exp(x)", "", "x0 = 1", "y1_0"}) {
        SCOPED_TRACE(text);
        const SolutionCompilation single = compileSolution(text, 0, 1);
        const SolutionCompilation one =
            compileSolution(std::vector{std::string(text)}, {}, 0, std::vector{1.0});
        ASSERT_FALSE(one.solution);
        ASSERT_EQ(one.errors.size(), 1u);
        EXPECT_EQ(one.errors[0].message, single.errors.at(0).message);
        EXPECT_EQ(one.errors[0].character, single.errors.at(0).character);
    }
    const std::string_view formula = "2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))";
    const SolutionExpression single = std::move(*compileSolution(formula, 0.3, -1.5).solution);
    const SolutionExpression one =
        std::move(*compileSolution(std::vector{std::string(formula)}, {}, 0.3,
                                   std::vector{-1.5}).solution);
    std::array<double, 1> y{};
    for (int i = 0; i < 500; ++i) {
        const double x = 0.3 + i * 0.0123456789;
        one(x, y);
        ASSERT_TRUE(sameBits(y[0], single(x)));
    }
}

TEST(SlopeExpression, LotkaVolterraWithParameters) {
    const SlopeExpression predatorPrey =
        compiledSystem({"a*y1 - b*y1*y2", "c*y1*y2 - d*y2"}, "a = 2/3, b = 4/3, c = 1, d = 1");
    // Expected values from python3's floats, the same operations in the same order.
    const struct {
        double x, y1, y2, slope1, slope2;
    } rows[] = {
        {0, 1, 1, -0.6666666666666666, 0.0},
        {0, 0.5, 2, -1.0, -1.0},
        {3, 1.5, 0.25, 0.5, 0.125},
        {-1, 0.9, 0.3, 0.24, -0.02999999999999997},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.y1);
        const std::vector<double> slope = at(predatorPrey, row.x, {row.y1, row.y2});
        EXPECT_TRUE(sameBits(slope[0], row.slope1)) << slope[0];
        EXPECT_TRUE(sameBits(slope[1], row.slope2)) << slope[1];
    }
    // y and slope may be one array: every input is read before an output is written.
    std::array<double, 2> y{0.5, 2};
    predatorPrey(0, y, y);
    EXPECT_EQ(y[0], -1.0);
    EXPECT_EQ(y[1], -1.0);
}

TEST(SlopeExpression, SixComponentsOfTheLongestFormulasCompileAndEvaluate) {
    // Each component: 333 times "yk+" then "x": 1000 characters, summing to 333*yk + x.
    std::vector<std::string> texts;
    for (int k = 1; k <= 6; ++k) {
        std::string text;
        for (int i = 0; i < 333; ++i) text += "y" + std::to_string(k) + "+";
        texts.push_back(text + "x");
        ASSERT_EQ(texts.back().size(), 1000u);
    }
    const std::vector<double> slope = at(compiledSystem(texts), 1, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(slope, (std::vector<double>{334, 667, 1000, 1333, 1666, 1999}));

    texts[3] = std::string(1001, '(');
    const SlopeCompilation refused = compileSlope(texts, {});
    ASSERT_EQ(refused.errors.size(), 1u);
    EXPECT_EQ(refused.errors[0].message,
              "y4': the formula has 1001 characters; a formula may have at most 1000");
}

TEST(SlopeExpression, AClonedSystemEvaluatesItsOwnValuesOnAnotherThread) {
    const SlopeExpression original = compiledSystem({"k*y2", "-k*y1 + x"}, "k = 3");
    SlopeExpression moved = compiledSystem({"y1"});
    moved = original.clone();
    EXPECT_EQ(moved.texts(), (std::vector<std::string>{"k*y2", "-k*y1 + x"}));
    EXPECT_EQ(moved.parameters().text, "k = 3");

    std::vector<double> fromThread;
    std::thread other([&] {
        const SlopeExpression copy = original.clone();
        for (int i = 0; i < 200; ++i) fromThread = at(copy, 1, {2, 5});
    });
    std::vector<double> here;
    for (int i = 0; i < 200; ++i) here = at(original, 10, {1, 1});
    other.join();
    EXPECT_EQ(fromThread, (std::vector<double>{15, -5}));
    EXPECT_EQ(here, (std::vector<double>{3, 7}));
    EXPECT_EQ(at(moved, 0, {1, 2}), (std::vector<double>{6, -3}));
}

TEST(SlopeExpression, SaysWhichComponentIsNotFinite) {
    EXPECT_EQ(nonFiniteSlope(compiledSystem({"y1", "1/y2"}), 0.5, std::vector{1.0, 0.0}),
              "y2' is not a finite number at (x, y1, y2) = (0.5, 1, 0)");
    EXPECT_EQ(nonFiniteSlope(compiledSystem({"sqrt(y)"}), 0, std::vector{-4.0}),
              "f(x, y) is not a finite number at (x, y) = (0, -4)");
    EXPECT_EQ(nonFiniteSlope(compiledSystem({"y1", "1/y2"}), 0.5, std::vector{1.0, 2.0}), std::nullopt);
}

TEST(SolutionExpression, EachComponentThroughTheStart) {
    // The rotation y1' = y2, y2' = -y1 through (x0, y1_0, y2_0).
    const std::vector<std::string> texts{"y1_0*cos(w*(x - x0)) + y2_0*sin(w*(x - x0))",
                                         "y2_0*cos(w*(x - x0)) - y1_0*sin(w*(x - x0))"};
    SolutionCompilation compiled =
        compileSolution(texts, parameters("w = 1"), 1, std::vector{2.0, -3.0});
    ASSERT_TRUE(compiled.solution);
    SolutionExpression& exact = *compiled.solution;
    std::array<double, 2> y{};
    exact(1, y);
    EXPECT_EQ(y, (std::array<double, 2>{2, -3}));
    exact.setStart(0, std::vector{1.0, 0.0});
    exact(std::numbers::pi / 2, y);
    EXPECT_NEAR(y[0], 0, 1e-15);
    EXPECT_EQ(y[1], -1);
    const SolutionExpression copy = exact.clone();
    EXPECT_EQ(copy.x0(), 0);
    EXPECT_EQ(copy.y0()[0], 1);
    EXPECT_EQ(copy.texts(), texts);

    const struct {
        std::string_view name;
        std::vector<std::string> texts;
        std::string_view message;
    } refusals[] = {
        {"a start beyond the system", {"y1_0", "y3_0"},
         "exact y2(x): \"y3_0\" at character 1 is not known here: y2(x) may use x, x0, y1_0 and y2_0"},
        {"a component is the slope's", {"y1", "y2_0"},
         "exact y1(x): \"y1\" at character 1 is not known here: y1(x) may use x, x0, y1_0 and y2_0"},
        {"the single equation", {"y1_0"},
         "exact y(x): \"y1_0\" at character 1 is not known here: y(x) may use x, x0 and y0"},
        {"empty", {"y1_0", ""}, "exact y2(x): the box is empty: type a formula such as y2_0*exp(x - x0)"},
    };
    for (const auto& row : refusals) {
        SCOPED_TRACE(row.name);
        const SolutionCompilation refused =
            compileSolution(row.texts, {}, 0, std::vector<double>(row.texts.size(), 1.0));
        EXPECT_FALSE(refused.solution);
        ASSERT_EQ(refused.errors.size(), 1u);
        EXPECT_EQ(refused.errors[0].message, row.message);
    }
}

TEST(SecondOrder, IsRewrittenAsTwoFirstOrderEquations) {
    SecondOrderCompilation compiled = compileSecondOrder(" -y ", {});
    ASSERT_TRUE(compiled.slope);
    EXPECT_EQ(compiled.rewriting,
              "y'' = -y was rewritten as a system of two first-order equations: with y1 = y and y2 = y', "
              "y1' = y2 and y2' = f(x, y1, y2), where f(x, y, y') = -y.");
    const SlopeExpression& oscillator = *compiled.slope;
    EXPECT_EQ(at(oscillator, 0, {1, 0}), (std::vector<double>{0, -1}));
    EXPECT_EQ(at(oscillator, 7, {0.25, -2}), (std::vector<double>{-2, -0.25}));

    // Classical Runge-Kutta over [0, 1] from y = 1, y' = 0 follows cos and -sin.
    std::array<double, 2> y{1, 0};
    const double h = 0.01;
    for (int i = 0; i < 100; ++i) {
        std::array<double, 2> k1{}, k2{}, k3{}, k4{}, s{};
        const double x = i * h;
        oscillator(x, y, k1);
        for (int j = 0; j < 2; ++j) s[j] = y[j] + h / 2 * k1[j];
        oscillator(x + h / 2, s, k2);
        for (int j = 0; j < 2; ++j) s[j] = y[j] + h / 2 * k2[j];
        oscillator(x + h / 2, s, k3);
        for (int j = 0; j < 2; ++j) s[j] = y[j] + h * k3[j];
        oscillator(x + h, s, k4);
        for (int j = 0; j < 2; ++j) y[j] += h / 6 * (k1[j] + 2 * k2[j] + 2 * k3[j] + k4[j]);
    }
    EXPECT_NEAR(y[0], std::cos(1.0), 1e-9);
    EXPECT_NEAR(y[1], -std::sin(1.0), 1e-9);

    // y' and yp are the same name; parameters serve here too.
    const SlopeExpression damped =
        std::move(*compileSecondOrder("-w^2*y - c*y'", parameters("w = 2, c = 0.5")).slope);
    EXPECT_EQ(at(damped, 0, {1, 2}), (std::vector<double>{2, -5}));
    EXPECT_EQ(at(damped.clone(), 0, {1, 2}), (std::vector<double>{2, -5}));
    EXPECT_EQ(at(std::move(*compileSecondOrder("x + yp", {}).slope), 3, {1, 2}),
              (std::vector<double>{2, 5}));
}

TEST(SecondOrder, RefusalsNameItsBox) {
    const struct {
        std::string_view name, text, message;
        std::size_t character;
    } rows[] = {
        {"another name", "-y + z",
         "y'': \"z\" at character 6 is not known here: y'' may use x, y and yp (or y')", 6},
        {"a component of a system", "-y1",
         "y'': \"y1\" at character 2 is not known here: y'' may use x, y and yp (or y')", 2},
        {"y'' is not a name", "-y''", "y'': \"'\" at character 4 is not part of a formula", 4},
        {"a quote elsewhere", "x'", "y'': \"'\" at character 2 is not part of a formula", 2},
        {"empty", "", "y'': the box is empty: type a formula such as -y", 0},
        {"y' quoted as typed", "-y' +", "y'': the formula ends too early: a value should follow \"+\" at character 5",
         5},
        {"y' is a value", "2y'",
         "y'': \"y'\" at character 2 follows a value: an operator such as \"*\" is missing before it", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SecondOrderCompilation compiled = compileSecondOrder(row.text, {});
        EXPECT_FALSE(compiled.slope);
        EXPECT_EQ(compiled.error.message, row.message);
        EXPECT_EQ(compiled.error.character, row.character);
    }
}

TEST(Invariant, IsAFormulaOfXTheComponentsAndTheParameters) {
    InvariantCompilation compiled = compileInvariant("y2^2/2 - cos(y1) + k*x", 2, parameters("k = 3"));
    ASSERT_TRUE(compiled.invariant);
    const InvariantExpression& energy = *compiled.invariant;
    EXPECT_EQ(energy.size(), 2u);
    EXPECT_EQ(energy(1, std::vector{0.0, 2.0}), 4);  // 2 - 1 + 3
    EXPECT_EQ(energy(0, std::vector{std::numbers::pi, -1.0}), 1.5);
    const InvariantExpression copy = energy.clone();
    EXPECT_EQ(copy.text(), "y2^2/2 - cos(y1) + k*x");
    EXPECT_EQ(copy.parameters().text, "k = 3");
    EXPECT_EQ(copy(1, std::vector{0.0, 2.0}), 4);
    // A single equation's reads y, and y1 as the same.
    const InvariantExpression single =
        std::move(*compileInvariant("y*exp(-x) + y1", 1, {}).invariant);
    EXPECT_EQ(single(0, std::vector{2.5}), 5);
    // Six components, each read from its own place.
    const InvariantExpression six =
        std::move(*compileInvariant("y1 + 2*y2 + 4*y3 + 8*y4 + 16*y5 + 32*y6", 6, {}).invariant);
    EXPECT_EQ(six(0, std::vector{1.0, 1.0, 0.0, 1.0, 0.0, 1.0}), 43);
}

TEST(Invariant, RefusalsNameItsBox) {
    const struct {
        std::string_view name, text;
        std::size_t n;
        std::string_view parameters, message;
        std::size_t character;
    } rows[] = {
        {"another name, with a parameter", "y2^2/2 - cos(q)", 2, "a = 1",
         "Invariant: \"q\" at character 14 is not known here: the invariant may use x, y1, y2 and the "
         "parameter a",
         14},
        {"a component beyond the system", "y1 + y3", 2, "",
         "Invariant: \"y3\" at character 6 is not known here: a system of 2 components has y1 and y2", 6},
        {"y alone in a system", "y + y1", 3, "",
         "Invariant: \"y\" at character 1 is not known here: a system of 3 components has y1, y2 and y3", 1},
        {"y' of a second-order equation is y2", "yp^2/2 + y1^2/2", 2, "",
         "Invariant: \"yp\" at character 1 is not known here: the invariant may use x, y1 and y2", 1},
        {"a start", "y1 - y1_0", 2, "",
         "Invariant: \"y1_0\" at character 6 is not known here: the invariant may use x, y1 and y2", 6},
        {"a single equation", "y2", 1, "",
         "Invariant: \"y2\" at character 1 is not known here: the invariant may use x and y", 1},
        {"empty, in a system", " ", 2, "", "Invariant: the box is empty: type a formula such as y1^2 + y2^2", 0},
        {"empty, for a single equation", "", 1, "",
         "Invariant: the box is empty: type a formula such as y*exp(-x)", 0},
        {"a formula ending early", "y1^2 +", 2, "",
         "Invariant: the formula ends too early: a value should follow \"+\" at character 6", 6},
        {"no components", "x", 0, "", "y': a system has 1 to 6 components, not 0", 0},
        {"too many components", "y1", 7, "", "y': a system has 1 to 6 components, not 7", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const InvariantCompilation compiled = compileInvariant(row.text, row.n, parameters(row.parameters));
        EXPECT_FALSE(compiled.invariant);
        EXPECT_EQ(compiled.error.message, row.message);
        EXPECT_EQ(compiled.error.character, row.character);
    }
    EXPECT_EQ(compileInvariant(std::string(1001, '1'), 2, {}).error.message,
              "Invariant: the formula has 1001 characters; a formula may have at most 1000");
}

// Which components are momenta, read off the names each formula uses: a
// position's slope reads only momenta and a momentum's only positions.
TEST(SlopeExpression, ComponentsSplitIntoPositionsAndMomentaWhereTheyCan) {
    const struct {
        const char* name;
        std::vector<std::string> texts;
        std::vector<bool> momentum;  // empty: no split
        std::string whyNot;
    } rows[]{
        {"oscillator", {"y2", "-y1"}, {false, true}, ""},
        {"Kepler", {"y3", "y4", "-y1/(y1^2 + y2^2)^1.5", "-y2/(y1^2 + y2^2)^1.5"}, {false, false, true, true}, ""},
        {"a forced spring", {"y2", "-y1 + cos(x)"}, {false, true}, ""},
        {"a constant component", {"1", "y1"}, {false, true}, ""},
        {"damped", {"y2", "-y1 - 0.5*y2"}, {}, "y2' reads y2"},
        {"Lotka-Volterra", {"y1 - y1*y2", "y1*y2 - y2"}, {}, "y1' reads y1"},
        {"a ring of three", {"y2", "y3", "y1"}, {},
         "the slopes that read each other form a ring of odd length, so two neighbours in it would be of "
         "the same part"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SlopeCompilation compiled = compileSlope(row.texts, {});
        ASSERT_TRUE(compiled.slope);
        const SplitReading* split = compiled.slope->splitReading();
        ASSERT_NE(split, nullptr);
        EXPECT_EQ(split->split ? split->split->momentum : std::vector<bool>{}, row.momentum);
        EXPECT_EQ(split->whyNot, row.whyNot);
    }
    const SplitReading kepler = splitComponents({{false, false, true, false},
                                                 {false, false, false, true},
                                                 {true, true, false, false},
                                                 {true, true, false, false}});
    EXPECT_EQ(splitText(*kepler.split), "the positions are y1 and y2 and the momenta y3 and y4");
    EXPECT_EQ(splitText(ComponentSplit{{false, true}}), "the position is y1 and the momentum y2");
    EXPECT_EQ(splitText(ComponentSplit{{false}}), "y is a position");
    // y'' = f splits where f does not read y'.
    EXPECT_TRUE(compileSecondOrder("-sin(y)", {}).slope->splitReading()->split);
    EXPECT_EQ(compileSecondOrder("-y - yp", {}).slope->splitReading()->whyNot, "y2' reads y2");
}
