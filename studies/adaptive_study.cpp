#include "studies/adaptive_study.h"

#include "studies/convergence_study.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelorin {

namespace {

std::vector<double> sampleAbscissae(double x0, double x1) {
    std::vector<double> x;
    for (int i = 0; i <= solutionSamples; ++i) {
        x.push_back(i == solutionSamples ? x1 : x0 + (x1 - x0) * i / solutionSamples);
    }
    return x;
}

// The run with its true errors and the solution drawn under it.
AdaptiveStudy measuredRun(const Method& method, Slope f, const KnownSolution& exact, double x0,
                          double y0, double x1, double h0, const ControllerSettings& settings,
                          long referenceEvaluations) {
    AdaptiveStudy study;
    const bool drawable = std::isfinite(x0) && std::isfinite(x1) && std::isfinite(x1 - x0);
    if (exact) {
        study.run = adaptiveRun(method, f, x0, y0, x1, h0, settings, exact);
        if (drawable) {
            for (double x : sampleAbscissae(x0, x1)) {
                const double y = exact(x);
                if (!std::isfinite(y)) continue;
                study.solutionX.push_back(x);
                study.solutionY.push_back(y);
            }
        }
        return study;
    }
    // The attempts' abscissae are known only after the run, and the
    // controller never reads the true errors: run once to learn where the
    // reference is needed, then again, the same steps, measured against it.
    const AdaptiveRun unmeasured = adaptiveRun(method, f, x0, y0, x1, h0, settings);
    if (!drawable || unmeasured.end == AdaptiveEnd::noEstimate ||
        unmeasured.end == AdaptiveEnd::refused) {
        study.run = unmeasured;
        return study;
    }
    std::vector<double> abscissae = sampleAbscissae(x0, x1);
    for (const AdaptiveStep& step : unmeasured.attempts) {
        abscissae.push_back(step.x);
        abscissae.push_back(step.x + step.h);
    }
    // In the direction of the run, so that the reference passes each once.
    const double direction = x1 >= x0 ? 1 : -1;
    std::sort(abscissae.begin(), abscissae.end(),
              [direction](double a, double b) { return a * direction < b * direction; });
    abscissae.erase(std::unique(abscissae.begin(), abscissae.end()), abscissae.end());
    const ReferenceSolution reference =
        referenceSolution(f, x0, y0, abscissae, referenceEvaluations);
    study.reference = true;
    if (reference.y.empty()) {
        study.run = unmeasured;
        study.notes.push_back("No exact solution is given and no reference solution could be "
                              "computed, so no true error is shown: " + reference.note);
        return study;
    }
    study.notes.push_back(referenceUsedNote(reference.relativeAccuracy) +
                          " True errors below that are the reference's, not the method's.");
    if (!reference.note.empty()) study.notes.push_back(reference.note);
    if (reference.end) {
        study.end = SolutionEnd{x0, *reference.end};
        const bool past = std::any_of(
            unmeasured.attempts.begin(), unmeasured.attempts.end(),
            [&](const AdaptiveStep& step) { return study.end->past(step.x + step.h); });
        if (past) {
            study.notes.push_back(pastEndNote("Attempts", *reference.end) +
                                  " They have no true errors, and the plot of the solution is "
                                  "fitted to the points before it.");
        }
    }
    const KnownSolution lookup = [&reference, direction](double x) {
        const auto at = std::lower_bound(
            reference.x.begin(), reference.x.end(), x,
            [direction](double a, double b) { return a * direction < b * direction; });
        if (at == reference.x.end() || *at != x) return std::numeric_limits<double>::quiet_NaN();
        return reference.y[static_cast<std::size_t>(at - reference.x.begin())];
    };
    study.run = adaptiveRun(method, f, x0, y0, x1, h0, settings, lookup);
    const std::vector<double> samples = sampleAbscissae(x0, x1);
    for (double x : samples) {
        const double y = lookup(x);
        if (!std::isfinite(y)) continue;
        study.solutionX.push_back(x);
        study.solutionY.push_back(y);
    }
    return study;
}

}  // namespace

AdaptiveStudy studyAdaptive(const Method& method, Slope f, const KnownSolution& exact, double x0,
                            double y0, double x1, double h0, const ControllerSettings& settings,
                            long referenceEvaluations) {
    AdaptiveStudy study =
        measuredRun(method, f, exact, x0, y0, x1, h0, settings, referenceEvaluations);
    if (study.run.attempts.empty()) return study;
    const AcceptedPoints accepted = acceptedPoints(study.run);
    study.limit = stabilityLimit(method, f, accepted.x, accepted.y);
    study.limitNote = stabilityLimitNote(method, study.limit);
    return study;
}

WorkPrecision sweepAdaptive(Slope f, const KnownSolution& exact, double x0, double y0, double x1,
                            double h0, const ControllerSettings& settings, int doublings,
                            std::stop_token stop) {
    const ProblemAtEnd atEnd = problemAtEnd(f, exact, x0, y0, x1);
    if (!atEnd.problem) {
        WorkPrecision none;
        none.notes.push_back(atEnd.why);
        return none;
    }
    WorkPrecision sweep = workPrecision(*atEnd.problem, h0, settings, doublings, stop);
    if (atEnd.reference) {
        sweep.notes.insert(sweep.notes.begin(), referenceUsedNote(atEnd.relativeAccuracy));
    }
    return sweep;
}

}  // namespace pelorin
