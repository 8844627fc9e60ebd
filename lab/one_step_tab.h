// The One step tab: the stages inside one step of the lab's own run (its
// method, problem and h), drawn and listed to check by hand, and the method's
// tableau as fractions. Previous and Next walk the steps.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "numerics/solution_paths.h"
#include "numerics/stage_step.h"
#include "texts/stage_view.h"

#include <utility>
#include <vector>

class LabPlot;
class QColor;
class QCPItemText;
class QLabel;
class QPushButton;
class QTableWidget;

class OneStepTab : public LabPage {
    Q_OBJECT

public:
    explicit OneStepTab(QWidget* parent = nullptr);

    // The lab's inputs changed: its run again, from the first step.
    void setInputs(const LabInputs& inputs) override;
    // Names the step shown below the method and h.
    PageHandout handout(const LabInputs& inputs) const override;
    void showStep(int step);

private:
    void showNotes(const pelorin::StageView& view);
    void drawStep(const pelorin::StageView& view);
    // The stage points, their slopes and the increment, in the method's colour.
    void drawStages(const pelorin::StageDrawing& drawing, const QColor& methodColour);
    void fillTableau(const pelorin::Method* method);
    void labelStagePoints(const pelorin::StageStep& stages);
    void placeLabels();

    LabInputs inputs_;
    pelorin::SolutionPath run_;
    std::optional<pelorin::SolutionEnd> end_;  // of the solution the run is compared with
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
