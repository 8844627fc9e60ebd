#include "texts/system_stage_view.h"

#include "base/conversions.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// The phase plane's point of a state: its first two components.
struct PhasePoint {
    double y1, y2;
};
PhasePoint phasePoint(const StateVector& y) { return {y[0], y[1]}; }

// A range with room for the labels beside the points and the arrows' heads.
Extent withRoom(Extent extent) {
    if (!extent.empty && extent.upper == extent.lower) {
        const double room = 0.5 * std::max(1.0, std::fabs(extent.lower));
        extent.lower -= room;
        extent.upper += room;
    }
    return extent.widened(1.2);
}

SystemStageView runStep(const SystemPath& path, const Method& stepping, SystemSlope F,
                        const SystemSolutionSamples& solution, int step);

}  // namespace

std::string componentNames(std::size_t components) {
    std::string names;
    for (std::size_t k = 1; k <= components; ++k) {
        names += (k > 1 ? ", y" : "(y") + std::to_string(k);
    }
    return names + ")";
}

std::string vectorText(const StateVector& y) {
    std::string text;
    for (double component : y) text += (text.empty() ? "(" : ", ") + stageValueText(component);
    return text + ")";
}

void appendComponents(std::vector<std::string>& row, const StateVector& state) {
    for (double component : state) row.push_back(stageValueText(component));
}

void appendComponents(std::vector<std::string>& row, double value) {
    row.push_back(stageValueText(value));
}

void appendComponentColumns(std::vector<std::string>& columns, std::size_t components,
                            const std::string& prefix, const std::string& suffix) {
    for (std::size_t k = 1; k <= components; ++k) {
        columns.push_back(prefix + std::to_string(k) + suffix);
    }
}

Segment phaseArrow(const StateVector& y, const StateVector& k) {
    // A slope's arrow is a quarter of its k = h·F long.
    constexpr double arrowShare = 0.25;
    const auto [y1, y2] = phasePoint(y);
    const auto [k1, k2] = phasePoint(k);
    return {y1, y2, y1 + arrowShare * k1, y2 + arrowShare * k2};
}

void includeInPhasePlane(Extent& y1, Extent& y2, const std::vector<const DrawablePoints*>& parts,
                         const std::vector<Segment>& segments) {
    for (const DrawablePoints* points : parts) {
        for (double first : points->x) y1.include(first);
        for (double second : points->y) y2.include(second);
    }
    for (const Segment& segment : segments) {
        for (double first : {segment.x1, segment.x2}) y1.include(first);
        for (double second : {segment.y1, segment.y2}) y2.include(second);
    }
    y1 = withRoom(y1);
    y2 = withRoom(y2);
}

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
           numberToText(x) + ", " + names + " = " + vectorText(y) + " with h = " + numberToText(h) +
           ": at x" + end + " = " + numberToText(xEnd) + ", " + names +
           (yEnd ? " = " + vectorText(*yEnd) + "." : " has no value.");
}

SystemStageView stageView(const SystemPath& path, SystemSlope F,
                          const SystemSolutionSamples& solution, int step) {
    return runStep(path, *path.method, F, solution, step);
}

SystemStageView stageView(const SystemPath& path, const Method& stepping, SystemSlope F,
                          const SystemSolutionSamples& solution, int step) {
    return runStep(path, stepping, F, solution, step);
}

namespace {

SystemStageView runStep(const SystemPath& path, const Method& stepping, SystemSlope F,
                        const SystemSolutionSamples& solution, int step) {
    SystemStageView view;
    if (!pickStep(view, path, step)) return view;
    view.method = &stepping;
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

}  // namespace

std::vector<std::string> systemStageColumns(std::size_t components) {
    std::vector<std::string> columns{"j", "x + c\u2c7c\u00b7h"};
    appendComponentColumns(columns, components, "Y\u2c7c,");
    appendComponentColumns(columns, components, "F", "(x + c\u2c7c\u00b7h, Y\u2c7c)");
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
        stageY1.push_back(y1);
        stageY2.push_back(y2);
        const Segment arrow = phaseArrow(view.stages.Y[j], view.stages.k[j]);
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
    std::vector<Segment> segments = drawing.slopes;
    if (drawing.increment) segments.push_back(*drawing.increment);
    includeInPhasePlane(drawing.y1, drawing.y2, parts, segments);
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

std::string phasePlaneNote(std::size_t components, const std::string& table) {
    if (components <= 2) return {};
    return "The plot shows the phase plane of y1 and y2, the first two of the " +
           std::to_string(components) + " components; the " + table + " table lists them all.";
}

}  // namespace pelorin
