#include "numerics/stiff_work.h"

#include "base/number_text.h"
#include "numerics/implicit_step.h"
#include "numerics/odeint_slopes.h"
#include "numerics/reference_steps.h"
#include "numerics/rosenbrock.h"
#include "numerics/state_operations.h"

#include <cmath>
#include <limits>

namespace pelorin {

namespace {

using namespace odeint_slopes;

std::string stoppedNote(double x, const std::string& why) {
    return "Stopped near x = " + numberToText(x) + ": " + why + ".";
}

}  // namespace

RosenbrockRun libraryRosenbrock(SlopeOf<StateVector> F, double x0, const StateVector& y0, double x1,
                                double h0, double absoluteTolerance, double relativeTolerance,
                                long maxAttempts) {
    RosenbrockRun run;
    if (!std::isfinite(x0) || !std::isfinite(x1 - x0) || !isFiniteState(y0) ||
        !std::isfinite(h0) || h0 == 0) {
        run.note = "The stepper needs finite x0, y0, x1 and a first step.";
        return run;
    }
    constexpr long unlimited = std::numeric_limits<long>::max();
    EvaluationCounts evaluations;
    const CountedSystem counted(F, unlimited, evaluations);
    const AutonomousSystem system{counted};
    long slopeCalls = 0, jacobianCalls = 0, attempts = 0;
    RosenbrockStepper stepper(
        [&](const OdeintVector& state, OdeintVector& slope, double x) {
            ++slopeCalls;
            system(state, slope, x);
        },
        [&](const OdeintVector& state, OdeintVector& J, double x, OdeintVector& dfdx) {
            ++jacobianCalls;
            system(state, J, x, dfdx);
        },
        absoluteTolerance, relativeTolerance);
    const auto tryStep = [&](OdeintVector& state, double& x, double& dt) {
        if (++attempts > maxAttempts) {
            throw Stopped{"it took " + std::to_string(maxAttempts) + " attempts, the most a run "
                          "may take"};
        }
        const bool accepted = stepper.tryStep(state, x, dt);
        state.back() = x;  // x as a component, kept on the stepper's abscissa
        run.steps += accepted ? 1 : 0;
        return accepted;
    };
    OdeintVector state = toVector(y0);
    state.push_back(x0);
    double x = x0, dt = h0;
    try {
        stepTo(tryStep, state, x, dt, x1);
        run.y = toState(state, y0.size());
    } catch (const Stopped& stopped) {
        run.note = stoppedNote(x, stopped.why);
    } catch (const boost::numeric::odeint::step_adjustment_error&) {
        run.note = stoppedNote(x, stepsTooSmall(state).why);
    } catch (const SlopeStoppedOf<StateVector>& stopped) {
        run.note = stoppedNote(stopped.x, stoppedBySlope(stopped.why, unlimited,
                                                         "x = " + numberToText(stopped.x) +
                                                             ", y = " + stateText(stopped.y))
                                              .why);
    }
    run.counts = {evaluations.evaluations, jacobianCalls, jacobianCalls, slopeCalls};
    return run;
}

}  // namespace pelorin
