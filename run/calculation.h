// What pressing CALCULATE does: read the four inputs, sample the exact
// solution, step the selected method, list the steps and plot both solutions.
#pragma once

#include "methods/methods.h"
#include "run/calculation_error.h"
#include "run/solutions.h"
#include "run/view.h"

#include <array>
#include <optional>
#include <string>

namespace pelorin {

// The stages of a calculation, in the order they run.
enum class Stage { reading, exact, numerical, plot };

// What the last press of CALCULATE did, kept for the windows that explain it:
// the texts as they stood in the boxes, the numbers they were read as, the
// method, the two tables and, if a stage failed, which one and why.
struct Calculation {
    std::array<std::string, inputs.size()> texts;        // by Input
    std::array<std::optional<double>, inputs.size()> values;  // empty where not read
    const Method* method = nullptr;  // the method whose heading was listed
    Solutions solutions;
    std::optional<Stage> failedStage;
    std::string failure;  // the message the user was shown

    std::string text(Input box) const { return texts[static_cast<std::size_t>(box)]; }
    std::optional<double> value(Input box) const { return values[static_cast<std::size_t>(box)]; }
};

// The CALCULATE button: converts the inputs, then runs Analytical, Numerical
// and Graphic in turn. A stage that fails reports the error through the view
// and the later stages do not run; lines already listed stay. `last` is
// rewritten from scratch.
void Command1_Click(WindowView& view, Canvas& canvas, Calculation& last);

// Samples the exact solution through (x0, y0) at eleven abscissae from x0
// towards x1 in tenths of the range.
void Analytical(SolutionTable& exact, double x0, double y0, double x1);

// Lists the selected method's heading, then steps it from (x0, y0) while the
// abscissa is below x1, storing and listing every step.
void Numerical(WindowView& view, SolutionTable& numerical, double x0, double y0, double x1,
               double h);

}  // namespace pelorin
