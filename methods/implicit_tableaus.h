// Five implicit Runge-Kutta methods the lab sets beside the explicit ones:
// every stage may need every other, so a step solves for its stages at once.
// Their tableaus are the published ones; the main window's catalogue keeps
// its seven explicit methods.
#pragma once

#include "methods/tableau.h"


namespace pelorin {

// y1 = y0 + h·f(x1, y1).
inline constexpr Tableau backwardEulerTableau{1, {frac(1)}, {{{frac(1)}}}, {frac(1)}, {}};

// The mean of the slopes at both ends, the end's taken at the new value.
inline constexpr Tableau trapezoidTableau{
    2, {frac(0), frac(1)}, {{{frac(0), frac(0)}, {frac(1, 2), frac(1, 2)}}}, {frac(1, 2), frac(1, 2)}, {}};

// The slope at the mean of the old and the new point.
inline constexpr Tableau implicitMidPointTableau{1, {frac(1, 2)}, {{{frac(1, 2)}}}, {frac(1)}, {}};

// Radau IIA with two stages: nodes 1/3 and the step's end.
inline constexpr Tableau radauIIA3Tableau{
    2,
    {frac(1, 3), frac(1)},
    {{{frac(5, 12), frac(-1, 12)}, {frac(3, 4), frac(1, 4)}}},
    {frac(3, 4), frac(1, 4)},
    {}};

// Gauss-Legendre with two stages at the Gauss points 1/2 ∓ √3/6, here
// (3 ∓ √3)/6; a12 = 1/4 - √3/6 = (3 - 2√3)/12, a21 = 1/4 + √3/6.
inline constexpr Tableau gaussLegendre4Tableau{
    2,
    {withRoot3(3, -1, 6), withRoot3(3, 1, 6)},
    {{{frac(1, 4), withRoot3(3, -2, 12)}, {withRoot3(3, 2, 12), frac(1, 4)}}},
    {frac(1, 2), frac(1, 2)},
    {}};

}  // namespace pelorin
