// Systems whose components split into positions and momenta, with the split
// the lab reads off typed formulas, for the partitioned methods' tests.
#pragma once

#include "methods/methods.h"

#include <cmath>

namespace pelorin::testing {

// y1 a position, y2 its momentum.
inline const SplitReading positionThenMomentum{ComponentSplit{{false, true}}, {}};

inline StateVector oscillatorSlope(double, const StateVector& y) { return {y[1], -y[0]}; }
inline StateVector pendulumSlope(double, const StateVector& y) { return {y[1], -std::sin(y[0])}; }

// y1' = y2, y2' = -y1 and y1' = y2, y2' = -sin(y1), split as the lab splits them.
inline SystemSlope splitOscillator() { return SystemSlope(oscillatorSlope).withSplit(&positionThenMomentum); }
inline SystemSlope splitPendulum() { return SystemSlope(pendulumSlope).withSplit(&positionThenMomentum); }

}  // namespace pelorin::testing
