// The lab's convergence study on a problem the user brought: its errors at x1
// against the exact solution, or, where there is none, against a reference
// solution far more accurate than the seven methods, never one of them
// against itself. Orders the reference cannot measure are marked as such.
#pragma once

#include "numerics/convergence.h"
#include "numerics/solution_paths.h"
#include "problem/expression.h"

#include <optional>
#include <string>

namespace pelorin {

// The problem with the value at x1 that errors are measured against: the
// exact solution's when `exact` is given, else a reference's, with its
// accuracy as the smallest measurable error. Empty, with why, when no
// reference reaches x1.
struct ProblemAtEnd {
    std::optional<ConvergenceProblem> problem;
    bool reference = false;
    double relativeAccuracy = 0;  // the reference's, relative to the solution's size
    std::string why;  // empty when there is a problem
};
ProblemAtEnd problemAtEnd(Slope f, const KnownSolution& exact, double x0, double y0, double x1);

// `exact` may be null: then the reference is used, and the study's notes
// say so and how accurate it is. `stop` ends the study early, as
// studyConvergence's does.
ConvergenceStudy studyProblem(const SlopeExpression& slope, const SolutionExpression* exact,
                              double x0, double y0, double x1, int doublings,
                              std::stop_token stop = {});

}  // namespace pelorin
