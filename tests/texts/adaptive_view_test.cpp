// The Adaptive page's texts: the controller's rule as the page states it,
// the attempted steps as the table lists them (values too large, errors
// that cannot be measured, a run longer than the table), which tolerances
// the Tolerance box sets, and the sweep's verdict on when adapting pays,
// on sweeps written out by hand.
#include "methods/exact_solution.h"
#include "texts/adaptive_view.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stop_token>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

const Method& fehlberg = methodByCaption("Runge-Kutta-Fehlberg");
const Method& merson = methodByCaption("Runge-Kutta-Merson");

// The controller's rule names the settings in force: the tolerance's parts,
// the error measure, the safety factor and the exponent from the pair's
// lower order (Fehlberg's 4 gives 1/5, Merson's 3 gives 1/3).
TEST(AdaptiveView, TheControllersRuleWithTheSettingsInForce) {
    ControllerSettings perUnitStep;
    perUnitStep.measure = ErrorMeasure::perUnitStep;
    perUnitStep.parts = ToleranceParts::absoluteOnly;
    perUnitStep = withTolerance(perUnitStep, 1e-9);
    perUnitStep.safety = 0.8;
    ControllerSettings relative;
    relative.parts = ToleranceParts::relativeOnly;
    relative = withTolerance(relative, 1e-4);
    const struct {
        const char* name;
        const Method& method;
        ControllerSettings settings;
        std::vector<std::string> formulas;
    } rows[] = {
        {"Fehlberg with the defaults", fehlberg, {},
         {"sc = 1.00E-06 + 1.00E-06\u00b7max(|y0|, |y1|), y0 and y1", "err = |estimate|/sc",
          "accepted when err \u2264 1", "h\u00b7min(5, max(0.2, 0.9\u00b7(1/err)^(1/5)))",
          "right after a rejection h may not grow"}},
        {"Merson per unit step, absolute 1E-9 only, safety 0.8", merson, perUnitStep,
         {"sc = 1.00E-09, y0 and y1", "err = |estimate|/(|h|\u00b7sc)",
          "h\u00b7min(5, max(0.2, 0.8\u00b7(1/err)^(1/3)))"}},
        {"Euler, relative 1E-4 only", methodByCaption("Euler"), relative,
         {"sc = 1.00E-04\u00b7max(|y0|, |y1|), y0", "err = |estimate|/sc",
          "h\u00b7min(5, max(0.2, 0.9\u00b7(1/err)^(1/(q + 1))))",
          "q is the order of the pair's lower-order solution."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string text = controllerText(row.method, row.settings);
        for (const std::string& formula : row.formulas) {
            EXPECT_NE(text.find(formula), std::string::npos) << formula << "\n" << text;
        }
    }
}

TEST(AdaptiveView, TheToleranceBoxSetsThePartsItNames) {
    const struct {
        ToleranceParts parts;
        double absolute, relative;
    } rows[] = {
        {ToleranceParts::absoluteAndRelative, 1e-7, 1e-7},
        {ToleranceParts::absoluteOnly, 1e-7, 0},
        {ToleranceParts::relativeOnly, 0, 1e-7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.parts));
        ControllerSettings settings;
        settings.parts = row.parts;
        const ControllerSettings set = withTolerance(settings, 1e-7);
        EXPECT_EQ(set.absoluteTolerance, row.absolute);
        EXPECT_EQ(set.relativeTolerance, row.relative);
        EXPECT_EQ(set.parts, row.parts);
    }
}

// y' = 1E+308·y overflows in the first stage beyond y = 1.
double overflowing(double, double y) { return 1e308 * y; }

TEST(AdaptiveView, TheTableSaysWhatItCannotShowInWords) {
    // Without an exact solution no true error is measured: a dash.
    const AdaptiveRun unmeasured =
        adaptiveRun(fehlberg, f1, 0, -1, 2, 0.4, withTolerance({}, 1e-8));
    const TextTable table = adaptiveStepTable(unmeasured);
    ASSERT_EQ(table.rows.size(), 23u);
    EXPECT_EQ(table.rows[0], (std::vector<std::string>{"0", "4.00E-01", "-0.810949907692308",
                                                       "-4.53E-05", "2.00E-08", "2.26E+03",
                                                       "rejected", "\u2013", "\u2013"}));
    EXPECT_EQ(unlistedAttemptsNote(unmeasured), "");

    // A run longer than the table: the first rows and a note.
    const TextTable first = adaptiveStepTable(unmeasured, 3);
    EXPECT_EQ(first.rows.size(), 3u);
    EXPECT_EQ(first.rows[2][0], "0.08");
    EXPECT_EQ(unlistedAttemptsNote(unmeasured, 3),
              "The table lists the first 3 of the run's 23 attempted steps.");

    // A tolerance beyond a double: atol + rtol·|y| overflows, and says so.
    const AdaptiveRun loose = adaptiveRun(fehlberg, f1, 0, -1e10, 1, 0.5, withTolerance({}, 1e300));
    ASSERT_FALSE(loose.attempts.empty());
    EXPECT_EQ(adaptiveStepTable(loose).rows[0][4], "too large");

    // A step too large to calculate with ends the run: no verdict, no NaN.
    const AdaptiveRun overflow = adaptiveRun(merson, overflowing, 0, 2, 1, 0.5, {});
    ASSERT_EQ(overflow.end, AdaptiveEnd::notFinite);
    const TextTable stopped = adaptiveStepTable(overflow);
    ASSERT_EQ(stopped.rows.size(), 1u);
    EXPECT_EQ(stopped.rows[0], (std::vector<std::string>{"0", "5.00E-01", "too large",
                                                         "too large", "\u2013", "\u2013",
                                                         "stopped", "\u2013", "\u2013"}));
}

// A sweep written out by hand: Fehlberg adaptive reaches 2E-9 at best;
// fixed steps come as close only at N = 64 (384 evaluations), or at
// N = 16 (96), or never.
WorkPrecision handSweep(long fixedSteps, std::optional<double> fixedError) {
    WorkPrecision sweep;
    WorkSeries series{"Runge-Kutta-Fehlberg", &fehlberg, {}};
    // 150 evaluations: 22 steps accepted and 3 attempts rejected.
    series.points = {{1e-4, 60, 3e-5}, {1e-8, 150, 2e-9, 0, 0, 0, 0, 22, 3},
                     {1e-12, 900, std::nullopt}};
    sweep.adaptive.push_back(series);
    ConvergenceSeries& fixed = sweep.fixedSteps.series[catalogueRow(fehlberg)];
    fixed.method = &fehlberg;
    fixed.points = {{1, 2, 6, 1e-3, {}, {}}, {4, 0.5, 24, 5e-7, {}, {}},
                    {fixedSteps, 2.0 / static_cast<double>(fixedSteps), 6 * fixedSteps,
                     fixedError, {}, {}},
                    {128, 2.0 / 128, 768, 1e-10, {}, {}}};
    return sweep;
}

// On y' = 0 every run is exact: no point has a place on the logarithmic
// axes, and the notes say why the plot is empty.
TEST(AdaptiveView, ErrorsOfZeroAreSaidToHaveNoPointOnThePlot) {
    WorkPrecision sweep;
    WorkSeries series{"Runge-Kutta-Fehlberg", &fehlberg, {}};
    series.points = {{1e-2, 18, 0.0, 0, 0, 0, 0, 3, 0}};
    sweep.adaptive.push_back(series);
    ConvergenceSeries& fixed = sweep.fixedSteps.series[catalogueRow(fehlberg)];
    fixed.method = &fehlberg;
    fixed.points = {{1, 1, 6, 0.0, {}, {}}};
    EXPECT_EQ(workPrecisionNotes(sweep),
              (std::vector<std::string>{
                  "Runge-Kutta-Fehlberg adapting its steps reached an error of exactly 0 at x1 "
                  "with 18 slope evaluations (tolerance 1.00E-02); with fixed steps 6 (N = 1) came "
                  "as close: on this problem adapting did not pay: none of its attempts was "
                  "rejected, but it took 3 steps where 1 fixed one came as close.",
                  "A run that reaches x1 with an error of exactly 0 (the method is exact here, "
                  "or its value there rounds to the solution's own) has no point on the plot, "
                  "since a logarithmic axis has no place for 0."}));
    // With every error above 0 nothing is said of it.
    EXPECT_EQ(workPrecisionNotes(handSweep(16, 2e-9)).size(), 1u);
}

// The same 150 evaluations as 25 steps, none rejected, as on y' = 0, where
// the estimate is 0 and the first step and the limit on growth decide.
WorkPrecision withoutRejections(WorkPrecision sweep) {
    WorkPoint& point = sweep.adaptive.front().points[1];
    point.accepted = 25;
    point.rejected = 0;
    return sweep;
}

TEST(AdaptiveView, TheSweepSaysWhetherAdaptingPaid) {
    const struct {
        const char* name;
        WorkPrecision sweep;
        std::string note;
    } rows[] = {
        {"fixed steps need more", handSweep(64, 1.5e-9),
         "Runge-Kutta-Fehlberg adapting its steps reached an error of 2.00E-09 at x1 with 150 "
         "slope evaluations (tolerance 1.00E-08); with fixed steps it needed 384 (N = 64) to "
         "come as close: adapting paid, for the steps are long where the solution is smooth "
         "and short only where it must be."},
        {"fixed steps need more, but less than twice as many", handSweep(32, 1.5e-9),
         "Runge-Kutta-Fehlberg adapting its steps reached an error of 2.00E-09 at x1 with 150 "
         "slope evaluations (tolerance 1.00E-08); with fixed steps it needed 192 (N = 32) to "
         "come as close, but the sweep doubles N, and a fixed N between 16 and 32 might have "
         "come as close for 150 or fewer: these runs do not show whether adapting paid."},
        {"fixed steps need fewer", handSweep(16, 2e-9),
         "Runge-Kutta-Fehlberg adapting its steps reached an error of 2.00E-09 at x1 with 150 "
         "slope evaluations (tolerance 1.00E-08); with fixed steps 96 (N = 16) came as close: "
         "on this problem adapting did not pay, for its rejected attempts and the safety "
         "factor's caution cost more than uneven steps save."},
        {"fixed steps need fewer, nothing rejected", withoutRejections(handSweep(16, 2e-9)),
         "Runge-Kutta-Fehlberg adapting its steps reached an error of 2.00E-09 at x1 with 150 "
         "slope evaluations (tolerance 1.00E-08); with fixed steps 96 (N = 16) came as close: "
         "on this problem adapting did not pay: none of its attempts was rejected, but it took "
         "25 steps where 16 fixed ones came as close."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(workPrecisionNotes(row.sweep), std::vector<std::string>{row.note});
    }
    // Fixed steps never as close: the largest N is named.
    WorkPrecision never = handSweep(64, 1e-8);
    never.fixedSteps.series[catalogueRow(fehlberg)].points.back().error = 5e-9;
    EXPECT_EQ(workPrecisionNotes(never),
              std::vector<std::string>{
                  "Runge-Kutta-Fehlberg adapting its steps reached an error of 2.00E-09 at x1 "
                  "with 150 slope evaluations (tolerance 1.00E-08); with fixed steps it never "
                  "came as close, up to N = 128 steps."});
    // A series without any error at x1 says nothing.
    WorkPrecision none = handSweep(64, 1e-8);
    for (WorkPoint& point : none.adaptive.front().points) point.error.reset();
    EXPECT_TRUE(workPrecisionNotes(none).empty());
}

// The hand sweep with Radau IIA 3 beside it at 2E-9 (the pair's best) for
// `radauCost` slope evaluations, and rosenbrock4 with one run far off.
WorkPrecision stiffHandSweep(long radauCost) {
    WorkPrecision sweep = handSweep(64, 1.5e-9);
    const Method& radau = methodByCaption("Radau IIA 3");
    WorkSeries implicit{"Radau IIA 3", &radau, {}};
    implicit.points = {{0, 40, 1e-3, 4, 2, 2, 1}, {0, radauCost, 2e-9, 30, 15, 15, 64}};
    sweep.implicitFixed.push_back(implicit);
    sweep.stiffLibrary.caption = "rosenbrock4 (Boost.Odeint)";
    sweep.stiffLibrary.points = {{1e-2, 26, 1e-1, 2, 2, 12, 0}};
    return sweep;
}

// The implicit side pays where, on the numbers, it reaches an error with a
// tenth of the cheapest explicit run as close, or fewer: the pair's best,
// 2E-9 for 150, against Radau's for 15 (exactly a tenth), for 14 and 16;
// the fixed steps' 1.5E-9 for 384 do not come cheaper. For 16 Radau does not
// pay, but would without its Jacobians' calls: they are blamed.
TEST(AdaptiveView, TheSweepSaysWhetherImplicitStepsPaidOnlyWhereTheNumbersShowIt) {
    const std::string pays =
        " slope evaluations; the cheapest explicit run as close, Runge-Kutta-Fehlberg with "
        "tolerance 1.00E-08, needed 150: on this problem stability, not accuracy, holds the "
        "explicit steps short, and the implicit ones are not held so.";
    const std::string doesNotPay =
        "No run of an implicit method or of rosenbrock4 reached an error with a tenth of the "
        "slope evaluations (or fewer) of the cheapest explicit run as close: on this problem, "
        "over this range, what the implicit steps spend on Jacobians and linear solves "
        "outweighs what longer steps could save.";
    const struct {
        long radauCost;
        std::string note;
    } rows[] = {
        {14,
         "Radau IIA 3 with N = 64 fixed steps reached an error of 2.00E-09 at x1 with 14" + pays},
        {15,
         "Radau IIA 3 with N = 64 fixed steps reached an error of 2.00E-09 at x1 with 15" + pays},
        {16, doesNotPay},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.radauCost);
        EXPECT_EQ(stiffWorkNotes(stiffHandSweep(row.radauCost)).back(), row.note);
    }
    // No explicit run comes as close.
    WorkPrecision alone = stiffHandSweep(1000);
    alone.implicitFixed.front().points.back().error = 1e-12;
    EXPECT_EQ(stiffWorkNotes(alone).back(),
              "Radau IIA 3 with N = 64 fixed steps reached an error of 1.00E-12 at x1 with 1000 "
              "slope evaluations; no explicit run of the sweep came as close: on this problem "
              "stability, not accuracy, holds the explicit steps short, and the implicit ones "
              "are not held so.");
    // The plot draws the pairs' fixed steps alone: Euler's run, cheapest as
    // close here, is said not to be drawn.
    WorkPrecision byEuler = stiffHandSweep(10);
    ConvergenceSeries& euler = byEuler.fixedSteps.series[catalogueRow(methodByCaption("Euler"))];
    euler.method = &methodByCaption("Euler");
    euler.points = {{100, 0.02, 100, 1.9e-9, {}, {}}};
    EXPECT_EQ(stiffWorkNotes(byEuler).back(),
              "Radau IIA 3 with N = 64 fixed steps reached an error of 2.00E-09 at x1 with 10 "
              "slope evaluations; the cheapest explicit run as close, Euler with N = 100 fixed "
              "steps (not drawn here), needed 100: on this problem stability, not accuracy, "
              "holds the explicit steps short, and the implicit ones are not held so.");
    // Below what the reference can measure an error is not compared. The
    // runs left, Radau's 1E-3 for 40 and rosenbrock4's 1E-1 for 26, would
    // not pay even without their Jacobians' 4·5 and 2·7 calls against
    // Fehlberg's 6: the Jacobians are not blamed.
    alone.fixedSteps.measurableError = 1e-10;
    EXPECT_EQ(stiffWorkNotes(alone).back(),
              "No run of an implicit method or of rosenbrock4 reached an error with a tenth of the "
              "slope evaluations (or fewer) of the cheapest explicit run as close: on this "
              "problem, over this range, the explicit steps are not held short enough for "
              "longer implicit steps to pay.");
    // Nor is one of a hundredth of the solution's size or more, however
    // cheap: rosenbrock4's 1E-1 for 1 evaluation against Fehlberg's 5E-7
    // with N = 4 (its run with N = 1 made as far off as rosenbrock4's).
    WorkPrecision far = stiffHandSweep(16);
    far.stiffLibrary.points.front().slopeEvaluations = 1;
    far.fixedSteps.series[catalogueRow(fehlberg)].points.front().error = 0.5;
    far.fixedSteps.solutionSize = 10;
    EXPECT_EQ(stiffWorkNotes(far).back(), doesNotPay);
    far.fixedSteps.solutionSize = 10.01;
    EXPECT_EQ(stiffWorkNotes(far).back(),
              "rosenbrock4 (Boost.Odeint) with tolerance 1.00E-02 reached an error of 1.00E-01 at "
              "x1 with 1 slope evaluation; the cheapest explicit run as close, "
              "Runge-Kutta-Fehlberg with N = 4 fixed steps, needed 24: on this problem "
              "stability, not accuracy, holds the explicit steps short, and the implicit ones "
              "are not held so.");
}

// Each count by name, the cost of the Jacobians stated for the system's n.
TEST(AdaptiveView, TheSweepNamesEveryCountOfTheImplicitRuns) {
    WorkPrecision sweep = stiffHandSweep(16);
    sweep.components = 3;
    EXPECT_EQ(stiffWorkNotes(sweep),
              (std::vector<std::string>{
                  "The implicit methods and rosenbrock4 call f for their Jacobians as well: 13 "
                  "times for each (4n + 1 for n = 3, by difference quotients), rosenbrock4 2 more "
                  "for \u2202f/\u2202x. The plot counts those calls among the slope evaluations, "
                  "and the notes name the Jacobians and linear solves apart.",
                  "Radau IIA 3 with N = 64 fixed steps reached an error of 2.00E-09 at x1 with 16 "
                  "slope evaluations, the Jacobians' included, 30 Jacobians, 15 linear solves "
                  "with Newton's matrix, factored by LU.",
                  "rosenbrock4 (Boost.Odeint) with tolerance 1.00E-02 reached an error of "
                  "1.00E-01 at x1 with 26 slope evaluations, the Jacobians' included, 2 "
                  "Jacobians, 2 LU factorizations and 12 solves with them.",
                  "No run of an implicit method or of rosenbrock4 reached an error with a tenth "
                  "of the slope evaluations (or fewer) of the cheapest explicit run as close: on "
                  "this problem, over this range, what the implicit steps spend on Jacobians and "
                  "linear solves outweighs what longer steps could save."}));
    // What a Jacobian costs is said of those alone that took one: on y' = 0
    // rosenbrock4 takes them, the implicit methods' Newton steps do not.
    WorkPrecision rosenbrockAlone = sweep;
    for (WorkPoint& point : rosenbrockAlone.implicitFixed.front().points) {
        point.jacobians = point.solves = 0;
    }
    WorkPoint& rosenbrock = rosenbrockAlone.stiffLibrary.points.front();
    rosenbrock.jacobians = rosenbrock.factorizations = rosenbrock.solves = 1;
    const std::vector<std::string> notes = stiffWorkNotes(rosenbrockAlone);
    EXPECT_EQ(notes.front(),
              "rosenbrock4 calls f for its Jacobians as well: 13 times for each (4n + 1 for n = "
              "3, by difference quotients), 2 more for \u2202f/\u2202x. The plot counts those "
              "calls among the slope evaluations, and the notes name the Jacobians and linear "
              "solves apart.");
    EXPECT_EQ(notes[2], "rosenbrock4 (Boost.Odeint) with tolerance 1.00E-02 reached an error of "
                        "1.00E-01 at x1 with 26 slope evaluations, the Jacobians' included, 1 "
                        "Jacobian, 1 LU factorization and 1 solve with them.");
    // The run that came nearest to paying, Radau's 2E-9 for 16 against 150,
    // spent nothing on Jacobians: they are not blamed.
    EXPECT_TRUE(notes.back().ends_with("longer implicit steps to pay.")) << notes.back();
    WorkPrecision implicitAlone = sweep;
    implicitAlone.stiffLibrary.points.front().jacobians = 0;
    implicitAlone.stiffLibrary.points.front().solves = 0;
    EXPECT_EQ(stiffWorkNotes(implicitAlone).front(),
              "The implicit methods call f for their Jacobians as well: 13 times for each (4n + 1 "
              "for n = 3, by difference quotients). The plot counts those calls among the slope "
              "evaluations, and the notes name the Jacobians and linear solves apart.");
    // Runs that took no Jacobian are not said to pay for any, nor is what
    // one costs.
    for (WorkPoint& point : sweep.implicitFixed.front().points) point.jacobians = point.solves = 0;
    sweep.stiffLibrary.points.front().jacobians = sweep.stiffLibrary.points.front().solves = 0;
    const std::vector<std::string> free = stiffWorkNotes(sweep);
    EXPECT_EQ(free.front(), "Radau IIA 3 with N = 64 fixed steps reached an error of 2.00E-09 at "
                            "x1 with 16 slope evaluations, without a Jacobian or a linear solve.");
    EXPECT_EQ(free.back(), "No run of an implicit method or of rosenbrock4 reached an error with "
                           "a tenth of the slope evaluations (or fewer) of the cheapest explicit "
                           "run as close: on this problem, over this range, the explicit steps "
                           "are not held short enough for longer implicit steps to pay.");
    // Without those series the sweep says nothing of them.
    EXPECT_TRUE(stiffWorkNotes(handSweep(64, 1.5e-9)).empty());
}

// The hand sweeps measured against a reference: errors below ten times its
// estimated accuracy cannot be told apart and are not stated. With an
// accuracy of 1E-9 (a floor of 1.00E-08) the pair's best, 2E-9, is below
// it, and so is any fixed run at 1.5E-9, 5E-9 or 1E-10, the cheapest of
// which comes as close; Radau's runs of 5E-9 for 20 and 1E-12 for 40 are
// alike, and the cheaper one is named. With 1E-12 (1.00E-11) every error
// lies above the floor and the notes read as against an exact solution.
TEST(AdaptiveView, TheSweepDoesNotStateErrorsTheReferenceCannotMeasure) {
    const auto measured = [](WorkPrecision sweep, double measurableError) {
        sweep.fixedSteps.measurableError = measurableError;
        return sweep;
    };
    const std::string paid = " to come as close: adapting paid, for the steps are long where the "
                             "solution is smooth and short only where it must be.";
    const std::string belowFloor = "Runge-Kutta-Fehlberg adapting its steps reached an error "
                                   "below what the reference can measure, about 1.00E-08, at x1 "
                                   "with 150 slope evaluations (tolerance 1.00E-08); ";
    const std::string exactly = "Runge-Kutta-Fehlberg adapting its steps reached an error of "
                                "2.00E-09 at x1 with 150 slope evaluations (tolerance 1.00E-08); ";
    const struct {
        const char* name;
        WorkPrecision sweep;
        std::string note;
    } rows[] = {
        {"below the floor, fixed steps need more", measured(handSweep(64, 1.5e-9), 1e-9),
         belowFloor + "with fixed steps it needed 384 (N = 64)" + paid},
        {"below the floor, fixed steps as close though larger", measured(handSweep(16, 5e-9), 1e-9),
         belowFloor + "with fixed steps 96 (N = 16) came as close: on this problem adapting did "
                      "not pay, for its rejected attempts and the safety factor's caution cost "
                      "more than uneven steps save."},
        {"exact solution", measured(handSweep(16, 5e-9), 0),
         exactly + "with fixed steps it needed 768 (N = 128)" + paid},
        {"well above the floor", measured(handSweep(16, 5e-9), 1e-12),
         exactly + "with fixed steps it needed 768 (N = 128)" + paid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(workPrecisionNotes(row.sweep), std::vector<std::string>{row.note});
    }

    WorkPrecision radau = stiffHandSweep(16);
    radau.implicitFixed.front().points = {{0, 20, 5e-9, 2, 4, 4, 32}, {0, 40, 1e-12, 4, 8, 8, 64}};
    const struct {
        double measurableError;
        std::string note;
    } implicitRows[] = {
        {1e-9, "Radau IIA 3 with N = 32 fixed steps reached an error below what the reference can "
               "measure, about 1.00E-08, at x1 with 20 slope evaluations, the Jacobians' "
               "included, 2 Jacobians, 4 linear solves with Newton's matrix, factored by LU."},
        {0, "Radau IIA 3 with N = 64 fixed steps reached an error of 1.00E-12 at x1 with 40 slope "
            "evaluations, the Jacobians' included, 4 Jacobians, 8 linear solves with Newton's "
            "matrix, factored by LU."},
        {1e-14, "Radau IIA 3 with N = 64 fixed steps reached an error of 1.00E-12 at x1 with 40 "
                "slope evaluations, the Jacobians' included, 4 Jacobians, 8 linear solves with "
                "Newton's matrix, factored by LU."},
    };
    for (const auto& row : implicitRows) {
        SCOPED_TRACE(row.measurableError);
        const std::vector<std::string> notes = stiffWorkNotes(measured(radau, row.measurableError));
        ASSERT_GE(notes.size(), 2u);
        EXPECT_EQ(notes[1], row.note);
    }
}

// A sweep for inputs no longer shown stops before its next run.
TEST(AdaptiveView, ASweepAskedToStopRunsNoMore) {
    std::stop_source stop;
    stop.request_stop();
    const WorkPrecision stopped =
        workPrecision(lessonProblem(0, -1, 2), 0.1, {}, 8, stop.get_token());
    EXPECT_TRUE(stopped.adaptive.empty());
    EXPECT_TRUE(stopped.library.points.empty());
    const WorkPrecision whole = workPrecision(lessonProblem(0, -1, 2), 0.1, {}, 8);
    EXPECT_EQ(whole.adaptive.size(), 2u);
    EXPECT_EQ(whole.library.points.size(), sweepTolerances.size());
}

}  // namespace

namespace {

using pelorin::testing::oscillator;
StateVector oscillatorExact(double x) { return {std::cos(x), -std::sin(x)}; }

}  // namespace

// Fehlberg on y1' = y2, y2' = -y1 from (1, 0), first step 1, both
// tolerances 1E-6, worked out independently in Python: the first two rows
// in 50-digit arithmetic (mpmath: the tableau's fractions, the controller
// and the scaled norm); from the third on the steps depend on rounding, for
// an estimate is a difference of nearly equal sums (the second's 1.5E-06
// of stages near 0.26), so those rows come from a replica in double
// arithmetic summing the stages in the tableau's order, and agree with the
// 50-digit run to 13 digits. By hand for the first attempt: its estimate is (-1/2080, 1/780), the
// tolerances 1E-6 + 1E-6·max(|y0_k|, |y1_k|) are (2.0E-06, 1.8417E-06), so
// the ratios are (240.38, 696.14) and err = sqrt((240.38² + 696.14²)/2) =
// 520.76: rejected, and h = 1·max(0.2, 0.9·(1/520.76)^(1/5)) = 0.2576. The
// second attempt is accepted though y2's ratio alone is 1.159: the mean
// over the components is 0.821.
TEST(AdaptiveView, ASystemsAttemptsWithErrInTheScaledNorm) {
    const AdaptiveRunOf<StateVector> run =
        adaptiveRun(fehlberg, oscillator, 0, StateVector{1, 0}, 10, 1, withTolerance({}, 1e-6),
                    oscillatorExact);
    const TextTable table = adaptiveStepTable(run, 4);
    EXPECT_EQ(table.header,
              (std::vector<std::string>{"x", "h", "y1 at x + h", "y2 at x + h",
                                        "err (RMS of estimate/tolerance)", "step",
                                        "true local error (max norm)",
                                        "true error of y (max norm)"}));
    const std::vector<std::vector<std::string>> expected{
        {"0", "1.00E+00", "0.541185897435897", "-0.841666666666667", "5.21E+02", "rejected",
         "8.84E-04", "8.84E-04"},
        {"0", "2.58E-01", "0.967009223217628", "-0.254742383297576", "8.21E-01", "accepted",
         "2.65E-07", "2.65E-07"},
        {"0.257581272727988", "2.41E-01", "0.878182868048504", "-0.478325956680323", "4.99E-01",
         "accepted", "1.70E-07", "4.24E-07"},
        {"0.498747310684854", "2.49E-01", "0.732952592234275", "-0.680280675004505", "5.15E-01",
         "accepted", "1.86E-07", "5.64E-07"},
    };
    EXPECT_EQ(table.rows, expected);
}

TEST(AdaptiveView, ASystemsControllerNamesItsNorm) {
    const std::string text = controllerText(fehlberg, withTolerance({}, 1e-6), 2);
    EXPECT_NE(text.find("Each component k of a step is held to its own tolerance sc_k = 1.00E-06 "
                        "+ 1.00E-06\u00b7max(|y0_k|, |y1_k|), y0 and y1 the step's start and end, "
                        "and err is the root mean square over the 2 components, err = "
                        "sqrt((1/2)\u00b7\u03a3 (e_k/sc_k)\u00b2), e_k the estimate's component: "
                        "it is accepted when err \u2264 1"),
              std::string::npos)
        << text;
    EXPECT_EQ(controllerText(fehlberg, {}, 1), controllerText(fehlberg, {}));
}

// A multistep method has no tableau: the controller's rule is still stated,
// with the exponent in q, as for any method without an estimate.
TEST(AdaptiveView, TheControllerTextOfAMultistepMethod) {
    const std::string text = controllerText(methodByCaption("BDF 2"), {});
    EXPECT_NE(text.find("(1/err)^(1/(q + 1))"), std::string::npos);
    EXPECT_NE(text.find("q is the order of the pair's lower-order solution."), std::string::npos);
}

// Fehlberg on the oscillator as in ASystemsAttemptsWithErrInTheScaledNorm,
// measured against a solution whose accuracy is estimated at 3E-8 of
// max(1, ||y||), here 1: a true error below 3.00E-07 is the reference's and
// the table says so.
TEST(AdaptiveView, TheTableSaysWhereTheReferenceCannotMeasureAnError) {
    const AdaptiveRunOf<StateVector> run =
        adaptiveRun(fehlberg, oscillator, 0, StateVector{1, 0}, 10, 1, withTolerance({}, 1e-6),
                    oscillatorExact, 3e-8);
    const TextTable table = adaptiveStepTable(run, 4);
    const std::vector<std::vector<std::string>> trueErrors{
        {"8.84E-04", "8.84E-04"},
        {"below 3.00E-07", "below 3.00E-07"},
        {"below 3.00E-07", "4.24E-07"},
        {"below 3.00E-07", "5.64E-07"},
    };
    ASSERT_EQ(table.rows.size(), trueErrors.size());
    for (std::size_t i = 0; i < trueErrors.size(); ++i) {
        EXPECT_EQ(std::vector<std::string>(table.rows[i].end() - 2, table.rows[i].end()),
                  trueErrors[i]);
    }
}
