// What a Runge-Kutta tableau does to y' = λy, worked out exactly from its
// entries: a step multiplies y by R(z), z = hλ, with
//   R(z) = P(z)/Q(z),  Q(z) = det(I - zA),  P(z) = det(I - zA + z·1bᵀ),
// and whether that keeps the left half-plane (A-stable), dies out at
// infinity besides (L-stable), and whether the method contracts the
// solutions of any dissipative equation (algebraically stable) or keeps
// every quadratic invariant (symplectic). Every zero test is exact; a
// nonzero number's sign is decided exactly as well, field by field
// (p + q√r > 0 by comparing p² with q²r). No Qt.
#pragma once

#include "methods/tableau.h"
#include "symbolic/order_conditions.h"

#include <ginac/ginac.h>

#include <string>
#include <vector>

namespace pelorin {

// One property: whether it holds, and a short sentence saying so, with the
// reason where it fails: "not A-stable: R has a pole at z = -2, in the left
// half-plane", "not L-stable: R(∞) = -1", "not algebraically stable: b2 =
// -1/6 is negative", "not symplectic: b1a12 + b2a21 ≠ b1b2".
struct StabilityFinding {
    bool holds = false;
    std::string sentence;
};

struct ExactStability {
    // R = P/Q in lowest terms, coefficients from z⁰ up, P(0) = Q(0) = 1, no
    // zero leading coefficient: a polynomial R has Q = {1}.
    std::vector<GiNaC::ex> numerator, denominator;
    // As a student reads it, coefficients exact: "R(z) = (1 + z/2)/(1 - z/2)",
    // "R(z) = 1 + z + z²/2 + z³/6 + z⁴/24", "R(z) = 1/(1 - z)",
    // "R(z) = (1 + (√2 - 1)z)/(1 - (2 - √2)z + (3 - 2√2)z²/2)".
    std::string function;
    // A-stable: no pole with Re z ≤ 0 and |R(iy)| ≤ 1 for every real y, so
    // |R(z)| ≤ 1 wherever Re z ≤ 0. L-stable: A-stable and R(∞) = 0.
    // Where |R(iy)| > 1 the sentence quotes a y: of the numbers with fewest
    // decimals (0, 1, 2, …) in the first stretch of y > 0 where it is, the
    // least ("as at y = 1.7"). A pole is named exactly where it is a
    // rational z or iy, else to three digits ("near z = -0.5 + 0.866i").
    // The sign of a nonzero number and the test for 0 are exact throughout.
    StabilityFinding aStable, lStable;
    bool poleOnTheLeft = false;  // some pole with Re z ≤ 0
    // Algebraically stable: every bᵢ ≥ 0 and M = BA + AᵀB - bbᵀ positive
    // semidefinite. Symplectic: M = 0, bᵢaᵢⱼ + bⱼaⱼᵢ = bᵢbⱼ for all i, j.
    StabilityFinding algebraicallyStable, symplectic;
};

// Entries may hold square roots of any rational numbers (as read by
// readExactEntry or made by exactTableau); up to maxStages stages.
ExactStability exactStability(const ExactTableau& tableau);

// The same for the steps' layers: each coefficient rounded once to the
// nearest double.
TypedStability roundedStability(const ExactStability& stability);

}  // namespace pelorin
