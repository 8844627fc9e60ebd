#include "studies/adaptive_study.h"

#include "numerics/state_operations.h"
#include "numerics/system_reference.h"
#include "studies/convergence_study.h"
#include "studies/field_study.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

namespace pelorin {

namespace {

std::vector<double> sampleAbscissae(double x0, double x1) {
    std::vector<double> x;
    for (int i = 0; i <= solutionSamples; ++i) {
        x.push_back(i == solutionSamples ? x1 : x0 + (x1 - x0) * i / solutionSamples);
    }
    return x;
}

// The solution drawn under the run: `known` where it is finite.
void drawSolution(AdaptiveStudy& study, const KnownSolution& known, double x0, double x1) {
    for (double x : sampleAbscissae(x0, x1)) {
        const double y = known(x);
        if (!std::isfinite(y)) continue;
        study.solutionX.push_back(x);
        study.solutionY.push_back(y);
    }
}

// Every abscissa a run measured against the reference reads: the drawn
// samples and both ends of every attempt, in the direction of the run, so
// that the reference passes each once.
template <class State>
std::vector<double> referenceAbscissae(const AdaptiveRunOf<State>& run, double x0, double x1) {
    std::vector<double> abscissae = sampleAbscissae(x0, x1);
    for (const AdaptiveStepOf<State>& step : run.attempts) {
        abscissae.push_back(step.x);
        abscissae.push_back(step.x + step.h);
    }
    const double direction = x1 >= x0 ? 1 : -1;
    std::sort(abscissae.begin(), abscissae.end(),
              [direction](double a, double b) { return a * direction < b * direction; });
    abscissae.erase(std::unique(abscissae.begin(), abscissae.end()), abscissae.end());
    return abscissae;
}

// What the notes say of the reference, and of attempts past the end it found.
void noteReference(AdaptiveStudy& study, const ReferenceSolution& reference,
                   const AdaptiveRun& run, double x0) {
    study.notes.push_back(referenceUsedNote(reference.relativeAccuracy) +
                          " True errors below that are the reference's, not the method's.");
    if (!reference.note.empty()) study.notes.push_back(reference.note);
    if (!reference.end) return;
    study.end = SolutionEnd{x0, *reference.end};
    const bool past = std::any_of(run.attempts.begin(), run.attempts.end(), [&](const AdaptiveStep& step) {
        return study.end->past(step.x + step.h);
    });
    if (past) {
        study.notes.push_back(pastEndNote("Attempts", *reference.end) +
                              " They have no true errors, and the plot of the solution is "
                              "fitted to the points before it.");
    }
}

// The run with its true errors and the solution drawn under it. Without an
// exact solution the attempts' abscissae are known only after the run, and
// the controller never reads the true errors: it runs once to learn where
// the reference is needed, then again, the same steps, measured against it.
AdaptiveStudy measuredRun(const Method& method, const Problem& problem, double h0,
                          const ControllerSettings& settings, long referenceEvaluations,
                          std::stop_token stop) {
    AdaptiveStudy study;
    const double x0 = problem.x0, y0 = problem.y0[0], x1 = problem.x1;
    const Slope f = problem.slope();
    const bool drawable = std::isfinite(x0) && std::isfinite(x1) && std::isfinite(x1 - x0);
    if (const KnownSolution exact = problem.exact()) {
        study.run = adaptiveRun(method, f, x0, y0, x1, h0, settings, exact);
        if (drawable) drawSolution(study, exact, x0, x1);
        return study;
    }
    const AdaptiveRun unmeasured = adaptiveRun(method, f, x0, y0, x1, h0, settings);
    if (!drawable || unmeasured.end == AdaptiveEnd::noEstimate ||
        unmeasured.end == AdaptiveEnd::refused || stop.stop_requested()) {
        study.run = unmeasured;
        return study;
    }
    ReferenceSolution reference = referenceSolution(
        f, x0, y0, referenceAbscissae(unmeasured, x0, x1), referenceEvaluations);
    study.reference = true;
    if (stop.stop_requested()) {
        study.run = unmeasured;
        return study;
    }
    if (reference.y.empty()) {
        study.run = unmeasured;
        study.notes.push_back("No exact solution is given and no reference solution could be "
                              "computed, so no true error is shown: " + reference.note);
        return study;
    }
    noteReference(study, reference, unmeasured, x0);
    const KnownSolution lookup = tabulatedSolution(std::move(reference.x), std::move(reference.y));
    study.run = adaptiveRun(method, f, x0, y0, x1, h0, settings, lookup);
    drawSolution(study, lookup, x0, x1);
    return study;
}

// A system's states known only at the abscissae `x`: the state at one of
// them, NaN in every component anywhere else. The lookup is the single
// equation's, of the row.
KnownSystemSolution tabulatedStates(std::vector<double> x, std::vector<StateVector> y) {
    std::vector<double> rows(x.size());
    std::iota(rows.begin(), rows.end(), 0.0);
    const KnownSolution row = tabulatedSolution(std::move(x), std::move(rows));
    const auto states = std::make_shared<const std::vector<StateVector>>(std::move(y));
    return [row, states](double at) {
        const double found = row(at);
        if (!std::isnan(found)) return (*states)[static_cast<std::size_t>(found)];
        StateVector unknown(states->empty() ? 0 : states->front().size());
        for (std::size_t k = 0; k < unknown.size(); ++k) {
            unknown[k] = std::numeric_limits<double>::quiet_NaN();
        }
        return unknown;
    };
}

void drawStates(SystemAdaptiveStudy& study, const KnownSystemSolution& known, double x0,
                double x1) {
    for (double x : sampleAbscissae(x0, x1)) {
        const StateVector y = known(x);
        if (!isFiniteState(y)) continue;
        study.solutionX.push_back(x);
        study.solutionY.push_back(y);
    }
}

// As measuredRun: with an exact solution one run; without, a run to learn
// where the reference is needed, then the same steps measured against it.
SystemAdaptiveStudy measuredSystemRun(const Method& method, const Problem& problem, double h0,
                                      const ControllerSettings& settings,
                                      long referenceEvaluations, std::stop_token stop) {
    SystemAdaptiveStudy study;
    study.notes = {maximumNormNote()};
    const double x0 = problem.x0, x1 = problem.x1;
    const StateVector& y0 = problem.y0;
    const SystemSlope F = problem.systemSlope();
    const bool drawable = std::isfinite(x0) && std::isfinite(x1) && std::isfinite(x1 - x0);
    if (const KnownSystemSolution exact = problem.systemExact()) {
        study.run = adaptiveRun(method, F, x0, y0, x1, h0, settings, exact);
        if (drawable) drawStates(study, exact, x0, x1);
        return study;
    }
    study.run = adaptiveRun(method, F, x0, y0, x1, h0, settings);
    if (!drawable || study.run.end == AdaptiveEnd::noEstimate ||
        study.run.end == AdaptiveEnd::refused || stop.stop_requested()) {
        return study;
    }
    SystemReferenceSolution reference = systemReferenceSolution(
        F, x0, y0, referenceAbscissae(study.run, x0, x1), referenceEvaluations);
    study.reference = true;
    if (stop.stop_requested()) return study;
    if (reference.y.empty()) {
        study.notes.push_back("No exact solution is given and no reference solution could be "
                              "computed, so no true error is shown: " + reference.note);
        return study;
    }
    study.notes.push_back(systemReferenceUsedNote(reference.method, reference.accuracy) +
                          " True errors below that are the reference's, not the method's.");
    if (!reference.note.empty()) study.notes.push_back(reference.note);
    const SolutionEnd end{x0, reference.end.value_or(std::numeric_limits<double>::infinity())};
    const auto past = [&end](const SystemAdaptiveStep& step) { return end.past(step.x + step.h); };
    if (reference.end && std::any_of(study.run.attempts.begin(), study.run.attempts.end(), past)) {
        study.notes.push_back(pastEndNote("Attempts", *reference.end) +
                              " They have no true errors.");
    }
    const KnownSystemSolution lookup =
        tabulatedStates(std::move(reference.x), std::move(reference.y));
    study.run = adaptiveRun(method, F, x0, y0, x1, h0, settings, lookup);
    drawStates(study, lookup, x0, x1);
    return study;
}

// A system's sweep, its errors at x1 against the exact solution or the
// system's reference there.
WorkPrecision sweepSystem(const Problem& own, double h0, const ControllerSettings& settings,
                          int doublings, std::stop_token stop, const MultistepSettings& multistep) {
    SystemAtEnd atEnd = systemAtEnd(own);
    if (!atEnd.problem) {
        WorkPrecision none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    atEnd.problem->start = systemStartOf(own, multistep);
    atEnd.problem->own = multistep.ownMethod();
    WorkPrecision sweep = workPrecision(*atEnd.problem, h0, settings, doublings, stop);
    if (!atEnd.referenceNote.empty()) sweep.notes.insert(sweep.notes.begin(), atEnd.referenceNote);
    return sweep;
}

}  // namespace

AdaptiveStudy studyAdaptive(const Method& method, const Problem& shared, double h0,
                            const ControllerSettings& settings, long referenceEvaluations,
                            std::stop_token stop) {
    const Problem problem = shared.clone();
    AdaptiveStudy study = measuredRun(method, problem, h0, settings, referenceEvaluations, stop);
    if (study.run.attempts.empty()) return study;
    const AcceptedPoints accepted = acceptedPoints(study.run);
    study.limit = stabilityLimit(method, problem.slope(), accepted.x, accepted.y);
    study.limitNote = stabilityLimitNote(method, study.limit);
    return study;
}

SystemAdaptiveStudy studySystemAdaptive(const Method& method, const Problem& shared, double h0,
                                        const ControllerSettings& settings,
                                        long referenceEvaluations, std::stop_token stop) {
    const Problem problem = shared.clone();
    return measuredSystemRun(method, problem, h0, settings, referenceEvaluations, stop);
}

WorkPrecision sweepAdaptive(const Problem& problem, double h0, const ControllerSettings& settings,
                            int doublings, std::stop_token stop, const MultistepSettings& multistep) {
    // The convergence problem steps the copy's slope: it lives as long as the sweep.
    const Problem own = problem.clone();
    if (own.isSystem()) return sweepSystem(own, h0, settings, doublings, stop, multistep);
    ProblemAtEnd atEnd = problemAtEnd(own);
    if (!atEnd.problem) {
        WorkPrecision none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    atEnd.problem->start = startOf(own, multistep);
    atEnd.problem->own = multistep.ownMethod();
    WorkPrecision sweep = workPrecision(*atEnd.problem, h0, settings, doublings, stop);
    if (atEnd.reference) {
        sweep.notes.insert(sweep.notes.begin(), referenceUsedNote(atEnd.relativeAccuracy));
    }
    return sweep;
}

}  // namespace pelorin
