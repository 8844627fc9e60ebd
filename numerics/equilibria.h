// Equilibria of an autonomous system y' = F(y), the points where F = 0:
// found by Newton's method from a start, and named by the eigenvalues of
// the Jacobian there, which say how paths behave near the point.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/jacobian.h"

#include <complex>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// What the eigenvalues of the Jacobian at an equilibrium make of it. A real
// part within the eigenvalues' tolerance of 0 counts as 0, as a λ within
// its tolerance does on the Stability page, and an imaginary part within it
// as a real eigenvalue. Eigenvalues within `spread` of each other may be one
// repeated eigenvalue split by the Jacobian's errors: each counts as their
// mean, real for a conjugate pair, so that a node does not read as a spiral
// nor a double 0 as a saddle. Two components have the phase plane's names:
//   saddle         real, of opposite signs
//   sink, source   real, both negative or both positive
//   spiral sink, spiral source, centre
//                  a complex pair with negative, positive or 0 real part
//   degenerate     a real eigenvalue is 0
// Any other number of components is judged by the signs of the real parts
// alone: stable (all negative), unstable (one positive), undecided (none
// positive, one 0).
enum class EquilibriumKind {
    saddle, sink, source, spiralSink, spiralSource, centre, degenerate,
    stable, unstable, undecided,
};

EquilibriumKind equilibriumKind(const std::vector<std::complex<double>>& eigenvalues,
                                double tolerance, double spread);

// The eigenvalues as equilibriumKind reads them: each the mean of those
// within `spread` of it, in the same order.
std::vector<std::complex<double>> mergedEigenvalues(
    const std::vector<std::complex<double>>& eigenvalues, double spread);

// The kind in words: "spiral sink", or for the kinds that need it a reason,
// "degenerate: an eigenvalue is 0, the linearisation does not decide".
std::string equilibriumKindText(EquilibriumKind kind);

// Newton's method y ← y − J⁻¹F(y), with F evaluated at x = 0 (an autonomous
// F does not look at x) and J from jacobian(). It stops with an equilibrium
// when F(y) is 0 in every component, or when a step moved every component
// by at most newtonStepTolerance·max(1, |y_1|, …, |y_n|): with J good to
// about 4E-11, the next step would be smaller by about that factor again.
// It stops without one, saying why in `note`, when J is singular within its
// accuracy (there is no step), when maxNewtonIterations steps do not settle,
// or when F, J or y are not finite; nothing that is not finite reaches a
// result, so a point where F = 0 but J is not finite is named in the note
// only.
//
// At a multiple root (y1² = 0) the Jacobian is singular and Newton's method
// converges only linearly, each step (m − 1)/m of the one before for a root
// of multiplicity m, until J is singular within its accuracy. When its last
// linearSteps steps each shrank by a ratio r between fastestLinearRatio and
// slowestLinearRatio (r the largest), the steps to come add up to about
// |s|·r/(1 − r), s the last step; `uncertainty` is 2|s|/(1 − r), to spare:
// near a singular J its own errors shorten the last steps. When that is within
// multipleRootReach·max(1, |y|), far below the table's last digit, the last
// point y is the equilibrium. J at y is then known only as
// well as it may still change on the way: its entries' tolerances grow by
// the last step's change in J times 1/(1 − r), so that the eigenvalue the
// root makes 0 reads as 0 and the kind as degenerate.
inline constexpr int maxNewtonIterations = 50;
inline constexpr double newtonStepTolerance = 1e-10;
inline constexpr int linearSteps = 4;
inline constexpr double fastestLinearRatio = 0.4, slowestLinearRatio = 0.95;
inline constexpr double multipleRootReach = 1e-4;

struct EquilibriumSearch {
    std::optional<StateVector> point;
    int steps = 0;  // Newton steps taken
    // How far the equilibrium may lie from `point`: 0 where Newton's method
    // settled, the steps still to come where it converged linearly.
    double uncertainty = 0;
    // At the point: the Jacobian, its eigenvalues in eigenvalues()' order,
    // their tolerance and repeatedEigenvalueSpread, and the kind they make.
    SquareMatrix jacobian;
    std::vector<std::complex<double>> eigenvalues;
    double tolerance = 0, spread = 0;
    EquilibriumKind kind = EquilibriumKind::undecided;
    std::string note;  // where Newton's method settled, or why it did not
};
EquilibriumSearch findEquilibrium(SlopeOf<StateVector> F, const StateVector& start);

// The equilibria Newton's method finds from each of the starts, each once,
// in the order first found: two points count as one when every component
// agrees within 1E-8·max(1, |y|) and their uncertainties, far beyond where
// Newton's method settles and far below any two equilibria a phase plot
// tells apart. Starts from which it finds none are left out.
std::vector<EquilibriumSearch> distinctEquilibria(SlopeOf<StateVector> F,
                                                  const std::vector<StateVector>& starts);

// A point as the notes write it: "(1.000, 0.500)", three decimals also
// near 0 ("(0.000, -1.000)"), an exponent from 1E6 on.
std::string pointText(const StateVector& y);

}  // namespace pelorin
