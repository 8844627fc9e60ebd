#include "lab/phase_plane_tab.h"

#include "base/conversions.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "numerics/plot_extent.h"
#include "studies/field_study.h"
#include "texts/phase_plane_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

// h, h/2 and h/4, each with a colour and marker of its own, as on the Field page.
constexpr std::array<std::size_t, 3> halvedLooks{0, 1, 3};
// A press and release this close together are a click, not a drag.
constexpr double clickSlack = 3;  // pixels
constexpr int planeHeight = 360;  // pixels
// Orbits through clicks kept at once: more would hide the runs.
constexpr std::size_t keptOrbits = 8;
constexpr std::size_t shownMarkers = 60;  // at most, per run


// The nullclines in pens of their own, dashed so that they read as curves of
// a kind other than the solutions.
QPen nullclinePen(const QColor& colour, Qt::PenStyle style) {
    QPen pen(colour, 1.5);
    pen.setStyle(style);
    return pen;
}
const QColor acrossStillColour(0x2e, 0x8b, 0x57);  // sea green
const QColor upStillColour(0xd0, 0x80, 0x00);      // amber

QCPCurve* addCurve(LabPlot& plot, const std::vector<pelorin::PlotPoint>& points, const QPen& pen) {
    auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
    QVector<double> x, y;
    for (const pelorin::PlotPoint& p : points) {
        if (!pelorin::drawable({p.x, p.y})) continue;
        x.push_back(p.x);
        y.push_back(p.y);
    }
    curve->setData(x, y);
    curve->setPen(pen);
    return curve;
}

std::vector<pelorin::PlotPoint> projected(const std::vector<pelorin::StateVector>& states,
                                          pelorin::PlaneAxes axes) {
    std::vector<pelorin::PlotPoint> points;
    for (const pelorin::StateVector& y : states) points.push_back(pelorin::planePoint(y, axes));
    return points;
}

QString nameOf(std::size_t component) {
    return QString::fromStdString(pelorin::componentName(component));
}

QString hText(double h) { return QString::fromStdString(pelorin::numberToText(std::fabs(h))); }

}  // namespace

PhasePlaneTab::PhasePlaneTab(QWidget* parent) : LabPage(parent) {
    QVBoxLayout* layout = scrollingContent(*this);
    layout->addWidget(createAxesRow());
    layout->addWidget(createPlot(), 5);
    notes_ = addNotes(layout, "Phase plane notes");
    equilibria_ = addCaptionedTable(layout, "E&quilibria in view: where F = 0, and what the "
                                            "eigenvalues of the Jacobian there make of it",
                                    "Equilibria");
    equilibria_->verticalHeader()->hide();
    equilibria_->setAccessibleDescription(
        "Each equilibrium the plot shows, the eigenvalues of the Jacobian of F there, and its "
        "kind: how paths near it behave.");
}

// Which two components the plane shows: up the one, across the other.
QWidget* PhasePlaneTab::createAxesRow() {
    axesRow_ = new QWidget(this);
    auto* row = new QHBoxLayout(axesRow_);
    row->setContentsMargins(0, 0, 0, 0);
    up_ = newListBox(axesRow_);
    up_->setAccessibleName("Component up");
    across_ = newListBox(axesRow_);
    across_->setAccessibleName("Component across");
    auto* draw = new QLabel("Draw", axesRow_);
    draw->setBuddy(up_);
    auto* against = new QLabel("against", axesRow_);
    against->setBuddy(across_);
    for (QWidget* part : std::initializer_list<QWidget*>{draw, up_, against, across_}) {
        row->addWidget(part);
    }
    row->addStretch(1);
    connect(up_, &QComboBox::currentIndexChanged, this, [this] { chooseAxes(up_); });
    connect(across_, &QComboBox::currentIndexChanged, this, [this] { chooseAxes(across_); });
    axesRow_->hide();
    return axesRow_;
}

// A component chosen for both axes leaves the other axis the one it had.
void PhasePlaneTab::chooseAxes(QComboBox* changed) {
    QComboBox* other = changed == up_ ? across_ : up_;
    if (changed->currentIndex() < 0 || other->currentIndex() < 0) return;
    if (changed->currentIndex() == other->currentIndex()) {
        const QSignalBlocker quiet(other);
        const std::size_t before = changed == up_ ? axes_.up : axes_.across;
        other->setCurrentIndex(static_cast<int>(before));
    }
    axes_ = {static_cast<std::size_t>(across_->currentIndex()),
             static_cast<std::size_t>(up_->currentIndex())};
    plot_->xAxis->setLabel(nameOf(axes_.across));
    plot_->yAxis->setLabel(nameOf(axes_.up));
    orbits_.clear();
    fitPending_ = true;
    drawRuns();
}

// As many components in the lists as the problem has, the choice kept
// while it still names two of them.
void PhasePlaneTab::fillAxes(std::size_t components) {
    axesRow_->setVisible(components > 1);
    if (static_cast<std::size_t>(up_->count()) == components) return;
    if (axes_.across >= components || axes_.up >= components) axes_ = {};
    for (QComboBox* list : {up_, across_}) {
        const QSignalBlocker quiet(list);
        list->clear();
        for (std::size_t k = 0; k < components; ++k) list->addItem(nameOf(k));
    }
    const QSignalBlocker quietUp(up_), quietAcross(across_);
    up_->setCurrentIndex(static_cast<int>(axes_.up));
    across_->setCurrentIndex(static_cast<int>(axes_.across));
    plot_->xAxis->setLabel(nameOf(axes_.across));
    plot_->yAxis->setLabel(nameOf(axes_.up));
}

LabPlot* PhasePlaneTab::createPlot() {
    plot_ = new LabPlot("Phase plane",
                        "One component against another: arrows show the direction F points in, "
                        "dashed curves where either stands still, circles the equilibria; with "
                        "the chosen method's runs, the exact or reference orbit, and the orbit "
                        "through any point you click.",
                        this);
    plot_->xAxis->setLabel("y1");
    plot_->yAxis->setLabel("y2");
    plot_->setFileStem("phase-plane");
    plot_->showLegend(LabPlot::LegendPlace::beside);
    plot_->xAxis->grid()->setVisible(false);
    plot_->yAxis->grid()->setVisible(false);
    // Circles stay circles: Euler's outward spiral is seen as such.
    plot_->keepEqualScale();
    plot_->addLayer("field", plot_->layer("grid"), QCustomPlot::limAbove);
    arrows_ = new PlotSegments(plot_, PlotSegments::Ends::arrowHeads);
    acrossStill_ = new PlotSegments(plot_, PlotSegments::Ends::plain);
    upStill_ = new PlotSegments(plot_, PlotSegments::Ends::plain);
    for (PlotSegments* item : {arrows_, acrossStill_, upStill_}) item->setLayer("field");
    connect(plot_, &QCustomPlot::afterLayout, this, &PhasePlaneTab::drawPlane);
    connect(plot_, &QCustomPlot::mousePress, this, &PhasePlaneTab::pressed);
    connect(plot_, &QCustomPlot::mouseRelease, this, &PhasePlaneTab::released);
    plot_->setWholeView([this] { fitView(); });
    plot_->setSmallestHeight(planeHeight);
    return plot_;
}

void PhasePlaneTab::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) drawRuns();
}

void PhasePlaneTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (replotPending_) {
        replotPending_ = false;
        plot_->replot();
    }
}

PageHandout PhasePlaneTab::handout(const LabInputs& inputs) const {
    return {{methodLine(inputs)}, {plot_}, {notes_}, {equilibria_}};
}

void PhasePlaneTab::setInputs(const LabInputs& inputs) {
    studies_.supersede();
    orbitStudies_.supersede();
    orbits_.clear();
    fitPending_ = true;
    inputs_ = inputs;
    planeStale_ = true;
    fillAxes(inputs.problem.components());
    if (!inputs.readable || !inputs.problem.isSystem()) {
        const QStringList why = inputs.readable
                                    ? QStringList()
                                    : QStringList{QString::fromStdString(inputs.unreadable)};
        display({}, why);
        return;
    }
    studies_.study(
        inputs.problem,
        [method = inputs.method, h = inputs.h](const pelorin::Problem& given, std::stop_token) {
            const pelorin::Problem problem = given.clone();
            return pelorin::phasePlaneRuns(pelorin::labCatalogue()[method],
                                           problem.slopeOf<pelorin::StateVector>(),
                                           problem.x0, problem.y0, problem.x1, h,
                                           problem.exactOf<pelorin::StateVector>(),
                                           problem.invariant());
        },
        [this](pelorin::PhasePlaneRuns runs) { display(std::move(runs), {}); },
        [this](const pelorin::Problem&) { display({}, {"Calculating the runs \u2026"}); });
}

void PhasePlaneTab::display(pelorin::PhasePlaneRuns runs, const QStringList& firstNotes) {
    runs_ = std::move(runs);
    runNotes_ = firstNotes;
    const auto add = [this](const std::string& note) {
        if (!note.empty() && !runNotes_.contains(QString::fromStdString(note))) {
            runNotes_ << QString::fromStdString(note);
        }
    };
    add(runs_.orbitNote);
    for (const pelorin::PathOf<pelorin::StateVector>& run : runs_.halved)
        add(pelorin::pathNote(run));
    const std::vector<pelorin::RunDrift> drifts = pelorin::runDrifts(runs_.halved, runs_.drift);
    if (!drifts.empty()) {
        const pelorin::Problem& problem = inputs_.problem;
        add(pelorin::invariantDriftNote(problem.invariantText(),
                                        problem.invariant()(problem.x0, problem.y0), problem.x1,
                                        drifts));
    }
    drawRuns();
}

void PhasePlaneTab::drawRuns() {
    plot_->clearPlottables();
    const QColor text = palette().color(QPalette::Text);
    // The page's palette: a new one reaches the page before its plot.
    arrows_->setPen(QPen(LabPlot::fieldColour(palette()), 1));
    acrossStill_->setPen(nullclinePen(acrossStillColour, Qt::DashLine));
    upStill_->setPen(nullclinePen(upStillColour, Qt::DashDotLine));
    const bool shown = inputs_.problem.isSystem() && inputs_.readable;
    if (shown && !runs_.orbit.empty()) {
        addCurve(*plot_, projected(runs_.orbit, axes_), QPen(text, 2))
            ->setName(runs_.exact ? "exact solution" : "reference");
    }
    // The finer runs beneath, as on the Field page: h/4's many markers would
    // hide the few of h.
    std::array<QCPCurve*, 3> curves{};
    for (std::size_t i = 0; i < runs_.halved.size(); ++i) {
        const std::size_t k = runs_.halved.size() - 1 - i;
        const pelorin::PathOf<pelorin::StateVector>& run = runs_.halved[k];
        if (!run.method || !shown) continue;
        QCPCurve* curve =
            addCurve(*plot_, projected(run.y, axes_), LabPlot::methodPen(halvedLooks[k]));
        curve->setScatterStyle(LabPlot::methodMarker(halvedLooks[k]));
        // A few dozen markers a run tell the runs apart; hundreds would
        // make a band of them.
        curve->setScatterSkip(static_cast<int>(run.y.size() / shownMarkers));
        curve->setName(QString::fromUtf8(run.method->caption) + ", " +
                       pelorin::halvedRunNames[k] + " = " + hText(run.h));
        curves[k] = curve;
    }
    for (QCPCurve* curve : curves) {
        if (!curve) continue;
        curve->removeFromLegend();
        curve->addToLegend();
    }
    for (const pelorin::Orbit& orbit : orbits_) {
        QCPCurve* curve = addCurve(*plot_, orbit.points, QPen(plot_->accent(), 1.5));
        curve->setName("orbit through a click");
        if (&orbit != &orbits_.front()) curve->removeFromLegend();
    }
    planeStale_ = true;
    showNotes();
    if (fitPending_ && shown && !runs_.orbit.empty()) {
        plot_->showWhole();
        fitPending_ = false;
    }
    replot();
}

void PhasePlaneTab::replot() {
    if (isVisible()) plot_->replot(QCustomPlot::rpQueuedReplot);
    else replotPending_ = true;
}

// The view holds the orbit and the runs near it (wholePlane), and room.
void PhasePlaneTab::fitView() {
    pelorin::PlaneExtent whole = pelorin::wholePlane(runs_, axes_);
    for (pelorin::Extent* extent : {&whole.across, &whole.up}) {
        if (!(extent->upper > extent->lower)) {
            extent->lower -= 1;
            extent->upper += 1;
        }
        *extent = extent->widened(pelorin::wholeRoom);
    }
    plot_->xAxis->setRange(whole.across.lower, whole.across.upper);
    plot_->yAxis->setRange(whole.up.lower, whole.up.upper);
}

void PhasePlaneTab::drawPlane() {
    const pelorin::VisibleRange range = plot_->visibleRange();
    if (range == drawnRange_ && !planeStale_) return;
    drawnRange_ = range;
    planeStale_ = false;
    plane_ = {};
    if (inputs_.readable) {
        const pelorin::Problem& problem = inputs_.problem;
        plane_ = pelorin::phasePlane(problem.slopeOf<pelorin::StateVector>(), problem.autonomous(),
                                     problem.y0, axes_, range);
    }
    arrows_->setSegments(plane_.field.grid.segments);
    acrossStill_->setSegments(plane_.nullclines.acrossStill);
    upStill_->setSegments(plane_.nullclines.upStill);
    // The nullclines' and equilibria's keys, which the runs' drawing cleared.
    for (int i = plot_->graphCount() - 1; i >= 0; --i) plot_->removeGraph(i);
    if (!plane_.nullclines.acrossStill.empty()) {
        plot_->addLegendEntry(nameOf(axes_.across) + "' = 0",
                              nullclinePen(acrossStillColour, Qt::DashLine));
    }
    if (!plane_.nullclines.upStill.empty()) {
        plot_->addLegendEntry(nameOf(axes_.up) + "' = 0",
                              nullclinePen(upStillColour, Qt::DashDotLine));
    }
    if (!plane_.equilibria.empty()) {
        QCPGraph* markers = plot_->addGraph();
        markers->setName("equilibria");
        markers->setLineStyle(QCPGraph::lsNone);
        QPen pen(palette().color(QPalette::Text), 2);
        markers->setPen(pen);
        markers->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, pen,
                                                 palette().color(QPalette::Base), 11));
        for (const pelorin::EquilibriumSearch& e : plane_.equilibria) {
            const pelorin::PlotPoint p = pelorin::planePoint(*e.point, axes_);
            markers->addData(p.x, p.y);
        }
    }
    fillEquilibria();
    showNotes();
    // The keys and markers came after this replot's legend was laid out.
    replot();
}

void PhasePlaneTab::fillEquilibria() {
    pelorin::TextTable table;
    table.header.assign(pelorin::equilibriumColumns.begin(), pelorin::equilibriumColumns.end());
    for (const pelorin::EquilibriumRow& row : pelorin::equilibriumRows(plane_.equilibria)) {
        table.rows.push_back({row.position, row.eigenvalues, row.kind});
    }
    fillTable(*equilibria_, table, Qt::AlignLeft | Qt::AlignVCenter);
    equilibria_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void PhasePlaneTab::showNotes() {
    QStringList notes;
    for (const std::string& note :
         {plane_.absence, pelorin::phaseFieldNote(plane_.field), plane_.equilibriaNote}) {
        if (!note.empty()) notes << QString::fromStdString(note);
    }
    notes << runNotes_;
    for (const pelorin::Orbit& orbit : orbits_) {
        if (!orbit.note.empty()) notes << QString::fromStdString(orbit.note);
    }
    const QString joined = notes.join("\n");
    if (notes_->text() != joined) notes_->setText(joined);
    notes_->setVisible(!notes.isEmpty());
}

void PhasePlaneTab::pressed(QMouseEvent* event) {
    pressedAt_.reset();
    if (event->button() == Qt::LeftButton) pressedAt_ = event->position();
}

// A left click that did not drag the view starts an orbit there, forwards
// and backwards over the span of the problem's x.
void PhasePlaneTab::released(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) return;
    const QPointF at = event->position();
    const bool click = (at - *pressedAt_).manhattanLength() <= clickSlack;
    pressedAt_.reset();
    if (!click || !plot_->axisRect()->rect().contains(at.toPoint())) return;
    if (!inputs_.readable || inputs_.problem.components() != 2) return;
    pelorin::StateVector start(2);
    start[axes_.across] = plot_->xAxis->pixelToCoord(at.x());
    start[axes_.up] = plot_->yAxis->pixelToCoord(at.y());
    orbitStudies_.runOffThread(
        inputs_.problem,
        [start, axes = axes_, view = plot_->visibleRange()](const pelorin::Problem& given,
                                                            std::stop_token) {
            const pelorin::Problem problem = given.clone();
            return pelorin::orbitThrough(problem.slopeOf<pelorin::StateVector>(), problem.x0, start,
                                         problem.x1 - problem.x0, axes, view);
        },
        [this](pelorin::Orbit orbit) { addOrbit(std::move(orbit)); });
}

void PhasePlaneTab::addOrbit(pelorin::Orbit orbit) {
    orbits_.push_back(std::move(orbit));
    if (orbits_.size() > keptOrbits) orbits_.erase(orbits_.begin());
    drawRuns();
}
