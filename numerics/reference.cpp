// Reference solutions with Boost.Odeint's adaptive Dormand-Prince stepper
// (its Fehlberg 7(8) stepper where a more accurate one is asked for), or its
// Rosenbrock stepper where a system is stiff: one loop for a system and for a
// single equation, which runs as a system of one; and the note that names
// the method.
#include "numerics/reference.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/jacobian.h"
#include "numerics/odeint.h"
#include "numerics/odeint_slopes.h"
#include "numerics/reference_steps.h"
#include "numerics/rosenbrock.h"
#include "numerics/solution_paths.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <string_view>
#include <utility>

namespace pelorin {

namespace {

namespace odeint = boost::numeric::odeint;
using namespace odeint_slopes;

// Where a single equation's reference and a system's go different ways.
// When Rosenbrock's method makes a reference instead of the explicit pair:
// as soon as the explicit run finds the problem stiff after
// nonStiffEvaluations; or only where the explicit run, having found it
// stiff then, runs out of evaluations before the last abscissa, so that
// every reference the explicit pair can make stays its own, bit for bit.
// Under either, also where the explicit run's steps overflowed on a stiff
// problem before it looked (overflowsAsStiff): it made no reference there.
enum class StiffSwitch { atOnce, whenOutOfEvaluations };

struct ReferenceRules {
    StiffSwitch stiffSwitch;
    // All runs together may use maxEvaluations; else each run may.
    bool sharesEvaluations;
    ReferenceTrust trust;
};

// The point where F is not finite: a single equation's (x, y) as its own
// messages say it, a system's x and its state.
std::string pointText(double x, const StateVector& y) {
    if (y.size() == 1) return "(x, y) = (" + numberToText(x) + ", " + numberToText(y[0]) + ")";
    std::string state;
    for (double component : y) state += (state.empty() ? "(" : ", ") + numberToText(component);
    return "x = " + numberToText(x) + ", y = " + state + ")";
}

Stopped stoppedBySlope(const SlopeStoppedOf<StateVector>& stopped, long maxEvaluations) {
    return stoppedBySlope(stopped.why, maxEvaluations, pointText(stopped.x, stopped.y));
}

struct Run {
    std::vector<StateVector> y;  // at the abscissae reached
    std::vector<long> steps;     // accepted up to each of them
    long evaluations = 0;
    bool stiff = false;            // found stiff after nonStiffEvaluations,
    bool overflowedStiff = false;  // or where its steps overflowed before then
    bool outOfEvaluations = false;
    std::string note;
    std::optional<double> end;  // where it stopped growing without bound
};

// One run with the attempts tryStep(y, x, dt) of a controlled stepper whose
// F counts into `counts`, from the state `start` (y0, and for Rosenbrock x0
// after it), to each abscissa in turn until it stops.
template <class TryStep>
Run solve(TryStep&& tryStep, const EvaluationCounts& counts, double x0, const StateVector& y0,
          OdeintVector start, const std::vector<double>& abscissae, long maxEvaluations) {
    Run run;
    OdeintVector y = std::move(start);
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
    } catch (const SlopeStoppedOf<StateVector>& stopped) {
        // The evaluation refused at the limit is counted with the rest.
        if (stopped.why == SlopeStop::evaluationLimit) {
            ++run.evaluations;
            run.outOfEvaluations = true;
        }
        stopAt(stoppedBySlope(stopped, maxEvaluations));
    }
    run.evaluations += counts.evaluations;
    return run;
}

// Thrown out of an explicit run that found the system stiff: after
// nonStiffEvaluations, or where its steps overflowed before them.
struct StiffnessFound {
    bool overflowed = false;
    long lookEvaluations = 0;  // F's evaluations by a look not counted by the stepper
};

// Whether a step h from (x, y) is held by stability: see stiffStepEigenvalue.
bool stiffAt(SlopeOf<StateVector> F, double x, const StateVector& y, double h) {
    const StepEigenvalues modes = stepEigenvalues(F, x, y, h);
    return std::any_of(modes.z.begin(), modes.z.end(), [](std::complex<double> z) {
        return std::abs(z) >= stiffStepEigenvalue;
    });
}

// A step h from (x, y) so far outside an explicit pair's stability that
// its stages overflow where the solution decays: a mode with Re hλ at most
// -overflowStepEigenvalue, along which the solution shrinks by e^(hλ) while
// each stage multiplies by about hλ. The control never asks for such a step
// once it follows the solution (each step at most five times an accepted
// one, whose |hλ| is a few units at most), only as its first guess, 1E-6,
// or where the problem turns stiff at once. A solution escaping to
// infinity, as y' = y² near its end (hλ = 2hy > 0), grows along its modes.
constexpr double overflowStepEigenvalue = 1000;
bool overflowsAsStiff(SlopeOf<StateVector> F, double x, const StateVector& y, double h) {
    const std::vector<std::complex<double>> z = stepEigenvalues(F, x, y, h).z;
    return std::any_of(z.begin(), z.end(), [](std::complex<double> mode) {
        return mode.real() <= -overflowStepEigenvalue;
    });
}

// How an explicit run looks for stiffness after nonStiffEvaluations: not
// at all, to stop where it finds it (its Jacobian's evaluations counted),
// or only to say so when it stops, its steps and counts untouched.
enum class StiffnessLook { none, stopping, noting };

// A run of the explicit pair ErrorStepper; a run that stops where it finds
// stiffness has `stiff` set and nothing reached. A run that looks for
// stiffness and, before it does, overflows (y or the slope not finite) on a
// step from (x, y) that overflowsAsStiff stops so too, with overflowedStiff
// set: its values there are the unstable steps', not the solution's.
template <class ErrorStepper>
Run explicitRun(SlopeOf<StateVector> F, double x0, const StateVector& y0,
                const std::vector<double>& abscissae, double tolerance, long limit,
                long maxEvaluations, StiffnessLook look) {
    ControlledOdeint<OdeintVector, ErrorStepper> stepper(F, tolerance, tolerance, limit);
    const CountedSystem counted = stepper.countedSystem();
    bool looked = look == StiffnessLook::none, stiffSeen = false;
    const auto attempt = [&](OdeintVector& y, double& x, double& dt) {
        const double h = dt;
        try {
            return stepper.tryStep(y, x, dt);
        } catch (const SlopeStoppedOf<StateVector>& stopped) {
            // F uncounted, so that a stop that stays one is said where it was.
            long evaluations = 0;
            const auto tallied = [&](double at, const StateVector& state) {
                ++evaluations;
                return F(at, state);
            };
            if (!looked && stopped.why != SlopeStop::evaluationLimit &&
                overflowsAsStiff(tallied, x, toState(y, y.size()), h)) {
                throw StiffnessFound{.overflowed = true, .lookEvaluations = evaluations};
            }
            throw;
        }
    };
    const auto tryStep = [&](OdeintVector& y, double& x, double& dt) {
        const bool accepted = attempt(y, x, dt);
        if (!looked && stepper.evaluations() >= nonStiffEvaluations) {
            looked = true;
            const StateVector state = toState(y, y.size());
            if (look == StiffnessLook::noting) stiffSeen = stiffAt(F, x, state, dt);
            else if (stiffAt(counted, x, state, dt)) throw StiffnessFound{};
        }
        return accepted;
    };
    try {
        Run run = solve(tryStep, stepper.counts(), x0, y0, toVector(y0), abscissae,
                        maxEvaluations);
        run.stiff = stiffSeen;
        return run;
    } catch (const StiffnessFound& found) {
        Run stiff;
        stiff.stiff = true;
        stiff.overflowedStiff = found.overflowed;
        stiff.evaluations = stepper.evaluations() + found.lookEvaluations;
        return stiff;
    }
}

// The same with the explicit method `method`.
Run explicitRun(ReferenceMethod method, SlopeOf<StateVector> F, double x0, const StateVector& y0,
                const std::vector<double>& abscissae, double tolerance, long limit,
                long maxEvaluations, StiffnessLook look) {
    if (method == ReferenceMethod::fehlberg) {
        return explicitRun<odeint::runge_kutta_fehlberg78<OdeintVector>>(
            F, x0, y0, abscissae, tolerance, limit, maxEvaluations, look);
    }
    return explicitRun<odeint::runge_kutta_dopri5<OdeintVector>>(
        F, x0, y0, abscissae, tolerance, limit, maxEvaluations, look);
}

Run rosenbrock(SlopeOf<StateVector> F, double x0, const StateVector& y0,
               const std::vector<double>& abscissae, double tolerance, long limit,
               long maxEvaluations) {
    EvaluationCounts counts;
    const CountedSystem counted(F, limit, counts);
    const AutonomousSystem system{counted};
    RosenbrockStepper stepper(system, system, tolerance, tolerance);
    // The component x kept equal to the stepper's abscissa, which lands on
    // each abscissa exactly.
    const auto tryStep = [&](OdeintVector& state, double& x, double& dt) {
        const bool accepted = stepper.tryStep(state, x, dt);
        state.back() = x;
        return accepted;
    };
    OdeintVector start = toVector(y0);
    start.push_back(x0);
    return solve(tryStep, counts, x0, y0, std::move(start), abscissae, maxEvaluations);
}

// The tighter and the looser run, the method that made them and the
// tighter one's tolerance.
struct TwoRuns {
    Run tight, loose;
    ReferenceMethod method;
    double tolerance;
    long evaluations;  // by all runs
};

TwoRuns twoRuns(SlopeOf<StateVector> F, double x0, const StateVector& y0,
                const std::vector<double>& abscissae, long maxEvaluations,
                ReferenceAccuracy accuracy, const ReferenceRules& rules) {
    // What a run may use after `used` evaluations by the runs before it.
    const auto left = [&](long used) {
        return rules.sharesEvaluations ? maxEvaluations - used : maxEvaluations;
    };
    const ReferenceRuns runs = referenceRuns(accuracy);
    const bool atOnce = rules.stiffSwitch == StiffSwitch::atOnce;
    Run tight = explicitRun(runs.method, F, x0, y0, abscissae, runs.tolerance, maxEvaluations,
                            maxEvaluations,
                            atOnce ? StiffnessLook::stopping : StiffnessLook::noting);
    if (!tight.overflowedStiff && (!tight.stiff || (!atOnce && !tight.outOfEvaluations))) {
        Run loose = explicitRun(runs.method, F, x0, y0, abscissae, runs.looserTolerance,
                                left(tight.evaluations), maxEvaluations, StiffnessLook::none);
        const long evaluations = tight.evaluations + loose.evaluations;
        return {std::move(tight), std::move(loose), runs.method, runs.tolerance, evaluations};
    }
    long used = tight.evaluations;
    tight = rosenbrock(F, x0, y0, abscissae, stiffReferenceTolerance, left(used), maxEvaluations);
    used += tight.evaluations;
    Run loose = rosenbrock(F, x0, y0, abscissae, looserStiffReferenceTolerance, left(used),
                           maxEvaluations);
    used += loose.evaluations;
    return {std::move(tight), std::move(loose), ReferenceMethod::rosenbrock,
            stiffReferenceTolerance, used};
}

// y' = F(x, y), y(x0) = y0, from x0 to each abscissa in turn, solved twice
// and the two compared, up to the first abscissa where it cannot be trusted.
ReferenceSolutionOf<StateVector> comparedReference(SlopeOf<StateVector> F, double x0,
                                                   const StateVector& y0,
                                                   const std::vector<double>& abscissae,
                                                   long maxEvaluations, ReferenceAccuracy accuracy,
                                                   const ReferenceRules& rules) {
    ReferenceSolutionOf<StateVector> reference;
    if (!std::isfinite(x0) || !std::isfinite(stateSize(y0))) {
        reference.note = "The reference solution needs a start of finite numbers.";
        return reference;
    }
    const TwoRuns runs = twoRuns(F, x0, y0, abscissae, maxEvaluations, accuracy, rules);
    reference.method = runs.method;
    reference.slopeEvaluations = runs.evaluations;
    // The tighter run says why it stopped, else the looser one.
    reference.note = !runs.tight.note.empty() ? runs.tight.note : runs.loose.note;
    reference.end = runs.tight.end ? runs.tight.end : runs.loose.end;
    reference.relativeAccuracy = runs.tolerance;
    const std::size_t reached = std::min(runs.tight.y.size(), runs.loose.y.size());
    for (std::size_t i = 0; i < reached; ++i) {
        const StateVector& y = runs.tight.y[i];
        const double least = std::max(runs.tolerance, roundingAccuracy(runs.tight.steps[i]));
        double largest = least, absolute = reference.accuracy;
        bool trusted = true;
        for (std::size_t c = 0; c < y.size(); ++c) {
            const double size = std::max(1.0, std::fabs(y[c]));
            const double difference = std::fabs(y[c] - runs.loose.y[i][c]);
            trusted = trusted && difference <= rules.trust.relativeAccuracy * size;
            largest = std::max(largest, difference / size);
            absolute = std::max({absolute, difference, least * size});
        }
        if (!trusted) {
            reference.untrustedFrom = abscissae[i];
            const std::string untrusted = untrustedReferenceNote(abscissae[i], rules.trust);
            reference.note = reference.note.empty() ? untrusted : untrusted + " " + reference.note;
            break;
        }
        reference.x.push_back(abscissae[i]);
        reference.y.push_back(y);
        reference.relativeAccuracy = std::max(reference.relativeAccuracy, largest);
        reference.accuracy = absolute;
    }
    return reference;
}

}  // namespace

std::string_view referenceMethodWords(ReferenceMethod method) {
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

std::string referenceUsedNote(double relativeAccuracy, ReferenceMethod method,
                              ReferenceAccuracy asked) {
    const std::string used =
        "No exact solution is given: the errors are measured against a reference solution (" +
        std::string(referenceMethodWords(method)) + "), accurate to about " +
        errorText(relativeAccuracy) + " of the solution's size.";
    if (method != ReferenceMethod::rosenbrock || asked == ReferenceAccuracy::standard) return used;
    return used + " A more accurate reference was asked for, but the problem is stiff: an "
                  "explicit pair's steps would stay tiny, so the reference is Rosenbrock's, "
                  "as accurate as said.";
}

ReferenceSolutionOf<StateVector> referenceSolution(
    SlopeOf<StateVector> F, double x0, const StateVector& y0, const std::vector<double>& abscissae,
    long maxEvaluations, ReferenceAccuracy accuracy, const ReferenceTrust& trust) {
    const ReferenceRules rules{
        .stiffSwitch = StiffSwitch::atOnce, .sharesEvaluations = true, .trust = trust};
    return comparedReference(F, x0, y0, abscissae, maxEvaluations, accuracy, rules);
}

// A single equation's reference is a system of one's, but keeps to the
// explicit pair as long as its evaluations last (or until its steps
// overflow on a stiff equation: see StiffSwitch), gives each of its two runs
// the whole limit of evaluations, and is always trusted for measuring.
ReferenceSolution referenceSolution(Slope f, double x0, double y0,
                                    const std::vector<double>& abscissae, long maxEvaluations,
                                    ReferenceAccuracy accuracy) {
    const OneEquationAsSystem asSystem{f};
    const ReferenceRules rules{
        .stiffSwitch = StiffSwitch::whenOutOfEvaluations,
        .sharesEvaluations = false,
        .trust = measuringTrust};
    const ReferenceSolutionOf<StateVector> system =
        comparedReference(asSystem, x0, {y0}, abscissae, maxEvaluations, accuracy, rules);
    ReferenceSolution reference;
    reference.x = system.x;
    for (const StateVector& y : system.y) reference.y.push_back(y[0]);
    reference.accuracy = system.accuracy;
    reference.relativeAccuracy = system.relativeAccuracy;
    reference.method = system.method;
    reference.slopeEvaluations = system.slopeEvaluations;
    reference.end = system.end;
    reference.untrustedFrom = system.untrustedFrom;
    reference.note = system.note;
    return reference;
}

}  // namespace pelorin
