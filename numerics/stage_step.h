// One step of any method taken through its tableau, stage by stage: what the
// explanations show of the inside of a step. Agrees with the method's own
// step procedure to within a few units in the last place (the order of the
// sums differs), which a test holds.
#pragma once

#include "methods/methods.h"

#include <array>

namespace pelorin {

// Stage j is evaluated at (x[j], Y[j]) with slope[j] = f(x[j], Y[j]) and
// increment k[j] = h·slope[j]; State is a number for one equation, the
// components for a system.
template <class State>
struct StageStepOf {
    int stages = 0;
    std::array<double, maxStages> x{};
    std::array<State, maxStages> Y{}, slope{}, k{};
    State increment{};  // Σ b_j k_j
    State y1{};         // y0 + increment
    State estimate{};   // Σ e_j k_j; zero for a method without an estimate
};
using StageStep = StageStepOf<double>;
using SystemStageStep = StageStepOf<StateVector>;

StageStep stepByStages(const Tableau& tableau, double x0, double y0, double h, Slope f = f1);
SystemStageStep stepByStages(const Tableau& tableau, double x0, const StateVector& y0, double h,
                             SystemSlope F);

}  // namespace pelorin
