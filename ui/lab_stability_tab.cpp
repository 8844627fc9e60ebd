#include "ui/lab_stability_tab.h"

#include "analysis/lab_text.h"
#include "analysis/stability.h"
#include "ui/lab_page.h"
#include "ui/lab_plot.h"
#include "ui/text.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The slider moves h in hundredths from 0.01 to 4, past every interval.
constexpr int sliderSteps = 400;
constexpr double sliderUnit = 0.01;
constexpr int runSteps = 20;
constexpr int gridColumns = 321, gridRows = 321;

QString methodList(const std::vector<std::size_t>& rows) {
    QStringList names;
    for (std::size_t row : rows) names << fromView(pelorin::methodCatalogue[row].caption);
    if (names.size() < 2) return names.join("");
    const QString last = names.takeLast();
    return names.join(", ") + " and " + last;
}

}  // namespace

StabilityTab::StabilityTab(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* plots = new QHBoxLayout;
    region_ = new LabPlot("Stability region",
                          "Where |R(z)| is at most 1 for the chosen method, shaded, with the "
                          "point z = h\u00b7\u03bb of the chosen h.",
                          this);
    region_->xAxis->setLabel("Re z");
    region_->yAxis->setLabel("Im z");
    map_ = new QCPColorMap(region_->xAxis, region_->yAxis);
    QCPColorGradient inside;
    inside.setLevelCount(2);
    inside.setColorStopAt(0, QColor(0x9e, 0xd9, 0xc3));
    inside.setColorStopAt(1, QColor(0, 0, 0, 0));
    map_->setGradient(inside);
    map_->setDataRange(QCPRange(0, 2));
    map_->setInterpolate(false);
    map_->setName("|R(z)| \u2264 1");
    region_->showLegend(LabPlot::LegendPlace::below);
    plots->addWidget(region_, 3);

    run_ = new LabPlot("Run with the chosen h",
                       "The chosen method with the chosen h against the exact solution.", this);
    run_->xAxis->setLabel("x");
    run_->yAxis->setLabel("y");
    run_->showLegend(LabPlot::LegendPlace::below);
    plots->addWidget(run_, 2);
    layout->addLayout(plots, 3);

    auto* controls = new QHBoxLayout;
    auto* hLabel = new QLabel("&h =", this);
    h_ = new QDoubleSpinBox(this);
    h_->setAccessibleName("h");
    h_->setDecimals(2);
    h_->setRange(sliderUnit, sliderSteps * sliderUnit);
    h_->setSingleStep(0.05);
    h_->setValue(0.4);
    hLabel->setBuddy(h_);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setAccessibleName("h slider");
    slider_->setRange(1, sliderSteps);
    slider_->setValue(40);
    slider_->setPageStep(10);
    connect(slider_, &QSlider::valueChanged, this,
            [this](int value) { h_->setValue(value * sliderUnit); });
    connect(h_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(static_cast<int>(std::lround(value / sliderUnit)));
        drawRegion();
        drawRun();
    });
    controls->addWidget(hLabel);
    controls->addWidget(h_);
    controls->addWidget(slider_, 1);
    layout->addLayout(controls);

    notes_ = addNotes(layout, "Stability notes");
    intervals_ = addCaptionedTable(layout,
                                   "Stability &intervals on the negative real axis: "
                                   "|R(-x)| \u2264 1 for 0 \u2264 x \u2264 the value",
                                   "Stability intervals");
    fillIntervals();
}

void StabilityTab::show(const LabInputs& inputs) {
    inputs_ = inputs;
    drawRegion();
    drawRun();
}

void StabilityTab::fillIntervals() {
    const auto groups = pelorin::sameStabilityFunction();
    intervals_->setRowCount(static_cast<int>(pelorin::methodCatalogue.size()));
    intervals_->setColumnCount(3);
    intervals_->setHorizontalHeaderLabels({"Method", "Interval", "Same R(z) as"});
    for (std::size_t row = 0; row < pelorin::methodCatalogue.size(); ++row) {
        const pelorin::Method& method = pelorin::methodCatalogue[row];
        const double interval = pelorin::stabilityInterval(pelorin::stabilityPolynomial(*method.tableau));
        std::vector<std::size_t> twins;
        for (const auto& group : groups) {
            if (std::find(group.begin(), group.end(), row) == group.end()) continue;
            for (std::size_t other : group) {
                if (other != row) twins.push_back(other);
            }
        }
        const int r = static_cast<int>(row);
        intervals_->setItem(r, 0, new QTableWidgetItem(fromView(method.caption)));
        auto* value = new QTableWidgetItem(QString::fromStdString(pelorin::fixedText(interval, 3)));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        intervals_->setItem(r, 1, value);
        intervals_->setItem(r, 2, new QTableWidgetItem(twins.empty() ? QString("\u2013")
                                                                     : methodList(twins)));
    }
    intervals_->verticalHeader()->setVisible(false);
    intervals_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    intervals_->horizontalHeader()->setStretchLastSection(true);
}

void StabilityTab::drawRegion() {
    const pelorin::Method& method = pelorin::methodCatalogue[inputs_.method];
    const auto polynomial = pelorin::stabilityPolynomial(*method.tableau);
    const pelorin::StabilityGrid grid = pelorin::sampleStabilityRegion(polynomial, gridColumns, gridRows);
    map_->data()->setSize(grid.columns, grid.rows);
    map_->data()->setRange(QCPRange(grid.reMin, grid.reMax), QCPRange(grid.imMin, grid.imMax));
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            map_->data()->setCell(column, row,
                                  grid.modulus[static_cast<std::size_t>(row * grid.columns + column)]);
        }
    }
    map_->setName(fromView(method.caption) + ": |R(z)| \u2264 1");
    region_->clearGraphs();
    QCPGraph* point = region_->addGraph();
    point->setName("z = h\u00b7\u03bb");
    point->setLineStyle(QCPGraph::lsNone);
    point->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, region_->accent(), 9));
    const double z = h_->value() * pelorin::lessonLambda;
    point->setData({z}, {0});
    region_->xAxis->setRange(grid.reMin, grid.reMax);
    region_->yAxis->setRange(grid.imMin, grid.imMax);
    region_->replot();
}

void StabilityTab::drawRun() {
    const pelorin::Method& method = pelorin::methodCatalogue[inputs_.method];
    QStringList notes;
    const auto groups = pelorin::sameStabilityFunction();
    QStringList alike;
    for (const auto& group : groups) {
        if (group.size() > 1) alike << methodList(group);
    }
    run_->clearGraphs();
    if (!inputs_.readable) {
        notes << QString::fromStdString(inputs_.problem);
    } else {
        const pelorin::StabilityRun run =
            pelorin::runWithStep(method, inputs_.x0, inputs_.y0, h_->value(), runSteps);
        QCPGraph* exact = run_->addGraph();
        exact->setName("exact");
        exact->setPen(QPen(run_->palette().color(QPalette::Text), 1.5));
        QCPGraph* numerical = run_->addGraph();
        numerical->setName(fromView(method.caption));
        numerical->setPen(LabPlot::methodPen(inputs_.method));
        numerical->setScatterStyle(LabPlot::methodMarker(inputs_.method));
        bool leftOut = false;
        for (std::size_t i = 0; i < run.x.size(); ++i) {
            if (!LabPlot::drawable(run.x[i])) {
                leftOut = true;
                continue;
            }
            if (LabPlot::drawable(run.exact[i])) exact->addData(run.x[i], run.exact[i]);
            if (LabPlot::drawable(run.y[i])) numerical->addData(run.x[i], run.y[i]);
            leftOut = leftOut || !LabPlot::drawable(run.exact[i]) || !LabPlot::drawable(run.y[i]);
        }
        for (const std::string& note : run.notes) notes << QString::fromStdString(note);
        if (leftOut) notes << LabPlot::undrawableNote();
        run_->rescaleAxes();
        // A little room around the data, so that the markers at the edges show whole.
        run_->xAxis->scaleRange(1.05);
        run_->yAxis->scaleRange(1.1);
    }
    notes << "On this linear equation an error is multiplied by R(h\u00b7\u03bb) at every step, "
             "so methods with the same R(z) behave alike: " + alike.join("; ") + ".";
    notes_->setText(notes.join("\n"));
    run_->replot();
}
