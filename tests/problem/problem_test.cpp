// A typed problem: how its boxes are read, how its exact solution is checked,
// and runs over it that stop, in words, where a number stops being finite.
#include "problem/problem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

const Method& method(std::string_view caption) {
    for (const Method& m : methodCatalogue) {
        if (m.caption == caption) return m;
    }
    throw std::invalid_argument(std::string(caption));
}

Problem compiled(const ProblemText& text) {
    ProblemCompilation compilation = compileProblem(text);
    if (!compilation.problem) throw std::invalid_argument(compilation.errors.front().text);
    return std::move(*compilation.problem);
}

std::vector<std::string> texts(const std::vector<ProblemMessage>& messages) {
    std::vector<std::string> texts;
    for (const ProblemMessage& message : messages) texts.push_back(message.text);
    return texts;
}

}  // namespace

TEST(CompileProblem, ReadsNumbersStrictlyAndNamesEveryBoxThatCannotBeUsed) {
    const struct {
        std::string_view name;
        ProblemText text;
        std::vector<std::string> errors;
    } rows[] = {
        {"everything usable", {"", "-2*x - y", "", "0", "\u22121", "1E0"}, {}},
        {"comma for decimals", {"", "-2*x - y", "", "0,5", "-1", "1"},
         {"x0: \"0,5\" is not a number: use a point, not a comma, for decimals"}},
        {"a number followed by letters", {"", "-2*x - y", "", "0", "1abc", "1"},
         {"y0: \"1abc\" is not a number"}},
        {"empty end", {"", "-2*x - y", "", "0", "1", " "}, {"x1: the box is empty: type a number"}},
        {"beyond a double", {"", "-2*x - y", "", "0", "1", "1e999"},
         {"x1: \"1e999\" is too large for a number"}},
        {"a control character is escaped", {"", "-2*x - y", "", "0\x07", "1", "2"},
         {"x0: \"0\\x07\" is not a number"}},
        // 0xFF starts no character, however many continuation bytes follow.
        {"bytes that are not text are escaped", {"", "-2*x - y", "", "0", "1", "\xff\xb8\xb8\xb8"},
         {"x1: \"\\xFF\\xB8\\xB8\\xB8\" is not a number"}},
        {"an overlong form is escaped", {"", "-2*x - y", "", "0", "1", "\xc0\xaf"},
         {"x1: \"\\xC0\\xAF\" is not a number"}},
        {"several boxes at once, in the order of the boxes", {"", "x + ", "", "a", "1", "b"},
         {"f(x, y): the formula ends too early: a value should follow \"+\" at character 3",
          "x0: \"a\" is not a number", "x1: \"b\" is not a number"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProblemCompilation compilation = compileProblem(row.text);
        EXPECT_EQ(texts(compilation.errors), row.errors);
        EXPECT_EQ(compilation.problem.has_value(), row.errors.empty());
    }
    const ProblemCompilation read = compileProblem({" Lesson ", "-2*x - y", "", "0", "\u22121", "1E0"});
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(read.problem->name, "Lesson");
    EXPECT_EQ(read.problem->x0, 0);
    EXPECT_EQ(read.problem->y0, -1);
    EXPECT_EQ(read.problem->x1, 1);
}

TEST(CompileProblem, TheMessageOfAFormulaPlacesItsCursor) {
    const ProblemCompilation compilation = compileProblem({"", "x + t", "", "0", "1", "1"});
    ASSERT_EQ(compilation.errors.size(), 1u);
    EXPECT_EQ(compilation.errors[0].box, ProblemBox::f);
    EXPECT_EQ(compilation.errors[0].character, 5u);
}

// A typed exact solution is checked, not believed; one that fails keeps the
// problem, without an exact solution, and says which check failed by how much.
TEST(CompileProblem, AnExactSolutionIsCheckedNotBelieved) {
    const struct {
        std::string_view name;
        ProblemText text;
        bool kept;
        std::vector<std::string> notes;
    } rows[] = {
        {"the lesson's solution through any start",
         {"", "-2*x - y", "2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))", "0.5", "3", "2"}, true, {}},
        {"the textbook's solution far from zero",
         {"", "y - x^2 + 1", "(x + 1)^2 + (y0 - (x0 + 1)^2)*exp(x - x0)", "10000", "0.5", "10001"},
         true, {}},
        {"wrong at the start",
         {"", "-2*x - y", "2 - 2*x - 1.5*exp(-x)", "0", "1", "1"}, false,
         {"The exact solution gives 0.5 at x0, not y0 = 1: it is not used."}},
        // At x = 1/8: y' - f(x, y) = 2e^(-1/4) - e^(-1/4) = 0.7788...
        {"right start, wrong equation",
         {"", "-2*x - y", "2 - 2*x + (y0 - 2 + 2*x0)*exp(-2*(x - x0))", "0", "1", "1"}, false,
         {"The exact solution does not satisfy the equation: y' - f(x, y) is 0.779 at x = 0.125. "
          "It is not used."}},
        {"not finite at the start", {"", "1/x", "ln(x)", "0", "1", "1"}, false,
         {"The exact solution gives no finite number at x0 = 0: it is not used."}},
        {"not a formula", {"", "y", "y0*exp(x - x0", "0", "1", "1"}, false,
         {"exact y(x): \"(\" at character 7 has no \")\" after it. It is not used."}},
        {"empty means none", {"", "y", "  ", "0", "1", "1"}, false, {}},
        // (x1 - x0)·7 overflows although (x1 - x0)·7/8 does not.
        {"a range near the largest double", {"", "y", "0", "3", "0", "1e308"}, true, {}},
        {"a range beyond a double", {"", "0", "y0", "-1e308", "1", "1e308"}, false,
         {"The exact solution cannot be checked: x0 and x1 are too far apart. It is not used."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProblemCompilation compilation = compileProblem(row.text);
        ASSERT_TRUE(compilation.problem);
        EXPECT_EQ(compilation.problem->exact.has_value(), row.kept);
        EXPECT_EQ(texts(compilation.notes), row.notes);
        for (const ProblemMessage& note : compilation.notes) EXPECT_EQ(note.box, ProblemBox::exact);
    }
}

TEST(CompileProblem, TheExactSolutionIsBoundToTheStart) {
    const Problem problem =
        compiled({"", "-2*x - y", "2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))", "0", "-1", "0.4"});
    ASSERT_TRUE(problem.exact);
    EXPECT_EQ((*problem.exact)(0), -1);
    // -0.810960138106918, as the lesson's exact table lists it.
    EXPECT_NEAR((*problem.exact)(0.4), -0.810960138106918, 5e-16);

    const Problem copy = problem.clone();
    EXPECT_EQ(copy.slope(1, 2), -4);
    EXPECT_EQ((*copy.exact)(0), -1);
    EXPECT_EQ(copy.x1, 0.4);
}

TEST(RunProblem, TheLessonTypedRunsAsTheBuiltInSlope) {
    const Problem typed = compiled({"", "-2*x - y", "", "0", "-1", "0.4"});
    for (const Method& m : methodCatalogue) {
        SCOPED_TRACE(m.caption);
        const ProblemRun run = runProblem(m, typed, 4);
        EXPECT_EQ(run.note, "");
        ASSERT_EQ(run.y.size(), 5u);
        double y = -1;
        for (int i = 0; i < 4; ++i) {
            y = m.step(i * 0.1, y, 0.1, f1);
            EXPECT_EQ(run.y[static_cast<std::size_t>(i) + 1], y);
        }
        EXPECT_EQ(run.x.back(), 0.4);
        EXPECT_EQ(runProblemToEnd(m, typed, 4).y, y);
    }
}

TEST(RunProblem, StopsAtTheFirstSlopeThatIsNotFiniteAndSaysWhere) {
    const struct {
        std::string_view name, method;
        ProblemText text;
        long steps;
        std::string note;
        std::size_t points;
    } rows[] = {
        {"division by zero", "Runge-Kutta 4", {"", "1/0", "", "0", "1", "1"}, 8,
         "Runge-Kutta 4 stopped at step 1: the slope is not a finite number at (x, y) = (0, 1).", 1},
        {"overflow", "Euler", {"", "exp(1000)", "", "0", "1", "1"}, 8,
         "Euler stopped at step 1: the slope is not a finite number at (x, y) = (0, 1).", 1},
        {"outside the domain", "Euler (Mid point)", {"", "sqrt(-y)", "", "0", "1", "1"}, 8,
         "Euler (Mid point) stopped at step 1: the slope is not a finite number at (x, y) = (0, 1).",
         1},
        // y = 0, 0, -0.25 after the steps from x = 0, 0.25; then x/(x - 0.5) at 0.5.
        {"a pole on the way", "Euler", {"", "x/(x - 0.5)", "", "0", "0", "1"}, 4,
         "Euler stopped at step 3: the slope is not a finite number at (x, y) = (0.5, -0.25).", 3},
        // y' = y^2 from 1 escapes to infinity at x = 1; Euler follows it until
        // y^2 overflows (worked out step by step in double precision).
        {"blow-up", "Euler", {"", "y^2", "", "0", "1", "3"}, 30,
         "Euler stopped at step 22: the slope is not a finite number at (x, y) = "
         "(2.1, 3.19158186462347E+206).",
         22},
        {"a range no step can divide", "Euler", {"", "y", "", "-1e308", "1", "1e308"}, 4,
         "x0 and x1 are too far apart to divide into steps: no run is possible. Move them closer "
         "together.",
         1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Problem problem = compiled(row.text);
        const ProblemRun run = runProblem(method(row.method), problem, row.steps);
        EXPECT_EQ(run.note, row.note);
        EXPECT_EQ(run.y.size(), row.points);
        EXPECT_EQ(run.x.size(), run.y.size());
        const EndValue end = runProblemToEnd(method(row.method), problem, row.steps);
        EXPECT_FALSE(end.y);
        EXPECT_EQ(end.note, row.note);
    }
}

// Whatever a slope does, a run holds finite numbers only, and a note says in
// words why it stopped.
TEST(RunProblem, HostileSlopesNeverLetANumberThatIsNotFiniteThrough) {
    const std::string_view slopes[] = {
        "1/0", "exp(1000)", "sqrt(-1)", "1/(x - 0.3)", "exp(y)", "y^2", "1e300*y", "y*1e308*1e308",
        "-y/0", "x < 0.5 ? 0 : ln(0)", "tan(x*pi*2)", "1e-320/y",
    };
    for (std::string_view f : slopes) {
        const Problem problem = compiled({"", std::string(f), "", "0", "1", "1"});
        for (const Method& m : methodCatalogue) {
            SCOPED_TRACE(std::string(f) + ", " + std::string(m.caption));
            const ProblemRun run = runProblem(m, problem, 16);
            for (double v : run.x) EXPECT_TRUE(std::isfinite(v));
            for (double v : run.y) EXPECT_TRUE(std::isfinite(v));
            if (run.note.empty()) {
                EXPECT_EQ(run.y.size(), 17u);
            } else {
                EXPECT_TRUE(run.note.starts_with(std::string(m.caption) + " stopped at step "));
                EXPECT_EQ(run.note.find("nan"), std::string::npos);
                EXPECT_EQ(run.note.find("inf"), std::string::npos);
            }
        }
    }
}

// y' = y - x^2 + 1, y(0) = 0.5 on [0, 2]: a nonlinear-in-x problem on which
// the methods part ways. Each error is measured against y(2) = 9 - e^2/2.
TEST(RunProblem, TheTextbookProblemShowsEveryMethodsOrder) {
    const Problem problem = compiled({"", "y - x^2 + 1", "", "0", "0.5", "2"});
    const double exactAtEnd = 5.305471950534674886;  // 9 - e^2/2, worked out to 40 digits
    const int orders[] = {1, 2, 2, 4, 5, 4, 4};
    std::vector<double> errorsAt32;
    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        const Method& m = methodCatalogue[row];
        SCOPED_TRACE(m.caption);
        const double coarse = std::fabs(*runProblemToEnd(m, problem, 32).y - exactAtEnd);
        const double fine = std::fabs(*runProblemToEnd(m, problem, 64).y - exactAtEnd);
        EXPECT_NEAR(std::log2(coarse / fine), orders[row], 0.1);
        errorsAt32.push_back(coarse);
    }
    // Unlike on the lesson's linear equation, the end-point and mid-point
    // methods give different errors here.
    EXPECT_GT(std::fabs(errorsAt32[1] - errorsAt32[2]), 0.1 * errorsAt32[1]);
}

// y' = -50(y - cos x): Euler is stable only for h below 2/50.
TEST(RunProblem, EulerOnTheStiffProblemGrowsWithAStepAboveTwoFiftieths) {
    const Problem stiff = compiled({"", "-50*(y - cos(x))", "", "0", "0", "1"});
    const ProblemRun unstable = runProblem(method("Euler"), stiff, 20);  // h = 0.05
    ASSERT_EQ(unstable.note, "");
    // The distance from the slowly moving solution (near cos x) grows by
    // |1 - 50h| = 1.5 a step.
    for (std::size_t i = 8; i < unstable.y.size(); ++i) {
        EXPECT_GT(std::fabs(unstable.y[i] - std::cos(unstable.x[i])),
                  std::fabs(unstable.y[i - 1] - std::cos(unstable.x[i - 1])));
    }
    EXPECT_GT(std::fabs(unstable.y.back()), 100);

    // With h = 0.025 the first step overshoots to 1.25, then the distance
    // shrinks by |1 - 50h| = 0.25 a step.
    const ProblemRun stable = runProblem(method("Euler"), stiff, 40);
    for (double y : stable.y) EXPECT_LE(std::fabs(y), 1.25);
    EXPECT_LT(std::fabs(stable.y.back() - std::cos(1.0)), 0.05);
}
