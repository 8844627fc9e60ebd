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

void StabilityTab::studySystem() {
    run_->clearGraphs();
    run_->setSolutionEnd(std::nullopt);
    const std::size_t n = inputs_.problem.components();
    run_->yAxis->setLabel(componentsLabel(n));
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

// Each component of a run beside the known solution. One equation's run
// in the method's pen and marker, its solution in the text's colour; a
// system's components each in a colour of their own, the run's with its
// markers, the solution's dashed, so that each pair is told apart at any n.
// Whether a point was left out.
bool StabilityTab::drawComponents(const pelorin::SystemPath& run, const std::vector<pelorin::SampledCurve>& known) {
    if (run.x.empty()) return false;
    const std::size_t n = run.y.front().size();
    if (n == 1) {
        const bool knownLeftOut = !known.empty() && addKnownCurve(known.front());
        return addRunGraph(run.x, pelorin::componentOf(run.y, 0)) || knownLeftOut;
    }
    const QString caption = fromView(method().caption);
    const QString solution = inputs_.problem.comparedWithReference() ? "reference" : "exact";
    bool leftOut = false;
    for (std::size_t k = 0; k < n; ++k) {
        if (k < known.size()) {
            QPen dashed = LabPlot::methodPen(k);
            dashed.setStyle(Qt::DashLine);
            leftOut = addKnownCurve(known[k], dashed, QString("y%1, %2").arg(k + 1).arg(solution)) || leftOut;
        }
        leftOut = addRunGraph(run.x, pelorin::componentOf(run.y, k), LabPlot::methodPen(k), LabPlot::methodMarker(k),
                              QString("y%1, %2").arg(k + 1).arg(caption)) ||
                  leftOut;
    }
    return leftOut;
}

void StabilityTab::drawSystemRun() {
    const bool leftOut = drawComponents(systemStudy_.path.run, systemStudy_.known);
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
