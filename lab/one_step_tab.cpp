#include "lab/one_step_tab.h"

#include "base/words.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "lab/step_tables.h"
#include "problem/system.h"
#include "studies/field_study.h"
#include "studies/known_solution.h"
#include "texts/stage_view.h"
#include "ui/text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// What names the plot's axes and the Stages table: a single equation's step
// is drawn in the plane (x, y), a system's in the phase plane (y1, y2).
struct Plane {
    const char* x;
    const char* y;
    const char* description;
    const char* stagesCaption;
};
constexpr Plane scalarPlane{
    "x", "y",
    "The stage points k1, k2, ... of the step with their slopes as short segments, the "
    "increment as an arrow and the exact solution.",
    "Sta&ges of the step, to check by hand (x, y: where the step starts)"};
constexpr Plane phasePlane{
    "y1", "y2",
    "The step in the phase plane of y1 and y2: its start, the stage points k1, k2, ... with "
    "their slopes as short arrows, the increment as an arrow to the step's end, and the exact "
    "solution or the reference over the step.",
    "Sta&ges of the step, to check by hand (x, y: where the step starts; Y\u2c7c,1 is "
    "component y1 of Y\u2c7c)"};

const Plane& planeOf(double) { return scalarPlane; }
const Plane& planeOf(const pelorin::StateVector&) { return phasePlane; }

// The Stages table's headings: a column for each of a system's components.
std::vector<std::string> stageColumnsOf(double, std::size_t) {
    return {pelorin::stageColumns.begin(), pelorin::stageColumns.end()};
}
std::vector<std::string> stageColumnsOf(const pelorin::StateVector&, std::size_t components) {
    return pelorin::systemStageColumns(components);
}

constexpr const char* newtonCaption = "Ne&wton iterations of the stages";
constexpr const char* partitionedStagesCaption =
    "Sta&ges of the step, to check by hand (x, y: where the step starts; Y\u2c7c,1 is "
    "component y1 of Y\u2c7c, which holds Q\u2c7c in the positions and P\u2c7c in the momenta)";

// A multistep step's Weights table and the plot's description of it.
constexpr const char* weightsCaption =
    "Wei&ghts of the step, to check by hand: each point's value and slope, the formula's "
    "\u03b1 and \u03b2 (divided by \u03b1\u2096) and their terms";
constexpr const char* multistepDescription =
    "The points the step weighs with their slopes as short segments, the polynomial the "
    "formula rests on, the increment as an arrow to the new value, and the exact solution or "
    "the reference.";
constexpr const char* multistepPhaseDescription =
    "The step in the phase plane of y1 and y2: the points it weighs with their slopes as short "
    "arrows, the increment as an arrow from the last of them to the new value, and the exact "
    "solution or the reference over the points and the step.";

// Whether two inputs make the same run: the same problem, h and method,
// started alike. A box that loses the focus gives the page its inputs again
// unchanged, compiled anew: a run under way is not started anew.
bool sameRun(const LabInputs& a, const LabInputs& b) {
    return pelorin::sameProblem(a.problem, b.problem) && a.h == b.h &&
           &a.chosenMethod() == &b.chosenMethod() && a.methods.start == b.methods.start &&
           a.readable == b.readable && a.unreadable == b.unreadable;
}

// The known solution as the views sample it: an exact one, else a
// reference computed for each request from x0.
template <class State>
pelorin::SolutionSamplesOf<State> knownSamplesOf(const pelorin::Problem& problem) {
    if constexpr (std::is_same_v<State, double>) return pelorin::knownSolution(problem);
    else return pelorin::systemComparison(problem).samples;
}

// Notes one to a line.
QString joined(const std::vector<std::string>& notes) {
    QStringList lines;
    for (const std::string& note : notes) lines << QString::fromStdString(note);
    return lines.join("\n");
}

}  // namespace

OneStepTab::OneStepTab(QWidget* parent) : LabPage(parent) {
    // A long note or a wide system can want more than the lab's height:
    // the page scrolls then, not the lab.
    QVBoxLayout* layout = scrollingContent(*this);
    auto* walk = new QHBoxLayout;
    previous_ = new QPushButton("&Previous step", this);
    previous_->setAccessibleName("Previous step");
    next_ = new QPushButton("&Next step", this);
    next_->setAccessibleName("Next step");
    heading_ = new QLabel(this);
    // Found by its name; a screen reader reads its text.
    heading_->setObjectName("Step shown");
    connect(previous_, &QPushButton::clicked, this, [this] { showStep(step_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showStep(step_ + 1); });
    walk->addWidget(previous_);
    walk->addWidget(next_);
    walk->addWidget(heading_, 1);
    layout->addLayout(walk);

    // The plot with the tableau beside it, three parts to two of the width:
    // a wide tableau (Fehlberg's) scrolls rather than squeeze the plot until
    // its stage labels have no room. The stages below both, across the
    // page, so that their numbers fit.
    auto* top = new QHBoxLayout;
    layout->addLayout(top, 3);
    plot_ = new LabPlot("Stages of the step", scalarPlane.description, this);
    plot_->xAxis->setLabel(scalarPlane.x);
    plot_->yAxis->setLabel(scalarPlane.y);
    plot_->showLegend(LabPlot::LegendPlace::below);
    // Where a name fits depends on the pixels between the points.
    connect(plot_, &QCustomPlot::afterLayout, this, [this] { placeStepLabels(*plot_, labels_); });
    top->addWidget(plot_, 3);
    auto* tableauColumn = new QVBoxLayout;
    top->addLayout(tableauColumn, 2);
    tableau_ = addCaptionedTable(tableauColumn, QString(), "Tableau", Rows::compact);
    // An implicit step's iterations under its tableau: a few rows, which
    // scroll within the table when there are more.
    newton_ = addCaptionedTable(tableauColumn, newtonCaption,
                                "Newton iterations", Rows::compact);
    newton_->verticalHeader()->hide();

    notes_ = addNotes(layout, "Step notes");
    stages_ = addCaptionedTable(layout, scalarPlane.stagesCaption, "Stages", Rows::compact);
    stages_->verticalHeader()->hide();
    // The plot takes what the rows leave.
    layout->setStretchFactor(stages_, 0);
    for (QTableWidget* table : {tableau_, stages_}) {
        table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    }
    captionOf(*tableau_)->setWordWrap(true);
}

void OneStepTab::setInputs(const LabInputs& inputs) {
    const bool again = asked_ && sameRun(inputs_, inputs);
    inputs_ = inputs;
    asked_ = true;
    if (again) {
        // The run asked for already: its first step, once it has come.
        if (!waiting_) showStep(1);
        return;
    }
    reference_.clear();
    systemReference_.clear();
    showPlaneOf(showsSystem());
    if (showsSystem()) startStudy<pelorin::StateVector>();
    else startStudy<double>();
}

// A typed slope costs far more than the lesson's, and the reference that
// finds where the solution ends more still: until the run comes the page
// shows no step, old or new.
template <class State>
void OneStepTab::startStudy() {
    const pelorin::Method& method = inputs_.chosenMethod();
    if (!inputs_.readable) {
        studies_.supersede();
        showStudy(pelorin::OneStepStudyOf<State>{
            {&method, 0, {}, {}, 0, pelorin::PathEnd::cannotStep, inputs_.unreadable, {}}, {}});
        return;
    }
    studies_.study(
        inputs_.problem,
        [&method, h = inputs_.h, multistep = inputs_.methods](const pelorin::Problem& problem,
                                                                std::stop_token stop) {
            return pelorin::studyOneStep<State>(method, problem, h, multistep, stop);
        },
        [this](pelorin::OneStepStudyOf<State> study) { showStudy(std::move(study)); },
        [this](const pelorin::Problem& problem) {
            waiting_ = true;
            showWithoutStep("Calculating the run on " +
                            QString::fromStdString(pelorin::quotedFormula(problem.equationText())) +
                            " \u2026");
        });
}

void OneStepTab::showStudy(pelorin::OneStepStudy study) {
    waiting_ = false;
    run_ = std::move(study.run);
    end_ = study.end;
    showStep(1);
}

void OneStepTab::showStudy(pelorin::OneStepStudyOf<pelorin::StateVector> study) {
    waiting_ = false;
    systemRun_ = std::move(study.run);
    end_ = std::nullopt;
    showStep(1);
}

PageHandout OneStepTab::handout(const LabInputs& inputs) const {
    PageHandout page{
        {methodLine(inputs), heading_->text()}, {plot_}, {notes_}, {tableau_, stages_}};
    if (pelorin::isImplicit(inputs.chosenMethod())) page.tables.insert(1, newton_);
    return page;
}

void OneStepTab::showStep(int step) {
    showStepParts(step);
    sampleAskedReference<double>();
    sampleAskedReference<pelorin::StateVector>();
}

template <class State>
StepSamples<State>& OneStepTab::stepSamples() {
    if constexpr (std::is_same_v<State, double>) return reference_;
    else return systemReference_;
}

template <class State>
pelorin::SolutionSamplesOf<State> OneStepTab::knownOverSteps() {
    if (inputs_.problem.comparedWithReference()) return stepSamples<State>().samples();
    return knownSamplesOf<State>(inputs_.problem);
}

// The reference from x0 to a far step takes long: the step is shown at
// once, and again with the reference when it comes. A step walked to
// meanwhile makes it stale.
template <class State>
void OneStepTab::sampleAskedReference() {
    std::vector<std::vector<double>> asked = stepSamples<State>().takeAsked();
    if (asked.empty()) return;
    studies_.runOffThread(
        inputs_.problem,
        [asked](const pelorin::Problem& problem, std::stop_token stop) {
            const pelorin::Problem own = problem.clone();
            const pelorin::SolutionSamplesOf<State> reference = knownSamplesOf<State>(own);
            std::vector<std::vector<State>> values;
            for (const std::vector<double>& abscissae : asked) {
                if (stop.stop_requested()) break;
                values.push_back(reference(abscissae));
            }
            return values;
        },
        [this, asked](const std::vector<std::vector<State>>& values) {
            stepSamples<State>().add(asked, values);
            showStep(step_);
        });
}

void OneStepTab::showStepParts(int step) {
    const pelorin::Problem& problem = inputs_.problem;
    captionOf(*newton_)->setText(newtonCaption);
    if (showsSystem() && pelorin::isMultistep(inputs_.chosenMethod())) {
        showMultistepSystemStep(step);
        return;
    }
    if (pelorin::isPartitioned(inputs_.chosenMethod())) {
        if (showsPartitionedStages()) showPartitionedStep(step);
        else showWithoutStep(partitionedNote());
        return;
    }
    if (showsSystem()) {
        const pelorin::StageViewOf<pelorin::StateVector> view = pelorin::stageView(
            systemRun_, problem.slopeOf<pelorin::StateVector>(),
            knownOverSteps<pelorin::StateVector>(), step);
        showWalk(view.method, view.step, view.steps);
        showStageParts(view);
        return;
    }
    if (pelorin::isMultistep(inputs_.chosenMethod())) {
        showMultistepStep(step);
        return;
    }
    const pelorin::StageView view =
        pelorin::stageView(run_, problem.slopeOf<double>(), knownOverSteps<double>(), step);
    showWalk(view.method, view.step, view.steps);
    showStageParts(view);
}

template <class State>
void OneStepTab::showStageParts(const pelorin::StageViewOf<State>& view) {
    const Plane& plane = planeOf(view.y);
    const std::size_t components = inputs_.problem.components();
    showNotes(view.notes, view.xEnd, view.steps);
    captionOf(*stages_)->setText(plane.stagesCaption);
    stages_->setAccessibleName("Stages");
    plot_->describe(plane.description);
    fillTableau(*tableau_, view.method);
    fillNewton(view.method, {pelorin::newtonColumns(view.stages.stages, components),
                             pelorin::newtonRows(view.stages)});
    fillCentred(*stages_, {stageColumnsOf(view.y, components), pelorin::stageRows(view)});
    showDrawing(view);
}
template void OneStepTab::showStageParts(const pelorin::StageView& view);
template void OneStepTab::showStageParts(const pelorin::StageViewOf<pelorin::StateVector>& view);

void OneStepTab::showWalk(const pelorin::Method* method, int step, int steps) {
    step_ = step > 0 ? step : 1;
    previous_->setEnabled(step > 1);
    next_->setEnabled(step > 0 && step < steps);
    heading_->setText(method && steps > 0 ? fromView(method->caption) +
                                                QString(": step %1 of %2").arg(step).arg(steps)
                                          : QString("No step to show"));
}

void OneStepTab::showPlaneOf(bool system) {
    const Plane& plane = system ? phasePlane : scalarPlane;
    plot_->xAxis->setLabel(plane.x);
    plot_->yAxis->setLabel(plane.y);
    plot_->describe(plane.description);
    captionOf(*stages_)->setText(plane.stagesCaption);
}

bool OneStepTab::showsPartitionedStages() const {
    return showsSystem() && inputs_.problem.slopeOf<pelorin::StateVector>().split();
}

// A partitioned method's step: its note, both tableaus, the Stages table
// with the abscissae of each, and the step in the phase plane.
void OneStepTab::showPartitionedStep(int step) {
    const pelorin::Problem& problem = inputs_.problem;
    const pelorin::PartitionedStageView view = pelorin::partitionedStageView(
        systemRun_, problem.slopeOf<pelorin::StateVector>(),
        knownOverSteps<pelorin::StateVector>(), step);
    showWalk(view.method, view.step, view.steps);
    std::vector<std::string> notes{partitionedNote().toStdString()};
    notes.insert(notes.end(), view.notes.begin(), view.notes.end());
    showNotes(notes, view.xEnd, view.steps);
    fillTableaus(*tableau_, *pelorin::partitionedRungeKutta(*view.method));
    fillNewton(nullptr, {});
    captionOf(*stages_)->setText(partitionedStagesCaption);
    fillCentred(*stages_,
                {pelorin::partitionedStageColumns(view.momentum), pelorin::stageRows(view)});
    showDrawing(pelorin::phaseView(view));
}

// A partitioned method's formula and which components are its positions and
// momenta; where the page shows no stages, why, or that it shows them on a
// system only.
QString OneStepTab::partitionedNote() const {
    const pelorin::Method& method = inputs_.chosenMethod();
    const pelorin::SlopeOf<pelorin::StateVector> F =
        inputs_.problem.slopeOf<pelorin::StateVector>();
    if (const auto why = pelorin::doesNotApplyNote(method, F); inputs_.readable && why) {
        return QString::fromStdString(*why);
    }
    const QString which =
        F.split() ? " Here " + QString::fromStdString(pelorin::splitText(*F.split())) + "."
                  : QString();
    const QString tableaus =
        showsPartitionedStages()
            ? " The positions' stages Q\u2c7c come from the first tableau, the momenta's "
              "P\u2c7c from the second: each part takes its abscissae and weights from its own."
            : " Its positions and momenta take their stages from two tableaus, which this page "
              "shows step by step on a system; the Field page shows its runs.";
    return fromView(method.caption) + ": " + fromView(method.formula) + "." + which + tableaus;
}

void OneStepTab::showWithoutStep(const QString& note) {
    showWalk(nullptr, 0, 0);
    notes_->setText(note);
    fillTableau(*tableau_, nullptr);
    fillNewton(nullptr, {});
    fillCentred(*stages_, {});
    startDrawing(false);
}

void OneStepTab::showNotes(std::vector<std::string> notes, double xEnd, int steps) {
    if (end_ && steps > 0 && end_->past(xEnd)) {
        notes.push_back(pelorin::solutionEndNote(end_->at) + " " +
                        pelorin::pastEndNote("Steps", end_->at));
    }
    notes_->setText(joined(notes));
}

bool OneStepTab::startDrawing(bool hasStep) {
    labels_.clear();
    clearStep(*plot_);
    if (!hasStep) plot_->replot();
    return hasStep;
}

template <class View>
void OneStepTab::showDrawing(const View& view) {
    if (!startDrawing(view.steps > 0)) return;
    DrawnStep drawn = drawStep(*plot_, view,
                               QString::fromStdString(pelorin::knownSolutionName(inputs_.problem)));
    labels_ = std::move(drawn.labels);
    if (drawn.leftOut) {
        notes_->setText(notes_->text() + "\n" + QString::fromStdString(pelorin::undrawableNote()));
    }
    plot_->replot();
}

// The method a starting value came from: the "Start with" method, or none
// for the solution.
const pelorin::Method* OneStepTab::startMethod() const {
    return pelorin::startOf(inputs_.problem, inputs_.methods).method;
}

void OneStepTab::showMultistepStep(int step) {
    const pelorin::Problem& problem = inputs_.problem;
    const pelorin::Method* start = startMethod();
    const std::string startName = pelorin::startName(problem, inputs_.methods);
    const pelorin::MultistepView view = pelorin::multistepView(
        run_, problem.slopeOf<double>(), knownOverSteps<double>(), startName, step);
    showWalk(view.method, view.step, view.steps);
    if (view.fromStart && start) {
        // The starting value is a step of the one-step method: its stages.
        pelorin::StageView stages = pelorin::stageView(run_, *start, problem.slopeOf<double>(),
                                                       knownOverSteps<double>(), view.step);
        stages.notes.insert(stages.notes.begin(), view.notes.begin(), view.notes.end());
        showStageParts(stages);
        return;
    }
    showNotes(view.notes, view.xEnd, view.steps);
    // A starting value from the solution has no weights: the table stays
    // empty, and the notes say where the value came from.
    showWeightsOf(view.steps > 0 ? view.method : nullptr, multistepDescription);
    fillNewton(view.method, {pelorin::newValueNewtonColumns(view.step, 1),
                             pelorin::newtonRows(view.numbers.iterations)});
    fillCentred(*stages_, {{pelorin::weightColumns.begin(), pelorin::weightColumns.end()},
                           pelorin::weightRows(view)});
    showDrawing(view);
}

void OneStepTab::showMultistepSystemStep(int step) {
    const pelorin::Problem& problem = inputs_.problem;
    const pelorin::SolutionSamplesOf<pelorin::StateVector> known =
        knownOverSteps<pelorin::StateVector>();
    const pelorin::MultistepViewOf<pelorin::StateVector> view = pelorin::multistepView(
        systemRun_, problem.slopeOf<pelorin::StateVector>(), known,
        pelorin::startName(problem, inputs_.methods), step);
    showWalk(view.method, view.step, view.steps);
    if (view.fromStart && startMethod()) {
        // The starting value is a step of the one-step method: its stages.
        pelorin::StageViewOf<pelorin::StateVector> stages =
            pelorin::stageView(systemRun_, *startMethod(), problem.slopeOf<pelorin::StateVector>(),
                               known, view.step);
        stages.notes.insert(stages.notes.begin(), view.notes.begin(), view.notes.end());
        showStageParts(stages);
        return;
    }
    showNotes(view.notes, view.xEnd, view.steps);
    showWeightsOf(view.steps > 0 ? view.method : nullptr, multistepPhaseDescription);
    const std::size_t components = problem.components();
    fillNewton(view.method, {pelorin::newValueNewtonColumns(view.step, components),
                             pelorin::newtonRows(view.numbers.iterations)});
    fillCentred(*stages_, {pelorin::systemWeightColumns(components), pelorin::weightRows(view)});
    showDrawing(view);
}

void OneStepTab::showWeightsOf(const pelorin::Method* method, const char* description) {
    captionOf(*stages_)->setText(weightsCaption);
    stages_->setAccessibleName("Weights");
    plot_->describe(description);
    fillFormula(*tableau_, method ? pelorin::multistepOf(*method) : nullptr);
    captionOf(*newton_)->setText("Ne&wton iterations of the new value");
}

void OneStepTab::fillNewton(const pelorin::Method* method, const pelorin::TextTable& iterations) {
    const bool implicit = method && pelorin::isImplicit(*method);
    for (QWidget* part : std::initializer_list<QWidget*>{newton_, captionOf(*newton_)}) {
        part->setVisible(implicit);
    }
    fillCentred(*newton_, iterations);
}
