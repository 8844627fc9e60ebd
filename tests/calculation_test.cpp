// Pressing CALCULATE: the lines the results list gains, the tables behind the
// plot, and the errors that stop a calculation.
#include "base/conversions.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

#include <optional>

using namespace pelorin;
using pelorin::testing::Press;
using Lines = std::vector<std::string>;

TEST(Calculate, DefaultInputsWithEuler) {
    Press press;
    EXPECT_EQ(press.calculate(), (Lines{" ", "Euler Method", " ", "0.4    -0.6"}));
    EXPECT_TRUE(press.window.errors.empty());
    EXPECT_EQ(press.solutions.numerical.last(), 1);

    const SolutionTable& exact = press.solutions.exact;
    ASSERT_EQ(exact.last(), 10);
    EXPECT_EQ(exact.x(10), 0.39999999999999997);
    EXPECT_EQ(exact.y(0), -1.0);
    EXPECT_EQ(numberToText(exact.y(5)), "-0.856192259233945");
    EXPECT_EQ(numberToText(exact.y(10)), "-0.810960138106918");
}

TEST(Calculate, RungeKutta4WithStepPointOne) {
    Press press;
    press.window.h = "0.1";
    press.window.select("Runge-Kutta 4");
    EXPECT_EQ(press.calculate(),
              (Lines{" ", "Runge-Kutta-4 Method", " ", "0.1    -0.9145125",
                     "0.2    -0.85619270421875", "0.3    -0.822455266003533",
                     "0.4    -0.810960866752472"}));
    EXPECT_EQ(press.solutions.numerical.last(), 4);
}

TEST(Calculate, EveryMethodListsItsHeading) {
    for (const Method& m : methodCatalogue) {
        SCOPED_TRACE(m.caption);
        Press press;
        press.window.select(m.caption);
        const Lines lines = press.calculate();
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[1], m.heading);
    }
}

TEST(Calculate, RoundingCanAddAStep) {
    // The eighth abscissa is 0.39999999999999997, so a ninth step is taken.
    Press press;
    press.window.h = "0.05";
    EXPECT_EQ(press.calculate(),
              (Lines{" ", "Euler Method", " ", "0.05    -0.95", "0.1    -0.9075",
                     "0.15    -0.872125", "0.2    -0.84351875", "0.25    -0.8213428125",
                     "0.3    -0.805275671875", "0.35    -0.79501188828125",
                     "0.4    -0.790261293867187", "0.45    -0.790748229173828"}));
    EXPECT_TRUE(press.window.errors.empty());
}

TEST(Calculate, ExactTableKeepsTheEleventhPointOnlyIfItIsNotPastX1) {
    struct Row {
        const char* x0;
        const char* x1;
        int last;
    };
    for (const Row& row : {Row{"0", "0.4", 10}, Row{"0", "1", 10}, Row{"0", "0.3", 9},
                           Row{"0", "0.6", 9}, Row{"1", "2", 9}}) {
        SCOPED_TRACE(std::string(row.x0) + " to " + row.x1);
        Press press;
        press.window.x0 = row.x0;
        press.window.x1 = row.x1;
        press.window.h = "1";
        press.calculate();
        EXPECT_EQ(press.solutions.exact.last(), row.last);
    }
}

TEST(Calculate, ExactSolutionPassesThroughTheUsersStart) {
    Press press;
    press.window.x0 = "1";
    press.window.y0 = "2";
    press.window.x1 = "2";
    press.window.h = "1";
    press.calculate();
    const SolutionTable& exact = press.solutions.exact;
    // Through (1, 2): y = 2 - 2x + 2e^-(x - 1).
    EXPECT_EQ(exact.y(0), 2.0);
    EXPECT_EQ(numberToText(exact.y(5)), "0.213061319425266");
}

TEST(Calculate, StartOnTheLineTwoMinusTwoXStaysOnItFarBelowX0) {
    // y0 = 2 - 2x0 leaves no exponential term; e^800 would overflow, but the
    // exact solution is the line 2 - 2x all the same.
    Press press;
    press.window.enter("0", "2", "-800", "0.4");
    EXPECT_EQ(press.calculate(), (Lines{" ", "Euler Method", " "}));
    EXPECT_TRUE(press.window.errors.empty());
    ASSERT_EQ(press.solutions.exact.last(), 10);
    EXPECT_EQ(numberToText(press.solutions.exact.x(10)), "-800");
    EXPECT_EQ(numberToText(press.solutions.exact.y(10)), "1602");
}

TEST(Calculate, EndBelowStartListsOnlyTheHeading) {
    Press press;
    press.window.x1 = "-0.4";
    EXPECT_EQ(press.calculate(), (Lines{" ", "Euler Method", " "}));
    EXPECT_EQ(press.solutions.numerical.last(), 0);
    const SolutionTable& exact = press.solutions.exact;
    ASSERT_EQ(exact.last(), 10);
    EXPECT_EQ(numberToText(exact.x(1)), "-0.04");
    EXPECT_EQ(numberToText(exact.x(10)), "-0.4");
}

TEST(Calculate, TwoPressesAppendTwoBlocks) {
    Press press;
    press.calculate();
    press.window.select("Runge-Kutta 4");
    press.calculate();
    EXPECT_EQ(press.window.lines,
              (Lines{" ", "Euler Method", " ", "0.4    -0.6", " ", "Runge-Kutta-4 Method", " ",
                     "0.4    -0.8112"}));
}

TEST(Calculate, InputsReadOnlyTheirLeadingNumber) {
    Press press;
    press.window.x0 = "abc";   // 0
    press.window.x1 = "1,5";   // 1
    press.window.h = "0.5 please";
    EXPECT_EQ(press.calculate(),
              (Lines{" ", "Euler Method", " ", "0.5    -0.5", "1    -0.75"}));
}

struct FailureRow {
    const char* name;
    const char* x0;
    const char* y0;
    const char* x1;
    const char* h;
    std::size_t linesBeforeError;
    const char* messageSays;
};

TEST(Calculate, FailuresStopTheCalculationAndKeepTheLines) {
    const std::vector<FailureRow> rows{
        {"empty range", "0", "-1", "0", "0.4", 0, "x0 and x1 are equal"},
        {"h too small for ten steps", "0", "-1", "0.4", "0.04", 13, "More than 10 steps"},
        {"zero step", "0", "-1", "0.4", "0", 13, "With h = 0"},
        {"negative step", "0", "-1", "0.4", "-0.1", 13, "negative h"},
        {"step vanishes beside x0", "1e17", "-1", "1.00000000000001e17", "1", 13,
         "More than 10 steps"},
        {"x0 beyond a double", "1e400", "-1", "0.4", "0.4", 0, "entered for x0 is too large"},
        {"h beyond a double", "0", "-1", "0.4", "-1e999", 0, "entered for h is too large"},
        {"range beyond a double", "-1e308", "-1", "1e308", "1e307", 0, "too large"},
        {"solution overflows", "0", "1e306", "100", "10", 5, "At step 3 the numbers grew too large"},
    };
    for (const FailureRow& row : rows) {
        SCOPED_TRACE(row.name);
        Press press;
        press.window.enter(row.x0, row.y0, row.x1, row.h);
        EXPECT_EQ(press.calculate().size(), row.linesBeforeError);
        ASSERT_EQ(press.window.errors.size(), 1u);
        EXPECT_NE(press.window.errors[0].find(row.messageSays), std::string::npos)
            << press.window.errors[0];
        EXPECT_EQ(press.canvas.clears, 0) << "the plot must not be drawn";
    }
}

TEST(Calculate, TooSmallAStepListsTenStepsThenStops) {
    Press press;
    press.window.h = "0.04";
    const Lines lines = press.calculate();
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[3], "0.04    -0.96");
    EXPECT_EQ(lines[12], "0.4    -0.794497907974503");
    EXPECT_EQ(press.window.errors,
              (Lines{"More than 10 steps would be needed to get from x0 to x1 with h = 0.04. "
                     "Enter a larger h: one calculation lists at most 10 steps."}));

    // The program carries on: the default calculation works as before.
    press.window.h = "0.4";
    EXPECT_EQ(press.calculate(), (Lines{" ", "Euler Method", " ", "0.4    -0.6"}));
    EXPECT_EQ(press.window.errors.size(), 1u);
}

TEST(Calculate, KeepsWhatItReadAndWhereItStopped) {
    struct Row {
        const char* name;
        const char* x0;
        const char* y0;
        const char* x1;
        const char* h;
        std::optional<Stage> failedStage;
        std::vector<std::optional<double>> values;  // x0, y0, x1, h as read
        int steps;                                   // last index of the numerical table
    };
    const std::vector<Row> rows{
        {"default inputs", "0", "-1", "0.4", "0.4", std::nullopt, {0, -1, 0.4, 0.4}, 1},
        {"text read leniently", "0abc", "-1", "0.4", "0.2x", std::nullopt, {0, -1, 0.4, 0.2}, 2},
        {"h beyond a double", "0", "-1", "0.4", "1e999", Stage::reading,
         {0, -1, 0.4, std::nullopt}, -1},
        {"y0 beyond a double stops the reading there", "0", "1e999", "0.4", "0.4",
         Stage::reading, {0, std::nullopt, std::nullopt, std::nullopt}, -1},
        {"empty range", "0", "-1", "0", "0.4", Stage::exact, {0, -1, 0, 0.4}, -1},
        {"too small a step", "0", "-1", "0.4", "0.04", Stage::numerical, {0, -1, 0.4, 0.04}, 10},
        {"too large to plot", "0", "1e39", "0.4", "0.4", Stage::plot, {0, 1e39, 0.4, 0.4}, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Press press;
        press.window.enter(row.x0, row.y0, row.x1, row.h);
        press.calculate();
        EXPECT_EQ(press.last.text(Input::x0), row.x0);
        EXPECT_EQ(press.last.text(Input::y0), row.y0);
        for (Input box : inputs) {
            EXPECT_EQ(press.last.value(box), row.values[static_cast<std::size_t>(box)])
                << inputName(box);
        }
        EXPECT_EQ(press.last.failedStage, row.failedStage);
        EXPECT_EQ(press.last.failure.empty(), !row.failedStage);
        EXPECT_EQ(press.solutions.numerical.last(), row.steps);
        // The method is known once the steps begin.
        if (row.failedStage != Stage::reading && row.failedStage != Stage::exact) {
            ASSERT_NE(press.last.method, nullptr);
            EXPECT_EQ(press.last.method->heading, "Euler Method");
        }
    }
}

TEST(Calculate, NoMethodSelectedListsAnEmptyHeadingAndStops) {
    Press press;
    press.window.selectedRow = methodCatalogue.size();  // none of the rows
    EXPECT_EQ(press.calculate(), (Lines{" ", "", " "}));
    EXPECT_EQ(press.window.errors, (Lines{"Choose a method before pressing CALCULATE."}));
    EXPECT_EQ(press.last.method, nullptr);
    EXPECT_EQ(press.last.failedStage, Stage::numerical);
}
