// A reference solution for a system y' = F(x, y) of up to six equations, as
// numerics/reference.h computes one for a single equation: far more
// accurately than the seven methods manage, by an independent method, with
// its own error estimated from a second run 100 times looser, and on
// request more accurately still by Fehlberg's 7(8) pair. A stiff system, on
// which an explicit pair's steps stay tiny however smooth the solution, is
// solved by Rosenbrock's implicit method instead, whatever was asked.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/reference.h"

#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// After this many slope evaluations an explicit run looks at its step
// h: where h times the largest modulus of the Jacobian's eigenvalues is at
// least stiffStepEigenvalue, the step is held short by stability, not by
// accuracy (accuracy alone keeps |hλ| near a few hundredths at
// referenceTolerance, less at the higher accuracy), so the system is stiff
// and Rosenbrock's method solves it instead with what is left of the limit.
// A system that is not stiff, as an oscillation over hundreds of periods,
// goes on with the explicit method.
inline constexpr long nonStiffEvaluations = 100'000;
inline constexpr double stiffStepEigenvalue = 1;

// Rosenbrock's method is of order 4 and solves a linear system each step:
// tolerances as tight as Dormand-Prince's would cost it millions of steps.
// The looser run is again 100 times looser, for the same estimate of the
// reference's own error. The controller keeps each component's error
// estimate within tolerance·(1 + max(|y_i| before, |y_i| after)).
inline constexpr double stiffReferenceTolerance = 1e-10;
inline constexpr double looserStiffReferenceTolerance = 1e-8;

struct SystemReferenceSolution {
    // The abscissae asked for, as far as the solution reached them, and the
    // values there; all finite.
    std::vector<double> x;
    std::vector<StateVector> y;
    // The estimated error relative to the solution's size: the largest, over
    // the abscissae and the components, of the difference from the looser
    // solution divided by max(1, |y_i|); at least the tighter tolerance and
    // rounding's share (roundingAccuracy in numerics/reference_steps.h).
    double accuracy = 0;
    long slopeEvaluations = 0;  // of F, by all runs, the Jacobian's included
    ReferenceMethod method = ReferenceMethod::dormandPrince;
    // Where the solution ends: its largest component grows without bound as
    // x nears this abscissa. Empty for every other stop.
    std::optional<double> end;
    // The first abscissa left out because the reference could not be
    // trusted there (see trustedRelativeAccuracy); empty when none was.
    std::optional<double> untrustedFrom;
    std::string note;  // why it stopped before the last abscissa; empty when it did not
};

// What a page says when it measures against a system's reference: which
// method made it and how accurate relative to the solution's size, and,
// where a higher accuracy was `asked` of a stiff system, that Rosenbrock's
// method made it all the same.
std::string systemReferenceUsedNote(ReferenceMethod method, double accuracy,
                                    ReferenceAccuracy asked = ReferenceAccuracy::standard);

// y' = F(x, y), y(x0) = y0, solved from x0 to each abscissa in turn, as
// accurately as asked unless the system is stiff, up to the first abscissa
// where it cannot be trusted for what `trust` says. All runs together may
// use at most maxEvaluations evaluations of F.
SystemReferenceSolution systemReferenceSolution(SystemSlope F, double x0, const StateVector& y0,
                                                const std::vector<double>& abscissae,
                                                long maxEvaluations = maxReferenceEvaluations,
                                                ReferenceAccuracy accuracy = ReferenceAccuracy::standard,
                                                const ReferenceTrust& trust = measuringTrust);

}  // namespace pelorin
