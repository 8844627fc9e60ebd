#include "lab/adaptive_tab.h"

#include "base/conversions.h"
#include "base/lab_reading.h"
#include "base/number_text.h"
#include "base/words.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "methods/exact_solution.h"
#include "numerics/plot_extent.h"
#include "numerics/state_operations.h"
#include "texts/adaptive_view.h"
#include "ui/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Fixed-step runs up to N = 2^16, as the Convergence page studies them.
constexpr int doublings = 16;

using pelorin::ControllerSettings;

// The boxes of the controller's factors: caption, accessible name, the setting
// each holds (starting from its default in ControllerSettings) and its tooltip.
struct FactorBox {
    const char* caption;
    const char* name;
    double ControllerSettings::*value;
    const char* tip;
};
constexpr std::array<FactorBox, 3> factorBoxes{{
    {"Safety fact&or:", "Safety factor", &ControllerSettings::safety,
     "fac: the next step aims a little below the tolerance, so that fewer steps are rejected."},
    {"h gro&ws at most \u00d7", "Largest growth", &ControllerSettings::largestGrowth,
     "facmax: the most h may grow in one step, so that one lucky estimate cannot throw the next "
     "step far."},
    {"shr&inks at most \u00d7", "Smallest shrink", &ControllerSettings::smallestShrink,
     "facmin: the most h may shrink in one step."},
}};

const std::array<QString, 3> partsCaptions{"absolute and relative: tol\u00b7(1 + |y|)",
                                           "absolute only: tol", "relative only: tol\u00b7|y|"};

// The embedded pairs, the methods the page can run, in catalogue order.
std::vector<std::size_t> pairRows() {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < pelorin::labCatalogue().size(); ++row) {
        if (pelorin::carriesEstimate(pelorin::labCatalogue()[row])) rows.push_back(row);
    }
    return rows;
}

// Whether two sweeps read the same: the problem, the first step h, how the
// multistep methods start and the controller's settings. Not the lab's
// method, nor the tolerance, which the sweep sets itself.
bool sameSweep(const SweepInputs& a, const SweepInputs& b) {
    const ControllerSettings& s = a.settings;
    const ControllerSettings& t = b.settings;
    return pelorin::sameProblem(a.inputs.problem, b.inputs.problem) && a.inputs.h == b.inputs.h &&
           a.inputs.methods.start == b.inputs.methods.start &&
           a.inputs.methods.typed() == b.inputs.methods.typed() && s.safety == t.safety &&
           s.largestGrowth == t.largestGrowth && s.smallestShrink == t.smallestShrink &&
           s.measure == t.measure && s.parts == t.parts && s.maxAttempts == t.maxAttempts;
}

// Points a logarithmic axis can show.
bool positive(double value) {
    return std::isfinite(value) && value > 0 && pelorin::drawable(value);
}

}  // namespace

AdaptiveTab::AdaptiveTab(QWidget* parent) : LabPage(parent) {
    // The page holds more than the others: it scrolls within itself, so that
    // the lab keeps the other pages' height.
    QVBoxLayout* layout = scrollingContent(*this);
    layout->addWidget(createOffer());
    layout->addWidget(createSettings());
    controller_ = new NotesLabel("Controller notes", this);
    layout->addWidget(controller_);
    layout->addLayout(createPlots(), 4);

    notes_ = addNotes(layout, "Adaptive notes");
    workNotes_ = addNotes(layout, "Work-precision notes");
    table_ = addCaptionedTable(layout, "A&daptive steps: every attempted step, accepted or "
                                       "rejected", "Adaptive steps");
    table_->setAccessibleDescription("Every attempted step of the adaptive run: where it "
                                     "starts, its h, the estimate against the tolerance, "
                                     "whether it was accepted, and its true errors.");
}

// The run's solution above its step sizes, the sweep's work beside both.
QGridLayout* AdaptiveTab::createPlots() {
    auto* plots = new QGridLayout;
    plots->addWidget(createSolutionPlot(), 0, 0);
    plots->addWidget(createStepsPlot(), 1, 0);
    plots->addWidget(createWorkPlot(), 0, 1, 2, 1);
    for (LabPlot* plot : {solution_, steps_, work_}) plot->installEventFilter(this);
    return plots;
}

LabPlot* AdaptiveTab::createSolutionPlot() {
    solution_ = new LabPlot("Adaptive solution plot",
                            "The accepted steps of the adaptive run over the exact solution, or "
                            "over the reference solution where none is given.",
                            this);
    solution_->xAxis->setLabel("x");
    solution_->yAxis->setLabel("y");
    // The plot is short: fewer ticks keep large text apart.
    solution_->yAxis->ticker()->setTickCount(4);
    solution_->showLegend(LabPlot::LegendPlace::below);
    return solution_;
}

LabPlot* AdaptiveTab::createStepsPlot() {
    steps_ = new LabPlot("Step size plot",
                         "The size of every attempted step against the x it starts from, "
                         "logarithmic, accepted steps joined, rejected attempts marked apart.",
                         this);
    steps_->xAxis->setLabel("x");
    steps_->yAxis->setLabel("|h|");
    LabPlot::useLogAxis(steps_->yAxis);
    steps_->showLegend(LabPlot::LegendPlace::below);
    return steps_;
}

LabPlot* AdaptiveTab::createWorkPlot() {
    work_ = new LabPlot("Work-precision plot",
                        "The error at x1 against the slope evaluations spent, a Jacobian's "
                        "included, both axes logarithmic: the embedded pairs adapting their "
                        "steps over tolerances from 1E-2 to 1E-12, the same methods with fixed "
                        "steps (the Convergence page has all seven), the implicit methods with "
                        "fixed steps, and the library's Dormand-Prince and rosenbrock4 "
                        "steppers. Errors above a thousand times the solution's size, of runs "
                        "that blew up, run off the top; against a reference, a dotted line "
                        "marks the level below which it cannot measure an error.",
                        this);
    work_->useLogAxes();
    work_->xAxis->setLabel("slope evaluations");
    work_->yAxis->setLabel("error at x1");
    work_->showLegend(LabPlot::LegendPlace::below);
    // One entry a line: the captions are long, and two columns would cut them.
    work_->legend->setWrap(1);
    // Eleven entries under the axes: the axes keep about as much height
    // again, and the page scrolls within itself where it has less.
    work_->setSmallestHeight(QFontMetrics(font()).lineSpacing() * 40);
    return work_;
}

QWidget* AdaptiveTab::createOffer() {
    offer_ = new QWidget(this);
    auto* row = new QHBoxLayout(offer_);
    row->setContentsMargins(0, 0, 0, 0);
    offerText_ = new NotesLabel("Method offer", offer_);
    row->addWidget(offerText_, 1);
    const std::vector<std::size_t> rows = pairRows();
    const std::array<const char*, 2> captions{"Use Runge-Kutta-Fehl&berg",
                                              "Use Run&ge-Kutta-Merson"};
    for (std::size_t i = 0; i < offerButtons_.size() && i < rows.size(); ++i) {
        offerButtons_[i] = new QPushButton(captions[i], offer_);
        offerButtons_[i]->setAccessibleName(
            "Use " + fromView(pelorin::labCatalogue()[rows[i]].caption));
        connect(offerButtons_[i], &QPushButton::clicked, this,
                [this, row = static_cast<int>(rows[i])] { emit methodChosen(row); });
        row->addWidget(offerButtons_[i]);
    }
    offer_->setVisible(false);
    return offer_;
}

QWidget* AdaptiveTab::createSettings() {
    auto* settings = new QWidget(this);
    auto* rows = new QVBoxLayout(settings);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* first = new QHBoxLayout;
    auto* toleranceCaption = new QLabel("Tolera&nce:", settings);
    toleranceBox_ = new QLineEdit("1E-6", settings);
    toleranceBox_->setAccessibleName("Tolerance");
    toleranceBox_->setToolTip("tol: each step's estimated error is held to this, absolute, "
                              "relative or both as the kind says.");
    toleranceCaption->setBuddy(toleranceBox_);
    connect(toleranceBox_, &QLineEdit::editingFinished, this, &AdaptiveTab::settingsEdited);
    first->addWidget(toleranceCaption);
    first->addWidget(toleranceBox_);
    auto* partsCaption = new QLabel("&kind:", settings);
    parts_ = newListBox(settings);
    parts_->setAccessibleName("Tolerance kind");
    for (const QString& caption : partsCaptions) parts_->addItem(caption);
    partsCaption->setBuddy(parts_);
    connect(parts_, &QComboBox::currentIndexChanged, this, &AdaptiveTab::settingsEdited);
    first->addWidget(partsCaption);
    first->addWidget(parts_);
    perUnitStep_ = new QCheckBox("&error per unit step", settings);
    perUnitStep_->setAccessibleName("Error per unit step");
    perUnitStep_->setToolTip("Hold the estimate divided by |h| to the tolerance: the error "
                             "gathered over a range, not per step, is then held to it.");
    connect(perUnitStep_, &QCheckBox::toggled, this, &AdaptiveTab::settingsEdited);
    first->addWidget(perUnitStep_);
    first->addStretch(1);
    rows->addLayout(first);

    auto* second = new QHBoxLayout;
    const ControllerSettings defaults;
    for (std::size_t i = 0; i < factorBoxes.size(); ++i) {
        const FactorBox& box = factorBoxes[i];
        auto* caption = new QLabel(box.caption, settings);
        const double value = defaults.*box.value;
        lastGoodFactors_[i] = value;
        factors_[i] = new QLineEdit(fromView(pelorin::numberToText(value)), settings);
        factors_[i]->setAccessibleName(box.name);
        factors_[i]->setToolTip(box.tip);
        factors_[i]->setMaximumWidth(QFontMetrics(font()).averageCharWidth() * 12);
        caption->setBuddy(factors_[i]);
        connect(factors_[i], &QLineEdit::editingFinished, this, &AdaptiveTab::settingsEdited);
        second->addWidget(caption);
        second->addWidget(factors_[i]);
    }
    second->addStretch(1);
    rows->addLayout(second);
    return settings;
}

void AdaptiveTab::setInputs(const LabInputs& inputs) {
    inputs_ = inputs;
    readSettings();
    start();
}

void AdaptiveTab::settingsEdited() {
    readSettings();
    start();
}

// Strictly, as the lab reads its boxes: a text that is not a usable number
// keeps the last good value, and the notes say why.
void AdaptiveTab::readSettings() {
    settingsNotes_.clear();
    const pelorin::LabNumber tolerance =
        pelorin::readTolerance(toleranceBox_->text().toStdString());
    if (tolerance.value) {
        tolerance_ = *tolerance.value;
        toleranceBox_->setToolTip({});
    } else {
        const QString note = "Tolerance: " + QString::fromStdString(tolerance.why) +
                             "; the tolerance stays " +
                             QString::fromStdString(pelorin::errorText(tolerance_)) + ".";
        toleranceBox_->setToolTip(note);
        settingsNotes_ << note;
    }
    ControllerSettings settings;
    for (std::size_t i = 0; i < factorBoxes.size(); ++i) {
        const pelorin::LabBox box = pelorin::readLabBox(
            factorBoxes[i].name, factors_[i]->text().toStdString(), lastGoodFactors_[i]);
        lastGoodFactors_[i] = box.value;
        factors_[i]->setToolTip(box.note.empty() ? factorBoxes[i].tip
                                                 : QString::fromStdString(box.note));
        if (!box.note.empty()) settingsNotes_ << QString::fromStdString(box.note);
        settings.*factorBoxes[i].value = *box.value;
    }
    settings.measure = perUnitStep_->isChecked() ? pelorin::ErrorMeasure::perUnitStep
                                                 : pelorin::ErrorMeasure::perStep;
    settings.parts = static_cast<pelorin::ToleranceParts>(std::max(parts_->currentIndex(), 0));
    settings_ = pelorin::withTolerance(settings, tolerance_);
}

// The lesson's texts of the three factor boxes, in the boxes' order.
constexpr std::array<std::string pelorin::LessonSettings::*, 3> lessonFactors{
    &pelorin::LessonSettings::safetyFactor, &pelorin::LessonSettings::largestGrowth,
    &pelorin::LessonSettings::smallestShrink};

void AdaptiveTab::keepSettings(pelorin::LessonSettings& lesson) const {
    lesson.tolerance = toleranceBox_->text().toStdString();
    lesson.toleranceKind =
        static_cast<pelorin::ToleranceParts>(std::max(parts_->currentIndex(), 0));
    lesson.errorPerUnitStep = perUnitStep_->isChecked();
    for (std::size_t i = 0; i < factors_.size(); ++i) {
        lesson.*lessonFactors[i] = factors_[i]->text().toStdString();
    }
}

void AdaptiveTab::restoreSettings(const pelorin::LessonSettings& lesson) {
    const QSignalBlocker quietParts(parts_), quietCheck(perUnitStep_);
    toleranceBox_->setText(QString::fromStdString(lesson.tolerance));
    parts_->setCurrentIndex(static_cast<int>(lesson.toleranceKind));
    perUnitStep_->setChecked(lesson.errorPerUnitStep);
    for (std::size_t i = 0; i < factors_.size(); ++i) {
        factors_[i]->setText(QString::fromStdString(lesson.*lessonFactors[i]));
    }
}

PageHandout AdaptiveTab::handout(const LabInputs& inputs) const {
    const QString line = "Method: " + fromView(pelorin::labCatalogue()[inputs.method].caption) +
                         " adapting its steps, tolerance " +
                         QString::fromStdString(pelorin::errorText(tolerance_)) + " (" +
                         partsCaptions[static_cast<std::size_t>(settings_.parts)] +
                         "), first step h = " + QString::fromStdString(inputs.hText);
    return {{line}, {solution_, steps_, work_}, {controller_, notes_, workNotes_}, {table_}};
}

void AdaptiveTab::start() {
    runs_.supersede();
    const pelorin::Method& method = inputs_.chosenMethod();
    controller_->setText(QString::fromStdString(
        pelorin::controllerText(method, settings_, inputs_.problem.components())));
    offer_->setVisible(!pelorin::carriesEstimate(method));
    QStringList first = settingsNotes_;
    if (!inputs_.readable) {
        first << QString::fromStdString(inputs_.unreadable);
        sweeps_.supersede();
        swept_.reset();
        showNoRun(first);
        showSweep({});
        return;
    }
    startRun(method, first);
    // The sweep does not read the tolerance box or the method: it is made
    // again only when what it reads changes.
    if (swept_ && sameSweep(*swept_, {inputs_, settings_})) return;
    swept_ = SweepInputs{inputs_, settings_};
    startSweep();
}

// A method without an error estimate shows why it cannot adapt its steps.
void AdaptiveTab::startRun(const pelorin::Method& method, const QStringList& first) {
    if (!pelorin::carriesEstimate(method)) {
        const pelorin::Problem& problem = inputs_.problem;
        const pelorin::AdaptiveRun none = pelorin::adaptiveRun(
            method, pelorin::f1, problem.x0, problem.y0[0], problem.x1, inputs_.h, settings_);
        offerText_->setText(QString::fromStdString(none.why));
        showNoRun(first);
    } else if (showsSystem()) {
        startStudy<pelorin::StateVector>(method, first);
    } else {
        startStudy<double>(method, first);
    }
}

// A typed slope runs off the window's thread; until it ends the page shows
// nothing old.
template <class State>
void AdaptiveTab::startStudy(const pelorin::Method& method, const QStringList& first) {
    const double h0 = inputs_.h;
    const ControllerSettings settings = settings_;
    runs_.study(
        inputs_.problem,
        [&method, h0, settings](const pelorin::Problem& problem, std::stop_token stop) {
            return pelorin::studyAdaptive<State>(method, problem, h0, settings,
                                                 pelorin::maxReferenceEvaluations, stop);
        },
        [this, first](pelorin::AdaptiveStudyOf<State> study) { showRun(std::move(study), first); },
        [this, &method, waiting = first](const pelorin::Problem& problem) mutable {
            const std::string formula = pelorin::quotedFormula(problem.equationText());
            waiting << "Running " + fromView(method.caption) + " on " +
                           QString::fromStdString(formula) + " \u2026";
            showRun(pelorin::AdaptiveStudyOf<State>{}, waiting);
        });
}

void AdaptiveTab::startSweep() {
    const double h0 = inputs_.h;
    const ControllerSettings settings = settings_;
    showSweep({});
    setNotes(workNotes_, {"Calculating the tolerance sweep \u2026"});
    // A sweep for inputs no longer shown would only take the processor from
    // the one that is wanted: asking for this one stops it.
    const auto shown = [this](pelorin::WorkPrecision sweep) { showSweep(std::move(sweep)); };
    sweeps_.runOffThread(
        inputs_.problem,
        [h0, settings, multistep = inputs_.methods](const pelorin::Problem& problem,
                                                      std::stop_token stop) {
            return pelorin::sweepAdaptive(problem, h0, settings, doublings, stop, multistep);
        },
        shown);
}

template <class State>
void AdaptiveTab::showRun(pelorin::AdaptiveStudyOf<State> study, const QStringList& firstNotes) {
    study_ = std::move(study);
    const auto& shown = std::get<pelorin::AdaptiveStudyOf<State>>(study_);
    QStringList notes = firstNotes;
    notes << fromNotes(shown.notes) << fromNotes(shown.run.notes);
    if (!shown.limitNote.empty()) notes << QString::fromStdString(shown.limitNote);
    const std::string unlisted = pelorin::unlistedAttemptsNote(shown.run);
    if (!unlisted.empty()) notes << QString::fromStdString(unlisted);

    fillTable(*table_, pelorin::adaptiveStepTable(shown.run));
    // The widest cells are in the first rows' kind: measuring a hundred is enough.
    table_->horizontalHeader()->setResizeContentsPrecision(100);
    table_->resizeColumnsToContents();
    if (plotRun()) notes << QString::fromStdString(pelorin::undrawableNote());
    setNotes(notes_, notes);
}

void AdaptiveTab::showNoRun(const QStringList& notes) {
    if (!showsSystem()) return showRun(pelorin::AdaptiveStudy{}, notes);
    // The empty table still has a column for every component.
    pelorin::AdaptiveStudyOf<pelorin::StateVector> none;
    none.run.y = inputs_.problem.y0;
    showRun(std::move(none), notes);
}

// The plot has its new palette when it is told of it, and redraws itself
// with it right after: the curves drawn here take their colours from it.
bool AdaptiveTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        if (watched == work_) plotSweep();
        else plotRun();
    }
    return QWidget::eventFilter(watched, event);
}

// interval/|λ|, with a gap wherever λ ≥ 0; nothing, in the legend too,
// where λ is nowhere negative.
std::optional<double> AdaptiveTab::plotStabilityLimit(const pelorin::StabilityLimit& limit) {
    QVector<double> x, h;
    std::optional<double> lowest;
    for (std::size_t i = 0; i < limit.x.size(); ++i) {
        const std::optional<double>& limitH = limit.h[i];
        x << limit.x[i];
        if (limitH && positive(*limitH)) {
            h << *limitH;
            lowest = std::min(lowest.value_or(*limitH), *limitH);
        } else {
            h << qQNaN();  // a gap in the line
        }
    }
    if (!lowest) return std::nullopt;
    QCPGraph* line = steps_->addGraph();
    const QString interval = QString::fromStdString(pelorin::fixedText(limit.interval, 3));
    line->setName("stability limit " + interval + "/|\u03bb|");
    line->setPen(QPen(steps_->palette().color(QPalette::Text), 1.5, Qt::DashLine));
    line->setData(x, h);
    return lowest;
}

namespace {

// A single equation's values are its only component.
using pelorin::componentOf;
const std::vector<double>& componentOf(const std::vector<double>& values, std::size_t) {
    return values;
}

// How a curve of the run's plot is named and drawn.
struct CurveLook {
    QString name;
    QPen pen;
    QCPScatterStyle marker;
};

// The exact or reference solution: a single equation's in the text's
// colour, each of a system's components in a pale band of its own colour.
CurveLook knownLook(const LabPlot& plot, bool reference, std::size_t n, std::size_t k) {
    const QString known = reference ? "reference" : "exact";
    if (n == 1) return {known + " solution", QPen(plot.palette().color(QPalette::Text), 1.5), {}};
    return {QString("y%1, %2").arg(k + 1).arg(known), LabPlot::componentBand(k), {}};
}

// The accepted points with the method's marker: a single equation's in the
// method's colour, each of a system's components in its own.
CurveLook acceptedLook(const pelorin::Method& method, std::size_t n, std::size_t k) {
    const std::size_t row = pelorin::catalogueRow(method);
    if (n == 1) {
        return {fromView(method.caption) + ", accepted steps", LabPlot::methodPen(row),
                LabPlot::methodMarker(row)};
    }
    return {QString("y%1, accepted steps").arg(k + 1), LabPlot::methodPen(k),
            LabPlot::methodMarker(row)};
}

// Whether a value was left out, as drawablePoints says.
bool addCurve(LabPlot& plot, const std::vector<double>& x, const std::vector<double>& y,
              const CurveLook& look) {
    const pelorin::DrawablePoints points = pelorin::drawablePoints(x, y);
    QCPGraph* graph = plot.addGraph();
    graph->setName(look.name);
    graph->setPen(look.pen);
    graph->setScatterStyle(look.marker);
    graph->setData(toQVector(points.x), toQVector(points.y));
    return points.leftOut;
}

}  // namespace

bool AdaptiveTab::plotRun() {
    return std::visit([this](const auto& study) { return plotStudy(study); }, study_);
}

template <class State>
bool AdaptiveTab::plotStudy(const pelorin::AdaptiveStudyOf<State>& study) {
    solution_->clearGraphs();
    steps_->clearGraphs();
    const std::size_t n = inputs_.problem.components();
    bool leftOut = false;
    for (std::size_t k = 0; k < n && !study.solutionX.empty(); ++k) {
        leftOut |= addCurve(*solution_, study.solutionX, componentOf(study.solutionY, k),
                            knownLook(*solution_, study.reference, n, k));
    }
    const pelorin::AdaptiveRunOf<State>& run = study.run;
    if (run.method && !run.attempts.empty()) {
        const pelorin::AcceptedPointsOf<State> accepted = pelorin::acceptedPoints(run);
        for (std::size_t k = 0; k < n; ++k) {
            leftOut |= addCurve(*solution_, accepted.x, componentOf(accepted.y, k),
                                acceptedLook(*run.method, n, k));
        }
    }
    plotStepSizes(run.method, pelorin::stepSizes(run));
    solution_->yAxis->setLabel(componentsLabel(n));
    fitRunPlots(study.end, study.limit);
    return leftOut;
}

void AdaptiveTab::fitRunPlots(const std::optional<pelorin::SolutionEnd>& end,
                              const pelorin::StabilityLimit& limit) {
    const double x0 = inputs_.problem.x0, x1 = inputs_.problem.x1;
    for (LabPlot* plot : {solution_, steps_}) {
        plot->rescaleAxesOver(x0, x1);
        plot->xAxis->scaleRange(1.05);
    }
    solution_->setSolutionEnd(end);
    solution_->fitValuesBefore();
    // Nothing drawn leaves the axis as it was: y0's values, a tenth of their size or at least 1
    // either side, instead, the same however often the page calculates again.
    if (solution_->drawsNothing()) {
        pelorin::Extent start;
        for (const double y : inputs_.problem.y0) {
            if (pelorin::drawable(y)) start.include(y);
        }
        if (start.empty) start.include(0);
        const double room =
            std::max({1.0, std::fabs(start.lower) / 10, std::fabs(start.upper) / 10});
        solution_->yAxis->setRange(start.lower - room, start.upper + room);
    }
    solution_->yAxis->scaleRange(1.1);
    fitStepAxis(limit);
    solution_->replot();
    steps_->replot();
}

void AdaptiveTab::plotStepSizes(const pelorin::Method* method, const pelorin::StepSizes& sizes) {
    if (!method || (sizes.acceptedX.empty() && sizes.rejectedX.empty())) return;
    const std::size_t row = pelorin::catalogueRow(*method);
    // A logarithmic axis shows positive sizes only.
    const auto drawn = [](const std::vector<double>& x, const std::vector<double>& h,
                          QVector<double>& keys, QVector<double>& values) {
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (!positive(h[i])) continue;
            keys << x[i];
            values << h[i];
        }
    };
    QVector<double> acceptedX, acceptedH, rejectedX, rejectedH;
    drawn(sizes.acceptedX, sizes.acceptedH, acceptedX, acceptedH);
    drawn(sizes.rejectedX, sizes.rejectedH, rejectedX, rejectedH);
    QCPGraph* acceptedSteps = steps_->addGraph();
    acceptedSteps->setName("accepted");
    acceptedSteps->setPen(LabPlot::methodPen(row));
    acceptedSteps->setScatterStyle(LabPlot::methodMarker(row));
    acceptedSteps->setData(acceptedX, acceptedH);
    // The legend names only what is drawn: a run without rejections has none.
    if (rejectedX.isEmpty()) return;
    QCPGraph* rejected = steps_->addGraph();
    rejected->setName("rejected");
    rejected->setLineStyle(QCPGraph::lsNone);
    rejected->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssCross, QPen(steps_->accent(), 2), Qt::NoBrush, 9));
    rejected->setPen(QPen(steps_->accent(), 2));
    rejected->setData(rejectedX, rejectedH);
}

void AdaptiveTab::fitStepAxis(const pelorin::StabilityLimit& limit) {
    // Without steps drawn, a decade either side of the typed first step h (of 0.1 when h is not
    // a positive number), the same however often the page calculates again.
    if (steps_->drawsNothing()) {
        const double h = positive(inputs_.h) ? inputs_.h : 0.1;
        steps_->yAxis->setRange(h / 10, h * 10);
    }
    // The limit after the steps' own range: where λ is near 0 it rises out
    // of sight, and only its lowest part bounds the steps.
    if (const auto lowest = plotStabilityLimit(limit)) {
        QCPRange h = steps_->yAxis->range();
        h.expand(*lowest);
        steps_->yAxis->setRange(h);
    }
    // At least two decades, so that the logarithmic axis is labelled at
    // its decades only, not crowded with labels between them.
    const QCPRange h = steps_->yAxis->range();
    if (h.lower > 0) {
        const double middle = std::sqrt(h.lower * h.upper);
        const double half = std::max(std::sqrt(h.upper / h.lower) * 2, 10.0);
        steps_->yAxis->setRange(middle / half, middle * half);
    }
}

void AdaptiveTab::showSweep(pelorin::WorkPrecision sweep) {
    sweep_ = std::move(sweep);
    QStringList notes = fromNotes(sweep_.notes);
    notes << fromNotes(pelorin::workPrecisionNotes(sweep_));
    setNotes(workNotes_, notes);
    plotSweep();
}

namespace {

// A series of the work-precision plot: each point's error at x1 against the
// slope evaluations it spent, where both can be shown.
template <typename Point>
void addWorkSeries(LabPlot& plot, const QString& name, const QPen& pen,
                   const QCPScatterStyle& marker, const std::vector<Point>& points) {
    QCPGraph* graph = plot.addGraph();
    graph->setName(name);
    graph->setPen(pen);
    graph->setScatterStyle(marker);
    for (const Point& point : points) {
        const double cost = static_cast<double>(point.slopeEvaluations);
        if (const auto value = point.error; value && positive(*value) && positive(cost)) {
            graph->addData(cost, *value);
        }
    }
    // Errors of 0 have no point here.
    LabPlot::nameOnlyIfDrawn(*graph);
}

// Each embedded pair adapting its steps, broad, and the same method with
// fixed steps, dashed.
void plotAdaptivePairs(LabPlot& plot, const pelorin::WorkPrecision& sweep) {
    for (const pelorin::WorkSeries& series : sweep.adaptive) {
        if (!series.method) continue;
        const std::size_t row = pelorin::catalogueRow(*series.method);
        QPen pen = LabPlot::methodPen(row);
        pen.setWidthF(2.5);
        addWorkSeries(plot, QString::fromStdString(series.caption) + ", adaptive", pen,
                      LabPlot::methodMarker(row), series.points);
        QPen fixedPen = LabPlot::methodPen(row);
        fixedPen.setStyle(Qt::DashLine);
        const pelorin::ConvergenceSeries& fixed = sweep.fixedSteps.series[row];
        addWorkSeries(plot, QString::fromStdString(series.caption) + ", fixed steps", fixedPen,
                      QCPScatterStyle(QCPScatterStyle::ssNone), fixed.points);
    }
}

// The implicit methods with fixed steps, and of the multistep methods the
// lab's own, when it is one (catalogue row `labMethod`): all nine would crowd
// the plot. The implicit methods' pens are dashed already, the multistep
// methods' dash-dotted.
void plotFixedRuns(LabPlot& plot, const pelorin::WorkPrecision& sweep, std::size_t labMethod) {
    std::vector<const pelorin::WorkSeries*> fixedRuns;
    for (const pelorin::WorkSeries& series : sweep.implicitFixed) fixedRuns.push_back(&series);
    for (const pelorin::WorkSeries& series : sweep.multistepFixed) {
        if (pelorin::catalogueRow(*series.method) == labMethod) fixedRuns.push_back(&series);
    }
    for (const pelorin::WorkSeries* series : fixedRuns) {
        const std::size_t row = pelorin::catalogueRow(*series->method);
        addWorkSeries(plot, QString::fromStdString(series->caption) + ", fixed steps",
                      LabPlot::methodPen(row), LabPlot::methodMarker(row), series->points);
    }
}

// The library's steppers, in the text's colour.
void plotLibrarySteppers(LabPlot& plot, const pelorin::WorkPrecision& sweep) {
    const QColor text = plot.palette().color(QPalette::Text);
    if (!sweep.library.points.empty()) {
        addWorkSeries(plot, QString::fromStdString(sweep.library.caption),
                      QPen(text, 1.5, Qt::DashDotLine),
                      QCPScatterStyle(QCPScatterStyle::ssPlus, text, 8), sweep.library.points);
    }
    if (!sweep.stiffLibrary.points.empty()) {
        addWorkSeries(plot, QString::fromStdString(sweep.stiffLibrary.caption),
                      QPen(text, 2.5, Qt::DotLine),
                      QCPScatterStyle(QCPScatterStyle::ssTriangle, text, 8),
                      sweep.stiffLibrary.points);
    }
}

// Where errors are measured against a reference and some drawn error lies
// below what it can measure, that level as a dotted line named in the
// legend, as the Convergence page draws its floor; returns it, if drawn.
std::optional<double> plotMeasurableFloor(LabPlot& plot, double measurableError) {
    const double floor = pelorin::measurableFloor(measurableError);
    bool below = false;
    for (int i = 0; i < plot.graphCount(); ++i) {
        for (const QCPGraphData& point : *plot.graph(i)->data()) {
            below = below || pelorin::belowMeasurable(point.value, measurableError);
        }
    }
    if (!below || !positive(floor)) return std::nullopt;
    plot.addFloorLine({floor, pelorin::FloorCause::reference});
    return floor;
}

// The axes around the points drawn, the errors no higher than a run that
// blew up; a sweep's usual span where nothing is drawn.
void fitWorkAxes(LabPlot& plot, double solutionSize) {
    bool drawn = false;
    for (int i = 0; i < plot.graphCount(); ++i) drawn = drawn || !plot.graph(i)->data()->isEmpty();
    if (!drawn) {
        // Nothing reached x1 with an error to show (the notes say why): the
        // axes span what a sweep usually covers rather than a scale of nothing.
        plot.xAxis->setRange(1, 1e6);
        plot.yAxis->setRange(1e-16, 1);
        return;
    }
    plot.rescaleAxes();
    const QCPRange keys = plot.xAxis->range();
    if (keys.lower > 0) plot.xAxis->setRange(keys.lower / 1.5, keys.upper * 1.5);
    // An explicit method's unstable fixed steps may reach errors of
    // 1E+100: above a thousand times the solution's size an error only
    // says the run blew up, and the axis is left to the errors that can
    // be compared.
    const QCPRange values = plot.yAxis->range();
    const double blownUp = 1e3 * solutionSize;
    if (values.lower > 0) {
        plot.yAxis->setRange(values.lower / 10, std::min(values.upper * 10, blownUp));
    }
}

}  // namespace

void AdaptiveTab::plotSweep() {
    work_->clearGraphs();
    work_->clearItems();
    plotAdaptivePairs(*work_, sweep_);
    plotFixedRuns(*work_, sweep_, inputs_.method);
    plotLibrarySteppers(*work_, sweep_);
    fitWorkAxes(*work_, sweep_.fixedSteps.solutionSize);
    if (const auto floor = plotMeasurableFloor(*work_, sweep_.fixedSteps.measurableError)) {
        QCPRange values = work_->yAxis->range();
        values.expand(*floor * 10);
        work_->yAxis->setRange(values);
    }
    work_->replot();
}
