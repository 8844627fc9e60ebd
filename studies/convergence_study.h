// The lab's convergence study on a problem the user brought: its errors at x1
// against the exact solution, or, where there is none, against a reference
// solution far more accurate than the seven methods, never one of them
// against itself. Orders the reference cannot measure are marked as such.
#pragma once

#include "numerics/convergence.h"
#include "numerics/reference.h"
#include "numerics/solution_paths.h"
#include "problem/problem.h"
#include "studies/known_solution.h"

#include <optional>
#include <string>

namespace pelorin {

// The problem with the value at x1 that errors are measured against, its
// multistep methods started as `multistep` says: the exact solution's value
// when one is known, else a reference's, as accurate as asked, whose
// accuracy is the smallest measurable error (for a system scaled to the
// size of its value in the norm). `referenceNote` says which reference and
// how accurate; empty against an exact solution. No problem, with why, when
// no reference reaches x1.
template <class State>
struct ProblemAtEndOf {
    std::optional<ConvergenceProblemOf<State>> problem;
    std::string referenceNote;
    std::string why;  // empty when there is a problem
};
using ProblemAtEnd = ProblemAtEndOf<double>;
ProblemAtEnd problemAtEnd(const Problem& problem,
                          ReferenceAccuracy accuracy = ReferenceAccuracy::standard,
                          const MethodSettings& multistep = {});
ProblemAtEndOf<StateVector> systemAtEnd(const Problem& problem,
                        ReferenceAccuracy accuracy = ReferenceAccuracy::standard,
                        const MethodSettings& multistep = {});

// Without an exact solution the reference is used, as accurate as asked,
// and the study's notes say which reference and how accurate it is. A system's errors are its
// maximum norm's, and its study holds each component's read alone as well. `stop` ends the study
// early, as studyConvergence's does. The multistep methods start as `multistep` says. The methods
// `studied` alone are run.
ConvergenceStudy studyProblem(const Problem& problem, int doublings, std::stop_token stop = {},
                              const MethodSettings& multistep = {},
                              ReferenceAccuracy accuracy = ReferenceAccuracy::standard,
                              const StudiedMethods& studied = everyMethod());

}  // namespace pelorin
