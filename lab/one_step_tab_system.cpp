// The One step page on a system: the step drawn in the phase plane of y1
// and y2, where a state is a point and a slope F(x, y) a direction. The
// known solution's path over the step, the step's start, the stage points
// with their slopes as short arrows, the increment as an arrow and the
// step's end; a multistep method's past points with their slopes instead
// of stages.
#include "lab/one_step_tab.h"

#include "lab/plot.h"
#include "studies/known_solution.h"

namespace {

// The step's start as a ring around the first stage's disc, which sits on
// it; the end as a square, unlike any stage.
constexpr double startMarkerSize = 14, endMarkerSize = 10;

QCPItemLine* addArrow(LabPlot& plot, const pelorin::Segment& segment, const QPen& pen,
                      const QCPLineEnding& head) {
    auto* arrow = new QCPItemLine(&plot);
    arrow->start->setCoords(segment.x1, segment.y1);
    arrow->end->setCoords(segment.x2, segment.y2);
    arrow->setPen(pen);
    arrow->setHead(head);
    return arrow;
}

QCPGraph* addPoints(LabPlot& plot, const QVector<double>& y1, const QVector<double>& y2,
                    const QString& name, const QCPScatterStyle& marker) {
    QCPGraph* points = plot.addGraph();
    points->setName(name);
    points->setLineStyle(QCPGraph::lsNone);
    points->setScatterStyle(marker);
    points->setData(y1, y2);
    plot.drawOnTop(*points);
    return points;
}

QCPGraph* addPoint(LabPlot& plot, double y1, double y2, const QString& name,
                   const QCPScatterStyle& marker) {
    return addPoints(plot, {y1}, {y2}, name, marker);
}

}  // namespace

void OneStepTab::drawStep(const pelorin::SystemStageView& view) {
    if (!startDrawing(view.steps > 0)) return;
    const pelorin::PhaseStepDrawing drawing = pelorin::phaseStepDrawing(view);
    const QColor text = plot_->palette().color(QPalette::Text);
    const QColor methodColour = LabPlot::methodPen(pelorin::catalogueRow(*view.method)).color();
    const QColor accent = plot_->accent();

    drawKnownPath(drawing.known);

    if (drawing.increment) {
        addArrow(*plot_, *drawing.increment, QPen(accent, 2), QCPLineEnding::esSpikeArrow);
        addPoint(*plot_, drawing.increment->x1, drawing.increment->y1, "the step's start",
                 QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(text, 1.5), Qt::NoBrush,
                                 startMarkerSize));
    }
    drawIterates(drawing.iterates, methodColour);
    // A step without a value has its iterates and nothing more to show.
    if (view.stages.hasValue()) {
        addPoints(*plot_, toQVector(drawing.stagePoints.x), toQVector(drawing.stagePoints.y),
                  "stage points k\u2c7c with their slopes",
                  QCPScatterStyle(QCPScatterStyle::ssDisc, methodColour, stageMarkerSize));
    }
    const QCPLineEnding slopeHead(QCPLineEnding::esSpikeArrow, 7, 9);
    for (const pelorin::Segment& slope : drawing.slopes) {
        addArrow(*plot_, slope, QPen(methodColour, 2), slopeHead);
    }
    if (drawing.increment) {
        addPoint(*plot_, drawing.increment->x2, drawing.increment->y2,
                 "the step's end, y + \u03a3 b\u2c7ck\u2c7c",
                 QCPScatterStyle(QCPScatterStyle::ssSquare, accent, accent, endMarkerSize));
    }
    if (view.stages.hasValue()) plot_->addLegendEntry("the step's increment", QPen(accent, 2));
    labelStagePoints(pelorin::phaseStageLabels(view.stages));

    finishDrawing(drawing.y1, drawing.y2, drawing.leftOut);
}

void OneStepTab::drawKnownPath(const pelorin::DrawablePoints& known) {
    // A path in the plane, drawn in the order of x: a curve, not a graph.
    auto* curve = new QCPCurve(plot_->xAxis, plot_->yAxis);
    curve->setName(QString::fromStdString(pelorin::knownSolutionName(inputs_.problem)));
    curve->setPen(QPen(plot_->palette().color(QPalette::Text), 1.5));
    curve->setData(toQVector(known.x), toQVector(known.y));
}

// The known solution's path, Newton's iterates, the past points with their
// slopes' arrows, the increment to the new value, a pair's predicted value,
// and the points' names.
void OneStepTab::drawMultistepPhase(const pelorin::SystemMultistepView& view) {
    if (!startDrawing(view.steps > 0)) return;
    const pelorin::MultistepPhaseDrawing drawing = pelorin::multistepPhaseDrawing(view);
    const QColor text = plot_->palette().color(QPalette::Text);
    const QColor methodColour = LabPlot::methodPen(pelorin::catalogueRow(*view.method)).color();
    const QColor accent = plot_->accent();
    drawKnownPath(drawing.known);
    drawIterates(drawing.iterates, methodColour);
    if (drawing.increment) {
        addArrow(*plot_, *drawing.increment, QPen(accent, 2), QCPLineEnding::esSpikeArrow);
    }
    addPoints(*plot_, toQVector(drawing.past.x), toQVector(drawing.past.y),
              view.fromStart ? "the step's start" : "past points with their slopes",
              QCPScatterStyle(QCPScatterStyle::ssDisc, methodColour, stageMarkerSize));
    const QCPLineEnding slopeHead(QCPLineEnding::esSpikeArrow, 7, 9);
    for (const pelorin::Segment& slope : drawing.slopes) {
        addArrow(*plot_, slope, QPen(methodColour, 2), slopeHead);
    }
    if (!drawing.next.x.empty()) {
        addPoints(*plot_, toQVector(drawing.next.x), toQVector(drawing.next.y), "the new value",
                  QCPScatterStyle(QCPScatterStyle::ssSquare, accent, accent, endMarkerSize));
    }
    // p lies near the new value: the smaller diamond over the square.
    if (!drawing.predicted.x.empty()) {
        addPoints(*plot_, toQVector(drawing.predicted.x), toQVector(drawing.predicted.y),
                  "predicted value p",
                  QCPScatterStyle(QCPScatterStyle::ssDiamond, text, text, stageMarkerSize));
    }
    if (drawing.increment) plot_->addLegendEntry("the step's increment", QPen(accent, 2));
    labelStagePoints(drawing.labels);
    finishDrawing(drawing.y1, drawing.y2, drawing.leftOut);
}
