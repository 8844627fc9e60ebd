// Reference solutions of systems with Boost.Odeint's adaptive Dormand-Prince
// stepper (its Fehlberg 7(8) stepper where a more accurate one is asked
// for), or its Rosenbrock stepper where the system is stiff.
#include "numerics/system_reference.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/jacobian.h"
#include "numerics/odeint.h"
#include "numerics/reference_steps.h"
#include "numerics/rosenbrock.h"
#include "numerics/rosenbrock_system.h"
#include "numerics/solution_paths.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <utility>

namespace pelorin {

namespace {

namespace odeint = boost::numeric::odeint;
using namespace odeint_systems;

std::string stateText(const StateVector& y) {
    std::string text;
    for (double component : y) text += (text.empty() ? "(" : ", ") + numberToText(component);
    return text + ")";
}

Stopped stoppedBySlope(const SystemStopped& stopped, long maxEvaluations) {
    return stoppedBySlope(stopped.why, maxEvaluations,
                          "x = " + numberToText(stopped.x) + ", y = " + stateText(stopped.y));
}

struct Run {
    std::vector<StateVector> y;  // at the abscissae reached
    std::vector<long> steps;     // accepted up to each of them
    long evaluations = 0;
    bool stiff = false;
    std::string note;
    std::optional<double> end;  // where it stopped growing without bound
};

// One run with the attempts tryStep(y, x, dt) of a controlled stepper whose
// F counts into `counts`, from the state `start` (y0, and for Rosenbrock x0
// after it); stopped and noted as a single equation's reference is.
template <class TryStep>
Run solve(TryStep&& tryStep, const EvaluationCounts& counts, double x0, const StateVector& y0,
          Vector start, const std::vector<double>& abscissae, long maxEvaluations) {
    Run run;
    Vector y = std::move(start);
    double x = x0;
    // A small first step: the control lets it grow fivefold a step, while a
    // first step far too large could overflow before the control sees it.
    double dt = 1e-6 * std::max(1.0, std::fabs(x0));
    // Near the latest evaluation asked for, with the steps then asked for.
    const auto stopAt = [&](const Stopped& stopped) {
        noteStop(run, stopped, counts.lastX.value_or(x0), dt, stateSize(y0));
    };
    long steps = 0;
    try {
        for (double target : abscissae) {
            steps += stepTo(tryStep, y, x, dt, target);
            run.y.push_back(toState(y, y0.size()));
            run.steps.push_back(steps);
        }
    } catch (const Stopped& stopped) {
        stopAt(stopped);
    } catch (const odeint::step_adjustment_error&) {
        stopAt(stepsTooSmall(y));
    } catch (const SystemStopped& stopped) {
        // The evaluation refused at the limit is counted with the rest.
        if (stopped.why == SlopeStop::evaluationLimit) ++run.evaluations;
        stopAt(stoppedBySlope(stopped, maxEvaluations));
    }
    run.evaluations += counts.evaluations;
    return run;
}

// Thrown out of an explicit run that found the system stiff.
struct StiffnessFound {};

// Whether a step h from (x, y) is held by stability: see stiffStepEigenvalue.
bool stiffAt(SystemSlope F, double x, const StateVector& y, double h) {
    const StepEigenvalues modes = stepEigenvalues(F, x, y, h);
    return std::any_of(modes.z.begin(), modes.z.end(), [](std::complex<double> z) {
        return std::abs(z) >= stiffStepEigenvalue;
    });
}

// A run of the explicit pair ErrorStepper; when it looks for stiffness and
// finds it (see nonStiffEvaluations) it stops, with `stiff` set and nothing
// reached.
template <class ErrorStepper>
Run explicitRun(SystemSlope F, double x0, const StateVector& y0,
                const std::vector<double>& abscissae, double tolerance, long limit,
                long maxEvaluations, bool looksForStiffness) {
    EvaluationCounts counts;
    const CountedSystem counted(F, limit, counts);
    const OdeintSystem system{counted};
    auto stepper = odeint::make_controlled(tolerance, tolerance, ErrorStepper());
    bool looked = !looksForStiffness;
    const auto tryStep = [&](Vector& y, double& x, double& dt) {
        const bool accepted = stepper.try_step(system, y, x, dt) == odeint::success;
        if (!looked && counts.evaluations >= nonStiffEvaluations) {
            looked = true;
            if (stiffAt(counted, x, toState(y, y.size()), dt)) throw StiffnessFound{};
        }
        return accepted;
    };
    try {
        return solve(tryStep, counts, x0, y0, toVector(y0), abscissae, maxEvaluations);
    } catch (const StiffnessFound&) {
        Run stiff;
        stiff.stiff = true;
        stiff.evaluations = counts.evaluations;
        return stiff;
    }
}

// The same with the explicit method `method`.
Run explicitRun(ReferenceMethod method, SystemSlope F, double x0, const StateVector& y0,
                const std::vector<double>& abscissae, double tolerance, long limit,
                long maxEvaluations, bool looksForStiffness) {
    if (method == ReferenceMethod::fehlberg) {
        return explicitRun<odeint::runge_kutta_fehlberg78<Vector>>(
            F, x0, y0, abscissae, tolerance, limit, maxEvaluations, looksForStiffness);
    }
    return explicitRun<odeint::runge_kutta_dopri5<Vector>>(F, x0, y0, abscissae, tolerance, limit,
                                                           maxEvaluations, looksForStiffness);
}

Run rosenbrock(SystemSlope F, double x0, const StateVector& y0,
               const std::vector<double>& abscissae, double tolerance, long limit,
               long maxEvaluations) {
    EvaluationCounts counts;
    const CountedSystem counted(F, limit, counts);
    const AutonomousSystem system{counted};
    RosenbrockStepper stepper(system, system, tolerance, tolerance);
    // The component x kept equal to the stepper's abscissa, which lands on
    // each abscissa exactly.
    const auto tryStep = [&](Vector& state, double& x, double& dt) {
        const bool accepted = stepper.tryStep(state, x, dt);
        state.back() = x;
        return accepted;
    };
    Vector start = toVector(y0);
    start.push_back(x0);
    return solve(tryStep, counts, x0, y0, std::move(start), abscissae, maxEvaluations);
}

}  // namespace

std::string systemReferenceUsedNote(ReferenceMethod method, double accuracy,
                                    ReferenceAccuracy asked) {
    const std::string used = referenceUsedNote(accuracy, method);
    if (method != ReferenceMethod::rosenbrock || asked == ReferenceAccuracy::standard) return used;
    return used + " A more accurate reference was asked for, but the problem is stiff: an "
                  "explicit pair's steps would stay tiny, so the reference is Rosenbrock's, "
                  "as accurate as said.";
}

SystemReferenceSolution systemReferenceSolution(SystemSlope F, double x0, const StateVector& y0,
                                                const std::vector<double>& abscissae,
                                                long maxEvaluations, ReferenceAccuracy accuracy,
                                                const ReferenceTrust& trust) {
    SystemReferenceSolution reference;
    if (!std::isfinite(x0) || !std::isfinite(stateSize(y0))) {
        reference.note = "The reference solution needs a start of finite numbers.";
        return reference;
    }
    const ReferenceRuns runs = referenceRuns(accuracy);
    reference.method = runs.method;
    Run tight = explicitRun(runs.method, F, x0, y0, abscissae, runs.tolerance, maxEvaluations,
                            maxEvaluations, true);
    Run loose;
    double tolerance = runs.tolerance;
    if (tight.stiff) {
        reference.method = ReferenceMethod::rosenbrock;
        tolerance = stiffReferenceTolerance;
        long used = tight.evaluations;
        tight = rosenbrock(F, x0, y0, abscissae, tolerance, maxEvaluations - used, maxEvaluations);
        used += tight.evaluations;
        loose = rosenbrock(F, x0, y0, abscissae, looserStiffReferenceTolerance,
                           maxEvaluations - used, maxEvaluations);
        reference.slopeEvaluations = used + loose.evaluations;
    } else {
        loose = explicitRun(runs.method, F, x0, y0, abscissae, runs.looserTolerance,
                            maxEvaluations - tight.evaluations, maxEvaluations, false);
        reference.slopeEvaluations = tight.evaluations + loose.evaluations;
    }
    // The tighter run says why it stopped, else the looser one.
    reference.note = !tight.note.empty() ? tight.note : loose.note;
    reference.end = tight.end ? tight.end : loose.end;
    reference.accuracy = tolerance;
    const std::size_t reached = std::min(tight.y.size(), loose.y.size());
    for (std::size_t i = 0; i < reached; ++i) {
        double largest = 0;  // max over components of |difference|/max(1, |y_i|)
        for (std::size_t c = 0; c < y0.size(); ++c) {
            const double size = std::max(1.0, std::fabs(tight.y[i][c]));
            largest = std::max(largest, std::fabs(tight.y[i][c] - loose.y[i][c]) / size);
        }
        if (!(largest <= trust.relativeAccuracy)) {
            reference.untrustedFrom = abscissae[i];
            const std::string untrusted = untrustedReferenceNote(abscissae[i], trust);
            reference.note = reference.note.empty() ? untrusted : untrusted + " " + reference.note;
            break;
        }
        reference.x.push_back(abscissae[i]);
        reference.y.push_back(tight.y[i]);
        reference.accuracy =
            std::max({reference.accuracy, largest, roundingAccuracy(tight.steps[i])});
    }
    return reference;
}

}  // namespace pelorin
