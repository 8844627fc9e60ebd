// Compiled as C++17 (see rosenbrock.h).
#include "numerics/rosenbrock.h"

#include <boost/numeric/odeint.hpp>

#include <algorithm>
#include <utility>

namespace pelorin {

namespace odeint = boost::numeric::odeint;
using Vector = boost::numeric::ublas::vector<double>;
using Matrix = boost::numeric::ublas::matrix<double>;

struct RosenbrockStepper::Odeint {
    Derivative derivative;
    Jacobi jacobi;
    odeint::rosenbrock4_controller<odeint::rosenbrock4<double>> controller;
    // The plain copies the callbacks see.
    std::vector<double> y, dydx, J, dfdx;
};

RosenbrockStepper::RosenbrockStepper(Derivative derivative, Jacobi jacobi,
                                     double absoluteTolerance, double relativeTolerance)
    : odeint_(new Odeint{std::move(derivative), std::move(jacobi),
                         {absoluteTolerance, relativeTolerance}, {}, {}, {}, {}}) {}

RosenbrockStepper::~RosenbrockStepper() = default;

bool RosenbrockStepper::tryStep(std::vector<double>& y, double& x, double& dt) {
    Odeint& o = *odeint_;
    const std::size_t n = y.size();
    const auto derivative = [&o, n](const Vector& state, Vector& dydx, double at) {
        o.y.assign(state.begin(), state.end());
        o.dydx.assign(n, 0.0);
        o.derivative(o.y, o.dydx, at);
        std::copy(o.dydx.begin(), o.dydx.end(), dydx.begin());
    };
    const auto jacobi = [&o, n](const Vector& state, Matrix& J, double at, Vector& dfdx) {
        o.y.assign(state.begin(), state.end());
        o.J.assign(n * n, 0.0);
        o.dfdx.assign(n, 0.0);
        o.jacobi(o.y, o.J, at, o.dfdx);
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) J(i, j) = o.J[i * n + j];
        }
        std::copy(o.dfdx.begin(), o.dfdx.end(), dfdx.begin());
    };
    Vector state(n);
    std::copy(y.begin(), y.end(), state.begin());
    const bool accepted =
        o.controller.try_step(std::make_pair(derivative, jacobi), state, x, dt) == odeint::success;
    std::copy(state.begin(), state.end(), y.begin());
    return accepted;
}

}  // namespace pelorin
