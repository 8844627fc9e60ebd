// What a system y' = F(x, y) makes of the inside of one step: the stages as
// vectors, listed with a column for every component, and the step drawn in
// the phase plane of the first two components (y1, y2), where each stage is
// a point Y_j with its slope F(x + c_j·h, Y_j) as a direction. The view of
// the step is any state's (texts/stage_view.h).
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

// The headings of the Stages table of a system of `components` equations:
// j and x + c_j·h, then Y_j, F(x + c_j·h, Y_j) and k_j = h·F, each with a
// column for every component ("Yⱼ,1" is component y1 of Yⱼ).
std::vector<std::string> systemStageColumns(std::size_t components);

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
PhaseStepDrawing phaseStepDrawing(const StageViewOf<StateVector>& view);

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
std::vector<StageLabel> phaseStageLabels(const StageStepOf<StateVector>& stages);

// Which components the phase plane shows, for a system of more than two:
// "The plot shows y1 against y2, the first two of the 3 components."; empty
// for two. `table` names the table that lists them all.
std::string phasePlaneNote(std::size_t components, const std::string& table = "Stages");

}  // namespace pelorin
