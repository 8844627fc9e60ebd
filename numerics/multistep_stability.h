// The Stability page's view of a linear multistep method: applied to
// y' = λy a step does not multiply y by one factor, it mixes the last k
// values, and an error grows in the mode of every root ζ of the
// characteristic polynomial with |ζ| > 1, and of every repeated root on the
// unit circle (like n over n steps for a double one). Here the region by
// the root test on a grid, its interval on the negative real axis, and the
// notes in words.
#pragma once

#include "methods/methods.h"
#include "numerics/linear_multistep.h"
#include "numerics/stability.h"

#include <complex>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The region sampled on a grid as sampleStabilityRegion samples R's: 1 where
// absolutelyStable passes.
StabilityGrid sampleMultistepRegion(const Multistep& method, int columns, int rows,
                                    const StabilityGrid& frame = {});

// The largest r with every z in [-r, 0] in the region: infinity where the
// whole negative real axis is, 0 where z = 0 is not (a method that is not
// zero-stable).
double multistepInterval(const Multistep& method);

// The interval as the table gives it: intervalText's, or "none: not
// zero-stable" for every method that is not (whose root test fails at
// z = 0), whatever its coefficients. A zero-stable method whose region
// meets the axis at 0 alone has "0.000".
std::string multistepIntervalText(const Multistep& method);

// What the region holds of the left half-plane, for the table: "A-stable",
// "A(α), α = 86.03°", or "not A(α)-stable" where it holds no sector about
// the negative real axis, or the method is not zero-stable.
std::string multistepHalfPlaneText(const Multistep& method);

// The same in a sentence for the notes, naming the method: "BDF 3 is
// A(α)-stable with α = 86.03°: ..."; for a method that is not zero-stable,
// that the root condition fails already at z = 0.
std::string aAlphaNote(std::string_view caption, const Multistep& method);

// The formula's zero-stability and order in sentences, naming the method;
// for a predictor-corrector pair, its corrector's.
std::vector<std::string> formulaNotes(std::string_view caption, const Multistep& method);

// What the roots of the characteristic polynomial at z do to an error: how
// many lie outside the unit circle, or which lie on it repeated, and what
// the run then does, judged against the solution's own growth where
// Re z > 0. `where` says which z
// it is ("z = h·λ = -0.400").
std::string rootsNote(const Multistep& method, std::complex<double> z, std::string_view where);

// A root or a z as the notes write it: "-5.020", "0.300 \u2212 0.400i".
std::string complexText(std::complex<double> value);

// Of the z of a system's modes, the one the roots picture shows: the first
// outside the region, else the largest.
std::complex<double> shownMode(const Multistep& method, const std::vector<std::complex<double>>& z);

}  // namespace pelorin
