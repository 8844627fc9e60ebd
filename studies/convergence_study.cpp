#include "studies/convergence_study.h"

#include "numerics/reference.h"

#include <cmath>

namespace pelorin {

ProblemAtEnd problemAtEnd(const Problem& typed) {
    const double x0 = typed.x0, y0 = typed.y0[0], x1 = typed.x1;
    const Slope f = typed.slope();
    ConvergenceProblem problem{x0, y0, x1, f, 0, 0};
    if (const KnownSolution exact = typed.exact()) {
        problem.exactAtEnd = exact(x1);
        return {problem, false, 0, ""};
    }
    const ReferenceSolution reference = referenceSolution(f, x0, y0, {x1});
    if (reference.y.empty() || !std::isfinite(reference.y.back())) {
        const std::string why =
            reference.end ? "No exact solution is given, and the solution ends before x1, so no "
                            "error at x1 can be measured. "
                          : "No exact solution, and no reference solution could be computed to x1: ";
        return {std::nullopt, true, 0, why + reference.note};
    }
    problem.exactAtEnd = reference.y.back();
    problem.measurableError = reference.accuracy;
    return {problem, true, reference.relativeAccuracy, ""};
}

ConvergenceStudy studyProblem(const Problem& problem, int doublings, std::stop_token stop) {
    // The convergence problem steps the copy's slope: it lives as long as the study.
    const Problem own = problem.clone();
    const ProblemAtEnd atEnd = problemAtEnd(own);
    if (!atEnd.problem) {
        ConvergenceStudy none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    ConvergenceStudy study = studyConvergence(*atEnd.problem, doublings, stop);
    if (atEnd.reference) {
        study.notes.insert(study.notes.begin(),
                           referenceUsedNote(atEnd.relativeAccuracy) +
                               " Orders from errors below ten times that measure the reference, "
                               "not the method, and are marked.");
    }
    return study;
}

}  // namespace pelorin
