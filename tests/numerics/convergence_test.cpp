// Observed orders and the rounding floor, on the program's equation and on a
// nonlinear one where methods that coincide on linear equations part ways.
// Expected texts were worked out independently in 50-digit arithmetic, the
// implicit methods' by tests/support/implicit_orders.py.
#include "base/number_text.h"
#include "numerics/convergence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stop_token>
#include <optional>
#include <string>
#include <string_view>

using namespace pelorin;

namespace {

// dy/dx = -2xy², y(0) = 1: y = 1/(1 + x²), so y(1) = 1/2.
double shrinking(double x, double y) { return -2 * x * y * y; }
const ConvergenceProblem nonlinear{0, 1, 1, shrinking, 0.5};

struct Expected {
    std::string_view method;
    int order;
    std::string_view orderShown;  // observed between N = 2^5 and 2^6 on (0, -1) to 1
};

const Expected expected[] = {
    {"Euler", 1, "1.01"},
    {"Euler (End points)", 2, "2.02"},
    {"Euler (Mid point)", 2, "2.02"},
    {"Runge-Kutta 4", 4, "4.02"},
    {"Runge-Kutta-Fehlberg", 5, "5.02"},
    {"Runge-Kutta-Merson", 4, "4.00"},
    {"Runge-Kutta-Gill", 4, "4.02"},
    {"Backward Euler", 1, "0.99"},
    {"Trapezoid", 2, "2.00"},
    {"Implicit mid point", 2, "2.00"},
    {"Radau IIA 3", 3, "2.99"},
    {"Gauss-Legendre 4", 4, "4.00"},
};

const ConvergenceSeries& seriesOf(const ConvergenceStudy& study, std::string_view caption) {
    for (const ConvergenceSeries& series : study.series) {
        if (series.method->caption == caption) return series;
    }
    throw std::invalid_argument(std::string(caption));
}

}  // namespace

TEST(Convergence, OrdersOnTheLessonApproachTheMethodsOrders) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, -1, 1), 8);
    for (const Expected& row : expected) {
        SCOPED_TRACE(row.method);
        const ConvergencePoint& point = seriesOf(study, row.method).points[6];
        ASSERT_EQ(point.steps, 64);
        ASSERT_TRUE(point.order);
        EXPECT_NEAR(*point.order, row.order, 0.1);
        EXPECT_EQ(fixedText(*point.order, 2), row.orderShown);
    }
}

TEST(Convergence, OrdersOnANonlinearEquationAndTheMethodsThatPartThere) {
    const ConvergenceStudy study = studyConvergence(nonlinear, 7);
    for (const Expected& row : expected) {
        SCOPED_TRACE(row.method);
        const auto& order = seriesOf(study, row.method).points[7].order;
        ASSERT_TRUE(order);
        EXPECT_NEAR(*order, row.order, 0.1);
    }
    // Errors at N = 2^7: equal on the linear lesson, apart here.
    const struct {
        std::string_view method, error;
    } errors[] = {{"Euler (End points)", "5.88E-06"},
                  {"Euler (Mid point)", "1.77E-06"},
                  {"Runge-Kutta 4", "2.57E-11"},
                  {"Runge-Kutta-Gill", "3.11E-11"}};
    for (const auto& row : errors) {
        SCOPED_TRACE(row.method);
        EXPECT_EQ(errorText(*seriesOf(study, row.method).points[7].error), row.error);
    }
}

TEST(Convergence, RunsLandOnTheEndAndCountSlopeEvaluations) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, -1, 1), 3);
    const struct {
        std::string_view method;
        long evaluationsAtEightSteps;
    } rows[] = {{"Euler", 8}, {"Euler (Mid point)", 16}, {"Runge-Kutta 4", 32},
                {"Runge-Kutta-Fehlberg", 48}, {"Runge-Kutta-Merson", 40}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const ConvergencePoint& last = seriesOf(study, row.method).points.back();
        EXPECT_EQ(last.steps, 8);
        EXPECT_EQ(last.h, 0.125);
        EXPECT_EQ(last.slopeEvaluations, row.evaluationsAtEightSteps);
    }
    // Euler's first run, by hand: y = -1 + 1·(0 + 1) = 0 against
    // y(1) = -3/e = -1.10363832351433, an error of 1.10363832351433.
    EXPECT_EQ(errorText(*seriesOf(study, "Euler").points[0].error), "1.10E+00");
}

namespace {

// The lesson's slope, counting its calls: the tests' own witness of the work.
long slopeCalls = 0;
double countedLesson(double x, double y) {
    ++slopeCalls;
    return -2 * x - y;
}

}  // namespace

// Every step evaluates each stage at its start; an implicit step then takes
// its one Jacobian, 4·1 + 1 = 5 evaluations for one equation, and each Newton
// iteration solves one linear system and evaluates each stage again. An
// explicit step is its stages alone.
TEST(Convergence, RunsCountEverySlopeEvaluationJacobianAndLinearSolve) {
    const ConvergenceProblem counted{0, -1, 1, countedLesson, -3 * std::exp(-1.0)};
    const ConvergenceStudy study = studyConvergence(counted, 3);
    for (const Method& method : labCatalogue()) {
        // The lesson's slope reads y: nothing for a partitioned method to split.
        if (isMultistep(method) || isPartitioned(method)) continue;
        SCOPED_TRACE(method.caption);
        RunWork work;
        slopeCalls = 0;
        runToEnd(method, counted, 8, &work);
        EXPECT_EQ(work.slopeEvaluations, slopeCalls);
        const long stages = tableauOf(method)->stages, solves = work.newton.linearSolves,
                   jacobians = work.newton.jacobianEvaluations;
        EXPECT_EQ(work.slopeEvaluations, stages * 8 + stages * solves + 5 * jacobians);
        if (isImplicit(method)) {
            // The slope is linear in y, so the one Jacobian a step is exact
            // and its iterations never start again: one Jacobian a step, the
            // first update solves the stages to rounding and the second
            // confirms it.
            EXPECT_EQ(jacobians, 8);
            EXPECT_EQ(solves, 8 * 2);
        } else {
            EXPECT_EQ(jacobians, 0);
            EXPECT_EQ(solves, 0);
        }
        const ConvergencePoint& point = study.series[catalogueRow(method)].points[3];
        EXPECT_EQ(point.slopeEvaluations, work.slopeEvaluations);
        EXPECT_EQ(point.jacobianEvaluations, work.newton.jacobianEvaluations);
        EXPECT_EQ(point.linearSolves, work.newton.linearSolves);
    }
}

// Which floor stops Runge-Kutta 4's error falling on the lesson's equation
// from (0, -1) to x1 = 1, where its own error falls below 1E-14 by
// N = 2^8: against the exact value it is rounding; against a value off by
// 3E-14, as a reference may be, the errors level off at that offset, which
// the reference's stated accuracy of 4E-15 covers: the floor is the
// reference's. Stated as 1E-16, the errors lie far above what it claims,
// and the floor is not blamed on it. The notes, the plot's line and the
// orders say the same.
TEST(Convergence, AFloorIsTheReferencesWhereItsOffsetAndNotRoundingStopsTheErrors) {
    const struct {
        const char* name;
        double offset, measurableError;
        FloorCause cause;
        const char* says;
        const char* line;
        OrderReading past;
    } rows[] = {
        {"exact", 0, 0, FloorCause::rounding, "There rounding, not the method, decides the error",
         "rounding floor: errors below ", OrderReading::rounding},
        {"reference within its accuracy", 3e-14, 4e-15, FloorCause::reference,
         "There they lie below 4.00E-14, ten times the reference's estimated accuracy of "
         "4.00E-15, where the reference cannot tell the method's error from its own: the floor "
         "may be the reference's or rounding's, and only a more accurate reference would tell.",
         "ten times the reference's accuracy:\nerrors below 4.00E-14", OrderReading::reference},
        {"errors far above the reference's accuracy", 3e-14, 1e-16, FloorCause::rounding,
         "There rounding, not the method, decides the error", "rounding floor: errors below ",
         OrderReading::rounding},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConvergenceProblem problem = lessonProblem(0, -1, 1);
        problem.exactAtEnd += row.offset;
        problem.measurableError = row.measurableError;
        const ConvergenceStudy study = studyConvergence(problem, 14);
        const ConvergenceSeries& series = seriesOf(study, "Runge-Kutta 4");
        ASSERT_TRUE(series.floor);
        EXPECT_EQ(series.floorCause, row.cause);
        EXPECT_EQ(series.points.back().reading, row.past);
        const auto note = std::find_if(study.notes.begin(), study.notes.end(), [](const std::string& n) {
            return n.starts_with("Runge-Kutta 4: from N = 2^");
        });
        ASSERT_NE(note, study.notes.end());
        EXPECT_NE(note->find(row.says), std::string::npos) << *note;
        const std::optional<FloorLevel> level = floorLevel(study);
        ASSERT_TRUE(level);
        EXPECT_TRUE(floorLevelName(*level).starts_with(row.line)) << floorLevelName(*level);
        if (row.offset > 0) {
            // The offset, give or take the last run's roundings (7.5E-15).
            EXPECT_NEAR(*series.points.back().error, row.offset, 1e-14);
        }
    }
}

TEST(Convergence, TheHigherOrderMethodsReachTheRoundingFloorTheLowerOnesDoNot) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, -1, 1), 16);
    const struct {
        std::string_view method;
        bool floor;
    } rows[] = {{"Euler", false}, {"Euler (End points)", false}, {"Euler (Mid point)", false},
                {"Runge-Kutta 4", true}, {"Runge-Kutta-Fehlberg", true},
                {"Runge-Kutta-Merson", true}, {"Runge-Kutta-Gill", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const ConvergenceSeries& series = seriesOf(study, row.method);
        ASSERT_EQ(series.floor.has_value(), row.floor);
        if (!row.floor) continue;
        // Near 1E-15, between N = 2^8 and 2^11.
        EXPECT_GE(*series.floor, 8u);
        EXPECT_LE(*series.floor, 11u);
        EXPECT_LT(*series.points[*series.floor].error, 1e-14);
        bool noted = false;
        for (const std::string& note : study.notes) {
            noted = noted || note.starts_with(std::string(row.method) + ": from N = 2^");
        }
        EXPECT_TRUE(noted);
    }
}

// What the lab is given when the boxes hold something odd: notes in words,
// and nothing that is not a finite number in what it plots or tabulates.
TEST(Convergence, HostileInputsGiveNotesAndOnlyFiniteValues) {
    const struct {
        std::string_view name;
        double x0, y0, x1;
        std::string_view note;  // the start of the first note
        bool anyError;          // whether some error can be measured at all
    } rows[] = {
        {"x1 = x0", 0, -1, 0, "x1 equals x0: there is nothing to step over", true},
        {"x1 < x0", 1, -1, 0, "x1 is below x0: the methods step backwards", true},
        {"y0 = 1E+300", 0, 1e300, 1, "", true},
        {"exact solution overflows at x1", 0, -1, -720,
         "The exact solution is too large to calculate at x1", false},
        {"stages overflow", 0, 1e306, -5, "x1 is below x0", true},
        {"range beyond a double", -1e308, 0, 1e308, "x0 and x1 are too far apart", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ConvergenceStudy study = studyConvergence(lessonProblem(row.x0, row.y0, row.x1), 12);
        if (!row.note.empty()) {
            ASSERT_FALSE(study.notes.empty());
            EXPECT_TRUE(study.notes.front().starts_with(row.note)) << study.notes.front();
        }
        bool anyError = false;
        for (const ConvergenceSeries& series : study.series) {
            for (const ConvergencePoint& point : series.points) {
                EXPECT_TRUE(std::isfinite(point.h));
                EXPECT_TRUE(!point.error || std::isfinite(*point.error));
                EXPECT_TRUE(!point.order || std::isfinite(*point.order));
                anyError = anyError || point.error.has_value();
            }
        }
        EXPECT_EQ(anyError, row.anyError);
    }
}

TEST(Convergence, RunsThatOverflowAreLeftOutAndCounted) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, 1e306, -5), 16);
    const ConvergenceSeries& fehlberg = seriesOf(study, "Runge-Kutta-Fehlberg");
    EXPECT_FALSE(fehlberg.points[0].error);
    EXPECT_TRUE(fehlberg.points[16].error);
    bool noted = false;
    for (const std::string& note : study.notes) {
        noted = noted || (note.starts_with("Runge-Kutta-Fehlberg: ") &&
                          note.ends_with(" too large to calculate with and are left out."));
    }
    EXPECT_TRUE(noted);
}

// No order, so nothing in brackets and no rule of brackets in the notes.
TEST(Convergence, EqualEndsMeasureNoOrder) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0.5, 2, 0.5), 4);
    EXPECT_EQ(std::count(study.notes.begin(), study.notes.end(), orderBracketsNote()), 0);
    for (const ConvergenceSeries& series : study.series) {
        SCOPED_TRACE(series.method->caption);
        for (const ConvergencePoint& point : series.points) {
            EXPECT_EQ(point.error, 0.0);
            EXPECT_FALSE(point.order);
        }
        EXPECT_FALSE(series.floor);
    }
}

// Methods whose every run is exact are named, the runs said to be exact (a
// method exact in theory may still show rounding's errors): on y' = 0 every
// run of each; on y' = 2x from (0, 0) to 1 the mid point rule's steps
// h·2(x + h/2) add up to (Nh)² = 1 exactly in binary, while Euler's fall
// short by h.
TEST(Convergence, MethodsWhoseRunsAreExactAreNamed) {
    const auto studied = [](std::initializer_list<std::string_view> captions) {
        StudiedMethods methods;
        for (const std::string_view caption : captions) {
            methods[catalogueRow(methodByCaption(caption))] = true;
        }
        return methods;
    };
    const auto exactNote = [](const ConvergenceStudy& study) {
        const auto note = std::find_if(study.notes.begin(), study.notes.end(),
                                       [](const std::string& n) { return n.starts_with("Every"); });
        return note == study.notes.end() ? std::string() : *note;
    };
    const ConvergenceProblem still{0, 1, 1, [](double, double) { return 0.0; }, 1};
    EXPECT_EQ(exactNote(studyConvergence(still, 4, {}, studied({"Euler", "Runge-Kutta 4"}))),
              "Every run of every method here reaches x1 with an error of exactly 0, so none has "
              "an order to read or a point on the plot, whose logarithmic axis has no place for "
              "0.");
    const ConvergenceProblem line{0, 0, 1, [](double x, double) { return 2 * x; }, 1};
    const ConvergenceStudy study =
        studyConvergence(line, 4, {}, studied({"Euler", "Euler (Mid point)"}));
    EXPECT_EQ(exactNote(study),
              "Every run of Euler (Mid point) reaches x1 with an error of exactly 0, so it has no "
              "order to read and no point on the plot, whose logarithmic axis has no place for "
              "0.");
    const ConvergencePoint& euler =
        study.series[catalogueRow(methodByCaption("Euler"))].points.back();
    ASSERT_TRUE(euler.order);
    EXPECT_EQ(fixedText(*euler.order, 2), "1.00");
    // With x1 = x0 the range's own note says so, and no other.
    EXPECT_EQ(exactNote(studyConvergence(lessonProblem(0.5, 2, 0.5), 4)), "");
}

// Which orders the method decides, on the lesson from (0, -1) to 1. Euler's
// first orders 1.64 and 1.20 have not settled (1.20 lies more than 0.1 from
// its last order, 1.00), nor has Runge-Kutta 4's 4.15 (its last order
// before rounding, at N = 256, is 4.00); Fehlberg's 4.99 between N = 64 and 128 and Merson's 5.66
// between 512 and 1024 compare errors of about 3E-14 and 4E-16, where
// rounding decides.
TEST(Convergence, OrdersAreMarkedWhereTheStepsOrRoundingDecideThem) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, -1, 1), 16);
    const struct {
        std::string_view method;
        std::size_t point;  // N = 2^point
        std::string_view orderShown;
        OrderReading reading;
    } rows[] = {
        {"Euler", 1, "1.64", OrderReading::preAsymptotic},
        {"Euler", 2, "1.20", OrderReading::preAsymptotic},
        {"Euler", 3, "1.08", OrderReading::settled},
        {"Euler", 16, "1.00", OrderReading::settled},
        {"Runge-Kutta 4", 3, "4.15", OrderReading::preAsymptotic},
        {"Runge-Kutta 4", 4, "4.08", OrderReading::settled},
        {"Runge-Kutta-Fehlberg", 6, "5.02", OrderReading::settled},
        {"Runge-Kutta-Fehlberg", 7, "4.99", OrderReading::rounding},
        {"Runge-Kutta-Merson", 2, "3.85", OrderReading::preAsymptotic},
        {"Runge-Kutta-Merson", 10, "5.66", OrderReading::rounding},
        {"Runge-Kutta-Gill", 11, "4.09", OrderReading::rounding},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " N = 2^" + std::to_string(row.point));
        const ConvergencePoint& point = seriesOf(study, row.method).points[row.point];
        ASSERT_TRUE(point.order);
        EXPECT_EQ(fixedText(*point.order, 2), row.orderShown);
        EXPECT_EQ(point.reading, row.reading);
    }
}

// On the linear lesson the methods of two stages and order 2 draw one
// curve, as do those of three stages and order 3 and those of four stages
// and order 4: on a slope linear in x and y a step of each is the Taylor
// polynomial of its order. The last one in the legend covers the others. On
// a nonlinear equation every method has a curve of its own.
TEST(Convergence, CurvesThatCoverOthersAreFound) {
    const ConvergenceStudy lesson = studyConvergence(lessonProblem(0, -1, 1), 16);
    const ConvergenceStudy apart = studyConvergence(nonlinear, 10);
    const struct {
        std::string_view method;
        std::string_view coveredBy;
    } rows[] = {{"Euler", ""},
                {"Euler (End points)", "Ralston 2"},
                {"Euler (Mid point)", "Ralston 2"},
                {"Runge-Kutta 4", "Kutta 3/8"},
                {"Runge-Kutta-Fehlberg", ""},
                {"Runge-Kutta-Merson", ""},
                {"Runge-Kutta-Gill", "Kutta 3/8"},
                {"Ralston 2", ""},
                // Every explicit three-stage method of order 3 takes the same step on a slope
                // linear in x and y: the own method's Kutta tableau covers both.
                {"Heun 3", "Own Runge-Kutta method"},
                {"SSP Runge-Kutta 3", "Own Runge-Kutta method"},
                {"Kutta 3/8", ""},
                {"Backward Euler", ""},
                // Both give y0 + h·(-2(x0 + h/2) - (y0 + y1)/2) on a slope linear in x and y.
                {"Trapezoid", "Implicit mid point"},
                {"Implicit mid point", ""},
                {"SDIRK 2", ""},
                {"Radau IIA 3", ""},
                {"Gauss-Legendre 4", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const std::optional<std::size_t> coveredBy = seriesOf(lesson, row.method).coveredBy;
        EXPECT_EQ(coveredBy ? labCatalogue()[*coveredBy].caption : "", row.coveredBy);
        EXPECT_FALSE(seriesOf(apart, row.method).coveredBy);
    }
}

// The notes name both N and the step h = (x1 - x0)/N of the plot's axis:
// 1/2048 = 4.8828125E-04.
TEST(Convergence, FloorNotesGiveTheStepBesideN) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, -1, 1), 16);
    bool noted = false;
    for (const std::string& note : study.notes) {
        noted = noted || note.starts_with("Runge-Kutta 4: from N = 2^11 (h = 4.88E-04) on the "
                                          "error stops falling");
    }
    EXPECT_TRUE(noted);
}

// A reference line starts a decade below the first error of the first
// method of its order and falls with that order: Euler's first error is
// 3/e - 0 = 1.10363832351433, Runge-Kutta 4's with four evaluations
// 2.136E-02. Against h it runs to the smallest step, 1/65536; against the
// evaluations it stops at the study's lowest error.
TEST(Convergence, ReferenceLinesFallWithTheirOrder) {
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, -1, 1), 16);
    const auto lowest = errorRange(study)->lowest;

    const auto first = referenceLine(study, 1, false);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->x1, 1);
    EXPECT_EQ(errorText(first->y1), "1.10E-01");
    EXPECT_EQ(first->x2, 1.0 / 65536);
    EXPECT_NEAR(first->y2 / first->y1, 1.0 / 65536, 1e-18);

    const auto fourth = referenceLine(study, 4, true);
    ASSERT_TRUE(fourth);
    EXPECT_EQ(fourth->x1, 4);
    EXPECT_EQ(errorText(fourth->y1), "2.14E-03");
    EXPECT_NEAR(fourth->y2 / lowest, 1, 1e-9);
    EXPECT_NEAR(std::log(fourth->y2 / fourth->y1) / std::log(fourth->x2 / fourth->x1), -4, 1e-9);

    // Heun 3's first error, one step from (0, -1) to 1, is 3/e - 1 =
    // 0.103638323514327: its one step lands on -1 exactly (in fractions).
    const auto third = referenceLine(study, 3, false);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->x1, 1);
    EXPECT_EQ(errorText(third->y1), "1.04E-02");
    EXPECT_FALSE(referenceLine(study, 6, false));  // no method of order 6
}

// A study whose inputs changed is stopped: it makes no further run, so that
// it no longer takes the processor from the one that is wanted.
TEST(Convergence, AStoppedStudyMakesNoFurtherRun) {
    std::stop_source stop;
    stop.request_stop();
    const ConvergenceStudy study = studyConvergence(lessonProblem(0, -1, 1), 16, stop.get_token());
    for (const ConvergenceSeries& series : study.series) EXPECT_TRUE(series.points.empty());
    const ConvergenceStudy whole = studyConvergence(lessonProblem(0, -1, 1), 16, std::stop_source().get_token());
    EXPECT_EQ(whole.series.front().points.size(), 17u);
}
