#include "texts/system_stage_view.h"

#include "base/conversions.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// A slope's arrow is a quarter of the stage's k_j = h·F long: the share of
// the step the scalar plot's slope segments span, and short enough that the
// arrows of a step stay apart.
constexpr double arrowShare = 0.25;

// "(y1, y2, y3)"
std::string componentNames(std::size_t components) {
    std::string names;
    for (std::size_t k = 1; k <= components; ++k) {
        names += (k > 1 ? ", y" : "(y") + std::to_string(k);
    }
    return names + ")";
}

// "(1, -0.5)", each component as the results list writes numbers.
std::string pointText(const StateVector& y) {
    std::string text;
    for (double component : y) text += (text.empty() ? "(" : ", ") + stageValueText(component);
    return text + ")";
}

// Each component of `state` as the table writes it.
void appendComponents(std::vector<std::string>& row, const StateVector& state) {
    for (double component : state) row.push_back(stageValueText(component));
}

// The phase plane's point of a state: its first two components.
struct PhasePoint {
    double y1, y2;
};
PhasePoint phasePoint(const StateVector& y) { return {y[0], y[1]}; }

// A range with room for the labels beside the stage points and the arrows'
// heads; one of no width (a component the step keeps, a start at rest) is
// given room about its value, so that its points still show.
Extent withRoom(Extent extent) {
    if (!extent.empty && extent.upper == extent.lower) {
        const double room = 0.5 * std::max(1.0, std::fabs(extent.lower));
        extent.lower -= room;
        extent.upper += room;
    }
    return extent.widened(1.2);
}

}  // namespace

std::vector<StateVector> knownOverStep(const SystemSolutionSamples& solution, double x, double h) {
    std::vector<StateVector> known;
    if (!solution) return known;
    std::vector<double> abscissae;
    for (int s = 0; s < stepSolutionSamples; ++s) {
        abscissae.push_back(x + h * s / (stepSolutionSamples - 1));
    }
    for (const StateVector& state : solution(abscissae)) {
        if (isFiniteState(state)) known.push_back(state);
    }
    return known;
}

std::string stepSentence(int step, int steps, double x, const StateVector& y, double h, double xEnd,
                         const StateVector* yEnd) {
    const std::string names = componentNames(y.size());
    const std::string start = std::to_string(step - 1), end = std::to_string(step);
    return "Step " + end + " of " + std::to_string(steps) + " from x" + start + " = " +
           numberToText(x) + ", " + names + " = " + pointText(y) + " with h = " + numberToText(h) +
           ": at x" + end + " = " + numberToText(xEnd) + ", " + names +
           (yEnd ? " = " + pointText(*yEnd) + "." : " has no value.");
}

SystemStageView stageView(const SystemPath& path, SystemSlope F,
                          const SystemSolutionSamples& solution, int step) {
    SystemStageView view;
    if (!pickStep(view, path, step)) return view;
    view.stages = stepByStages(*tableauOf(*view.method), view.x, view.y, view.h, F);

    view.known = knownOverStep(solution, view.x, view.h);
    const bool hasValue = view.stages.hasValue();
    bool finiteStages = !hasValue || isFiniteState(view.stages.y1);
    for (int j = 0; hasValue && j < view.stages.stages; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        finiteStages = finiteStages && isFiniteState(view.stages.Y[jj]) &&
                       isFiniteState(view.stages.k[jj]);
    }
    if (!finiteStages) view.notes.push_back(stagesTooLargeNote());
    const std::size_t n = view.y.size();
    view.notes.push_back(stepSentence(view, hasValue));
    if (const std::string note = implicitStagesNote(*view.method); !note.empty()) {
        view.notes.push_back(note);
    }
    if (const std::string note = pathNote(path); !note.empty()) view.notes.push_back(note);
    if (const std::string plane = phasePlaneNote(n); !plane.empty()) view.notes.push_back(plane);
    return view;
}

std::vector<std::string> systemStageColumns(std::size_t components) {
    std::vector<std::string> columns{"j", "x + c\u2c7c\u00b7h"};
    const auto each = [&](const std::string& prefix, const std::string& suffix) {
        for (std::size_t k = 1; k <= components; ++k) {
            columns.push_back(prefix + std::to_string(k) + suffix);
        }
    };
    each("Y\u2c7c,", "");
    each("F", "(x + c\u2c7c\u00b7h, Y\u2c7c)");
    for (std::size_t k = 1; k <= components; ++k) {
        columns.push_back("k\u2c7c," + std::to_string(k) + " = h\u00b7F" + std::to_string(k));
    }
    return columns;
}

std::vector<std::vector<std::string>> stageRows(const SystemStageView& view) {
    std::vector<std::vector<std::string>> rows;
    if (view.steps == 0) return rows;
    const SystemStageStep& stages = view.stages;
    const std::size_t n = view.y.size();
    // A step without a value has its stages' abscissae and nothing more.
    const auto append = [&](std::vector<std::string>& row, const StateVector& state) {
        if (stages.hasValue()) appendComponents(row, state);
        else row.insert(row.end(), n, noValueText);
    };
    for (std::size_t j = 0; j < static_cast<std::size_t>(stages.stages); ++j) {
        std::vector<std::string> row{std::to_string(j + 1), stageValueText(stages.x[j])};
        append(row, stages.Y[j]);
        append(row, stages.slope[j]);
        append(row, stages.k[j]);
        rows.push_back(row);
    }
    // The step's end: y at x_i is y at x_(i-1) plus the increment.
    std::vector<std::string> end{
        "step " + std::to_string(view.step) + ": y + \u03a3 b\u2c7ck\u2c7c",
        stageValueText(view.xEnd)};
    append(end, view.yEnd);
    end.insert(end.end(), n, "");
    append(end, stages.increment);
    rows.push_back(end);
    return rows;
}

PhaseStepDrawing phaseStepDrawing(const SystemStageView& view) {
    PhaseStepDrawing drawing;
    if (view.steps == 0) return drawing;
    std::vector<double> knownY1, knownY2, stageY1, stageY2;
    for (const StateVector& state : view.known) {
        const auto [y1, y2] = phasePoint(state);
        knownY1.push_back(y1);
        knownY2.push_back(y2);
    }
    drawing.known = drawablePoints(knownY1, knownY2);
    std::size_t arrows = 0;
    const bool hasValue = view.stages.hasValue();
    for (std::size_t j = 0; hasValue && j < static_cast<std::size_t>(view.stages.stages); ++j) {
        const auto [y1, y2] = phasePoint(view.stages.Y[j]);
        const auto [k1, k2] = phasePoint(view.stages.k[j]);
        stageY1.push_back(y1);
        stageY2.push_back(y2);
        const Segment arrow{y1, y2, y1 + arrowShare * k1, y2 + arrowShare * k2};
        ++arrows;
        if (drawable(arrow)) drawing.slopes.push_back(arrow);
    }
    drawing.stagePoints = drawablePoints(stageY1, stageY2);
    const auto [start1, start2] = phasePoint(view.y);
    const auto [end1, end2] = phasePoint(view.yEnd);
    if (const Segment increment{start1, start2, end1, end2}; hasValue && drawable(increment)) {
        drawing.increment = increment;
    }
    for (const NewtonIterate<StateVector>& iterate : view.stages.iterations) {
        std::vector<double> y1, y2;
        for (const StateVector& Y : iterate.states) {
            const auto [first, second] = phasePoint(Y);
            y1.push_back(first);
            y2.push_back(second);
        }
        drawing.iterates.push_back({iterate.number, drawablePoints(y1, y2)});
    }
    drawing.leftOut = drawing.known.leftOut || drawing.stagePoints.leftOut ||
                      drawing.slopes.size() != arrows || (hasValue && !drawing.increment) ||
                      std::any_of(drawing.iterates.begin(), drawing.iterates.end(),
                                  [](const IteratePoints& iterate) { return iterate.points.leftOut; });

    std::vector<const DrawablePoints*> parts{&drawing.known, &drawing.stagePoints};
    for (const IteratePoints& iterate : drawing.iterates) parts.push_back(&iterate.points);
    for (const DrawablePoints* points : parts) {
        for (double y1 : points->x) drawing.y1.include(y1);
        for (double y2 : points->y) drawing.y2.include(y2);
    }
    std::vector<Segment> segments = drawing.slopes;
    if (drawing.increment) segments.push_back(*drawing.increment);
    for (const Segment& segment : segments) {
        for (double y1 : {segment.x1, segment.x2}) drawing.y1.include(y1);
        for (double y2 : {segment.y1, segment.y2}) drawing.y2.include(y2);
    }
    drawing.y1 = withRoom(drawing.y1);
    drawing.y2 = withRoom(drawing.y2);
    return drawing;
}

std::vector<StageLabel> phaseStageLabels(const SystemStageStep& stages) {
    std::vector<StagePoint> points;
    for (std::size_t j = 0; stages.hasValue() && j < static_cast<std::size_t>(stages.stages); ++j) {
        const auto [y1, y2] = phasePoint(stages.Y[j]);
        const auto [k1, k2] = phasePoint(stages.k[j]);
        points.push_back({y1, y2, k2 / k1});
    }
    return stageLabels(points);
}

std::string phasePlaneNote(std::size_t components) {
    if (components <= 2) return {};
    return "The plot shows the phase plane of y1 and y2, the first two of the " +
           std::to_string(components) + " components; the Stages table lists them all.";
}

}  // namespace pelorin
