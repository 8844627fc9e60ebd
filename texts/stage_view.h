// The inside of one step of a run: where the method samples the slope
// (x + c_j·h, Y_j), the slopes it finds there, the increment it takes, the
// known solution over the step, the stages as a table to check by hand, and
// the tableau as fractions. The run is the main window's last calculation or
// the lab's own, on any problem: a system's stages are vectors, listed with a
// column for every component and drawn in the phase plane
// (texts/phase_step_view.h).
#pragma once

#include "methods/state_vector.h"
#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "numerics/stage_step.h"
#include "run/calculation.h"
#include "run/segment.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// What one equation's plane (x, y) draws of each stage and of the step, kept
// where they are finite. A system's phase plane draws its arrows from the
// stages themselves (phaseStepDrawing).
template <class State>
struct StageSegmentsOf {};
template <>
struct StageSegmentsOf<double> {
    std::vector<Segment> slopes;  // one per stage, through its stage point
    Segment increment{};          // from (x, y) to (x + h, y + Σ b_j k_j)
};

// State = double for one equation, StateVector for a system.
template <class State>
struct StageViewOf : StageSegmentsOf<State> {
    const Method* method = nullptr;
    int step = 0;  // 1 ... steps
    int steps = 0;
    double x = 0, h = 0;  // the step starts at (x, y), as listed
    State y{};
    double xEnd = 0;  // and ends at (xEnd, yEnd), as listed
    State yEnd{};
    StageStepOf<State> stages;
    // The known solution through the run's start (exact, or a reference)
    // over the step, where it is known.
    std::vector<double> exactX;
    std::vector<State> exactY;
    std::vector<std::string> notes;
};
using StageView = StageViewOf<double>;

// The number of steps the calculation listed; 0 if it listed none.
int listedSteps(const Calculation& calculation);

// Step `step` (from 1) of the calculation, clamped to the steps it listed;
// without steps, only notes saying why.
StageView stageView(const Calculation& calculation, int step);

// Step `step` (from 1) of the lab's own run of path.method on y' = f(x, y),
// clamped to the steps the run took; without steps, only notes saying why.
StageView stageView(const SolutionPath& path, Slope f, const SolutionSamples& solution, int step);
StageViewOf<StateVector> stageView(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                          const SolutionSamplesOf<StateVector>& solution, int step);
// The same for a step of the run that another method took: a multistep
// method's starting value from the one-step method it starts with.
StageView stageView(const SolutionPath& path, const Method& stepping, Slope f,
                    const SolutionSamples& solution, int step);
StageViewOf<StateVector> stageView(const PathOf<StateVector>& path, const Method& stepping,
                                   SlopeOf<StateVector> F,
                                   const SolutionSamplesOf<StateVector>& solution, int step);

// The short segment of slope `slope` through (x, y) that the plots draw at
// a point: an eighth of the step h on either side.
Segment slopeSegment(double x, double y, double slope, double h);

// A stage's number as the results list writes it; "too large" where it is
// not finite: a stage can overflow although the method's own procedure,
// summing in another order, did not.
std::string stageValueText(double value);

// The known solution over a step is drawn through this many points.
inline constexpr int stepSolutionSamples = 41;
// The known solution at those points over the step from x with h, where it
// is finite, into `at` and `values`; nothing without one. For State = double
// and StateVector.
template <class State>
void sampleOverStep(const std::function<std::vector<State>(const std::vector<double>&)>& solution,
                    double x, double h, std::vector<double>& at, std::vector<State>& values);

// What the Stages table writes where a step without a value has no number.
inline constexpr const char* noValueText = "no value";

// Why the lab's run has no step to show: the run's own note, else that its
// range is empty.
std::string runWithoutStepNote(const std::string& runNote);
// What the notes say when a stage is beyond a double's range.
std::string stagesTooLargeNote();

// Step `step` (from 1) of the lab's run `path`, clamped to the steps it
// took, into `view`: the method, the step and their count, where the step
// starts and ends, and h. A run that stopped at a step without a value
// shows that step last, its end y not a number (the page says it in words).
// Without a step, only the note saying why, and false. A single equation's
// view and a system's share it.
template <class View, class State>
bool pickStep(View& view, const PathOf<State>& path, int step) {
    view.method = path.method;
    const bool endsWithoutValue = path.end == PathEnd::noValue && !path.x.empty();
    view.steps = path.x.empty() ? 0 : static_cast<int>(path.x.size() - 1) + endsWithoutValue;
    if (view.steps == 0 || !view.method) {
        view.notes.push_back(runWithoutStepNote(pathNote(path)));
        return false;
    }
    view.step = std::clamp(step, 1, view.steps);
    const auto i = static_cast<std::size_t>(view.step);
    view.x = path.x[i - 1];
    view.y = path.y[i - 1];
    view.h = path.h;
    if (i < path.x.size()) {
        view.xEnd = path.x[i];
        view.yEnd = path.y[i];
    } else {
        // Where the run would have put the step's end: x0 + i·h afresh.
        view.xEnd = path.x.front() + static_cast<double>(i) * path.h;
        view.yEnd = notANumberLike(view.y);
    }
    return true;
}

// "Step 3 of 10 from x2 = 0.2, y2 = 0.9 with h = 0.1: y3 = 0.95." for one
// equation; "… from x2 = 0.2, (y1, y2) = (…) with h = 0.1: at x3 = 0.3,
// (y1, y2) = (…)." for a system; "… has no value." where yEnd is null.
template <class State>
std::string stepSentence(int step, int steps, double x, const State& y, double h, double xEnd,
                         const State* yEnd);
// The same of any view of a step.
template <class View>
std::string stepSentence(const View& view, bool hasValue) {
    return stepSentence(view.step, view.steps, view.x, view.y, view.h, view.xEnd,
                        hasValue ? &view.yEnd : nullptr);
}

// The headings of the Stages table, x and y being where the step starts.
inline constexpr std::array<const char*, 5> stageColumns{
    "j", "x + c\u2c7c\u00b7h", "Y\u2c7c", "f(x + c\u2c7c\u00b7h, Y\u2c7c)", "k\u2c7c = h\u00b7f"};

// The stages of the shown step as the Stages table lists them, numbers as the
// results list writes them: a row per stage j (j, x + c_j·h, Y_j, the slope
// there, k_j), then the step's row (its end x_i and y_i under the abscissae
// and values, the increment Σ b_j k_j under the k_j); a system's states with
// a cell for each component (systemStageColumns). Empty without a step.
template <class State>
std::vector<std::vector<std::string>> stageRows(const StageViewOf<State>& view);

// The plot's names of the stage points, "k1", "k2", ...: stages at one
// point share one label ("k1, k2, k3, k4" when h = 0).
struct StageLabel {
    std::string text;
    double x, y;   // the point it names
    double slope;  // of the segment drawn through the point
};
std::vector<StageLabel> stageLabels(const StageStep& stages);
// The same for stage points placed in any plane, in stage order, each with
// the slope of the segment or arrow drawn from it in the plot's units.
struct StagePoint {
    double x, y, slope;
};
std::vector<StageLabel> stageLabels(const std::vector<StagePoint>& points);

// Which corner of a label's box sits at its point, as the screen shows it.
enum class LabelSide { aboveLeft, aboveRight, belowRight, belowLeft };

// A label on the screen, in pixels with y growing downwards: its point, the
// size of its box, and the slope (in the plot's units) of the segment through
// the point.
struct LabelSpot {
    double x, y, width, height, slope;
};
struct PixelRect {
    double left, top, right, bottom;
};

// For each label in turn, the first side on which its box stays within
// `bounds` and meets neither a box placed before it nor another label's point
// (a square `marker` pixels wide): first the two sides the segment through
// its point leaves free, then the other two. Where none will do, the first
// within bounds. So labels at points close together, such as two stages at
// one abscissa, go to different sides.
std::vector<LabelSide> placeLabels(const std::vector<LabelSpot>& spots, PixelRect bounds,
                                   double marker);

// One Newton iterate's stage points in the plot: (x_j, Y_j) for one
// equation, (Y_j,1, Y_j,2) in a system's phase plane.
struct IteratePoints {
    int number = 0;  // as the Newton iterations table numbers it
    DrawablePoints points;
};

// What the step's plot draws: the parts a plot can show, and the ranges that
// hold them all with a little room around.
struct StageDrawing {
    DrawablePoints exact, stagePoints;
    std::vector<IteratePoints> iterates;  // every row of the Newton table, in order
    std::vector<Segment> slopes;
    std::optional<Segment> increment;
    Extent x, y;
    bool leftOut = false;  // some part lies beyond what a plot can span
};
StageDrawing stageDrawing(const StageView& view);

// Grows the ranges x and y to hold the points of every part and both ends of
// every segment.
void include(Extent& x, Extent& y, const std::vector<const DrawablePoints*>& parts,
             const std::vector<Segment>& segments);

// The tableau laid out as a textbook prints it: c | A on the stage rows,
// then b, then e for an embedded pair; an explicit method's cells on and
// above the diagonal empty, an implicit method's every a_jl, zeros too.
std::vector<std::vector<std::string>> tableauCells(const Tableau& tableau);

// What the notes say of an implicit method's stages: their formula, that a
// stage needs itself and the later ones, and how Newton's method solves
// them together: its start, its Jacobian, what the Newton table's sizes
// measure and when the iterations stop. Empty for an explicit method.
std::string implicitStagesNote(const Method& method);

// The Newton table's texts of an iterate's number, its stage values (a cell
// for one equation's, one per component for a system's: "too large" beyond
// a double's range, "not a number" where the slope had no value) and its
// sizes and rate (three digits).
std::string iterationText(int number);
void appendIterateValues(std::vector<std::string>& row, double value);
void appendIterateValues(std::vector<std::string>& row, const StateVector& value);
std::string iterateSizeText(double size);

// The Newton iterations of an implicit step, a row per iterate: its number
// (0 is the start, and a second start where the iterations with the step's
// one Jacobian gave up), the residual, the size of the update that led to it
// (none at a start) and its rate θ, the update's size over the one before
// (none at a start and after its first update), then each stage's value Y_j,
// a column for each of a system's `components` ("Y₁,2" is component y2 of
// Y₁; one equation's is "Y₁"). The sizes come first: they show the
// convergence, and stay in view where a narrow table scrolls the values.
// Empty for an explicit step.
std::vector<std::string> newtonColumns(int stages, std::size_t components = 1);
template <class State>
std::vector<std::vector<std::string>> newtonRows(
    const std::vector<NewtonIterate<State>>& iterations) {
    std::vector<std::vector<std::string>> rows;
    for (const NewtonIterate<State>& iterate : iterations) {
        std::vector<std::string> row{iterationText(iterate.number),
                                     iterateSizeText(iterate.residual),
                                     iterate.number == 0 ? "" : iterateSizeText(iterate.update),
                                     iterate.rate ? iterateSizeText(*iterate.rate) : ""};
        for (const State& Y : iterate.states) appendIterateValues(row, Y);
        rows.push_back(row);
    }
    return rows;
}
template <class State>
std::vector<std::vector<std::string>> newtonRows(const StageStepOf<State>& stages) {
    return newtonRows(stages.iterations);
}
// Stage j's value as the Newton table heads it: "Y₁", "Y₂", "Y₃".
std::string stageSymbol(int j);

}  // namespace pelorin
