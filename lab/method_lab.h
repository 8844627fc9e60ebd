// The Method lab: how fast each method converges and where rounding stops
// it, when a method turns unstable, and what it does inside one step. A
// separate window beside the main one; it starts from the main window's
// boxes and method, then keeps its own.
#pragma once

#include "run/calculation.h"
#include "lab/handout.h"
#include "lab/inputs.h"
#include "problem/problem.h"

#include <QMainWindow>

#include <array>
#include <optional>

class ConvergenceTab;
class FieldTab;
class OneStepTab;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTabWidget;
class StabilityTab;

class MethodLab : public QMainWindow {
    Q_OBJECT

public:
    // x0, y0, x1 as the main window's boxes hold them, the method's
    // catalogue row, and the main window's last calculation, which the lab
    // reads whenever calculationChanged() is called.
    MethodLab(const std::array<QString, 3>& start, const pelorin::Method& method,
              const pelorin::Calculation& last, QWidget* parent = nullptr);

    LabInputs inputs() const;
    // The page shown, as a teacher hands it out, and as a PDF on paper of
    // that QPageSize::PageSizeId.
    Handout handout() const;
    Q_INVOKABLE QByteArray handoutPdf(int paper) const;
    // The problem as its boxes hold it, and as a problem file gives it:
    // empty, or why the file was not used (then nothing changed).
    pelorin::ProblemText problemText() const;
    Q_INVOKABLE QString openProblemFile(const QString& path);

public slots:
    void calculationChanged();

private:
    // The boxes changed: every page that reads them.
    void recalculate();
    // The method changed: the convergence study holds every method already.
    void methodChanged();
    // Reads the boxes strictly: a text that is not wholly a number keeps the
    // last good value and is explained in the notes beside the boxes.
    void readBoxes();
    QHBoxLayout* createProblemRow();
    void problemChosen(int index);
    void equationEdited();
    QStringList readEquation();
    void createMenus();
    // One of the text sizes, from 0 (smallest); the lab's text and its
    // plots' text follow.
    void setTextScale(int step);
    void openProblem();
    void saveProblem();
    void printHandout();
    void saveHandoutAsPdf();

    std::array<QLineEdit*, 3> boxes_{};  // x0, y0, x1
    std::array<std::optional<double>, 3> lastGood_{};
    QLabel* boxNotes_ = nullptr;
    QComboBox* problem_ = nullptr;
    QLineEdit* f_ = nullptr;
    QLineEdit* exact_ = nullptr;
    LabEquation equation_;  // the last equation that could be used
    int textScale_ = 0;
    QComboBox* method_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    ConvergenceTab* convergence_ = nullptr;
    StabilityTab* stability_ = nullptr;
    OneStepTab* oneStep_ = nullptr;
    FieldTab* field_ = nullptr;
};
