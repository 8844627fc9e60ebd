#include "lab/one_step_tab.h"

#include "base/words.h"
#include "lab/page.h"
#include "lab/plot.h"
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

// The Tableau table's headings: the nodes, then the slopes of the stages a
// row weighs; and a tableau's rows, "stage 1", ..., then its weights'.
std::vector<std::string> tableauColumns(int stages) {
    std::vector<std::string> columns{"c"};
    for (int j = 1; j <= stages; ++j) columns.push_back("k" + std::to_string(j));
    return columns;
}
QStringList tableauRows(int stages, const QStringList& weights) {
    QStringList rows;
    for (int j = 1; j <= stages; ++j) rows << QString("stage %1").arg(j);
    return rows + weights;
}

// Whether two inputs make the same run: the same compiled equation, start,
// end, h and method, started alike. A box that loses the focus gives the
// page its inputs again unchanged: a run under way is not started anew.
bool sameRun(const LabInputs& a, const LabInputs& b) {
    const pelorin::Equation& p = a.problem.equation;
    const pelorin::Equation& q = b.problem.equation;
    return p.slope == q.slope && p.exact == q.exact && p.system == q.system &&
           p.systemExact == q.systemExact && a.problem.x0 == b.problem.x0 &&
           a.problem.y0 == b.problem.y0 && a.problem.x1 == b.problem.x1 && a.h == b.h &&
           &a.chosenMethod() == &b.chosenMethod() && a.multistep.start == b.multistep.start &&
           a.readable == b.readable && a.unreadable == b.unreadable;
}

// Notes one to a line.
QString joined(const std::vector<std::string>& notes) {
    QStringList lines;
    for (const std::string& note : notes) lines << QString::fromStdString(note);
    return lines.join("\n");
}

}  // namespace

// The stages and the tableau read as a textbook prints them: centred.
void OneStepTab::fillCentred(QTableWidget& table, const pelorin::TextTable& text) {
    fillTable(table, text, Qt::AlignCenter);
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

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
    connect(plot_, &QCustomPlot::afterLayout, this, &OneStepTab::placeLabels);
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
        [&method, h = inputs_.h, multistep = inputs_.multistep](const pelorin::Problem& problem,
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

void OneStepTab::showStudy(pelorin::SystemOneStepStudy study) {
    waiting_ = false;
    systemRun_ = std::move(study.run);
    end_ = std::nullopt;
    showStep(1);
}

PageHandout OneStepTab::handout(const LabInputs& inputs) const {
    PageHandout page{{methodLine(inputs), heading_->text()}, {plot_}, {notes_}, {tableau_, stages_}};
    if (pelorin::isImplicit(inputs.chosenMethod())) page.tables.insert(1, newton_);
    return page;
}

void OneStepTab::showStep(int step) {
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
        const pelorin::SystemStageView view = pelorin::stageView(
            systemRun_, problem.systemSlope(), pelorin::systemComparison(problem).samples, step);
        showWalk(view.method, view.step, view.steps);
        showStageParts(view);
        return;
    }
    if (pelorin::isMultistep(inputs_.chosenMethod())) {
        showMultistepStep(step);
        return;
    }
    const pelorin::StageView view =
        pelorin::stageView(run_, problem.slope(), pelorin::knownSolution(problem), step);
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
    fillTableau(view.method);
    fillNewton(view.method, {pelorin::newtonColumns(view.stages.stages, components),
                             pelorin::newtonRows(view.stages)});
    fillCentred(*stages_, {stageColumnsOf(view.y, components), pelorin::stageRows(view)});
    drawStep(view);
}
template void OneStepTab::showStageParts(const pelorin::StageView& view);
template void OneStepTab::showStageParts(const pelorin::SystemStageView& view);

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
    return showsSystem() && inputs_.problem.systemSlope().split();
}

// A partitioned method's step: its note, both tableaus, the Stages table
// with the abscissae of each, and the step in the phase plane.
void OneStepTab::showPartitionedStep(int step) {
    const pelorin::Problem& problem = inputs_.problem;
    const pelorin::PartitionedStageView view = pelorin::partitionedStageView(
        systemRun_, problem.systemSlope(), pelorin::systemComparison(problem).samples, step);
    showWalk(view.method, view.step, view.steps);
    std::vector<std::string> notes{partitionedNote().toStdString()};
    notes.insert(notes.end(), view.notes.begin(), view.notes.end());
    showNotes(notes, view.xEnd, view.steps);
    fillTableaus(*pelorin::partitionedRungeKutta(*view.method));
    fillNewton(nullptr, {});
    captionOf(*stages_)->setText(partitionedStagesCaption);
    fillCentred(*stages_,
                {pelorin::partitionedStageColumns(view.momentum), pelorin::stageRows(view)});
    drawStep(pelorin::phaseView(view));
}

// A partitioned method's formula and which components are its positions and
// momenta; where the page shows no stages, why, or that it shows them on a
// system only.
QString OneStepTab::partitionedNote() const {
    const pelorin::Method& method = inputs_.chosenMethod();
    const pelorin::SystemSlope F = inputs_.problem.systemSlope();
    if (const auto why = pelorin::doesNotApplyNote(method, F); inputs_.readable && why) {
        return QString::fromStdString(*why);
    }
    const QString which =
        F.split() ? " Here " + QString::fromStdString(pelorin::splitText(*F.split())) + "." : QString();
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
    fillTableau(nullptr);
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

// The exact solution, the stage points with their slopes, the increment and
// the stages' names; a value out of the plot's reach is said in the notes.
void OneStepTab::drawStep(const pelorin::StageView& view) {
    if (!startDrawing(view.steps > 0)) return;
    const pelorin::StageDrawing drawing = pelorin::stageDrawing(view);
    const QColor methodColour = drawExact(drawing.exact, *view.method);
    drawIterates(drawing.iterates, methodColour);
    // A step without a value has its iterates and nothing more to show.
    if (view.stages.hasValue()) {
        drawStages(drawing, methodColour);
        labelStagePoints(pelorin::stageLabels(view.stages));
        plot_->addLegendEntry("the step's increment", QPen(plot_->accent(), 2));
    }

    finishDrawing(drawing.x, drawing.y, drawing.leftOut);
}

QColor OneStepTab::drawExact(const pelorin::DrawablePoints& exact, const pelorin::Method& method) {
    QCPGraph* curve = plot_->addGraph();
    curve->setName(QString::fromStdString(pelorin::knownSolutionName(inputs_.problem)));
    curve->setPen(QPen(plot_->palette().color(QPalette::Text), 1.5));
    curve->setData(toQVector(exact.x), toQVector(exact.y));
    return LabPlot::methodPen(pelorin::catalogueRow(method)).color();
}

bool OneStepTab::startDrawing(bool hasStep) {
    plot_->clearPlottables();
    labels_.clear();
    plot_->clearItems();
    if (!hasStep) plot_->replot();
    return hasStep;
}

void OneStepTab::finishDrawing(const pelorin::Extent& x, const pelorin::Extent& y, bool leftOut) {
    plot_->xAxis->setRange(x.lower, x.upper);
    plot_->yAxis->setRange(y.lower, y.upper);
    if (leftOut) {
        notes_->setText(notes_->text() + "\n" + QString::fromStdString(pelorin::undrawableNote()));
    }
    plot_->replot();
}

void OneStepTab::drawStages(const pelorin::StageDrawing& drawing, const QColor& methodColour) {
    QCPGraph* stages = plot_->addGraph();
    stages->setName("stage points k\u2c7c with their slopes");
    stages->setLineStyle(QCPGraph::lsNone);
    stages->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, methodColour, stageMarkerSize));
    stages->setData(toQVector(drawing.stagePoints.x), toQVector(drawing.stagePoints.y));
    plot_->drawOnTop(*stages);
    drawSlopes(drawing.slopes, QPen(methodColour, 2), drawing.increment);
}

void OneStepTab::drawSlopes(const std::vector<pelorin::Segment>& slopes, const QPen& pen,
                            const std::optional<pelorin::Segment>& increment) {
    for (const pelorin::Segment& segment : slopes) {
        auto* line = new QCPItemLine(plot_);
        line->start->setCoords(segment.x1, segment.y1);
        line->end->setCoords(segment.x2, segment.y2);
        line->setPen(pen);
    }
    if (increment) {
        auto* arrow = new QCPItemLine(plot_);
        arrow->start->setCoords(increment->x1, increment->y1);
        arrow->end->setCoords(increment->x2, increment->y2);
        arrow->setPen(QPen(plot_->accent(), 2));
        arrow->setHead(QCPLineEnding::esSpikeArrow);
    }
}

// Names the stage points "k1", "k2", ... on a ground that keeps the names
// readable over lines; placeLabels puts them beside their points.
void OneStepTab::labelStagePoints(const std::vector<pelorin::StageLabel>& stages) {
    QColor ground = plot_->palette().color(QPalette::Base);
    ground.setAlpha(200);
    for (const pelorin::StageLabel& label : stages) {
        if (!pelorin::drawable({label.x, label.y})) continue;
        auto* text = new QCPItemText(plot_);
        text->setText(QString::fromStdString(label.text));
        text->position->setCoords(label.x, label.y);
        text->setFont(plot_->textSized(text->font()));
        text->setPadding(QMargins(5, 3, 5, 3));
        text->setColor(plot_->palette().color(QPalette::Text));
        text->setBrush(ground);
        labels_.push_back({text, label.slope});
    }
}

// Where a label fits depends on the pixels between the points, so it is
// chosen again whenever the plot is laid out: after a resize, a zoom or a pan.
void OneStepTab::placeLabels() {
    std::vector<pelorin::LabelSpot> spots;
    for (const auto& [text, slope] : labels_) {
        const QPointF point = text->position->pixelPosition();
        const QPointF size = text->bottomRight->pixelPosition() - text->topLeft->pixelPosition();
        spots.push_back({point.x(), point.y(), size.x(), size.y(), slope});
    }
    const QRectF axes = plot_->axisRect()->rect();
    const auto sides = pelorin::placeLabels(
        spots, {axes.left(), axes.top(), axes.right(), axes.bottom()}, stageMarkerSize);
    for (std::size_t i = 0; i < sides.size(); ++i) {
        using enum pelorin::LabelSide;
        const pelorin::LabelSide side = sides[i];
        // The corner of the box that sits at the point.
        labels_[i].first->setPositionAlignment(
            (side == aboveLeft || side == aboveRight ? Qt::AlignBottom : Qt::AlignTop) |
            (side == aboveLeft || side == belowLeft ? Qt::AlignRight : Qt::AlignLeft));
    }
}

void OneStepTab::fillTableau(const pelorin::Method* method) {
    const bool estimate = method && tableauOf(*method)->hasErrorEstimate();
    tableau_->setAccessibleName("Tableau");
    captionOf(*tableau_)->setText(estimate ? "Ta&bleau: nodes c | matrix a, then the weights b "
                                             "and e, the weights of the error estimate"
                                           : "Ta&bleau: nodes c | matrix a, then the weights b");
    tableau_->clear();
    if (!method) {
        tableau_->setRowCount(0);
        tableau_->setColumnCount(0);
        return;
    }
    const int stages = tableauOf(*method)->stages;
    fillCentred(*tableau_, {tableauColumns(stages), pelorin::tableauCells(*tableauOf(*method))});
    tableau_->setVerticalHeaderLabels(
        tableauRows(stages, estimate ? QStringList{"b", "e"} : QStringList{"b"}));
}

void OneStepTab::fillTableaus(const pelorin::PartitionedRungeKutta& pair) {
    tableau_->setAccessibleName("Tableau");
    captionOf(*tableau_)->setText("Ta&bleaus: the positions' nodes c | matrix a, then the weights "
                                  "b; below, the momenta's \u0109 | \u00e2, then their weights b");
    tableau_->clear();
    const int stages = pair.positions->stages;
    const std::pair<const char*, const pelorin::Tableau*> parts[]{{"positions q", pair.positions},
                                                                   {"momenta p", pair.momenta}};
    std::vector<std::vector<std::string>> cells;
    QStringList rows;
    for (const auto& [title, tableau] : parts) {
        cells.emplace_back(static_cast<std::size_t>(stages) + 1);  // the title's row
        const auto coefficients = pelorin::tableauCells(*tableau);
        cells.insert(cells.end(), coefficients.begin(), coefficients.end());
        rows << title << tableauRows(stages, {"b"});
    }
    fillCentred(*tableau_, {tableauColumns(stages), cells});
    tableau_->setVerticalHeaderLabels(rows);
}

void OneStepTab::fillNewton(const pelorin::Method* method, const pelorin::TextTable& iterations) {
    const bool implicit = method && pelorin::isImplicit(*method);
    for (QWidget* part : std::initializer_list<QWidget*>{newton_, captionOf(*newton_)}) {
        part->setVisible(implicit);
    }
    fillCentred(*newton_, iterations);
}

// Iterate k of n is drawn in the method's colour mixed into the plot's
// ground, from a quarter of the colour at the start to all of it at the
// last, so that the eye follows the iterations to the stage points.
void OneStepTab::drawIterates(const std::vector<pelorin::IteratePoints>& iterates,
                              const QColor& methodColour) {
    const QColor ground = plot_->palette().color(QPalette::Base);
    const auto last = static_cast<double>(std::max<std::size_t>(iterates.size(), 2) - 1);
    for (std::size_t k = 0; k < iterates.size(); ++k) {
        const double share = 0.25 + 0.75 * static_cast<double>(k) / last;
        const auto mix = [&](double colour, double base) { return share * colour + (1 - share) * base; };
        const QColor shade = QColor::fromRgbF(
            static_cast<float>(mix(methodColour.redF(), ground.redF())),
            static_cast<float>(mix(methodColour.greenF(), ground.greenF())),
            static_cast<float>(mix(methodColour.blueF(), ground.blueF())));
        QCPGraph* points = plot_->addGraph();
        points->setLineStyle(QCPGraph::lsNone);
        points->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, shade, iterateMarkerSize));
        points->setData(toQVector(iterates[k].points.x), toQVector(iterates[k].points.y));
        // One legend entry for them all, in the middle shade.
        if (k == iterates.size() / 2) points->setName("Newton iterates, paler the earlier");
        else points->removeFromLegend();
    }
}
