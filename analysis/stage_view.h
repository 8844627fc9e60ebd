// The inside of one step of the last calculation: where the method samples
// the slope (x0 + c_j·h, Y_j), the slopes it finds there, the increment it
// takes, the exact solution over the step, and its tableau as fractions.
#pragma once

#include "methods/stage_step.h"
#include "run/calculation.h"
#include "run/segment.h"

#include <string>
#include <vector>

namespace pelorin {

struct StageView {
    const Method* method = nullptr;
    int step = 0;   // 1 ... steps
    int steps = 0;
    double x = 0, y = 0, h = 0;  // the step starts at (x, y)
    StageStep stages;
    std::vector<Segment> slopes;  // one per stage, through its stage point
    Segment increment{};          // from (x, y) to (x + h, y1)
    std::vector<double> exactX, exactY;  // the exact solution through the calculation's start
    std::vector<std::string> notes;
};

// The number of steps the calculation listed; 0 if it listed none.
int listedSteps(const Calculation& calculation);

// Step `step` (from 1) of the calculation, clamped to the steps it listed;
// without steps, only notes saying why.
StageView stageView(const Calculation& calculation, int step);

// The tableau laid out as a textbook prints it: c | A on the stage rows,
// then b, then e for an embedded pair; empty cells above the diagonal.
std::vector<std::vector<std::string>> tableauCells(const Tableau& tableau);

}  // namespace pelorin
