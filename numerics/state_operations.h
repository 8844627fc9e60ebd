// What the runs, their errors and the convergence study do with a state, for
// one equation (a number) and for a system (its components), so that each is
// written once: the system of one component then gives the number's bits.
#pragma once

#include "base/conversions.h"
#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/implicit_step.h"
#include "numerics/partitioned_step.h"
#include "numerics/stage_step.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// n, the components of the state: 1 for one equation.
inline std::size_t componentsOf(double) { return 1; }
inline std::size_t componentsOf(const StateVector& y) { return y.size(); }

inline bool isFiniteState(double y) { return std::isfinite(y); }
inline bool isFiniteState(const StateVector& y) {
    for (double component : y) {
        if (!std::isfinite(component)) return false;
    }
    return true;
}

// A system's errors are measured in the maximum norm ||e|| = max_k |e_k|:
// the largest of the components' errors, so that no component's error is
// hidden by a sum, and a system of one component measures |e| as one
// equation does. Not finite when any component is not.
inline double stateNorm(double y) { return std::fabs(y); }
inline double stateNorm(const StateVector& y) {
    double norm = 0;
    for (double component : y) {
        if (!std::isfinite(component)) return component;
        norm = std::max(norm, std::fabs(component));
    }
    return norm;
}

// Component k of every state, NaN where a state has none: one curve of a
// system's plot.
inline std::vector<double> componentOf(const std::vector<StateVector>& states, std::size_t k) {
    std::vector<double> values;
    values.reserve(states.size());
    for (const StateVector& y : states) {
        values.push_back(k < y.size() ? y[k] : std::numeric_limits<double>::quiet_NaN());
    }
    return values;
}

// The sentence a page shows beside a system's errors.
inline std::string maximumNormNote() {
    return "Errors are measured in the maximum norm, the largest of the components' errors.";
}

// A state as the notes write it: its components, separated by commas.
inline std::string stateText(double y) { return numberToText(y); }
inline std::string stateText(const StateVector& y) {
    std::string text;
    for (double component : y) text += (text.empty() ? "" : ", ") + numberToText(component);
    return text;
}

// The state of the same size with every component zero.
inline double zeroLike(double) { return 0; }
inline StateVector zeroLike(const StateVector& y) { return StateVector(y.size()); }

// One step of a one-step `method` from (x, y) with h: a window method's own
// procedure, another explicit method's stages from its tableau, a
// partitioned method's stages in the order they need each other (DoesNotSplit
// where the slope does not split), or an implicit method's stage equations
// solved by Newton's method, which throws NoConvergence when they are not;
// Newton's work is added to `work` where given.
inline double methodStep(const Method& method, double x, double y, double h, Slope f,
                         NewtonWork* work = nullptr) {
    if (const ExplicitRungeKutta* family = explicitRungeKutta(method)) {
        return family->step ? family->step(x, y, h, f)
                            : stepByStages(*family->tableau, x, y, h, f).y1;
    }
    if (const PartitionedRungeKutta* pair = partitionedRungeKutta(method)) {
        return partitionedStep(*pair, x, y, h, f);
    }
    return implicitMethodStep(*tableauOf(method), x, y, h, f, work);
}
inline StateVector methodStep(const Method& method, double x, const StateVector& y, double h,
                              SlopeOf<StateVector> f, NewtonWork* work = nullptr) {
    if (const ExplicitRungeKutta* family = explicitRungeKutta(method)) {
        return family->stepSystem ? family->stepSystem(x, y, h, f)
                                  : stepByStages(*family->tableau, x, y, h, f).y1;
    }
    if (const PartitionedRungeKutta* pair = partitionedRungeKutta(method)) {
        return partitionedStep(*pair, x, y, h, f);
    }
    return implicitMethodStep(*tableauOf(method), x, y, h, f, work);
}

// The step's value, or NaN where an implicit step has none, for a caller
// that leaves out a value it cannot have as it leaves out one that overflowed.
inline double methodStepOrNaN(const Method& method, double x, double y, double h, Slope f) {
    try {
        return methodStep(method, x, y, h, f);
    } catch (const NoConvergence&) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

}  // namespace pelorin
