// What the Field page draws beside its runs on an equation without an exact
// solution, before any widget: the reference's curve and the "Lab steps"
// rows' reference values, forwards and backwards, and where it stops. (The
// runs themselves are checked on the page, against values worked out by
// hand.)
#include "base/number_text.h"
#include "methods/exact_solution.h"
#include "problem/expression.h"
#include "studies/adaptive_study.h"
#include "studies/field_study.h"
#include "texts/phase_plane_view.h"

#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <map>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <stop_token>
#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::lessonAt;
using pelorin::testing::typedProblem;

namespace {

}  // namespace

TEST(TabulatedSolution, GivesTheValueAtItsOwnAbscissaeAndNothingElsewhere) {
    const KnownSolution up = tabulatedSolution({0, 0.25, 0.5}, {1, 2, 3});
    const KnownSolution down = tabulatedSolution({0, -0.25, -0.5}, {1, 2, 3});
    const struct {
        const char* name;
        const KnownSolution& solution;
        double x;
        double expected;  // NaN: nothing known there
    } rows[] = {
        {"ascending, first", up, 0, 1},
        {"ascending, last", up, 0.5, 3},
        {"ascending, between", up, 0.3, NAN},
        {"ascending, beyond", up, 0.75, NAN},
        {"descending, middle", down, -0.25, 2},
        {"descending, last", down, -0.5, 3},
        {"descending, between", down, -0.1, NAN},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const double value = row.solution(row.x);
        if (std::isnan(row.expected)) EXPECT_TRUE(std::isnan(value)) << value;
        else EXPECT_EQ(value, row.expected);
    }
}

// Without an exact solution every value the page shows beside a run comes
// from the reference, at the runs' own abscissae and the curve's: here
// checked against the solutions known in closed form, e^x for y' = y and
// e^(-x²) for y' = -2xy, forwards and backwards from x0 = 0.
TEST(FieldStudy, WithoutAnExactSolutionTheReferenceGivesEveryValueShown) {
    const struct {
        const char* f;
        double x1;
        double (*solution)(double);
    } rows[] = {
        {"y", 1, [](double x) { return std::exp(x); }},
        {"y", -1, [](double x) { return std::exp(x); }},
        {"-2*x*y", 1.2, [](double x) { return std::exp(-x * x); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.f) + " to " + std::to_string(row.x1));
        const FieldStudy study =
            studyField(typedProblem(row.f, 0, 1, row.x1), {.h = 0.4, .method = 4});
        EXPECT_EQ(study.comparison, Comparison::reference);
        ASSERT_FALSE(study.notes.empty());
        EXPECT_NE(study.notes.front().find("reference solution"), std::string::npos);
        ASSERT_EQ(study.labSteps.comparison, Comparison::reference);
        ASSERT_GE(study.labSteps.rows.size(), 4u);
        for (const StepError& step : study.labSteps.rows) {
            ASSERT_TRUE(step.exact) << step.i;
            EXPECT_NEAR(*step.exact, row.solution(step.x), 1e-11) << step.i;
            if (step.i > 0) {
                EXPECT_TRUE(step.localError) << step.i;
            }
        }
        // The finest run's errors too, at every one of its steps.
        const SolutionPath& finest = study.halved.back();
        const ErrorPath& errors = study.halvedErrors.back();
        ASSERT_EQ(errors.x, finest.x);
        for (std::size_t i = 0; i < errors.x.size(); ++i) {
            EXPECT_NEAR(errors.error[i], finest.y[i] - row.solution(finest.x[i]), 1e-11) << i;
        }
        ASSERT_EQ(study.known.size(), 1u);
        ASSERT_EQ(study.known[0].pieces.size(), 1u);
        const auto& curve = study.known[0].pieces.front();
        EXPECT_EQ(curve.x.size(), static_cast<std::size_t>(curveSamples));
        for (std::size_t k = 0; k < curve.x.size(); k += 100) {
            EXPECT_NEAR(curve.y[k], row.solution(curve.x[k]), 1e-11) << curve.x[k];
        }
    }
}

// y' = y², y(0) = 1 has y = 1/(1 - x), which ends at x = 1. Runge-Kutta 4
// with h = 0.1 steps straight over the end (82 at 1, 1.01E+12 at 1.1): the
// notes say where the solution ends and that the steps past it follow none,
// and Lab steps says "no solution here" where a reference value and its
// errors would stand; before the end every cell has its number. Its mirror
// y' = -y², 1/(1 + x), ends at x = -1 on the way back to x1 = -2.
TEST(FieldStudy, RunsPastTheEndOfTheSolutionFollowNoSolution) {
    const struct {
        const char *f, *end;
        double x1;
    } rows[] = {{"y^2", "1", 2}, {"-y^2", "-1", -2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.f);
        const FieldStudy study =
            studyField(typedProblem(row.f, 0, 1, row.x1), {.h = 0.1, .method = 3});
        ASSERT_TRUE(study.end);
        EXPECT_NEAR(study.end->at, row.x1 / 2, 1e-9);
        const std::string end = row.end;
        const std::vector<std::string> expectedNotes{
            "The solution does not continue past x \u2248 " + end +
                ": |y| grows without bound as x nears it.",
            "The runs' points past x \u2248 " + end + " follow no solution. The view is fitted "
            "to the points before it, and Lab steps has no solution to compare with there."};
        for (const std::string& note : expectedNotes) {
            EXPECT_NE(std::find(study.notes.begin(), study.notes.end(), note), study.notes.end())
                << note;
        }
        const TextTable table = stepErrorTable(study.labSteps);
        ASSERT_EQ(table.header, (std::vector<std::string>{"i", "x", "y", "reference y",
                                                          "global error", "local error"}));
        ASSERT_GE(table.rows.size(), 12u);
        for (const auto& cells : table.rows) {
            SCOPED_TRACE(cells[1]);
            const bool past = std::stod(cells[1]) / (row.x1 / 2) >= 1;
            for (std::size_t column = 3; column < cells.size(); ++column) {
                if (cells[0] == "0" && column == 5) continue;  // the start has no step
                EXPECT_EQ(cells[column] == "no solution here", past) << cells[column];
                EXPECT_NE(cells[column], "too large to calculate");
            }
        }
        ASSERT_EQ(study.known.size(), 1u);
        for (const auto& piece : study.known[0].pieces) {
            for (double x : piece.x) EXPECT_LT(x / (row.x1 / 2), 1);
        }
    }
}

// Backwards from x0 = 0 to x1 = -1 on the same equation, where the solution
// is smooth: the reference gives each step its value and the errors
// measured against it, as the exact 1/(1 - x) would (worked out with mpmath
// in tests/support/worked_values.py from the y the table lists).
TEST(FieldStudy, BackwardsTheReferenceMeasuresEveryStep) {
    const FieldStudy study = studyField(typedProblem("y^2", 0, 1, -1), {.h = 0.25, .method = 3});
    EXPECT_FALSE(study.end);
    const TextTable table = stepErrorTable(study.labSteps);
    const struct {
        const char *x, *y;
        double global, local;
    } rows[] = {
        {"-0.25", "0.800013573386688", 1.3573387e-5, 1.3573387e-5},
        {"-0.5", "0.666680654825929", 1.3988159e-5, 4.5618318e-6},
        {"-0.75", "0.571440629940669", 1.2058512e-5, 1.7813317e-6},
        {"-1", "0.500010017307444", 1.0017307e-5, 7.8494441e-7},
    };
    ASSERT_EQ(table.rows.size(), std::size(rows) + 1);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].x);
        const auto& cells = table.rows[i + 1];
        ASSERT_EQ(cells.size(), 6u);
        EXPECT_EQ(cells[1], rows[i].x);
        EXPECT_EQ(cells[2], rows[i].y);
        EXPECT_NEAR(std::stod(cells[4]), rows[i].global, 1e-7 * rows[i].global);
        EXPECT_NEAR(std::stod(cells[5]), rows[i].local, 1e-7 * rows[i].local);
    }
}

// The lesson's y' = -2x - y from (0, -1) to 2 with h = 0.4, RK4 chosen: the
// runs' global errors as the Lab steps table writes them, worked out in
// python3 with each method's own operation order against the exact solution.
TEST(FieldStudy, TheRunsErrorsAreTheLabStepsGlobalErrors) {
    const FieldStudy study = studyField(lessonAt(0, -1, 2), {.h = 0.4, .method = 3});
    const std::array<std::vector<std::string>, 3> expected{{
        {"-2.39861893082449E-04", "-3.21587648335342E-04", "-3.23369255393668E-04",
         "-2.89031762670700E-04", "-2.42194174707500E-04"},
        {"-7.74076605447593E-06", "-1.26752264156815E-05", "-1.55664210318429E-05",
         "-1.69929702623639E-05", "-1.73908615788143E-05"},
        {"-2.45892121109037E-07", "-4.44984804559567E-07", "-6.03958379419289E-07",
         "-7.28645554448626E-07", "-8.24132239451991E-07"},
    }};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(k);
        const ErrorPath& errors = study.halvedErrors[k];
        ASSERT_EQ(errors.x.size(), study.halved[k].x.size());
        EXPECT_EQ(errors.error.front(), 0);
        for (std::size_t i = 0; i < expected[k].size(); ++i) {
            EXPECT_EQ(fullErrorText(errors.error[i + 1]), expected[k][i]) << i + 1;
        }
    }
    // The run with h is the one Lab steps lists.
    for (std::size_t i = 0; i < study.labSteps.rows.size(); ++i) {
        EXPECT_EQ(study.halvedErrors[0].error[i], study.labSteps.rows[i].globalError);
    }
}

namespace {

// Each hidden run's caption with the caption of the run that hides it.
using HiddenCaptions = std::map<std::string_view, std::string_view>;
HiddenCaptions hiddenCaptions(const HiddenRuns& runs) {
    HiddenCaptions captions;
    for (std::size_t row = 0; row < runs.size(); ++row) {
        if (runs[row]) captions[labCatalogue()[row].caption] = labCatalogue()[*runs[row]].caption;
    }
    return captions;
}

}  // namespace

// Which of the seven curves another hides, drawn in catalogue order. On the
// linear lesson equation the two Euler variants are one method, and RK4 and
// Gill too; RKF and Merson lie within a hundredth of the values' span of Gill
// (0.0003 and 0.00005 of 1.84, in python3), so the field cannot tell them
// apart, while their errors, on a logarithmic axis, differ.
// Beside the implicit methods, Runge-Kutta 4 and the order-2 and -3 ones lie
// under Gauss-Legendre's curve (the trapezoid's largest distance from the
// solution is 0.0147, in python3; SDIRK 2's from Gauss-Legendre's 0.0074, in
// mpmath), and the trapezoid's errors are the
// implicit mid point's: with f linear in x both average its x-terms alike.
TEST(FieldStudy, NamesTheCurveUnderWhichEachHiddenRunLies) {
    const std::size_t rungeKutta4 = catalogueRow(methodByCaption("Runge-Kutta 4"));
    const FieldStudy study = studyField(
        lessonAt(0, -1, 2),
        {.h = 0.4, .method = rungeKutta4, .sideBySide = SideBySide::explicitMethods});
    const auto seven = static_cast<std::size_t>(SideBySide::explicitMethods);
    EXPECT_EQ(hiddenCaptions(study.hiddenUnder[seven]),
              (HiddenCaptions{{"Euler (End points)", "Euler (Mid point)"},
                              {"Runge-Kutta 4", "Runge-Kutta-Gill"},
                              {"Runge-Kutta-Fehlberg", "Runge-Kutta-Gill"},
                              {"Runge-Kutta-Merson", "Runge-Kutta-Gill"}}));
    EXPECT_EQ(hiddenCaptions(study.errorHiddenUnder[seven]),
              (HiddenCaptions{{"Euler (End points)", "Euler (Mid point)"},
                              {"Runge-Kutta 4", "Runge-Kutta-Gill"}}));

    const auto implicit = static_cast<std::size_t>(SideBySide::implicitMethods);
    const FieldStudy beside = studyField(
        lessonAt(0, -1, 2),
        {.h = 0.4, .method = rungeKutta4, .sideBySide = SideBySide::implicitMethods});
    // A study makes the runs of the set it shows alone.
    EXPECT_TRUE(beside.hiddenUnder[seven] == HiddenRuns{});
    EXPECT_TRUE(beside.every[catalogueRow(methodByCaption("Euler"))].x.empty());
    EXPECT_EQ(hiddenCaptions(beside.hiddenUnder[implicit]),
              (HiddenCaptions{{"Runge-Kutta 4", "Gauss-Legendre 4"},
                              {"Trapezoid", "Gauss-Legendre 4"},
                              {"Implicit mid point", "Gauss-Legendre 4"},
                              {"SDIRK 2", "Gauss-Legendre 4"},
                              {"Radau IIA 3", "Gauss-Legendre 4"}}));
    EXPECT_EQ(hiddenCaptions(beside.errorHiddenUnder[implicit]),
              (HiddenCaptions{{"Trapezoid", "Implicit mid point"}}));

    // Far apart on y' = y^2 from (0, 1) to 0.8, the Euler methods' curves show.
    const FieldStudy apart = studyField(
        typedProblem("y^2", 0, 1, 0.8),
        {.h = 0.4, .method = 0, .sideBySide = SideBySide::explicitMethods});
    for (std::size_t row : {0, 1, 2}) {
        EXPECT_FALSE(apart.hiddenUnder[seven][row]) << row;
        EXPECT_FALSE(apart.errorHiddenUnder[seven][row]) << row;
    }
}

// Euler with h = 0.9999999 on y' = y², y(0) = 1 lands 1E-7 before the end,
// where y = 1E+7 and the reference's two solutions differ by more than a
// millionth of that: no error is measured against it there ("not trusted"),
// and past the end there is no solution to measure against.
TEST(FieldStudy, WhereTheReferenceCannotBeTrustedNoErrorIsMeasured) {
    const FieldStudy study =
        studyField(typedProblem("y^2", 0, 1, 2), {.h = 0.9999999, .method = 0});
    const TextTable table = stepErrorTable(study.labSteps);
    const std::vector<std::vector<std::string>> expected{
        {"0", "0", "1", "1", "0", ""},
        {"1", "0.9999999", "1.9999999", "not trusted", "not trusted", "not trusted"},
    };
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(std::vector(table.rows.begin(), table.rows.begin() + 2), expected);
    for (std::size_t i = 2; i < table.rows.size(); ++i) {
        EXPECT_EQ(std::vector(table.rows[i].begin() + 3, table.rows[i].end()),
                  std::vector<std::string>(3, "no solution here"));
    }
    EXPECT_NE(std::find(study.notes.begin(), study.notes.end(),
                        "From x = 0.9999999 on, the reference solution's estimated error is more "
                        "than 1.00E-06 of the solution's size, too large to measure the methods' "
                        "errors against: it is left out there. The solution does not continue "
                        "past x \u2248 1: |y| grows without bound as x nears it."),
              study.notes.end());
}

// A study asked to stop (its page asked for a newer one) ends before the
// reference, the costliest part, and claims nothing it did not compute.
TEST(StoppedStudy, EndsBeforeTheReferenceAndSaysNothingUntrue) {
    std::stop_source stopped;
    stopped.request_stop();
    const Problem riccati = typedProblem("x^2 + y^2", 0, 0, 1);

    const FieldStudy field = studyField(riccati, {.h = 0.25, .method = 0}, stopped.get_token());
    EXPECT_FALSE(field.halved.front().x.empty());
    EXPECT_TRUE(field.known.empty());
    EXPECT_TRUE(field.labSteps.rows.empty());
    EXPECT_TRUE(field.notes.empty());

    const AdaptiveStudy adaptive = studyAdaptive(methodByCaption("Runge-Kutta-Fehlberg"), riccati,
                                                 0.25, {}, maxReferenceEvaluations,
                                                 stopped.get_token());
    EXPECT_FALSE(adaptive.run.attempts.empty());
    EXPECT_TRUE(adaptive.notes.empty());
    EXPECT_TRUE(adaptive.solutionY.empty());
    for (const AdaptiveStep& step : adaptive.run.attempts) EXPECT_FALSE(step.globalError);
}

// A run that leaps in one step beyond what a plot can span leaves the view
// too, though the plot cannot draw the value that leaves it. On y1' = -1E251·y1,
// y2' = 0 from (1, 1) the solution stays within [0, 1]; Euler's first step
// gives y1 = 1 - h·1E251: -1E251 with h = 1, -5E250 with h/2, -2.5E250 with
// h/4, each beyond the 1E250 a plot spans, and then overflows or ends.
TEST(FieldStudyOfASystem, ARunBeyondWhatAPlotSpansLeavesTheView) {
    const Problem stiff = pelorin::testing::systemProblem(
        {{"-1E251*y1", "1", "exp(-1E251*x)"}, {"0", "1", "1"}}, 0, 1);
    const FieldStudyOf<StateVector> study = studyField<StateVector>(stiff, {.h = 1, .method = 0});
    ASSERT_EQ(study.halved[0].y.size(), 2u);
    EXPECT_EQ(study.halved[0].y[1][0], -1E251);
    EXPECT_EQ(study.leavingNote,
              "The runs with h, with h/2 and with h/4 leave the view, far beyond the solution; "
              "Lab steps lists the values of the run with h.");
    EXPECT_EQ(study.values.lower, 0.0);
    EXPECT_EQ(study.values.upper, 1.0);
}

// The system y1' = y1², y2' = 1 from (1, 0) has y1 = 1/(1 - x), which ends
// at x = 1, as one equation's y' = y² does: the notes say where, the runs'
// points past it (Runge-Kutta 4 steps over it with h = 0.1) follow no
// solution and are left out of the view instead of said to leave it, and
// Lab steps has nothing to compare them with.
TEST(FieldStudyOfASystem, RunsPastTheEndOfTheSolutionFollowNoSolution) {
    const Problem blowUp =
        pelorin::testing::systemProblem({{"y1^2", "1", ""}, {"1", "0", ""}}, 0, 2);
    const FieldStudyOf<StateVector> study = studyField<StateVector>(
        blowUp, {.h = 0.1, .method = catalogueRow(methodByCaption("Runge-Kutta 4"))});
    ASSERT_TRUE(study.end);
    EXPECT_NEAR(study.end->at, 1, 1e-9);
    for (const std::string note :
         {"The solution does not continue past x \u2248 1: |y| grows without bound as x nears it.",
          "The runs' points past x \u2248 1 follow no solution. The view is fitted to the points "
          "before it, and Lab steps has no solution to compare with there."}) {
        EXPECT_NE(std::find(study.notes.begin(), study.notes.end(), note), study.notes.end())
            << note;
    }
    EXPECT_EQ(study.leavingNote, "");
    const TextTable table = stepErrorTable(study.labSteps);
    ASSERT_GE(table.rows.size(), 12u);
    for (const auto& cells : table.rows) {
        SCOPED_TRACE(cells[1]);
        const bool past = std::stod(cells[1]) >= 1;
        EXPECT_EQ(cells.back() == "no solution here", past) << cells.back();
    }
}

// Euler spirals out of the oscillator's circle: by (1 + h²)^(N/2) after N
// steps, 1.16^125 ≈ 1E8 with h = 0.4 to x = 100, 144 with h/4. The view
// holds the circle and what lies near it, and the notes name the runs that
// leave it. Of the seven with h only Euler does: the end-point and mid-point
// methods grow by |R(ih)| = √(1 + h⁴/4) = 1.0032 a step, to about 2.2 at
// x = 100, within twice the circle's span of it.
TEST(FieldStudyOfASystem, RunsThatLeaveTheSolutionFarBehindLeaveTheView) {
    const Problem oscillator = pelorin::testing::systemProblem(
        {{"y2", "1", "cos(x)"}, {"-y1", "0", "-sin(x)"}}, 0, 100, "y1^2 + y2^2");
    const FieldStudyOf<StateVector> study = studyField<StateVector>(
        oscillator, {.h = 0.4, .method = 0, .sideBySide = SideBySide::explicitMethods});
    EXPECT_EQ(study.comparison, Comparison::exact);
    EXPECT_EQ(study.leavingNote,
              "The runs with h, with h/2 and with h/4 leave the view, far beyond the solution; "
              "Lab steps lists the values of the run with h.");
    EXPECT_EQ(study.everyLeavingNote[0],
              "The run Euler leaves the view, far beyond the solution; Lab steps lists the values "
              "of the run with h.");
    // The circle spans [-1, 1]; runs count up to twice that span beyond it.
    EXPECT_GE(study.values.lower, -5.0);
    EXPECT_LE(study.values.upper, 5.0);
    EXPECT_LE(study.values.lower, -1.0);
    EXPECT_GE(study.values.upper, 1.0);
    // The energy y1² + y2² grows by the factor 1 + h² a step: 0.16 after one.
    ASSERT_GE(study.drift[0].size(), 2u);
    EXPECT_NEAR(study.drift[0][1], 0.16, 1e-15);
}

// The stiff systems with h = 0.5 beside the implicit methods: Euler's runs
// blow up and leave the view, the implicit ones follow the reference to x1
// (Robertson's total y1 + y2 + y3 = 1 kept by every Runge-Kutta method, a
// linear invariant), and backward Euler stays within a few hundredths of it.
TEST(FieldStudyOfASystem, OnTheStiffSystemsTheImplicitMethodsFollowWhereEulerBlowsUp) {
    const auto implicit = static_cast<std::size_t>(SideBySide::implicitMethods);
    for (const auto& [name, x1] :
         {std::pair{"Robertson", 40.0}, std::pair{"Van der Pol, stiff", 100.0}}) {
        SCOPED_TRACE(name);
        const FieldStudyOf<StateVector> study = studyField<StateVector>(
            pelorin::testing::librarySystem(name, x1),
            {.h = 0.5, .method = 0, .sideBySide = SideBySide::implicitMethods});
        EXPECT_NE(study.every[0].end, PathEnd::reached);
        EXPECT_EQ(study.everyLeavingNote[implicit].rfind("The run Euler leaves the view", 0), 0u)
            << study.everyLeavingNote[implicit];
        for (std::size_t row : sideBySideRows(SideBySide::implicitMethods, 0)) {
            if (row == 0) continue;
            SCOPED_TRACE(labCatalogue()[row].caption);
            EXPECT_EQ(study.every[row].end, PathEnd::reached) << pathNote(study.every[row]);
            EXPECT_DOUBLE_EQ(study.every[row].x.back(), x1);
        }
        const std::size_t backward = catalogueRow(methodByCaption("Backward Euler"));
        EXPECT_LT(study.everyErrors[backward].error.back(), 0.05);
    }
}

// Euler on the oscillator with h = 1 multiplies the state by 1 + i a step
// (in whole numbers, exactly): its components reach ±2^26 at x = 52 and 53,
// 2^27 at x = 54, past 2^26 = 1/√ε times the start's 1. There the run leaves
// the range where its energy can be computed, and the note says so instead
// of a number. With h/2 and h/4 it grows by 1 + h² a step, to
// (1.25^120 - 1)/2 = 2.13E+11 and (1.0625^240 - 1)/2 = 1.04E+06 at x = 60
// (python3's fractions), whose values stay within the range.
TEST(FieldStudyOfASystem, ARunThatBlowsUpLeavesTheRangeWhereItsInvariantCanBeComputed) {
    const Problem oscillator = pelorin::testing::librarySystem("Harmonic oscillator", 60);
    const FieldStudyOf<StateVector> study =
        studyField<StateVector>(oscillator, {.h = 1, .method = 0});
    EXPECT_EQ(study.halved[0].x.size(), 61u);
    EXPECT_EQ(study.drift[0].size(), 54u);
    EXPECT_EQ(study.drift[1].size(), 121u);
    EXPECT_EQ(invariantDriftNote(oscillator.invariantText(), study.invariantAtStart, 60,
                                 runDrifts(study.halved, study.drift), study.driftAgainst),
              "Drift of the invariant I = y2^2/2 + y1^2/2, which the solutions keep at 0.5: "
              "I(x_i, y_i) \u2212 I(x0, y0) at x1 = 60, and its largest size over the run:\n"
              "with h = 1: left the range where I can be computed at x = 54\n"
              "with h = 0.5: 2.13E+11, largest 2.13E+11, growing\n"
              "with h = 0.25: 1.04E+06, largest 1.04E+06, growing\n"
              "Growing: its largest size over the run's second half is at least 1.5 times that "
              "over its first half; not growing: at most 1.1 times.");
}

// The damped pendulum does not keep the energy typed as its invariant
// (checkInvariant): each run's energy is measured against the reference's
// at the same x, so that a run as good as the reference shows no error at
// all, though the energy itself falls from -cos 2 = 0.416 towards -1.
TEST(FieldStudyOfASystem, AnInvariantTheSystemDoesNotKeepIsMeasuredAgainstTheSolution) {
    const Problem damped = pelorin::testing::systemProblem(
        {{"y2", "2", ""}, {"-sin(y1) - 0.5*y2", "0", ""}}, 0, 20, "y2^2/2 - cos(y1)");
    const FieldStudyOf<StateVector> study = studyField<StateVector>(
        damped, {.h = 0.05, .method = catalogueRow(methodByCaption("Runge-Kutta 4"))});
    EXPECT_EQ(study.driftAgainst, "the reference solution");
    ASSERT_EQ(study.drift[0].size(), 401u);
    // The solution's curve: four samples a step of h, 1601 for 400 steps.
    ASSERT_EQ(study.known.size(), 2u);
    for (const SampledCurve& component : study.known) {
        ASSERT_EQ(component.pieces.size(), 1u);
        EXPECT_EQ(component.pieces[0].x.size(), 1601u);
    }
    // The energy falls by more than 1, the error of Runge-Kutta 4 with
    // h = 0.05 in it stays below a millionth.
    const ConservedQuantity energy = damped.typedInvariant();
    EXPECT_LT(energy(20, study.halved[0].y.back()) - study.invariantAtStart, -1);
    for (double error : study.drift[0]) EXPECT_LT(std::fabs(error), 1e-6);
}

// The stiff y' = -50(y - cos x) from (0, 0) with h = 0.5: Euler multiplies
// the transient by 1 - 25 = -24 a step, to 25 at x = 0.5 and -578 at x = 1,
// far beyond the solution, which stays within [0, 1]. One equation's field
// leaves it out of the view beside the implicit methods alone, and says so;
// beside the seven explicit methods, which all blow up, and with h, h/2 and
// h/4 the view holds every run, as the page has always drawn it.
TEST(FieldStudy, OneEquationsViewLeavesARunOutBesideTheImplicitMethodsAlone) {
    const Problem stiff = typedProblem("-50*(y - cos(x))", 0, 0, 1);
    const struct {
        std::optional<SideBySide> set;
        const char* note;
        bool eulerLeaves;
    } rows[] = {
        {SideBySide::implicitMethods,
         "The run Euler leaves the view, far beyond the solution; Lab steps lists the values of "
         "the run with h.",
         true},
        {SideBySide::explicitMethods, "", false},
        {std::nullopt, "", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        const FieldStudy study = studyField(stiff, {.h = 0.5, .method = 0, .sideBySide = row.set});
        EXPECT_EQ(study.leavingNoteOf(row.set), row.note);
        const Extent& values = study.valuesOf(row.set);
        if (row.eulerLeaves) EXPECT_GT(values.lower, -1);
        else EXPECT_LE(values.lower, -578);
        if (row.set) {
            EXPECT_EQ(study.leavesView[static_cast<std::size_t>(*row.set)][0], row.eulerLeaves);
        }
    }
}

// One equation y' = f(x, y) with an invariant I(x, y), checked as a
// system's is: kept, or else measured against the exact solution.
Problem withInvariant(Problem problem, const char* invariant) {
    InvariantCompilation compiled = compileInvariant(invariant, 1, Parameters{});
    if (!compiled.invariant) throw std::invalid_argument(compiled.error.message);
    problem.equation.invariantHolds =
        !checkInvariant(*problem.equation.slope, *compiled.invariant, problem.x0, problem.y0,
                        problem.x1, "the exact solution");
    problem.equation.invariant =
        std::make_shared<const InvariantExpression>(std::move(*compiled.invariant));
    return problem;
}

// One equation with an invariant drifts in it as a system does. y' = y from
// (0, 1) keeps I = y*exp(-x); Euler multiplies y by 1 + h a step, so that
// I(x_i, y_i) - I(x0, y0) = (1 + h)^i exp(-ih) - 1, to x1 = 2 (mpmath in
// tests/support/one_equation_drift.py): -1.93E-01 with h = 0.25, growing
// from 0.102 over the run's first half to 0.193 over its second. Read as a
// system of one, the drift is the same to the last bit. The same equation
// does not keep I = y: each run's I is then measured against the exact
// solution's at the same x, y_i - exp(x_i), the run's global error itself.
TEST(FieldStudy, OneEquationsInvariantDriftsAsASystemOfOnesDoes) {
    const Problem growth = pelorin::testing::compiledProblem(
        {"", "y", "exp(x)", "0", "1", "2"});
    const FieldInputs euler{.h = 0.25, .method = 0};

    const Problem keeping = withInvariant(growth, "y*exp(-x)");
    ASSERT_TRUE(keeping.equation.invariantHolds);
    const FieldStudy study = studyField(keeping, euler);
    EXPECT_EQ(study.invariantAtStart, 1);
    EXPECT_EQ(study.driftAgainst, "");
    EXPECT_EQ(invariantDriftNote(keeping.invariantText(), study.invariantAtStart, 2,
                                 runDrifts(study.halved, study.drift), study.driftAgainst),
              "Drift of the invariant I = y*exp(-x), which the solutions keep at 1: "
              "I(x_i, y_i) \u2212 I(x0, y0) at x1 = 2, and its largest size over the run:\n"
              "with h = 0.25: -1.93E-01, largest 1.93E-01, growing\n"
              "with h = 0.125: -1.09E-01, largest 1.09E-01, growing\n"
              "with h = 0.0625: -5.82E-02, largest 5.82E-02, growing\n"
              "Growing: its largest size over the run's second half is at least 1.5 times that "
              "over its first half; not growing: at most 1.1 times.");
    ASSERT_EQ(study.drift[0].size(), 9u);
    EXPECT_NEAR(study.drift[0][1], -0.026499021160743914694, 1e-15);
    const FieldStudyOf<StateVector> systemOfOne = studyField<StateVector>(keeping, euler);
    EXPECT_EQ(systemOfOne.drift, study.drift);
    EXPECT_EQ(systemOfOne.invariantAtStart, study.invariantAtStart);

    const Problem notKeeping = withInvariant(growth, "y");
    ASSERT_FALSE(notKeeping.equation.invariantHolds);
    const FieldStudy against = studyField(notKeeping, euler);
    EXPECT_EQ(against.driftAgainst, "the exact solution");
    for (std::size_t r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(against.drift[r], against.halvedErrors[r].error);
    }

    const FieldStudy without = studyField(growth, euler);
    for (const std::vector<double>& drift : without.drift) EXPECT_TRUE(drift.empty());

    // Without the exact solution, that I is measured against the reference,
    // and the reference's note says so.
    const Problem unknown = pelorin::testing::compiledProblem({"", "y", "", "0", "1", "2"});
    const std::vector<std::string> notes = studyField(withInvariant(unknown, "y"), euler).notes;
    EXPECT_TRUE(std::any_of(notes.begin(), notes.end(), [](const std::string& note) {
        return note.starts_with("No exact solution is given: the curve named \"reference\", the "
                                "errors in Lab steps and in the Global error plot, and the error "
                                "in I on the drift plot come from a reference solution (");
    })) << notes.front();
}

// The note on the reference names the method that made it: Dormand-Prince's
// pair on y' = y, Rosenbrock's method on an equation drawn so fast towards
// cos x that the pair's steps, held by stability, run out before x1 = 2.5.
TEST(FieldStudy, TheReferenceNoteNamesTheMethodThatMadeIt) {
    const struct {
        const char* f;
        double x1;
        const char* method;
    } rows[] = {
        {"y", 1, "(the library Boost.Odeint's Dormand-Prince method with step-size control)"},
        {"-1e5*(y - cos(x)) - sin(x)", 2.5,
         "(the library Boost.Odeint's Rosenbrock method of order 4, implicit, for stiff "
         "problems, with step-size control)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.f);
        const FieldStudy study =
            studyField(typedProblem(row.f, 0, 1, row.x1), {.h = 0.5, .method = 3});
        EXPECT_EQ(study.comparison, Comparison::reference);
        const auto note =
            std::find_if(study.notes.begin(), study.notes.end(), [](const std::string& text) {
                return text.starts_with(
                    "No exact solution is given: the curve named \"reference\"");
            });
        ASSERT_NE(note, study.notes.end());
        EXPECT_NE(note->find(row.method), std::string::npos) << *note;
    }
}
