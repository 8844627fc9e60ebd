// The Adaptive tab: the lab's method choosing its own steps from its
// embedded error estimate, every attempt in a table, the solution and the
// step sizes drawn, and the error at x1 against the work spent over a sweep
// of tolerances, beside fixed steps and the library's stepper. A system's run
// is listed and drawn component by component.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "lab/study_runner.h"
#include "numerics/adaptive.h"
#include "problem/problem_file.h"
#include "studies/adaptive_study.h"

#include <array>
#include <optional>
#include <variant>

class LabPlot;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// What a tolerance sweep is made from: the lab's inputs and the controller's
// settings.
struct SweepInputs {
    LabInputs inputs;
    pelorin::ControllerSettings settings;
};

class AdaptiveTab : public LabPage {
    Q_OBJECT

public:
    explicit AdaptiveTab(QWidget* parent = nullptr);


    // A method without an error estimate is offered the embedded pairs
    // (methodChosen).
    void setInputs(const LabInputs& inputs) override;
    // The run's method, tolerance and first step.
    PageHandout handout(const LabInputs& inputs) const override;
    // The controller's settings.
    void keepSettings(pelorin::LessonSettings& lesson) const override;
    void restoreSettings(const pelorin::LessonSettings& lesson) override;

protected:
    // A plot's new palette (a dark desktop) redraws its curves in its colours.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The run's two plots above each other, the sweep's beside them.
    QGridLayout* createPlots();
    LabPlot* createSolutionPlot();
    LabPlot* createStepsPlot();
    LabPlot* createWorkPlot();
    QWidget* createSettings();
    QWidget* createOffer();
    // A box of the settings was edited: read them all, then run again.
    void settingsEdited();
    void readSettings();
    // Runs the method on the inputs, and the tolerance sweep when what it
    // reads changed.
    void start();
    void startRun(const pelorin::Method& method, const QStringList& first);
    // The study of one equation (State double) or of a system (StateVector).
    template <class State>
    void startStudy(const pelorin::Method& method, const QStringList& first);
    void startSweep();
    // The run's notes, its table, and its plots.
    template <class State>
    void showRun(pelorin::AdaptiveStudyOf<State> study, const QStringList& firstNotes);
    // No run to show, only notes, over an empty table with the problem's columns.
    void showNoRun(const QStringList& notes);
    bool showsSystem() const { return inputs_.problem.isSystem(); }
    void showSweep(pelorin::WorkPrecision sweep);
    // Draw what is held; plotRun says whether a value was left out.
    bool plotRun();
    // The solution's components under the run's accepted points, and the steps.
    template <class State>
    bool plotStudy(const pelorin::AdaptiveStudyOf<State>& study);
    // Both plots of the run fitted to what they hold, the solution's axis
    // to the values before where the solution ends, and drawn.
    void fitRunPlots(const std::optional<pelorin::SolutionEnd>& end,
                     const pelorin::StabilityLimit& limit);
    void plotStepSizes(const pelorin::Method* method, const pelorin::StepSizes& sizes);
    // The |h| axis: the steps, the stability limit's lowest value and at
    // least two decades.
    void fitStepAxis(const pelorin::StabilityLimit& limit);
    // The stability limit on the |h| plot; its lowest value, if any is drawn.
    std::optional<double> plotStabilityLimit(const pelorin::StabilityLimit& limit);
    void plotSweep();

    LabInputs inputs_;
    pelorin::ControllerSettings settings_;
    double tolerance_ = 1e-6;
    std::array<std::optional<double>, 3> lastGoodFactors_{};  // safety, growth, shrink
    QStringList settingsNotes_;
    // The study on screen, of one equation or of a system as the problem is.
    std::variant<pelorin::AdaptiveStudy, pelorin::AdaptiveStudyOf<pelorin::StateVector>> study_;
    pelorin::WorkPrecision sweep_;
    std::optional<SweepInputs> swept_;  // what the sweep on screen (or under way) was made from

    QLineEdit* toleranceBox_ = nullptr;
    QComboBox* parts_ = nullptr;
    std::array<QLineEdit*, 3> factors_{};
    QCheckBox* perUnitStep_ = nullptr;
    QLabel* controller_ = nullptr;
    QWidget* offer_ = nullptr;
    QLabel* offerText_ = nullptr;
    std::array<QPushButton*, 2> offerButtons_{};
    LabPlot* solution_ = nullptr;
    LabPlot* steps_ = nullptr;
    LabPlot* work_ = nullptr;
    QLabel* notes_ = nullptr;
    QLabel* workNotes_ = nullptr;
    QTableWidget* table_ = nullptr;
    StudyRunner runs_;    // of typed equations
    StudyRunner sweeps_;  // of tolerances, on every equation
};
