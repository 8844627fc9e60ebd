#include "lab/stability_tab.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "lab/page.h"
#include "lab/plot.h"
#include "numerics/partitioned_step.h"
#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "numerics/multistep_stability.h"
#include "numerics/order_star.h"
#include "numerics/stability.h"
#include "numerics/state_operations.h"
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
constexpr double sliderUnit = pelorin::sliderStep;
constexpr int sliderSteps = static_cast<int>(pelorin::largestStep / sliderUnit + 0.5);
constexpr int runSteps = 20;
constexpr int gridColumns = 321, gridRows = 321;
// A multistep method's grid needs the roots of a polynomial at every point:
// fewer points, so that a zoom or a pan answers at once; its boundary locus,
// drawn over the shade, is exact all the same.
constexpr int multistepGridColumns = 201, multistepGridRows = 201;
// The order star is sampled over 1.5 times the view each way, so that the
// sample holds as the layout adjusts the view, with 1.5 times the region's
// points: the view holds as many as the region's, and at least three
// quarters of them before a zoom calls for a new sample.
constexpr double starSampleReach = 1.5;
constexpr int starGridPoints = 481;

const QColor regionShade(0x9e, 0xd9, 0xc3);
const QColor regionEdge(0x00, 0x73, 0x54);
// The roots plot shows at least the unit disc with a margin, and every root
// with room for its marker.
constexpr double rootsReach = 1.25, rootsMargin = 1.15;

QString methodList(const std::vector<std::size_t>& rows) {
    std::vector<std::string_view> names;
    for (std::size_t row : rows) names.push_back(pelorin::labCatalogue()[row].caption);
    return QString::fromStdString(pelorin::listedInWords(names));
}

// Every z at every step point of a run: one equation's one, a system's
// every eigenvalue, a conjugate pair as two points.
template <class State>
std::vector<std::complex<double>> everyMode(const pelorin::StabilityPathOf<State>& path) {
    std::vector<std::complex<double>> z;
    for (const auto& modes : path.z) z.insert(z.end(), modes.begin(), modes.end());
    return z;
}

// What the notes say of a run along which z = h·λ was followed, on one
// equation or a system: the path's own notes, where some z lies beyond the
// plot, the method's verdict, and whether a point was left out.
QStringList alongTheRun(const std::vector<std::string>& pathNotes,
                        const std::vector<std::complex<double>>& z, const QString& verdict,
                        bool leftOut) {
    QStringList notes = fromNotes(pathNotes);
    if (const std::string beyond = pelorin::beyondGridNote(z, pelorin::StabilityGrid{});
        !beyond.empty()) {
        notes << QString::fromStdString(beyond);
    }
    notes << verdict;
    if (leftOut) notes << QString::fromStdString(pelorin::undrawableNote());
    return notes;
}

// A little room around a run fitted to its points, so that the markers at
// the edges show whole.
void addRoom(LabPlot& run) {
    run.xAxis->scaleRange(1.05);
    run.yAxis->scaleRange(1.1);
}

// What the notes say while a study off the window's thread is under way.
QString calculating(const QString& what, const pelorin::Problem& problem) {
    return "Calculating " + what + " on " +
           QString::fromStdString(pelorin::quotedFormula(problem.equationText())) + " \u2026";
}

QPen edgePen() {
    QPen pen(regionEdge);
    pen.setWidthF(1.5);
    return pen;
}

// A shading's grid in a map: 1 inside, 0 outside.
void fillMap(QCPColorMap& map, const pelorin::StabilityGrid& grid) {
    map.data()->setSize(grid.columns, grid.rows);
    map.data()->setRange(QCPRange(grid.reMin, grid.reMax), QCPRange(grid.imMin, grid.imMax));
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            map.data()->setCell(column, row, grid.isInside(column, row) ? 1 : 0);
        }
    }
}

// An edge's polylines as the plot's curves in the edge's pen, `curves`
// (the ones drawn before) replaced.
void drawEdge(LabPlot& plot, std::vector<QCPCurve*>& curves,
              const std::vector<pelorin::Polyline>& edge) {
    for (QCPCurve* line : curves) plot.removePlottable(line);
    curves.clear();
    for (const pelorin::Polyline& line : edge) {
        auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
        curve->removeFromLegend();
        curve->setPen(edgePen());
        QVector<double> t, re, im;
        for (std::size_t i = 0; i < line.size(); ++i) {
            t << static_cast<double>(i);
            re << line[i].real();
            im << line[i].imag();
        }
        curve->setData(t, re, im, true);
        curves.push_back(curve);
    }
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

// The map of a shading by the grid's values 0 and 1, the inside in the shade.
RegionMap* addShadeMap(LabPlot& plot) {
    auto* map = new RegionMap(plot.xAxis, plot.yAxis);
    // Two levels over exactly 0 ... 1 give each value its own colour and no other.
    QCPColorGradient inside;
    inside.setLevelCount(2);
    inside.setColorStopAt(0, QColor(0, 0, 0, 0));
    inside.setColorStopAt(1, regionShade);
    map->setGradient(inside);
    map->setDataRange(QCPRange(0, 1));
    map->setInterpolate(false);
    return map;
}

}  // namespace

StabilityTab::StabilityTab(QWidget* parent) : LabPage(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* plots = new QHBoxLayout;
    plots->addWidget(createRegionPlot(), 3);
    plots->addWidget(createRootsPlot(), 2);
    plots->addWidget(createOrderStarPlot(), 2);
    plots->addWidget(createRunPlot(), 2);
    // The roots and the order star take turns beside the region: both at
    // once would make the page wider than the lab before its first study.
    roots_->setVisible(false);
    layout->addLayout(plots, 3);
    layout->addLayout(createSlider());
    notes_ = addNotes(layout, "Stability notes");
    intervals_ = addCaptionedTable(layout,
                                   "Stability &intervals on the negative real axis: "
                                   "|R(-x)| \u2264 1, for a multistep method every root |\u03b6| "
                                   "\u2264 1 and those on the circle simple, for 0 \u2264 x "
                                   "\u2264 the value",
                                   "Stability intervals");
    fillIntervals();
}

LabPlot* StabilityTab::createRegionPlot() {
    region_ = new LabPlot("Stability region",
                          "Where |R(z)| is at most 1 for the chosen method, shaded, within its "
                          "edge |R(z)| = 1, with the point z = h\u00b7\u03bb of the chosen h: at "
                          "every step of the run on a problem of your own, and on a system for "
                          "every eigenvalue \u03bb of its Jacobian. For a multistep method, where "
                          "every root of its characteristic polynomial has |\u03b6| \u2264 1 and "
                          "those on the unit circle are simple (the root condition), within its "
                          "boundary locus, the z with a root on the unit circle.",
                          this);
    // One unit equally long on both axes, so that a disc is drawn round.
    region_->keepEqualScale();
    region_->xAxis->setLabel("Re z");
    region_->yAxis->setLabel("Im z");
    // The grid holds 0 outside the region and 1 inside.
    map_ = addShadeMap(*region_);
    // The point above the edge, whichever of them was drawn last.
    region_->addLayer("point", region_->layer("main"), QCustomPlot::limAbove);
    point_ = region_->addGraph();
    point_->setLayer("point");
    point_->setName("z = h\u00b7\u03bb");
    point_->setLineStyle(QCPGraph::lsNone);
    region_->showLegend(LabPlot::LegendPlace::below);
    for (QCPAxis* axis : {region_->xAxis, region_->yAxis}) {
        connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
            if (regionMethod_ && !regionNone() &&
                (regionMultistep_ || !regionFunction_.isPolynomial())) {
                shadeRegion();
            }
        });
    }
    return region_;
}

LabPlot* StabilityTab::createRootsPlot() {
    roots_ =
        new LabPlot("Roots in the unit circle",
                    "For a multistep method: the roots \u03b6 of its characteristic polynomial "
                    "at z = h\u00b7\u03bb, within the unit circle |\u03b6| = 1. The principal "
                    "root, the one nearest e^z, is a red disc; the parasitic ones are squares. An "
                    "error grows in the mode of every root outside the circle, and of every "
                    "repeated root on it.",
                    this);
    roots_->keepEqualScale();
    roots_->xAxis->setLabel("Re \u03b6");
    roots_->yAxis->setLabel("Im \u03b6");
    auto* circle = new QCPItemEllipse(roots_);
    circle->topLeft->setCoords(-1, 1);
    circle->bottomRight->setCoords(1, -1);
    circle->setPen(edgePen());
    principal_ = roots_->addGraph();
    principal_->setName("principal root");
    principal_->setLineStyle(QCPGraph::lsNone);
    parasitic_ = roots_->addGraph();
    parasitic_->setName("parasitic roots");
    parasitic_->setLineStyle(QCPGraph::lsNone);
    roots_->showLegend(LabPlot::LegendPlace::below);
    roots_->setLegendRows(2);
    return roots_;
}

LabPlot* StabilityTab::createOrderStarPlot() {
    star_ = new LabPlot("Order star",
                        "For a one-step method: where |R(z)\u00b7e^(-z)| exceeds 1, shaded, within "
                        "its edge |R(z)\u00b7e^(-z)| = 1, R(z) the method's stability function. "
                        "Where R(z) = e^z + O(z^(p+1)), p + 1 shaded fingers meet at z = 0 "
                        "between p + 1 unshaded ones; a bounded shaded piece holds a pole of R, a "
                        "bounded unshaded one a zero. R is A-stable when it has no pole on the "
                        "left and no shaded point lies on the imaginary axis.",
                        this);
    star_->keepEqualScale();
    star_->xAxis->setLabel("Re z");
    star_->yAxis->setLabel("Im z");
    starMap_ = addShadeMap(*star_);
    star_->showLegend(LabPlot::LegendPlace::below);
    for (QCPAxis* axis : {star_->xAxis, star_->yAxis}) {
        connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
            if (regionMethod_ && showsOrderStar() && !starSampleHolds()) shadeOrderStar();
        });
    }
    return star_;
}

LabPlot* StabilityTab::createRunPlot() {
    run_ = new LabPlot("Run with the chosen h",
                       "The chosen method with the chosen h against the exact solution.", this);
    run_->xAxis->setLabel("x");
    run_->yAxis->setLabel("y");
    run_->showLegend(LabPlot::LegendPlace::below);
    return run_;
}

QLayout* StabilityTab::createSlider() {
    auto* controls = new QHBoxLayout;
    auto* sliderCaption =
        new QLabel(QString("h from %1 to %2:")
                       .arg(fromView(pelorin::fixedText(pelorin::sliderStep, 2)),
                            fromView(pelorin::numberToText(pelorin::largestStep))),
                   this);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setAccessibleName("h slider");
    slider_->setAccessibleDescription("Sweeps the lab's h in hundredths.");
    slider_->setRange(1, sliderSteps);
    slider_->setPageStep(10);
    connect(slider_, &QSlider::valueChanged, this, &StabilityTab::stepFromSlider);
    controls->addWidget(sliderCaption);
    controls->addWidget(slider_, 1);

    return controls;
}

void StabilityTab::setInputs(const LabInputs& inputs) {
    inputs_ = inputs;
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(static_cast<int>(std::lround(inputs_.h / sliderUnit)));
    }
    // A study for earlier inputs is no longer wanted, nor its points.
    studies_.supersede();
    componentsStudy_ = {};
    multistepStudy_ = {};
    typedPath_ = followsTypedPath()
                     ? pelorin::stabilityPath(method(), inputs_.problem.slopeOf<double>(),
                                              inputs_.problem.x0, inputs_.problem.y0[0],
                                              inputs_.problem.x1, inputs_.h)
                     : pelorin::StabilityPath{};
    roots_->setVisible(showsMultistep());
    star_->setVisible(showsOrderStar());
    if (inputs_.methods.typed() != intervalsTyped_) fillOwnRows();
    // The region depends on the method alone; the point (or the path of
    // points) also on the problem, the start and h.
    if (!showsChosenRegion()) drawRegion();
    else placePoint();
    if (showsMultistep()) studyMultistep();
    else if (showsSystem()) studyEigenvaluesAlongRun();
    else drawRun();
}

// The lesson's study at once; a typed problem's, whose run and reference
// cost more, off the window's thread.
void StabilityTab::studyMultistep() {
    if (!inputs_.readable) {
        showMultistep();
        return;
    }
    studies_.study(
        inputs_.problem,
        [method = &method(), h = inputs_.h, multistep = inputs_.methods](
            const pelorin::Problem& problem, std::stop_token) {
            return pelorin::studyMultistepStability(problem, *method, h, multistep);
        },
        [this](pelorin::MultistepStabilityStudy study) {
            multistepStudy_ = std::move(study);
            placePoint();
            showMultistep();
        },
        [this](const pelorin::Problem& problem) {
            showMultistep();
            notes_->setText(calculating("the roots and the run", problem));
        });
}

void StabilityTab::studyEigenvaluesAlongRun() {
    clearRun(componentsLabel(inputs_.problem.components()));
    run_->replot();
    if (!inputs_.readable) {
        notes_->setText(QString::fromStdString(inputs_.unreadable));
        return;
    }
    notes_->setText(calculating("z = h\u00b7\u03bb along the run", inputs_.problem));
    studies_.runOffThread(
        inputs_.problem,
        [method = inputs_.method, h = inputs_.h](const pelorin::Problem& problem,
                                                 std::stop_token stop) {
            return pelorin::studyStability(problem, method, h, stop);
        },
        [this](pelorin::StabilityStudy study) {
            componentsStudy_ = std::move(study);
            placePoint();
            showSystemRun();
        });
}

bool StabilityTab::showsChosenRegion() const {
    return regionMethod_ == inputs_.method &&
           &pelorin::methodAt(inputs_.method, regionTyped_) == &inputs_.chosenMethod();
}

PageHandout StabilityTab::handout(const LabInputs& inputs) const {
    if (pelorin::isMultistep(inputs.chosenMethod())) {
        return {{methodLine(inputs)}, {region_, roots_, run_}, {notes_}, {intervals_}};
    }
    if (!pelorin::isPartitioned(inputs.chosenMethod())) {
        return {{methodLine(inputs)}, {region_, star_, run_}, {notes_}, {intervals_}};
    }
    return {{methodLine(inputs)}, {region_, run_}, {notes_}, {intervals_}};
}

void StabilityTab::stepFromSlider(int hundredths) {
    const double h = hundredths * sliderUnit;
    emit stepChosen(h, QString::fromStdString(pelorin::fixedText(h, 2)));
}

// The multistep methods' intervals come from root tests along the axis,
// which would hold the window while the lab opens: the table is worked out
// on the lab's threads and filled when it comes.
void StabilityTab::fillIntervals() {
    intervals_->setRowCount(static_cast<int>(pelorin::labCatalogue().size()));
    intervals_->setColumnCount(4);
    intervals_->setHorizontalHeaderLabels(
        {"Method", "Interval", "Left half-plane", "Same R(z) as"});
    intervals_->verticalHeader()->setVisible(false);
    intervals_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    intervals_->horizontalHeader()->setStretchLastSection(true);
    intervalsTyped_ = inputs_.methods.typed();
    intervalStudy_.run(
        [typed = intervalsTyped_](std::stop_token) {
            return pelorin::stabilityIntervalRows(typed);
        },
        [this, typed = intervalsTyped_](const std::vector<pelorin::StabilityIntervalRow>& rows) {
            for (std::size_t row = 0; row < rows.size(); ++row) showIntervalRow(row, rows[row]);
            // The own methods' boxes may hold others by now.
            if (inputs_.methods.typed() != typed) fillOwnRows();
        });
}

// The own methods' rows, when their boxes hold other methods. A typed
// Runge-Kutta method may share its R(z) with any row, so the column of
// twins is filled anew.
void StabilityTab::fillOwnRows() {
    intervalsTyped_ = inputs_.methods.typed();
    const pelorin::SameFunctionGroups groups = pelorin::sameStabilityFunction(intervalsTyped_);
    for (std::size_t row = 0; row < pelorin::labCatalogue().size(); ++row) {
        const pelorin::Method& entry = pelorin::labCatalogue()[row];
        if (pelorin::isOwnMethod(entry) || pelorin::hasTableau(entry)) {
            showIntervalRow(row, pelorin::stabilityIntervalRow(row, intervalsTyped_, groups));
        }
    }
}

void StabilityTab::showIntervalRow(std::size_t row, const pelorin::StabilityIntervalRow& texts) {
    const int r = static_cast<int>(row);
    intervals_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(texts.method)));
    auto* value = new QTableWidgetItem(QString::fromStdString(texts.interval));
    value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    intervals_->setItem(r, 1, value);
    intervals_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(texts.halfPlane)));
    intervals_->setItem(r, 3, new QTableWidgetItem(QString::fromStdString(texts.alike)));
}

QString StabilityTab::verdictNote() const {
    const pelorin::Method& chosen = method();
    if (pelorin::isPartitioned(chosen)) {
        return QString::fromStdString(pelorin::partitionedStabilityNote(chosen) + " " +
                                      pelorin::noOrderStarNote());
    }
    const pelorin::Tableau& tableau = *tableauOf(chosen);
    const std::string verdict =
        pelorin::verdictNote(chosen.caption, pelorin::stabilityVerdict(tableau));
    const std::string star =
        pelorin::orderStarNote(chosen.caption, pelorin::stabilityFunctionOf(tableau));
    return QString::fromStdString(star.empty() ? verdict : verdict + "\n" + star);
}

void StabilityTab::drawRegion() {
    regionMethod_ = inputs_.method;
    regionTyped_ = inputs_.methods.typed();
    const pelorin::Method& chosen = method();
    regionMultistep_.reset();
    regionFunction_ = {};
    // The region's key only where a region is drawn, before the point's.
    const bool drawn = !regionNone();
    if (drawn != region_->legend->hasItemWithPlottable(map_)) {
        if (drawn) {
            point_->removeFromLegend();
            map_->addToLegend();
            point_->addToLegend();
        } else {
            map_->removeFromLegend();
        }
    }
    if (!drawn) {
        // No R(z): the map is emptied, out of the legend, and the notes say why.
        map_->data()->fill(0);
        for (QCPCurve* line : boundary_) region_->removePlottable(line);
        boundary_.clear();
        placePoint();
        return;
    }
    if (pelorin::isMultistep(chosen)) {
        regionMultistep_ = *multistepOf(chosen);
        map_->setName(fromView(chosen.caption) + ": root condition");
    } else {
        regionFunction_ = pelorin::stabilityFunctionOf(*tableauOf(chosen));
        map_->setName(fromView(chosen.caption) + ": |R(z)| \u2264 1");
    }
    // Room around the grid, so that the point at h = 6 shows whole.
    const pelorin::StabilityGrid fitted;
    region_->xAxis->setRange(fitted.reMin, fitted.reMax);
    region_->yAxis->setRange(fitted.imMin, fitted.imMax);
    region_->xAxis->scaleRange(1.1);
    region_->yAxis->scaleRange(1.1);
    shadeRegion();
    placePoint();
    drawOrderStar();
}

// A polynomial's region is bounded and lies within the grid the plot is
// fitted to; a rational R's may reach to infinity, as may a multistep
// method's, so it is sampled over the part of the plane in view, anew
// whenever that changes, and the shade never stops short of the axes. A
// multistep method's edge is drawn as its boundary locus, the z with a root
// on the unit circle: the edge lies on it.
void StabilityTab::shadeRegion() {
    pelorin::StabilityGrid frame;
    if (regionMultistep_ || !regionFunction_.isPolynomial()) {
        const QCPRange x = region_->xAxis->range(), y = region_->yAxis->range();
        frame.reMin = x.lower;
        frame.reMax = x.upper;
        frame.imMin = y.lower;
        frame.imMax = y.upper;
    }
    const pelorin::StabilityGrid grid =
        regionMultistep_
            ? pelorin::sampleMultistepRegion(*regionMultistep_, multistepGridColumns,
                                             multistepGridRows, frame)
            : pelorin::sampleStabilityRegion(regionFunction_, gridColumns, gridRows, frame);
    fillMap(*map_, grid);
    drawEdge(*region_, boundary_,
             regionMultistep_ ? pelorin::boundaryLocus(*regionMultistep_)
                              : pelorin::stabilityBoundary(regionFunction_, grid));
}

// Every star reaches to infinity (far out on the left |e^(-z)| outgrows any
// power of z), so it is sampled over the part of the plane in view, as a
// rational R's region is; the view starts centred on z = 0, where the
// fingers meet.
void StabilityTab::drawOrderStar() {
    if (!showsOrderStar()) return;
    starMap_->setName(fromView(method().caption) + ": |R(z)e^(-z)| > 1");
    starMap_->addToLegend();
    const pelorin::StabilityGrid fitted = pelorin::orderStarFrame();
    starSample_.reset();  // another R
    star_->xAxis->setRange(fitted.reMin, fitted.reMax);
    star_->yAxis->setRange(fitted.imMin, fitted.imMax);
    star_->xAxis->scaleRange(1.1);
    star_->yAxis->scaleRange(1.1);
    shadeOrderStar();
    star_->replot();
}

// The layout sets the ranges again at every replot, and widens one axis to
// keep the scale equal: a view within the part sampled, and at least half
// as wide and high, keeps its sample.
bool StabilityTab::starSampleHolds() const {
    if (!starSample_) return false;
    const QCPRange x = star_->xAxis->range(), y = star_->yAxis->range();
    const pelorin::StabilityGrid& sampled = *starSample_;
    return x.lower >= sampled.reMin && x.upper <= sampled.reMax && y.lower >= sampled.imMin &&
           y.upper <= sampled.imMax && 2 * x.size() >= sampled.reMax - sampled.reMin &&
           2 * y.size() >= sampled.imMax - sampled.imMin;
}

void StabilityTab::shadeOrderStar() {
    const QCPRange x = star_->xAxis->range(), y = star_->yAxis->range();
    pelorin::StabilityGrid frame;
    frame.reMin = x.center() - starSampleReach * x.size() / 2;
    frame.reMax = x.center() + starSampleReach * x.size() / 2;
    frame.imMin = y.center() - starSampleReach * y.size() / 2;
    frame.imMax = y.center() + starSampleReach * y.size() / 2;
    const pelorin::StabilityGrid grid =
        pelorin::sampleOrderStar(regionFunction_, starGridPoints, starGridPoints, frame);
    starSample_ = frame;
    fillMap(*starMap_, grid);
    drawEdge(*star_, starEdge_, pelorin::orderStarEdge(regionFunction_, grid));
}

void StabilityTab::placePoint() {
    // The accent follows the palette, light or dark, as it is now.
    point_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, region_->accent(), 9));
    QVector<double> re, im;
    for (const std::complex<double>& z : shownZ()) {
        re << z.real();
        im << z.imag();
    }
    point_->setData(re, im);
    region_->replot();
}

bool StabilityTab::followsTypedPath() const {
    return !showsMultistep() && !showsSystem() && !inputs_.problem.equation.lesson() &&
           !regionNone();
}

std::vector<std::complex<double>> StabilityTab::shownZ() const {
    if (showsMultistep()) return multistepStudy_.z;
    if (showsSystem()) return everyMode(componentsStudy_.path);
    if (inputs_.problem.equation.lesson()) return {inputs_.h * pelorin::lessonLambda};
    return everyMode(typedPath_);
}

// On an equation of the user's, λ changes along the solution: the region
// shows z = h·λ at every step point, and the notes say where it leaves.
void StabilityTab::drawTypedRun() {
    const pelorin::SolutionPath& path = typedPath_.run;
    const auto end = inputs_.readable ? pelorin::solutionEnd(inputs_.problem) : std::nullopt;
    bool leftOut = addRunGraph(path.x, path.y);
    // The solution drawn up to the run's last point before its end: past it
    // there is none, and on the way to it |y| grows without bound.
    const auto before = std::find_if(path.x.begin(), path.x.end(),
                                     [&end](double x) { return end && end->past(x); });
    if (before != path.x.begin()) {
        leftOut =
            addKnownCurve(pelorin::knownCurve(inputs_.problem, path.x.front(), *(before - 1))) ||
            leftOut;
    }
    QStringList notes = alongTheRun(typedPath_.notes, shownZ(), verdictNote(), leftOut);
    run_->rescaleAxes();
    run_->setSolutionEnd(end);
    if (end &&
        std::any_of(path.x.begin(), path.x.end(), [&end](double x) { return end->past(x); })) {
        notes << QString::fromStdString(pelorin::solutionEndNote(end->at) + " " +
                                        pelorin::pastEndNote("The run's points", end->at) +
                                        " The plot is fitted to the points before it.");
        run_->fitValuesBefore();
    }
    notes_->setText(notes.join("\n"));
    addRoom(*run_);
    run_->replot();
}

bool StabilityTab::addKnownCurve(const pelorin::SampledCurve& curve) {
    return addKnownCurve(curve, QPen(run_->palette().color(QPalette::Text), 1.5),
                         inputs_.problem.comparedWithReference() ? "reference" : "exact");
}

bool StabilityTab::addKnownCurve(const pelorin::SampledCurve& curve, const QPen& pen,
                                 const QString& name) {
    bool leftOut =
        false;  // a sample where the solution is not known is not drawn, and not left out
    for (const pelorin::SampledCurve::Piece& piece : curve.pieces) {
        const pelorin::DrawablePoints points = pelorin::drawablePoints(piece.x, piece.y);
        leftOut = leftOut || points.leftOut;
        QCPGraph* known = run_->addGraph();
        known->setPen(pen);
        known->setData(toQVector(points.x), toQVector(points.y), true);
        // One legend entry for a curve broken into pieces.
        if (&piece == &curve.pieces.front()) {
            known->setName(name);
        } else {
            known->removeFromLegend();
        }
    }
    return leftOut;
}

bool StabilityTab::addRunGraph(const std::vector<double>& x, const std::vector<double>& y) {
    return addRunGraph(x, y, LabPlot::methodPen(inputs_.method),
                       LabPlot::methodMarker(inputs_.method), fromView(method().caption));
}

bool StabilityTab::addRunGraph(const std::vector<double>& x, const std::vector<double>& y,
                               const QPen& pen, const QCPScatterStyle& marker,
                               const QString& name) {
    const pelorin::DrawablePoints points = pelorin::drawablePoints(x, y);
    QCPGraph* numerical = run_->addGraph();
    numerical->setName(name);
    numerical->setPen(pen);
    numerical->setScatterStyle(marker);
    numerical->setData(toQVector(points.x), toQVector(points.y));
    return points.leftOut;
}

void StabilityTab::drawRun() {
    QStringList notes;
    const auto groups = pelorin::sameStabilityFunction(inputs_.methods.typed());
    QStringList alike;
    for (const auto& group : groups) {
        if (group.size() > 1) alike << methodList(group);
    }
    clearRun("y");
    if (regionNone()) {
        // A single equation has no oscillator to show a partitioned method on.
        notes << verdictNote();
        const auto why = pelorin::doesNotApplyNote(method(), inputs_.problem.slopeOf<double>());
        if (inputs_.readable && why) notes << QString::fromStdString(*why);
        notes_->setText(notes.join("\n"));
        run_->replot();
        return;
    }
    if (inputs_.readable && !inputs_.problem.equation.lesson()) {
        drawTypedRun();
        return;
    }
    if (!inputs_.readable) {
        notes << QString::fromStdString(inputs_.unreadable);
    } else {
        const pelorin::StabilityRun run = pelorin::runWithStep(
            method(), inputs_.problem.x0, inputs_.problem.y0[0], inputs_.h, runSteps);
        const bool exactLeftOut =
            !run.x.empty() &&
            addKnownCurve(pelorin::knownCurve(inputs_.problem, run.x.front(), run.x.back()));
        const bool runLeftOut = addRunGraph(run.x, run.y);
        for (const std::string& note : run.notes) notes << QString::fromStdString(note);
        if (exactLeftOut || runLeftOut) {
            notes << QString::fromStdString(pelorin::undrawableNote());
        }
        run_->rescaleAxes();
        addRoom(*run_);
    }
    notes << "On this linear equation an error is multiplied by R(h\u00b7\u03bb) at every step, "
             "so methods with the same R(z) behave alike: " + alike.join("; ") + ".";
    notes << verdictNote();
    notes_->setText(notes.join("\n"));
    run_->replot();
}

void StabilityTab::clearRun(const QString& valuesLabel) {
    run_->clearGraphs();
    run_->setSolutionEnd(std::nullopt);
    run_->yAxis->setLabel(valuesLabel);
}

// Each component of a run beside the known solution. One equation's run
// in the method's pen and marker, its solution in the text's colour; a
// system's components each in a colour of their own, the run's with its
// markers, the solution's dashed, so that each pair is told apart at any n.
// Whether a point was left out.
bool StabilityTab::drawComponents(const pelorin::PathOf<pelorin::StateVector>& run,
                                  const std::vector<pelorin::SampledCurve>& known) {
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
            leftOut =
                addKnownCurve(known[k], dashed, QString("y%1, %2").arg(k + 1).arg(solution)) ||
                leftOut;
        }
        leftOut =
            addRunGraph(run.x, pelorin::componentOf(run.y, k), LabPlot::methodPen(k),
                        LabPlot::methodMarker(k), QString("y%1, %2").arg(k + 1).arg(caption)) ||
            leftOut;
    }
    return leftOut;
}

void StabilityTab::showSystemRun() {
    const bool leftOut = drawComponents(componentsStudy_.path.run, componentsStudy_.known);
    notes_->setText(
        alongTheRun(componentsStudy_.path.notes, shownZ(), verdictNote(), leftOut).join("\n"));
    run_->showWhole();
    run_->replot();
}

void StabilityTab::showMultistep() {
    clearRun(componentsLabel(inputs_.problem.components()));
    const pelorin::PathOf<pelorin::StateVector>& path = multistepStudy_.run;
    const bool leftOut = drawComponents(path, multistepStudy_.known);
    if (!path.x.empty()) {
        run_->rescaleAxes();
        addRoom(*run_);
    }
    run_->replot();
    drawRoots();
    if (!inputs_.readable) {
        notes_->setText(QString::fromStdString(inputs_.unreadable));
        return;
    }
    QStringList notes = fromNotes(multistepStudy_.notes);
    // The roots stand where a one-step method's order star does. Why there
    // is none goes on the formula's order line, the second of its notes and
    // a short one: a line of its own would push the page past the lab.
    if (notes.size() > 1) notes[1] += " " + QString::fromStdString(pelorin::noOrderStarNote());
    const std::string beyond = pelorin::beyondGridNote(multistepStudy_.z, pelorin::StabilityGrid{});
    if (!beyond.empty()) notes.insert(notes.size() - 1, QString::fromStdString(beyond));
    if (leftOut) notes << QString::fromStdString(pelorin::undrawableNote());
    notes_->setText(notes.join("\n"));
}

// The principal root apart from the parasitic ones, and the view widened
// from the unit disc to hold every root.
void StabilityTab::drawRoots() {
    const QColor text = roots_->palette().color(QPalette::Text);
    principal_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, roots_->accent(), 9));
    parasitic_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, text, text, 8));
    QVector<double> principalRe, principalIm, parasiticRe, parasiticIm;
    QCPRange re(-rootsReach, rootsReach), im(-rootsReach, rootsReach);
    const pelorin::CharacteristicRoots& found = multistepStudy_.roots;
    for (std::size_t i = 0; i < found.roots.size(); ++i) {
        const std::complex<double> root = found.roots[i];
        if (!std::isfinite(std::abs(root))) continue;
        (i == found.principal ? principalRe : parasiticRe) << root.real();
        (i == found.principal ? principalIm : parasiticIm) << root.imag();
        re.expand(rootsMargin * root.real());
        im.expand(rootsMargin * root.imag());
    }
    principal_->setData(principalRe, principalIm);
    parasitic_->setData(parasiticRe, parasiticIm);
    roots_->setWholeView([this, re, im] {
        roots_->xAxis->setRange(re);
        roots_->yAxis->setRange(im);
    });
    roots_->showWhole();
    roots_->replot();
}
