// Boost.Odeint's Rosenbrock stepper of order 4 (rosenbrock4 with its
// controller) on a system, behind plain types. Odeint holds its state and
// Jacobian in uBLAS containers, whose storage in this Boost calls
// std::allocator's construct, gone in C++20: rosenbrock.cpp alone is compiled
// as C++17, and this header keeps to what both standards read alike.
// Private to numerics/.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace pelorin {

class RosenbrockStepper {
public:
    // dydx = F(x, y).
    using Derivative =
        std::function<void(const std::vector<double>& y, std::vector<double>& dydx, double x)>;
    // J = ∂F/∂y row by row (J[i·n + j] = ∂F_i/∂y_j) and dfdx = ∂F/∂x.
    using Jacobi = std::function<void(const std::vector<double>& y, std::vector<double>& J,
                                      double x, std::vector<double>& dfdx)>;

    // Each component's error estimate kept within
    // absoluteTolerance + relativeTolerance·max(|y_i| before, |y_i| after).
    RosenbrockStepper(Derivative derivative, Jacobi jacobi, double absoluteTolerance,
                      double relativeTolerance);
    ~RosenbrockStepper();
    RosenbrockStepper(const RosenbrockStepper&) = delete;
    RosenbrockStepper& operator=(const RosenbrockStepper&) = delete;

    // One attempt from (x, y) with dt, as Odeint's try_step: when it is
    // accepted x and y move on; either way dt becomes the next step.
    // Whatever derivative or jacobi throw passes through.
    bool tryStep(std::vector<double>& y, double& x, double& dt);

private:
    struct Odeint;
    std::unique_ptr<Odeint> odeint_;
};

}  // namespace pelorin
