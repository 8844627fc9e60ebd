#include "texts/phase_step_view.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// The phase plane's point of a state: its first two components.
struct PhasePoint {
    double y1, y2;
};
PhasePoint phasePoint(const StateVector& y) { return {y[0], y[1]}; }

// The points of states in the phase plane, where a plot can draw them.
DrawablePoints phasePoints(const std::vector<StateVector>& states) {
    std::vector<double> y1, y2;
    for (const StateVector& state : states) {
        const auto [first, second] = phasePoint(state);
        y1.push_back(first);
        y2.push_back(second);
    }
    return drawablePoints(y1, y2);
}

// A range with room for the labels beside the points and the arrows' heads.
Extent withRoom(Extent extent) {
    if (!extent.empty && extent.upper == extent.lower) {
        const double room = 0.5 * std::max(1.0, std::fabs(extent.lower));
        extent.lower -= room;
        extent.upper += room;
    }
    return extent.widened(1.2);
}

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

std::vector<std::string> systemStageColumns(std::size_t components) {
    std::vector<std::string> columns{"j", "x + c\u2c7c\u00b7h"};
    appendComponentColumns(columns, components, "Y\u2c7c,");
    appendComponentColumns(columns, components, "F", "(x + c\u2c7c\u00b7h, Y\u2c7c)");
    for (std::size_t k = 1; k <= components; ++k) {
        columns.push_back("k\u2c7c," + std::to_string(k) + " = h\u00b7F" + std::to_string(k));
    }
    return columns;
}

PhaseStepDrawing phaseStepDrawing(const StageViewOf<StateVector>& view) {
    PhaseStepDrawing drawing;
    if (view.steps == 0) return drawing;
    drawing.known = phasePoints(view.exactY);
    std::vector<double> stageY1, stageY2;
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
        drawing.iterates.push_back({iterate.number, phasePoints(iterate.states)});
    }
    drawing.leftOut =
        drawing.known.leftOut || drawing.stagePoints.leftOut || drawing.slopes.size() != arrows ||
        (hasValue && !drawing.increment) ||
        std::any_of(drawing.iterates.begin(), drawing.iterates.end(),
                    [](const IteratePoints& iterate) { return iterate.points.leftOut; });

    std::vector<const DrawablePoints*> parts{&drawing.known, &drawing.stagePoints};
    for (const IteratePoints& iterate : drawing.iterates) parts.push_back(&iterate.points);
    std::vector<Segment> segments = drawing.slopes;
    if (drawing.increment) segments.push_back(*drawing.increment);
    includeInPhasePlane(drawing.y1, drawing.y2, parts, segments);
    return drawing;
}

std::vector<StageLabel> phaseStageLabels(const StageStepOf<StateVector>& stages) {
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
