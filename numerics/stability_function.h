// The stability function R(z) of any tableau: applied to y' = λy a step
// multiplies y by R(z), z = hλ. An explicit method's R is a polynomial; an
// implicit one's is the rational function
//   R(z) = det(I - zA + z·1bᵀ) / det(I - zA),
// whose poles are where I - zA is singular. Whether R keeps the whole left
// half-plane (A-stable) and dies out at infinity (L-stable) is decided here
// from the tableau's exact entries.
#pragma once

#include "methods/tableau.h"

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// R(z) = P(z)/Q(z), coefficients from z⁰ up, Q(0) = 1. A polynomial is R over
// Q = 1, and converts to one.
struct StabilityFunction {
    std::vector<double> numerator{1};
    std::vector<double> denominator{1};

    StabilityFunction() = default;
    StabilityFunction(std::vector<double> polynomial) : numerator(std::move(polynomial)) {}
    StabilityFunction(std::vector<double> p, std::vector<double> q)
        : numerator(std::move(p)), denominator(std::move(q)) {}

    bool isPolynomial() const { return denominator.size() == 1; }
};

// Coefficients of an explicit tableau's R(z) = Σ γ_k z^k, γ_0 = 1 and
// γ_k = bᵀ A^(k-1) 1.
std::vector<double> stabilityPolynomial(const Tableau& tableau);

// R of any tableau: an explicit one's polynomial above, the digits the lab
// has always shown; an implicit one's P and Q from the exact entries (at most
// three stages), each coefficient rounded once, or for a typed tableau as
// worked out where it was typed.
StabilityFunction stabilityFunctionOf(const Tableau& tableau);

std::complex<double> stabilityFunction(const StabilityFunction& r, std::complex<double> z);

// |R(z)| as |P(z)|/|Q(z)|: infinite at a pole, and exactly 1 where P and Q
// are mirror images, as the trapezoid's are on the imaginary axis.
double stabilityModulus(const StabilityFunction& r, std::complex<double> z);

// What R does on the left half-plane, decided exactly: A-stable when no
// pole has Re z ≤ 0 and |R(iy)| ≤ 1 for every real y (then by the maximum
// principle |R| ≤ 1 wherever Re z ≤ 0); L-stable when A-stable and
// R(z) → 0 as z → ∞, P of lower degree than Q. A polynomial of degree 1 or
// more grows without bound and is neither. `atInfinity` is R's limit where
// it has one (P no higher in degree than Q).
struct StabilityVerdict {
    bool aStable = false;
    bool lStable = false;
    bool poleOnTheLeft = false;  // some pole with Re z ≤ 0
    std::optional<double> atInfinity;
};
StabilityVerdict stabilityVerdict(const Tableau& tableau);

// The verdict as the intervals table gives it: "A- and L-stable",
// "A-stable", or "neither".
std::string verdictText(const StabilityVerdict& verdict);

// The verdict in a sentence for the notes, naming the method.
std::string verdictNote(std::string_view caption, const StabilityVerdict& verdict);

}  // namespace pelorin
