// The Convergence tab: the global error at x1 of every method against h (or
// against the slope evaluations spent), with reference slopes and the
// floor of rounding or of the reference, and the table of observed orders.
#pragma once

#include "lab/inputs.h"
#include "lab/lab_page.h"
#include "lab/study_runner.h"
#include "numerics/convergence.h"
#include "numerics/method_sets.h"

#include <string>
#include <vector>

class LabPlot;
class QAction;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QTableWidget;
class QVBoxLayout;

class ConvergenceTab : public LabPage {
    Q_OBJECT

public:
    explicit ConvergenceTab(QWidget* parent = nullptr);

    void setInputs(const LabInputs& inputs) override;
    // The set of methods chosen with every h: the step box is not its, and
    // the lab's method only where the set lacks it.
    bool runsLabMethod() const override { return false; }
    void setMethodAndStep(const LabInputs& inputs) override;
    PageHandout handout(const LabInputs& inputs) const override;
    void keepSettings(pelorin::LessonSettings& lesson) const override;
    void restoreSettings(const pelorin::LessonSettings& lesson) override;

private:
    // The page's parts from the top: the choices above the plot, the plot,
    // the Orders table under the notes, and the action that asks for a
    // more accurate reference.
    QHBoxLayout* createChoices();
    LabPlot* createPlot();
    void addOrdersTable(QVBoxLayout* layout);
    void addMoreAccurateAction();
    // Studies the inputs last given, against a reference as accurate as
    // the page's action asks.
    void study();
    // The chosen set's methods and the lab's method.
    pelorin::MethodSet chosenSet() const;
    pelorin::StudiedMethods studiedMethods() const;
    void display(pelorin::ConvergenceStudy study, const QStringList& firstNotes);
    // A system's errors in the maximum norm, or one component's alone, as
    // the Errors box asks.
    void showErrorsOf();
    void plot();
    int addMethodCurves(bool evaluations);
    int addReferenceLines(bool evaluations);
    void fillOrders();
    void fillOrderHeaders(const std::vector<std::size_t>& shown,
                          const pelorin::ConvergenceSeries& runs, int rows);

    QComboBox* methods_ = nullptr;
    LabPlot* plot_ = nullptr;
    QCheckBox* againstEvaluations_ = nullptr;
    QLabel* errorsOfCaption_ = nullptr;
    QComboBox* errorsOf_ = nullptr;
    QTableWidget* orders_ = nullptr;
    QLabel* notes_ = nullptr;
    pelorin::StudiedMethods studiedMethods_;  // as last asked of a study
    pelorin::ConvergenceStudy studied_;  // as the study gave it
    QStringList firstNotes_;
    pelorin::ConvergenceStudy study_;    // as shown
    StudyRunner studies_;  // of typed equations

    // What makes a problem the same one for the page: its equation, with
    // the parameters of a system, its start and its end.
    struct ProblemIdentity {
        std::string equation, parameters;
        double x0 = 0;
        pelorin::State y0;
        double x1 = 0;
        bool operator==(const ProblemIdentity&) const = default;
    };
    static ProblemIdentity identityOf(const pelorin::Problem& problem);

    LabInputs inputs_;  // as last given
    // "More accurate reference": checked, the errors are measured against
    // Fehlberg's 7(8) pair at far tighter tolerances; it stays checked for
    // the problem it was chosen on, and unchecking it goes back.
    QAction* moreAccurate_ = nullptr;
    ProblemIdentity moreAccurateFor_;
};
