#include "numerics/stage_step.h"

#include "numerics/state_operations.h"

#include <cstddef>
#include <utility>

namespace pelorin {

namespace {

template <class State, class SlopeFunction>
StageStepOf<State> explicitStages(const Tableau& tableau, double x0, const State& y0, double h,
                                  SlopeFunction f) {
    StageStepOf<State> step;
    step.stages = tableau.stages;
    step.y1 = y0;
    step.increment = zeroLike(y0);
    step.estimate = zeroLike(y0);
    for (int j = 0; j < tableau.stages; ++j) {
        State Y = y0;
        for (int l = 0; l < j; ++l) {
            if (!tableau.a[j][l].isZero()) Y = Y + tableau.a[j][l].value() * step.k[l];
        }
        step.x[j] = x0 + tableau.c[j].value() * h;
        step.Y[j] = Y;
        step.slope[j] = f(step.x[j], Y);
        step.k[j] = h * step.slope[j];
    }
    for (int j = 0; j < tableau.stages; ++j) {
        step.increment = step.increment + tableau.b[j].value() * step.k[j];
        step.estimate = step.estimate + tableau.e[j].value() * step.k[j];
    }
    step.y1 = y0 + step.increment;
    return step;
}

// The stages Newton's method converged to: x_j = x0 + c_j·h, Y_j, the slope
// K_j and k_j = h·K_j; the increment h·Σ b_j K_j as the step sums it, so
// that y1 is the run's value to the bit.
template <class State, class SlopeFunction>
StageStepOf<State> implicitStages(const Tableau& tableau, double x0, const State& y0, double h,
                                  SlopeFunction f) {
    const ImplicitScheme scheme = schemeOf(tableau);
    ImplicitStep<State> solved = implicitStep(scheme, f, x0, y0, h);
    StageStepOf<State> step;
    step.stages = tableau.stages;
    step.estimate = zeroLike(y0);
    step.iterations = std::move(solved.iterations);
    const auto stages = static_cast<std::size_t>(tableau.stages);
    for (std::size_t j = 0; j < stages; ++j) step.x[j] = x0 + scheme.c[j] * h;
    if (!solved.value) {
        step.noValue = solved.failure;
        const State none = notANumberLike(y0);
        step.Y.fill(none);
        step.slope.fill(none);
        step.k.fill(none);
        step.increment = step.y1 = none;
        return step;
    }
    const NewtonIterate<State>& converged = step.iterations.back();
    State weighted = zeroLike(y0);
    for (std::size_t j = 0; j < stages; ++j) {
        step.Y[j] = converged.states[j];
        step.slope[j] = converged.slopes[j];
        step.k[j] = h * converged.slopes[j];
        weighted = weighted + scheme.b[j] * converged.slopes[j];
    }
    step.increment = h * weighted;
    step.y1 = *solved.value;
    return step;
}

template <class State, class SlopeFunction>
StageStepOf<State> stagesOf(const Tableau& tableau, double x0, const State& y0, double h,
                            SlopeFunction f) {
    return tableau.isImplicit() ? implicitStages(tableau, x0, y0, h, f)
                                : explicitStages(tableau, x0, y0, h, f);
}

}  // namespace

StageStep stepByStages(const Tableau& tableau, double x0, double y0, double h, Slope f) {
    return stagesOf(tableau, x0, y0, h, f);
}

StageStepOf<StateVector> stepByStages(const Tableau& tableau, double x0, const StateVector& y0,
                                      double h, SlopeOf<StateVector> F) {
    return stagesOf(tableau, x0, y0, h, F);
}

}  // namespace pelorin
