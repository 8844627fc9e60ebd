// The "Steps and errors" rows of a calculation: inputs, then exactly the
// cells the window shows. Expected texts were worked out apart from the
// program (Python: the same double operations for the listed digits, the
// exact solution and the estimates checked against Decimal and Fraction).
#include "base/conversions.h"
#include "base/text_table.h"
#include "methods/exact_solution.h"
#include "numerics/step_errors.h"
#include "tests/support/fakes.h"
#include "tests/support/hostile_inputs.h"
#include "tests/support/textbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::textbook;
using pelorin::testing::textbookExact;
using pelorin::testing::Press;
using Cells = std::vector<std::vector<std::string>>;

namespace {

struct Example {
    const char* name;
    std::string x0, y0, x1, h;
    std::string_view method;
    Cells rows;
};

const std::vector<Example>& examples() {
    static const std::vector<Example> table{
        {"defaults", "0", "-1", "0.4", "0.4", "Euler",
         {{"0", "0", "-1", "-1", "0", ""},
          {"1", "0.4", "-0.6", "-0.810960138106918", "2.10960138106918E-01", "2.10960138106918E-01"}}},
        {"Runge-Kutta 4 with h = 0.1", "0", "-1", "0.4", "0.1", "Runge-Kutta 4",
         {{"0", "0", "-1", "-1", "0", ""},
          {"1", "0.1", "-0.9145125", "-0.914512254107879", "-2.45892121109037E-07",
           "-2.45892121109037E-07"},
          {"2", "0.2", "-0.85619270421875", "-0.856192259233945", "-4.44984804559567E-07",
           "-2.22492392398799E-07"},
          {"3", "0.3", "-0.822455266003533", "-0.822454662045154", "-6.03958379419289E-07",
           "-2.01319441339720E-07"},
          {"4", "0.4", "-0.810960866752472", "-0.810960138106918", "-7.28645554448626E-07",
           "-1.82161364326028E-07"}}},
        // The exact solution goes through the start the user entered.
        {"Euler from (1, 2) to 2, h = 0.25", "1", "2", "2", "0.25", "Euler",
         {{"0", "1", "2", "2", "0", ""},
          {"1", "1.25", "1", "1.05760156614281", "-5.76015661428098E-02", "-5.76015661428098E-02"},
          {"2", "1.5", "0.125", "0.213061319425267", "-8.80613194252668E-02",
           "-4.48601448181596E-02"},
          {"3", "1.75", "-0.65625", "-0.55526689451797", "-1.00983105482030E-01",
           "-3.49371159130795E-02"},
          {"4", "2", "-1.3671875", "-1.26424111765712", "-1.02946382342885E-01",
           "-2.72090532313625E-02"}}},
        {"Runge-Kutta 4 from (-1, 0.5) to 0, h = 0.5", "-1", "0.5", "0", "0.5", "Runge-Kutta 4",
         {{"0", "-1", "0.5", "0.5", "0", ""},
          {"1", "-0.5", "0.876302083333333", "0.877142691005783", "-8.40607672449645E-04",
           "-8.40607672449645E-04"},
          {"2", "0", "0.711402045355903", "0.712421955899952", "-1.01991054404915E-03",
           "-5.09854326130377E-04"}}},
        // On the line 2 - 2x the exact solution is a straight line, and Euler
        // follows it but for the rounding of 0.2 + 0.2.
        {"Euler on the line 2 - 2x", "0", "2", "0.4", "0.2", "Euler",
         {{"0", "0", "2", "2", "0", ""},
          {"1", "0.2", "1.6", "1.6", "0", "0"},
          {"2", "0.4", "1.2", "1.2", "2.22044604925031E-16", "2.22044604925031E-16"}}},
        // The last column is the method's own estimate of the step it took.
        {"Fehlberg, defaults", "0", "-1", "0.4", "0.4", "Runge-Kutta-Fehlberg",
         {{"0", "0", "-1", "-1", "0", "", ""},
          {"1", "0.4", "-0.810949907692308", "-0.810960138106918", "1.02304146099019E-05",
           "1.02304146099019E-05", "-4.52923076923106E-05"}}},
        {"Fehlberg, h = 0.1", "0", "-1", "0.4", "0.1", "Runge-Kutta-Fehlberg",
         {{"0", "0", "-1", "-1", "0", "", ""},
          {"1", "0.1", "-0.914512251442308", "-0.914512254107879", "2.66557131922696E-09",
           "2.66557131922696E-09", "-3.99038461531588E-08"},
          {"2", "0.2", "-0.856192254410129", "-0.856192259233945", "4.82381679045574E-09",
           "2.41190811767211E-09", "-3.61064930883524E-08"},
          {"3", "0.3", "-0.822454655497999", "-0.822454662045154", "6.54715526238192E-09",
           "2.18238527249781E-09", "-3.26705059474925E-08"},
          {"4", "0.4", "-0.810960130208103", "-0.810960138106918", "7.89881415830251E-09",
           "1.97470306773084E-09", "-2.95614962188468E-08"}}},
        {"Merson, defaults", "0", "-1", "0.4", "0.4", "Runge-Kutta-Merson",
         {{"0", "0", "-1", "-1", "0", "", ""},
          {"1", "0.4", "-0.810986666666667", "-0.810960138106918", "-2.65285597490506E-05",
           "-2.65285597490506E-05", "-4.26666666666631E-05"}}},
        {"Merson from (1, 2) to 2, h = 0.5", "1", "2", "2", "0.5", "Runge-Kutta-Merson",
         {{"0", "1", "2", "2", "0", "", ""},
          {"1", "1.5", "0.213107638888889", "0.213061319425267", "4.63194636222131E-05",
           "4.63194636222131E-05", "8.68055555556385E-05"},
          {"2", "2", "-1.26418492823471", "-1.26424111765712", "5.61894224027082E-05",
           "2.80941748280750E-05", "5.26522412712047E-05"}}},
        // Stepping backwards from 1E+307: the exact solution overflows at
        // x = -3, the numerical one at the third step, which stops the run.
        {"overflow is said in words", "0", "1e307", "1", "-3", "Euler",
         {{"0", "0", "1E+307", "1E+307", "0", ""},
          {"1", "-3", "4E+307", "too large to calculate", "too large to calculate",
           "too large to calculate"},
          {"2", "-6", "1.6E+308", "too large to calculate", "too large to calculate",
           "too large to calculate"}}},
        {"h = 0 stops after ten steps that stay at the start", "0", "-1", "0.4", "0", "Euler",
         Cells(1, {"0", "0", "-1", "-1", "0", ""})},
    };
    return table;
}

TextTable tableAfter(Press& press, const Example& example) {
    press.window.enter(example.x0, example.y0, example.x1, example.h);
    press.window.select(example.method);
    press.calculate();
    return stepErrorTable(stepErrors(press.last));
}

}  // namespace

TEST(StepErrors, ShowTheExactSolutionAndBothErrorsForEveryStep) {
    for (const Example& example : examples()) {
        SCOPED_TRACE(example.name);
        Press press;
        const TextTable table = tableAfter(press, example);
        if (example.rows.size() == 1) {
            // Only the first row is written out; the rest repeat it.
            ASSERT_FALSE(table.rows.empty());
            EXPECT_EQ(table.rows.front(), example.rows.front());
            continue;
        }
        EXPECT_EQ(table.rows, example.rows);
    }
}

TEST(StepErrors, HaveAnEstimateColumnOnlyForTheEmbeddedPairs) {
    const std::vector<std::string> plain{"i", "x", "y", "exact y", "global error", "local error"};
    std::vector<std::string> withEstimate = plain;
    withEstimate.push_back("estimate");
    for (const Method& method : methodCatalogue) {
        SCOPED_TRACE(method.caption);
        Press press;
        press.window.select(method.caption);
        press.calculate();
        const bool embedded = method.caption == "Runge-Kutta-Fehlberg" ||
                              method.caption == "Runge-Kutta-Merson";
        EXPECT_EQ(stepErrorTable(stepErrors(press.last)).header, embedded ? withEstimate : plain);
    }
}

TEST(StepErrors, AfterAFailureKeepTheRowsStoredAndSayWhereItStopped) {
    struct Row {
        const char* name;
        std::string x0, y0, x1, h;
        std::size_t rows;
        std::string heading;
        std::string failure;
    };
    const std::vector<Row> rows{
        {"ran to the end", "0", "-1", "0.4", "0.4", 2,
         "Euler Method with x0 = 0, y0 = -1, x1 = 0.4, h = 0.4", ""},
        {"h = 0", "0", "-1", "0.4", "0", 11, "Euler Method with x0 = 0, y0 = -1, x1 = 0.4, h = 0",
         "The calculation stopped while stepping the method: With h = 0 the calculation never "
         "gets from x0 to x1. Enter a positive h."},
        {"x1 too large", "0", "-1", "1e400", "0.4", 0,
         "Stopped before a method ran, with x0 = 0, y0 = -1, x1 too large to read, h not read",
         "The calculation stopped while reading the inputs: The number entered for x1 is too "
         "large to calculate with. Enter a number between -1E+308 and 1E+308."},
        {"equal ends", "0.4", "-1", "0.4", "0.4", 0,
         "Stopped before a method ran, with x0 = 0.4, y0 = -1, x1 = 0.4, h = 0.4",
         "The calculation stopped while calculating the exact solution: x0 and x1 are equal, so "
         "there is no range to calculate over. Enter an x1 different from x0."},
        {"too large to plot", "0", "-1", "1e300", "1e300", 2,
         "Euler Method with x0 = 0, y0 = -1, x1 = 1E+300, h = 1E+300",
         "The calculation stopped while plotting the solutions: The solution is too large to "
         "plot. Enter smaller values to see the plot."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Press press;
        press.window.enter(row.x0, row.y0, row.x1, row.h);
        press.calculate();
        EXPECT_EQ(stepErrors(press.last).rows.size(), row.rows);
        EXPECT_EQ(calculationHeading(press.last), row.heading);
        EXPECT_EQ(failureNote(press.last), row.failure);
    }
}

TEST(StepErrors, BeforeTheFirstCalculationThereIsNothingToShow) {
    const Calculation none;
    EXPECT_EQ(calculationHeading(none), "No calculation yet: press CALCULATE.");
    EXPECT_EQ(failureNote(none), "");
    EXPECT_TRUE(stepErrors(none).rows.empty());
}

// A CSV file has no heading above it, so every row says which calculation
// it came from: the method's heading and the inputs as they were read.
TEST(StepErrors, LeaveAsCsvWithTheMethodAndTheInputsAsRead) {
    struct Row {
        const char* name;
        std::string x0, y0, x1, h;
        std::string_view method;
        std::string csv;
    };
    const std::vector<Row> rows{
        {"as read, not as typed", "0", "-1.0", "0.4", "0.4abc", "Euler",
         "method,x0,y0,x1,h,i,x,y,exact y,global error,local error\r\n"
         "Euler Method,0,-1,0.4,0.4,0,0,-1,-1,0,\r\n"
         "Euler Method,0,-1,0.4,0.4,1,0.4,-0.6,-0.810960138106918,2.10960138106918E-01,"
         "2.10960138106918E-01\r\n"},
        {"with the estimate", "0", "-1", "0.4", "0.4", "Runge-Kutta-Fehlberg",
         "method,x0,y0,x1,h,i,x,y,exact y,global error,local error,estimate\r\n"
         "Runge-Kutta-Fehlberg Method,0,-1,0.4,0.4,0,0,-1,-1,0,,\r\n"
         "Runge-Kutta-Fehlberg Method,0,-1,0.4,0.4,1,0.4,-0.810949907692308,-0.810960138106918,"
         "1.02304146099019E-05,1.02304146099019E-05,-4.52923076923106E-05\r\n"},
        {"stopped before a method ran", "0", "-1", "1e400", "0.4", "Euler",
         "method,x0,y0,x1,h,i,x,y,exact y,global error,local error\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Press press;
        press.window.enter(row.x0, row.y0, row.x1, row.h);
        press.window.select(row.method);
        press.calculate();
        const TextTable shown = stepErrorTable(stepErrors(press.last));
        EXPECT_EQ(commaSeparated(labelledStepErrorTable(shown, press.last)), row.csv);
    }
}

TEST(StepErrors, NeverShowAnInfinityOrNaNForAnyHostileInput) {
    for (const auto& row : pelorin::testing::hostileRows()) {
        SCOPED_TRACE(row.name);
        Press press;
        press.window.enter(row.x0, row.y0, row.x1, row.h);
        press.window.select(row.method);
        press.calculate();
        const TextTable table = stepErrorTable(stepErrors(press.last));
        for (const auto& cells : table.rows) {
            for (const std::string& cell : cells) {
                EXPECT_EQ(cell.find("inf"), std::string::npos) << cell;
                EXPECT_EQ(cell.find("nan"), std::string::npos) << cell;
            }
        }
    }
}

// Which methods give the same numbers comes from their stability functions.
// The note must name exactly the methods whose steps agree on this equation:
// four steps of 0.1 from (0, -1) agree to the last few bits within a group,
// and differ in the fourth digit or earlier between groups.
TEST(StepErrors, NameTheMethodsThatCoincideOnThisEquation) {
    const auto steps = [](const Method& method) {
        std::vector<double> ys;
        double y = -1;
        for (int i = 0; i < 4; ++i) ys.push_back(y = explicitRungeKutta(method)->step(i * 0.1, y, 0.1, f1));
        return ys;
    };
    for (const Method& method : methodCatalogue) {
        SCOPED_TRACE(method.caption);
        const std::string note = coincidenceNote(method);
        for (const Method& other : methodCatalogue) {
            if (&other == &method) continue;
            const std::string name(other.caption);
            const bool named = note.find(" as " + name + " on this") != std::string::npos ||
                               note.find(" as " + name + " and ") != std::string::npos ||
                               note.find(" and " + name + " on this") != std::string::npos;
            const auto mine = steps(method), theirs = steps(other);
            for (std::size_t i = 0; i < mine.size(); ++i) {
                if (named) {
                    EXPECT_NEAR(mine[i], theirs[i], 1e-15) << other.caption;
                } else {
                    EXPECT_GT(std::fabs(mine[i] - theirs[i]), 1e-9) << other.caption;
                }
            }
        }
        EXPECT_EQ(note.empty(), method.caption == "Euler" ||
                                    method.caption == "Runge-Kutta-Fehlberg" ||
                                    method.caption == "Runge-Kutta-Merson");
    }
}

// The lab's table comes from the same code as the window's: on the lesson's
// equation, a run the window listed to the end gives the same texts.
TEST(LabSteps, ListTheWindowsRowsForTheLessonsEquation) {
    int compared = 0;
    for (const Example& example : examples()) {
        SCOPED_TRACE(example.name);
        Press press;
        const TextTable window = tableAfter(press, example);
        if (press.last.failedStage) continue;
        const double x0 = *textToNumber(example.x0), y0 = *textToNumber(example.y0);
        const StepErrors lab =
            labStepErrors(methodByCaption(example.method), f1, x0, y0, *textToNumber(example.x1),
                          *textToNumber(example.h), ExactSolution(x0, y0));
        EXPECT_EQ(stepErrorTable(lab).header, window.header);
        EXPECT_EQ(stepErrorTable(lab).rows, window.rows);
        EXPECT_TRUE(lab.notes.empty());
        ++compared;
    }
    EXPECT_EQ(compared, 9);
}

// y' = y - x^2 + 1, y(0) = 0.5, whose exact solution is (x + 1)^2 - e^x/2:
// the end-point and mid-point methods part ways here.
TEST(LabSteps, ShowTheErrorsOnTheTextbookProblem) {
    struct Row {
        const char* name;
        std::string_view method;
        double x1, h;
        Cells rows;
    };
    const std::vector<Row> rows{
        {"Euler, h = 0.2", "Euler", 0.4, 0.2,
         {{"0", "0", "0.5", "0.5", "0", ""},
          {"1", "0.2", "0.8", "0.829298620919915", "-2.92986209199150E-02",
           "-2.92986209199150E-02"},
          {"2", "0.4", "1.152", "1.21408765117936", "-6.20876511793644E-02",
           "-2.69293060754665E-02"}}},
        {"end points, h = 0.5", "Euler (End points)", 1, 0.5,
         {{"0", "0", "0.5", "0.5", "0", ""},
          {"1", "0.5", "1.375", "1.42563936464994", "-5.06393646499359E-02",
           "-5.06393646499359E-02"},
          {"2", "1", "2.515625", "2.64085908577048", "-1.25234085770478E-01",
           "-4.29451182143317E-02"}}},
        {"mid point, h = 0.5", "Euler (Mid point)", 1, 0.5,
         {{"0", "0", "0.5", "0.5", "0", ""},
          {"1", "0.5", "1.40625", "1.42563936464994", "-1.93893646499359E-02",
           "-1.93893646499359E-02"},
          {"2", "1", "2.59765625", "2.64085908577048", "-4.32028357704777E-02",
           "-1.16951182143321E-02"}}},
        {"Runge-Kutta 4, h = 0.5 to 2", "Runge-Kutta 4", 2, 0.5,
         {{"0", "0", "0.5", "0.5", "0", ""},
          {"1", "0.5", "1.42513020833333", "1.42563936464994", "-5.09156316602422E-04",
           "-5.09156316602422E-04"},
          {"2", "1", "2.63960266113281", "2.64085908577048", "-1.25642463766518E-03",
           "-4.17112272015352E-04"},
          {"3", "1.5", "4.00681897004445", "4.00915546483097", "-2.33649478651454E-03",
           "-2.65357297863034E-04"},
          {"4", "2", "5.30160522926599", "5.30547195053467", "-3.86672126868781E-03",
           "-1.51556440419753E-05"}}},
        {"Fehlberg with its estimate", "Runge-Kutta-Fehlberg", 1, 0.5,
         {{"0", "0", "0.5", "0.5", "0", "", ""},
          {"1", "0.5", "1.42562381059695", "1.42563936464994", "-1.55540529809262E-05",
           "-1.55540529809262E-05", "-4.47591145833412E-05"},
          {"2", "1", "2.64082302619171", "2.64085908577048", "-3.60595787674001E-05",
           "-1.04155271798412E-05", "-3.41999938345411E-05"}}},
        {"Merson with its estimate", "Runge-Kutta-Merson", 1, 0.5,
         {{"0", "0", "0.5", "0.5", "0", "", ""},
          {"1", "0.5", "1.42563657407407", "1.42563936464994", "-2.79057586194398E-06",
           "-2.79057586194398E-06", "2.89351851851874E-04"},
          {"2", "1", "2.64087334778083", "2.64085908577048", "1.42620103540381E-05",
           "1.88627058452795E-05", "3.03430125546511E-04"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const StepErrors lab = labStepErrors(methodByCaption(row.method), textbook, 0, 0.5, row.x1,
                                             row.h, textbookExact);
        EXPECT_EQ(stepErrorTable(lab).rows, row.rows);
        EXPECT_TRUE(lab.notes.empty());
    }
}

TEST(LabSteps, NameWhatTheErrorsAreMeasuredAgainst) {
    struct Row {
        const char* name;
        std::string_view method;
        KnownSolution solution;
        Comparison comparison;
        std::vector<std::string> header;
    };
    const std::vector<Row> rows{
        {"exact", "Euler", textbookExact, Comparison::exact,
         {"i", "x", "y", "exact y", "global error", "local error"}},
        {"reference", "Euler", textbookExact, Comparison::reference,
         {"i", "x", "y", "reference y", "global error", "local error"}},
        {"none", "Euler", KnownSolution(), Comparison::exact, {"i", "x", "y"}},
        {"none, with an estimate", "Runge-Kutta-Merson", KnownSolution(), Comparison::reference,
         {"i", "x", "y", "estimate"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TextTable table = stepErrorTable(labStepErrors(
            methodByCaption(row.method), textbook, 0, 0.5, 1, 0.5, row.solution, row.comparison));
        EXPECT_EQ(table.header, row.header);
        ASSERT_EQ(table.rows.size(), 3u);
        for (const auto& cells : table.rows) EXPECT_EQ(cells.size(), row.header.size());
    }
    const TextTable plain = stepErrorTable(
        labStepErrors(methodByCaption("Runge-Kutta-Merson"), textbook, 0, 0.5, 1, 0.5, {}));
    EXPECT_EQ(plain.rows[1],
              (std::vector<std::string>{"1", "0.5", "1.42563657407407", "2.89351851851874E-04"}));
}

TEST(LabSteps, HaveNoTenStepLimitButStopAtAThousandAndSaySo) {
    const Method& euler = methodByCaption("Euler");
    const StepErrors long_ = labStepErrors(euler, textbook, 0, 0.5, 2, 0.001, textbookExact);
    ASSERT_EQ(long_.rows.size(), static_cast<std::size_t>(labStepsShown) + 1);
    EXPECT_EQ(long_.rows.back().i, 1000);
    EXPECT_EQ(numberToText(long_.rows.back().x), "1");
    EXPECT_EQ(long_.notes, (std::vector<std::string>{
                               "The table lists the first 1000 of the 2000 steps to x1."}));

    const StepErrors twenty = labStepErrors(euler, textbook, 0, 0.5, 2, 0.1, textbookExact);
    EXPECT_EQ(twenty.rows.size(), 21u);
    EXPECT_TRUE(twenty.notes.empty());

    const StepErrors stopped = labStepErrors(
        euler, [](double x, double) { return 1 / x; }, -1, 1, 1, 0.5, KnownSolution());
    EXPECT_EQ(stopped.rows.size(), 3u);
    EXPECT_EQ(stopped.notes,
              (std::vector<std::string>{
                  "Euler, h = 0.5: step 3 from (0, -0.5) gives no finite value (f is not finite "
                  "on the step, or the numbers grew too large to calculate with); the run stops "
                  "there."}));
}

TEST(TextTable, LeavesAsTabSeparatedTextAndAsCsv) {
    const TextTable table{{"i", "x", "note"}, {{"0", "0.4", "plain"}, {"1", "-0.6", "a, \"b\""}}};
    EXPECT_EQ(tabSeparated(table), "i\tx\tnote\n0\t0.4\tplain\n1\t-0.6\ta, \"b\"\n");
    EXPECT_EQ(commaSeparated(table),
              "i,x,note\r\n0,0.4,plain\r\n1,-0.6,\"a, \"\"b\"\"\"\r\n");
}

// The lab's file leads every row with its own labels: the equation too.
TEST(StepErrors, LabelledWithTheLabsInputsEveryRowSaysWhatItHolds) {
    const TextTable table{{"i", "x", "y"}, {{"0", "0", "0.5"}, {"1", "0.4", "1.1"}}};
    const TextTable labelled =
        labelledStepErrorTable(table, {{"f(x, y)", "y - x^2 + 1"}, {"method", "Euler Method"},
                                       {"h", "0.4"}});
    EXPECT_EQ(commaSeparated(labelled),
              "\"f(x, y)\",method,h,i,x,y\r\n"
              "y - x^2 + 1,Euler Method,0.4,0,0,0.5\r\n"
              "y - x^2 + 1,Euler Method,0.4,1,0.4,1.1\r\n");
}
