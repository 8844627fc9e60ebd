#include "numerics/multistep_step.h"

#include "numerics/method_run.h"
#include "numerics/stage_step.h"

#include <cstddef>

namespace pelorin {

namespace {

// What an explicit formula makes of the path's values y_0 … y_{step−1}, as the
// run computes it to the bit: a run of that formula alone, fed the path's own
// values in place of its own. The start it is given is never read.
template <class State>
State formulaAfter(const MultistepFormula& formula, const PathOf<State>& path,
                   const SlopeOf<State>& f, long step) {
    const Multistep alone{&formula};
    Method stepping = *path.method;
    std::get<LinearMultistep>(stepping.family).multistep = &alone;
    const StartOf<State> unread{nullptr, [&path](double) { return path.y.front(); }};
    MethodRun<State> run(stepping, f, path.x.front(), path.h, unread);
    State value{};
    for (long i = 0; i < step; ++i) value = run.step(i, path.y[static_cast<std::size_t>(i)]);
    return value;
}

// The formula without its new slope: its explicit part.
MultistepFormula explicitPartOf(MultistepFormula formula) {
    formula.b[static_cast<std::size_t>(formula.steps)] = 0;
    return formula;
}

template <class State>
MultistepStepOf<State> stepOf(const PathOf<State>& path, const SlopeOf<State>& f, long step) {
    const Multistep& multistep = *multistepOf(*path.method);
    const MultistepFormula& formula = *multistep.formula;
    MultistepStepOf<State> shown;
    shown.steps = multistep.steps();
    const auto last = static_cast<std::size_t>(step - 1);
    for (std::size_t i = last + 1 - static_cast<std::size_t>(shown.steps); i <= last; ++i) {
        shown.x.push_back(path.x[i]);
        shown.y.push_back(path.y[i]);
        shown.slope.push_back(f(path.x[i], path.y[i]));
    }
    shown.xNew = path.x.front() + static_cast<double>(step) * path.h;
    shown.yNew = last + 1 < path.y.size() ? path.y[last + 1] : notANumberLike(path.y[last]);
    if (multistep.predictor) {
        shown.predicted = formulaAfter(*multistep.predictor, path, f, step);
        shown.newSlope = f(shown.xNew, *shown.predicted);
    } else if (formula.isImplicit()) {
        shown.explicitPart = formulaAfter(explicitPartOf(formula), path, f, step);
        ImplicitStep<State> solved =
            implicitStep(newValueScheme(formula), f, path.x[last], *shown.explicitPart, path.h);
        shown.iterations = std::move(solved.iterations);
        if (solved.value) shown.newSlope = shown.iterations.back().slopes.front();
        else shown.noValue = solved.failure;
    }
    return shown;
}

}  // namespace

MultistepStep multistepStep(const SolutionPath& path, Slope f, long step) {
    return stepOf(path, f, step);
}

MultistepStepOf<StateVector> multistepStep(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                           long step) {
    return stepOf(path, F, step);
}

}  // namespace pelorin
