// Runs of the methods' classical Runge-Kutta on a system given as a plain
// function, for tests of typed systems: the typed system and the stepper's
// slope share a name, so the two are met only in system_runs.cpp.
#pragma once

#include <functional>
#include <span>
#include <vector>

namespace pelorin::testing {

using ComponentsSlope = std::function<void(double x, std::span<const double> y, std::span<double> slope)>;

// The states after each of `steps` steps of h from (x0, y0), the start first.
std::vector<std::vector<double>> rungeKuttaPath(const ComponentsSlope& f, double x0,
                                                const std::vector<double>& y0, double h, int steps);

}  // namespace pelorin::testing
