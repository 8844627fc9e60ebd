#include "ui/lab_one_step_tab.h"

#include "analysis/stage_view.h"
#include "ui/lab_page.h"
#include "ui/lab_plot.h"
#include "ui/text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <initializer_list>
#include <vector>

OneStepTab::OneStepTab(const pelorin::Calculation& last, QWidget* parent)
    : QWidget(parent), last_(last) {
    auto* layout = new QVBoxLayout(this);
    auto* walk = new QHBoxLayout;
    previous_ = new QPushButton("&Previous step", this);
    previous_->setAccessibleName("Previous step");
    next_ = new QPushButton("&Next step", this);
    next_->setAccessibleName("Next step");
    heading_ = new QLabel(this);
    heading_->setAccessibleName("Step shown");
    connect(previous_, &QPushButton::clicked, this, [this] { showStep(step_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showStep(step_ + 1); });
    walk->addWidget(previous_);
    walk->addWidget(next_);
    walk->addWidget(heading_, 1);
    layout->addLayout(walk);

    plot_ = new LabPlot("Stages of the step",
                        "The stage points of the step with their slopes as short segments, "
                        "the increment as an arrow and the exact solution.",
                        this);
    plot_->xAxis->setLabel("x");
    plot_->yAxis->setLabel("y");
    plot_->showLegend(LabPlot::LegendPlace::beside);
    layout->addWidget(plot_, 3);

    notes_ = addNotes(layout, "Step notes");
    tableau_ = addCaptionedTable(layout,
                                 "Ta&bleau: nodes c | matrix a, then the weights b (and e, "
                                 "the weights of the error estimate)",
                                 "Tableau");
    calculationChanged();
}

void OneStepTab::calculationChanged() { showStep(1); }

void OneStepTab::showStep(int step) {
    const pelorin::StageView view = pelorin::stageView(last_, step);
    step_ = view.step > 0 ? view.step : 1;
    previous_->setEnabled(view.step > 1);
    next_->setEnabled(view.step > 0 && view.step < view.steps);
    heading_->setText(view.method && view.steps > 0
                          ? fromView(view.method->caption) +
                                QString(": step %1 of %2").arg(view.step).arg(view.steps)
                          : QString("No step to show"));
    QStringList notes;
    for (const std::string& note : view.notes) notes << QString::fromStdString(note);
    notes_->setText(notes.join("\n"));
    fillTableau(view.method);

    plot_->clearGraphs();
    plot_->clearItems();
    if (view.steps == 0) {
        plot_->replot();
        return;
    }
    const QColor text = plot_->palette().color(QPalette::Text);
    QCPGraph* exact = plot_->addGraph();
    exact->setName("exact solution");
    exact->setPen(QPen(text, 1.5));
    bool leftOut = false;
    const auto drawable = [&leftOut](std::initializer_list<double> values) {
        for (double value : values) {
            if (LabPlot::drawable(value)) continue;
            leftOut = true;
            return false;
        }
        return true;
    };
    for (std::size_t i = 0; i < view.exactX.size(); ++i) {
        if (drawable({view.exactX[i], view.exactY[i]})) exact->addData(view.exactX[i], view.exactY[i]);
    }

    // The calculation's method may come from another copy of the catalogue
    // (the main window's), so it is found by its caption.
    std::size_t row = 0;
    while (row + 1 < pelorin::methodCatalogue.size() &&
           pelorin::methodCatalogue[row].caption != view.method->caption) {
        ++row;
    }
    QCPGraph* stages = plot_->addGraph();
    stages->setName("stage points\n(x0 + c\u2c7c\u00b7h, Y\u2c7c)\nwith their slopes");
    stages->setLineStyle(QCPGraph::lsNone);
    stages->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, LabPlot::methodPen(row).color(), 8));
    for (int j = 0; j < view.stages.stages; ++j) {
        const auto jj = static_cast<std::size_t>(j);
        if (drawable({view.stages.x[jj], view.stages.Y[jj]})) {
            stages->addData(view.stages.x[jj], view.stages.Y[jj]);
        }
    }
    std::vector<pelorin::Segment> segments;
    for (const pelorin::Segment& segment : view.slopes) {
        if (drawable({segment.x1, segment.y1, segment.x2, segment.y2})) segments.push_back(segment);
    }
    for (const pelorin::Segment& segment : segments) {
        auto* line = new QCPItemLine(plot_);
        line->start->setCoords(segment.x1, segment.y1);
        line->end->setCoords(segment.x2, segment.y2);
        line->setPen(QPen(LabPlot::methodPen(row).color(), 2));
    }
    const pelorin::Segment& arrow = view.increment;
    const bool incrementShown = drawable({arrow.x1, arrow.y1, arrow.x2, arrow.y2});
    if (incrementShown) {
        auto* increment = new QCPItemLine(plot_);
        increment->start->setCoords(arrow.x1, arrow.y1);
        increment->end->setCoords(arrow.x2, arrow.y2);
        increment->setPen(QPen(plot_->accent(), 2));
        increment->setHead(QCPLineEnding::esSpikeArrow);
    }
    QCPGraph* incrementKey = plot_->addGraph();
    incrementKey->setName("the step's increment");
    incrementKey->setPen(QPen(plot_->accent(), 2));

    plot_->rescaleAxes();
    for (const pelorin::Segment& segment : segments) {
        plot_->yAxis->setRange(plot_->yAxis->range().expanded(segment.y1).expanded(segment.y2));
        plot_->xAxis->setRange(plot_->xAxis->range().expanded(segment.x1).expanded(segment.x2));
    }
    if (incrementShown) plot_->yAxis->setRange(plot_->yAxis->range().expanded(arrow.y2));
    if (leftOut) notes_->setText(notes_->text() + "\n" + LabPlot::undrawableNote());
    plot_->xAxis->scaleRange(1.1);
    plot_->yAxis->scaleRange(1.2);
    plot_->replot();
}

void OneStepTab::fillTableau(const pelorin::Method* method) {
    tableau_->clear();
    if (!method) {
        tableau_->setRowCount(0);
        tableau_->setColumnCount(0);
        return;
    }
    const auto cells = pelorin::tableauCells(*method->tableau);
    const int stages = method->tableau->stages;
    tableau_->setRowCount(static_cast<int>(cells.size()));
    tableau_->setColumnCount(stages + 1);
    QStringList columns{"c"};
    for (int j = 1; j <= stages; ++j) columns << QString("k%1").arg(j);
    tableau_->setHorizontalHeaderLabels(columns);
    QStringList rows;
    for (int j = 1; j <= stages; ++j) rows << QString("stage %1").arg(j);
    rows << "b";
    if (method->tableau->hasErrorEstimate()) rows << "e";
    tableau_->setVerticalHeaderLabels(rows);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            auto* cell = new QTableWidgetItem(QString::fromStdString(cells[r][c]));
            cell->setTextAlignment(Qt::AlignCenter);
            tableau_->setItem(static_cast<int>(r), static_cast<int>(c), cell);
        }
    }
    tableau_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}
