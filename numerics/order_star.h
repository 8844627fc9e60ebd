// The order star of a one-step method: the z where |R(z)·e^(-z)| > 1, R(z)
// its stability function, the set that shows how far R follows e^z. Where
// R(z) = e^z + C·z^(p+1) + …, p + 1 fingers of the star meet at z = 0,
// alternating with p + 1 fingers of the rest; a bounded piece of the star
// holds a pole of R, a bounded piece of the rest a zero of R (Wanner, Hairer
// and Nørsett 1978). R is A-stable exactly when it has no pole with
// Re z ≤ 0 and its star keeps off the imaginary axis: a polynomial's star
// holds the axis far out, so no explicit method is A-stable.
#pragma once

#include "numerics/stability.h"
#include "numerics/stability_function.h"

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// Whether |R(z)·e^(-z)| > 1, compared as log|P(z)|² - log|Q(z)|² > 2·Re z,
// which overflows nowhere: e^(-z) alone does beyond Re z = -709. A pole
// lies in the star, a zero and the edge |R(z)·e^(-z)| = 1 outside it.
bool insideOrderStar(const StabilityFunction& r, std::complex<double> z);

// The part of the plane the order star plot is first fitted to; with the
// tenth more the plot shows each way, every catalogue method's bounded
// fingers lie within it (SDIRK 2's round its double pole reaches 4.1).
inline constexpr double orderStarReach = 4;
StabilityGrid orderStarFrame();

// The star sampled on a grid as the region is (1 inside, 0 outside), and
// its edge as polylines, each point on it to rounding.
StabilityGrid sampleOrderStar(const StabilityFunction& r, int columns, int rows,
                              const StabilityGrid& frame);
std::vector<Polyline> orderStarEdge(const StabilityFunction& r, const StabilityGrid& grid);

// The p with R(z) - e^z = C·z^(p+1) + … and C ≠ 0, from R's Taylor
// coefficients; a coefficient counts as 0 within a billionth of 1/k!, far
// above their rounding and far below any method's C. None where R and e^z
// agree beyond the highest order a rational R of its degrees can reach.
std::optional<int> orderOfAgreement(const StabilityFunction& r);

// What the notes say of the star, naming the method: how many fingers meet
// at 0; empty where orderOfAgreement finds no p.
std::string orderStarNote(std::string_view caption, const StabilityFunction& r);

// Why no order star is drawn for a method without one R(z), a multistep or
// a partitioned one, said after a sentence that names it.
std::string noOrderStarNote();

}  // namespace pelorin
