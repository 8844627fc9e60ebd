// Solutions to draw over a direction field: a method's steps from (x0, y0)
// towards x1 with h, h/2 and h/4, or every method with the same h, and the
// exact (or a reference) solution sampled densely enough for a smooth curve.
// The runs step one equation or a system alike.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"
#include "numerics/method_run.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// A solution known at every x: the exact one, or a reference computed far
// more accurately than any of the methods; State is a number for one
// equation, all components at once for a system. Empty when there is none.
template <class State>
using KnownStateOf = std::function<State(double x)>;
using KnownSolution = KnownStateOf<double>;

// A solution through the run's start asked for at many abscissae at once
// (a reference is computed for all of them in one run): the states there,
// NaN (a system's every component) where it is not known, as past where a
// reference stopped. Empty when the problem has none.
template <class State>
using SolutionSamplesOf =
    std::function<std::vector<State>(const std::vector<double>& abscissae)>;
using SolutionSamples = SolutionSamplesOf<double>;

// A quantity I(x, y) the solutions of a system keep constant, as an energy
// or Lotka-Volterra's invariant; empty when none is known.
using ConservedQuantity = std::function<double(double x, const StateVector& y)>;

// Where the solution through the start ends: |y| grows without bound as x
// nears `at` from x0's side, and no solution continues past it.
struct SolutionEnd {
    double x0 = 0, at = 0;
    // x lies at the end or beyond it, seen from x0.
    bool past(double x) const { return at >= x0 ? x >= at : x <= at; }
};

// "The solution does not continue past x ≈ 1: |y| grows without bound as x
// nears it." The x rounded to a thousandth of max(1, |x|), then written as
// the list writes numbers: where a solution ends is known only roughly.
std::string solutionEndNote(double at);

// What the notes say of a run or table with points past the end.
std::string pastEndNote(const std::string& what, double at);

// What a page says of the partitioned methods that do not apply to a slope:
// "Symplectic Euler and Störmer-Verlet step positions and momenta apart, and
// this problem's components do not split into them (y2' reads y2): they do
// not apply." `why` as the slope tells it, or empty.
std::string doesNotApplyNote(const std::vector<std::string>& captions, const std::string& why);

// That sentence for one method that cannot step f, or nothing where it can.
template <class State>
std::optional<std::string> doesNotApplyNote(const Method& method, const SlopeOf<State>& f) {
    if (appliesTo(method, f)) return std::nullopt;
    return doesNotApplyNote({std::string(method.caption)}, f.whyNoSplit());
}

// A run of more steps than this draws nothing a plot could show apart.
inline constexpr long maxPathSteps = 1L << 16;

enum class PathEnd {
    reached,     // the last step reached x1 (or passed it, see stepsToReach)
    notFinite,   // a step gave an infinity or NaN; the run stops before it
    noValue,     // an implicit step's Newton iterations did not converge; the run stops before it
    stepLimit,   // x1 is more steps away than the run was allowed to take
    cannotStep,  // h is 0, or an input is not finite: not one step is taken
    doesNotApply,  // a partitioned method on a system that does not split: no point at all
};

// A run of one equation (State = double) or of a system (State = StateVector).
template <class State>
struct PathOf {
    const Method* method = nullptr;
    double h = 0;               // the step taken: |h|, in the direction from x0 to x1
    // The start, then every step: x[i] = x0 + i·h, y[i] the state there.
    std::vector<double> x;
    std::vector<State> y;
    long stepsToEnd = 0;        // the steps that reach x1
    PathEnd end = PathEnd::reached;
    // Why a path that was never run has no steps, set by whoever made it;
    // empty for a run (pathNote says why it stopped).
    std::string note;
    std::string noValueWhy;  // the sentence of a step without a value (PathEnd::noValue)
    // The values after the start that came from the start of a multistep
    // method (y[1] … y[startingValues]); 0 for a one-step method.
    long startingValues = 0;
};
using SolutionPath = PathOf<double>;

// Why the run stopped short of x1, in words naming the method, the step and
// the point it started from, (x, y) or (x, y1, ..., yn); empty when it
// reached x1.
std::string pathNote(const SolutionPath& path);
std::string pathNote(const PathOf<StateVector>& path);

// The number of steps of |h| from x0 that reach x1: N = ⌈(x1 − x0)/h⌉, where
// a quotient within a billionth above a whole number counts as that number,
// since decimal inputs such as 0.4 and 0.1 divide only up to rounding. When h
// divides the range the last step ends at x0 + N·h, which may differ from x1
// in the last bits; otherwise it passes x1, as the results list's last step
// does. No step is shortened to land on x1: every step of a run is the method
// with the one h the legend names, as in the lab's convergence runs, and the
// runs with h, h/2 and h/4 share their abscissae exactly. Empty when no step
// can be taken (h is 0, or the count is beyond a double).
std::optional<long> stepsToReach(double x0, double x1, double h);

// The method from (x0, y0) towards x1 with steps of |h|: at most `maxSteps`
// steps, each from x_i = x0 + i·h computed afresh (so no rounding gathers in a
// sum of steps). A step whose value is not finite stops the run: the path
// keeps the points before it, and pathNote says why; so does an implicit step
// whose Newton iterations do not converge.
// A system's run stops as soon as any component is not finite. A multistep
// method takes its first values from `start`; a starting value that is not
// finite stops the run as a step does.
SolutionPath solutionPath(const Method& method, Slope f, double x0, double y0, double x1, double h,
                          long maxSteps = maxPathSteps, const Start& start = {});
PathOf<StateVector> solutionPath(const Method& method, SlopeOf<StateVector> F, double x0,
                                 const StateVector& y0, double x1, double h,
                                 long maxSteps = maxPathSteps,
                                 const StartOf<StateVector>& start = {});

// The method with h, h/2 and h/4, in that order.
std::array<SolutionPath, 3> halvedPaths(const Method& method, Slope f, double x0, double y0,
                                        double x1, double h, const Start& start = {});
std::array<PathOf<StateVector>, 3> halvedPaths(const Method& method, SlopeOf<StateVector> F,
                                               double x0, const StateVector& y0, double x1,
                                               double h, const StartOf<StateVector>& start = {});

// Every method of the lab's catalogue `studied` with the same h, in
// catalogue order, the others' paths empty; `typed` stands for the
// catalogue's own methods where given.
PerMethod<SolutionPath> everyMethodPath(Slope f, double x0, double y0, double x1, double h,
                                        const Start& start = {}, const TypedMethods& typed = {},
                                        const StudiedMethods& studied = everyMethod());
PerMethod<PathOf<StateVector>> everyMethodPath(SlopeOf<StateVector> F, double x0,
                                               const StateVector& y0, double x1, double h,
                                               const StartOf<StateVector>& start = {},
                                               const TypedMethods& typed = {},
                                               const StudiedMethods& studied = everyMethod());

// Whether two runs draw as one curve: they have the same points in x, and
// their values lie within `tolerance` of each other at every one.
bool sameCurve(const SolutionPath& a, const SolutionPath& b, double tolerance);

// A run's global errors y_i − y(x_i) at the points where the solution is
// finite, as the Lab steps table lists them.
struct ErrorPath {
    std::vector<double> x, error;
};
ErrorPath globalErrors(const SolutionPath& path, const KnownSolution& solution);
// A system run's errors ||y_i − y(x_i)|| in the maximum norm (see
// maximumNormNote), at the points where every component of the solution is
// finite; the solution is asked for at all of the run's abscissae at once.
ErrorPath globalErrors(const PathOf<StateVector>& path,
                       const SolutionSamplesOf<StateVector>& solution);

// Whether two runs' errors draw as one curve on a logarithmic axis.
bool sameErrorCurve(const ErrorPath& a, const ErrorPath& b);

// A curve sampled for drawing, broken where its values are not finite.
struct SampledCurve {
    struct Piece {
        std::vector<double> x, y;
    };
    std::vector<Piece> pieces;
    int leftOut = 0;  // the samples that were not finite
    std::optional<double> firstLeftOut;
};

// The solution at `samples` (at least 2) abscissae from `from` to `to`, both
// included, x_k = from + k·(to − from)/(samples − 1) computed afresh. Empty
// for an empty solution or a range beyond a double.
inline constexpr int curveSamples = 1001;
SampledCurve sampleSolution(const KnownSolution& solution, double from, double to,
                            int samples = curveSamples);
// The abscissae sampleSolution asks for, so that a solution known only at
// many abscissae at once (a reference) can be sampled alike; empty where
// sampleSolution's curve would be.
std::vector<double> curveAbscissae(double from, double to, int samples = curveSamples);
// Values at those abscissae as a curve, broken where they are not finite.
SampledCurve sampledCurve(const std::vector<double>& x, const std::vector<double>& y);

// Where a sampled curve is broken, in words, naming it ("the exact
// solution", "the reference"); empty when it is whole.
std::string sampledCurveNote(const SampledCurve& curve, const std::string& name);

}  // namespace pelorin
