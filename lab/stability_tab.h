// The Stability tab: the chosen method's region |R(z)| ≤ 1 with its edge and
// the point z = h·λ, the stability interval of every method, and a run of
// the chosen method with the lab's h, which a slider here sweeps.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "numerics/stability.h"

#include <optional>
#include <vector>

class LabPlot;
class QCPColorMap;
class QCPCurve;
class QCPGraph;
class QLabel;
class QSlider;
class QTableWidget;

class StabilityTab : public LabPage {
    Q_OBJECT

public:
    explicit StabilityTab(QWidget* parent = nullptr);

    // The slider chooses the lab's h (stepChosen).
    void setInputs(const LabInputs& inputs) override;
    PageHandout handout(const LabInputs& inputs) const override;

private:
    void fillIntervals();
    void drawRegion();
    void placePoint();
    void drawRun();
    void drawTypedRun();
    pelorin::StabilityPath typedPath() const;
    void stepFromSlider(int hundredths);

    LabPlot* region_ = nullptr;
    LabPlot* run_ = nullptr;
    QCPColorMap* map_ = nullptr;
    std::vector<QCPCurve*> boundary_;
    QCPGraph* point_ = nullptr;
    QSlider* slider_ = nullptr;
    QTableWidget* intervals_ = nullptr;
    QLabel* notes_ = nullptr;
    LabInputs inputs_;
    std::optional<std::size_t> regionMethod_;  // the method the region shows
};
