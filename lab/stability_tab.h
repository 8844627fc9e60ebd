// The Stability tab: the chosen method's region |R(z)| ≤ 1 with its edge and
// the point z = h·λ (on a system, the eigenvalues of h·J at every step of
// the run), the stability interval of every method, and a run of the chosen
// method with the lab's h, which a slider here sweeps.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "lab/study_runner.h"
#include "numerics/stability.h"
#include "studies/stability_study.h"

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
    void shadeRegion();
    // Whether the chosen method is A- or L-stable, in a sentence.
    QString verdictNote() const;
    void placePoint();
    void drawRun();
    void drawTypedRun();
    pelorin::StabilityPath typedPath() const;
    void stepFromSlider(int hundredths);
    // A system's z are the eigenvalues of h·J along its run, calculated off
    // the window's thread; the run plot shows each component.
    bool showsSystem() const { return inputs_.problem.isSystem(); }
    void studySystem();
    void displaySystem(pelorin::SystemStabilityStudy study);
    void placeSystemPoints();
    void drawSystemRun();

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
    pelorin::StabilityFunction regionFunction_;      // its R(z)
    StudyRunner studies_;
    pelorin::SystemStabilityStudy systemStudy_;  // empty until the study for the inputs comes
};
