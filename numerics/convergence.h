// How fast each method's global error at x1 falls as the step shrinks: runs
// of N = 1, 2, 4, ... steps of h = (x1 - x0)/N, the observed order between
// successive steps, and the rounding floor where the error stops falling.
#pragma once

#include "methods/methods.h"
#include "numerics/implicit_step.h"
#include "numerics/method_run.h"
#include "run/segment.h"

#include <array>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace pelorin {

// y' = f(x, y), y(x0) = y0, solved up to x1, whose value there is known:
// one equation (State double) or a system (StateVector), whose errors are
// measured in the maximum norm (maximumNormNote), the largest of the
// components' errors; a system of one component gives the bits of the same
// equation alone.
template <class State>
struct ConvergenceProblemOf {
    double x0 = 0;
    State y0{};
    double x1 = 0;
    SlopeOf<State> f;
    State exactAtEnd{};  // y(x1), or a reference value for it
    // The reference value's estimated accuracy where there is no exact
    // solution, else 0: errors below its measurableFloor cannot be measured.
    double measurableError = 0;
    // Where the multistep methods take their first values from, and the
    // methods the catalogue's own entries stand for (their own defaults
    // where none is given).
    StartOf<State> start{};
    TypedMethods typed{};
};
using ConvergenceProblem = ConvergenceProblemOf<double>;

// The program's equation, with the exact solution through (x0, y0).
ConvergenceProblem lessonProblem(double x0, double y0, double x1);

// What decides an observed order: the method itself (settled), steps still
// too large for it (pre-asymptotic), rounding (either error is within
// roundingMargin·√N rounding units of the solution's size, where rounding
// may move the order by more than about 0.05, or the run is past the
// rounding floor), or the reference (either error lies below ten times what
// the problem can measure). Of the orders neither rounding nor the reference
// decides, the last is the method's own once the one before it agrees with
// it within settledSpread, as the table shows them (two decimals); then every
// such order within settledSpread of it is settled, each judged on its own,
// and the others are pre-asymptotic. The same rule reads every method's
// orders; orderBracketsNote() states it.
enum class OrderReading { settled, preAsymptotic, rounding, reference };
inline constexpr double settledSpread = 0.1;
inline constexpr double roundingMargin = 64;

struct ConvergencePoint {
    long steps = 0;             // N
    double h = 0;               // (x1 - x0)/N
    // Every call of the slope the run made, counted as it ran (none where no
    // run was made): stages · N for an explicit method, and for an implicit
    // one also its Newton iterations' residuals and the difference quotients
    // of their Jacobians.
    long slopeEvaluations = 0;
    // |y_N - y(x1)|, for a system in the maximum norm; empty when the run or
    // the error overflowed.
    std::optional<double> error;
    // A system's |y_N,k - y_k(x1)|, component by component (not finite where
    // the run overflowed); no components for one equation.
    StateVector componentErrors;
    // log2 of the error ratio to the run with half as many steps; empty for
    // the first run and wherever either error is missing or zero.
    std::optional<double> order;
    OrderReading reading = OrderReading::settled;  // of the order, where there is one
    // An implicit method's run: the Jacobians its Newton iterations took and
    // the linear systems they solved; none for an explicit method.
    long jacobianEvaluations = 0;
    long linearSolves = 0;
    // Why the run has no error: the sentence of its step without a value
    // (Newton's method did not converge); empty for every other run.
    std::string noValue{};
};

// What stops an error from falling. Against a reference it is the
// reference's own error when every error of the floor lies below ten times
// its estimated accuracy, the level below which the orders are read as the
// reference's too; otherwise, and always against an exact solution, it is
// rounding.
enum class FloorCause { rounding, reference };

// The smallest error a reference of estimated accuracy `measurableError`
// (0 against an exact solution) can tell from its own: ten times that
// accuracy. Below it an error measures the reference, not the method.
inline constexpr double measurableMargin = 10;
inline double measurableFloor(double measurableError) { return measurableMargin * measurableError; }
inline bool belowMeasurable(double error, double measurableError) {
    return error < measurableFloor(measurableError);
}
// Such an error in words: "below what the reference can measure, about
// 1.19E-08".
std::string unmeasurableErrorText(double measurableError);

struct ConvergenceSeries {
    const Method* method = nullptr;
    bool applies = true;  // false: a partitioned method on a problem that does not split, never run
    // N = 2^0 ... 2^doublings; none when x1 - x0 is beyond a double.
    std::vector<ConvergencePoint> points;
    // The run from which on the error stops falling: rounding or the
    // reference, not the method, decides it there (floorCause says which).
    // Empty when the error falls to the end.
    std::optional<std::size_t> floor;
    FloorCause floorCause = FloorCause::rounding;
    // A later row whose errors are the same as these wherever the method,
    // not rounding, decides them: its curve, drawn later, hides this one.
    std::optional<std::size_t> coveredBy;
};

// How stiff a problem is at its start: |λ| for λ = ∂f/∂y of one equation,
// the largest |λ| of the eigenvalues of ∂F/∂y of a system.
struct Stiffness {
    double size = 0;
    bool system = false;
};

struct ConvergenceStudy {
    int doublings = 0;
    // What the rules read the errors against: the size rounding is measured
    // against, and the smallest error the reference can measure.
    double solutionSize = 1, measurableError = 0;
    Stiffness stiffness;
    PerMethod<ConvergenceSeries> series;  // the lab's catalogue order
    std::vector<std::string> notes;  // what the plot and the table cannot say
    // Which methods do not apply to the problem, and why; empty when all do.
    std::string doesNotApply;
    // A system's study read on each component's errors alone, for a page
    // that shows them on request; none for one equation.
    std::vector<ConvergenceStudy> components;
};

// The value after `steps` steps of h = (x1 - x0)/steps from x0. Each step
// starts at x_i = x0 + i·h computed afresh, so no rounding gathers in a sum
// of steps; the last step ends at x0 + steps·h, which may differ from x1 in
// the last bits, and the error is measured against y(x1). An implicit step
// without a value throws NoConvergence. What the run spends is added to
// `work` where given.
struct RunWork {
    long slopeEvaluations = 0;
    NewtonWork newton;
};
template <class State>
State runToEnd(const Method& method, const ConvergenceProblemOf<State>& problem, long steps,
               RunWork* work = nullptr);

// log2(coarse/fine): the order the two errors show for a halved step.
double observedOrder(double coarseError, double fineError);

// Which points a plot shows; every measured nonzero error when none is given.
using ShownPoint = bool (*)(const ConvergencePoint& point);
bool measuredAndNonzero(const ConvergencePoint& point);

// The largest error at or past any method's floor, the level below which
// errors come from rounding; where any method's floor is the reference's
// (its offset is every method's), the level below which the reference
// cannot measure an error (measurableFloor). Empty when no method reaches
// its floor.
struct FloorLevel {
    double level = 0;
    FloorCause cause = FloorCause::rounding;
};
std::optional<FloorLevel> floorLevel(const ConvergenceStudy& study);

// The plot's name for that level: "rounding floor: errors below 5.10E-14",
// "ten times the reference's accuracy:\nerrors below 5.10E-14" (two lines).
std::string floorLevelName(const FloorLevel& level);

// The smallest and largest error of the study's shown points.
struct ErrorRange {
    double lowest = 0, highest = 0;
};
std::optional<ErrorRange> errorRange(const ConvergenceStudy& study,
                                     ShownPoint shown = measuredAndNonzero);

// Errors above this many times the solution's size belong to runs that blew
// up (a method not zero-stable, or steps too large for stability): a plot's
// view stops there, so that the converging runs stay readable.
inline constexpr double blownUpError = 1e3;
double errorCeiling(const ConvergenceStudy& study);
// The methods whose errors reach above the ceiling, in a sentence; empty
// when none does.
std::string aboveCeilingNote(const ConvergenceStudy& study, ShownPoint shown = measuredAndNonzero);

// The abscissa a point is plotted at: |h|, or the slope evaluations spent.
double plotAbscissa(const ConvergencePoint& point, bool againstEvaluations);

// A reference line error ∝ h^order (or ∝ evaluations^-order), starting a
// decade below the first error of the first method of that order and ending
// at the study's lowest error or at that method's last abscissa. Empty when
// no method of that order has a first error to copy.
std::optional<Segment> referenceLine(const ConvergenceStudy& study, int order,
                                     bool againstEvaluations,
                                     ShownPoint shown = measuredAndNonzero);

// The rule by which a table marks, in brackets, every order that is not
// settled: one sentence for the page, its tooltips and the handout.
std::string orderBracketsNote();

// "h = 4.88E-04" for a step, as the notes name the plot's abscissa.
std::string stepText(double h);

// Beyond a million steps a run only measures rounding, and slowly.
inline constexpr int maxDoublings = 20;
// An implicit method's step solves its stage equations by Newton's method,
// tens of slope evaluations with its Jacobians: its runs stop at
// N = 2^implicitDoublings, where its order has long shown and a study of a
// typed system still takes seconds, not a minute.
inline constexpr int implicitDoublings = 12;

// Every studied method of the lab's catalogue with N = 2^0 ... 2^doublings
// steps (doublings clamped to 0 ... maxDoublings); the others' series keep
// no method, and the notes speak of the studied ones alone. A stop
// requested through `stop` ends the study before its next run: what it
// returns then is incomplete and only fit to be dropped.
// The rules read the errors in the maximum norm, and the size rounding is
// measured against is max(1, ||y0||, ||y(x1)||) in that norm.
template <class State>
ConvergenceStudy studyConvergence(const ConvergenceProblemOf<State>& problem, int doublings,
                                  std::stop_token stop = {},
                                  const StudiedMethods& studied = everyMethod());

// A system's study read on the errors of component k alone (0-based): the
// same runs, with the orders, floor, readings and hidden curves the same
// rules give for those errors. Its notes are the floors' and the brackets'.
ConvergenceStudy componentConvergence(const ConvergenceStudy& study, std::size_t k);

}  // namespace pelorin
