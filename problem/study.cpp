#include "problem/study.h"

#include "problem/reference.h"

#include <cmath>

namespace pelorin {

ConvergenceStudy studyProblem(const SlopeExpression& slope, const SolutionExpression* exact,
                              double x0, double y0, double x1, int doublings,
                              std::stop_token stop) {
    ConvergenceProblem problem{x0, y0, x1, slope, 0, 0};
    std::vector<std::string> notes;
    if (exact) {
        problem.exactAtEnd = (*exact)(x1);
    } else {
        const ReferenceSolution reference = referenceSolution(slope, x0, y0, {x1});
        if (reference.y.empty() || !std::isfinite(reference.y.back())) {
            ConvergenceStudy none;
            none.notes.push_back("No exact solution, and no reference solution could be "
                                 "computed to x1: " + reference.note);
            return none;
        }
        problem.exactAtEnd = reference.y.back();
        problem.measurableError = reference.accuracy;
        notes.push_back(referenceUsedNote(reference.accuracy) +
                        " Orders from errors below ten times that measure the reference, not "
                        "the method, and are marked.");
    }
    ConvergenceStudy study = studyConvergence(problem, doublings, stop);
    study.notes.insert(study.notes.begin(), notes.begin(), notes.end());
    return study;
}

}  // namespace pelorin
