// The multistep methods through the lab's studies: the textbook's tables,
// their orders, the starting values' share of the error, and the method that
// is consistent but not zero-stable.
#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/linear_multistep.h"
#include "numerics/method_properties.h"
#include "numerics/state_operations.h"
#include "studies/adaptive_study.h"
#include "studies/convergence_study.h"
#include "studies/field_study.h"
#include "studies/stability_study.h"

#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::compiledProblem;
using pelorin::testing::libraryProblem;

namespace {

Problem textbook() { return compiledProblem(problemText(libraryProblem("Textbook"))); }

std::size_t rowOf(std::string_view caption) { return catalogueRow(methodByCaption(caption)); }

// A cell of the table as a number written to nine significant digits.
std::string nineDigits(const std::string& cell) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", std::stod(cell));
    return text;
}

const OwnMultistep* typed(std::string_view alpha, std::string_view beta) {
    return &ownMultistepOf(std::get<MultistepFormula>(readMultistep(alpha, beta)));
}

}  // namespace

// y' = y - x² + 1, y(0) = 0.5, h = 0.2 to x = 2, Runge-Kutta 4's starting
// values: the y column of Lab steps, to nine digits, against the runs in
// exact fractions (tests/support/textbook_multistep.py 0.2 2); the textbook
// prints them to seven. The first three steps are marked as the start.
TEST(MultistepStudy, LabStepsGiveTheTextbooksAdamsTables) {
    const struct {
        std::string_view method;
        std::vector<std::string> y;
    } columns[] = {
        {"Adams-Bashforth 4",
         {"0.5", "0.829293333", "1.21407621", "1.64892202", "2.12728925", "2.64105333",
          "3.18031413", "3.73301859", "4.28444241", "4.81659556", "5.30750818"}},
        {"Adams predictor-corrector 4",
         {"0.5", "0.829293333", "1.21407621", "1.64892202", "2.12720563", "2.6408286",
          "3.17990264", "3.73235048", "4.28342082", "4.81509636", "5.30537067"}},
    };
    for (const auto& column : columns) {
        SCOPED_TRACE(column.method);
        const FieldStudy study = studyField(textbook(), {.h = 0.2, .method = rowOf(column.method)});
        const TextTable table = stepErrorTable(study.labSteps);
        ASSERT_EQ(table.rows.size(), column.y.size());
        std::vector<std::string> y, steps;
        for (const auto& row : table.rows) {
            y.push_back(nineDigits(row[2]));
            steps.push_back(row[0]);
        }
        EXPECT_EQ(y, column.y);
        EXPECT_EQ(std::vector(steps.begin(), steps.begin() + 5),
                  (std::vector<std::string>{"0", "1 (start)", "2 (start)", "3 (start)", "4"}));
    }
}

// Orders by the steps' count: Adams-Moulton with three steps is of order 4.
TEST(MultistepStudy, OrdersOnTheTextbookProblem) {
    const ConvergenceStudy study = studyProblem(textbook(), 12);
    const struct {
        std::string_view method;
        long order;
    } rows[] = {{"Adams-Bashforth 2", 2}, {"Adams-Bashforth 3", 3}, {"Adams-Bashforth 4", 4},
                {"Adams-Moulton 3", 4},   {"Adams predictor-corrector 4", 4},
                {"BDF 2", 2},             {"BDF 3", 3},             {"BDF 4", 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        std::optional<double> last;
        for (const ConvergencePoint& point : study.series[rowOf(row.method)].points) {
            if (point.order && point.reading == OrderReading::settled) last = point.order;
        }
        ASSERT_TRUE(last);
        EXPECT_EQ(std::lround(*last), row.order);
        EXPECT_EQ(orderOf(methodByCaption(row.method)), row.order);
    }
}

// Started from the known solution's own values, a run of N = 1 … k - 1
// steps is all start: its error at x1 is 0, and the formula's runs after it
// err more. That is no floor of rounding: the lesson's and the stiff
// equation's multistep series have none, and the orders of Adams-Bashforth 2
// are read as they come, not marked as rounding's.
TEST(MultistepStudy, RunsOfStartingValuesAloneBeginNoFloor) {
    MethodSettings exactStart;
    exactStart.start = std::nullopt;
    for (const char* name : {"Lesson", "Stiff"}) {
        SCOPED_TRACE(name);
        const Problem problem = compiledProblem(problemText(libraryProblem(name)));
        const ConvergenceStudy study = studyProblem(problem, 10, {}, exactStart);
        for (const ConvergenceSeries& series : study.series) {
            if (!series.method || !isMultistep(*series.method)) continue;
            EXPECT_FALSE(series.floor) << series.method->caption;
        }
        if (std::string_view(name) != "Lesson") continue;
        for (const ConvergencePoint& point : study.series[rowOf("Adams-Bashforth 2")].points) {
            if (!point.order) continue;
            EXPECT_NE(point.reading, OrderReading::rounding) << point.steps;
        }
    }
}

// y_{n+2} + 4y_{n+1} - 5y_n = h(4f_{n+1} + 2f_n): of order 3 and not
// zero-stable, so its error at x1 grows as h shrinks: from N = 8 on, every
// order the study reads is negative (-4.31, -14.23, -32.96, -70.20 in
// fractions, textbook_multistep.py's formula).
TEST(MultistepStudy, TheClassicUnstableMethodDivergesAsHShrinks) {
    MethodSettings settings;
    settings.ownMultistep = typed("1, 4, -5", "0, 4, 2");
    EXPECT_EQ(multistepVerdict(settings.ownMultistep->formula),
              "order 3, error constant 1/36; not zero-stable: ρ has the root -5, outside the unit "
              "circle. Its runs do not converge: their errors grow as h shrinks.");
    const ConvergenceStudy study = studyProblem(textbook(), 6, {}, settings);
    const ConvergenceSeries& own = study.series[catalogueRow(ownMultistepEntry())];
    EXPECT_EQ(own.method, &settings.ownMultistep->entry);
    int negative = 0;
    for (const ConvergencePoint& point : own.points) {
        if (point.steps >= 8 && point.order) {
            EXPECT_LT(*point.order, 0) << point.steps;
            ++negative;
        }
    }
    EXPECT_GE(negative, 3);
}

// What the starting values carry of the error at x1: Euler's spoil
// Adams-Bashforth 4, Runge-Kutta 4's hardly do; the solution's own carry
// nothing; a range of fewer steps than the method needs is all start. A
// system's note is the same, its errors in the maximum norm.
TEST(MultistepStudy, TheNotesSayWhatTheStartingValuesCarry) {
    const auto note = [](std::optional<std::size_t> start, double x1,
                         const char* method = "Adams-Bashforth 4") {
        MethodSettings settings;
        settings.start = start;
        Problem problem = textbook();
        problem.x1 = x1;
        return studyField(problem, {.h = 0.2, .method = rowOf(method), .methods = settings})
            .startingNote;
    };
    const auto systemNotes = [](std::optional<std::size_t> start) {
        MethodSettings settings;
        settings.start = start;
        return studyField<StateVector>(pelorin::testing::librarySystem("Harmonic", 2),
                                       {.h = 0.2, .method = rowOf("Adams-Bashforth 4"),
                                        .methods = settings}).notes;
    };
    // The errors from the runs in fractions (tests/support/textbook_multistep.py's
    // formulas, with Euler's and the exact solution's starting values; with
    // Runge-Kutta 4's, `textbook_multistep.py 0.2 2 start`).
    EXPECT_EQ(note(0, 2), "The starting values from Euler carry -4.01E-01 of the error -3.99E-01 "
                          "at x = 2: started from the exact solution's values the error there is "
                          "2.11E-03.");
    EXPECT_EQ(note(3, 2), "The starting values from Runge-Kutta 4 carry -7.56E-05 of the error "
                          "2.04E-03 at x = 2 (4 %): started from the exact solution's values the "
                          "error there is 2.11E-03.");
    const std::string exact = note(std::nullopt, 2);
    EXPECT_TRUE(exact.starts_with("The starting values are the exact solution's own: the error "))
        << exact;
    // A share too small to show in whole percent is still said to be one.
    EXPECT_EQ(note(3, 2, "Adams-Bashforth 2"),
              "The starting values from Runge-Kutta 4 carry -3.34E-05 of the error 9.37E-02 at "
              "x = 2 (under 1 %): started from the exact solution's values the error there is "
              "9.38E-02.");
    // However few values the range holds, the method needs its four; to
    // x1 = 0.2 the run with h/2 holds three, and is all start too.
    for (const double x1 : {0.6, 0.4}) {
        EXPECT_EQ(note(3, x1), "Every value of the run with h is a starting value from Runge-Kutta "
                               "4: Adams-Bashforth 4 needs 4 values before its formula applies.");
    }
    EXPECT_EQ(note(3, 0.2), "Every value of the runs with h and h/2 is a starting value from "
                            "Runge-Kutta 4: Adams-Bashforth 4 needs 4 values before its formula "
                            "applies.");

    // y1' = y2, y2' = -y1 from (1, 0) to x1 = 2 (tests/support/
    // oscillator_starting_values.py: the runs in fractions, (cos x, -sin x)
    // in mpmath).
    const std::vector<std::string> euler = systemNotes(0);
    EXPECT_EQ(euler.front(), maximumNormNote());
    // Norms do not add, so a system's note gives no share of the one in
    // the other.
    EXPECT_EQ(euler.back(), "Started from the exact solution's values, the error at x = 2 is "
                            "7.71E-04 instead of 5.84E-02: the starting values from Euler move "
                            "the value there by 5.84E-02.");
    EXPECT_EQ(systemNotes(3).back(), "Started from the exact solution's values, the error at x = "
                                     "2 is 7.71E-04 instead of 7.79E-04: the starting values from "
                                     "Runge-Kutta 4 move the value there by 7.70E-06.");
    EXPECT_EQ(systemNotes(std::nullopt).back(), "The starting values are the exact solution's "
                                                "own: the error 7.71E-04 at x = 2 is the "
                                                "formula's alone.");
}

// The Stability page runs a multistep method beside its region: the
// classic unstable one on the textbook problem from its one starting value,
// its note naming where the values came from; on a system the same, each
// component beside its exact solution.
TEST(MultistepStudy, TheStabilityPageRunsTheMethodFromItsStart) {
    const Method& classic = ownMultistepEntry();
    MethodSettings euler;
    euler.start = 0;
    const MultistepStabilityStudy study = studyMultistepStability(textbook(), classic, 0.2, euler);
    ASSERT_EQ(study.run.x.size(), 11u);
    EXPECT_EQ(study.run.startingValues, 1);
    // Euler's step from (0, 0.5): 0.5 + 0.2·1.5.
    EXPECT_EQ(study.run.y[1], StateVector{0.8});
    // The exact solution over the run's span, sampled between its steps too.
    ASSERT_EQ(study.known.size(), 1u);
    ASSERT_EQ(study.known[0].pieces.size(), 1u);
    EXPECT_EQ(study.known[0].pieces[0].x.size(), static_cast<std::size_t>(curveSamples));
    EXPECT_EQ(study.known[0].pieces[0].x.back(), study.run.x.back());
    EXPECT_EQ(study.notes.back(), "The run plot shows Own multistep method with h = 0.200 from x0, its "
                                  "first value after the start from Euler.");
    // y1' = y2, y2' = -y1 from (1, 0) to x1 = 1: Runge-Kutta 4's step gives
    // the starting value (1 - h²/2 + h⁴/24, -(h - h³/6)).
    const Problem oscillator = pelorin::testing::librarySystem("Harmonic", 1);
    const MultistepStabilityStudy system = studyMultistepStability(oscillator, classic, 0.2);
    ASSERT_EQ(system.run.x.size(), 6u);
    EXPECT_EQ(numberToText(system.run.y[1][0]), "0.980066666666667");
    EXPECT_EQ(numberToText(system.run.y[1][1]), "-0.198666666666667");
    ASSERT_EQ(system.known.size(), 2u);
    for (const SampledCurve& component : system.known) {
        ASSERT_EQ(component.pieces.size(), 1u);
        EXPECT_EQ(component.pieces[0].x.size(), static_cast<std::size_t>(curveSamples));
    }
    EXPECT_EQ(system.known[0].pieces[0].y.front(), 1);
    EXPECT_EQ(system.known[1].pieces[0].y.front(), 0);
    EXPECT_EQ(system.notes.back(), "The run plot shows Own multistep method with h = 0.200 from x0, its "
                                   "first value after the start from Runge-Kutta 4.");

    // A formula of one step, Euler's typed as y(n+1) - y(n) = h·f(n), takes
    // no starting value: the note does not count "its first 0 values".
    MethodSettings own;
    own.ownMultistep = typed("1, -1", "0, 1");
    const MultistepStabilityStudy oneStep = studyMultistepStability(textbook(), own.ownMultistep->entry, 0.2, own);
    EXPECT_EQ(oneStep.notes.back(), "The run plot shows Own multistep method with h = 0.200 from x0, each "
                                  "value from the one before, y0 the first.");
}

// The Adaptive page's work-precision sweep runs the own multistep method the
// boxes hold, not the catalogue's classic one: typed as BDF 2 it converges,
// its error at x1 falling from run to run.
TEST(MultistepStudy, TheSweepRunsTheOwnMethodTheBoxesHold) {
    MethodSettings settings;
    settings.ownMultistep = typed("1, -4/3, 1/3", "2/3, 0, 0");
    const WorkPrecision sweep = sweepAdaptive(textbook(), 0.1, {}, 8, {}, settings);
    const auto own = std::find_if(sweep.multistepFixed.begin(), sweep.multistepFixed.end(),
                                  [](const WorkSeries& series) { return series.caption == "Own multistep method"; });
    ASSERT_NE(own, sweep.multistepFixed.end());
    EXPECT_EQ(own->method, &settings.ownMultistep->entry);
    ASSERT_GE(own->points.size(), 4u);
    for (std::size_t i = 3; i < own->points.size(); ++i) {
        ASSERT_TRUE(own->points[i].error && own->points[i - 1].error);
        EXPECT_LT(*own->points[i].error, *own->points[i - 1].error) << i;
    }
}

// A study's result names the own method it ran, and a page reads it after
// the boxes have moved on (a sweep arriving late): the method typed stays,
// one for each formula, so that its result never points at a method gone.
TEST(MultistepStudy, AStudyOutlivesTheBoxesThatTypedItsMethod) {
    ConvergenceStudy study;
    {
        MethodSettings settings;
        settings.ownMultistep = typed("1, -1, 0", "0, 3/2, -1/2");  // Adams-Bashforth 2 typed
        study = studyProblem(textbook(), 4, {}, settings);
    }
    const Method& ran = *study.series[catalogueRow(ownMultistepEntry())].method;
    EXPECT_EQ(orderOf(ran), 2);
    EXPECT_FALSE(isImplicit(ran));
    EXPECT_EQ(&ran, &typed("1, -1, 0", "0, 3/2, -1/2")->entry);
    EXPECT_NE(&ran, &typed("1, -1", "0, 1")->entry);
}
