// The oscillator and the pendulum, the systems most tests step, and the same
// with the split into positions and momenta the lab reads off typed formulas.
#pragma once

#include "methods/methods.h"

#include <cmath>

namespace pelorin::testing {

// y1 a position, y2 its momentum.
inline const SplitReading positionThenMomentum{ComponentSplit{{false, true}}, {}};

// y1' = y2, y2' = -y1 and y1' = y2, y2' = -sin(y1).
inline StateVector oscillator(double, const StateVector& y) { return {y[1], -y[0]}; }
inline StateVector pendulum(double, const StateVector& y) { return {y[1], -std::sin(y[0])}; }

// The two, split as the lab splits them.
inline SlopeOf<StateVector> splitOscillator() {
    return SlopeOf<StateVector>(oscillator).withSplit(&positionThenMomentum);
}
inline SlopeOf<StateVector> splitPendulum() {
    return SlopeOf<StateVector>(pendulum).withSplit(&positionThenMomentum);
}

}  // namespace pelorin::testing
