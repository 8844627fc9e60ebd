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
#include <string>
#include <vector>

namespace pelorin {

// Stage j is evaluated at (x[j], Y[j]) with slope[j] = f(x[j], Y[j]) and
// increment k[j] = h·slope[j]; State is a number for one equation, the
// components for a system. An implicit step's slope[j] is the converged K_j
// and its `iterations` are Newton's; without a value, `noValue` says why and
// only the stages' x are set, not Y, slope, k, the increment or y1.
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
using SystemStageStep = StageStepOf<StateVector>;

StageStep stepByStages(const Tableau& tableau, double x0, double y0, double h, Slope f = f1);
SystemStageStep stepByStages(const Tableau& tableau, double x0, const StateVector& y0, double h,
                             SystemSlope F);

}  // namespace pelorin
