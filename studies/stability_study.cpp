#include "studies/stability_study.h"

#include "base/number_text.h"
#include "numerics/jacobian.h"
#include "numerics/multistep_stability.h"

#include <cmath>

namespace pelorin {

StabilityStudy studyStability(const Problem& problem, std::size_t method, double h,
                              std::stop_token stop) {
    const Problem own = problem.clone();
    StabilityStudy study;
    study.path = stabilityPath(labCatalogue()[method], own.slopeOf<StateVector>(), own.x0, own.y0,
                               own.x1, h, stop);
    if (!study.path.run.x.empty() && !stop.stop_requested()) {
        study.known = knownCurves(own, study.path.run.x.front(), study.path.run.x.back());
    }
    return study;
}

namespace {

// Where a run's first values come from: "its first value after the start
// from Euler"; a one-step formula needs none but y0.
std::string startingValuesText(long count, const std::string& from) {
    if (count == 0) return "each value from the one before, y0 the first";
    return "its first " + (count == 1 ? std::string("value") : std::to_string(count) + " values") +
           " after the start from " + from;
}

// The run the page draws beside the region, and what its notes say of it.
void runMultistep(MultistepStabilityStudy& study, const Problem& problem, const Method& method,
                  double h, const MethodSettings& multistep) {
    if (!(h > 0)) return;
    const bool lesson = problem.equation.lesson();
    const double x1 = lesson ? problem.x0 + static_cast<double>(stabilityRunSteps) * h : problem.x1;
    study.run = solutionPath(method, problem.slopeOf<StateVector>(), problem.x0, problem.y0, x1, h,
                             lesson ? stabilityRunSteps : 10 * stabilityRunSteps,
                             systemStartOf(problem, multistep));
    if (!study.run.x.empty())
        study.known = knownCurves(problem, study.run.x.front(), study.run.x.back());
    study.notes.push_back("The run plot shows " + std::string(method.caption) +
                          " with h = " + shortText(h) + " from x0, " +
                          startingValuesText(startingSteps(method), startName(problem, multistep)) +
                          ".");
    if (const std::string note = pathNote(study.run); !note.empty()) study.notes.push_back(note);
}

}  // namespace

MultistepStabilityStudy studyMultistepStability(const Problem& typed, const Method& method,
                                                double h, const MethodSettings& multistep) {
    const Problem problem = typed.clone();
    const Multistep& formula = *multistepOf(method);
    MultistepStabilityStudy study;
    std::string where;
    if (problem.equation.lesson()) {
        study.z = {h * lessonLambda};
        where = "z = h\u00b7\u03bb = " + stepZText(h * lessonLambda);
    } else if (!problem.isSystem()) {
        const SlopeDerivative derivative =
            slopeDerivative(problem.slopeOf<double>(), problem.x0, problem.y0[0]);
        const double z = h * derivative.lambda;
        if (std::isfinite(z)) study.z = {z};
        where = "z = h\u00b7\u03bb = " + shortText(z) +
                ", with \u03bb = \u2202f/\u2202y at the start (" + shortText(problem.x0) + ", " +
                shortText(problem.y0[0]) +
                ") by a central difference "
                "quotient,";
    } else {
        for (const std::complex<double>& z :
             stepEigenvalues(problem.slopeOf<StateVector>(), problem.x0, problem.y0, h).z) {
            if (std::isfinite(z.real()) && std::isfinite(z.imag())) study.z.push_back(z);
        }
        const std::complex<double> shown = shownMode(formula, study.z);
        where = "z = " + complexText(shown) + ", the eigenvalue of h\u00b7J at the start that " +
                (absolutelyStable(formula, shown) ? "lies farthest from 0"
                                                  : "first fails the root test") +
                ",";
    }
    study.notes = formulaNotes(method.caption, formula);
    if (study.z.empty()) {
        study.notes.push_back(
            "\u03bb = \u2202f/\u2202y cannot be calculated at the start, so no z = "
            "h\u00b7\u03bb is shown.");
    } else {
        study.shown = shownMode(formula, study.z);
        study.roots = characteristicRoots(formula, study.shown);
        study.notes.push_back(rootsNote(formula, study.shown, where));
    }
    study.notes.push_back(aAlphaNote(method.caption, formula));
    runMultistep(study, problem, method, h, multistep);
    return study;
}

}  // namespace pelorin
