// Adaptive steps from the embedded estimates of Fehlberg's and Merson's
// pairs: the step-size controller, a run that records every attempted step,
// a sweep of tolerances beside the fixed-step runs, explicit and implicit,
// and a library's controlled Dormand-Prince and Rosenbrock steppers as peers
// on that sweep. A run steps one equation or a system alike.
#pragma once

#include "base/lab_reading.h"
#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/convergence.h"
#include "numerics/solution_paths.h"
#include "numerics/stiff_work.h"

#include <array>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// What the estimate is compared with: the step's error as it is, or per unit
// of x (divided by |h|), which holds the error gathered over a range, not per
// step, to the tolerance.
enum class ErrorMeasure { perStep, perUnitStep };

// Which tolerances one value (the Tolerance box, a tolerance of the sweep)
// sets: both, so that a step is held to tol·(1 + |y|), or one of them with
// the other 0, so that a step is held to tol, or to tol·|y|.
enum class ToleranceParts { absoluteAndRelative, absoluteOnly, relativeOnly };

// The elementary step-size controller of Hairer, Nørsett and Wanner (Solving
// Ordinary Differential Equations I, section II.4, as in their codes). A step
// is held to sc = atol + rtol·max(|y0|, |y1|); err = |estimate|/sc (per unit
// step |estimate|/(|h|·sc)) and the step is accepted when err ≤ 1. Either way
// the next h = h·min(facmax, max(facmin, fac·(1/err)^(1/(q+1)))), q the order
// of the pair's lower-order solution (per unit step 1/q: err then shrinks
// like h^q); right after a rejection facmax is 1.
struct ControllerSettings {
    double absoluteTolerance = 1e-6;  // atol
    double relativeTolerance = 1e-6;  // rtol
    double safety = 0.9;              // fac: aim a little below the tolerance
    double largestGrowth = 5;         // facmax
    double smallestShrink = 0.2;      // facmin
    ErrorMeasure measure = ErrorMeasure::perStep;
    ToleranceParts parts = ToleranceParts::absoluteAndRelative;  // what withTolerance sets
    long maxAttempts = 100000;        // accepted and rejected steps together
};

// One rounding is 1.1E-16 of a number's size, and a step has several: no
// step is held to less than this part of the solution's size.
inline constexpr double smallestRelativeTolerance = 1e-14;

// The largest limit on a run's attempts: ten million attempts of six
// stages take a second or more.
inline constexpr long largestAttemptLimit = 10'000'000;

// A run stops when the controller asks for a step below this part of the
// range |x1 - x0|.
inline constexpr double smallestStepFraction = 1e-12;

// The settings a run uses and what was said about them. A value no run can
// use (not a number, negative, both tolerances zero, a safety factor outside
// (0, 1], growth and shrink limits the wrong way round, a limit of attempts
// outside 1 ... largestAttemptLimit) is refused in words; a relative
// tolerance below smallestRelativeTolerance is raised to it with a note.
struct SettingsCheck {
    std::optional<ControllerSettings> used;  // none when a value is refused
    std::vector<std::string> notes;          // every refusal and every change
};
SettingsCheck checkSettings(const ControllerSettings& settings);

// The Tolerance box read strictly: a positive number, or why not, e.g.
//   "abc" is not a number
//   a tolerance of 0 cannot be met, for every estimate holds rounding: type
//   a positive number such as 1E-6
// A tolerance below smallestRelativeTolerance is read; checkSettings says
// what is used instead.
LabNumber readTolerance(std::string_view text);

// The settings with the tolerances their parts name set to one value and
// the other, if any, to 0, as the Tolerance box and the sweep set them.
ControllerSettings withTolerance(ControllerSettings settings, double tolerance);

// The tolerance one step from y0 to y1 is held against; a system's holds
// each component to its own.
template <class State>
struct StepToleranceOf {
    State value{};        // sc, at least smallestRelativeTolerance·max(|y0|, |y1|)
    bool raised = false;  // atol + rtol·max(|y0|, |y1|) was below that (in any component)
};
using StepTolerance = StepToleranceOf<double>;
StepTolerance stepTolerance(const ControllerSettings& settings, double y0, double y1);
StepToleranceOf<StateVector> stepTolerance(const ControllerSettings& settings,
                                           const StateVector& y0, const StateVector& y1);

// err: the estimate's size against the tolerance (per unit step also against
// |h|); 0 for a zero estimate, infinite for a nonzero one against a zero
// tolerance.
double errorRatio(const ControllerSettings& settings, double estimate, double tolerance, double h);
// A system's err is Hairer's scaled root mean square over its n components,
// err = sqrt((1/n)·Σ_k (e_k/sc_k)²), each e_k/sc_k the err of component k
// alone: one component far off its tolerance cannot hide behind the others,
// and a system of one component gives |e|/sc to the bit.
double errorRatio(const ControllerSettings& settings, const StateVector& estimate,
                  const StateVector& tolerance, double h);

// The next step size after a step of h with ratio err; afterRejection when
// the step with this err followed a rejected attempt.
double nextStepSize(const ControllerSettings& settings, int lowerOrder, double h, double ratio,
                    bool afterRejection);

// Whether the method carries an embedded error estimate, the one a controller
// needs: an embedded pair's tableau. A multistep method has no tableau.
inline bool carriesEstimate(const Method& method) {
    return hasTableau(method) && tableauOf(method)->hasErrorEstimate();
}

// Why a multistep method's steps stay fixed on the Adaptive page, in words:
// its weights assume equally spaced past points.
std::string fixedMultistepNote(const Method& method);

// q: the order of the lower-order solution of an embedded pair, the one its
// estimate measures (Fehlberg 4, Merson 3), one below the method's order.
int estimateOrder(const Method& method);



// One attempted step from (x, y0) with h; State is a number for one
// equation, the components for a system.
template <class State>
struct AdaptiveStepOf {
    double x = 0, h = 0;
    State y0{}, y1{};
    State estimate{};   // Σ e_j k_j
    State tolerance{};  // sc, each component's
    double ratio = 0;   // err; the step is accepted when err ≤ 1
    bool accepted = false;
    // With an exact solution: the same step from the exact value at x minus
    // the exact value at x + h (local), and y1 minus the exact value at
    // x + h (global); empty without one or where a value is not finite.
    std::optional<State> localError, globalError;
    // The known solution's estimated accuracy at x + h: true errors below
    // its measurableFloor are a reference's own, not the method's; 0
    // against an exact solution.
    double measurableError = 0;
};
using AdaptiveStep = AdaptiveStepOf<double>;

enum class AdaptiveEnd {
    reachedEnd,
    noEstimate,    // the method has no embedded estimate
    refused,       // the settings or the inputs cannot make a run
    stepLimit,     // ControllerSettings::maxAttempts attempts
    smallestStep,  // h below the smallest step, or too small to move x
    notFinite,     // a step gave a value too large to calculate with
};

template <class State>
struct AdaptiveRunOf {
    const Method* method = nullptr;
    std::vector<AdaptiveStepOf<State>> attempts;  // in the order they were tried
    long slopeEvaluations = 0;                    // every call of f the method made
    long accepted = 0, rejected = 0;
    double x = 0;  // the last accepted point: x1 when the run reached it
    State y{};
    AdaptiveEnd end = AdaptiveEnd::refused;
    // ||y - y(x1)|| (maximum norm) when the run reached x1 and y(x1) is known
    std::optional<double> errorAtEnd;
    // The accuracy of the known solution the true errors are measured
    // against relative to max(1, ||y||): a reference's, 0 for an exact
    // solution. At x1 it makes measurableError, below whose measurableFloor
    // the error there is the reference's, not the method's.
    double referenceAccuracy = 0;
    double measurableError = 0;
    std::string why;                   // why the run did not reach x1; empty when it did
    std::vector<std::string> notes;    // what the run did and what it cannot show, in words
};
using AdaptiveRun = AdaptiveRunOf<double>;

// Steps y' = f(x, y), y(x0) = y0 to x1 with an embedded pair's own tableau,
// stage by stage as the rest of the lab steps it, the first step h0 long
// (in the direction of x1). Each step carries on with the pair's higher-order
// solution, as the fixed-step method does (local extrapolation), and the last
// one is shortened to land on x1 exactly. exact, when given, measures each
// attempt's true errors; its evaluations are not counted. referenceAccuracy
// is its estimated accuracy relative to max(1, ||y||) where it is a
// reference: no error below what it can measure is stated as the method's.
AdaptiveRun adaptiveRun(const Method& method, Slope f, double x0, double y0, double x1,
                        double h0, const ControllerSettings& settings,
                        const KnownSolution& exact = {}, double referenceAccuracy = 0);
// The same on a system y' = F(x, y), err in the scaled norm above.
AdaptiveRunOf<StateVector> adaptiveRun(const Method& method, SlopeOf<StateVector> F, double x0,
                              const StateVector& y0, double x1, double h0,
                              const ControllerSettings& settings,
                              const KnownStateOf<StateVector>& exact = {},
                              double referenceAccuracy = 0);

// The points the run accepted, from its start on; the last is x1 exactly,
// where the last step lands, when the run reached it.
template <class State>
struct AcceptedPointsOf {
    std::vector<double> x;
    std::vector<State> y;
};
using AcceptedPoints = AcceptedPointsOf<double>;
AcceptedPoints acceptedPoints(const AdaptiveRun& run);
AcceptedPointsOf<StateVector> acceptedPoints(const AdaptiveRunOf<StateVector>& run);

// The attempts' |h| against the x each starts from, the accepted apart from
// the rejected, in the order they were tried.
struct StepSizes {
    std::vector<double> acceptedX, acceptedH, rejectedX, rejectedH;
};
StepSizes stepSizes(const AdaptiveRun& run);
StepSizes stepSizes(const AdaptiveRunOf<StateVector>& run);

// How the true local error compares with the estimate over the accepted
// steps where both are known, the estimate is not zero and the local error
// is more than a few roundings of y and no less than what the reference, if
// any, can measure: the ratio |local error|/|estimate|
// (a system's in the maximum norm), below 1 where the estimate overstates
// the error.
struct EstimateQuality {
    std::size_t steps = 0;
    double lowest = 0, median = 0, highest = 0;
    // Accepted steps left out for a local error of a few roundings, or
    // below what the reference can measure.
    std::size_t unmeasurable = 0;
};
std::optional<EstimateQuality> estimateQuality(const AdaptiveRun& run);
std::optional<EstimateQuality> estimateQuality(const AdaptiveRunOf<StateVector>& run);

// The quality in words, e.g. "Over 10 accepted steps the true local error
// was between 6.18E-02 and 1.66E-01 times the estimate (median 1.31E-01): on
// this problem the estimate overstated the error on every step.", and how
// many more steps lie below what can be measured.
std::string estimateQualityNote(const EstimateQuality& quality);

// The tolerances of the sweep: 1E-2, 1E-3, ..., 1E-12.
inline constexpr std::array<double, 11> sweepTolerances{
    1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9, 1e-10, 1e-11, 1e-12};

// One run of the sweep: its cost and the error it reached at x1 (empty when
// it stopped before x1 or the error is not finite). An explicit run has no
// Jacobians and solves no linear systems.
struct WorkPoint {
    double tolerance = 0;       // 0 for a fixed-step run
    long slopeEvaluations = 0;  // every call of f, a Jacobian's included
    std::optional<double> error;
    long jacobians = 0, factorizations = 0, solves = 0;
    long steps = 0;  // N of a fixed-step run
    long accepted = 0, rejected = 0;  // a run that adapts its steps: its attempts
};

struct WorkSeries {
    std::string caption;
    const Method* method = nullptr;  // none for the library's steppers
    std::vector<WorkPoint> points;   // one per tolerance of the sweep
};

// Boost.Odeint's controlled Dormand-Prince 5(4) stepper, as a peer.
inline constexpr std::string_view libraryCaption = "Dormand-Prince 5(4), Boost.Odeint (library)";

// The library's run on the same problem: its own controller with its own
// error norm (atol + rtol·(|y0| + |h·f(x0, y0)|)), slope evaluations counted
// as ours are. At most maxEvaluations are made.
struct LibraryRun {
    std::optional<double> y;  // at x1; empty when the run stopped
    long slopeEvaluations = 0;
    long steps = 0;    // accepted
    std::string note;  // why the run stopped; empty when it reached x1
};
LibraryRun libraryDormandPrince(Slope f, double x0, double y0, double x1, double h0,
                                double absoluteTolerance, double relativeTolerance,
                                long maxEvaluations);

// The error at x1 against the slope evaluations spent: the embedded pairs
// and the library's steppers over sweepTolerances (both tolerances set to
// each, as the tolerance's parts say), the fixed-step runs of the catalogue
// with N = 2^0 ... 2^doublings steps, the Convergence page's study, whose
// implicit methods' runs, counted as they are spent, are set beside them. A
// stop requested through `stop` ends the sweep before its next run,
// incomplete.
struct WorkPrecision {
    std::vector<WorkSeries> adaptive;  // the embedded pairs, in catalogue order
    WorkSeries library;                // Dormand-Prince, single equations only
    ConvergenceStudy fixedSteps;
    std::vector<WorkSeries> implicitFixed;  // the implicit methods, in catalogue order
    // The multistep methods, each step one slope evaluation and, for an
    // implicit one, Newton's.
    std::vector<WorkSeries> multistepFixed;
    WorkSeries stiffLibrary;                // rosenbrock4
    std::size_t components = 1;             // n, which a Jacobian's cost depends on
    std::vector<std::string> notes;
};
// A system's errors at x1 are in the maximum norm, and its sweep has no
// library Dormand-Prince series, which the sweep runs on single equations
// only.
template <class State>
WorkPrecision workPrecision(const ConvergenceProblemOf<State>& problem, double h0,
                            const ControllerSettings& settings, int doublings,
                            std::stop_token stop = {});

// Why a system's sweep has no library series.
std::string librarySingleEquationsNote();

}  // namespace pelorin
