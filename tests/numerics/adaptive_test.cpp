// Adaptive steps: the controller's next h, rejected steps retried shorter,
// runs that land on x1 and count every slope evaluation, achieved errors
// falling with the tolerance, runs stopped with a note, hostile settings,
// and the library's Dormand-Prince stepper beside ours. Expected values were
// worked out independently: by hand, and with a separate Python replica of
// the tableau step and the controller in the same double arithmetic.
#include "base/number_text.h"
#include "methods/exact_solution.h"
#include "numerics/adaptive.h"
#include "tests/support/textbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;
using pelorin::testing::textbook;
using pelorin::testing::textbookExact;

namespace {

const Method& fehlberg = methodByCaption("Runge-Kutta-Fehlberg");
const Method& merson = methodByCaption("Runge-Kutta-Merson");

// y' = y², y(0) = 1: y = 1/(1 - x), which grows without bound at x = 1.
double square(double, double y) { return y * y; }

// Stiff: y' = -1000(y - cos x), whose solution soon follows cos x closely.
double stiff(double x, double y) { return -1000 * (y - std::cos(x)); }

double growth(double, double y) { return y; }

KnownSolution lessonExact(double x0, double y0) {
    return [solution = ExactSolution(x0, y0)](double x) { return solution(x); };
}

ControllerSettings tolerance(double value) { return withTolerance({}, value); }

}  // namespace

TEST(AdaptiveController, NextStepSizeAgainstHandWorkedValues) {
    // h·min(facmax, max(facmin, fac·(1/err)^(1/(q+1)))), e.g. 0.1·0.9·2^(1/5).
    const struct {
        const char* name;
        double h, ratio;
        int q;
        bool afterRejection;
        double safety, largestGrowth;
        ErrorMeasure measure;
        double expected;
    } rows[] = {
        {"half the tolerance, q = 4", 0.1, 0.5, 4, false, 0.9, 5, ErrorMeasure::perStep,
         0.10338285194973316},
        {"half the tolerance, q = 3", 0.1, 0.5, 3, false, 0.9, 5, ErrorMeasure::perStep,
         0.1070286403502449},
        {"twice the tolerance shrinks h", 0.1, 2, 4, false, 0.9, 5, ErrorMeasure::perStep,
         0.07834955069665117},
        {"a tiny estimate grows h at most fivefold", 0.1, 1e-12, 4, false, 0.9, 5,
         ErrorMeasure::perStep, 0.5},
        {"a zero estimate grows h at most fivefold", 0.1, 0, 4, false, 0.9, 5,
         ErrorMeasure::perStep, 0.5},
        {"far above the tolerance h shrinks at most to a fifth", 0.1, 1e6, 4, false, 0.9, 5,
         ErrorMeasure::perStep, 0.020000000000000004},
        {"no growth right after a rejection", 0.1, 0.01, 4, true, 0.9, 5, ErrorMeasure::perStep,
         0.1},
        {"shrinking right after a rejection", 0.1, 3, 4, true, 0.9, 5, ErrorMeasure::perStep,
         0.07224674055842077},
        {"per unit step the power is 1/q", 0.1, 0.5, 4, false, 0.9, 5,
         ErrorMeasure::perUnitStep, 0.1070286403502449},
        {"stepping backwards keeps the sign", -0.1, 0.5, 4, false, 0.9, 5,
         ErrorMeasure::perStep, -0.10338285194973316},
        {"own growth limit caps 0.8·1000^(1/5)", 0.1, 1e-3, 4, false, 0.8, 2,
         ErrorMeasure::perStep, 0.2},
        {"own safety factor below the growth limit", 0.1, 0.25, 3, false, 0.8, 2,
         ErrorMeasure::perStep, 0.11313708498984763},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ControllerSettings settings;
        settings.safety = row.safety;
        settings.largestGrowth = row.largestGrowth;
        settings.measure = row.measure;
        EXPECT_DOUBLE_EQ(nextStepSize(settings, row.q, row.h, row.ratio, row.afterRejection),
                         row.expected);
    }
}

TEST(AdaptiveController, ToleranceOfAStepAndTheRatioHeldAgainstIt) {
    const struct {
        const char* name;
        double absolute, relative;
        ErrorMeasure measure;
        double y0, y1, estimate, h;
        double tolerance;
        bool raised;
        double ratio;
    } rows[] = {
        {"absolute and relative parts, the larger end counts", 1e-6, 1e-3, ErrorMeasure::perStep,
         -2, 3, 1.5e-3, 0.5, 0.003001, false, 0.49983338887037654},
        {"per unit step the estimate is divided by |h|", 1e-6, 1e-3, ErrorMeasure::perUnitStep,
         -2, 3, 1.5e-3, -0.5, 0.003001, false, 0.9996667777407531},
        {"a tolerance below rounding is raised to 1E-14 of y", 1e-20, 0, ErrorMeasure::perStep,
         3, 2, 6e-14, 0.1, 3e-14, true, 2},
        {"a zero estimate passes", 1e-6, 1e-6, ErrorMeasure::perStep, 1, 1, 0, 0.1, 2e-6, false,
         0},
        {"a nonzero estimate against a zero tolerance fails", 0, 1e-6, ErrorMeasure::perStep, 0,
         0, 1e-300, 0.1, 0, false, std::numeric_limits<double>::infinity()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ControllerSettings settings;
        settings.absoluteTolerance = row.absolute;
        settings.relativeTolerance = row.relative;
        settings.measure = row.measure;
        const StepTolerance step = stepTolerance(settings, row.y0, row.y1);
        EXPECT_DOUBLE_EQ(step.value, row.tolerance);
        EXPECT_EQ(step.raised, row.raised);
        EXPECT_DOUBLE_EQ(errorRatio(settings, row.estimate, step.value, row.h), row.ratio);
    }
}

TEST(AdaptiveRun, ARejectedStepIsRetriedShorterFromTheSamePoint) {
    // The whole range in one step is far too long for 1E-8: rejected, retried
    // with facmin·h, rejected again, then accepted; right after the
    // rejection the controller may not grow h.
    const AdaptiveRun run = adaptiveRun(fehlberg, f1, 0, -1, 2, 2, tolerance(1e-8));
    ASSERT_GE(run.attempts.size(), 4u);
    const struct {
        double x, h, estimate;
        bool accepted;
    } expected[] = {
        {0, 2, -0.21538461538461534, false},
        {0, 0.4, -4.5292307692310595e-05, false},
        {0, 0.08000000000000002, -1.2981169231120887e-08, true},
        {0.08000000000000002, 0.07850109834882099, -1.0895870120866333e-08, true},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE("attempt " + std::to_string(i));
        EXPECT_EQ(run.attempts[i].x, expected[i].x);
        EXPECT_DOUBLE_EQ(run.attempts[i].h, expected[i].h);
        EXPECT_DOUBLE_EQ(run.attempts[i].estimate, expected[i].estimate);
        EXPECT_EQ(run.attempts[i].accepted, expected[i].accepted);
    }
    EXPECT_DOUBLE_EQ(run.attempts[0].ratio, 6542056.074766352);
    EXPECT_DOUBLE_EQ(run.attempts[2].tolerance, 2e-08);
    EXPECT_LT(run.attempts[3].h, run.attempts[2].h);
}

TEST(AdaptiveRun, CountsAndErrorAtX1AgreeWithAnIndependentReplica) {
    ControllerSettings perUnitStep = tolerance(1e-6);
    perUnitStep.measure = ErrorMeasure::perUnitStep;
    ControllerSettings absoluteOnly = tolerance(1e-9);
    absoluteOnly.relativeTolerance = 0;
    const struct {
        const char* name;
        const Method& method;
        Slope f;
        double x0, y0, x1, h0;
        ControllerSettings settings;
        KnownSolution exact;
        long accepted, rejected, evaluations;
        std::string_view error;
    } rows[] = {
        {"Fehlberg, lesson, 1E-6", fehlberg, f1, 0, -1, 2, 0.1, tolerance(1e-6),
         lessonExact(0, -1), 10, 0, 60, "5.91E-07"},
        {"Merson, lesson, 1E-6", merson, f1, 0, -1, 2, 0.1, tolerance(1e-6), lessonExact(0, -1),
         10, 1, 55, "3.54E-06"},
        {"Fehlberg, textbook, 1E-8", fehlberg, textbook, 0, 0.5, 2, 0.1, tolerance(1e-8),
         textbookExact, 18, 2, 120, "1.62E-08"},
        {"Merson, textbook, 1E-4", merson, textbook, 0, 0.5, 2, 0.1, tolerance(1e-4),
         textbookExact, 6, 0, 30, "1.92E-04"},
        {"Fehlberg, textbook, 1E-6 per unit step", fehlberg, textbook, 0, 0.5, 2, 0.1,
         perUnitStep, textbookExact, 10, 1, 66, "4.76E-07"},
        {"Merson, lesson backwards from 2 to -1, 1E-7", merson, f1, 2, 0, -1, 0.5,
         tolerance(1e-7), lessonExact(2, 0), 22, 1, 115, "6.77E-05"},
        {"Fehlberg, lesson, absolute 1E-9 only", fehlberg, f1, 0, -1, 2, 0.1, absoluteOnly,
         lessonExact(0, -1), 39, 1, 240, "3.27E-10"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const AdaptiveRun run =
            adaptiveRun(row.method, row.f, row.x0, row.y0, row.x1, row.h0, row.settings, row.exact);
        EXPECT_EQ(run.end, AdaptiveEnd::reachedEnd);
        EXPECT_EQ(run.accepted, row.accepted);
        EXPECT_EQ(run.rejected, row.rejected);
        EXPECT_EQ(run.slopeEvaluations, row.evaluations);
        ASSERT_TRUE(run.errorAtEnd);
        EXPECT_EQ(errorText(*run.errorAtEnd), row.error);
    }
}

TEST(AdaptiveRun, LandsOnX1AndCountsEverySlopeEvaluation) {
    // From -1 to near 0 the last step's x + (x1 - x) misses x1 by rounding.
    const struct {
        double x0, x1;
    } ranges[] = {{0, 0.3}, {0, 2}, {0, -1.7}, {0, 10}, {0, 1e-9}, {-1, 1e-5}, {-0.3, 0.0002}};
    for (const Method* method : {&fehlberg, &merson}) {
        for (const auto [x0, x1] : ranges) {
            SCOPED_TRACE(std::string(method->caption) + " from " + std::to_string(x0) +
                         " to x1 = " + std::to_string(x1));
            long calls = 0;
            const auto counted = [&calls](double x, double y) {
                ++calls;
                return textbook(x, y);
            };
            const AdaptiveRun run =
                adaptiveRun(*method, counted, x0, 0.5, x1, 0.1, tolerance(1e-7));
            ASSERT_EQ(run.end, AdaptiveEnd::reachedEnd);
            EXPECT_EQ(run.x, x1);
            EXPECT_EQ(run.slopeEvaluations, calls);
            EXPECT_EQ(calls, tableauOf(*method)->stages * static_cast<long>(run.attempts.size()));
            EXPECT_TRUE(run.attempts.back().accepted);
            // Every attempt starts where the last accepted step ended.
            double x = x0;
            for (const AdaptiveStep& step : run.attempts) {
                EXPECT_EQ(step.x, x);
                if (step.accepted) x = step.x + step.h;
            }
        }
    }
    // A step that would leave less than a hundredth of itself before x1 is
    // stretched to land on x1, rather than leave a sliver for one more step.
    EXPECT_EQ(adaptiveRun(fehlberg, f1, 0, -1, 1, 0.995, {}).attempts.front().h, 1);
    EXPECT_EQ(adaptiveRun(fehlberg, f1, 0, -1, 1, 0.98, {}).attempts.front().h, 0.98);
}

// For a pair of lower order q the controller holds each step's estimate to
// the tolerance tol, so h shrinks like tol^(1/(q+1)) and the number of steps
// grows like tol^(-1/(q+1)). Even where the estimate is the whole error kept
// (Merson on the lesson's equation, where it is about 0.9 of it), the error
// at x1, about steps·tol, then falls like tol^(q/(q+1)): by 3 decades or more
// over 4 decades of tolerance. At least 2 decades are asserted, leaving one
// for loose tolerances, where runs of a few steps are not yet in that regime.
TEST(AdaptiveRun, AchievedErrorFallsAsTheToleranceFalls) {
    const struct {
        const char* name;
        Slope f;
        double x0, y0, x1;
        KnownSolution exact;
    } problems[] = {
        {"lesson from (0, -1) to 2", f1, 0, -1, 2, lessonExact(0, -1)},
        {"textbook from (0, 0.5) to 2", textbook, 0, 0.5, 2, textbookExact},
    };
    for (const auto& problem : problems) {
        for (const Method* method : {&fehlberg, &merson}) {
            for (double loose : {1e-2, 1e-3, 1e-4, 1e-5, 1e-6}) {
                const double strict = loose * 1e-4;
                SCOPED_TRACE(std::string(problem.name) + ", " + std::string(method->caption) +
                             ", tolerance " + errorText(loose) + " to " + errorText(strict));
                const auto errorWith = [&](double value) {
                    return adaptiveRun(*method, problem.f, problem.x0, problem.y0, problem.x1, 0.1,
                                       tolerance(value), problem.exact)
                        .errorAtEnd.value_or(std::numeric_limits<double>::infinity());
                };
                EXPECT_LE(errorWith(strict), errorWith(loose) / 100);
            }
        }
    }
}

TEST(AdaptiveRun, StopsWithANoteInsteadOfHanging) {
    ControllerSettings tenAttempts = tolerance(1e-10);
    tenAttempts.maxAttempts = 10;
    const struct {
        const char* name;
        const Method& method;
        Slope f;
        double x0, y0, x1;
        ControllerSettings settings;
        AdaptiveEnd end;
        long attempts;
        std::string_view why;
    } rows[] = {
        {"y' = y² grows without bound at x = 1", fehlberg, square, 0, 1, 2, tolerance(1e-6),
         AdaptiveEnd::smallestStep, 336,
         "The controller asked for h = 1.74E-12 at x = 0.999999999388407, below the smallest "
         "step a run takes (2.00E-12, 1.00E-12 of the range). No step meets the tolerance here: "
         "the solution may grow without bound near this x, or the slope may jump."},
        {"a stiff problem exhausts the attempts", fehlberg, stiff, 0, 0, 1000, tolerance(1e-6),
         AdaptiveEnd::stepLimit, 100000,
         "Stopped at x = 272.995839289213 after 100000 attempted steps, the most a run may "
         "take, with h = 3.88E-03. If the problem is stiff, stability, not accuracy, keeps an "
         "explicit method's steps small, whatever the tolerance."},
        {"a limit of ten attempts", merson, f1, 0, -1, 2, tenAttempts, AdaptiveEnd::stepLimit, 10,
         "Stopped at x = 0.273659348800763 after 10 attempted steps, the most a run may take, "
         "with h = 3.26E-02. If the problem is stiff, stability, not accuracy, keeps an "
         "explicit method's steps small, whatever the tolerance."},
        {"y² overflows", fehlberg, square, 0, 1e200, 1, tolerance(1e-6), AdaptiveEnd::notFinite, 1,
         "The step from (0, 1E+200) with h = 1.00E-01 gave a value too large to calculate "
         "with: the run stops there."},
        {"a step too small to move x", fehlberg, f1, 1e20, 0, 1.00000000000001e20,
         tolerance(1e-6), AdaptiveEnd::smallestStep, 0,
         "A step of h = 1.00E-01 no longer moves x = 1E+20 in double precision."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const AdaptiveRun run =
            adaptiveRun(row.method, row.f, row.x0, row.y0, row.x1, 0.1, row.settings);
        EXPECT_EQ(run.end, row.end);
        EXPECT_EQ(static_cast<long>(run.attempts.size()), row.attempts);
        EXPECT_EQ(run.why, row.why);
        EXPECT_NE(std::find(run.notes.begin(), run.notes.end(), row.why), run.notes.end());
        EXPECT_FALSE(run.errorAtEnd);
    }
}

TEST(AdaptiveRun, AMethodWithoutAnEstimateNamesThePairsThatHaveOne) {
    for (const Method& method : methodCatalogue) {
        SCOPED_TRACE(method.caption);
        const AdaptiveRun run = adaptiveRun(method, f1, 0, -1, 2, 0.1, {});
        if (tableauOf(method)->hasErrorEstimate()) {
            EXPECT_EQ(run.end, AdaptiveEnd::reachedEnd);
            continue;
        }
        EXPECT_EQ(run.end, AdaptiveEnd::noEstimate);
        EXPECT_TRUE(run.attempts.empty());
        EXPECT_EQ(run.slopeEvaluations, 0);
        EXPECT_EQ(run.why, std::string(method.caption) +
                               " has no embedded error estimate, so it cannot choose its own "
                               "steps. Runge-Kutta-Fehlberg and Runge-Kutta-Merson carry one: "
                               "choose either.");
    }
}

// A multistep method has no tableau: the controller does not run it, and
// says why its steps stay fixed.
TEST(AdaptiveRun, AMultistepMethodKeepsItsStepsFixedAndSaysWhy) {
    for (const Method& method : labCatalogue()) {
        if (!isMultistep(method)) continue;
        SCOPED_TRACE(method.caption);
        const AdaptiveRun run = adaptiveRun(method, f1, 0, -1, 2, 0.1, {});
        EXPECT_EQ(run.end, AdaptiveEnd::noEstimate);
        EXPECT_TRUE(run.attempts.empty());
        EXPECT_EQ(run.why,
                  std::string(method.caption) +
                      " is a multistep method, and the controller does not run it: its steps "
                      "stay fixed, as on the Convergence page. Changing h is harder for a "
                      "multistep method than for a one-step method: its weights assume the past "
                      "points equally spaced, h apart, so after a change of h the formula needs "
                      "new weights for the uneven spacing, or the past values interpolated at "
                      "the new spacing, before it applies again. Runge-Kutta-Fehlberg and "
                      "Runge-Kutta-Merson carry an estimate: choose either to see the controller "
                      "at work.");
        EXPECT_FALSE(carriesEstimate(method));
    }
}

// The same run as below measured against a known solution whose accuracy
// is estimated at `referenceAccuracy` of max(1, |y|), so that errors below
// ten times that cannot be measured (tests/support/fehlberg_local_errors.py
// replicates the run): its error at x1 is 5.91E-07 (y(2) = -2.406), its
// local errors 2.67E-09 on the first step, 2.42E-10 on the last, shortened
// one, and 1.1E-07 to 2.2E-07 on the eight between. Accurate to 1E-12, the
// reference measures every error, and the notes read as against the exact
// solution; to 1E-9 it leaves the estimate judged on the eight steps; to
// 1E-7 (2.41E-06 at x1) it leaves no step to judge it on and the error at x1
// unstated. A system of one component says the same.
TEST(AdaptiveRun, ErrorsBelowWhatTheReferenceCanMeasureAreNotStated) {
    const std::string carried =
        "Runge-Kutta-Fehlberg carries on with its fifth-order solution, as the fixed-step method "
        "does, while its estimate measures the error of the pair's fourth-order solution (local "
        "extrapolation). The controller sizes each step for the fourth-order solution (exponent "
        "1/5), so the solution kept is usually more accurate than the estimate says.";
    const std::string reached = "Reached x1 = 2: 10 steps accepted and 0 attempts rejected, 60 "
                                "slope evaluations (6 per attempt).";
    const std::string noGuarantee =
        " The controller holds each step's estimate to the tolerance; it does not bound the "
        "error at x1, where the errors of all steps have gathered, so a tolerance is not a "
        "guarantee.";
    const std::string quality =
        "Over 10 accepted steps the true local error was between 6.18E-02 and 1.66E-01 times the "
        "estimate (median 1.31E-01): on this problem the estimate overstated the error on every "
        "step.";
    const struct {
        const char* name;
        double referenceAccuracy;
        std::vector<std::string> notes;
    } rows[] = {
        {"exact solution", 0,
         {carried, reached,
          "At x1 the error is 5.91E-07, 1.74E-01 times the tolerance there (3.41E-06)." +
              noGuarantee,
          quality}},
        {"reference far more accurate than the errors", 1e-12,
         {carried, reached,
          "At x1 the error is 5.91E-07, 1.74E-01 times the tolerance there (3.41E-06)." +
              noGuarantee,
          quality}},
        {"reference as accurate as two local errors", 1e-9,
         {carried, reached,
          "At x1 the error is 5.91E-07, 1.74E-01 times the tolerance there (3.41E-06)." +
              noGuarantee,
          "Over 8 accepted steps the true local error was between 1.24E-01 and 1.66E-01 times "
          "the estimate (median 1.37E-01): on this problem the estimate overstated the error on "
          "every step. The local errors of 2 more accepted steps lie below what can be "
          "measured."}},
        {"reference less accurate than the errors", 1e-7,
         {carried, reached,
          "At x1 the error is below what the reference can measure, about 2.41E-06; the "
          "tolerance there is 3.41E-06." + noGuarantee}},
    };
    const KnownSolution exact = lessonExact(0, -1);
    const OneEquationAsSystem asSystem{f1};
    const KnownStateOf<StateVector> exactState = [exact](double x) {
        return StateVector{exact(x)};
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const AdaptiveRun run = adaptiveRun(fehlberg, f1, 0, -1, 2, 0.1, tolerance(1e-6), exact,
                                            row.referenceAccuracy);
        EXPECT_EQ(run.notes, row.notes);
        const AdaptiveRunOf<StateVector> system =
            adaptiveRun(fehlberg, asSystem, 0, StateVector{-1}, 2, 0.1,
                        tolerance(1e-6), exactState, row.referenceAccuracy);
        EXPECT_EQ(system.notes, row.notes);
    }
}

TEST(AdaptiveRun, NotesSayWhichSolutionIsCarriedAndHowTheEstimateFared) {
    const AdaptiveRun run =
        adaptiveRun(fehlberg, f1, 0, -1, 2, 0.1, tolerance(1e-6), lessonExact(0, -1));
    const std::vector<std::string> expected = {
        "Runge-Kutta-Fehlberg carries on with its fifth-order solution, as the fixed-step method "
        "does, while its estimate measures the error of the pair's fourth-order solution (local "
        "extrapolation). The controller sizes each step for the fourth-order solution (exponent "
        "1/5), so the solution kept is usually more accurate than the estimate says.",
        "Reached x1 = 2: 10 steps accepted and 0 attempts rejected, 60 slope evaluations (6 per "
        "attempt).",
        "At x1 the error is 5.91E-07, 1.74E-01 times the tolerance there (3.41E-06). The "
        "controller holds each step's estimate to the tolerance; it does not bound the error at "
        "x1, where the errors of all steps have gathered, so a tolerance is not a guarantee.",
        "Over 10 accepted steps the true local error was between 6.18E-02 and 1.66E-01 times the "
        "estimate (median 1.31E-01): on this problem the estimate overstated the error on every "
        "step.",
    };
    EXPECT_EQ(run.notes, expected);
    const AdaptiveRun mersonRun =
        adaptiveRun(merson, f1, 0, -1, 2, 0.1, tolerance(1e-6), lessonExact(0, -1));
    EXPECT_EQ(mersonRun.notes.front(),
              "Runge-Kutta-Merson carries on with its fourth-order solution, as the fixed-step "
              "method does, while its estimate measures the error of the pair's third-order "
              "solution (local extrapolation). The controller sizes each step for the "
              "third-order solution (exponent 1/4), so the solution kept is usually more "
              "accurate than the estimate says.");
}

TEST(AdaptiveRun, TheEstimateAgainstTheTrueLocalError) {
    const struct {
        const char* name;
        const Method& method;
        Slope f;
        double y0, tolerance;
        KnownSolution exact;
        std::size_t steps;
        std::string_view lowest, median, highest;
    } rows[] = {
        // Local extrapolation: the fifth-order solution is kept, the estimate
        // is of the fourth-order one.
        {"Fehlberg on the lesson", fehlberg, f1, -1, 1e-6, lessonExact(0, -1), 10, "6.18E-02",
         "1.31E-01", "1.66E-01"},
        // One of the 131 accepted local errors is rounding alone (zero), and
        // is left out.
        {"Fehlberg on the lesson at 1E-12", fehlberg, f1, -1, 1e-12, lessonExact(0, -1), 130,
         "8.57E-03", "1.03E-02", "1.45E-02"},
        // The catalogue's note: on linear equations it somewhat overstates.
        {"Merson on the lesson", merson, f1, -1, 1e-6, lessonExact(0, -1), 10, "7.23E-01",
         "7.91E-01", "9.54E-01"},
        {"Merson on growth y' = y", merson, growth, 1, 1e-6, [](double x) { return std::exp(x); },
         9, "1.10E+00", "1.25E+00", "1.26E+00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const AdaptiveRun run =
            adaptiveRun(row.method, row.f, 0, row.y0, 2, 0.1, tolerance(row.tolerance), row.exact);
        const auto quality = estimateQuality(run);
        ASSERT_TRUE(quality);
        EXPECT_EQ(quality->steps, row.steps);
        EXPECT_EQ(errorText(quality->lowest), row.lowest);
        EXPECT_EQ(errorText(quality->median), row.median);
        EXPECT_EQ(errorText(quality->highest), row.highest);
    }
    EXPECT_FALSE(estimateQuality(adaptiveRun(fehlberg, f1, 0, -1, 2, 0.1, {})));
}

TEST(AdaptiveRun, TheEstimatesQualityInWords) {
    const struct {
        const char* name;
        EstimateQuality quality;
        std::string_view verdict;
    } rows[] = {
        {"overstated throughout", {3, 0.1, 0.2, 0.9},
         "on this problem the estimate overstated the error on every step."},
        {"mostly overstated", {3, 0.1, 0.2, 2},
         "the estimate mostly overstated the error, but understated it on some steps."},
        {"mostly understated", {3, 0.5, 1.5, 2},
         "the estimate mostly understated the error, so the error kept is larger than the "
         "tolerance suggests."},
        {"understated throughout", {1, 1.25, 1.25, 1.25},
         "on this problem the estimate understated the error on every step, so the error kept is "
         "larger than the tolerance suggests."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string note = estimateQualityNote(row.quality);
        EXPECT_TRUE(note.ends_with(row.verdict)) << note;
    }
    // One factor where the lowest and the highest read alike, as after one step.
    EXPECT_EQ(estimateQualityNote({1, 1.25, 1.25, 1.25}),
              "Over 1 accepted step the true local error was 1.25E+00 times the estimate: on this "
              "problem the estimate understated the error on every step, so the error kept is "
              "larger than the tolerance suggests.");
    EXPECT_EQ(estimateQualityNote({10, 0.0618, 0.131, 0.166}),
              "Over 10 accepted steps the true local error was between 6.18E-02 and 1.66E-01 times "
              "the estimate (median 1.31E-01): on this problem the estimate overstated the error "
              "on every step.");
}

TEST(AdaptiveSettings, HostileValuesAreRefusedOrRaisedInWords) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const auto with = [](auto change) {
        ControllerSettings settings;
        change(settings);
        return settings;
    };
    const struct {
        const char* name;
        ControllerSettings settings;
        bool used;
        std::vector<std::string> notes;
    } rows[] = {
        {"the defaults", {}, true, {}},
        {"tolerance 0", tolerance(0), false,
         {"The tolerance is 0, absolute and relative: no step can meet it, for every estimate "
          "holds rounding. Type a positive tolerance such as 1E-6."}},
        {"negative tolerance", tolerance(-1e-6), false,
         {"The absolute tolerance -1.00E-06 is negative: a tolerance is a size, type a positive "
          "number such as 1E-6.",
          "The relative tolerance -1.00E-06 is negative: a tolerance is a size, type a positive "
          "number such as 1E-6."}},
        {"tolerance 1E-300", tolerance(1e-300), true,
         {"The relative tolerance 1.00E-300 is below what rounding in double precision lets a "
          "step reach (one rounding alone is 1.1E-16 of a number's size, and a step has "
          "several): 1.00E-14 is used instead."}},
        {"tolerance not a number", tolerance(nan), false,
         {"The absolute tolerance is not a number: type a positive number such as 1E-6.",
          "The relative tolerance is not a number: type a positive number such as 1E-6."}},
        {"infinite absolute tolerance",
         with([&](ControllerSettings& s) { s.absoluteTolerance = infinity; }), false,
         {"The absolute tolerance is infinite: type a positive number such as 1E-6."}},
        {"safety factor 0", with([](ControllerSettings& s) { s.safety = 0; }), false,
         {"The safety factor 0.00E+00 is not in (0, 1]: it aims each step a little below the "
          "tolerance, so that fewer steps are rejected; 0.9 is usual."}},
        {"safety factor 1.5", with([](ControllerSettings& s) { s.safety = 1.5; }), false,
         {"The safety factor 1.50E+00 is not in (0, 1]: it aims each step a little below the "
          "tolerance, so that fewer steps are rejected; 0.9 is usual."}},
        {"safety factor 1 is allowed", with([](ControllerSettings& s) { s.safety = 1; }), true,
         {}},
        {"shrink and growth limits the wrong way round", with([](ControllerSettings& s) {
             s.smallestShrink = 5;
             s.largestGrowth = 0.2;
         }),
         false,
         {"The smallest factor h may shrink by (5.00E+00) must be below the largest it may grow "
          "by (2.00E-01); 0.2 and 5 are usual."}},
        {"no shrinking at all", with([](ControllerSettings& s) { s.smallestShrink = 1; }), false,
         {"The smallest factor h may shrink by (1.00E+00) must lie between 0 and 1, or a "
          "rejected step would not be retried shorter; 0.2 is usual."}},
        {"no growth at all", with([](ControllerSettings& s) { s.largestGrowth = 1; }), false,
         {"The largest factor h may grow by (1.00E+00) must be a number above 1, or h could "
          "never grow; 5 is usual."}},
        {"no attempt allowed", with([](ControllerSettings& s) { s.maxAttempts = 0; }), false,
         {"At most 0 attempted steps leaves no step to take; 100000 is usual."}},
        {"a limit no run should reach", with([](ControllerSettings& s) {
             s.maxAttempts = 10'000'001;
         }),
         false,
         {"At most 10000001 attempted steps could keep a run going for minutes; the limit may "
          "be at most 10000000, and 100000 is usual."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SettingsCheck check = checkSettings(row.settings);
        EXPECT_EQ(check.used.has_value(), row.used);
        EXPECT_EQ(check.notes, row.notes);
        const AdaptiveRun run = adaptiveRun(fehlberg, f1, 0, -1, 2, 0.1, row.settings);
        if (row.used) continue;
        // A refused run takes no step and says why first.
        EXPECT_EQ(run.end, AdaptiveEnd::refused);
        EXPECT_TRUE(run.attempts.empty());
        EXPECT_EQ(run.slopeEvaluations, 0);
        EXPECT_EQ(run.notes, row.notes);
    }
    EXPECT_EQ(checkSettings(tolerance(1e-300)).used->relativeTolerance, 1e-14);
    // An absolute tolerance alone, far below rounding: every step is held to
    // 1E-14 of the solution's size instead, and the run says so.
    ControllerSettings absoluteOnly = tolerance(1e-300);
    absoluteOnly.relativeTolerance = 0;
    const AdaptiveRun run = adaptiveRun(fehlberg, f1, 0, -1, 2, 0.1, absoluteOnly);
    EXPECT_EQ(run.end, AdaptiveEnd::reachedEnd);
    EXPECT_EQ(run.notes.back(), "On 370 steps the tolerance was raised to 1.00E-14 of the "
                                "solution's size, the least that rounding lets a step reach.");
}

TEST(AdaptiveSettings, TheToleranceBoxIsReadStrictly) {
    const struct {
        std::string_view text;
        std::optional<double> value;
        std::string_view why;
    } rows[] = {
        {"1E-6", 1e-6, ""},
        {" 0.001 ", 0.001, ""},
        {"1E-300", 1e-300, ""},
        {"0", std::nullopt,
         "a tolerance of 0 cannot be met, for every estimate holds rounding: type a positive "
         "number such as 1E-6"},
        {"-1E-6", std::nullopt,
         "a tolerance is a size, it cannot be negative: type a positive number such as 1E-6"},
        {"\u22121E-6", std::nullopt,
         "a tolerance is a size, it cannot be negative: type a positive number such as 1E-6"},
        {"abc", std::nullopt, "\"abc\" is not a number"},
        {"1,5", std::nullopt, "\"1,5\" is not a number: use a point, not a comma, for decimals"},
        {"", std::nullopt, "the box is empty: type a number"},
        {"1E+400", std::nullopt, "\"1E+400\" is too large for a number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const LabNumber read = readTolerance(row.text);
        EXPECT_EQ(read.value, row.value);
        EXPECT_EQ(read.why, row.why);
    }
}

TEST(AdaptiveRun, InputsNoRunCanUseAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        double x0, y0, x1, h0;
        AdaptiveEnd end;
        std::string_view why;
    } rows[] = {
        {"x1 equals x0", 1, 2, 1, 0.1, AdaptiveEnd::reachedEnd, ""},
        {"a first step of 0", 0, -1, 2, 0, AdaptiveEnd::refused,
         "The first step h = 0.00E+00 is not a step a run can start with: it must be a number "
         "of at least 2.00E-12 (1.00E-12 of the range)."},
        {"a first step below the smallest", 0, -1, 2, 1e-13, AdaptiveEnd::refused,
         "The first step h = 1.00E-13 is not a step a run can start with: it must be a number "
         "of at least 2.00E-12 (1.00E-12 of the range)."},
        {"y0 not a number", 0, nan, 2, 0.1, AdaptiveEnd::refused,
         "x0, y0 and x1 must be numbers a run can calculate with."},
        {"a range beyond a double", -1e308, 0, 1e308, 0.1, AdaptiveEnd::refused,
         "x0 and x1 are too far apart to step between: the range is beyond a double. Move them "
         "closer together."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const AdaptiveRun run = adaptiveRun(fehlberg, f1, row.x0, row.y0, row.x1, row.h0, {});
        EXPECT_EQ(run.end, row.end);
        EXPECT_EQ(run.why, row.why);
        EXPECT_TRUE(run.attempts.empty());
    }
    // A first step longer than the range is shortened to it.
    const AdaptiveRun run = adaptiveRun(fehlberg, f1, 0, -1, 0.01, 5, {});
    ASSERT_FALSE(run.attempts.empty());
    EXPECT_EQ(run.attempts.front().h, 0.01);
}

TEST(LibraryPeer, CountsItsEvaluationsAndIsAsAccurateAsAsked) {
    for (double value : {1e-4, 1e-8, 1e-12}) {
        for (double x1 : {2.0, -1.0}) {
            SCOPED_TRACE("tolerance " + errorText(value) + " to x1 = " + std::to_string(x1));
            long calls = 0;
            const auto counted = [&calls](double x, double y) {
                ++calls;
                return f1(x, y);
            };
            const LibraryRun run =
                libraryDormandPrince(counted, 0, -1, x1, 0.1, value, value, 100000);
            ASSERT_TRUE(run.y) << run.note;
            EXPECT_TRUE(run.note.empty());
            EXPECT_EQ(run.slopeEvaluations, calls);
            // First Same As Last: one evaluation to start, six per attempt.
            EXPECT_EQ(run.slopeEvaluations % 6, 1);
            EXPECT_GE(run.slopeEvaluations, 6 * run.steps + 1);
            // Like ours, the library's tolerance bounds steps, not the error
            // at x1; a tenfold margin is far more than it needs here.
            const double exactAtEnd = ExactSolution(0, -1)(x1);
            EXPECT_LE(std::fabs(*run.y - exactAtEnd), 10 * value * (1 + std::fabs(exactAtEnd)));
        }
    }
    const LibraryRun capped = libraryDormandPrince(stiff, 0, 0, 1000, 0.1, 1e-6, 1e-6, 5000);
    EXPECT_FALSE(capped.y);
    EXPECT_EQ(capped.slopeEvaluations, 5000);
    EXPECT_EQ(capped.note, "The library's stepper stopped after 5000 slope evaluations, the most "
                           "a run may take.");
    const LibraryRun blowUp = libraryDormandPrince(square, 0, 1, 2, 0.1, 1e-6, 1e-6, 100000);
    EXPECT_FALSE(blowUp.y);
    EXPECT_EQ(blowUp.note, "The library's stepper met a value too large to calculate with.");
}

TEST(WorkPrecision, AdaptiveLibraryAndFixedStepRunsSideBySide) {
    const ConvergenceProblem problem = lessonProblem(0, -1, 2);
    const WorkPrecision sweep = workPrecision(problem, 0.1, {}, 8);
    ASSERT_EQ(sweep.adaptive.size(), 2u);
    EXPECT_EQ(sweep.adaptive[0].method, &fehlberg);
    EXPECT_EQ(sweep.adaptive[1].method, &merson);
    EXPECT_EQ(sweep.library.caption, "Dormand-Prince 5(4), Boost.Odeint (library)");
    EXPECT_TRUE(sweep.notes.empty());
    for (const WorkSeries* series : {&sweep.adaptive[0], &sweep.adaptive[1], &sweep.library}) {
        SCOPED_TRACE(series->caption);
        ASSERT_EQ(series->points.size(), sweepTolerances.size());
        for (std::size_t i = 0; i < series->points.size(); ++i) {
            EXPECT_EQ(series->points[i].tolerance, sweepTolerances[i]);
            EXPECT_TRUE(series->points[i].error);
        }
        // Four decades of tolerance cost more evaluations and buy two
        // decades of error, as AchievedErrorFallsAsTheToleranceFalls argues.
        EXPECT_GT(series->points[8].slopeEvaluations, series->points[4].slopeEvaluations);
        EXPECT_LE(*series->points[8].error, *series->points[4].error / 100);
    }
    // The sweep's runs are the runs a single call makes.
    const AdaptiveRun single =
        adaptiveRun(merson, f1, 0, -1, 2, 0.1, tolerance(1e-6));
    EXPECT_EQ(sweep.adaptive[1].points[4].slopeEvaluations, 55);
    EXPECT_EQ(single.slopeEvaluations, 55);
    EXPECT_EQ(errorText(*sweep.adaptive[1].points[4].error), "3.54E-06");
    // The fixed-step runs are the Convergence page's study.
    EXPECT_EQ(sweep.fixedSteps.doublings, 8);
    // Every method runs but the partitioned ones, which the lesson's y' = -2x - y
    // gives nothing to split.
    for (const ConvergenceSeries& series : sweep.fixedSteps.series) {
        EXPECT_EQ(series.points.size(), isPartitioned(*series.method) ? 0u : 9u);
    }
    EXPECT_EQ(sweep.fixedSteps.series[4].points[3].slopeEvaluations, 48);
}

TEST(WorkPrecision, SettingsNoRunCanUseAreSaidOnce) {
    ControllerSettings settings;
    settings.safety = 2;
    const WorkPrecision sweep = workPrecision(lessonProblem(0, -1, 2), 0.1, settings, 2);
    EXPECT_TRUE(sweep.adaptive.empty());
    EXPECT_TRUE(sweep.library.points.empty());
    EXPECT_EQ(sweep.notes, std::vector<std::string>{
                               "The safety factor 2.00E+00 is not in (0, 1]: it aims each step a "
                               "little below the tolerance, so that fewer steps are rejected; "
                               "0.9 is usual."});
    // Runs that stop are named with their tolerance.
    ControllerSettings few;
    few.maxAttempts = 20;
    const WorkPrecision stopped = workPrecision(lessonProblem(0, -1, 2), 0.1, few, 2);
    ASSERT_FALSE(stopped.notes.empty());
    // Fehlberg needs 23 attempts for 1E-8 on this problem, 14 for 1E-7.
    EXPECT_TRUE(stopped.notes.front().starts_with(
        "Runge-Kutta-Fehlberg with tolerance 1.00E-08: Stopped at x = "))
        << stopped.notes.front();
    EXPECT_TRUE(stopped.adaptive[0].points[5].error);
    EXPECT_FALSE(stopped.adaptive[0].points[6].error);
}
