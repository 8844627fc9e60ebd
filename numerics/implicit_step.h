// One step of an implicit Runge-Kutta method, its stage equations solved by
// Newton's method with every iteration kept, so that a page can show how the
// iterations close in on the stages, or say where and why they did not.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelorin {

// A method's tableau as plain numbers, at most three stages: the stage slopes
//   K_j = F(x0 + c_j·h, y0 + h·Σ_l a_jl·K_l),  j = 1..stages,
// and the step's value y1 = y0 + h·Σ_j b_j·K_j. Entries past `stages` are
// not read.
inline constexpr int maxImplicitStages = 3;
struct ImplicitScheme {
    int stages = 1;
    std::array<std::array<double, maxImplicitStages>, maxImplicitStages> a{};
    std::array<double, maxImplicitStages> b{}, c{};
};

// The iterations end when the update is small against the slopes,
// ||ΔK|| <= tolerance·max(1, ||K||), or the residual is exactly 0; they give
// up after maxIterations updates.
struct NewtonSettings {
    double tolerance = 1e-12;
    int maxIterations = 20;
};

// One iterate: its number (0 is the start), the stage slopes K_j and the
// stage states Y_j = y0 + h·Σ_l a_jl·K_l, the residual's size
// ||K_j - F(x0 + c_j·h, Y_j)|| and the size of the update that led here
// (0 at the start). Sizes are maximum norms over every stage and component.
template <class State>
struct NewtonIterate {
    int number = 0;
    std::vector<State> slopes, states;
    double residual = 0;
    double update = 0;
};

// What Newton's method spent on steps: the Jacobians J it took, one for each
// stage at each iteration, and the systems (I - h·A⊗J)·ΔK = -G it solved, one
// for each iteration. Its slope evaluations are the slope's own to count.
struct NewtonWork {
    long jacobianEvaluations = 0, linearSolves = 0;
};

// The step: its value, or none and a sentence saying where and why Newton's
// method stopped without converging; every iterate and the work either way.
template <class State>
struct ImplicitStep {
    std::optional<State> value;
    std::vector<NewtonIterate<State>> iterations;
    std::string failure;
    NewtonWork work;
};

// The start is every stage at y0, Y_j = y0, that is every K_j = 0: on a
// curved slope this keeps to the root near y0 where a start at the explicit
// Euler value can reach for another one. Each
// iteration solves (I - h·A⊗J)·ΔK = -G(K) for the residual G_j =
// K_j - F(x0 + c_j·h, Y_j), where the block of row j holds J = ∂F/∂y at
// (x0 + c_j·h, Y_j) by jacobian's central difference quotients, taken afresh
// at every iterate: a full Newton method, whose residuals shrink
// quadratically near the solution. One equation is the system of one
// component and gives its bits. A scheme of no or more than
// maxImplicitStages stages, or a state of no components, throws
// std::invalid_argument.
ImplicitStep<double> implicitStep(const ImplicitScheme& scheme, Slope f, double x0, double y0,
                                  double h, const NewtonSettings& settings = {});
ImplicitStep<StateVector> implicitStep(const ImplicitScheme& scheme, SystemSlope F, double x0,
                                       const StateVector& y0, double h,
                                       const NewtonSettings& settings = {});

// An implicit method's tableau as the numbers a step computes with.
ImplicitScheme schemeOf(const Tableau& tableau);

// A step that has no value: Newton's method did not converge. what() is the
// sentence saying where and why.
class NoConvergence : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One step of an implicit method of the catalogue, as runs take it: the value
// alone, or NoConvergence; the step's work is added to `work` where given.
double implicitMethodStep(const Tableau& tableau, double x0, double y0, double h, Slope f,
                          NewtonWork* work = nullptr);
StateVector implicitMethodStep(const Tableau& tableau, double x0, const StateVector& y0, double h,
                               SystemSlope F, NewtonWork* work = nullptr);

}  // namespace pelorin
