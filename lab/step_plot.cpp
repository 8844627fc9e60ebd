#include "lab/step_plot.h"

#include "lab/plot.h"

#include <algorithm>
#include <utility>

namespace {

constexpr double stageMarkerSize = 8, iterateMarkerSize = 7;
// The step's start as a ring around the first stage's disc, which sits on
// it; the end as a square, unlike any stage.
constexpr double startMarkerSize = 14, endMarkerSize = 10;

constexpr const char* stagePointsName = "stage points k\u2c7c with their slopes";
constexpr const char* newValueName = "the new value";
constexpr const char* predictedName = "predicted value p";

QColor methodColourOf(const pelorin::Method& method) {
    return LabPlot::methodPen(pelorin::catalogueRow(method)).color();
}

// A multistep step's weighed points, or the one start its first step has.
QString pastPointsName(bool fromStart) {
    return fromStart ? "the step's start" : "past points with their slopes";
}

// The markers of the phase plane: the step's start a ring in the text's
// colour, the stage or past points discs in the method's, the new value a
// square in the accent, a pair's predicted value a diamond in the text's.
QCPScatterStyle startMarker(const LabPlot& plot) {
    return QCPScatterStyle(QCPScatterStyle::ssCircle,
                           QPen(plot.palette().color(QPalette::Text), 1.5), Qt::NoBrush,
                           startMarkerSize);
}
QCPScatterStyle stageMarker(const QColor& methodColour) {
    return QCPScatterStyle(QCPScatterStyle::ssDisc, methodColour, stageMarkerSize);
}
QCPScatterStyle newValueMarker(const LabPlot& plot) {
    return QCPScatterStyle(QCPScatterStyle::ssSquare, plot.accent(), plot.accent(),
                           endMarkerSize);
}
QCPScatterStyle predictedMarker(const LabPlot& plot) {
    const QColor text = plot.palette().color(QPalette::Text);
    return QCPScatterStyle(QCPScatterStyle::ssDiamond, text, text, stageMarkerSize);
}

// The legend's entry for the increment's arrow.
void addIncrementEntry(LabPlot& plot) {
    plot.addLegendEntry("the step's increment", QPen(plot.accent(), 2));
}

// The known solution, under what the step draws; the method's colour.
QColor drawExact(LabPlot& plot, const pelorin::DrawablePoints& exact,
                 const pelorin::Method& method, const QString& knownName) {
    QCPGraph* curve = plot.addGraph();
    curve->setName(knownName);
    curve->setPen(QPen(plot.palette().color(QPalette::Text), 1.5));
    curve->setData(toQVector(exact.x), toQVector(exact.y));
    return methodColourOf(method);
}

// The known solution's path over the step in the phase plane.
void drawKnownPath(LabPlot& plot, const pelorin::DrawablePoints& known, const QString& knownName) {
    // A path in the plane, drawn in the order of x: a curve, not a graph.
    auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
    curve->setName(knownName);
    curve->setPen(QPen(plot.palette().color(QPalette::Text), 1.5));
    curve->setData(toQVector(known.x), toQVector(known.y));
}

// Iterate k of n is drawn in the method's colour mixed into the plot's
// ground, from a quarter of the colour at the start to all of it at the
// last, so that the eye follows the iterations to the stage points; under
// the stage points they close in on.
void drawIterates(LabPlot& plot, const std::vector<pelorin::IteratePoints>& iterates,
                  const QColor& methodColour) {
    const QColor ground = plot.palette().color(QPalette::Base);
    const auto last = static_cast<double>(std::max<std::size_t>(iterates.size(), 2) - 1);
    for (std::size_t k = 0; k < iterates.size(); ++k) {
        const double share = 0.25 + 0.75 * static_cast<double>(k) / last;
        const auto mix = [&](double colour, double base) {
            return share * colour + (1 - share) * base;
        };
        const QColor shade = QColor::fromRgbF(
            static_cast<float>(mix(methodColour.redF(), ground.redF())),
            static_cast<float>(mix(methodColour.greenF(), ground.greenF())),
            static_cast<float>(mix(methodColour.blueF(), ground.blueF())));
        QCPGraph* points = plot.addGraph();
        points->setLineStyle(QCPGraph::lsNone);
        points->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, shade, iterateMarkerSize));
        points->setData(toQVector(iterates[k].points.x), toQVector(iterates[k].points.y));
        // One legend entry for them all, in the middle shade.
        if (k == iterates.size() / 2) points->setName("Newton iterates, paler the earlier");
        else points->removeFromLegend();
    }
}

QCPItemLine* addArrow(LabPlot& plot, const pelorin::Segment& segment, const QPen& pen,
                      const QCPLineEnding& head) {
    auto* arrow = new QCPItemLine(&plot);
    arrow->start->setCoords(segment.x1, segment.y1);
    arrow->end->setCoords(segment.x2, segment.y2);
    arrow->setPen(pen);
    arrow->setHead(head);
    return arrow;
}

// The step's increment as an arrow in the accent.
void drawIncrement(LabPlot& plot, const pelorin::Segment& increment) {
    addArrow(plot, increment, QPen(plot.accent(), 2), QCPLineEnding::esSpikeArrow);
}

// The phase plane's slopes as short arrows in the method's colour.
void drawSlopeArrows(LabPlot& plot, const std::vector<pelorin::Segment>& slopes,
                     const QColor& methodColour) {
    const QCPLineEnding slopeHead(QCPLineEnding::esSpikeArrow, 7, 9);
    for (const pelorin::Segment& slope : slopes) {
        addArrow(plot, slope, QPen(methodColour, 2), slopeHead);
    }
}

// Short segments of the slopes, and the increment as an arrow.
void drawSlopes(LabPlot& plot, const std::vector<pelorin::Segment>& slopes, const QPen& pen,
                const std::optional<pelorin::Segment>& increment) {
    for (const pelorin::Segment& segment : slopes) {
        auto* line = new QCPItemLine(&plot);
        line->start->setCoords(segment.x1, segment.y1);
        line->end->setCoords(segment.x2, segment.y2);
        line->setPen(pen);
    }
    if (increment) drawIncrement(plot, *increment);
}

// The stage points, their slopes and the increment, in the method's colour.
void drawStages(LabPlot& plot, const pelorin::StageDrawing& drawing, const QColor& methodColour) {
    QCPGraph* stages = plot.addGraph();
    stages->setName(stagePointsName);
    stages->setLineStyle(QCPGraph::lsNone);
    stages->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssDisc, methodColour, stageMarkerSize));
    stages->setData(toQVector(drawing.stagePoints.x), toQVector(drawing.stagePoints.y));
    plot.drawOnTop(*stages);
    drawSlopes(plot, drawing.slopes, QPen(methodColour, 2), drawing.increment);
}

// Names the stage points "k1", "k2", ... on a ground that keeps the names
// readable over lines; placeStepLabels puts them beside their points.
std::vector<StepLabel> labelPoints(LabPlot& plot, const std::vector<pelorin::StageLabel>& stages) {
    QColor ground = plot.palette().color(QPalette::Base);
    ground.setAlpha(200);
    std::vector<StepLabel> labels;
    for (const pelorin::StageLabel& label : stages) {
        if (!pelorin::drawable({label.x, label.y})) continue;
        auto* text = new QCPItemText(&plot);
        text->setText(QString::fromStdString(label.text));
        text->position->setCoords(label.x, label.y);
        text->setFont(plot.textSized(text->font()));
        text->setPadding(QMargins(5, 3, 5, 3));
        text->setColor(plot.palette().color(QPalette::Text));
        text->setBrush(ground);
        labels.push_back({text, label.slope});
    }
    return labels;
}

// Points over everything else drawn: the curves and arrows that start at
// them and the names beside them.
QCPGraph* addPoints(LabPlot& plot, const pelorin::DrawablePoints& points, const QString& name,
                    const QCPScatterStyle& marker) {
    QCPGraph* graph = plot.addGraph();
    graph->setName(name);
    graph->setLineStyle(QCPGraph::lsNone);
    graph->setScatterStyle(marker);
    graph->setData(toQVector(points.x), toQVector(points.y));
    plot.drawOnTop(*graph);
    return graph;
}

QCPGraph* addPoint(LabPlot& plot, double y1, double y2, const QString& name,
                   const QCPScatterStyle& marker) {
    return addPoints(plot, {{y1}, {y2}, false}, name, marker);
}

// The same where there are any: an empty set has no legend entry.
void addPointsIfAny(LabPlot& plot, const pelorin::DrawablePoints& points, const QString& name,
                    const QCPScatterStyle& marker) {
    if (!points.x.empty()) addPoints(plot, points, name, marker);
}

// The view that holds the drawing, and what the page keeps of it.
DrawnStep framedStep(LabPlot& plot, const pelorin::Extent& x, const pelorin::Extent& y,
                 std::vector<StepLabel> labels, bool leftOut) {
    plot.xAxis->setRange(x.lower, x.upper);
    plot.yAxis->setRange(y.lower, y.upper);
    return {std::move(labels), leftOut};
}

// The points' names, then the view that holds the drawing.
DrawnStep labelledStep(LabPlot& plot, const std::vector<pelorin::StageLabel>& names,
                       const pelorin::Extent& x, const pelorin::Extent& y, bool leftOut) {
    std::vector<StepLabel> labels = labelPoints(plot, names);
    return framedStep(plot, x, y, std::move(labels), leftOut);
}

}  // namespace

void clearStep(LabPlot& plot) {
    plot.clearPlottables();
    plot.clearItems();
}

// The exact solution, the stage points with their slopes, the increment and
// the stages' names.
DrawnStep drawStep(LabPlot& plot, const pelorin::StageView& view, const QString& knownName) {
    const pelorin::StageDrawing drawing = pelorin::stageDrawing(view);
    const QColor methodColour = drawExact(plot, drawing.exact, *view.method, knownName);
    drawIterates(plot, drawing.iterates, methodColour);
    std::vector<StepLabel> labels;
    // A step without a value has its iterates and nothing more to show.
    if (view.stages.hasValue()) {
        drawStages(plot, drawing, methodColour);
        labels = labelPoints(plot, pelorin::stageLabels(view.stages));
        addIncrementEntry(plot);
    }
    return framedStep(plot, drawing.x, drawing.y, std::move(labels), drawing.leftOut);
}

// The known solution's path, the step's start, Newton's iterates, the stage
// points with their slopes' arrows, the increment and the step's end.
DrawnStep drawStep(LabPlot& plot, const pelorin::StageViewOf<pelorin::StateVector>& view,
                   const QString& knownName) {
    const pelorin::PhaseStepDrawing drawing = pelorin::phaseStepDrawing(view);
    const QColor methodColour = methodColourOf(*view.method);
    drawKnownPath(plot, drawing.known, knownName);
    if (drawing.increment) {
        drawIncrement(plot, *drawing.increment);
        addPoint(plot, drawing.increment->x1, drawing.increment->y1, "the step's start",
                 startMarker(plot));
    }
    drawIterates(plot, drawing.iterates, methodColour);
    // A step without a value has its iterates and nothing more to show.
    if (view.stages.hasValue()) {
        addPoints(plot, drawing.stagePoints, stagePointsName, stageMarker(methodColour));
    }
    drawSlopeArrows(plot, drawing.slopes, methodColour);
    if (drawing.increment) {
        addPoint(plot, drawing.increment->x2, drawing.increment->y2,
                 "the step's end, y + \u03a3 b\u2c7ck\u2c7c", newValueMarker(plot));
    }
    if (view.stages.hasValue()) addIncrementEntry(plot);
    return labelledStep(plot, pelorin::phaseStageLabels(view.stages), drawing.y1, drawing.y2,
                        drawing.leftOut);
}

// The known solution, the polynomial the formula rests on, the past points
// with their slopes, the increment to the new point and a pair's predicted
// value or Newton's iterates, and the points' names.
DrawnStep drawStep(LabPlot& plot, const pelorin::MultistepView& view, const QString& knownName) {
    const pelorin::MultistepDrawing drawing = pelorin::multistepDrawing(view);
    const QColor methodColour = drawExact(plot, drawing.exact, *view.method, knownName);
    if (!drawing.polynomial.x.empty()) {
        QCPGraph* polynomial = plot.addGraph();
        polynomial->setName(QString::fromStdString(drawing.polynomialName));
        polynomial->setPen(QPen(methodColour, 1.5, Qt::DashLine));
        polynomial->setData(toQVector(drawing.polynomial.x), toQVector(drawing.polynomial.y));
    }
    drawIterates(plot, drawing.iterates, methodColour);
    // The points are what the step weighs: over the segments and the arrow
    // that start at them, all of the size of the stage points.
    addPointsIfAny(plot, drawing.past, pastPointsName(view.fromStart),
                   QCPScatterStyle(QCPScatterStyle::ssDisc, methodColour, methodColour,
                                   stageMarkerSize));
    // p lies near the new value: the smaller diamond over the square.
    addPointsIfAny(plot, drawing.next, newValueName,
                   QCPScatterStyle(QCPScatterStyle::ssSquare, plot.accent(), plot.accent(),
                                   stageMarkerSize));
    addPointsIfAny(plot, drawing.predicted, predictedName, predictedMarker(plot));
    // The slopes lie along the polynomial's curve, which touches them: a
    // darker, wider pen keeps them apart from it.
    drawSlopes(plot, drawing.slopes, QPen(methodColour.darker(150), 3), drawing.increment);
    if (drawing.increment) addIncrementEntry(plot);
    return labelledStep(plot, drawing.labels, drawing.x, drawing.y, drawing.leftOut);
}

// The known solution's path, Newton's iterates, the past points with their
// slopes' arrows, the increment to the new value, a pair's predicted value,
// and the points' names.
DrawnStep drawStep(LabPlot& plot, const pelorin::MultistepViewOf<pelorin::StateVector>& view,
                   const QString& knownName) {
    const pelorin::MultistepPhaseDrawing drawing = pelorin::multistepPhaseDrawing(view);
    const QColor methodColour = methodColourOf(*view.method);
    drawKnownPath(plot, drawing.known, knownName);
    drawIterates(plot, drawing.iterates, methodColour);
    if (drawing.increment) drawIncrement(plot, *drawing.increment);
    addPoints(plot, drawing.past, pastPointsName(view.fromStart), stageMarker(methodColour));
    drawSlopeArrows(plot, drawing.slopes, methodColour);
    addPointsIfAny(plot, drawing.next, newValueName, newValueMarker(plot));
    // p lies near the new value: the smaller diamond over the square.
    addPointsIfAny(plot, drawing.predicted, predictedName, predictedMarker(plot));
    if (drawing.increment) addIncrementEntry(plot);
    return labelledStep(plot, drawing.labels, drawing.y1, drawing.y2, drawing.leftOut);
}

void placeStepLabels(const LabPlot& plot, const std::vector<StepLabel>& labels) {
    std::vector<pelorin::LabelSpot> spots;
    for (const auto& [text, slope] : labels) {
        const QPointF point = text->position->pixelPosition();
        const QPointF size = text->bottomRight->pixelPosition() - text->topLeft->pixelPosition();
        spots.push_back({point.x(), point.y(), size.x(), size.y(), slope});
    }
    const QRectF axes = plot.axisRect()->rect();
    const auto sides = pelorin::placeLabels(
        spots, {axes.left(), axes.top(), axes.right(), axes.bottom()}, stageMarkerSize);
    for (std::size_t i = 0; i < sides.size(); ++i) {
        using enum pelorin::LabelSide;
        const pelorin::LabelSide side = sides[i];
        // The corner of the box that sits at the point.
        labels[i].text->setPositionAlignment(
            (side == aboveLeft || side == aboveRight ? Qt::AlignBottom : Qt::AlignTop) |
            (side == aboveLeft || side == belowLeft ? Qt::AlignRight : Qt::AlignLeft));
    }
}
