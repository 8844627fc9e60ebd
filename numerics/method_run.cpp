#include "numerics/method_run.h"

#include "numerics/state_operations.h"

#include <cstddef>
#include <stdexcept>

namespace pelorin {

namespace {

// Σ_{j<k} (−a_j/a_k)·y_{n+j} + h·(Σ_{j≤k} b_j·f_{n+j})/a_k, the sums from the
// newest term to the oldest as the textbooks write them, terms with a zero
// coefficient left out; `values` and `slopes` end with y_{n+k−1} and
// f_{n+k−1}, and `newSlope`, where given, is f_{n+k} (a corrector's slope
// at the predicted value). Without it the sum stops before b_k.
template <class State>
State formulaValue(const MultistepFormula& formula, const std::vector<State>& values,
                   const std::vector<State>& slopes, double h, const State* newSlope) {
    const auto k = static_cast<std::size_t>(formula.steps);
    const std::size_t first = values.size() - k;  // y_n
    const double ak = static_cast<double>(formula.a[k]);
    State past = zeroLike(values.back());
    State weighted = zeroLike(values.back());
    if (newSlope) weighted = static_cast<double>(formula.b[k]) * *newSlope;
    for (std::size_t j = k; j-- > 0;) {
        if (formula.a[j] != 0) {
            past = past + (static_cast<double>(-formula.a[j]) / ak) * values[first + j];
        }
        if (formula.b[j] != 0) {
            weighted = weighted + static_cast<double>(formula.b[j]) * slopes[first + j];
        }
    }
    return past + h * weighted / ak;
}

}  // namespace

ImplicitScheme newValueScheme(const MultistepFormula& formula) {
    const auto k = static_cast<std::size_t>(formula.steps);
    const double gamma = static_cast<double>(formula.b[k]) / static_cast<double>(formula.a[k]);
    ImplicitScheme scheme;
    scheme.stages = 1;
    scheme.a[0][0] = gamma;
    scheme.b[0] = gamma;
    scheme.c[0] = 1;
    return scheme;
}

template <class State>
MethodRun<State>::MethodRun(const Method& method, SlopeOf<State> f, double x0, double h,
                            StartOf<State> start, NewtonWork* work)
    : method_(method), f_(f), x0_(x0), h_(h), start_(std::move(start)), work_(work) {
    if (isMultistep(method_) &&
        (start_.method ? isMultistep(*start_.method) : !start_.solution)) {
        throw std::invalid_argument("a multistep method starts from a one-step method or the solution");
    }
}

template <class State>
State MethodRun<State>::step(long i, const State& y) {
    const double x = x0_ + static_cast<double>(i) * h_;
    if (!isMultistep(method_)) return methodStep(method_, x, y, h_, f_, work_);
    // The slope at every value is evaluated once, when the value is new.
    values_.push_back(y);
    slopes_.push_back(f_(x, y));
    const auto k = static_cast<std::size_t>(multistepOf(method_)->steps());
    if (values_.size() > k) {
        values_.erase(values_.begin());
        slopes_.erase(slopes_.begin());
    }
    if (!fromStart(i)) return formulaStep(i);
    if (start_.method) return methodStep(*start_.method, x, y, h_, f_, work_);
    return start_.solution(x0_ + static_cast<double>(i + 1) * h_);
}

// A predictor-corrector pair evaluates the corrector's new slope once, at
// the predicted value; an implicit formula's new value is solved for by
// Newton's method (newValueScheme).
template <class State>
State MethodRun<State>::formulaStep(long i) {
    const Multistep& multistep = *multistepOf(method_);
    const MultistepFormula& formula = *multistep.formula;
    const double xNew = x0_ + static_cast<double>(i + 1) * h_;
    if (multistep.predictor) {
        const State predicted = formulaValue(*multistep.predictor, values_, slopes_, h_,
                                             static_cast<const State*>(nullptr));
        const State slope = f_(xNew, predicted);
        return formulaValue(formula, values_, slopes_, h_, &slope);
    }
    const State explicitPart =
        formulaValue(formula, values_, slopes_, h_, static_cast<const State*>(nullptr));
    if (!formula.isImplicit()) return explicitPart;
    const double x = x0_ + static_cast<double>(i) * h_;
    return implicitValue(newValueScheme(formula), f_, x, explicitPart, h_, work_);
}

template class MethodRun<double>;
template class MethodRun<StateVector>;

}  // namespace pelorin
