// Reference solutions with Boost.Odeint's adaptive Dormand-Prince stepper.
#include "numerics/reference.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/odeint.h"
#include "numerics/solution_paths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace pelorin {

namespace {

using State = std::array<double, 1>;
using Stepper = DormandPrince<State>;

// Each failure shrinks the step by a factor between 0.2 and 0.9 (Odeint's
// control): after this many in a row it is at most 0.9^100, about 3E-5, of
// what it was, and the control has given up on the step.
constexpr int maxFailedSteps = 100;

// Why the solution stopped in words, and |y| there, infinite when y
// overflowed.
struct Stopped {
    std::string why;
    double size = 0;
};

struct Solution {
    std::vector<double> y;  // at the abscissae reached
    long evaluations = 0;
    std::string note;
    std::optional<double> end;  // where it stopped growing without bound
};

constexpr double infinity = std::numeric_limits<double>::infinity();

// Steps this small beside max(1, |x|) have shrunk to nothing: a solution
// that overflows with steps still longer merely outgrows a double (e^x at
// x = 710), it does not end.
constexpr double collapsedStep = 1e-9;

// The one place that tells a solution's end from every other stop: near x
// the steps `dt` shrank to nothing while |y| grew huge or overflowed.
bool growsWithoutBound(const Stopped& stopped, double x, double dt, double y0) {
    return stopped.size >= blowUpGrowth * std::max(1.0, std::fabs(y0)) &&
           std::fabs(dt) <= collapsedStep * std::max(1.0, std::fabs(x));
}

Stopped stoppedBySlope(const SlopeStopped& stopped, long maxEvaluations) {
    switch (stopped.why) {
    case SlopeStop::evaluationLimit:
        return {"it needed more than " + std::to_string(maxEvaluations) + " slope evaluations"};
    case SlopeStop::yNotFinite:
        return {"y grew beyond the largest number", infinity};
    case SlopeStop::slopeNotFinite:
        break;
    }
    return {"the slope is not a finite number at (x, y) = (" + numberToText(stopped.x) + ", " +
            numberToText(stopped.y) + ")"};
}

Stopped stepsTooSmall(const State& y) {
    return {"its steps became too small to keep its error in bounds", std::fabs(y[0])};
}

// Steps from x to the abscissa `target`, the last step shortened to land on
// it exactly; dt is the step the control asks for, kept across abscissae.
//
// Odeint's integrate_times would take other steps: after landing it carries
// on with the larger of dt and the step the shortened one asked for, where
// this loop resumes with dt; it counts an abscissa within 2.2E-16 (an
// absolute epsilon) as reached, where this loop lands on it exactly; and it
// allows 500 failures in a row, with no test of a step too small to move x.
void stepTo(Stepper& stepper, State& y, double& x, double& dt, double target) {
    if (!std::isfinite(target) || !std::isfinite(target - x)) {
        throw Stopped{"the next abscissa is too far away to step to"};
    }
    dt = std::copysign(dt, target - x);
    boost::numeric::odeint::failed_step_checker failures(maxFailedSteps);
    while (x != target) {
        const bool last = std::fabs(target - x) <= std::fabs(dt);
        double step = last ? target - x : dt;
        const double before = x;
        if (stepper.tryStep(y, x, step)) {
            failures.reset();
            if (last) {
                x = target;
            } else {
                dt = step;
            }
        } else {
            dt = step;
            failures();  // throws step_adjustment_error after maxFailedSteps
            if (before + dt == before) throw stepsTooSmall(y);
        }
    }
    if (!std::isfinite(y[0])) throw Stopped{"y grew beyond the largest number", infinity};
}

// Where and why the solution stopped, near x, with steps of dt.
void noteStop(Solution& solution, const Stopped& stopped, double x, double dt, double y0) {
    if (growsWithoutBound(stopped, x, dt, y0)) {
        solution.end = x;
        solution.note = solutionEndNote(x);
    } else {
        solution.note = "The reference solution stopped near x = " + numberToText(x) + ": " +
                        stopped.why + ".";
    }
}

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
        noteStop(solution, stopped, stepper.lastX().value_or(x0), dt, y0);
    };
    try {
        for (double target : abscissae) {
            stepTo(stepper, y, x, dt, target);
            solution.y.push_back(y[0]);
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

std::string untrustedNote(double x) {
    return "From x = " + numberToText(x) + " on, the reference solution's estimated error is "
           "more than " + errorText(trustedRelativeAccuracy) + " of the solution's size, too "
           "large to measure the methods' errors against: it is left out there.";
}

}  // namespace

std::string referenceUsedNote(double relativeAccuracy) {
    return "No exact solution is given: the errors are measured against a reference solution "
           "(the library Boost.Odeint's Dormand-Prince method with step-size control), accurate "
           "to about " + errorText(relativeAccuracy) + " of the solution's size.";
}

ReferenceSolution referenceSolution(Slope f, double x0, double y0,
                                    const std::vector<double>& abscissae, long maxEvaluations) {
    ReferenceSolution reference;
    if (!std::isfinite(x0) || !std::isfinite(y0)) {
        reference.note = "The reference solution needs a start of finite numbers.";
        return reference;
    }
    const Solution tight = solve(f, x0, y0, abscissae, referenceTolerance, maxEvaluations);
    const Solution loose = solve(f, x0, y0, abscissae, looserReferenceTolerance, maxEvaluations);
    reference.slopeEvaluations = tight.evaluations + loose.evaluations;
    const std::size_t reached = std::min(tight.y.size(), loose.y.size());
    reference.note = !tight.note.empty() ? tight.note : loose.note;
    reference.end = tight.end ? tight.end : loose.end;
    reference.relativeAccuracy = referenceTolerance;
    for (std::size_t i = 0; i < reached; ++i) {
        const double size = std::max(1.0, std::fabs(tight.y[i]));
        const double difference = std::fabs(tight.y[i] - loose.y[i]);
        if (!(difference <= trustedRelativeAccuracy * size)) {
            reference.untrustedFrom = abscissae[i];
            const std::string untrusted = untrustedNote(abscissae[i]);
            reference.note = reference.note.empty() ? untrusted : untrusted + " " + reference.note;
            break;
        }
        reference.x.push_back(abscissae[i]);
        reference.y.push_back(tight.y[i]);
        reference.accuracy =
            std::max({reference.accuracy, difference, referenceTolerance * size});
        reference.relativeAccuracy = std::max(reference.relativeAccuracy, difference / size);
    }
    return reference;
}

}  // namespace pelorin
