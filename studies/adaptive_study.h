// The lab's adaptive run and tolerance sweep on the problem the user chose:
// true errors against the exact solution or, where none is given, against
// the reference solution, never against one of the methods itself.
#pragma once

#include "numerics/adaptive.h"
#include "numerics/reference.h"
#include "numerics/stability.h"
#include "problem/problem.h"
#include "studies/known_solution.h"

#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// Samples of the solution drawn under the run's accepted points.
inline constexpr int solutionSamples = 200;

// What the page shows of an adaptive run: the run, with its true errors
// against the exact solution or the reference, and that solution under it.
// State is a number for one equation, the components for a system, whose
// errors are in the maximum norm and whose err is in the scaled norm.
template <class State>
struct AdaptiveStudyOf {
    AdaptiveRunOf<State> run;
    // The exact solution (or the reference) at solutionSamples + 1 abscissae
    // from x0 to x1, where every component is finite.
    std::vector<double> solutionX;
    std::vector<State> solutionY;
    bool reference = false;          // solution and true errors come from the reference
    // Where the reference found the solution to end: attempts past it follow
    // no solution and have no true errors.
    std::optional<SolutionEnd> end;
    // A system's norm first, then the reference; the run's notes follow in run.notes.
    std::vector<std::string> notes;
    // The method's stability limit at the run's accepted points, and its
    // note; a single equation's only, empty for a system.
    StabilityLimit limit;
    std::string limitNote;
};
using AdaptiveStudy = AdaptiveStudyOf<double>;

// Without an exact solution the reference solution is computed at every
// abscissa the run's attempts and the drawn curve need, with at most
// referenceEvaluations slope evaluations for each of its two solutions,
// and the run is measured against it.
// `stop` ends the study early, with what it has.
template <class State = double>
AdaptiveStudyOf<State> studyAdaptive(const Method& method, const Problem& problem, double h0,
                                     const ControllerSettings& settings,
                                     long referenceEvaluations = maxReferenceEvaluations,
                                     std::stop_token stop = {});

// workPrecision on the problem, the error at x1 measured against y(x1) or the
// reference there (whose note leads the sweep's notes); `stop` ends it early,
// as workPrecision's does. A system's errors are in the maximum norm. The
// multistep methods' fixed steps start as `multistep` says.
WorkPrecision sweepAdaptive(const Problem& problem, double h0, const ControllerSettings& settings,
                            int doublings, std::stop_token stop = {},
                            const MethodSettings& multistep = {});

}  // namespace pelorin
