// A reference solution for problems without an exact one, of one equation
// or of a system y' = F(x, y) of up to six: computed far more accurately
// than the seven methods manage with the lab's steps, by an independent
// method (Dormand and Prince's embedded 5(4) pair with adaptive steps,
// Boost.Odeint's controlled runge_kutta_dopri5, or on request Fehlberg's
// embedded 7(8) pair, its runge_kutta_fehlberg78, at far tighter
// tolerances), never by one of the seven against itself. A stiff system, on
// which an explicit pair's steps stay tiny however smooth the solution, is
// solved by Rosenbrock's implicit method instead.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// Every step keeps its local error estimate within
// referenceTolerance·(1 + |y| + |h·f|), Odeint's norm for equal absolute and
// relative tolerances (as the library's stepper in numerics/adaptive.h).
// The solution is computed a second time with a tolerance 100 times looser:
// its error is larger, so the difference between the two is a cautious
// estimate of the reference's own error. Below that accuracy no error of a
// method can be measured against the reference.
inline constexpr double referenceTolerance = 1e-13;
inline constexpr double looserReferenceTolerance = 1e-11;
// The more accurate reference, asked for where the reference's own error,
// not the method's, stops the errors falling: an order-8 pair keeps steps
// few at a tolerance below a rounding unit of y, and the looser run is again
// 100 times looser.
inline constexpr double higherReferenceTolerance = 1e-16;
inline constexpr double looserHigherReferenceTolerance = 1e-14;

// How accurate a reference is asked to be.
enum class ReferenceAccuracy { standard, higher };

// The method a reference comes from.
enum class ReferenceMethod {
    dormandPrince,  // Boost.Odeint's controlled runge_kutta_dopri5, explicit
    fehlberg,       // Boost.Odeint's controlled runge_kutta_fehlberg78, explicit
    rosenbrock,     // Boost.Odeint's rosenbrock4 with its controller, implicit (stiff systems)
};

// The explicit method and the tolerances of the two runs of a reference
// asked to be so accurate.
struct ReferenceRuns {
    ReferenceMethod method;
    double tolerance, looserTolerance;
};
inline constexpr ReferenceRuns referenceRuns(ReferenceAccuracy accuracy) {
    return accuracy == ReferenceAccuracy::higher
               ? ReferenceRuns{ReferenceMethod::fehlberg, higherReferenceTolerance,
                               looserHigherReferenceTolerance}
               : ReferenceRuns{ReferenceMethod::dormandPrince, referenceTolerance,
                               looserReferenceTolerance};
}
// Beyond this the problem is not one the reference can follow (a slope of
// enormous size, or a solution escaping to infinity).
inline constexpr long maxReferenceEvaluations = 1'000'000;
// An abscissa where the two solutions differ by more than this share of
// max(1, |y|) has no value the methods' errors could be measured against:
// the reference ends before it.
inline constexpr double trustedRelativeAccuracy = 1e-6;
// A reference only drawn, never measured against, is kept where the two
// solutions differ by at most a thousandth of max(1, |y|), less than a
// pixel of a plot a thousand pixels high: near a stiff problem's sudden
// jumps they differ by far more than trustedRelativeAccuracy as soon as
// their jumps lie a hair apart in x, although either draws the orbit right.
inline constexpr double drawnRelativeAccuracy = 1e-3;
// What a reference is trusted for: the share of the solution's size its
// estimated error may reach, and what a larger one is too large to do.
struct ReferenceTrust {
    double relativeAccuracy;
    const char* tooLargeTo;
};
inline constexpr ReferenceTrust measuringTrust{trustedRelativeAccuracy,
                                               "measure the methods' errors against"};
inline constexpr ReferenceTrust drawingTrust{drawnRelativeAccuracy, "draw"};
// A stop with |y| this many times max(1, |y0|), and steps shrunk to nothing,
// is the solution growing without bound, not a problem the reference cannot
// follow.
inline constexpr double blowUpGrowth = 1e8;

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

// A reference of one equation (State = double) or of a system.
template <class State>
struct ReferenceSolutionOf {
    // The abscissae asked for, as far as the solution reached them, and the
    // values there; all finite.
    std::vector<double> x;
    std::vector<State> y;
    // The estimated largest error of y in y's own units: the largest, over
    // the abscissae and the components, of the difference from the looser
    // solution, and at least max(1, |y_i|) times the tighter tolerance or
    // rounding's share, whichever is more (see roundingAccuracy).
    double accuracy = 0;
    // The same relative to the solution's size: the largest difference
    // divided by max(1, |y_i|), and at least the tighter tolerance or
    // rounding's share.
    double relativeAccuracy = 0;
    ReferenceMethod method = ReferenceMethod::dormandPrince;
    long slopeEvaluations = 0;  // by all runs, a Jacobian's included
    // Where the solution ends: it stopped because |y| grows without bound as
    // x nears this abscissa (its steps shrinking to nothing with |y| huge, or
    // y overflowing). Empty for every other stop.
    std::optional<double> end;
    // The first abscissa left out because the reference could not be
    // trusted there (see trustedRelativeAccuracy); empty when none was.
    std::optional<double> untrustedFrom;
    std::string note;           // why it stopped before the last abscissa; empty when it did not
};
using ReferenceSolution = ReferenceSolutionOf<double>;

// Each method as the notes name it: "the library Boost.Odeint's
// Dormand-Prince method with step-size control".
std::string_view referenceMethodWords(ReferenceMethod method);

// What a page says when it measures against the reference: which method
// made it and how accurate it is relative to the solution's size, and,
// where a higher accuracy was `asked` of a stiff system, that Rosenbrock's
// method made it all the same.
std::string referenceUsedNote(double relativeAccuracy,
                              ReferenceMethod method = ReferenceMethod::dormandPrince,
                              ReferenceAccuracy asked = ReferenceAccuracy::standard);

// y' = f(x, y), y(x0) = y0, solved from x0 to each abscissa in turn, as
// accurately as asked. Each solution may use at most maxEvaluations slope
// evaluations. A stiff equation keeps to the explicit pair while they last
// and turns to Rosenbrock's method only where they run out, or where the
// pair's steps overflow on a mode that decays (h·λ far out on the negative
// side, as y' = -1E251·y gives); the reference is always trusted for
// measuring.
ReferenceSolution referenceSolution(Slope f, double x0, double y0,
                                    const std::vector<double>& abscissae,
                                    long maxEvaluations = maxReferenceEvaluations,
                                    ReferenceAccuracy accuracy = ReferenceAccuracy::standard);

// y' = F(x, y), y(x0) = y0, the same for a system, as accurately as asked
// unless it is stiff, up to the first abscissa where it cannot be trusted
// for what `trust` says. All runs together may use at most maxEvaluations
// evaluations of F.
ReferenceSolutionOf<StateVector> referenceSolution(
    SlopeOf<StateVector> F, double x0, const StateVector& y0, const std::vector<double>& abscissae,
    long maxEvaluations = maxReferenceEvaluations,
    ReferenceAccuracy accuracy = ReferenceAccuracy::standard,
    const ReferenceTrust& trust = measuringTrust);

}  // namespace pelorin
