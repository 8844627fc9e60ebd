// The plot of a calculation: axes, the exact solution, and the numerical
// solution in red, in a coordinate system fitted to the exact solution.
#pragma once

#include "run/solutions.h"
#include "run/view.h"

namespace pelorin {

// Clears the canvas and draws both solutions, scaled from the abscissa
// range numerical.x(0)..xMax padded by a tenth of its width on every side.
// The ordinate range is that of the exact solution and the starting value,
// so numerical points far outside it are clipped.
void Graphic(Canvas& canvas, const Solutions& solutions, double xMax);

}  // namespace pelorin
