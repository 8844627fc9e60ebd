#include "lab/plot.h"

#include "methods/methods.h"
#include "numerics/convergence.h"
#include "numerics/plot_extent.h"
#include "numerics/polyline_in_box.h"
#include "ui/save_file.h"
#include "ui/widget_image.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPdfWriter>

#include <cmath>
#include <algorithm>
#include <iterator>
#include <span>
#include <variant>

namespace {

// One palette per family, a method taking its family's colour and marker
// by its place among the family's rows: Okabe and Ito's colours for the
// explicit methods, Tol's muted ones for the implicit methods (drawn
// dashed), his bright ones for the partitioned methods (drawn dotted) and
// his vibrant and light ones for the multistep methods (drawn dash-dotted),
// told apart also with a colour vision deficiency; the
// markers tell apart the methods whose curves coincide.
struct FamilyPalette {
    std::span<const QRgb> colours;
    std::span<const QCPScatterStyle::ScatterShape> shapes;
    Qt::PenStyle line;
};
constexpr QRgb explicitColours[]{0xff0072b2, 0xffe69f00, 0xff009e73, 0xffd55e00, 0xffcc79a7,
                                 0xff56b4e9, 0xff7f7f7f, 0xff004488, 0xffddaa33, 0xffbb5566,
                                 0xff99ddff, 0xff8c564b};
constexpr QRgb implicitColours[]{0xff882255, 0xff44aa99, 0xff999933, 0xff225555, 0xffaa4499,
                                 0xffcc6677};
constexpr QRgb partitionedColours[]{0xffee6677, 0xff228833, 0xff4477aa, 0xffccbb44};
constexpr QRgb multistepColours[]{0xff332288, 0xff117733, 0xff88ccee, 0xffddcc77, 0xffee7733,
                                  0xff6699cc, 0xff009988, 0xffee3377, 0xff997700};
constexpr QCPScatterStyle::ScatterShape explicitShapes[]{
    QCPScatterStyle::ssCircle, QCPScatterStyle::ssSquare, QCPScatterStyle::ssTriangle,
    QCPScatterStyle::ssDiamond, QCPScatterStyle::ssStar, QCPScatterStyle::ssCross,
    QCPScatterStyle::ssTriangleInverted, QCPScatterStyle::ssPlusCircle, QCPScatterStyle::ssPeace,
    QCPScatterStyle::ssCrossCircle, QCPScatterStyle::ssDisc, QCPScatterStyle::ssPlusSquare};
constexpr QCPScatterStyle::ScatterShape implicitShapes[]{
    QCPScatterStyle::ssPlus, QCPScatterStyle::ssCrossSquare, QCPScatterStyle::ssPlusSquare,
    QCPScatterStyle::ssDiamond, QCPScatterStyle::ssCrossCircle, QCPScatterStyle::ssPlusCircle};
constexpr QCPScatterStyle::ScatterShape partitionedShapes[]{
    QCPScatterStyle::ssTriangle, QCPScatterStyle::ssStar, QCPScatterStyle::ssSquare,
    QCPScatterStyle::ssCross};
constexpr QCPScatterStyle::ScatterShape multistepShapes[]{
    QCPScatterStyle::ssDisc, QCPScatterStyle::ssPeace, QCPScatterStyle::ssCircle,
    QCPScatterStyle::ssSquare, QCPScatterStyle::ssTriangle, QCPScatterStyle::ssDiamond,
    QCPScatterStyle::ssStar, QCPScatterStyle::ssCross, QCPScatterStyle::ssTriangleInverted};
// In the order of the families' alternatives in pelorin::MethodFamily.
const FamilyPalette palettes[]{{explicitColours, explicitShapes, Qt::SolidLine},
                               {implicitColours, implicitShapes, Qt::DashLine},
                               {partitionedColours, partitionedShapes, Qt::DotLine},
                               {multistepColours, multistepShapes, Qt::DashDotLine}};
static_assert(std::size(palettes) == std::variant_size_v<pelorin::MethodFamily>);

// The method's family's palette and its place among the family's rows; a
// family with more methods than colours takes them round again.
struct PaletteChoice {
    const FamilyPalette& palette;
    std::size_t index;
};
PaletteChoice paletteOf(std::size_t row) {
    const auto catalogue = pelorin::labCatalogue();
    const std::size_t family = catalogue[row].family.index();
    const auto before = std::count_if(catalogue.begin(), catalogue.begin() + static_cast<std::ptrdiff_t>(row),
                                      [&](const pelorin::Method& m) { return m.family.index() == family; });
    return {palettes[family], static_cast<std::size_t>(before)};
}

// Tick labels with the digits neighbouring ticks need to differ: the
// default six would label every tick of a view 1E-5 wide about 1 "1".
class DistinctTicker : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override {
        step_ = QCPAxisTicker::getTickStep(range);
        return step_;
    }
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override {
        return QCPAxisTicker::getTickLabel(tick, locale, formatChar,
                                           pelorin::tickDigits(tick, step_, precision));
    }

private:
    double step_ = 0;
};

// The same on a logarithmic axis, whose labels carry no digits after the
// point until a view of less than a decade needs them: zoomed in to
// [1.9E-12, 2.5E-12], three ticks would each read 2·10⁻¹², and a tick at
// 1.25E-6 would read 1.2·10⁻⁶. Each label gets the digits its tick has.
class DistinctLogTicker : public QCPAxisTickerLog {
protected:
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                       QChar formatChar, int precision) override {
        QVector<QString> labels;
        for (int digits = precision; digits <= 15; ++digits) {
            labels = QCPAxisTickerLog::createLabelVector(ticks, locale, formatChar, digits);
            if (readsAsItsTick(labels, ticks, locale)) break;
        }
        leaveOutCrowded(ticks, labels);
        return labels;
    }

private:
    // Within a decade the ticks stand a linear step apart, so towards the top
    // of each decade they crowd together and their labels run into one
    // string ("2.5·10³3.0·10³"). A label closer than an eighth of the ticks'
    // span to the last one kept is left out, its tick kept; whole decades
    // apart every label stays.
    static void leaveOutCrowded(const QVector<double>& ticks, QVector<QString>& labels) {
        if (ticks.size() < 3 || !(ticks.front() > 0)) return;
        const double apart = std::min(0.9, std::log10(ticks.back() / ticks.front()) / 8);
        double kept = ticks.front();
        for (int i = 1; i < ticks.size(); ++i) {
            if (std::log10(ticks[i] / kept) < apart) labels[i].clear();
            else kept = ticks[i];
        }
    }

    static bool readsAsItsTick(const QVector<QString>& labels, const QVector<double>& ticks,
                               const QLocale& locale) {
        for (int i = 0; i < labels.size(); ++i) {
            bool read = false;
            const double value = locale.toDouble(labels[i], &read);
            if (!read || std::fabs(value - ticks[i]) > 1e-9 * std::fabs(ticks[i])) return false;
        }
        return true;
    }
};

// Axes at least this many lines of tick labels high: room for a handful of
// labelled ticks with a line between them, on a projector as on a desktop.
constexpr int readableLines = 10;
// Below this a plot shows nothing readable, whatever its text.
constexpr QSize smallestPlot(240, 180);

}  // namespace

LabPlot::LabPlot(const QString& accessibleName, const QString& description, QWidget* parent)
    : QCustomPlot(parent) {
    setAccessibleName(accessibleName);
    describe(description);
    setFocusPolicy(Qt::StrongFocus);
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    for (QCPAxis* axis : {xAxis, yAxis, xAxis2, yAxis2}) {
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new DistinctTicker));
    }

    copyImage_ = new QAction("Copy image", this);
    connect(copyImage_, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setPixmap(toPixmap()); });
    savePng_ = new QAction("Save as PNG\u2026", this);
    savePdf_ = new QAction("Save as PDF\u2026", this);
    connect(savePng_, &QAction::triggered, this, [this] { saveAs(false); });
    connect(savePdf_, &QAction::triggered, this, [this] { saveAs(true); });
    connect(this, &QCustomPlot::afterLayout, this, &LabPlot::followLayout);
    followPalette();
    followFont();
}

void LabPlot::describe(const QString& description) {
    setAccessibleDescription(description + " Drag to pan, turn the wheel to zoom, "
                                           "the context menu saves the picture.");
}

// What QCustomPlot's layout needs: the axes' minimum with the margins of
// their labels, and a legend beside or below them at the height of all its
// entries.
QSize LabPlot::minimumSizeHint() const {
    return QCustomPlot::minimumSizeHint().expandedTo(smallestPlot).expandedTo({0, smallestHeight_});
}

// The margins around the axes and the legend's height are known only once
// the plot is laid out; the widget's layout hears when they change what the
// plot needs.
void LabPlot::followLayout() {
    const QSize minimum = minimumSizeHint();
    if (minimum == laidOutMinimum_) return;
    laidOutMinimum_ = minimum;
    updateGeometry();
}

QPen LabPlot::methodPen(std::size_t row) {
    const auto [palette, index] = paletteOf(row);
    QPen pen(QColor::fromRgb(palette.colours[index % palette.colours.size()]));
    pen.setWidthF(1.5);
    pen.setStyle(palette.line);
    return pen;
}

QPen LabPlot::componentBand(std::size_t k) {
    QColor band = methodPen(k).color();
    band.setAlpha(90);
    return QPen(band, 6);
}

QCPScatterStyle LabPlot::methodMarker(std::size_t row) {
    const auto [palette, index] = paletteOf(row);
    return QCPScatterStyle(palette.shapes[index % palette.shapes.size()], 7);
}

QColor LabPlot::fieldColour(const QPalette& palette) {
    const QColor text = palette.color(QPalette::Text), ground = palette.color(QPalette::Base);
    return QColor((text.red() + ground.red()) / 2, (text.green() + ground.green()) / 2,
                  (text.blue() + ground.blue()) / 2);
}

pelorin::VisibleRange LabPlot::visibleRange() const {
    const QCPRange x = xAxis->range(), y = yAxis->range();
    const QRect rect = axisRect()->rect();
    return {x.lower, x.upper, y.lower, y.upper, static_cast<double>(rect.width()),
            static_cast<double>(rect.height())};
}

QColor LabPlot::accent() const {
    return palette().color(QPalette::Base).lightness() < 128 ? QColor(0xff, 0x80, 0x80)
                                                             : QColor(0xc0, 0x30, 0x30);
}

void LabPlot::drawOnTop(QCPLayerable& points) {
    if (!layer("points")) addLayer("points", layer("main"), QCustomPlot::limAbove);
    points.setLayer("points");
}

void LabPlot::keepEqualScale() {
    equalScale_ = true;
    wantedX_ = xAxis->range();
    wantedY_ = yAxis->range();
    const auto asked = [this] {
        if (fitting_) return;
        wantedX_ = xAxis->range();
        wantedY_ = yAxis->range();
    };
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, asked);
    connect(yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, asked);
}

// The axis with more pixels to a unit widens to the other's scale.
bool LabPlot::fitScale() {
    const QRect area = axisRect()->rect();
    if (area.width() <= 0 || area.height() <= 0) return false;
    const QCPRange x = xAxis->range(), y = yAxis->range();
    fitting_ = true;
    xAxis->setRange(wantedX_);
    yAxis->setRange(wantedY_);
    if (wantedX_.size() / area.width() < wantedY_.size() / area.height()) {
        xAxis->setScaleRatio(yAxis, 1);
    } else {
        yAxis->setScaleRatio(xAxis, 1);
    }
    fitting_ = false;
    const auto moved = [](const QCPRange& before, const QCPRange& after) {
        return std::fabs(after.lower - before.lower) + std::fabs(after.upper - before.upper) >
               1e-9 * after.size();
    };
    return moved(x, xAxis->range()) || moved(y, yAxis->range());
}

// The axis rectangle's size is known only once laid out; new ranges bring
// new tick labels, which may move its edges, so it is laid out again. So it
// is when a page adds legend keys once it knows the view (the Phase plane
// its nullclines' and equilibria's): a picture drawn once, as a handout's,
// has no later replot to give them their place, and they would stay blank.
void LabPlot::updateLayout() {
    placeLegend();
    QCustomPlot::updateLayout();
    for (int pass = 0; pass < 3; ++pass) {
        const bool rescaled = equalScale_ && fitScale();
        if (!rescaled && !legendHasUnplacedEntry()) break;
        placeLegend();
        QCustomPlot::updateLayout();
    }
}

// An entry added after the last layout has no room yet.
bool LabPlot::legendHasUnplacedEntry() const {
    for (int i = 0; i < legend->itemCount(); ++i) {
        if (legend->item(i) && legend->item(i)->outerRect().isEmpty()) return true;
    }
    return false;
}

void LabPlot::useLogAxes() {
    for (QCPAxis* axis : {xAxis, yAxis}) useLogAxis(axis);
}

void LabPlot::useLogAxis(QCPAxis* axis) {
    axis->setScaleType(QCPAxis::stLogarithmic);
    QSharedPointer<QCPAxisTickerLog> ticker(new DistinctLogTicker);
    ticker->setLogBase(10);
    axis->setTicker(ticker);
    axis->setNumberFormat("eb");
    axis->setNumberPrecision(0);
}

void LabPlot::showWhole() {
    if (wholeView_) {
        wholeView_();
    } else {
        if (problemRange_) rescaleAxesOver(problemRange_->first, problemRange_->second);
        else rescaleAxes();
        fitValuesBefore();
        for (QCPAxis* axis : {xAxis, yAxis}) {
            const QCPRange range = axis->range();
            if (axis->scaleType() != QCPAxis::stLogarithmic) {
                axis->scaleRange(pelorin::wholeRoom, range.center());
                continue;
            }
            // A logarithmic axis widens about its middle decade, then out to
            // whole decades: within less than one its ticks crowd together.
            axis->scaleRange(pelorin::wholeRoom, std::sqrt(range.lower * range.upper));
            const QCPRange wide = axis->range();
            const QCPRange decades(std::pow(10.0, std::floor(std::log10(wide.lower))),
                                   std::pow(10.0, std::ceil(std::log10(wide.upper))));
            if (std::isfinite(decades.lower) && std::isfinite(decades.upper) && decades.lower > 0) {
                axis->setRange(decades);
            }
        }
    }
    wholeRanges_ = {xAxis->range(), yAxis->range()};
}

void LabPlot::setWholeView(std::function<void()> setRanges) { wholeView_ = std::move(setRanges); }

void LabPlot::rescaleAxesOver(double x0, double x1) {
    rescaleAxes();
    if (!std::isfinite(x1 - x0) || x0 == x1) return;
    const QCPRange problem(std::min(x0, x1), std::max(x0, x1));
    if (drawsNothing()) return xAxis->setRange(problem);
    QCPRange x = xAxis->range();
    x.expand(problem);
    xAxis->setRange(x);
}

bool LabPlot::drawsNothing() const {
    for (int i = 0; i < graphCount(); ++i) {
        if (!graph(i)->data()->isEmpty()) return false;
    }
    return true;
}

bool LabPlot::showsWhole() const {
    return !wholeRanges_ ||
           (wholeRanges_->first == xAxis->range() && wholeRanges_->second == yAxis->range());
}

void LabPlot::showLegend(LegendPlace place) {
    legendPlace_ = place;
    if (place == LegendPlace::below) legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setMargins(QMargins(4, 2, 4, 2));
    placeLegend();
}

// A legend without entries would still hold its cell of the layout, and its
// zero height (or width) would cap the axes' row (or column), squashing the
// plot to a strip. So an empty legend goes back, hidden, inside the axes,
// where QCustomPlot keeps it and frees it with the plot. A legend with
// entries sits in a holder of its own: beside the axes at its own height
// (a filler below takes the rest), and inset, so that its border is not cut
// at the plot's edge.
void LabPlot::placeLegend() {
    if (!legendPlace_) return;
    // Columns of a set number of entries, each read downwards, where the
    // page asks for them. Else below the axes two entries a row while they
    // fit the width the plot is drawn at (the widget's, or a handout's),
    // else one: a legend cut at the edge hides the names it is there to give.
    if (legendRows_) {
        legend->setWrap(*legendRows_);
        legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
    } else if (legendPlace_ == LegendPlace::below) {
        // A new wrap moves the entries only when they are filled in again.
        const auto wrap = [this](int columns) {
            legend->setWrap(columns);
            legend->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
        };
        wrap(2);
        if (legend->minimumOuterSizeHint().width() > viewport().width()) wrap(1);
    }
    // QCustomPlot sizes an entry by the widget's font metrics, and the
    // picture's second line ("Heun 3\n(under SSP Runge-Kutta 3)") may draw
    // its descenders below that, where the entry's clip cuts them: an entry
    // of two lines gets a descent more below.
    const int below = QFontMetrics(legend->font()).descent();
    for (int i = 0; i < legend->itemCount(); ++i) {
        auto* entry = qobject_cast<QCPPlottableLegendItem*>(legend->item(i));
        if (entry && entry->plottable()->name().contains('\n')) {
            entry->setMargins(QMargins(0, 0, 0, below));
        }
    }
    const bool wanted = legend->itemCount() > 0;
    const bool placed = legendHolder_ != nullptr;
    legend->setVisible(wanted);
    if (wanted == placed) return;
    if (!wanted) {
        legendHolder_->take(legend);
        plotLayout()->remove(legendHolder_);
        plotLayout()->simplify();
        legendHolder_ = nullptr;
        axisRect()->insetLayout()->addElement(legend, Qt::AlignRight | Qt::AlignTop);
        return;
    }
    axisRect()->insetLayout()->take(legend);
    legendHolder_ = new QCPLayoutGrid;
    legendHolder_->setAutoMargins(QCP::msNone);
    legendHolder_->setMargins(QMargins(4, 4, 2, 2));
    legendHolder_->addElement(0, 0, legend);
    if (*legendPlace_ == LegendPlace::beside) {
        plotLayout()->addElement(0, 1, legendHolder_);
        plotLayout()->setColumnStretchFactor(1, 0.001);
        legendHolder_->addElement(1, 0, new QCPLayoutElement(this));
        legendHolder_->setRowStretchFactor(0, 0.001);
    } else {
        plotLayout()->addElement(1, 0, legendHolder_);
        plotLayout()->setRowStretchFactor(1, 0.001);
    }
}

namespace {

// A graph whose line is handed to the painter cut to a box around the axes,
// a span of the axes' size beyond them on every side: the line in the view is
// the same, and a painter that works in bounded coordinates is never handed
// a point 1E+100 pixels away.
class GraphInBox : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override {
        const QRect axes = keyAxis()->axisRect()->rect();
        const double reach = axes.width() + axes.height();
        const pelorin::PlotBox box{axes.left() - reach, axes.right() + reach, axes.top() - reach,
                                   axes.bottom() + reach};
        std::vector<pelorin::PlotPoint> points;
        points.reserve(static_cast<std::size_t>(lines.size()));
        for (const QPointF& p : lines) points.push_back({p.x(), p.y()});
        QVector<QPointF> cut;
        for (const auto& part : pelorin::partsInBox(points, box)) {
            if (!cut.isEmpty()) cut.push_back(QPointF(qQNaN(), qQNaN()));  // a gap
            for (const pelorin::PlotPoint& p : part) cut.push_back(QPointF(p.x, p.y));
        }
        QCPGraph::drawLinePlot(painter, cut);
    }
};

}  // namespace

QCPGraph* LabPlot::addGraph(QCPAxis* keyAxis, QCPAxis* valueAxis) {
    if (!keyAxis) keyAxis = xAxis;
    if (!valueAxis) valueAxis = yAxis;
    auto* graph = new GraphInBox(keyAxis, valueAxis);
    graph->setName(QString("Graph %1").arg(graphCount() - 1));
    return graph;
}

QCPGraph* LabPlot::addLegendEntry(const QString& name, const QPen& pen) {
    QCPGraph* key = addGraph();
    key->setName(name);
    key->setPen(pen);
    return key;
}

void LabPlot::addFloorLine(const pelorin::FloorLevel& floor) {
    const QPen pen(accent(), 1.5, Qt::DotLine);
    auto* line = new QCPItemStraightLine(this);
    line->point1->setCoords(1, floor.level);
    line->point2->setCoords(2, floor.level);
    line->setPen(pen);
    addLegendEntry(QString::fromStdString(pelorin::floorLevelName(floor)), pen);
}

void LabPlot::nameOnlyIfDrawn(QCPGraph& graph) {
    if (graph.data()->isEmpty()) graph.removeFromLegend();
}

void LabPlot::setSolutionEnd(std::optional<pelorin::SolutionEnd> end) { solutionEnd_ = end; }

void LabPlot::fitValuesBefore() {
    if (!solutionEnd_) return;
    pelorin::Extent values;
    for (int i = 0; i < graphCount(); ++i) {
        for (const QCPGraphData& point : *graph(i)->data()) {
            if (!solutionEnd_->past(point.key)) values.include(point.value);
        }
    }
    if (values.empty) return;
    if (!(values.upper > values.lower)) {
        values.lower -= 1;
        values.upper += 1;
    }
    yAxis->setRange(values.lower, values.upper);
}

void LabPlot::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setAccessibleName("Plot menu");
    menu.addAction(copyImage_);
    menu.addAction(savePng_);
    menu.addAction(savePdf_);
    // Then what the page added to its plot (QWidget::addAction).
    if (!actions().isEmpty()) menu.addSeparator();
    menu.addActions(actions());
    menu.exec(event->globalPos());
}

void LabPlot::keyPressEvent(QKeyEvent* event) {
    // The keyboard's way to zoom and to get the whole plot back.
    if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus) {
        const double factor = event->key() == Qt::Key_Plus ? 0.8 : 1.25;
        for (QCPAxis* axis : {xAxis, yAxis}) axis->scaleRange(factor, axis->range().center());
        replot();
        return;
    }
    // Shift+F10 opens the context menu, as the Menu key does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, rect().center(),
                               mapToGlobal(rect().center()));
        contextMenuEvent(&menu);
        return;
    }
    if (event->key() == Qt::Key_Home) {
        showWhole();
        replot();
        return;
    }
    QCustomPlot::keyPressEvent(event);
}

void LabPlot::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) followPalette();
    if (event->type() == QEvent::FontChange) followFont();
    QCustomPlot::changeEvent(event);
}

// A dark desktop gets a dark plot: ground, axes, labels and legend take the
// palette's colours.
void LabPlot::followPalette() {
    const QPalette& colours = palette();
    setBackground(colours.color(QPalette::Base));
    const QColor text = colours.color(QPalette::Text);
    for (QCPAxis* axis : {xAxis, yAxis, xAxis2, yAxis2}) {
        axis->setBasePen(QPen(text));
        axis->setTickPen(QPen(text));
        axis->setSubTickPen(QPen(text));
        axis->setTickLabelColor(text);
        axis->setLabelColor(text);
        QPen grid(colours.color(QPalette::Mid), 0, Qt::DotLine);
        axis->grid()->setPen(grid);
        axis->grid()->setSubGridVisible(false);
    }
    legend->setBrush(colours.color(QPalette::Base));
    legend->setBorderPen(QPen(colours.color(QPalette::Mid)));
    legend->setTextColor(text);
    replot();
}

QFont LabPlot::textSized(QFont font) const {
    font.setPointSizeF(this->font().pointSizeF());
    return font;
}

// Larger text for a projector reaches the axes, the legend and the labels
// drawn on the plot, each keeping its own weight; the axes grow to keep
// their tick labels apart.
void LabPlot::followFont() {
    const auto sized = [this](const QFont& font) { return textSized(font); };
    for (QCPAxis* axis : {xAxis, yAxis, xAxis2, yAxis2}) {
        axis->setLabelFont(sized(axis->labelFont()));
        axis->setTickLabelFont(sized(axis->tickLabelFont()));
    }
    legend->setFont(sized(legend->font()));
    for (int i = 0; i < legend->itemCount(); ++i) {
        if (QCPAbstractLegendItem* entry = legend->item(i)) entry->setFont(sized(entry->font()));
    }
    for (int i = 0; i < itemCount(); ++i) {
        if (auto* text = qobject_cast<QCPItemText*>(item(i))) text->setFont(sized(text->font()));
    }
    axisRect()->setMinimumSize(0, readableLines * QFontMetrics(yAxis->tickLabelFont()).height());
    replot();
}

void LabPlot::saveAs(bool pdf) {
    const FileKind kind = pdf ? FileKind{"PDF document", ".pdf"} : FileKind{"PNG image", ".png"};
    const auto target = askWhereToSave(this, pdf ? "Save plot as PDF" : "Save plot as PNG",
                                       fileStem_ + kind.suffix, {kind});
    if (target) saveWholeOrWarn(this, target->path, pdf ? pdfBytes() : pngBytes());
}

QByteArray LabPlot::pngBytes() { return pngFile(toPixmap()); }

// QCustomPlot paints the screen from a buffer of pixels; the page is drawn
// afresh as lines and text instead.
QByteArray LabPlot::pdfBytes() {
    return pdfPage(size(), [this](QPdfWriter& writer) {
        QCPPainter painter(&writer);
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        toPainter(&painter, width(), height());
    });
}

PlotSegments::PlotSegments(QCustomPlot* plot, Ends ends) : QCPAbstractItem(plot), ends_(ends) {
    setClipToAxisRect(true);
    setSelectable(false);
}

void PlotSegments::draw(QCPPainter* painter) {
    const QCPAxis* x = parentPlot()->xAxis;
    const QCPAxis* y = parentPlot()->yAxis;
    lines_.clear();
    for (const pelorin::Segment& s : segments_) {
        const QLineF line(x->coordToPixel(s.x1), y->coordToPixel(s.y1), x->coordToPixel(s.x2),
                          y->coordToPixel(s.y2));
        lines_.push_back(line);
        if (ends_ == Ends::plain) continue;
        // Two strokes back from the tip, a quarter of the arrow long, at 30°
        // to it.
        for (double turn : {150.0, -150.0}) {
            QLineF stroke = QLineF::fromPolar(line.length() / 4, line.angle() + turn);
            stroke.translate(line.p2());
            lines_.push_back(stroke);
        }
    }
    painter->setPen(pen_);
    painter->drawLines(lines_);
}
