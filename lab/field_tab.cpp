#include "lab/field_tab.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "lab/field_components.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "methods/exact_solution.h"
#include "numerics/plot_extent.h"
#include "texts/plot_reading.h"
#include "texts/results_export.h"
#include "ui/save_file.h"
#include "ui/text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {

// h, h/2 and h/4, each with a colour and marker of its own.
constexpr std::array<std::size_t, 3> halvedLooks{0, 1, 3};
// A press and release this close together are a click, not a drag.
constexpr double clickSlack = 3;  // pixels
// The field stays the page's main plot; below these the page scrolls.
constexpr int fieldHeight = 300, errorsHeight = 200;  // pixels

// What the Field plot shows: one equation's direction field, where a click
// moves the start; a system's components against x, which a click leaves.
constexpr char equationFieldDescription[] =
    "The direction field of y' = f(x, y): a short segment of slope f at every grid point, with "
    "the solution through (x0, y0) and the chosen method's runs. A click moves the start (x0, "
    "y0) there.";
constexpr char systemFieldDescription[] =
    "Each component y1 \u2026 yn of the system against x: the exact or reference solution "
    "through (x0, y(x0)), each component in a pale band of its colour, and the chosen method's "
    "runs. A system has no direction field in (x, y), and a click does not move its start.";

}  // namespace

FieldTab::FieldTab(QWidget* parent) : LabPage(parent) {
    // Two plots and a table may want more height than the lab has: the page
    // scrolls within itself rather than squeeze the plots.
    QVBoxLayout* layout = scrollingContent(*this);
    layout->addLayout(createSetBoxes());
    // The field is the page: it takes most of the room the table leaves.
    layout->addWidget(createField(), 5);
    layout->addWidget(createErrorsPlot(), 3);
    layout->addWidget(createDriftPlot(), 3);
    layout->addWidget(driftLogarithmic_);
    notes_ = addNotes(layout, "Field notes");
    starting_ = addCaptionedTable(layout, "Starting values: the values a multistep method's "
                                          "formula starts from, before it has k of its own",
                                  "Starting values");
    starting_->verticalHeader()->hide();
    starting_->setAccessibleDescription("The chosen multistep method's first values, made by "
                                        "the method Start with names, and their errors.");
    steps_ = addCaptionedTable(layout, "La&b steps: the chosen method with h, beside the exact "
                                       "solution through (x0, y0)",
                               "Lab steps");
    steps_->verticalHeader()->hide();
    steps_->setAccessibleDescription("Every step of the chosen method with h, with the exact "
                                     "or reference value and the errors.");
    layout->addLayout(createStepsButtons());
}

// The sets of methods side by side with h, one at a time: checking one box
// clears the others.
QHBoxLayout* FieldTab::createSetBoxes() {
    // In the order of SideBySide.
    const struct {
        const char* caption;
        const char* name;
        const char* tip;
    } sets[]{
        {"All seve&n methods with h, instead of h, h/2 and h/4", "All seven methods",
         "The seven methods side by side with the same step h, against the chosen method with "
         "h, h/2 and h/4."},
        {"Implicit methods &with h, beside the chosen one", "Implicit methods",
         "The implicit one-step methods side by side with the same step h, and the chosen "
         "method with it: on a stiff problem they follow the solution with steps at which "
         "explicit methods blow up."},
        {"Multistep metho&ds with h", "Multistep methods",
         "The multistep methods side by side with the same step h and the same starting values, "
         "and the chosen method with it."},
        {"Symplect&ic methods with h", "Symplectic methods",
         "The symplectic methods side by side with the same step h, and the chosen method with "
         "it: on a system that keeps an energy and does not read x, their error in it swings "
         "within a bound instead of growing, for h small enough."},
    };
    static_assert(std::size(sets) == pelorin::sideBySideSets);
    for (std::size_t i = 0; i < setBoxes_.size(); ++i) {
        setBoxes_[i] = new QCheckBox(sets[i].caption, this);
        setBoxes_[i]->setAccessibleName(sets[i].name);
        setBoxes_[i]->setToolTip(sets[i].tip);
    }
    for (QCheckBox* box : setBoxes_) {
        connect(box, &QCheckBox::toggled, this, [this, box](bool checked) {
            for (QCheckBox* other : setBoxes_) {
                if (other == box || !checked || !other->isChecked()) continue;
                const QSignalBlocker quiet(other);
                other->setChecked(false);
            }
            // The study makes the runs of the set shown alone; the view
            // stays where the student put it.
            fitPending_ = false;
            study();
        });
    }
    // Two to a line: the four captions in one line are wider than the lab,
    // and the page would scroll sideways, hiding the plots' legends.
    auto* grid = new QGridLayout;
    constexpr int perLine = 2;
    for (std::size_t i = 0; i < setBoxes_.size(); ++i) {
        const int at = static_cast<int>(i);
        grid->addWidget(setBoxes_[i], at / perLine, at % perLine);
    }
    auto* row = new QHBoxLayout;
    row->addLayout(grid);
    row->addStretch();
    return row;
}


LabPlot* FieldTab::createField() {
    plot_ = new LabPlot("Field", equationFieldDescription, this);
    plot_->xAxis->setLabel("x");
    plot_->yAxis->setLabel(componentsLabel(1));
    plot_->showLegend(LabPlot::LegendPlace::beside);
    // The field is a grid of its own; grid lines would cross its segments.
    plot_->xAxis->grid()->setVisible(false);
    plot_->yAxis->grid()->setVisible(false);
    segments_ = new PlotSegments(plot_, PlotSegments::Ends::plain);
    // The field under the solutions.
    plot_->addLayer("field", plot_->layer("grid"), QCustomPlot::limAbove);
    segments_->setLayer("field");
    connect(plot_, &QCustomPlot::afterLayout, this, &FieldTab::drawField);
    connect(plot_, &QCustomPlot::mousePress, this, &FieldTab::pressed);
    connect(plot_, &QCustomPlot::mouseRelease, this, &FieldTab::released);
    plot_->setWholeView([this] { fitView(); });
    plot_->setSmallestHeight(fieldHeight);
    return plot_;
}

// On a logarithmic axis a ratio of errors is a fixed distance: halving h
// shows as the same gap all along the run, and errors of every size show,
// where a linear axis would flatten the smaller ones onto zero.
LabPlot* FieldTab::createErrorsPlot() {
    errors_ = new LabPlot(errorsPlotName,
                          "The size of each run's global error |y_i - y(x_i)| against x, on a "
                          "logarithmic scale, for the runs the field shows: halving h divides "
                          "the errors of a method of order p by about 2^p all along the run.",
                          this);
    errors_->xAxis->setLabel("x");
    errors_->yAxis->setLabel(errorsLabel(1));
    LabPlot::useLogAxis(errors_->yAxis);
    errors_->showLegend(LabPlot::LegendPlace::beside);
    errors_->setSmallestHeight(errorsHeight);
    return errors_;
}

LabPlot* FieldTab::createDriftPlot() {
    drift_ = new LabPlot("Invariant drift", driftDescription(true, problemNoun(false)), this);
    drift_->xAxis->setLabel("x");
    drift_->showLegend(LabPlot::LegendPlace::beside);
    drift_->setSmallestHeight(200);
    drift_->setVisible(false);
    // A drift within rounding beside one of order 1 lies on the linear
    // axis's zero line; on a logarithmic one every size shows, and a ratio
    // is a fixed distance.
    driftLogarithmic_ = new QCheckBox("Drift on a lo&garithmic axis", this);
    driftLogarithmic_->setAccessibleName("Drift on a logarithmic axis");
    driftLogarithmic_->setToolTip("Each run's drift by its size, on a logarithmic axis: drifts of "
                                  "every size show, the smallest down to rounding.");
    driftLogarithmic_->setVisible(false);
    QCPAxis* axis = drift_->yAxis;
    connect(driftLogarithmic_, &QCheckBox::toggled, this,
            [this, axis, ticker = axis->ticker(), format = axis->numberFormat(),
             precision = axis->numberPrecision()](bool logarithmic) {
                if (logarithmic) {
                    // Fitted anew, a logarithmic axis keeps the sign of the
                    // range it has, and the linear one's may lie mostly
                    // below 0: the sizes lie above it.
                    axis->setRange(1, 10);
                    LabPlot::useLogAxis(axis);
                } else {
                    axis->setScaleType(QCPAxis::stLinear);
                    axis->setTicker(ticker);
                    axis->setNumberFormat(format);
                    axis->setNumberPrecision(precision);
                }
                drawSolutions();
            });
    // The same from the plot's context menu.
    auto* onMenu = new QAction("Drift on a logarithmic axis", drift_);
    onMenu->setCheckable(true);
    connect(onMenu, &QAction::toggled, driftLogarithmic_, &QCheckBox::setChecked);
    connect(driftLogarithmic_, &QCheckBox::toggled, onMenu, &QAction::setChecked);
    drift_->addAction(onMenu);
    return drift_;
}

QHBoxLayout* FieldTab::createStepsButtons() {
    auto* buttons = new QHBoxLayout;
    auto* copyButton = new QPushButton("C&opy", this);
    copyButton->setAccessibleName("Copy lab steps");
    copyButton->setToolTip("Copy the Lab steps table, tab-separated with a header row");
    auto* saveButton = new QPushButton("Sav&e as CSV\u2026", this);
    saveButton->setAccessibleName("Save lab steps as CSV");
    saveButton->setToolTip("Save the Lab steps table as a CSV file");
    connect(copyButton, &QPushButton::clicked, this, &FieldTab::copy);
    connect(saveButton, &QPushButton::clicked, this, &FieldTab::saveAsCsv);
    buttons->addWidget(copyButton);
    buttons->addWidget(saveButton);
    buttons->addStretch(1);
    return buttons;
}

// The field and the exact curve take their colours from the palette: a
// desktop turning dark redraws them.
void FieldTab::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) drawSolutions();
}

void FieldTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (replotPending_) {
        replotPending_ = false;
        plot_->replot();
        errors_->replot();
        drift_->replot();
    }
}

PageHandout FieldTab::handout(const LabInputs& inputs) const {
    const bool multistep = pelorin::isMultistep(inputs.chosenMethod());
    QList<const QTableWidget*> tables{steps_};
    if (multistep) tables.prepend(starting_);
    if (drift_->isVisible())
        return {{methodLine(inputs)}, {plot_, errors_, drift_}, {notes_}, tables};
    return {{methodLine(inputs)}, {plot_, errors_}, {notes_}, tables};
}

void FieldTab::setInputs(const LabInputs& inputs) {
    studies_.supersede();
    // A new start is followed unless the student chose a view of their own
    // since the whole one; any other change shows the whole plots again.
    const bool startMoved =
        inputs.problem.x0 != inputs_.problem.x0 || inputs.problem.y0 != inputs_.problem.y0;
    fitPending_ = !startMoved || plot_->showsWhole();
    inputs_ = inputs;
    // The error and drift plots span x0 to x1 as the Field plot does, with
    // curves or none (errors of 0, at x0 or everywhere, have no point).
    for (LabPlot* plot : {errors_, drift_}) {
        plot->setProblemRange(inputs.problem.x0, inputs.problem.x1);
    }
    fieldStale_ = true;
    drift_->setVisible(false);
    driftLogarithmic_->setVisible(false);
    study();
}

void FieldTab::study() {
    studies_.supersede();
    const LabInputs& inputs = inputs_;
    if (!inputs.readable) {
        const QStringList why{QString::fromStdString(inputs.unreadable)};
        if (showsSystem()) display(pelorin::FieldStudyOf<pelorin::StateVector>{}, why);
        else display(pelorin::FieldStudy{}, why);
        return;
    }
    const pelorin::FieldInputs step{inputs.h, inputs.method, inputs.methods, sideBySide()};
    if (showsSystem()) startStudy<pelorin::StateVector>(step);
    else startStudy<double>(step);
}

// A typed slope costs far more than the built-in one, and a reference
// solution more still: the study runs off the window's thread. Until it
// ends the field shows, but no old solution.
template <class State>
void FieldTab::startStudy(const pelorin::FieldInputs& step) {
    studies_.study(
        inputs_.problem,
        [step](const pelorin::Problem& problem, std::stop_token stop) {
            return pelorin::studyField<State>(problem, step, stop);
        },
        [this](pelorin::FieldStudyOf<State> study) { display(std::move(study), {}); },
        [this](const pelorin::Problem& problem) {
            display(pelorin::FieldStudyOf<State>{},
                    {"Calculating the runs on " +
                     QString::fromStdString(pelorin::quotedFormula(problem.equationText())) +
                     " \u2026"});
        });
}

namespace {

// The notes of one equation's study after `notes`: its Lab steps' first,
// then its own not said yet, and where the curve could not be drawn. A
// curve that stops where the solution ends is said to by the notes about
// the end.
QStringList withStudyNotes(QStringList notes, const pelorin::FieldStudy& study) {
    for (const std::string& note : study.labSteps.notes) notes << QString::fromStdString(note);
    for (const std::string& note : study.notes) {
        const QString text = QString::fromStdString(note);
        if (!notes.contains(text)) notes << text;
    }
    const char* curveName = study.comparison == pelorin::Comparison::reference
                                ? "the reference"
                                : "the exact solution";
    const std::string curveNote = study.end || study.known.empty()
                                      ? std::string()
                                      : pelorin::sampledCurveNote(study.known.front(), curveName);
    if (!curveNote.empty()) notes << QString::fromStdString(curveNote);
    return notes;
}

// A system's study holds its Lab steps' notes already.
QStringList withStudyNotes(QStringList notes,
                           const pelorin::FieldStudyOf<pelorin::StateVector>& study) {
    for (const std::string& note : study.notes) notes << QString::fromStdString(note);
    return notes;
}

}  // namespace

template <class State>
void FieldTab::display(pelorin::FieldStudyOf<State> study, const QStringList& firstNotes) {
    const pelorin::FieldStudyOf<State>& shown = held<State>() = std::move(study);
    studyNotes_ = withStudyNotes(firstNotes, shown);
    if constexpr (std::is_same_v<State, pelorin::StateVector>) {
        fieldStale_ = true;
        drawField();  // none: a system's field lies in its phase plane
    }
    showSteps(shown.labSteps);
    drawSolutions();
}

namespace {

// A run towards a smaller x steps back, but its h is the one typed.
QString hText(double h) { return QString::fromStdString(pelorin::numberToText(std::fabs(h))); }

// The legend's name of a run, and, for one of the seven methods whose curve
// another hides, under which.
QString runName(const pelorin::SolutionPath& path, const char* step,
                std::optional<std::size_t> hiddenUnder = std::nullopt) {
    const std::string name =
        std::string(path.method->caption) + ", " + step + " = " + hText(path.h).toStdString();
    return QString::fromStdString(
        hiddenUnder ? pelorin::hiddenCurveName(name, pelorin::labCatalogue()[*hiddenUnder].caption)
                    : name);
}

// A run as a plot shows it: its legend's name, its method's (or its step's)
// colour and marker, and its points.
struct ShownRun {
    QString name;
    std::size_t look;
    pelorin::DrawablePoints points;
};

// The runs the field shows, a set of methods side by side with h or the
// chosen one with h, h/2 and h/4, in the legend's order: `points(every, k)`
// gives run k's points, `hiddenUnder` the curves each set's curves lie under.
// None for a study not yet calculated.
template <typename Points>
std::vector<ShownRun> shownRuns(
    const pelorin::FieldStudy& study, std::size_t chosen, std::optional<pelorin::SideBySide> set,
    const std::array<pelorin::HiddenRuns, pelorin::sideBySideSets>& hiddenUnder,
    const Points& points) {
    std::vector<ShownRun> runs;
    if (!study.halved.front().method) return runs;
    if (set) {
        for (std::size_t row : pelorin::sideBySideRows(*set, chosen)) {
            const auto under = hiddenUnder[static_cast<std::size_t>(*set)][row];
            runs.push_back({runName(study.every[row], "h", under), row, points(true, row)});
        }
    } else {
        for (std::size_t k = 0; k < study.halved.size(); ++k) {
            runs.push_back(
                {runName(study.halved[k], halvedRunNames[k]), halvedLooks[k], points(false, k)});
        }
    }
    return runs;
}

// Adds the runs to a plot. Of h, h/2 and h/4 the finer runs are drawn first,
// beneath: h/4, whose markers are many, would hide the run with h, whose
// markers are few. The legend lists the runs in their own order all the same.
void addRuns(LabPlot& plot, const std::vector<ShownRun>& runs, bool finerBeneath) {
    std::vector<QCPGraph*> graphs(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::size_t k = finerBeneath ? runs.size() - 1 - i : i;
        QCPGraph* graph = plot.addGraph();
        graph->setName(runs[k].name);
        graph->setPen(LabPlot::methodPen(runs[k].look));
        graph->setScatterStyle(LabPlot::methodMarker(runs[k].look));
        graph->setData(toQVector(runs[k].points.x), toQVector(runs[k].points.y), true);
        graphs[k] = graph;
    }
    for (QCPGraph* graph : graphs) {
        graph->removeFromLegend();
        graph->addToLegend();
        LabPlot::nameOnlyIfDrawn(*graph);
    }
}

bool anyLeftOut(const std::vector<ShownRun>& runs) {
    return std::any_of(runs.begin(), runs.end(),
                       [](const ShownRun& run) { return run.points.leftOut; });
}

// The exact or reference solution in the text's colour; whether values
// beyond what an axis can span were left out.
bool addKnownCurve(LabPlot& plot, const pelorin::FieldStudy& study, const QColor& text) {
    bool leftOut = false;
    const QString curveName =
        study.comparison == pelorin::Comparison::reference ? "reference" : "exact";
    for (const pelorin::SampledCurve& known : study.known) {
        for (const pelorin::SampledCurve::Piece& piece : known.pieces) {
            const pelorin::DrawablePoints points = pelorin::drawablePoints(piece.x, piece.y);
            leftOut = leftOut || points.leftOut;
            QCPGraph* curve = plot.addGraph();
            curve->setPen(QPen(text, 2));
            curve->setData(toQVector(points.x), toQVector(points.y), true);
            markLonePoint(*curve);
            // One legend entry for a curve broken into pieces.
            if (&piece == &known.pieces.front()) curve->setName(curveName);
            else curve->removeFromLegend();
        }
    }
    return leftOut;
}

}  // namespace

// A multistep run's starting values ringed, in the text's colour: the
// points its formula did not make.
void FieldTab::markStartingValues(std::optional<pelorin::SideBySide> set) {
    const pelorin::SolutionPath& run = study_.halved.front();
    if (set || !run.method || run.startingValues == 0) return;
    const std::vector<double> x(run.x.begin() + 1, run.x.begin() + 1 + run.startingValues);
    const std::vector<double> y(run.y.begin() + 1, run.y.begin() + 1 + run.startingValues);
    const pelorin::DrawablePoints points = pelorin::drawablePoints(x, y);
    QCPGraph* ringed = plot_->addGraph();
    ringed->setName("starting values, h = " + QString::fromStdString(pelorin::numberToText(run.h)));
    ringed->setLineStyle(QCPGraph::lsNone);
    ringed->setScatterStyle(QCPScatterStyle(
        QCPScatterStyle::ssCircle, QPen(palette().color(QPalette::Text), 1.5), Qt::NoBrush, 14));
    ringed->setData(toQVector(points.x), toQVector(points.y), true);
}

std::optional<pelorin::SideBySide> FieldTab::sideBySide() const {
    for (std::size_t i = 0; i < setBoxes_.size(); ++i) {
        if (setBoxes_[i]->isChecked()) return pelorin::SideBySide(i);
    }
    return std::nullopt;
}

void FieldTab::keepSettings(pelorin::LessonSettings& lesson) const {
    const std::optional<pelorin::SideBySide> set = sideBySide();
    lesson.sideBySide =
        set ? std::optional(pelorin::sideBySideMethodSets[static_cast<std::size_t>(*set)])
            : std::nullopt;
}

void FieldTab::restoreSettings(const pelorin::LessonSettings& lesson) {
    // Quietly: the lab shows its pages again once the lesson is restored.
    for (std::size_t i = 0; i < setBoxes_.size(); ++i) {
        const QSignalBlocker quiet(setBoxes_[i]);
        setBoxes_[i]->setChecked(lesson.sideBySide == pelorin::sideBySideMethodSets[i]);
    }
}

void FieldTab::drawSolutions() {
    if (showsSystem()) {
        drawSystem();
        return;
    }
    plot_->clearGraphs();
    plot_->describe(equationFieldDescription);
    plot_->yAxis->setLabel(componentsLabel(1));
    errors_->yAxis->setLabel(errorsLabel(1));
    const std::optional<pelorin::SideBySide> set = sideBySide();
    // The page's palette: a new one reaches the page before its plot.
    segments_->setPen(QPen(LabPlot::fieldColour(palette()), 1));

    // Values beyond what an axis can span are left out, and the notes say so.
    bool leftOut = addKnownCurve(*plot_, study_, palette().color(QPalette::Text));
    const std::vector<ShownRun> runs = shownRuns(
        study_, inputs_.method, set, study_.hiddenUnder, [this](bool every, std::size_t k) {
            const pelorin::SolutionPath& path = every ? study_.every[k] : study_.halved[k];
            return pelorin::drawablePoints(path.x, path.y);
        });
    addRuns(*plot_, runs, !set);
    markStartingValues(set);
    leftOut = leftOut || anyLeftOut(runs);
    plot_->setSolutionEnd(study_.end);
    QStringList drawing;
    if (leftOut) drawing << QString::fromStdString(pelorin::undrawableNote());
    if (const std::string& leaving = study_.leavingNoteOf(set); !leaving.empty()) {
        drawing << QString::fromStdString(leaving);
    }
    if (const QString drift = drawDrift<double>(); !drift.isEmpty()) drawing << drift;
    drawingNote_ = drawing.join("\n");
    drawErrors();
    showNotes();
    if (!runs.empty()) followWholeView();
    if (drift_->isVisibleTo(this)) {
        drift_->showWhole();
        replotWhenShown({plot_, errors_, drift_});
    } else {
        replotWhenShown({plot_, errors_});
    }
}

void FieldTab::drawSystem() {
    const ComponentRuns runs{componentsStudy_, inputs_.problem, inputs_.method, sideBySide(),
                             driftLogarithmic_->isChecked()};
    plot_->describe(systemFieldDescription);
    QStringList drawing{drawFieldComponents({*plot_, *errors_}, runs)};
    if (const QString drift = drawDrift<pelorin::StateVector>(); !drift.isEmpty()) {
        drawing << drift;
    }
    drawing.removeAll(QString());
    drawingNote_ = drawing.join("\n");
    errorsNote_.clear();  // a system's drawing note says what its error plot leaves out
    showNotes();
    for (LabPlot* plot : {plot_, errors_, drift_}) plot->showWhole();
    replotWhenShown({plot_, errors_, drift_});
}

// The drift's plot, and its box, only where a drift is drawn, described and
// labelled after what it measures.
template <class State>
QString FieldTab::drawDrift() {
    const pelorin::FieldStudyOf<State>& study = held<State>();
    const bool logarithmic = driftLogarithmic_->isChecked();
    const FieldRuns<State> runs{study, inputs_.problem, inputs_.method, sideBySide(), logarithmic};
    const bool drawn = anyDrift(runs);
    if constexpr (std::is_same_v<State, double>) {
        // Each run in the pen and marker, and by the name, it has in the
        // plots above.
        drift_->clearGraphs();
        const auto& hidden = logarithmic ? study.logDriftHiddenUnder : study.driftHiddenUnder;
        if (drawn) {
            addRuns(*drift_,
                    shownRuns(study, runs.method, runs.set, hidden,
                              [&runs](bool, std::size_t r) { return driftPoints(runs, r); }),
                    !runs.set);
        }
    } else {
        drawSystemDrift(*drift_, runs);
    }
    labelDrift(*drift_, study.driftAgainst.empty(), logarithmic, inputs_.problem.isSystem());
    drift_->setVisible(drawn);
    driftLogarithmic_->setVisible(drawn);
    return fieldDriftNote(runs);
}

// A study's first drawing shows the whole plots, and so does every drawing
// while the student keeps the whole view: the view follows a start that
// moved.
void FieldTab::followWholeView() {
    if (fitPending_ || plot_->showsWhole()) plot_->showWhole();
    if (fitPending_ || errors_->showsWhole()) errors_->showWhole();
    fitPending_ = false;
}

// A hidden page is painted when it is shown: the other pages' boxes
// recalculate it often, and a plot's painting costs more than its runs.
// A shown one is painted in an event of its own, after the other pages'
// work for the same input, so that no single handler holds input long.
void FieldTab::replotWhenShown(std::initializer_list<LabPlot*> plots) {
    if (!isVisible()) {
        replotPending_ = true;
        return;
    }
    for (LabPlot* plot : plots) plot->replot(QCustomPlot::rpQueuedReplot);
}

// The global errors of the runs the field shows, against the same solution.
void FieldTab::drawErrors() {
    errors_->clearGraphs();
    std::array<bool, 3> without{};  // runs without a curve, for each NoErrorCurve
    const std::optional<pelorin::SideBySide> set = sideBySide();
    const std::vector<ShownRun> runs = shownRuns(
        study_, inputs_.method, set, study_.errorHiddenUnder,
        [this, &without](bool every, std::size_t k) {
            const pelorin::ErrorPath& errors =
                every ? study_.everyErrors[k] : study_.halvedErrors[k];
            const std::size_t points = (every ? study_.every[k] : study_.halved[k]).x.size();
            pelorin::DrawablePoints drawn = pelorin::magnitudePoints(errors.x, errors.error);
            without[static_cast<std::size_t>(whyNoErrorCurve(points, errors, drawn))] = true;
            return drawn;
        });
    addRuns(*errors_, runs, !set);
    QStringList notes;
    for (const NoErrorCurve why : {NoErrorCurve::zeroErrors, NoErrorCurve::unmeasured}) {
        const QString note = without[static_cast<std::size_t>(why)]
                                 ? noErrorCurveNote(why, study_.comparison)
                                 : QString();
        if (!note.isEmpty()) notes << note;
    }
    if (anyLeftOut(runs)) {
        notes << QString::fromStdString(pelorin::undrawableNote(errorsPlotName));
    }
    errorsNote_ = notes.join("\n");
}

// The view holds the start, the end and every run, with some room; points
// past the end of the solution, which follow none, would flatten the rest.
void FieldTab::fitView() {
    if (showsSystem()) {
        fitComponentsView(*plot_, inputs_.problem, componentsStudy_, sideBySide());
        return;
    }
    pelorin::Extent y;
    y.include(inputs_.problem.y0[0]);
    // Beside the implicit methods, a run that leaves the solution far behind
    // stays out of the view, and the notes say so.
    const std::optional<pelorin::SideBySide> set = sideBySide();
    const auto left = [this, set](const QCPGraph& graph) {
        if (!set) return false;
        const auto& leaving = study_.leavesView[static_cast<std::size_t>(*set)];
        for (std::size_t row = 0; row < pelorin::labCatalogue().size(); ++row) {
            if (leaving[row] &&
                graph.name().startsWith(fromView(pelorin::labCatalogue()[row].caption) + ",")) {
                return true;
            }
        }
        return false;
    };
    const pelorin::Extent x = wholeKeys(*plot_, inputs_.problem, left);
    for (int i = 0; i < plot_->graphCount(); ++i) {
        if (left(*plot_->graph(i))) continue;
        for (const QCPGraphData& point : *plot_->graph(i)->data()) {
            if (!study_.end || !study_.end->past(point.key)) y.include(point.value);
        }
    }
    y = framed(y);
    plot_->xAxis->setRange(x.lower, x.upper);
    plot_->yAxis->setRange(y.lower, y.upper);
}

void FieldTab::drawField() {
    const pelorin::VisibleRange range = plot_->visibleRange();
    const bool sameRange = range.xmin == drawnRange_.xmin && range.xmax == drawnRange_.xmax &&
                           range.ymin == drawnRange_.ymin && range.ymax == drawnRange_.ymax &&
                           range.width == drawnRange_.width && range.height == drawnRange_.height;
    if (sameRange && !fieldStale_) return;
    drawnRange_ = range;
    fieldStale_ = false;
    pelorin::DirectionField field;
    if (inputs_.readable && !showsSystem()) {
        field = pelorin::directionField(inputs_.problem.slopeOf<double>(), range);
    }
    fieldNote_ = QString::fromStdString(pelorin::directionFieldNote(field));
    segments_->setSegments(std::move(field.segments));
    showNotes();
}

void FieldTab::showNotes() {
    QStringList notes = studyNotes_;
    for (const QString& note : {drawingNote_, errorsNote_, fieldNote_}) {
        if (!note.isEmpty()) notes << note;
    }
    const QString joined = notes.join("\n");
    if (notes_->text() != joined) notes_->setText(joined);
    notes_->setVisible(!notes.isEmpty());
}

namespace {

// What leads every row of the saved Lab steps, so that a file stands alone:
// the equation, the method and the inputs; a system's start is one tuple.
std::vector<pelorin::TableLabel> stepsLabels(const LabInputs& inputs,
                                             const pelorin::Method* method) {
    const pelorin::Problem& problem = inputs.problem;
    std::string start;
    for (std::size_t k = 0; k < problem.y0.size(); ++k) {
        start += (k ? ", " : "") + pelorin::numberToText(problem.y0[k]);
    }
    using Label = pelorin::TableLabel;
    return {problem.isSystem() ? Label{"equation", problem.equationText()}
                               : Label{"f(x, y)", problem.equation.f},
            {"method", method ? std::string(method->heading) : std::string()},
            {"x0", pelorin::numberToText(problem.x0)},
            problem.isSystem() ? Label{"y(x0)", "(" + start + ")"} : Label{"y0", start},
            {"x1", pelorin::numberToText(problem.x1)},
            {"h", pelorin::numberToText(inputs.h)}};
}

}  // namespace

// The table shown_ holds, the file saved_ writes, and the caption naming
// what the errors are measured against, the exact solution through the start.
template <class Steps>
void FieldTab::showSteps(const Steps& errors) {
    const pelorin::Method* method = errors.method;
    shown_ = pelorin::stepErrorTable(errors);
    saved_ = pelorin::labelledStepErrorTable(shown_, stepsLabels(inputs_, method));
    suggestedName_ = QString::fromStdString(
        pelorin::suggestedFileName(method, inputs_.h, "lab-steps", ".csv"));
    if (QLabel* caption = captionOf(*steps_)) {
        QString against;
        if (errors.comparison == pelorin::Comparison::exact) {
            against = ", beside the exact solution through " +
                      QString(showsSystem() ? "(x0, y(x0))" : "(x0, y0)");
        } else if (errors.comparison == pelorin::Comparison::reference) {
            against = ", beside the reference solution";
        }
        caption->setText("La&b steps: the chosen method with h" + against);
    }
    fillTable(*steps_, shown_);
    steps_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The start and the starting values: the first rows of Lab steps.
    const bool multistep = method && pelorin::isMultistep(*method);
    pelorin::TextTable starting = shown_;
    starting.rows.resize(
        std::min(starting.rows.size(), static_cast<std::size_t>(errors.startingValues + 1)));
    fillTable(*starting_, starting);
    starting_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    starting_->setVisible(multistep);
    if (QLabel* caption = captionOf(*starting_)) caption->setVisible(multistep);
}

QString FieldTab::copiedText() const {
    return QString::fromStdString(pelorin::tabSeparated(shown_));
}

QByteArray FieldTab::csv() const {
    return QByteArray::fromStdString(pelorin::commaSeparated(saved_));
}

void FieldTab::copy() { QApplication::clipboard()->setText(copiedText()); }

void FieldTab::saveAsCsv() {
    const auto target = askWhereToSave(this, "Save Lab steps as CSV", suggestedName_,
                                       {{"CSV files", ".csv"}});
    if (target) saveWholeOrWarn(this, target->path, csv());
}

void FieldTab::pressed(QMouseEvent* event) {
    pressedAt_.reset();
    if (event->button() == Qt::LeftButton) pressedAt_ = event->position();
}

// A left click that did not drag the view moves the start to the point
// under the pointer.
void FieldTab::released(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_ || showsSystem()) return;
    const QPointF at = event->position();
    const bool click = (at - *pressedAt_).manhattanLength() <= clickSlack;
    pressedAt_.reset();
    const QRect rect = plot_->axisRect()->rect();
    const auto pixel = pelorin::pixelSize(plot_->visibleRange());
    if (!click || !rect.contains(at.toPoint()) || !pixel) return;
    // The plot's own mapping, by which it drew the field under the pointer.
    const double x = plot_->xAxis->pixelToCoord(at.x()), y = plot_->yAxis->pixelToCoord(at.y());
    emit startPicked(QString::fromStdString(pelorin::readOffText(x, pixel->x)),
                     QString::fromStdString(pelorin::readOffText(y, pixel->y)));
}
