// One step of any method taken through its tableau, stage by stage: what the
// explanations show of the inside of a step. Agrees with the method's own
// step procedure to within a few units in the last place (the order of the
// sums differs), which a test holds.
#pragma once

#include "methods/methods.h"

#include <array>

namespace pelorin {

// Stage j is evaluated at (x[j], Y[j]) with slope[j] = f(x[j], Y[j]) and
// increment k[j] = h·slope[j].
struct StageStep {
    int stages = 0;
    std::array<double, maxStages> x{}, Y{}, slope{}, k{};
    double increment = 0;  // Σ b_j k_j
    double y1 = 0;         // y0 + increment
    double estimate = 0;   // Σ e_j k_j; zero for a method without an estimate
};

StageStep stepByStages(const Tableau& tableau, double x0, double y0, double h, Slope f = f1);

}  // namespace pelorin
