// A typed problem: how its boxes are read, how its exact solution is checked,
// and the one equation the lesson's texts and typed ones give.
#include "base/conversions.h"
#include "problem/library.h"
#include "problem/problem.h"
#include "studies/convergence_study.h"
#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

Problem compiled(const ProblemText& text) { return pelorin::testing::compiledProblem(text); }

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
    EXPECT_EQ(read.problem->y0[0], -1);
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
        EXPECT_EQ(static_cast<bool>(compilation.problem->exactOf<double>()), row.kept);
        EXPECT_EQ(texts(compilation.notes), row.notes);
        for (const ProblemMessage& note : compilation.notes) EXPECT_EQ(note.box, ProblemBox::exact);
    }
}

TEST(CompileProblem, TheExactSolutionIsBoundToTheStart) {
    const Problem problem =
        compiled({"", "-2*x - y", "2 - 2*x + (y0 - 2 + 2*x0)*exp(x0 - x)", "0", "-1", "0.4"});
    ASSERT_FALSE(problem.equation.lesson());
    const KnownSolution exact = problem.exactOf<double>();
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact(0), -1);
    // -0.810960138106918, as the lesson's exact table lists it.
    EXPECT_NEAR(exact(0.4), -0.810960138106918, 5e-16);

    const Problem copy = problem.clone();
    EXPECT_NE(copy.equation.slope, problem.equation.slope);
    EXPECT_EQ(copy.slopeOf<double>()(1, 2), -4);
    EXPECT_EQ(copy.exactOf<double>()(0), -1);
    EXPECT_EQ(copy.x1, 0.4);
}

// The lesson's texts give the lesson's own equation, stepped with the
// built-in slope; the same slope typed with another exact solution (or
// none) is compiled, and steps to the same bits, because a formula is
// evaluated as written.
TEST(CompileProblem, TheLessonTypedIsTheLessonsOwnEquation) {
    const Problem lesson = compiled(problemText(problemLibrary.front()));
    EXPECT_TRUE(lesson.equation.lesson());
    EXPECT_FALSE(lesson.comparedWithReference());
    // -0.810960138106918 at 0.4, as the lesson's exact table lists it.
    EXPECT_EQ(numberToText(lesson.exactOf<double>()(0.4)), "-0.810960138106918");

    const Problem typed = compiled({"", " -2*x - y ", "", "0", "-1", "0.4"});
    EXPECT_FALSE(typed.equation.lesson());
    EXPECT_TRUE(typed.comparedWithReference());
    EXPECT_EQ(typed.equation.f, "-2*x - y");
    for (const Method& m : methodCatalogue) {
        SCOPED_TRACE(m.caption);
        double built = -1, compiledY = -1;
        for (int i = 0; i < 4; ++i) {
            built = explicitRungeKutta(m)->step(i * 0.1, built, 0.1, lesson.slopeOf<double>());
            compiledY = explicitRungeKutta(m)->step(i * 0.1, compiledY, 0.1,
                                                    typed.slopeOf<double>());
            ASSERT_EQ(compiledY, built);
        }
    }
}

// Whatever a slope does, the convergence study on it holds finite numbers
// only, and its notes never spell a number that is not finite.
TEST(StudyProblem, HostileSlopesNeverLetANumberThatIsNotFiniteThrough) {
    const std::string_view slopes[] = {
        "1/0", "exp(1000)", "sqrt(-1)", "1/(x - 0.3)", "exp(y)", "y^2", "1e300*y", "y*1e308*1e308",
        "-y/0", "x < 0.5 ? 0 : ln(0)", "tan(x*pi*2)", "1e-320/y",
    };
    for (std::string_view f : slopes) {
        SCOPED_TRACE(f);
        const ConvergenceStudy study = studyProblem(compiled({"", std::string(f), "", "0", "1", "1"}), 4);
        for (const ConvergenceSeries& series : study.series) {
            for (const ConvergencePoint& point : series.points) {
                EXPECT_TRUE(!point.error || std::isfinite(*point.error));
                EXPECT_TRUE(!point.order || std::isfinite(*point.order));
            }
        }
        for (const std::string& note : study.notes) {
            EXPECT_EQ(note.find("nan"), std::string::npos) << note;
            EXPECT_EQ(note.find("inf"), std::string::npos) << note;
        }
    }
}

// A system's boxes as the lab reads them: what cannot be used is refused
// naming its box and character; what is typed but not used is left out
// with a note, and the system goes on without it.
TEST(ReadSystemEquation, RefusesOrLeavesOutWhatCannotBeUsedAndSaysWhy) {
    const auto system = [](std::vector<ComponentText> components, std::string parameters = "",
                           std::string invariant = "") {
        ProblemText text;
        text.form = ProblemForm::system;
        text.components = std::move(components);
        text.parameters = std::move(parameters);
        text.invariant = std::move(invariant);
        return text;
    };
    ProblemText secondOrder;
    secondOrder.form = ProblemForm::secondOrder;
    secondOrder.secondOrder = {"-sin(y) - c*yp", "1", "0", "cos(x)"};
    secondOrder.parameters = "c = 0.5";
    const struct {
        const char* name;
        ProblemText text;
        StateVector y0;
        std::vector<std::string> errors, notes;
        bool exact = false, invariant = false;
    } rows[] = {
        {"y3 in a system of two", system({{"y3", "1", ""}, {"-y1", "0", ""}}), {1, 0},
         {"y1': \"y3\" at character 1 is not known here: a system of 2 components has y1 and y2"}, {}},
        {"a component left empty", system({{"y2", "1", ""}, {"", "0", ""}}), {1, 0},
         {"y2': the box is empty: type a formula such as x*y1 - y2"}, {}},
        {"a parameter given twice", system({{"a*y2", "1", ""}, {"-y1", "0", ""}}, "a = 1, a = 2"),
         {1, 0}, {"Parameters: \"a\" at character 8 is given twice: it is given first at character 1"}, {}},
        {"a parameter not given", system({{"b*y2", "1", ""}, {"-y1", "0", ""}}, "a = 1"), {1, 0},
         {"y1': \"b\" at character 1 is not known here: y1' may use x, y1, y2 and the parameter a"}, {}},
        {"not finite at the start", system({{"1/y1", "0", ""}, {"-y1", "0", ""}}), {0, 0},
         {"y1' is not a finite number at (x, y1, y2) = (0, 0, 0)"}, {}},
        {"an exact solution of one component", system({{"y2", "1", "cos(x)"}, {"-y1", "0", ""}}),
         {1, 0}, {},
         {"exact y2(x) is empty: an exact solution needs every component, so the errors are measured "
          "against a reference solution."}},
        // cos(x) has slope -sin(x), but y1' = y2 = sin(x) there: off by 2·sin(0.125).
        {"a wrong exact solution", system({{"y2", "1", "cos(x)"}, {"-y1", "0", "sin(x)"}}), {1, 0}, {},
         {"The exact solution does not satisfy the equation: d/dx exact y1(x) - y1' is -0.249 at "
          "x = 0.125. It is not used."}},
        {"an exact solution through another start",
         system({{"y2", "1", "2*cos(x)"}, {"-y1", "0", "-2*sin(x)"}}), {1, 0}, {},
         {"The exact solution gives 2 at x0, not y1(x0) = 1: it is not used."}},
        {"an exact solution and an invariant that hold",
         system({{"y2", "1", "cos(x)"}, {"-y1", "0", "-sin(x)"}}, "", "y1^2 + y2^2"), {1, 0}, {}, {},
         true, true},
        {"an invariant in a component the system lacks",
         system({{"y2", "1", ""}, {"-y1", "0", ""}}, "", "y3^2"), {1, 0}, {},
         {"Invariant: \"y3\" at character 1 is not known here: a system of 2 components has y1 and "
          "y2; no drift is shown."}},
        {"y'' = f with an exact y alone", secondOrder, {1, 0}, {},
         {"exact y(x): it is not used, since the lab compares y' as well; to compare with an exact "
          "solution, type the problem as the system y1' = y2, y2' = f with exact y1(x) and y2(x).",
          "y'' = -sin(y) - c*yp was rewritten as a system of two first-order equations: with y1 = y "
          "and y2 = y', y1' = y2 and y2' = f(x, y1, y2), where f(x, y, y') = -sin(y) - c*yp."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const EquationReading read = readEquation(row.text, 0, row.y0, 1);
        std::vector<std::string> errors, notes;
        for (const FormulaError& error : read.errors) errors.push_back(error.message);
        for (const FormulaError& note : read.notes) notes.push_back(note.message);
        EXPECT_EQ(errors, row.errors);
        EXPECT_EQ(notes, row.notes);
        EXPECT_EQ(read.equation.has_value(), row.errors.empty());
        if (!read.equation) continue;
        EXPECT_EQ(read.equation->exact != nullptr, row.exact);
        EXPECT_EQ(read.equation->invariant != nullptr, row.invariant);
    }
}

// A typed invariant is checked, not believed: dI/dx = ∂I/∂x + ∇I·F must
// vanish at the start and at the eight points near it (x1 = 20: point 1 lies
// at x = 2.5, its components moved by max(1, |y0_k|)/4 times 0.5 and -0.3).
// The damped pendulum y2' = -sin(y1) - y2/2 loses energy at the rate
// dI/dx = -y2²/2: 0 at its start (2, 0), but -0.075²/2 = -0.0028125 at
// point 1, (2 + 0.5·0.5, 0 - 0.25·0.3) = (2.25, -0.075). The oscillator's
// energy with a wrong sign, y2²/2 - y1²/2, changes at the rate -2·y1·y2:
// -2·1.125·(-0.075) = 0.16875 at point 1. I = y1·e^x on y1' = -y1 is kept
// through its x; √y1 is not defined at the points with y1 below 0, which
// are passed over.
TEST(CheckInvariant, AnInvariantTheSystemDoesNotKeepIsSaidSoWithItsRateOfChange) {
    const struct {
        const char* name;
        std::vector<ComponentText> components;
        std::string invariant;
        std::string note;  // empty: the invariant holds
    } rows[] = {
        {"the pendulum keeps its energy", {{"y2", "2", ""}, {"-sin(y1)", "0", ""}}, "y2^2/2 - cos(y1)", ""},
        {"the oscillator keeps its energy", {{"y2", "1", ""}, {"-y1", "0", ""}}, "y2^2/2 + y1^2/2", ""},
        {"Lotka-Volterra keeps its invariant",
         {{"2/3*y1 - 4/3*y1*y2", "1", ""}, {"y1*y2 - y2", "1", ""}},
         "y1 - ln(y1) + 4/3*y2 - 2/3*ln(y2)", ""},
        {"an invariant in x", {{"-y1", "1", ""}, {"y1", "0", ""}}, "y1*exp(x)", ""},
        {"an invariant defined for y1 >= 0 only", {{"0", "0.1", ""}, {"1", "0", ""}}, "sqrt(y1)", ""},
        {"the damped pendulum loses energy", {{"y2", "2", ""}, {"-sin(y1) - 0.5*y2", "0", ""}},
         "y2^2/2 - cos(y1)",
         "The invariant I = y2^2/2 - cos(y1) is not kept by this system: dI/dx = \u2202I/\u2202x + "
         "\u2207I\u00b7F is -0.00281 at x = 2.5, y = (2.25, -0.075), not 0. The Field page plots "
         "I(x_i, y_i) \u2212 I(x_i, y(x_i)), each run's I less the reference solution's at the "
         "same x: the method's error in I, without the solution's own change of I."},
        {"the oscillator's energy with a wrong sign", {{"y2", "1", "cos(x)"}, {"-y1", "0", "-sin(x)"}},
         "y2^2/2 - y1^2/2",
         "The invariant I = y2^2/2 - y1^2/2 is not kept by this system: dI/dx = \u2202I/\u2202x + "
         "\u2207I\u00b7F is 0.169 at x = 2.5, y = (1.125, -0.075), not 0. The Field page plots "
         "I(x_i, y_i) \u2212 I(x_i, y(x_i)), each run's I less the exact solution's at the same "
         "x: the method's error in I, without the solution's own change of I."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ProblemText text;
        text.form = ProblemForm::system;
        text.components = row.components;
        text.invariant = row.invariant;
        StateVector y0(row.components.size());
        for (std::size_t k = 0; k < y0.size(); ++k) y0[k] = std::stod(row.components[k].start);
        const EquationReading read = readEquation(text, 0, y0, 20);
        ASSERT_TRUE(read.equation);
        std::vector<std::string> notes;
        for (const FormulaError& note : read.notes) notes.push_back(note.message);
        EXPECT_EQ(notes, row.note.empty() ? std::vector<std::string>{} : std::vector{row.note});
        // Kept or not, the quantity stays for the Field page; only a kept one
        // is the problem's invariant.
        const Problem problem{"", *read.equation, 0, y0, 20};
        EXPECT_TRUE(problem.typedInvariant());
        EXPECT_EQ(static_cast<bool>(problem.invariant()), row.note.empty());
    }
}

// A single equation takes its invariant, in x and y, as a system does: y' = y
// keeps y·e^(-x), and y' = -2x - y, the lesson's, keeps (y + 2x - 2)·e^x, its
// solutions being 2 - 2x + C·e^(-x). y² changes at the rate 2y·y = 2 at the
// start (0, 1) of y' = y; y at the rate f = -2·0 - 1 = -1 at the lesson's.
// The lesson stays the lesson's own equation, f1 and its closed form, with
// the invariant beside it.
TEST(CheckInvariant, ASingleEquationTakesItsInvariantInXAndY) {
    const struct {
        const char* name;
        std::string f, exact, invariant;
        std::string note;  // empty: the invariant holds
    } rows[] = {
        {"growth keeps y*exp(-x)", "y", "", "y*exp(-x)", ""},
        {"the lesson keeps its own", "-2*x - y", std::string(problemLibrary.front().exact),
         "(y + 2*x - 2)*exp(x)", ""},
        {"growth does not keep y^2", "y", "", "y^2",
         "The invariant I = y^2 is not kept by this equation: dI/dx = \u2202I/\u2202x + "
         "\u2202I/\u2202y\u00b7f is 2 at x = 0, y = 1, not 0. The Field page plots "
         "I(x_i, y_i) \u2212 I(x_i, y(x_i)), each run's I less the reference solution's at the "
         "same x: the method's error in I, without the solution's own change of I."},
        {"the lesson does not keep y", "-2*x - y", std::string(problemLibrary.front().exact), "y",
         "The invariant I = y is not kept by this equation: dI/dx = \u2202I/\u2202x + "
         "\u2202I/\u2202y\u00b7f is -1 at x = 0, y = 1, not 0. The Field page plots "
         "I(x_i, y_i) \u2212 I(x_i, y(x_i)), each run's I less the exact solution's at the same "
         "x: the method's error in I, without the solution's own change of I."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EquationReading read = readEquation(row.f, row.exact, 0, 1);
        ASSERT_TRUE(read.equation);
        const bool lesson = row.f == problemLibrary.front().f;
        EXPECT_EQ(read.equation->lesson(), lesson);
        std::vector<FormulaError> notes;
        addInvariant(*read.equation, row.invariant, {}, 0, {1.0}, 20, notes);
        std::vector<std::string> said;
        for (const FormulaError& note : notes) said.push_back(note.message);
        EXPECT_EQ(said, row.note.empty() ? std::vector<std::string>{} : std::vector{row.note});
        EXPECT_EQ(read.equation->lesson(), lesson);
        const Problem problem{"", *read.equation, 0, {1.0}, 20};
        EXPECT_EQ(problem.invariantText(), row.invariant);
        EXPECT_TRUE(problem.typedInvariant());
        EXPECT_EQ(static_cast<bool>(problem.invariant()), row.note.empty());
    }
}

// A system of one component is the single equation: the same slope bits,
// and the same exact solution, through the problem's system view.
TEST(Problem, ASingleEquationIsASystemOfOneComponent) {
    const Problem lesson = pelorin::testing::lessonAt(0, -1, 2);
    const Problem typed = pelorin::testing::typedProblem("y*(1 - y) + sin(x)", 0, 0.25, 2);
    for (const Problem* problem : {&lesson, &typed}) {
        EXPECT_EQ(problem->components(), 1u);
        for (double x : {0.0, 0.3, 1.7}) {
            for (double y : {-1.0, 0.25, 3.5}) {
                EXPECT_EQ(problem->slopeOf<StateVector>()(x, StateVector{y})[0],
                          problem->slopeOf<double>()(x, y));
            }
        }
    }
    EXPECT_EQ(lesson.exactOf<StateVector>()(1.5)[0], lesson.exactOf<double>()(1.5));
    EXPECT_FALSE(lesson.autonomous());
    EXPECT_FALSE(typed.autonomous());
    EXPECT_TRUE(pelorin::testing::typedProblem("y*(1 - y)", 0, 0.25, 2).autonomous());
}

namespace {

// y1' = y2, y2' = -y1 - c*y2 with its parameters and invariant as typed,
// from (0; 1, y2(0)) to x1 = 1.
Problem dampedOscillator(const std::string& parameters, const std::string& y2Start = "0",
                         const std::string& invariant = "") {
    ProblemText text;
    text.form = ProblemForm::system;
    text.parameters = parameters;
    text.invariant = invariant;
    text.components = {{"y2", "1", ""}, {"-y1 - c*y2", y2Start, ""}};
    const StateVector y0{1, std::stod(y2Start)};
    EquationReading read = readEquation(text, 0, y0, 1);
    if (!read.equation) throw std::invalid_argument(read.errors.front().message);
    return {"", std::move(*read.equation), 0, y0, 1};
}

}  // namespace

// The same problem is the one compiled again from the same texts, whatever
// its name or invariant; another start, end, slope, exact solution or
// parameter value poses other solutions, although the texts of a system's
// slopes stay.
TEST(SameProblem, IsTheSameStartEndSlopesParametersAndExactSolution) {
    const ProblemText logistic{"Logistic", "y*(1 - y)", "y0/(y0 + (1 - y0)*exp(-(x - x0)))",
                               "0", "0.1", "6"};
    const ProblemText typed{"", "y*(1 - y)", "", "0", "0.1", "6"};
    const ProblemText lesson = problemText(problemLibrary.front());
    const auto changed = [](ProblemText text, std::string ProblemText::*box, std::string typed) {
        text.*box = std::move(typed);
        return compiled(text);
    };
    const struct {
        std::string_view name;
        Problem a, b;
        bool same;
    } rows[] = {
        {"compiled twice from the same texts", compiled(logistic), compiled(logistic), true},
        {"named otherwise", compiled(logistic), changed(logistic, &ProblemText::name, "Mine"),
         true},
        {"the lesson's texts twice", compiled(lesson), compiled(lesson), true},
        {"another x0", compiled(logistic), changed(logistic, &ProblemText::x0, "0.5"), false},
        {"another y0", compiled(logistic), changed(logistic, &ProblemText::y0, "0.2"), false},
        {"another x1", compiled(logistic), changed(logistic, &ProblemText::x1, "5"), false},
        {"another slope", compiled(typed), changed(typed, &ProblemText::f, "y*(2 - y)"), false},
        {"the exact solution left out", compiled(logistic),
         changed(logistic, &ProblemText::exact, ""), false},
        {"the exact solution written otherwise", compiled(logistic),
         changed(logistic, &ProblemText::exact, "y0/(y0 + (1 - y0)*exp(x0 - x))"), false},
        {"the lesson's slope typed without its exact solution", compiled(lesson),
         changed(lesson, &ProblemText::exact, ""), false},
        {"a system compiled twice", dampedOscillator("c = 0.5"), dampedOscillator("c = 0.5"),
         true},
        {"a system with another invariant", dampedOscillator("c = 0.5"),
         dampedOscillator("c = 0.5", "0", "y1^2 + y2^2"), true},
        {"a system with another parameter value", dampedOscillator("c = 0.5"),
         dampedOscillator("c = 1"), false},
        {"a system with another start", dampedOscillator("c = 0.5"),
         dampedOscillator("c = 0.5", "0.5"), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(sameProblem(row.a, row.b), row.same);
        EXPECT_EQ(sameProblem(row.b, row.a), row.same);
    }
}
