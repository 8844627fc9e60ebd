#include "ui/lab_convergence_tab.h"

#include "analysis/lab_text.h"
#include "ui/lab_page.h"
#include "ui/lab_plot.h"
#include "ui/text.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Up to N = 2^16: far enough to show every method's floor or its order.
constexpr int doublings = 16;
// The reference slopes, drawn a decade below the first error they copy.
constexpr std::array<int, 4> referenceOrders{1, 2, 4, 5};
constexpr double referenceBelow = 0.1;

using pelorin::ConvergencePoint;
using pelorin::ConvergenceSeries;

double abscissa(const ConvergencePoint& point, bool evaluations) {
    return evaluations ? static_cast<double>(point.slopeEvaluations) : std::fabs(point.h);
}

// Points a logarithmic axis can show: measured, nonzero errors of a size
// the axes can span.
bool plottable(const ConvergencePoint& point) {
    return point.error && *point.error > 0 && point.h != 0 && LabPlot::drawable(*point.error) &&
           LabPlot::drawable(point.h);
}

bool leftOut(const ConvergencePoint& point) {
    return point.error && *point.error > 0 && point.h != 0 && !plottable(point);
}

}  // namespace

ConvergenceTab::ConvergenceTab(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    againstEvaluations_ = new QCheckBox("Plot against slope &evaluations instead of h", this);
    againstEvaluations_->setAccessibleName("Plot against slope evaluations");
    againstEvaluations_->setToolTip("What each method costs: stages times steps. A method "
                                    "with more stages per step must earn them.");
    connect(againstEvaluations_, &QCheckBox::toggled, this, &ConvergenceTab::plot);
    layout->addWidget(againstEvaluations_);

    plot_ = new LabPlot("Convergence plot",
                        "The error at x1 of every method against the step h, both axes "
                        "logarithmic, with reference slopes and the rounding floor.",
                        this);
    plot_->useLogAxes();
    plot_->showLegend(LabPlot::LegendPlace::beside);
    layout->addWidget(plot_, 3);

    notes_ = addNotes(layout, "Convergence notes");
    orders_ = addCaptionedTable(layout,
                                "Observed &orders: log\u2082 of the error with N/2 steps over "
                                "the error with N steps",
                                "Orders");
    orders_->setAccessibleDescription("The observed order of every method between N/2 and N "
                                      "steps; a dash where it cannot be measured.");
}

void ConvergenceTab::show(const LabInputs& inputs) {
    study_ = inputs.readable
                 ? pelorin::studyConvergence(pelorin::lessonProblem(inputs.x0, inputs.y0, inputs.x1),
                                             doublings)
                 : pelorin::ConvergenceStudy{};
    QStringList notes;
    if (!inputs.readable) notes << QString::fromStdString(inputs.problem);
    for (const std::string& note : study_.notes) notes << QString::fromStdString(note);
    const bool anyLeftOut = std::any_of(study_.series.begin(), study_.series.end(),
                                        [](const ConvergenceSeries& series) {
                                            return std::any_of(series.points.begin(),
                                                               series.points.end(), leftOut);
                                        });
    if (anyLeftOut) notes << LabPlot::undrawableNote();
    notes_->setText(notes.join("\n"));
    notes_->setVisible(!notes.isEmpty());
    fillOrders();
    plot();
}

void ConvergenceTab::plot() {
    const bool evaluations = againstEvaluations_->isChecked();
    plot_->clearGraphs();
    plot_->clearItems();
    plot_->xAxis->setLabel(evaluations ? "slope evaluations (stages \u00d7 N)" : "step h");
    plot_->yAxis->setLabel("error at x1");
    plot_->xAxis->setRangeReversed(!evaluations);  // smaller steps, more work: to the right

    double floorLevel = 0;
    for (std::size_t row = 0; row < study_.series.size(); ++row) {
        const ConvergenceSeries& series = study_.series[row];
        if (!series.method) continue;
        QCPGraph* graph = plot_->addGraph();
        graph->setName(fromView(series.method->caption));
        graph->setPen(LabPlot::methodPen(row));
        graph->setScatterStyle(LabPlot::methodMarker(row));
        for (const ConvergencePoint& point : series.points) {
            if (plottable(point)) graph->addData(abscissa(point, evaluations), *point.error);
        }
        if (series.floor) {
            for (std::size_t i = *series.floor; i < series.points.size(); ++i) {
                if (series.points[i].error) floorLevel = std::max(floorLevel, *series.points[i].error);
            }
        }
    }

    // The errors set the range; the reference lines stop at the lowest one.
    double lowest = 1, highest = 1;
    bool any = false;
    for (const ConvergenceSeries& series : study_.series) {
        for (const ConvergencePoint& point : series.points) {
            if (!plottable(point)) continue;
            lowest = any ? std::min(lowest, *point.error) : *point.error;
            highest = any ? std::max(highest, *point.error) : *point.error;
            any = true;
        }
    }
    // Reference slopes h^p, each copied from the first error of a method of
    // that order (against evaluations the same lines fall as work^-p).
    for (const int order : referenceOrders) {
        const auto source = std::find_if(study_.series.begin(), study_.series.end(),
                                         [&](const ConvergenceSeries& series) {
                                             return series.method && series.method->order == order &&
                                                    !series.points.empty() &&
                                                    plottable(series.points.front());
                                         });
        if (source == study_.series.end()) continue;
        const ConvergencePoint& first = source->points.front();
        const ConvergencePoint& last = source->points.back();
        const double x0 = abscissa(first, evaluations);
        const double y0 = *first.error * referenceBelow;
        const double slope = evaluations ? -order : order;
        const double x1 = std::clamp(x0 * std::pow(lowest / y0, 1 / slope),
                                     std::min(x0, abscissa(last, evaluations)),
                                     std::max(x0, abscissa(last, evaluations)));
        const double y1 = y0 * std::pow(x1 / x0, slope);
        if (!any || !std::isfinite(x1) || !std::isfinite(y1) || y1 <= 0 || x1 == x0) continue;
        QCPGraph* reference = plot_->addGraph();
        reference->setName(QString("slope %1").arg(order));
        reference->removeFromLegend();
        const QColor colour = plot_->palette().color(QPalette::Text);
        reference->setPen(QPen(colour, 1, Qt::DashLine));
        reference->setData({x0, x1}, {y0, y1});
        auto* label = new QCPItemText(plot_);
        // Halfway along the line on the logarithmic axes, just below it.
        label->position->setCoords(std::sqrt(x0 * x1), std::sqrt(y0 * y1));
        label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setPadding(QMargins(0, 4, 0, 0));
        label->setColor(colour);
        label->setText(QString("slope %1").arg(order));
    }

    plot_->rescaleAxes();
    if (any) plot_->yAxis->setRange(lowest / 10, highest * 10);

    if (floorLevel > 0) {
        auto* floorLine = new QCPItemStraightLine(plot_);
        floorLine->point1->setType(QCPItemPosition::ptPlotCoords);
        floorLine->point2->setType(QCPItemPosition::ptPlotCoords);
        floorLine->point1->setCoords(1, floorLevel);
        floorLine->point2->setCoords(2, floorLevel);
        floorLine->setPen(QPen(plot_->accent(), 1.5, Qt::DotLine));
        auto* label = new QCPItemText(plot_);
        label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        label->position->setTypeY(QCPItemPosition::ptPlotCoords);
        label->position->setCoords(0.02, floorLevel);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setColor(plot_->accent());
        label->setText("rounding floor: errors below " +
                       QString::fromStdString(pelorin::errorText(floorLevel)) +
                       " come from rounding, not from the method");
    }
    plot_->replot();
}

void ConvergenceTab::fillOrders() {
    const int rows = study_.series.front().method && !study_.series.front().points.empty()
                         ? static_cast<int>(study_.series.front().points.size()) - 1
                         : 0;
    orders_->clear();
    orders_->setRowCount(rows);
    orders_->setColumnCount(static_cast<int>(pelorin::methodCatalogue.size()));
    // Captions in two lines, so that seven columns fit the window; a screen
    // reader reads the caption as the method buttons have it.
    for (std::size_t column = 0; column < pelorin::methodCatalogue.size(); ++column) {
        const QString caption = fromView(pelorin::methodCatalogue[column].caption);
        auto* header = new QTableWidgetItem(
            QString(caption).replace(" (", "\n(").replace("Kutta-", "Kutta-\n"));
        header->setData(Qt::AccessibleTextRole, caption);
        orders_->setHorizontalHeaderItem(static_cast<int>(column), header);
    }
    QStringList steps;
    for (int row = 0; row < rows; ++row) steps << QString("N = %1").arg(1L << (row + 1));
    orders_->setVerticalHeaderLabels(steps);
    for (std::size_t column = 0; column < study_.series.size(); ++column) {
        const ConvergenceSeries& series = study_.series[column];
        for (int row = 0; row < rows; ++row) {
            const auto point = static_cast<std::size_t>(row + 1);
            if (point >= series.points.size()) continue;
            const auto& order = series.points[point].order;
            auto* cell = new QTableWidgetItem(
                order ? QString::fromStdString(pelorin::fixedText(*order, 2)) : QString("\u2013"));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (series.floor && point > *series.floor) {
                cell->setForeground(orders_->palette().color(QPalette::Disabled, QPalette::Text));
                cell->setToolTip("Below the rounding floor: this order measures rounding.");
            }
            orders_->setItem(row, static_cast<int>(column), cell);
        }
    }
    orders_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}
