// The inside of one step of a run: where the method samples the slope
// (x + c_j·h, Y_j), the slopes it finds there, the increment it takes, the
// known solution over the step, the stages as a table to check by hand, and
// the tableau as fractions. The run is the main window's last calculation or
// the lab's own, on any problem.
#pragma once

#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "numerics/stage_step.h"
#include "run/calculation.h"
#include "run/segment.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

struct StageView {
    const Method* method = nullptr;
    int step = 0;   // 1 ... steps
    int steps = 0;
    double x = 0, y = 0, h = 0;  // the step starts at (x, y), as listed
    double xEnd = 0, yEnd = 0;   // and ends there, as listed
    StageStep stages;
    std::vector<Segment> slopes;  // one per stage, through its stage point
    Segment increment{};          // from (x, y) to (x + h, y + Σ b_j k_j)
    // The known solution through the run's start (exact, or a reference),
    // where it is known.
    std::vector<double> exactX, exactY;
    std::vector<std::string> notes;
};

// The number of steps the calculation listed; 0 if it listed none.
int listedSteps(const Calculation& calculation);

// Step `step` (from 1) of the calculation, clamped to the steps it listed;
// without steps, only notes saying why.
StageView stageView(const Calculation& calculation, int step);

// Step `step` (from 1) of the lab's own run of path.method on y' = f(x, y),
// clamped to the steps the run took; without steps, only notes saying why.
StageView stageView(const SolutionPath& path, Slope f, const SolutionSamples& solution, int step);

// The headings of the Stages table, x and y being where the step starts.
inline constexpr std::array<const char*, 5> stageColumns{
    "j", "x + c\u2c7c\u00b7h", "Y\u2c7c", "f(x + c\u2c7c\u00b7h, Y\u2c7c)", "k\u2c7c = h\u00b7f"};

// The stages of the shown step as the Stages table lists them, numbers as the
// results list writes them: a row per stage j (j, x + c_j·h, Y_j, the slope
// there, k_j), then the step's row (its end x_i and y_i under the abscissae
// and values, the increment Σ b_j k_j under the k_j). Empty without a step.
std::vector<std::vector<std::string>> stageRows(const StageView& view);

// The plot's names of the stage points, "k1", "k2", ...: stages at one
// point share one label ("k1, k2, k3, k4" when h = 0).
struct StageLabel {
    std::string text;
    double x, y;   // the point it names
    double slope;  // of the segment drawn through the point
};
std::vector<StageLabel> stageLabels(const StageStep& stages);

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

// What the step's plot draws: the parts a plot can show, and the ranges that
// hold them all with a little room around.
struct StageDrawing {
    DrawablePoints exact, stagePoints;
    std::vector<Segment> slopes;
    std::optional<Segment> increment;
    Extent x, y;
    bool leftOut = false;  // some part lies beyond what a plot can span
};
StageDrawing stageDrawing(const StageView& view);

// The tableau laid out as a textbook prints it: c | A on the stage rows,
// then b, then e for an embedded pair; empty cells above the diagonal.
std::vector<std::vector<std::string>> tableauCells(const Tableau& tableau);

}  // namespace pelorin
