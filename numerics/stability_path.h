// Linear stability along a run: near the run an error e follows e' ≈ J·e,
// J = ∂f/∂y, so in each mode of J, an eigenvalue λ, a step multiplies it by
// about R(h·λ). At every step point of the chosen method's run: z = h·λ for
// each mode (one equation has one, its real λ = ∂f/∂y; a system the complex
// eigenvalues of its Jacobian), where each lies against the method's
// region, and the notes in words.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/solution_paths.h"
#include "numerics/stability.h"

#include <complex>
#include <cstddef>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace pelorin {

// On any equation y' = f(x, y) an error is multiplied by about R(h·λ) per
// step, with λ = ∂f/∂y where the solution is. What that does depends on the
// sign of λ, judged within the quotient's tolerance |h|·tolerance of z:
// where λ < 0 the solution settles and z inside the region damps an error,
// on its edge keeps it, outside it multiplies it; where λ = 0 every step
// carries an error along unchanged; where λ > 0 the solution grows by about
// e^z per step and an error by |R(z)|, so that their ratio tells how the
// error grows relative to the solution.
enum class StepKind { inside, onEdge, outside, neutral, growing };

StepKind stepKind(const StabilityFunction& r, double z, double zTolerance);

// Where one complex z = h·λ of a system lies, judged within `zTolerance` of
// z as stepKind judges a real one: within it of 0 the mode is carried along
// (R(0) = 1, neutral); with Re z beyond it the solution itself grows in that
// mode (growing); everywhere else, on the imaginary axis too, the region
// decides: inside, outside, or on its edge when the edge passes within the
// tolerance of z.
StepKind modeKind(const StabilityFunction& r, std::complex<double> z, double zTolerance);

// A mode at one step point: the step point's index in the run and the
// mode's in the order of its z (one equation's only mode is 0).
struct ModePlace {
    std::size_t step = 0, mode = 0;
};

// The method with h from x0 towards x1, at most maxStabilityPathSteps
// steps, and at each of its step points z for every mode, with their
// tolerance and kinds. State is a number for one equation, the components
// for a system.
inline constexpr int maxStabilityPathSteps = 400;
template <class State>
struct StabilityPathOf {
    // One equation's: the points where λ was found; a system's: the whole
    // run, past a point whose Jacobian is not finite too.
    PathOf<State> run;
    std::vector<std::vector<std::complex<double>>> z;
    std::vector<double> zTolerance;
    std::vector<std::vector<StepKind>> kind;
    // The first z outside the region where the solution does not grow in
    // its mode (λ < 0 for one equation, Re z within its tolerance of 0 or
    // below for a system).
    std::optional<ModePlace> firstOutside;
    std::vector<std::string> notes;
};
using StabilityPath = StabilityPathOf<double>;

// One equation's: λ at every step point by slopeDerivative. The path stops,
// with a note, at a value too large to calculate with or a step without one.
StabilityPath stabilityPath(const Method& method, Slope f, double x0, double y0, double x1,
                            double h);
// A system's: the eigenvalues of h·J by stepEigenvalues, which stop, with a
// note, at the first step point whose Jacobian is not finite. `stop` ends
// the path early.
StabilityPathOf<StateVector> stabilityPath(const Method& method, SlopeOf<StateVector> F, double x0,
                                           const StateVector& y0, double x1, double h,
                                           std::stop_token stop = {});

}  // namespace pelorin
