// The Stability page on a system: z = h·λ for the eigenvalues of h·J at
// every step point of the chosen method's run, drawn on the region, the notes
// on where the first leaves it, and each component of the run beside the
// exact solution where one is known.
#include "lab/stability_tab.h"

#include "base/words.h"
#include "lab/plot.h"
#include "numerics/plot_extent.h"
#include "numerics/state_operations.h"
#include "ui/text.h"

#include <QLabel>

namespace {

QVector<double> asVector(const std::vector<double>& values) {
    return QVector<double>(values.begin(), values.end());
}

}  // namespace

void StabilityTab::studySystem() {
    run_->clearGraphs();
    run_->setSolutionEnd(std::nullopt);
    const std::size_t n = inputs_.problem.components();
    run_->yAxis->setLabel(n == 2 ? "y1, y2" : QString("y1 \u2026 y%1").arg(n));
    run_->replot();
    if (!inputs_.readable) {
        notes_->setText(QString::fromStdString(inputs_.unreadable));
        return;
    }
    notes_->setText("Calculating z = h\u00b7\u03bb along the run on " +
                    QString::fromStdString(pelorin::quotedFormula(inputs_.problem.equationText())) + " \u2026");
    studies_.runOffThread(
        inputs_.problem,
        [method = inputs_.method, h = inputs_.h](const pelorin::Problem& problem, std::stop_token stop) {
            return pelorin::studySystemStability(problem, method, h, stop);
        },
        [this](pelorin::SystemStabilityStudy study) { displaySystem(std::move(study)); });
}

void StabilityTab::displaySystem(pelorin::SystemStabilityStudy study) {
    systemStudy_ = std::move(study);
    placePoint();
    drawSystemRun();
}

// Every eigenvalue at every step point, a conjugate pair as two points.
void StabilityTab::placeSystemPoints() {
    QVector<double> re, im;
    for (const auto& modes : systemStudy_.path.z) {
        for (const std::complex<double>& z : modes) {
            re << z.real();
            im << z.imag();
        }
    }
    point_->setData(re, im);
}

void StabilityTab::drawSystemRun() {
    const pelorin::SystemPath& run = systemStudy_.path.run;
    const QString caption = fromView(pelorin::labCatalogue()[inputs_.method].caption);
    bool leftOut = false;
    const auto add = [&](const std::vector<double>& x, const std::vector<double>& y, const QPen& pen,
                         const QString& name) {
        const pelorin::DrawablePoints points = pelorin::drawablePoints(x, y);
        leftOut = leftOut || points.leftOut;
        QCPGraph* graph = run_->addGraph();
        graph->setPen(pen);
        graph->setData(asVector(points.x), asVector(points.y), true);
        graph->setName(name);
        return graph;
    };
    // Each component in a colour of its own: the run's with its markers, the
    // exact solution's dashed, so that each pair is told apart at any n.
    for (std::size_t k = 0; k < inputs_.problem.components() && !run.x.empty(); ++k) {
        if (!systemStudy_.exact.empty()) {
            QPen dashed = LabPlot::methodPen(k);
            dashed.setStyle(Qt::DashLine);
            add(systemStudy_.exactX, pelorin::componentOf(systemStudy_.exact, k), dashed,
                QString("y%1, exact").arg(k + 1));
        }
        add(run.x, pelorin::componentOf(run.y, k), LabPlot::methodPen(k), QString("y%1, %2").arg(k + 1).arg(caption))
            ->setScatterStyle(LabPlot::methodMarker(k));
    }
    QStringList notes;
    for (const std::string& note : systemStudy_.path.notes) notes << QString::fromStdString(note);
    std::vector<std::complex<double>> z;
    for (const auto& modes : systemStudy_.path.z) z.insert(z.end(), modes.begin(), modes.end());
    if (const std::string beyond = pelorin::beyondGridNote(z, pelorin::StabilityGrid{}); !beyond.empty()) {
        notes << QString::fromStdString(beyond);
    }
    notes << verdictNote();
    if (leftOut) notes << QString::fromStdString(pelorin::undrawableNote());
    notes_->setText(notes.join("\n"));
    run_->showWhole();
    run_->replot();
}
