// The inside of one step of the lab's run of a partitioned method on a
// system whose components split into positions and momenta: each stage has
// two abscissae, x + c_j·h from the positions' tableau, where the positions'
// slopes are taken, and x + ĉ_j·h from the momenta's, where the momenta's
// are; its state Y_j holds Q_j in the positions and P_j in the momenta. The
// Stages table lists them with a column for every component, and the step
// is drawn in the phase plane (y1, y2) as any system's step is.
#pragma once

#include "numerics/partitioned_step.h"
#include "numerics/solution_paths.h"
#include "texts/phase_step_view.h"

#include <string>
#include <vector>

namespace pelorin {

struct PartitionedStageView {
    const Method* method = nullptr;
    int step = 0;  // 1 ... steps
    int steps = 0;
    double x = 0, h = 0, xEnd = 0;
    StateVector y, yEnd;         // at the step's start and end, as the run has them
    std::vector<bool> momentum;  // which components are momenta, as the slope splits them
    PartitionedStages stages;
    // The known solution through the run's start (exact, or a reference)
    // over the step, where it is known.
    std::vector<double> exactX;
    std::vector<StateVector> exactY;
    std::vector<std::string> notes;
};

// Step `step` (from 1) of the lab's own run of the partitioned path.method
// on y' = F(x, y), clamped to the steps the run took; without steps, only
// notes saying why. F must split (DoesNotSplit otherwise): a page asks first.
PartitionedStageView partitionedStageView(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                          const SolutionSamplesOf<StateVector>& solution, int step);

// The headings of the Stages table: j, x + c_j·h and x + ĉ_j·h, each saying
// whose tableau it comes from, then Y_j and the slope F(x + c_j·h, Y_j) with
// a column for every component, a position's slope at x + c_j·h and a
// momentum's at x + ĉ_j·h.
std::vector<std::string> partitionedStageColumns(const std::vector<bool>& momentum);

// The stages as the Stages table lists them, numbers as the results list
// writes them: a row per stage j, then the step's row (its end x under both
// abscissae, its end y under Y_j, and under the slopes the increment, h·Σ b_j
// times a position's slopes and h·Σ b̂_j times a momentum's). Empty without
// a step.
std::vector<std::vector<std::string>> stageRows(const PartitionedStageView& view);

// The step as the phase plane draws a system's (phaseStepDrawing,
// phaseStageLabels): the stage points Y_j, from each an arrow along h times
// its slopes, the increment from the start to the end, and the known
// solution. For two components or more.
StageViewOf<StateVector> phaseView(const PartitionedStageView& view);

}  // namespace pelorin
