#include "analysis/stage_view.h"

#include "methods/exact_solution.h"
#include "run/conversions.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// A slope segment spans this share of the step on either side of its point.
constexpr double segmentReach = 0.125;
constexpr int exactSamples = 41;

bool finite(const Segment& segment) {
    return std::isfinite(segment.x1) && std::isfinite(segment.y1) && std::isfinite(segment.x2) &&
           std::isfinite(segment.y2);
}

}  // namespace

int listedSteps(const Calculation& calculation) {
    if (!calculation.method) return 0;
    return std::max(calculation.solutions.numerical.last(), 0);
}

StageView stageView(const Calculation& calculation, int step) {
    StageView view;
    view.steps = listedSteps(calculation);
    view.method = calculation.method;
    if (view.steps == 0 || !calculation.value(Input::h)) {
        view.notes.push_back(calculation.failedStage
                                 ? "The last calculation listed no step: " + calculation.failure
                                 : "Press CALCULATE in the main window: this page shows the "
                                   "stages of its steps.");
        return view;
    }
    const SolutionTable& numerical = calculation.solutions.numerical;
    view.step = std::clamp(step, 1, view.steps);
    view.x = numerical.x(view.step - 1);
    view.y = numerical.y(view.step - 1);
    view.h = *calculation.value(Input::h);
    view.stages = stepByStages(*view.method->tableau, view.x, view.y, view.h);

    const double reach = segmentReach * view.h;
    for (int j = 0; j < view.stages.stages; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        const double x = view.stages.x[jj], Y = view.stages.Y[jj], slope = view.stages.slope[jj];
        const Segment segment{x - reach, Y - slope * reach, x + reach, Y + slope * reach};
        if (finite(segment)) view.slopes.push_back(segment);
    }
    view.increment = {view.x, view.y, view.x + view.h, view.stages.y1};

    const ExactSolution exact(*calculation.value(Input::x0), *calculation.value(Input::y0));
    for (int i = 0; i < exactSamples; ++i) {
        const double x = view.x + view.h * i / (exactSamples - 1);
        const double y = exact(x);
        if (!std::isfinite(y)) continue;
        view.exactX.push_back(x);
        view.exactY.push_back(y);
    }
    if (!finite(view.increment) || view.slopes.size() != static_cast<std::size_t>(view.stages.stages)) {
        view.notes.push_back("Some stages of this step are too large to draw.");
    }
    view.notes.push_back("Step " + std::to_string(view.step) + " of " + std::to_string(view.steps) +
                         " from x = " + numberToText(view.x) + ", y = " + numberToText(view.y) +
                         " with h = " + numberToText(view.h) + ": y1 = " +
                         numberToText(view.stages.y1) + ".");
    return view;
}

std::vector<std::vector<std::string>> tableauCells(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    std::vector<std::vector<std::string>> cells;
    for (std::size_t j = 0; j < s; ++j) {
        std::vector<std::string> row{tableau.c[j].text()};
        for (std::size_t l = 0; l < s; ++l) row.push_back(l < j ? tableau.a[j][l].text() : "");
        cells.push_back(row);
    }
    const auto weights = [&](const Coefficients& w) {
        std::vector<std::string> row{""};
        for (std::size_t l = 0; l < s; ++l) row.push_back(w[l].text());
        return row;
    };
    cells.push_back(weights(tableau.b));
    if (tableau.hasErrorEstimate()) cells.push_back(weights(tableau.e));
    return cells;
}

}  // namespace pelorin
