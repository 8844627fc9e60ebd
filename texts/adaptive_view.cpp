#include "texts/adaptive_view.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace pelorin {

namespace {

const char* const dash = "\u2013";

std::string sizeText(double value) { return std::isfinite(value) ? errorText(value) : "too large"; }

std::string pointText(double value) {
    return std::isfinite(value) ? numberToText(value) : "too large";
}

// A true error: its size, or where the reference cannot measure it
// "below 1.19E-08", that floor.
std::string errorCell(const std::optional<double>& error, double measurableError) {
    if (!error) return dash;
    if (belowMeasurable(std::fabs(*error), measurableError)) {
        return "below " + errorText(measurableFloor(measurableError));
    }
    return errorText(*error);
}

// "an error of 2.15E-10", or "an error below what the reference can
// measure, about 1.19E-08," where it cannot measure it.
std::string reachedErrorText(double error, double measurableError) {
    if (belowMeasurable(error, measurableError)) {
        return "an error " + unmeasurableErrorText(measurableError) + ",";
    }
    return error == 0 ? "an error of exactly 0" : "an error of " + errorText(error);
}

// Whether an error comes as close as `target`: no larger, or both below
// what the reference can measure, where they cannot be told apart.
bool asClose(double error, double target, double measurableError) {
    return error <= target ||
           (belowMeasurable(error, measurableError) && belowMeasurable(target, measurableError));
}

// A series' most accurate run: the smallest error, or, of errors the
// reference cannot tell apart, the cheapest.
const WorkPoint* mostAccurate(const std::vector<WorkPoint>& points, double measurableError) {
    const auto unmeasurable = [&](const WorkPoint& point) {
        return belowMeasurable(*point.error, measurableError);
    };
    const WorkPoint* best = nullptr;
    for (const WorkPoint& point : points) {
        if (!point.error) continue;
        const bool better = !best || (unmeasurable(point) && unmeasurable(*best)
                                          ? point.slopeEvaluations < best->slopeEvaluations
                                          : *point.error < *best->error);
        if (better) best = &point;
    }
    return best;
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
                              errorCell(step.localError, step.measurableError),
                              errorCell(step.globalError, step.measurableError)});
    }
    return table;
}

TextTable adaptiveStepTable(const AdaptiveRunOf<StateVector>& run, std::size_t maxRows) {
    const std::size_t n = run.y.size();
    TextTable table;
    table.header = {"x", "h"};
    for (std::size_t k = 1; k <= n; ++k)
        table.header.push_back("y" + std::to_string(k) + " at x + h");
    for (const char* heading : {"err (RMS of estimate/tolerance)", "step",
                                "true local error (max norm)", "true error of y (max norm)"}) {
        table.header.push_back(heading);
    }
    const auto normCell = [](const std::optional<StateVector>& error, double measurableError) {
        return errorCell(error ? std::optional<double>(stateNorm(*error)) : std::nullopt,
                         measurableError);
    };
    const std::size_t rows = std::min(run.attempts.size(), maxRows);
    for (std::size_t i = 0; i < rows; ++i) {
        const AdaptiveStepOf<StateVector>& step = run.attempts[i];
        const bool stopped = !isFiniteState(step.y1) || !isFiniteState(step.estimate);
        std::vector<std::string> row{pointText(step.x), errorText(step.h)};
        for (double component : step.y1) row.push_back(pointText(component));
        row.push_back(stopped ? dash : sizeText(step.ratio));
        row.push_back(stopped ? "stopped" : step.accepted ? "accepted" : "rejected");
        row.push_back(normCell(step.localError, step.measurableError));
        row.push_back(normCell(step.globalError, step.measurableError));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string controllerText(const Method& method, const ControllerSettings& settings,
                           std::size_t components) {
    const bool perUnitStep = settings.measure == ErrorMeasure::perUnitStep;
    std::string exponent;
    if (carriesEstimate(method)) {
        const int q = estimateOrder(method);
        exponent = "1/" + std::to_string(perUnitStep ? q : q + 1);
    } else {
        exponent = perUnitStep ? "1/q" : "1/(q + 1)";
    }
    const std::string held =
        components == 1 ? "A step is held to the tolerance sc = " + toleranceFormula(settings, "") +
                              ", y0 and y1 its start and end, with err = |estimate|/" +
                              (perUnitStep ? "(|h|\u00b7sc)" : "sc")
                        // Hairer's scaled norm: see errorRatio.
                        : "Each component k of a step is held to its own tolerance sc_k = " +
                              toleranceFormula(settings, "_k") +
                              ", y0 and y1 the step's start and end, "
                              "and err is the root mean square over the " +
                              std::to_string(components) + " components, err = sqrt((1/" +
                              std::to_string(components) + ")\u00b7\u03a3 (e_k/" +
                              (perUnitStep ? "(|h|\u00b7sc_k)" : "sc_k") +
                              ")\u00b2), e_k the estimate's component";
    std::string text =
        "Hairer, N\u00f8rsett and Wanner's step-size controller, as in their codes. " + held +
        ": it is accepted when err \u2264 1 and rejected otherwise, for then the estimated error "
        "of the step is larger than the tolerance allows; a rejected step is tried again from "
        "the same x with a smaller h. Either way the next h = h\u00b7min(" +
        factorText(settings.largestGrowth) + ", max(" + factorText(settings.smallestShrink) +
        ", " + factorText(settings.safety) + "\u00b7(1/err)^(" + exponent + "))), and right "
        "after a rejection h may not grow.";
    if (!carriesEstimate(method)) {
        text += " q is the order of the pair's lower-order solution.";
    }
    return text;
}

namespace {

// Why adapting cost more than fixed steps, as far as the counts tell: its
// rejected attempts, or steps shorter than the fixed ones.
std::string unpaidText(const WorkPoint& adapting, const ConvergencePoint& fixed) {
    if (adapting.rejected > 0) {
        return ", for its rejected attempts and the safety factor's caution cost more than "
               "uneven steps save.";
    }
    if (adapting.accepted > fixed.steps) {
        return ": none of its attempts was rejected, but it took " +
               std::to_string(adapting.accepted) + " steps where " +
               countText(fixed.steps, "fixed one", "fixed ones") + " came as close.";
    }
    return ".";
}

template <class Points>
bool hasZeroError(const Points& points) {
    return std::any_of(points.begin(), points.end(),
                       [](const auto& point) { return point.error && *point.error == 0; });
}

// Whether some run drawn reached x1 with an error of exactly 0.
bool someErrorIsZero(const WorkPrecision& sweep) {
    bool zero = hasZeroError(sweep.library.points) || hasZeroError(sweep.stiffLibrary.points);
    for (const auto* runs : {&sweep.adaptive, &sweep.implicitFixed, &sweep.multistepFixed}) {
        for (const WorkSeries& series : *runs) zero = zero || hasZeroError(series.points);
    }
    for (const WorkSeries& series : sweep.adaptive) {
        if (series.method) {
            zero = zero ||
                   hasZeroError(sweep.fixedSteps.series[catalogueRow(*series.method)].points);
        }
    }
    return zero;
}

}  // namespace

std::vector<std::string> workPrecisionNotes(const WorkPrecision& sweep) {
    std::vector<std::string> notes;
    const double measurable = sweep.fixedSteps.measurableError;
    for (const WorkSeries& series : sweep.adaptive) {
        const WorkPoint* best = mostAccurate(series.points, measurable);
        if (!best || !series.method) continue;
        const ConvergenceSeries& fixed = sweep.fixedSteps.series[catalogueRow(*series.method)];
        const ConvergencePoint* match = nullptr;
        for (const ConvergencePoint& point : fixed.points) {
            if (point.error && asClose(*point.error, *best->error, measurable) &&
                (!match || point.slopeEvaluations < match->slopeEvaluations)) {
                match = &point;
            }
        }
        std::string note = series.caption + " adapting its steps reached " +
                           reachedErrorText(*best->error, measurable) + " at x1 with " +
                           std::to_string(best->slopeEvaluations) +
                           " slope evaluations (tolerance " + errorText(best->tolerance) + "); ";
        if (!match) {
            const long largest = fixed.points.empty() ? 0 : fixed.points.back().steps;
            note += "with fixed steps it never came as close, up to N = " +
                    std::to_string(largest) + " steps.";
        } else if (match->slopeEvaluations >= 2 * best->slopeEvaluations) {
            note += "with fixed steps it needed " + std::to_string(match->slopeEvaluations) +
                    " (N = " + std::to_string(match->steps) +
                    ") to come as close: adapting paid, for the steps are long where the "
                    "solution is smooth and short only where it must be.";
        } else if (match->slopeEvaluations > best->slopeEvaluations) {
            // The sweep doubles N: the fewest fixed steps as close lie above N/2,
            // and cost as little as half the match.
            note += "with fixed steps it needed " + std::to_string(match->slopeEvaluations) +
                    " (N = " + std::to_string(match->steps) + ") to come as close, but the "
                    "sweep doubles N, and a fixed N between " + std::to_string(match->steps / 2) +
                    " and " + std::to_string(match->steps) + " might have come as close for " +
                    std::to_string(best->slopeEvaluations) + " or fewer: these runs do not show "
                    "whether adapting paid.";
        } else {
            note += "with fixed steps " + std::to_string(match->slopeEvaluations) + " (N = " +
                    std::to_string(match->steps) + ") came as close: on this problem adapting " +
                    "did not pay" + unpaidText(*best, *match);
        }
        notes.push_back(note);
    }
    const std::vector<std::string> stiff = stiffWorkNotes(sweep);
    notes.insert(notes.end(), stiff.begin(), stiff.end());
    if (someErrorIsZero(sweep)) {
        notes.emplace_back("A run that reaches x1 with an error of exactly 0 (the method is exact "
                           "here, or its value there rounds to the solution's own) has no point "
                           "on the plot, since a logarithmic axis has no place for 0.");
    }
    return notes;
}

namespace {

// One run of the sweep that reached x1: its error, its cost and who ran it how.
struct Reached {
    double error = 0;
    long cost = 0;
    std::string run;  // "Radau IIA 3 with N = 64 fixed steps"
    long jacobianCalls = 0;  // the calls of f its Jacobians took, counted in its cost
};

// The calls of f a Jacobian takes by difference quotients for n components,
// and rosenbrock4's 2 more for ∂f/∂x.
long callsPerJacobian(std::size_t n) { return 4 * static_cast<long>(n) + 1; }
constexpr long rosenbrockPartialCalls = 2;

std::string fixedRunText(std::string_view caption, long steps) {
    return std::string(caption) + " with N = " + std::to_string(steps) + " fixed steps";
}

std::string workRunText(const WorkSeries& series, const WorkPoint& point) {
    if (point.steps > 0) return fixedRunText(series.caption, point.steps);
    return series.caption + " with tolerance " + errorText(point.tolerance);
}

void addReached(std::vector<Reached>& reached, const WorkSeries& series, long perJacobian = 0) {
    for (const WorkPoint& point : series.points) {
        if (point.error)
            reached.push_back({*point.error, point.slopeEvaluations, workRunText(series, point),
                               point.jacobians * perJacobian});
    }
}

// Every explicit run that reached x1: the pairs adapting their steps, the
// library's Dormand-Prince stepper, and every explicit method with fixed
// steps. The plot draws the pairs' fixed steps alone: another method's run
// is said not to be drawn.
std::vector<Reached> explicitRuns(const WorkPrecision& sweep) {
    std::vector<Reached> reached;
    for (const WorkSeries& series : sweep.adaptive) addReached(reached, series);
    addReached(reached, sweep.library);
    const auto drawn = [&sweep](const Method& method) {
        return std::any_of(sweep.adaptive.begin(), sweep.adaptive.end(),
                           [&method](const WorkSeries& pair) { return pair.method == &method; });
    };
    for (const ConvergenceSeries& series : sweep.fixedSteps.series) {
        if (!series.method || isImplicit(*series.method)) continue;
        const std::string where = drawn(*series.method) ? "" : " (not drawn here)";
        for (const ConvergencePoint& point : series.points) {
            if (!point.error) continue;
            reached.push_back({*point.error, point.slopeEvaluations,
                               fixedRunText(series.method->caption, point.steps) + where});
        }
    }
    return reached;
}

// The implicit methods' and rosenbrock4's runs that reached x1 with an
// error the reference can measure and below comparableError of the
// solution's size: a run a whole solution's size off, however cheap, shows
// nothing.
std::vector<Reached> implicitRuns(const WorkPrecision& sweep) {
    std::vector<Reached> reached;
    const long perJacobian = callsPerJacobian(sweep.components);
    for (const WorkSeries& series : sweep.implicitFixed) addReached(reached, series, perJacobian);
    addReached(reached, sweep.stiffLibrary, perJacobian + rosenbrockPartialCalls);
    std::erase_if(reached, [&](const Reached& run) {
        return belowMeasurable(run.error, sweep.fixedSteps.measurableError) ||
               run.error >= comparableError * sweep.fixedSteps.solutionSize;
    });
    return reached;
}

// The cheapest of `runs` with an error at most `error`.
const Reached* cheapestAsClose(const std::vector<Reached>& runs, double error) {
    const Reached* cheapest = nullptr;
    for (const Reached& run : runs) {
        if (run.error <= error && (!cheapest || run.cost < cheapest->cost)) cheapest = &run;
    }
    return cheapest;
}

std::string evaluationsText(long count) {
    return countText(count, "slope evaluation", "slope evaluations");
}

// What a Jacobian costs, said of those that took one: the implicit
// methods, rosenbrock4, or both.
std::string costsNote(std::size_t n, bool implicitMethods, bool rosenbrock) {
    const long perJacobian = callsPerJacobian(n);
    const std::string who = !rosenbrock       ? "The implicit methods call f for their"
                            : implicitMethods ? "The implicit methods and rosenbrock4 call f for "
                                                "their"
                                              : "rosenbrock4 calls f for its";
    const std::string more = std::to_string(rosenbrockPartialCalls) + " more for \u2202f/\u2202x";
    const std::string partial = !rosenbrock       ? ""
                                : implicitMethods ? ", rosenbrock4 " + more
                                                  : ", " + more;
    return who + " Jacobians as well: " + std::to_string(perJacobian) +
           " times for each (4n + 1 for n = " + std::to_string(n) + ", by difference quotients)" +
           partial + ". The plot counts those calls among the slope evaluations, and the notes "
           "name the Jacobians and linear solves apart.";
}

// The most accurate run of a series, with every count.
std::optional<std::string> countsNote(const WorkSeries& series, double measurableError) {
    const WorkPoint* best = mostAccurate(series.points, measurableError);
    if (!best) return std::nullopt;
    const bool newton = best->steps > 0;
    const std::string reached = workRunText(series, *best) + " reached " +
                                reachedErrorText(*best->error, measurableError) + " at x1 with " +
                                evaluationsText(best->slopeEvaluations);
    // A slope such as y' = 0 may need no Newton iteration at all.
    if (best->jacobians == 0 && best->solves == 0) {
        return reached + ", without a Jacobian or a linear solve.";
    }
    const std::string jacobians = reached + ", the Jacobians' included, " +
                                  countText(best->jacobians, "Jacobian", "Jacobians");
    if (newton) {
        return jacobians + ", " + countText(best->solves, "linear solve", "linear solves") +
               " with Newton's matrix, factored by LU.";
    }
    return jacobians + ", " +
           countText(best->factorizations, "LU factorization", "LU factorizations") + " and " +
           countText(best->solves, "solve", "solves") + " with them.";
}

std::string advantageNote(const WorkPrecision& sweep) {
    const std::vector<Reached> explicitOnes = explicitRuns(sweep);
    // The implicit run with the largest advantage; none as close counts as infinite.
    const Reached* best = nullptr;
    const Reached* bestMatch = nullptr;
    const std::vector<Reached> implicitOnes = implicitRuns(sweep);
    for (const Reached& run : implicitOnes) {
        const Reached* match = cheapestAsClose(explicitOnes, run.error);
        const auto ratio = [](const Reached& own, const Reached* other) {
            return other ? static_cast<double>(other->cost) / static_cast<double>(own.cost)
                         : std::numeric_limits<double>::infinity();
        };
        if (!best || ratio(run, match) > ratio(*best, bestMatch)) {
            best = &run;
            bestMatch = match;
        }
    }
    if (best && (!bestMatch || static_cast<double>(bestMatch->cost) >=
                                   implicitAdvantage * static_cast<double>(best->cost))) {
        const std::string reached = best->run + " reached an error of " +
                                    errorText(best->error) + " at x1 with " +
                                    evaluationsText(best->cost) + "; ";
        const std::string why = ": on this problem stability, not accuracy, holds the "
                                "explicit steps short, and the implicit ones are not held so.";
        if (!bestMatch) return reached + "no explicit run of the sweep came as close" + why;
        return reached + "the cheapest explicit run as close, " + bestMatch->run + ", needed " +
               std::to_string(bestMatch->cost) + why;
    }
    // Jacobians are blamed only where a run would have paid without their calls.
    const auto paidButForJacobians = [&](const Reached& run) {
        const Reached* match = cheapestAsClose(explicitOnes, run.error);
        return run.jacobianCalls > 0 && match &&
               static_cast<double>(match->cost) >=
                   implicitAdvantage * static_cast<double>(run.cost - run.jacobianCalls);
    };
    const bool spent = std::any_of(implicitOnes.begin(), implicitOnes.end(), paidButForJacobians);
    return "No run of an implicit method or of rosenbrock4 reached an error with a tenth of the "
           "slope evaluations (or fewer) of the cheapest explicit run as close: on this problem, "
           "over this range, " +
           std::string(spent ? "what the implicit steps spend on Jacobians and linear solves "
                               "outweighs what longer steps could save."
                             : "the explicit steps are not held short enough for longer "
                               "implicit steps to pay.");
}

}  // namespace

std::vector<std::string> stiffWorkNotes(const WorkPrecision& sweep) {
    if (sweep.implicitFixed.empty() && sweep.stiffLibrary.points.empty()) return {};
    std::vector<std::string> notes;
    // What a Jacobian costs, where any run took one.
    const auto tookJacobians = [](const WorkSeries& series) {
        return std::any_of(series.points.begin(), series.points.end(),
                           [](const WorkPoint& point) { return point.jacobians > 0; });
    };
    const bool implicitMethods =
        std::any_of(sweep.implicitFixed.begin(), sweep.implicitFixed.end(), tookJacobians);
    const bool rosenbrock = tookJacobians(sweep.stiffLibrary);
    if (implicitMethods || rosenbrock) {
        notes.push_back(costsNote(sweep.components, implicitMethods, rosenbrock));
    }
    const double measurable = sweep.fixedSteps.measurableError;
    for (const WorkSeries& series : sweep.implicitFixed) {
        if (const auto note = countsNote(series, measurable)) notes.push_back(*note);
    }
    if (const auto note = countsNote(sweep.stiffLibrary, measurable)) notes.push_back(*note);
    notes.push_back(advantageNote(sweep));
    return notes;
}

}  // namespace pelorin
