// What pressing CALCULATE does: read the four inputs, sample the exact
// solution, step the selected method, list the steps and plot both solutions.
#pragma once

#include "run/calculation_error.h"
#include "run/solutions.h"
#include "run/view.h"

namespace pelorin {

// The CALCULATE button: converts the inputs, then runs Analytical, Numerical
// and Graphic in turn. A stage that fails reports the error through the view
// and the later stages do not run; lines already listed stay.
void Command1_Click(WindowView& view, Canvas& canvas, Solutions& solutions);

// Samples the exact solution through (x0, y0) at eleven abscissae from x0
// towards x1 in tenths of the range.
void Analytical(SolutionTable& exact, double x0, double y0, double x1);

// Lists the selected method's heading, then steps it from (x0, y0) while the
// abscissa is below x1, storing and listing every step.
void Numerical(WindowView& view, SolutionTable& numerical, double x0, double y0, double x1,
               double h);

}  // namespace pelorin
