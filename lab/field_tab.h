// The Field tab: the direction field of the lab's problem, redrawn for what
// the plot shows, with the exact (or a reference) solution through the start,
// the chosen method with h, h/2 and h/4 or every method with h, a click that
// moves the start, a plot of the runs' global errors against x, and the
// "Lab steps" table of the method with h.
#pragma once

#include "base/text_table.h"
#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "lab/study_runner.h"
#include "numerics/direction_field.h"
#include "studies/field_study.h"

#include <QPointF>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <type_traits>

class LabPlot;
class PlotSegments;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QMouseEvent;
class QTableWidget;

class FieldTab : public LabPage {
    Q_OBJECT

public:
    explicit FieldTab(QWidget* parent = nullptr);

    // A click in the field picks a new start (startPicked).
    void setInputs(const LabInputs& inputs) override;
    PageHandout handout(const LabInputs& inputs) const override;
    void keepSettings(pelorin::LessonSettings& lesson) const override;
    void restoreSettings(const pelorin::LessonSettings& lesson) override;

    // What Copy puts on the clipboard, and what Save as CSV writes: every
    // row led by the equation, the method and the inputs.
    QString copiedText() const;
    QByteArray csv() const;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The page's parts below the check box: the field, the plot of the
    // runs' errors, and the buttons under the Lab steps table.
    QHBoxLayout* createSetBoxes();
    LabPlot* createField();
    LabPlot* createErrorsPlot();
    QHBoxLayout* createStepsButtons();
    // Studies the inputs last given with the set of methods shown: one
    // equation (State double) or a system (StateVector).
    void study();
    template <class State>
    void startStudy(const pelorin::FieldInputs& step);
    // The study's notes, its Lab steps and its plots.
    template <class State>
    void display(pelorin::FieldStudyOf<State> study, const QStringList& firstNotes);
    // The study held for State, of one equation or of a system.
    template <class State>
    pelorin::FieldStudyOf<State>& held() {
        if constexpr (std::is_same_v<State, double>) return study_;
        else return componentsStudy_;
    }
    void drawSolutions();
    // The field's and the errors' whole view, where the page keeps it.
    void followWholeView();
    // The plots painted now if the page shows, else when it is shown.
    void replotWhenShown(std::initializer_list<LabPlot*> plots);
    void drawErrors();
    // The field's whole view: the start, the end and every run.
    void fitView();
    // The field for the range the plot shows now; nothing when it is the
    // range drawn last.
    void drawField();
    void showNotes();
    void markStartingValues(std::optional<pelorin::SideBySide> set);
    // The Lab steps of one equation's run or of a system's.
    template <class Steps>
    void showSteps(const Steps& errors);
    void pressed(QMouseEvent* event);
    void released(QMouseEvent* event);
    void copy();
    void saveAsCsv();
    // A system has no direction field in (x, y): the page shows its
    // components against x, its errors in the maximum norm
    // (lab/field_components.h) and its Lab steps.
    bool showsSystem() const { return inputs_.problem.isSystem(); }
    LabPlot* createDriftPlot();
    void drawSystem();
    // The drift of an invariant, one equation's or a system's, under the
    // errors; the plot shows only where there is one.
    template <class State>
    QString drawDrift();

    LabPlot* plot_ = nullptr;
    LabPlot* errors_ = nullptr;
    PlotSegments* segments_ = nullptr;
    // The sets' check boxes, in the order of SideBySide.
    std::array<QCheckBox*, pelorin::sideBySideSets> setBoxes_{};
    // The set of methods shown side by side with h, if one is checked;
    // otherwise the chosen method with h, h/2 and h/4.
    std::optional<pelorin::SideBySide> sideBySide() const;
    QLabel* notes_ = nullptr;
    QTableWidget* steps_ = nullptr;
    QTableWidget* starting_ = nullptr;  // the first rows of steps_, for a multistep method
    LabInputs inputs_;
    pelorin::FieldStudy study_;
    LabPlot* drift_ = nullptr;
    QCheckBox* driftLogarithmic_ = nullptr;  // |drift| on a logarithmic axis
    pelorin::FieldStudyOf<pelorin::StateVector> componentsStudy_;
    QStringList studyNotes_;
    QString drawingNote_;  // values of the runs or the curve left out of the plot
    QString errorsNote_;   // errors the logarithmic axis cannot show
    QString fieldNote_;    // grid points where f is not finite
    pelorin::TextTable shown_, saved_;
    QString suggestedName_ = "lab-steps.csv";
    pelorin::VisibleRange drawnRange_;
    bool fieldStale_ = true;   // the slope changed since the field was drawn
    bool replotPending_ = false;  // the plot changed while the page was hidden
    bool fitPending_ = true;     // the next study drawn shows the whole plots
    std::optional<QPointF> pressedAt_;
    StudyRunner studies_;      // of typed equations
};
