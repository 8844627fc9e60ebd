// One step of a multistep method's run of one equation, as the One step page
// shows it: which earlier points the step weighs, drawn with their slopes and
// the polynomial the formula rests on, the weights as fractions beside the
// values, slopes and terms, and the new value; a starting step says where it
// came from. A system's step is the same with a column for every component,
// drawn in the phase plane (y1, y2).
#pragma once

#include "numerics/multistep_step.h"
#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "run/segment.h"
#include "texts/stage_view.h"
#include "texts/phase_step_view.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// State = double for one equation, StateVector for a system.
template <class State>
struct MultistepViewOf {
    const Method* method = nullptr;  // the run's
    int step = 0;                    // 1 ... steps
    int steps = 0;
    double x = 0, h = 0;  // the step starts at (x, y), as listed
    State y{};
    double xEnd = 0;  // and ends at (xEnd, yEnd)
    State yEnd{};
    bool fromStart = false;           // a starting value, not a step of the formula
    MultistepStepOf<State> numbers;  // a step of the formula
    // The known solution over the points the step weighs and the step.
    std::vector<double> exactX;
    std::vector<State> exactY;
    std::vector<std::string> notes;
};
using MultistepView = MultistepViewOf<double>;

// Step `step` (from 1) of the lab's run `path` of a multistep method, clamped
// to the steps it took; `start` names what its starting values came from
// ("Runge-Kutta 4", "the exact solution"). Without steps, only notes saying why.
MultistepView multistepView(const SolutionPath& path, Slope f, const SolutionSamples& solution,
                            const std::string& start, int step);
MultistepViewOf<StateVector> multistepView(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                           const SolutionSamplesOf<StateVector>& solution,
                                           const std::string& start, int step);

// What the notes say of a starting value: that it came from the start, not
// from the formula, and from which step on the formula has its past points.
std::string startingValueNote(const MultistepView& view, const std::string& start);
std::string startingValueNote(const MultistepViewOf<StateVector>& view, const std::string& start);

// "3/2", "-1", "0": p/q in lowest terms, the sign in front.
std::string fractionText(long long p, long long q);

// The formula as fractions divided by α_k, a column for each point n … n+K:
// rows α and β, and for a predictor-corrector pair the predictor's too.
struct FormulaCells {
    std::vector<std::string> columns, rows;
    std::vector<std::vector<std::string>> cells;
};
FormulaCells formulaCells(const Multistep& multistep);

// The Weights table: a row per past point i (i, x_i, y_i, f(x_i, y_i), α and
// β of the formula at that point, −α·y_i and h·β·f(x_i, y_i)); for a pair a
// row for the predicted value p; then the new point's row. The new value is
// the sum of the last two columns.
inline constexpr std::array<const char*, 8> weightColumns{
    "i",          "x\u1d62", "y\u1d62", "f(x\u1d62, y\u1d62)", "\u03b1",
    "\u03b2",     "\u2212\u03b1\u00b7y\u1d62", "h\u00b7\u03b2\u00b7f(x\u1d62, y\u1d62)"};
std::vector<std::vector<std::string>> weightRows(const MultistepView& view);
// A system's Weights table: yᵢ, F(xᵢ, yᵢ) and both terms with a column for
// every component ("yᵢ,1" is component y1 of yᵢ), the rows as one equation's.
std::vector<std::string> systemWeightColumns(std::size_t components);
std::vector<std::vector<std::string>> weightRows(const MultistepViewOf<StateVector>& view);

// The Newton table's headings for the new value y_step of an implicit
// formula, its one stage: "y5" for one equation, "y5,1", "y5,2", ... for a
// system's components.
std::vector<std::string> newValueNewtonColumns(int step, std::size_t components);

// What the step's plot draws: the known solution, the past points with their
// slopes, the new point (and a pair's predicted one), the increment from the
// last past point, the polynomial the formula rests on, Newton's iterates,
// and the ranges that hold them all. The points are named as in the phase
// plane below: "x3" at x3, a pair's predicted one "p".
struct MultistepDrawing {
    DrawablePoints exact, past, next, predicted, polynomial;
    std::string polynomialName;  // empty where the formula rests on none the page knows
    std::vector<StageLabel> labels;
    std::vector<Segment> slopes;
    std::optional<Segment> increment;
    std::vector<IteratePoints> iterates;
    Extent x, y;
    bool leftOut = false;
};
MultistepDrawing multistepDrawing(const MultistepView& view);

// A system's step in the phase plane (y1, y2): the known solution's path
// over the points the step weighs and the step, the past points with
// arrows along their slopes (a quarter of h·F, as a stage's), the new point
// with its slope where an implicit formula weighs it, a pair's predicted
// one, the increment from the last past point, Newton's iterates, and the
// ranges that hold them all. The points are named by their abscissae, "x3"
// at x3 as the Weights table's row i = 3, and a pair's predicted one "p".
struct MultistepPhaseDrawing {
    DrawablePoints known, past, next, predicted;
    std::vector<StageLabel> labels;
    std::vector<Segment> slopes;
    std::optional<Segment> increment;
    std::vector<IteratePoints> iterates;
    Extent y1, y2;
    bool leftOut = false;
};
MultistepPhaseDrawing multistepPhaseDrawing(const MultistepViewOf<StateVector>& view);

// The polynomial a formula rests on, sampled over the past points and the
// step: an Adams formula (a_{k−1} = −a_k, no other a_j) integrates the
// polynomial through the slopes it weighs, from y_{n+k−1}; a backward
// differentiation formula (no b_j but b_k) takes the polynomial through the
// values y_n … y_{n+k}, whose slope at x_{n+k} is f_{n+k}. Empty for any
// other formula.
enum class FormulaKind { adams, backwardDifferentiation, other };
FormulaKind formulaKind(const MultistepFormula& formula);

}  // namespace pelorin
