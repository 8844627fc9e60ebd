#include "texts/partitioned_stage_view.h"

#include "numerics/state_operations.h"

#include <cstddef>

namespace pelorin {

namespace {

// Where stage j's slopes are taken: a position's at the positions' node c_j,
// a momentum's at the momenta's ĉ_j; indexed by whether it is a momentum.
constexpr const char* abscissa[]{"x + c\u2c7c\u00b7h", "x + \u0109\u2c7c\u00b7h"};

}  // namespace

PartitionedStageView partitionedStageView(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                          const SolutionSamplesOf<StateVector>& solution,
                                          int step) {
    PartitionedStageView view;
    if (!pickStep(view, path, step)) return view;
    view.stages =
        partitionedStages(*partitionedRungeKutta(*view.method), view.x, view.y, view.h, F);
    view.momentum = F.split()->momentum;

    sampleOverStep(solution, view.x, view.h, view.exactX, view.exactY);
    bool finiteStages = isFiniteState(view.stages.end);
    for (std::size_t j = 0; j < static_cast<std::size_t>(view.stages.stages); ++j) {
        finiteStages = finiteStages && isFiniteState(view.stages.Y[j]) &&
                       isFiniteState(view.stages.slope[j]);
    }
    if (!finiteStages) view.notes.push_back(stagesTooLargeNote());
    view.notes.push_back(stepSentence(view, true));
    if (const std::string note = pathNote(path); !note.empty()) view.notes.push_back(note);
    if (const std::string plane = phasePlaneNote(view.y.size()); !plane.empty()) {
        view.notes.push_back(plane);
    }
    return view;
}

std::vector<std::string> partitionedStageColumns(const std::vector<bool>& momentum) {
    std::vector<std::string> columns{"j", abscissa[0] + std::string(" (positions' tableau)"),
                                     abscissa[1] + std::string(" (momenta's tableau)")};
    for (std::size_t k = 1; k <= momentum.size(); ++k) {
        columns.push_back("Y\u2c7c," + std::to_string(k));
    }
    for (std::size_t k = 1; k <= momentum.size(); ++k) {
        columns.push_back("F" + std::to_string(k) + "(" + abscissa[momentum[k - 1]] + ", Y\u2c7c)");
    }
    return columns;
}

std::vector<std::vector<std::string>> stageRows(const PartitionedStageView& view) {
    std::vector<std::vector<std::string>> rows;
    if (view.steps == 0) return rows;
    const PartitionedStages& stages = view.stages;
    for (std::size_t j = 0; j < static_cast<std::size_t>(stages.stages); ++j) {
        std::vector<std::string> row{std::to_string(j + 1), stageValueText(stages.positionX[j]),
                                     stageValueText(stages.momentumX[j])};
        appendComponents(row, stages.Y[j]);
        appendComponents(row, stages.slope[j]);
        rows.push_back(row);
    }
    // The step's end: y at x_i is y at x_(i-1) plus the increment, summed
    // with the positions' weights b_j and the momenta's b̂_j.
    std::vector<std::string> end{"step " + std::to_string(view.step) +
                                     ": y + h\u00b7\u03a3 b\u2c7cF\u2c7c",
                                 stageValueText(view.xEnd), stageValueText(view.xEnd)};
    appendComponents(end, view.yEnd);
    appendComponents(end, stages.increment);
    rows.push_back(end);
    return rows;
}

StageViewOf<StateVector> phaseView(const PartitionedStageView& view) {
    StageViewOf<StateVector> phase;
    phase.method = view.method;
    phase.step = view.step;
    phase.steps = view.steps;
    phase.x = view.x;
    phase.h = view.h;
    phase.xEnd = view.xEnd;
    phase.y = view.y;
    phase.yEnd = view.yEnd;
    phase.exactX = view.exactX;
    phase.exactY = view.exactY;
    StageStepOf<StateVector>& stages = phase.stages;
    stages.stages = view.stages.stages;
    stages.x = view.stages.positionX;
    stages.Y = view.stages.Y;
    stages.slope = view.stages.slope;
    for (std::size_t j = 0; j < static_cast<std::size_t>(stages.stages); ++j) {
        stages.k[j] = view.h * view.stages.slope[j];
    }
    stages.increment = view.stages.increment;
    stages.y1 = view.stages.end;
    return phase;
}

}  // namespace pelorin
