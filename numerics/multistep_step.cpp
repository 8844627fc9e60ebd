#include "numerics/multistep_step.h"

#include "numerics/method_run.h"

#include <cstddef>
#include <limits>

namespace pelorin {

namespace {

// What an explicit formula makes of the path's values y_0 … y_{step−1}, as the
// run computes it to the bit: a run of that formula alone, fed the path's own
// values in place of its own. The start it is given is never read.
double formulaAfter(const MultistepFormula& formula, const SolutionPath& path, Slope f, long step) {
    const Multistep alone{&formula};
    Method stepping = *path.method;
    std::get<LinearMultistep>(stepping.family).multistep = &alone;
    const Start unread{nullptr, [](double) { return 0.0; }};
    MethodRun<double> run(stepping, f, path.x.front(), path.h, unread);
    double value = 0;
    for (long i = 0; i < step; ++i) value = run.step(i, path.y[static_cast<std::size_t>(i)]);
    return value;
}

// The formula without its new slope: its explicit part.
MultistepFormula explicitPartOf(MultistepFormula formula) {
    formula.b[static_cast<std::size_t>(formula.steps)] = 0;
    return formula;
}

}  // namespace

MultistepStep multistepStep(const SolutionPath& path, Slope f, long step) {
    const Multistep& multistep = *multistepOf(*path.method);
    const MultistepFormula& formula = *multistep.formula;
    MultistepStep shown;
    shown.steps = multistep.steps();
    const auto last = static_cast<std::size_t>(step - 1);
    for (std::size_t i = last + 1 - static_cast<std::size_t>(shown.steps); i <= last; ++i) {
        shown.x.push_back(path.x[i]);
        shown.y.push_back(path.y[i]);
        shown.slope.push_back(f(path.x[i], path.y[i]));
    }
    shown.xNew = path.x.front() + static_cast<double>(step) * path.h;
    shown.yNew = last + 1 < path.y.size() ? path.y[last + 1]
                                          : std::numeric_limits<double>::quiet_NaN();
    if (multistep.predictor) {
        shown.predicted = formulaAfter(*multistep.predictor, path, f, step);
        shown.newSlope = f(shown.xNew, *shown.predicted);
    } else if (formula.isImplicit()) {
        shown.explicitPart = formulaAfter(explicitPartOf(formula), path, f, step);
        ImplicitStep<double> solved =
            implicitStep(newValueScheme(formula), f, path.x[last], *shown.explicitPart, path.h);
        shown.iterations = std::move(solved.iterations);
        if (solved.value) shown.newSlope = shown.iterations.back().slopes.front();
        else shown.noValue = solved.failure;
    }
    return shown;
}

}  // namespace pelorin
