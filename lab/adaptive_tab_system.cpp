// The Adaptive page on a system: every attempt with its components and err
// in the scaled norm, each component's accepted steps over the exact or
// reference solution, and the step sizes as for a single equation.
#include "lab/adaptive_tab.h"

#include "base/words.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "numerics/plot_extent.h"
#include "numerics/state_operations.h"
#include "texts/adaptive_view.h"
#include "ui/text.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace {

// Whether a value was left out, as drawablePoints says.
bool addCurve(LabPlot& plot, const std::vector<double>& x, const std::vector<double>& y,
              const QPen& pen, const QCPScatterStyle& marker, const QString& name) {
    const pelorin::DrawablePoints points = pelorin::drawablePoints(x, y);
    QCPGraph* graph = plot.addGraph();
    graph->setPen(pen);
    graph->setScatterStyle(marker);
    graph->setData(toQVector(points.x), toQVector(points.y));
    graph->setName(name);
    return points.leftOut;
}

}  // namespace

void AdaptiveTab::startSystemRun(const pelorin::Method& method, const QStringList& first) {
    const double h0 = inputs_.h;
    const pelorin::ControllerSettings settings = settings_;
    runs_.study(
        inputs_.problem,
        [&method, h0, settings](const pelorin::Problem& problem, std::stop_token stop) {
            return pelorin::studySystemAdaptive(method, problem, h0, settings,
                                                pelorin::maxReferenceEvaluations, stop);
        },
        [this, first](pelorin::SystemAdaptiveStudy study) {
            showSystemRun(std::move(study), first);
        },
        [this, &method, waiting = first](const pelorin::Problem& problem) mutable {
            waiting << "Running " + fromView(method.caption) + " on " +
                           QString::fromStdString(pelorin::quotedFormula(problem.equationText())) + " \u2026";
            showSystemRun({}, waiting);
        });
}

void AdaptiveTab::showSystemRun(pelorin::SystemAdaptiveStudy study, const QStringList& firstNotes) {
    study_ = {};
    systemStudy_ = std::move(study);
    QStringList notes = firstNotes;
    notes << fromNotes(systemStudy_.notes) << fromNotes(systemStudy_.run.notes);
    const std::string unlisted = pelorin::unlistedAttemptsNote(systemStudy_.run);
    if (!unlisted.empty()) notes << QString::fromStdString(unlisted);
    fillTable(*table_, pelorin::adaptiveStepTable(systemStudy_.run));
    table_->horizontalHeader()->setResizeContentsPrecision(100);
    table_->resizeColumnsToContents();
    if (plotSystemRun()) notes << QString::fromStdString(pelorin::undrawableNote());
    setNotes(notes_, notes);
}

bool AdaptiveTab::plotSystemRun() {
    solution_->clearGraphs();
    steps_->clearGraphs();
    const pelorin::SystemAdaptiveStudy& study = systemStudy_;
    const std::size_t n = inputs_.problem.components();
    solution_->yAxis->setLabel(componentsLabel(n));
    const QString known = study.reference ? "reference" : "exact";
    bool leftOut = false;
    for (std::size_t k = 0; k < n && !study.solutionX.empty(); ++k) {
        leftOut |= addCurve(*solution_, study.solutionX, pelorin::componentOf(study.solutionY, k),
                            LabPlot::componentBand(k), QCPScatterStyle(QCPScatterStyle::ssNone),
                            QString("y%1, %2").arg(k + 1).arg(known));
    }
    const pelorin::SystemAdaptiveRun& run = study.run;
    if (run.method && !run.attempts.empty()) {
        const std::size_t row = pelorin::catalogueRow(*run.method);
        const pelorin::AcceptedPointsOf<pelorin::StateVector> accepted = pelorin::acceptedPoints(run);
        for (std::size_t k = 0; k < n; ++k) {
            leftOut |= addCurve(*solution_, accepted.x, pelorin::componentOf(accepted.y, k),
                                LabPlot::methodPen(k), LabPlot::methodMarker(row),
                                QString("y%1, accepted steps").arg(k + 1));
        }
    }
    plotStepSizes(run.method, pelorin::stepSizes(run));
    fitRunPlots(std::nullopt);
    return leftOut;
}
