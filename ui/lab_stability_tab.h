// The Stability tab: the chosen method's region |R(z)| ≤ 1 with the point
// z = h·λ, the stability interval of every method, and a run of the chosen
// method with a step the student sweeps.
#pragma once

#include "ui/lab_inputs.h"

#include <QWidget>

class LabPlot;
class QCPColorMap;
class QDoubleSpinBox;
class QLabel;
class QSlider;
class QTableWidget;

class StabilityTab : public QWidget {
    Q_OBJECT

public:
    explicit StabilityTab(QWidget* parent = nullptr);

    void show(const LabInputs& inputs);

private:
    void fillIntervals();
    void drawRegion();
    void drawRun();

    LabPlot* region_ = nullptr;
    LabPlot* run_ = nullptr;
    QCPColorMap* map_ = nullptr;
    QDoubleSpinBox* h_ = nullptr;
    QSlider* slider_ = nullptr;
    QTableWidget* intervals_ = nullptr;
    QLabel* notes_ = nullptr;
    LabInputs inputs_;
};
