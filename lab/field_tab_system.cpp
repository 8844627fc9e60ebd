// The Field page on a system: each component against x for the chosen
// method with h, h/2 and h/4 beside the exact or reference solution, the
// runs' errors in the maximum norm, the drift of an invariant, and the Lab
// steps with a column for every component.
#include "lab/field_tab.h"

#include "base/conversions.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "numerics/plot_extent.h"
#include "numerics/state_operations.h"
#include "texts/phase_plane_view.h"
#include "ui/text.h"

#include <QAction>
#include <QCheckBox>
#include <QTableWidget>

namespace {

constexpr std::array<const char*, 3> runNames{"h", "h/2", "h/4"};
constexpr std::array<Qt::PenStyle, 3> runStyles{Qt::SolidLine, Qt::DashLine, Qt::DotLine};

const QString driftDescription =
    "How far each run moves the quantity the solutions keep constant: I(x_i, y_i) - I(x0, y0) "
    "against x, for the runs the page shows.";
const QString errorInIDescription =
    "The system does not keep the quantity typed as its invariant: each run's I(x_i, y_i) less "
    "the solution's I at the same x, the method's error in I, against x.";

QVector<double> asVector(const std::vector<double>& values) {
    return QVector<double>(values.begin(), values.end());
}

void addCurve(LabPlot& plot, const std::vector<double>& x, const std::vector<double>& y,
              const QPen& pen, const QString& name) {
    const pelorin::DrawablePoints points = pelorin::drawablePoints(x, y);
    QCPGraph* graph = plot.addGraph();
    graph->setPen(pen);
    graph->setData(asVector(points.x), asVector(points.y), true);
    graph->setName(name);
}

}  // namespace

LabPlot* FieldTab::createDriftPlot() {
    drift_ = new LabPlot("Invariant drift", driftDescription, this);
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
                drawSystem();
            });
    // The same from the plot's context menu.
    auto* onMenu = new QAction("Drift on a logarithmic axis", drift_);
    onMenu->setCheckable(true);
    connect(onMenu, &QAction::toggled, driftLogarithmic_, &QCheckBox::setChecked);
    connect(driftLogarithmic_, &QCheckBox::toggled, onMenu, &QAction::setChecked);
    drift_->addAction(onMenu);
    return drift_;
}

void FieldTab::displaySystem(pelorin::SystemFieldStudy study, const QStringList& firstNotes) {
    systemStudy_ = std::move(study);
    studyNotes_ = firstNotes;
    for (const std::string& note : systemStudy_.notes) studyNotes_ << QString::fromStdString(note);
    fieldStale_ = true;
    drawField();  // none: a system's field lies in its phase plane
    fillSystemSteps();
    drawSystem();
}

namespace {

// A legend's name for a run another one hides, as the single equation's
// legend names it.
QString legendName(const QString& name, std::optional<std::size_t> under) {
    if (!under) return name;
    return QString::fromStdString(
        pelorin::hiddenCurveName(name.toStdString(), pelorin::labCatalogue()[*under].caption));
}

// The drift's axis, after what it measures: from the start, or from the
// solution's I at the same x, and its size on a logarithmic axis.
QString driftLabel(bool fromStart, bool logarithmic) {
    const QString drift = fromStart ? "I(y_i) - I(y0)" : "I(y_i) - I(y(x_i))";
    return logarithmic ? "|" + drift + "|" : drift;
}

}  // namespace

void FieldTab::drawSystem() {
    plot_->clearGraphs();
    errors_->clearGraphs();
    drift_->clearGraphs();
    const pelorin::SystemFieldStudy& study = systemStudy_;
    const std::size_t n = inputs_.problem.components();
    plot_->yAxis->setLabel(valuesLabel(n));
    const QString known =
        study.comparison == pelorin::Comparison::reference ? "reference" : "exact";
    for (std::size_t k = 0; k < n && !study.knownX.empty(); ++k) {
        addCurve(*plot_, study.knownX, pelorin::componentOf(study.knownY, k), LabPlot::componentBand(k),
                 QString("y%1, %2").arg(k + 1).arg(known));
    }
    // The method with h, h/2 and h/4 in its components' colours, a line
    // style for each step; or a set of methods with h in the methods'
    // colours, a line style for each component.
    const std::optional<pelorin::SideBySide> set = sideBySide();
    const std::size_t shown = set ? static_cast<std::size_t>(*set) : 0;
    const auto under = [&](const std::array<pelorin::HiddenRuns, pelorin::sideBySideSets>& hidden,
                           std::size_t r) { return set ? hidden[shown][r] : std::nullopt; };
    const bool logarithmic = driftLogarithmic_->isChecked();
    std::vector<std::size_t> rows = {0, 1, 2};
    if (set) rows = pelorin::sideBySideRows(*set, inputs_.method);
    std::vector<pelorin::MethodDrift> drifts;
    for (std::size_t r : rows) {
        const pelorin::SystemPath& path = set ? study.every[r] : study.halved[r];
        const QString run = set ? fromView(pelorin::labCatalogue()[r].caption) : QString(runNames[r]);
        for (std::size_t k = 0; k < n && !path.x.empty(); ++k) {
            QPen pen = LabPlot::methodPen(set ? r : k);
            pen.setStyle(set ? runStyles[k % runStyles.size()] : runStyles[r]);
            addCurve(*plot_, path.x, pelorin::componentOf(path.y, k), pen,
                     legendName(QString("y%1, %2").arg(k + 1).arg(run), under(study.hiddenUnder, r)));
        }
        const pelorin::ErrorPath& errors = set ? study.everyErrors[r] : study.halvedErrors[r];
        const pelorin::DrawablePoints sizes = pelorin::magnitudePoints(errors.x, errors.error);
        QCPGraph* graph = errors_->addGraph();
        QPen pen = LabPlot::methodPen(set ? r : inputs_.method);
        if (!set) pen.setStyle(runStyles[r]);
        graph->setPen(pen);
        graph->setData(asVector(sizes.x), asVector(sizes.y), true);
        graph->setName(legendName(run, under(study.errorHiddenUnder, r)));
        const std::vector<double>& drift = set ? study.everyDrift[r] : study.drift[r];
        if (!drift.empty()) {
            const pelorin::DrawablePoints points = logarithmic
                                                       ? pelorin::magnitudePoints(path.x, drift)
                                                       : pelorin::drawablePoints(path.x, drift);
            QCPGraph* curve = drift_->addGraph();
            curve->setPen(pen);
            curve->setData(asVector(points.x), asVector(points.y), true);
            curve->setName(legendName(
                run, under(logarithmic ? study.logDriftHiddenUnder : study.driftHiddenUnder, r)));
            if (set) drifts.push_back({&pelorin::labCatalogue()[r], pelorin::runDrift(path, drift)});
        }
    }
    QStringList drawing;
    const std::string leaving =
        set ? study.everyLeavingNote[static_cast<std::size_t>(*set)] : study.leavingNote;
    if (!leaving.empty()) drawing << QString::fromStdString(leaving);
    // The drift of the runs drawn: a set side by side, or h, h/2 and h/4.
    const pelorin::Problem& problem = inputs_.problem;
    const std::string driftNote =
        set ? pelorin::sideBySideDriftNote(problem.invariantText(), study.invariantAtStart,
                                           problem.x1, drifts, study.driftAgainst)
            : pelorin::invariantDriftNote(problem.invariantText(), study.invariantAtStart,
                                          problem.x1, pelorin::runDrifts(study.halved, study.drift),
                                          study.driftAgainst);
    if (!driftNote.empty()) drawing << QString::fromStdString(driftNote);
    drawingNote_ = drawing.join("\n");
    errors_->yAxis->setLabel(errorsLabel(n));
    const bool fromStart = study.driftAgainst.empty();
    drift_->describe(fromStart ? driftDescription : errorInIDescription);
    drift_->yAxis->setLabel(driftLabel(fromStart, logarithmic));
    drift_->setVisible(drift_->graphCount() > 0);
    driftLogarithmic_->setVisible(drift_->graphCount() > 0);
    showNotes();
    for (LabPlot* plot : {plot_, errors_, drift_}) {
        plot->showWhole();
        if (isVisible()) plot->replot(QCustomPlot::rpQueuedReplot);
    }
    if (!isVisible()) replotPending_ = true;
}

// x from x0 to x1; the values the study chose, with room at the edges.
void FieldTab::fitSystemView() {
    const pelorin::Problem& problem = inputs_.problem;
    plot_->xAxis->setRange(std::min(problem.x0, problem.x1), std::max(problem.x0, problem.x1));
    plot_->xAxis->scaleRange(pelorin::wholeRoom, plot_->xAxis->range().center());
    const pelorin::Extent values =
        (sideBySide() ? systemStudy_.everyValues[static_cast<std::size_t>(*sideBySide())]
                      : systemStudy_.values)
            .widened(pelorin::wholeRoom);
    if (!values.empty) plot_->yAxis->setRange(values.lower, values.upper);
}

void FieldTab::fillSystemSteps() {
    const pelorin::SystemStepErrors& errors = systemStudy_.labSteps;
    shown_ = pelorin::stepErrorTable(errors);
    const pelorin::Method* method = errors.method;
    std::string start;
    for (std::size_t k = 0; k < inputs_.problem.y0.size(); ++k) {
        start += (k ? ", " : "") + pelorin::numberToText(inputs_.problem.y0[k]);
    }
    showSteps(method, errors.comparison, errors.startingValues, "(x0, y(x0))",
              {{"equation", inputs_.problem.equationText()},
               {"method", method ? std::string(method->heading) : std::string()},
               {"x0", pelorin::numberToText(inputs_.problem.x0)},
               {"y(x0)", "(" + start + ")"},
               {"x1", pelorin::numberToText(inputs_.problem.x1)},
               {"h", pelorin::numberToText(inputs_.h)}});
}
