// A system y' = F(x, y) in the form Boost.Odeint's rosenbrock4 solves
// accurately, with x as one more component. Private to numerics/ (it
// includes Odeint).
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/jacobian.h"
#include "numerics/odeint.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace pelorin::odeint_slopes {

// ∂F/∂x by a central difference quotient, δ = ∛ε·max(1, |x|) as the
// Jacobian's columns are taken.
inline StateVector slopeDerivativeInX(SlopeOf<StateVector> F, double x, const StateVector& y) {
    const double delta =
        std::cbrt(std::numeric_limits<double>::epsilon()) * std::max(1.0, std::fabs(x));
    const double above = x + delta, below = x - delta;
    return (F(above, y) - F(below, y)) / (above - below);
}

// The system as the Rosenbrock runs hold it: x as one more component, with
// x' = 1, so that F depends on the state alone and ∂F/∂x is a column of the
// Jacobian. Odeint's rosenbrock4 also takes ∂F/∂x on its own, but with it a
// solution depending on x comes out far less accurate than its control asks:
// on y' = -λ·(y - cos x) - sin x with tolerance 1E-10, 1E-6 off at x = 1 for
// λ = 10, and for λ = 1E4 its steps shrink to 3E-6; in this form it keeps to
// the tolerance with steps a hundred times longer.
struct AutonomousSystem {
    SlopeOf<StateVector> F;

    // (F(x, y), 1) at the state (y, x).
    void operator()(const OdeintVector& state, OdeintVector& slope, double) const {
        const std::size_t n = state.size() - 1;
        const StateVector F_ = F(state[n], toState(state, n));
        std::copy(F_.begin(), F_.end(), slope.begin());
        slope[n] = 1;
    }

    // The (n + 1)×(n + 1) Jacobian row by row: ∂F/∂y by difference quotients
    // (numerics/jacobian.h) and ∂F/∂x beside it; x' = 1 gives a row of
    // zeros, and nothing depends on the stepper's own abscissa.
    void operator()(const OdeintVector& state, OdeintVector& J, double,
                    OdeintVector& dfdt) const {
        const std::size_t n = state.size() - 1;
        const double x = state[n];
        const StateVector y = toState(state, n);
        const SquareMatrix inY = jacobian(F, x, y).value;
        const StateVector inX = slopeDerivativeInX(F, x, y);
        std::fill(J.begin(), J.end(), 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) J[i * (n + 1) + j] = inY(i, j);
            J[i * (n + 1) + n] = inX[i];
        }
        std::fill(dfdt.begin(), dfdt.end(), 0.0);
    }
};

}  // namespace pelorin::odeint_slopes
