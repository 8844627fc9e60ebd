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
    markLonePoint(*graph);
    LabPlot::nameOnlyIfDrawn(*graph);
    return points.leftOut;
}

// Which plots left values out, and why runs have no curve of errors.
struct LeftOut {
    bool components = false, errors = false;
    bool zeroErrors = false, unmeasured = false;
};

// A legend's name for a run another one hides, as the single equation's
// legend names it.
QString legendName(const QString& name, std::optional<std::size_t> under) {
    if (!under) return name;
    return QString::fromStdString(
        pelorin::hiddenCurveName(name.toStdString(), pelorin::labCatalogue()[*under].caption));
}

// A curve's points a plot can draw, its pieces as one line: the samples
// that are not finite are left out, as values beyond what a plot spans are.
pelorin::DrawablePoints joinedPoints(const pelorin::SampledCurve& curve) {
    std::vector<double> x, y;
    for (const pelorin::SampledCurve::Piece& piece : curve.pieces) {
        x.insert(x.end(), piece.x.begin(), piece.x.end());
        y.insert(y.end(), piece.y.begin(), piece.y.end());
    }
    pelorin::DrawablePoints points = pelorin::drawablePoints(x, y);
    points.leftOut = points.leftOut || curve.leftOut > 0;
    return points;
}

// The exact or reference solution's components, each in the band of its
// runs' colour.
bool addKnownComponents(LabPlot& plot, const Study& study, std::size_t n) {
    const QString known =
        study.comparison == pelorin::Comparison::reference ? "reference" : "exact";
    bool leftOut = false;
    for (std::size_t k = 0; k < n && k < study.known.size(); ++k) {
        leftOut |= addRunCurve(plot, joinedPoints(study.known[k]), LabPlot::componentBand(k),
                               QString("y%1, %2").arg(k + 1).arg(known));
    }
    return leftOut;
}

// Run r drawn: catalogue row r of the set side by side, or run r of h, h/2
// and h/4 without one. Its name in the legends, its path and invariant's
// drift, the run whose curve hides its own in a plot, and the pen of its
// errors and drift: its method's (or its step's).
template <class State>
QString runName(const FieldRuns<State>& runs, std::size_t r) {
    return runs.set ? fromView(pelorin::labCatalogue()[r].caption) : QString(halvedRunNames[r]);
}

template <class State>
const pelorin::PathOf<State>& shownPath(const FieldRuns<State>& runs, std::size_t r) {
    return runs.set ? runs.study.every[r] : runs.study.halved[r];
}

template <class State>
const std::vector<double>& shownDrift(const FieldRuns<State>& runs, std::size_t r) {
    return runs.set ? runs.study.everyDrift[r] : runs.study.drift[r];
}

template <class State>
std::optional<std::size_t> hiddenUnder(
    const FieldRuns<State>& runs, std::size_t r,
    const std::array<pelorin::HiddenRuns, pelorin::sideBySideSets>& hidden) {
    return runs.set ? hidden[static_cast<std::size_t>(*runs.set)][r] : std::nullopt;
}

template <class State>
QPen runPen(const FieldRuns<State>& runs, std::size_t r) {
    QPen pen = LabPlot::methodPen(runs.set ? r : runs.method);
    if (!runs.set) pen.setStyle(runStyles[r]);
    return pen;
}

// The method with h, h/2 and h/4 in its components' colours, a line style
// for each step; or a set of methods with h in the methods' colours, a line
// style for each component; and each run's errors.
void drawComponentRun(const ComponentPlots& plots, const ComponentRuns& runs, std::size_t r,
                      LeftOut& leftOut) {
    const Study& study = runs.study;
    const std::optional<pelorin::SideBySide> set = runs.set;
    const auto under = [&](const std::array<pelorin::HiddenRuns, pelorin::sideBySideSets>& hidden) {
        return hiddenUnder(runs, r, hidden);
    };
    const pelorin::PathOf<pelorin::StateVector>& path = shownPath(runs, r);
    const QString run = runName(runs, r);
    for (std::size_t k = 0; k < runs.problem.components() && !path.x.empty(); ++k) {
        QPen pen = LabPlot::methodPen(set ? r : k);
        pen.setStyle(set ? runStyles[k % runStyles.size()] : runStyles[r]);
        const std::vector<double> values = pelorin::componentOf(path.y, k);
        leftOut.components |= addRunCurve(
            plots.components, pelorin::drawablePoints(path.x, values), pen,
            legendName(QString("y%1, %2").arg(k + 1).arg(run), under(study.hiddenUnder)));
    }
    const pelorin::ErrorPath& errors = set ? study.everyErrors[r] : study.halvedErrors[r];
    const pelorin::DrawablePoints drawn = pelorin::magnitudePoints(errors.x, errors.error);
    leftOut.errors |= addRunCurve(plots.errors, drawn, runPen(runs, r),
                                  legendName(run, under(study.errorHiddenUnder)));
    const NoErrorCurve why = whyNoErrorCurve(path.x.size(), errors, drawn);
    leftOut.zeroErrors |= why == NoErrorCurve::zeroErrors;
    leftOut.unmeasured |= why == NoErrorCurve::unmeasured;
}

// The rows of the runs drawn: the set's side by side, or h, h/2 and h/4.
template <class State>
std::vector<std::size_t> drawnRows(const FieldRuns<State>& runs) {
    return runs.set ? pelorin::sideBySideRows(*runs.set, runs.method)
                    : std::vector<std::size_t>{0, 1, 2};
}

// What the notes say of the runs drawn: those that leave the view, and
// values no plot can span.
QString drawingNote(const ComponentRuns& runs, LeftOut leftOut) {
    QStringList drawing;
    const std::string& leaving = runs.study.leavingNoteOf(runs.set);
    if (!leaving.empty()) drawing << QString::fromStdString(leaving);
    const QString undrawable = QString::fromStdString(pelorin::undrawableNote());
    if (leftOut.components) drawing << undrawable;
    if (leftOut.errors) {
        drawing << QString::fromStdString(pelorin::undrawableNote(errorsPlotName));
    }
    const pelorin::Comparison comparison = runs.study.comparison;
    if (leftOut.zeroErrors) drawing << noErrorCurveNote(NoErrorCurve::zeroErrors, comparison);
    if (leftOut.unmeasured) {
        // Empty with nothing to compare with: the notes say why already.
        const QString unmeasured = noErrorCurveNote(NoErrorCurve::unmeasured, comparison);
        if (!unmeasured.isEmpty()) drawing << unmeasured;
    }
    return drawing.join("\n");
}

}  // namespace

void markLonePoint(QCPGraph& curve) {
    if (curve.dataCount() != 1) return;
    curve.setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssDisc, std::max(7.0, curve.pen().widthF() + 3)));
}

NoErrorCurve whyNoErrorCurve(std::size_t runPoints, const pelorin::ErrorPath& errors,
                             const pelorin::DrawablePoints& drawn) {
    if (!drawn.x.empty() || drawn.leftOut) return NoErrorCurve::drawn;
    if (errors.x.size() > 1) return NoErrorCurve::zeroErrors;
    return runPoints > 1 ? NoErrorCurve::unmeasured : NoErrorCurve::drawn;
}

QString noErrorCurveNote(NoErrorCurve why, pelorin::Comparison comparison) {
    switch (why) {
    case NoErrorCurve::drawn:
        return {};
    case NoErrorCurve::zeroErrors:
        return QString::fromStdString(pelorin::zeroErrorsNote(errorsPlotName));
    case NoErrorCurve::unmeasured:
        // With nothing to compare with, the notes say why already.
        if (comparison == pelorin::Comparison::none) return {};
        break;
    }
    const QString where = comparison == pelorin::Comparison::reference
                              ? "the reference solution reaches none of its points"
                              : "the exact solution has no finite value at any of its points";
    return QString(errorsPlotName) + ": a run has no curve where " + where +
           " past the start: there is nothing to measure its errors against.";
}

QString driftDescription(bool fromStart, const QString& problem) {
    return fromStart
               ? "How far each run moves the quantity the solutions keep constant: I(x_i, y_i) - "
                 "I(x0, y0) against x, for the runs the page shows."
               : "The " + problem +
                     " does not keep the quantity typed as its invariant: each run's I(x_i, y_i) "
                     "less the solution's I at the same x, the method's error in I, against x.";
}

// The axis is named after what the drift measures: from the start, or from
// the solution's I at the same x; on a logarithmic axis, its size.
void labelDrift(LabPlot& drift, bool fromStart, bool logarithmic, bool system) {
    drift.describe(driftDescription(fromStart, problemNoun(system)));
    const QString measured = fromStart ? "I(x_i, y_i) - I(x0, y0)" : "I(x_i, y_i) - I(x_i, y(x_i))";
    drift.yAxis->setLabel(logarithmic ? "|" + measured + "|" : measured);
}

QString drawFieldComponents(const ComponentPlots& plots, const ComponentRuns& runs) {
    for (LabPlot* plot : {&plots.components, &plots.errors}) plot->clearGraphs();
    const std::size_t n = runs.problem.components();
    plots.components.yAxis->setLabel(componentsLabel(n));
    plots.errors.yAxis->setLabel(errorsLabel(n));
    LeftOut leftOut{.components = addKnownComponents(plots.components, runs.study, n)};
    for (std::size_t r : drawnRows(runs)) drawComponentRun(plots, runs, r, leftOut);
    return drawingNote(runs, leftOut);
}

template <class State>
bool anyDrift(const FieldRuns<State>& runs) {
    const std::vector<std::size_t> rows = drawnRows(runs);
    return std::any_of(rows.begin(), rows.end(), [&runs](std::size_t r) {
        return !shownDrift(runs, r).empty();
    });
}
template bool anyDrift(const FieldRuns<double>&);
template bool anyDrift(const FieldRuns<pelorin::StateVector>&);

template <class State>
pelorin::DrawablePoints driftPoints(const FieldRuns<State>& runs, std::size_t r) {
    const pelorin::PathOf<State>& path = shownPath(runs, r);
    const std::vector<double>& drift = shownDrift(runs, r);
    if (drift.empty()) return {};
    return runs.logarithmicDrift ? pelorin::magnitudePoints(path.x, drift)
                                 : pelorin::drawablePoints(path.x, drift);
}
template pelorin::DrawablePoints driftPoints(const FieldRuns<double>&, std::size_t);
template pelorin::DrawablePoints driftPoints(const FieldRuns<pelorin::StateVector>&,
                                             std::size_t);

void drawSystemDrift(LabPlot& plot, const ComponentRuns& runs) {
    plot.clearGraphs();
    const Study& study = runs.study;
    const auto& hidden = runs.logarithmicDrift ? study.logDriftHiddenUnder : study.driftHiddenUnder;
    for (std::size_t r : drawnRows(runs)) {
        if (shownDrift(runs, r).empty()) continue;
        addRunCurve(plot, driftPoints(runs, r), runPen(runs, r),
                    legendName(runName(runs, r), hiddenUnder(runs, r, hidden)));
    }
}

// The drift of a set side by side is told method by method, of h, h/2 and
// h/4 step by step.
template <class State>
QString fieldDriftNote(const FieldRuns<State>& runs) {
    const pelorin::FieldStudyOf<State>& study = runs.study;
    const pelorin::Problem& problem = runs.problem;
    const std::string noun = problemNoun(problem.isSystem()).toStdString();
    if (!runs.set) {
        return QString::fromStdString(pelorin::invariantDriftNote(
            problem.invariantText(), study.invariantAtStart, problem.x1,
            pelorin::runDrifts(study.halved, study.drift), study.driftAgainst, noun));
    }
    std::vector<pelorin::MethodDrift> drifts;
    for (std::size_t r : drawnRows(runs)) {
        if (study.everyDrift[r].empty()) continue;
        drifts.push_back(
            {&pelorin::labCatalogue()[r], pelorin::runDrift(study.every[r], study.everyDrift[r])});
    }
    return QString::fromStdString(pelorin::sideBySideDriftNote(problem.invariantText(),
                                                               study.invariantAtStart, problem.x1,
                                                               drifts, study.driftAgainst, noun));
}
template QString fieldDriftNote(const FieldRuns<double>&);
template QString fieldDriftNote(const FieldRuns<pelorin::StateVector>&);

pelorin::Extent framed(pelorin::Extent extent) {
    if (!(extent.upper > extent.lower)) {
        extent.lower -= 1;
        extent.upper += 1;
    }
    return extent.widened(pelorin::wholeRoom);
}

pelorin::Extent wholeKeys(const LabPlot& plot, const pelorin::Problem& problem,
                          const std::function<bool(const QCPGraph&)>& left) {
    pelorin::Extent x;
    x.include(problem.x0);
    x.include(problem.x1);
    for (int i = 0; i < plot.graphCount(); ++i) {
        const QCPGraph& graph = *plot.graph(i);
        if (left && left(graph)) continue;
        for (const QCPGraphData& point : *graph.data()) x.include(point.key);
    }
    return framed(x);
}

void fitComponentsView(LabPlot& plot, const pelorin::Problem& problem, const Study& study,
                       std::optional<pelorin::SideBySide> set) {
    const pelorin::Extent keys = wholeKeys(plot, problem);
    plot.xAxis->setRange(keys.lower, keys.upper);
    const pelorin::Extent& values = study.valuesOf(set);
    if (values.empty) return;
    const pelorin::Extent view = framed(values);
    plot.yAxis->setRange(view.lower, view.upper);
}
