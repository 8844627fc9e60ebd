// What a linear multistep method is, worked out from its coefficients: its
// order of consistency and error constant in exact arithmetic, whether it is
// zero-stable (the root condition on ρ), the roots of ρ(ζ) − z·σ(ζ) for a
// z = h·λ, its region of absolute stability by the boundary locus and the
// root test, and the A(α) angle; and a method a teacher types as its
// coefficients α_k … α_0 and β_k … β_0, read strictly.
#pragma once

#include "methods/methods.h"
#include "methods/multistep.h"

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelorin {

// The method typed in the "alpha" and "beta" boxes: α_k … α_0 and β_k … β_0,
// highest index first, separated by commas, each a whole number, a fraction
// p/q or a decimal ("1, 4, -5" and "0, 4, 2"). The formula, or why the
// texts make no method, in words: a text that is not a number, lengths that
// differ, fewer than two or more than maxMultistepSteps + 1 coefficients,
// α_k = 0, numbers too large to hold exactly.
std::variant<MultistepFormula, std::string> readMultistep(std::string_view alpha,
                                                          std::string_view beta);

// The coefficients as the boxes write them back, highest index first, in
// lowest terms: "1, -4/3, 1/3" and "2/3, 0, 0".
std::string alphaText(const MultistepFormula& formula);
std::string betaText(const MultistepFormula& formula);

// The order of consistency p: C_0 = … = C_p = 0 for
//   C_q = Σ_j j^q·a_j/q! − Σ_j j^(q−1)·b_j/(q−1)!,
// and the error constant C_{p+1}/σ(1), exact. Order 0 marks a method that
// is not consistent (C_0 or C_1 differs from 0, or σ(1) = 0, which leaves
// no constant either); then there is no constant. A constant too large for
// whole numbers throws std::overflow_error (readMultistep refuses such a
// method, so a typed one never does).
struct Consistency {
    int order = 0;
    long long constantNumerator = 0, constantDenominator = 1;  // in lowest terms
};
Consistency consistencyOf(const MultistepFormula& formula);

// "order 4, error constant -19/720" or "not consistent: ρ(1) = 2, not 0";
// "not consistent: ρ'(1) = 1 but σ(1) = 2".
std::string consistencyText(const MultistepFormula& formula);

// The root condition: every root of ρ(ζ) = Σ a_j ζ^j lies in the closed unit
// disc, and those on the circle are simple (decided exactly: repeated roots
// are the roots of gcd(ρ, ρ'), found in rational arithmetic).
struct ZeroStability {
    bool zeroStable = false;
    std::vector<std::complex<double>> roots;  // of ρ, by decreasing modulus
    // "zero-stable: the roots of ρ are 1 and 0.2" / "not zero-stable: ρ has the root -5, outside
    // the unit circle" / "not zero-stable: the root 1 of ρ is double".
    std::string verdict;
};
ZeroStability zeroStabilityOf(const MultistepFormula& formula);

// The own multistep method of this formula: one for
// each formula, kept for as long as the program runs (a study that ran it
// may still point at it when the boxes hold another). Safe from any thread.
const OwnMultistep& ownMultistepOf(const MultistepFormula& formula);

// What the lab says of a method typed in its boxes: its consistency, its
// zero-stability, and what the two mean for its runs (a method converges as
// h shrinks if and only if it is consistent and zero-stable):
// "order 3, error constant 1/36; not zero-stable: ρ has the root -5, outside
// the unit circle. Its runs do not converge: their errors grow as h shrinks."
std::string multistepVerdict(const MultistepFormula& formula);

// The roots of the characteristic polynomial of a step on y' = λy with
// z = h·λ: ρ(ζ) − z·σ(ζ) for a formula, and for a predictor-corrector pair
// (PECE) (ρ_C − z·σ_C)(ζ) + z·b_k^C/a_k^P·(ρ_P − z·σ_P)(ζ), both written
// over the same k: the corrector's slope at the new point is taken at the
// predicted value y^P = ζ^k − (ρ_P − z·σ_P)(ζ)/a_k^P. The principal root is the one that tracks e^z (nearest
// it); the others are parasitic. Empty when the roots cannot be found (a
// coefficient not finite, the leading coefficient 0 for this z).
struct CharacteristicRoots {
    std::vector<std::complex<double>> roots;
    std::size_t principal = 0;
};
CharacteristicRoots characteristicRoots(const Multistep& method, std::complex<double> z);

// The roots as the root condition counts them. A root finder splits a
// repeated root into a cluster of nearby roots (a double one by about the
// square root of the rounding, so that it may even seem to lie on both
// sides of the unit circle), whose mean it finds to a few roundings: roots
// within a thousandth of each other whose mean lies on the unit circle count
// as that one root on the circle, as often as they are. Every other root
// counts once, in the order given.
struct CountedRoot {
    std::complex<double> root;
    int multiplicity = 1;
};
std::vector<CountedRoot> countedRoots(const std::vector<std::complex<double>>& roots);

// Where a computed root lies against the unit circle, to a few roundings.
bool onUnitCircle(std::complex<double> root);
bool outsideUnitCircle(std::complex<double> root);

// The root condition on counted roots: none lies outside the unit circle,
// and those on it are simple (an error in the mode of a root ζ of
// multiplicity m on the circle grows like n^(m-1) over n steps).
bool rootCondition(const std::vector<CountedRoot>& roots);

// "double", "triple", ..., "7-fold".
std::string multiplicityWord(int multiplicity);

// Whether the method is zero-stable, the root condition at z = 0: its
// formula's (a pair's corrector's) ρ, decided as zeroStabilityOf does.
bool zeroStable(const Multistep& method);

// Whether the step is absolutely stable at z: the root condition on the
// characteristic polynomial, every root with modulus <= 1 and those on the
// unit circle simple, counted by countedRoots; at z = 0 exactly, where the
// polynomial is ρ, zeroStable's answer. None where there are no roots.
bool absolutelyStable(const Multistep& method, std::complex<double> z);

// The boundary locus: the z with a root e^{iθ} for θ in [0, 2π], `samples`
// values of θ; a formula gives z(θ) = ρ(e^{iθ})/σ(e^{iθ}) (broken, as a NaN
// point, where σ vanishes), a predictor-corrector pair the two z solving its
// quadratic, as two branches. Each branch is one curve to draw.
std::vector<std::vector<std::complex<double>>> boundaryLocus(const Multistep& method,
                                                             int samples = 721);

// The largest α in degrees such that the sector |arg(−z)| < α lies in the
// region (A(α)-stability; 90 is A-stability), to 0.01°; none when the
// region holds no such sector (not even the negative real axis), and none
// for a method that is not zero-stable: the root condition fails at z = 0,
// where every sector begins, and its runs do not converge whatever h.
std::optional<double> aAlphaAngle(const Multistep& method);

}  // namespace pelorin
