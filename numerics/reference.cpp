// Reference solutions with Boost.Odeint's adaptive Dormand-Prince stepper,
// or its Fehlberg 7(8) stepper where a more accurate one is asked for.
#include "numerics/reference.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/odeint.h"
#include "numerics/reference_steps.h"
#include "numerics/solution_paths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace pelorin {

namespace {

using State = std::array<double, 1>;

struct Solution {
    std::vector<double> y;  // at the abscissae reached
    std::vector<long> steps;  // accepted up to each of them
    long evaluations = 0;
    std::string note;
    std::optional<double> end;  // where it stopped growing without bound
};

Stopped stoppedBySlope(const SlopeStopped& stopped, long maxEvaluations) {
    return stoppedBySlope(stopped.why, maxEvaluations,
                          "(x, y) = (" + numberToText(stopped.x) + ", " + numberToText(stopped.y) + ")");
}

template <class Stepper>
Solution solve(Slope f, double x0, double y0, const std::vector<double>& abscissae,
               double tolerance, long maxEvaluations) {
    Solution solution;
    Stepper stepper(f, tolerance, tolerance, maxEvaluations);
    State y{y0};
    double x = x0;
    // A small first step: the control lets it grow fivefold a step, while a
    // first step far too large could overflow before the control sees it.
    double dt = 1e-6 * std::max(1.0, std::fabs(x0));
    // Near the latest evaluation asked for, with the steps then asked for.
    const auto stopAt = [&](const Stopped& stopped) {
        noteStop(solution, stopped, stepper.lastX().value_or(x0), dt, std::fabs(y0));
    };
    long steps = 0;
    try {
        for (double target : abscissae) {
            steps += stepTo(
                [&](State& state, double& at, double& step) { return stepper.tryStep(state, at, step); },
                y, x, dt, target);
            solution.y.push_back(y[0]);
            solution.steps.push_back(steps);
        }
    } catch (const Stopped& stopped) {
        stopAt(stopped);
    } catch (const boost::numeric::odeint::step_adjustment_error&) {
        stopAt(stepsTooSmall(y));
    } catch (const SlopeStopped& stopped) {
        // The evaluation refused at the limit is counted with the rest.
        if (stopped.why == SlopeStop::evaluationLimit) ++solution.evaluations;
        stopAt(stoppedBySlope(stopped, maxEvaluations));
    }
    solution.evaluations += stepper.evaluations();
    return solution;
}

// One run of the explicit method `method`.
Solution solve(ReferenceMethod method, Slope f, double x0, double y0,
               const std::vector<double>& abscissae, double tolerance, long maxEvaluations) {
    if (method == ReferenceMethod::fehlberg) {
        return solve<Fehlberg78<State>>(f, x0, y0, abscissae, tolerance, maxEvaluations);
    }
    return solve<DormandPrince<State>>(f, x0, y0, abscissae, tolerance, maxEvaluations);
}

// Each method as the notes name it.
std::string_view methodWords(ReferenceMethod method) {
    switch (method) {
    case ReferenceMethod::fehlberg:
        return "Fehlberg's embedded 7(8) pair, the library Boost.Odeint's "
               "runge_kutta_fehlberg78, with step-size control";
    case ReferenceMethod::rosenbrock:
        return "the library Boost.Odeint's Rosenbrock method of order 4, implicit, for stiff "
               "problems, with step-size control";
    case ReferenceMethod::dormandPrince:
        break;
    }
    return "the library Boost.Odeint's Dormand-Prince method with step-size control";
}

}  // namespace

std::string referenceUsedNote(double relativeAccuracy, ReferenceMethod method) {
    return "No exact solution is given: the errors are measured against a reference solution (" +
           std::string(methodWords(method)) + "), accurate to about " +
           errorText(relativeAccuracy) + " of the solution's size.";
}

ReferenceSolution referenceSolution(Slope f, double x0, double y0,
                                    const std::vector<double>& abscissae, long maxEvaluations,
                                    ReferenceAccuracy accuracy) {
    ReferenceSolution reference;
    if (!std::isfinite(x0) || !std::isfinite(y0)) {
        reference.note = "The reference solution needs a start of finite numbers.";
        return reference;
    }
    const ReferenceRuns runs = referenceRuns(accuracy);
    reference.method = runs.method;
    const Solution tight = solve(runs.method, f, x0, y0, abscissae, runs.tolerance, maxEvaluations);
    const Solution loose =
        solve(runs.method, f, x0, y0, abscissae, runs.looserTolerance, maxEvaluations);
    reference.slopeEvaluations = tight.evaluations + loose.evaluations;
    const std::size_t reached = std::min(tight.y.size(), loose.y.size());
    reference.note = !tight.note.empty() ? tight.note : loose.note;
    reference.end = tight.end ? tight.end : loose.end;
    reference.relativeAccuracy = runs.tolerance;
    for (std::size_t i = 0; i < reached; ++i) {
        const double size = std::max(1.0, std::fabs(tight.y[i]));
        const double difference = std::fabs(tight.y[i] - loose.y[i]);
        if (!(difference <= trustedRelativeAccuracy * size)) {
            reference.untrustedFrom = abscissae[i];
            const std::string untrusted = untrustedReferenceNote(abscissae[i]);
            reference.note = reference.note.empty() ? untrusted : untrusted + " " + reference.note;
            break;
        }
        reference.x.push_back(abscissae[i]);
        reference.y.push_back(tight.y[i]);
        const double least = std::max(runs.tolerance, roundingAccuracy(tight.steps[i]));
        reference.accuracy = std::max({reference.accuracy, difference, least * size});
        reference.relativeAccuracy =
            std::max({reference.relativeAccuracy, difference / size, least});
    }
    return reference;
}

}  // namespace pelorin
