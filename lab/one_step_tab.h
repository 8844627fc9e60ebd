// The One step tab: the stages inside one step of the lab's own run (its
// method, problem and h), drawn and listed to check by hand, and the method's
// tableau as fractions. Previous and Next walk the steps. A system's stages
// are vectors: the table lists every component, and the plot shows the step
// in the phase plane (y1, y2); a partitioned method's stages take their
// abscissae from its two tableaus. A multistep method's step shows the
// points it weighs, its formula and its weights, on a system with a column
// for every component and drawn in the phase plane. The plot is drawn by
// lab/step_plot.h, the tableaus and the formula filled by lab/step_tables.h.
// A typed problem's run is studied off the window's thread; the steps are
// walked on it, from the run, and a reference drawn over a step is computed
// off it too (lab/step_samples.h).
#pragma once

#include "lab/inputs.h"
#include "base/text_table.h"
#include "lab/lab_page.h"
#include "lab/step_plot.h"
#include "lab/step_samples.h"
#include "lab/study_runner.h"
#include "numerics/solution_paths.h"
#include "numerics/stage_step.h"
#include "studies/one_step_study.h"
#include "texts/multistep_view.h"
#include "texts/partitioned_stage_view.h"
#include "texts/stage_view.h"
#include "texts/phase_step_view.h"

#include <vector>

class LabPlot;
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
    // Step `step` of the run; a reference over it, where one is drawn and
    // has not been computed yet, comes from the page's study.
    void showStep(int step);

private:
    bool showsSystem() const { return inputs_.problem.isSystem(); }
    // The run of the chosen method, at once for the lesson's equation, else
    // on the lab's threads with a note until it comes; then its first step.
    template <class State>
    void startStudy();
    void showStudy(pelorin::OneStepStudy study);
    void showStudy(pelorin::OneStepStudyOf<pelorin::StateVector> study);
    // The buttons and the heading for step `step` of `steps` (0 of 0: none).
    void showWalk(const pelorin::Method* method, int step, int steps);
    // The notes, and where the step ends past the solution's end, that too.
    void showNotes(std::vector<std::string> notes, double xEnd, int steps);
    // A one-step method's step: its notes, tableau, Newton iterations,
    // Stages table and plot, in the plane (x, y) of one equation or the
    // phase plane of a system.
    template <class State>
    void showStageParts(const pelorin::StageViewOf<State>& view);
    // The step's views, tables and plot, with the known solution as far as
    // it is known.
    void showStepParts(int step);
    // The known solution the views of a step sample: an exact one at once, a
    // reference as far as the page's study has computed it.
    template <class State>
    pelorin::SolutionSamplesOf<State> knownOverSteps();
    template <class State>
    StepSamples<State>& stepSamples();
    // Computes the reference where the step just shown asked for it, off
    // the window's thread, then shows the step again with it.
    template <class State>
    void sampleAskedReference();
    // Only a note, for a run the page does not show a step of.
    void showWithoutStep(const QString& note);
    // A partitioned method's stages are shown on a system that splits into
    // positions and momenta; elsewhere only partitionedNote.
    bool showsPartitionedStages() const;
    void showPartitionedStep(int step);
    QString partitionedNote() const;
    // The method a multistep run's starting values come from (none: the solution).
    const pelorin::Method* startMethod() const;
    // A multistep method's step: its points' weights, or, for a starting
    // value a one-step method made, that method's stages.
    void showMultistepStep(int step);
    void showMultistepSystemStep(int step);
    // The Weights caption, the plot's description, the formula and the
    // Newton table's caption of a multistep step.
    void showWeightsOf(const pelorin::Method* method, const char* description);
    // Empties the plot for a step; without one, it is painted empty: false.
    bool startDrawing(bool hasStep);
    // The step of a view of any kind drawn (lab/step_plot.h); what lies
    // beyond the plot's reach is said in the notes.
    template <class View>
    void showDrawing(const View& view);
    // The Newton iterations table of an implicit step, shown only for an
    // implicit method: an explicit one has no iterations.
    void fillNewton(const pelorin::Method* method, const pelorin::TextTable& iterations);
    // Axis names, description and the Stages caption for a single equation
    // or, in the phase plane, for a system.
    void showPlaneOf(bool system);

    LabInputs inputs_;
    pelorin::SolutionPath run_;
    pelorin::PathOf<pelorin::StateVector> systemRun_;
    std::optional<pelorin::SolutionEnd> end_;  // of the solution the run is compared with
    int step_ = 1;
    LabPlot* plot_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* notes_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    std::vector<StepLabel> labels_;  // the names drawStep put on the plot
    QTableWidget* stages_ = nullptr;
    QTableWidget* tableau_ = nullptr;
    QTableWidget* newton_ = nullptr;
    StudyRunner studies_;  // the run, then the reference over the steps walked
    StepSamples<double> reference_;  // over the steps of one equation's run
    StepSamples<pelorin::StateVector> systemReference_;
    bool asked_ = false;    // for a run: inputs_ holds what it was asked for
    bool waiting_ = false;  // for the run asked for last
};
