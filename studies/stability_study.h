// What the Stability page shows of a system: z = h·λ for the eigenvalues of
// h·J along the chosen method's run with h, and the run beside the exact
// solution, else the reference; and of a multistep method, the roots at z.
#pragma once

#include "methods/state_vector.h"
#include "numerics/linear_multistep.h"
#include "numerics/stability_path.h"
#include "problem/problem.h"
#include "studies/known_solution.h"

#include <complex>
#include <cstddef>
#include <stop_token>
#include <string>
#include <vector>

namespace pelorin {

// The problem is taken as a system, one equation as a system of one
// component; the page follows one equation's real λ with stabilityPath on
// the window's thread instead.
struct StabilityStudy {
    StabilityPathOf<StateVector> path;
    // Each component of the exact solution, else the reference, sampled
    // densely over the run's span, for curves smooth between its steps.
    std::vector<SampledCurve> known;
};

// The method is a catalogue row. `stop` ends the study early: a study for
// an h no longer shown is not wanted.
StabilityStudy studyStability(const Problem& problem, std::size_t method, double h,
                              std::stop_token stop = {});

// A multistep method on the Stability page: z = h·λ where its run starts
// (the lesson's λ = -1; a typed equation's ∂f/∂y at (x0, y0) by
// slopeDerivative; a system's eigenvalues of h·J there), the one whose roots
// the page draws (shownMode), and the notes: the formula's zero-stability
// and order, what the roots at that z do to an error, and its A(α).
struct MultistepStabilityStudy {
    std::vector<std::complex<double>> z;
    std::complex<double> shown;
    CharacteristicRoots roots;  // at `shown`
    // The run with h from x0, started as `multistep` says: over
    // stabilityRunSteps steps on the lesson, towards x1 (at most ten times
    // as many) on a typed equation or system. A single equation is a system
    // of one component.
    PathOf<StateVector> run;
    // Each component of the exact solution, else the reference, over the
    // run's span.
    std::vector<SampledCurve> known;
    std::vector<std::string> notes;
};
inline constexpr long stabilityRunSteps = 20;
// It clones the problem first, so that it may run on any thread.
MultistepStabilityStudy studyMultistepStability(const Problem& problem, const Method& method,
                                                double h, const MethodSettings& multistep = {});

}  // namespace pelorin
