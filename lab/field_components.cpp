#include "lab/field_components.h"

#include "lab/plot.h"
#include "numerics/plot_extent.h"
#include "numerics/state_operations.h"
#include "texts/phase_plane_view.h"
#include "ui/text.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::array<Qt::PenStyle, 3> runStyles{Qt::SolidLine, Qt::DashLine, Qt::DotLine};

using Study = pelorin::FieldStudyOf<pelorin::StateVector>;

// Adds the curve; true when some of its values lie beyond what a plot can
// span, which the notes then say.
bool addRunCurve(LabPlot& plot, const pelorin::DrawablePoints& points, const QPen& pen,
                 const QString& name) {
    QCPGraph* graph = plot.addGraph();
    graph->setPen(pen);
    graph->setData(toQVector(points.x), toQVector(points.y), true);
    graph->setName(name);
    return points.leftOut;
}

// Which plots left values out.
struct LeftOut {
    bool components = false, errors = false;
};

// A legend's name for a run another one hides, as the single equation's
// legend names it.
QString legendName(const QString& name, std::optional<std::size_t> under) {
    if (!under) return name;
    return QString::fromStdString(
        pelorin::hiddenCurveName(name.toStdString(), pelorin::labCatalogue()[*under].caption));
}

// The exact or reference solution's components, each in the band of its
// runs' colour.
bool addKnownComponents(LabPlot& plot, const Study& study, std::size_t n) {
    const QString known =
        study.comparison == pelorin::Comparison::reference ? "reference" : "exact";
    bool leftOut = false;
    for (std::size_t k = 0; k < n && !study.knownX.empty(); ++k) {
        const std::vector<double> values = pelorin::componentOf(study.knownY, k);
        leftOut |= addRunCurve(plot, pelorin::drawablePoints(study.knownX, values),
                               LabPlot::componentBand(k), QString("y%1, %2").arg(k + 1).arg(known));
    }
    return leftOut;
}

// The method with h, h/2 and h/4 in its components' colours, a line style
// for each step; or a set of methods with h in the methods' colours, a line
// style for each component. Each run's errors and drift in its method's (or
// its step's) pen. Catalogue row r of the set side by side, or run r of h,
// h/2 and h/4 without one; a set's drift is kept in `drifts` for the notes.
void drawComponentRun(const ComponentPlots& plots, const ComponentRuns& runs, std::size_t r,
                      std::vector<pelorin::MethodDrift>& drifts, LeftOut& leftOut) {
    const Study& study = runs.study;
    const std::optional<pelorin::SideBySide> set = runs.set;
    const auto under = [&](const std::array<pelorin::HiddenRuns, pelorin::sideBySideSets>& hidden) {
        return set ? hidden[static_cast<std::size_t>(*set)][r] : std::nullopt;
    };
    const pelorin::PathOf<pelorin::StateVector>& path = set ? study.every[r] : study.halved[r];
    const QString run =
        set ? fromView(pelorin::labCatalogue()[r].caption) : QString(halvedRunNames[r]);
    for (std::size_t k = 0; k < runs.problem.components() && !path.x.empty(); ++k) {
        QPen pen = LabPlot::methodPen(set ? r : k);
        pen.setStyle(set ? runStyles[k % runStyles.size()] : runStyles[r]);
        const std::vector<double> values = pelorin::componentOf(path.y, k);
        leftOut.components |= addRunCurve(
            plots.components, pelorin::drawablePoints(path.x, values), pen,
            legendName(QString("y%1, %2").arg(k + 1).arg(run), under(study.hiddenUnder)));
    }
    QPen pen = LabPlot::methodPen(set ? r : runs.method);
    if (!set) pen.setStyle(runStyles[r]);
    const pelorin::ErrorPath& errors = set ? study.everyErrors[r] : study.halvedErrors[r];
    leftOut.errors |= addRunCurve(plots.errors, pelorin::magnitudePoints(errors.x, errors.error),
                                  pen, legendName(run, under(study.errorHiddenUnder)));
    const std::vector<double>& drift = set ? study.everyDrift[r] : study.drift[r];
    if (drift.empty()) return;
    const bool logarithmic = runs.logarithmicDrift;
    const pelorin::DrawablePoints points = logarithmic ? pelorin::magnitudePoints(path.x, drift)
                                                       : pelorin::drawablePoints(path.x, drift);
    const auto& hidden = logarithmic ? study.logDriftHiddenUnder : study.driftHiddenUnder;
    addRunCurve(plots.drift, points, pen, legendName(run, under(hidden)));
    if (set) drifts.push_back({&pelorin::labCatalogue()[r], pelorin::runDrift(path, drift)});
}

// What the notes say of the runs drawn: those that leave the view, values
// no plot can span, and the drift of the set side by side (`drifts`) or of
// h, h/2 and h/4.
QString drawingNote(const ComponentRuns& runs, const std::vector<pelorin::MethodDrift>& drifts,
                    LeftOut leftOut) {
    const Study& study = runs.study;
    const std::optional<pelorin::SideBySide> set = runs.set;
    QStringList drawing;
    const std::string leaving =
        set ? study.everyLeavingNote[static_cast<std::size_t>(*set)] : study.leavingNote;
    if (!leaving.empty()) drawing << QString::fromStdString(leaving);
    const QString undrawable = QString::fromStdString(pelorin::undrawableNote());
    if (leftOut.components) drawing << undrawable;
    if (leftOut.errors) drawing << "Global error: " + undrawable;
    const pelorin::Problem& problem = runs.problem;
    const std::string driftNote =
        set ? pelorin::sideBySideDriftNote(problem.invariantText(), study.invariantAtStart,
                                           problem.x1, drifts, study.driftAgainst)
            : pelorin::invariantDriftNote(problem.invariantText(), study.invariantAtStart,
                                          problem.x1, pelorin::runDrifts(study.halved, study.drift),
                                          study.driftAgainst);
    if (!driftNote.empty()) drawing << QString::fromStdString(driftNote);
    return drawing.join("\n");
}

}  // namespace

QString driftDescription(bool fromStart) {
    return fromStart
               ? "How far each run moves the quantity the solutions keep constant: I(x_i, y_i) - "
                 "I(x0, y0) against x, for the runs the page shows."
               : "The system does not keep the quantity typed as its invariant: each run's I(x_i, "
                 "y_i) less the solution's I at the same x, the method's error in I, against x.";
}

// The axis is named after what the drift measures: from the start, or from
// the solution's I at the same x; on a logarithmic axis, its size.
void labelDrift(LabPlot& drift, bool fromStart, bool logarithmic) {
    drift.describe(driftDescription(fromStart));
    const QString measured = fromStart ? "I(y_i) - I(y0)" : "I(y_i) - I(y(x_i))";
    drift.yAxis->setLabel(logarithmic ? "|" + measured + "|" : measured);
}

QString drawFieldComponents(const ComponentPlots& plots, const ComponentRuns& runs) {
    for (LabPlot* plot : {&plots.components, &plots.errors, &plots.drift}) plot->clearGraphs();
    const std::size_t n = runs.problem.components();
    plots.components.yAxis->setLabel(componentsLabel(n));
    plots.errors.yAxis->setLabel(errorsLabel(n));
    LeftOut leftOut{.components = addKnownComponents(plots.components, runs.study, n)};
    const std::vector<std::size_t> rows = runs.set ? pelorin::sideBySideRows(*runs.set, runs.method)
                                                   : std::vector<std::size_t>{0, 1, 2};
    std::vector<pelorin::MethodDrift> drifts;
    for (std::size_t r : rows) drawComponentRun(plots, runs, r, drifts, leftOut);
    return drawingNote(runs, drifts, leftOut);
}

pelorin::Extent framed(pelorin::Extent extent) {
    if (!(extent.upper > extent.lower)) {
        extent.lower -= 1;
        extent.upper += 1;
    }
    return extent.widened(pelorin::wholeRoom);
}

void fitComponentsView(LabPlot& plot, const pelorin::Problem& problem, const Study& study,
                       std::optional<pelorin::SideBySide> set) {
    plot.xAxis->setRange(std::min(problem.x0, problem.x1), std::max(problem.x0, problem.x1));
    plot.xAxis->scaleRange(pelorin::wholeRoom, plot.xAxis->range().center());
    const pelorin::Extent& values =
        set ? study.everyValues[static_cast<std::size_t>(*set)] : study.values;
    if (values.empty) return;
    const pelorin::Extent view = framed(values);
    plot.yAxis->setRange(view.lower, view.upper);
}
