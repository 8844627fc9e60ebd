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

void addCurve(LabPlot& plot, const pelorin::DrawablePoints& points, const QPen& pen,
              const QString& name) {
    QCPGraph* graph = plot.addGraph();
    graph->setPen(pen);
    graph->setData(toQVector(points.x), toQVector(points.y), true);
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

// The exact or reference solution's components, each in the band of its
// runs' colour.
void addKnownComponents(LabPlot& plot, const pelorin::SystemFieldStudy& study, std::size_t n) {
    const QString known =
        study.comparison == pelorin::Comparison::reference ? "reference" : "exact";
    for (std::size_t k = 0; k < n && !study.knownX.empty(); ++k) {
        addCurve(plot, pelorin::drawablePoints(study.knownX, pelorin::componentOf(study.knownY, k)),
                 LabPlot::componentBand(k), QString("y%1, %2").arg(k + 1).arg(known));
    }
}

}  // namespace

void FieldTab::drawSystem() {
    for (LabPlot* plot : {plot_, errors_, drift_}) plot->clearGraphs();
    const std::size_t n = inputs_.problem.components();
    plot_->yAxis->setLabel(componentsLabel(n));
    errors_->yAxis->setLabel(errorsLabel(n));
    addKnownComponents(*plot_, systemStudy_, n);
    const std::optional<pelorin::SideBySide> set = sideBySide();
    const std::vector<std::size_t> rows =
        set ? pelorin::sideBySideRows(*set, inputs_.method) : std::vector<std::size_t>{0, 1, 2};
    std::vector<pelorin::MethodDrift> drifts;
    for (std::size_t r : rows) drawSystemRun(set, r, drifts);
    drawingNote_ = systemDrawingNote(set, drifts);
    showDrift();
    showNotes();
    for (LabPlot* plot : {plot_, errors_, drift_}) plot->showWhole();
    replotWhenShown({plot_, errors_, drift_});
}

// The method with h, h/2 and h/4 in its components' colours, a line style
// for each step; or a set of methods with h in the methods' colours, a line
// style for each component. Each run's errors and drift in its method's (or
// its step's) pen.
void FieldTab::drawSystemRun(std::optional<pelorin::SideBySide> set, std::size_t r,
                             std::vector<pelorin::MethodDrift>& drifts) {
    const pelorin::SystemFieldStudy& study = systemStudy_;
    const auto under = [&](const std::array<pelorin::HiddenRuns, pelorin::sideBySideSets>& hidden) {
        return set ? hidden[static_cast<std::size_t>(*set)][r] : std::nullopt;
    };
    const pelorin::SystemPath& path = set ? study.every[r] : study.halved[r];
    const QString run = set ? fromView(pelorin::labCatalogue()[r].caption) : QString(runNames[r]);
    for (std::size_t k = 0; k < inputs_.problem.components() && !path.x.empty(); ++k) {
        QPen pen = LabPlot::methodPen(set ? r : k);
        pen.setStyle(set ? runStyles[k % runStyles.size()] : runStyles[r]);
        addCurve(*plot_, pelorin::drawablePoints(path.x, pelorin::componentOf(path.y, k)), pen,
                 legendName(QString("y%1, %2").arg(k + 1).arg(run), under(study.hiddenUnder)));
    }
    QPen pen = LabPlot::methodPen(set ? r : inputs_.method);
    if (!set) pen.setStyle(runStyles[r]);
    const pelorin::ErrorPath& errors = set ? study.everyErrors[r] : study.halvedErrors[r];
    addCurve(*errors_, pelorin::magnitudePoints(errors.x, errors.error), pen,
             legendName(run, under(study.errorHiddenUnder)));
    const std::vector<double>& drift = set ? study.everyDrift[r] : study.drift[r];
    if (drift.empty()) return;
    const bool logarithmic = driftLogarithmic_->isChecked();
    const pelorin::DrawablePoints points = logarithmic ? pelorin::magnitudePoints(path.x, drift)
                                                       : pelorin::drawablePoints(path.x, drift);
    const auto& hidden = logarithmic ? study.logDriftHiddenUnder : study.driftHiddenUnder;
    addCurve(*drift_, points, pen, legendName(run, under(hidden)));
    if (set) drifts.push_back({&pelorin::labCatalogue()[r], pelorin::runDrift(path, drift)});
}

// What the notes say of the runs drawn: those that leave the view, and the
// drift of the set side by side (`drifts`) or of h, h/2 and h/4.
QString FieldTab::systemDrawingNote(std::optional<pelorin::SideBySide> set,
                                    const std::vector<pelorin::MethodDrift>& drifts) const {
    const pelorin::SystemFieldStudy& study = systemStudy_;
    QStringList drawing;
    const std::string leaving =
        set ? study.everyLeavingNote[static_cast<std::size_t>(*set)] : study.leavingNote;
    if (!leaving.empty()) drawing << QString::fromStdString(leaving);
    const pelorin::Problem& problem = inputs_.problem;
    const std::string driftNote =
        set ? pelorin::sideBySideDriftNote(problem.invariantText(), study.invariantAtStart,
                                           problem.x1, drifts, study.driftAgainst)
            : pelorin::invariantDriftNote(problem.invariantText(), study.invariantAtStart,
                                          problem.x1, pelorin::runDrifts(study.halved, study.drift),
                                          study.driftAgainst);
    if (!driftNote.empty()) drawing << QString::fromStdString(driftNote);
    return drawing.join("\n");
}

// The drift's plot, and its box, only where a drift is drawn, described and
// labelled after what it measures.
void FieldTab::showDrift() {
    const bool fromStart = systemStudy_.driftAgainst.empty();
    drift_->describe(fromStart ? driftDescription : errorInIDescription);
    drift_->yAxis->setLabel(driftLabel(fromStart, driftLogarithmic_->isChecked()));
    drift_->setVisible(drift_->graphCount() > 0);
    driftLogarithmic_->setVisible(drift_->graphCount() > 0);
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
