#include "numerics/convergence.h"

#include "base/number_text.h"
#include "base/words.h"
#include "methods/exact_solution.h"
#include "numerics/method_properties.h"
#include "numerics/jacobian.h"
#include "numerics/method_run.h"
#include "numerics/order_notes.h"
#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "numerics/stability.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace pelorin {

namespace {

// Errors above this, relative to the size of the solution, are the
// method's; only below it can a stalled error be blamed on rounding.
constexpr double roundingScale = 1e-9;

// A system's errors component by component; one equation's is the norm alone.
void keepComponentErrors(ConvergencePoint&, double) {}
void keepComponentErrors(ConvergencePoint& point, const StateVector& difference) {
    point.componentErrors = difference;
    for (std::size_t k = 0; k < difference.size(); ++k) {
        point.componentErrors[k] = std::fabs(difference[k]);
    }
}

// The error at x1 of the run with point.steps steps and what the run spent;
// no error when the run grew too large, or when an implicit step had no
// value, which the sentence returned says.
template <class State>
std::optional<std::string> measureError(ConvergencePoint& point, const Method& method,
                                        const ConvergenceProblemOf<State>& problem) {
    RunWork work;
    std::optional<std::string> failure;
    try {
        const auto difference = runToEnd(method, problem, point.steps, &work) - problem.exactAtEnd;
        keepComponentErrors(point, difference);
        const double error = stateNorm(difference);
        if (std::isfinite(error)) point.error = error;
    } catch (const NoConvergence& noValue) {
        failure = noValue.what();
    }
    // What the run spent, with a value or without.
    point.slopeEvaluations = work.slopeEvaluations;
    point.jacobianEvaluations = work.newton.jacobianEvaluations;
    point.linearSolves = work.newton.linearSolves;
    return failure;
}

// The first run from which no later run halves its error, confirmed by at
// least two later runs and small enough to be rounding. A run of starting
// values alone (N at most `startOnly`) shows the start's error, not the
// formula's, and an error of 0 has no half to fall to: neither begins a floor.
std::optional<std::size_t> roundingFloor(const std::vector<ConvergencePoint>& points,
                                         long startOnly, double solutionSize) {
    for (std::size_t i = 0; i + 2 < points.size(); ++i) {
        if (points[i].steps <= startOnly || !points[i].error || *points[i].error == 0 ||
            *points[i].error > roundingScale * solutionSize) {
            continue;
        }
        const bool stalled = std::all_of(points.begin() + static_cast<long>(i) + 1, points.end(),
                                         [&](const ConvergencePoint& later) {
                                             return !later.error ||
                                                    *later.error > *points[i].error / 2;
                                         });
        if (stalled) return i;
    }
    return std::nullopt;
}

// The floor's errors as measured: every one a run past the floor has.
std::vector<double> floorErrors(const ConvergenceSeries& series) {
    std::vector<double> errors;
    for (std::size_t i = *series.floor; i < series.points.size(); ++i) {
        if (series.points[i].error) errors.push_back(*series.points[i].error);
    }
    return errors;
}

FloorCause floorCause(const ConvergenceSeries& series, double measurableError) {
    const std::vector<double> errors = floorErrors(series);
    const bool measurable = std::any_of(errors.begin(), errors.end(), [&](double error) {
        return !belowMeasurable(error, measurableError);
    });
    return measurableError > 0 && !errors.empty() && !measurable ? FloorCause::reference
                                                                 : FloorCause::rounding;
}

std::string stepsText(const ConvergencePoint& point) {
    return "N = 2^" + std::to_string(std::lround(std::log2(static_cast<double>(point.steps)))) +
           " (" + stepText(point.h) + ")";
}

// Whether rounding, not the method, may decide this error: it lies within
// roundingMargin·√N rounding units of the solution's size.
bool roundingDecides(const ConvergencePoint& point, double solutionSize) {
    const double unit = std::numeric_limits<double>::epsilon() * solutionSize;
    return point.error &&
           *point.error < roundingMargin * std::sqrt(static_cast<double>(point.steps)) * unit;
}

// An order as the table shows it, in hundredths, so that whether two orders
// agree within settledSpread can be checked on the table itself.
long shownHundredths(double order) {
    const std::string shown = fixedText(order, 2);
    double value = 0;
    std::from_chars(shown.data(), shown.data() + shown.size(), value);
    return std::lround(value * 100);
}

bool agreeAsShown(double a, double b) {
    return std::labs(shownHundredths(a) - shownHundredths(b)) <= std::lround(settledSpread * 100);
}

void readOrders(ConvergenceSeries& series, double solutionSize, double measurableError) {
    auto& points = series.points;
    const auto unmeasurable = [&](const ConvergencePoint& point) {
        return point.error && belowMeasurable(*point.error, measurableError);
    };
    std::vector<bool> rounding(points.size(), false);
    // The orders the method decides, in the order of the runs.
    std::vector<std::size_t> own;
    for (std::size_t i = 1; i < points.size(); ++i) {
        rounding[i] = (series.floor && i > *series.floor) ||
                      roundingDecides(points[i], solutionSize) ||
                      roundingDecides(points[i - 1], solutionSize) ||
                      unmeasurable(points[i]) || unmeasurable(points[i - 1]);
        if (!rounding[i] && points[i].order) own.push_back(i);
    }
    // The column's own order is its last one that rounding does not decide,
    // once the order before it agrees: one order alone shows no settling.
    std::optional<double> ownOrder;
    if (own.size() >= 2 &&
        agreeAsShown(*points[own[own.size() - 2]].order, *points[own.back()].order)) {
        ownOrder = *points[own.back()].order;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (rounding[i]) {
            points[i].reading = unmeasurable(points[i]) || unmeasurable(points[i - 1])
                                    ? OrderReading::reference
                                    : OrderReading::rounding;
        } else {
            const bool settled =
                ownOrder && points[i].order && agreeAsShown(*points[i].order, *ownOrder);
            points[i].reading = settled ? OrderReading::settled : OrderReading::preAsymptotic;
        }
    }
}

// Errors a plot cannot tell apart (1 %), compared wherever the method, not
// rounding, decides both.
bool sameErrors(const ConvergenceSeries& a, const ConvergenceSeries& b, double solutionSize) {
    int compared = 0;
    for (std::size_t i = 0; i < a.points.size() && i < b.points.size(); ++i) {
        const ConvergencePoint& p = a.points[i];
        const ConvergencePoint& q = b.points[i];
        if (!p.error || !q.error || roundingDecides(p, solutionSize) ||
            roundingDecides(q, solutionSize)) {
            continue;
        }
        if (!sameOnLogAxis(*p.error, *q.error)) return false;
        ++compared;
    }
    return compared > 0;
}

std::string floorText(const ConvergenceSeries& series, double measurableError) {
    const std::vector<double> errors = floorErrors(series);
    const auto [low, high] = std::minmax_element(errors.begin(), errors.end());
    const std::string lowest = errorText(*low), highest = errorText(*high);
    const std::string stops = "from " + stepsText(series.points[*series.floor]) +
                              " on the error stops falling and stays " +
                              (lowest == highest ? "at " + lowest
                                                 : "between " + lowest + " and " + highest) +
                              ". ";
    if (series.floorCause == FloorCause::reference) {
        return stops + "There they lie below " + errorText(measurableFloor(measurableError)) +
               ", ten times the reference's estimated accuracy of " + errorText(measurableError) +
               ", where the reference cannot tell the method's error from its own: the floor may "
               "be the reference's or rounding's, and only a more accurate reference would tell.";
    }
    return stops + "There rounding, not the method, decides the error: smaller steps only add "
                   "more roundings.";
}


}  // namespace

ConvergenceProblem lessonProblem(double x0, double y0, double x1) {
    return {x0, y0, x1, f1, ExactSolution(x0, y0)(x1)};
}

template <class State>
State runToEnd(const Method& method, const ConvergenceProblemOf<State>& problem, long steps,
               RunWork* work) {
    RunWork unwanted;
    RunWork& spent = work ? *work : unwanted;
    // Every call counted, a Jacobian's difference quotients among them.
    const auto counting = [&](double x, StateArgument<State> y) {
        ++spent.slopeEvaluations;
        return problem.f(x, y);
    };
    const SlopeOf<State> f = SlopeOf<State>(counting).withSplit(problem.f.splitReading());
    const double h = (problem.x1 - problem.x0) / static_cast<double>(steps);
    MethodRun<State> run(method, f, problem.x0, h, problem.start, &spent.newton);
    State y = problem.y0;
    for (long i = 0; i < steps; ++i) y = run.step(i, y);
    return y;
}

template double runToEnd(const Method&, const ConvergenceProblem&, long, RunWork*);
template StateVector runToEnd(const Method&, const ConvergenceProblemOf<StateVector>&, long,
                              RunWork*);

double observedOrder(double coarseError, double fineError) {
    return std::log2(coarseError / fineError);
}

namespace {

// What the range means for the study, or nothing when it is ordinary.
template <class State>
std::optional<std::string> rangeNote(const ConvergenceProblemOf<State>& problem, double width) {
    if (!std::isfinite(width)) {
        return "x0 and x1 are too far apart to divide into steps: no run is possible. Move them "
               "closer together.";
    }
    if (!isFiniteState(problem.exactAtEnd)) {
        return "The exact solution is too large to calculate at x1, so no error can be "
               "measured. Choose a shorter range or other starting values.";
    }
    if (width == 0) {
        return "x1 equals x0: there is nothing to step over, every method is exact and no order "
               "can be observed. Choose an x1 different from x0.";
    }
    if (width < 0) {
        return "x1 is below x0: the methods step backwards with a negative h; the error is "
               "measured at x1 all the same.";
    }
    return std::nullopt;
}

// The size rounding is measured against: max(1, |y0|, |y(x1)|), for a
// system in the maximum norm.
template <class State>
double solutionSizeOf(const ConvergenceProblemOf<State>& problem) {
    return std::max({1.0, stateNorm(problem.y0),
                     isFiniteState(problem.exactAtEnd) ? stateNorm(problem.exactAtEnd) : 0.0});
}

// The runs of a method left out of its series: those that grew too large to
// calculate with, and those with a step that had no value (the first one's
// sentence kept).
struct LeftOut {
    int overflowed = 0, noValue = 0;
    std::string firstNoValue;
};

// One method's runs with N = 2^0 ... 2^runs steps, each with its error at x1
// when `measurable` and its order observed against the run before. Returns
// the runs left out; none when a stop was requested before the last run.
template <class State>
std::optional<LeftOut> runMethod(ConvergenceSeries& series, const Method& method,
                                 const ConvergenceProblemOf<State>& problem, int runs,
                                 bool measurable, const std::stop_token& stop) {
    const double width = problem.x1 - problem.x0;
    LeftOut left;
    for (int k = 0; k <= runs; ++k) {
        if (stop.stop_requested()) return std::nullopt;
        ConvergencePoint point;
        point.steps = 1L << k;
        point.h = width / static_cast<double>(point.steps);
        if (measurable) {
            if (const auto failure = measureError(point, method, problem)) {
                point.noValue = *failure;
                if (left.noValue++ == 0)
                    left.firstNoValue = "N = " + std::to_string(point.steps) + ": " + *failure;
            } else if (!point.error) {
                ++left.overflowed;
            }
        }
        if (!series.points.empty()) {
            const auto& coarse = series.points.back().error;
            if (coarse && point.error && *coarse > 0 && *point.error > 0) {
                point.order = observedOrder(*coarse, *point.error);
            }
        }
        series.points.push_back(point);
    }
    return left;
}

std::string implicitRunsNote() {
    return "The implicit methods' runs stop at N = 2^" + std::to_string(implicitDoublings) + " (" +
           std::to_string(1L << implicitDoublings) +
           " steps): each of their steps solves its stage equations by Newton's method, and their "
           "orders show well before.";
}

std::string overflowNote(const Method& method, int overflowed) {
    return std::string(method.caption) + ": " + std::to_string(overflowed) +
           (overflowed == 1 ? " run grew" : " runs grew") + " too large to calculate with and " +
           (overflowed == 1 ? "is" : "are") + " left out.";
}

std::string noValueNote(const Method& method, const LeftOut& left) {
    return std::string(method.caption) + ": " + std::to_string(left.noValue) +
           (left.noValue == 1 ? " run has a step" : " runs have a step") +
           " without a value and " + (left.noValue == 1 ? "is" : "are") + " left out; the first, " +
           left.firstNoValue;
}

// Whether an implicit method shows an order: only then do its shorter
// sweep's orders "show well before".
bool anyImplicitOrder(const ConvergenceStudy& study) {
    return std::any_of(study.series.begin(), study.series.end(), [](const ConvergenceSeries& s) {
        return s.method && isImplicit(*s.method) &&
               std::any_of(s.points.begin(), s.points.end(),
                           [](const ConvergencePoint& point) { return point.order.has_value(); });
    });
}

// Whether every run of the series reached x1 with an error of exactly 0.
bool exactEverywhere(const ConvergenceSeries& series) {
    const auto measured = [](const ConvergencePoint& point) { return point.error.has_value(); };
    const auto exactOrUnmeasured = [](const ConvergencePoint& point) {
        return !point.error || *point.error == 0;
    };
    return std::any_of(series.points.begin(), series.points.end(), measured) &&
           std::all_of(series.points.begin(), series.points.end(), exactOrUnmeasured);
}

// The methods every run of which is exact: they have neither an order nor a
// point on the logarithmic plot, and the notes say so by name.
std::optional<std::string> exactRunsNote(const ConvergenceStudy& study) {
    std::vector<std::string_view> exact;
    bool inexact = false;
    for (const ConvergenceSeries& series : study.series) {
        if (!series.method || series.points.empty()) continue;
        if (exactEverywhere(series)) exact.push_back(series.method->caption);
        else inexact = true;
    }
    if (exact.empty()) return std::nullopt;
    // Said of the runs, not of the methods: another method may be exact too
    // and show rounding's errors alone.
    if (!inexact) {
        return "Every run of every method here reaches x1 with an error of exactly 0, so none "
               "has an order to read or a point on the plot, whose logarithmic axis has no place "
               "for 0.";
    }
    return "Every run of " + listedInWords(exact) + " reaches x1 with an error of exactly 0, so " +
           (exact.size() == 1 ? "it has" : "they have") + " no order to read and no point on the "
           "plot, whose logarithmic axis has no place for 0.";
}

// What the study says across the methods: how orders are read when any was
// bracketed, and which series hide under a later one on the plot.
void compareSeries(ConvergenceStudy& study, double solutionSize) {
    const bool anyBracketed =
        std::any_of(study.series.begin(), study.series.end(), [](const ConvergenceSeries& series) {
            return std::any_of(series.points.begin(), series.points.end(),
                               [](const ConvergencePoint& point) {
                                   return point.order && point.reading != OrderReading::settled;
                               });
        });
    if (anyBracketed) study.notes.push_back(orderBracketsNote());
    const auto over = hiddenUnder(study.series.size(), [&](std::size_t row, std::size_t later) {
        return sameErrors(study.series[row], study.series[later], solutionSize);
    });
    for (std::size_t row = 0; row < study.series.size(); ++row)
        study.series[row].coveredBy = over[row];
}

// How stiff the problem is where the runs begin, for the note on order
// reduction.
Stiffness stiffnessAtStart(const ConvergenceProblem& problem) {
    return {std::fabs(slopeDerivative(problem.f, problem.x0, problem.y0).lambda), false};
}
Stiffness stiffnessAtStart(const ConvergenceProblemOf<StateVector>& problem) {
    double largest = 0;
    for (const auto& lambda : eigenvalues(jacobian(problem.f, problem.x0, problem.y0).value)) {
        largest = std::max(largest, std::abs(lambda));
    }
    return {largest, problem.y0.size() > 1};
}

}  // namespace

template <class State>
ConvergenceStudy studyConvergence(const ConvergenceProblemOf<State>& problem, int doublings,
                                  std::stop_token stop, const StudiedMethods& studied) {
    ConvergenceStudy study;
    study.doublings = std::clamp(doublings, 0, maxDoublings);
    const double width = problem.x1 - problem.x0;
    const bool measurable = std::isfinite(problem.x0) && isFiniteState(problem.y0) &&
                            std::isfinite(width) && isFiniteState(problem.exactAtEnd);
    if (const auto note = rangeNote(problem, width)) study.notes.push_back(*note);
    const double size = solutionSizeOf(problem);
    study.solutionSize = size;
    study.measurableError = problem.measurableError;
    // A step of infinite size is not a point of any plot.
    const int runs = std::isfinite(width) ? study.doublings : -1;
    std::vector<std::string> notApplying;
    for (std::size_t row = 0; row < labCatalogue().size(); ++row) {
        if (!studied[row]) continue;
        const Method& method = methodAt(row, problem.typed);
        ConvergenceSeries& series = study.series[row];
        series.method = &method;
        if (!appliesTo(method, problem.f)) {
            series.applies = false;
            notApplying.emplace_back(method.caption);
            continue;
        }
        const int methodRuns = isImplicit(method) ? std::min(runs, implicitDoublings) : runs;
        const std::optional<LeftOut> left =
            runMethod(series, method, problem, methodRuns, measurable, stop);
        if (!left) return study;
        if (measurable && left->overflowed > 0) {
            study.notes.push_back(overflowNote(method, left->overflowed));
        }
        if (left->noValue > 0) study.notes.push_back(noValueNote(method, *left));
        series.floor = roundingFloor(series.points, startingSteps(method), size);
        if (series.floor) series.floorCause = floorCause(series, problem.measurableError);
        readOrders(series, size, problem.measurableError);
        if (series.floor) {
            study.notes.push_back(std::string(method.caption) + ": " +
                                  floorText(series, problem.measurableError));
        }
    }
    if (runs > implicitDoublings && anyImplicitOrder(study)) {
        study.notes.push_back(implicitRunsNote());
    }
    // With x1 = x0 the range's note says every method is exact already.
    if (width != 0) {
        if (const auto note = exactRunsNote(study)) study.notes.push_back(*note);
    }
    if (measurable) {
        study.stiffness = stiffnessAtStart(problem);
        for (std::string& note : orderNotes(study)) study.notes.push_back(std::move(note));
    }
    if (!notApplying.empty()) {
        study.doesNotApply = doesNotApplyNote(notApplying, problem.f.whyNoSplit());
        study.notes.push_back(study.doesNotApply);
    }
    compareSeries(study, size);
    return study;
}

template ConvergenceStudy studyConvergence(const ConvergenceProblem&, int, std::stop_token,
                                           const StudiedMethods&);
template ConvergenceStudy studyConvergence(const ConvergenceProblemOf<StateVector>&, int,
                                           std::stop_token, const StudiedMethods&);

ConvergenceStudy componentConvergence(const ConvergenceStudy& study, std::size_t k) {
    ConvergenceStudy component = study;
    component.notes.clear();
    for (ConvergenceSeries& series : component.series) {
        std::optional<double> coarse;
        int overflowed = 0;  // runs made, with a value, whose component did not stay finite
        for (ConvergencePoint& point : series.points) {
            if (point.slopeEvaluations > 0 && point.noValue.empty() &&
                k < point.componentErrors.size() && !std::isfinite(point.componentErrors[k])) {
                ++overflowed;
            }
            point.error.reset();
            point.order.reset();
            point.reading = OrderReading::settled;
            if (k < point.componentErrors.size() && std::isfinite(point.componentErrors[k])) {
                point.error = point.componentErrors[k];
            }
            if (coarse && point.error && *coarse > 0 && *point.error > 0) {
                point.order = observedOrder(*coarse, *point.error);
            }
            coarse = point.error;
        }
        if (!series.method) continue;
        if (overflowed > 0) component.notes.push_back(overflowNote(*series.method, overflowed));
        series.floor =
            roundingFloor(series.points, startingSteps(*series.method), study.solutionSize);
        series.floorCause = FloorCause::rounding;
        if (series.floor) series.floorCause = floorCause(series, study.measurableError);
        readOrders(series, study.solutionSize, study.measurableError);
        if (series.floor) {
            component.notes.push_back(std::string(series.method->caption) + ": " +
                                      floorText(series, study.measurableError));
        }
    }
    for (std::string& note : orderNotes(component)) component.notes.push_back(std::move(note));
    if (!study.doesNotApply.empty()) component.notes.push_back(study.doesNotApply);
    compareSeries(component, study.solutionSize);
    return component;
}

bool measuredAndNonzero(const ConvergencePoint& point) {
    return point.error && *point.error > 0 && point.h != 0;
}

std::optional<FloorLevel> floorLevel(const ConvergenceStudy& study) {
    std::optional<FloorLevel> level;
    for (const ConvergenceSeries& series : study.series) {
        if (!series.floor) continue;
        if (!level) level = FloorLevel{};
        for (const double error : floorErrors(series)) level->level = std::max(level->level, error);
        if (series.floorCause == FloorCause::reference) level->cause = FloorCause::reference;
    }
    // The notes read a floor against what the reference can measure: the
    // line stands where they say.
    if (level && level->cause == FloorCause::reference) {
        level->level = measurableFloor(study.measurableError);
    }
    return level;
}

std::string floorLevelName(const FloorLevel& level) {
    // The reference's line stands at measurableFloor, ten times its accuracy;
    // its longer name takes two lines, as wide as the legend's other entries.
    return std::string(level.cause == FloorCause::reference
                           ? "ten times the reference's accuracy:\n"
                           : "rounding floor: ") +
           "errors below " + errorText(level.level);
}

std::optional<ErrorRange> errorRange(const ConvergenceStudy& study, ShownPoint shown) {
    std::optional<ErrorRange> range;
    for (const ConvergenceSeries& series : study.series) {
        for (const ConvergencePoint& point : series.points) {
            if (!shown(point)) continue;
            const double error = *point.error;
            range =
                range ? ErrorRange{std::min(range->lowest, error), std::max(range->highest, error)}
                      : ErrorRange{error, error};
        }
    }
    return range;
}

double errorCeiling(const ConvergenceStudy& study) {
    return blownUpError * std::max(1.0, study.solutionSize);
}

std::string aboveCeilingNote(const ConvergenceStudy& study, ShownPoint shown) {
    const double ceiling = errorCeiling(study);
    std::string methods;
    for (const ConvergenceSeries& series : study.series) {
        const bool above = std::any_of(
            series.points.begin(), series.points.end(),
            [&](const ConvergencePoint& point) { return shown(point) && *point.error > ceiling; });
        if (!above || !series.method) continue;
        methods += (methods.empty() ? "" : ", ") + std::string(series.method->caption);
    }
    if (methods.empty()) return {};
    return "Errors above " + errorText(ceiling) + " run off the top of the plot (" + methods +
           "): those runs blew up; the Orders table lists every one.";
}

double plotAbscissa(const ConvergencePoint& point, bool againstEvaluations) {
    return againstEvaluations ? static_cast<double>(point.slopeEvaluations) : std::fabs(point.h);
}

std::optional<Segment> referenceLine(const ConvergenceStudy& study, int order,
                                     bool againstEvaluations, ShownPoint shown) {
    const auto range = errorRange(study, shown);
    const auto source = std::find_if(study.series.begin(), study.series.end(),
                                     [&](const ConvergenceSeries& series) {
                                         return series.method && orderOf(*series.method) == order &&
                                                !series.points.empty() &&
                                                shown(series.points.front());
                                     });
    if (!range || source == study.series.end()) return std::nullopt;
    // A decade below the first error, so that the line runs beside the curve.
    constexpr double below = 0.1;
    const ConvergencePoint& first = source->points.front();
    const double x0 = plotAbscissa(first, againstEvaluations);
    const double y0 = *first.error * below;
    const double slope = againstEvaluations ? -order : order;
    const double last = plotAbscissa(source->points.back(), againstEvaluations);
    const double x1 = std::clamp(x0 * std::pow(range->lowest / y0, 1 / slope), std::min(x0, last),
                                 std::max(x0, last));
    const double y1 = y0 * std::pow(x1 / x0, slope);
    if (!std::isfinite(x1) || !std::isfinite(y1) || y1 <= 0 || x1 == x0) return std::nullopt;
    return Segment{x0, y0, x1, y1};
}

std::string orderBracketsNote() {
    return "An order in brackets, in italics, is not the method's own: rounding (an error within "
           "about " +
           std::to_string(std::lround(roundingMargin)) +
           "\u00b7\u221aN rounding units) decides it or the reference cannot measure it, or it "
           "lies more than " +
           fixedText(settledSpread, 1) +
           " from the column's last order that neither decides, as shown, or that last order "
           "is not yet within " +
           fixedText(settledSpread, 1) + " of the one before it.";
}

std::string stepText(double h) { return "h = " + errorText(h); }

std::string unmeasurableErrorText(double measurableError) {
    return "below what the reference can measure, about " +
           errorText(measurableFloor(measurableError));
}

}  // namespace pelorin
