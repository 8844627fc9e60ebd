// What the One step page walks on the problem the user chose: the lab's run
// of the chosen method, step by step, and where the solution through the
// start ends. The page builds each step's view from the run as the student
// walks it; the run, which a typed slope or a long range makes costly, the
// reference that finds the end and the reference over each step walked
// (which the page asks for itself) are studied off the window's thread.
#pragma once

#include "numerics/solution_paths.h"
#include "problem/problem.h"
#include "studies/known_solution.h"

#include <optional>
#include <stop_token>

namespace pelorin {

// State is a number for one equation, the components for a system.
template <class State>
struct OneStepStudyOf {
    PathOf<State> run;
    // Where the reference found the solution to end, for one equation
    // without an exact solution; empty otherwise (a system's steps are not
    // compared with an end).
    std::optional<SolutionEnd> end;
};
using OneStepStudy = OneStepStudyOf<double>;

// The run of `method` from (x0, y0) towards x1 with steps of h, at most
// maxPathSteps of them, its multistep methods started as `multistep` says.
// The problem is cloned first: the study may run on a thread of its own.
// `stop` asked for before the study begins leaves it empty, and before the
// end is looked for skips the end: the study is no longer wanted.
template <class State>
OneStepStudyOf<State> studyOneStep(const Method& method, const Problem& problem, double h,
                                   const MethodSettings& multistep, std::stop_token stop = {});

}  // namespace pelorin
