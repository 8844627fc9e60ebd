#include "texts/adaptive_view.h"

#include "base/conversions.h"
#include "base/number_text.h"

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

std::string toleranceFormula(const ControllerSettings& settings) {
    const std::string atol = errorText(settings.absoluteTolerance);
    const std::string rtol = errorText(settings.relativeTolerance);
    if (settings.relativeTolerance == 0) return atol;
    const std::string relative = rtol + "\u00b7max(|y0|, |y1|)";
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

std::string unlistedAttemptsNote(const AdaptiveRun& run, std::size_t maxRows) {
    if (run.attempts.size() <= maxRows) return {};
    return "The table lists the first " + std::to_string(maxRows) + " of the run's " +
           std::to_string(run.attempts.size()) + " attempted steps.";
}

std::string controllerText(const Method& method, const ControllerSettings& settings) {
    const bool perUnitStep = settings.measure == ErrorMeasure::perUnitStep;
    std::string exponent;
    if (method.tableau->hasErrorEstimate()) {
        const int q = estimateOrder(method);
        exponent = "1/" + std::to_string(perUnitStep ? q : q + 1);
    } else {
        exponent = perUnitStep ? "1/q" : "1/(q + 1)";
    }
    std::string text =
        "Hairer, N\u00f8rsett and Wanner's step-size controller, as in their codes. A step is "
        "held to the tolerance sc = " + toleranceFormula(settings) + ", y0 and y1 its start and "
        "end, with err = |estimate|/" + (perUnitStep ? "(|h|\u00b7sc)" : "sc") +
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
