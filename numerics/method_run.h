// A run of any method of the catalogue, step by step: a one-step method
// steps from the last value alone; a multistep method remembers the values
// and slopes before, and takes its first values, until it has k of them,
// from a one-step method or from the solution itself.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/implicit_step.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace pelorin {

// How a multistep method's first k − 1 values after the start are made: by
// a one-step method of the catalogue (textbookStart, unless chosen),
// or, where `method` is null, by the solution's own values.
template <class State>
struct StartOf {
    const Method* method = &methodByCaption(textbookStart);
    std::function<State(double x)> solution;
};
using Start = StartOf<double>;

// Which of the catalogue's methods a study runs, marked by row: a page that
// compares a set of them studies that set alone.
using StudiedMethods = PerMethod<bool>;
inline StudiedMethods everyMethod() {
    StudiedMethods every;
    std::fill(every.begin(), every.end(), true);
    return every;
}
inline StudiedMethods methodsAt(const std::vector<std::size_t>& rows) {
    StudiedMethods studied;
    for (std::size_t row : rows) studied[row] = true;
    return studied;
}

// The values before its formula applies that a method takes from its start:
// k − 1 for a k-step method, none for a one-step method.
inline long startingSteps(const Method& method) {
    return isMultistep(method) ? multistepOf(method)->steps() - 1 : 0;
}

// An implicit formula's new value solves y = e + h·γ·f(x_{n+k}, y), γ =
// b_k/a_k, e its explicit part: the one-stage scheme whose stage, started
// at x_{n+k-1} from e, sits at x_{n+k}, and whose value is the stage's.
ImplicitScheme newValueScheme(const MultistepFormula& formula);

// The run of `method` on y' = f(x, y) from x0 with steps of h. step(i, y)
// gives the value at x_{i+1} = x0 + (i + 1)·h from y at x_i = x0 + i·h; the
// steps must come in order from i = 0, each from the value the one before
// gave. It throws NoConvergence where an implicit step has no value, and
// std::invalid_argument for a start that cannot start (a multistep method,
// or neither a method nor a solution). Newton's work is added to `work`
// where given.
template <class State>
class MethodRun {
public:
    MethodRun(const Method& method, SlopeOf<State> f, double x0, double h,
              StartOf<State> start = {}, NewtonWork* work = nullptr);

    State step(long i, const State& y);

    // Whether the value step(i) gives comes from the start.
    bool fromStart(long i) const { return i + 1 <= startingSteps(method_); }

private:
    State formulaStep(long i);

    const Method& method_;
    SlopeOf<State> f_;
    double x0_, h_;
    StartOf<State> start_;
    NewtonWork* work_;
    // The last k values and their slopes, oldest first.
    std::vector<State> values_, slopes_;
};

extern template class MethodRun<double>;
extern template class MethodRun<StateVector>;

}  // namespace pelorin
