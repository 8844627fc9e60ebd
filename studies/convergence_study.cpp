#include "studies/convergence_study.h"

#include "numerics/reference.h"
#include "numerics/state_operations.h"
#include "numerics/step_errors.h"

#include <cmath>

namespace pelorin {

namespace {

std::string noReferenceNote(const std::string& why) {
    return "No exact solution, and no reference solution could be computed to x1. " + why;
}

}  // namespace

ProblemAtEnd problemAtEnd(const Problem& typed, ReferenceAccuracy accuracy,
                          const MethodSettings& multistep) {
    const double x0 = typed.x0, y0 = typed.y0[0], x1 = typed.x1;
    const Slope f = typed.slopeOf<double>();
    ConvergenceProblem problem{x0, y0, x1, f, 0, 0, {}, multistep.typed()};
    if (const KnownSolution exact = typed.exactOf<double>()) {
        problem.exactAtEnd = exact(x1);
        problem.start = startOf(typed, multistep);
        return {problem, "", ""};
    }
    const ReferenceSolution reference =
        referenceSolution(f, x0, y0, {x1}, maxReferenceEvaluations, accuracy);
    if (reference.y.empty() || !std::isfinite(reference.y.back())) {
        if (reference.end) {
            return {std::nullopt, "",
                    "No exact solution is given, and the solution ends before x1, so no error at "
                    "x1 can be measured. " + reference.note};
        }
        // Asked along the way, as the other pages ask, the reference says
        // where it stops being trusted, not only that x1 is past it.
        return {std::nullopt, "",
                noReferenceNote(referenceSolution(f, x0, y0, curveAbscissae(x0, x1),
                                                  maxReferenceEvaluations, accuracy)
                                    .note)};
    }
    problem.exactAtEnd = reference.y.back();
    problem.measurableError = reference.accuracy;
    problem.start = startOf(typed, multistep);
    return {problem, referenceUsedNote(reference.relativeAccuracy, reference.method), ""};
}

ProblemAtEndOf<StateVector> systemAtEnd(const Problem& own, ReferenceAccuracy accuracy,
                        const MethodSettings& multistep) {
    ConvergenceProblemOf<StateVector> problem{own.x0, own.y0, own.x1, own.slopeOf<StateVector>(),
                                              {}, 0, {}, multistep.typed()};
    if (const KnownStateOf<StateVector> exact = own.exactOf<StateVector>()) {
        problem.exactAtEnd = exact(own.x1);
        problem.start = systemStartOf(own, multistep);
        return {problem, "", ""};
    }
    const ReferenceSolutionOf<StateVector> reference =
        referenceSolution(problem.f, own.x0, own.y0, {own.x1}, maxReferenceEvaluations, accuracy);
    if (reference.y.empty()) {
        const auto along = referenceSolution(problem.f, own.x0, own.y0,
                                                   curveAbscissae(own.x0, own.x1),
                                                   maxReferenceEvaluations, accuracy);
        return {std::nullopt, "", noReferenceNote(along.note)};
    }
    problem.exactAtEnd = reference.y.back();
    problem.measurableError =
        reference.relativeAccuracy * std::max(1.0, stateNorm(problem.exactAtEnd));
    problem.start = systemStartOf(own, multistep);
    return {problem, referenceUsedNote(reference.relativeAccuracy, reference.method, accuracy), ""};
}

namespace {

// A system's study reads each component's errors alone as well, each saying
// so before the reference's notes; one equation's has no components.
void readComponents(ConvergenceStudy&, const ConvergenceProblem&, const std::vector<std::string>&,
                    const std::stop_token&) {}
void readComponents(ConvergenceStudy& study, const ConvergenceProblemOf<StateVector>& problem,
                    const std::vector<std::string>& referenceNotes, const std::stop_token& stop) {
    for (std::size_t k = 0; k < problem.y0.size() && !stop.stop_requested(); ++k) {
        ConvergenceStudy component = componentConvergence(study, k);
        component.notes.insert(component.notes.begin(), referenceNotes.begin(),
                               referenceNotes.end());
        component.notes.insert(component.notes.begin(),
                               "Errors of y" + std::to_string(k + 1) +
                                   " alone at x1, not the maximum norm of all components.");
        study.components.push_back(std::move(component));
    }
}

// What the study's errors are, said first: a system's are the maximum
// norm's, one equation's its own.
std::vector<std::string> normNotes(const ConvergenceProblem&) { return {}; }
std::vector<std::string> normNotes(const ConvergenceProblemOf<StateVector>&) {
    return {maximumNormNote()};
}

// The errors at x1 against the exact solution or a reference, with notes
// that say which.
template <class State>
ConvergenceStudy studyAtEnd(const ProblemAtEndOf<State>& atEnd, int doublings,
                            std::stop_token stop, const StudiedMethods& studied) {
    if (!atEnd.problem) {
        ConvergenceStudy none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    std::vector<std::string> referenceNotes;
    if (!atEnd.referenceNote.empty()) {
        referenceNotes.push_back(atEnd.referenceNote +
                                 " An order from an error below ten times that accuracy does "
                                 "not measure the method, and is marked.");
    }
    ConvergenceStudy study = studyConvergence(*atEnd.problem, doublings, stop, studied);
    readComponents(study, *atEnd.problem, referenceNotes, stop);
    std::vector<std::string> first = normNotes(*atEnd.problem);
    first.insert(first.end(), referenceNotes.begin(), referenceNotes.end());
    study.notes.insert(study.notes.begin(), first.begin(), first.end());
    return study;
}

}  // namespace

ConvergenceStudy studyProblem(const Problem& problem, int doublings, std::stop_token stop,
                              const MethodSettings& multistep, ReferenceAccuracy accuracy,
                              const StudiedMethods& studied) {
    // The convergence problem steps the copy's slope: it lives as long as the study.
    const Problem own = problem.clone();
    if (own.isSystem()) {
        return studyAtEnd(systemAtEnd(own, accuracy, multistep), doublings, stop, studied);
    }
    return studyAtEnd(problemAtEnd(own, accuracy, multistep), doublings, stop, studied);
}

}  // namespace pelorin
