// One step of any method taken through its tableau, stage by stage: what the
// explanations show of the inside of a step. For an explicit method each
// stage follows from the ones before it; this agrees with the method's own
// step procedure to within a few units in the last place (the order of the
// sums differs), which a test holds. An implicit method's stages need
// themselves and each other: they are the ones Newton's method converged to
// in implicitStep, with every iterate kept, and its value is the run's.
#pragma once

#include "methods/methods.h"
#include "numerics/implicit_step.h"

#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace pelorin {

// Stage j is evaluated at (x[j], Y[j]) with slope[j] = f(x[j], Y[j]) and
// increment k[j] = h·slope[j]; State is a number for one equation, the
// components for a system. An implicit step's slope[j] is the converged K_j
// and its `iterations` are Newton's; without a value, `noValue` says why and
// only the stages' x are numbers: Y, slope, k, the increment and y1 are not
// (NaN), so that a caller that does not ask cannot take them for values.
template <class State>
struct StageStepOf {
    int stages = 0;
    std::array<double, maxStages> x{};
    std::array<State, maxStages> Y{}, slope{}, k{};
    State increment{};  // Σ b_j k_j
    State y1{};         // y0 + increment
    State estimate{};   // Σ e_j k_j; zero for a method without an estimate
    std::vector<NewtonIterate<State>> iterations;  // empty for an explicit method
    std::string noValue;  // Newton's sentence for a step that has no value

    bool hasValue() const { return noValue.empty(); }
};
using StageStep = StageStepOf<double>;

// A state of the same size whose every component is not a number: what a
// step without a value has in place of its values.
inline double notANumberLike(double) { return std::numeric_limits<double>::quiet_NaN(); }
inline StateVector notANumberLike(const StateVector& y) {
    StateVector nan(y.size());
    for (std::size_t k = 0; k < nan.size(); ++k) nan[k] = std::numeric_limits<double>::quiet_NaN();
    return nan;
}

StageStep stepByStages(const Tableau& tableau, double x0, double y0, double h, Slope f = f1);
StageStepOf<StateVector> stepByStages(const Tableau& tableau, double x0, const StateVector& y0,
                                      double h, SlopeOf<StateVector> F);

}  // namespace pelorin
