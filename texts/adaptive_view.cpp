#include "texts/adaptive_view.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pelorin {

namespace {

const char* const dash = "\u2013";

std::string sizeText(double value) { return std::isfinite(value) ? errorText(value) : "too large"; }

std::string pointText(double value) {
    return std::isfinite(value) ? numberToText(value) : "too large";
}

std::string errorCell(const std::optional<double>& error) {
    return error ? errorText(*error) : dash;
}

// `k` names a system's component ("_k"), empty for one equation.
std::string toleranceFormula(const ControllerSettings& settings, const std::string& k) {
    const std::string atol = errorText(settings.absoluteTolerance);
    const std::string rtol = errorText(settings.relativeTolerance);
    if (settings.relativeTolerance == 0) return atol;
    const std::string relative = rtol + "\u00b7max(|y0" + k + "|, |y1" + k + "|)";
    return settings.absoluteTolerance == 0 ? relative : atol + " + " + relative;
}

std::string factorText(double value) { return numberToText(value); }

}  // namespace

TextTable adaptiveStepTable(const AdaptiveRun& run, std::size_t maxRows) {
    TextTable table;
    table.header = {"x",         "h",    "y at x + h",       "estimate",       "tolerance",
                    "estimate/tolerance", "step", "true local error", "true error of y"};
    const std::size_t rows = std::min(run.attempts.size(), maxRows);
    for (std::size_t i = 0; i < rows; ++i) {
        const AdaptiveStep& step = run.attempts[i];
        // The attempt that ended a run on a value too large has no verdict.
        const bool stopped = !std::isfinite(step.y1) || !std::isfinite(step.estimate);
        table.rows.push_back({pointText(step.x), errorText(step.h), pointText(step.y1),
                              sizeText(step.estimate),
                              stopped ? dash : sizeText(step.tolerance),
                              stopped ? dash : sizeText(step.ratio),
                              stopped ? "stopped" : step.accepted ? "accepted" : "rejected",
                              errorCell(step.localError), errorCell(step.globalError)});
    }
    return table;
}

TextTable adaptiveStepTable(const SystemAdaptiveRun& run, std::size_t maxRows) {
    const std::size_t n = run.y.size();
    TextTable table;
    table.header = {"x", "h"};
    for (std::size_t k = 1; k <= n; ++k) table.header.push_back("y" + std::to_string(k) + " at x + h");
    for (const char* heading : {"err (RMS of estimate/tolerance)", "step",
                                "true local error (max norm)", "true error of y (max norm)"}) {
        table.header.push_back(heading);
    }
    const auto normCell = [](const std::optional<StateVector>& error) {
        return error ? errorText(stateNorm(*error)) : std::string(dash);
    };
    const std::size_t rows = std::min(run.attempts.size(), maxRows);
    for (std::size_t i = 0; i < rows; ++i) {
        const SystemAdaptiveStep& step = run.attempts[i];
        const bool stopped = !isFiniteState(step.y1) || !isFiniteState(step.estimate);
        std::vector<std::string> row{pointText(step.x), errorText(step.h)};
        for (double component : step.y1) row.push_back(pointText(component));
        row.push_back(stopped ? dash : sizeText(step.ratio));
        row.push_back(stopped ? "stopped" : step.accepted ? "accepted" : "rejected");
        row.push_back(normCell(step.localError));
        row.push_back(normCell(step.globalError));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string controllerText(const Method& method, const ControllerSettings& settings,
                           std::size_t components) {
    const bool perUnitStep = settings.measure == ErrorMeasure::perUnitStep;
    std::string exponent;
    if (method.tableau->hasErrorEstimate()) {
        const int q = estimateOrder(method);
        exponent = "1/" + std::to_string(perUnitStep ? q : q + 1);
    } else {
        exponent = perUnitStep ? "1/q" : "1/(q + 1)";
    }
    const std::string held =
        components == 1
            ? "A step is held to the tolerance sc = " + toleranceFormula(settings, "") +
                  ", y0 and y1 its start and end, with err = |estimate|/" +
                  (perUnitStep ? "(|h|\u00b7sc)" : "sc")
            // Hairer's scaled norm: see errorRatio.
            : "Each component k of a step is held to its own tolerance sc_k = " +
                  toleranceFormula(settings, "_k") + ", y0 and y1 the step's start and end, "
                  "and err is the root mean square over the " + std::to_string(components) +
                  " components, err = sqrt((1/" + std::to_string(components) + ")\u00b7\u03a3 (e_k/" +
                  (perUnitStep ? "(|h|\u00b7sc_k)" : "sc_k") + ")\u00b2), e_k the estimate's component";
    std::string text =
        "Hairer, N\u00f8rsett and Wanner's step-size controller, as in their codes. " + held +
        ": it is accepted when err \u2264 1 and rejected otherwise, for then the estimated error "
        "of the step is larger than the tolerance allows; a rejected step is tried again from "
        "the same x with a smaller h. Either way the next h = h\u00b7min(" +
        factorText(settings.largestGrowth) + ", max(" + factorText(settings.smallestShrink) +
        ", " + factorText(settings.safety) + "\u00b7(1/err)^(" + exponent + "))), and right "
        "after a rejection h may not grow.";
    if (!method.tableau->hasErrorEstimate()) {
        text += " q is the order of the pair's lower-order solution.";
    }
    return text;
}

std::vector<std::string> workPrecisionNotes(const WorkPrecision& sweep) {
    std::vector<std::string> notes;
    for (const WorkSeries& series : sweep.adaptive) {
        const WorkPoint* best = nullptr;
        for (const WorkPoint& point : series.points) {
            if (point.error && (!best || *point.error < *best->error)) best = &point;
        }
        if (!best || !series.method) continue;
        const ConvergenceSeries& fixed = sweep.fixedSteps.series[catalogueRow(*series.method)];
        const ConvergencePoint* match = nullptr;
        for (const ConvergencePoint& point : fixed.points) {
            if (point.error && *point.error <= *best->error &&
                (!match || point.slopeEvaluations < match->slopeEvaluations)) {
                match = &point;
            }
        }
        std::string note = series.caption + " adapting its steps reached an error of " +
                           errorText(*best->error) + " at x1 with " +
                           std::to_string(best->slopeEvaluations) +
                           " slope evaluations (tolerance " + errorText(best->tolerance) + "); ";
        if (!match) {
            const long largest = fixed.points.empty() ? 0 : fixed.points.back().steps;
            note += "with fixed steps it never came as close, up to N = " +
                    std::to_string(largest) + " steps.";
        } else if (match->slopeEvaluations > best->slopeEvaluations) {
            note += "with fixed steps it needed " + std::to_string(match->slopeEvaluations) +
                    " (N = " + std::to_string(match->steps) +
                    ") to come as close: adapting paid, for the steps are long where the "
                    "solution is smooth and short only where it must be.";
        } else {
            note += "with fixed steps " + std::to_string(match->slopeEvaluations) + " (N = " +
                    std::to_string(match->steps) +
                    ") came as close: on this problem adapting did not pay, for its rejected "
                    "attempts and the safety factor's caution cost more than uneven steps save.";
        }
        notes.push_back(note);
    }
    return notes;
}

}  // namespace pelorin
