// The One step page on a multistep method: the points a step weighs, drawn
// with their slopes and the formula's polynomial, the formula's weights and
// the Weights table; a starting value shows the step of the method that made
// it. On a system the Weights table has a column for every component and
// the step is drawn in the phase plane (y1, y2). The numbers and sentences
// come from texts/multistep_view.
#include "lab/one_step_tab.h"

#include "lab/page.h"
#include "lab/plot.h"
#include "studies/field_study.h"
#include "studies/known_solution.h"
#include "texts/multistep_view.h"
#include "ui/text.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace {

constexpr const char* weightsCaption =
    "Wei&ghts of the step, to check by hand: each point's value and slope, the formula's "
    "\u03b1 and \u03b2 (divided by \u03b1\u2096) and their terms";
constexpr const char* scalarDescription =
    "The points the step weighs with their slopes as short segments, the polynomial the "
    "formula rests on, the increment as an arrow to the new value, and the exact solution or "
    "the reference.";
constexpr const char* phaseDescription =
    "The step in the phase plane of y1 and y2: the points it weighs with their slopes as short "
    "arrows, the increment as an arrow from the last of them to the new value, and the exact "
    "solution or the reference over the points and the step.";

}  // namespace

// The method a starting value came from: the "Start with" method, or none
// for the solution.
const pelorin::Method* OneStepTab::startMethod() const {
    return pelorin::startOf(inputs_.problem, inputs_.multistep).method;
}

void OneStepTab::showMultistepStep(int step) {
    const pelorin::Problem& problem = inputs_.problem;
    const pelorin::Method* start = startMethod();
    const std::string startName = pelorin::startName(problem, inputs_.multistep);
    const pelorin::MultistepView view = pelorin::multistepView(
        run_, problem.slope(), pelorin::knownSolution(problem), startName, step);
    showWalk(view.method, view.step, view.steps);
    if (view.fromStart && start) {
        // The starting value is a step of the one-step method: its stages.
        pelorin::StageView stages = pelorin::stageView(run_, *start, problem.slope(),
                                                       pelorin::knownSolution(problem), view.step);
        stages.notes.insert(stages.notes.begin(), view.notes.begin(), view.notes.end());
        showStageParts(stages);
        return;
    }
    showNotes(view.notes, view.xEnd, view.steps);
    // A starting value from the solution has no weights: the table stays
    // empty, and the notes say where the value came from.
    showWeightsOf(view.steps > 0 ? view.method : nullptr, scalarDescription);
    fillNewton(view.method, {pelorin::newValueNewtonColumns(view.step, 1),
                             pelorin::newtonRows(view.numbers.iterations)});
    fillCentred(*stages_, {{pelorin::weightColumns.begin(), pelorin::weightColumns.end()},
                           pelorin::weightRows(view)});
    drawMultistep(view);
}

void OneStepTab::showMultistepSystemStep(int step) {
    const pelorin::Problem& problem = inputs_.problem;
    const pelorin::SystemSolutionSamples known = pelorin::systemComparison(problem).samples;
    const pelorin::SystemMultistepView view = pelorin::multistepView(
        systemRun_, problem.systemSlope(), known, pelorin::startName(problem, inputs_.multistep),
        step);
    showWalk(view.method, view.step, view.steps);
    if (view.fromStart && startMethod()) {
        // The starting value is a step of the one-step method: its stages.
        pelorin::SystemStageView stages =
            pelorin::stageView(systemRun_, *startMethod(), problem.systemSlope(), known, view.step);
        stages.notes.insert(stages.notes.begin(), view.notes.begin(), view.notes.end());
        showStageParts(stages);
        return;
    }
    showNotes(view.notes, view.xEnd, view.steps);
    showWeightsOf(view.steps > 0 ? view.method : nullptr, phaseDescription);
    const std::size_t components = problem.components();
    fillNewton(view.method, {pelorin::newValueNewtonColumns(view.step, components),
                             pelorin::newtonRows(view.numbers.iterations)});
    fillCentred(*stages_, {pelorin::systemWeightColumns(components), pelorin::weightRows(view)});
    drawMultistepPhase(view);
}

void OneStepTab::showWeightsOf(const pelorin::Method* method, const char* description) {
    captionOf(*stages_)->setText(weightsCaption);
    stages_->setAccessibleName("Weights");
    plot_->describe(description);
    fillFormula(method ? pelorin::multistepOf(*method) : nullptr);
    captionOf(*newton_)->setText("Ne&wton iterations of the new value");
}

void OneStepTab::fillFormula(const pelorin::Multistep* multistep) {
    // Alt+B, as for the tableau in its place.
    captionOf(*tableau_)->setText("Formula: the weights \u03b1 and \u03b2 of the points n \u2026 "
                                  "n+k, divided &by \u03b1\u2096");
    tableau_->setAccessibleName("Formula");
    tableau_->clear();
    if (!multistep) {
        tableau_->setRowCount(0);
        tableau_->setColumnCount(0);
        return;
    }
    const pelorin::FormulaCells formula = pelorin::formulaCells(*multistep);
    fillCentred(*tableau_, {formula.columns, formula.cells});
    QStringList rows;
    for (const std::string& row : formula.rows) rows << QString::fromStdString(row);
    tableau_->setVerticalHeaderLabels(rows);
}

// The known solution, the polynomial the formula rests on, the past points
// with their slopes, the increment to the new point and a pair's predicted
// value or Newton's iterates, and the points' names.
void OneStepTab::drawMultistep(const pelorin::MultistepView& view) {
    if (!startDrawing(view.steps > 0)) return;
    const pelorin::MultistepDrawing drawing = pelorin::multistepDrawing(view);
    const QColor methodColour = drawExact(drawing.exact, *view.method);
    if (!drawing.polynomial.x.empty()) {
        QCPGraph* polynomial = plot_->addGraph();
        polynomial->setName(QString::fromStdString(drawing.polynomialName));
        polynomial->setPen(QPen(methodColour, 1.5, Qt::DashLine));
        polynomial->setData(toQVector(drawing.polynomial.x), toQVector(drawing.polynomial.y));
    }
    drawIterates(drawing.iterates, methodColour);
    // The points are what the step weighs: over the segments and the arrow
    // that start at them.
    const auto points = [&](const pelorin::DrawablePoints& at, const QString& name,
                            QCPScatterStyle::ScatterShape shape, const QColor& colour) {
        if (at.x.empty()) return;
        QCPGraph* graph = plot_->addGraph();
        graph->setName(name);
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setScatterStyle(QCPScatterStyle(shape, colour, colour, stageMarkerSize));
        graph->setData(toQVector(at.x), toQVector(at.y));
        plot_->drawOnTop(*graph);
    };
    points(drawing.past, view.fromStart ? "the step's start" : "past points with their slopes",
           QCPScatterStyle::ssDisc, methodColour);
    // p lies near the new value: the smaller diamond over the square.
    points(drawing.next, "the new value", QCPScatterStyle::ssSquare, plot_->accent());
    points(drawing.predicted, "predicted value p", QCPScatterStyle::ssDiamond,
           plot_->palette().color(QPalette::Text));
    // The slopes lie along the polynomial's curve, which touches them: a
    // darker, wider pen keeps them apart from it.
    drawSlopes(drawing.slopes, QPen(methodColour.darker(150), 3), drawing.increment);
    if (drawing.increment) plot_->addLegendEntry("the step's increment", QPen(plot_->accent(), 2));
    labelStagePoints(drawing.labels);
    finishDrawing(drawing.x, drawing.y, drawing.leftOut);
}
