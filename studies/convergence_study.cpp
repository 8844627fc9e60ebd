#include "studies/convergence_study.h"

#include "numerics/reference.h"
#include "numerics/state_operations.h"
#include "numerics/step_errors.h"
#include "numerics/system_reference.h"

#include <cmath>

namespace pelorin {

namespace {

std::string noReferenceNote(const std::string& why) {
    return "No exact solution, and no reference solution could be computed to x1. " + why;
}

}  // namespace

ProblemAtEnd problemAtEnd(const Problem& typed, ReferenceAccuracy accuracy) {
    const double x0 = typed.x0, y0 = typed.y0[0], x1 = typed.x1;
    const Slope f = typed.slope();
    ConvergenceProblem problem{x0, y0, x1, f, 0, 0};
    if (const KnownSolution exact = typed.exact()) {
        problem.exactAtEnd = exact(x1);
        return {problem, false, 0, ""};
    }
    const ReferenceSolution reference =
        referenceSolution(f, x0, y0, {x1}, maxReferenceEvaluations, accuracy);
    if (reference.y.empty() || !std::isfinite(reference.y.back())) {
        if (reference.end) {
            return {std::nullopt, true, 0,
                    "No exact solution is given, and the solution ends before x1, so no error at "
                    "x1 can be measured. " + reference.note};
        }
        // Asked along the way, as the other pages ask, the reference says
        // where it stops being trusted, not only that x1 is past it.
        return {std::nullopt, true, 0,
                noReferenceNote(referenceSolution(f, x0, y0, curveAbscissae(x0, x1),
                                                  maxReferenceEvaluations, accuracy)
                                    .note)};
    }
    problem.exactAtEnd = reference.y.back();
    problem.measurableError = reference.accuracy;
    return {problem, true, reference.relativeAccuracy, "", reference.method};
}

SystemAtEnd systemAtEnd(const Problem& own, ReferenceAccuracy accuracy) {
    SystemConvergenceProblem problem{own.x0, own.y0, own.x1, own.systemSlope(), {}, 0};
    if (const KnownSystemSolution exact = own.systemExact()) {
        problem.exactAtEnd = exact(own.x1);
        return {problem, "", ""};
    }
    const SystemReferenceSolution reference =
        systemReferenceSolution(problem.f, own.x0, own.y0, {own.x1}, maxReferenceEvaluations, accuracy);
    if (reference.y.empty()) {
        const auto along = systemReferenceSolution(problem.f, own.x0, own.y0,
                                                   curveAbscissae(own.x0, own.x1),
                                                   maxReferenceEvaluations, accuracy);
        return {std::nullopt, "", noReferenceNote(along.note)};
    }
    problem.exactAtEnd = reference.y.back();
    problem.measurableError = reference.accuracy * std::max(1.0, stateNorm(problem.exactAtEnd));
    return {problem, systemReferenceUsedNote(reference.method, reference.accuracy, accuracy), ""};
}

namespace {

// A system's errors at x1 in the maximum norm, against its exact solution
// or a reference, with notes that say which.
ConvergenceStudy studySystem(const Problem& own, int doublings, std::stop_token stop,
                             const MultistepSettings& multistep, ReferenceAccuracy accuracy,
                             const StudiedMethods& studied) {
    SystemAtEnd atEnd = systemAtEnd(own, accuracy);
    if (!atEnd.problem) {
        ConvergenceStudy none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    std::vector<std::string> notes{maximumNormNote()};
    if (!atEnd.referenceNote.empty()) {
        notes.push_back(atEnd.referenceNote +
                        " Orders from errors below ten times that measure the reference, not the "
                        "method, and are marked.");
    }
    atEnd.problem->start = systemStartOf(own, multistep);
    atEnd.problem->own = multistep.ownMethod();
    ConvergenceStudy study = studyConvergence(*atEnd.problem, doublings, stop, studied);
    for (std::size_t k = 0; k < own.components() && !stop.stop_requested(); ++k) {
        ConvergenceStudy component = componentConvergence(study, k);
        // The component's own errors, and what is said of the reference.
        std::vector<std::string> first{"Errors of y" + std::to_string(k + 1) +
                                       " alone at x1, not the maximum norm of all components."};
        first.insert(first.end(), notes.begin() + 1, notes.end());
        component.notes.insert(component.notes.begin(), first.begin(), first.end());
        study.components.push_back(std::move(component));
    }
    study.notes.insert(study.notes.begin(), notes.begin(), notes.end());
    return study;
}

}  // namespace

ConvergenceStudy studyProblem(const Problem& problem, int doublings, std::stop_token stop,
                              const MultistepSettings& multistep, ReferenceAccuracy accuracy,
                              const StudiedMethods& studied) {
    // The convergence problem steps the copy's slope: it lives as long as the study.
    const Problem own = problem.clone();
    if (own.isSystem()) return studySystem(own, doublings, stop, multistep, accuracy, studied);
    ProblemAtEnd atEnd = problemAtEnd(own, accuracy);
    if (!atEnd.problem) {
        ConvergenceStudy none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    atEnd.problem->start = startOf(own, multistep);
    atEnd.problem->own = multistep.ownMethod();
    ConvergenceStudy study = studyConvergence(*atEnd.problem, doublings, stop, studied);
    if (atEnd.reference) {
        study.notes.insert(study.notes.begin(),
                           referenceUsedNote(atEnd.relativeAccuracy, atEnd.method) +
                               " Orders from errors below ten times that measure the reference, "
                               "not the method, and are marked.");
    }
    return study;
}

}  // namespace pelorin
