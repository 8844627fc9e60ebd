// One step of a multistep method's run of one equation or a system, as the One step page
// shows it: the past points the formula weighs with their slopes, a
// predictor-corrector pair's predicted value, an implicit formula's Newton
// iterations, and the step's value, the run's own to the bit.
#pragma once

#include "methods/methods.h"
#include "numerics/implicit_step.h"
#include "numerics/solution_paths.h"

#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// Step `step` (from 1) of a multistep run, from x_{step−1} to x_step, once
// its formula applies (step > path.startingValues): the K = multistep.steps()
// past points x_n … x_{n+K−1}, n = step − K, with the values the run has
// there and the slopes f(x, y) it evaluated at them. A system's values and
// slopes are vectors, every component as one equation's.
template <class State>
struct MultistepStepOf {
    int steps = 0;  // K
    std::vector<double> x;
    std::vector<State> y, slope;
    double xNew = 0;
    State yNew{};  // the run's value; NaN where the step has none
    // The slope the formula weighs with b_k at x_{n+K}: f(x_{n+K}, p) at a
    // pair's predicted value p, an implicit formula's converged slope at its
    // new value; none for an explicit formula, which does not weigh it.
    std::optional<State> predicted, newSlope;
    // An implicit formula's new value solves y = e + h·(b_k/a_k)·f(x_{n+K}, y)
    // for the explicit part e: one implicit stage at x_{n+K} from e, solved by
    // Newton's method as the run solves it, every iterate kept.
    std::optional<State> explicitPart;
    std::vector<NewtonIterate<State>> iterations;
    std::string noValue;  // Newton's sentence for a step without a value

    bool hasValue() const { return noValue.empty(); }
};
using MultistepStep = MultistepStepOf<double>;

// The step of path.method's run on y' = f(x, y). The path must hold the
// points before the step, path.x[step − 1] included; its value path.y[step]
// where the run reached it.
MultistepStep multistepStep(const SolutionPath& path, Slope f, long step);
MultistepStepOf<StateVector> multistepStep(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                           long step);

}  // namespace pelorin
