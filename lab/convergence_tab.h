// The Convergence tab: the global error at x1 of every method against h (or
// against the slope evaluations spent), with reference slopes and the
// rounding floor, and the table of observed orders.
#pragma once

#include "lab/inputs.h"
#include "lab/study_runner.h"
#include "numerics/convergence.h"

#include <QWidget>

class LabPlot;
class QCheckBox;
class QLabel;
class QTableWidget;

class ConvergenceTab : public QWidget {
    Q_OBJECT

public:
    explicit ConvergenceTab(QWidget* parent = nullptr);

    void show(const LabInputs& inputs);

private:
    void display(pelorin::ConvergenceStudy study, const QStringList& firstNotes);
    void plot();
    void fillOrders();

    LabPlot* plot_ = nullptr;
    QCheckBox* againstEvaluations_ = nullptr;
    QTableWidget* orders_ = nullptr;
    QLabel* notes_ = nullptr;
    pelorin::ConvergenceStudy study_;
    StudyRunner studies_;  // of typed equations
};
