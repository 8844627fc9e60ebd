// A reference solution for problems without an exact one: computed far more
// accurately than the seven methods manage with the lab's steps, by an
// independent method (Dormand and Prince's embedded 5(4) pair with adaptive
// steps, Boost.Odeint's controlled runge_kutta_dopri5), never by one of the
// seven against itself.
#pragma once

#include "methods/methods.h"

#include <string>
#include <vector>

namespace pelorin {

// Every step keeps its local error estimate within referenceTolerance·(1 + |y|).
// The solution is computed a second time with a tolerance 100 times looser:
// its error is larger, so the difference between the two is a cautious
// estimate of the reference's own error. Below that accuracy no error of a
// method can be measured against the reference.
inline constexpr double referenceTolerance = 1e-13;
inline constexpr double looserReferenceTolerance = 1e-11;
// Beyond this the problem is not one the reference can follow (a slope of
// enormous size, or a solution escaping to infinity).
inline constexpr long maxReferenceEvaluations = 1'000'000;

struct ReferenceSolution {
    // The abscissae asked for, as far as the solution reached them, and the
    // values there; all finite.
    std::vector<double> x, y;
    // The estimated largest error of y: the largest difference from the
    // looser solution, and at least referenceTolerance·max(1, |y|).
    double accuracy = 0;
    long slopeEvaluations = 0;  // by both solutions
    std::string note;           // why it stopped before the last abscissa; empty when it did not
};

// y' = f(x, y), y(x0) = y0, solved from x0 to each abscissa in turn.
// Each solution may use at most maxEvaluations slope evaluations.
// What a page says when it measures against the reference: which solution
// it is and how accurate.
std::string referenceUsedNote(double accuracy);

ReferenceSolution referenceSolution(Slope f, double x0, double y0,
                                    const std::vector<double>& abscissae,
                                    long maxEvaluations = maxReferenceEvaluations);

}  // namespace pelorin
