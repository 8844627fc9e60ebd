#include "studies/adaptive_study.h"

#include "numerics/reference.h"
#include "numerics/state_operations.h"
#include "studies/convergence_study.h"
#include "studies/field_study.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>
#include <type_traits>

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
template <class State>
void drawSolution(AdaptiveStudyOf<State>& study, const KnownStateOf<State>& known, double x0,
                  double x1) {
    for (double x : sampleAbscissae(x0, x1)) {
        const State y = known(x);
        if (!isFiniteState(y)) continue;
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

// A system's states known only at the abscissae `x`: the state at one of
// them, NaN in every component anywhere else. The lookup is the single
// equation's, of the row.
KnownStateOf<StateVector> tabulatedStates(std::vector<double> x, std::vector<StateVector> y) {
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

// The reference as the study measures against it: the solution tabulated at
// the abscissae (empty when none could be computed), which reference it is
// and how accurate, why it stopped early, where the solution ends, and its
// estimated accuracy relative to max(1, ||y||).
template <class State>
struct StudyReference {
    KnownStateOf<State> solution;
    std::string used, note;
    std::optional<double> end;
    double relativeAccuracy = 0;
};

StudyReference<double> studyReference(Slope f, double x0, double y0,
                                      const std::vector<double>& abscissae, long evaluations) {
    ReferenceSolution reference = referenceSolution(f, x0, y0, abscissae, evaluations);
    if (reference.y.empty()) return {{}, {}, reference.note, reference.end};
    return {tabulatedSolution(std::move(reference.x), std::move(reference.y)),
            referenceUsedNote(reference.relativeAccuracy, reference.method), reference.note,
            reference.end, reference.relativeAccuracy};
}

StudyReference<StateVector> studyReference(SlopeOf<StateVector> F, double x0, const StateVector& y0,
                                           const std::vector<double>& abscissae,
                                           long evaluations) {
    ReferenceSolutionOf<StateVector> reference =
        referenceSolution(F, x0, y0, abscissae, evaluations);
    if (reference.y.empty()) return {{}, {}, reference.note, reference.end};
    return {tabulatedStates(std::move(reference.x), std::move(reference.y)),
            referenceUsedNote(reference.relativeAccuracy, reference.method), reference.note,
            reference.end, reference.relativeAccuracy};
}

// What the notes say of the reference, and of the run's attempts past the
// end it found.
template <class State>
void noteReference(AdaptiveStudyOf<State>& study, const StudyReference<State>& reference,
                   double x0) {
    study.notes.push_back(reference.used +
                          " True errors below ten times that are the reference's, not the "
                          "method's: the table and the notes say so where they meet one.");
    if (!reference.note.empty()) study.notes.push_back(reference.note);
    if (!reference.end) return;
    study.end = SolutionEnd{x0, *reference.end};
    const auto& attempts = study.run.attempts;
    const bool past = std::any_of(attempts.begin(), attempts.end(), [&](const auto& step) {
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
template <class State>
AdaptiveStudyOf<State> measuredRun(const Method& method, const Problem& problem, double h0,
                                   const ControllerSettings& settings, long referenceEvaluations,
                                   std::stop_token stop) {
    AdaptiveStudyOf<State> study;
    if constexpr (std::is_same_v<State, StateVector>) study.notes.push_back(maximumNormNote());
    const double x0 = problem.x0, x1 = problem.x1;
    const auto [f, y0, exact, start] = posedAs<State>(problem);
    const bool drawable = std::isfinite(x0) && std::isfinite(x1) && std::isfinite(x1 - x0);
    if (exact) {
        study.run = adaptiveRun(method, f, x0, y0, x1, h0, settings, exact);
        if (drawable) drawSolution(study, exact, x0, x1);
        return study;
    }
    study.run = adaptiveRun(method, f, x0, y0, x1, h0, settings);
    if (!drawable || study.run.end == AdaptiveEnd::noEstimate ||
        study.run.end == AdaptiveEnd::refused || stop.stop_requested()) {
        return study;
    }
    const StudyReference<State> reference = studyReference(
        f, x0, y0, referenceAbscissae(study.run, x0, x1), referenceEvaluations);
    study.reference = true;
    if (stop.stop_requested()) return study;
    if (!reference.solution) {
        study.notes.push_back("No exact solution is given and no reference solution could be "
                              "computed, so no true error is shown: " + reference.note);
        return study;
    }
    noteReference(study, reference, x0);
    study.run = adaptiveRun(method, f, x0, y0, x1, h0, settings, reference.solution,
                            reference.relativeAccuracy);
    drawSolution(study, reference.solution, x0, x1);
    return study;
}

// The method's stability limit at the accepted points, and its note: a
// single equation's; a system's stays empty.
void limitAlongRun(AdaptiveStudy& study, const Method& method, const Problem& problem) {
    if (study.run.attempts.empty()) return;
    const AcceptedPoints accepted = acceptedPoints(study.run);
    study.limit = stabilityLimit(method, problem.slopeOf<double>(), accepted.x, accepted.y);
    study.limitNote = stabilityLimitNote(method, study.limit);
}
void limitAlongRun(AdaptiveStudyOf<StateVector>&, const Method&, const Problem&) {}

// The sweep, its errors at x1 against the exact solution or the reference
// there.
template <class State>
WorkPrecision sweepAtEnd(const ProblemAtEndOf<State>& atEnd, double h0,
                         const ControllerSettings& settings, int doublings, std::stop_token stop) {
    if (!atEnd.problem) {
        WorkPrecision none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    WorkPrecision sweep = workPrecision(*atEnd.problem, h0, settings, doublings, stop);
    if (!atEnd.referenceNote.empty()) sweep.notes.insert(sweep.notes.begin(), atEnd.referenceNote);
    return sweep;
}

}  // namespace

template <class State>
AdaptiveStudyOf<State> studyAdaptive(const Method& method, const Problem& shared, double h0,
                                     const ControllerSettings& settings,
                                     long referenceEvaluations, std::stop_token stop) {
    const Problem problem = shared.clone();
    AdaptiveStudyOf<State> study =
        measuredRun<State>(method, problem, h0, settings, referenceEvaluations, stop);
    limitAlongRun(study, method, problem);
    return study;
}
template AdaptiveStudy studyAdaptive<double>(const Method&, const Problem&, double,
                                             const ControllerSettings&, long, std::stop_token);
template AdaptiveStudyOf<StateVector> studyAdaptive<StateVector>(const Method&, const Problem&,
                                                                 double, const ControllerSettings&,
                                                                 long, std::stop_token);

WorkPrecision sweepAdaptive(const Problem& problem, double h0, const ControllerSettings& settings,
                            int doublings, std::stop_token stop,
                            const MethodSettings& multistep) {
    // The convergence problem steps the copy's slope: it lives as long as the sweep.
    const Problem own = problem.clone();
    const ReferenceAccuracy accuracy = ReferenceAccuracy::standard;
    if (own.isSystem()) {
        return sweepAtEnd(systemAtEnd(own, accuracy, multistep), h0, settings, doublings, stop);
    }
    return sweepAtEnd(problemAtEnd(own, accuracy, multistep), h0, settings, doublings, stop);
}

}  // namespace pelorin
