#include "numerics/solution_paths.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "numerics/implicit_step.h"
#include "numerics/plot_extent.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// Decimal inputs divide only up to rounding: 0.4/0.1 is 4.000000000000001.
constexpr double roundingSlack = 1e-9;

// Beyond this many steps a count no longer fits a long, and no run would
// ever take them.
constexpr double countableSteps = 1e18;

std::string endText(double at) { return readOffText(at, 1e-3 * std::max(1.0, std::fabs(at))); }

}  // namespace

std::string solutionEndNote(double at) {
    return "The solution does not continue past x \u2248 " + endText(at) +
           ": |y| grows without bound as x nears it.";
}

std::string doesNotApplyNote(const std::vector<std::string>& captions, const std::string& why) {
    const bool one = captions.size() == 1;
    return listedInWords(captions) + (one ? " steps" : " step") +
           " positions and momenta apart, and this problem's components do not split into them" +
           (why.empty() ? "" : " (" + why + ")") + (one ? ": it does" : ": they do") +
           " not apply.";
}

std::string pastEndNote(const std::string& what, double at) {
    return what + " past x \u2248 " + endText(at) + " follow no solution.";
}

std::optional<long> stepsToReach(double x0, double x1, double h) {
    if (x1 == x0) return 0;
    const double quotient = std::fabs(x1 - x0) / std::fabs(h);
    if (!std::isfinite(quotient) || quotient >= countableSteps) return std::nullopt;
    return std::max(0L, static_cast<long>(std::ceil(quotient - roundingSlack)));
}

namespace {

template <class State>
PathOf<State> runPath(const Method& method, SlopeOf<State> f, double x0, const State& y0, double x1,
                      double h, long maxSteps, const StartOf<State>& start) {
    PathOf<State> path;
    path.method = &method;
    if (std::optional<std::string> why = doesNotApplyNote(method, f)) {
        path.end = PathEnd::doesNotApply;
        path.note = std::move(*why);
        return path;
    }
    if (!std::isfinite(x0) || !isFiniteState(y0) || !std::isfinite(x1) || !std::isfinite(h)) {
        path.end = PathEnd::cannotStep;
        return path;
    }
    path.h = x1 < x0 ? -std::fabs(h) : std::fabs(h);
    path.x.push_back(x0);
    path.y.push_back(y0);
    const std::optional<long> steps = stepsToReach(x0, x1, h);
    if (!steps) {
        path.end = PathEnd::cannotStep;
        return path;
    }
    path.stepsToEnd = *steps;
    const long taken = std::min(*steps, std::max(0L, maxSteps));
    path.startingValues = std::min(taken, startingSteps(method));
    MethodRun<State> run(method, f, x0, path.h, start);
    for (long i = 0; i < taken; ++i) {
        State y;
        try {
            y = run.step(i, path.y.back());
        } catch (const NoConvergence& failure) {
            path.end = PathEnd::noValue;
            path.noValueWhy = failure.what();
            return path;
        }
        if (!isFiniteState(y)) {
            path.end = PathEnd::notFinite;
            return path;
        }
        path.x.push_back(x0 + static_cast<double>(i + 1) * path.h);
        path.y.push_back(std::move(y));
    }
    if (taken < *steps) path.end = PathEnd::stepLimit;
    return path;
}

}  // namespace

SolutionPath solutionPath(const Method& method, Slope f, double x0, double y0, double x1, double h,
                          long maxSteps, const Start& start) {
    return runPath(method, f, x0, y0, x1, h, maxSteps, start);
}

PathOf<StateVector> solutionPath(const Method& method, SlopeOf<StateVector> F, double x0,
                                 const StateVector& y0, double x1, double h, long maxSteps,
                                 const StartOf<StateVector>& start) {
    return runPath(method, F, x0, y0, x1, h, maxSteps, start);
}

namespace {

// The notes are written from the path once it is run, not while it runs:
// everything a note names is in the path (a step that failed started from
// the last point kept, x0 + i·h computed as the run computed it).
template <class State>
std::string runNote(const PathOf<State>& path) {
    if (!path.note.empty() || !path.method) return path.note;
    const std::string caption(path.method->caption);
    const std::string run = caption + ", h = " + numberToText(path.h);
    const long taken = static_cast<long>(path.x.size()) - 1;
    switch (path.end) {
    case PathEnd::reached: return {};
    case PathEnd::doesNotApply: return path.note;
    case PathEnd::cannotStep:
        if (path.x.empty()) {
            return caption + ": x0, y0, x1 and h must all be numbers a double can hold; no step "
                             "is taken.";
        }
        return run + (path.h == 0 ? ": a step of 0 never gets from x0 to x1; no step is taken."
                                  : ": x1 is too many steps away to count; no step is taken.");
    case PathEnd::notFinite:
        if (taken + 1 <= path.startingValues) {
            return run + ": the starting value at step " + std::to_string(taken + 1) +
                   " is not finite (the solution it comes from is not known there, or the "
                   "method that makes it overflowed); the run stops there.";
        }
        return run + ": step " + std::to_string(taken + 1) + " from (" +
               numberToText(path.x.back()) + ", " + stateText(path.y.back()) +
               ") gives no finite value (f is not finite on the step, or the numbers grew too "
               "large to calculate with); the run stops there.";
    case PathEnd::noValue:
        return run + ": step " + std::to_string(taken + 1) + " has no value. " + path.noValueWhy +
               " The run stops there.";
    case PathEnd::stepLimit:
        return run + ": x1 is " + std::to_string(path.stepsToEnd) +
               " steps away; the run stops after the first " + std::to_string(taken) +
               ". A larger h reaches x1.";
    }
    return {};
}

template <class State>
std::array<PathOf<State>, 3> halvedRuns(const Method& method, SlopeOf<State> f, double x0,
                                        const State& y0, double x1, double h,
                                        const StartOf<State>& start) {
    return {solutionPath(method, f, x0, y0, x1, h, maxPathSteps, start),
            solutionPath(method, f, x0, y0, x1, h / 2, maxPathSteps, start),
            solutionPath(method, f, x0, y0, x1, h / 4, maxPathSteps, start)};
}

template <class State>
PerMethod<PathOf<State>> everyMethodRun(SlopeOf<State> f, double x0, const State& y0, double x1,
                                        double h, const StartOf<State>& start,
                                        const TypedMethods& typed, const StudiedMethods& studied) {
    PerMethod<PathOf<State>> paths;
    for (std::size_t row = 0; row < labCatalogue().size(); ++row) {
        if (!studied[row]) continue;
        const Method& method = methodAt(row, typed);
        paths[row] = solutionPath(method, f, x0, y0, x1, h, maxPathSteps, start);
    }
    return paths;
}

}  // namespace

std::string pathNote(const SolutionPath& path) { return runNote(path); }
std::string pathNote(const PathOf<StateVector>& path) { return runNote(path); }

std::array<SolutionPath, 3> halvedPaths(const Method& method, Slope f, double x0, double y0,
                                        double x1, double h, const Start& start) {
    return halvedRuns(method, f, x0, y0, x1, h, start);
}

std::array<PathOf<StateVector>, 3> halvedPaths(const Method& method, SlopeOf<StateVector> F,
                                               double x0, const StateVector& y0, double x1,
                                               double h, const StartOf<StateVector>& start) {
    return halvedRuns(method, F, x0, y0, x1, h, start);
}

PerMethod<SolutionPath> everyMethodPath(Slope f, double x0, double y0, double x1, double h,
                                        const Start& start, const TypedMethods& typed,
                                        const StudiedMethods& studied) {
    return everyMethodRun(f, x0, y0, x1, h, start, typed, studied);
}

PerMethod<PathOf<StateVector>> everyMethodPath(SlopeOf<StateVector> F, double x0,
                                               const StateVector& y0, double x1, double h,
                                               const StartOf<StateVector>& start,
                                               const TypedMethods& typed,
                                               const StudiedMethods& studied) {
    return everyMethodRun(F, x0, y0, x1, h, start, typed, studied);
}

bool sameCurve(const SolutionPath& a, const SolutionPath& b, double tolerance) {
    if (a.x != b.x || a.y.size() != b.y.size()) return false;
    for (std::size_t i = 0; i < a.y.size(); ++i) {
        if (!(std::fabs(a.y[i] - b.y[i]) <= tolerance)) return false;
    }
    return true;
}

ErrorPath globalErrors(const SolutionPath& path, const KnownSolution& solution) {
    ErrorPath errors;
    if (!solution) return errors;
    for (std::size_t i = 0; i < path.x.size() && i < path.y.size(); ++i) {
        const double error = path.y[i] - solution(path.x[i]);
        if (!std::isfinite(error)) continue;
        errors.x.push_back(path.x[i]);
        errors.error.push_back(error);
    }
    return errors;
}

ErrorPath globalErrors(const PathOf<StateVector>& path,
                       const SolutionSamplesOf<StateVector>& solution) {
    ErrorPath errors;
    if (!solution) return errors;
    const std::vector<StateVector> known = solution(path.x);
    for (std::size_t i = 0; i < path.x.size() && i < path.y.size() && i < known.size(); ++i) {
        if (known[i].size() != path.y[i].size()) continue;
        const double error = stateNorm(path.y[i] - known[i]);
        if (!std::isfinite(error)) continue;
        errors.x.push_back(path.x[i]);
        errors.error.push_back(error);
    }
    return errors;
}

bool sameErrorCurve(const ErrorPath& a, const ErrorPath& b) {
    if (a.x != b.x || a.error.size() != b.error.size()) return false;
    for (std::size_t i = 0; i < a.error.size(); ++i) {
        if (!sameOnLogAxis(a.error[i], b.error[i])) return false;
    }
    return true;
}

std::vector<double> curveAbscissae(double from, double to, int samples) {
    const int count = std::max(samples, 2);
    const double dx = (to - from) / (count - 1);
    if (!std::isfinite(from) || !std::isfinite(to) || !std::isfinite(dx)) return {};
    std::vector<double> x;
    for (int k = 0; k < count; ++k)
        x.push_back(k == count - 1 ? to : from + static_cast<double>(k) * dx);
    return x;
}

SampledCurve sampledCurve(const std::vector<double>& x, const std::vector<double>& y) {
    SampledCurve curve;
    bool broken = true;
    for (std::size_t k = 0; k < x.size() && k < y.size(); ++k) {
        if (!std::isfinite(y[k])) {
            ++curve.leftOut;
            if (!curve.firstLeftOut) curve.firstLeftOut = x[k];
            broken = true;
            continue;
        }
        if (broken) curve.pieces.emplace_back();
        broken = false;
        curve.pieces.back().x.push_back(x[k]);
        curve.pieces.back().y.push_back(y[k]);
    }
    return curve;
}

SampledCurve sampleSolution(const KnownSolution& solution, double from, double to, int samples) {
    if (!solution) return {};
    const std::vector<double> x = curveAbscissae(from, to, samples);
    std::vector<double> y;
    for (double at : x) y.push_back(solution(at));
    return sampledCurve(x, y);
}

std::string sampledCurveNote(const SampledCurve& curve, const std::string& name) {
    if (curve.leftOut == 0) return {};
    return "The curve of " + name + " leaves out " + countText(curve.leftOut, "point", "points") +
           " where its value is not finite, the first at x = " +
           numberToText(*curve.firstLeftOut) + ".";
}

}  // namespace pelorin
