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

struct AdaptiveStudy {
    AdaptiveRun run;
    // The exact solution (or the reference) at solutionSamples + 1 abscissae
    // from x0 to x1, as far as it is finite.
    std::vector<double> solutionX, solutionY;
    bool reference = false;          // solution and true errors come from the reference
    // Where the reference found the solution to end: attempts past it follow
    // no solution and have no true errors.
    std::optional<SolutionEnd> end;
    std::vector<std::string> notes;  // about the reference; the run's notes follow in run.notes
    // The method's stability limit at the run's accepted points, and its note.
    StabilityLimit limit;
    std::string limitNote;
};

// Without an exact solution the reference solution is computed at every
// abscissa the run's attempts and the drawn curve need, with at most
// referenceEvaluations slope evaluations for each of its two solutions,
// and the run is measured against it.
// `stop` ends the study early, with what it has.
AdaptiveStudy studyAdaptive(const Method& method, const Problem& problem, double h0,
                            const ControllerSettings& settings,
                            long referenceEvaluations = maxReferenceEvaluations,
                            std::stop_token stop = {});

// What the page shows of an adaptive run on a system: the run, err in the
// scaled norm, with its true errors in the maximum norm against the exact
// solution or the system's reference, and that solution under it.
struct SystemAdaptiveStudy {
    SystemAdaptiveRun run;
    // The exact solution (or the reference) at solutionSamples + 1 abscissae
    // from x0 to x1, where every component is finite.
    std::vector<double> solutionX;
    std::vector<StateVector> solutionY;
    bool reference = false;          // solution and true errors come from the reference
    std::vector<std::string> notes;  // the norms and the reference; the run's notes follow in run.notes
};

// As studyAdaptive, on a system.
SystemAdaptiveStudy studySystemAdaptive(const Method& method, const Problem& problem, double h0,
                                        const ControllerSettings& settings,
                                        long referenceEvaluations = maxReferenceEvaluations,
                                        std::stop_token stop = {});

// workPrecision on the problem, the error at x1 measured against y(x1) or the
// reference there (whose note leads the sweep's notes); `stop` ends it early,
// as workPrecision's does. A system's errors are in the maximum norm. The
// multistep methods' fixed steps start as `multistep` says.
WorkPrecision sweepAdaptive(const Problem& problem, double h0, const ControllerSettings& settings,
                            int doublings, std::stop_token stop = {},
                            const MultistepSettings& multistep = {});

}  // namespace pelorin
