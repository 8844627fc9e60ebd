// The One step tab: the stages inside one step of the last calculation, drawn
// and listed to check by hand, and the method's tableau as fractions.
// Previous and Next walk the steps.
#pragma once

#include "methods/stage_step.h"
#include "run/calculation.h"

#include <QWidget>

#include <utility>
#include <vector>

class LabPlot;
class QCPItemText;
class QLabel;
class QPushButton;
class QTableWidget;

class OneStepTab : public QWidget {
    Q_OBJECT

public:
    OneStepTab(const pelorin::Calculation& last, QWidget* parent = nullptr);

    // The main window calculated again: show its first step.
    void calculationChanged();
    void showStep(int step);
    // The calculation and the step shown, for a handout.
    QStringList handoutLines() const;

private:
    void fillTableau(const pelorin::Method* method);
    void labelStagePoints(const pelorin::StageStep& stages);
    void placeLabels();

    const pelorin::Calculation& last_;
    int step_ = 1;
    LabPlot* plot_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* notes_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    std::vector<std::pair<QCPItemText*, double>> labels_;  // with the slope at their point
    QTableWidget* stages_ = nullptr;
    QTableWidget* tableau_ = nullptr;
};
