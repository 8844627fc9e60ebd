// What the work-precision sweep sets beside the explicit methods on a stiff
// problem besides the implicit methods' fixed steps (the convergence study's
// runs): Boost.Odeint's rosenbrock4 with its controller, its cost counted as
// it is spent by wrapping the functions handed to it, never estimated.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// A run's cost. Every call of f is a slope evaluation, the calls a Jacobian's
// difference quotients make included, so that one number, the slope
// evaluations, compares every method; the Jacobians and the linear algebra
// are counted apart as well.
struct WorkCounts {
    long slopeEvaluations = 0;  // every call of f
    long jacobians = 0;         // ∂f/∂y by difference quotients: 4n + 1 calls of f each
    long factorizations = 0;    // matrices factored by LU: rosenbrock4's
    long solves = 0;            // linear systems solved with those factors
};

inline constexpr std::string_view rosenbrockCaption = "rosenbrock4 (Boost.Odeint)";

// Odeint's Rosenbrock method of order 4 with its controller from x0 to x1,
// the first step h0, each component's error estimate held to
// absoluteTolerance + relativeTolerance·max(|y_i| before, |y_i| after). It
// takes the Jacobian by the same difference quotients as the implicit
// steps, with x as one more component (two more calls of f for ∂f/∂x), and
// its counts come from the functions handed to it: Odeint factors each
// Jacobian once by LU and solves once after every call of the slope
// function (six an attempt). At most maxAttempts attempts.
struct RosenbrockRun {
    std::optional<StateVector> y;  // at x1; empty when the run stopped
    WorkCounts counts;
    long steps = 0;    // accepted
    std::string
        note;  // why the run stopped, e.g. "Stopped near x = 0.5: ..."; empty when it reached x1
};
RosenbrockRun libraryRosenbrock(SlopeOf<StateVector> F, double x0, const StateVector& y0, double x1,
                                double h0, double absoluteTolerance, double relativeTolerance,
                                long maxAttempts);

}  // namespace pelorin
