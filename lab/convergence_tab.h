// The Convergence tab: the global error at x1 of every method against h (or
// against the slope evaluations spent), with reference slopes and the
// rounding floor, and the table of observed orders.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "lab/study_runner.h"
#include "numerics/convergence.h"

class LabPlot;
class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

class ConvergenceTab : public LabPage {
    Q_OBJECT

public:
    explicit ConvergenceTab(QWidget* parent = nullptr);

    void setInputs(const LabInputs& inputs) override;
    // Every method with every h: the step box and the method are not its.
    bool runsLabMethod() const override { return false; }
    PageHandout handout(const LabInputs& inputs) const override;

private:
    void display(pelorin::ConvergenceStudy study, const QStringList& firstNotes);
    // A system's errors in the maximum norm, or one component's alone, as
    // the Errors box asks.
    void showErrorsOf();
    void plot();
    void fillOrders();

    LabPlot* plot_ = nullptr;
    QCheckBox* againstEvaluations_ = nullptr;
    QLabel* errorsOfCaption_ = nullptr;
    QComboBox* errorsOf_ = nullptr;
    QTableWidget* orders_ = nullptr;
    QLabel* notes_ = nullptr;
    pelorin::ConvergenceStudy studied_;  // as the study gave it
    QStringList firstNotes_;
    pelorin::ConvergenceStudy study_;    // as shown
    StudyRunner studies_;  // of typed equations
};
