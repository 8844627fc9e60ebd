// The One step page on a system: the step drawn in the phase plane of y1
// and y2, where a state is a point and a slope F(x, y) a direction. The
// known solution's path over the step, the step's start, the stage points
// with their slopes as short arrows, the increment as an arrow and the
// step's end.
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

QCPGraph* addPoint(LabPlot& plot, double y1, double y2, const QString& name,
                   const QCPScatterStyle& marker) {
    QCPGraph* point = plot.addGraph();
    point->setName(name);
    point->setLineStyle(QCPGraph::lsNone);
    point->setScatterStyle(marker);
    point->setData({y1}, {y2});
    return point;
}

}  // namespace

void OneStepTab::drawPhaseStep(const pelorin::SystemStageView& view) {
    if (!startDrawing(view.steps > 0)) return;
    const pelorin::PhaseStepDrawing drawing = pelorin::phaseStepDrawing(view);
    const QColor text = plot_->palette().color(QPalette::Text);
    const QColor methodColour = LabPlot::methodPen(pelorin::catalogueRow(*view.method)).color();
    const QColor accent = plot_->accent();

    // A path in the plane, drawn in the order of x: a curve, not a graph.
    auto* known = new QCPCurve(plot_->xAxis, plot_->yAxis);
    known->setName(QString::fromStdString(pelorin::knownSolutionName(inputs_.problem)));
    known->setPen(QPen(text, 1.5));
    known->setData(toQVector(drawing.known.x), toQVector(drawing.known.y));

    if (drawing.increment) {
        addArrow(*plot_, *drawing.increment, QPen(accent, 2), QCPLineEnding::esSpikeArrow);
        addPoint(*plot_, drawing.increment->x1, drawing.increment->y1, "the step's start",
                 QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(text, 1.5), Qt::NoBrush,
                                 startMarkerSize));
    }
    drawIterates(drawing.iterates, methodColour);
    // A step without a value has its iterates and nothing more to show.
    if (view.stages.hasValue()) {
        QCPGraph* stages = plot_->addGraph();
        stages->setName("stage points k\u2c7c with their slopes");
        stages->setLineStyle(QCPGraph::lsNone);
        stages->setScatterStyle(
            QCPScatterStyle(QCPScatterStyle::ssDisc, methodColour, stageMarkerSize));
        stages->setData(toQVector(drawing.stagePoints.x), toQVector(drawing.stagePoints.y));
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
