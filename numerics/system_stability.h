// Linear stability along a run of a system y' = F(x, y): near the run an
// error e follows e' ≈ J·e, J = ∂F/∂y, so in each mode of J, an eigenvalue
// λ, a step multiplies it by about R(h·λ), as it does for one equation. At
// every step point of the chosen method's run: the eigenvalues z of h·J,
// where each lies against the method's region, and the notes in words.
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

// Where one z = h·λ lies, judged within `zTolerance` of z as stepKind
// judges a real one: within it of 0 the mode is carried along (R(0) = 1,
// neutral); with Re z beyond it the solution itself grows in that mode
// (growing); everywhere else, on the imaginary axis too, the region decides:
// inside, outside, or on its edge when the edge passes within the tolerance
// of z.
StepKind modeKind(const StabilityFunction& r, std::complex<double> z, double zTolerance);

// A mode at one step point: the step point's index in the run and the
// eigenvalue's in eigenvalues' order.
struct ModePlace {
    std::size_t step = 0, mode = 0;
};

// The method with h from x0 towards x1, at most maxStabilityPathSteps
// steps, and at each of its step points the eigenvalues of h·J by
// stepEigenvalues, with their tolerance and kinds. The eigenvalues stop at
// the first step point whose Jacobian is not finite, with a note.
struct SystemStabilityPath {
    SystemPath run;
    std::vector<std::vector<std::complex<double>>> z;
    std::vector<double> zTolerance;
    std::vector<std::vector<StepKind>> kind;
    // The first z outside the region where the solution does not grow in
    // its mode (Re z within its tolerance of 0 or below).
    std::optional<ModePlace> firstOutside;
    std::vector<std::string> notes;
};
SystemStabilityPath systemStabilityPath(const Method& method, SystemSlope F, double x0,
                                        const StateVector& y0, double x1, double h,
                                        std::stop_token stop = {});

}  // namespace pelorin
