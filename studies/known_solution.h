// The solution through a problem's start that the lab's pages compare the
// methods with: the exact one when it is known, else the reference.
#pragma once

#include "numerics/solution_paths.h"
#include "problem/problem.h"

#include <optional>
#include <string>

namespace pelorin {

// At many abscissae at once: a reference is computed for all of them in one
// run, and is NaN where it stopped.
SolutionSamples knownSolution(const Problem& problem);

// Its name in a legend: "exact solution" or "reference".
std::string knownSolutionName(const Problem& problem);

// Where the solution through (x0, y0) ends before x1, as the reference finds
// it on a problem without an exact solution; empty otherwise.
std::optional<SolutionEnd> solutionEnd(const Problem& problem);

}  // namespace pelorin
