// What the runs, their errors and the convergence study do with a state, for
// one equation (a number) and for a system (its components), so that each is
// written once: the system of one component then gives the number's bits.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <cmath>
#include <optional>
#include <string>

namespace pelorin {

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

// The sentence a page shows beside a system's errors.
inline std::string maximumNormNote() {
    return "Errors are measured in the maximum norm, the largest of the components' errors.";
}

// The state of the same size with every component zero.
inline double zeroLike(double) { return 0; }
inline StateVector zeroLike(const StateVector& y) { return StateVector(y.size()); }

// One step of `method` from (x, y) with h.
inline double methodStep(const Method& method, double x, double y, double h, Slope f) {
    return method.step(x, y, h, f);
}
inline StateVector methodStep(const Method& method, double x, const StateVector& y, double h,
                              SystemSlope f) {
    return method.stepSystem(x, y, h, f);
}

}  // namespace pelorin
