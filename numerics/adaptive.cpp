#include "numerics/adaptive.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "numerics/method_properties.h"
#include "numerics/odeint.h"
#include "numerics/stage_step.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace pelorin {

namespace {

// A slope that counts its calls: every evaluation a run pays for.
template <class State>
class CountingSlope {
public:
    CountingSlope(SlopeOf<State> f, long& count) : f_(f), count_(count) {}

    State operator()(double x, StateArgument<State> y) const {
        ++count_;
        return f_(x, y);
    }

private:
    SlopeOf<State> f_;
    long& count_;
};

std::string ordinal(int order) {
    static constexpr std::array<std::string_view, 7> names{
        "zeroth", "first", "second", "third", "fourth", "fifth", "sixth"};
    return order >= 0 && order < static_cast<int>(names.size()) ? std::string(names[order])
                                                                 : std::to_string(order) + "th";
}

std::string pairCaptions() {
    std::vector<std::string_view> captions;
    for (const Method& method : labCatalogue()) {
        if (carriesEstimate(method)) captions.push_back(method.caption);
    }
    return listedInWords(captions);
}

// Why a tolerance cannot be used, or nothing; `name` leads the sentence.
std::optional<std::string> toleranceRefusal(const std::string& name, double value) {
    if (std::isnan(value)) return name + " is not a number: type a positive number such as 1E-6.";
    if (std::isinf(value)) return name + " is infinite: type a positive number such as 1E-6.";
    if (value < 0) {
        return name + " " + errorText(value) +
               " is negative: a tolerance is a size, type a positive number such as 1E-6.";
    }
    return std::nullopt;
}

std::string raisedToleranceNote(double value) {
    return "The relative tolerance " + errorText(value) +
           " is below what rounding in double precision lets a step reach (one rounding alone "
           "is 1.1E-16 of a number's size, and a step has several): " +
           errorText(smallestRelativeTolerance) + " is used instead.";
}

std::string methodNote(const Method& method) {
    const int q = estimateOrder(method);
    return std::string(method.caption) + " carries on with its " + ordinal(orderOf(method)) +
           "-order solution, as the fixed-step method does, while its estimate measures the "
           "error of the pair's " + ordinal(q) + "-order solution (local extrapolation). The "
           "controller sizes each step for the " + ordinal(q) + "-order solution (exponent 1/" +
           std::to_string(q + 1) + "), so the solution kept is usually more accurate than the "
           "estimate says.";
}

template <class State>
std::string countsNote(const AdaptiveRunOf<State>& run, double x1) {
    const std::string where = run.end == AdaptiveEnd::reachedEnd
                                  ? "Reached x1 = " + numberToText(x1)
                                  : "Up to x = " + numberToText(run.x);
    return where + ": " + countText(run.accepted, "step", "steps") + " accepted and " +
           countText(run.rejected, "attempt", "attempts") + " rejected, " +
           countText(run.slopeEvaluations, "slope evaluation", "slope evaluations") + " (" +
           std::to_string(tableauOf(*run.method)->stages) + " per attempt).";
}

template <class State>
void stop(AdaptiveRunOf<State>& run, AdaptiveEnd end, const std::string& why) {
    run.end = end;
    run.why = why;
    run.notes.push_back(why);
}

template <class State>
std::optional<State> finiteOrNone(const State& value) {
    return isFiniteState(value) ? std::optional<State>(value) : std::nullopt;
}

// A reference's estimated accuracy where its value is `known`, from its
// accuracy relative to max(1, ||y||).
template <class State>
double measurableAt(double referenceAccuracy, const State& known) {
    return referenceAccuracy * std::max(1.0, stateNorm(known));
}

// The errors of an attempt against the exact solution; its own evaluations
// are not the method's and are not counted.
template <class State>
void measure(AdaptiveStepOf<State>& step, const Method& method, SlopeOf<State> f,
             const KnownStateOf<State>& exact, double referenceAccuracy) {
    const State atStart = exact(step.x);
    const State atEnd = exact(step.x + step.h);
    if (!isFiniteState(atStart) || !isFiniteState(atEnd)) return;
    step.measurableError = measurableAt(referenceAccuracy, atEnd);
    const State fromExact = stepByStages(*tableauOf(method), step.x, atStart, step.h, f).y1;
    step.localError = finiteOrNone(fromExact - atEnd);
    step.globalError = finiteOrNone(step.y1 - atEnd);
}

// A system's error at x1 is in the maximum norm, and so is its tolerance's
// size there.
template <class State>
std::string achievedNote(const AdaptiveRunOf<State>& run, const ControllerSettings& settings,
                         const State& exactAtEnd) {
    const double tolerance =
        settings.absoluteTolerance + settings.relativeTolerance * stateNorm(exactAtEnd);
    std::string note = "At x1 the error is ";
    if (belowMeasurable(*run.errorAtEnd, run.measurableError)) {
        // Its ratio to the tolerance would be the reference's.
        note += unmeasurableErrorText(run.measurableError) + "; the tolerance there is " +
                errorText(tolerance) + ".";
    } else {
        const double ratio = *run.errorAtEnd / tolerance;
        note += errorText(*run.errorAtEnd) + ", ";
        note += std::isfinite(ratio) ? errorText(ratio) + " times" : "far above";
        note += " the tolerance there (" + errorText(tolerance) + ").";
    }
    note += " The controller holds each step's estimate to the tolerance; it does not bound "
            "the error at x1, where the errors of all steps have gathered, so a tolerance is "
            "not a guarantee.";
    return note;
}

// Local errors up to this many rounding units are rounding, not the method's.
constexpr double roundingUnits = 4;

}  // namespace

SettingsCheck checkSettings(const ControllerSettings& settings) {
    SettingsCheck check;
    ControllerSettings used = settings;
    bool refused = false;
    const auto refuse = [&](std::string why) {
        check.notes.push_back(std::move(why));
        refused = true;
    };
    const auto absolute = toleranceRefusal("The absolute tolerance", settings.absoluteTolerance);
    const auto relative = toleranceRefusal("The relative tolerance", settings.relativeTolerance);
    if (absolute) refuse(*absolute);
    if (relative) refuse(*relative);
    if (!absolute && !relative) {
        if (settings.absoluteTolerance == 0 && settings.relativeTolerance == 0) {
            refuse("The tolerance is 0, absolute and relative: no step can meet it, for every "
                   "estimate holds rounding. Type a positive tolerance such as 1E-6.");
        } else if (settings.relativeTolerance > 0 &&
                   settings.relativeTolerance < smallestRelativeTolerance) {
            check.notes.push_back(raisedToleranceNote(settings.relativeTolerance));
            used.relativeTolerance = smallestRelativeTolerance;
        }
    }
    if (!(settings.safety > 0 && settings.safety <= 1)) {
        refuse("The safety factor " + errorText(settings.safety) +
               " is not in (0, 1]: it aims each step a little below the tolerance, so that "
               "fewer steps are rejected; 0.9 is usual.");
    }
    if (!(settings.smallestShrink < settings.largestGrowth)) {
        refuse("The smallest factor h may shrink by (" + errorText(settings.smallestShrink) +
               ") must be below the largest it may grow by (" +
               errorText(settings.largestGrowth) + "); 0.2 and 5 are usual.");
    } else {
        if (!(settings.smallestShrink > 0 && settings.smallestShrink < 1)) {
            refuse("The smallest factor h may shrink by (" + errorText(settings.smallestShrink) +
                   ") must lie between 0 and 1, or a rejected step would not be retried "
                   "shorter; 0.2 is usual.");
        }
        if (!(settings.largestGrowth > 1 && std::isfinite(settings.largestGrowth))) {
            refuse("The largest factor h may grow by (" + errorText(settings.largestGrowth) +
                   ") must be a number above 1, or h could never grow; 5 is usual.");
        }
    }
    if (settings.maxAttempts < 1) {
        refuse("At most " + std::to_string(settings.maxAttempts) +
               " attempted steps leaves no step to take; 100000 is usual.");
    } else if (settings.maxAttempts > largestAttemptLimit) {
        refuse("At most " + std::to_string(settings.maxAttempts) +
               " attempted steps could keep a run going for minutes; the limit may be at most " +
               std::to_string(largestAttemptLimit) + ", and 100000 is usual.");
    }
    if (!refused) check.used = used;
    return check;
}

LabNumber readTolerance(std::string_view text) {
    LabNumber number = readLabNumber(text);
    if (!number.value) return number;
    const double value = *number.value;
    if (value < 0) {
        return {std::nullopt, "a tolerance is a size, it cannot be negative: type a positive "
                              "number such as 1E-6"};
    }
    if (value == 0) {
        return {std::nullopt, "a tolerance of 0 cannot be met, for every estimate holds "
                              "rounding: type a positive number such as 1E-6"};
    }
    return number;
}

ControllerSettings withTolerance(ControllerSettings settings, double tolerance) {
    settings.absoluteTolerance = settings.parts == ToleranceParts::relativeOnly ? 0 : tolerance;
    settings.relativeTolerance = settings.parts == ToleranceParts::absoluteOnly ? 0 : tolerance;
    return settings;
}

StepTolerance stepTolerance(const ControllerSettings& settings, double y0, double y1) {
    const double size = std::max(std::fabs(y0), std::fabs(y1));
    const double asked = settings.absoluteTolerance + settings.relativeTolerance * size;
    const double least = smallestRelativeTolerance * size;
    return asked < least ? StepTolerance{least, true} : StepTolerance{asked, false};
}

StepToleranceOf<StateVector> stepTolerance(const ControllerSettings& settings,
                                           const StateVector& y0, const StateVector& y1) {
    StepToleranceOf<StateVector> tolerance{StateVector(y0.size()), false};
    for (std::size_t k = 0; k < y0.size(); ++k) {
        const StepTolerance component = stepTolerance(settings, y0[k], y1[k]);
        tolerance.value[k] = component.value;
        tolerance.raised = tolerance.raised || component.raised;
    }
    return tolerance;
}

double errorRatio(const ControllerSettings& settings, double estimate, double tolerance, double h) {
    const double size = std::fabs(estimate);
    if (size == 0) return 0;
    const double against =
        settings.measure == ErrorMeasure::perUnitStep ? std::fabs(h) * tolerance : tolerance;
    if (against == 0) return std::numeric_limits<double>::infinity();
    return size / against;
}

double errorRatio(const ControllerSettings& settings, const StateVector& estimate,
                  const StateVector& tolerance, double h) {
    StateVector ratios(estimate.size());
    double largest = 0;
    for (std::size_t k = 0; k < estimate.size(); ++k) {
        ratios[k] = errorRatio(settings, estimate[k], tolerance[k], h);
        largest = std::max(largest, ratios[k]);
    }
    if (largest == 0 || !std::isfinite(largest)) return largest;
    // The squares are of the ratios over the largest, so that none
    // overflows, and one component's err is largest·sqrt(1/1), itself.
    double squares = 0;
    for (double ratio : ratios) {
        const double scaled = ratio / largest;
        squares += scaled * scaled;
    }
    return largest * std::sqrt(squares / static_cast<double>(ratios.size()));
}

double nextStepSize(const ControllerSettings& settings, int lowerOrder, double h, double ratio,
                    bool afterRejection) {
    // The estimate shrinks like h^(q+1) per step and like h^q per unit step:
    // the power that would bring err to 1 in one step.
    const int power = settings.measure == ErrorMeasure::perStep ? lowerOrder + 1 : lowerOrder;
    const double aimed = settings.safety * std::pow(1 / ratio, 1.0 / power);
    const double largest = afterRejection ? 1.0 : settings.largestGrowth;
    return h * std::min(largest, std::max(settings.smallestShrink, aimed));
}

int estimateOrder(const Method& method) { return orderOf(method) - 1; }

std::string fixedMultistepNote(const Method& method) {
    return std::string(method.caption) + " is a multistep method, and the controller does not "
           "run it: its steps stay fixed, as on the Convergence page. Changing h is harder for "
           "a multistep method than for a one-step method: its weights assume the past points "
           "equally spaced, h apart, so after a change of h the formula needs new weights for "
           "the uneven spacing, or the past values interpolated at the new spacing, before it "
           "applies again. " + pairCaptions() + " carry an estimate: choose either to see the "
           "controller at work.";
}

namespace {

// A run stops when the controller asks for a step below this.
double smallestStep(double x0, double x1) { return smallestStepFraction * std::fabs(x1 - x0); }

// Checks the method, the settings and the inputs, saying in the run's notes
// what a run cannot use, and returns the settings the steps use: none when
// the run ends before its first step (refused, or x1 equal to x0).
template <class State>
std::optional<ControllerSettings> startRun(AdaptiveRunOf<State>& run, const Method& method,
                                           double x0, const State& y0, double x1, double h0,
                                           const ControllerSettings& settings,
                                           const KnownStateOf<State>& exact) {
    if (isMultistep(method)) {
        stop(run, AdaptiveEnd::noEstimate, fixedMultistepNote(method));
        return std::nullopt;
    }
    if (!carriesEstimate(method)) {
        stop(run, AdaptiveEnd::noEstimate,
             std::string(method.caption) + " has no embedded error estimate, so it cannot "
             "choose its own steps. " + pairCaptions() + " carry one: choose either.");
        return std::nullopt;
    }
    const SettingsCheck check = checkSettings(settings);
    run.notes = check.notes;
    if (!check.used) {
        run.end = AdaptiveEnd::refused;
        run.why = check.notes.front();
        return std::nullopt;
    }
    const double width = x1 - x0;
    if (!std::isfinite(x0) || !isFiniteState(y0) || !std::isfinite(x1)) {
        stop(run, AdaptiveEnd::refused, "x0, y0 and x1 must be numbers a run can calculate with.");
        return std::nullopt;
    }
    if (!std::isfinite(width)) {
        stop(run, AdaptiveEnd::refused, "x0 and x1 are too far apart to step between: the "
                                        "range is beyond a double. Move them closer together.");
        return std::nullopt;
    }
    if (width == 0) {
        run.end = AdaptiveEnd::reachedEnd;
        run.notes.push_back("x1 equals x0: there is nothing to step over.");
        if (exact) run.errorAtEnd = finiteOrNone(stateNorm(y0 - exact(x1)));
        return std::nullopt;
    }
    const double smallest = smallestStep(x0, x1);
    if (!std::isfinite(h0) || std::fabs(h0) < smallest) {
        stop(run, AdaptiveEnd::refused,
             "The first step h = " + errorText(h0) + " is not a step a run can start with: "
             "it must be a number of at least " + errorText(smallest) + " (" +
             errorText(smallestStepFraction) + " of the range).");
        return std::nullopt;
    }
    return check.used;
}

// One attempt from the run's last accepted point with h, and, when its
// values are finite, the controller's verdict on it.
template <class State>
struct Attempt {
    AdaptiveStepOf<State> step;
    bool finite = false;
    bool toleranceRaised = false;
};

template <class State>
Attempt<State> attempt(const AdaptiveRunOf<State>& run, SlopeOf<State> slope, double h,
                       const ControllerSettings& settings) {
    const StageStepOf<State> stages = stepByStages(*tableauOf(*run.method), run.x, run.y, h, slope);
    Attempt<State> tried;
    tried.step.x = run.x;
    tried.step.h = h;
    tried.step.y0 = run.y;
    tried.step.y1 = stages.y1;
    tried.step.estimate = stages.estimate;
    tried.finite = isFiniteState(stages.y1) && isFiniteState(stages.estimate);
    if (!tried.finite) return tried;
    const StepToleranceOf<State> tolerance = stepTolerance(settings, run.y, stages.y1);
    tried.step.tolerance = tolerance.value;
    tried.step.ratio = errorRatio(settings, stages.estimate, tolerance.value, h);
    tried.step.accepted = tried.step.ratio <= 1;
    tried.toleranceRaised = tolerance.raised;
    return tried;
}

template <class State>
std::string stepLimitNote(const AdaptiveRunOf<State>& run, long maxAttempts, double h) {
    return "Stopped at x = " + numberToText(run.x) + " after " +
           countText(maxAttempts, "attempted step", "attempted steps") +
           ", the most a run may take, with h = " + errorText(h) +
           ". If the problem is stiff, stability, not accuracy, keeps an explicit method's "
           "steps small, whatever the tolerance.";
}

template <class State>
std::string notMovingNote(const AdaptiveRunOf<State>& run, double h) {
    return "A step of h = " + errorText(h) + " no longer moves x = " + numberToText(run.x) +
           " in double precision.";
}

template <class State>
std::string notFiniteNote(const AdaptiveRunOf<State>& run, double h) {
    return "The step from (" + numberToText(run.x) + ", " + stateText(run.y) + ") with h = " +
           errorText(h) + " gave a value too large to calculate with: the run stops there.";
}

template <class State>
std::string belowSmallestNote(const AdaptiveRunOf<State>& run, double h, double smallest) {
    return "The controller asked for h = " + errorText(h) + " at x = " + numberToText(run.x) +
           ", below the smallest step a run takes (" + errorText(smallest) + ", " +
           errorText(smallestStepFraction) + " of the range). No step meets the tolerance "
           "here: the solution may grow without bound near this x, or the slope may jump.";
}

// The step loop, from x0 to x1 with a first step of h0: attempts until one
// lands on x1 or the run stops. Returns how many accepted steps had their
// tolerance raised.
template <class State>
long stepToEnd(AdaptiveRunOf<State>& run, SlopeOf<State> f, double x0, double x1, double h0,
               const ControllerSettings& settings, const KnownStateOf<State>& exact) {
    const Method& method = *run.method;
    const double smallest = smallestStep(x0, x1);
    const double direction = x1 - x0 > 0 ? 1 : -1;
    const int q = estimateOrder(method);
    const CountingSlope<State> counting(f, run.slopeEvaluations);
    double h = direction * std::min(std::fabs(h0), std::fabs(x1 - x0));
    long raised = 0;
    bool afterRejection = false;
    for (;;) {
        if (static_cast<long>(run.attempts.size()) >= settings.maxAttempts) {
            stop(run, AdaptiveEnd::stepLimit, stepLimitNote(run, settings.maxAttempts, h));
            return raised;
        }
        // As in Hairer's codes: a step that would end within a hundredth of h
        // before x1, or past it, is stretched or shortened to land on x1.
        const bool landing = (run.x + 1.01 * h - x1) * direction >= 0;
        if (landing) h = x1 - run.x;
        if (run.x + h == run.x) {
            stop(run, AdaptiveEnd::smallestStep, notMovingNote(run, h));
            return raised;
        }
        Attempt<State> tried = attempt(run, SlopeOf<State>(counting), h, settings);
        if (!tried.finite) {
            run.attempts.push_back(tried.step);
            stop(run, AdaptiveEnd::notFinite, notFiniteNote(run, h));
            return raised;
        }
        if (exact) measure(tried.step, method, f, exact, run.referenceAccuracy);
        run.attempts.push_back(tried.step);
        const double next = nextStepSize(settings, q, h, tried.step.ratio, afterRejection);
        if (tried.step.accepted) {
            ++run.accepted;
            if (tried.toleranceRaised) ++raised;
            run.x = landing ? x1 : run.x + h;
            // Local extrapolation: the run carries on with y0 + Σ b_j k_j,
            // the pair's higher-order solution, as the fixed-step method
            // does, though the estimate measures the lower-order one.
            run.y = tried.step.y1;
            if (landing) {
                run.end = AdaptiveEnd::reachedEnd;
                return raised;
            }
        } else {
            ++run.rejected;
        }
        afterRejection = !tried.step.accepted;
        h = next;
        if (std::fabs(h) < smallest) {
            stop(run, AdaptiveEnd::smallestStep, belowSmallestNote(run, h, smallest));
            return raised;
        }
    }
}

// What the run did, in words, after its last step.
template <class State>
void closingNotes(AdaptiveRunOf<State>& run, const ControllerSettings& settings, double x1,
                  long raised, const KnownStateOf<State>& exact) {
    run.notes.push_back(countsNote(run, x1));
    if (raised > 0) {
        run.notes.push_back("On " + countText(raised, "step", "steps") +
                            " the tolerance was raised to " +
                            errorText(smallestRelativeTolerance) +
                            " of the solution's size, the least that rounding lets a step reach.");
    }
    if (run.end == AdaptiveEnd::reachedEnd && exact) {
        const State exactAtEnd = exact(x1);
        run.errorAtEnd = finiteOrNone(stateNorm(run.y - exactAtEnd));
        run.measurableError = measurableAt(run.referenceAccuracy, exactAtEnd);
        if (run.errorAtEnd) run.notes.push_back(achievedNote(run, settings, exactAtEnd));
    }
    if (const auto quality = estimateQuality(run)) {
        run.notes.push_back(estimateQualityNote(*quality));
    }
}

template <class State>
AdaptiveRunOf<State> runOf(const Method& method, SlopeOf<State> f, double x0, const State& y0,
                           double x1, double h0, const ControllerSettings& settings,
                           const KnownStateOf<State>& exact, double referenceAccuracy) {
    AdaptiveRunOf<State> run;
    run.method = &method;
    run.referenceAccuracy = referenceAccuracy;
    run.x = x0;
    run.y = y0;
    const std::optional<ControllerSettings> used =
        startRun(run, method, x0, y0, x1, h0, settings, exact);
    if (!used) return run;
    run.notes.push_back(methodNote(method));
    const long raised = stepToEnd(run, f, x0, x1, h0, *used, exact);
    closingNotes(run, *used, x1, raised, exact);
    return run;
}

template <class State>
AcceptedPointsOf<State> acceptedOf(const AdaptiveRunOf<State>& run) {
    AcceptedPointsOf<State> points;
    if (run.attempts.empty()) return points;
    points.x.push_back(run.attempts.front().x);
    points.y.push_back(run.attempts.front().y0);
    for (const AdaptiveStepOf<State>& step : run.attempts) {
        if (!step.accepted) continue;
        points.x.push_back(step.x + step.h);
        points.y.push_back(step.y1);
    }
    if (run.end == AdaptiveEnd::reachedEnd && points.x.size() > 1) points.x.back() = run.x;
    return points;
}

template <class State>
StepSizes sizesOf(const AdaptiveRunOf<State>& run) {
    StepSizes sizes;
    for (const AdaptiveStepOf<State>& step : run.attempts) {
        (step.accepted ? sizes.acceptedX : sizes.rejectedX).push_back(step.x);
        (step.accepted ? sizes.acceptedH : sizes.rejectedH).push_back(std::fabs(step.h));
    }
    return sizes;
}

template <class State>
std::optional<EstimateQuality> qualityOf(const AdaptiveRunOf<State>& run) {
    std::vector<double> ratios;
    std::size_t unmeasurable = 0;
    for (const AdaptiveStepOf<State>& step : run.attempts) {
        if (!step.accepted || !step.localError || stateNorm(step.estimate) == 0) continue;
        // A local error of a few roundings says nothing about the estimate,
        // nor does one the reference cannot measure.
        const double rounding = std::numeric_limits<double>::epsilon() *
                                std::max(stateNorm(step.y0), stateNorm(step.y1));
        if (stateNorm(*step.localError) <= roundingUnits * rounding ||
            belowMeasurable(stateNorm(*step.localError), step.measurableError)) {
            ++unmeasurable;
            continue;
        }
        const double ratio = stateNorm(*step.localError) / stateNorm(step.estimate);
        if (std::isfinite(ratio)) ratios.push_back(ratio);
    }
    if (ratios.empty()) return std::nullopt;
    std::sort(ratios.begin(), ratios.end());
    const std::size_t n = ratios.size();
    const double median = n % 2 == 1 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    return EstimateQuality{n, ratios.front(), median, ratios.back(), unmeasurable};
}

}  // namespace

AdaptiveRun adaptiveRun(const Method& method, Slope f, double x0, double y0, double x1,
                        double h0, const ControllerSettings& settings, const KnownSolution& exact,
                        double referenceAccuracy) {
    return runOf(method, f, x0, y0, x1, h0, settings, exact, referenceAccuracy);
}

AdaptiveRunOf<StateVector> adaptiveRun(const Method& method, SlopeOf<StateVector> F, double x0,
                              const StateVector& y0, double x1, double h0,
                              const ControllerSettings& settings,
                              const KnownStateOf<StateVector>& exact, double referenceAccuracy) {
    return runOf(method, F, x0, y0, x1, h0, settings, exact, referenceAccuracy);
}

AcceptedPoints acceptedPoints(const AdaptiveRun& run) { return acceptedOf(run); }
AcceptedPointsOf<StateVector> acceptedPoints(const AdaptiveRunOf<StateVector>& run) {
    return acceptedOf(run);
}

StepSizes stepSizes(const AdaptiveRun& run) { return sizesOf(run); }
StepSizes stepSizes(const AdaptiveRunOf<StateVector>& run) { return sizesOf(run); }

std::optional<EstimateQuality> estimateQuality(const AdaptiveRun& run) { return qualityOf(run); }
std::optional<EstimateQuality> estimateQuality(const AdaptiveRunOf<StateVector>& run) {
    return qualityOf(run);
}

namespace {

// "between 6.18E-02 and 1.66E-01 times the estimate (median 1.31E-01)", or
// where the three read alike, as after one step, the one factor.
std::string spreadText(const EstimateQuality& quality) {
    const std::string lowest = errorText(quality.lowest), highest = errorText(quality.highest);
    if (lowest == highest) return lowest + " times the estimate";
    return "between " + lowest + " and " + highest + " times the estimate (median " +
           errorText(quality.median) + ")";
}

}  // namespace

std::string estimateQualityNote(const EstimateQuality& quality) {
    std::string note = "Over " + countText(static_cast<long>(quality.steps), "accepted step",
                                           "accepted steps") +
                       " the true local error was " + spreadText(quality) + ": ";
    if (quality.highest <= 1) {
        note += "on this problem the estimate overstated the error on every step.";
    } else if (quality.lowest > 1) {
        note += "on this problem the estimate understated the error on every step, so the "
                "error kept is larger than the tolerance suggests.";
    } else if (quality.median <= 1) {
        note += "the estimate mostly overstated the error, but understated it on some steps.";
    } else {
        note += "the estimate mostly understated the error, so the error kept is larger than "
                "the tolerance suggests.";
    }
    if (quality.unmeasurable == 1) {
        note += " The local error of 1 more accepted step lies below what can be measured.";
    } else if (quality.unmeasurable > 1) {
        note += " The local errors of " + std::to_string(quality.unmeasurable) +
                " more accepted steps lie below what can be measured.";
    }
    return note;
}

LibraryRun libraryDormandPrince(Slope f, double x0, double y0, double x1, double h0,
                                double absoluteTolerance, double relativeTolerance,
                                long maxEvaluations) {
    LibraryRun run;
    const double width = x1 - x0;
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(width) || !std::isfinite(h0) ||
        h0 == 0) {
        run.note = "The library's stepper needs finite x0, y0, x1 and a first step.";
        return run;
    }
    DormandPrince<double> stepper(f, absoluteTolerance, relativeTolerance, maxEvaluations);
    double y = y0;
    const double dt = width < 0 ? -std::fabs(h0) : std::fabs(h0);
    try {
        run.steps = stepper.integrateAdaptive(y, x0, x1, dt);
        run.y = y;
    } catch (const SlopeStopped& stopped) {
        run.note = stopped.why == SlopeStop::evaluationLimit
                       ? "The library's stepper stopped after " +
                             countText(maxEvaluations, "slope evaluation", "slope evaluations") +
                             ", the most a run may take."
                       : "The library's stepper met a value too large to calculate with.";
    } catch (const std::exception&) {
        run.note = "The library's stepper found no step size that meets the tolerance.";
    }
    run.slopeEvaluations = stepper.evaluations();
    return run;
}

namespace {

// Any setting a run cannot use, other than the tolerances the sweep sets,
// stops every run alike: it is said once, and no run is made.
bool settingsRefused(WorkPrecision& sweep, const ControllerSettings& settings) {
    const SettingsCheck check = checkSettings(withTolerance(settings, sweepTolerances.front()));
    if (!check.used) sweep.notes = check.notes;
    return !check.used;
}

void noteStop(WorkPrecision& sweep, const std::string& caption, double tolerance,
              const std::string& why) {
    sweep.notes.push_back(caption + " with tolerance " + errorText(tolerance) + ": " + why);
}

// Every embedded pair over sweepTolerances, a typed one too, its error at
// x1 in the maximum norm; false when `stop` ended the sweep first.
template <class AtEnd>
bool sweepPairs(WorkPrecision& sweep, const AtEnd& problem, double h0,
                const ControllerSettings& settings, std::stop_token stop) {
    for (std::size_t row = 0; row < labCatalogue().size(); ++row) {
        const Method& method = methodAt(row, problem.typed);
        if (!carriesEstimate(method)) continue;
        WorkSeries series{std::string(method.caption), &method, {}};
        for (double tolerance : sweepTolerances) {
            if (stop.stop_requested()) return false;
            const auto run = adaptiveRun(method, problem.f, problem.x0, problem.y0, problem.x1,
                                         h0, withTolerance(settings, tolerance));
            WorkPoint point{tolerance, run.slopeEvaluations, std::nullopt};
            point.accepted = run.accepted;
            point.rejected = run.rejected;
            if (run.end == AdaptiveEnd::reachedEnd) {
                point.error = finiteOrNone(stateNorm(run.y - problem.exactAtEnd));
            } else {
                noteStop(sweep, series.caption, tolerance, run.why);
            }
            series.points.push_back(point);
        }
        sweep.adaptive.push_back(std::move(series));
    }
    return true;
}

WorkPoint countedPoint(double tolerance, const WorkCounts& counts, std::optional<double> error) {
    return {tolerance, counts.slopeEvaluations, error, counts.jacobians, counts.factorizations,
            counts.solves};
}

// The numbers of steps, each a power of 2, a run of successive doublings
// as its ends: "1", "1 and 2", "1, 2 and 4", "1, 4 to 64 and 256".
std::string stepsListText(const std::vector<long>& steps) {
    std::vector<std::string> parts;
    for (std::size_t first = 0; first < steps.size();) {
        std::size_t last = first;
        while (last + 1 < steps.size() && steps[last + 1] == 2 * steps[last]) ++last;
        if (last - first >= 2) {
            parts.push_back(std::to_string(steps[first]) + " to " + std::to_string(steps[last]));
        } else {
            for (std::size_t i = first; i <= last; ++i) parts.push_back(std::to_string(steps[i]));
        }
        first = last + 1;
    }
    return listedInWords(parts);
}

std::string unconvergedRunsNote(const std::string& caption, const std::vector<long>& steps,
                                const std::string& why) {
    return caption + " with N = " + stepsListText(steps) +
           " fixed steps met a step without a value, so " +
           (steps.size() == 1 ? "that run has" : "those runs have") +
           " no error at x1; with N = " + std::to_string(steps.back()) + ": " + why;
}

// Every implicit method's fixed-step runs as the convergence study ran and
// counted them, with a note for the runs that met a step without a value.
void implicitFromStudy(WorkPrecision& sweep) {
    for (const ConvergenceSeries& fixed : sweep.fixedSteps.series) {
        if (!fixed.method || !(isImplicit(*fixed.method) || isMultistep(*fixed.method))) continue;
        WorkSeries series{std::string(fixed.method->caption), fixed.method, {}};
        std::vector<long> failed;
        std::string why;
        for (const ConvergencePoint& run : fixed.points) {
            // One solve with the LU factors of I - h·A⊗J for every update.
            series.points.push_back({0, run.slopeEvaluations, run.error, run.jacobianEvaluations,
                                     run.linearSolves, run.linearSolves, run.steps});
            if (!run.noValue.empty()) {
                failed.push_back(run.steps);
                why = run.noValue;
            }
        }
        if (!failed.empty())
            sweep.notes.push_back(unconvergedRunsNote(series.caption, failed, why));
        (isMultistep(*fixed.method) ? sweep.multistepFixed : sweep.implicitFixed)
            .push_back(std::move(series));
    }
}

// rosenbrock4 over sweepTolerances, its error at x1 in the maximum norm.
void sweepRosenbrock(WorkPrecision& sweep, const ConvergenceProblemOf<StateVector>& problem,
                     double h0, const ControllerSettings& settings, std::stop_token stop) {
    sweep.stiffLibrary.caption = std::string(rosenbrockCaption);
    for (double tolerance : sweepTolerances) {
        if (stop.stop_requested()) return;
        const ControllerSettings asked = withTolerance(settings, tolerance);
        const RosenbrockRun run =
            libraryRosenbrock(problem.f, problem.x0, problem.y0, problem.x1, h0,
                              asked.absoluteTolerance, asked.relativeTolerance,
                              settings.maxAttempts);
        const auto error =
            run.y ? finiteOrNone(stateNorm(*run.y - problem.exactAtEnd)) : std::nullopt;
        if (!run.y) noteStop(sweep, sweep.stiffLibrary.caption, tolerance, run.note);
        sweep.stiffLibrary.points.push_back(countedPoint(tolerance, run.counts, error));
    }
}

// rosenbrock4 steps one equation as a system of one component.
void sweepRosenbrock(WorkPrecision& sweep, const ConvergenceProblem& problem, double h0,
                     const ControllerSettings& settings, std::stop_token stop) {
    const OneEquationAsSystem slope{problem.f};
    const ConvergenceProblemOf<StateVector> system{
        problem.x0, {problem.y0}, problem.x1, SlopeOf<StateVector>(slope), {problem.exactAtEnd}, 0};
    sweepRosenbrock(sweep, system, h0, settings, stop);
}

// The library's Dormand-Prince stepper over sweepTolerances, beside single
// equations only; false when `stop` ended the sweep first.
bool sweepLibrary(WorkPrecision& sweep, const ConvergenceProblem& problem, double h0,
                  const ControllerSettings& settings, std::stop_token stop) {
    // The library's run may make as many evaluations as ours (the check of
    // the settings keeps the product well within a long).
    const long maxEvaluations = settings.maxAttempts * maxStages;
    sweep.library.caption = std::string(libraryCaption);
    for (double tolerance : sweepTolerances) {
        if (stop.stop_requested()) return false;
        const ControllerSettings asked = withTolerance(settings, tolerance);
        const LibraryRun run =
            libraryDormandPrince(problem.f, problem.x0, problem.y0, problem.x1, h0,
                                 asked.absoluteTolerance, asked.relativeTolerance, maxEvaluations);
        WorkPoint point{tolerance, run.slopeEvaluations, std::nullopt};
        if (run.y) point.error = finiteOrNone(std::fabs(*run.y - problem.exactAtEnd));
        else noteStop(sweep, sweep.library.caption, tolerance, run.note);
        sweep.library.points.push_back(point);
    }
    return true;
}
bool sweepLibrary(WorkPrecision&, const ConvergenceProblemOf<StateVector>&, double,
                  const ControllerSettings&, std::stop_token) {
    return true;
}

// Why a system's sweep has no library series, said last.
void noteLibraryLeftOut(WorkPrecision&, const ConvergenceProblem&) {}
void noteLibraryLeftOut(WorkPrecision& sweep, const ConvergenceProblemOf<StateVector>&) {
    sweep.notes.push_back(librarySingleEquationsNote());
}

}  // namespace

template <class State>
WorkPrecision workPrecision(const ConvergenceProblemOf<State>& problem, double h0,
                            const ControllerSettings& settings, int doublings,
                            std::stop_token stop) {
    WorkPrecision sweep;
    sweep.fixedSteps = studyConvergence(problem, doublings, stop);
    if (settingsRefused(sweep, settings)) return sweep;
    sweep.components = componentsOf(problem.y0);
    if (sweepPairs(sweep, problem, h0, settings, stop) &&
        sweepLibrary(sweep, problem, h0, settings, stop)) {
        implicitFromStudy(sweep);
        sweepRosenbrock(sweep, problem, h0, settings, stop);
    }
    noteLibraryLeftOut(sweep, problem);
    return sweep;
}

template WorkPrecision workPrecision(const ConvergenceProblem&, double, const ControllerSettings&,
                                     int, std::stop_token);
template WorkPrecision workPrecision(const ConvergenceProblemOf<StateVector>&, double,
                                     const ControllerSettings&, int, std::stop_token);

std::string librarySingleEquationsNote() {
    return "The library's Dormand-Prince stepper is set beside single equations only: on a "
           "system the plot shows the embedded pairs, adapting their steps and with fixed "
           "steps, the implicit methods with fixed steps and rosenbrock4, their errors at x1 in "
           "the maximum norm.";
}

}  // namespace pelorin
