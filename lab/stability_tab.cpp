#include "lab/stability_tab.h"

#include "base/number_text.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "numerics/plot_extent.h"
#include "numerics/stability.h"
#include "studies/known_solution.h"
#include "ui/text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The slider moves h in hundredths over the range the box takes.
constexpr double sliderUnit = pelorin::smallestStep;
constexpr int sliderSteps = static_cast<int>(pelorin::largestStep / sliderUnit + 0.5);
constexpr int runSteps = 20;
constexpr int gridColumns = 321, gridRows = 321;

const QColor regionShade(0x9e, 0xd9, 0xc3);
const QColor regionEdge(0x00, 0x73, 0x54);

QString methodList(const std::vector<std::size_t>& rows) {
    QStringList names;
    for (std::size_t row : rows) names << fromView(pelorin::labCatalogue[row].caption);
    if (names.size() < 2) return names.join("");
    const QString last = names.takeLast();
    return names.join(", ") + " and " + last;
}

QPen edgePen() {
    QPen pen(regionEdge);
    pen.setWidthF(1.5);
    return pen;
}

// The region's shading, whose legend entry shows a swatch of the shade
// framed by the edge's line (a colour map's own entry has no swatch).
class RegionMap : public QCPColorMap {
public:
    using QCPColorMap::QCPColorMap;

protected:
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override {
        painter->setBrush(regionShade);
        painter->setPen(edgePen());
        painter->drawRect(rect.adjusted(1, 1, -1, -1));
    }
};

}  // namespace

StabilityTab::StabilityTab(QWidget* parent) : LabPage(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* plots = new QHBoxLayout;
    region_ = new LabPlot("Stability region",
                          "Where |R(z)| is at most 1 for the chosen method, shaded, within its "
                          "edge |R(z)| = 1, with the point z = h\u00b7\u03bb of the chosen h: at "
                          "every step of the run on a problem of your own, and on a system for "
                          "every eigenvalue \u03bb of its Jacobian.",
                          this);
    // One unit equally long on both axes, so that a disc is drawn round.
    region_->keepEqualScale();
    region_->xAxis->setLabel("Re z");
    region_->yAxis->setLabel("Im z");
    // The grid holds 0 outside the region and 1 inside; two levels over
    // exactly 0 ... 1 give each value its own colour and no other.
    map_ = new RegionMap(region_->xAxis, region_->yAxis);
    QCPColorGradient inside;
    inside.setLevelCount(2);
    inside.setColorStopAt(0, QColor(0, 0, 0, 0));
    inside.setColorStopAt(1, regionShade);
    map_->setGradient(inside);
    map_->setDataRange(QCPRange(0, 1));
    map_->setInterpolate(false);
    // The point above the edge, whichever of them was drawn last.
    region_->addLayer("point", region_->layer("main"), QCustomPlot::limAbove);
    point_ = region_->addGraph();
    point_->setLayer("point");
    point_->setName("z = h\u00b7\u03bb");
    point_->setLineStyle(QCPGraph::lsNone);
    region_->showLegend(LabPlot::LegendPlace::below);
    for (QCPAxis* axis : {region_->xAxis, region_->yAxis}) {
        connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
            if (regionMethod_ && !regionFunction_.isPolynomial()) shadeRegion();
        });
    }
    plots->addWidget(region_, 3);

    run_ = new LabPlot("Run with the chosen h",
                       "The chosen method with the chosen h against the exact solution.", this);
    run_->xAxis->setLabel("x");
    run_->yAxis->setLabel("y");
    run_->showLegend(LabPlot::LegendPlace::below);
    plots->addWidget(run_, 2);
    layout->addLayout(plots, 3);

    // The slider sweeps the lab's h, which the box above the pages shows.
    auto* controls = new QHBoxLayout;
    auto* sliderCaption = new QLabel("h from " + QString::fromStdString(pelorin::stepRangeText()) +
                                         ":",
                                     this);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setAccessibleName("h slider");
    slider_->setAccessibleDescription("Sweeps the lab's h in hundredths.");
    slider_->setRange(1, sliderSteps);
    slider_->setPageStep(10);
    connect(slider_, &QSlider::valueChanged, this, &StabilityTab::stepFromSlider);
    controls->addWidget(sliderCaption);
    controls->addWidget(slider_, 1);
    layout->addLayout(controls);

    notes_ = addNotes(layout, "Stability notes");
    intervals_ = addCaptionedTable(layout,
                                   "Stability &intervals on the negative real axis: "
                                   "|R(-x)| \u2264 1 for 0 \u2264 x \u2264 the value",
                                   "Stability intervals");
    fillIntervals();
}

void StabilityTab::setInputs(const LabInputs& inputs) {
    inputs_ = inputs;
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(static_cast<int>(std::lround(inputs_.h / sliderUnit)));
    }
    // A system's study for earlier inputs is no longer wanted, nor its points.
    studies_.supersede();
    systemStudy_ = {};
    // The region depends on the method alone; the point (or the path of
    // points) also on the problem, the start and h.
    if (regionMethod_ != inputs_.method) drawRegion();
    else placePoint();
    if (showsSystem()) studySystem();
    else drawRun();
}

PageHandout StabilityTab::handout(const LabInputs& inputs) const {
    return {{methodLine(inputs)}, {region_, run_}, {notes_}, {intervals_}};
}

void StabilityTab::stepFromSlider(int hundredths) {
    const double h = hundredths * sliderUnit;
    emit stepChosen(h, QString::fromStdString(pelorin::fixedText(h, 2)));
}

void StabilityTab::fillIntervals() {
    const auto groups = pelorin::sameStabilityFunction(pelorin::labCatalogue);
    intervals_->setRowCount(static_cast<int>(pelorin::labCatalogue.size()));
    intervals_->setColumnCount(4);
    intervals_->setHorizontalHeaderLabels({"Method", "Interval", "Left half-plane", "Same R(z) as"});
    for (std::size_t row = 0; row < pelorin::labCatalogue.size(); ++row) {
        const pelorin::Method& method = pelorin::labCatalogue[row];
        const double interval = pelorin::stabilityInterval(pelorin::stabilityFunctionOf(*method.tableau));
        std::vector<std::size_t> twins;
        for (const auto& group : groups) {
            if (std::find(group.begin(), group.end(), row) == group.end()) continue;
            for (std::size_t other : group) {
                if (other != row) twins.push_back(other);
            }
        }
        const int r = static_cast<int>(row);
        intervals_->setItem(r, 0, new QTableWidgetItem(fromView(method.caption)));
        auto* value = new QTableWidgetItem(QString::fromStdString(pelorin::intervalText(interval)));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        intervals_->setItem(r, 1, value);
        intervals_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(
                                      pelorin::verdictText(pelorin::stabilityVerdict(*method.tableau)))));
        intervals_->setItem(r, 3, new QTableWidgetItem(twins.empty() ? QString("\u2013")
                                                                     : methodList(twins)));
    }
    intervals_->verticalHeader()->setVisible(false);
    intervals_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    intervals_->horizontalHeader()->setStretchLastSection(true);
}

QString StabilityTab::verdictNote() const {
    const pelorin::Method& method = pelorin::labCatalogue[inputs_.method];
    return QString::fromStdString(
        pelorin::verdictNote(method.caption, pelorin::stabilityVerdict(*method.tableau)));
}

void StabilityTab::drawRegion() {
    regionMethod_ = inputs_.method;
    const pelorin::Method& method = pelorin::labCatalogue[inputs_.method];
    regionFunction_ = pelorin::stabilityFunctionOf(*method.tableau);
    map_->setName(fromView(method.caption) + ": |R(z)| \u2264 1");
    // Room around the grid, so that the point at h = 6 shows whole.
    const pelorin::StabilityGrid fitted;
    region_->xAxis->setRange(fitted.reMin, fitted.reMax);
    region_->yAxis->setRange(fitted.imMin, fitted.imMax);
    region_->xAxis->scaleRange(1.1);
    region_->yAxis->scaleRange(1.1);
    shadeRegion();
    placePoint();
}

// A polynomial's region is bounded and lies within the grid the plot is
// fitted to; a rational R's may reach to infinity, so it is sampled over the
// part of the plane in view, anew whenever that changes, and the shade never
// stops short of the axes.
void StabilityTab::shadeRegion() {
    pelorin::StabilityGrid frame;
    if (!regionFunction_.isPolynomial()) {
        const QCPRange x = region_->xAxis->range(), y = region_->yAxis->range();
        frame.reMin = x.lower;
        frame.reMax = x.upper;
        frame.imMin = y.lower;
        frame.imMax = y.upper;
    }
    const pelorin::StabilityGrid grid =
        pelorin::sampleStabilityRegion(regionFunction_, gridColumns, gridRows, frame);
    map_->data()->setSize(grid.columns, grid.rows);
    map_->data()->setRange(QCPRange(grid.reMin, grid.reMax), QCPRange(grid.imMin, grid.imMax));
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            map_->data()->setCell(column, row, grid.isInside(column, row) ? 1 : 0);
        }
    }
    for (QCPCurve* line : boundary_) region_->removePlottable(line);
    boundary_.clear();
    for (const pelorin::Polyline& line : pelorin::stabilityBoundary(regionFunction_, grid)) {
        auto* curve = new QCPCurve(region_->xAxis, region_->yAxis);
        curve->removeFromLegend();
        curve->setPen(edgePen());
        QVector<double> t, re, im;
        for (std::size_t i = 0; i < line.size(); ++i) {
            t << static_cast<double>(i);
            re << line[i].real();
            im << line[i].imag();
        }
        curve->setData(t, re, im, true);
        boundary_.push_back(curve);
    }
}

void StabilityTab::placePoint() {
    // The accent follows the palette, light or dark, as it is now.
    point_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, region_->accent(), 9));
    if (showsSystem()) {
        placeSystemPoints();
    } else if (inputs_.problem.equation.lesson()) {
        point_->setData({inputs_.h * pelorin::lessonLambda}, {0});
    } else {
        const pelorin::StabilityPath path = typedPath();
        point_->setData(QVector<double>(path.z.begin(), path.z.end()),
                        QVector<double>(static_cast<qsizetype>(path.z.size()), 0.0));
    }
    region_->replot();
}

pelorin::StabilityPath StabilityTab::typedPath() const {
    const pelorin::Problem& problem = inputs_.problem;
    return pelorin::stabilityPath(pelorin::labCatalogue[inputs_.method], problem.slope(),
                                  problem.x0, problem.y0[0], problem.x1, inputs_.h);
}

// On an equation of the user's, λ changes along the solution: the region
// shows z = h·λ at every step point, and the notes say where it leaves.
void StabilityTab::drawTypedRun() {
    const pelorin::Method& method = pelorin::labCatalogue[inputs_.method];
    const pelorin::StabilityPath path = typedPath();
    QCPGraph* numerical = run_->addGraph();
    numerical->setName(fromView(method.caption));
    numerical->setPen(LabPlot::methodPen(inputs_.method));
    numerical->setScatterStyle(LabPlot::methodMarker(inputs_.method));
    const pelorin::DrawablePoints runPoints = pelorin::drawablePoints(path.x, path.y);
    numerical->setData(QVector<double>(runPoints.x.begin(), runPoints.x.end()),
                       QVector<double>(runPoints.y.begin(), runPoints.y.end()));
    bool leftOut = runPoints.leftOut;
    if (const pelorin::KnownSolution solution = inputs_.problem.exact()) {
        std::vector<double> exactY;
        for (double x : path.x) exactY.push_back(solution(x));
        const pelorin::DrawablePoints exactPoints = pelorin::drawablePoints(path.x, exactY);
        QCPGraph* exact = run_->addGraph();
        exact->setName("exact");
        exact->setPen(QPen(run_->palette().color(QPalette::Text), 1.5));
        exact->setData(QVector<double>(exactPoints.x.begin(), exactPoints.x.end()),
                       QVector<double>(exactPoints.y.begin(), exactPoints.y.end()));
        leftOut = leftOut || exactPoints.leftOut;
    }
    QStringList notes;
    for (const std::string& note : path.notes) notes << QString::fromStdString(note);
    const std::vector<std::complex<double>> z(path.z.begin(), path.z.end());
    if (const std::string beyond = pelorin::beyondGridNote(z, pelorin::StabilityGrid{}); !beyond.empty()) {
        notes << QString::fromStdString(beyond);
    }
    notes << verdictNote();
    if (leftOut) notes << QString::fromStdString(pelorin::undrawableNote());
    run_->rescaleAxes();
    const auto end = inputs_.readable ? pelorin::solutionEnd(inputs_.problem) : std::nullopt;
    run_->setSolutionEnd(end);
    if (end && std::any_of(path.x.begin(), path.x.end(), [&end](double x) { return end->past(x); })) {
        notes << QString::fromStdString(pelorin::solutionEndNote(end->at) + " " +
                                        pelorin::pastEndNote("The run's points", end->at) +
                                        " The plot is fitted to the points before it.");
        run_->fitValuesBefore();
    }
    notes_->setText(notes.join("\n"));
    run_->xAxis->scaleRange(1.05);
    run_->yAxis->scaleRange(1.1);
    run_->replot();
}

void StabilityTab::drawRun() {
    const pelorin::Method& method = pelorin::labCatalogue[inputs_.method];
    QStringList notes;
    const auto groups = pelorin::sameStabilityFunction(pelorin::labCatalogue);
    QStringList alike;
    for (const auto& group : groups) {
        if (group.size() > 1) alike << methodList(group);
    }
    run_->clearGraphs();
    run_->setSolutionEnd(std::nullopt);
    run_->yAxis->setLabel("y");
    if (inputs_.readable && !inputs_.problem.equation.lesson()) {
        drawTypedRun();
        return;
    }
    if (!inputs_.readable) {
        notes << QString::fromStdString(inputs_.unreadable);
    } else {
        const pelorin::StabilityRun run =
            pelorin::runWithStep(method, inputs_.problem.x0, inputs_.problem.y0[0], inputs_.h, runSteps);
        QCPGraph* exact = run_->addGraph();
        exact->setName("exact");
        exact->setPen(QPen(run_->palette().color(QPalette::Text), 1.5));
        QCPGraph* numerical = run_->addGraph();
        numerical->setName(fromView(method.caption));
        numerical->setPen(LabPlot::methodPen(inputs_.method));
        numerical->setScatterStyle(LabPlot::methodMarker(inputs_.method));
        const pelorin::DrawablePoints exactPoints = pelorin::drawablePoints(run.x, run.exact);
        const pelorin::DrawablePoints runPoints = pelorin::drawablePoints(run.x, run.y);
        exact->setData(QVector<double>(exactPoints.x.begin(), exactPoints.x.end()),
                       QVector<double>(exactPoints.y.begin(), exactPoints.y.end()));
        numerical->setData(QVector<double>(runPoints.x.begin(), runPoints.x.end()),
                           QVector<double>(runPoints.y.begin(), runPoints.y.end()));
        for (const std::string& note : run.notes) notes << QString::fromStdString(note);
        if (exactPoints.leftOut || runPoints.leftOut) {
            notes << QString::fromStdString(pelorin::undrawableNote());
        }
        run_->rescaleAxes();
        // A little room around the data, so that the markers at the edges show whole.
        run_->xAxis->scaleRange(1.05);
        run_->yAxis->scaleRange(1.1);
    }
    notes << "On this linear equation an error is multiplied by R(h\u00b7\u03bb) at every step, "
             "so methods with the same R(z) behave alike: " + alike.join("; ") + ".";
    notes << verdictNote();
    notes_->setText(notes.join("\n"));
    run_->replot();
}
