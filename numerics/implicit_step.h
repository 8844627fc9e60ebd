// One step of an implicit Runge-Kutta method, its stage equations solved by
// the simplified Newton method production codes use, with every iteration
// kept, so that a page can show how the iterations close in on the stages,
// or say where and why they did not.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelorin {

// A method's tableau as plain numbers, as many stages as a tableau may have:
// the stage slopes
//   K_j = F(x0 + c_j·h, y0 + h·Σ_l a_jl·K_l),  j = 1..stages,
// and the step's value y1 = y0 + h·Σ_j b_j·K_j. Entries past `stages` are
// not read.
inline constexpr int maxImplicitStages = maxStages;
struct ImplicitScheme {
    int stages = 1;
    std::array<std::array<double, maxImplicitStages>, maxImplicitStages> a{};
    std::array<double, maxImplicitStages> b{}, c{};
};

// Iterations that keep one Jacobian contract by the rate θ_k =
// ||ΔK_k||/||ΔK_(k-1)||, which puts iterate k about θ_k/(1 - θ_k)·||ΔK_k||
// from the stages' solution (Hairer and Wanner, Solving ODEs II, IV.8). The
// iterations end when that distance is at most safety·tolerance·max(1,
// ||K||), the first update, which has no rate yet, counting in full; when an
// update within tolerance·max(1, ||K||) no longer shrinks, which is
// rounding; or when the residual is exactly 0. They give up after
// maxIterations updates. The safety factor κ = 0.01, the stricter end of
// what Hairer and Wanner suggest, keeps the runs' values and errors to the
// digits the pages show where the full Newton method's iterations to
// rounding had them.
struct NewtonSettings {
    double tolerance = 1e-12;
    int maxIterations = 20;
    double safety = 0.01;
};

// One iterate: its number (0 is the start), the stage slopes K_j and the
// stage states Y_j = y0 + h·Σ_l a_jl·K_l, the residual's size
// ||K_j - F(x0 + c_j·h, Y_j)||, the size of the update that led here (0 at
// the start) and its rate θ, the update's size over the one before (none at
// the start and after the first update). Sizes are maximum norms over every
// stage and component.
template <class State>
struct NewtonIterate {
    int number = 0;
    std::vector<State> slopes, states;
    double residual = 0;
    double update = 0;
    std::optional<double> rate;
};

// What Newton's method spent on steps: the Jacobians J it took, one a step
// that needed an update, and where it started again one for each stage at
// each of those iterations, and the systems (I - h·A⊗J)·ΔK = -G it solved,
// one for each iteration. Its slope evaluations are the slope's own to count.
struct NewtonWork {
    long jacobianEvaluations = 0, linearSolves = 0;
};

// The step: its value, or none and a sentence saying where and why Newton's
// method stopped without converging; every iterate and the work either way.
// `restart` says why the iterations with the step's one Jacobian stopped
// where Newton's method started again with Jacobians at every iterate;
// empty where they converged.
template <class State>
struct ImplicitStep {
    std::optional<State> value;
    std::vector<NewtonIterate<State>> iterations;
    std::string failure;
    std::string restart;
    NewtonWork work;
};

// The start is every stage at y0, Y_j = y0, that is every K_j = 0: on a
// curved slope this keeps to the root near y0 where a start at the explicit
// Euler value can reach for another one. Each iteration solves
// (I - h·A⊗J)·ΔK = -G(K) for the residual G_j = K_j - F(x0 + c_j·h, Y_j).
// First as production codes do, by the simplified Newton method: one
// J = ∂F/∂y at (x0, y0), by jacobian's central difference quotients, in
// every block, and one LU factorisation (partial pivoting) for every
// iteration; they converge linearly, by the rate θ. Where these iterations
// stop contracting (θ >= 1), would not converge within maxIterations at
// their rate, or grow beyond a double's range, which a production code
// answers with a smaller step, the fixed step starts again from y0 by the
// full Newton method: each stage's own J at its stage point, taken and
// factored afresh at every iterate, whose residuals shrink quadratically
// near the solution. A start whose residual, Jacobian or matrix cannot be
// used ends the step.
// One equation is the system of one component and gives its bits. A scheme
// of no or more than maxImplicitStages stages, or a state of no components,
// throws std::invalid_argument.
ImplicitStep<double> implicitStep(const ImplicitScheme& scheme, Slope f, double x0, double y0,
                                  double h, const NewtonSettings& settings = {});
ImplicitStep<StateVector> implicitStep(const ImplicitScheme& scheme, SlopeOf<StateVector> F,
                                       double x0, const StateVector& y0, double h,
                                       const NewtonSettings& settings = {});

// The step's value alone, as runs take it: the same iterations as
// implicitStep, none of them kept, so that a step allocates nothing; where
// there is no value, NoConvergence with implicitStep's sentence. The work is
// added to `work` where given.
double implicitValue(const ImplicitScheme& scheme, Slope f, double x0, double y0, double h,
                     NewtonWork* work = nullptr);
StateVector implicitValue(const ImplicitScheme& scheme, SlopeOf<StateVector> F, double x0,
                          const StateVector& y0, double h, NewtonWork* work = nullptr);

// An implicit method's tableau as the numbers a step computes with.
ImplicitScheme schemeOf(const Tableau& tableau);

// A step that has no value: Newton's method did not converge. what() is the
// sentence saying where and why.
class NoConvergence : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One step of an implicit method of the catalogue, as runs take it:
// implicitValue of its tableau.
double implicitMethodStep(const Tableau& tableau, double x0, double y0, double h, Slope f,
                          NewtonWork* work = nullptr);
StateVector implicitMethodStep(const Tableau& tableau, double x0, const StateVector& y0, double h,
                               SlopeOf<StateVector> F, NewtonWork* work = nullptr);

}  // namespace pelorin
