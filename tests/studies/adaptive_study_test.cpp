// The adaptive run and the sweep on a library problem: measured against the
// reference where the exact solution is withheld, the run takes the same
// steps and its true errors agree with the exact ones to within the
// reference's stated accuracy; the drawn curve follows the solution.
#include "numerics/state_operations.h"
#include "problem/library.h"
#include "problem/system_library.h"
#include "studies/adaptive_study.h"
#include "texts/adaptive_view.h"

#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

using namespace pelorin;
using pelorin::testing::withoutExact;

namespace {

Problem compiled(std::string_view name) {
    return pelorin::testing::compiledProblem(problemText(pelorin::testing::libraryProblem(name)));
}

}  // namespace

TEST(AdaptiveStudy, TheReferenceMeasuresTheSameStepsAsTheExactSolution) {
    const struct {
        const char* problem;
        const char* method;
        double tolerance;
    } rows[] = {
        {"Textbook: y' = y - x\u00b2 + 1", "Runge-Kutta-Fehlberg", 1e-6},
        {"Logistic: y' = y(1 - y)", "Runge-Kutta-Merson", 1e-5},
        {"Stiff: y' = -50(y - cos x)", "Runge-Kutta-Fehlberg", 1e-3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.problem);
        const Problem problem = compiled(row.problem);
        const Method& method = methodByCaption(row.method);
        const ControllerSettings settings = withTolerance({}, row.tolerance);
        const AdaptiveStudy exact = studyAdaptive(method, problem, 0.4, settings);
        const AdaptiveStudy reference = studyAdaptive(method, withoutExact(problem), 0.4, settings);
        EXPECT_FALSE(exact.reference);
        EXPECT_TRUE(exact.notes.empty());
        EXPECT_TRUE(reference.reference);
        ASSERT_FALSE(reference.notes.empty());
        EXPECT_TRUE(reference.notes.front().starts_with(
            "No exact solution is given: the errors are measured against a reference solution "
            "(the library Boost.Odeint's Dormand-Prince method with step-size control), accurate "
            "to about "))
            << reference.notes.front();
        EXPECT_EQ(exact.run.end, AdaptiveEnd::reachedEnd);
        ASSERT_EQ(reference.run.attempts.size(), exact.run.attempts.size());
        for (std::size_t i = 0; i < exact.run.attempts.size(); ++i) {
            SCOPED_TRACE("attempt " + std::to_string(i));
            const AdaptiveStep& withExact = exact.run.attempts[i];
            const AdaptiveStep& withReference = reference.run.attempts[i];
            EXPECT_EQ(withReference.x, withExact.x);
            EXPECT_EQ(withReference.h, withExact.h);
            ASSERT_TRUE(withExact.localError && withReference.localError);
            ASSERT_TRUE(withExact.globalError && withReference.globalError);
            // The reference is good to 1E-13·(1 + |y|); a local error also
            // starts from the reference's value, which the step carries on.
            EXPECT_NEAR(*withReference.localError, *withExact.localError, 1e-11);
            EXPECT_NEAR(*withReference.globalError, *withExact.globalError, 1e-11);
        }
        ASSERT_TRUE(reference.run.errorAtEnd && exact.run.errorAtEnd);
        EXPECT_NEAR(*reference.run.errorAtEnd, *exact.run.errorAtEnd, 1e-11);
        // The drawn curve: every sample, from x0 to x1, on the solution.
        ASSERT_EQ(reference.solutionX.size(), static_cast<std::size_t>(solutionSamples + 1));
        ASSERT_EQ(exact.solutionX.size(), reference.solutionX.size());
        EXPECT_EQ(reference.solutionX.front(), problem.x0);
        EXPECT_EQ(reference.solutionX.back(), problem.x1);
        for (std::size_t i = 0; i < exact.solutionX.size(); i += 50) {
            EXPECT_NEAR(reference.solutionY[i], exact.solutionY[i], 1e-11);
        }
    }
}

TEST(AdaptiveStudy, TheSweepWithoutAnExactSolutionSaysItsReference) {
    const Problem problem = compiled("Textbook: y' = y - x\u00b2 + 1");
    const WorkPrecision exact = sweepAdaptive(problem, 0.4, {}, 4);
    const WorkPrecision reference =
        sweepAdaptive(withoutExact(problem), 0.4, {}, 4);
    // The reference's note leads the notes the runs give either way.
    ASSERT_EQ(reference.notes.size(), exact.notes.size() + 1);
    EXPECT_TRUE(reference.notes.front().starts_with("No exact solution is given:"));
    EXPECT_EQ(std::vector<std::string>(reference.notes.begin() + 1, reference.notes.end()),
              exact.notes);
    ASSERT_EQ(reference.adaptive.size(), exact.adaptive.size());
    for (std::size_t s = 0; s < exact.adaptive.size(); ++s) {
        for (std::size_t i = 0; i < sweepTolerances.size(); ++i) {
            SCOPED_TRACE(exact.adaptive[s].caption + " " + std::to_string(i));
            const WorkPoint& a = exact.adaptive[s].points[i];
            const WorkPoint& b = reference.adaptive[s].points[i];
            EXPECT_EQ(a.slopeEvaluations, b.slopeEvaluations);
            ASSERT_TRUE(a.error && b.error);
            EXPECT_NEAR(*a.error, *b.error, 1e-11);
        }
    }
    // A problem whose solution escapes before x1 has no reference to measure with.
    Problem escape = withoutExact(compiled("Escape: y' = 1 + y\u00b2"));
    escape.x1 = 2;
    const WorkPrecision beyond = sweepAdaptive(escape, 0.4, {}, 2);
    ASSERT_EQ(beyond.notes.size(), 1u);
    // tan x ends at π/2 = 1.5707963...
    EXPECT_EQ(beyond.notes.front(),
              "No exact solution is given, and the solution ends before x1, so no error at x1 "
              "can be measured. The solution does not continue past x \u2248 1.571: |y| grows "
              "without bound as x nears it.");
    EXPECT_TRUE(beyond.adaptive.empty());
}

// The step plot's stability limit: the pair's interval over |λ| where λ < 0,
// none where λ ≥ 0. On the stiff problem λ = -50 everywhere: Fehlberg's
// 3.6777066/50 = 0.0735541 (40-digit bisection, divided by hand), which the
// table's digits write 7.36E-02; on y' = y, λ = 1 and there is no limit.
TEST(AdaptiveStudy, TheStabilityLimitAlongTheRun) {
    const std::string what =
        "Stability limit: where \u03bb = \u2202f/\u2202y is negative, a step longer than "
        "3.678/|\u03bb| (Runge-Kutta-Fehlberg's interval on the negative real axis over "
        "|\u03bb|) multiplies an error by more than 1.";
    const struct {
        const char* problem;
        std::optional<double> limit;  // at every accepted point
        std::string note;
    } rows[] = {
        {"Stiff: y' = -50(y - cos x)", 0.0735541324264379,
         what + " Along this run the limit is 7.36E-02, the line on the |h| plot."},
        {"Growth: y' = y", std::nullopt,
         what + " Along this run \u03bb is nowhere negative, so the |h| plot draws no limit."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.problem);
        const Problem problem = compiled(row.problem);
        const AdaptiveStudy study =
            studyAdaptive(methodByCaption("Runge-Kutta-Fehlberg"), problem, 0.4,
                          withTolerance({}, 1e-3));
        ASSERT_EQ(study.run.end, AdaptiveEnd::reachedEnd);
        EXPECT_EQ(study.limit.x.size(), static_cast<std::size_t>(study.run.accepted) + 1);
        ASSERT_EQ(study.limit.h.size(), study.limit.x.size());
        EXPECT_EQ(study.limit.x.front(), problem.x0);
        EXPECT_EQ(study.limit.x.back(), problem.x1);
        for (const std::optional<double>& h : study.limit.h) {
            ASSERT_EQ(h.has_value(), row.limit.has_value());
            if (h) {
                EXPECT_NEAR(*h, *row.limit, 1e-9);
            }
        }
        EXPECT_EQ(study.limitNote, row.note);
    }
}

// y' = y², y(0) = 1, whose solution 1/(1 - x) is typed nowhere: run
// backwards to x1 = -1 the reference must be found at every attempt's x + h
// in the run's own direction, and each true error is y1 - 1/(1 - (x + h))
// as the closed form gives it (y(-1) = 0.5).
TEST(AdaptiveStudy, BackwardsEveryAttemptIsMeasuredAgainstTheReference) {
    const ProblemCompilation compilation = compileProblem({"", "y^2", "", "0", "1", "-1"});
    ASSERT_TRUE(compilation.problem);
    const Problem& problem = *compilation.problem;
    const auto solution = [](double x) { return 1 / (1 - x); };
    for (const char* caption : {"Runge-Kutta-Fehlberg", "Runge-Kutta-Merson"}) {
        SCOPED_TRACE(caption);
        const AdaptiveStudy study = studyAdaptive(methodByCaption(caption), problem, 0.25, {});
        ASSERT_EQ(study.run.end, AdaptiveEnd::reachedEnd);
        EXPECT_TRUE(study.reference);
        EXPECT_FALSE(study.end);
        ASSERT_GE(study.run.attempts.size(), 2u);
        for (const AdaptiveStep& step : study.run.attempts) {
            SCOPED_TRACE(step.x);
            EXPECT_LT(step.h, 0);
            ASSERT_TRUE(step.globalError && step.localError);
            EXPECT_NEAR(*step.globalError, step.y1 - solution(step.x + step.h), 1e-12);
        }
        ASSERT_TRUE(study.run.errorAtEnd);
        EXPECT_NEAR(*study.run.errorAtEnd, std::fabs(study.run.y - 0.5), 1e-12);
        EXPECT_GT(*study.run.errorAtEnd, 0);
        ASSERT_EQ(study.solutionX.size(), static_cast<std::size_t>(solutionSamples + 1));
        EXPECT_EQ(study.solutionX.back(), -1);
        EXPECT_NEAR(study.solutionY.back(), 0.5, 1e-13);
    }
    // The sweep measures its errors at x1 = -1 against y(-1) = 0.5.
    const WorkPrecision sweep = sweepAdaptive(problem, 0.25, {}, 2);
    ASSERT_FALSE(sweep.adaptive.empty());
    for (const WorkSeries& series : sweep.adaptive) {
        for (const WorkPoint& point : series.points) {
            ASSERT_TRUE(point.error) << series.caption;
            EXPECT_GT(*point.error, 0) << series.caption;
        }
    }
}

// Forwards to x1 = 2 the same solution ends at x = 1: the notes say so, the
// drawn curve stays before the end, and no attempt is measured past it. At
// the tolerance 1E-6 the controller creeps up to the end; at 1E-1 its
// steps jump over it.
TEST(AdaptiveStudy, PastTheEndOfTheSolutionNoTrueErrorIsShown) {
    const ProblemCompilation compilation = compileProblem({"", "y^2", "", "0", "1", "2"});
    ASSERT_TRUE(compilation.problem);
    const std::string overEnd = "Attempts past x \u2248 1 follow no solution. They have no true "
                                "errors, and the plot of the solution is fitted to the points "
                                "before it.";
    for (double tolerance : {1e-6, 1e-1}) {
        SCOPED_TRACE(tolerance);
        const AdaptiveStudy study =
            studyAdaptive(methodByCaption("Runge-Kutta-Fehlberg"), *compilation.problem, 0.4,
                          withTolerance({}, tolerance));
        ASSERT_TRUE(study.end);
        EXPECT_NEAR(study.end->at, 1, 1e-9);
        EXPECT_TRUE(
            std::any_of(study.notes.begin(), study.notes.end(), [](const std::string& note) {
                return note.ends_with(
                    "The solution does not continue past x \u2248 1: |y| grows "
                    "without bound as x nears it.");
            }));
        for (double x : study.solutionX) EXPECT_LT(x, 1);
        int past = 0;
        for (const AdaptiveStep& step : study.run.attempts) {
            if (!study.end->past(step.x + step.h)) continue;
            ++past;
            EXPECT_FALSE(step.globalError || step.localError) << step.x;
        }
        EXPECT_EQ(past > 0, tolerance == 1e-1);
        EXPECT_EQ(std::find(study.notes.begin(), study.notes.end(), overEnd) != study.notes.end(),
                  past > 0);
        // Accurate relative to the solution's size, to a millionth of it at
        // worst however close to the end the attempts come.
        ASSERT_FALSE(study.notes.empty());
        const std::string& used = study.notes.front();
        const std::string about = "accurate to about ";
        const auto at = used.find(about);
        ASSERT_NE(at, std::string::npos) << used;
        EXPECT_LE(std::stod(used.substr(at + about.size())), 1e-6) << used;
        EXPECT_NE(used.find(" of the solution's size."), std::string::npos) << used;
    }
}

namespace {

using pelorin::testing::librarySystem;

}  // namespace

TEST(AdaptiveStudy, ASystemsReferenceMeasuresTheSameStepsAsItsExactSolution) {
    const Problem problem = librarySystem("Harmonic oscillator", 10);
    const ControllerSettings settings = withTolerance({}, 1e-6);
    const Method& method = methodByCaption("Runge-Kutta-Fehlberg");
    const AdaptiveStudyOf<StateVector> exact =
        studyAdaptive<StateVector>(method, problem, 0.1, settings);
    const AdaptiveStudyOf<StateVector> reference =
        studyAdaptive<StateVector>(method, withoutExact(problem), 0.1, settings);
    EXPECT_FALSE(exact.reference);
    EXPECT_TRUE(reference.reference);
    EXPECT_EQ(exact.notes, std::vector<std::string>{maximumNormNote()});
    ASSERT_EQ(reference.notes.size(), 2u);
    EXPECT_TRUE(reference.notes[1].starts_with("No exact solution is given")) << reference.notes[1];
    ASSERT_EQ(exact.run.end, AdaptiveEnd::reachedEnd);
    ASSERT_EQ(reference.run.attempts.size(), exact.run.attempts.size());
    for (std::size_t i = 0; i < exact.run.attempts.size(); ++i) {
        SCOPED_TRACE("attempt " + std::to_string(i));
        const AdaptiveStepOf<StateVector>& withExact = exact.run.attempts[i];
        const AdaptiveStepOf<StateVector>& withReference = reference.run.attempts[i];
        EXPECT_EQ(withReference.x, withExact.x);
        EXPECT_EQ(withReference.h, withExact.h);
        ASSERT_TRUE(withExact.globalError && withReference.globalError);
        ASSERT_TRUE(withExact.localError && withReference.localError);
        EXPECT_NEAR(stateNorm(*withReference.globalError - *withExact.globalError), 0, 1e-11);
        EXPECT_NEAR(stateNorm(*withReference.localError - *withExact.localError), 0, 1e-11);
    }
    ASSERT_TRUE(exact.run.errorAtEnd && reference.run.errorAtEnd);
    EXPECT_NEAR(*reference.run.errorAtEnd, *exact.run.errorAtEnd, 1e-11);
    // The drawn solution, every sample on the circle y1² + y2² = 1.
    ASSERT_EQ(reference.solutionX.size(), static_cast<std::size_t>(solutionSamples + 1));
    for (const StateVector& y : reference.solutionY)
        EXPECT_NEAR(y[0] * y[0] + y[1] * y[1], 1, 1e-10);
}

TEST(AdaptiveStudy, ASystemsSweepHasBothPairsAndNoLibraryStepper) {
    const Problem problem = librarySystem("Harmonic oscillator", 10);
    const WorkPrecision sweep = sweepAdaptive(problem, 0.1, withTolerance({}, 1e-6), 8);
    ASSERT_EQ(sweep.adaptive.size(), 2u);
    for (const WorkSeries& series : sweep.adaptive) {
        SCOPED_TRACE(series.caption);
        ASSERT_EQ(series.points.size(), sweepTolerances.size());
        // Tighter tolerances cost more and reach closer, as far as rounding
        // lets them: 1E-2 against 1E-8.
        ASSERT_TRUE(series.points[0].error && series.points[6].error);
        EXPECT_LT(*series.points[6].error, *series.points[0].error / 1000);
        EXPECT_GT(series.points[6].slopeEvaluations, series.points[0].slopeEvaluations);
    }
    EXPECT_TRUE(sweep.library.points.empty());
    EXPECT_EQ(sweep.notes, std::vector<std::string>{librarySingleEquationsNote()});
    ASSERT_FALSE(sweep.fixedSteps.series.empty());
    EXPECT_EQ(sweep.fixedSteps.series.front().points.size(), 9u);
}

// The sweep says implicit steps paid where, on its own numbers, they did:
// on y' = -500(y - cos x) over [0, 10], where stability holds an explicit
// step below about 3.7/500 and rosenbrock4 follows the smooth solution with
// long steps; not on the library's y' = -50(y - cos x) over [0, 1], stiff
// too, but over a range that explicit steps of 3.7/50 cross in 14; and not
// on the textbook equation, whose explicit steps only accuracy holds, nor on
// y' = 0. Where they did not pay, no implicit run would have paid without
// its Jacobians' calls either, so the Jacobians are not blamed.
TEST(AdaptiveStudy, TheSweepSaysImplicitStepsPaidOnlyWhereTheyDid) {
    const std::string paid = "on this problem stability, not accuracy, holds the explicit steps "
                             "short, and the implicit ones are not held so.";
    const std::string notPaid = "on this problem, over this range, the explicit steps are not "
                                "held short enough for longer implicit steps to pay.";
    const struct {
        const char* name;
        Problem problem;
        const std::string& ending;
    } rows[] = {
        {"stiffer, longer", pelorin::testing::typedProblem("-500*(y - cos(x))", 0, 0, 10), paid},
        {"library stiff", compiled("Stiff: y' = -50(y - cos x)"), notPaid},
        {"textbook", compiled("Textbook: y' = y - x\u00b2 + 1"), notPaid},
        {"lesson", compiled("Lesson"), notPaid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const WorkPrecision sweep = sweepAdaptive(row.problem, 0.1, {}, 12);
        ASSERT_EQ(sweep.implicitFixed.size(), 6u);
        ASSERT_EQ(sweep.stiffLibrary.points.size(), sweepTolerances.size());
        const std::string verdict = stiffWorkNotes(sweep).back();
        EXPECT_TRUE(verdict.ends_with(row.ending)) << verdict;
    }
    // On y' = 0 the implicit methods' Newton steps take no Jacobian, and
    // rosenbrock4 takes its own: the notes say what one costs of rosenbrock4
    // alone, and do not say the implicit steps spent on them.
    const std::vector<std::string> still =
        stiffWorkNotes(sweepAdaptive(pelorin::testing::typedProblem("0", 0, 1, 2), 0.1, {}, 12));
    EXPECT_EQ(still.front(), "rosenbrock4 calls f for its Jacobians as well: 5 times for each "
                             "(4n + 1 for n = 1, by difference quotients), 2 more for "
                             "\u2202f/\u2202x. The plot counts those calls among the slope "
                             "evaluations, and the notes name the Jacobians and linear solves "
                             "apart.");
    EXPECT_TRUE(still.back().ends_with(notPaid)) << still.back();
}

// A system's solution may end as one equation's does: y1' = y1², y2' = 1
// from (1, 0) ends at x = 1. At the tolerance 1E-1 Fehlberg's accepted
// steps jump over the end to values of 1E+12, which the plot leaves out of
// its fit as it does for one equation; at 1E-6 the steps creep up to it.
TEST(AdaptiveStudy, PastTheEndOfASystemsSolutionThePlotIsFittedBeforeIt) {
    const Problem problem =
        pelorin::testing::systemProblem({{"y1^2", "1", ""}, {"1", "0", ""}}, 0, 2);
    const std::string overEnd = "Attempts past x \u2248 1 follow no solution. They have no true "
                                "errors, and the plot of the solution is fitted to the points "
                                "before it.";
    for (double tolerance : {1e-6, 1e-1}) {
        SCOPED_TRACE(tolerance);
        const AdaptiveStudyOf<StateVector> study = studyAdaptive<StateVector>(
            methodByCaption("Runge-Kutta-Fehlberg"), problem, 0.4, withTolerance({}, tolerance));
        ASSERT_TRUE(study.end);
        EXPECT_NEAR(study.end->at, 1, 1e-9);
        ASSERT_FALSE(study.notes.empty());
        EXPECT_EQ(study.notes.front(), maximumNormNote());
        for (double x : study.solutionX) EXPECT_LT(x, 1);
        int acceptedPast = 0;
        for (const AdaptiveStepOf<StateVector>& step : study.run.attempts) {
            if (!study.end->past(step.x + step.h)) continue;
            acceptedPast += step.accepted;
            EXPECT_FALSE(step.globalError || step.localError) << step.x;
        }
        EXPECT_EQ(acceptedPast > 0, tolerance == 1e-1);
        EXPECT_EQ(std::find(study.notes.begin(), study.notes.end(), overEnd) != study.notes.end(),
                  tolerance == 1e-1);
    }
}

// y' = -1E+5·(y - cos x) - sin x, y(0) = 1 to x1 = 2.5, solution cos x, and
// the system of two such components. The reference (Rosenbrock's, the
// problem being stiff) is accurate to about 1.19E-09 for the equation and
// 2.59E-09 for the system, so no error below ten times that can be measured
// against it; the trapezoid rule and Radau IIA 3 reach far below with fixed
// steps (tests/support/stiff_cosine_errors.py, in 40-digit arithmetic):
// 1.86E-13 and 2.26E-13 with N = 4096, 3.05E-09 and 4.23E-09 with N = 32,
// 1.22E-08 and 1.76E-08 with N = 16, 2.03E-07 and 3.38E-07 with N = 4. The
// system's components are the equation's, so its maximum norm gives the
// same errors. Against the reference the notes name the cheapest run below
// what it can measure, and say so instead of its error; typed with its exact
// solution, or with runs stopping at N = 4, where the errors lie well above
// that, the notes state the errors as they are.
TEST(AdaptiveStudy, ErrorsTheReferenceCannotMeasureAreNotStatedAsTheMethods) {
    const std::string f = "-1e5*(y - cos(x)) - sin(x)";
    const auto equation = [&](const char* exact) {
        return pelorin::testing::compiledProblem({"", f, exact, "0", "1", "2.5"});
    };
    const auto system = [](const char* exact) {
        return pelorin::testing::systemProblem({{"-1e5*(y1 - cos(x)) - sin(x)", "1", exact},
                                                {"-1e5*(y2 - cos(x)) - sin(x)", "1", exact}},
                                               0, 2.5);
    };
    const auto below = [](const std::string& floor) {
        return " fixed steps reached an error below what the reference can measure, about " +
               floor + ", at x1 with ";
    };
    const std::string trapezoidExact = "Trapezoid with N = 4096 fixed steps reached an error of "
                                       "1.86E-13 at x1 with ";
    const std::string radauExact = "Radau IIA 3 with N = 4096 fixed steps reached an error of "
                                   "2.26E-13 at x1 with ";
    const struct {
        const char* name;
        Problem problem;
        int doublings;
        std::string accuracy;  // as the reference's note states it; empty for an exact solution
        std::string trapezoid, radau;
    } rows[] = {
        {"equation against the reference", equation(""), 12, "1.19E-09",
         "Trapezoid with N = 32" + below("1.19E-08"),
         "Radau IIA 3 with N = 32" + below("1.19E-08")},
        {"equation with its exact solution", equation("cos(x)"), 12, "", trapezoidExact,
         radauExact},
        {"equation against the reference, errors well above what it can measure", equation(""), 2,
         "1.19E-09", "Trapezoid with N = 4 fixed steps reached an error of 2.03E-07 at x1 with ",
         "Radau IIA 3 with N = 4 fixed steps reached an error of 3.38E-07 at x1 with "},
        {"system against the reference", system(""), 12, "2.59E-09",
         "Trapezoid with N = 16" + below("2.59E-08"),
         "Radau IIA 3 with N = 16" + below("2.59E-08")},
        {"system with its exact solution", system("cos(x)"), 12, "", trapezoidExact, radauExact},
    };
    // The explicit pairs, held to steps of 1E-5 by stability, would take a
    // hundred thousand attempts each to reach x1; the fixed steps are the
    // same however many they may take.
    ControllerSettings few;
    few.maxAttempts = 1000;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const WorkPrecision sweep = sweepAdaptive(row.problem, 0.1, few, row.doublings);
        if (!row.accuracy.empty()) {
            ASSERT_FALSE(sweep.notes.empty());
            EXPECT_EQ(sweep.notes.front(),
                      "No exact solution is given: the errors are measured against a reference "
                      "solution (the library Boost.Odeint's Rosenbrock method of order 4, "
                      "implicit, for stiff problems, with step-size control), accurate to about " +
                          row.accuracy + " of the solution's size.");
        }
        const std::vector<std::string> notes = workPrecisionNotes(sweep);
        for (const std::string& expected : {row.trapezoid, row.radau}) {
            EXPECT_EQ(std::count_if(notes.begin(), notes.end(),
                                    [&](const std::string& note) {
                                        return note.starts_with(expected);
                                    }),
                      1)
                << expected;
        }
        // Against the reference every error a note names lies above what it
        // can measure.
        if (row.accuracy.empty()) continue;
        const double floor = 10 * std::stod(row.accuracy);
        const std::string of = "an error of ";
        for (const std::string& note : notes) {
            for (auto at = note.find(of); at != std::string::npos; at = note.find(of, at + 1)) {
                EXPECT_GE(std::stod(note.substr(at + of.size())), floor) << note;
            }
        }
    }
}
