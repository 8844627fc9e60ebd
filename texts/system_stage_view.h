// The inside of one step of the lab's run on a system y' = F(x, y): the
// stages as vectors, listed with a column for every component, and the step
// drawn in the phase plane of the first two components (y1, y2), where each
// stage is a point Y_j with its slope F(x + c_j·h, Y_j) as a direction.
#pragma once

#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "numerics/stage_step.h"
#include "texts/stage_view.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

struct SystemStageView {
    const Method* method = nullptr;
    int step = 0;  // 1 ... steps
    int steps = 0;
    double x = 0, h = 0, xEnd = 0;
    StateVector y, yEnd;  // at the step's start and end, as the run has them
    SystemStageStep stages;
    // The known solution through the run's start (exact, or a reference)
    // over the step, where it is known.
    std::vector<StateVector> known;
    std::vector<std::string> notes;
};

// Step `step` (from 1) of the lab's own run of path.method on y' = F(x, y),
// clamped to the steps the run took; without steps, only notes saying why.
SystemStageView stageView(const SystemPath& path, SystemSlope F,
                          const SystemSolutionSamples& solution, int step);
// The same for a step of the run that another method took: a multistep
// method's starting value from the one-step method it starts with.
SystemStageView stageView(const SystemPath& path, const Method& stepping, SystemSlope F,
                          const SystemSolutionSamples& solution, int step);

// How the tables and notes write a system's state: "(y1, y2, y3)" names its
// components, "(1, -0.5)" is a state, each component as the results list
// writes numbers; a row gets a cell for each component (one equation's one).
std::string componentNames(std::size_t components);
std::string vectorText(const StateVector& y);
void appendComponents(std::vector<std::string>& row, const StateVector& state);
void appendComponents(std::vector<std::string>& row, double value);
// A heading for each component k: prefix + k + suffix ("Yⱼ," "1" "").
void appendComponentColumns(std::vector<std::string>& columns, std::size_t components,
                            const std::string& prefix, const std::string& suffix = "");

// The known solution at stepSolutionSamples points over the step from x
// with h, where it is finite; empty without one.
std::vector<StateVector> knownOverStep(const SystemSolutionSamples& solution, double x, double h);

// "Step 3 of 10 from x2 = 0.2, (y1, y2) = (…) with h = 0.1: at x3 = 0.3,
// (y1, y2) = (…)."; "… has no value." where yEnd is null.
std::string stepSentence(int step, int steps, double x, const StateVector& y, double h, double xEnd,
                         const StateVector* yEnd);
// The same of any view of a system's step.
template <class View>
std::string stepSentence(const View& view, bool hasValue) {
    return stepSentence(view.step, view.steps, view.x, view.y, view.h, view.xEnd,
                        hasValue ? &view.yEnd : nullptr);
}

// The headings of the Stages table of a system of `components` equations:
// j and x + c_j·h, then Y_j, F(x + c_j·h, Y_j) and k_j = h·F, each with a
// column for every component ("Yⱼ,1" is component y1 of Yⱼ).
std::vector<std::string> systemStageColumns(std::size_t components);

// The stages as the Stages table lists them, numbers as the results list
// writes them: a row per stage j, then the step's row (its end x and y under
// the abscissae and Y_j, the increment Σ b_j k_j under the k_j). Empty
// without a step.
std::vector<std::vector<std::string>> stageRows(const SystemStageView& view);

// What the step's plot draws in the phase plane (y1, y2): the known
// solution's path over the step, the stage points, from each an arrow along
// its slope a quarter of its k_j long, the increment from the step's start
// to its end, and an implicit step's Newton iterates; the ranges hold them
// all with a little room around. A step without a value has only its
// iterates and the known solution.
struct PhaseStepDrawing {
    DrawablePoints known, stagePoints;
    std::vector<IteratePoints> iterates;  // every row of the Newton table, in order
    std::vector<Segment> slopes;
    std::optional<Segment> increment;
    Extent y1, y2;
    bool leftOut = false;  // some part lies beyond what a plot can span
};
PhaseStepDrawing phaseStepDrawing(const SystemStageView& view);

// The arrow of a slope in the phase plane: from the point y along a quarter
// of the increment k = h·F there, the share the scalar plot's slope segments
// span, short enough that the arrows of a step stay apart.
Segment phaseArrow(const StateVector& y, const StateVector& k);

// The range of a phase plane that holds `parts` and `segments`, with room
// for labels and arrow heads; one of no width (a component the step keeps,
// a start at rest) is given room about its value, so that its points show.
void includeInPhasePlane(Extent& y1, Extent& y2, const std::vector<const DrawablePoints*>& parts,
                         const std::vector<Segment>& segments);

// The names of the stage points in the phase plane, "k1", "k2", ..., with
// the slope of each one's arrow in the plot's units.
std::vector<StageLabel> phaseStageLabels(const SystemStageStep& stages);

// Which components the phase plane shows, for a system of more than two:
// "The plot shows y1 against y2, the first two of the 3 components."; empty
// for two. `table` names the table that lists them all.
std::string phasePlaneNote(std::size_t components, const std::string& table = "Stages");

}  // namespace pelorin
